#include "tools/disegno.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <stdexcept>

#include "format/tabella.h"
#include "model/modello.h"

namespace strumento {

namespace fs = std::filesystem;
namespace tc = modello::tipo_cella;
using modello::cella;

namespace {

// ---------------------------------------------------------------------------
// Page layout constants, in page units. Frames lie on half units so that
// their one-unit lines fall on whole pixels of a PNG.

constexpr double larghezza_pagina = 1400;
constexpr double margine_sinistro = 84.5;
constexpr double margine_destro = 40;
constexpr double cima_pianta = 92.5;
constexpr double altezza_massima_pianta = 1050;
constexpr double altezza_minima_pianta = 320;
constexpr double altezza_nomi = 130;
constexpr double altezza_profilo = 165;
constexpr double spazio_profili = 46;
constexpr double metri_cella = 50;

// The readers' tails fill every profile up to cell numero_celle - 3; the last
// three cells of the grid keep zeros that are no gradient, speed or adhesion.
constexpr std::size_t celle_non_riempite = 3;

struct colore {
    double r, g, b;
};
constexpr colore nero{0, 0, 0};
constexpr colore binario{0.08, 0.08, 0.08};
constexpr colore griglia{0.87, 0.87, 0.87};
constexpr colore testo_scuro{0.12, 0.12, 0.12};
constexpr colore testo_stazione{0.05, 0.16, 0.45};
constexpr colore stazione_pieno{0.15, 0.40, 0.80};
constexpr colore segnale{0.35, 0.35, 0.35};
constexpr colore montagna{0.62, 0.40, 0.18};
constexpr colore montagna_chiaro{0.95, 0.88, 0.78};
constexpr colore rallentamento{0.85, 0.08, 0.08};
constexpr colore rallentamento_chiaro{1.0, 0.86, 0.86};
constexpr colore linea_pendenza{0.35, 0.25, 0.55};
constexpr colore area_pendenza{0.84, 0.80, 0.93};
constexpr colore linea_velocita{0.08, 0.30, 0.85};
constexpr colore linea_aderenza{0.10, 0.50, 0.20};
constexpr colore linea_stazione{0.78, 0.80, 0.88};

void usa(cairo_t* cr, colore c, double alfa = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alfa); }

// A step of 1, 2 or 5 times a power of ten that cuts intervallo into about
// parti pieces.
double passo_tondo(double intervallo, double parti) {
    if (!(intervallo > 0)) return 1;
    const double grezzo = intervallo / parti;
    const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
    for (double f : {1.0, 2.0, 5.0})
        if (grezzo <= f * potenza) return f * potenza;
    return 10 * potenza;
}

std::string numero_breve(double v, double passo) {
    char buf[32];
    const int decimali = passo >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(passo) - 1e-9));
    std::snprintf(buf, sizeof buf, "%.*f", decimali, std::abs(v) < passo * 1e-6 ? 0.0 : v);
    return buf;
}

// ---------------------------------------------------------------------------
// Text.

enum class allinea { sinistra, centro, destra };

void carattere(cairo_t* cr, double misura, bool grassetto = false) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           grassetto ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, misura);
}

double larghezza_testo(cairo_t* cr, const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

// Text with its baseline at y.
void scrivi(cairo_t* cr, double x, double y, const std::string& s, allinea a = allinea::sinistra) {
    const double l = larghezza_testo(cr, s);
    const double x0 = a == allinea::sinistra ? x : a == allinea::centro ? x - l / 2 : x - l;
    cairo_move_to(cr, x0, y);
    cairo_show_text(cr, s.c_str());
}

// Text turned a quarter to the left, reading upward from (x, y).
void scrivi_verticale(cairo_t* cr, double x, double y, const std::string& s, allinea a = allinea::sinistra) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -std::numbers::pi / 2);
    scrivi(cr, 0, 0, s, a);
    cairo_restore(cr);
}

void rettangolo(cairo_t* cr, const riquadro& r) { cairo_rectangle(cr, r.x, r.y, r.larghezza, r.altezza); }

// ---------------------------------------------------------------------------
// Geometry helpers.

struct estensione {
    double est_min = 0, est_max = 0, nord_min = 0, nord_max = 0;
};

std::optional<estensione> estensione_geometria(const modello::geometria_linea& g) {
    std::optional<estensione> e;
    for (std::int32_t m = 0; m <= g.ultimo_metro(); ++m) {
        if (g.at(m, 0).vuoto() || g.at(m, 1).vuoto()) continue;
        const double x = g.at(m, 0).numero(), y = g.at(m, 1).numero();
        if (!e) {
            e = estensione{x, x, y, y};
            continue;
        }
        e->est_min = std::min(e->est_min, x);
        e->est_max = std::max(e->est_max, x);
        e->nord_min = std::min(e->nord_min, y);
        e->nord_max = std::max(e->nord_max, y);
    }
    return e;
}

bool metro_pieno(const modello::geometria_linea& g, std::int32_t m) {
    return m >= 0 && m <= g.ultimo_metro() && !g.at(m, 0).vuoto() && !g.at(m, 1).vuoto();
}

