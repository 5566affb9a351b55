// The working model of one compile run: route grid, scenario table, track
// geometry and the few sizes and identifiers around them. Whoever compiles
// (the builder's run, each command of the tool, a test) owns one instance for
// that compile; the readers, the completion and the writers work on its
// members directly.
// Field order and widths of cella and voce_tabella are the record layouts of the
// compiled files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/geometria.h"
#include "model/osservatore.h"
#include "model/tracciato.h"

namespace modello {

// One 50 m stretch of track.
struct cella {
    std::uint8_t tipo = 0;  // object in this stretch, see tipo_cella
    std::int16_t valore_1 = 0;
    std::int16_t valore_2 = 0;
    std::int16_t valore_3 = 0;
    std::int16_t valore_4 = 0;
    std::uint8_t tempo_segnale = 0;
    std::uint8_t preavviso = 0;
    std::uint8_t tipo_montagna = 0;
    std::uint8_t velocita = 0;  // speed limit in units of 5 km/h
    std::uint8_t pendenza = 0;  // gradient in per mille plus 100
    std::uint8_t aderenza = 0;
};

// Values of cella::tipo.
namespace tipo_cella {
inline constexpr std::uint8_t nessuno = 0;
inline constexpr std::uint8_t segnale = 1;
inline constexpr std::uint8_t fine_rallentamento = 2;
inline constexpr std::uint8_t inizio_rallentamento = 3;
inline constexpr std::uint8_t avviso_rallentamento = 4;
inline constexpr std::uint8_t preavviso_rallentamento = 5;
inline constexpr std::uint8_t indicatore_v_max = 6;
inline constexpr std::uint8_t fermata = 10;
inline constexpr std::uint8_t segno_montagna = 11;
inline constexpr std::uint8_t punto_codice = 12;
inline constexpr std::uint8_t punto_senza_codice = 13;
inline constexpr std::uint8_t cartello_km = 14;
}  // namespace tipo_cella

// A cell may take an object when it holds nothing or only a mountain marker.
inline bool cella_libera(const cella& c) {
    return c.tipo == tipo_cella::nessuno || c.tipo == tipo_cella::segno_montagna;
}

// One record of the scenario table: a station, a kilometre-board text or
// general parameters (records 81 to 86).
struct voce_tabella {
    std::uint8_t tipo = 0;
    std::int32_t inizio = 0;
    std::int32_t fine = 0;
    std::int32_t progressiva = 0;
    std::uint8_t campo_4 = 0;
    std::string nome;  // UTF-8 in memory, single-byte code page on file
    std::int16_t campo_7 = 0;
    std::int16_t campo_8 = 0;
    std::int16_t campo_10 = 0;
    std::int16_t campo_11 = 0;
    std::int16_t campo_12 = 0;
    std::uint8_t campo_9 = 0;
    std::uint8_t campo_13 = 0;
    std::uint8_t campo_6 = 0;
    std::uint8_t campo_5 = 0;
    std::int32_t orario = 0;  // seconds of the day
};

inline constexpr int record_tabella = 87;
inline constexpr int primo_record_cartello = 80;
inline constexpr int record_progressiva_tre = 81;
inline constexpr int record_progressiva_due = 82;
inline constexpr int record_progressiva_uno = 83;
inline constexpr int record_treno = 84;
inline constexpr int record_linea = 85;
inline constexpr int record_ripetizione = 86;

inline constexpr int massimo_montagne = 80;
inline constexpr std::int32_t lunghezza_massima = 1000000;
inline constexpr std::int32_t prolungamento_linea = 7000;

// Where a reader stopped on a code or a run-time failure: the input file's
// name and the line on which the last field it read began (0: before the
// first field). For a run-time failure, motivo keeps what failed, so that a
// tool can say more than the status 25.
struct punto_arresto {
    std::string file;
    int riga = 0;
    std::string motivo{};  // empty when the reading stopped on a code
    // The row at fault: the lines of its keyword (0 outside a row) and of its
    // last field read. A value laid along the grid fails under a later row,
    // and the earlier row that set it is the one at fault.
    int riga_voce = 0;
    int riga_ultima_voce = 0;

    // A value field of a row that failed to read, so that a tool can name it:
    // the row's keyword field, which of the values its entries read after it
    // (from 0), the field's text as written (none when the file ended before
    // it), why, and the line it stands on.
    struct valore_non_letto {
        std::string parola;
        bool blocco_generale = false;  // line description: read in the general block
        int indice = 0;
        std::optional<std::string> testo;
        std::string perche;
        int riga = 0;
    };
    std::optional<valore_non_letto> valore{};
};

struct Modello {
    std::optional<tracciato_linea> geometria;  // absent unless genera_geometria
    // Cells 0..numero_celle; empty until the line length is read. Set both
    // through nuovo_percorso, so that they stay in step.
    std::vector<cella> percorso;
    std::array<voce_tabella, record_tabella> tabella{};
    std::array<std::int32_t, massimo_montagne + 1> montagna_inizio{};
    std::array<std::int32_t, massimo_montagne + 1> montagna_fine{};
    std::int32_t numero_montagne = 0;
    // Next table record for a kilometre-board text; boards fill records 80
    // downward, stations 1 upward, and the two must not meet.
    std::int32_t indice_cartello = primo_record_cartello;
    bool genera_geometria = false;
    std::string nome_linea;
    std::string numero_treno;
    std::int32_t lunghezza_totale = 0;
    std::int32_t numero_celle = 0;
    std::int32_t codice_errore = 0;
    std::int32_t posizione_errore = 0;
    // Empty when both readings ran to the end of their files.
    std::optional<punto_arresto> arresto;
    // Told what the compile does, row by row, by tools that explain a
    // compile; the compile itself never reads anything back.
    osservatore_compilazione* osservatore = &osservatore_compilazione::nessuno();

    // A route grid of cells 0..ultima, each a copy of base.
    void nuovo_percorso(std::int32_t ultima, const cella& base = {}) {
        percorso.assign(static_cast<std::size_t>(ultima) + 1, base);
        numero_celle = ultima;
    }

    // Folder where every file of the run is written and read: the folder of
    // the running executable for the builder, any folder for tests and tools.
    std::filesystem::path cartella;
};

}  // namespace modello
