#include "run_model/treno.h"

#include <algorithm>
#include <cmath>

namespace marcia {

namespace {
constexpr double g = 9.81;
}  // namespace

treno treno_di(const modello::Modello& m, const opzioni_treno& o) {
    const auto& r = m.tabella[modello::record_treno];
    treno t;
    t.vetture = std::max(0, o.vetture.value_or(r.progressiva));
    t.percentuale_frenata = o.percentuale_frenata.value_or(r.inizio);
    t.sabbia = m.tabella[modello::record_ripetizione].campo_7 > 0;
    const double loco_t = o.massa_locomotiva_t.value_or(massa_locomotiva_t);
    const double massa_t = loco_t + t.vetture * o.massa_vettura_t.value_or(massa_vettura_t);
    t.massa_kg = massa_t * 1000.0;
    t.massa_aderente_kg = loco_t * 1000.0;
    t.potenza_w = o.potenza_kw.value_or(potenza_per_tonnellata_kw * massa_t) * 1000.0;
    t.lunghezza_m = o.lunghezza_locomotiva_m.value_or(lunghezza_locomotiva_m) +
                    t.vetture * o.lunghezza_vettura_m.value_or(lunghezza_vettura_m);
    t.frenatura_m_s2 = decelerazione_emergenza(t.percentuale_frenata) * o.frazione_servizio.value_or(frazione_servizio);
    return t;
}

double decelerazione_emergenza(double percentuale) { return 0.0075 * std::max(0.0, percentuale) + 0.076; }

double aderenza(double v, int valore_aderenza, bool sabbia) {
    // Curtius and Kniffler's curve for dry rail, speed in km/h.
    const double mu = 0.161 + 7.5 / (v * 3.6 + 44.0);
    double fattore = valore_aderenza / 100.0;
    if (sabbia) fattore = std::max(fattore, std::min(1.0, fattore + 0.2));
    return mu * fattore;
}

double resistenza(const treno& t, double v) {
    // A: rolling and bearings, 15 N per tonne; B: flange and oscillation,
    // 0.2 N per tonne per m/s; C: air, the locomotive's front and each coach.
    const double tonnellate = t.massa_kg / 1000.0;
    const double c = 5.0 + 1.25 * t.vetture;
    return 15.0 * tonnellate + 0.2 * tonnellate * v + c * v * v;
}

double sforzo(const treno& t, double v, int valore_aderenza) {
    const double limite = aderenza(v, valore_aderenza, t.sabbia) * t.massa_aderente_kg * g;
    if (t.potenza_w <= 0) return 0;
    return v > 0 ? std::min(limite, t.potenza_w / v) : limite;
}

double accelerazione(const treno& t, double v, double pendenza, int valore_aderenza) {
    const double forza = sforzo(t, v, valore_aderenza) - resistenza(t, v) - t.massa_kg * g * pendenza / 1000.0;
    return forza / (t.massa_kg * masse_rotanti);
}

}  // namespace marcia
