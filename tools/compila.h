// `scenario_tool compile`: an author's line description and train file
// compiled by the builder's own driver, on private copies, with the outcome
// told in words or as JSON.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/modello.h"
#include "scenario_files/identificativi.h"

namespace strumento {


// Exit statuses shared by every subcommand.
namespace uscita {
inline constexpr int ok = 0;
inline constexpr int codice_di_compilazione = 1;  // compile: status nonzero, files written
inline constexpr int fatale = 2;                  // compile: 1250/1251, nothing written
inline constexpr int guasto = 3;                  // a failure: nothing (more) written
inline constexpr int uso = 64;
}  // namespace uscita


struct richiesta_compilazione {
    std::filesystem::path file_linea;
    std::filesystem::path file_treno;
    std::filesystem::path cartella_uscita;
    identificativi id;
    bool geometria = true;
};

enum class esito { ok, fatale, non_gestito };

// Where a reader stopped, in the author's terms.
struct punto_fermata {
    std::string file;  // the author's file, as named on the command line
    int riga = 0;
    std::optional<std::string> testo;  // that line, UTF-8, without its line end
    std::optional<std::string> motivo;  // what failed, when a run-time failure stopped it
};

struct risultato_compilazione {
    esito outcome = esito::ok;
    std::int32_t codice_errore = 0;
    std::int32_t posizione_errore = 0;
    std::optional<std::int32_t> codice_fatale;
    std::vector<std::string> file_scritti;  // names, in the order written
    std::optional<punto_fermata> fermata;
    std::string guasto;  // what an unhandled failure said
    // What concerns an input file as a whole (an encoding the readers cannot
    // read, no [generale]): told whatever the outcome.
    std::vector<std::string> note;
};

// Compiles copies of the author's files in a hidden private folder inside the
// output folder and moves the compiled files into the output folder
// together, or not at all; the private folder goes on every path. The
// author's files are only read.
risultato_compilazione compila(const richiesta_compilazione& r);

int stato_uscita(const risultato_compilazione& r);

// Line k (from 1) of a file's bytes, counted as the readers count lines (CR LF,
// a lone CR or a lone LF each end one), converted to UTF-8 and made safe to
// print.
std::optional<std::string> riga_del_testo(std::string_view testo, int k);

// The report leads with what decides the outcome: a fatal error or an
// unhandled failure (no compiled file written) comes before any status.
// Every text from the files or the command line is shown safe to print.
std::string descrivi_testo(const risultato_compilazione& r, const richiesta_compilazione& q);
nlohmann::ordered_json descrivi_json(const risultato_compilazione& r);

}  // namespace strumento
