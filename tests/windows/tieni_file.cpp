// Holds a file open without sharing it, as a simulator holds the files of the
// scenario it runs: opens the file named on the command line (UTF-8), prints
// "pronto" once it holds it, and keeps it until a line comes on stdin or
// stdin ends. Ends with 1, printing the system's error, when the file cannot
// be opened.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/utf16.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tieni_file FILE\n");
        return 64;
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
