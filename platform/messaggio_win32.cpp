#include "platform/messaggio.h"

#include <windows.h>

#include "platform/form1.h"
#include "platform/utf16.h"

namespace piattaforma {

void mostra_messaggio(const std::string& testo, bool con_icona) {
    // Enter presses OK, the one button.
    const UINT stile = MB_OK | MB_SETFOREGROUND | (con_icona ? MB_ICONERROR : 0u);
    ::MessageBoxW(nullptr, a_utf16(testo).c_str(), a_utf16(nome_applicazione).c_str(), stile);
}

}  // namespace piattaforma
