// Any bytes as each of the three compiled files: the decoders either decode
// them or report a damage at a byte inside the input, and what they decode
// encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format/binario.h"
#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view byte(reinterpret_cast<const char*>(dati), n);
    const auto entro = [&](const formato::errore_decodifica& e) {
        if (e.offset() > n) std::abort();
    };
    try {
        if (formato::immagine_percorso(formato::decodifica_percorso(byte, "f.dat")) != byte) std::abort();
    } catch (const formato::errore_decodifica& e) {
        entro(e);
    }
    try {
        // Names pass through UTF-8 and back; bytes outside Windows-1252's
        // defined set survive as well, so the table comes back whole.
        if (formato::immagine_tabella(formato::decodifica_tabella(byte, "f.sim")) != byte) std::abort();
    } catch (const formato::errore_decodifica& e) {
        entro(e);
    }
    try {
        const std::string di_nuovo = formato::immagine_geometria(formato::decodifica_geometria(byte, "f_linea.dat"));
        // Doubles round-trip bit for bit, NaN payloads included.
        if (di_nuovo != byte) std::abort();
    } catch (const formato::errore_decodifica& e) {
        entro(e);
    }
    return 0;
}
