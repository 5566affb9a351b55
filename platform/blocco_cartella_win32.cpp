#include "platform/blocco_cartella.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/file_sistema.h"

namespace piattaforma {

namespace {

// The mutex's name: the folder as the system identifies it, its volume's
// serial number and its file index, so that every spelling of the folder (a
// second drive letter, a substituted drive, an 8.3 short name, a link) comes
// to the same name. A folder the system will not open is named by its
// full path instead.
std::wstring nome_mutex(const std::filesystem::path& cartella) {
    HANDLE h = ::CreateFileW(sistema::per_il_sistema(cartella).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        const bool letto = ::GetFileInformationByHandle(h, &info);
        ::CloseHandle(h);
        if (letto) {
            wchar_t nome[64];
            std::swprintf(nome, 64, L"Local\\scenario_builder:%08lx:%08lx%08lx",
                          static_cast<unsigned long>(info.dwVolumeSerialNumber),
                          static_cast<unsigned long>(info.nFileIndexHigh), static_cast<unsigned long>(info.nFileIndexLow));
            return nome;
        }
    }
    std::error_code err;
    std::wstring nome = std::filesystem::weakly_canonical(cartella, err).wstring();
    if (err) nome = std::filesystem::absolute(cartella, err).wstring();
    // Mutex names are case-sensitive and may not hold backslashes, while
    // Windows paths are neither.
    ::CharLowerBuffW(nome.data(), static_cast<DWORD>(nome.size()));
    for (auto& c : nome)
        if (c == L'\\') c = L'/';
    return L"Local\\scenario_builder:" + nome;
}

}  // namespace

// A named mutex for the folder: no file to create or leave behind, and the
// system releases it when the process ends, even by a crash.
blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
    const std::wstring nome = nome_mutex(cartella);
    HANDLE h = ::CreateMutexW(nullptr, FALSE, nome.c_str());
    if (h == nullptr) return;
    const DWORD esito = ::WaitForSingleObject(h, INFINITE);
    // An abandoned mutex (its holder ended without releasing it) is ours now.
    if (esito != WAIT_OBJECT_0 && esito != WAIT_ABANDONED) {
        ::CloseHandle(h);
        return;
    }
    maniglia_ = reinterpret_cast<std::intptr_t>(h);
}

blocco_cartella::~blocco_cartella() {
    if (!tenuto()) return;
    HANDLE h = reinterpret_cast<HANDLE>(maniglia_);
    ::ReleaseMutex(h);
    ::CloseHandle(h);
}

}  // namespace piattaforma
