#include "run_model/marcia.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace marcia {

namespace {

constexpr double g = 9.81;

// The run on a grid of points passo apart from the first station's metre.
struct griglia {
    std::int32_t origine = 0;
    int per_cella = 25;  // points per 50 m cell
    double passo = 2.0;
    std::size_t punti = 0;

    // Whole cells counted apart, so that every 50 m mark is exact.
    double metro(std::size_t i) const {
        const auto n = static_cast<std::size_t>(per_cella);
        return origine + 50.0 * static_cast<double>(i / n) + passo * static_cast<double>(i % n);
    }
    std::size_t cella(std::size_t i) const {
        return static_cast<std::size_t>(origine / 50) + i / static_cast<std::size_t>(per_cella);
    }
    std::size_t indice(std::int32_t m) const {
        return static_cast<std::size_t>(m - origine) / 50 * static_cast<std::size_t>(per_cella) +
               static_cast<std::size_t>((m - origine) % 50) * static_cast<std::size_t>(per_cella) / 50;
    }
};

// The limit at each point: the lowest of the cells the train covers, from
// its tail (lunghezza behind) to its head.
std::vector<double> limite_ai_punti(const griglia& q, const std::vector<double>& celle, double lunghezza) {
    std::vector<double> r(q.punti);
    std::deque<std::size_t> minimi;  // cells in the window, their limits increasing
    std::size_t prossima = static_cast<std::size_t>(std::max(0.0, std::floor((q.origine - lunghezza) / 50.0)));
    for (std::size_t i = 0; i < q.punti; ++i) {
        const std::size_t testa = std::min(q.cella(i), celle.size() - 1);
        const double coda_m = q.metro(i) - lunghezza;
        const std::size_t coda = coda_m <= 0 ? 0 : static_cast<std::size_t>(coda_m / 50.0);
        for (; prossima <= testa; ++prossima) {
            while (!minimi.empty() && celle[minimi.back()] >= celle[prossima]) minimi.pop_back();
            minimi.push_back(prossima);
        }
        while (minimi.size() > 1 && minimi.front() < coda) minimi.pop_front();
        r[i] = celle[minimi.front()];
    }
    return r;
}

int pendenza(const modello::Modello& m, std::size_t c) {
    return c < m.percorso.size() ? m.percorso[c].pendenza - 100 : 0;
}
int aderenza_cella(const modello::Modello& m, std::size_t c) {
    return c < m.percorso.size() ? m.percorso[c].aderenza : 100;
}

// The highest speed² from which the train brakes in time for every lower
// limit and stop ahead.
std::vector<double> curva_frenatura(const griglia& q, const modello::Modello& m, const treno& t,
                                    const std::vector<double>& limite, const std::vector<std::size_t>& fermate) {
    std::vector<double> v2(q.punti);
    for (std::size_t i = 0; i < q.punti; ++i) v2[i] = std::pow(limite[i] / 3.6, 2);
    for (const auto f : fermate) v2[f] = 0;
    for (std::size_t i = q.punti - 1; i-- > 0;) {
        const double b = std::max(0.05, t.frenatura_m_s2 + g * pendenza(m, q.cella(i)) / 1000.0);
        v2[i] = std::min(v2[i], v2[i + 1] + 2 * b * q.passo);
    }
    return v2;
}

std::string perche_fermo(const treno& t, const modello::Modello& m, std::size_t c) {
    if (t.potenza_w <= 0) return "the train has no power";
    const int i = pendenza(m, c);
    const double serve = t.massa_kg * g * i / 1000.0 + resistenza(t, 0.0);
    const double ha = sforzo(t, 0.0, aderenza_cella(m, c));
    return "the train cannot climb the gradient of " + std::to_string(i) + " per mille: it needs " +
           std::to_string(std::lround(serve / 1000)) + " kN and its effort, by adhesion, is " +
           std::to_string(std::lround(ha / 1000)) + " kN";
}

// Full effort from point to point, under the braking curve. The running time
// at each point into tempo; the first point where the train stops short of
// a stop, if any.
std::optional<std::size_t> corsa(const griglia& q, const modello::Modello& m, const treno& t,
                                 const std::vector<double>& tetto, std::vector<double>& v2, std::vector<double>& tempo) {
    v2.assign(q.punti, 0.0);
    tempo.assign(q.punti, 0.0);
    for (std::size_t i = 0; i + 1 < q.punti; ++i) {
        const std::size_t c = q.cella(i);
        const double i_mille = pendenza(m, c);
        const int ad = aderenza_cella(m, c);
        const double v = std::sqrt(v2[i]);
        const double a1 = accelerazione(t, v, i_mille, ad);
        double nuovo = tetto[i + 1];
        // At the limit with effort to spare, the train holds the limit: the
        // second evaluation only where the speed is free to change.
        if (a1 < 0 || v2[i] < nuovo) {
            const double prova = std::max(0.0, v2[i] + 2 * a1 * q.passo);
            const double a2 = accelerazione(t, std::sqrt(prova), i_mille, ad);
            nuovo = std::min(v2[i] + (a1 + a2) * q.passo, nuovo);
        }
        if (nuovo <= 0 && tetto[i + 1] > 0) return i;
        nuovo = std::max(0.0, nuovo);
        v2[i + 1] = nuovo;
        const double somma = v + std::sqrt(nuovo);
        if (somma <= 0) return i;  // standing at a point that is no stop
        tempo[i + 1] = tempo[i] + 2 * q.passo / somma;
    }
    return std::nullopt;
}

void profilo(const griglia& q, const std::vector<double>& limite, const std::vector<double>& v2,
             const std::vector<double>& tempo, risultato& r) {
    for (std::size_t i = 0; i < q.punti; ++i) {
        const bool cambia = i == 0 || i + 1 == q.punti || limite[i] != limite[i - 1];
        if (!cambia && i % static_cast<std::size_t>(q.per_cella) != 0) continue;
        r.profilo.push_back({q.metro(i), limite[i], std::sqrt(v2[i]) * 3.6, tempo[i]});
    }
}

// One run from the first station to the last: the running time at each
// station, or where the train cannot go on.
std::optional<arresto> corri(const modello::Modello& m, const opzioni_treno& o, risultato& r, bool rallentamenti,
                             std::vector<double>& corse, bool con_profilo) {
    const auto da = r.stazioni.front().metro, a = r.stazioni.back().metro;
    const auto celle = limiti_di(m, da, a, rallentamenti);
    if (celle.zero) return celle.zero;
    griglia q;
    q.per_cella = std::max(1, static_cast<int>(std::lround(50.0 / o.passo_m)));
    q.passo = 50.0 / q.per_cella;
    q.origine = da;
    q.punti = q.indice(a) + 1;
    const auto limite = limite_ai_punti(q, celle.kmh, r.dati.lunghezza_m);
    std::vector<std::size_t> fermate;
    for (const auto& s : r.stazioni)
        if (s.ferma) fermate.push_back(q.indice(s.metro));
    const auto tetto = curva_frenatura(q, m, r.dati, limite, fermate);
    std::vector<double> v2, tempo;
    if (const auto i = corsa(q, m, r.dati, tetto, v2, tempo)) {
        const auto metro = static_cast<std::int32_t>(q.metro(*i));
        return arresto{metro, "the train stops at metre " + std::to_string(metro) + ": " +
                                  perche_fermo(r.dati, m, q.cella(*i))};
    }
    corse.clear();
    for (const auto& s : r.stazioni) corse.push_back(tempo[q.indice(s.metro)]);
    if (con_profilo) profilo(q, limite, v2, tempo, r);
    return std::nullopt;
}

}  // namespace

