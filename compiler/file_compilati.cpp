#include "compiler/file_compilati.h"

#include <string>
#include <vector>

#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "model/nomi_file.h"
#include "platform/file_atomico.h"

namespace compilatore {

void scrivi_file_compilati(const modello::Modello& m) {
    using piattaforma::file_a_pezzi;
    using piattaforma::scrittore;
    const bool con_geometria = m.genera_geometria && m.geometria.has_value();
    const std::string tabella = formato::immagine_tabella(m.tabella);
    const std::string percorso = formato::immagine_percorso(m.percorso);
    std::vector<file_a_pezzi> file;
    if (con_geometria)
        file.push_back({modello::file_in_cartella(m, modello::nome_file_geometria(m)),
                        [&t = *m.geometria](const scrittore& scrivi) { formato::produci_geometria(t, scrivi); }});
    file.push_back({modello::file_in_cartella(m, modello::nome_file_tabella(m)),
                    [&](const scrittore& scrivi) { scrivi(0, tabella); }});
    file.push_back({modello::file_in_cartella(m, modello::nome_file_percorso(m)),
                    [&](const scrittore& scrivi) { scrivi(0, percorso); }});
    piattaforma::scrivi_file_atomici(file);
}

}  // namespace compilatore