// The track point nearest to metre m that the geometry holds.
std::optional<std::array<double, 2>> punto_binario(const modello::geometria_linea& g, std::int32_t m) {
    m = std::clamp(m, 0, g.ultimo_metro());
    for (std::int32_t d = 0; d <= g.ultimo_metro(); ++d) {
        for (std::int32_t k : {m - d, m + d})
            if (metro_pieno(g, k)) return std::array<double, 2>{g.at(k, 0).numero(), g.at(k, 1).numero()};
        if (m - d < 0 && m + d > g.ultimo_metro()) break;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Where labels may go: a coarse occupancy grid of the page.

class occupazione {
public:
    occupazione(double larghezza, double altezza)
        : colonne_(static_cast<int>(larghezza / lato) + 1),
          righe_(static_cast<int>(altezza / lato) + 1),
          pieno_(static_cast<std::size_t>(colonne_ * righe_), false) {}

    void segna(double x0, double y0, double x1, double y1) {
        for (int r = riga(y0); r <= riga(y1); ++r)
            for (int c = colonna(x0); c <= colonna(x1); ++c) pieno_[indice(c, r)] = true;
    }
    void segna_segmento(double xa, double ya, double xb, double yb, double raggio) {
        const int passi = static_cast<int>(std::hypot(xb - xa, yb - ya) / (lato / 2)) + 1;
        for (int i = 0; i <= passi; ++i) {
            const double t = static_cast<double>(i) / passi;
            const double x = xa + (xb - xa) * t, y = ya + (yb - ya) * t;
            segna(x - raggio, y - raggio, x + raggio, y + raggio);
        }
    }
    bool libero(double x0, double y0, double x1, double y1) const {
        for (int r = riga(y0); r <= riga(y1); ++r)
            for (int c = colonna(x0); c <= colonna(x1); ++c)
                if (pieno_[indice(c, r)]) return false;
        return true;
    }

private:
    static constexpr double lato = 2.0;
    int colonna(double x) const { return std::clamp(static_cast<int>(std::floor(x / lato)), 0, colonne_ - 1); }
    int riga(double y) const { return std::clamp(static_cast<int>(std::floor(y / lato)), 0, righe_ - 1); }
    std::size_t indice(int c, int r) const { return static_cast<std::size_t>(r) * colonne_ + c; }

    int colonne_, righe_;
    std::vector<bool> pieno_;
};

// ---------------------------------------------------------------------------
// The plan view.

struct contesto {
    cairo_t* cr;
    const compilati& c;
    const elementi_percorso& e;
    const impaginazione& imp;
};

std::int32_t metro_stazione(const stazione_disegno& s) { return s.fermata.value_or(s.posizione); }

// The track as a path, points closer than half a page unit apart merged; a
// stretch of empty metres breaks it.
void percorso_binario(cairo_t* cr, const modello::geometria_linea& g, const pianta& p, std::int32_t da,
                      std::int32_t a, occupazione* occ = nullptr, double raggio = 0) {
    bool aperto = false;
    double ux = 0, uy = 0;
    da = std::max(da, 0);
    a = std::min(a, g.ultimo_metro());
    for (std::int32_t m = da; m <= a; ++m) {
        if (!metro_pieno(g, m)) {
            aperto = false;
            continue;
        }
        const auto [x, y] = p.al_foglio(g.at(m, 0).numero(), g.at(m, 1).numero());
        if (!aperto) {
            cairo_move_to(cr, x, y);
            if (occ) occ->segna(x - raggio, y - raggio, x + raggio, y + raggio);
            ux = x, uy = y;
            aperto = true;
            continue;
        }
        const bool ultimo = m == a || !metro_pieno(g, m + 1);
        if (ultimo || std::hypot(x - ux, y - uy) >= 0.5) {
            cairo_line_to(cr, x, y);
            if (occ) occ->segna_segmento(ux, uy, x, y, raggio);
            ux = x, uy = y;
        }
    }
}

void griglia_pianta(const contesto& k, const pianta& p) {
    cairo_t* cr = k.cr;
    const auto& r = p.cornice;
    const double est_max = p.est_min + r.larghezza / p.scala, nord_min = p.nord_max - r.altezza / p.scala;
    const double passo = passo_tondo(std::max(r.larghezza, r.altezza) / p.scala, 10);
    carattere(cr, 11);
    cairo_set_line_width(cr, 1);
    for (double v = std::ceil(p.est_min / passo) * passo; v <= est_max; v += passo) {
        const double x = p.al_foglio(v, 0)[0];
        usa(cr, griglia);
        cairo_move_to(cr, x, r.y);
        cairo_line_to(cr, x, r.y + r.altezza);
        cairo_stroke(cr);
        usa(cr, testo_scuro);
        scrivi(cr, x, r.y + r.altezza + 15, numero_breve(v / 1000, passo / 1000), allinea::centro);
    }
    for (double v = std::ceil(nord_min / passo) * passo; v <= p.nord_max; v += passo) {
        const double y = p.al_foglio(0, v)[1];
        usa(cr, griglia);
        cairo_move_to(cr, r.x, y);
        cairo_line_to(cr, r.x + r.larghezza, y);
        cairo_stroke(cr);
        usa(cr, testo_scuro);
        scrivi(cr, r.x - 6, y + 4, numero_breve(v / 1000, passo / 1000), allinea::destra);
    }
    usa(cr, testo_scuro);
    scrivi(cr, r.x + r.larghezza / 2, r.y + r.altezza + 34,
           "east (km), component 0 of the geometry; equal scale on both axes", allinea::centro);
    scrivi_verticale(cr, r.x - 50, r.y + r.altezza / 2, "north (km), component 1 of the geometry", allinea::centro);

    // North arrow in the top right corner.
    const double xn = r.x + r.larghezza - 24, yn = r.y + 16;
    usa(cr, nero);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, xn, yn + 34);
    cairo_line_to(cr, xn, yn + 6);
    cairo_stroke(cr);
    cairo_move_to(cr, xn, yn);
    cairo_line_to(cr, xn - 5, yn + 10);
    cairo_line_to(cr, xn + 5, yn + 10);
    cairo_close_path(cr);
    cairo_fill(cr);
    carattere(cr, 12, true);
    scrivi(cr, xn, yn + 48, "N", allinea::centro);
}

// Names beside their markers, first on the same height right or left, then
// further up or down with a leader line; never over the track, a marker or
// another name.
void nomi_stazioni_pianta(const contesto& k, const pianta& p, occupazione& occ,
                          const std::vector<std::array<double, 2>>& posti) {
    cairo_t* cr = k.cr;
    carattere(cr, 10);
    const auto& r = p.cornice;
    std::vector<double> scarti{0};
    for (int i = 1; i <= 16; ++i) scarti.insert(scarti.end(), {-7.0 * i, 7.0 * i});
    for (std::size_t i = 0; i < k.e.stazioni.size(); ++i) {
        const auto& s = k.e.stazioni[i];
        const auto [x, y] = posti[i];
        const double l = larghezza_testo(cr, s.nome);
        bool messo = false;
        for (double dy : scarti) {
            for (int lato = 0; lato < 2 && !messo; ++lato) {
                const double scosto = dy == 0 ? 7 : 14;
                const double x0 = lato == 0 ? x + scosto : x - scosto - l;
                const double base = y + 3.5 + dy;
                const double y0 = base - 9, y1 = base + 3;
                if (x0 < r.x + 2 || x0 + l > r.x + r.larghezza - 2 || y0 < r.y + 2 || y1 > r.y + r.altezza - 2)
                    continue;
                if (!occ.libero(x0 - 1, y0 - 1, x0 + l + 1, y1 + 1)) continue;
                occ.segna(x0, y0, x0 + l, y1);
                if (dy != 0) {
                    const double xa = lato == 0 ? x0 - 1 : x0 + l + 1;
                    usa(cr, testo_stazione, 0.6);
                    cairo_set_line_width(cr, 0.6);
                    cairo_move_to(cr, x, y);
                    cairo_line_to(cr, xa, base - 3.5);
                    cairo_stroke(cr);
                    occ.segna_segmento(x, y, xa, base - 3.5, 0.5);
                }
                usa(cr, testo_stazione);
                scrivi(cr, x0, base, s.nome);
                messo = true;
            }
            if (messo) break;
        }
        if (!messo) {  // nowhere free: beside the marker all the same
            usa(cr, testo_stazione);
            scrivi(cr, x + 7, y + 3.5, s.nome);
        }
    }
}

void disegna_pianta(const contesto& k, const pianta& p) {
    cairo_t* cr = k.cr;
    const auto& g = *k.c.geometria;
    const auto& r = p.cornice;
    occupazione occ(k.imp.larghezza, k.imp.altezza);

    griglia_pianta(k, p);
    cairo_save(cr);
    rettangolo(cr, r);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Mountain stretches and slowdowns as wide bands under the track.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const auto& t : k.e.montagne) {
        usa(cr, montagna, 0.55);
        cairo_set_line_width(cr, 12);
        percorso_binario(cr, g, p, t.inizio, t.fine, &occ, 6);
        cairo_stroke(cr);
    }
    for (const auto& t : k.e.rallentamenti) {
        usa(cr, rallentamento);
        cairo_set_line_width(cr, 6);
        percorso_binario(cr, g, p, t.inizio, std::max(t.fine, t.inizio + 1), &occ, 3);
        cairo_stroke(cr);
        // A slowdown is a few hundred metres: a ring makes it findable.
        if (const auto q = punto_binario(g, (t.inizio + t.fine) / 2)) {
            const auto [x, y] = p.al_foglio((*q)[0], (*q)[1]);
            cairo_set_line_width(cr, 1.6);
            cairo_new_sub_path(cr);
            cairo_arc(cr, x, y, 10, 0, 2 * std::numbers::pi);
            cairo_stroke(cr);
            occ.segna(x - 11, y - 11, x + 11, y + 11);
        }
    }

    usa(cr, binario);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    percorso_binario(cr, g, p, 0, g.ultimo_metro(), &occ, 2);
    cairo_stroke(cr);

    // Signals: short ticks across the track.
    usa(cr, segnale);
    cairo_set_line_width(cr, 0.9);
    for (std::int32_t m : k.e.segnali) {
        const auto a = punto_binario(g, m - 20), b = punto_binario(g, m + 20), q = punto_binario(g, m);
        if (!a || !b || !q) continue;
        const auto [xa, ya] = p.al_foglio((*a)[0], (*a)[1]);
        const auto [xb, yb] = p.al_foglio((*b)[0], (*b)[1]);
        const auto [x, y] = p.al_foglio((*q)[0], (*q)[1]);
        double dx = xb - xa, dy = yb - ya;
        const double l = std::hypot(dx, dy);
        if (l == 0) dx = 1, dy = 0;
        else dx /= l, dy /= l;
        cairo_move_to(cr, x - dy * 4.5, y + dx * 4.5);
        cairo_line_to(cr, x + dy * 4.5, y - dx * 4.5);
        cairo_stroke(cr);
        occ.segna(x - 5, y - 5, x + 5, y + 5);
    }

    // Stations: a filled dot at the stop cell, a ring where there is none.
    std::vector<std::array<double, 2>> posti;
    for (const auto& s : k.e.stazioni) {
        const auto q = punto_binario(g, metro_stazione(s));
        posti.push_back(q ? p.al_foglio((*q)[0], (*q)[1]) : std::array<double, 2>{-100, -100});
        const auto [x, y] = posti.back();
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, 3.6, 0, 2 * std::numbers::pi);
        if (s.fermata) {
            usa(cr, stazione_pieno);
            cairo_fill_preserve(cr);
        } else {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
        }
        usa(cr, testo_stazione);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        occ.segna(x - 5, y - 5, x + 5, y + 5);
    }
    // Keep the north arrow's corner clear of names.
    occ.segna(r.x + r.larghezza - 40, r.y, r.x + r.larghezza, r.y + 70);
    nomi_stazioni_pianta(k, p, occ, posti);
    cairo_restore(cr);

    usa(cr, nero);
    cairo_set_line_width(cr, 1);
    rettangolo(cr, r);
    cairo_stroke(cr);
}

