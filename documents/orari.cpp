#include "documents/orari.h"

#include <algorithm>
#include <cmath>

#include "documents/fatti.h"
#include "run_model/marcia.h"

namespace strumento::documenti {

orari_treno orari_programmati(const fatti_coppia& f) {
    orari_treno o;
    o.reserve(f.stazioni.size());
    for (const auto& s : f.stazioni) {
        if (!s.con_orario()) {
            o.push_back({std::nullopt, std::nullopt, fonte_orario::calcolato});
            continue;
        }
        const std::int32_t giorno = 24 * 3600;
        o.push_back({((s.orario - s.sosta) % giorno + giorno) % giorno, s.orario, fonte_orario::programmato});
    }
    return o;
}

void aggiungi_orari_calcolati(orari_treno& o, const modello::Modello& compilato) {
    const auto r = marcia::calcola_marcia(compilato, {});
    if (r.fermo) return;
    // Whole seconds, as the sheet's own times are: it then cuts them to the minute.
    const auto secondi = [](const std::optional<double>& t) -> std::optional<std::int32_t> {
        if (!t) return std::nullopt;
        return static_cast<std::int32_t>(std::lround(*t));
    };
    for (const auto& s : r.stazioni) {
        const auto k = static_cast<std::size_t>(s.record - 1);
        if (s.record < 1 || k >= o.size() || o[k].fonte != fonte_orario::calcolato) continue;
        o[k].arrivo = secondi(s.arrivo_s);
        o[k].partenza = secondi(s.partenza_s);
    }
}

std::size_t senza_orario(const orari_treno& o) {
    return static_cast<std::size_t>(
        std::count_if(o.begin(), o.end(), [](const orario_stazione& x) { return !x.arrivo && !x.partenza; }));
}

}  // namespace strumento::documenti
