// Everything check reports on a scenario's two files, put together in one
// place for the command, the language server and the page alike: the
// compiler's errors, the warnings of the rules not turned off, the
// whole-file findings.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "check/problemi.h"
#include "memory_compile/compilazione.h"
#include "scenario_files/identificativi.h"

namespace strumento {

std::vector<problema> esamina(const std::string& linea, const std::string& treno, const identificativi& id,
                              std::span<const std::string> spente = {});

// The same over the pair already compiled in memory from these texts, for
// the callers that keep that compile for their own answers.
std::vector<problema> esamina(const compilazione_in_memoria& c, const std::string& linea, const std::string& treno,
                              std::span<const std::string> spente = {});

}  // namespace strumento
