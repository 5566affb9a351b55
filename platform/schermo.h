// Whether this run talks to a display. Without one (no DISPLAY, or it cannot
// be opened) the program works the same and reports on stderr instead.
#pragma once

namespace piattaforma {

// Opens the display once; later calls return the first answer.
bool apri_schermo();

}  // namespace piattaforma
