#include "app/avvio.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/errore.h"
#include "compiler/driver.h"
#include "model/codici.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "platform/blocco_cartella.h"
#include "platform/file_atomico.h"
#include "platform/form1.h"
#include "platform/schermo.h"
#include "scenario_text/emettitori.h"

namespace app {

int avvio(const std::filesystem::path& cartella) {
    modello::Modello m;
    m.cartella = cartella;
    std::unique_ptr<piattaforma::Form1> form;
    try {
        m.nome_linea = "Valdora_Sarenta";
        m.numero_treno = "731";

        if (piattaforma::apri_schermo()) {
            form = std::make_unique<piattaforma::Form1>();
            form->mostra();
        } else {
            std::fprintf(stderr, "Attendere\n");
        }

        // Before the first file: a second run started in this folder waits
        // here, under its own "Attendere", until this one is done, and does
        // not delete this one's input files before they are read.
        const piattaforma::blocco_cartella blocco(cartella);

        // Every file the run writes, checked before the first: one that
        // cannot be replaced (read-only, held by another program) stops the
        // run with the folder as it was.
        std::vector<std::filesystem::path> da_scrivere;
        for (const auto nome : {modello::nome_file_linea, modello::nome_file_treno, modello::nome_file_note,
                                modello::nome_file_rallentamenti, modello::nome_file_scheda,
                                modello::nome_file_geometria, modello::nome_file_tabella, modello::nome_file_percorso})
            da_scrivere.push_back(modello::file_in_cartella(m, nome(m)));
        piattaforma::controlla_sostituibili(da_scrivere);

        testi_scenario::dati_scenario(m);

        compilatore::memorizza_percorso(m, 1);
    } catch (const modello::errore_fatale& e) {
        errore(std::to_string(e.codice()));
    } catch (const std::exception& e) {
        guasto(e.what());
    }
    if (form) form->chiudi();
    return uscita_normale;
}

}  // namespace app
