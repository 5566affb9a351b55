// What the files of the railway rules share. Only they include it.
#pragma once

#include <string>
#include <vector>

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
};

// The timetable against the train's run (regole_orario.cpp).
void regole_orario(const coppia_compilata& c, std::vector<problema>& p);

}  // namespace strumento::regole_ferrovia
