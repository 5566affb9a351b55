// scenario_tool lsp on any bytes: the message reader ends at the end of the
// input having told each slip as a known JSON-RPC error, and the server fed
// the same messages answers, checks and ends without a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "lsp/messaggi.h"
#include "lsp/server.h"

namespace {

bool codice_noto(int c) {
    namespace k = lsp::codice_rpc;
    return c == k::errore_analisi || c == k::richiesta_non_valida;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string byte(reinterpret_cast<const char*>(dati), n);
    {
        std::istringstream in(byte);
        lsp::lettore_messaggi l(in);
        // Every message takes at least one byte of the input.
        for (std::size_t volte = 0;; ++volte) {
            if (volte > n + 1) std::abort();
            const auto m = l.leggi();
            if (m.tipo == lsp::messaggio_letto::esito::fine) break;
            if (m.tipo == lsp::messaggio_letto::esito::errore && !codice_noto(m.codice)) std::abort();
            if (m.tipo == lsp::messaggio_letto::esito::messaggio && !m.corpo.is_object()) std::abort();
        }
    }
    std::istringstream in(byte);
    lsp::lettore_messaggi l(in);
    std::ostringstream uscita;
    lsp::server s([&](const nlohmann::json& m) { lsp::scrivi_messaggio(uscita, m); });
    const auto t = lsp::orologio::time_point{};
    while (!s.finito()) s.ricevi(l.leggi(), t);
    s.pubblica(lsp::orologio::time_point::max());
    return 0;
}
