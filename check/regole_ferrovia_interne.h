// What the files of the railway rules share. Only they include it.
#pragma once

#include <optional>
#include <string>

#include "check/righe_lette.h"
#include "memory_compile/compilazione.h"

namespace strumento::regole_ferrovia {

// The pair as the rules see it: the compile in memory and the texts it was
// compiled from.
struct coppia_compilata {
    const compilazione_in_memoria& compilazione;
    const std::string& linea;
    const std::string& treno;

    // The last round's model and recorder: every row the compiler keeps.
    const modello::Modello& modello() const { return compilazione.finale.modello; }
    const registro_controllo& registro() const { return compilazione.finale.registro; }

    // The train file's rows as check reads them, read once, on the first
    // rule that asks: a file of nothing but unknown lines need not be read
    // again when no rule needs a row of it.
    const righe_lette::file_letto& righe_treno() const {
        if (!righe_treno_) righe_treno_ = righe_lette::leggi_righe(quale_file::treno, treno);
        return *righe_treno_;
    }
    mutable std::optional<righe_lette::file_letto> righe_treno_{};
};

}  // namespace strumento::regole_ferrovia
