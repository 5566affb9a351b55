// Windows takes and gives text as UTF-16; the program holds it as UTF-8.
#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>
#include <vector>

namespace piattaforma {

std::wstring a_utf16(std::string_view utf8);
std::string da_utf16(std::wstring_view utf16);

// A wide main's arguments as UTF-8, program name first.
std::vector<std::string> argomenti_utf8(int argc, wchar_t** argv);

// Makes the console, when there is one, show what the program prints as UTF-8.
void console_utf8();

}  // namespace piattaforma

#endif
