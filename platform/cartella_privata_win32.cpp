#include "platform/cartella_privata.h"

#include <windows.h>

#include <string>

#include "platform/file_sistema.h"

namespace piattaforma {

namespace fs = std::filesystem;

namespace {

// A folder and all in it, through the system's own calls, which take a path
// of any length in the \\?\ form.
void togli_esteso(const std::wstring& cartella) {
    WIN32_FIND_DATAW voce;
    HANDLE h = ::FindFirstFileW((cartella + L"\\*").c_str(), &voce);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring nome = voce.cFileName;
            if (nome == L"." || nome == L"..") continue;
            const std::wstring percorso = cartella + L"\\" + nome;
            if (voce.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesW(percorso.c_str(), voce.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            const bool sottocartella = (voce.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                       (voce.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
            if (sottocartella) togli_esteso(percorso);
            else if (voce.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ::RemoveDirectoryW(percorso.c_str());
            else ::DeleteFileW(percorso.c_str());
        } while (::FindNextFileW(h, &voce));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(cartella.c_str());
}

}  // namespace

void dettaglio::togli_tutto(const fs::path& cartella) {
    if (!cartella.empty()) togli_esteso(sistema::per_il_sistema(cartella).wstring());
}

}  // namespace piattaforma
