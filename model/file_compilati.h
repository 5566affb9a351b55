// The three compiled files, each the byte image of one member of the model:
// geometry (geometria), table (tabella) and route (percorso). All numbers
// little-endian, no header, elements back to back in index order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_atomico.h"
#include "model/modello.h"

namespace modello {

// Per element: unsigned 16-bit tag (0 empty, 2 Integer, 5 double), then
// nothing, a signed 16-bit integer or a double. Component 0 for every metre,
// then component 1.
std::string immagine_geometria(const geometria_linea& g);
std::string immagine_geometria(const tracciato_linea& t);

// Size of the geometry file of t.
std::uint64_t byte_geometria(const tracciato_linea& t);

// The same bytes handed to scrivi a block at a time. For a tracciato the
// values are computed from its runs on the way.
void produci_geometria(const geometria_linea& g, const scrittore& scrivi);
void produci_geometria(const tracciato_linea& t, const scrittore& scrivi);

// 87 records of 34 + n bytes, n the length of the name in Windows-1252 bytes.
// Throws std::overflow_error for a name longer than 65535 bytes.
std::string immagine_tabella(const std::array<voce_tabella, record_tabella>& tabella);

// 15 bytes per cell, cell 0 first.
std::string immagine_percorso(const std::vector<cella>& percorso);

// Writes the compiled files of m into m.cartella: the geometry file when
// m.genera_geometria is nonzero and the geometry exists, then the table file,
// then the route file. All files are written to temporary files before the
// first earlier file is replaced, so a failure while building or writing
// leaves every earlier file as it was. Throws std::system_error when a file
// cannot be written.
void scrivi_file_compilati(const Modello& m);

}  // namespace modello
