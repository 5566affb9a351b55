// The window and the error box on a real X server (Xvfb).
// GoogleTest first: the X headers define macros (None, Status) that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/form1.h"
#include "platform/schermo.h"
#include "tests/processo.h"
#include "tests/xvfb.h"

namespace {

using test_util::ha_comando;
using test_util::unisci;
using test_util::Xvfb;

const auto* const ambiente = ::testing::AddGlobalTestEnvironment(new Xvfb);

TEST(Finestra, MostrataEDipintaPrimaDelLavoro) {
    RICHIEDE_XVFB();
    ::setenv("DISPLAY", Xvfb::display.c_str(), 1);
    ASSERT_TRUE(piattaforma::apri_schermo());
    piattaforma::Form1 form;
    EXPECT_STREQ(form.Label1().label(), "Attendere");
    form.mostra();

    Display* d = fl_display;
    const Window w = fl_xid(&form.finestra());
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_EQ(a.width, 280);   // 4200 twips
    EXPECT_EQ(a.height, 179);  // 2688 twips

    // The label's box (960/960 twips, 2652 x 792) holds the drawn text: many
    // pixels darker than the background, and none outside it.
    XImage* img = XGetImage(d, w, 0, 0, 280, 179, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    const unsigned long sfondo = XGetPixel(img, 5, 5);
    int dentro = 0, fuori = 0;
    for (int y = 0; y < 179; ++y)
        for (int x = 0; x < 280; ++x) {
            if (XGetPixel(img, x, y) == sfondo) continue;
            const bool nel_riquadro = x >= 64 && x < 64 + 177 && y >= 64 && y < 64 + 53;
            (nel_riquadro ? dentro : fuori)++;
        }
    XDestroyImage(img);
    EXPECT_GT(dentro, 300) << "label text not painted";
    EXPECT_EQ(fuori, 0);
    form.chiudi();
}

TEST(Finestra, IlBuilderConUnoSchermoFinisceDaSolo) {
    RICHIEDE_XVFB();
    test_util::CartellaTemporanea dir;
    const auto exe = dir.percorso() / "scenario_builder";
    std::filesystem::copy_file(SCENARIO_BUILDER_PATH, exe);
    const auto esito = test_util::esegui({exe.string()}, Xvfb::display);
    EXPECT_EQ(esito.stato, 0) << esito.errori;
    EXPECT_EQ(esito.errori, "");  // with a display nothing goes to stderr
}

TEST(Finestra, IlMessaggioDiErroreAttendeOkEFinisceConUno) {
    RICHIEDE_XVFB();
    if (!ha_comando("xdotool")) GTEST_SKIP() << "xdotool is not installed: error box test skipped";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("DISPLAY", Xvfb::display.c_str(), 1);
        ::execl(PROVA_ERRORE_PATH, PROVA_ERRORE_PATH, "1251", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The box is up, titled with the application's name, and waits.
    const std::string cerca = unisci({"DISPLAY=", Xvfb::display,
                                      " timeout 10 xdotool search --sync --onlyvisible --name '^scenario_builder$'"});
    FILE* p = ::popen(cerca.c_str(), "r");
    char id[64] = {};
    const bool trovata = std::fgets(id, sizeof id, p) != nullptr;
    ::pclose(p);
    const std::string finestra = std::to_string(std::atol(id));
    ASSERT_TRUE(trovata) << "message box not shown";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int st = 0;
    EXPECT_EQ(::waitpid(pid, &st, WNOHANG), 0) << "the process ended before OK";

    EXPECT_TRUE(test_util::premi_invio(finestra));
    for (int i = 0; i < 100 && ::waitpid(pid, &st, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (::kill(pid, 0) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &st, 0);
        FAIL() << "Return did not close the box";
    }
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 1);
}

}  // namespace

// No Xvfb or xdotool: skipped, so a machine without them does not report the
// window as tested.
int main(int argc, char** argv) { return test_util::esegui_tutti(argc, argv); }
