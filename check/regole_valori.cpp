#include "check/regole_interne.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/conversione.h"
#include "model/modello.h"
#include "model/orario.h"
#include "model/posizioni.h"
#include "model/valori_indicatore.h"
#include "model/valori_segnale.h"
#include "reference/celle.h"
#include "text/testo_1252.h"
#include "text/visibile.h"

namespace strumento::regole_interne {

namespace {

// As the cells keep them, widened back so that they compare with the row's value.
std::int64_t basso_16(std::int64_t v) { return modello::basso_16(v); }
std::int64_t basso_8(std::int64_t v) { return modello::basso_8(v); }
namespace vi = modello::valori_indicatore;
namespace vs = modello::valori_segnale;

class regole_valori {
public:
    regole_valori(const file_letto& linea, const file_letto& treno, std::vector<problema>& p)
        : linea_(linea), treno_(treno), p_(p) {}
    void applica();

private:
    void avvisa(std::string_view regola, const riga_voce& r, std::size_t campo, std::string testo,
                std::vector<rimando> correlati = {}) {
        p_.push_back(avviso_a(regola, r, campo, std::move(testo), std::move(correlati)));
    }
    // The last warning's one fix: value campo of row r written as v.
    void correggi(const riga_voce& r, std::size_t campo, std::int64_t v) {
        if (campo >= r.valori.size()) return;
        const valore& x = r.valori[campo];
        p_.back().rimedio = correzione{x.riga, x.colonna, x.colonna_fine, std::to_string(v)};
    }
    void oltre_la_fine();
    void fuori_griglia(const riga_voce& r);
    void nascosti(const riga_voce& r);
    void ordine();
    void curve();
    void montagne();
    void indicatore(const riga_voce& r);
    void ristretti(const riga_voce& r);
    void orari();

    const file_letto& linea_;
    const file_letto& treno_;
    std::vector<problema>& p_;
};

void regole_valori::applica() {
    oltre_la_fine();
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) {
            fuori_griglia(r);
            nascosti(r);
            indicatore(r);
            ristretti(r);
            if (r.argomento() == "velocita") {
                const std::int64_t v = r.n(1);
                const double quinto = modello::arrotonda(static_cast<double>(v) / 5.0);
                if (v % 5 != 0 && quinto >= 0 && quinto <= 255) {
                    const std::string letta = std::to_string(static_cast<std::int64_t>(quinto) * 5);
                    avvisa(nome_velocita, r, 1,
                           "the train is limited to " + letta + " km/h, not " + std::to_string(v) + ", from " +
                               km(r.n(0)) + ": speed limits are kept in steps of 5 km/h, and " + std::to_string(v) +
                               " reads as " + letta);
                    correggi(r, 1, static_cast<std::int64_t>(quinto) * 5);
                }
            }
        }
    ordine();
    curve();
    montagne();
    orari();
}

// The last length entry of the general block sets the route grid, whose cells
// run about 7 km past the line's end; rows placed there compile silently.
void regole_valori::oltre_la_fine() {
    const auto lunghezza = lunghezza_di(linea_);
    if (!lunghezza) return;
    const std::int64_t l = lunghezza->metri;
    const rimando al_lunghezza{quale_file::linea, lunghezza->riga->riga,
                               "the line's length, " + std::to_string(l) + " m"};
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) {
            if (!r.ha_posizione()) continue;
            const std::int64_t p = r.n(0);
            // The reader's margin: a station's area reaches 800 m past its position.
            const int margine = r.argomento() == "stazione" ? 800 : 100;
            if (p > l && !modello::oltre_la_griglia(lunghezza->numero_celle, p, margine))
                avvisa(nome_oltre_fine, r, 0,
                       tra_apici(r.argomento()) + " at " + std::to_string(p) + " lies beyond the line's length, " +
                           std::to_string(l) + " m: it is compiled into the grid's extension past the end of the line",
                       {al_lunghezza});
        }
}