// ---------------------------------------------------------------------------
// Profiles.

void griglia_profilo(const contesto& k, const pannello_profilo& p, const std::string& titolo,
                     const std::string& unita) {
    cairo_t* cr = k.cr;
    const auto& r = p.cornice;
    carattere(cr, 11);
    cairo_set_line_width(cr, 1);
    const double passo_y = passo_tondo(p.valore_max - p.valore_min, 4);
    for (double v = std::ceil(p.valore_min / passo_y) * passo_y; v <= p.valore_max + passo_y * 1e-9; v += passo_y) {
        const double y = p.y_valore(v);
        usa(cr, std::abs(v) < passo_y * 1e-6 ? colore{0.6, 0.6, 0.6} : griglia);
        cairo_move_to(cr, r.x, y);
        cairo_line_to(cr, r.x + r.larghezza, y);
        cairo_stroke(cr);
        usa(cr, testo_scuro);
        scrivi(cr, r.x - 6, y + 4, numero_breve(v, passo_y), allinea::destra);
    }
    const double passo_x = passo_tondo(k.imp.metro_max, 12);
    for (double m = 0; m <= k.imp.metro_max + 1e-6; m += passo_x) {
        const double x = k.imp.x_profilo(m);
        usa(cr, griglia);
        cairo_move_to(cr, x, r.y);
        cairo_line_to(cr, x, r.y + r.altezza);
        cairo_stroke(cr);
        usa(cr, testo_scuro);
        scrivi(cr, x, r.y + r.altezza + 14, numero_breve(m / 1000, passo_x / 1000), allinea::centro);
    }
    usa(cr, testo_scuro);
    carattere(cr, 12, true);
    scrivi(cr, r.x + 6, r.y - 6, titolo);
    carattere(cr, 11);
    scrivi_verticale(cr, r.x - 52, r.y + r.altezza / 2, unita, allinea::centro);
}

