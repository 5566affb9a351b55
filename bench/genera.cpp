#include "bench/genera.h"

#include <algorithm>
#include <string>

namespace bench {

namespace {

std::string n(long v) { return std::to_string(v); }

}  // namespace

scenario_generato genera(int metri) {
    scenario_generato s;
    std::string& l = s.linea;
    l += "[generale]\r\nlunghezza percorso,    " + n(metri) + "\r\n";
    l += "progressiva chilometrica uno,    0,    " + n(metri + 100000L) + ",    1\r\n";
    l += "ripetizione segnali 4 codici,    1650,    " + n(metri / 50 * 50 - 2000) + "\r\n[curve]\r\n";
    for (long p = 1750, i = 0; p + 1000 < metri; p += 3000, ++i)
        l += std::string("curva") + (i % 2 ? "d" : "s") + n(1 + i % 5) + ", " + n(p) + ", " + n(300 + 100 * (i % 7)) + "\r\n";
    l += "[pendenze]\r\n";
    for (long p = 0, i = 0; p + 2000 < metri; p += 5000, ++i) l += "pendenza,  " + n(p) + ",  " + n(i % 13 - 6) + "\r\n";
    l += "[cartelli]\r\n";
    // Boards stand 1000 m past each 4 km mark, clear of the stations and signals below.
    for (long p = 1000; p + 1000 < metri; p += 4000)
        l += "indicatori_vmax,  " + n(p) + ",  100,  110,  120,  0,  100,  110,  120,  0\r\n";
    l += "[fine]\r\n";

    std::string& t = s.treno;
    t += "[generale]\r\nnumero vetture,    10\r\npercentuale massa frenata,    125\r\nsabbia,    200\r\n";
    t += "orologio,    6  0  0\r\naderenza,       0,    80\r\n";
    for (long p = 0, i = 0; p + 1000 < metri; p += 10000, ++i) t += "velocita,  " + n(p) + ",   " + n(100 + 10 * (i % 6)) + "\r\n";
    // A station every 7 km, but no more than the table holds; spacing in
    // whole kilometres keeps stop cells off the boards' cells.
    const long passo_stazioni = std::max(7000L, (metri / 70L + 999) / 1000 * 1000);
    for (long p = 3500; p + 1000 < metri; p += passo_stazioni)
        t += "stazione,  " + n(p) + ", 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, STAZIONE " + n(p / 1000) + "\r\n";
    for (long p = 1650; p + 1000 < metri; p += 1500) {
        // Signals keep off the stations' stop cells (station + 200 m).
        const long dopo_stazione = (p - 3500) % passo_stazioni;
        if (p >= 3500 && dopo_stazione < 400) continue;
        t += "segnale,  " + n(p) + ",   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n";
    }
    t += "[fine]\r\n";
    return s;
}

}  // namespace bench
