#include "train_reader/lettore_treno.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "model/area_stazione.h"
#include "model/codici.h"
#include "model/conversione.h"
#include "model/orario.h"
#include "model/posizioni.h"
#include "model/valori_segnale.h"
#include "text/file_ingresso.h"
#include "text/flusso_campi.h"
#include "text/parole.h"

namespace lettura {

using modello::basso_16;
using modello::basso_8;
using modello::cella;
using modello::cella_di;
using modello::Modello;
using modello::oltre_la_griglia;
using testo::contiene;
using testo::contiene_i;
using testo::errore_lettura;
using testo::flusso_campi;
namespace codice = modello::codice;
namespace tc = modello::tipo_cella;

namespace {

// Comment lines: a keyword field that holds "-" is a comment, and the next
// field is read in its place, so that separator and note lines may stand
// before a row. The count is the format's own, not a safety bound: the field
// after the second skip is tested as a keyword field even when it holds "-".
// Value fields are never looked at, so negative numbers are ordinary values.
constexpr int ripetizioni_trattino = 2;
constexpr int margine_stazione = 800;

std::int32_t a_long_esatto(std::int64_t v, const char* cosa) {
    if (v < INT32_MIN || v > INT32_MAX)
        throw errore_lettura("the " + std::string(cosa) + " comes to " + std::to_string(v) +
                             ", out of the Long range (-2147483648 to 2147483647)");
    return static_cast<std::int32_t>(v);
}

cella& cella_esistente(Modello& m, std::int64_t c, const char* cosa) {
    if (c < 0 || c > m.numero_celle) throw testo::fuori_dalla_griglia(cosa, c, m.numero_celle);
    return m.percorso[static_cast<std::size_t>(c)];
}

// A run of cell values laid along the grid: each row closes the stretch of
// the row before it with the value that was in force.
struct corsa {
    std::int64_t prossima = 0;
    std::int64_t in_vigore = 0;
    std::pair<int, int> righe{};  // lines of the row that set in_vigore, for a recorder
    int riga_valore = 0;          // line of that row's value, for a failure's reason
};

// Rows of numbers, one member per value field in the order of the row. Each
// is read with a braced initialiser, whose parts are evaluated in order, so
// the fields come off the stream as they stand in the file.

// A speed-limit or adhesion row.
struct riga_corsa {
    std::int32_t posizione;
    std::int32_t valore;  // in force from posizione on
    static riga_corsa leggi(flusso_campi& f) { return {.posizione = f.leggi_long(), .valore = f.leggi_long()}; }
};

// The parameters of memo_segnale.
struct riga_segnale {
    std::int32_t posizione;
    std::int32_t sx, s1, s2, s3;
    std::int32_t rapp;
    std::int32_t dx, d1, d2, d3;
    std::int32_t tempo;
    static riga_segnale leggi(flusso_campi& f) {
        return {.posizione = f.leggi_long(),
                .sx = f.leggi_long(), .s1 = f.leggi_long(), .s2 = f.leggi_long(), .s3 = f.leggi_long(),
                .rapp = f.leggi_long(),
                .dx = f.leggi_long(), .d1 = f.leggi_long(), .d2 = f.leggi_long(), .d3 = f.leggi_long(),
                .tempo = f.leggi_long()};
    }
};

// The parameters of memo_rallentamento.
struct riga_rallentamento {
    std::int32_t posizione;
    std::int32_t v, l, f_tt, f_ta, d_v;
    static riga_rallentamento leggi(flusso_campi& f) {
        return {.posizione = f.leggi_long(), .v = f.leggi_long(), .l = f.leggi_long(), .f_tt = f.leggi_long(),
                .f_ta = f.leggi_long(), .d_v = f.leggi_long()};
    }
};

// A code point: where the cab-signal code changes, and to which value.
struct riga_abbattimento {
    std::int32_t posizione;
    std::int32_t codice;  // below 1: a code point without a value
    static riga_abbattimento leggi(flusso_campi& f) { return {.posizione = f.leggi_long(), .codice = f.leggi_long()}; }
};

enum class esito { prosegui, fine_lettura, uscita };

class lettore_treno {
public:
    lettore_treno(Modello& m, testo::file_ingresso file)
        : m_(m), nome_(std::move(file.nome)), chiuso_(std::move(file.chiuso)), flusso_(std::move(file.contenuto)) {}

