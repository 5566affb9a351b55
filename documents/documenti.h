// The driver's three documents for an author's pair, in the built-in
// documents' layouts: the train sheet, the slowdown order (form M. 3) and
// the notes. Each is a file's lines (UTF-8, without line ends); the
// built-in emitter's writer turns them into Windows-1252 with CR LF.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "documents/fatti.h"
#include "documents/orari.h"

namespace strumento::documenti {

// What the author gives beside the pair; each absent value keeps the blank
// form's placeholder.
struct dati_autore {
    std::string numero_treno;                   // from the train file's name
    std::optional<std::string> velocita_massima;  // "200": the header's V cell
    std::optional<std::string> categoria;         // "C", after the V cell
    std::optional<std::string> classificazione;   // "IC"
    std::optional<std::string> massa_bloccata;    // "600", tonnes
    std::optional<std::string> nome_treno;        // "Lago Azzurro", for the notes
    std::optional<std::string> percorso;          // the train's whole run, "Portovesco - Sarenta"; else the stretch
    std::vector<std::string> note;                // the notes after their first two lines
};

// One document: its lines, and the names it had to cut.
struct documento {
    std::vector<std::string> righe;
    std::vector<std::string> avvisi;
};

// Each throws valore_troppo_largo (documents/celle.h) for a value that does
// not fit its cell.
documento ordine_rallentamenti(const fatti_coppia& f, const dati_autore& a);
documento note_treno(const fatti_coppia& f, const dati_autore& a);
// orari: one entry per station of the train file, in order (documents/orari.h).
documento scheda_treno(const fatti_coppia& f, const dati_autore& a, const orari_treno& orari);

// The stretch the train runs, from its first station to its last, the
// names capitalised: "Valdora - Sarenta".
std::string tratto(const fatti_coppia& f);

// The bytes of a document's file: Windows-1252, CR LF after each line.
std::string byte_documento(const documento& d);

}  // namespace strumento::documenti
