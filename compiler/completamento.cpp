#include "compiler/completamento.h"

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <stdexcept>

#include "model/codici.h"

namespace compilatore {

using modello::Modello;
using modello::cella;
using modello::cella_libera;
namespace tipo_cella = modello::tipo_cella;
namespace codice = modello::codice;

namespace {

// Look-back from a warning point: signals 1 to 20 cells before it, never a
// signal cell below 3 (its two preceding cells must exist).
constexpr std::ptrdiff_t finestra_avviso = 20;
constexpr std::ptrdiff_t segnale_piu_basso = 3;

// Groups of cells ahead of a slowdown start, each tried only when the start
// cell lies beyond its threshold.
struct gruppo {
    std::ptrdiff_t soglia;
    std::ptrdiff_t distanze[3];
};
constexpr gruppo gruppi_inizio[] = {{7, {5, 6, 7}}, {13, {11, 12, 13}}, {20, {18, 19, 20}}};

// Slowdowns this fast or faster get no code points inside and none after the end.
constexpr std::int16_t velocita_senza_interno = 110;
constexpr int passo_interno = 8;
constexpr std::ptrdiff_t ricerca_dopo_fine = 12;

class completamento {
public:
    explicit completamento(Modello& m)
        : m_(m), ultima_(static_cast<std::ptrdiff_t>(m.percorso.size()) - 1) {}

    void esegui() {
        for (std::ptrdiff_t i = 1; i <= ultima_ - 2; ++i) {
            if (c(i).tipo == tipo_cella::avviso_rallentamento) segnali_prima_dell_avviso(i);
            if (c(i).tipo == tipo_cella::inizio_rallentamento) rallentamento(i);
        }
    }

private:
    // Bounds-checked: no walk may leave the grid.
    cella& c(std::ptrdiff_t i) { return m_.percorso.at(static_cast<std::size_t>(i)); }
    bool esiste(std::ptrdiff_t i) const { return i >= 0 && i <= ultima_; }
    bool libera(std::ptrdiff_t i) { return esiste(i) && cella_libera(c(i)); }
    bool punto_codice(std::ptrdiff_t i) { return c(i).tipo == tipo_cella::punto_codice; }

    // A code point for the object of cell `per` (a signal or a slowdown start).
    void marca(std::ptrdiff_t i, std::ptrdiff_t per) {
        c(i).tipo = tipo_cella::punto_codice;
        c(i).valore_1 = codice_completamento;
        m_.osservatore->punto_codice_aggiunto(i, per);
    }

    // Only the last code stays in the status; a recorder keeps each one, with
    // the object it was for and the taken cells it tried.
    void registra(std::int32_t codice, std::ptrdiff_t cella_errore, std::ptrdiff_t per,
                  std::initializer_list<std::ptrdiff_t> provate) {
        m_.codice_errore = codice;
        m_.posizione_errore = static_cast<std::int32_t>(cella_errore * 50);
        m_.osservatore->completamento(codice, cella_errore, per, std::span<const std::int64_t>(provate.begin(), provate.size()));
    }

    void limita(std::ptrdiff_t i) { c(i).valore_1 = minimo(codice_completamento, c(i).valore_1); }

    void segnali_prima_dell_avviso(std::ptrdiff_t i) {
        for (std::ptrdiff_t k = 1; k <= finestra_avviso; ++k) {
            const std::ptrdiff_t s = i - k;
            if (s < segnale_piu_basso) break;
            if (c(s).tipo != tipo_cella::segnale) continue;
            if (libera(s - 1)) marca(s - 1, s);
            else if (libera(s - 2)) marca(s - 2, s);
            else if (punto_codice(s - 1)) limita(s - 1);
            else if (punto_codice(s - 2)) limita(s - 2);
            else registra(codice::segnale_senza_punto_codice, s, s, {s - 1, s - 2});
        }
    }

    void rallentamento(std::ptrdiff_t i) {
        for (const gruppo& g : gruppi_inizio) {
            if (i <= g.soglia) continue;
            bool marcato = false;
            for (std::ptrdiff_t d : g.distanze) {
                if (libera(i - d)) {
                    marca(i - d, i);
                    marcato = true;
                    break;
                }
            }
            if (!marcato) registra(codice::gruppo_senza_cella_libera, i, i, {i - g.distanze[0], i - g.distanze[1], i - g.distanze[2]});
        }
        if (c(i).valore_1 >= velocita_senza_interno) return;
        cerca_dopo_fine(interno(i), i);
    }

    // Walks from the start to the end cell, placing a code point every
    // passo_interno cells; returns the end cell, or the last cell of the grid
    // when the walk meets no end cell.
    std::ptrdiff_t interno(std::ptrdiff_t i) {
        int conta_celle = 0;
        std::ptrdiff_t p = i;
        for (;;) {
            ++p;
            ++conta_celle;
            if (conta_celle == passo_interno) {
                // Beyond the last cell there is nothing free.
                if (libera(p)) { marca(p, i); conta_celle = 0; }
                else if (libera(p - 1)) { marca(p - 1, i); conta_celle = 1; }
                else if (libera(p + 1)) { marca(p + 1, i); conta_celle = -1; }
                else registra(codice::interno_senza_cella_libera, p, i, {p - 1, p, p + 1});
            }
            if (c(p).tipo == tipo_cella::fine_rallentamento || p == ultima_) return p;
        }
    }

    void cerca_dopo_fine(std::ptrdiff_t fine, std::ptrdiff_t inizio) {
        for (std::ptrdiff_t s = fine; s <= fine + ricerca_dopo_fine && s <= ultima_; ++s) {
            if (c(s).tipo != tipo_cella::segnale) continue;
            if (s - 1 > 0) {
                if (libera(s - 1)) marca(s - 1, inizio);
                else if (libera(s - 2)) marca(s - 2, inizio);
                else registra(codice::interno_senza_cella_libera, fine, inizio, {s - 1, s - 2});
            }
            return;
        }
    }

    Modello& m_;
    const std::ptrdiff_t ultima_;
};

}  // namespace

void completa_codici_cab(Modello& m) {
    if (m.percorso.empty())
        throw std::runtime_error("cab-signal code completion: the route grid was never allocated");
    completamento(m).esegui();
}

}  // namespace compilatore
