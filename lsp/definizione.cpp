// textDocument/definition: from a row that meets a taken cell to the row
// that placed what holds it, as check tells it; from a station's time to the
// station before it; from a row a warning compares with an earlier one to it.
#include <string>

#include "check/regole.h"
#include "lsp/compilazione_coppia.h"
#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"

namespace lsp {

namespace {

using namespace righe_documento;

json luogo(const scenario_aperto& s, quale_file f, int riga) {
    const auto& file = s.di(f);
    if (!file.presente || file.uri.empty()) return nullptr;
    const documento_letto l = leggi(file.testo, f);
    const auto testo_riga = riga_di(file.testo, l, riga);
    return {{"uri", file.uri}, {"range", intervallo_json(riga - 1, 0, riga - 1, static_cast<int>(testo_riga.size()))}};
}

}  // namespace

nlohmann::json definizione(const scenario_aperto& s, quale_file f, posizione p) {
    const auto& byte = s.di(f).testo;
    const documento_letto l = leggi(byte, f);
    const al_punto a = cosa_sta(byte, l, p);
    // A station's time: the station before it along the line.
    if (a.riga && a.valore && a.riga->argomento() == "stazione" &&
        a.riga->voce->rif->campi[*a.valore].limiti.orario) {
        const rl::riga_voce* prima = nullptr;
        for (const auto& r : l.voci.righe) {
            if (&r == a.riga) break;
            if (r.argomento() == "stazione") prima = &r;
        }
        return prima ? luogo(s, f, prima->riga) : json(nullptr);
    }
    // An error on this line that names the row holding its cell; else a
    // warning that names an earlier row (the row out of order comes after,
    // the mountain stretch it overlaps, the line's length).
    const std::string linea = s.linea.presente ? s.linea.testo : std::string();
    const std::string treno = s.treno.presente ? s.treno.testo : std::string();
    const auto compilazione = compilazione_coppia(s);
    const auto avvisi = strumento::avvisi(linea, treno);
    for (const auto* elenco : {&compilazione->problemi, &avvisi})
        for (const auto& e : *elenco)
            if (e.file == f && e.riga == p.riga + 1 && !e.correlati.empty())
                return luogo(s, e.correlati.front().file, e.correlati.front().riga);
    return nullptr;
}

}  // namespace lsp
