// Running the Windows build's programs under Wine from a Linux test: one
// private Wine prefix for the test program, started once before the cases and
// emptied of its processes at the end, every run bounded in time.
#pragma once

#include "tests/xvfb.h"  // first: GoogleTest before the X headers

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/processo.h"

namespace test_windows {

namespace fs = std::filesystem;

// Bounds, not measures: a Wine program that takes longer has hung.
inline constexpr int secondi_avvio_wine = 300;  // the first start in a fresh prefix
inline constexpr int secondi_programma = 120;   // any one run
inline constexpr auto attesa_finestra = std::chrono::seconds(60);

// A program of the Windows build, beside the two programs or in its tests/ folder.
inline fs::path eseguibile(const std::string& nome) {
    const fs::path cartella = SB_EXE_WINDOWS;
    return fs::exists(cartella / nome) ? cartella / nome : cartella / "tests" / nome;
}

class Wine : public ::testing::Environment {
public:
    static inline bool installato = false;
    static inline std::string problema;  // why Wine could not be started, empty when it was

    void SetUp() override {
        ::setenv("WINEPREFIX", WINEPREFIX_TEST, 1);
        ::setenv("WINEDEBUG", "-all", 1);
        // The runner ends with 127 when it finds no Wine.
        installato = test_util::esegui({WINE_ESEGUI, "--version"}).stato != 127;
        if (!installato || test_util::Xvfb::display.empty()) return;
        for (const char* nome : {"scenario_builder.exe", "scenario_tool.exe", "mostra_form1.exe",
                                 "leggi_finestra.exe", "prova_errore.exe", "tieni_file.exe"})
            if (!fs::exists(eseguibile(nome))) problema += eseguibile(nome).string() + " is missing; ";
        if (!problema.empty()) return;
        // A server left by an interrupted run may hold another display.
        ferma_server();
        const auto avvio = test_util::esegui(
            {"timeout", "-k", "10", std::to_string(secondi_avvio_wine), WINE_ESEGUI, "wineboot", "-i"},
            test_util::Xvfb::display);
        if (avvio.stato != 0)
            problema = "Wine did not start (wineboot -i ended with " + std::to_string(avvio.stato) + "): " + avvio.errori;
    }

    void TearDown() override {
        if (installato && !test_util::Xvfb::display.empty()) ferma_server();
    }

