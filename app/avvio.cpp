#include "app/avvio.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/errore.h"
#include "compiler/driver.h"
#include "model/codici.h"
#include "model/modello.h"
#include "platform/blocco_cartella.h"
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

        scenario_text::dati_scenario(m);

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
