#include "platform/file_sistema.h"

#include "platform/elenco_cartella.h"

#include <windows.h>

#include <string>

namespace piattaforma::sistema {

std::filesystem::path per_il_sistema(const std::filesystem::path& p) {
    std::wstring s = p.wstring();
    if (s.starts_with(L"\\\\?\\") || s.starts_with(L"\\\\.\\")) return p;
    const DWORD n = ::GetFullPathNameW(s.c_str(), 0, nullptr, nullptr);
    if (n == 0) return p;
    std::wstring intero(n, L'\0');
    const DWORD scritti = ::GetFullPathNameW(s.c_str(), n, intero.data(), nullptr);
    if (scritti == 0 || scritti >= n) return p;
    intero.resize(scritti);
    if (intero.size() < 248) return p;
    if (intero.starts_with(L"\\\\")) return std::filesystem::path(L"\\\\?\\UNC\\" + intero.substr(2));
    return std::filesystem::path(L"\\\\?\\" + intero);
}

std::uint64_t id_processo() { return ::GetCurrentProcessId(); }

void scrivi_nuovo(const std::filesystem::path& file, const std::filesystem::path& destinazione,
                  const std::function<void(const scrittore&)>& produci) {
    const auto fallisci = [&](DWORD err, const char* cosa) {
        throw std::system_error(static_cast<int>(err), std::system_category(), cosa + destinazione.string());
    };
    // Binary by nature: WriteFile writes the bytes as given. Hidden while it
    // is a temporary file; the attribute goes before it takes its place.
    HANDLE h = ::CreateFileW(per_il_sistema(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
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
        ::DeleteFileW(per_il_sistema(file).c_str());
        throw;
    }
    if (!::CloseHandle(h)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(per_il_sistema(file).c_str());
        fallisci(err, "cannot write ");
    }
}

std::error_code rinomina_sopra(const std::filesystem::path& da, const std::filesystem::path& a) {
    if (::MoveFileExW(per_il_sistema(da).c_str(), per_il_sistema(a).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

std::error_code crea_cartella(const std::filesystem::path& cartella) {
    if (!::CreateDirectoryW(per_il_sistema(cartella).c_str(), nullptr)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) return std::make_error_code(std::errc::file_exists);
        return {static_cast<int>(err), std::system_category()};
    }
    if (cartella.filename().native().starts_with(L'.'))
        ::SetFileAttributesW(per_il_sistema(cartella).c_str(), FILE_ATTRIBUTE_HIDDEN);
    return {};
}

bool sola_lettura(const std::filesystem::path& file) {
    const DWORD a = ::GetFileAttributesW(per_il_sistema(file).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0 && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

std::error_code in_uso(const std::filesystem::path& file) {
    // Asking for the right to delete it, sharing everything: only a holder
    // that does not share deletion refuses, as it would refuse the rename.
    HANDLE h = ::CreateFileW(per_il_sistema(file).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return {};
    }
    const DWORD err = ::GetLastError();
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION) return {static_cast<int>(err), std::system_category()};
    return {};
}

void nascondi(const std::filesystem::path& file, bool nascosto) {
    const DWORD a = ::GetFileAttributesW(per_il_sistema(file).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    DWORD nuovi = nascosto ? (a | FILE_ATTRIBUTE_HIDDEN) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    if (nuovi == a) return;
    if (nuovi == 0) nuovi = FILE_ATTRIBUTE_NORMAL;
    ::SetFileAttributesW(per_il_sistema(file).c_str(), nuovi);
}

}  // namespace piattaforma::sistema

namespace piattaforma {

std::vector<voce_cartella> elenco_cartella(const std::filesystem::path& cartella, std::error_code& err) {
    std::vector<voce_cartella> voci;
    err.clear();
    const std::filesystem::path dove = cartella.empty() ? std::filesystem::path(L".") : cartella;
    WIN32_FIND_DATAW voce;
    HANDLE h = ::FindFirstFileExW((sistema::per_il_sistema(dove).wstring() + L"\\*").c_str(), FindExInfoBasic, &voce,
                                  FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) {
        err = {static_cast<int>(::GetLastError()), std::system_category()};
        return voci;
    }
    do {
        const std::wstring nome = voce.cFileName;
        if (nome == L"." || nome == L"..") continue;
        const bool cartella_ = (voce.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool collegamento = (voce.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        voci.push_back({std::filesystem::path(nome), !cartella_ && !collegamento, cartella_ && !collegamento});
    } while (::FindNextFileW(h, &voce));
    const DWORD fine = ::GetLastError();
    ::FindClose(h);
    if (fine != ERROR_NO_MORE_FILES) {
        err = {static_cast<int>(fine), std::system_category()};
        voci.clear();
    }
    return voci;
}

}  // namespace piattaforma
