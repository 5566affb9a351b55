// The driver's three documents of a pair as files of a folder, named as the
// builder names its own, and their writing: replaced together, atomically,
// and never over one of the author's own files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "documents/documenti.h"
#include "scenario_files/identificativi.h"

namespace strumento::documenti {

struct file_documenti {
    // The sheet, the slowdown order, the notes: path and bytes.
    std::vector<std::pair<std::filesystem::path, std::string>> file;
    std::vector<std::string> avvisi;  // names cut
    std::size_t stazioni = 0;
    std::size_t senza_orario = 0;     // stations whose time cells stay blank
};

// The documents of the pair (texts as on disk) for the folder. The author's
// train number goes into the documents from the identifiers. Throws
// valore_troppo_largo for a value that does not fit its cell.
file_documenti prepara_documenti(const std::string& linea, const std::string& treno, const identificativi& id,
                                 const std::filesystem::path& cartella, dati_autore autore);

// Writes the three files together, creating the folder when missing. Throws
// std::invalid_argument, writing nothing, when one of them is one of the
// files `intoccabili` (the author's own); std::system_error when they cannot
// be written.
void scrivi_documenti(const file_documenti& d, const std::vector<std::filesystem::path>& intoccabili);

}  // namespace strumento::documenti
