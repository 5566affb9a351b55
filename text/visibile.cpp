#include "text/visibile.h"

#include <cstdint>

#include "text/testo_1252.h"

namespace testo {

namespace {

void esadecimale(std::string& out, std::string_view prefisso, std::uint32_t v, int cifre) {
    static constexpr char cifra[] = "0123456789abcdef";
    out.append(prefisso);
    for (int k = cifre - 1; k >= 0; --k) out.push_back(cifra[(v >> (4 * k)) & 0xF]);
}

// Characters outside the C0 and C1 ranges that a terminal shows as nothing
// or that reorder what follows them.
bool invisibile(char32_t cp) {
    // The wide, narrow and ideographic spaces (U+2000 to U+200A, U+202F,
    // U+205F, U+3000) look like a plain blank and are not one.
    return (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) || (cp >= 0x205F && cp <= 0x206F) ||
           cp == 0x3000 || cp == 0x034F || cp == 0x061C || cp == 0x115F || cp == 0x1160 || cp == 0x180E || cp == 0x3164 ||
           (cp >= 0xFFF9 && cp <= 0xFFFB) || (cp >= 0xFE00 && cp <= 0xFE0F);
}

// Length of the valid UTF-8 sequence at s[i], 0 when there is none; its
// code point in cp.
std::size_t sequenza(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    char32_t minimo = 0;
    if (b0 < 0x80) { cp = b0; return 1; }
    if ((b0 & 0xE0) == 0xC0) { n = 2; cp = b0 & 0x1F; minimo = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { n = 3; cp = b0 & 0x0F; minimo = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { n = 4; cp = b0 & 0x07; minimo = 0x10000; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

std::string visibile(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        char32_t cp = 0;
        const std::size_t n = sequenza(s, i, cp);
        if (n == 0) {
            esadecimale(out, "\\x", static_cast<unsigned char>(s[i]), 2);
            ++i;
            continue;
        }
        if ((cp < 0x20 && cp != '\t') || (cp >= 0x7F && cp <= 0x9F)) esadecimale(out, "\\x", cp, 2);
        else if (cp == 0xA0) out += "<NBSP>";
        else if (cp == 0xFEFF) out += "<BOM>";
        else if (cp == 0xAD) out += "<SHY>";
        else if (invisibile(cp)) {
            esadecimale(out, "<U+", cp, 4);
            out += '>';
        } else {
            out.append(s.substr(i, n));
        }
        i += n;
    }
    return out;
}

std::string visibile_su_righe(std::string_view utf8) {
    std::string out;
    for (std::size_t inizio = 0;;) {
        const std::size_t fine = utf8.find('\n', inizio);
        out += visibile(utf8.substr(inizio, fine == std::string_view::npos ? std::string_view::npos : fine - inizio));
        if (fine == std::string_view::npos) return out;
        out += '\n';
        inizio = fine + 1;
    }
}

std::string visibile_1252(std::string_view byte) {
    constexpr std::string_view bom_utf8 = "\xEF\xBB\xBF";
    if (byte.starts_with(bom_utf8)) return "<BOM>" + visibile(da_cp1252(byte.substr(bom_utf8.size())));
    return visibile(da_cp1252(byte));
}

}  // namespace testo
