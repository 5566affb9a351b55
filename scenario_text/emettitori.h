// The five emitters of the built-in scenario. Each writes one text file into
// the run's folder; start-up calls them in this order.
#pragma once

#include "model/modello.h"

namespace testi_scenario {

void dati_linea(const modello::Modello& m);
void dati_treno(const modello::Modello& m);
void dati_note(const modello::Modello& m);
void dati_rallentamenti(const modello::Modello& m);
void dati_scheda(const modello::Modello& m);

// All five, in that order: the whole built-in scenario.
void dati_scenario(const modello::Modello& m);

}  // namespace testi_scenario
