// Calls errore with the code given on the command line, so that a test can
// watch the message box on a display and dismiss it.
#include <string>

#include "app/errore.h"

int main(int argc, char** argv) {
    app::errore(argc > 1 ? argv[1] : "1250");
}
