#include "picture/disegno_pagina.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace strumento::disegno_interno {

namespace {

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
    // The grid's cells beyond the line's end: shaded, no part of the line.
    if (k.imp.metro_linea < k.imp.metro_max) {
        const double x0 = k.imp.x_profilo(k.imp.metro_linea);
        usa(cr, oltre_linea, 0.5);
        cairo_rectangle(cr, x0, r.y, r.x + r.larghezza - x0, r.altezza);
        cairo_fill(cr);
    }
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

}  // namespace

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

    // Speed limits, with the speed indicator boards' and the slowdowns' speeds over them.
    apri_profilo(k, imp.velocita, "Speed limit; speed indicator boards in orange, slowdowns in red", "km/h");
    // Each board: its left side's speeds as short bars on one upright, one
    // path, under the speed line.
    usa(cr, indicatore);
    cairo_set_line_width(cr, 1.4);
    for (const auto& b : k.e.indicatori) {
        const double x = imp.x_profilo(b.posizione);
        int basso = 0, alto = 0;
        for (int v : b.velocita)
            if (v > 0) basso = basso == 0 ? v : std::min(basso, v), alto = std::max(alto, v);
        if (alto == 0) continue;
        cairo_move_to(cr, x, imp.velocita.y_valore(basso));
        cairo_line_to(cr, x, imp.velocita.y_valore(alto));
        for (int v : b.velocita) {
            if (v <= 0) continue;
            cairo_move_to(cr, x - 3, imp.velocita.y_valore(v));
            cairo_line_to(cr, x + 3, imp.velocita.y_valore(v));
        }
        cairo_stroke(cr);
    }
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
           "slowdowns pink, the route grid beyond the line's end grey",
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

}  // namespace strumento::disegno_interno
