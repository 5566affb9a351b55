// Conversion of computed values to integers: round to nearest, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4), as every index and stored value of the
// compiled files is formed.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace modello {

inline double arrotonda(double x) {
    const double basso = std::floor(x);
    const double scarto = x - basso;
    if (scarto > 0.5) return basso + 1.0;
    if (scarto < 0.5) return basso;
    return std::fmod(basso, 2.0) == 0.0 ? basso : basso + 1.0;
}

// Rounded value narrowed to a signed 32-bit integer; a value outside the range
// is a run-time failure (overflow), never a silent wrap.
inline std::int32_t a_long(double x) {
    const double r = arrotonda(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw std::overflow_error("value out of the Long range");
    return static_cast<std::int32_t>(r);
}

inline std::int16_t a_integer(double x) {
    const double r = arrotonda(x);
    if (!(r >= -32768.0 && r <= 32767.0)) throw std::overflow_error("value out of the Integer range");
    return static_cast<std::int16_t>(r);
}

inline std::uint8_t a_byte(double x) {
    const double r = arrotonda(x);
    if (!(r >= 0.0 && r <= 255.0)) throw std::overflow_error("value out of the Byte range");
    return static_cast<std::uint8_t>(r);
}

// Whole values kept to their low 16 or 8 bits, as the cells store what the
// rows give them without a range test; a check compares the value with what
// is kept.
inline std::int16_t basso_16(std::int64_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}
inline std::uint8_t basso_8(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace modello
