// The two check codes of a scenario, computed from its train number and line
// identifier (the names of table records 86 and 85): a plain and a
// position-weighted sum of the first 25 character codes of the lower-cased,
// padded identifiers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/modello.h"

namespace compilatore {

// Padding after the identifiers, so the work string always has 25 characters.
inline constexpr std::string_view riempitivo_codici = "aabbccddeeffgghhiillmmnnoo";

// The work string as Windows-1252 bytes: the train number and the line
// identifier joined, lower-cased, then the padding. A character with no byte
// in the code page counts as '?'.
std::string stringa_di_lavoro(const modello::Modello& m);

// Sum of the codes of the first 25 characters.
std::int16_t codice_gara_og(const modello::Modello& m);

// Sum of i times the code of the i-th character, i = 1 to 25.
std::int32_t codice_gara_st(const modello::Modello& m);

}  // namespace compilatore
