// Writing the three compiled files of a run: geometry, table and route.
#pragma once

#include "model/modello.h"

namespace compilatore {

// Writes the compiled files of m into m.cartella: the geometry file when
// m.genera_geometria is set and the geometry exists, then the table file,
// then the route file. All files are written to temporary files before the
// first earlier file is replaced, so a failure while building or writing
// leaves every earlier file as it was. Throws std::system_error when a file
// cannot be written.
void scrivi_file_compilati(const modello::Modello& m);

}  // namespace compilatore
