// Fixed-width little-endian encoding of the numbers of the compiled files,
// appended to a byte buffer. Every binary file of the system is built with
// these and nothing else, so the byte order lives in one place.
#pragma once

#include <bit>
#include <cstring>
#include <cstdint>
#include <string>

namespace modello::binario {

inline void aggiungi_u8(std::string& buf, std::uint8_t v) { buf.push_back(static_cast<char>(v)); }

inline void aggiungi_u16(std::string& buf, std::uint16_t v) {
    buf.push_back(static_cast<char>(v & 0xFFu));
    buf.push_back(static_cast<char>(v >> 8));
}

// Signed fields are two's complement: the same bytes as the unsigned value.
inline void aggiungi_i16(std::string& buf, std::int16_t v) { aggiungi_u16(buf, static_cast<std::uint16_t>(v)); }

inline void aggiungi_u32(std::string& buf, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) buf.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

inline void aggiungi_i32(std::string& buf, std::int32_t v) { aggiungi_u32(buf, static_cast<std::uint32_t>(v)); }

// IEEE 754 binary64, least significant byte first.
inline void aggiungi_f64(std::string& buf, double v) {
    const auto bit = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) buf.push_back(static_cast<char>((bit >> (8 * i)) & 0xFFu));
}

// The same encodings into a buffer already sized, for large files built in
// one pass; each returns the position after the bytes written.
inline char* metti_u8(char* p, std::uint8_t v) {
    *p = static_cast<char>(v);
    return p + 1;
}

inline char* metti_u16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFFu);
    p[1] = static_cast<char>(v >> 8);
    return p + 2;
}

inline char* metti_i16(char* p, std::int16_t v) { return metti_u16(p, static_cast<std::uint16_t>(v)); }

inline char* metti_f64(char* p, double v) {
    auto bit = std::bit_cast<std::uint64_t>(v);
    if constexpr (std::endian::native == std::endian::big) bit = __builtin_bswap64(bit);
    std::memcpy(p, &bit, 8);
    return p + 8;
}

}  // namespace modello::binario
