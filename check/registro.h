// check's recorder: watches a compile and keeps which row placed the object
// of each cell and every problem the compiler met, not only the one the
// status keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/osservatore.h"

namespace strumento {

// An object a row placed: a board, a signal, a stop cell...
struct oggetto_registrato {
    std::string file;  // the input file's name
    int riga = 0;      // line of the row's keyword field
    std::string descrizione;  // "the signal at metre 700", "the stop cell of station ROCCAVELLA"
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
    void inizia_file(const std::string& nome) override { file_ = nome; }
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

    // The object in cella, if a row placed one there.
    std::optional<std::size_t> chi_occupa(std::int64_t cella) const;

    std::vector<oggetto_registrato> oggetti;
    std::vector<fermata_registrata> fermate;
    std::vector<problema_completamento> problemi_completamento;
    std::vector<riga_progressiva> progressive;

private:
    std::size_t nuovo_oggetto(std::string file, int riga, std::string descrizione);
    void occupa(std::int64_t cella, std::size_t oggetto);

    std::string file_;  // input file being read
    std::vector<std::int64_t> occupante_;  // per cell: index into oggetti, -1 when no row placed it
    std::vector<std::size_t> stazioni_;     // object of each station row read, in order
};

}  // namespace strumento
