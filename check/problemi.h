// What `scenario_tool check` reports: problems of an author's two files, each
// tied to a file and a line, and their printing in the format editors read
// (file:line:column: severity: message) or as JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "reference/voci_controllo.h"

namespace strumento {

enum class gravita { errore, avviso };


// Another row a problem points at: where the earlier object was placed.
struct rimando {
    quale_file file;
    int riga = 0;
    std::string messaggio;
};

struct problema {
    quale_file file;
    int riga = 1;  // from 1
    int colonna = 1;
    gravita livello = gravita::errore;
    std::optional<std::int32_t> codice;  // errors: the compiler's status code
    std::string regola;                  // warnings: the rule's name
    std::optional<std::int64_t> metro;   // the position the problem is at, when it has one
    std::string messaggio;
    std::vector<rimando> correlati;
};


// The names the author gave the two files, as printed in front of each problem.
struct nomi_file_autore {
    std::string linea;
    std::string treno;
    const std::string& di(quale_file f) const { return f == quale_file::linea ? linea : treno; }
};

// The line description's problems first, then the train file's; by line within
// a file, errors before warnings on the same line. Stable otherwise.
void ordina(std::vector<problema>& p);

// One problem per line ("F:L:C: error: ... [21]", then its notes), and a last
// line counting errors and warnings.
std::string testo_problemi(const std::vector<problema>& p, const nomi_file_autore& nomi);

// {"problems": [...], "errors": N, "warnings": N}.
nlohmann::ordered_json json_problemi(const std::vector<problema>& p, const nomi_file_autore& nomi);

}  // namespace strumento
