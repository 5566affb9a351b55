// The warnings of `scenario_tool check`: rows the compiler accepts without a
// word but that almost always say something other than what the author
// meant. Each rule has a short kebab-case name, used in the report and by
// --no-warn.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/problemi.h"
#include "reference/voci_controllo.h"

namespace strumento {


// Every warning of every rule for the two files, given as their bytes as
// read from disk. The files need not compile.
std::vector<problema> avvisi(const std::string& linea, const std::string& treno);

}  // namespace strumento
