// A station's timetable time as the table record keeps it: seconds of the
// day, (hours × 60 + minutes) × 60 + seconds, with no range test, so that
// minutes or seconds of 60 or more add up into the next unit.
#pragma once

#include <cstdint>
#include <string>

namespace modello::orario {

inline constexpr std::int64_t secondi_giorno = 24 * 60 * 60;

inline constexpr std::int64_t secondi(std::int64_t ore, std::int64_t minuti, std::int64_t sec) {
    return (ore * 60 + minuti) * 60 + sec;
}
inline constexpr std::int64_t ore_di(std::int64_t t) { return t / 3600; }
inline constexpr std::int64_t minuti_di(std::int64_t t) { return t / 60 % 60; }
inline constexpr std::int64_t secondi_di(std::int64_t t) { return t % 60; }

// How a time is written for an author: h:mm:ss, each part whole as it stands
// (a negative one keeps its sign, one of 60 or more all its digits), minutes
// and seconds in two digits at least. Hours too where times line up in a
// column (dump, the language server); check writes them as the author does.
enum class ore_scritte { due_cifre, come_sono };

std::string scritta(std::int64_t ore, std::int64_t minuti, std::int64_t sec,
                    ore_scritte ore_come = ore_scritte::due_cifre);
// t seconds of the day parted as ore_di, minuti_di and secondi_di part them.
std::string scritta(std::int64_t t, ore_scritte ore_come = ore_scritte::due_cifre);

}  // namespace modello::orario
