// The built-in scenario's line description and train file, as the builder
// writes them, for tests that check or compile them as an author's files.
#pragma once

#include <string>

#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace test_util {

struct testi_coppia {
    std::string linea;
    std::string treno;
};

inline testi_coppia testi_builtin() {
    return {::testi_scenario::testo_file(::testi_scenario::con_sentinella(::testi_scenario::righe_linea)),
            ::testi_scenario::testo_file(::testi_scenario::con_sentinella(::testi_scenario::righe_treno))};
}

}  // namespace test_util
