// A speed indicator board's values in its cell: each of valore_1 to
// valore_3 packs one speed of both sides, the left speed / 5 in the hundreds
// and the right speed / 5 below, computed in floating point and rounded;
// valore_4 packs the stripes, left in the tens and right in the units. Only
// speeds that are multiples of 5 km/h, with a right speed below 500, read
// back as written.
#pragma once

#include <cstdint>

namespace modello::valori_indicatore {

inline constexpr std::int64_t passo_kmh = 5;
inline constexpr std::int64_t base_lati = 100;
inline constexpr std::int64_t base_strisce = 10;

// Before rounding: the reader narrows it to 16 bits, a check rounds it to
// compare.
inline double velocita_grezza(std::int64_t sinistra, std::int64_t destra) {
    return static_cast<double>(destra) / 5.0 + static_cast<double>(sinistra) * 20.0;
}
inline constexpr std::int64_t sinistra_kmh(std::int64_t v) { return v / base_lati * passo_kmh; }
inline constexpr std::int64_t destra_kmh(std::int64_t v) { return v % base_lati * passo_kmh; }

inline constexpr std::int64_t strisce(std::int64_t sinistra, std::int64_t destra) {
    return sinistra * base_strisce + destra;
}
inline constexpr std::int64_t strisce_sinistra(std::int64_t v) { return v / base_strisce; }
inline constexpr std::int64_t strisce_destra(std::int64_t v) { return v % base_strisce; }

}  // namespace modello::valori_indicatore
