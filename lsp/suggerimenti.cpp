// textDocument/inlayHint: each value of a row named after it, as the
// reference names the field.
#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"

namespace lsp {

nlohmann::json suggerimenti(const scenario_aperto& s, quale_file f, int da, int a) {
    using namespace righe_documento;
    const documento_letto l = leggi(s.di(f).testo, f);
    json r = json::array();
    for (const auto& riga : l.voci.righe) {
        const auto campi = riga.voce->rif->campi;
        for (std::size_t i = 0; i < riga.valori.size() && i < campi.size(); ++i) {
            const auto& v = riga.valori[i];
            if (v.riga - 1 < da || v.riga - 1 > a) continue;
            r.push_back({{"position", punto(v.riga - 1, v.colonna_fine - 1)},
                         {"label", std::string(campi[i].nome)},
                         {"kind", 2},  // Parameter
                         {"paddingLeft", true}});
        }
    }
    return r;
}

}  // namespace lsp
