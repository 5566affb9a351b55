#include "platform/cartella_eseguibile.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace piattaforma {

std::filesystem::path cartella_eseguibile() {
    // The path may be longer than MAX_PATH: grow the buffer until it fits.
    std::wstring nome(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
        if (n == 0) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                            "cannot find the executable's folder");
        if (n < nome.size()) {
            nome.resize(n);
            return std::filesystem::path(nome).parent_path();
        }
        nome.resize(nome.size() * 2);
    }
}

}  // namespace piattaforma
