// Windows takes and gives text as UTF-16; the program holds it as UTF-8.
#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace piattaforma {

std::wstring a_utf16(std::string_view utf8);
std::string da_utf16(std::wstring_view utf16);

}  // namespace piattaforma

#endif
