#include "platform/stdio_binario.h"

#include <csignal>

namespace piattaforma {

void stdio_binario() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace piattaforma
