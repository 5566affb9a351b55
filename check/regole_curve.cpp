// Curves and speed: a curve the train's speed limit lets it run faster than
// the reference railway runs any curve of its class.
#include "check/regole_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/linea_percorsa.h"
#include "check/regole_ferrovia_interne.h"
#include "check/regole_interne.h"

namespace strumento::regole_ferrovia {

namespace {

using regole_interne::avviso_a;
using righe_lette::riga_voce;

// The turn per metre the line reader gives each class.
constexpr std::array<double, 7> curvatura = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// A curve as the geometry lays it: its metres, its class, and the highest
// speed limit over its cells with the cell where it holds.
struct curva_posata {
    std::int32_t da, a;
    int classe;
    std::int64_t velocita;
    std::int64_t cella;
};

std::optional<int> classe_di(double k) {
    for (int c = 1; c <= 6; ++c)
        if (std::abs(std::abs(k) - curvatura[static_cast<std::size_t>(c)]) < 1e-12) return c;
    return std::nullopt;
}

std::vector<curva_posata> curve_posate(const modello::Modello& m) {
    std::vector<curva_posata> v;
    if (!m.geometria) return v;
    const auto ultima = static_cast<std::int64_t>(m.percorso.size()) - 1;
    for (const auto& t : m.geometria->tratti()) {
        const auto classe = classe_di(t.k);
        if (!classe) continue;
        curva_posata c{t.da, t.a, *classe, -1, 0};
        for (std::int64_t x = t.da / 50; x <= std::min<std::int64_t>(t.a / 50, ultima); ++x)
            if (velocita_treno(m, x) > c.velocita) c.velocita = velocita_treno(m, x), c.cella = x;
        v.push_back(c);
    }
    return v;
}

}  // namespace

std::array<std::int64_t, 7> velocita_per_classe(const modello::Modello& m) {
    std::array<std::int64_t, 7> v{};
    for (const auto& c : curve_posate(m)) {
        auto& x = v[static_cast<std::size_t>(c.classe)];
        x = std::max(x, c.velocita);
    }
    return v;
}

void regole_curve(const coppia_compilata& c, std::vector<problema>& p) {
    const auto& m = c.modello();
    if (m.percorso.empty()) return;
    const auto curve = curve_posate(m);
    if (std::none_of(curve.begin(), curve.end(), [](const curva_posata& x) {
            return x.velocita > velocita_riferimento[static_cast<std::size_t>(x.classe)];
        }))
        return;
    const auto& linea = c.righe(quale_file::linea);
    const auto& treno = c.righe(quale_file::treno);
    const auto tenute = progressive_tenute(m);
    const righe_velocita velocita(treno);
    // The curve rows by start: the geometry lays a curve from the metre after it.
    std::vector<const riga_voce*> righe;
    for (const auto& r : linea.righe)
        if (r.argomento() == "curva") righe.push_back(&r);
    for (const auto& x : curve) {
        const auto limite = velocita_riferimento[static_cast<std::size_t>(x.classe)];
        if (x.velocita <= limite) continue;
        const auto r = std::find_if(righe.rbegin(), righe.rend(), [&](const riga_voce* y) { return y->n(0) + 1 == x.da; });
        if (r == righe.rend()) continue;
        const auto classe = std::to_string(x.classe);
        std::vector<rimando> correlati;
        if (const riga_voce* v = velocita.in_vigore(x.cella))
            correlati.push_back(rimando_a(*v, "the train's speed limit of " + std::to_string(x.velocita) +
                                                  " km/h over the curve set here"));
        p.push_back(avviso_a(
            nome_curva_veloce, **r, 0,
            "the train may run the class-" + classe + " curve (radius " +
                std::to_string(raggio_classe[static_cast<std::size_t>(x.classe)]) + " m) from " +
                dove(tenute, x.da - 1) + " to " + dove(tenute, x.a) + " at " + std::to_string(x.velocita) +
                " km/h, above the " + std::to_string(limite) + " km/h at which the reference railway (the built-in "
                "scenario) runs any class-" + classe + " curve: the train file's speed limit holds there",
            std::move(correlati)));
    }
}

}  // namespace strumento::regole_ferrovia
