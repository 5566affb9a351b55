// What the station, slowdown and signal rules share: the kilometre figure of
// a metre, the stations as the compile placed them (stop cell and approach
// marks), and the train file's rows by line. Only those rules include it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "check/regole_ferrovia_interne.h"
#include "check/regole_interne.h"

namespace strumento::regole_ferrovia {

using regole_interne::riga_voce;

// The kilometre figure the progressive in force gives metre m, as the driver
// reads it beside the track: "km 312.350". Without a progressive, the metre
// itself counts from km 0.
std::string km(const modello::Modello& m, std::int64_t metro);

// A station row as the compile kept it: its table record and, for kinds
// below 25, the stop cell and the four approach-mark cells before it
// (marcate[j - 1] carries mark 80 + j; -1 where none is written).
struct stazione_posata {
    int record = 0;
    int riga = 0;  // line of the row's keyword
    std::int64_t fermata = -1;
    std::array<std::int64_t, 4> marcate{-1, -1, -1, -1};
    const modello::voce_tabella& voce(const modello::Modello& m) const {
        return m.tabella[static_cast<std::size_t>(record)];
    }
};
std::vector<stazione_posata> stazioni_posate(const coppia_compilata& c);

// For each cell of the grid, the station (index into stazioni_posate) whose
// stop cell or approach mark it is; -1 for the others.
std::vector<int> celle_di_stazione(const modello::Modello& m, const std::vector<stazione_posata>& s);
// Which approach mark cell a of station s carries: 1 to 4, or 0 for none.
int marca_in(const stazione_posata& s, std::int64_t a);

// The train file's rows by line, read only when a rule first asks for one.
class righe_treno {
public:
    explicit righe_treno(const coppia_compilata& c) : c_(c) {}
    const regole_interne::file_letto& file() const { return c_.righe(quale_file::treno); }
    // The row that begins on line riga, if any.
    const riga_voce* a(int riga) const;

private:
    const coppia_compilata& c_;
    mutable std::vector<const riga_voce*> per_riga_;
    mutable bool indicizzate_ = false;
};

// The families, each in a file of its own: stations (regole_stazioni.cpp),
// slowdowns (regole_rallentamenti.cpp), signals by role (regole_segnali.cpp).
void avvisi_stazioni(const coppia_compilata& c, std::vector<problema>& p);
void avvisi_rallentamenti(const coppia_compilata& c, std::vector<problema>& p);
void avvisi_segnali(const coppia_compilata& c, std::vector<problema>& p);

// A warning of a rule at the train file's line riga: at value campo of its
// row when check reads one there, else at the line's first column.
problema avviso_treno(std::string_view regola, const riga_voce* r, int riga, std::size_t campo, std::string testo,
                      std::vector<rimando> correlati = {});

}  // namespace strumento::regole_ferrovia
