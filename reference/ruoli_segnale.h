// A signal's role as the driver meets it, read from its digits: the patterns
// the built-in scenario (the reference railway) gives its signals, each with
// the role its place along the line shows. The first left digit, rapp and the
// time are no part of a pattern: the built-in gives signals of one role
// different ones.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace riferimento {

struct ruolo_segnale {
    std::string_view ruolo;  // "block signal", ...
    std::string_view dove;   // where the built-in places it
    std::int64_t s2, s3;     // left digits 2 and 3 (the left side shown: kind 1 or 2)
    bool destro;             // whether the right side is shown (kind 1 or 2); dark: kind 0, digits 0
    std::int64_t d1, d2, d3;
};

std::span<const ruolo_segnale> ruoli_segnale();

// The role of a signal row's values, none when no role has its pattern.
// Kinds 0 to 2 and digits 0 to 9 only: outside them the values mean
// something else (check's value-range).
std::optional<ruolo_segnale> ruolo_di(std::int64_t sx, std::int64_t s2, std::int64_t s3, std::int64_t dx,
                                      std::int64_t d1, std::int64_t d2, std::int64_t d3);

}  // namespace riferimento
