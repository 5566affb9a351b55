// What the server answers about a place in a scenario's file, apart from the
// diagnostics: each a free function over the pair as it stands, returning
// the protocol's result object as JSON (null when there is nothing to say).
#pragma once

#include <nlohmann/json.hpp>

#include "lsp/documento.h"
#include "reference/voci_controllo.h"

namespace lsp {

using strumento::quale_file;

// textDocument/hover: Hover or null.
nlohmann::json hover(const scenario_aperto& s, quale_file f, posizione p);

// textDocument/inlayHint: InlayHint[] for the rows that meet the lines
// [da, a] (inclusive).
nlohmann::json suggerimenti(const scenario_aperto& s, quale_file f, int da, int a);

// textDocument/completion: CompletionItem[] for the place.
nlohmann::json completamento(const scenario_aperto& s, quale_file f, posizione p);

// textDocument/definition: Location (uri from the pair's files) or null.
nlohmann::json definizione(const scenario_aperto& s, quale_file f, posizione p);

// textDocument/documentSymbol: DocumentSymbol[].
nlohmann::json simboli(const scenario_aperto& s, quale_file f);

// textDocument/codeAction: CodeAction[] (quick fixes) for the range.
nlohmann::json azioni(const scenario_aperto& s, quale_file f, intervallo r);

// textDocument/formatting: TextEdit[] (empty when the file is already in form).
nlohmann::json formattazione(const scenario_aperto& s, quale_file f);

}  // namespace lsp
