// A folder of our own under the system's temporary folder, removed with its
// content when the object goes.
#pragma once

#include <filesystem>

namespace piattaforma {

class cartella_privata {
public:
    // Throws std::system_error when the folder cannot be created.
    explicit cartella_privata(const char* prefisso = "scenario_tool_");
    ~cartella_privata();
    cartella_privata(const cartella_privata&) = delete;
    cartella_privata& operator=(const cartella_privata&) = delete;
    const std::filesystem::path& percorso() const { return percorso_; }

private:
    std::filesystem::path percorso_;
};

}  // namespace piattaforma
