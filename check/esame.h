// Everything check reports on a scenario's two files, put together in one
// place for the command and the language server alike: the compiler's
// errors, the warnings of the rules not turned off, the whole-file findings.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "check/problemi.h"
#include "scenario_files/identificativi.h"

namespace strumento {

std::vector<problema> esamina(const std::string& linea, const std::string& treno, const identificativi& id,
                              std::span<const std::string> spente = {});

}  // namespace strumento
