// `scenario_tool view`: the compiled route as one interactive HTML page.
// The data the page draws is made here as JSON; the page's script, styles
// and template are embedded in the program at build time, so the page is
// one file that opens from disk with nothing fetched.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "dump/scarico.h"

namespace strumento {

// The author's two text files, as bytes, with the names the page shows.
struct testi_autore {
    std::string nome_linea;
    std::string nome_treno;
    std::string linea;
    std::string treno;
};

// What the page gets: the route's objects as dump describes them, each with
// its cell's name and, when the texts are given, the row that placed it;
// stations, profiles, the plan-view track decimated to one point every
// passo_geometria metres, and check's problems. Integers and strings only,
// so the page is byte for byte the same on every system. The texts are
// compiled in memory: where they place another object than the compiled
// files hold, no row is given (corrispondenza says whether all agree).
nlohmann::ordered_json dati_vista(const compilati& c, const std::optional<testi_autore>& testi);

inline constexpr int passo_geometria = 10;

// The whole page: the template with its styles, its script and the data.
// The data goes into a <script type="application/json"> block with every
// '<' written as \u003c, so no text in it can close the block.
std::string pagina_vista(const nlohmann::ordered_json& dati);

// The data as it stands in the page.
std::string json_in_pagina(const nlohmann::ordered_json& dati);

}  // namespace strumento
