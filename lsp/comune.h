// What the language server's answers share: the rows of a file as check
// reads them, where a place falls among them, the protocol's small shapes,
// and the compile of the pair in memory with the cells each row took.
// Only lsp/ includes it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "check/regole_interne.h"
#include "lsp/documento.h"
#include "model/modello.h"
#include "model/osservatore.h"
#include "reference/riferimento.h"
#include "text/righe.h"

namespace lsp::comune {

namespace ri = strumento::regole_interne;
using json = nlohmann::json;
using strumento::quale_file;

// A file read as check reads it: its lines and its complete rows.
struct file_letto {
    std::vector<testo::riga_testo> righe;
    ri::file_letto lette;
};
file_letto leggi(const std::string& testo, quale_file f);

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
std::string_view riga_di(const std::string& testo, const file_letto& l, int n);

// The block of the file line n (from 1) stands in: before [generale], the
// line description's general block or body, the train file.
ri::zona zona_di(const file_letto& l, quale_file f, int n);

// What stands at a place: the row whose keyword or value it is in, and which
// value (none: the keyword field).
struct al_punto {
    const ri::riga_voce* riga = nullptr;
    std::optional<std::size_t> valore;
};
al_punto cosa_sta(const std::string& testo, const file_letto& l, posizione p);

// The column range of the keyword field of line n (from 1), from 0.
std::pair<int, int> campo_chiave(std::string_view riga);

// The pair compiled in memory: the cells each row took, and the route.
struct oggetto {
    quale_file file;
    int riga = 0;
    std::int64_t cella = 0;
    modello::oggetto_posato cosa{};
};
struct compilato {
    std::vector<oggetto> oggetti;
    std::vector<modello::cella> percorso;
};
// The last pair's compile is kept: a hover after a hover compiles nothing.
std::shared_ptr<const compilato> compila(const scenario_aperto& s);

// The reference's entry of a row, with only this file's keywords.
riferimento::trovati voci_di(std::string_view campo, quale_file f);

}  // namespace lsp::comune
