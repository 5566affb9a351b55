// What the language server's answers share about a document: its rows as
// check reads them, where a place falls among them, and the small shapes and
// texts the answers are made of. Only lsp/ includes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "check/righe_lette.h"
#include "lsp/documento.h"
#include "reference/riferimento.h"
#include "text/righe.h"

namespace lsp::righe_documento {

namespace rl = strumento::righe_lette;
using json = nlohmann::json;
using strumento::quale_file;

// A document read as check reads it: its lines, and its keyword rows,
// headers and [generale] line.
struct documento_letto {
    std::vector<testo::riga_testo> linee;
    rl::file_letto voci;
};
documento_letto leggi(const std::string& testo, quale_file f);

// The protocol's Position and Range, lines and columns from 0.
json punto(int riga, int colonna);
json intervallo_json(int riga, int colonna, int riga_fine, int colonna_fine);

// Text of an author's file for an answer: UTF-8, every hidden or acting
// character shown escaped.
std::string mostra(std::string_view byte);

// Text from a file inside Markdown: shown safe, and every character that
// Markdown would read as markup escaped, so it shows as written.
std::string in_markdown(std::string_view utf8);

// Line n (from 1) of the text, without its line end.
std::string_view riga_di(const std::string& testo, const documento_letto& l, int n);

// The block of the file line n (from 1) stands in: before [generale], the
// line description's general block or body, the train file.
rl::zona zona_di(const documento_letto& l, quale_file f, int n);

// What stands at a place: the row whose keyword or value it is in, and which
// value (none: the keyword field).
struct al_punto {
    const rl::riga_voce* riga = nullptr;
    std::optional<std::size_t> valore;
};
al_punto cosa_sta(const std::string& testo, const documento_letto& l, posizione p);

// The column range of the keyword field of line n (from 1), from 0.
std::pair<int, int> campo_chiave(std::string_view riga);

// The reference's entry of a row, with only this file's keywords.
riferimento::trovati voci_di(std::string_view campo, quale_file f);

}  // namespace lsp::righe_documento
