// Boards and limits: a train's speed limit above everything the speed
// boards in force show, a board that shows the train more than its limit,
// and a kilometre board whose figure is not the progressive's.
//
// A speed board shows three speeds on each side, for the train categories
// a, b and c; the built-in train's limit is category c's speed at every
// board that does not announce a lower speed ahead, so the train of a train
// file follows category c.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/linea_percorsa.h"
#include "check/regole_ferrovia_interne.h"
#include "check/regole_interne.h"

namespace strumento::regole_ferrovia {

namespace {

using regole_interne::avviso_a;
using righe_lette::riga_voce;

// A kilometre board lands in a 50 m cell: its figure may differ from the
// progressive's by that much (the built-in's differ by 43 m at most).
constexpr std::int64_t scarto_cartello_km = 50;

std::string kmh(std::int64_t v) { return std::to_string(v) + " km/h"; }

class cartelli {
public:
    cartelli(const coppia_compilata& c, std::vector<problema>& p)
        : c_(c), m_(c.modello()), r_(c.registro()), p_(p) {
        tenute_ = progressive_tenute(m_);
        for (const std::size_t o : posati(r_, modello::oggetto_posato::indicatore_v_max)) indicatori_.push_back(o);
    }
    void applica() {
        sopra_i_cartelli();
        sopra_il_treno();
        testi_km();
    }

private:
    std::int64_t cella(std::size_t o) const { return r_.oggetti[o].cella; }
    std::int64_t massima(std::size_t o) const {
        const auto& x = m_.percorso[static_cast<std::size_t>(cella(o))];
        return std::max(lato_sinistro(x).massima(), lato_destro(x).massima());
    }
    void sopra_i_cartelli();
    void tratto(std::int64_t da, std::int64_t a, std::size_t& prossimo);
    void sopra_il_treno();
    void testi_km();

    // A row of the line description, read when a warning names it.
    const riga_voce* riga_linea(int riga) const { return riga_alla(c_.righe(quale_file::linea), riga); }
    // The train file's speed rows, read when a warning names one.
    const righe_velocita& velocita() {
        if (!velocita_) velocita_.emplace(c_.righe(quale_file::treno));
        return *velocita_;
    }

    const coppia_compilata& c_;
    const modello::Modello& m_;
    const registro_controllo& r_;
    std::optional<righe_velocita> velocita_;
    std::vector<problema>& p_;
    std::vector<progressiva> tenute_;
    std::vector<std::size_t> indicatori_;  // by cell
};

// Each stretch of one speed limit of the train, up to the line's end: the
// board in force where it begins and the boards inside it.
void cartelli::sopra_i_cartelli() {
    const std::int64_t ultima = std::min<std::int64_t>(m_.tabella[modello::record_treno].fine / 50,
                                                       static_cast<std::int64_t>(m_.percorso.size()) - 1);
    std::size_t prossimo = 0;  // the first board not yet passed
    std::int64_t da = 0;
    for (std::int64_t x = 1; x <= ultima + 1; ++x)
        if (x > ultima || velocita_treno(m_, x) != velocita_treno(m_, da)) {
            tratto(da, x, prossimo);
            da = x;
        }
}

void cartelli::tratto(std::int64_t da, std::int64_t a, std::size_t& prossimo) {
    const std::int64_t v = velocita_treno(m_, da);
    while (prossimo < indicatori_.size() && cella(indicatori_[prossimo]) <= da) ++prossimo;
    std::optional<std::size_t> in_vigore;
    if (prossimo > 0) in_vigore = indicatori_[prossimo - 1];
    std::int64_t mostrata = in_vigore ? massima(*in_vigore) : -1;
    std::size_t i = prossimo;
    for (; i < indicatori_.size() && cella(indicatori_[i]) < a; ++i) {
        mostrata = std::max(mostrata, massima(indicatori_[i]));
        if (!in_vigore) in_vigore = indicatori_[i];
    }
    if (!in_vigore || v <= mostrata) return;
    const riga_voce* riga = velocita().in_vigore(da);
    const riga_voce* cartello = riga_linea(r_.oggetti[*in_vigore].riga);
    if (!riga || !cartello) return;
    p_.push_back(avviso_a(
        nome_sopra_cartelli, *riga, 1,
        "the train may run at " + kmh(v) + " from " + dove(tenute_, da * 50) + " to " +
            dove(tenute_, std::min<std::int64_t>(a * 50, m_.tabella[modello::record_treno].fine)) +
            ", where no speed board in force shows more than " + kmh(mostrata) + " for any category: the train "
            "file's limit is above every speed of the boards",
        {rimando_a(*cartello, "the board in force there, showing at most " + kmh(massima(*in_vigore)) + ", here")}));
}

// A board that shows category c, the train's, more than the train's limit
// at its cell; the built-in's never do.
void cartelli::sopra_il_treno() {
    for (const std::size_t o : indicatori_) {
        const auto& x = m_.percorso[static_cast<std::size_t>(cella(o))];
        const std::int64_t c = std::max(lato_sinistro(x).c, lato_destro(x).c);
        const std::int64_t v = velocita_treno(m_, cella(o));
        if (v == 0 || c <= v) continue;
        const riga_voce* cartello = riga_linea(r_.oggetti[o].riga);
        if (!cartello) continue;
        std::vector<rimando> correlati;
        if (const riga_voce* riga = velocita().in_vigore(cella(o)))
            correlati.push_back(rimando_a(*riga, "the train's limit of " + kmh(v) + " there set here"));
        p_.push_back(avviso_a(
            nome_cartello_sopra, *cartello, 3,
            "the driver passes a board at " + dove(tenute_, r_.oggetti[o].metro) + " that shows " + kmh(c) +
                " for category c, the train's, where the train is limited to " + kmh(v) +
                ": the board promises a speed the train may not run (the built-in scenario's boards never show "
                "more than the train's limit)",
            std::move(correlati)));
    }
}

// The figure a kilometre board's text gives against the progressive's.
void cartelli::testi_km() {
    for (const std::size_t o : posati(r_, modello::oggetto_posato::cartello_km)) {
        const auto& x = r_.oggetti[o];
        const auto km = km_del_testo(x.nome);
        const progressiva* p = in_vigore(tenute_, x.metro);
        if (!km || !p) continue;
        const std::int64_t atteso = chilometrica(*p, x.metro);
        const std::int64_t d = *km > atteso ? *km - atteso : atteso - *km;
        const riga_voce* cartello = d > scarto_cartello_km ? riga_linea(x.riga) : nullptr;
        if (!cartello) continue;
        std::vector<rimando> correlati;
        if (const riga_voce* r = riga_di(c_.righe(quale_file::linea), *p))
            correlati.push_back(rimando_a(*r, "the progressive in force there here"));
        p_.push_back(avviso_a(
            nome_testo_km, *cartello, 1,
            "the driver reads " + km_scritto(*km) + " on the board at metre " + std::to_string(x.metro) +
                ", where the progressive gives " + km_scritto(atteso) + ": " + std::to_string(d) +
                " m apart, more than the " + std::to_string(scarto_cartello_km) + " m of a board's cell",
            std::move(correlati)));
    }
}

}  // namespace

void regole_cartelli(const coppia_compilata& c, std::vector<problema>& p) {
    if (c.modello().percorso.empty()) return;
    cartelli(c, p).applica();
}

}  // namespace strumento::regole_ferrovia
