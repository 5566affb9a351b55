// The train's run over a compiled scenario, as planners compute running
// times: the most restrictive speed at every metre (limits and slowdowns,
// held until the whole train is past), braking curves into each lower limit
// and each stop, full effort everywhere else; then the timetable's allowance
// spread over the computed times. No input or output: free functions over
// the model the compiler made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/modello.h"
#include "run_model/treno.h"

namespace marcia {

// Station kinds from 25 up have no stop cell: trains pass them.
inline constexpr bool ha_fermata(int tipo) { return tipo < 25; }

struct stazione_marcia {
    int record = 0;  // table record, from 1
    std::string nome;
    int tipo = 0;
    std::int32_t metro = 0;  // the stop cell where the train stops, else the station's position
    bool ferma = false;      // the train stops: a dwell (or the end of the run) at a stop cell
    double sosta_s = 0;
    std::optional<std::int32_t> orario;  // the row's time (departure), when it gives one
    double corsa_s = 0;                  // running time from the first station, dwells left out
    // The same on the line's own limits, slowdowns left out: the run the
    // timetable is planned on, over which its allowance is spread. A
    // slowdown is temporary and eats into the allowance.
    double corsa_orario_s = 0;
    std::optional<double> arrivo_s, partenza_s;  // seconds of the day
};

// From one station to a later one: consecutive stations, or consecutive
// timed stations.
struct tratta {
    std::size_t da = 0, a = 0;  // indices into the stations
    std::int32_t metri = 0;
    double minimo_s = 0;  // running time, the dwells at stations between included
    std::optional<double> programmato_s;
};

struct punto_profilo {
    double metro = 0;
    double limite_kmh = 0;
    double velocita_kmh = 0;
    double tempo_s = 0;  // running time from the first station, dwells left out
};

// Where and why the train cannot run.
struct arresto {
    std::int32_t metro = 0;
    std::string perche;
};

struct risultato {
    treno dati;
    std::vector<stazione_marcia> stazioni;
    std::vector<tratta> tratte;   // consecutive stations
    std::vector<tratta> sezioni;  // consecutive timed stations
    std::vector<punto_profilo> profilo;  // when asked for
    std::optional<arresto> fermo;
};

// The stations of the table, in order, where the run begins and ends.
std::vector<stazione_marcia> stazioni_di(const modello::Modello& m);

// The speed limit in km/h of each 50 m cell, slowdowns included, and the
// first place in [da, a] where a limit is 0.
struct limiti_celle {
    std::vector<double> kmh;
    std::optional<arresto> zero;
};
limiti_celle limiti_di(const modello::Modello& m, std::int32_t da, std::int32_t a, bool rallentamenti = true);

risultato calcola_marcia(const modello::Modello& m, const opzioni_treno& o, bool con_profilo = false);

// The timetable's times over the computed run: the rows' times, and between
// them passing times with the allowance spread in proportion to running time.
void componi_orario(risultato& r);

// How long, for an author: "4 min 10 s", "2 min", "45 s", "1 h 3 min".
std::string durata(double secondi);

}  // namespace marcia
