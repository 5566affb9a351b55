#include "platform/schermo.h"

namespace piattaforma {

// A Windows desktop session always has its screen.
bool apri_schermo() { return true; }

}  // namespace piattaforma
