// check's findings as the protocol's diagnostics: each at the token its
// column points to, with its code (the status number or the rule's name) and
// the rows it refers to as related information.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "check/problemi.h"
#include "text/righe.h"
#include "lsp/documenti.h"

namespace lsp {

inline constexpr const char* fonte_diagnostica = "scenario_tool";
// The code of a character the file cannot hold, and of the note on a file
// that pairs with nothing.
inline constexpr const char* codice_carattere = "not-windows-1252";
inline constexpr const char* codice_senza_coppia = "unpaired";

// Every problem check finds in the pair; a file without its pair is checked
// alone for what needs nothing of the other file.
std::vector<strumento::problema> problemi_coppia(const coppia& c);

// The diagnostics of file f of the pair: the problems that belong to it, and
// the characters its text cannot hold.
nlohmann::json diagnostiche(const std::vector<strumento::problema>& p, const scenario_aperto& s, quale_file f,
                            const std::vector<carattere_fuori>& fuori);

// The warning on a document whose file on disk is UTF-8 (see
// documento::utf8_su_disco), at its first letter beyond ASCII; null when it
// has none left.
nlohmann::json diagnostica_utf8_su_disco(const std::string& testo);

// The one note on a document that pairs with nothing.
nlohmann::json diagnostica_senza_coppia(const std::string& testo);

// The range of the token at a column (from 0) of a line (from 0) of a text:
// the field it starts, to the next comma, without trailing blanks.
intervallo intervallo_token(const std::string& testo, int riga, int colonna);
// The same over the text's lines as testo::dividi_righe gives them.
intervallo intervallo_token(std::string_view testo, const std::vector<testo::riga_testo>& righe, int riga,
                            int colonna);

}  // namespace lsp
