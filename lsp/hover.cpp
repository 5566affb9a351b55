// textDocument/hover: a keyword's reference entry; a value's field, unit and
// range with what the compiler made of it; a status code's entry.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "dump/scarico.h"
#include "lsp/compilazione_coppia.h"
#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"
#include "model/conversione.h"
#include "model/orario.h"
#include "model/posizioni.h"
#include "reference/celle.h"
#include "text/parole.h"
#include "text/testo_1252.h"
#include "text/visibile.h"

namespace lsp {

namespace {

using namespace righe_documento;
namespace rf = riferimento;

json risposta(const std::string& md, int riga, int da, int a) {
    return {{"contents", {{"kind", "markdown"}, {"value", md}}}, {"range", intervallo_json(riga, da, riga, a)}};
}

// What the compiler made of value i of row r: the cells the row took with
// what they hold, a time as hh:mm:ss, a speed as the cells keep it.
std::string compilato_di(const scenario_aperto& s, quale_file f, const rl::riga_voce& r, std::size_t i) {
    std::string m;
    const auto& campo = r.voce->rif->campi[i];
    if (campo.limiti.orario) {
        const auto h = r.indice("hours"), mi = r.indice("minutes"), se = r.indice("seconds");
        if (h && mi && se)
            m += "- time: " + modello::orario::scritta(modello::orario::secondi(r.n(*h), r.n(*mi), r.n(*se))) + "\n";
    }
    const auto compilazione = r.ha_posizione() ? compilazione_coppia(s) : nullptr;
    const auto* c = compilazione ? &compilazione->finale : nullptr;
    static const std::vector<modello::cella> nessuna;
    const auto& percorso = c ? c->modello.percorso : nessuna;
    // A profile row: what the cell where its stretch begins keeps.
    if (const auto traccia = r.voce->rif->traccia; c && traccia != rf::profilo::nessuno &&
                                                   traccia != rf::profilo::geometria) {
        const std::int64_t k = modello::cella_di(static_cast<double>(r.n(0)), 0.0);
        if (k >= 0 && static_cast<std::size_t>(k) < percorso.size()) {
            const auto& x = percorso[static_cast<std::size_t>(k)];
            m += "- " + strumento::nome_cella(k) + ": ";
            switch (traccia) {
                case rf::profilo::velocita:
                    m += "speed " + std::to_string(x.velocita) + " (steps of 5 km/h), " +
                         std::to_string(x.velocita * 5) + " km/h";
                    break;
                case rf::profilo::pendenza:
                    m += "gradient " + std::to_string(x.pendenza) + " (per mille plus 100), " +
                         std::to_string(x.pendenza - 100) + " per mille";
                    break;
                case rf::profilo::aderenza: m += "adhesion " + std::to_string(x.aderenza); break;
                default: m += "mountain type " + std::to_string(x.tipo_montagna); break;
            }
            m += "\n";
        }
    }
    if (c) {
        // The cells the row's objects took, in the order it placed them.
        const auto& oggetti = c->registro.oggetti;
        for (std::size_t k = 0; k < oggetti.size(); ++k) {
            const auto& o = oggetti[k];
            if (o.tipo != strumento::oggetto_registrato::genere::posato || o.riga != r.riga || c->file_di(k) != f)
                continue;
            m += "- " + strumento::nome_cella(o.cella);
            if (o.cella >= 0 && static_cast<std::size_t>(o.cella) < percorso.size()) {
                const auto& x = percorso[static_cast<std::size_t>(o.cella)];
                m += ": " + strumento::nome_oggetto_cella(x) + ", values " + std::to_string(x.valore_1) + ", " +
                     std::to_string(x.valore_2) + ", " + std::to_string(x.valore_3) + ", " +
                     std::to_string(x.valore_4);
                if (x.tempo_segnale != 0) m += ", time " + std::to_string(x.tempo_segnale);
            }
            m += "\n";
        }
    }
    return m.empty() ? m : "\n**Compiled**\n\n" + m;
}

json di_valore(const scenario_aperto& s, quale_file f, const rl::riga_voce& r, std::size_t i) {
    const auto& v = r.valori[i];
    const auto& campo = r.voce->rif->campi[i];
    std::string md = "**" + std::string(campo.nome) + "**";
    if (!campo.unita.empty()) md += " (" + std::string(campo.unita) + ")";
    md += " of `" + std::string(r.argomento()) + "`\n\n";
    if (!campo.valori.empty()) md += "- values: " + std::string(campo.valori) + "\n";
    if (!campo.lettura.empty()) md += "- read: " + std::string(campo.lettura) + "\n";
    if (!campo.destinazione.empty()) md += "- stored in: " + std::string(campo.destinazione) + "\n";
    md += "- as read: " + (campo.lettura == "Windows-1252" ? "'" + in_markdown(v.testo) + "'" : std::to_string(v.numero)) + "\n";
    md += compilato_di(s, f, r, i);
    return risposta(md, v.riga - 1, v.colonna - 1, v.colonna_fine - 1);
}

bool cifra(char c) { return c >= '0' && c <= '9'; }

}  // namespace

nlohmann::json hover(const scenario_aperto& s, quale_file f, posizione p) {
    const auto& byte = s.di(f).testo;
    const documento_letto l = leggi(byte, f);
    const al_punto a = cosa_sta(byte, l, p);
    if (a.riga && a.valore) return di_valore(s, f, *a.riga, *a.valore);
    const std::string_view riga = riga_di(byte, l, p.riga + 1);
    const auto c = static_cast<std::size_t>(p.colonna);
    if (c > riga.size()) return nullptr;
    // A header, or a keyword: of a row read, or of one still being written.
    const auto [da, fine] = campo_chiave(riga);
    const std::string_view campo = riga.substr(static_cast<std::size_t>(da), static_cast<std::size_t>(fine - da));
    const bool intestazione = testo::intestazione(campo);
    if (p.colonna >= da && p.colonna <= fine && fine > da &&
        (intestazione || a.riga ||
         (!testo::contiene(campo, "-") && zona_di(l, f, p.riga + 1) != rl::zona::preambolo))) {
        auto t = voci_di(campo, f);
        if (intestazione) t.parole.clear();
        else t.sezioni.clear();
        t.codici.clear();
        t.regole.clear();
        t.errori.clear();
        if (t.vuoto()) return nullptr;
        return risposta(riferimento::markdown(t), p.riga, da, fine);
    }
    // A status code named in a comment or a message.
    std::size_t i = c, j = c;
    while (i > 0 && cifra(riga[i - 1])) --i;
    while (j < riga.size() && cifra(riga[j])) ++j;
    if (i == j || j - i > 5) return nullptr;
    // Only a number named as a code: "status 21", "code 21", "codice 21".
    std::size_t k = i;
    while (k > 0 && (rl::spazio(riga[k - 1]) || riga[k - 1] == ':' || riga[k - 1] == '#')) --k;
    std::size_t w = k;
    while (w > 0 && std::isalpha(static_cast<unsigned char>(riga[w - 1]))) --w;
    std::string parola(riga.substr(w, k - w));
    for (auto& x : parola) x = static_cast<char>(std::tolower(static_cast<unsigned char>(x)));
    constexpr std::string_view nomi[] = {"status", "code", "codice", "stato", "error", "errore"};
    if (std::find(std::begin(nomi), std::end(nomi), parola) == std::end(nomi)) return nullptr;
    const auto t = riferimento::cerca(riga.substr(i, j - i));
    if (t.codici.empty()) return nullptr;
    return risposta(riferimento::markdown(t), p.riga, static_cast<int>(i), static_cast<int>(j));
}

}  // namespace lsp
