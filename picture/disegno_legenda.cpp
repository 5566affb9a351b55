#include "picture/disegno_pagina.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace strumento::disegno_interno {

// ---------------------------------------------------------------------------
// The plan view's scales.

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

// ---------------------------------------------------------------------------
// A profile's scales.

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
    const double passo_x = passo_tondo(k.imp.metro_linea, 12);
    for (double m : tacche_posizione(k.imp)) {
        const double x = k.imp.x_profilo(m);
        usa(cr, griglia);
        cairo_move_to(cr, x, r.y);
        cairo_line_to(cr, x, r.y + r.altezza);
        cairo_stroke(cr);
        usa(cr, testo_scuro);
        // The end as the title gives the length, to a tenth of a kilometre.
        char fine[32];
        std::snprintf(fine, sizeof fine, "%.1f", m / 1000);
        scrivi(cr, x, r.y + r.altezza + 14, m == k.imp.metro_linea ? fine : numero_breve(m / 1000, passo_x / 1000),
               allinea::centro);
    }
    usa(cr, testo_scuro);
    carattere(cr, 12, true);
    scrivi(cr, r.x + 6, r.y - 6, titolo);
    carattere(cr, 11);
    scrivi_verticale(cr, r.x - 52, r.y + r.altezza / 2, unita, allinea::centro);
}

// ---------------------------------------------------------------------------
// The legend.

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
    // A short piece of track, as the plan view draws it.
    auto binario_breve = [&](const colore& c, double spessore, double cx, double cy) {
        usa(cr, c);
        cairo_set_line_width(cr, spessore);
        cairo_move_to(cr, cx - 10, cy);
        cairo_line_to(cr, cx + 10, cy);
        cairo_stroke(cr);
    };
    voce("track", [&](double cx, double cy) { binario_breve(binario, 1.6, cx, cy); });
    voce("beyond the line's end", [&](double cx, double cy) { binario_breve(binario_oltre, 1.3, cx, cy); });
    voce("signal", [&](double cx, double cy) {
        binario_breve(binario, 1.6, cx, cy);
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
    voce("speed indicator board", [&](double cx, double cy) {
        usa(cr, indicatore);
        cairo_rectangle(cr, cx - 2.5, cy - 2.5, 5, 5);
        cairo_fill(cr);
    });
    voce("kilometre board", [&](double cx, double cy) {
        usa(cr, cartello);
        cairo_move_to(cr, cx, cy - 4);
        cairo_line_to(cr, cx + 4, cy);
        cairo_line_to(cr, cx, cy + 4);
        cairo_line_to(cr, cx - 4, cy);
        cairo_close_path(cr);
        cairo_fill(cr);
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

}  // namespace strumento::disegno_interno
