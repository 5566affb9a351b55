#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "run_model/marcia.h"

namespace marcia {

namespace {

namespace tc = modello::tipo_cella;

std::size_t cella(std::int32_t metro) { return static_cast<std::size_t>(std::max(0, metro / 50)); }

// The slowdowns: from a start cell to its end cell, both included.
void rallentamenti(const modello::Modello& m, limiti_celle& l, std::int32_t da, std::int32_t a) {
    const auto& p = m.percorso;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i].tipo != tc::inizio_rallentamento) continue;
        const double v = p[i].valore_1;
        std::size_t j = i + 1;
        while (j < p.size() && p[j].tipo != tc::fine_rallentamento) ++j;
        for (std::size_t k = i; k <= std::min(j, p.size() - 1); ++k) l.kmh[k] = std::min(l.kmh[k], std::max(0.0, v));
        const auto inizio = static_cast<std::int32_t>(i * 50);
        if (v <= 0 && !l.zero && inizio <= a && static_cast<std::int32_t>(j * 50 + 50) > da)
            l.zero = arresto{inizio, "a slowdown limits the speed to 0 km/h from metre " + std::to_string(inizio)};
    }
}

}  // namespace

std::vector<stazione_marcia> stazioni_di(const modello::Modello& m) {
    std::vector<stazione_marcia> s;
    for (int k = 1; k < modello::primo_record_cartello; ++k) {
        const auto& r = m.tabella[static_cast<std::size_t>(k)];
        if (k == 1 ? r.nome.empty() && r.fine == 0 : r.progressiva <= m.tabella[static_cast<std::size_t>(k - 1)].progressiva)
            break;
        stazione_marcia x;
        x.record = k;
        x.nome = r.nome;
        x.tipo = r.tipo;
        x.metro = ha_fermata(r.tipo) ? r.fine - 50 : r.progressiva;
        x.sosta_s = r.campo_13;
        if (r.orario != 0) x.orario = r.orario;
        s.push_back(x);
    }
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i].ferma = ha_fermata(s[i].tipo) && (s[i].sosta_s > 0 || i + 1 == s.size()) && i > 0;
    return s;
}

limiti_celle limiti_di(const modello::Modello& m, std::int32_t da, std::int32_t a, bool con_rallentamenti) {
    limiti_celle l;
    l.kmh.resize(m.percorso.size());
    for (std::size_t i = 0; i < m.percorso.size(); ++i) l.kmh[i] = m.percorso[i].velocita * 5.0;
    for (std::size_t i = cella(da); i <= std::min(cella(a), l.kmh.size() - 1); ++i)
        if (l.kmh[i] <= 0) {
            const auto metro = static_cast<std::int32_t>(i * 50);
            l.zero = arresto{metro, "the speed limit is 0 km/h at metre " + std::to_string(metro)};
            break;
        }
    if (con_rallentamenti) rallentamenti(m, l, da, a);
    return l;
}

std::string durata(double secondi) {
    const long t = std::lround(std::abs(secondi));
    const long h = t / 3600, mi = t / 60 % 60, s = t % 60;
    std::string r = secondi < 0 ? "-" : "";
    auto parte = [&](long v, const char* u) {
        if (!r.empty() && r != "-") r += ' ';
        r += std::to_string(v) + ' ' + u;
    };
    if (h) parte(h, "h");
    if (mi) parte(mi, "min");
    if (s || t == 0) parte(s, "s");
    return r;
}

}  // namespace marcia
