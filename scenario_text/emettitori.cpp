#include "scenario_text/emettitori.h"

#include "model/nomi_file.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace testi_scenario {

using modello::file_in_cartella;

void dati_linea(const modello::Modello& m) {
    const auto righe = con_sentinella(righe_linea);
    scrivi_documento(file_in_cartella(m, modello::nome_file_linea(m)), righe);
}

void dati_treno(const modello::Modello& m) {
    const auto righe = con_sentinella(righe_treno);
    scrivi_documento(file_in_cartella(m, modello::nome_file_treno(m)), righe);
}

void dati_note(const modello::Modello& m) {
    const auto righe = con_sentinella(righe_note);
    scrivi_documento(file_in_cartella(m, modello::nome_file_note(m)), righe);
}

void dati_rallentamenti(const modello::Modello& m) {
    const auto righe = con_sentinella(righe_rallentamenti);
    scrivi_documento(file_in_cartella(m, modello::nome_file_rallentamenti(m)), righe);
}

void dati_scheda(const modello::Modello& m) {
    const auto righe = con_sentinella(righe_scheda);
    scrivi_documento(file_in_cartella(m, modello::nome_file_scheda(m)), righe);
}

void dati_scenario(const modello::Modello& m) {
    dati_linea(m);
    dati_treno(m);
    dati_note(m);
    dati_rallentamenti(m);
    dati_scheda(m);
}

}  // namespace testi_scenario
