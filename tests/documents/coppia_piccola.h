// A short scenario of our own for the documents: two progressives (km 10
// growing from the start, km 20 falling from 3000 m), a board with a name
// and its kilometre, a station without a time, a stop without a dwell
// (PIANO) and, when asked, a slowdown that starts at a milestone (km 18).
#pragma once

#include <string>
#include <string_view>

namespace test_util {

inline constexpr std::string_view linea_piccola =
    "[generale]\r\n"
    "lunghezza percorso,    8000\r\n"
    "progressiva chilometrica uno,    0,    10000,    0\r\n"
    "progressiva chilometrica due,    3000,    20000,    1\r\n"
    "progressiva chilometrica tre,    0,    0,    0\r\n"
    "[curve]\r\n"
    "[cartelli]\r\n"
    "[indicazioni]\r\n"
    "cartello_indicatore,  2500,   (Ponte Alto)  (Km 12+500)\r\n"
    "[fine]\r\n";

inline constexpr std::string_view rallentamento_al_cippo = "rallentamento,    5000,    60,  300, 0,  0,  0\r\n";

inline std::string treno_piccolo(std::string_view rallentamenti, std::string_view nome_primo = "Borgo Alto",
                                 std::string_view velocita_ultima = "90") {
    return std::string(
               "[generale]\r\n"
               "percentuale massa frenata,    95\r\n"
               "[vel_limite]\r\n"
               "velocita,       0,   100\r\n"
               "velocita,    1000,   120\r\n"
               "velocita,    4350,    ") +
           std::string(velocita_ultima) +
           "\r\n"
           "[stazioni]\r\n"
           "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7, 0, 0, " +
           std::string(nome_primo) +
           "\r\n"
           "stazione,    2000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, CASELLE\r\n"
           "stazione,    4000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   7, 6, 0, PIANO\r\n"
           "stazione,    7000,  2,  500,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,12, 0, Valle Nuova\r\n"
           "[rallentamenti]\r\n" +
           std::string(rallentamenti) + "[fine]\r\n";
}

}  // namespace test_util
