// The table file: the 87 records of the table in index order, each 34 bytes
// plus its name. Per record: tipo (u8), inizio, fine, progressiva (i32),
// campo_4 (u8), the name's length (u16) and its Windows-1252 bytes, campo_7,
// campo_8, campo_10, campo_11, campo_12 (i16), campo_9, campo_13, campo_6,
// campo_5 (u8), orario (i32).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "model/modello.h"

namespace formato {

using tabella_compilata = std::array<modello::voce_tabella, modello::record_tabella>;

inline constexpr std::size_t byte_voce_senza_nome = 34;

// Throws std::overflow_error for a name longer than 65535 bytes.
std::string immagine_tabella(const tabella_compilata& tabella);

// Any bytes: exactly 87 records, or errore_decodifica. Names come back as UTF-8.
tabella_compilata decodifica_tabella(std::string_view byte, const std::string& nome_file);

// A record the compiler never wrote: every field zero, no name.
bool voce_vuota(const modello::voce_tabella& v);

}  // namespace formato
