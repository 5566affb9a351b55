#include "lsp/compilazione_coppia.h"

#include <mutex>
#include <string>

namespace lsp {

namespace {

// The identifiers only name the files in memory; the diagnostics of a pair
// alone (without the other file) compile under the same ones.
const strumento::identificativi identificativi_in_memoria{"linea", "1"};

}  // namespace

std::shared_ptr<const strumento::compilazione_in_memoria> compilazione_coppia(const scenario_aperto& s) {
    static std::mutex guardia;
    static std::string linea_ultima, treno_ultimo;
    static std::shared_ptr<const strumento::compilazione_in_memoria> ultima;
    const std::string linea = s.linea.presente ? s.linea.testo : std::string();
    const std::string treno = s.treno.presente ? s.treno.testo : std::string();
    {
        const std::lock_guard<std::mutex> l(guardia);
        if (ultima && linea == linea_ultima && treno == treno_ultimo) return ultima;
    }
    auto c = std::make_shared<const strumento::compilazione_in_memoria>(
        strumento::compila_in_memoria(linea, treno, identificativi_in_memoria));
    const std::lock_guard<std::mutex> l(guardia);
    linea_ultima = linea;
    treno_ultimo = treno;
    ultima = c;
    return c;
}

}  // namespace lsp
