// textDocument/codeAction: the one fix of each warning that has exactly one,
// as check's rule decides it, for the warnings in the range.
#include <string>

#include "check/regole.h"
#include "lsp/comune.h"
#include "lsp/funzioni.h"
#include "text/visibile.h"

namespace lsp {

nlohmann::json azioni(const scenario_aperto& s, quale_file f, intervallo r) {
    using namespace comune;
    const auto& file = s.di(f);
    const std::string linea = s.linea.presente ? s.linea.testo : std::string();
    const std::string treno = s.treno.presente ? s.treno.testo : std::string();
    json risposta = json::array();
    for (const auto& p : strumento::avvisi(linea, treno)) {
        if (p.file != f || !p.rimedio) continue;
        const auto& c = *p.rimedio;
        if (c.riga - 1 < r.inizio.riga || c.riga - 1 > r.fine.riga) continue;
        const json dove = intervallo_json(c.riga - 1, c.colonna - 1, c.riga - 1, c.colonna_fine - 1);
        json modifica = {{"range", dove}, {"newText", c.testo}};
        json diagnostica = {{"range", dove},
                            {"severity", 2},
                            {"source", "scenario_tool"},
                            {"code", p.regola},
                            {"message", testo::visibile(p.messaggio)}};
        risposta.push_back({{"title", "Write '" + testo::visibile(c.testo) + "' [" + p.regola + "]"},
                            {"kind", "quickfix"},
                            {"isPreferred", true},
                            {"diagnostics", json::array({diagnostica})},
                            {"edit", {{"changes", {{file.uri, json::array({modifica})}}}}}});
    }
    return risposta;
}

}  // namespace lsp
