#include "reference/ruoli_segnale.h"

namespace riferimento {

namespace {

// From the built-in train file: each pattern its signals have, by where they
// stand from the stations' areas.
constexpr ruolo_segnale tabella[] = {
    {"block signal", "on the open line between stations (34 in the built-in)", 0, 0, true, 1, 0, 0},
    {"block signal", "on the open line, its right side dark (from km 207.800 on in the built-in, 33)", 0, 0, false, 0,
     0, 0},
    {"entry signal", "350 to 550 m before a station's area (27)", 1, 0, true, 3, 1, 0},
    {"entry signal", "550 m before MONTELUPARA's area, its right side dark (1)", 3, 1, false, 0, 0, 0},
    {"exit signal", "350 to 600 m after a station's area (27)", 1, 1, true, 2, 1, 1},
    {"exit signal", "450 m after QUARTO ALBERO's area (1)", 1, 0, true, 2, 1, 0},
    {"distant signal", "1750 m before MONTELUPARA's area, 1200 m before its entry signal, its right side dark (1)", 4,
     0, false, 0, 0, 0},
};

bool lato_mostrato(std::int64_t tipo) { return tipo == 1 || tipo == 2; }

}  // namespace

std::span<const ruolo_segnale> ruoli_segnale() { return tabella; }

std::optional<ruolo_segnale> ruolo_di(std::int64_t sx, std::int64_t s2, std::int64_t s3, std::int64_t dx,
                                      std::int64_t d1, std::int64_t d2, std::int64_t d3) {
    if (!lato_mostrato(sx)) return std::nullopt;
    const bool destro = lato_mostrato(dx);
    if (!destro && dx != 0) return std::nullopt;
    for (const auto& r : tabella)
        if (r.s2 == s2 && r.s3 == s3 && r.destro == destro && r.d1 == d1 && r.d2 == d2 && r.d3 == d3) return r;
    return std::nullopt;
}

}  // namespace riferimento
