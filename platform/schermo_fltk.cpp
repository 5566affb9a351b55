#include "platform/schermo.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdlib>

namespace piattaforma {

bool apri_schermo() {
    static const bool aperto = [] {
        const char* nome = std::getenv("DISPLAY");
        if (nome == nullptr || *nome == '\0') return false;
        // FLTK ends the process when it cannot open the display itself, so the
        // display is opened here and handed over only when it works.
        Display* d = XOpenDisplay(nullptr);
        if (d == nullptr) return false;
        fl_open_display(d);
        return true;
    }();
    return aperto;
}

}  // namespace piattaforma
