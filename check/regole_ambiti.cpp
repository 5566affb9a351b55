// The rules on values the format bounds but the compiler takes as they come:
// values outside their reference range, times that are no time of day,
// stretches that end before they start, runs that begin after metre 0 and
// extents that run past the line's end.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/regole_interne.h"
#include "model/area_stazione.h"
#include "model/conversione.h"
#include "model/modello.h"
#include "model/orario.h"
#include "model/posizioni.h"
#include "reference/celle.h"

namespace strumento::regole_interne {

namespace {

using modello::cella_di;
using modello::orario::secondi_giorno;

std::string ora_del_giorno(std::int64_t t) {
    return modello::orario::scritta(t, modello::orario::ore_scritte::come_sono);
}

std::string metri(std::int64_t m) { return std::to_string(m); }

std::string nome_stazione(const riga_voce& r) {
    const auto i = r.indice("name");
    return tra_apici(i ? r.valori[*i].testo : std::string());
}

// A station's area as the reader computes it from its kind and length.
std::optional<modello::area_stazione> area_di(const riga_voce& r) {
    const auto ik = r.indice("kind"), il = r.indice("length"), i6 = r.indice("field 6");
    if (!ik || !il || !i6) return std::nullopt;
    return modello::area_di_stazione(r.n(*ik), r.n(0), r.n(*il), r.n(*i6));
}

class regole_ambiti {
public:
    regole_ambiti(const file_letto& linea, const file_letto& treno, std::vector<problema>& p)
        : linea_(linea), treno_(treno), p_(p) {}
    void applica();

private:
    // A value another rule has already spoken of is left to that rule.
    void avvisa(std::string_view regola, const riga_voce& r, std::size_t campo, std::string testo) {
        if (!gia_detto(r, campo)) p_.push_back(avviso_a(regola, r, campo, std::move(testo)));
    }
    bool gia_detto(const riga_voce& r, std::size_t campo) const;
    void orario(const riga_voce& r);
    void rovescio(const riga_voce& r);
    void inizi_tardi();
    void estensione(const riga_voce& r, const lunghezza_linea& l);
    void ambiti(const riga_voce& r);

    const file_letto& linea_;
    const file_letto& treno_;
    std::vector<problema>& p_;
};

void regole_ambiti::applica() {
    const auto lunghezza = lunghezza_di(linea_);
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) {
            orario(r);
            rovescio(r);
            if (lunghezza) estensione(r, *lunghezza);
        }
    inizi_tardi();
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) ambiti(r);
}

bool regole_ambiti::gia_detto(const riga_voce& r, std::size_t campo) const {
    const problema q = avviso_a({}, r, campo, {});
    for (const auto& x : p_)
        if (x.file == q.file && x.riga == q.riga && x.colonna == q.colonna) return true;
    return false;
}

// The parts of a time, as the reference marks them: the clock's are stored
// each in its own field, a station's are added up into seconds of the day.
void regole_ambiti::orario(const riga_voce& r) {
    const auto campi = r.voce->rif->campi;
    std::vector<std::size_t> parti;
    for (std::size_t i = 0; i < campi.size() && i < r.valori.size(); ++i)
        if (campi[i].limiti.orario) parti.push_back(i);
    if (parti.size() != 3) return;
    std::optional<std::size_t> fuori;
    for (const auto i : parti)
        if (r.n(i) < campi[i].limiti.minimo || r.n(i) > campi[i].limiti.massimo) {
            fuori = i;
            break;
        }
    if (!fuori) return;
    const std::int64_t h = r.n(parti[0]), m = r.n(parti[1]), s = r.n(parti[2]);
    const std::string scritta = ora_scritta(h, m, s);
    const std::string perche = std::string(campi[*fuori].nome) + " run " + std::string(campi[*fuori].valori);
    if (r.argomento() == "orologio") {
        avvisa(nome_ora, r, *fuori,
               "the clock's start time " + scritta + " is no time of day (" + perche +
                   "): the three numbers are stored as they are, each in its own field");
        return;
    }
    const std::int64_t t = modello::orario::secondi(h, m, s);
    std::string testo = "station " + nome_stazione(r) + " has the time " + scritta + ", no time of day (" + perche +
                        "): it is stored as " + std::to_string(t) + " s after midnight, ";
    if (t < 0)
        testo += "before the day begins";
    else if (t >= secondi_giorno)
        testo += "past the end of the day (" + ora_del_giorno(t % secondi_giorno) + " of a later day)";
    else
        testo += "the time " + ora_del_giorno(t);
    avvisa(nome_ora, r, *fuori, testo);
}

