// Decoders of the three compiled files (route, table, geometry): the byte
// layouts read back into the model's own records. They accept any bytes: a
// file that does not follow its layout throws errore_decodifica naming the
// file and the byte offset where decoding failed, and nothing else can go
// wrong (no read outside the input, allocation bounded by the input's size).
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace decodifica {

class errore_decodifica : public std::runtime_error {
public:
    errore_decodifica(std::string file, std::size_t offset, const std::string& dettaglio);
    const std::string& file() const { return file_; }
    std::size_t offset() const { return offset_; }

private:
    std::string file_;
    std::size_t offset_;
};

// Bytes per cell of the route file.
inline constexpr std::size_t byte_cella = 15;

// The route grid: a whole number of 15-byte cells, at least one.
std::vector<modello::cella> decodifica_percorso(std::string_view byte, const std::string& nome_file);

// The table: exactly 87 records of 34 + n bytes; names come back as UTF-8.
std::array<modello::voce_tabella, modello::record_tabella> decodifica_tabella(std::string_view byte,
                                                                              const std::string& nome_file);

// The geometry: tagged elements, component 0 for every metre and then
// component 1, so an even number of them, at least two.
modello::geometria_linea decodifica_geometria(std::string_view byte, const std::string& nome_file);

// The whole content of a file; throws std::runtime_error naming the file
// when it cannot be read.
std::string leggi_binario(const std::filesystem::path& file);

}  // namespace decodifica
