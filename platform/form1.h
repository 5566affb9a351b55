// The one window of the builder: a small form whose label reads "Attendere"
// while the scenario is written and compiled.
#pragma once

#include <memory>

#ifndef _WIN32
class Fl_Window;
class Fl_Box;
#endif

namespace piattaforma {

inline constexpr int twips_per_pixel = 15;
inline constexpr const char* nome_applicazione = "scenario_builder";

class Form1 {
public:
    // Needs an open display (apri_schermo).
    Form1();
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Shows the form, not modal, and paints it at once.
    void mostra();
    void chiudi();

#ifdef _WIN32
private:
    struct finestra_win32;
    std::unique_ptr<finestra_win32> finestra_;
#else
    Fl_Window& finestra() { return *finestra_; }
    Fl_Box& Label1() { return *label1_; }

private:
    std::unique_ptr<Fl_Window> finestra_;
    Fl_Box* label1_;  // owned by the window
#endif
};

}  // namespace piattaforma