// Boards, signals and slowdowns stand in cell p / 50 + 1, a code point in
// cell p / 50, rounded with halves to even.
void regole_valori::fuori_griglia(const riga_voce& r) {
    const auto a = r.argomento();
    const bool codice = a == "abbattimento";
    if (!codice && a != "cartello_indicatore" && a != "indicatori_vmax" && a != "segnale" && a != "rallentamento")
        return;
    auto controlla = [&](std::int64_t p, const std::string& cosa) {
        if (p % 50 == 0) return false;
        const std::int64_t c = modello::cella_di(static_cast<double>(p), codice ? 0.0 : 1.0);
        const std::int64_t come_se = (codice ? c : c - 1) * 50;
        avvisa(nome_fuori_griglia, r, 0,
               "the driver meets " + cosa + " as if at " + std::to_string(come_se) + ", in " + nome_cella(c) +
                   ", not at " + std::to_string(p) + ": " + std::to_string(p) +
                   " is not a multiple of 50, and objects are kept in 50 m cells");
        return true;
    };
    if (controlla(r.n(0), tra_apici(a))) {
        const std::int64_t c = modello::cella_di(static_cast<double>(r.n(0)), codice ? 0.0 : 1.0);
        correggi(r, 0, (codice ? c : c - 1) * 50);
    }
    // The end has two values to it, start and length: no one fix.
    if (a == "rallentamento") controlla(r.n(0) + r.n(2), "the slowdown's end (start plus length)");
}

// A text value (a name, a board's text) that holds what the terminal would
// show escaped: it goes into the table as it is.
void regole_valori::nascosti(const riga_voce& r) {
    for (std::size_t i = 0; i < r.valori.size(); ++i) {
        const std::string& t = r.valori[i].testo;
        if (t.empty()) continue;
        // Text saved as UTF-8 is the utf8-text rule's: read as Windows-1252,
        // its letters may hold a no-break space (à is the bytes C3 A0).
        const std::string byte = testo::a_cp1252(t);
        if (testo::visibile(byte) == byte) continue;
        const std::string v = testo::visibile(t);
        if (v == t) continue;
        avvisa(nome_nascosto, r, i,
               tra_apici(v) + " holds characters that print as nothing, as a plain blank or act on a screen (shown "
               "escaped here): they are stored in the compiled table as they are");
    }
}

// What the driver meets where a gradient, speed or adhesion row's value holds.
std::string in_vigore(std::string_view tipo, std::int64_t v) {
    if (tipo == "velocita") return "the train is limited to " + std::to_string(v) + " km/h";
    if (tipo == "aderenza") return "the adhesion is " + std::to_string(v);
    return "the gradient is " + std::to_string(v) + " per mille";
}

// Gradient, speed and adhesion rows each lay the stretch before their own
// cell, so a row behind the last one leaves the earlier value a single cell.
void regole_valori::ordine() {
    for (const file_letto* f : {&linea_, &treno_})
        for (std::string_view tipo : {"pendenza", "velocita", "aderenza"}) {
            const riga_voce* massima = nullptr;
            for (const auto& r : f->righe) {
                if (r.argomento() != tipo) continue;
                if (massima && r.n(0) < massima->n(0)) {
                    avvisa(nome_ordine, r, 0,
                           in_vigore(tipo, r.n(1)) + " from " +
                               km((modello::cella_di(static_cast<double>(massima->n(0)), 0.0) + 1) * 50) +
                               " on, not from " + km(r.n(0)) + ", and the row at " + std::to_string(massima->n(0)) +
                               " holds for a single cell: " + tra_apici(tipo) + " at " + std::to_string(r.n(0)) +
                               " comes after the row at " + std::to_string(massima->n(0)) +
                               ", and rows are laid in file order",
                           {{f->file, massima->riga, "the earlier row, at " + std::to_string(massima->n(0))}});
                } else if (!massima || r.n(0) > massima->n(0)) {
                    massima = &r;
                }
            }
        }
}

