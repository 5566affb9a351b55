// The signal rules: a signal whose approach marks fall on a station's, and a
// signal whose digits no role of the reference railway has.
#include <string>

#include "check/regole_ferrovia_luoghi.h"
#include "model/valori_segnale.h"
#include "reference/ruoli_segnale.h"

namespace strumento::regole_ferrovia {

namespace {

using modello::oggetto_posato;
using regole_interne::tra_apici;
namespace vs = modello::valori_segnale;

constexpr int marche_segnale = 4;
constexpr std::int64_t cella_dei_timbri = 1;

// The first of the signal's approach marks (cells 2, 4, 6 and 8 before it)
// that falls on a station's; the later row in the file keeps the cell.
void su_marche(const coppia_compilata& c, const righe_treno& righe, const std::vector<stazione_posata>& stazioni,
               const std::vector<int>& celle, const oggetto_registrato& o, std::vector<problema>& p) {
    const auto& m = c.modello();
    for (int b = 1; b <= marche_segnale; ++b) {
        const std::int64_t a = o.cella - 2 * b;
        if (a < 0 || static_cast<std::size_t>(a) >= celle.size() || celle[static_cast<std::size_t>(a)] < 0) continue;
        const stazione_posata& s = stazioni[static_cast<std::size_t>(celle[static_cast<std::size_t>(a)])];
        const int j = marca_in(s, a);
        if (j == 0) continue;
        const auto& v = s.voce(m);
        const std::string stazione = "station " + tra_apici(v.nome);
        const std::string dove = km(m, a * 50);
        const std::string cosa = s.riga > o.riga
            ? "the train will not get this signal's approach indication " + std::to_string(b) + " at " + dove +
                  ": the " + stazione + ", later in the file, writes its approach mark " + std::to_string(80 + j) +
                  " over it"
            : "the train will not get the approach mark " + std::to_string(80 + j) + " of " + stazione + " at " +
                  dove + ", " + std::to_string((s.fermata - a) * 50) + " m before its stop: this signal, later in "
                  "the file, writes its own approach mark " + std::to_string(b) + " over it";
        p.push_back(avviso_treno(nome_segnale_su_marche, righe.a(o.riga), o.riga, 0,
                                 "the signal at " + km(m, o.metro) + " has its approach marks on those of " +
                                     stazione + ": " + cosa + ". A cell keeps one approach mark",
                                 {{quale_file::treno, s.riga, "the " + stazione + " placed here"}}));
        return;
    }
}

void ruolo(const coppia_compilata& c, const righe_treno& righe, const oggetto_registrato& o, std::vector<problema>& p) {
    const riga_voce* r = righe.a(o.riga);
    // In cell 1 the stamps take the first two values (stamp-overwrite).
    if (!r || r->valori.size() < 11 || o.cella == cella_dei_timbri) return;
    const auto v = [&](std::size_t i) { return r->n(i); };
    // Kinds and digits outside their ranges are value-range's.
    for (std::size_t i : {1u, 6u})
        if (v(i) < 0 || v(i) > 2) return;
    for (std::size_t i : {2u, 3u, 4u, 7u, 8u, 9u})
        if (v(i) < 0 || v(i) >= vs::base_cifre) return;
    if (riferimento::ruolo_di(v(1), v(3), v(4), v(6), v(7), v(8), v(9))) return;
    const std::string cifre = "left " + std::to_string(v(1)) + ": " + std::to_string(v(2)) + "," + std::to_string(v(3)) +
                              "," + std::to_string(v(4)) + ", right " + std::to_string(v(6)) + ": " +
                              std::to_string(v(7)) + "," + std::to_string(v(8)) + "," + std::to_string(v(9));
    p.push_back(avviso_treno(
        nome_segnale_ignoto, r, o.riga, 1,
        "the signal at " + km(c.modello(), o.metro) + " shows the driver a pattern (" + cifre +
            ") that no signal of the reference railway has: it is no block, entry, exit or distant signal "
            "(scenario_tool explain signal-pattern-unknown lists theirs). The digits go to the simulator as "
            "written"));
}

}  // namespace

void avvisi_segnali(const coppia_compilata& c, std::vector<problema>& p) {
    const righe_treno righe(c);
    const auto stazioni = stazioni_posate(c);
    const auto celle = celle_di_stazione(c.modello(), stazioni);
    for (const auto& o : c.registro().oggetti) {
        if (o.tipo != oggetto_registrato::genere::posato || o.cosa != oggetto_posato::segnale) continue;
        su_marche(c, righe, stazioni, celle, o, p);
        ruolo(c, righe, o, p);
    }
}

}  // namespace strumento::regole_ferrovia
