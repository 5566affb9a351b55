// The slowdown order (form M. 3): the built-in form's lines, its rows filled
// with the train file's slowdowns, as many forms as they need.
#include <cstddef>
#include <string>

#include "documents/celle.h"
#include "documents/documenti.h"
#include "scenario_text/righe_builtin.h"

namespace strumento::documenti {

namespace {

// Lines of the built-in form: the line's name, the train's, the first row,
// the closing line.
constexpr std::size_t riga_linea = 4, riga_ordine = 6, prima_riga = 12, riga_chiusura = 36;
// Rows one form takes.
constexpr std::size_t righe_per_modulo = 21;

// The stations around a slowdown: the last at or before its start and the
// first after it; only one when the slowdown lies beyond the first or last.
std::string fra_stazioni(const fatti_coppia& f, std::int64_t inizio) {
    const stazione_coppia* prima = nullptr;
    const stazione_coppia* dopo = nullptr;
    for (const auto& s : f.stazioni) {
        if (s.metro <= inizio) prima = &s;
        else if (!dopo) dopo = &s;
    }
    if (prima && dopo) return in_maiuscolo(prima->nome) + " - " + in_maiuscolo(dopo->nome);
    return in_maiuscolo(prima ? prima->nome : dopo ? dopo->nome : std::string());
}

// One row of the form; its cells are written from the right.
std::string riga_rallentamento(const fatti_coppia& f, const rallentamento_coppia& r, std::size_t numero,
                               std::vector<std::string>& avvisi) {
    std::string riga(testi_scenario::righe_rallentamenti[prima_riga]);
    const std::string dove = "slowdown " + std::to_string(numero);
    in_cella(riga, 59, 6, std::to_string(r.lunghezza), allinea::destra, dove + ": length");
    in_cella(riga, 48, 6, std::to_string(r.velocita), allinea::destra, dove + ": speed");
    in_cella(riga, 35, 7, std::to_string(ultimo_cippo(f, r.inizio)), allinea::destra, dove + ": milestone");
    nome_in_cella(riga, 7, 26, fra_stazioni(f, r.inizio), avvisi, dove);
    in_cella(riga, 2, 2, std::to_string(numero), allinea::destra, dove + ": number");
    return riga;
}

std::string nome_linea(const fatti_coppia& f) {
    if (f.stazioni.empty()) return {};
    return in_maiuscolo(f.stazioni.front().nome) + " - " + in_maiuscolo(f.stazioni.back().nome);
}

}  // namespace

documento ordine_rallentamenti(const fatti_coppia& f, const dati_autore& a) {
    const auto& modulo = testi_scenario::righe_rallentamenti;
    documento d;
    std::size_t fatti = 0;
    do {
        for (std::size_t i = 0; i < modulo.size(); ++i) {
            if (i == riga_linea) d.righe.push_back(" Linea  " + nome_linea(f));
            else if (i == riga_ordine)
                d.righe.push_back("  Si ordina al macchinista del treno  " + a.numero_treno +
                                  "  di effettuare i seguenti rallentamenti");
            else if (i >= prima_riga && i < prima_riga + righe_per_modulo && fatti < f.rallentamenti.size()) {
                d.righe.push_back(riga_rallentamento(f, f.rallentamenti[fatti], fatti + 1, d.avvisi));
                ++fatti;
            } else if (i >= prima_riga && i < riga_chiusura)
                d.righe.push_back(std::string(modulo[prima_riga + righe_per_modulo]));
            else
                d.righe.emplace_back(modulo[i]);
        }
    } while (fatti < f.rallentamenti.size());
    return d;
}

}  // namespace strumento::documenti
