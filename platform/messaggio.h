// The modal message box: the fatal message of a stamp conflict and the report
// of an unhandled failure.
#pragma once

#include <string>

namespace piattaforma {

// Shows testo in a modal box titled with the application's name, with a single
// OK button (which Return presses), and waits for it. con_icona adds the
// toolkit's alert icon. Needs an open display (apri_schermo).
void mostra_messaggio(const std::string& testo, bool con_icona);

}  // namespace piattaforma
