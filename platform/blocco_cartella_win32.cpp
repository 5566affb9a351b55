#include "platform/blocco_cartella.h"

#include <windows.h>

#include <string>

namespace piattaforma {

// A named mutex made from the folder's full path: no file to create or leave
// behind, and the system releases it when the process ends, even by a crash.
blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
    std::error_code err;
    std::wstring nome = std::filesystem::weakly_canonical(cartella, err).wstring();
    if (err) nome = std::filesystem::absolute(cartella, err).wstring();
    // Mutex names are case-sensitive and may not hold backslashes, while
    // Windows paths are neither.
    ::CharLowerBuffW(nome.data(), static_cast<DWORD>(nome.size()));
    for (auto& c : nome)
        if (c == L'\\') c = L'/';
    nome = L"Local\\scenario_builder:" + nome;
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