    // Ends every Wine process of the prefix, and its server.
    static void ferma_server() { test_util::esegui({"timeout", "60", WINESERVER, "-k"}); }
};

// Skipped when Xvfb or Wine is not installed; installed but not starting is a failure.
#define RICHIEDE_WINE()                                                                  \
    do {                                                                                 \
        RICHIEDE_XVFB();                                                                 \
        if (!test_windows::Wine::installato) GTEST_SKIP() << "Wine is not installed";   \
        ASSERT_EQ(test_windows::Wine::problema, "");                                     \
    } while (0)

// Runs a program under Wine in cartella, on the Xvfb display, to its end.
inline test_util::Esito esegui(const std::vector<std::string>& argv, const fs::path& cartella) {
    return test_util::esegui(argv, test_util::Xvfb::display,
                             {"timeout", "-k", "10", std::to_string(secondi_programma), "env", "-C",
                              cartella.string(), WINE_ESEGUI});
}

// A program under Wine left running while the test looks at its windows:
// stdin and stdout through pipes, stderr into a file. Killed at the end when
// it is still running.
class InCorso {
public:
    InCorso(const std::vector<std::string>& argv, const fs::path& cartella) {
        int dentro[2], fuori[2];
        if (::pipe(dentro) != 0 || ::pipe(fuori) != 0) return;
        const std::string file_errori = (tmp_.percorso() / "stderr").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(dentro[0], 0);
            ::dup2(fuori[1], 1);
            const int fd = ::open(file_errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            ::dup2(fd, 2);
            ::close(dentro[1]);
            ::close(fuori[0]);
            if (::chdir(cartella.c_str()) != 0) ::_exit(126);
            ::setenv("DISPLAY", test_util::Xvfb::display.c_str(), 1);
            std::vector<std::string> tutto{WINE_ESEGUI};
            tutto.insert(tutto.end(), argv.begin(), argv.end());
            std::vector<char*> args;
            for (auto& a : tutto) args.push_back(a.data());
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(dentro[0]);
        ::close(fuori[1]);
        stdin_ = dentro[1];
        stdout_ = fuori[0];
    }
    ~InCorso() {
        if (in_corso()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdin_ >= 0) ::close(stdin_);
        if (stdout_ >= 0) ::close(stdout_);
    }
    InCorso(const InCorso&) = delete;
    InCorso& operator=(const InCorso&) = delete;

    bool in_corso() {
        if (pid_ <= 0 || stato_) return false;
        int st = 0;
        if (::waitpid(pid_, &st, WNOHANG) != pid_) return true;
        stato_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return false;
    }

    // Its exit status once it has ended, waiting up to limite; none when it still runs.
    std::optional<int> attendi(std::chrono::seconds limite) {
        const auto fine = std::chrono::steady_clock::now() + limite;
        while (in_corso() && std::chrono::steady_clock::now() < fine)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return stato_;
    }

    // One line of its stdout, without its line end; none when nothing came within limite.
    std::optional<std::string> leggi_riga(std::chrono::seconds limite) {
        const auto fine = std::chrono::steady_clock::now() + limite;
        std::string riga;
        while (std::chrono::steady_clock::now() < fine) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (::read(stdout_, &c, 1) != 1) return std::nullopt;
            if (c == '\n') {
                if (!riga.empty() && riga.back() == '\r') riga.pop_back();
                return riga;
            }
            riga.push_back(c);
        }
        return std::nullopt;
    }

    bool scrivi(const std::string& testo) {
        return ::write(stdin_, testo.data(), testo.size()) == static_cast<ssize_t>(testo.size());
    }

    std::string errori() const { return test_util::leggi(tmp_.percorso() / "stderr"); }

private:
    test_util::CartellaTemporanea tmp_;
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::optional<int> stato_;
};

// A rectangle of the screen, in pixels.
struct Rettangolo {
    int x = 0, y = 0, larghezza = 0, altezza = 0;
    bool operator==(const Rettangolo&) const = default;
};

inline std::ostream& operator<<(std::ostream& o, const Rettangolo& r) {
    return o << r.larghezza << "x" << r.altezza << "+" << r.x << "+" << r.y;
}

// The top-level X windows shown on the display and titled titolo, with their
// place on the screen (Wine, with no window manager, makes each the client
// area of its Windows window).
inline std::vector<std::pair<Window, Rettangolo>> finestre_x(Display* d, const std::string& titolo) {
    std::vector<std::pair<Window, Rettangolo>> trovate;
    Window radice = 0, genitore = 0;
    Window* figli = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &radice, &genitore, &figli, &n)) return trovate;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes a;
        char* nome = nullptr;
        if (!XGetWindowAttributes(d, figli[i], &a) || a.map_state != IsViewable) continue;
        if (!XFetchName(d, figli[i], &nome) || nome == nullptr) continue;
        const bool giusto = titolo == nome;
        XFree(nome);
        if (giusto) trovate.push_back({figli[i], Rettangolo{a.x, a.y, a.width, a.height}});
    }
    if (figli != nullptr) XFree(figli);
    return trovate;
}

// The X window titolo that covers rettangolo exactly, waiting for it to show
// up to attesa_finestra; 0 when none does.
inline Window attendi_finestra_x(Display* d, const std::string& titolo, const Rettangolo& rettangolo) {
    const auto fine = std::chrono::steady_clock::now() + attesa_finestra;
    while (std::chrono::steady_clock::now() < fine) {
        for (const auto& [w, r] : finestre_x(d, titolo))
            if (r == rettangolo) return w;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

}  // namespace test_windows
