// The errors half of `scenario_tool check`: every problem the compiler finds
// in a scenario, not only the first. The compiler's own code stays the only
// judge: the scenario is compiled again and again in a private folder, each
// time with the rows already reported turned into comment rows, until a
// compile finds nothing new.
#pragma once

#include <string>
#include <vector>

#include "check/problemi.h"
#include "model/modello.h"
#include "scenario_files/identificativi.h"

namespace strumento {

// The errors of the two files, given as their bytes. Nothing is written
// outside a private temporary folder, removed before returning.
std::vector<problema> errori_di_compilazione(const std::string& linea, const std::string& treno,
                                             const identificativi& id);

// Why a reader failed at run time (status 25), for compile's "because:" and
// check's error: a value that failed to read is named by its field, as the
// reference names it, with its text as written in file f.
std::string motivo_arresto(const modello::punto_arresto& a, quale_file f);

// True when the line description given looks like a train file and the
// train file like a line description: more of each file's rows hold the
// other reader's keywords than its own.
bool sembrano_scambiati(const std::string& linea, const std::string& treno);

// What the stamps did to the object of cell 1 (see timbri_su_un_oggetto),
// named by chi when the row that placed it is known.
std::string testo_timbri_su_un_oggetto(const modello::cella& prima, const std::string& chi = {});

}  // namespace strumento
