#include "picture/disegno_pagina.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace strumento::disegno_interno {

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

void carattere(cairo_t* cr, double misura, bool grassetto) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           grassetto ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, misura);
}

double larghezza_testo(cairo_t* cr, const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

void scrivi(cairo_t* cr, double x, double y, const std::string& s, allinea a) {
    const double l = larghezza_testo(cr, s);
    const double x0 = a == allinea::sinistra ? x : a == allinea::centro ? x - l / 2 : x - l;
    cairo_move_to(cr, x0, y);
    cairo_show_text(cr, s.c_str());
}

void scrivi_verticale(cairo_t* cr, double x, double y, const std::string& s, allinea a) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -std::numbers::pi / 2);
    scrivi(cr, 0, 0, s, a);
    cairo_restore(cr);
}

}  // namespace strumento::disegno_interno
