// What a compile tells whoever watches it, row by row: which row placed the
// object of each cell and every problem the compiler met, not only the one
// the status keeps. The compile only calls it and never reads anything back,
// so what it writes is the same whoever watches; by default nobody does.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace modello {

// An object a row places in a cell.
enum class oggetto_posato : std::uint8_t {
    cartello_km,           // with its text
    indicatore_v_max,
    punto_codice,
    segnale,
    fermata_stazione,      // with the station's name
    fine_rallentamento,
    inizio_rallentamento,
    avviso_rallentamento,
    preavviso_rallentamento,
};

// A code a reader set, on which row, and what it met there.
struct fermata_lettore {
    std::int32_t codice = 0;
    int riga_voce = 0;    // line of the keyword of the row at fault; 0 outside a row
    int riga_ultima = 0;  // line of the last field read for it
    std::int32_t posizione = 0;  // posizione_errore when the code set it
    std::optional<std::int64_t> cella_contesa{};  // a cell the row wanted and found taken
    bool contro_stazione_precedente = false;    // the station row before this one is the other party
    std::string_view motivo{};  // what failed, for a run-time failure
};

class osservatore_compilazione {
public:
    virtual ~osservatore_compilazione() = default;

    // A reader starts the named input file.
    virtual void inizia_file(const std::string& /*nome*/) {}
    // The row whose keyword stands on line riga placed an object in cella,
    // at metre (its row's position); nome is a board's text or a station's name.
    virtual void posato(int /*riga*/, std::int64_t /*cella*/, oggetto_posato, std::int32_t /*metro*/,
                        std::string_view /*nome*/ = {}) {}
    // A station row was read (before its cells are placed).
    virtual void stazione(int /*riga*/, std::string_view /*nome*/) {}
    // A kilometric-progressive row as read.
    virtual void progressiva(int /*riga*/, std::int32_t /*inizio*/, std::int32_t /*valore*/) {}
    // A reader set a code, or the reading failed (code 25).
    virtual void fermata(const fermata_lettore&) {}
    // The completion added a code point in cella for the object of cella per.
    virtual void punto_codice_aggiunto(std::int64_t /*cella*/, std::int64_t /*per*/) {}
    // The completion recorded a code: the cell it names, the cell of the
    // object it was working for, and the taken cells it tried.
    virtual void completamento(std::int32_t /*codice*/, std::int64_t /*cella*/, std::int64_t /*per*/,
                               std::span<const std::int64_t> /*provate*/) {}

    // The one that watches nothing, every model's default.
    static osservatore_compilazione& nessuno() {
        static osservatore_compilazione n;
        return n;
    }
};

}  // namespace modello
