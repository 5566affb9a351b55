#include "platform/stdio_binario.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace piattaforma {

void stdio_binario() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace piattaforma
