// The files the editor has open, and the pair each belongs to: a line
// description ID_linea.txt and a train file ID_N-.txt of the same folder. An
// open buffer's newest text counts; the other file of a pair is read from
// disk (only read: nothing here writes a file; the driver's documents are
// written by lsp/documenti_macchinista.cpp, on request).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lsp/documento.h"
#include "lsp/testo_editor.h"
#include "reference/voci_controllo.h"

namespace lsp {

using strumento::quale_file;

struct documento {
    std::string uri;
    std::optional<std::string> percorso;  // UTF-8, when the URI names a file
    std::string cartella;                 // the folder's path, to find the other file
    std::string utf8;  // the editor's text as the protocol carries it, which ranged changes edit
    testo_convertito testo;  // the same as the readers take it
    std::int64_t versione = 0;
    std::uint64_t uso = 0;  // when it was last opened or changed, to prefer it as a pair
    // At the last open or save the file on disk held this text as UTF-8 with
    // letters beyond ASCII: the editor saves it so, and the compiler would
    // read those letters as two or three characters each.
    bool utf8_su_disco = false;
};

// A document's pair as the features and the check take it.
struct coppia {
    scenario_aperto scenario;
    quale_file ruolo = quale_file::linea;  // which file of the pair the document is
    // Empty when the document has its pair; else what it misses, as said to
    // the author once.
    std::string manca;
};

class documenti {
public:
    void apri(const std::string& uri, const std::string& utf8, std::int64_t versione);
    // The whole new text (the server applies ranged changes to utf8 first).
    void cambia(const std::string& uri, const std::string& utf8, std::int64_t versione);
    void chiudi(const std::string& uri);
    // Compares the file on disk with the open text (after open and save).
    void confronta_disco(const std::string& uri);

    const documento* trova(const std::string& uri) const;
    std::vector<const documento*> aperti() const;

    coppia coppia_di(const documento& d) const;

private:
    // The open document or the file on disk named nome in the folder of d.
    file_aperto file_accanto(const documento& d, const std::string& nome) const;
    const documento* aperto_in(const std::string& cartella, const std::string& nome) const;
    std::map<std::string, documento> aperti_;
    std::uint64_t contatore_ = 0;
};

}  // namespace lsp
