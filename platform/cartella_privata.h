// A hidden folder of our own inside a given folder, removed with its content
// when the object goes. Being on the same file system as its parent, what is
// made in it can be moved out by a rename.
//
// Its name is PREFIX, this process's number, '~' and six random letters or
// digits (".scenario_tool_4711~k3x9q0"); beside it, for as long as it lives,
// its lock file, the same name with ".lock" after it (see avanzi.h). Making
// a new one removes the folders so named whose lock no live run holds: those
// a killed run left.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/avanzi.h"

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
    std::optional<presa_file> presa_;  // let go, its file removed, after the folder has gone
    std::filesystem::path percorso_;
};

namespace dettaglio {

// Removes from dentro the folders named as above for prefisso whose lock no
// live run holds, and lock files so named left alone. Best effort.
void togli_cartelle_abbandonate(const std::filesystem::path& dentro, const std::string& prefisso);

// Removes a folder and all in it, ignoring failures.
void togli_tutto(const std::filesystem::path& cartella);

}  // namespace dettaglio

}  // namespace piattaforma
