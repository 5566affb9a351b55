// The editor's text (UTF-8, as the protocol carries it) as the readers will
// read the file: Windows-1252 bytes, one for each UTF-16 code unit, so that a
// column is the same number in the text and in the protocol.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/documento.h"

namespace lsp {

// A character the file cannot hold, where it stands.
struct carattere_fuori {
    posizione dove;
    char32_t codice = 0;
    int unita = 1;  // UTF-16 code units (2 beyond U+FFFF), as many '?' in the text
};

struct testo_convertito {
    std::string byte;  // Windows-1252
    std::vector<carattere_fuori> fuori;
};

testo_convertito da_editore(std::string_view utf8);

// UTF-16 code units of a code point: two beyond U+FFFF (a surrogate pair).
inline int unita_utf16(char32_t c) { return c > 0xFFFF ? 2 : 1; }

// A place the editor names (lines ended by CR LF, CR or LF; columns in
// UTF-16 units) in a text of one byte per unit: none past the last line, the
// column taken back to the line's end when beyond it, as the protocol says.
std::optional<posizione> nel_testo(std::string_view byte, posizione p);

// The editor's UTF-8 text with the range replaced by nuovo. A place past the
// last line is the text's end, a column past its line's end is that end, and
// a column between the two units of a surrogate pair is before its
// character; an end before the start is the start.
std::string sostituisci(std::string_view utf8, intervallo r, std::string_view nuovo);

}  // namespace lsp
