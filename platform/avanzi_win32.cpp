#include "platform/avanzi.h"

#include <windows.h>

#include <string>
#include <utility>

#include "platform/file_sistema.h"

namespace piattaforma {

namespace {

// Whether the open handle and the name lead to the same file.
bool stesso_file(HANDLE h, const std::wstring& nome) {
    BY_HANDLE_FILE_INFORMATION tenuto, trovato;
    if (!::GetFileInformationByHandle(h, &tenuto)) return false;
    HANDLE altro = ::CreateFileW(nome.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (altro == INVALID_HANDLE_VALUE) return false;
    const bool letto = ::GetFileInformationByHandle(altro, &trovato);
    ::CloseHandle(altro);
    return letto && tenuto.dwVolumeSerialNumber == trovato.dwVolumeSerialNumber &&
           tenuto.nFileIndexHigh == trovato.nFileIndexHigh && tenuto.nFileIndexLow == trovato.nFileIndexLow;
}

// Whether a lock file that cannot be opened is there all the same: removed
// while others have it open. Not there, it is the folder that refuses it.
bool in_rimozione(const std::wstring& nome) {
    if (::GetFileAttributesW(nome.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD err = ::GetLastError();
    return err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND;
}

}  // namespace

// The file is shared for every use, deletion included, so that whoever holds
// its lock can remove it while others have it open; the lock is on its first
// byte, which Windows enforces against reads, but no one reads the file.
presa_file::presa_file(const std::filesystem::path& file, bool attendi) : file_(file) {
    const std::wstring nome = sistema::per_il_sistema(file).wstring();
    // A lock file removed while others still have it open cannot be opened
    // again until they close it: its holder is done with it. A waiting
    // holder tries again for a while.
    for (int rimosso = 0;;) {
        HANDLE h = ::CreateFileW(nome.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (::GetLastError() != ERROR_ACCESS_DENIED || !in_rimozione(nome)) return;
            if (!attendi) {
                esito_ = stato::altrui;
                return;
            }
            if (++rimosso > 500) return;
            ::Sleep(10);
            continue;
        }
        const bool creato = ::GetLastError() != ERROR_ALREADY_EXISTS;
        OVERLAPPED dove{};
        if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | (attendi ? 0 : LOCKFILE_FAIL_IMMEDIATELY), 0, 1, 0, &dove)) {
            const DWORD err = ::GetLastError();
            const bool altrui = err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING;
            ::CloseHandle(h);
            // A file made for nothing: the file system has no locks to give.
            if (!altrui && creato) ::DeleteFileW(nome.c_str());
            esito_ = altrui ? stato::altrui : stato::senza;
            return;
        }
        if (stesso_file(h, nome)) {
            maniglia_ = reinterpret_cast<std::intptr_t>(h);
            esito_ = stato::tenuta;
            return;
        }
        // Its holder removed it while this waited.
        ::CloseHandle(h);
    }
}

presa_file::presa_file(presa_file&& altra) noexcept
    : file_(std::move(altra.file_)), maniglia_(std::exchange(altra.maniglia_, -1)), esito_(altra.esito_) {}

presa_file::~presa_file() {
    if (maniglia_ == -1) return;
    ::DeleteFileW(sistema::per_il_sistema(file_).c_str());
    ::CloseHandle(reinterpret_cast<HANDLE>(maniglia_));
}

}  // namespace piattaforma
