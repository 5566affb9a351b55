#include "platform/cartella_privata.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace piattaforma {

namespace fs = std::filesystem;

cartella_privata::cartella_privata(const fs::path& dentro, const char* prefisso) {
    // mkdtemp picks a name no other process holds and creates it for us alone.
    std::string modello = (dentro / (std::string(prefisso) + "XXXXXX")).string();
    if (::mkdtemp(modello.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "cannot create a private folder in " + dentro.string());
    percorso_ = modello;
}

cartella_privata::~cartella_privata() {
    std::error_code ignora;
    fs::remove_all(percorso_, ignora);
}

}  // namespace piattaforma
