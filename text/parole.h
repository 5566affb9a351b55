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
    const auto uguali = [&](char a, char b) { return minuscola(a) == minuscola(b); };
    return std::search(campo.begin(), campo.end(), parola.begin(), parola.end(), uguali) != campo.end();
}

// A section header: holds "[" and "]" and does not begin with "-" once its
// leading spaces and tabs are passed.
inline bool intestazione(std::string_view campo) {
    if (!contiene(campo, "[") || !contiene(campo, "]")) return false;
    const auto primo = campo.find_first_not_of(" \t");
    return primo == std::string_view::npos || campo[primo] != '-';
}

}  // namespace testo
