#include "platform/form1.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace piattaforma {

namespace {

constexpr int px(int twips) { return (twips + twips_per_pixel / 2) / twips_per_pixel; }

// 24 points at 15 twips per pixel (96 pixels per inch) are 32 pixels.
constexpr int punti_in_pixel(int punti) { return punti * 20 / twips_per_pixel; }

}  // namespace

Form1::Form1() {
    finestra_ = std::make_unique<Fl_Window>(px(4200), px(2688), nome_applicazione);
    label1_ = new Fl_Box(px(960), px(960), px(2652), px(792), "Attendere");
    label1_->labelfont(FL_HELVETICA_BOLD);
    // 24 points; fonts that run wider than the label's box on this display are
    // scaled down so that the whole word shows inside it.
    int dimensione = punti_in_pixel(24);
    fl_font(FL_HELVETICA_BOLD, dimensione);
    const double larghezza = fl_width(label1_->label());
    if (larghezza > label1_->w()) dimensione = static_cast<int>(dimensione * label1_->w() / larghezza);
    label1_->labelsize(dimensione);
    label1_->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
    finestra_->end();
}

Form1::~Form1() = default;

void Form1::mostra() {
    finestra_->show();
    finestra_->wait_for_expose();
    finestra_->redraw();
    Fl::flush();
}

void Form1::chiudi() {
    finestra_->hide();
    Fl::flush();
}

}  // namespace piattaforma
