// Reads the message box of the builder (a dialog of class "#32770" titled
// "scenario_builder") from another process. Prints the box's client area on
// the screen, then its controls, one per line, in the order the dialog holds
// them:
//     x y width height
//     visible<TAB>icon<TAB>class<TAB>text
// visible is 1 or 0, icon 1 when the control shows an icon; the text is
// UTF-8. Waits up to a minute for the box to show; ends with 1, printing
// nothing on stdout, when none does.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "platform/form1.h"
#include "platform/utf16.h"

namespace {

std::string testo_di(HWND h) {
    std::wstring t(static_cast<std::size_t>(::GetWindowTextLengthW(h)) + 1, L'\0');
    t.resize(static_cast<std::size_t>(::GetWindowTextW(h, t.data(), static_cast<int>(t.size()))));
    return piattaforma::da_utf16(t);
}

std::string classe_di(HWND h) {
    wchar_t c[256] = {};
    ::GetClassNameW(h, c, 256);
    return piattaforma::da_utf16(c);
}

BOOL CALLBACK stampa(HWND h, LPARAM) {
    const bool icona = ::SendMessageW(h, STM_GETICON, 0, 0) != 0;
    std::printf("%d\t%d\t%s\t%s\n", ::IsWindowVisible(h) ? 1 : 0, icona ? 1 : 0, classe_di(h).c_str(),
                testo_di(h).c_str());
    return TRUE;
}

}  // namespace

int main() {
    // The bytes as they are: no CR added before each LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    const std::wstring titolo = piattaforma::a_utf16(piattaforma::nome_applicazione);
    HWND box = nullptr;
    // Shown only once the dialog has set up its controls.
    for (int i = 0; i < 600; ++i) {
        box = ::FindWindowW(L"#32770", titolo.c_str());
        if (box != nullptr && ::IsWindowVisible(box)) break;
        box = nullptr;
        ::Sleep(100);
    }
    if (box == nullptr) {
        std::fprintf(stderr, "leggi_finestra: no message box titled %s\n", piattaforma::nome_applicazione);
        return 1;
    }
    RECT cliente{};
    ::GetClientRect(box, &cliente);
    POINT origine{0, 0};
    ::ClientToScreen(box, &origine);
    std::printf("%ld %ld %ld %ld\n", origine.x, origine.y, cliente.right - cliente.left, cliente.bottom - cliente.top);
    ::EnumChildWindows(box, stampa, 0);
    return 0;
}