    void leggi();
    void segna_arresto() {
        m_.arresto = modello::punto_arresto{nome_, flusso_.riga_campo()};
        if (in_stesura_ && in_stesura_->first > 0)
            std::tie(m_.arresto->riga_voce, m_.arresto->riga_ultima_voce) = *in_stesura_;
        else
            std::tie(m_.arresto->riga_voce, m_.arresto->riga_ultima_voce) = std::pair{riga_voce_, flusso_.riga_campo()};
    }
    // A value of the row being read failed to read: which one, for a tool to name.
    void segna_valore(const errore_lettura& e) {
        if (!e.campo() || !riga_letta_ || !m_.arresto) return;
        m_.arresto->valore = modello::punto_arresto::valore_non_letto{
            riga_letta_->parola, riga_letta_->generale, flusso_.campi_letti() - riga_letta_->campi_prima - 1,
            e.campo()->testo, e.campo()->perche, e.campo()->riga};
    }

    // The entries' handlers, named in the keyword table below: each reads its
    // row's value fields and acts on them.
    esito massa_frenata();
    esito vetture();
    esito velocita();
    esito aderenza();
    esito orologio();
    esito sabbia();
    esito segnale();
    esito rallentamento();
    esito abbattimento();
    esito stazione();

private:
    // Close, delete, code N, return: the end-of-reading steps are skipped.
    esito uscita(std::int32_t c, const modello::fermata_lettore& come = {}) {
        segna_arresto();
        chiuso_();
        m_.codice_errore = c;
        registra_fermata(come);
        return esito::uscita;
    }
    esito uscita(std::int32_t c, std::int32_t posizione, const modello::fermata_lettore& come = {}) {
        m_.posizione_errore = posizione;
        return uscita(c, come);
    }
    // Code 15: the reading ends as if the file had ended there.
    esito oltre(std::int32_t posizione) {
        segna_arresto();
        m_.codice_errore = codice::oltre_il_percorso;
        m_.posizione_errore = posizione;
        registra_fermata();
        return esito::fine_lettura;
    }
    // come: what the row met (the cell it found taken, the station before it).
    void registra_fermata(modello::fermata_lettore come = {}) {
        come.codice = m_.codice_errore;
        come.riga_voce = riga_voce_;
        come.riga_ultima = flusso_.riga_campo();
        come.posizione = m_.posizione_errore;
        m_.osservatore->fermata(come);
    }
    static modello::fermata_lettore contro(std::optional<std::int64_t> cella) { return {.cella_contesa = cella}; }

    esito riga();
    // Where a run's value goes in a cell, and the byte it becomes there.
    struct scrittura_corsa {
        std::uint8_t cella::*campo;
        std::uint8_t (lettore_treno::*in_byte)(std::int64_t);
    };
    static scrittura_corsa scrivi_velocita() { return {&cella::velocita, &lettore_treno::byte_velocita}; }
    static scrittura_corsa scrivi_aderenza() { return {&cella::aderenza, &lettore_treno::byte_aderenza}; }
    esito passo_di_corsa(corsa& c, const riga_corsa& r, scrittura_corsa scrivi);
    void stendi(corsa& c, std::int64_t fino_a, scrittura_corsa scrivi);
    std::uint8_t byte_velocita(std::int64_t v);
    std::uint8_t byte_aderenza(std::int64_t v) { return basso_8(v); }
    void fine_lettura();

    // The row whose values are being read: its keyword field and the fields
    // read before its first value.
    struct riga_in_lettura {
        std::string parola;
        bool generale;
        int campi_prima;
    };
    std::optional<riga_in_lettura> riga_letta_;
    int riga_voce_ = 0;  // line of the keyword of the row being read; 0 outside a row
    // First and last line of an earlier row whose value is being laid along
    // the grid: a value that does not fit fails there, under a later row.
    std::optional<std::pair<int, int>> in_stesura_;

