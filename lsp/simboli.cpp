// textDocument/documentSymbol: the headers, and under each the stations and
// the line's main objects (what takes a cell of the route, mountain
// stretches), for the outline.
#include <string>

#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"
#include "text/visibile.h"

namespace lsp {

namespace {

using namespace righe_documento;
namespace rf = riferimento;

bool principale(const rl::riga_voce& r) {
    const auto* p = r.voce->rif;
    return p->tipo_cella >= 0 || p->traccia == rf::profilo::montagna || p->zona == rf::zona_tabella::stazioni;
}

json simbolo(std::string nome, std::string dettaglio, int tipo, json intervallo, json scelta) {
    return {{"name", std::move(nome)}, {"detail", std::move(dettaglio)}, {"kind", tipo},
            {"range", std::move(intervallo)}, {"selectionRange", std::move(scelta)}, {"children", json::array()}};
}

}  // namespace

nlohmann::json simboli(const scenario_aperto& s, quale_file f) {
    const auto& byte = s.di(f).testo;
    const documento_letto l = leggi(byte, f);
    json r = json::array();
    auto intestazione = [&](int n) {
        const auto testo_riga = riga_di(byte, l, n);
        const auto [da, a] = campo_chiave(testo_riga);
        const auto nome = mostra(testo_riga.substr(static_cast<std::size_t>(da), static_cast<std::size_t>(a - da)));
        r.push_back(simbolo(nome.empty() ? "[ ]" : nome, "", 3,  // Namespace
                            intervallo_json(n - 1, 0, n - 1, static_cast<int>(testo_riga.size())),
                            intervallo_json(n - 1, da, n - 1, a)));
    };
    if (l.voci.riga_generale > 0) intestazione(l.voci.riga_generale);
    std::size_t h = 0;
    for (const auto& riga : l.voci.righe) {
        while (h < l.voci.intestazioni.size() && l.voci.intestazioni[h].riga < riga.riga)
            intestazione(l.voci.intestazioni[h++].riga);
        if (!principale(riga) || riga.valori.empty()) continue;
        std::string nome(riga.argomento());
        // Appended piece by piece: an operator+ chain trips a false GCC 12 warning.
        if (const auto n = riga.indice("name")) nome.append(" ").append(testo::visibile(riga.valori[*n].testo));
        if (riga.ha_posizione()) nome.append(" ").append(std::to_string(riga.n(0)));
        const auto testo_riga = riga_di(byte, l, riga.riga);
        const auto [da, a] = campo_chiave(testo_riga);
        const auto& ultimo = riga.valori.back();
        json x = simbolo(nome, std::string(riga.voce->rif->cosa), riga.argomento() == "stazione" ? 24 : 19,
                         intervallo_json(riga.riga - 1, 0, ultimo.riga - 1, ultimo.colonna_fine - 1),
                         intervallo_json(riga.riga - 1, da, riga.riga - 1, a));
        if (r.empty()) r.push_back(std::move(x));
        else r.back()["children"].push_back(std::move(x));
    }
    while (h < l.voci.intestazioni.size()) intestazione(l.voci.intestazioni[h++].riga);
    return r;
}

}  // namespace lsp
