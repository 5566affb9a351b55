// Holding a folder for the length of a run, so that two runs in one folder
// (a double double-click) take turns instead of deleting or replacing each
// other's files halfway. The hold leaves no file behind and ends with the
// object, or with the process however it ends.
#pragma once

#include <cstdint>
#include <filesystem>

namespace piattaforma {

class blocco_cartella {
public:
    // Waits until no other run holds the folder, then holds it. Where the
    // system cannot hold it (a folder that cannot be opened for reading, a
    // file system without locks) the run goes on without the hold: taking
    // turns is a courtesy between runs, not a reason to refuse one.
    explicit blocco_cartella(const std::filesystem::path& cartella);
    ~blocco_cartella();
    blocco_cartella(const blocco_cartella&) = delete;
    blocco_cartella& operator=(const blocco_cartella&) = delete;

    bool tenuto() const { return maniglia_ != nessuna; }

private:
    static constexpr std::intptr_t nessuna = -1;
    std::intptr_t maniglia_ = nessuna;  // the system's handle of the hold
};

}  // namespace piattaforma
