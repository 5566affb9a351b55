#include "platform/cartella_privata.h"

#include <windows.h>

#include <random>
#include <string>
#include <system_error>

#include "platform/file_sistema.h"

namespace piattaforma {

namespace fs = std::filesystem;

cartella_privata::cartella_privata(const fs::path& dentro, const char* prefisso) {
    dettaglio::togli_cartelle_abbandonate(dentro, prefisso);
    // CreateDirectoryW fails on a name that exists, so a folder it makes is
    // ours alone; a random suffix makes a clash with another run unlikely.
    std::random_device caso;
    std::uniform_int_distribution<unsigned> cifra(0, 35);
    constexpr const char* cifre = "0123456789abcdefghijklmnopqrstuvwxyz";
    DWORD err = ERROR_ALREADY_EXISTS;
    for (int tentativo = 0; tentativo < 100 && err == ERROR_ALREADY_EXISTS; ++tentativo) {
        std::string nome = prefisso + std::to_string(::GetCurrentProcessId()) + "~";
        for (int i = 0; i < 6; ++i) nome += cifre[cifra(caso)];
        const fs::path percorso = dentro / fs::u8path(nome);
        if (::CreateDirectoryW(sistema::per_il_sistema(percorso).c_str(), nullptr)) {
            // Hidden, as a name beginning with a dot is elsewhere.
            if (nome.starts_with('.'))
                ::SetFileAttributesW(sistema::per_il_sistema(percorso).c_str(), FILE_ATTRIBUTE_HIDDEN);
            percorso_ = percorso;
            return;
        }
        err = ::GetLastError();
    }
    throw std::system_error(static_cast<int>(err), std::system_category(),
                            "cannot create a private folder in " + dentro.string());
}

cartella_privata::~cartella_privata() { dettaglio::togli_tutto(percorso_); }

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
