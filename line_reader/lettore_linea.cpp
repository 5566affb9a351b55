#include "line_reader/lettore_linea.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <string_view>

#include "model/codici.h"
#include "model/conversione.h"
#include "model/posizioni.h"
#include "model/valori_indicatore.h"
#include "text/file_ingresso.h"
#include "text/flusso_campi.h"
#include "text/parole.h"

namespace lettura {

using modello::cella;
using modello::cella_di;
using modello::Modello;
using modello::oltre_la_griglia;
using testo::contiene;
using testo::contiene_i;
using testo::errore_lettura;
using testo::flusso_campi;
using testo::intestazione;
namespace codice = modello::codice;

namespace {

// Comment lines: a keyword field that holds "-" is a comment, and the next
// field is read in its place, so that separator and note lines may stand
// wherever a keyword is expected. The counts are the format's own, not a
// safety bound: a file may rely on the field after the last skip being tested
// as a keyword field even when it holds "-". Value fields are never looked
// at, so negative numbers are ordinary values.
constexpr int ripetizioni_trattino_generale = 10;
constexpr int ripetizioni_trattino_corpo = 2;

// Turn per metre of the six curve classes (the inverse of the radius).
constexpr double curvatura_classe[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// How a reading ended, for the caller.
enum class esito { prosegui, fine_corpo, fine_dura };

// The body's rows, one member per value field in the order of the row. Each is
// read with a braced initialiser, whose parts are evaluated in order, so the
// fields come off the stream as they stand in the file.
struct riga_pendenza {
    std::int32_t posizione;
    std::int32_t pendenza;  // per mille, in force from posizione on
    static riga_pendenza leggi(flusso_campi& f) { return {.posizione = f.leggi_long(), .pendenza = f.leggi_long()}; }
};

struct riga_curva {
    std::int32_t inizio;
    std::int32_t lunghezza;
    static riga_curva leggi(flusso_campi& f) { return {.inizio = f.leggi_long(), .lunghezza = f.leggi_long()}; }
};

// The parameters of memo_montagna.
struct riga_montagna {
    std::int32_t inizio;
    std::int32_t fine;
    std::int32_t tipo;
    static riga_montagna leggi(flusso_campi& f) {
        return {.inizio = f.leggi_long(), .fine = f.leggi_long(), .tipo = f.leggi_long()};
    }
};

// The parameters of memo_indicatori_v_max: the left side's three speeds and
// stripes, then the right side's.
struct riga_indicatore {
    std::int32_t posizione;
    std::int32_t vas, vbs, vcs, strisces;
    std::int32_t vad, vbd, vcd, strisced;
    static riga_indicatore leggi(flusso_campi& f) {
        return {.posizione = f.leggi_long(),
                .vas = f.leggi_long(), .vbs = f.leggi_long(), .vcs = f.leggi_long(), .strisces = f.leggi_long(),
                .vad = f.leggi_long(), .vbd = f.leggi_long(), .vcd = f.leggi_long(), .strisced = f.leggi_long()};
    }
};

class lettore_linea {
public:
    lettore_linea(Modello& m, testo::file_ingresso file)
        : m_(m), nome_(std::move(file.nome)), chiuso_(std::move(file.chiuso)), flusso_(std::move(file.contenuto)) {}

    bool leggi();
    void segna_arresto() {
        m_.arresto = modello::punto_arresto{nome_, flusso_.riga_campo()};
        if (in_stesura_ && in_stesura_->first > 0)
            std::tie(m_.arresto->riga_voce, m_.arresto->riga_ultima_voce) = *in_stesura_;
        else
            std::tie(m_.arresto->riga_voce, m_.arresto->riga_ultima_voce) = std::pair{riga_voce(), flusso_.riga_campo()};
    }
    // A value of the row being read failed to read: which one, for a tool to name.
    void segna_valore(const errore_lettura& e) {
        if (!e.campo() || !riga_letta_ || !m_.arresto) return;
        m_.arresto->valore = modello::punto_arresto::valore_non_letto{
            riga_letta_->parola, riga_letta_->generale, flusso_.campi_letti() - riga_letta_->campi_prima - 1,
            e.campo()->testo, e.campo()->perche, e.campo()->riga};
    }

    // The entries' handlers, named in the keyword table below: each reads its
    // entry's value fields and acts on them. The keyword field is passed for
    // the entries that look inside it.
    esito lunghezza(const std::string& parola);
    template <int record>
    esito progressiva(const std::string& parola);
    template <std::int32_t modello::voce_tabella::*campo>
    esito sfondo(const std::string& parola);
    esito ripetizione(const std::string& parola);
    esito pendenza(const std::string& parola);
    esito curva(const std::string& parola);
    esito montagna(const std::string& parola);
    esito indicatore(const std::string& parola);
    esito cartello(const std::string& parola);

private:
    // Close, delete, code N, end: the train file is not read.
    esito fine_dura(std::int32_t c, std::optional<std::int64_t> contesa = std::nullopt) {
        segna_arresto();
        chiuso_();
        m_.codice_errore = c;
        registra_fermata(contesa);
        return esito::fine_dura;
    }
    esito fine_dura(std::int32_t c, std::int32_t posizione, std::optional<std::int64_t> contesa = std::nullopt) {
        m_.posizione_errore = posizione;
        return fine_dura(c, contesa);
    }
    // Code 15: the body ends as if the file had ended there.
    esito oltre_il_percorso(std::int32_t posizione) {
        segna_arresto();
        m_.codice_errore = codice::oltre_il_percorso;
        m_.posizione_errore = posizione;
        registra_fermata();
        return esito::fine_corpo;
    }
    void registra_fermata(std::optional<std::int64_t> contesa = std::nullopt) {
        m_.osservatore->fermata({.codice = m_.codice_errore, .riga_voce = riga_voce(), .riga_ultima = flusso_.riga_campo(),
                                 .posizione = m_.posizione_errore, .cella_contesa = contesa});
    }
    // Line of the keyword of the row being read; 0 outside a row.
    int riga_voce() const { return riga_letta_ ? riga_letta_->riga : 0; }
    bool oltre_la_griglia(std::int64_t posizione) const { return modello::oltre_la_griglia(m_, posizione); }
    // Cell of a board at position p: p / 50 + 1, rounded.
    std::int64_t cella_cartello(std::int32_t p) const {
        const auto c = cella_di(p, 1.0);
        if (c < 0 || c > m_.numero_celle)
            throw testo::fuori_dalla_griglia("kilometre board at metre " + std::to_string(p), c, m_.numero_celle);
        return c;
    }

    bool leggi_generale();
    esito voci_del_blocco(blocco_linea b, const std::string& parola);
    esito voci_riconosciute(blocco_linea b, const std::string& parola);
    void alloca_percorso(std::int32_t lunghezza);  // not "alloca": a macro in MinGW's headers
    void prepara_corpo();
    esito leggi_corpo();
    void code();
    void scrivi_pendenza(std::int64_t c);
    esito tratto(std::int64_t ultimo, double k, std::int32_t s);

    // The row whose values are being read: its keyword field and the fields
    // read before its first value.
    struct riga_in_lettura {
        std::string parola;
        bool generale;
        int campi_prima;
        int riga;  // of the keyword field
    };
    std::optional<riga_in_lettura> riga_letta_;
    // First and last line of an earlier row whose value is being laid along
    // the grid: a value that does not fit fails there, under a later row.
    std::optional<std::pair<int, int>> in_stesura_;

    Modello& m_;
    std::string nome_;
    std::function<void()> chiuso_;
    flusso_campi flusso_;
    std::int32_t cella_pendenza_ = 0;
    std::int32_t pendenza_corrente_ = 0;
    std::pair<int, int> righe_pendenza_{};  // first and last line of the row that set pendenza_corrente_
    int riga_valore_pendenza_ = 0;  // line of that row's gradient value, for a failure's reason
    std::int32_t metro_geometria_ = 2;
};

struct voce {
    parola_linea chiave;
    esito (lettore_linea::*gestore)(const std::string& parola);
};

using enum blocco_linea;
using L = lettore_linea;
using modello::voce_tabella;
constexpr bool ignorate = true;  // case-insensitive test
constexpr bool contano = false;  // case-sensitive test
constexpr bool con_geometria = true;

// Every keyword entry of the line description, in the order in which they are
// tried on each keyword field of their block. The header that closes the
// general block is no entry: that test comes after all of them.
constexpr voce voci[] = {
    {{"lunghezza", "percorso", ignorate, generale}, &L::lunghezza},
    {{"progressiva", "tre", contano, generale}, &L::progressiva<modello::record_progressiva_tre>},
    {{"progressiva", "due", contano, generale}, &L::progressiva<modello::record_progressiva_due>},
    {{"progressiva", "uno", contano, generale}, &L::progressiva<modello::record_progressiva_uno>},
    // The backgrounds go into record 85 in the order first, third, second.
    {{"sfondo", "uno", contano, generale}, &L::sfondo<&voce_tabella::inizio>},
    {{"sfondo", "due", contano, generale}, &L::sfondo<&voce_tabella::progressiva>},
    {{"sfondo", "tre", contano, generale}, &L::sfondo<&voce_tabella::fine>},
    {{"segnali", "ripetizione", contano, generale}, &L::ripetizione},

    {{"pendenza", {}, ignorate, corpo}, &L::pendenza},
    {{"curva", {}, ignorate, corpo, con_geometria}, &L::curva},
    {{"montagna", {}, ignorate, corpo}, &L::montagna},
    {{"indicatori_v", {}, ignorate, corpo}, &L::indicatore},
    {{"cartello", "indicat", ignorate, corpo}, &L::cartello},
};

constexpr auto parole = [] {
    std::array<parola_linea, std::size(voci)> p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = voci[i].chiave;
    return p;
}();

bool lettore_linea::leggi() {
    // Preamble: everything before the first field holding "[generale]".
    for (;;) {
        const std::string campo = flusso_.leggi_testo();
        if (flusso_.fine()) {
            fine_dura(codice::generale_mancante);
            return false;
        }
        if (contiene_i(campo, "[generale]")) break;
    }
    if (!leggi_generale()) return false;
    progressive_ordina(m_);
    m_.numero_montagne = 0;
    prepara_corpo();
    if (leggi_corpo() == esito::fine_dura) return false;
    chiuso_();
    code();
    return true;
}

// Every entry of block b that the keyword field matches is read, in the
// table's order, until one ends the reading.
esito lettore_linea::voci_del_blocco(blocco_linea b, const std::string& parola) {
    // The row begins at its keyword field, the last field read.
    riga_letta_ = riga_in_lettura{parola, b == generale, flusso_.campi_letti(), flusso_.riga_campo()};
    const esito e = voci_riconosciute(b, parola);
    riga_letta_.reset();
    return e;
}

esito lettore_linea::voci_riconosciute(blocco_linea b, const std::string& parola) {
    for (const voce& v : voci) {
        if (v.chiave.blocco != b || !riconosce(v.chiave, parola)) continue;
        if (v.chiave.solo_con_geometria && !m_.genera_geometria) continue;
        const esito e = (this->*v.gestore)(parola);
        if (e != esito::prosegui) return e;
    }
    return esito::prosegui;
}

// The general block: returns false after a hard stop.
bool lettore_linea::leggi_generale() {
    for (;;) {
        if (flusso_.fine()) return true;
        std::string parola = flusso_.leggi_testo();
        if (flusso_.fine()) return true;
        // Unlike the body, no end-of-file test follows these reads: a file
        // ending in two comment fields here fails reading past its end.
        for (int i = 0; i < ripetizioni_trattino_generale && contiene(parola, "-"); ++i) parola = flusso_.leggi_testo();
        if (voci_del_blocco(generale, parola) != esito::prosegui) return false;
        // A header ends the block after the entries the same field matched.
        if (intestazione(parola)) return true;
    }
}

esito lettore_linea::lunghezza(const std::string&) {
    auto& r = m_.tabella[modello::record_treno];
    // The length is stored even when it is then refused.
    r.fine = flusso_.leggi_long();
    if (r.fine > modello::lunghezza_massima) return fine_dura(codice::lunghezza_eccessiva);
    alloca_percorso(r.fine);
    return esito::prosegui;
}

// Each value is stored as soon as it is read: a row cut short leaves the
// values before the cut in the record.
template <int record>
esito lettore_linea::progressiva(const std::string&) {
    auto& r = m_.tabella[record];
    r.inizio = flusso_.leggi_long();
    r.fine = flusso_.leggi_long();
    r.progressiva = flusso_.leggi_long();
    m_.osservatore->progressiva(riga_voce(), r.inizio, r.fine);
    return esito::prosegui;
}

template <std::int32_t modello::voce_tabella::*campo>
esito lettore_linea::sfondo(const std::string&) {
    m_.tabella[modello::record_linea].*campo = flusso_.leggi_long();
    return esito::prosegui;
}

// The number of codes is not a value field: it is the digit 4 or 9 in the
// keyword field itself ("ripetizione segnali 4 codici").
esito lettore_linea::ripetizione(const std::string& parola) {
    auto& r = m_.tabella[modello::record_ripetizione];
    r.inizio = flusso_.leggi_long();
    r.fine = flusso_.leggi_long();
    if (r.inizio % 50 != 0) return fine_dura(codice::inizio_ripetizione_non_multiplo);
    if (r.fine % 50 != 0) return fine_dura(codice::fine_ripetizione_non_multipla);
    if (contiene(parola, "4")) r.progressiva = 4;
    else if (contiene(parola, "9")) r.progressiva = 9;
    else return fine_dura(codice::codici_ripetizione_ignoti);
    if (r.fine == 0) r.progressiva = 0;
    return esito::prosegui;
}

// A new grid (and geometry) for the length. Sizes and arrays change
// together: a length that cannot have a grid fails before either changes, so
// a failing second length entry leaves the first one's grid as it was.
void lettore_linea::alloca_percorso(std::int32_t lunghezza) {
    const std::int64_t totale = static_cast<std::int64_t>(lunghezza) + modello::prolungamento_linea;
    if (totale < INT32_MIN || totale > INT32_MAX) throw errore_lettura("line length out of range");
    const auto lunghezza_totale = static_cast<std::int32_t>(totale);
    const std::int32_t numero_celle = modello::a_long(lunghezza_totale / 50.0);
    if (numero_celle < 0) throw errore_lettura("line too short for a route grid");
    m_.nuovo_percorso(numero_celle);
    m_.lunghezza_totale = lunghezza_totale;
    m_.geometria.reset();
    if (m_.genera_geometria)
        m_.geometria.emplace(std::max<std::int32_t>(m_.lunghezza_totale, -1));
}

void lettore_linea::prepara_corpo() {
    if (m_.percorso.empty()) throw errore_lettura("the line description has no length entry");
    if (m_.genera_geometria) {
        if (m_.lunghezza_totale < 1) throw errore_lettura("line too short for a geometry");
        m_.geometria->inizia();
    }
    metro_geometria_ = 2;
    cella_pendenza_ = 0;
    pendenza_corrente_ = 0;
    m_.indice_cartello = modello::primo_record_cartello;
}

esito lettore_linea::leggi_corpo() {
    for (;;) {
        if (flusso_.fine()) return esito::fine_corpo;
        std::string parola = flusso_.leggi_testo();
        if (flusso_.fine()) return esito::fine_corpo;
        for (int i = 0; i < ripetizioni_trattino_corpo && contiene(parola, "-"); ++i) {
            parola = flusso_.leggi_testo();
            if (flusso_.fine()) return esito::fine_corpo;
        }
        // Headers mean nothing here: a field that matches no entry, header or
        // not, is passed over.
        const esito e = voci_del_blocco(corpo, parola);
        if (e != esito::prosegui) return e;
    }
}

void lettore_linea::scrivi_pendenza(std::int64_t c) {
    const std::int64_t valore = static_cast<std::int64_t>(pendenza_corrente_) + 100;
    if (valore < 0 || valore > 255) {
        // The row at fault is the one that set the gradient, not the one being read.
        in_stesura_ = righe_pendenza_;
        throw errore_lettura("gradient " + std::to_string(pendenza_corrente_) + " (line " +
                             std::to_string(riga_valore_pendenza_) +
                             ") out of range (-100 to 155), laid along the grid by a later row or the end of the file");
    }
    m_.percorso[static_cast<std::size_t>(c)].pendenza = static_cast<std::uint8_t>(valore);
}

// The cells before the row's own take the gradient in force; the row's
// gradient waits for the next row or the tail.
esito lettore_linea::pendenza(const std::string&) {
    const auto r = riga_pendenza::leggi(flusso_);
    if (oltre_la_griglia(r.posizione)) return oltre_il_percorso(r.posizione);
    const auto n = cella_di(r.posizione, 0.0);
    if (n > 0) {
        do {
            if (cella_pendenza_ > m_.numero_celle) return oltre_il_percorso(r.posizione);
            scrivi_pendenza(cella_pendenza_);
            ++cella_pendenza_;
        } while (cella_pendenza_ < n);
    }
    pendenza_corrente_ = r.pendenza;
    riga_valore_pendenza_ = flusso_.riga_campo();
    righe_pendenza_ = {riga_voce(), flusso_.riga_campo()};
    return esito::prosegui;
}

// Lays the track up to metre ultimo with turn k. Stops with 15 (at the
// curve's start s) at the end of the geometry, and with 103 once metre
// 1000000 has been laid.
esito lettore_linea::tratto(std::int64_t ultimo, double k, std::int32_t s) {
    if (metro_geometria_ > ultimo) return esito::prosegui;
    std::int64_t fine = std::min<std::int64_t>(ultimo, m_.lunghezza_totale);
    const bool oltre = ultimo > m_.lunghezza_totale;
    const bool troppo = fine >= modello::lunghezza_massima;
    if (troppo) fine = modello::lunghezza_massima;
    if (fine >= metro_geometria_) {
        m_.geometria->posa(metro_geometria_, static_cast<std::int32_t>(fine), k);
        metro_geometria_ = static_cast<std::int32_t>(fine) + 1;
    }
    if (troppo && metro_geometria_ > modello::lunghezza_massima) return fine_dura(codice::curva_o_geometria_errata);
    if (oltre) return oltre_il_percorso(s);
    return esito::prosegui;
}

// The keyword field carries the curve's class (its first digit 1 to 6) and
// side (any "s" or "S" turns it to the left).
esito lettore_linea::curva(const std::string& parola) {
    const auto r = riga_curva::leggi(flusso_);
    if (oltre_la_griglia(r.inizio)) return oltre_il_percorso(r.inizio);
    double k = 0.0;
    for (int classe = 1; classe <= 6 && k == 0.0; ++classe)
        if (contiene(parola, std::to_string(classe))) k = curvatura_classe[classe - 1];
    if (k == 0.0) return fine_dura(codice::curva_o_geometria_errata);
    if (contiene(parola, "s") || contiene(parola, "S")) k = -k;

    // Straight track up to the start, then the curve's metres s + 1 to s + l.
    const esito e = tratto(r.inizio, 0.0, r.inizio);
    if (e != esito::prosegui) return e;
    return tratto(static_cast<std::int64_t>(r.inizio) + r.lunghezza, k, r.inizio);
}

esito lettore_linea::montagna(const std::string&) {
    auto r = riga_montagna::leggi(flusso_);
    if (oltre_la_griglia(r.inizio)) return oltre_il_percorso(r.inizio);
    const auto prima = cella_di(r.inizio, 0.0);
    const auto ultima = cella_di(r.fine, -1.0);
    if (ultima >= prima) {
        if (ultima > m_.numero_celle) return oltre_il_percorso(r.inizio);
        if (prima < 0)
            throw errore_lettura("the mountain stretch from metre " + std::to_string(r.inizio) +
                                 " starts before the start of the line");
    }
    memo_montagna(m_, r.inizio, r.fine, r.tipo);
    return esito::prosegui;
}

esito lettore_linea::indicatore(const std::string&) {
    const auto r = riga_indicatore::leggi(flusso_);
    if (oltre_la_griglia(r.posizione)) return oltre_il_percorso(r.posizione);
    const auto presa = memo_indicatori_v_max(m_, riga_voce(), r.posizione, r.vas, r.vbs, r.vcs, r.strisces, r.vad,
                                             r.vbd, r.vcd, r.strisced);
    if (m_.codice_errore > 0) return fine_dura(m_.codice_errore, r.posizione, presa);
    return esito::prosegui;
}

// A kilometre board: its position, then its text.
esito lettore_linea::cartello(const std::string&) {
    const std::int32_t p = flusso_.leggi_long();
    const std::string scritta = flusso_.leggi_testo();
    if (oltre_la_griglia(p)) return oltre_il_percorso(p);
    const auto n = cella_cartello(p);
    cella& c = m_.percorso[static_cast<std::size_t>(n)];
    if (!modello::cella_libera(c)) return fine_dura(codice::cartello_km_occupato, p, n);
    if (m_.indice_cartello < 1) throw errore_lettura("no table record left for a kilometre board");
    m_.osservatore->posato(riga_voce(), n, modello::oggetto_posato::cartello_km, p, scritta);
    c.tipo = modello::tipo_cella::cartello_km;
    c.valore_1 = static_cast<std::int16_t>(m_.indice_cartello);
    m_.tabella[static_cast<std::size_t>(m_.indice_cartello)].nome = scritta;
    --m_.indice_cartello;
    return esito::prosegui;
}

// After the body: the gradient in force up to the third-last cell, and
// straight track up to the second-last metre.
void lettore_linea::code() {
    do {
        if (cella_pendenza_ > m_.numero_celle) break;
        scrivi_pendenza(cella_pendenza_);
        ++cella_pendenza_;
    } while (cella_pendenza_ < m_.numero_celle - 2);
    if (m_.genera_geometria) {
        if (metro_geometria_ <= m_.lunghezza_totale - 2) {
            m_.geometria->posa(metro_geometria_, m_.lunghezza_totale - 2, 0.0);
            metro_geometria_ = m_.lunghezza_totale - 1;
        }
    }
}

}  // namespace

bool leggi_linea(Modello& m, testo::file_ingresso file) {
    lettore_linea lettore(m, std::move(file));
    try {
        return lettore.leggi();
    } catch (const errore_lettura& e) {
        lettore.segna_arresto();
        lettore.segna_valore(e);
        throw;
    } catch (...) {
        lettore.segna_arresto();
        throw;
    }
}

std::span<const parola_linea> parole_linea() { return parole; }

// The three progressives are put into a fixed order, each record moving whole:
//   - when their starts add up to 0 (all at 0), the starts cannot order them:
//     the first with a positive kilometric value, taking uno, due, tre in
//     turn, goes into record 81 and the other two follow in a fixed order;
//     with no positive value all three are cleared;
//   - otherwise they go by decreasing start, the one starting furthest along
//     the line in record 81. That start must be the largest on its own, or all
//     three are cleared; when the other two starts are equal, the second order
//     of the branch applies.
// Then each record with direction code 1 gets 100 added to its kilometric value.
void progressive_ordina(Modello& m) {
    auto& t = m.tabella;
    const auto T = t[modello::record_progressiva_tre];
    const auto D = t[modello::record_progressiva_due];
    const auto U = t[modello::record_progressiva_uno];
    const modello::voce_tabella zero{};
    auto metti = [&](const modello::voce_tabella& a, const modello::voce_tabella& b, const modello::voce_tabella& c) {
        for (auto [record, da] : {std::pair{modello::record_progressiva_tre, &a},
                                  std::pair{modello::record_progressiva_due, &b},
                                  std::pair{modello::record_progressiva_uno, &c}}) {
            auto& voce = t[static_cast<std::size_t>(record)];
            voce.inizio = da->inizio;
            voce.fine = da->fine;
            voce.progressiva = da->progressiva;
        }
    };
    const std::int64_t sT = T.inizio, sD = D.inizio, sU = U.inizio;
    if (sT + sD + sU == 0) {
        if (U.fine > 0) metti(U, D, T);
        else if (D.fine > 0) metti(D, T, U);
        else if (T.fine > 0) metti(T, D, U);
        else metti(zero, zero, zero);
    } else if (sT > sD && sT > sU) {
        if (sD > sU) metti(T, D, U); else metti(T, U, D);
    } else if (sD > sT && sD > sU) {
        if (sT > sU) metti(D, T, U); else metti(D, U, T);
    } else if (sU > sT && sU > sD) {
        if (sT > sD) metti(U, T, D); else metti(U, D, T);
    } else {
        metti(zero, zero, zero);
    }
    for (int r : {modello::record_progressiva_tre, modello::record_progressiva_due, modello::record_progressiva_uno}) {
        auto& voce = t[static_cast<std::size_t>(r)];
        if (voce.progressiva == 1) {
            const std::int64_t v = static_cast<std::int64_t>(voce.fine) + 100;
            if (v > INT32_MAX) throw errore_lettura("kilometric value out of range");
            voce.fine = static_cast<std::int32_t>(v);
        }
    }
}

void memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
    bool segni = false;
    if (tipo > 10) {
        tipo -= 10;
        segni = true;
    }
    if (m.numero_montagne >= modello::massimo_montagne) throw errore_lettura("more than 80 mountain stretches");
    ++m.numero_montagne;
    const auto n = static_cast<std::size_t>(m.numero_montagne);
    m.montagna_inizio[n] = inizio;
    m.montagna_fine[n] = fine;
    if (n > 1 && static_cast<std::int64_t>(inizio) - m.montagna_fine[n - 1] <= 150) tipo = 3;

