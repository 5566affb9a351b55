// What a compile did, row by row: which row placed the object of each cell
// and every problem the compiler met, not only the one the status keeps.
// Only tools that explain a compile switch it on (Modello::registro); the
// compile never reads it, so what it writes is the same either way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace modello {

// An object a row placed: a board, a signal, a stop cell...
struct oggetto_registrato {
    std::string file;  // the input file's name in the run's folder
    int riga = 0;      // line of the row's keyword field
    std::string descrizione;  // "signal at metre 700", "the stop cell of station ROCCAVELLA"
};

// A code a reader set, where it stopped, and why.
struct fermata_registrata {
    std::int32_t codice = 0;
    std::string file;
    int riga_voce = 0;    // line of the keyword of the row being read; 0 outside a row
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

struct registro_controllo {
    std::string file;  // input file being read
    int riga_voce = 0;
    std::vector<oggetto_registrato> oggetti;
    std::vector<std::int64_t> occupante;  // per cell: index into oggetti, -1 when no row placed it
    std::vector<fermata_registrata> fermate;
    std::vector<problema_completamento> completamento;
    std::vector<riga_progressiva> progressive;
    std::vector<std::size_t> stazioni;  // object of each station row read, in order
    // Set where a row meets an earlier object, for the next fermata: the cell
    // it found taken, or the earlier object itself.
    std::optional<std::int64_t> cella_contesa;
    std::optional<std::size_t> oggetto_conteso;
    // First and last line of an earlier row whose value is being laid along
    // the grid: a value that does not fit fails there, under a later row, and
    // the earlier row is the one at fault.
    std::optional<std::pair<int, int>> riga_in_stesura;

    // A new object of the current row.
    std::size_t nuovo_oggetto(std::string descrizione) {
        oggetti.push_back({file, riga_voce, std::move(descrizione)});
        return oggetti.size() - 1;
    }
    void occupa(std::int64_t cella, std::size_t oggetto) {
        if (cella < 0) return;
        if (occupante.size() <= static_cast<std::size_t>(cella)) occupante.resize(static_cast<std::size_t>(cella) + 1, -1);
        occupante[static_cast<std::size_t>(cella)] = static_cast<std::int64_t>(oggetto);
    }
    void occupa(std::int64_t cella, std::string descrizione) { occupa(cella, nuovo_oggetto(std::move(descrizione))); }
    std::optional<std::size_t> chi_occupa(std::int64_t cella) const {
        if (cella < 0 || static_cast<std::size_t>(cella) >= occupante.size() || occupante[static_cast<std::size_t>(cella)] < 0)
            return std::nullopt;
        return static_cast<std::size_t>(occupante[static_cast<std::size_t>(cella)]);
    }
    // A reader set code c (at posizione) while on the current row, having read
    // up to line riga_ultima.
    void fermata(std::int32_t c, int riga_ultima, std::int32_t posizione, std::string motivo = {}) {
        fermata_registrata f{c, file, riga_voce, riga_ultima, posizione, cella_contesa, oggetto_conteso, std::move(motivo)};
        if (riga_in_stesura && riga_in_stesura->first > 0) std::tie(f.riga_voce, f.riga_ultima) = *riga_in_stesura;
        if (!f.oggetto_correlato && cella_contesa) f.oggetto_correlato = chi_occupa(*cella_contesa);
        cella_contesa.reset();
        oggetto_conteso.reset();
        fermate.push_back(std::move(f));
    }
    // A reader starts a file.
    void inizia_file(std::string nome) {
        file = std::move(nome);
        riga_voce = 0;
    }
};

}  // namespace modello
