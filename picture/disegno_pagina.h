// What the files of `scenario_tool plot` share: the page layout, colours,
// text, and what each drawing file offers the others. Only those files
// include it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "model/modello.h"
#include "picture/disegno.h"

namespace strumento::disegno_interno {

// ---------------------------------------------------------------------------
// Page layout constants, in page units. Frames lie on half units so that
// their one-unit lines fall on whole pixels of a PNG.

inline constexpr double larghezza_pagina = 1400;
inline constexpr double margine_sinistro = 84.5;
inline constexpr double margine_destro = 40;
inline constexpr double cima_pianta = 92.5;
inline constexpr double altezza_massima_pianta = 1050;
inline constexpr double altezza_minima_pianta = 320;
inline constexpr double larghezza_minima_pianta = 360;
inline constexpr double altezza_nomi = 130;
inline constexpr double altezza_profilo = 165;
inline constexpr double spazio_profili = 46;
inline constexpr double metri_cella = 50;

struct colore {
    double r, g, b;
};
inline constexpr colore nero{0, 0, 0};
inline constexpr colore binario{0.08, 0.08, 0.08};
inline constexpr colore griglia{0.87, 0.87, 0.87};
inline constexpr colore testo_scuro{0.12, 0.12, 0.12};
inline constexpr colore testo_stazione{0.05, 0.16, 0.45};
inline constexpr colore stazione_pieno{0.15, 0.40, 0.80};
inline constexpr colore segnale{0.35, 0.35, 0.35};
inline constexpr colore montagna{0.62, 0.40, 0.18};
inline constexpr colore montagna_chiaro{0.95, 0.88, 0.78};
inline constexpr colore rallentamento{0.85, 0.08, 0.08};
inline constexpr colore rallentamento_chiaro{1.0, 0.86, 0.86};
inline constexpr colore linea_pendenza{0.35, 0.25, 0.55};
inline constexpr colore area_pendenza{0.84, 0.80, 0.93};
inline constexpr colore linea_velocita{0.08, 0.30, 0.85};
inline constexpr colore linea_aderenza{0.10, 0.50, 0.20};
inline constexpr colore linea_stazione{0.78, 0.80, 0.88};
// The boards' colours are used for nothing else, so a drawing's boards can be
// counted by colour.
inline constexpr colore indicatore{1.0, 0.5, 0.0};
inline constexpr colore cartello{0.0, 0.5, 0.25};
inline constexpr colore oltre_linea{0.75, 0.75, 0.75};
inline constexpr colore binario_oltre{0.30, 0.30, 0.30};

inline void usa(cairo_t* cr, colore c, double alfa = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alfa); }

// A step of 1, 2 or 5 times a power of ten that cuts intervallo into about
// parti pieces.
double passo_tondo(double intervallo, double parti);

std::string numero_breve(double v, double passo);

// ---------------------------------------------------------------------------
// Text.

enum class allinea { sinistra, centro, destra };

void carattere(cairo_t* cr, double misura, bool grassetto = false);

double larghezza_testo(cairo_t* cr, const std::string& s);

// Text with its baseline at y.
void scrivi(cairo_t* cr, double x, double y, const std::string& s, allinea a = allinea::sinistra);

// Text turned a quarter to the left, reading upward from (x, y).
void scrivi_verticale(cairo_t* cr, double x, double y, const std::string& s, allinea a = allinea::sinistra);

inline void rettangolo(cairo_t* cr, const riquadro& r) { cairo_rectangle(cr, r.x, r.y, r.larghezza, r.altezza); }

// ---------------------------------------------------------------------------
// What every piece draws from.

struct contesto {
    cairo_t* cr;
    const compilati& c;
    const elementi_percorso& e;
    const impaginazione& imp;
};

inline std::int32_t metro_stazione(const stazione_disegno& s) { return s.fermata.value_or(s.posizione); }

// The profiles' values of a cell.
inline double pendenza_per_mille(const modello::cella& c) { return static_cast<double>(c.pendenza) - 100; }
inline double velocita_kmh(const modello::cella& c) { return static_cast<double>(c.velocita) * 5; }
inline double aderenza(const modello::cella& c) { return static_cast<double>(c.aderenza); }

// ---------------------------------------------------------------------------
// The pieces.

// The plan view: track, mountain stretches, slowdowns, signals, stations and
// their names, in p's frame (disegno_pianta.cpp).
void disegna_pianta(const contesto& k, const pianta& p);

// The gradient, speed and adhesion panels (disegno_profili.cpp).
void disegna_profili(const contesto& k);

// Station names over the profiles (disegno_profili.cpp).
void disegna_nomi_profili(const contesto& k);

// The plan view's grid, kilometre labels, axis titles and north arrow
// (disegno_legenda.cpp).
void griglia_pianta(const contesto& k, const pianta& p);

// A profile panel's grid, value and kilometre labels, title and unit
// (disegno_legenda.cpp).
void griglia_profilo(const contesto& k, const pannello_profilo& p, const std::string& titolo,
                     const std::string& unita);

// The row of symbols and their meanings with its baseline at y
// (disegno_legenda.cpp).
void legenda(const contesto& k, double y);

}  // namespace strumento::disegno_interno
