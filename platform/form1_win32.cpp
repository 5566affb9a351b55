#include "platform/form1.h"

#include <windows.h>

#include <stdexcept>

#include "platform/utf16.h"

namespace piattaforma {

namespace {

constexpr int twips_per_pollice = 1440;

// The form's layout in twips: client area, and Label1's place and size.
constexpr int larghezza_form = 4200, altezza_form = 2688;
constexpr int label_x = 960, label_y = 960, label_larghezza = 2652, label_altezza = 792;
constexpr int punti_label = 24;

constexpr const wchar_t* classe_form = L"scenario_builder_Form1";

LRESULT CALLBACK procedura_form(HWND h, UINT messaggio, WPARAM w, LPARAM l) {
    // The form handles no input: everything goes to the default handling.
    return ::DefWindowProcW(h, messaggio, w, l);
}

void registra_classe() {
    static const bool registrata = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = procedura_form;
        c.hInstance = ::GetModuleHandleW(nullptr);
        c.hCursor = ::LoadCursorW(nullptr, IDC_WAIT);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = classe_form;
        return ::RegisterClassExW(&c) != 0;
    }();
    if (!registrata) throw std::runtime_error("cannot register the window class");
}

// Pixels per inch of the screen: the process is dpi-aware, so twips map to
// real pixels and the form keeps its size on a high-density monitor.
int punti_per_pollice() {
    HDC schermo = ::GetDC(nullptr);
    const int dpi = schermo != nullptr ? ::GetDeviceCaps(schermo, LOGPIXELSY) : 96;
    if (schermo != nullptr) ::ReleaseDC(nullptr, schermo);
    return dpi > 0 ? dpi : 96;
}

void consuma_messaggi() {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

}  // namespace

struct Form1::finestra_win32 {
    HWND form = nullptr;
    HWND label1 = nullptr;
    HFONT carattere = nullptr;
};

Form1::Form1() : finestra_(std::make_unique<finestra_win32>()) {
    registra_classe();
    const int dpi = punti_per_pollice();
    const auto px = [dpi](int twips) { return ::MulDiv(twips, dpi, twips_per_pollice); };

    const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r{0, 0, px(larghezza_form), px(altezza_form)};
    ::AdjustWindowRectEx(&r, stile, FALSE, 0);
    const int larghezza = r.right - r.left, altezza = r.bottom - r.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - altezza) / 2;
    finestra_->form = ::CreateWindowExW(0, classe_form, a_utf16(nome_applicazione).c_str(), stile, x, y, larghezza,
                                        altezza, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (finestra_->form == nullptr) throw std::runtime_error("cannot create the window");

    finestra_->label1 = ::CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT, px(label_x),
                                          px(label_y), px(label_larghezza), px(label_altezza), finestra_->form,
                                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    finestra_->carattere = ::CreateFontW(-::MulDiv(punti_label, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         VARIABLE_PITCH | FF_SWISS, L"Arial");
    if (finestra_->label1 != nullptr && finestra_->carattere != nullptr)
        ::SendMessageW(finestra_->label1, WM_SETFONT, reinterpret_cast<WPARAM>(finestra_->carattere), FALSE);
}

Form1::~Form1() {
    chiudi();
    if (finestra_->carattere != nullptr) ::DeleteObject(finestra_->carattere);
}

void Form1::mostra() {
    ::ShowWindow(finestra_->form, SW_SHOWNORMAL);
    ::UpdateWindow(finestra_->form);
    // One pass over the queue, so that the form and its label are painted
    // before the work begins; nothing is handled after that.
    consuma_messaggi();
}

void Form1::chiudi() {
    if (finestra_->form == nullptr) return;
    ::DestroyWindow(finestra_->form);
    finestra_->form = nullptr;
    consuma_messaggi();
}

}  // namespace piattaforma
