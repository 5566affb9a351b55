// The geometry file: the plan-view track, metre by metre. Per element: an
// unsigned 16-bit tag (0 empty, 2 Integer, 5 double), then nothing, a signed
// 16-bit integer or a double. Component 0 of every metre, then component 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/geometria.h"
#include "model/tracciato.h"

namespace formato {

// Bytes of one element of each kind.
inline constexpr std::size_t byte_elemento_vuoto = 2;
inline constexpr std::size_t byte_elemento_intero = 4;
inline constexpr std::size_t byte_elemento_reale = 10;

// Receives the file a piece at a time, with the byte position where each goes.
using scrittore = std::function<void(std::uint64_t posizione, std::string_view pezzo)>;

std::string immagine_geometria(const modello::geometria_linea& g);
std::string immagine_geometria(const modello::tracciato_linea& t);

// Size of the geometry file of t.
std::uint64_t byte_geometria(const modello::tracciato_linea& t);

// The same bytes handed to scrivi a block at a time, so that a large file is
// never held whole. For a tracciato the values are computed from its runs on
// the way.
void produci_geometria(const modello::geometria_linea& g, const scrittore& scrivi);
void produci_geometria(const modello::tracciato_linea& t, const scrittore& scrivi);

// Lays n metres with turn k from p (the step rule of the model) and writes
// each metre's component 0 at x and component 1 at y as double elements.
void codifica_metri(modello::punta_tracciato& p, std::int64_t n, double k, char* x, char* y);

// Any bytes: an even number of elements, at least two, or errore_decodifica.
modello::geometria_linea decodifica_geometria(std::string_view byte, const std::string& nome_file);

}  // namespace formato
