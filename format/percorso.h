// The route file: the route grid, one 15-byte cell after another, cell 0
// first. Per cell: tipo (u8), valore_1..valore_4 (i16), tempo_segnale,
// preavviso, tipo_montagna, velocita, pendenza, aderenza (u8 each).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace formato {

inline constexpr std::size_t byte_cella = 15;

std::string immagine_percorso(const std::vector<modello::cella>& percorso);

// Any bytes: a whole number of cells, at least one, or errore_decodifica.
std::vector<modello::cella> decodifica_percorso(std::string_view byte, const std::string& nome_file);

}  // namespace formato
