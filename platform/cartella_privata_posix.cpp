#include "platform/cartella_privata.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace piattaforma {

namespace fs = std::filesystem;

cartella_privata::cartella_privata(const fs::path& dentro, const char* prefisso) {
    dettaglio::togli_cartelle_abbandonate(dentro, prefisso);
    // mkdtemp picks a name no other process holds and creates it for us alone.
    std::string modello = (dentro / (std::string(prefisso) + std::to_string(::getpid()) + "~XXXXXX")).string();
    if (::mkdtemp(modello.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "cannot create a private folder in " + dentro.string());
    percorso_ = modello;
}

cartella_privata::~cartella_privata() { dettaglio::togli_tutto(percorso_); }

void dettaglio::togli_tutto(const fs::path& cartella) {
    std::error_code ignora;
    fs::remove_all(cartella, ignora);
}

}  // namespace piattaforma
