// The kilometric progressives: two that start at the same metre, names out
// of the order of their starts, a direction code the format does not have,
// and kilometre boards whose figures jump or run backwards where no
// progressive gives the figures.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/linea_percorsa.h"
#include "check/regole_ferrovia_interne.h"
#include "check/regole_interne.h"

namespace strumento::regole_ferrovia {

namespace {

using regole_interne::avviso_a;
using righe_lette::riga_voce;

// How far two boards' figures may disagree with the track between them: a
// board lands in a 50 m cell, so each of the two is known within 50 m.
constexpr std::int64_t scarto_tra_cartelli = 100;

std::string_view nome(const riga_voce& r) {
    const auto a = r.argomento();
    return a.substr(a.rfind(' ') + 1);
}

int ordine_nome(std::string_view n) { return n == "uno" ? 1 : n == "due" ? 2 : 3; }

// A progressive that gives figures: a start or a value other than 0 (the
// built-in writes its unused ones as 0, 0, 0).
bool usata(const riga_voce& r) { return r.n(0) != 0 || r.n(1) != 0; }

std::string chi(const riga_voce& r) { return "progressive " + std::string(nome(r)); }

class progressive {
public:
    progressive(const coppia_compilata& c, std::vector<problema>& p)
        : c_(c), m_(c.modello()), r_(c.registro()), p_(p), tenute_(progressive_tenute(m_)) {}
    void applica() {
        if (da_leggere()) {
            // The last row of each name is the one the compiler keeps.
            for (const auto& r : c_.righe(quale_file::linea).righe) {
                if (!r.argomento().starts_with("progressiva")) continue;
                std::erase_if(righe_, [&](const riga_voce* x) { return nome(*x) == nome(r); });
                righe_.push_back(&r);
            }
            stesso_inizio();
            ordine();
            codice();
        }
        salti();
    }

private:
    // Whether the rows may hold a case: two progressives that give figures,
    // or a kept code other than 0 and 1. A clean line reads no row here.
    bool da_leggere() const {
        const auto usate = std::count_if(r_.progressive.begin(), r_.progressive.end(),
                                         [](const riga_progressiva& x) { return x.inizio != 0 || x.valore != 0; });
        return usate >= 2 || std::any_of(tenute_.begin(), tenute_.end(),
                                         [](const progressiva& x) { return x.codice != 0 && x.codice != 1; });
    }
    void stesso_inizio();
    void ordine();
    void codice();
    void salti();
    std::int64_t lunghezza() const { return m_.tabella[modello::record_treno].fine; }