// Light vertical bands for the mountain stretches and the slowdowns, thin
// lines at the stations: the same in every panel.
void sfondo_profilo(const contesto& k, const pannello_profilo& p) {
    cairo_t* cr = k.cr;
    const auto& r = p.cornice;
    auto fascia = [&](std::int32_t da, std::int32_t a, colore c, double alfa) {
        double x0 = k.imp.x_profilo(da), x1 = k.imp.x_profilo(a);
        if (x1 - x0 < 3) {
            const double centro = (x0 + x1) / 2;
            x0 = centro - 1.5, x1 = centro + 1.5;
        }
        usa(cr, c, alfa);
        cairo_rectangle(cr, x0, r.y, x1 - x0, r.altezza);
        cairo_fill(cr);
    };
    // A slowdown over a mountain stretch lets it show through.
    for (const auto& t : k.e.montagne) fascia(t.inizio, t.fine, montagna_chiaro, 1);
    for (const auto& t : k.e.rallentamenti) fascia(t.inizio, t.fine, rallentamento_chiaro, 0.6);
    usa(cr, linea_stazione);
    cairo_set_line_width(cr, 0.8);
    for (const auto& s : k.e.stazioni) {
        const double x = k.imp.x_profilo(metro_stazione(s));
        cairo_move_to(cr, x, r.y);
        cairo_line_to(cr, x, r.y + r.altezza);
        cairo_stroke(cr);
    }
}

