// Any bytes as a train file, read after a fixed valid line description.
#include <cstddef>
#include <cstdint>

#include "compiler/driver.h"
#include "fuzz/ambiente_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    fuzz::scrivi("F_linea.txt", fuzz::linea_valida);
    fuzz::scrivi("F_1-.txt", {reinterpret_cast<const char*>(dati), n});
    auto m = fuzz::nuovo_modello(1);
    compilatore::memorizza_dati(m);
    fuzz::verifica(m);
    if (m.percorso.empty() || std::filesystem::exists(fuzz::cartella() / "F_1-.txt")) std::abort();
    return 0;
}
