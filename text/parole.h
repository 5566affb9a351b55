// Keyword tests of the readers: a keyword may stand anywhere in a field.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace testo {

inline bool contiene(std::string_view campo, std::string_view parola) {
    return campo.find(parola) != std::string_view::npos;
}

// Case-insensitive (ASCII letters; keywords are plain ASCII).
inline bool contiene_i(std::string_view campo, std::string_view parola) {
    const auto uguali = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
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
