// What the language server knows of a scenario while an author edits it: the
// two files of a pair as the readers would read them, whether from an open
// buffer (its newest text) or from disk.
#pragma once

#include <string>

#include "reference/voci_controllo.h"

namespace lsp {

// A place in a file: line and column from 0. The texts below hold exactly one
// byte for each UTF-16 code unit of the editor's text (a character that
// Windows-1252 cannot hold is one '?' per code unit, and an error at its
// place), so a column counts bytes of the text and the protocol's UTF-16
// units alike.
struct posizione {
    int riga = 0;
    int colonna = 0;
};

struct intervallo {
    posizione inizio;
    posizione fine;
};

// One file of the pair.
struct file_aperto {
    bool presente = false;  // false: the pair has no such file (checked alone)
    std::string uri;        // as the editor names it (file://...)
    std::string nome;       // the file's name, for messages
    std::string testo;      // Windows-1252 bytes, as on disk
};

struct scenario_aperto {
    file_aperto linea;  // ID_linea.txt
    file_aperto treno;  // ID_N-.txt
    const file_aperto& di(strumento::quale_file f) const {
        return f == strumento::quale_file::linea ? linea : treno;
    }
};

}  // namespace lsp