// The geometry is laid curve by curve up to each curve's end: a curve that
// starts inside track already laid turns only after it.
void regole_valori::curve() {
    std::int64_t posata = 1;
    const riga_voce* ultima = nullptr;
    for (const auto& r : linea_.righe) {
        if (r.argomento() != "curva") continue;
        const std::int64_t s = r.n(0);
        const std::int64_t e = s + r.n(1);
        if (ultima && s < posata) {
            const std::string dove = "the curve from " + std::to_string(ultima->n(0)) + " to " + std::to_string(posata);
            avvisa(nome_ordine, r, 0,
                   "curve from " + std::to_string(s) + " to " + std::to_string(e) + " starts inside track already "
                       "laid up to " + std::to_string(posata) + ": " +
                       (e <= posata ? std::string("it is not laid at all")
                                    : "it turns only from " + std::to_string(posata + 1) + " on"),
                   {{quale_file::linea, ultima->riga, dove}});
        }
        if (e > posata) {
            posata = e;
            ultima = &r;
        }
    }
}

void regole_valori::montagne() {
    std::vector<const riga_voce*> prima;
    for (const auto& r : linea_.righe) {
        if (r.argomento() != "montagna") continue;
        // The reader fails past its 80 stretches.
        if (prima.size() >= static_cast<std::size_t>(modello::massimo_montagne)) break;
        const std::int64_t s = r.n(0), e = r.n(1);
        for (auto it = prima.rbegin(); it != prima.rend(); ++it) {
            const std::int64_t s0 = (*it)->n(0), e0 = (*it)->n(1);
            if (s < e0 && s0 < e) {
                const std::string tratto = std::to_string(s0) + " to " + std::to_string(e0);
                avvisa(nome_montagne, r, 0,
                       "mountain stretch " + std::to_string(s) + " to " + std::to_string(e) +
                           " overlaps the earlier one, " + tratto + ": in the shared cells this row's type replaces "
                           "the earlier one's",
                       {{quale_file::linea, (*it)->riga, "the earlier mountain stretch, " + tratto}});
                break;
            }
        }
        prima.push_back(&r);
    }
}

// Each of the three values packs both sides: left / 5 in the hundreds, right
// / 5 below, rounded; it must read back as the speeds written.
void regole_valori::indicatore(const riga_voce& r) {
    if (r.argomento() != "indicatori_vmax" || r.valori.size() < 9) return;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t sx = r.n(1 + k), dx = r.n(5 + k);
        const double v = modello::arrotonda(vi::velocita_grezza(sx, dx));
        if (v < -32768.0 || v > 32767.0) continue;  // the reader fails on it
        const auto p = static_cast<std::int64_t>(v);
        const std::int64_t sx_letta = p >= 0 ? vi::sinistra_kmh(p) : -1;
        const std::int64_t dx_letta = p >= 0 ? vi::destra_kmh(p) : -1;
        if (sx_letta == sx && dx_letta == dx) continue;
        const std::string scritte = std::to_string(sx) + " and " + std::to_string(dx);
        std::string m = "the board at " + km(r.n(0)) + " shows " +
                        (p >= 0 ? std::to_string(sx_letta) + " and " + std::to_string(dx_letta) + " km/h"
                                : std::string("no speed")) +
                        ", not " + scritte + ": the two speeds are packed as " + std::to_string(p);
        m += p >= 0 ? ", which reads back as " + std::to_string(sx_letta) + " and " + std::to_string(dx_letta) +
                          " (speeds are kept in steps of 5, a right speed below 500)"
                    : ", below 0";
        avvisa(nome_indicatore, r, sx % 5 != 0 || sx < 0 ? 1 + k : 5 + k, m);
        // One side that reads back as written: the other as it reads back.
        if (p >= 0 && sx_letta == sx) correggi(r, 5 + k, dx_letta);
        else if (p >= 0 && dx_letta == dx) correggi(r, 1 + k, sx_letta);
    }
}

