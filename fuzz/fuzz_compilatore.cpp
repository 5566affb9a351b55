// The whole compile driver on a pair of files, up to what it would write: the
// input is split at its first "\n====\n" into the line description and the
// train file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "compiler/driver.h"
#include "format/binario.h"
#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "fuzz/ambiente_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
    constexpr std::string_view separatore = "\n====\n";
    const auto taglio = tutto.find(separatore);
    const std::string_view linea = tutto.substr(0, taglio);
    const std::string_view treno = taglio == std::string_view::npos ? "" : tutto.substr(taglio + separatore.size());
    auto in = fuzz::ingressi(linea, treno);
    auto m = fuzz::nuovo_modello(1);
    bool compilato = false;
    try {
        compilatore::compila(m, 1, in);
        compilato = true;
    } catch (const modello::errore_fatale& e) {
        // A stamp conflict ends the run before any compiled file is written.
        if (e.codice() != 1250 && e.codice() != 1251) std::abort();
    } catch (const std::exception&) {
        // An unhandled failure outside the readers: only a missing grid or cell 1.
        if (m.percorso.size() >= 2) std::abort();
    }
    fuzz::verifica(m, in);
    // What the compile would write decodes cleanly and holds what the model
    // holds. The geometry has the size its runs give it; up to 20,000 metres
    // its bytes are also compared with the values the runs give when expanded
    // whole (for every length, that would slow the target fourfold and more).
    if (compilato) {
        try {
            if (!m.geometria) std::abort();
            // Produced block by block as the writer takes it; kept whole only when short.
            const bool intera = m.geometria->ultimo_metro() <= 20000;
            std::string geometria;
            std::uint64_t byte = 0;
            formato::produci_geometria(*m.geometria, [&](std::uint64_t posizione, std::string_view pezzo) {
                byte = std::max<std::uint64_t>(byte, posizione + pezzo.size());
                if (!intera) return;
                if (geometria.size() < byte) geometria.resize(byte);
                geometria.replace(posizione, pezzo.size(), pezzo);
            });
            if (byte != formato::byte_geometria(*m.geometria)) std::abort();
            if (intera) {
                const auto g = formato::decodifica_geometria(geometria, "geometria");
                if (g.elementi() != m.geometria->elementi()) std::abort();
                if (geometria != formato::immagine_geometria(m.geometria->valori())) std::abort();
            }
            if (formato::decodifica_percorso(formato::immagine_percorso(m.percorso), "percorso").size() !=
                m.percorso.size())
                std::abort();
            formato::decodifica_tabella(formato::immagine_tabella(m.tabella), "tabella");
        } catch (const formato::errore_decodifica&) {
            std::abort();
        }
    }
    return 0;
}
