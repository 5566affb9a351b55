#include "check/problemi.h"

#include <algorithm>
#include <sstream>

#include "text/visibile.h"

namespace strumento {

namespace {

using testo::visibile;

const char* nome_gravita(gravita g) { return g == gravita::errore ? "error" : "warning"; }

std::string etichetta(const problema& p) {
    return p.codice ? std::to_string(*p.codice) : p.regola;
}

}  // namespace

std::string testo_problemi(const std::vector<problema>& elenco, const nomi_file_autore& nomi) {
    std::ostringstream s;
    int errori = 0;
    int avvisi = 0;
    std::vector<std::int32_t> codici;
    for (const auto& p : elenco) {
        s << visibile(nomi.di(p.file)) << ":" << p.riga << ":" << p.colonna << ": " << nome_gravita(p.livello)
          << ": " << visibile(p.messaggio) << " [" << etichetta(p) << "]\n";
        for (const auto& r : p.correlati)
            s << visibile(nomi.di(r.file)) << ":" << r.riga << ":1: note: " << visibile(r.messaggio) << "\n";
        (p.livello == gravita::errore ? errori : avvisi) += 1;
        if (p.codice && std::find(codici.begin(), codici.end(), *p.codice) == codici.end()) codici.push_back(*p.codice);
    }
    // Where the author learns what each code means and how to fix it.
    if (!codici.empty()) {
        s << "more: scenario_tool explain " << codici.front();
        if (codici.size() > 1) {
            s << " (and";
            for (std::size_t i = 1; i < codici.size(); ++i) s << " " << codici[i];
            s << ")";
        }
        s << "\n";
    }
    s << errori << (errori == 1 ? " error, " : " errors, ") << avvisi << (avvisi == 1 ? " warning" : " warnings")
      << "\n";
    return s.str();
}

nlohmann::ordered_json json_problemi(const std::vector<problema>& elenco, const nomi_file_autore& nomi) {
    using json = nlohmann::ordered_json;
    json lista = json::array();
    int errori = 0;
    int avvisi = 0;
    for (const auto& p : elenco) {
        json correlati = json::array();
        for (const auto& r : p.correlati)
            correlati.push_back(
                {{"file", visibile(nomi.di(r.file))}, {"line", r.riga}, {"message", visibile(r.messaggio)}});
        lista.push_back({{"file", visibile(nomi.di(p.file))},
                         {"line", p.riga},
                         {"column", p.colonna},
                         {"severity", nome_gravita(p.livello)},
                         {"code", p.codice ? json(*p.codice) : json(nullptr)},
                         {"rule", p.codice ? json(nullptr) : json(p.regola)},
                         {"metre", p.metro ? json(*p.metro) : json(nullptr)},
                         {"message", visibile(p.messaggio)},
                         {"related", correlati},
                         {"fix", p.rimedio ? json{{"line", p.rimedio->riga},
                                                  {"column", p.rimedio->colonna},
                                                  {"end_column", p.rimedio->colonna_fine},
                                                  {"text", visibile(p.rimedio->testo)}}
                                           : json(nullptr)}});
        (p.livello == gravita::errore ? errori : avvisi) += 1;
    }
    return {{"problems", lista}, {"errors", errori}, {"warnings", avvisi}};
}

}  // namespace strumento
