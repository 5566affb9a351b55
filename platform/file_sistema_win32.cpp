#include "platform/file_sistema.h"

#include <windows.h>

#include <string>

namespace piattaforma::sistema {

std::uint64_t id_processo() { return ::GetCurrentProcessId(); }

void scrivi_nuovo(const std::filesystem::path& file, const std::filesystem::path& destinazione,
                  const std::function<void(const scrittore&)>& produci) {
    const auto fallisci = [&](DWORD err, const char* cosa) {
        throw std::system_error(static_cast<int>(err), std::system_category(), cosa + destinazione.string());
    };
    // Binary by nature: WriteFile writes the bytes as given.
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) fallisci(::GetLastError(), "cannot create a temporary file for ");

    const auto scrivi = [&](std::uint64_t posizione, std::string_view pezzo) {
        const char* dati = pezzo.data();
        std::size_t resto = pezzo.size();
        while (resto > 0) {
            OVERLAPPED dove{};
            dove.Offset = static_cast<DWORD>(posizione & 0xFFFFFFFFu);
            dove.OffsetHigh = static_cast<DWORD>(posizione >> 32);
            const DWORD quanti = resto > 0x40000000u ? 0x40000000u : static_cast<DWORD>(resto);
            DWORD scritti = 0;
            if (!::WriteFile(h, dati, quanti, &scritti, &dove)) fallisci(::GetLastError(), "cannot write ");
            dati += scritti;
            resto -= scritti;
            posizione += scritti;
        }
    };
    try {
        produci(scrivi);
    } catch (...) {
        ::CloseHandle(h);
        ::DeleteFileW(file.c_str());
        throw;
    }
    if (!::CloseHandle(h)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(file.c_str());
        fallisci(err, "cannot write ");
    }
}

std::error_code rinomina_sopra(const std::filesystem::path& da, const std::filesystem::path& a) {
    if (::MoveFileExW(da.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

}  // namespace piattaforma::sistema
