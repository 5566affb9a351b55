#include "platform/cartella_privata.h"

#include <system_error>

namespace piattaforma {

void dettaglio::togli_tutto(const std::filesystem::path& cartella) {
    std::error_code ignora;
    std::filesystem::remove_all(cartella, ignora);
}

}  // namespace piattaforma
