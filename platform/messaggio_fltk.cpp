#include "platform/messaggio.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

#include "platform/form1.h"

namespace piattaforma {

void mostra_messaggio(const std::string& testo, bool con_icona) {
    fl_message_title(nome_applicazione);
    Fl_Widget* icona = fl_message_icon();
    if (con_icona) icona->show(); else icona->hide();
    fl_choice("%s", nullptr, "OK", nullptr, testo.c_str());
}

}  // namespace piattaforma
