// The line description reader: the first half of memorizza_dati. It reads
// nome_linea + "_linea.txt" from the run's folder into the table's general
// records, the route grid and the geometry, and deletes the file.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace lettura {

// Reads the line description. Returns true when the train file is to be read
// next (the reading ended at the end of the file or softly with code 15),
// false after a hard stop (the code is in m.codice_errore). Run-time failures
// (a field read past the end, a number too large, no length entry) escape as
// exceptions for the caller's general handler.
bool leggi_linea(modello::Modello& m);

// Puts the three kilometric-progressive records 81..83 into their fixed
// order and adds 100 to the value of those with direction code 1.
void progressive_ordina(modello::Modello& m);

// Records mountain stretch (inizio, fine, tipo) and marks its cells. tipo is
// changed as the stretch is classified.
void memo_montagna(modello::Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);

// Places a maximum-speed indicator board; sets code 21 when its cell is taken.
void memo_indicatori_v_max(modello::Modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs,
                           std::int32_t vcs, std::int32_t strisces, std::int32_t vad, std::int32_t vbd,
                           std::int32_t vcd, std::int32_t strisced);

}  // namespace lettura
