// Running a program of the project from a test: its exit status, stderr and stdout.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace test_util {

struct Esito {
    int stato = -1;  // exit status, or 128 + signal
    std::string errori;
    std::string uscita;  // what it wrote on stdout
};

// Runs argv[0] with the given arguments; display is the DISPLAY to set, or
// empty to run without one. Optional prefisso runs the program through
// another command (for example to drop privileges).
inline Esito esegui(const std::vector<std::string>& argv, const std::string& display = "",
                    const std::vector<std::string>& prefisso = {}) {
    CartellaTemporanea tmp;
    const std::filesystem::path file_errori = tmp.percorso() / "stderr";
    const std::filesystem::path file_uscita = tmp.percorso() / "stdout";
    std::vector<std::string> tutto = prefisso;
    tutto.insert(tutto.end(), argv.begin(), argv.end());
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(file_errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ::dup2(fd, 2);
        const int fd_uscita = ::open(file_uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ::dup2(fd_uscita, 1);
        if (display.empty()) ::unsetenv("DISPLAY"); else ::setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> args;
        for (auto& a : tutto) args.push_back(a.data());
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    Esito e;
    e.stato = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    e.errori = leggi(file_errori);
    e.uscita = leggi(file_uscita);
    return e;
}

}  // namespace test_util
