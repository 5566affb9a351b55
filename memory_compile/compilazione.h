// A scenario's two texts compiled in memory, by the compiler's own code, with
// every rejected row taken out: the compile runs again and again, each time
// with the rows a reader stopped at turned into comment rows, until a compile
// reads through. Each round takes out at least one row, so the rounds end.
// What it gives back is what the tools build on: the model the compiler
// made, the row that placed each object, and the compiler's errors as check
// reports them. Nothing is written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "memory_compile/problema.h"
#include "memory_compile/registro.h"
#include "model/modello.h"
#include "scenario_files/identificativi.h"

namespace strumento {

// How the rounds after the first begin. dopo_la_linea: while the line
// description stays as it was, a round takes the model as the line reader
// left it the round before and reads only the train file. da_capo: every
// round reads both files, kept for the tests that hold the two to the same
// problems.
enum class giri_controllo { dopo_la_linea, da_capo };

struct opzioni_compilazione {
    giri_controllo giri = giri_controllo::dopo_la_linea;
    // Also keep the first round, the texts as given, completed and stamped
    // as the compiler would: what a compile of them writes.
    bool primo_giro = false;
};

// One compile of the pair: the model and the recorder that watched it.
struct compilato {
    // The model as the compile left it; it watches nothing any more.
    modello::Modello modello;
    registro_controllo registro;
    // Whether the completion and the stamps ran through; when not, the grid
    // is as the readers (and the completion, up to its failure) left it.
    bool completato = false;

    // The input file of that name (as the recorder and the stop point name them).
    quale_file file_chiamato(const std::string& nome) const;
    // The file whose row placed object o of the recorder.
    quale_file file_di(std::size_t o) const { return file_chiamato(registro.file_di(o)); }
};

// A line taken out of a text, as a comment row, before the last round.
struct riga_tolta {
    quale_file file;
    int riga = 0;  // from 1
};

struct compilazione_in_memoria {
    // The last round: the texts without the rejected rows. Its model holds
    // every cell, station, limit and gradient the other rows give.
    compilato finale;
    // The first round, when asked for (opzioni_compilazione::primo_giro).
    std::optional<compilato> primo;
    // The compiler's errors, every round's, each once, in check's order.
    std::vector<problema> problemi;
    std::vector<riga_tolta> tolte;  // line description's first, each by line
    int giri = 0;                   // the compiles run
};

compilazione_in_memoria compila_in_memoria(const std::string& linea, const std::string& treno,
                                           const identificativi& id, opzioni_compilazione opzioni = {});

}  // namespace strumento
