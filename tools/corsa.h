// `scenario_tool run`: the train's run over an author's pair, compiled in
// memory: per leg the distance, the scheduled and the minimum running time
// and the margin, each station's arrival and departure, in words or as JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "run_model/marcia.h"

namespace strumento {

// Exit statuses of run.
namespace uscita_corsa {
inline constexpr int fatta = 0;
inline constexpr int ferma = 1;          // the train cannot run: where and why
inline constexpr int non_compila = 2;    // the pair has errors: check's, and no run
}  // namespace uscita_corsa

// margine_pct: the minimum allowance, in % of the minimum running time; a
// timed leg with less is marked.
std::string testo_corsa(const marcia::risultato& r, double margine_pct);
nlohmann::ordered_json json_corsa(const marcia::risultato& r, double margine_pct);

}  // namespace strumento
