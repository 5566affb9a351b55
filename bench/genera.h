// Generated scenarios of any length, with the densities of a real line:
// a curve every 3 km, a gradient change every 5 km, a speed indicator board
// every 4 km, a station every 7 km and a block signal every 1.5 km.
#pragma once

#include <string>

namespace bench {

struct scenario_generato {
    std::string linea;
    std::string treno;
};

scenario_generato genera(int metri);

}  // namespace bench
