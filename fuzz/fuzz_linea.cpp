// Any bytes as a line description, read with a minimal train file behind it.
#include <cstddef>
#include <cstdint>

#include "compiler/driver.h"
#include "fuzz/ambiente_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    auto in = fuzz::ingressi({reinterpret_cast<const char*>(dati), n}, "[generale]\r\n");
    auto m = fuzz::nuovo_modello(1);
    compilatore::memorizza_dati(m, in);
    fuzz::verifica(m, in);
    return 0;
}