risultato calcola_marcia(const modello::Modello& m, const opzioni_treno& o, bool con_profilo) {
    risultato r;
    r.dati = treno_di(m, o);
    r.stazioni = stazioni_di(m);
    if (r.stazioni.size() < 2 || m.percorso.empty()) {
        r.fermo = arresto{0, "the train file has fewer than two stations: there is no run"};
        return r;
    }
    for (std::size_t i = 1; i < r.stazioni.size(); ++i)
        if (r.stazioni[i].metro <= r.stazioni[i - 1].metro) {
            r.fermo = arresto{r.stazioni[i].metro, "the station " + r.stazioni[i].nome + " is not beyond the one before it"};
            return r;
        }
    std::vector<double> corse, corse_orario;
    if ((r.fermo = corri(m, o, r, o.rallentamenti, corse, con_profilo))) return r;
    if (!o.orario || !o.rallentamenti)
        corse_orario = corse;
    else if ((r.fermo = corri(m, o, r, false, corse_orario, false)))
        return r;
    for (std::size_t i = 0; i < r.stazioni.size(); ++i) {
        r.stazioni[i].corsa_s = corse[i];
        r.stazioni[i].corsa_orario_s = corse_orario[i];
    }
    componi_orario(r);
    return r;
}

}  // namespace marcia