void regole_valori::ristretti(const riga_voce& r) {
    const auto a = r.argomento();
    const auto campi = r.voce->rif->campi;
    auto nome = [&](std::size_t i) { return std::string(campi[i].nome); };
    auto a_16 = [&](std::size_t i, std::int64_t v, const std::string& cosa) {
        if (basso_16(v) != v) {
            const std::string tenuto = std::to_string(basso_16(v));
            avvisa(nome_ristretto, r, i,
                   cosa + " reads " + tenuto + " at " + km(r.n(0)) + ", not " + std::to_string(v) + ": " +
                       std::to_string(v) + " does not fit 16 bits, stored as " + tenuto);
            // Only when what is stored keeps the sign the reader tests.
            if (const std::int64_t b = basso_16(v); (b > 0) == (v > 0) && (b == 0) == (v == 0)) correggi(r, i, b);
        }
    };
    if (a == "aderenza") {
        const std::int64_t v = r.n(1);
        if (basso_8(v) != v) {
            avvisa(nome_ristretto, r, 1,
                   "the adhesion is " + std::to_string(basso_8(v)) + " from " + km(r.n(0)) + ", not " +
                       std::to_string(v) + ": " + std::to_string(v) + " does not fit a byte, stored as " +
                       std::to_string(basso_8(v)));
            correggi(r, 1, basso_8(v));
        }
    } else if (a == "montagna") {
        const std::int64_t t = r.n(2);
        const std::int64_t tipo = t > 10 ? t - 10 : t;
        if (basso_8(tipo) != tipo)
            avvisa(nome_ristretto, r, 2,
                   "mountain type " + std::to_string(t) + (t > 10 ? " (" + std::to_string(tipo) + " with markers)" : "") +
                       " does not fit a byte: stored as " + std::to_string(basso_8(tipo)));
    } else if (a == "abbattimento") {
        if (r.n(1) >= 1) a_16(1, r.n(1), "the cab-signal code");
    } else if (a == "rallentamento") {
        a_16(1, r.n(1), "the slowdown's " + nome(1));
        a_16(3, r.n(3), "the slowdown's " + nome(3));
        if (r.n(5) != 0) a_16(5, r.n(5), "the slowdown's " + nome(5));
    } else if (a == "indicatori_vmax") {
        const std::int64_t v = vi::strisce(r.n(4), r.n(8));
        if (basso_16(v) != v)
            avvisa(nome_ristretto, r, 4,
                   "stripes " + std::to_string(r.n(4)) + " and " + std::to_string(r.n(8)) + " pack as " +
                       std::to_string(v) + ", which does not fit 16 bits: stored as " + std::to_string(basso_16(v)));
    } else if (a == "segnale" && r.valori.size() >= 11) {
        const std::int64_t sx = r.n(1), dx = r.n(6), rapp = r.n(5);
        const std::int64_t lati = vs::lati(sx, dx);
        auto sedici = [&](std::size_t i, std::int64_t v, const std::string& cosa) {
            if (basso_16(v) == v) return false;
            avvisa(nome_ristretto, r, i,
                   "signal " + cosa + " pack as " + std::to_string(v) + ", which does not fit 16 bits: stored as " +
                       std::to_string(basso_16(v)));
            return true;
        };
        auto trabocca = [&](std::size_t i, const std::string& cosa, std::int64_t v, std::int64_t base) {
            avvisa(nome_ristretto, r, i,
                   "signal " + cosa + " spills into its neighbour: stored as " + std::to_string(v) +
                       ", which reads back as " + std::to_string(v / base) + " and " + std::to_string(v % base));
        };
        if (dx < 0 || dx >= vs::base_lati)
            trabocca(6, "right kind " + std::to_string(dx) + " (left " + std::to_string(sx) + ")", lati, vs::base_lati);
        sedici(5, vs::quarto(rapp, sx, dx),
               "rapp " + std::to_string(rapp) + " and kinds " + std::to_string(sx) + ", " + std::to_string(dx));
        for (std::size_t k = 0; k < 3; ++k) {
            const std::int64_t alto = r.n(2 + k), basso = r.n(7 + k);
            const std::string cosa = nome(2 + k) + " " + std::to_string(alto) + " and " + nome(7 + k) + " " +
                                     std::to_string(basso);
            if (!sedici(2 + k, vs::cifre(alto, basso), cosa) && (basso < 0 || basso >= vs::base_cifre))
                trabocca(7 + k, nome(7 + k) + " " + std::to_string(basso) + " (" + nome(2 + k) + " " +
                                    std::to_string(alto) + ")",
                         vs::cifre(alto, basso), vs::base_cifre);
        }
        const std::int64_t tempo = vs::tempo(r.n(10));
        if (vs::tempo_tenuto(sx) && basso_8(tempo) != tempo)
            avvisa(nome_ristretto, r, 10,
                   "signal time " + std::to_string(tempo) + " does not fit a byte: stored as " +
                       std::to_string(basso_8(tempo)));
    }
}

