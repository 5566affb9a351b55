// From positions in metres to cells of the route grid, as both readers map them.
#pragma once

#include <cstdint>

#include "model/conversione.h"
#include "model/modello.h"

namespace modello {

// A row is refused when its position plus a margin (100 m, 800 m for a
// station) lies beyond the last cell: numero_celle < (p + margine) / 50.
inline bool oltre_la_griglia(std::int64_t numero_celle, std::int64_t posizione, int margine = 100) {
    return static_cast<double>(numero_celle) < (static_cast<double>(posizione) + margine) / 50.0;
}
inline bool oltre_la_griglia(const Modello& m, std::int64_t posizione, int margine = 100) {
    return oltre_la_griglia(m.numero_celle, posizione, margine);
}

// round(metri / 50 + scarto), computed in double as written, halves to even.
inline std::int64_t cella_di(double metri, double scarto) {
    return static_cast<std::int64_t>(arrotonda(metri / 50.0 + scarto));
}

}  // namespace modello
