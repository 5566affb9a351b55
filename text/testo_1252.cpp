#include "text/testo_1252.h"

#include <array>
#include <cstdint>

namespace testo {

namespace {

// Code points of the bytes 0x80..0x9F of Windows-1252 (0 where the byte is unused).
constexpr std::array<char32_t, 32> alti_1252{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The five unused bytes are read as the C1 controls of the same number, so
// they survive a read and a write unchanged.
char32_t codice_di(unsigned char b) {
    if (b < 0x80 || b >= 0xA0) return b;
    const char32_t cp = alti_1252[b - 0x80];
    return cp != 0 ? cp : b;
}

char byte_1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < alti_1252.size(); ++i) {
        const char32_t atteso = alti_1252[i] != 0 ? alti_1252[i] : static_cast<char32_t>(0x80 + i);
        if (atteso == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

void aggiungi_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns the code point and advances i.
// A malformed sequence yields U+FFFD and consumes one byte.
char32_t decodifica(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int seguito = 0;
    char32_t cp = 0;
    char32_t minimo = 0;
    if (b0 < 0x80) { ++i; return b0; }
    if ((b0 & 0xE0) == 0xC0) { seguito = 1; cp = b0 & 0x1F; minimo = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { seguito = 2; cp = b0 & 0x0F; minimo = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { seguito = 3; cp = b0 & 0x07; minimo = 0x10000; }
    else { ++i; return 0xFFFD; }
    if (i + static_cast<std::size_t>(seguito) >= s.size()) { ++i; return 0xFFFD; }
    for (int k = 1; k <= seguito; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFD; }
    i += static_cast<std::size_t>(seguito) + 1;
    return cp;
}

}  // namespace

std::string da_cp1252(std::string_view byte) {
    std::string out;
    out.reserve(byte.size());
    for (char b : byte) aggiungi_utf8(out, codice_di(static_cast<unsigned char>(b)));
    return out;
}

std::string a_cp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) out.push_back(byte_1252(decodifica(utf8, i)));
    return out;
}

}  // namespace testo
