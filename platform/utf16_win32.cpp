#include "platform/utf16.h"

#include <windows.h>

namespace piattaforma {

std::wstring a_utf16(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string da_utf16(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::vector<std::string> argomenti_utf8(int argc, wchar_t** argv) {
    std::vector<std::string> a;
    for (int i = 0; i < argc; ++i) a.push_back(da_utf16(argv[i]));
    return a;
}

void console_utf8() { ::SetConsoleOutputCP(CP_UTF8); }

}  // namespace piattaforma
