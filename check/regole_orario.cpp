// The timetable against the train's run: a leg scheduled in less than the
// minimum running time (an error), a margin below the minimum allowance, and
// a dwell or a time at a station that has no stop cell.
#include <cmath>
#include <string>

#include "check/regole_ferrovia_interne.h"
#include "run_model/marcia.h"

namespace strumento::regole_ferrovia {

namespace {

// The station rows the compile kept, in the order of their table records.
std::vector<std::size_t> righe_stazioni(const coppia_compilata& c) {
    std::vector<std::size_t> r;
    const auto& o = c.registro().oggetti;
    for (std::size_t i = 0; i < o.size(); ++i)
        if (o[i].tipo == oggetto_registrato::genere::stazione) r.push_back(i);
    return r;
}

struct luogo {
    const coppia_compilata& c;
    std::vector<std::size_t> righe;

    // A problem at the row of table record k.
    std::optional<problema> a(int k, gravita g, std::string_view regola, std::string messaggio,
                              std::int32_t metro) const {
        const auto i = static_cast<std::size_t>(k - 1);
        if (i >= righe.size()) return std::nullopt;
        problema p;
        p.file = c.compilazione.finale.file_di(righe[i]);
        p.riga = c.registro().oggetti[righe[i]].riga;
        p.livello = g;
        p.regola = std::string(regola);
        p.metro = metro;
        p.messaggio = std::move(messaggio);
        return p;
    }
};

void tipi_senza_fermata(const luogo& l, const std::vector<marcia::stazione_marcia>& s, std::vector<problema>& p) {
    for (const auto& x : s) {
        if (marcia::ha_fermata(x.tipo)) continue;
        const std::string tipo = "station of kind " + std::to_string(x.tipo) + ", which has no stop cell";
        if (x.sosta_s > 0)
            if (auto q = l.a(x.record, gravita::avviso, nome_sosta_senza_fermata,
                             "a dwell of " + marcia::durata(x.sosta_s) + " at a " + tipo +
                                 ": trains pass it without stopping and the dwell is never made",
                             x.metro))
                p.push_back(std::move(*q));
        if (x.orario)
            if (auto q = l.a(x.record, gravita::avviso, nome_orario_senza_fermata,
                             "a time at a " + tipo + ": trains pass it, so the time is a passing time, not a departure",
                             x.metro))
                p.push_back(std::move(*q));
    }
}

void tratte(const luogo& l, const marcia::risultato& r, std::vector<problema>& p) {
    for (const auto& t : r.sezioni) {
        const double dato = *t.programmato_s;
        // A time earlier than the one before is times-backwards' own.
        if (dato <= 0) continue;
        const auto& s = r.stazioni[t.a];
        const double minimo = std::ceil(t.minimo_s);
        std::optional<problema> q;
        if (dato < minimo) {
            q = l.a(s.record, gravita::errore, errore_tempo_di_corsa,
                    "the train needs at least " + marcia::durata(minimo) + " from the previous station, the timetable gives " +
                        marcia::durata(dato),
                    s.metro);
        } else if (dato - t.minimo_s < t.minimo_s * marcia::margine_minimo_pct / 100) {
            q = l.a(s.record, gravita::avviso, nome_margine,
                    "the timetable gives " + marcia::durata(dato) + " from the previous station, " +
                        marcia::durata(dato - minimo) + " more than the train's minimum of " + marcia::durata(minimo) +
                        ": below the minimum allowance of " + std::to_string(static_cast<int>(marcia::margine_minimo_pct)) +
                        " % of the running time",
                    s.metro);
        }
        if (!q) continue;
        const auto& prima = r.stazioni[t.da];
        if (const auto w = l.a(prima.record, gravita::avviso, "", "", prima.metro))
            q->correlati.push_back({w->file, w->riga, "the previous timed station, " + prima.nome});
        p.push_back(std::move(*q));
    }
}

}  // namespace

void regole_orario(const coppia_compilata& c, std::vector<problema>& p) {
    // A pair with errors runs over what is left of it: no judgement of its times.
    if (!c.compilazione.problemi.empty()) return;
    const luogo l{c, righe_stazioni(c)};
    marcia::opzioni_treno o;
    o.orario = false;
    const auto r = marcia::calcola_marcia(c.modello(), o);
    tipi_senza_fermata(l, r.stazioni.empty() ? marcia::stazioni_di(c.modello()) : r.stazioni, p);
    if (!r.fermo) tratte(l, r, p);
}

}  // namespace strumento::regole_ferrovia
