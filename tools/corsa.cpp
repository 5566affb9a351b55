#include "tools/corsa.h"

#include <cmath>
#include <cstdio>

#include "model/orario.h"

namespace strumento {

namespace {

using json = nlohmann::ordered_json;

std::string ora(const std::optional<double>& t) {
    if (!t) return "";
    return modello::orario::scritta(static_cast<std::int64_t>(std::lround(*t)));
}

std::string riga(const char* formato, auto... valori) {
    char b[256];
    std::snprintf(b, sizeof b, formato, valori...);
    return b;
}

bool sotto(const marcia::tratta& t, double margine_pct) {
    return t.programmato_s && *t.programmato_s - t.minimo_s < t.minimo_s * margine_pct / 100;
}

std::string testo_tratta(const marcia::risultato& r, const marcia::tratta& t, double margine_pct) {
    const auto& a = r.stazioni[t.a];
    std::string s = riga("  to %-24.24s %7.2f km  min %-14s", a.nome.c_str(), t.metri / 1000.0,
                         marcia::durata(t.minimo_s).c_str());
    if (t.programmato_s) {
        const double margine = *t.programmato_s - t.minimo_s;
        s += riga(" scheduled %-14s margin %+6.0f s (%+.1f%%)", marcia::durata(*t.programmato_s).c_str(), margine,
                  t.minimo_s > 0 ? 100 * margine / t.minimo_s : 0.0);
        if (margine < 0)
            s += "  IMPOSSIBLE";
        else if (sotto(t, margine_pct))
            s += "  below the minimum allowance";
    }
    return s + "\n";
}

json numero(const std::optional<double>& x) { return x ? json(std::round(*x * 10) / 10) : json(nullptr); }

}  // namespace

std::string testo_corsa(const marcia::risultato& r, double margine_pct) {
    const auto& d = r.dati;
    std::string s = riga("train: %d coaches, %.0f t, %.0f kW, %.1f m, braked mass %.0f %%, service braking %.2f m/s2\n\n",
                         d.vetture, d.massa_kg / 1000, d.potenza_w / 1000, d.lunghezza_m, d.percentuale_frenata,
                         d.frenatura_m_s2);
    s += riga("%-26s %9s %9s %9s  %s\n", "station", "metre", "arrival", "departure", "");
    for (const auto& x : r.stazioni)
        s += riga("%-26.26s %9d %9s %9s  %s\n", x.nome.c_str(), x.metro, ora(x.arrivo_s).c_str(),
                  ora(x.partenza_s).c_str(), x.orario ? "timetable" : (x.arrivo_s ? "computed" : ""));
    s += "\nlegs, from each station to the next:\n";
    for (const auto& t : r.tratte) s += testo_tratta(r, t, margine_pct);
    s += "\nfrom each timed station to the next (the dwells between included):\n";
    for (const auto& t : r.sezioni) s += testo_tratta(r, t, margine_pct);
    return s;
}

json json_corsa(const marcia::risultato& r, double margine_pct) {
    json j;
    const auto& d = r.dati;
    j["train"] = {{"coaches", d.vetture},           {"mass_t", d.massa_kg / 1000},
                  {"power_kw", d.potenza_w / 1000}, {"length_m", d.lunghezza_m},
                  {"braked_mass_percent", d.percentuale_frenata}, {"service_braking_m_s2", d.frenatura_m_s2}};
    j["minimum_allowance_percent"] = margine_pct;
    j["stations"] = json::array();
    for (const auto& x : r.stazioni)
        j["stations"].push_back({{"name", x.nome},
                                 {"metre", x.metro},
                                 {"arrival_s", numero(x.arrivo_s)},
                                 {"departure_s", numero(x.partenza_s)},
                                 {"scheduled", x.orario.has_value()},
                                 {"stops", x.ferma},
                                 {"dwell_s", x.ferma ? json(x.sosta_s) : json(nullptr)}});
    auto tratte = [&](const std::vector<marcia::tratta>& v) {
        json a = json::array();
        for (const auto& t : v)
            a.push_back({{"from", r.stazioni[t.da].nome},
                         {"to", r.stazioni[t.a].nome},
                         {"metres", t.metri},
                         {"scheduled_s", numero(t.programmato_s)},
                         {"minimum_s", numero(t.minimo_s)},
                         {"margin_s", t.programmato_s ? numero(*t.programmato_s - t.minimo_s) : json(nullptr)},
                         {"below_allowance", sotto(t, margine_pct)}});
        return a;
    };
    j["legs"] = tratte(r.tratte);
    j["timed_legs"] = tratte(r.sezioni);
    j["profile"] = json::array();
    for (const auto& p : r.profilo)
        j["profile"].push_back({{"metre", p.metro},
                                {"limit_kmh", p.limite_kmh},
                                {"speed_kmh", std::round(p.velocita_kmh * 10) / 10},
                                {"time_s", std::round(p.tempo_s * 10) / 10}});
    return j;
}

}  // namespace strumento
