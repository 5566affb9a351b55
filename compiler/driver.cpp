#include "compiler/driver.h"

#include <stdexcept>

#include "compiler/codici_gara.h"
#include "compiler/completamento.h"
#include "compiler/file_compilati.h"
#include "model/codici.h"

namespace compilatore {

using modello::Modello;
using modello::cella;
using modello::voce_tabella;
using modello::record_linea;
using modello::errore_fatale;
namespace codice = modello::codice;

namespace {

constexpr std::int16_t marcatore_tabella = 610;
constexpr std::int16_t marcatore_percorso = 5121;

// The markers and check codes go into fields that the readers may already have
// filled: a field that is not 0 is a conflict that ends the run, 1250 for the
// markers, 1251 for the check codes (the markers then already written); a
// zero one is taken, even when it is an object's value (see
// timbri_su_un_oggetto).
void timbra(Modello& m) {
    if (m.percorso.size() < 2)
        throw std::runtime_error("stamping: the route grid has no cell 1 to carry the stamps");
    voce_tabella& linea = m.tabella[record_linea];
    cella& prima = m.percorso[1];
    if (linea.campo_7 != 0 || prima.valore_1 != 0) throw errore_fatale(codice::timbro_occupato);
    linea.campo_7 = marcatore_tabella;
    prima.valore_1 = marcatore_percorso;
    if (linea.orario != 0 || prima.valore_2 != 0) throw errore_fatale(codice::codice_gara_occupato);
    linea.orario = codice_gara_st(m);
    prima.valore_2 = codice_gara_og(m);
}

}  // namespace

void azzera_tabella(Modello& m) {
    for (auto& voce : m.tabella) voce = voce_tabella{};
}

void completa_e_timbra(Modello& m) {
    if (m.percorso.empty())
        throw std::runtime_error("compile: no route grid was built from the line description");
    completa_codici_cab(m);
    timbra(m);
}

bool timbri_su_un_oggetto(const Modello& m) { return m.percorso.size() > 1 && !modello::cella_libera(m.percorso[1]); }

std::int32_t completa_e_scrivi(Modello& m) {
    completa_e_timbra(m);
    scrivi_file_compilati(m);
    return m.codice_errore;
}

void compila(Modello& m, std::int32_t j, ingressi& in) {
    m.genera_geometria = j != 0;
    m.codice_errore = 0;
    azzera_tabella(m);
    memorizza_dati(m, in);
    completa_e_timbra(m);
}

std::int32_t memorizza_percorso(Modello& m, std::int32_t j) {
    ingressi_cartella in(m.cartella);
    compila(m, j, in);
    scrivi_file_compilati(m);
    return m.codice_errore;
}

}  // namespace compilatore
