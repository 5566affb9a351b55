#include "model/compilatore.h"

namespace modello {

void azzera_tabella(Modello& m) {
    for (auto& voce : m.tabella) voce = voce_tabella{};
}

std::int32_t memorizza_percorso(Modello& m, std::int32_t j) {
    m.genera_geometria = j;
    m.codice_errore = 0;
    azzera_tabella(m);
    memorizza_dati(m);
    // Then: completion of the cab-signal codes, the stamps and the compiled files.
    return m.codice_errore;
}

}  // namespace modello
