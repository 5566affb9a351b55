// A station's area as the table record keeps it (inizio, fine), from its
// position, kind and length: kinds 5 and 6 end 150 m after the position,
// 7 and 8 reach a whole length either side, the others are centred and end
// 50 m further when field 6 is not 0. Kinds 5 to 8 store field 6 as 0.
#pragma once

#include <cstdint>

namespace modello {

struct area_stazione {
    std::int64_t inizio;
    std::int64_t fine;
};

inline constexpr bool campo_6_azzerato(std::int64_t tipo) { return tipo >= 5 && tipo <= 8; }

inline constexpr area_stazione area_di_stazione(std::int64_t tipo, std::int64_t posizione, std::int64_t lunghezza,
                                                std::int64_t campo_6) {
    if (tipo == 5 || tipo == 6) return {posizione - lunghezza, posizione + 150};
    if (tipo == 7 || tipo == 8) return {posizione - lunghezza, posizione + lunghezza};
    return {posizione - lunghezza / 2, posizione + lunghezza / 2 + (campo_6 != 0 ? 50 : 0)};
}

}  // namespace modello
