// Any bytes as a train file, read after a fixed valid line description.
#include <cstddef>
#include <cstdint>

#include "compiler/driver.h"
#include "fuzz/ambiente_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    auto in = fuzz::ingressi(fuzz::linea_valida, {reinterpret_cast<const char*>(dati), n});
    auto m = fuzz::nuovo_modello(1);
    compilatore::memorizza_dati(m, in);
    fuzz::verifica(m, in);
    if (m.percorso.empty() || in.presente("F_1-.txt")) std::abort();
    return 0;
}
