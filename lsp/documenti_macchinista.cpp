#include "lsp/documenti_macchinista.h"

#include <exception>
#include <optional>

#include "documents/celle.h"
#include "documents/scrittura.h"
#include "lsp/compilazione_coppia.h"
#include "lsp/uri.h"
#include "model/nomi_file.h"

namespace lsp {

namespace {

esito_documenti fallito(std::string perche) { return {false, std::move(perche) + ": nothing written", {}, {}}; }

}  // namespace

esito_documenti scrivi_documenti_macchinista(const scenario_aperto& s) {
    if (!s.linea.presente || !s.treno.presente)
        return fallito("the driver's documents need the pair, a line description ID_linea.txt and a train file "
                       "ID_N-.txt in one folder");
    const auto l = percorso_da_uri(s.linea.uri);
    const auto t = percorso_da_uri(s.treno.uri);
    if (!l || !t) return fallito("the pair's files are not files on disk");
    const auto file_linea = modello::percorso_utf8(*l), file_treno = modello::percorso_utf8(*t);
    const auto compilato = compilazione_coppia(s);
    if (!compilato->problemi.empty())
        return fallito("the pair does not compile (" + std::to_string(compilato->problemi.size()) +
                       " errors, shown in the files)");
    try {
        const auto id = strumento::scegli_identificativi(file_linea, file_treno, std::nullopt, std::nullopt);
        const auto d = strumento::documenti::prepara_documenti(s.linea.testo, s.treno.testo, id,
                                                               file_linea.parent_path(), {});
        strumento::documenti::scrivi_documenti(d, {file_linea, file_treno});
        esito_documenti e{true, {}, {}, d.avvisi};
        for (const auto& [nome, byte] : d.file) {
            const auto u = nome.u8string();
            e.file.emplace_back(u.begin(), u.end());
        }
        e.messaggio = "wrote the train sheet, the slowdown order and the notes beside " + s.linea.nome;
        if (d.senza_orario > 0)
            e.messaggio += "; " + std::to_string(d.senza_orario) + " of " + std::to_string(d.stazioni) +
                           " stations have no time: the train cannot run the line, and the sheet leaves them blank";
        return e;
    } catch (const std::exception& x) {
        return fallito(x.what());
    }
}

}  // namespace lsp
