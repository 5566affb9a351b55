// The slowdown rules: a slowdown that asks for no less than the limit in
// force along it, and one whose end falls on a station's stop cell or
// approach marks.
#include <algorithm>
#include <string>

#include "check/regole_ferrovia_luoghi.h"
#include "model/posizioni.h"

namespace strumento::regole_ferrovia {

namespace {

using modello::oggetto_posato;
using regole_interne::tra_apici;

constexpr std::int64_t passo_velocita = 5;  // the cells keep speed limits in steps of 5 km/h

// The speed rows by position (file order among equal ones), and the one in
// force at metre m: the last at or before it.
std::vector<const riga_voce*> righe_velocita(const righe_treno& righe) {
    std::vector<const riga_voce*> v;
    for (const auto& r : righe.file().righe)
        if (r.argomento() == "velocita") v.push_back(&r);
    std::stable_sort(v.begin(), v.end(), [](const riga_voce* a, const riga_voce* b) { return a->n(0) < b->n(0); });
    return v;
}
const riga_voce* velocita_a(const std::vector<const riga_voce*>& v, std::int64_t m) {
    const auto dopo = std::upper_bound(v.begin(), v.end(), m, [](std::int64_t x, const riga_voce* r) { return x < r->n(0); });
    return dopo == v.begin() ? nullptr : *(dopo - 1);
}

void non_piu_lento(const coppia_compilata& c, const righe_treno& righe, const std::vector<const riga_voce*>& velocita,
                   const oggetto_registrato& o, std::vector<problema>& p) {
    const auto& m = c.modello();
    const riga_voce* r = righe.a(o.riga);
    if (!r) return;
    const auto iv = r->indice("speed"), il = r->indice("length");
    if (!iv || !il) return;
    const std::int64_t v = r->n(*iv), l = r->n(*il), P = o.metro;
    // A value another rule reports is left to it: a stretch with no metre, a narrowed speed.
    if (l <= 0 || v < INT16_MIN || v > INT16_MAX) return;
    const auto ultima = static_cast<std::int64_t>(m.percorso.size()) - 1;
    const std::int64_t da = std::clamp<std::int64_t>(modello::cella_di(static_cast<double>(P), 0.0), 0, ultima);
    const std::int64_t a = std::clamp<std::int64_t>(modello::cella_di(static_cast<double>(P + l), 0.0), 0, ultima);
    std::int64_t limite = 0;
    for (std::int64_t x = da; x <= a; ++x)
        limite = std::max<std::int64_t>(limite, m.percorso[static_cast<std::size_t>(x)].velocita * passo_velocita);
    // No limit at all (0 km/h: a speed run that starts late) is run-starts-late's.
    if (limite == 0 || v < limite) return;
    std::vector<rimando> correlati;
    if (const riga_voce* q = velocita_a(velocita, P))
        correlati.push_back({quale_file::treno, q->riga,
                             "the train's speed limit, " + std::to_string(q->n(1)) + " km/h from metre " +
                                 std::to_string(q->n(0))});
    p.push_back(avviso_treno(
        nome_rallentamento_inutile, r, o.riga, *iv,
        "the slowdown from " + km(m, P) + " to " + km(m, P + l) + " asks for " + std::to_string(v) +
            " km/h where the train is limited to " + std::to_string(limite) +
            " km/h at most: the driver meets its warning and its boards and has nothing to slow down for. A slowdown "
            "lowers the speed only where its speed is below the limit in force, and this one's is below it nowhere "
            "along its length",
        std::move(correlati)));
}

void fine_in_stazione(const coppia_compilata& c, const righe_treno& righe, const std::vector<stazione_posata>& stazioni,
                      const std::vector<int>& celle, const oggetto_registrato& o, std::vector<problema>& p) {
    const auto& m = c.modello();
    if (o.cella < 0 || static_cast<std::size_t>(o.cella) >= celle.size()) return;
    const int i = celle[static_cast<std::size_t>(o.cella)];
    if (i < 0) return;
    const stazione_posata& s = stazioni[static_cast<std::size_t>(i)];
    const auto& v = s.voce(m);
    const riga_voce* r = righe.a(o.riga);
    const std::size_t campo = r && r->indice("length") ? *r->indice("length") : 0;
    const std::string fine = km(m, o.cella * 50);
    const std::string stazione = "station " + tra_apici(v.nome);
    const rimando correlato{quale_file::treno, s.riga, "the " + stazione + " placed here"};
    if (o.cella == s.fermata) {
        p.push_back(avviso_treno(
            nome_rallentamento_in_stazione, r, o.riga, campo,
            "the slowdown from " + km(m, o.metro) + " never ends for the driver: its end, at " + fine +
                ", falls on the stop cell of " + stazione + ". The station row comes later in the file and writes "
                "its stop over the end's cell",
            {correlato}));
        return;
    }
    const int j = marca_in(s, o.cella);
    p.push_back(avviso_treno(
        nome_rallentamento_in_stazione, r, o.riga, campo,
        "the slowdown from " + km(m, o.metro) + " ends at " + fine + ", " + std::to_string((s.fermata - o.cella) * 50) +
            " m before the stop of " + stazione + ", on its approach mark " + std::to_string(80 + j) +
            ": the driver meets the end of the slowdown where the train brakes for the stop. The end and the "
            "station's approach mark share one cell",
        {correlato}));
}

}  // namespace

void avvisi_rallentamenti(const coppia_compilata& c, std::vector<problema>& p) {
    const auto& oggetti = c.registro().oggetti;
    // Without a slowdown the train file's rows need not be read.
    if (std::none_of(oggetti.begin(), oggetti.end(), [](const oggetto_registrato& o) {
            return o.tipo == oggetto_registrato::genere::posato && o.cosa == oggetto_posato::inizio_rallentamento;
        }))
        return;
    const righe_treno righe(c);
    const auto stazioni = stazioni_posate(c);
    const auto celle = celle_di_stazione(c.modello(), stazioni);
    const auto velocita = righe_velocita(righe);
    for (const auto& o : oggetti) {
        if (o.tipo != oggetto_registrato::genere::posato) continue;
        if (o.cosa == oggetto_posato::inizio_rallentamento) non_piu_lento(c, righe, velocita, o, p);
        if (o.cosa == oggetto_posato::fine_rallentamento) fine_in_stazione(c, righe, stazioni, celle, o, p);
    }
}

}  // namespace strumento::regole_ferrovia
