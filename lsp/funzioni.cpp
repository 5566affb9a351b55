// Placeholder answers until each feature is written: the server answers every
// request it advertises, with nothing to say.
#include "lsp/funzioni.h"

namespace lsp {

nlohmann::json hover(const scenario_aperto&, quale_file, posizione) { return nullptr; }
nlohmann::json suggerimenti(const scenario_aperto&, quale_file, int, int) { return nlohmann::json::array(); }
nlohmann::json completamento(const scenario_aperto&, quale_file, posizione) { return nlohmann::json::array(); }
nlohmann::json definizione(const scenario_aperto&, quale_file, posizione) { return nullptr; }
nlohmann::json simboli(const scenario_aperto&, quale_file) { return nlohmann::json::array(); }
nlohmann::json azioni(const scenario_aperto&, quale_file, intervallo) { return nlohmann::json::array(); }
nlohmann::json formattazione(const scenario_aperto&, quale_file) { return nlohmann::json::array(); }

}  // namespace lsp
