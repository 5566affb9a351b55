// Completion of the cab-signal code points around the slowdowns of the route
// grid: code points ahead of each slowdown start, inside each slowdown, ahead
// of the signals before each warning point and ahead of the first signal after
// each slowdown end.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace compilatore {

// Code of every code point the completion creates, and the ceiling it puts on
// existing code points just ahead of a signal.
inline constexpr std::int16_t codice_completamento = 180;

// y when x is greater than y, otherwise x (a tie gives x).
inline std::int16_t minimo(std::int16_t x, std::int16_t y) { return x > y ? y : x; }

// Adds the code points to m.percorso. Problems (codes 11, 12, 13) are recorded
// in m.codice_errore / m.posizione_errore, the last one winning, and the pass
// goes on. Throws std::runtime_error when the grid has not been allocated.
void completa_codici_cab(modello::Modello& m);

}  // namespace compilatore
