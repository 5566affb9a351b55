#include "app/errore.h"

#include <cstdio>
#include <cstdlib>

#include "platform/form1.h"
#include "platform/messaggio.h"
#include "platform/schermo.h"

namespace app {

using piattaforma::apri_schermo;
using piattaforma::mostra_messaggio;
using piattaforma::nome_applicazione;

std::string messaggio_errore(const std::string& a) { return " Errore n. " + a; }

void errore(const std::string& a) {
    const std::string testo = messaggio_errore(a);
    if (apri_schermo()) {
        mostra_messaggio(testo, false);
    } else {
        std::fprintf(stderr, "%s\n", testo.c_str());
    }
    std::fflush(nullptr);
    std::_Exit(uscita_errore);
}

void guasto(const std::string& descrizione) {
    const std::string testo = std::string(nome_applicazione) + ": " + descrizione;
    std::fprintf(stderr, "%s\n", testo.c_str());
    if (apri_schermo()) mostra_messaggio(testo, true);
    std::fflush(nullptr);
    std::_Exit(uscita_guasto);
}

}  // namespace app
