// The train's run as the route page draws it: the speed and time charts.
#pragma once

#include <nlohmann/json.hpp>

#include "model/modello.h"

namespace strumento {

// The run over the model (marcia::calcola_marcia), kept small: one point of
// the speed curve every passo_marcia metres and where the limit changes, in
// integers (metres, tenths of km/h, tenths of a second) each written as its
// difference from the point before; the limits as runs; the stations with
// their times; the timed legs with their margin. Null when the train cannot
// run, with the reason.
nlohmann::ordered_json marcia_vista(const modello::Modello& m);

inline constexpr int passo_marcia = 50;

}  // namespace strumento
