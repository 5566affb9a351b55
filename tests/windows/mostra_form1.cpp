// Shows the builder's form and keeps it up until a line (or the end) arrives
// on stdin, so that a test on the Linux side can look at it on the X display
// Wine draws on. Prints, once the form is shown, one line:
//     x y width height dpi
// the client area's rectangle in screen pixels and the screen's pixels per inch.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "platform/form1.h"
#include "platform/utf16.h"

namespace {

// The form of this process: Form1 keeps its window handle to itself.
HWND finestra_del_processo() {
    struct ricerca {
        std::wstring titolo;
        HWND trovata = nullptr;
    } r{piattaforma::a_utf16(piattaforma::nome_applicazione)};
    ::EnumWindows(
        [](HWND h, LPARAM l) -> BOOL {
            auto& r = *reinterpret_cast<ricerca*>(l);
            DWORD processo = 0;
            ::GetWindowThreadProcessId(h, &processo);
            wchar_t titolo[256] = {};
            ::GetWindowTextW(h, titolo, 256);
            if (processo != ::GetCurrentProcessId() || r.titolo != titolo || !::IsWindowVisible(h)) return TRUE;
            r.trovata = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&r));
    return r.trovata;
}

}  // namespace

int main() {
    piattaforma::Form1 form;
    form.mostra();
    const HWND h = finestra_del_processo();
    if (h == nullptr) {
        std::fprintf(stderr, "mostra_form1: the form is not among this process's visible windows\n");
        return 1;
    }
    RECT cliente{};
    ::GetClientRect(h, &cliente);
    POINT origine{0, 0};
    ::ClientToScreen(h, &origine);
    HDC schermo = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(schermo, LOGPIXELSY);
    ::ReleaseDC(nullptr, schermo);
    std::printf("%ld %ld %ld %ld %d\n", origine.x, origine.y, cliente.right - cliente.left,
                cliente.bottom - cliente.top, dpi);
    std::fflush(stdout);

    // The message loop keeps the form painted (Wine hands the window's
    // pixels to X from it); a second thread ends it when stdin says so.
    const DWORD principale = ::GetCurrentThreadId();
    std::thread attesa([principale] {
        std::string riga;
        std::getline(std::cin, riga);
        ::PostThreadMessageW(principale, WM_QUIT, 0, 0);
    });
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    attesa.join();
    form.chiudi();
    return 0;
}
