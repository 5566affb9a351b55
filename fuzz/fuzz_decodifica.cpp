// Any bytes as each of the three compiled files: the decoders either decode
// them or report a damage at a byte inside the input, and what they decode
// encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/file_compilati.h"
#include "tools/decodifica.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view byte(reinterpret_cast<const char*>(dati), n);
    const auto entro = [&](const decodifica::errore_decodifica& e) {
        if (e.offset() > n) std::abort();
    };
    try {
        if (modello::immagine_percorso(decodifica::decodifica_percorso(byte, "f.dat")) != byte) std::abort();
    } catch (const decodifica::errore_decodifica& e) {
        entro(e);
    }
    try {
        // Names pass through UTF-8 and back; bytes outside Windows-1252's
        // defined set survive as well, so the table comes back whole.
        if (modello::immagine_tabella(decodifica::decodifica_tabella(byte, "f.sim")) != byte) std::abort();
    } catch (const decodifica::errore_decodifica& e) {
        entro(e);
    }
    try {
        const std::string di_nuovo = modello::immagine_geometria(decodifica::decodifica_geometria(byte, "f_linea.dat"));
        // Doubles round-trip bit for bit, NaN payloads included.
        if (di_nuovo != byte) std::abort();
    } catch (const decodifica::errore_decodifica& e) {
        entro(e);
    }
    return 0;
}
