#include "lsp/testo_editor.h"

#include <algorithm>

#include "text/testo_1252.h"

namespace lsp {

namespace {

// One code point of UTF-8 from i on, i moved past it; a byte that begins no
// valid sequence is U+FFFD (the protocol's JSON never carries one, but the
// text is checked here all the same).
char32_t decodifica(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    int seguito = 0;
    char32_t c = 0;
    if (b < 0x80) {
        ++i;
        return b;
    }
    if (b >= 0xC2 && b <= 0xDF) seguito = 1, c = b & 0x1Fu;
    else if (b >= 0xE0 && b <= 0xEF) seguito = 2, c = b & 0x0Fu;
    else if (b >= 0xF0 && b <= 0xF4) seguito = 3, c = b & 0x07u;
    else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(seguito) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= seguito; ++k) {
        const auto x = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((x & 0xC0u) != 0x80u) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (x & 0x3Fu);
    }
    i += static_cast<std::size_t>(seguito) + 1;
    if ((seguito == 2 && c < 0x800) || (seguito == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
        return 0xFFFD;
    return c;
}

std::string utf8(char32_t c) {
    std::string r;
    if (c < 0x800) {
        r.push_back(static_cast<char>(0xC0 | (c >> 6)));
    } else if (c < 0x10000) {
        r.push_back(static_cast<char>(0xE0 | (c >> 12)));
        r.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    } else {
        r.push_back(static_cast<char>(0xF0 | (c >> 18)));
        r.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        r.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    }
    r.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    return r;
}

// Where line n (from 0) begins; npos past the last line.
std::size_t inizio_riga(std::string_view s, int n) {
    std::size_t i = 0;
    for (int r = 0; r < n; ++r) {
        i = s.find_first_of("\r\n", i);
        if (i == std::string_view::npos) return i;
        i += s.compare(i, 2, "\r\n") == 0 ? 2u : 1u;
    }
    return i;
}

// Where the line that begins at i ends, before its line end.
std::size_t fine_riga(std::string_view s, std::size_t i) { return std::min(s.find_first_of("\r\n", i), s.size()); }

// The byte of the UTF-8 text at the place, as sostituisci takes it.
std::size_t scostamento(std::string_view s, posizione p) {
    const std::size_t inizio = inizio_riga(s, p.riga);
    if (inizio == std::string_view::npos) return s.size();
    const std::size_t fine = fine_riga(s, inizio);
    std::size_t i = inizio;
    for (int unita = 0; i < fine;) {
        std::size_t dopo = i;
        const char32_t c = decodifica(s, dopo);
        unita += unita_utf16(c);
        if (unita > p.colonna) break;
        i = dopo;
    }
    return i;
}

}  // namespace

std::optional<posizione> nel_testo(std::string_view byte, posizione p) {
    const std::size_t inizio = inizio_riga(byte, p.riga);
    if (inizio == std::string_view::npos) return std::nullopt;
    const auto lunghezza = static_cast<int>(fine_riga(byte, inizio) - inizio);
    return posizione{p.riga, std::min(p.colonna, lunghezza)};
}

std::string sostituisci(std::string_view utf8, intervallo r, std::string_view nuovo) {
    const std::size_t da = scostamento(utf8, r.inizio);
    const std::size_t a = std::max(da, scostamento(utf8, r.fine));
    std::string t;
    t.reserve(utf8.size() - (a - da) + nuovo.size());
    t.append(utf8.substr(0, da)).append(nuovo).append(utf8.substr(a));
    return t;
}

testo_convertito da_editore(std::string_view s) {
    testo_convertito t;
    t.byte.reserve(s.size());
    posizione p;
    std::size_t i = 0;
    while (i < s.size()) {
        const char32_t c = decodifica(s, i);
        if (c < 0x80) {
            t.byte.push_back(static_cast<char>(c));
            // CR LF, a lone CR and a lone LF each end a line, as the
            // protocol counts lines.
            if (c == '\r' && i < s.size() && s[i] == '\n') {
                t.byte.push_back('\n');
                ++i;
            }
            if (c == '\n' || c == '\r') {
                ++p.riga;
                p.colonna = 0;
            } else {
                ++p.colonna;
            }
            continue;
        }
        // The same table as every text the program writes: '?' where there
        // is no byte for the character.
        const std::string b = testo::a_cp1252(utf8(c));
        if (b.size() == 1 && b[0] != '?') {
            t.byte += b;
            ++p.colonna;
            continue;
        }
        const int unita = unita_utf16(c);
        t.fuori.push_back({p, c, unita});
        t.byte.append(static_cast<std::size_t>(unita), '?');
        p.colonna += unita;
    }
    return t;
}

}  // namespace lsp
