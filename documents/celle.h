// Writing a value into a fixed cell of a form's line: the cell keeps its
// width whatever goes in, so every column stays where the form has it.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace strumento::documenti {

// A value that does not fit its cell: the document is not written.
struct valore_troppo_largo : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class allinea { sinistra, destra, centro };

// Overwrites riga[colonna, colonna + larghezza) with testo aligned in it,
// padded with blanks (a line's cells are written from the right, since a
// name's UTF-8 bytes may outnumber its characters). A text wider than the cell throws
// valore_troppo_largo naming `cosa`.
void in_cella(std::string& riga, std::size_t colonna, std::size_t larghezza, std::string_view testo, allinea a,
              std::string_view cosa);

// The same for a name: one wider than the cell is cut to it and a warning
// naming it goes into avvisi.
void nome_in_cella(std::string& riga, std::size_t colonna, std::size_t larghezza, std::string_view nome,
                   std::vector<std::string>& avvisi, std::string_view dove);

// Characters of a UTF-8 text (a document is single-byte once written).
std::size_t caratteri(std::string_view utf8);

}  // namespace strumento::documenti