// A profile of cell values as steps, 50 m each.
template <typename F>
void gradini(const contesto& k, const pannello_profilo& p, F valore) {
    cairo_t* cr = k.cr;
    const std::size_t n = k.e.celle_profilo;
    if (n == 0) return;
    double precedente = valore(k.c.percorso[0]);
    cairo_move_to(cr, k.imp.x_profilo(0), p.y_valore(precedente));
    for (std::size_t i = 1; i < n; ++i) {
        const double v = valore(k.c.percorso[i]);
        if (v == precedente) continue;
        const double x = k.imp.x_profilo(static_cast<double>(i) * metri_cella);
        cairo_line_to(cr, x, p.y_valore(precedente));
        cairo_line_to(cr, x, p.y_valore(v));
        precedente = v;
    }
    cairo_line_to(cr, k.imp.x_profilo(static_cast<double>(n) * metri_cella), p.y_valore(precedente));
}

// Labels over short stretches of a panel, moved down a row where they would
// meet the one before.
class righe_etichette {
public:
    explicit righe_etichette(int righe) : fine_(static_cast<std::size_t>(righe), -1e9) {}
    int riga_per(double x0, double x1) {
        for (std::size_t i = 0; i < fine_.size(); ++i)
            if (x0 > fine_[i] + 4) {
                fine_[i] = x1;
                return static_cast<int>(i);
            }
        return 0;
    }

private:
    std::vector<double> fine_;
};

// A profile panel's background and grid, then a clip to its frame for what
// is drawn inside; the caller restores the clip.
void apri_profilo(const contesto& k, const pannello_profilo& p, const std::string& titolo, const std::string& unita) {
    sfondo_profilo(k, p);
    griglia_profilo(k, p, titolo, unita);
    cairo_save(k.cr);
    rettangolo(k.cr, p.cornice);
    cairo_clip(k.cr);
}

// The profile's step line in its colour.
template <typename F>
void linea_profilo(const contesto& k, const pannello_profilo& p, F valore, const colore& c, double spessore) {
    gradini(k, p, valore);
    usa(k.cr, c);
    cairo_set_line_width(k.cr, spessore);
    cairo_stroke(k.cr);
}

double pendenza_per_mille(const cella& c) { return static_cast<double>(c.pendenza) - 100; }
double velocita_kmh(const cella& c) { return static_cast<double>(c.velocita) * 5; }
double aderenza(const cella& c) { return static_cast<double>(c.aderenza); }

void disegna_profili(const contesto& k) {
    cairo_t* cr = k.cr;
    const auto& imp = k.imp;

    // Gradient, with the mountain stretches named.
    apri_profilo(k, imp.pendenza, "Gradient", "per mille (up +, down -)");
    gradini(k, imp.pendenza, pendenza_per_mille);
    const double zero = imp.pendenza.y_valore(0);
    cairo_line_to(cr, imp.x_profilo(static_cast<double>(k.e.celle_profilo) * metri_cella), zero);
    cairo_line_to(cr, imp.x_profilo(0), zero);
    cairo_close_path(cr);
    usa(cr, area_pendenza, 0.8);
    cairo_fill(cr);
    linea_profilo(k, imp.pendenza, pendenza_per_mille, linea_pendenza, 1.3);
    carattere(cr, 10);
    righe_etichette righe_m(3);
    for (std::size_t i = 0; i < k.e.montagne.size(); ++i) {
        const auto& t = k.e.montagne[i];
        const std::string s = "mountain " + std::to_string(i + 1);
        const double x = imp.x_profilo((t.inizio + t.fine) / 2.0), l = larghezza_testo(cr, s);
        const int riga = righe_m.riga_per(x - l / 2, x + l / 2);
        usa(cr, montagna);
        scrivi(cr, x, imp.pendenza.cornice.y + 14 + 12 * riga, s, allinea::centro);
    }
    cairo_restore(cr);

    // Speed limits, with the slowdowns' speeds over them.
    apri_profilo(k, imp.velocita, "Speed limit, and slowdowns in red", "km/h");
    linea_profilo(k, imp.velocita, velocita_kmh, linea_velocita, 1.4);
    carattere(cr, 10, true);
    righe_etichette righe_r(3);
    for (const auto& t : k.e.rallentamenti) {
        double x0 = imp.x_profilo(t.inizio), x1 = imp.x_profilo(t.fine);
        if (x1 - x0 < 4) x0 = (x0 + x1) / 2 - 2, x1 = x0 + 4;
        const double y = imp.velocita.y_valore(t.valore);
        usa(cr, rallentamento);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, x0, y);
        cairo_line_to(cr, x1, y);
        cairo_stroke(cr);
        if (t.avviso) {  // the warning point: a dashed line at the slowdown's speed up to its start
            const double xa = imp.x_profilo(*t.avviso);
            const double tratteggio[] = {3, 2};
            cairo_set_dash(cr, tratteggio, 2, 0);
            cairo_set_line_width(cr, 1);
            cairo_move_to(cr, xa, y);
            cairo_line_to(cr, x0, y);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
            cairo_move_to(cr, xa, y - 4);
            cairo_line_to(cr, xa, y + 4);
            cairo_stroke(cr);
        }
        std::string s = std::to_string(t.valore);
        if (t.secondo_valore != 0 && t.secondo_valore != t.valore) s.append(1, '/').append(std::to_string(t.secondo_valore));
        s += " km/h";
        const double l = larghezza_testo(cr, s), xm = (x0 + x1) / 2;
        const int riga = righe_r.riga_per(xm - l / 2, xm + l / 2);
        scrivi(cr, xm, y + 16 + 12 * riga, s, allinea::centro);
    }
    cairo_restore(cr);

    // Adhesion.
    apri_profilo(k, imp.aderenza, "Adhesion", "adhesion value");
    linea_profilo(k, imp.aderenza, aderenza, linea_aderenza, 1.4);
    cairo_restore(cr);

    usa(cr, nero);
    cairo_set_line_width(cr, 1);
    for (const auto* p : {&imp.pendenza, &imp.velocita, &imp.aderenza}) {
        rettangolo(cr, p->cornice);
        cairo_stroke(cr);
    }
    usa(cr, testo_scuro);
    carattere(cr, 11);
    const auto& ultimo = imp.aderenza.cornice;
    scrivi(cr, ultimo.x + ultimo.larghezza / 2, ultimo.y + ultimo.altezza + 32,
           "position along the line (km); station positions as thin lines, mountain stretches tan, "
           "slowdowns pink",
           allinea::centro);
}

