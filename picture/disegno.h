// `scenario_tool plot`: a picture of a compiled route. On top the plan view of
// the track, to scale, with stations, signals, mountain stretches and
// slowdowns; under it, on the line's position in kilometres, the gradient,
// speed-limit and adhesion profiles. Drawn with cairo as PNG, SVG or PDF.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dump/scarico.h"

namespace strumento {

enum class formato_disegno { png, svg, pdf };

// The format named by a file's extension (.png, .svg, .pdf, any case).
std::optional<formato_disegno> formato_da_nome(const std::filesystem::path& file);

// What the picture shows, read from the compiled files. Positions are metres
// along the line.
struct stazione_disegno {
    int record = 0;  // table record, 1 upward
    std::string nome;
    std::int32_t posizione = 0;             // the record's position
    std::optional<std::int32_t> fermata;    // metre of its stop cell, when it has one
};

struct tratto_disegno {
    std::int32_t inizio = 0;
    std::int32_t fine = 0;
    int valore = 0;  // mountain type, or the slowdown's speed (km/h)
    int secondo_valore = 0;  // slowdown: second speed, 0 when none
    std::optional<std::int32_t> avviso;  // slowdown: metre of its warning point
};

// A board beside the track: a speed indicator board with its left side's
// three speeds (km/h, 0 where none), or a kilometre board with its text.
struct cartello_disegno {
    std::int32_t posizione = 0;
    std::array<int, 3> velocita{};
    std::string testo;
};

struct elementi_percorso {
    std::vector<stazione_disegno> stazioni;
    std::vector<cartello_disegno> indicatori;
    std::vector<cartello_disegno> cartelli_km;
    std::vector<std::int32_t> segnali;
    std::vector<tratto_disegno> montagne;
    std::vector<tratto_disegno> rallentamenti;
    // Cells 0..celle_profilo-1 carry the gradient, speed and adhesion
    // profiles; the readers leave the last cells of the grid unfilled.
    std::size_t celle_profilo = 0;
};

elementi_percorso estrai_elementi(const compilati& c);

// A rectangle of the page, in page units (PNG pixels, SVG and PDF points).
struct riquadro {
    double x = 0, y = 0, larghezza = 0, altezza = 0;
};

// The plan view's frame and its mapping: component 0 of the geometry is
// east, component 1 north, the same scale on both axes, north up.
struct pianta {
    riquadro cornice;
    double scala = 1;     // page units per metre
    double est_min = 0;   // metres east at the frame's left edge
    double nord_max = 0;  // metres north at the frame's top edge

    std::array<double, 2> al_foglio(double est, double nord) const {
        return {cornice.x + (est - est_min) * scala, cornice.y + (nord_max - nord) * scala};
    }
};

// One profile panel: position along the line across, a value up.
struct pannello_profilo {
    riquadro cornice;
    double valore_min = 0, valore_max = 1;

    double y_valore(double v) const {
        return cornice.y + cornice.altezza - (v - valore_min) / (valore_max - valore_min) * cornice.altezza;
    }
};

struct impaginazione {
    double larghezza = 0, altezza = 0;
    std::optional<pianta> piano;  // absent without a geometry file
    riquadro nomi_stazioni;       // the strip of station names over the profiles
    pannello_profilo pendenza, velocita, aderenza;
    double metro_max = 1;  // the profiles run from metre 0 to this one, the grid's last cell
    double metro_linea = 1;  // the line's length: the position axis ends here, the grid runs on beyond

    double x_profilo(double metro) const {
        return pendenza.cornice.x + metro / metro_max * pendenza.cornice.larghezza;
    }
};

// The page layout of a compiled route; the same for every format.
impaginazione impagina(const compilati& c, const elementi_percorso& e);

// The metres labelled on the position axis: round steps from 0, and the
// line's length as the last.
std::vector<double> tacche_posizione(const impaginazione& imp);

// Draws the picture into file; throws std::runtime_error when the file
// cannot be written.
void disegna(const compilati& c, const std::filesystem::path& file, formato_disegno formato);

// Frees the font and surface caches that cairo and fontconfig keep for the
// whole process, for a program that has drawn its last picture (so that a
// leak checker sees nothing left). No cairo object may be alive.
void libera_cache_disegno();

}  // namespace strumento
