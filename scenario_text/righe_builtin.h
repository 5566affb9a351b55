// The built-in scenario's documents, one constant per line of the file each
// becomes.
#pragma once

#include <array>
#include <string_view>

namespace testi_scenario {

extern const std::array<std::string_view, 171> righe_linea;
extern const std::array<std::string_view, 206> righe_treno;
extern const std::array<std::string_view, 8> righe_note;
extern const std::array<std::string_view, 44> righe_rallentamenti;
extern const std::array<std::string_view, 204> righe_scheda;

}  // namespace testi_scenario
