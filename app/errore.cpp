#include "app/errore.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "app/schermo.h"

namespace app {

namespace {

// A modal box with the text and a single OK button that Return presses.
void mostra_messaggio(const std::string& testo, bool con_icona) {
    fl_message_title(nome_applicazione);
    Fl_Widget* icona = fl_message_icon();
    if (con_icona) icona->show(); else icona->hide();
    fl_choice("%s", nullptr, "OK", nullptr, testo.c_str());
}

}  // namespace

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
