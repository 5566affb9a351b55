// The built-in scenario's documents, one constant per line of the file each
// becomes.
#pragma once

#include <array>
#include <string_view>

namespace scenario_text {

extern const std::array<std::string_view, 171> righe_linea;
extern const std::array<std::string_view, 206> righe_treno;

}  // namespace scenario_text