    // The last cell is fine / 50 - 1 rounded as a whole: with a fraction of
    // exactly .5 in fine / 50 this is not round(fine / 50) - 1.
    const auto prima = cella_di(inizio, 0.0);
    const auto ultima = cella_di(fine, -1.0);
    if (ultima >= prima && (prima < 0 || ultima > m.numero_celle))
        throw testo::fuori_dalla_griglia("mountain stretch from metre " + std::to_string(inizio), prima < 0 ? prima : ultima,
                                         m.numero_celle);
    std::int64_t conta = 0;
    for (std::int64_t c = prima; c <= ultima; ++c) {
        cella& x = m.percorso[static_cast<std::size_t>(c)];
        x.tipo_montagna = modello::basso_8(tipo);
        ++conta;
        if (segni && conta % 4 == 0 && x.tipo == modello::tipo_cella::nessuno) x.tipo = modello::tipo_cella::segno_montagna;
    }
}

std::optional<std::int64_t> memo_indicatori_v_max(Modello& m, int riga, std::int32_t posizione, std::int32_t vas,
                                                  std::int32_t vbs, std::int32_t vcs, std::int32_t strisces,
                                                  std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                                                  std::int32_t strisced) {
    const auto c = cella_di(posizione, 1.0);
    if (c < 0 || c > m.numero_celle)
        throw testo::fuori_dalla_griglia("speed indicator board at metre " + std::to_string(posizione), c, m.numero_celle);
    cella& x = m.percorso[static_cast<std::size_t>(c)];
    if (!modello::cella_libera(x)) {
        m.codice_errore = codice::indicatore_occupato;
        return c;
    }
    m.osservatore->posato(riga, c, modello::oggetto_posato::indicatore_v_max, posizione);
    // Each value is stored as soon as it is computed, so a value that does not
    // fit 16 bits fails with the cell holding what came before it.
    x.tipo = modello::tipo_cella::indicatore_v_max;
    namespace vi = modello::valori_indicatore;
    x.valore_1 = modello::a_integer(vi::velocita_grezza(vas, vad));
    x.valore_2 = modello::a_integer(vi::velocita_grezza(vbs, vbd));
    x.valore_3 = modello::a_integer(vi::velocita_grezza(vcs, vcd));
    x.valore_4 = modello::basso_16(vi::strisce(strisces, strisced));
    return std::nullopt;
}

}  // namespace lettura
