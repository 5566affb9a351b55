#include "picture/disegno_pagina.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace strumento::disegno_interno {

namespace {

// ---------------------------------------------------------------------------
// Geometry helpers.

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
    std::size_t indice(int c, int r) const { return static_cast<std::size_t>(r) * static_cast<std::size_t>(colonne_) + static_cast<std::size_t>(c); }

    int colonne_, righe_;
    std::vector<bool> pieno_;
};

// ---------------------------------------------------------------------------
// The track.

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

// Labels beside their markers, first on the same height right or left, then
// further up or down with a leader line; never over the track, a marker or
// another label. Used for the station names and the kilometre boards' texts.
void etichette_pianta(const contesto& k, const pianta& p, occupazione& occ,
                      const std::vector<std::array<double, 2>>& posti, const std::vector<std::string>& testi,
                      colore tinta, double misura) {
    cairo_t* cr = k.cr;
    carattere(cr, misura);
    const auto& r = p.cornice;
    std::vector<double> scarti{0};
    for (int i = 1; i <= 16; ++i) scarti.insert(scarti.end(), {-7.0 * i, 7.0 * i});
    for (std::size_t i = 0; i < testi.size(); ++i) {
        const std::string& nome = testi[i];
        if (nome.empty()) continue;
        const auto [x, y] = posti[i];
        if (x < r.x || x > r.x + r.larghezza) continue;
        const double l = larghezza_testo(cr, nome);
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
                    usa(cr, tinta, 0.6);
                    cairo_set_line_width(cr, 0.6);
                    cairo_move_to(cr, x, y);
                    cairo_line_to(cr, xa, base - 3.5);
                    cairo_stroke(cr);
                    occ.segna_segmento(x, y, xa, base - 3.5, 0.5);
                }
                usa(cr, tinta);
                scrivi(cr, x0, base, nome);
                messo = true;
            }
            if (messo) break;
        }
        if (!messo) {  // nowhere free: beside the marker all the same
            usa(cr, tinta);
            scrivi(cr, x + 7, y + 3.5, nome);
        }
    }
}

}  // namespace

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

    // The track to the line's end, then the geometry's metres beyond it, thinner in grey.
    const auto fine_linea = static_cast<std::int32_t>(k.imp.metro_linea);
    usa(cr, binario);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    percorso_binario(cr, g, p, 0, fine_linea, &occ, 2);
    cairo_stroke(cr);
    usa(cr, binario_oltre);
    cairo_set_line_width(cr, 1.3);
    percorso_binario(cr, g, p, fine_linea, g.ultimo_metro(), &occ, 2);
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
    // Boards beside the track: speed indicator boards as orange squares,
    // kilometre boards as green diamonds with their texts; one fill each.
    std::vector<std::array<double, 2>> posti_cartelli;
    std::vector<std::string> testi_cartelli;
    for (const auto* elenco : {&k.e.indicatori, &k.e.cartelli_km}) {
        const bool km = elenco == &k.e.cartelli_km;
        usa(cr, km ? cartello : indicatore);
        for (const auto& b : *elenco) {
            // Beside the track, to its right, so that the track stays seen.
            const auto a = punto_binario(g, b.posizione - 20), c = punto_binario(g, b.posizione + 20),
                       q = punto_binario(g, b.posizione);
            if (!a || !c || !q) continue;
            const auto [xa, ya] = p.al_foglio((*a)[0], (*a)[1]);
            const auto [xc, yc] = p.al_foglio((*c)[0], (*c)[1]);
            const auto [xq, yq] = p.al_foglio((*q)[0], (*q)[1]);
            const double l = std::hypot(xc - xa, yc - ya);
            const double dx = l > 0 ? (xc - xa) / l : 0, dy = l > 0 ? (yc - ya) / l : -1;
            const double x = xq - dy * 7, y = yq + dx * 7;
            if (km) {
                cairo_move_to(cr, x, y - 4);
                cairo_line_to(cr, x + 4, y);
                cairo_line_to(cr, x, y + 4);
                cairo_line_to(cr, x - 4, y);
                cairo_close_path(cr);
                posti_cartelli.push_back({x, y});
                testi_cartelli.push_back(b.testo);
            } else {
                cairo_rectangle(cr, x - 2.5, y - 2.5, 5, 5);
            }
            cairo_fill(cr);
            occ.segna(x - 4, y - 4, x + 4, y + 4);
        }
    }

    // Keep the north arrow's corner clear of names.
    occ.segna(r.x + r.larghezza - 40, r.y, r.x + r.larghezza, r.y + 70);
    std::vector<std::string> nomi;
    for (const auto& s : k.e.stazioni) nomi.push_back(s.nome);
    etichette_pianta(k, p, occ, posti, nomi, testo_stazione, 10);
    etichette_pianta(k, p, occ, posti_cartelli, testi_cartelli, cartello, 8);
    cairo_restore(cr);

    usa(cr, nero);
    cairo_set_line_width(cr, 1);
    rettangolo(cr, r);
    cairo_stroke(cr);
}

}  // namespace strumento::disegno_interno
