// The two check codes of a scenario, computed from its train number and line
// identifier (the names of table records 86 and 85): a plain and a
// position-weighted sum of the first 25 character codes of the lower-cased,
// padded identifiers.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/modello.h"

namespace compilatore {

// Padding after the identifiers, so the work string always has 25 characters.
inline constexpr std::string_view riempitivo_codici = "aabbccddeeffgghhiillmmnnoo";

// Sum of the codes of the first 25 characters. Leaves the work string in m.riga.
std::int16_t codice_gara_og(modello::Modello& m);

// Sum of i times the code of the i-th character, i = 1 to 25. Leaves the work
// string in m.riga.
std::int32_t codice_gara_st(modello::Modello& m);

}  // namespace compilatore
