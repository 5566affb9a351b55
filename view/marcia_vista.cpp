#include "view/marcia_vista.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "run_model/marcia.h"

namespace strumento {

using json = nlohmann::ordered_json;

namespace {

// Rounding a double to an integer gives the same on every system.
std::int64_t intero(double x, double scala) { return std::llround(x * scala); }

json decimi(const std::optional<double>& x) { return x ? json(intero(*x, 10)) : json(nullptr); }

// The speed curve: a point at each passo_marcia metres, at both sides of each
// change of limit and at the last point, each as its difference from the one before.
json curva(const std::vector<marcia::punto_profilo>& p) {
    json m = json::array(), v = json::array(), t = json::array();
    std::int64_t pm = 0, pv = 0, pt = 0;
    const auto aggiungi = [&](const marcia::punto_profilo& x) {
        const std::int64_t vm = intero(x.metro, 1), vv = intero(x.velocita_kmh, 10), vt = intero(x.tempo_s, 10);
        m.push_back(vm - pm);
        v.push_back(vv - pv);
        t.push_back(vt - pt);
        pm = vm;
        pv = vv;
        pt = vt;
    };
    double prossimo = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const bool cambia = (i > 0 && p[i].limite_kmh != p[i - 1].limite_kmh) ||
                            (i + 1 < p.size() && p[i].limite_kmh != p[i + 1].limite_kmh);
        if (i == 0 || i + 1 == p.size() || cambia || p[i].metro >= prossimo) {
            aggiungi(p[i]);
            prossimo = std::floor(p[i].metro / passo_marcia) * passo_marcia + passo_marcia;
        }
    }
    return {{"metre", m}, {"speed_dkmh", v}, {"time_ds", t}};
}

// The limit in force as runs [from, to) of one speed.
json limiti(const std::vector<marcia::punto_profilo>& p) {
    json l = json::array();
    for (std::size_t i = 0; i < p.size();) {
        std::size_t j = i;
        while (j + 1 < p.size() && p[j + 1].limite_kmh == p[i].limite_kmh) ++j;
        const std::size_t fine = j + 1 < p.size() ? j + 1 : j;
        l.push_back({intero(p[i].metro, 1), intero(p[fine].metro, 1), intero(p[i].limite_kmh, 1)});
        i = j + 1;
    }
    return l;
}

json stazioni(const marcia::risultato& r) {
    json s = json::array();
    for (const auto& x : r.stazioni)
        s.push_back({{"name", x.nome},
                     {"metre", x.metro},
                     {"stops", x.ferma},
                     {"dwell_ds", intero(x.sosta_s, 10)},
                     {"scheduled_s", x.orario ? json(*x.orario) : json(nullptr)},
                     {"run_ds", intero(x.corsa_s, 10)},
                     {"arrival_ds", decimi(x.arrivo_s)},
                     {"departure_ds", decimi(x.partenza_s)}});
    return s;
}

json tratte(const std::vector<marcia::tratta>& t) {
    json a = json::array();
    for (const auto& x : t)
        a.push_back({{"from", x.da}, {"to", x.a}, {"minimum_ds", intero(x.minimo_s, 10)},
                     {"scheduled_ds", decimi(x.programmato_s)}});
    return a;
}

}  // namespace

json marcia_vista(const modello::Modello& m) {
    const auto r = marcia::calcola_marcia(m, {}, true);
    if (r.fermo) return {{"stopped", {{"metre", r.fermo->metro}, {"reason", r.fermo->perche}}}};
    return {{"curve", curva(r.profilo)},
            {"limits", limiti(r.profilo)},
            {"stations", stazioni(r)},
            {"timed_legs", tratte(r.sezioni)}};
}

}  // namespace strumento
