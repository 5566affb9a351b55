// Keyword tests of the readers: a keyword may stand anywhere in a field.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace testo {

inline bool contiene(std::string_view campo, std::string_view parola) {
    return campo.find(parola) != std::string_view::npos;
}

// Case-insensitive (ASCII letters; keywords are plain ASCII). Folded here
// rather than through the C library, which would ask the locale for every byte.
inline bool contiene_i(std::string_view campo, std::string_view parola) {
    const auto minuscola = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // An empty keyword is found in any field but an empty one.
    if (parola.empty()) return !campo.empty();
    if (parola.size() > campo.size()) return false;
    // The readers try every keyword on every keyword field: a place is
    // looked at further only where its first letter matches.
    const char prima = minuscola(parola[0]);
    for (std::size_t i = 0; i + parola.size() <= campo.size(); ++i) {
        if (minuscola(campo[i]) != prima) continue;
        std::size_t k = 1;
        while (k < parola.size() && minuscola(campo[i + k]) == minuscola(parola[k])) ++k;
        if (k == parola.size()) return true;
    }
    return false;
}

// A section header: holds "[" and "]" and does not begin with "-" once its
// leading spaces and tabs are passed.
inline bool intestazione(std::string_view campo) {
    if (!contiene(campo, "[") || !contiene(campo, "]")) return false;
    const auto primo = campo.find_first_not_of(" \t");
    return primo == std::string_view::npos || campo[primo] != '-';
}

}  // namespace testo
