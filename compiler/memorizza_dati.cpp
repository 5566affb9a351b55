// memorizza_dati: both readers in turn, under one failure handler.
#include <exception>
#include <filesystem>
#include <system_error>

#include "compiler/driver.h"
#include "line_reader/lettore_linea.h"
#include "model/codici.h"
#include "model/nomi_file.h"
#include "train_reader/lettore_treno.h"

namespace compilatore {

using modello::Modello;
using modello::file_in_cartella;
using modello::nome_file_linea;
using modello::nome_file_treno;
namespace codice = modello::codice;

void memorizza_dati(Modello& m) {
    m.arresto.reset();
    try {
        if (!lettura::leggi_linea(m)) return;
        lettura::leggi_treno(m);
    } catch (const std::exception&) {
        // Any run-time failure while reading: the input files that still
        // exist are deleted, and the status says the reading failed.
        std::error_code ignora;
        std::filesystem::remove(file_in_cartella(m, nome_file_linea(m)), ignora);
        std::filesystem::remove(file_in_cartella(m, nome_file_treno(m)), ignora);
        m.codice_errore = codice::errore_in_lettura;
    }
}

}  // namespace compilatore
