#include "documents/scrittura.h"

#include <stdexcept>
#include <string_view>
#include <system_error>

#include "memory_compile/compilazione.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "platform/file_atomico.h"

namespace strumento::documenti {

file_documenti prepara_documenti(const std::string& linea, const std::string& treno, const identificativi& id,
                                 const std::filesystem::path& cartella, dati_autore autore) {
    autore.numero_treno = id.treno;
    const auto f = leggi_fatti(linea, treno);
    auto orari = orari_programmati(f);
    aggiungi_orari_calcolati(orari, compila_in_memoria(linea, treno, id).finale.modello);
    const documento d[] = {scheda_treno(f, autore, orari), ordine_rallentamenti(f, autore), note_treno(f, autore)};
    modello::Modello m;
    m.cartella = cartella;
    m.nome_linea = id.linea;
    m.numero_treno = id.treno;
    file_documenti out;
    out.file = {{modello::file_in_cartella(m, modello::nome_file_scheda(m)), byte_documento(d[0])},
                {modello::file_in_cartella(m, modello::nome_file_rallentamenti(m)), byte_documento(d[1])},
                {modello::file_in_cartella(m, modello::nome_file_note(m)), byte_documento(d[2])}};
    for (const auto& x : d) out.avvisi.insert(out.avvisi.end(), x.avvisi.begin(), x.avvisi.end());
    out.stazioni = f.stazioni.size();
    out.senza_orario = senza_orario(orari);
    return out;
}

void scrivi_documenti(const file_documenti& d, const std::vector<std::filesystem::path>& intoccabili) {
    std::vector<std::pair<std::filesystem::path, std::string_view>> da_scrivere;
    for (const auto& [nome, byte] : d.file) {
        for (const auto& t : intoccabili) {
            std::error_code ec;
            if (std::filesystem::equivalent(nome, t, ec))
                throw std::invalid_argument(nome.string() + " is one of the scenario's own files: its document would replace it");
        }
        da_scrivere.emplace_back(nome, byte);
    }
    if (!d.file.empty()) {
        const auto cartella = d.file.front().first.parent_path();
        std::error_code ec;
        if (!cartella.empty() && !std::filesystem::is_directory(cartella, ec)) {
            std::filesystem::create_directories(cartella, ec);
            if (ec) throw std::system_error(ec, "cannot create the folder " + cartella.string());
        }
    }
    piattaforma::scrivi_file_atomici(da_scrivere);
}

}  // namespace strumento::documenti
