// memorizza_dati: both readers in turn, under one failure handler.
#include <exception>
#include <optional>
#include <string>

#include "compiler/driver.h"
#include "line_reader/lettore_linea.h"
#include "model/codici.h"
#include "model/nomi_file.h"
#include "text/flusso_campi.h"
#include "train_reader/lettore_treno.h"

namespace compilatore {

using modello::Modello;
using modello::file_in_cartella;
using modello::nome_file_linea;
using modello::nome_file_treno;
namespace codice = modello::codice;

namespace {

// Any run-time failure while reading in_lettura: the input files that still
// exist are deleted, and the status says the reading failed. The failure's
// own words stay with the place where the reading stopped (a file that could
// not be opened has no line yet; a soft stop of the line description is not
// where the train file failed).
void guasto_in_lettura(Modello& m, ingressi& in, const std::string& in_lettura, const std::exception& e) {
    if (!m.arresto || m.arresto->file != in_lettura) m.arresto = modello::punto_arresto{in_lettura, 0, {}};
    m.arresto->motivo = e.what();
    m.osservatore->fermata({.codice = codice::errore_in_lettura,
                            .riga_voce = m.arresto->riga_voce,
                            .riga_ultima = m.arresto->riga_ultima_voce,
                            .motivo = m.arresto->motivo});
    for (const std::string& nome : {nome_file_linea(m), nome_file_treno(m)}) {
        try {
            in.elimina(nome);
        } catch (const std::exception&) {
            // Left where it is: the status already says the reading failed.
        }
    }
    m.codice_errore = codice::errore_in_lettura;
}

}  // namespace

void memorizza_dati(Modello& m) {
    ingressi_cartella in(m.cartella);
    memorizza_dati(m, in);
}

void memorizza_dati(Modello& m, ingressi& in) {
    if (memorizza_linea(m, in)) memorizza_treno(m, in);
}

bool memorizza_linea(Modello& m, ingressi& in) {
    m.arresto.reset();
    m.tabella[modello::record_linea].nome = m.nome_linea;
    m.tabella[modello::record_ripetizione].nome = m.numero_treno;
    const std::string linea = nome_file_linea(m);
    try {
        m.osservatore->inizia_file(linea);
        std::optional<std::string> contenuto = in.leggi(linea);
        if (!contenuto) {
            m.codice_errore = codice::linea_mancante;
            return false;
        }
        return lettura::leggi_linea(m, {linea, std::move(*contenuto), [&] { in.elimina(linea); }});
    } catch (const std::exception& e) {
        guasto_in_lettura(m, in, linea, e);
        return false;
    }
}

void memorizza_treno(Modello& m, ingressi& in) {
    const std::string treno = nome_file_treno(m);
    try {
        m.osservatore->inizia_file(treno);
        std::optional<std::string> contenuto = in.leggi(treno);
        if (!contenuto) throw testo::errore_lettura("cannot find " + file_in_cartella(m, treno).string());
        lettura::leggi_treno(m, {treno, std::move(*contenuto), [&] { in.elimina(treno); }});
    } catch (const std::exception& e) {
        guasto_in_lettura(m, in, treno, e);
    }
}

}  // namespace compilatore
