// The whole compile driver on a pair of files: the input is split at its
// first "\n====\n" into the line description and the train file.
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
#include "model/nomi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
    constexpr std::string_view separatore = "\n====\n";
    const auto taglio = tutto.find(separatore);
    const std::string_view linea = tutto.substr(0, taglio);
    const std::string_view treno = taglio == std::string_view::npos ? "" : tutto.substr(taglio + separatore.size());
    fuzz::scrivi("F_linea.txt", linea);
    fuzz::scrivi("F_1-.txt", treno);
    auto m = fuzz::nuovo_modello(1);
    bool scritti = false;
    try {
        compilatore::memorizza_percorso(m, 1);
        scritti = true;
    } catch (const modello::errore_fatale& e) {
        // A stamp conflict ends the run before any compiled file is written.
        if (e.codice() != 1250 && e.codice() != 1251) std::abort();
    } catch (const std::exception&) {
        // An unhandled failure outside the readers: only a missing grid or cell 1.
        if (m.percorso.size() >= 2) std::abort();
    }
    fuzz::verifica(m);
    // What the compile wrote decodes cleanly and holds what the model holds.
    // The geometry file has the size its runs give it; up to 20,000 metres its
    // bytes are also compared with the values the runs give when expanded
    // whole (for every length, that would slow the target fourfold and more).
    if (scritti) {
        const auto dir = fuzz::cartella();
        try {
            if (!m.geometria) std::abort();
            const auto file_geometria = dir / modello::nome_file_geometria(m);
            if (std::filesystem::file_size(file_geometria) != formato::byte_geometria(*m.geometria)) std::abort();
            if (m.geometria->ultimo_metro() <= 20000) {
                const std::string geometria = fuzz::leggi(file_geometria);
                const auto g = formato::decodifica_geometria(geometria, "geometria");
                if (g.elementi() != m.geometria->elementi()) std::abort();
                if (geometria != formato::immagine_geometria(m.geometria->valori())) std::abort();
            }
            if (formato::decodifica_percorso(fuzz::leggi(dir / modello::nome_file_percorso(m)), "percorso").size() !=
                m.percorso.size())
                std::abort();
            formato::decodifica_tabella(fuzz::leggi(dir / modello::nome_file_tabella(m)), "tabella");
        } catch (const formato::errore_decodifica&) {
            std::abort();
        }
    }
    std::error_code ignora;
    for (const auto& nome : {modello::nome_file_treno(m), modello::nome_file_geometria(m), modello::nome_file_tabella(m),
                             modello::nome_file_percorso(m)})
        std::filesystem::remove(fuzz::cartella() / nome, ignora);
    return 0;
}