// Stations in file order, which is their order along the line; 0:00:00 is no
// time (a passing point).
void regole_valori::orari() {
    const riga_voce* precedente = nullptr;
    std::int64_t t0 = 0;
    for (const auto& r : treno_.righe) {
        if (r.argomento() != "stazione") continue;
        const auto ih = r.indice("hours"), im = r.indice("minutes"), is = r.indice("seconds"), in = r.indice("name");
        if (!ih || !im || !is) continue;
        const std::int64_t h = r.n(*ih), m = r.n(*im), s = r.n(*is);
        if (h == 0 && m == 0 && s == 0) continue;
        const std::int64_t t = modello::orario::secondi(h, m, s);
        const std::string nome = in ? r.valori[*in].testo : std::string();
        if (precedente && t < t0) {
            const auto& p = *precedente;
            const std::string prima = tra_apici(in ? p.valori[*in].testo : std::string()) + ", " +
                                      ora_scritta(p.n(*ih), p.n(*im), p.n(*is));
            avvisa(nome_orari, r, *ih,
                   "station " + tra_apici(nome) + " has the time " + ora_scritta(h, m, s) +
                       ", earlier than the station before it, " + prima,
                   {{quale_file::treno, p.riga, "the earlier station " + prima}});
        }
        precedente = &r;
        t0 = t;
    }
}

}  // namespace

problema avviso_a(std::string_view regola, const riga_voce& r, std::size_t campo, std::string testo,
                  std::vector<rimando> correlati) {
    const int riga = campo < r.valori.size() ? r.valori[campo].riga : r.riga;
    const int colonna = campo < r.valori.size() ? r.valori[campo].colonna : 1;
    return problema{.file = r.voce->file, .riga = riga, .colonna = colonna, .livello = gravita::avviso,
                    .codice = std::nullopt, .regola = std::string(regola), .metro = r.metro(),
                    .messaggio = std::move(testo), .correlati = std::move(correlati)};
}

std::optional<lunghezza_linea> lunghezza_di(const file_letto& linea) {
    const riga_voce* lunghezza = nullptr;
    for (const auto& r : linea.righe)
        if (r.argomento() == "lunghezza percorso") lunghezza = &r;
    if (!lunghezza) return std::nullopt;
    const std::int64_t l = lunghezza->n(0);
    if (l < 1 || l > modello::lunghezza_massima) return std::nullopt;
    return lunghezza_linea{lunghezza, l,
                           modello::a_long(static_cast<double>(l + modello::prolungamento_linea) / 50.0)};
}

void avvisi_valori(const file_letto& linea, const file_letto& treno, std::vector<problema>& p) {
    regole_valori(linea, treno, p).applica();
}

}  // namespace strumento::regole_interne