    const coppia_compilata& c_;
    const modello::Modello& m_;
    const registro_controllo& r_;
    std::vector<problema>& p_;
    const std::vector<progressiva> tenute_;
    std::vector<const riga_voce*> righe_;  // one per name, in file order
};

// Two progressives from one metre: one hides the other, or the compiler
// clears all three when theirs is the largest start.
void progressive::stesso_inizio() {
    for (std::size_t i = 0; i < righe_.size(); ++i)
        for (std::size_t j = i + 1; j < righe_.size(); ++j) {
            const riga_voce& a = *righe_[i];
            const riga_voce& b = *righe_[j];
            if (!usata(a) || !usata(b) || a.n(0) != b.n(0)) continue;
            const std::string da = "metre " + std::to_string(a.n(0));
            if (tenute_.empty()) {
                p_.push_back(avviso_a(
                    nome_progressive_inizio, b, 0,
                    "the driver sees no kilometre figure anywhere on the line: " + chi(b) + " starts at " + da +
                        " like " + chi(a) + ", and the compiler, which orders the three by start, clears all three "
                        "records when the largest start is not one's alone",
                    {rimando_a(a, chi(a) + " starts at the same metre here")}));
                continue;
            }
            const progressiva* vale = in_vigore(tenute_, a.n(0));
            const riga_voce& nascosta = vale && riga_di(c_.righe(quale_file::linea), *vale) == &a ? b : a;
            const riga_voce& mostrata = &nascosta == &a ? b : a;
            p_.push_back(avviso_a(
                nome_progressive_inizio, nascosta, 0,
                "the driver never sees the figures of " + chi(nascosta) + " (" +
                    km_scritto(nascosta.n(1)) + " at " + da + "): " + chi(mostrata) +
                    " starts at the same metre and its figures hold from there; the compiler orders the progressives "
                    "by start and, on equal starts, keeps " + chi(mostrata) + " first (with every start 0, the first "
                    "with a value above 0, in the order uno, due, tre)",
                {rimando_a(mostrata, chi(mostrata) + ", in force from the same metre, here")}));
        }
}

// Names that do not follow the starts: uno first along the line, then due,
// then tre. The compiler orders them by start, whatever their names.
void progressive::ordine() {
    for (const riga_voce* a : righe_)
        for (const riga_voce* b : righe_) {
            if (!usata(*a) || !usata(*b) || ordine_nome(nome(*a)) >= ordine_nome(nome(*b))) continue;
            if (a->n(0) <= b->n(0)) continue;
            p_.push_back(avviso_a(
                nome_progressive_ordine, *b, 0,
                "the driver meets the figures of " + chi(*b) + " first, from " + dove(tenute_, b->n(0)) +
                    ", and those of " + chi(*a) + " only from metre " + std::to_string(a->n(0)) +
                    ": the compiler orders the progressives by start whatever their names (the furthest along the "
                    "line in table record 81), so " + std::string(nome(*b)) + " comes before " +
                    std::string(nome(*a)) + " along the line",
                {rimando_a(*a, chi(*a) + ", which its name puts first, starts further along here")}));
        }
}

// Only code 1 is read: the figures count down along the line.
void progressive::codice() {
    for (const riga_voce* r : righe_) {
        if (!usata(*r) || r->valori.size() < 3 || r->n(2) == 0 || r->n(2) == 1) continue;
        const std::int64_t fine = r->n(1) + lunghezza() - r->n(0);
        p_.push_back(avviso_a(
            nome_codice_direzione, *r, 2,
            "the figures of " + chi(*r) + " count up along the line, " + km_scritto(r->n(1)) + " at metre " +
                std::to_string(r->n(0)) + " to " + km_scritto(fine) + " at the line's end: direction code " +
                std::to_string(r->n(2)) + " is stored as it is, and the compiler reads only 1 (figures that count "
                "down, marked by adding 100 to the value); 0 and any other code count up"));
    }
}

// Kilometre boards where no progressive is in force: their figures can only
// be held to each other.
void progressive::salti() {
    struct cartello {
        int riga;
        std::int64_t metro, km;
    };
    std::optional<cartello> prima;
    std::int64_t verso = 0;
    for (const std::size_t o : posati(r_, modello::oggetto_posato::cartello_km)) {
        const auto& x = r_.oggetti[o];
        const auto km = km_del_testo(x.nome);
        if (!km || in_vigore(tenute_, x.metro)) continue;
        const cartello ora{x.riga, x.metro, *km};
        if (prima && ora.metro > prima->metro) {
            const std::int64_t dk = ora.km - prima->km, dm = ora.metro - prima->metro;
            const std::int64_t salto = (dk < 0 ? -dk : dk) - dm;
            const std::int64_t v = dk > 0 ? 1 : dk < 0 ? -1 : 0;
            std::string come;
            if (verso != 0 && v != 0 && v != verso)
                come = "the figures run backwards, " + std::string(v < 0 ? "down" : "up") + " after counting " +
                       (verso < 0 ? "down" : "up");
            else if (salto > scarto_tra_cartelli || salto < -scarto_tra_cartelli)
                come = "the figures change by " + std::to_string(dk < 0 ? -dk : dk) + " m over " + std::to_string(dm) +
                       " m of track, more than the " + std::to_string(scarto_tra_cartelli) +
                       " m two boards' cells allow";
            const auto& linea = c_.righe(quale_file::linea);
            const riga_voce* questa = come.empty() ? nullptr : riga_alla(linea, ora.riga);
            const riga_voce* quella = come.empty() ? nullptr : riga_alla(linea, prima->riga);
            if (questa && quella)
                p_.push_back(avviso_a(
                    nome_salto_km, *questa, 1,
                    "the driver reads " + km_scritto(ora.km) + " at metre " + std::to_string(ora.metro) + " after " +
                        km_scritto(prima->km) + " at metre " + std::to_string(prima->metro) + ": " + come +
                        ", and no progressive begins between them",
                    {rimando_a(*quella, "the board before it, " + km_scritto(prima->km) + ", here")}));
            if (v != 0) verso = v;
        }
        prima = ora;
    }
}

}  // namespace

void regole_progressive(const coppia_compilata& c, std::vector<problema>& p) {
    if (c.modello().percorso.empty()) return;
    progressive(c, p).applica();
}

}  // namespace strumento::regole_ferrovia
