// A hidden folder of our own inside a given folder, removed with its content
// when the object goes. Being on the same file system as its parent, what is
// made in it can be moved out by a rename.
#pragma once

#include <filesystem>

namespace piattaforma {

class cartella_privata {
public:
    // Throws std::system_error naming dentro when the folder cannot be created.
    explicit cartella_privata(const std::filesystem::path& dentro, const char* prefisso = ".scenario_tool_");
    ~cartella_privata();
    cartella_privata(const cartella_privata&) = delete;
    cartella_privata& operator=(const cartella_privata&) = delete;
    const std::filesystem::path& percorso() const { return percorso_; }

private:
    std::filesystem::path percorso_;
};

}  // namespace piattaforma