// Station names over the profiles, turned upright, pushed apart where they
// crowd, each joined to its position by a short leader.
void disegna_nomi_profili(const contesto& k) {
    cairo_t* cr = k.cr;
    const auto& r = k.imp.nomi_stazioni;
    const auto& st = k.e.stazioni;
    if (st.empty()) return;
    constexpr double distanza = 11.5;
    std::vector<double> xs, xl;
    for (const auto& s : st) xs.push_back(k.imp.x_profilo(metro_stazione(s)));
    xl = xs;
    std::vector<std::size_t> ordine(st.size());
    for (std::size_t i = 0; i < ordine.size(); ++i) ordine[i] = i;
    std::stable_sort(ordine.begin(), ordine.end(), [&](auto a, auto b) { return xs[a] < xs[b]; });
    for (std::size_t j = 1; j < ordine.size(); ++j)
        xl[ordine[j]] = std::max(xl[ordine[j]], xl[ordine[j - 1]] + distanza);
    const double destra = r.x + r.larghezza - 4;
    for (std::size_t j = ordine.size(); j-- > 0;) {
        const double limite = j + 1 < ordine.size() ? xl[ordine[j + 1]] - distanza : destra;
        xl[ordine[j]] = std::min(xl[ordine[j]], limite);
    }
    carattere(cr, 10);
    const double base = r.y + r.altezza;
    for (std::size_t i = 0; i < st.size(); ++i) {
        usa(cr, linea_stazione);
        cairo_set_line_width(cr, 0.8);
        cairo_move_to(cr, xs[i], base);
        cairo_line_to(cr, xs[i], base - 4);
        cairo_line_to(cr, xl[i], base - 14);
        cairo_stroke(cr);
        usa(cr, testo_stazione);
        scrivi_verticale(cr, xl[i] + 3.5, base - 17, st[i].nome);
    }
}

// ---------------------------------------------------------------------------

void legenda(const contesto& k, double y) {
    cairo_t* cr = k.cr;
    carattere(cr, 11);
    double x = margine_sinistro;
    auto voce = [&](const std::string& s, auto simbolo) {
        simbolo(x + 10, y - 4);
        usa(cr, testo_scuro);
        scrivi(cr, x + 26, y, s);
        x += 26 + larghezza_testo(cr, s) + 26;
    };
    voce("track", [&](double cx, double cy) {
        usa(cr, binario);
        cairo_set_line_width(cr, 1.6);
        cairo_move_to(cr, cx - 10, cy);
        cairo_line_to(cr, cx + 10, cy);
        cairo_stroke(cr);
    });
    voce("signal", [&](double cx, double cy) {
        usa(cr, binario);
        cairo_set_line_width(cr, 1.6);
        cairo_move_to(cr, cx - 10, cy);
        cairo_line_to(cr, cx + 10, cy);
        cairo_stroke(cr);
        usa(cr, segnale);
        cairo_set_line_width(cr, 0.9);
        cairo_move_to(cr, cx, cy - 4.5);
        cairo_line_to(cr, cx, cy + 4.5);
        cairo_stroke(cr);
    });
    voce("station, at its stop cell", [&](double cx, double cy) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, 3.6, 0, 2 * std::numbers::pi);
        usa(cr, stazione_pieno);
        cairo_fill_preserve(cr);
        usa(cr, testo_stazione);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    });
    voce("station without a stop cell", [&](double cx, double cy) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, 3.6, 0, 2 * std::numbers::pi);
        usa(cr, testo_stazione);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    });
    voce("mountain stretch", [&](double cx, double cy) {
        usa(cr, montagna, 0.55);
        cairo_set_line_width(cr, 12);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, cx - 6, cy);
        cairo_line_to(cr, cx + 6, cy);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    });
    voce("slowdown", [&](double cx, double cy) {
        usa(cr, rallentamento);
        cairo_set_line_width(cr, 1.6);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, 7, 0, 2 * std::numbers::pi);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 4);
        cairo_move_to(cr, cx - 3, cy);
        cairo_line_to(cr, cx + 3, cy);
        cairo_stroke(cr);
    });
}

