// The editor's text (UTF-8, as the protocol carries it) as the readers will
// read the file: Windows-1252 bytes, one for each UTF-16 code unit, so that a
// column is the same number in the text and in the protocol.
#pragma once

#include <cstdint>
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

}  // namespace lsp
