// One Xvfb server for a whole GoogleTest program, for the tests that need a
// real X display (the window, the message boxes). Register it in the program:
//     ::testing::AddGlobalTestEnvironment(new test_util::Xvfb);
// and begin each case that needs it with RICHIEDE_XVFB().
#pragma once

// GoogleTest first: the X headers define macros (None, Status) that clash with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>

namespace test_util {

// Joins pieces of a shell command (operator+ chains trip a false GCC 12 warning).
inline std::string unisci(std::initializer_list<std::string_view> pezzi) {
    std::string s;
    for (auto p : pezzi) s.append(p);
    return s;
}

inline bool ha_comando(const char* nome) {
    return std::system(unisci({"command -v ", nome, " >/dev/null 2>&1"}).c_str()) == 0;
}

// Started with -noreset: by default the server resets itself whenever its last
// client goes, and a connection attempted during that reset is refused, so a
// check that opens and closes the display would make the next open fail.
class Xvfb : public ::testing::Environment {
public:
    static inline bool installato = false;
    static inline std::string display;
    static inline pid_t pid = -1;

    void SetUp() override {
        installato = ha_comando("Xvfb");
        if (!installato) return;
        // Two servers started at once may pick the same display number and
        // one of them dies: check the display answers, else start again.
        for (int tentativo = 0; tentativo < 3 && display.empty(); ++tentativo) {
            avvia();
            Display* d = display.empty() ? nullptr : XOpenDisplay(display.c_str());
            if (d != nullptr) XCloseDisplay(d);
            // The display must answer and be our own server, not one that
            // another test program started on the same number.
            const pid_t finito = ::waitpid(pid, nullptr, WNOHANG);
            if (d != nullptr && finito == 0) return;
            if (finito == pid) pid = -1;
            ferma();
            display.clear();
        }
        // Last resort: fixed display numbers far from the usual ones, each
        // given two seconds to answer.
        for (int numero = 91; numero < 99 && display.empty(); ++numero) {
            avvia_su(numero);
            for (int i = 0; i < 40; ++i) {
                Display* d = XOpenDisplay(display.c_str());
                if (d != nullptr) {
                    XCloseDisplay(d);
                    if (::waitpid(pid, nullptr, WNOHANG) == 0) return;
                    break;
                }
                if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                    pid = -1;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            ferma();
            display.clear();
        }
    }

    static void avvia_su(int numero) {
        display = unisci({":", std::to_string(numero)});
        pid = ::fork();
        if (pid == 0) {
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }

    static void avvia() {
        int tubo[2];
        if (::pipe(tubo) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::close(tubo[0]);
            const std::string fd = std::to_string(tubo[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                     "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(tubo[1]);
        // The server writes its display number and a newline once it is ready;
        // a signal may interrupt the wait, which must not close the pipe early.
        std::string numero;
        char c = 0;
        for (;;) {
            const ssize_t n = ::read(tubo[0], &c, 1);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 || c == '\n') break;
            numero.push_back(c);
        }
        ::close(tubo[0]);
        if (!numero.empty()) display = unisci({":", numero});
    }

    static void ferma() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }

    void TearDown() override { ferma(); }
};

// Presses Return in an X window of the test's display, as a user at the
// keyboard would.
inline bool premi_invio(const std::string& finestra) {
    return std::system(unisci({"DISPLAY=", Xvfb::display, " timeout 30 xdotool windowfocus --sync ", finestra,
                               " key Return"})
                           .c_str()) == 0;
}

// Runs every test of a program that CTest runs as one test: when a case was
// skipped for a missing tool and none failed, it ends with 77, the status
// CTest reads as skipped.
inline int esegui_tutti(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int esito = RUN_ALL_TESTS();
    if (esito != 0) return esito;
    return ::testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? 77 : 0;
}

}  // namespace test_util

// Skipped only when Xvfb is not installed; installed but not starting is a failure.
#define RICHIEDE_XVFB()                                                                                     \
    do {                                                                                                    \
        if (!test_util::Xvfb::installato) GTEST_SKIP() << "Xvfb is not installed: window tests skipped";  \
        ASSERT_FALSE(test_util::Xvfb::display.empty()) << "Xvfb is installed but could not be started";   \
    } while (0)
