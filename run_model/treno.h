// The train as the run sees it: what the train file gives (coaches, braked
// mass percentage, sand) and what it does not (masses, power, lengths),
// from documented defaults that an option may override. The physics of one
// metre of track: tractive effort, running resistance, braking.
#pragma once

#include <cstdint>
#include <optional>

#include "model/modello.h"

namespace marcia {

// Defaults; the user's guide (docs/user-guide.md, `run`) gives their sources.
inline constexpr double massa_locomotiva_t = 80.0;   // a four-axle electric locomotive, all axles driven
inline constexpr double massa_vettura_t = 40.0;      // a loaded long-distance coach
inline constexpr double potenza_per_tonnellata_kw = 6.0;  // at the rail, per tonne of train
inline constexpr double lunghezza_locomotiva_m = 19.5;
inline constexpr double lunghezza_vettura_m = 26.4;
inline constexpr double frazione_servizio = 0.8;     // full service brake, of the emergency deceleration
inline constexpr double masse_rotanti = 1.06;        // inertia of wheels and motors, as extra mass
inline constexpr double margine_minimo_pct = 3.0;    // minimum allowance, % of the technical time
inline constexpr double passo_m = 50.0 / 6;          // integration step: six to a 50 m cell

// What the caller may set; an unset value takes its default.
struct opzioni_treno {
    std::optional<double> massa_locomotiva_t;
    std::optional<double> massa_vettura_t;
    std::optional<double> potenza_kw;
    std::optional<double> lunghezza_locomotiva_m;
    std::optional<double> lunghezza_vettura_m;
    std::optional<double> frazione_servizio;
    std::optional<int> vetture;             // else the train file's
    std::optional<double> percentuale_frenata;  // else the train file's
    double passo_m = marcia::passo_m;        // 50 / passo must be whole
    bool rallentamenti = true;               // the slowdowns limit the speed
    // Also the run on the line's own limits, over which the timetable's
    // passing times are spread; without it they are spread over the
    // minimum run (check needs only the minimum running times).
    bool orario = true;
};

// The train with every value settled.
struct treno {
    int vetture = 0;
    double percentuale_frenata = 0;
    bool sabbia = false;
    double massa_kg = 0;           // whole train
    double massa_aderente_kg = 0;  // on the driven axles: the locomotive
    double potenza_w = 0;
    double lunghezza_m = 0;
    double frenatura_m_s2 = 0;     // service deceleration on the level
};

treno treno_di(const modello::Modello& m, const opzioni_treno& o);

// Deceleration in m/s² that a braking percentage gives in an emergency
// braking: the ETCS conversion model's basic deceleration for trains braked
// by percentage, taken at every speed.
double decelerazione_emergenza(double percentuale);

// Adhesion coefficient at speed v (m/s) on track of adhesion value
// `aderenza` (the train file's, 100 nominal).
double aderenza(double v, int valore_aderenza, bool sabbia);

// Davis-type running resistance in N at v (m/s).
double resistenza(const treno& t, double v);

// Acceleration in m/s² at full effort at v (m/s) on a gradient in per mille.
double accelerazione(const treno& t, double v, double pendenza, int valore_aderenza);

// Greatest tractive effort in N at v (m/s).
double sforzo(const treno& t, double v, int valore_aderenza);

}  // namespace marcia
