// The built-in scenario's line description and train file, as the builder
// writes them, for tests that check or compile them as an author's files.
#pragma once

#include <string>

#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace test_util {

struct testi_scenario {
    std::string linea;
    std::string treno;
};

inline testi_scenario testi_builtin() {
    return {scenario_text::testo_file(scenario_text::con_sentinella(scenario_text::righe_linea)),
            scenario_text::testo_file(scenario_text::con_sentinella(scenario_text::righe_treno))};
}

}  // namespace test_util
