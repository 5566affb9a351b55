// The errors half of `scenario_tool check`: every problem the compiler finds
// in a scenario, not only the first, as the compile in memory reports them;
// and whether the two files were given the wrong way round.
#pragma once

#include <string>
#include <vector>

#include "check/problemi.h"
#include "memory_compile/compilazione.h"
#include "scenario_files/identificativi.h"

namespace strumento {

// The errors of the two files, given as their bytes. Nothing is written:
// each round compiles in memory.
std::vector<problema> errori_di_compilazione(const std::string& linea, const std::string& treno,
                                             const identificativi& id,
                                             giri_controllo giri = giri_controllo::dopo_la_linea);

// True when the line description given looks like a train file and the
// train file like a line description: more of each file's rows hold the
// other reader's keywords than its own.
bool sembrano_scambiati(const std::string& linea, const std::string& treno);

}  // namespace strumento
