// What `scenario_tool check` reports: problems of an author's two files, each
// tied to a file and a line, and their printing in the format editors read
// (file:line:column: severity: message) or as JSON.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "memory_compile/problema.h"

namespace strumento {

// The names the author gave the two files, as printed in front of each problem.
struct nomi_file_autore {
    std::string linea;
    std::string treno;
    const std::string& di(quale_file f) const { return f == quale_file::linea ? linea : treno; }
};

// One problem per line ("F:L:C: error: ... [21]", then its notes), and a last
// line counting errors and warnings.
std::string testo_problemi(const std::vector<problema>& p, const nomi_file_autore& nomi);

// {"problems": [...], "errors": N, "warnings": N}; a problem's one fix as "fix".
nlohmann::ordered_json json_problemi(const std::vector<problema>& p, const nomi_file_autore& nomi);

}  // namespace strumento
