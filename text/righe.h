// The lines of a text as the field stream counts them: a line ends at CR LF,
// a lone CR or a lone LF, and a last line without an end counts too. For
// tools that point at a line of an input file or rewrite it line by line.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace testo {

struct riga_testo {
    int numero;          // from 1
    std::size_t inizio;  // first byte
    std::size_t fine;    // the line end, or the end of the text
    std::size_t dopo;    // first byte after the line end
};

std::vector<riga_testo> dividi_righe(std::string_view t);

}  // namespace testo