// Rows with a start and an end (or a length): what the compiler lays when
// the end does not come after the start.
void regole_ambiti::rovescio(const riga_voce& r) {
    const auto a = r.argomento();
    if (a == "montagna") {
        const std::int64_t s = r.n(0), e = r.n(1);
        if (cella_di(static_cast<double>(e), -1.0) >= cella_di(static_cast<double>(s), 0.0)) return;
        const std::string come = e < s    ? "ends before it starts"
                                 : e == s ? "ends where it starts"
                                          : "ends inside its first cell";
        avvisa(nome_rovescio, r, 1,
               "mountain stretch " + metri(s) + " to " + metri(e) + " " + come + ": no cell gets its type");
    } else if (a == "ripetizione segnali") {
        const std::int64_t s = r.n(0), e = r.n(1);
        if (e == 0 || e > s) return;
        avvisa(nome_rovescio, r, 1,
               "the signal repetition from " + metri(s) + " to " + metri(e) + " " +
                   (e < s ? "ends before it starts" : "ends where it starts") +
                   ": table record 86 holds the two as written, a repetition over no metre of the line");
    } else if (a == "curva") {
        const std::int64_t s = r.n(0), l = r.n(1);
        if (l > 0) return;
        avvisa(nome_rovescio, r, 1,
               "curve at " + metri(s) + " with length " + metri(l) +
                   (l < 0 ? " ends before it starts" : " has no metre") + ": it turns the track nowhere");
    } else if (a == "rallentamento") {
        const std::int64_t p = r.n(0), l = r.n(2);
        const std::int64_t s = cella_di(static_cast<double>(p), 1.0);
        const std::int64_t e = cella_di(static_cast<double>(p + l), 1.0);
        if (e > s || e < 0) return;
        avvisa(nome_rovescio, r, 2,
               "slowdown at " + metri(p) + " with length " + metri(l) +
                   (e == s ? " ends in its own start cell: the cell is marked as a start only, the slowdown has no end"
                           : " ends before it starts: its end is marked in " + nome_cella(e) + ", before its start"));
    } else if (a == "stazione") {
        const auto x = area_di(r);
        const auto il = r.indice("length");
        if (!x || x->fine >= x->inizio) return;
        avvisa(nome_rovescio, r, *il,
               "station " + nome_stazione(r) + " of length " + metri(r.n(*il)) + " has its area from " +
                   metri(x->inizio) + " to " + metri(x->fine) + ", its end before its start");
    }
}

// The speed and adhesion runs hold 0 before their first row's cell.
void regole_ambiti::inizi_tardi() {
    for (std::string_view tipo : {"velocita", "aderenza"})
        for (const auto& r : treno_.righe) {
            if (r.argomento() != tipo) continue;
            const std::int64_t n = cella_di(static_cast<double>(r.n(0)), 0.0);
            if (n > 0)
                avvisa(nome_inizio_tardo, r, 0,
                       std::string(tipo == "velocita" ? "the train is limited to 0 km/h" : "the adhesion is 0") +
                           " from km 0.000 to " + km(n * 50) + ": the first " + tra_apici(tipo) + " row is at " +
                           metri(r.n(0)) + ", and the cells before it, metre 0 to " + metri(n * 50) + ", hold 0");
            break;
        }
}

