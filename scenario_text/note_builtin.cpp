// The built-in notes that present the scenario, one constant per line of
// the file they become.
#include "scenario_text/righe_builtin.h"

namespace testi_scenario {

const std::array<std::string_view, 8> righe_note = {{
    "Simulazione del treno IC 731 'Lago Azzurro' Portovesco - Sarenta nel tratto ",
    "Valdora - Sarenta.",
    "La simulazione non presenta particolari difficoltà.",
    "Buon divertimento",
    "                   Gli sviluppatori di scenario_builder",
    "                  (scenario_builder developers)",
    "Orario Dicembre 2023",
    "1A",
}};

}  // namespace testi_scenario
