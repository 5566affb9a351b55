// The station times the train sheet shows: an input of the sheet, so that
// whatever computes the passing times of the stations the timetable leaves
// untimed (a run of the train over the line) hands them over here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/modello.h"

namespace strumento::documenti {

enum class fonte_orario : std::uint8_t {
    programmato,  // from the station's row: its time and dwell
    calcolato,    // from a run of the train
};

// One station record of the train file, in the file's order.
struct orario_stazione {
    std::optional<std::int32_t> arrivo;    // seconds of the day
    std::optional<std::int32_t> partenza;  // seconds of the day
    fonte_orario fonte = fonte_orario::programmato;
};

using orari_treno = std::vector<orario_stazione>;

struct fatti_coppia;

// The timetable's own times: for a station whose row gives a time, the
// departure is that time and the arrival that time less the dwell; a station
// without a time gets neither (fonte calcolato, to be filled by a run).
orari_treno orari_programmati(const fatti_coppia& f);

// The times a run of the train over the compiled pair gives the stations
// the timetable leaves untimed: the passing times, with the allowance spread
// between the timed stations as planners do. Nothing changes when the train
// cannot run. Station k of the file is the table's record k + 1.
void aggiungi_orari_calcolati(orari_treno& o, const modello::Modello& compilato);

// How many stations are left without any time.
std::size_t senza_orario(const orari_treno& o);

}  // namespace strumento::documenti