// Objects placed inside the line whose far end the compiler lays past it,
// into the grid's extension; an end beyond the grid is the compiler's error.
void regole_ambiti::estensione(const riga_voce& r, const lunghezza_linea& lunghezza) {
    const std::int64_t l = lunghezza.metri;
    const std::int64_t p = r.n(0);
    if (!r.ha_posizione() || p > l) return;
    const auto a = r.argomento();
    const std::string oltre = " past the line's end, " + metri(l) + " m: ";
    if (a == "curva") {
        const std::int64_t e = p + r.n(1);
        if (e > l && e <= l + modello::prolungamento_linea)
            avvisa(nome_estensione, r, 1,
                   "curve from " + metri(p) + " to " + metri(e) + " runs" + oltre + "its last " + metri(e - l) +
                       " m turn the track in the geometry's extension");
    } else if (a == "montagna") {
        const std::int64_t prima = cella_di(static_cast<double>(p), 0.0);
        const std::int64_t ultima = cella_di(static_cast<double>(r.n(1)), -1.0);
        if (ultima >= prima && ultima <= lunghezza.numero_celle && (ultima + 1) * 50 > l)
            avvisa(nome_estensione, r, 1,
                   "mountain stretch " + metri(p) + " to " + metri(r.n(1)) + " runs" + oltre +
                       "its type is laid up to metre " + metri((ultima + 1) * 50) + ", in the grid's extension");
    } else if (a == "rallentamento") {
        const std::int64_t s = cella_di(static_cast<double>(p), 1.0);
        const std::int64_t e = cella_di(static_cast<double>(p + r.n(2)), 1.0);
        if (e > s && e <= lunghezza.numero_celle && (e - 1) * 50 > l)
            avvisa(nome_estensione, r, 2,
                   "slowdown from " + metri(p) + " to " + metri(p + r.n(2)) + " runs" + oltre +
                       "its end is marked in " + nome_cella(e) + ", in the grid's extension");
    } else if (a == "stazione") {
        const auto x = area_di(r);
        const auto il = r.indice("length");
        if (!x || x->fine <= l) return;
        // The reader stops at a stop cell beyond the grid.
        if (cella_di(static_cast<double>(x->fine), -1.0) > lunghezza.numero_celle) return;
        avvisa(nome_estensione, r, *il,
               "station " + nome_stazione(r) + " has its area from " + metri(x->inizio) + " to " + metri(x->fine) +
                   "," + oltre + "its end is compiled into the grid's extension");
    }
}

// Any value whose reference entry gives a range the compiler does not
// enforce.
void regole_ambiti::ambiti(const riga_voce& r) {
    const auto campi = r.voce->rif->campi;
    for (std::size_t i = 0; i < campi.size() && i < r.valori.size(); ++i) {
        const auto& x = campi[i].limiti;
        if (!x.presente() || x.orario) continue;
        const std::int64_t v = r.n(i);
        if (v >= x.minimo && v <= x.massimo) continue;
        const std::string fuori = x.massimo >= std::numeric_limits<std::int32_t>::max()
                                      ? "below " + std::to_string(x.minimo)
                                      : "outside " + std::to_string(x.minimo) + " to " + std::to_string(x.massimo);
        // The reference marks model names as code; a message is plain text.
        std::string perche;
        for (const char c : x.fuori)
            if (c != '`') perche += c;
        avvisa(nome_ambito, r, i,
               tra_apici(r.argomento()) + " " + std::string(campi[i].nome) + " " + std::to_string(v) + " is " + fuori +
                   ": " + perche);
    }
}

}  // namespace

void avvisi_ambiti(const file_letto& linea, const file_letto& treno, std::vector<problema>& p) {
    regole_ambiti(linea, treno, p).applica();
}

}  // namespace strumento::regole_interne
