// The compile driver: reads the line description and the train file of the
// run's folder into the model, completes it and writes the compiled files.
#pragma once

#include <cstdint>

#include "compiler/ingressi.h"
#include "model/modello.h"

namespace compilatore {

// Compiles the input files of m.cartella. j nonzero also builds and writes the
// track geometry. The compile status is left in m.codice_errore (and returned);
// a stamp conflict throws errore_fatale before any compiled file is written.
// Any other failure outside the readers propagates as an exception.
std::int32_t memorizza_percorso(modello::Modello& m, std::int32_t j);

// Reads both input files of m.cartella into the model, deleting each once
// read. Run-time failures inside become status 25.
void memorizza_dati(modello::Modello& m);

// memorizza_dati on the input files of `in`, deleted there as from the folder:
// the line description when its reading ends (also on a hard stop), the
// train file when its reading ends, and after a run-time failure both.
void memorizza_dati(modello::Modello& m, ingressi& in);

// memorizza_dati in its two halves, for a tool that reads one line
// description under many train files and keeps the model between them: the
// line description's reading, true when the train file is to be read next,
// then the train file's, on the model as the first half left it.
bool memorizza_linea(modello::Modello& m, ingressi& in);
void memorizza_treno(modello::Modello& m, ingressi& in);

// memorizza_percorso without writing: the model is left as the compiled files
// would hold it. Throws as completa_e_scrivi does.
void compila(modello::Modello& m, std::int32_t j, ingressi& in);

// Every record of the table back to zeros and empty names.
void azzera_tabella(modello::Modello& m);

// Second half of the driver, on a model the readers have filled: code
// completion, the two stamps with the check codes, then the compiled files.
// Returns m.codice_errore. Throws errore_fatale (1250 or 1251) when a stamp
// field is already taken, and std::runtime_error when the grid was never
// allocated or has no cell 1; in these cases no file is written.
std::int32_t completa_e_scrivi(modello::Modello& m);

// completa_e_scrivi without the writing: what a tool runs to learn every
// code of a compile. Throws as completa_e_scrivi does.
void completa_e_timbra(modello::Modello& m);

// After the stamps: whether cell 1 holds an object whose first two values
// they replaced. Stamps refuse nonzero fields only, so an object at the
// start of the line whose first two values were zero (a signal at metre 0
// with zero digits) loses them without a conflict. The compiled bytes keep
// that; the tools tell the author.
bool timbri_su_un_oggetto(const modello::Modello& m);

}  // namespace compilatore
