#include "picture/disegno.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "format/tabella.h"
#include "model/modello.h"
#include "picture/disegno_pagina.h"
#include "text/visibile.h"

namespace strumento {

namespace fs = std::filesystem;
namespace tc = modello::tipo_cella;
using modello::cella;
using namespace disegno_interno;

namespace {

// The readers' tails fill every profile up to cell numero_celle - 3; the last
// three cells of the grid keep zeros that are no gradient, speed or adhesion.
constexpr std::size_t celle_non_riempite = 3;

// ---------------------------------------------------------------------------
// The extent of the geometry, for the plan view's scale.

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

// ---------------------------------------------------------------------------
// The page: title, legend, plan view, profiles.

void disegna_pagina(cairo_t* cr, const compilati& c, const elementi_percorso& e, const impaginazione& imp) {
    const contesto k{cr, c, e, imp};
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    char titolo[256];
    std::snprintf(titolo, sizeof titolo, "%s, train %s: %.1f km line, %zu stations, %zu signals", c.id.linea.c_str(),
                  c.id.treno.c_str(), imp.metro_linea / 1000.0, e.stazioni.size(), e.segnali.size());

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
        s.nome = testo::visibile(v.nome);
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
            case tc::indicatore_v_max: {
                // The hundreds of each value are the left speed / 5.
                cartello_disegno b{metro_oggetto(i), {x.valore_1 / 100 * 5, x.valore_2 / 100 * 5, x.valore_3 / 100 * 5}, {}};
                e.indicatori.push_back(b);
                break;
            }
            case tc::cartello_km: {
                cartello_disegno b{metro_oggetto(i), {}, {}};
                if (x.valore_1 > 0 && x.valore_1 < modello::record_tabella)
                    b.testo = testo::visibile(c.tabella[static_cast<std::size_t>(x.valore_1)].nome);
                e.cartelli_km.push_back(b);
                break;
            }
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
            // The frame is the track's extent with its border, no wider: a
            // tall narrow track is not drawn in a frame as wide as the page.
            p.cornice = {margine_sinistro, y,
                         std::round(std::clamp(ex_piu * p.scala, larghezza_minima_pianta, larghezza_utile)),
                         std::round(std::clamp(ny_piu * p.scala, altezza_minima_pianta, altezza_massima_pianta))};
            p.est_min = (est->est_min + est->est_max) / 2 - p.cornice.larghezza / 2 / p.scala;
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
    for (const auto& b : e.indicatori)
        for (int v : b.velocita) velocita[1] = std::max(velocita[1], static_cast<double>(v));
    imp.pendenza = pannello(pendenze, false);
    imp.velocita = pannello(velocita, true);
    imp.aderenza = pannello(estremi(aderenza, 0, 10), true);
    imp.altezza = std::ceil(y + 10);
    imp.metro_max = std::max(1.0, static_cast<double>(c.percorso.empty() ? 1 : c.percorso.size() - 1) * metri_cella);
    // The grid runs about 7 km past the line's end; the axis stops at the end.
    const double lunghezza = c.tabella[modello::record_treno].fine;
    imp.metro_linea = lunghezza > 0 && lunghezza <= imp.metro_max ? lunghezza : imp.metro_max;
    return imp;
}

std::vector<double> tacche_posizione(const impaginazione& imp) {
    const double passo = passo_tondo(imp.metro_linea, 12);
    std::vector<double> t;
    // A round tick too close to the end gives way to the end's own.
    for (double m = 0; m < imp.metro_linea - passo * 0.4; m += passo) t.push_back(m);
    t.push_back(imp.metro_linea);
    return t;
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