    Modello& m_;
    std::string nome_;
    std::function<void()> chiuso_;
    flusso_campi flusso_;
    corsa velocita_;
    corsa aderenza_;
    std::int32_t numero_stazione_ = 1;
};

struct voce {
    parola_treno chiave;
    esito (lettore_treno::*gestore)();
};

using T = lettore_treno;

// Every train keyword is tested without regard to case.
constexpr parola_treno chiave(std::string_view prima, std::string_view seconda = {}) {
    return {prima, seconda, true};
}

// Every keyword entry of the train file, in the order in which they are tried
// on each keyword field. The station comes last, so nothing is tried after a
// station row.
constexpr voce voci[] = {
    {chiave("frenata", "massa"), &T::massa_frenata},
    {chiave("vetture"), &T::vetture},
    {chiave("velocit"), &T::velocita},
    {chiave("aderenza"), &T::aderenza},
    {chiave("orologio"), &T::orologio},
    {chiave("sabbia"), &T::sabbia},
    {chiave("segnale"), &T::segnale},
    {chiave("rallentamento"), &T::rallentamento},
    {chiave("abbattimento"), &T::abbattimento},
    {chiave("stazione"), &T::stazione},
};

constexpr auto parole = [] {
    std::array<parola_treno, std::size(voci)> p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = voci[i].chiave;
    return p;
}();

void lettore_treno::leggi() {
    for (;;) {
        const std::string campo = flusso_.leggi_testo();
        if (flusso_.fine() || contiene_i(campo, "[generale]")) break;
    }
    for (;;) {
        const esito e = riga();
        if (e == esito::uscita) return;
        if (e == esito::fine_lettura) break;
    }
    fine_lettura();
}

// One turn of the main loop: one keyword field and every row it names, in the
// table's order, until one ends the reading.
esito lettore_treno::riga() {
    if (flusso_.fine()) return esito::fine_lettura;
    std::string parola = flusso_.leggi_testo();
    if (flusso_.fine()) return esito::fine_lettura;
    for (int i = 0; i < ripetizioni_trattino && contiene(parola, "-"); ++i) {
        parola = flusso_.leggi_testo();
        if (flusso_.fine()) return esito::fine_lettura;
    }
    // The row begins at its keyword field, the last field read.
    riga_voce_ = flusso_.riga_campo();
    riga_letta_ = riga_in_lettura{parola, false, flusso_.campi_letti()};
    for (const voce& v : voci) {
        if (!riconosce(v.chiave, parola)) continue;
        const esito e = (this->*v.gestore)();
        if (e != esito::prosegui) return e;
    }
    riga_letta_.reset();
    riga_voce_ = 0;
    return esito::prosegui;
}

esito lettore_treno::massa_frenata() {
    m_.tabella[modello::record_treno].inizio = flusso_.leggi_long();
    return esito::prosegui;
}

esito lettore_treno::vetture() {
    m_.tabella[modello::record_treno].progressiva = flusso_.leggi_long();
    return esito::prosegui;
}

esito lettore_treno::velocita() {
    return passo_di_corsa(velocita_, riga_corsa::leggi(flusso_), scrivi_velocita());
}

esito lettore_treno::aderenza() {
    return passo_di_corsa(aderenza_, riga_corsa::leggi(flusso_), scrivi_aderenza());
}

// Hours, minutes and seconds, each stored as soon as it is read: a row cut
// short leaves the values before the cut in the record.
esito lettore_treno::orologio() {
    auto& r = m_.tabella[modello::record_ripetizione];
    r.campo_10 = flusso_.leggi_integer();
    r.campo_11 = flusso_.leggi_integer();
    r.campo_12 = flusso_.leggi_integer();
    return esito::prosegui;
}

esito lettore_treno::sabbia() {
    m_.tabella[modello::record_ripetizione].campo_7 = flusso_.leggi_integer();
    return esito::prosegui;
}

esito lettore_treno::segnale() {
    auto r = riga_segnale::leggi(flusso_);
    if (oltre_la_griglia(m_, r.posizione)) return oltre(r.posizione);
    const auto posa = memo_segnale(m_, riga_voce_, r.posizione, r.sx, r.s1, r.s2, r.s3, r.rapp, r.dx, r.d1, r.d2, r.d3,
                                   r.tempo);
    if (posa.codice != 0) return uscita(codice::segnale_occupato, r.posizione, contro(posa.cella_contesa));
    return esito::prosegui;
}

esito lettore_treno::rallentamento() {
    const auto r = riga_rallentamento::leggi(flusso_);
    if (oltre_la_griglia(m_, r.posizione)) return oltre(r.posizione);
    const auto posa = memo_rallentamento(m_, riga_voce_, r.posizione, r.v, r.l, r.f_tt, r.f_ta, r.d_v);
    if (posa.codice == codice::oltre_il_percorso) {
        segna_arresto();
        registra_fermata();
        return esito::fine_lettura;
    }
    if (posa.codice != 0) return uscita(posa.codice, r.posizione, contro(posa.cella_contesa));
    return esito::prosegui;
}

// Writes the value in force into the run's next cell and on up to fino_a
// (exclusive), at least one cell, but never into the last cell of the grid.
// The value is turned into its byte once, as the first cell takes it: a value
// that does not fit fails there, before any cell is written.
void lettore_treno::stendi(corsa& c, std::int64_t fino_a, scrittura_corsa scrivi) {
    in_stesura_ = c.righe;
    if (c.prossima < m_.numero_celle) {
        const std::uint8_t b = (this->*scrivi.in_byte)(c.in_vigore);
        do {
            m_.percorso[static_cast<std::size_t>(c.prossima)].*scrivi.campo = b;
            ++c.prossima;
        } while (c.prossima < fino_a && c.prossima < m_.numero_celle);
    }
    in_stesura_.reset();
}

// The speed is kept in steps of 5 km/h in one byte: a speed whose fifth does
// not fit fails here, as a later row or the end of the file lays it.
std::uint8_t lettore_treno::byte_velocita(std::int64_t v) {
    const double quinto = modello::arrotonda(static_cast<double>(v) / 5.0);
    if (!(quinto >= 0.0 && quinto <= 255.0))
        throw errore_lettura("speed limit " + std::to_string(v) + " (line " + std::to_string(velocita_.riga_valore) +
                             ") out of range: its fifth does not fit a byte (0 to 1277 km/h), laid along the grid by "
                             "a later row or the end of the file");
    return modello::a_byte(static_cast<double>(v) / 5.0);
}

// A row of a run: the stretch before its cell takes the value in force,
// then its own value comes into force.
esito lettore_treno::passo_di_corsa(corsa& c, const riga_corsa& r, scrittura_corsa scrivi) {
    if (oltre_la_griglia(m_, r.posizione)) return oltre(r.posizione);
    const std::int64_t n = cella_di(r.posizione, 0.0);
    if (n > 0) stendi(c, n, scrivi);
    c.in_vigore = r.valore;
    c.riga_valore = flusso_.riga_campo();
    c.righe = {riga_voce_, flusso_.riga_campo()};
    return esito::prosegui;
}

esito lettore_treno::abbattimento() {
    const auto r = riga_abbattimento::leggi(flusso_);
    if (oltre_la_griglia(m_, r.posizione)) return oltre(r.posizione);
    const std::int64_t n = cella_di(r.posizione, 0.0);
    cella& c = cella_esistente(m_, n, "code point");
    if (!modello::cella_libera(c)) return uscita(codice::abbattimento_occupato, r.posizione, contro(n));
    m_.osservatore->posato(riga_voce_, n, modello::oggetto_posato::punto_codice, r.posizione);
    if (r.codice < 1) {
        c.tipo = tc::punto_senza_codice;
    } else {
        c.tipo = tc::punto_codice;
        c.valore_1 = basso_16(r.codice);
    }
    return esito::prosegui;
}

// A station row's fields are stored one by one as they are read, and the
// position and the length are checked as soon as they are read, before the
// fields after them.
esito lettore_treno::stazione() {
    const std::int32_t k = numero_stazione_;
    // The next record must stay below the board texts: refused before anything is stored.
    if (k >= m_.indice_cartello) return uscita(codice::tabella_piena);
    auto& r = m_.tabella[static_cast<std::size_t>(k)];
    r.progressiva = flusso_.leggi_long();
    const std::int32_t p = r.progressiva;
    if (oltre_la_griglia(m_, p, margine_stazione)) return oltre(p);
    if (p % 50 != 0) return uscita(codice::stazione_non_multipla, p);
    r.tipo = flusso_.leggi_byte();
    const std::int32_t lunghezza = flusso_.leggi_long();
    if (lunghezza % 100 != 0) return uscita(codice::lunghezza_stazione_non_multipla, p);
    r.campo_4 = flusso_.leggi_byte();
    r.campo_5 = flusso_.leggi_byte();
    r.campo_6 = flusso_.leggi_byte();
    r.campo_7 = flusso_.leggi_integer();
    r.campo_8 = flusso_.leggi_integer();
    r.campo_9 = flusso_.leggi_byte();
    r.campo_10 = flusso_.leggi_integer();
    r.campo_11 = flusso_.leggi_integer();
    r.campo_12 = flusso_.leggi_integer();
    r.campo_13 = flusso_.leggi_byte();
    const std::int64_t ore = flusso_.leggi_long();
    const std::int64_t minuti = flusso_.leggi_long();
    const std::int64_t secondi = flusso_.leggi_long();
    r.orario = a_long_esatto(modello::orario::secondi(ore, minuti, secondi),
                             "timetable time, (hours × 60 + minutes) × 60 + seconds,");
    r.nome = flusso_.leggi_testo();
    m_.osservatore->stazione(riga_voce_, r.nome);

    const auto area = modello::area_di_stazione(r.tipo, p, lunghezza, r.campo_6);
    if (modello::campo_6_azzerato(r.tipo)) r.campo_6 = 0;
    r.inizio = a_long_esatto(area.inizio, "station's start, by its position, kind and length,");
    r.fine = a_long_esatto(area.fine, "station's end, by its position, kind and length,");
    if (lunghezza < 600) r.campo_5 = 0;
    if (k == 1) {
        r.campo_5 = 0;
        r.campo_6 = 0;
    }

    if (r.tipo < 25) {
        const double fine_in_celle = r.fine / 50.0;
        const auto fermata = static_cast<std::int64_t>(modello::arrotonda(fine_in_celle - 1));
        if (fermata > m_.numero_celle) return oltre(p);
        if (r.tipo != 5 && r.tipo != 6) {
            for (int j = 1; j <= 4; ++j)
                if (fine_in_celle - j - 1 > 1)
                    cella_esistente(m_, static_cast<std::int64_t>(modello::arrotonda(fine_in_celle - 1 - j)),
                                    "station approach mark")
                        .preavviso = static_cast<std::uint8_t>(80 + j);
        }
        if (fine_in_celle - 1 <= 1) return uscita(codice::stazione_troppo_vicina_origine);
        cella& c = cella_esistente(m_, fermata, "stopping point");
        m_.osservatore->posato(riga_voce_, fermata, modello::oggetto_posato::fermata_stazione, p, r.nome);
        c.tipo = tc::fermata;
        c.valore_1 = basso_16(k);
    }
    if (k > 1 && static_cast<std::int64_t>(r.inizio) - 350 < m_.tabella[static_cast<std::size_t>(k - 1)].fine) {
        return uscita(codice::stazioni_troppo_vicine, p, {.contro_stazione_precedente = true});
    }
    numero_stazione_ = k + 1;
    if (numero_stazione_ >= m_.indice_cartello) return uscita(codice::tabella_piena);
    return esito::prosegui;
}

// Normal end and soft stop: delete the file, finish both runs to the end of
// the grid, then check the kilometric progressives.
void lettore_treno::fine_lettura() {
    chiuso_();
    riga_voce_ = 0;
    const std::int64_t fino_a = static_cast<std::int64_t>(m_.numero_celle) - 2;
    stendi(velocita_, fino_a, scrivi_velocita());
    stendi(aderenza_, fino_a, scrivi_aderenza());
    for (int r : {modello::record_progressiva_tre, modello::record_progressiva_due, modello::record_progressiva_uno}) {
        const auto& v = m_.tabella[static_cast<std::size_t>(r)];
        if (v.inizio % 50 != 0 || v.fine % 50 != 0) {
            m_.codice_errore = codice::progressiva_non_multipla;
            m_.osservatore->fermata({.codice = m_.codice_errore});
            return;
        }
    }
}

}  // namespace

std::span<const parola_treno> parole_treno() { return parole; }

void leggi_treno(Modello& m, testo::file_ingresso file) {
    lettore_treno lettore(m, std::move(file));
    try {
        lettore.leggi();
    } catch (const errore_lettura& e) {
        lettore.segna_arresto();
        lettore.segna_valore(e);
        throw;
    } catch (...) {
        lettore.segna_arresto();
        throw;
    }
}

esito_posa memo_segnale(Modello& m, int riga, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                        std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx, std::int32_t d1,
                        std::int32_t d2, std::int32_t d3, std::int32_t& tempo) {
    const std::int64_t c = cella_di(posizione, 1.0);
    cella& x = cella_esistente(m, c, "signal");
    if (!modello::cella_libera(x)) {
        m.codice_errore = codice::segnale_occupato;
        return {codice::segnale_occupato, c};
    }
    m.osservatore->posato(riga, c, modello::oggetto_posato::segnale, posizione);
    namespace vs = modello::valori_segnale;
    const std::int64_t lati = vs::lati(sx, dx);
    x.tipo = tc::segnale;
    x.valore_4 = basso_16(vs::quarto(rapp, sx, dx));
    x.valore_1 = basso_16(vs::cifre(s1, d1));
    x.valore_2 = basso_16(vs::cifre(s2, d2));
    x.valore_3 = basso_16(vs::cifre(s3, d3));
    tempo = static_cast<std::int32_t>(vs::tempo(tempo));
    x.tempo_segnale = vs::tempo_tenuto(sx) ? basso_8(tempo) : 0;
    // Approach marks 2, 4, 6 and 8 cells before, counting away from the signal;
    // those that would fall before the start of the line are left out.
    for (int b = 1; b <= 4; ++b) {
        const std::int64_t a = c - 2 * b;
        if (a >= 0) m.percorso[static_cast<std::size_t>(a)].preavviso = basso_8(vs::preavviso(lati, b));
    }
    return {};
}

esito_posa memo_rallentamento(Modello& m, int riga, std::int32_t posizione, std::int32_t v, std::int32_t l,
                              std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v) {
    const std::int64_t P = posizione;
    const bool con_avviso = P > 1500;
    std::int64_t a = -1;
    if (con_avviso) {
        a = cella_di(static_cast<double>(P - 1200), 1.0);
        if (!modello::cella_libera(cella_esistente(m, a, "slowdown warning point"))) {
            m.codice_errore = codice::avviso_occupato;
            return {codice::avviso_occupato, a};
        }
    } else {
        f_ta = 0;
    }
    const std::int64_t s = cella_di(static_cast<double>(P), 1.0);
    if (!modello::cella_libera(cella_esistente(m, s, "slowdown start"))) {
        m.codice_errore = codice::inizio_rallentamento_occupato;
        return {codice::inizio_rallentamento_occupato, s};
    }
    const std::int64_t e = cella_di(static_cast<double>(P + l), 1.0);
    if (e < 0)
        throw errore_lettura("the slowdown's end, start " + std::to_string(posizione) + " plus length " +
                             std::to_string(l) + ", falls before the start of the line");
    if (e > m.numero_celle) {
        m.codice_errore = codice::oltre_il_percorso;
        m.posizione_errore = posizione;
        return {codice::oltre_il_percorso, std::nullopt};
    }
    if (!modello::cella_libera(m.percorso[static_cast<std::size_t>(e)])) {
        m.codice_errore = codice::fine_rallentamento_occupata;
        return {codice::fine_rallentamento_occupata, e};
    }
    cella& fine = m.percorso[static_cast<std::size_t>(e)];
    cella& inizio = m.percorso[static_cast<std::size_t>(s)];
    m.osservatore->posato(riga, e, modello::oggetto_posato::fine_rallentamento, posizione);
    m.osservatore->posato(riga, s, modello::oggetto_posato::inizio_rallentamento, posizione);
    if (con_avviso) m.osservatore->posato(riga, a, modello::oggetto_posato::avviso_rallentamento, posizione);
    fine.tipo = tc::fine_rallentamento;
    if (d_v != 0) fine.valore_2 = basso_16(d_v);
    inizio.tipo = tc::inizio_rallentamento;
    if (d_v != 0) inizio.valore_2 = basso_16(d_v);
    if (con_avviso) {
        cella& avviso = m.percorso[static_cast<std::size_t>(a)];
        avviso.tipo = tc::avviso_rallentamento;
        if (d_v != 0) avviso.valore_2 = basso_16(d_v);
        avviso.valore_1 = basso_16(v);
    }
    for (cella* x : {&inizio, &fine}) {
        x->valore_1 = basso_16(v);
        x->valore_3 = basso_16(f_tt);
    }
    const std::int64_t w = cella_di(static_cast<double>(P - 1200), 0.0);
    if (f_ta != 0) {
        for (int i = 0; i <= 3; ++i) {
            if (!modello::cella_libera(cella_esistente(m, w - i, "slowdown approach cell"))) {
                m.codice_errore = codice::preavviso_occupato;
                return {codice::preavviso_occupato, w - i};
            }
        }
        for (int i = 0; i <= 3; ++i) {
            m.osservatore->posato(riga, w - i, modello::oggetto_posato::preavviso_rallentamento, posizione);
            cella& x = m.percorso[static_cast<std::size_t>(w - i)];
            x.tipo = tc::preavviso_rallentamento;
            x.valore_1 = static_cast<std::int16_t>(i + 1);
            if (d_v != 0) x.valore_2 = static_cast<std::int16_t>(i + 1);
        }
    }
    return {};
}

}  // namespace lettura
