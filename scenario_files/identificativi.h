// The author's scenario files as the tool takes them: the line identifier
// and the train number, read from names that follow the convention
// (ID_linea.txt, ID_N-.txt) or given as options.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace strumento {

// A command line that cannot be carried out as given; the tool exits with 64.
class errore_uso : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct identificativi {
    std::string linea;
    std::string treno;
};

// The identifiers of a compile: from the file names when they follow the
// convention (ID_linea.txt, ID_N-.txt), else from the options. An option that
// contradicts a file name, a missing identifier or one that cannot be part of
// a file name throws errore_uso naming it.
identificativi scegli_identificativi(const std::filesystem::path& file_linea, const std::filesystem::path& file_treno,
                                     const std::optional<std::string>& linea, const std::optional<std::string>& treno);

// Throws errore_uso when the text cannot stand in a file name of a run.
void controlla_identificativo(const std::string& valore, const std::string& nome);

// The identifiers a file's name gives, when it follows the convention: the
// line's from ID_linea.txt; both from ID_N-.txt (with the line's identifier
// known, N is what follows "ID_"; without it the split is at the last "_").
std::optional<std::string> linea_dal_nome(const std::filesystem::path& file);
std::optional<identificativi> treno_dal_nome(const std::filesystem::path& file,
                                             const std::optional<std::string>& linea);

}  // namespace strumento
