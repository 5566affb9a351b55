// What the files of the railway rules share. Only they include it.
#pragma once

#include <optional>
#include <string>
#include <vector>

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

    // A file's rows as check reads them (with their lines and columns), read
    // the first time a rule asks and then kept: a rule that only names a row
    // once it has found something reads nothing on a clean pair.
    const righe_lette::file_letto& righe(quale_file f) const {
        auto& r = f == quale_file::linea ? righe_linea_ : righe_treno_;
        if (!r) r = righe_lette::leggi_righe(f, f == quale_file::linea ? linea : treno);
        return *r;
    }
    mutable std::optional<righe_lette::file_letto> righe_linea_{};
    mutable std::optional<righe_lette::file_letto> righe_treno_{};
};

// The families, each in a file of its own.
void regole_progressive(const coppia_compilata& c, std::vector<problema>& p);
void regole_ripetizione(const coppia_compilata& c, std::vector<problema>& p);
void regole_curve(const coppia_compilata& c, std::vector<problema>& p);
void regole_cartelli(const coppia_compilata& c, std::vector<problema>& p);
// The timetable against the train's run (regole_orario.cpp).
void regole_orario(const coppia_compilata& c, std::vector<problema>& p);

}  // namespace strumento::regole_ferrovia
