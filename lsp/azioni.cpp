// textDocument/codeAction: the one fix of each warning that has exactly one,
// as check's rule decides it, for the warnings in the range.
#include <string>

#include "check/regole.h"
#include "lsp/righe_documento.h"
#include "lsp/diagnostica.h"
#include "lsp/funzioni.h"
#include "text/visibile.h"

namespace lsp {

nlohmann::json azioni(const scenario_aperto& s, quale_file f, intervallo r) {
    using namespace righe_documento;
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
        // The warning as the diagnostics publish it, for the editor to match.
        const auto token = intervallo_token(file.testo, p.riga - 1, p.colonna - 1);
        json diagnostica = {{"range", intervallo_json(token.inizio.riga, token.inizio.colonna, token.fine.riga,
                                                      token.fine.colonna)},
                            {"severity", 2},
                            {"source", fonte_diagnostica},
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
