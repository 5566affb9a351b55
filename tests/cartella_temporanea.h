// Small helpers for tests that work with real files.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cartella_privata.h"

namespace test_util {

// A fresh empty folder, removed with everything in it at the end of the test.
class CartellaTemporanea {
public:
    CartellaTemporanea() : cartella_(std::filesystem::temp_directory_path(), "sb_test_") {}
    ~CartellaTemporanea() {
        // A test may have taken the write permission away; the folder goes
        // all the same.
        std::error_code ec;
        std::filesystem::permissions(percorso(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;
    const std::filesystem::path& percorso() const { return cartella_.percorso(); }

private:
    piattaforma::cartella_privata cartella_;
};

inline std::string leggi(const std::filesystem::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void scrivi(const std::filesystem::path& f, const std::string& testo) {
    std::ofstream out(f, std::ios::binary);
    out << testo;
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> elenco(const std::filesystem::path& dir) {
    std::vector<std::string> nomi;
    for (const auto& e : std::filesystem::directory_iterator(dir)) nomi.push_back(e.path().filename().string());
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

// Splits a file's bytes into lines at CR LF; a final CR LF closes the last line.
inline std::vector<std::string> righe_crlf(const std::string& testo) {
    std::vector<std::string> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const std::size_t fine = testo.find("\r\n", inizio);
        if (fine == std::string::npos) {
            righe.push_back(testo.substr(inizio));
            break;
        }
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 2;
    }
    return righe;
}

}  // namespace test_util
