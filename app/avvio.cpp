#include "app/avvio.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/errore.h"
#include "app/form1.h"
#include "app/schermo.h"
#include "model/codici.h"
#include "model/compilatore.h"
#include "model/modello.h"
#include "scenario_text/emettitori.h"

namespace app {

std::filesystem::path cartella_eseguibile() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

int avvio(const std::filesystem::path& cartella) {
    modello::Modello m;
    m.cartella = cartella;
    std::unique_ptr<Form1> form;
    try {
        m.nome_linea = "Valdora_Sarenta";
        m.numero_treno = "731";

        if (apri_schermo()) {
            form = std::make_unique<Form1>();
            form->mostra();
        } else {
            std::fprintf(stderr, "Attendere\n");
        }

        scenario_text::dati_scenario(m);

        modello::memorizza_percorso(m, 1);
    } catch (const modello::errore_fatale& e) {
        errore(std::to_string(e.codice()));
    } catch (const std::exception& e) {
        guasto(e.what());
    }
    if (form) form->chiudi();
    return uscita_normale;
}

}  // namespace app
