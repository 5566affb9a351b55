// The recorder of a compile in memory: watches it and keeps which row placed
// the object of each cell and every problem the compiler met, not only the
// one the status keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/osservatore.h"

namespace strumento {

// An object a row placed: a board, a signal, a stop cell... Kept as what it
// is, not as its text: a check compiles hundreds of times and names a few.
struct oggetto_registrato {
    // What the object is: one a row placed, a station row, or a code point
    // the completion added (for the object per, when a row placed that one).
    enum class genere : std::uint8_t { posato, stazione, punto_aggiunto };
    genere tipo = genere::posato;
    modello::oggetto_posato cosa{};  // for posato
    std::uint32_t file = 0;          // the input file's, in registro_controllo::file_letti
    int riga = 0;                    // line of the row's keyword field
    std::int32_t metro = 0;          // the row's position, for posato
    std::int64_t cella = -1;         // the cell it took; -1 for a station row
    std::string nome{};              // a board's text or a station's name
    std::optional<std::size_t> per{};  // for punto_aggiunto
};

// A code a reader set, where it stopped, and why.
struct fermata_registrata {
    std::int32_t codice = 0;
    std::string file;
    int riga_voce = 0;    // line of the keyword of the row at fault; 0 outside a row
    int riga_ultima = 0;  // line of the last field read
    std::int32_t posizione = 0;  // posizione_errore when the code set it
    // A cell the row wanted and found taken, and the object that holds it.
    std::optional<std::int64_t> cella_contesa;
    std::optional<std::size_t> oggetto_correlato;  // index into registro_controllo::oggetti
    std::string motivo;  // what failed, for a run-time failure
};

// A code the completion recorded: the cell it names, and the cell of the
// object it was working for (the signal, or the slowdown's start).
struct problema_completamento {
    std::int32_t codice = 0;
    std::int64_t cella = 0;
    std::int64_t cella_oggetto = 0;
    std::vector<std::int64_t> celle_occupate;  // the taken cells it tried
};

// A kilometric-progressive row as read, for code 2 to name its row.
struct riga_progressiva {
    int riga = 0;
    std::int32_t inizio = 0;
    std::int32_t valore = 0;
};

class registro_controllo final : public modello::osservatore_compilazione {
public:
    void inizia_file(const std::string& nome) override;
    void posato(int riga, std::int64_t cella, modello::oggetto_posato cosa, std::int32_t metro,
                std::string_view nome) override;
    void stazione(int riga, std::string_view nome) override;
    void progressiva(int riga, std::int32_t inizio, std::int32_t valore) override {
        progressive.push_back({riga, inizio, valore});
    }
    void fermata(const modello::fermata_lettore& f) override;
    void punto_codice_aggiunto(std::int64_t cella, std::int64_t per) override;
    void completamento(std::int32_t codice, std::int64_t cella, std::int64_t per,
                       std::span<const std::int64_t> provate) override {
        problemi_completamento.push_back({codice, cella, per, {provate.begin(), provate.end()}});
    }

    // Room for cells 0 to n - 1 at once, so that the table of who holds each
    // cell is not moved as the rows fill it.
    void prevedi_celle(std::size_t n) {
        if (occupante_.size() < n) occupante_.resize(n, -1);
    }

    // The object in cella, if a row placed one there.
    std::optional<std::size_t> chi_occupa(std::int64_t cella) const;

    // How the reports name object o: "the signal at metre 700", "the stop
    // cell of station ROCCAVELLA".
    std::string descrizione(std::size_t o) const;
    // The name of the input file whose row placed object o.
    const std::string& file_di(std::size_t o) const { return file_letti[oggetti[o].file]; }

    std::vector<oggetto_registrato> oggetti;
    std::vector<fermata_registrata> fermate;
    std::vector<problema_completamento> problemi_completamento;
    std::vector<riga_progressiva> progressive;
    // The input files in the order they were begun; the last is the one being read.
    std::vector<std::string> file_letti{std::string()};

private:
    std::size_t nuovo_oggetto(oggetto_registrato o);
    void occupa(std::int64_t cella, std::size_t oggetto);

    std::vector<std::int32_t> occupante_;  // per cell: index into oggetti, -1 when no row placed it
    std::vector<std::size_t> stazioni_;     // object of each station row read, in order
};

}  // namespace strumento
