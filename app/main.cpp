// scenario_builder: writes the built-in scenario next to the executable and
// compiles it. No arguments, no options.
#include <exception>

#include "app/avvio.h"
#include "app/errore.h"
#include "platform/cartella_eseguibile.h"

int main() {
    try {
        return app::avvio(piattaforma::cartella_eseguibile());
    } catch (const std::exception& e) {
        app::guasto(e.what());
    }
}
