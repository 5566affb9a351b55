// The two ways a run ends early: the fatal message of a stamp conflict, and
// the report of an unhandled failure.
#pragma once

#include <string>

namespace app {

inline constexpr int uscita_normale = 0;
inline constexpr int uscita_errore = 1;
inline constexpr int uscita_guasto = 2;

// Shows " Errore n. " followed by a in a modal box (OK only, no icon), waits
// for OK and ends the process with status 1. Without a display the message
// goes to stderr and the process ends at once.
[[noreturn]] void errore(const std::string& a);

// Reports an unhandled failure in one line on stderr (and in a message box
// when there is a display) and ends the process with status 2.
[[noreturn]] void guasto(const std::string& descrizione);

// The text errore shows for a.
std::string messaggio_errore(const std::string& a);

}  // namespace app
