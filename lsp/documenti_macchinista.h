// workspace/executeCommand "scenario_tool.documents": the driver's documents
// of the pair written beside its line description, as scenario_tool
// documents writes them. The only files the server ever writes.
#pragma once

#include <string>
#include <vector>

#include "lsp/documento.h"

namespace lsp {

inline constexpr const char* comando_documenti = "scenario_tool.documents";

struct esito_documenti {
    bool scritti = false;
    std::string messaggio;            // for the author, either way
    std::vector<std::string> file;    // paths written, UTF-8
    std::vector<std::string> avvisi;  // names cut
};

// Writes nothing when the pair lacks a file, is not on disk, does not
// compile, or has a value that does not fit its cell.
esito_documenti scrivi_documenti_macchinista(const scenario_aperto& s);

}  // namespace lsp
