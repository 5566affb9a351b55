// memorizza_dati: both readers in turn, under one failure handler.
#include <exception>
#include <filesystem>
#include <string>
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
    std::string in_lettura = nome_file_linea(m);
    try {
        if (!lettura::leggi_linea(m)) return;
        in_lettura = nome_file_treno(m);
        lettura::leggi_treno(m);
    } catch (const std::exception& e) {
        // Any run-time failure while reading: the input files that still
        // exist are deleted, and the status says the reading failed. The
        // failure's own words stay with the place where the reading stopped
        // (a file that could not be opened has no line yet; a soft stop of
        // the line description is not where the train file failed).
        if (!m.arresto || m.arresto->file != in_lettura) m.arresto = modello::punto_arresto{in_lettura, 0, {}};
        m.arresto->motivo = e.what();
        if (m.registro) m.registro->fermata(codice::errore_in_lettura, m.arresto->riga, 0, e.what());
        std::error_code ignora;
        std::filesystem::remove(file_in_cartella(m, nome_file_linea(m)), ignora);
        std::filesystem::remove(file_in_cartella(m, nome_file_treno(m)), ignora);
        m.codice_errore = codice::errore_in_lettura;
    }
}

}  // namespace compilatore
