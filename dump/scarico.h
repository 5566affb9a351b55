// `scenario_tool dump`: the compiled files of a folder decoded into a
// readable account (JSON, or text made from the same JSON).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "format/binario.h"
#include "model/modello.h"
#include "scenario_files/identificativi.h"

namespace strumento {

struct compilati {
    identificativi id;
    std::vector<modello::cella> percorso;
    std::array<modello::voce_tabella, modello::record_tabella> tabella{};
    std::optional<modello::geometria_linea> geometria;  // absent when compiled without
};

// The identifiers of the compiled scenario in a folder: from the options, or
// from the one table file (ID_N.sim) there. Throws errore_uso when several
// scenarios fit, std::runtime_error when none does.
identificativi trova_compilati(const std::filesystem::path& cartella, const std::optional<std::string>& linea,
                               const std::optional<std::string>& treno);

// Whether a geometry that ends at metre ultimo_metro can belong to a route of
// numero_celle + 1 cells. The line reader makes both from one length: the
// geometry's last metre is lunghezza_totale (the line's length plus 7000 m)
// and numero_celle is lunghezza_totale / 50 rounded half to even; a
// lunghezza_totale from -25 to -1 gives the empty geometry (ultimo_metro -1)
// and a route of one cell.
bool geometria_del_percorso(std::int32_t ultimo_metro, std::int32_t numero_celle);

// Reads and decodes the files; the geometry file is optional. Throws
// formato::errore_decodifica for a malformed file, std::runtime_error for a
// missing one and for a geometry that does not fit the route (one left by an
// earlier compile of another line of the same name).
compilati carica_compilati(const std::filesystem::path& cartella, const identificativi& id);

// Everything the files say: table records, cells with objects or marks,
// profiles as runs, a geometry summary and, with ogni_metro, every metre.
nlohmann::ordered_json descrivi_compilati(const compilati& c, bool ogni_metro);

// The same account as text.
void stampa_compilati(std::ostream& out, const nlohmann::ordered_json& d);

// What a cell's kind holds, as dump names it ("signal", "stop cell").
std::string nome_oggetto_cella(const modello::cella& c);

}  // namespace strumento
