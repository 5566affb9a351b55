// A block signal's values in its cell, packed in decimal: each of valore_1
// to valore_3 holds a left digit in its tens and a right digit in its units,
// valore_4 holds rapp in its tens and the two kinds as left × 3 + right in its
// units. The time is stored only for a left kind of 2, and 1 to 100 become
// 101. The approach marks before the signal carry the kinds in their tens.
// Packing works on the row's whole numbers, before the cell keeps their low
// bits, so that a check can tell a value that does not fit.
#pragma once

#include <cstdint>

namespace modello::valori_segnale {

inline constexpr std::int64_t base_cifre = 10;
inline constexpr std::int64_t base_lati = 3;
// The left kind for which the cell keeps the time.
inline constexpr std::int64_t tipo_con_tempo = 2;
inline constexpr std::int64_t tempo_minimo = 101;

inline constexpr std::int64_t lati(std::int64_t sx, std::int64_t dx) { return sx * base_lati + dx; }
inline constexpr std::int64_t sx_di_lati(std::int64_t lati) { return lati / base_lati; }
inline constexpr std::int64_t dx_di_lati(std::int64_t lati) { return lati % base_lati; }

// valore_1..3: left digit and right digit.
inline constexpr std::int64_t cifre(std::int64_t alta, std::int64_t bassa) { return alta * base_cifre + bassa; }
inline constexpr std::int64_t cifra_alta(std::int64_t v) { return v / base_cifre; }
inline constexpr std::int64_t cifra_bassa(std::int64_t v) { return v % base_cifre; }

// valore_4: rapp and the kinds.
inline constexpr std::int64_t quarto(std::int64_t rapp, std::int64_t sx, std::int64_t dx) {
    return cifre(rapp, lati(sx, dx));
}
inline constexpr std::int64_t rapp_di(std::int64_t valore_4) { return cifra_alta(valore_4); }
inline constexpr std::int64_t lati_di(std::int64_t valore_4) { return cifra_bassa(valore_4); }

// The time as the row's value becomes: 1 to 100 are raised to 101.
inline constexpr std::int64_t tempo(std::int64_t t) { return t >= 1 && t < tempo_minimo ? tempo_minimo : t; }
inline constexpr bool tempo_tenuto(std::int64_t sx) { return sx == tipo_con_tempo; }

// Approach mark b (1 to 4, counting away from the signal).
inline constexpr std::int64_t preavviso(std::int64_t lati, int b) { return cifre(lati, b); }

}  // namespace modello::valori_segnale
