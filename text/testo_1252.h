// Texts are held as UTF-8 in memory and written as single-byte Windows-1252
// text. A character that has no byte there becomes '?'.
#pragma once

#include <string>
#include <string_view>

namespace testo {

std::string a_cp1252(std::string_view utf8);

// The other way, for text read from the input files. Every byte has a
// character, and a_cp1252(da_cp1252(b)) == b for any bytes b.
std::string da_cp1252(std::string_view byte);

}  // namespace testo
