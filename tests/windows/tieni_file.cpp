// Holds a file open without sharing it, as a simulator holds the files of the
// scenario it runs: opens the file named on the command line (UTF-8), prints
// "pronto" once it holds it, and keeps it until a line comes on stdin or
// stdin ends. Ends with 1, printing the system's error, when the file cannot
// be opened. With --presa it holds the lock of a run's leftovers on the file
// instead, as a live run does (the file made if missing).
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/avanzi.h"
#include "platform/utf16.h"

int wmain(int argc, wchar_t** argv) {
    const bool presa = argc == 3 && std::wstring(argv[1]) == L"--presa";
    if (argc != 2 && !presa) {
        std::fprintf(stderr, "usage: tieni_file [--presa] FILE\n");
        return 64;
    }
    if (presa) {
        const piattaforma::presa_file p(std::filesystem::path(argv[2]), false);
        if (p.esito() != piattaforma::presa_file::stato::tenuta) {
            std::fprintf(stderr, "tieni_file: cannot lock %s\n", piattaforma::da_utf16(argv[2]).c_str());
            return 1;
        }
        std::printf("pronto\n");
        std::fflush(stdout);
        std::string riga;
        std::getline(std::cin, riga);
        return 0;
    }
    HANDLE h = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "tieni_file: cannot open %s: error %lu\n",
                     piattaforma::da_utf16(argv[1]).c_str(), static_cast<unsigned long>(::GetLastError()));
        return 1;
    }
    std::printf("pronto\n");
    std::fflush(stdout);
    std::string riga;
    std::getline(std::cin, riga);
    ::CloseHandle(h);
    return 0;
}
