// Shared set-up of the fuzz targets: the input files of one execution, in
// memory, and the checks every compile must pass whatever its input.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/ingressi.h"
#include "model/codici.h"
#include "model/modello.h"

namespace fuzz {

// The input files of one execution, held in memory under the names the
// driver asks for.
inline compilatore::ingressi_in_memoria ingressi(std::string_view linea, std::string_view treno) {
    compilatore::ingressi_in_memoria in;
    in.metti("F_linea.txt", std::string(linea));
    in.metti("F_1-.txt", std::string(treno));
    return in;
}

inline modello::Modello nuovo_modello(int geometria) {
    modello::Modello m;
    m.nome_linea = "F";
    m.numero_treno = "1";
    m.genera_geometria = geometria != 0;
    return m;
}

// The model after any reading: a known status, the grid and geometry of the
// sizes the length gave them, and no input file left behind unless the line
// description stopped hard before the train file.
inline void verifica(const modello::Modello& m, const compilatore::ingressi_in_memoria& in) {
    if (!modello::codice_noto(m.codice_errore) || m.codice_errore >= 1000) std::abort();
    if (!m.percorso.empty() && m.percorso.size() != static_cast<std::size_t>(m.numero_celle) + 1) std::abort();
    // A length whose grid has cells but whose geometry has no metre (-25 to -1) leaves an empty geometry.
    if (m.geometria && m.geometria->elementi() != 2 * (static_cast<std::size_t>(std::max(m.lunghezza_totale, -1) + 1)))
        std::abort();
    if (in.presente("F_linea.txt")) std::abort();
    if (m.numero_montagne < 0 || m.numero_montagne > modello::massimo_montagne) std::abort();
    if (m.indice_cartello < 0 || m.indice_cartello > modello::primo_record_cartello) std::abort();
}

// A short valid line for the train target: 20 km, boards, a mountain stretch.
inline constexpr std::string_view linea_valida =
    "[generale]\r\nlunghezza percorso,    20000\r\nprogressiva chilometrica uno,    0,    350000,    1\r\n"
    "ripetizione segnali 4 codici,    1650,    19000\r\n[curve]\r\ncurvas3, 1750, 600\r\ncurvad5, 9000, 300\r\n"
    "[pendenze]\r\npendenza,  0,   0\r\npendenza,  5000,   -8\r\n[montagne]\r\nmontagna,   11550,  13050,  11\r\n"
    "[cartelli]\r\nindicatori_vmax,  700,  100,  110,  115,  0,  100,  110,  115,  0\r\n"
    "[indicazioni]\r\ncartello_indicatore,  4400,   (Km 345+557)\r\n[fine]\r\n";

}  // namespace fuzz
