// The entries of a folder, read through the system's own calls: on Windows the
// C runtime's folder listing fails on paths longer than 260 characters, and
// with it std::filesystem::directory_iterator.
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

namespace piattaforma {

struct voce_cartella {
    std::filesystem::path nome;  // the name alone
    bool file = false;           // a regular file (a link is taken for what it points to on POSIX)
    bool cartella = false;
};

// Every entry but "." and "..", in the system's order; err is set and the
// list empty when the folder cannot be read.
std::vector<voce_cartella> elenco_cartella(const std::filesystem::path& cartella, std::error_code& err);

}  // namespace piattaforma
