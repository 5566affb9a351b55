#include <optional>

#include "run_model/marcia.h"

namespace marcia {

namespace {

// The times a timed station's row gives: its time is the departure, the
// arrival a dwell earlier where the train stops; the first station has no
// arrival, the last no departure.
void orari_dati(std::vector<stazione_marcia>& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!s[i].orario) continue;
        const double t = *s[i].orario;
        if (i > 0) s[i].arrivo_s = s[i].ferma ? t - s[i].sosta_s : t;
        if (i + 1 < s.size()) s[i].partenza_s = t;
    }
}

double soste_tra(const std::vector<stazione_marcia>& s, std::size_t da, std::size_t a) {
    double d = 0;
    for (std::size_t k = da + 1; k < a; ++k)
        if (s[k].ferma) d += s[k].sosta_s;
    return d;
}

// Station k's times from an anchor's departure (partenza at station da),
// with running times stretched by rapporto.
void da_ancora(std::vector<stazione_marcia>& s, std::size_t da, std::size_t k, double partenza, double rapporto) {
    const double arrivo = partenza + rapporto * (s[k].corsa_orario_s - s[da].corsa_orario_s) + soste_tra(s, da, k);
    s[k].arrivo_s = arrivo;
    if (k + 1 < s.size()) s[k].partenza_s = arrivo + (s[k].ferma ? s[k].sosta_s : 0.0);
}

// The arrival a timed station's row sets.
double arrivo_dato(const stazione_marcia& x) { return *x.orario - (x.ferma ? x.sosta_s : 0.0); }

}  // namespace

void componi_orario(risultato& r) {
    auto& s = r.stazioni;
    orari_dati(s);
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        tratta t{i, i + 1, s[i + 1].metro - s[i].metro, s[i + 1].corsa_s - s[i].corsa_s, std::nullopt};
        if (s[i].orario && s[i + 1].orario) t.programmato_s = arrivo_dato(s[i + 1]) - *s[i].orario;
        r.tratte.push_back(t);
    }
    std::optional<std::size_t> prima, ultima;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!s[i].orario) continue;
        if (ultima) {
            const auto a = *ultima;
            const double soste = soste_tra(s, a, i);
            tratta t{a, i, s[i].metro - s[a].metro, s[i].corsa_s - s[a].corsa_s + soste, std::nullopt};
            t.programmato_s = arrivo_dato(s[i]) - *s[a].orario;
            r.sezioni.push_back(t);
            const double corsa = s[i].corsa_orario_s - s[a].corsa_orario_s;
            const double rapporto = corsa > 0 ? (*t.programmato_s - soste) / corsa : 1.0;
            for (std::size_t k = a + 1; k < i; ++k) da_ancora(s, a, k, *s[a].orario, rapporto);
        }
        if (!prima) prima = i;
        ultima = i;
    }
    if (!ultima) return;
    // After the last time given: the technical run; before the first: the same, backwards.
    for (std::size_t k = *ultima + 1; k < s.size(); ++k)
        da_ancora(s, *ultima, k, s[*ultima].partenza_s.value_or(*s[*ultima].orario), 1.0);
    const double arrivo = *prima > 0 ? arrivo_dato(s[*prima]) : *s[*prima].orario;
    for (std::size_t k = 0; k < *prima; ++k) {
        const double a = arrivo - (s[*prima].corsa_orario_s - s[k].corsa_orario_s) - soste_tra(s, k, *prima) -
                         (s[k].ferma ? s[k].sosta_s : 0.0);
        if (k > 0) s[k].arrivo_s = a;
        s[k].partenza_s = a + (s[k].ferma ? s[k].sosta_s : 0.0);
    }
}

}  // namespace marcia