void disegna_pagina(cairo_t* cr, const compilati& c, const elementi_percorso& e, const impaginazione& imp) {
    const contesto k{cr, c, e, imp};
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    const auto& linea = c.tabella[modello::record_treno];
    char titolo[256];
    std::snprintf(titolo, sizeof titolo, "%s, train %s: %.1f km line, %zu stations, %zu signals", c.id.linea.c_str(),
                  c.id.treno.c_str(), linea.fine / 1000.0, e.stazioni.size(), e.segnali.size());
    usa(cr, nero);
    carattere(cr, 18, true);
    scrivi(cr, margine_sinistro, 34, titolo);
    legenda(k, 66);

    if (imp.piano) {
        disegna_pianta(k, *imp.piano);
    } else {
        usa(cr, testo_scuro);
        carattere(cr, 13);
        scrivi(cr, margine_sinistro, cima_pianta + 24,
               "No geometry file (compiled without geometry): no plan view of the track.");
    }
    disegna_nomi_profili(k);
    disegna_profili(k);
}

using superficie = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using contesto_cairo = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void controlla(cairo_status_t s, const fs::path& file) {
    if (s != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(file.string() + ": cannot write the picture: " + cairo_status_to_string(s));
}

}  // namespace

std::optional<formato_disegno> formato_da_nome(const fs::path& file) {
    std::string est = file.extension().string();
    std::transform(est.begin(), est.end(), est.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (est == ".png") return formato_disegno::png;
    if (est == ".svg") return formato_disegno::svg;
    if (est == ".pdf") return formato_disegno::pdf;
    return std::nullopt;
}

elementi_percorso estrai_elementi(const compilati& c) {
    elementi_percorso e;
    const auto& celle = c.percorso;
    // An object placed at position p stands in cell p / 50 + 1.
    auto metro_oggetto = [](std::size_t i) { return static_cast<std::int32_t>(i > 0 ? (i - 1) * 50 : 0); };

    // Records that kilometre boards point at hold board texts, not stations.
    std::vector<bool> testi_cartelli(modello::record_tabella, false);
    std::vector<std::optional<std::size_t>> fermate(modello::record_tabella);
    for (std::size_t i = 0; i < celle.size(); ++i) {
        const cella& x = celle[i];
        if (x.tipo == tc::cartello_km && x.valore_1 > 0 && x.valore_1 < modello::record_tabella)
            testi_cartelli[static_cast<std::size_t>(x.valore_1)] = true;
        if (x.tipo == tc::fermata && x.valore_1 > 0 && x.valore_1 < modello::record_tabella &&
            !fermate[static_cast<std::size_t>(x.valore_1)])
            fermate[static_cast<std::size_t>(x.valore_1)] = i;
    }
    // Stations fill the records from 1 upward, without gaps.
    for (int r = 1; r <= modello::primo_record_cartello; ++r) {
        const auto& v = c.tabella[static_cast<std::size_t>(r)];
        if (formato::voce_vuota(v) || testi_cartelli[static_cast<std::size_t>(r)]) break;
        stazione_disegno s;
        s.record = r;
        s.nome = v.nome;
        s.posizione = v.progressiva;
        if (const auto f = fermate[static_cast<std::size_t>(r)]) s.fermata = static_cast<std::int32_t>(*f * 50);
        e.stazioni.push_back(s);
    }

    std::optional<std::int32_t> avviso;
    std::optional<tratto_disegno> aperto;
    std::optional<tratto_disegno> monte;
    for (std::size_t i = 0; i < celle.size(); ++i) {
        const cella& x = celle[i];
        switch (x.tipo) {
            case tc::segnale: e.segnali.push_back(metro_oggetto(i)); break;
            case tc::avviso_rallentamento: avviso = metro_oggetto(i); break;
            case tc::inizio_rallentamento:
                if (aperto) e.rallentamenti.push_back(*aperto);  // a start without its end
                aperto = tratto_disegno{metro_oggetto(i), metro_oggetto(i), x.valore_1, x.valore_2, avviso};
                avviso.reset();
                break;
            case tc::fine_rallentamento:
                if (aperto) {
                    aperto->fine = metro_oggetto(i);
                    e.rallentamenti.push_back(*aperto);
                    aperto.reset();
                }
                break;
            default: break;
        }
        // Mountain stretches: runs of cells of one mountain type.
        const std::int32_t inizio_cella = static_cast<std::int32_t>(i * 50);
        if (monte && (x.tipo_montagna != monte->valore)) {
            monte->fine = inizio_cella;
            e.montagne.push_back(*monte);
            monte.reset();
        }
        if (!monte && x.tipo_montagna != 0) monte = tratto_disegno{inizio_cella, inizio_cella, x.tipo_montagna, 0, {}};
    }
    if (aperto) e.rallentamenti.push_back(*aperto);
    if (monte) {
        monte->fine = static_cast<std::int32_t>(celle.size() * 50);
        e.montagne.push_back(*monte);
    }
    e.celle_profilo = celle.size() > celle_non_riempite ? celle.size() - celle_non_riempite : celle.size();
    return e;
}

impaginazione impagina(const compilati& c, const elementi_percorso& e) {
    impaginazione imp;
    imp.larghezza = larghezza_pagina;
    const double larghezza_utile = std::round(larghezza_pagina - margine_sinistro - margine_destro);
    double y = cima_pianta;

    if (c.geometria) {
        if (const auto est = estensione_geometria(*c.geometria)) {
            const double ex = est->est_max - est->est_min, ny = est->nord_max - est->nord_min;
            const double bordo = std::max(0.05 * std::max(ex, ny), 500.0);
            const double ex_piu = ex + 2 * bordo, ny_piu = ny + 2 * bordo;
            pianta p;
            p.scala = std::min(larghezza_utile / ex_piu, altezza_massima_pianta / ny_piu);
            p.cornice = {margine_sinistro, y, larghezza_utile,
                         std::round(std::clamp(ny_piu * p.scala, altezza_minima_pianta, altezza_massima_pianta))};
            p.est_min = (est->est_min + est->est_max) / 2 - larghezza_utile / 2 / p.scala;
            p.nord_max = (est->nord_min + est->nord_max) / 2 + p.cornice.altezza / 2 / p.scala;
            imp.piano = p;
            y += p.cornice.altezza + 56;
        }
    }
    if (!imp.piano) y += 40;

    imp.nomi_stazioni = {margine_sinistro, y, larghezza_utile, altezza_nomi};
    y += altezza_nomi + 24;

    // Value ranges of the profiles.
    const std::size_t n = e.celle_profilo;
    auto estremi = [&](auto valore, double minimo_basso, double minimo_alto) {
        double lo = minimo_basso, hi = minimo_alto;
        for (std::size_t i = 0; i < n; ++i) {
            lo = std::min(lo, valore(c.percorso[i]));
            hi = std::max(hi, valore(c.percorso[i]));
        }
        return std::array<double, 2>{lo, hi};
    };
    auto pannello = [&](std::array<double, 2> r, bool da_zero) {
        pannello_profilo p;
        p.cornice = {margine_sinistro, y, larghezza_utile, altezza_profilo};
        const double margine = std::max((r[1] - r[0]) * 0.12, 1.0);
        const double passo = passo_tondo(r[1] - r[0] + 2 * margine, 4);
        p.valore_min = da_zero ? 0 : std::floor((r[0] - margine) / passo) * passo;
        p.valore_max = std::ceil((r[1] + margine) / passo) * passo;
        y += altezza_profilo + spazio_profili;
        return p;
    };
    auto pendenze = estremi(pendenza_per_mille, 0, 0);
    auto velocita = estremi(velocita_kmh, 0, 10);
    for (const auto& t : e.rallentamenti) velocita[1] = std::max(velocita[1], static_cast<double>(t.valore));
    imp.pendenza = pannello(pendenze, false);
    imp.velocita = pannello(velocita, true);
    imp.aderenza = pannello(estremi(aderenza, 0, 10), true);
    imp.altezza = std::ceil(y + 10);
    imp.metro_max = std::max(1.0, static_cast<double>(c.percorso.empty() ? 1 : c.percorso.size() - 1) * metri_cella);
    return imp;
}

void disegna(const compilati& c, const fs::path& file, formato_disegno formato) {
    const auto e = estrai_elementi(c);
    const auto imp = impagina(c, e);
    const std::string nome = file.string();
    superficie s(nullptr, cairo_surface_destroy);
    switch (formato) {
        case formato_disegno::png:
            s.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(imp.larghezza)),
                                               static_cast<int>(std::ceil(imp.altezza))));
            break;
        case formato_disegno::svg: s.reset(cairo_svg_surface_create(nome.c_str(), imp.larghezza, imp.altezza)); break;
        case formato_disegno::pdf: s.reset(cairo_pdf_surface_create(nome.c_str(), imp.larghezza, imp.altezza)); break;
    }
    controlla(cairo_surface_status(s.get()), file);
    {
        contesto_cairo cr(cairo_create(s.get()), cairo_destroy);
        disegna_pagina(cr.get(), c, e, imp);
        controlla(cairo_status(cr.get()), file);
    }
    if (formato == formato_disegno::png) controlla(cairo_surface_write_to_png(s.get(), nome.c_str()), file);
    cairo_surface_finish(s.get());
    controlla(cairo_surface_status(s.get()), file);
}

void libera_cache_disegno() {
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace strumento
