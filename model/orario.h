// A station's timetable time as the table record keeps it: seconds of the
// day, (hours × 60 + minutes) × 60 + seconds, with no range test, so that
// minutes or seconds of 60 or more add up into the next unit.
#pragma once

#include <cstdint>

namespace modello::orario {

inline constexpr std::int64_t secondi_giorno = 24 * 60 * 60;

inline constexpr std::int64_t secondi(std::int64_t ore, std::int64_t minuti, std::int64_t sec) {
    return (ore * 60 + minuti) * 60 + sec;
}
inline constexpr std::int64_t ore_di(std::int64_t t) { return t / 3600; }
inline constexpr std::int64_t minuti_di(std::int64_t t) { return t / 60 % 60; }
inline constexpr std::int64_t secondi_di(std::int64_t t) { return t % 60; }

}  // namespace modello::orario
