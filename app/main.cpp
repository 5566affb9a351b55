// scenario_builder: writes the built-in scenario next to the executable and
// compiles it. No arguments, no options.
#include <exception>

#include "app/avvio.h"
#include "app/errore.h"

int main() {
    try {
        return app::avvio(app::cartella_eseguibile());
    } catch (const std::exception& e) {
        app::guasto(e.what());
    }
}
