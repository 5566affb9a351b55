#include "documents/orari.h"

#include <algorithm>

#include "documents/fatti.h"

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

std::size_t senza_orario(const orari_treno& o) {
    return static_cast<std::size_t>(
        std::count_if(o.begin(), o.end(), [](const orario_stazione& x) { return !x.arrivo && !x.partenza; }));
}

}  // namespace strumento::documenti
