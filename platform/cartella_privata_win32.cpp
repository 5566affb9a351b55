#include "platform/cartella_privata.h"

#include <windows.h>

#include <random>
#include <string>
#include <system_error>

namespace piattaforma {

namespace fs = std::filesystem;

cartella_privata::cartella_privata(const fs::path& dentro, const char* prefisso) {
    // CreateDirectoryW fails on a name that exists, so a folder it makes is
    // ours alone; a random suffix makes a clash with another run unlikely.
    std::random_device caso;
    std::uniform_int_distribution<unsigned> cifra(0, 35);
    constexpr const char* cifre = "0123456789abcdefghijklmnopqrstuvwxyz";
    DWORD err = ERROR_ALREADY_EXISTS;
    for (int tentativo = 0; tentativo < 100 && err == ERROR_ALREADY_EXISTS; ++tentativo) {
        std::string nome = prefisso;
        for (int i = 0; i < 6; ++i) nome += cifre[cifra(caso)];
        const fs::path percorso = dentro / fs::u8path(nome);
        if (::CreateDirectoryW(percorso.c_str(), nullptr)) {
            // Hidden, as a name beginning with a dot is elsewhere.
            if (nome.starts_with('.')) ::SetFileAttributesW(percorso.c_str(), FILE_ATTRIBUTE_HIDDEN);
            percorso_ = percorso;
            return;
        }
        err = ::GetLastError();
    }
    throw std::system_error(static_cast<int>(err), std::system_category(),
                            "cannot create a private folder in " + dentro.string());
}

cartella_privata::~cartella_privata() {
    std::error_code ignora;
    fs::remove_all(percorso_, ignora);
}

}  // namespace piattaforma
