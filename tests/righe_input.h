// Reading rows of an input text file in tests, independently of the readers.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace test_util {

// The rows of an input text file that begin with a keyword: fields split at
// commas, blanks around them dropped.
inline std::vector<std::vector<std::string>> righe_con(const std::filesystem::path& file, const std::string& parola) {
    std::vector<std::vector<std::string>> righe;
    for (const auto& riga : righe_crlf(leggi(file))) {
        if (riga.rfind(parola, 0) != 0) continue;
        std::vector<std::string> campi;
        std::size_t inizio = 0;
        for (;;) {
            const auto virgola = riga.find(',', inizio);
            std::string campo = riga.substr(inizio, virgola == std::string::npos ? std::string::npos : virgola - inizio);
            campo.erase(0, campo.find_first_not_of(' '));
            campo.erase(campo.find_last_not_of(' ') + 1);
            campi.push_back(campo);
            if (virgola == std::string::npos) break;
            inizio = virgola + 1;
        }
        righe.push_back(campi);
    }
    return righe;
}

inline long numero(const std::string& campo) { return campo.empty() ? 0 : std::stol(campo); }

}  // namespace test_util
