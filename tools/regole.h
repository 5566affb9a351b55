// The warnings of `scenario_tool check`: rows the compiler accepts without a
// word but that almost always say something other than what the author
// meant. Each rule has a short kebab-case name, used in the report and by
// --no-warn.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/problemi.h"

namespace strumento {

struct regola_avviso {
    std::string_view nome;         // kebab-case, as printed in brackets
    std::string_view descrizione;  // one line: what it finds
    std::string_view esempio;      // one row that sets it off
    // Why it matters: what the compiler does with such a row. For explain.
    std::string_view perche;
    // The file the example row belongs to: appended to the body of a small
    // valid scenario's file, it sets the rule off.
    quale_file file = quale_file::linea;
    // The example sets the rule off only as the first row of its keyword in
    // its file: it takes the place of the file's rows of that keyword.
    bool prima_della_sua_voce = false;
};

// Every rule, in the order the README lists them.
std::span<const regola_avviso> regole_avviso();

bool regola_esiste(std::string_view nome);

// Every warning of every rule for the two files, given as their bytes as
// read from disk. The files need not compile.
std::vector<problema> avvisi(const std::string& linea, const std::string& treno);

}  // namespace strumento
