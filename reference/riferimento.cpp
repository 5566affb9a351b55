#include "reference/riferimento.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <numeric>

#include "model/codici.h"
#include "reference/temi_interni.h"
#include "reference/voci_controllo.h"
#include "scenario_text/righe_builtin.h"
#include "text/flusso_campi.h"
#include "text/visibile.h"

namespace riferimento {

namespace {

using enum file_testo;
using z = zona_tabella;
using pr = profilo;

// The phrases that many fields share.
constexpr std::string_view entro_percorso =
    "(position + 100) / 50 at most the route's last cell, (line length + 7000) / 50; else status 15";
constexpr std::string_view intero = "whole number, 32 bits";
constexpr std::string_view intero_16 = "whole number, 16 bits (-32768 to 32767; beyond: status 25)";

constexpr std::int64_t senza_tetto = 2147483647;
constexpr bool senza_significato = true;
// The packed values of boards and signals: two digits side by side.
constexpr std::string_view fuori_cifra =
    "it is packed as it is (left × 10 + right) into its cell value, which keeps one digit for each side, so the "
    "value no longer reads back as the two written";
constexpr std::string_view fuori_specie =
    "it is packed as it is (left × 3 + right) into the units of cell `valore_4`, where each kind is 0, 1 or 2";
constexpr ambito ore{0, 23, {}, true};
constexpr ambito minuti{0, 59, {}, true};

// ---------------------------------------------------------------- line description

constexpr campo c_lunghezza[] = {
    {"length", "m", "1 to 1000000 (more: status 1)", intero,
     "table record 84 `fine`; the route grid gets (length + 7000) / 50 cells, rounded (halves to even), the "
     "geometry length + 7000 metres",
     {1, senza_tetto, "the line has no metre of its own: the route grid is only the 7000 m extension past its end, "
                      "where every object then lies"}},
};
constexpr campo c_progressiva[] = {
    {"start", "m", "0 or more, a multiple of 50 (else status 2)", intero,
     "`inizio` of one of table records 81 to 83 (see the rules)",
     {0, senza_tetto, "it is stored as it is, a start before the line's first metre, and takes part in the ordering "
                      "of the three progressives by their starts"}},
    {"kilometric value", "m (350000 is km 350)", "a multiple of 50 (else status 2)", intero,
     "`fine` of the same record, plus 100 when the direction code is 1"},
    {"direction code", "", "1: the kilometre figures decrease along the line; any other value is kept as it is",
     intero, "`progressiva` of the same record"},
};
constexpr campo c_sfondo_uno[] = {{"background", "", "any", intero, "table record 85 `inizio`", {}, senza_significato}};
constexpr campo c_sfondo_due[] = {
    {"background", "", "any", intero, "table record 85 `progressiva`", {}, senza_significato}};
constexpr campo c_sfondo_tre[] = {{"background", "", "any", intero, "table record 85 `fine`", {}, senza_significato}};
constexpr campo c_ripetizione[] = {
    {"start", "m", "a multiple of 50 (else status 3)", intero, "table record 86 `inizio`"},
    {"end", "m", "a multiple of 50 (else status 4); 0: no repetition", intero,
     "table record 86 `fine`; record 86 `progressiva` gets 4 or 9 from the keyword, 0 when the end is 0"},
};
constexpr campo c_pendenza[] = {
    {"position", "m", entro_percorso, "cell position / 50, rounded (halves to even), no + 1",
     "the gradient holds from this cell to the cell before the next entry's"},
    {"gradient", "per mille, signed (8: 8 m up over 1000 m)", "-100 to 155", "stored plus 100 in one byte",
     "route cells `pendenza` (gradient + 100)"},
};
constexpr campo c_curva[] = {
    {"start", "m", entro_percorso, intero, "geometry: the track turns from metre start + 1"},
    {"length", "m", "1 or more; the curve must not run past the geometry's end", intero,
     "geometry: to metre start + length"},
};
constexpr campo c_montagna[] = {
    {"start", "m", entro_percorso, "first cell start / 50, rounded", "route cells `tipo_montagna` from this cell"},
    {"end", "m", "after the start", "last cell end / 50 - 1, rounded", "to this cell"},
    {"type", "", "1 to 10; 11 to 20: type - 10 with markers", "low byte",
     "`tipo_montagna` of each cell; with markers every fourth free cell gets cell kind 11",
     {1, 20, "above 10, 10 is taken off and the stretch gets markers; what remains goes into the cells' "
             "`tipo_montagna` as it is, a type outside 1 to 10 (0: the cells get no mountain type)"},
     senza_significato},
};
constexpr campo c_indicatore[] = {
    {"position", "m", entro_percorso, "cell position / 50 + 1, rounded; it must be free (else status 21)",
     "that cell gets kind 6"},
    {"left speed a", "km/h", "multiples of 5, 0 to 1630 (the packed value must fit 16 bits)", "left × 20 + right / 5, rounded to 16 bits",
     "cell `valore_1` (hundreds: left / 5, last two digits: right / 5)"},
    {"left speed b", "km/h", "as speed a", "as speed a", "cell `valore_2`"},
    {"left speed c", "km/h", "as speed a", "as speed a", "cell `valore_3`"},
    {"left stripes", "", "0 to 9", "left × 10 + right, 16 bits", "cell `valore_4` (tens)", {0, 9, fuori_cifra}},
    {"right speed a", "km/h", "multiples of 5, 0 to 495; empty reads as 0", "as the left speed",
     "cell `valore_1` (last two digits)", {}, false, true},
    {"right speed b", "km/h", "as right speed a", "as the left speed", "cell `valore_2`", {}, false, true},
    {"right speed c", "km/h", "as right speed a", "as the left speed", "cell `valore_3`", {}, false, true},
    {"right stripes", "", "0 to 9", "as the left stripes", "cell `valore_4` (units)", {0, 9, fuori_cifra}},
};
constexpr campo c_cartello[] = {
    {"position", "m", entro_percorso, "cell position / 50 + 1, rounded; it must be free (else status 6)",
     "that cell gets kind 14 and, in `valore_1`, the table record of the text"},
    {"text", "", "any text without a comma (or in double quotes)", "Windows-1252",
     "`nome` of table record 80 for the first board, 79 for the next, and down"},
};

// ---------------------------------------------------------------- train file

constexpr campo c_massa[] = {{"braked mass", "%", "any", intero, "table record 84 `inizio`"}};
constexpr campo c_vetture[] = {{"coaches", "", "any", intero, "table record 84 `progressiva`"}};
constexpr campo c_velocita[] = {
    {"position", "m", entro_percorso, "closes the stretch before cell position / 50, rounded",
     "the speed holds from this cell to the cell before the next row's"},
    {"speed limit", "km/h", "0 to 1277 (the fifth must fit a byte, else status 25)",
     "speed / 5, rounded (halves to even): 132 gives 26, 133 gives 27", "route cells `velocita` (units of 5 km/h)"},
};
constexpr campo c_aderenza[] = {
    {"position", "m", entro_percorso, "closes the stretch before cell position / 50, rounded",
     "the value holds from this cell to the cell before the next row's"},
    {"adhesion", "", "0 to 255", "low 8 bits kept (300 gives 44)", "route cells `aderenza`"},
};
constexpr campo c_orologio[] = {
    {"hours", "h", "0 to 23", intero_16, "table record 86 `campo_10`", ore},
    {"minutes", "min", "0 to 59", intero_16, "table record 86 `campo_11`", minuti},
    {"seconds", "s", "0 to 59", intero_16, "table record 86 `campo_12`", minuti},
};
constexpr campo c_sabbia[] = {{"sand", "", "-32768 to 32767", intero_16, "table record 86 `campo_7`"}};
constexpr campo c_segnale[] = {
    {"position", "m", entro_percorso, "cell position / 50 + 1, rounded; it must be free (else status 16)",
     "that cell gets kind 1"},
    {"left kind", "", "0, 1 or 2; 2 also stores the time", "16 bits", "cell `valore_4` units: left × 3 + right",
     {0, 2, fuori_specie}, senza_significato},
    {"left digit 1", "", "0 to 9", "16 bits", "cell `valore_1` tens", {0, 9, fuori_cifra}, senza_significato},
    {"left digit 2", "", "0 to 9", "16 bits", "cell `valore_2` tens", {0, 9, fuori_cifra}, senza_significato},
    {"left digit 3", "", "0 to 9", "16 bits", "cell `valore_3` tens", {0, 9, fuori_cifra}, senza_significato},
    {"rapp", "", "0 to 3275", "16 bits", "cell `valore_4` tens",
     {0, 3275, "it is packed as it is (rapp × 10 + left × 3 + right) into cell `valore_4`, where the kinds then no "
               "longer read back from the units"},
     senza_significato},
    {"right kind", "", "0, 1 or 2", "16 bits", "cell `valore_4` units", {0, 2, fuori_specie}, senza_significato},
    {"right digit 1", "", "0 to 9", "16 bits", "cell `valore_1` units", {0, 9, fuori_cifra}, senza_significato},
    {"right digit 2", "", "0 to 9", "16 bits", "cell `valore_2` units", {0, 9, fuori_cifra}, senza_significato},
    {"right digit 3", "", "0 to 9", "16 bits", "cell `valore_3` units", {0, 9, fuori_cifra}, senza_significato},
    {"time", "", "0 to 255; 1 to 100 become 101", "low 8 bits",
     "cell `tempo_segnale` when the left kind is 2, else 0", {}, senza_significato},
};
constexpr campo c_rallentamento[] = {
    {"start", "m", entro_percorso, "start cell start / 50 + 1, rounded; it must be free (else status 18)",
     "start cell kind 3; warning point 1200 m before it, cell (start - 1200) / 50 + 1, kind 4 (only when the start "
     "is beyond 1500 m; it must be free, else status 17)"},
    {"speed", "km/h", "any", "16 bits", "`valore_1` of the warning, start and end cells"},
    {"length", "m", "the end cell must be free (else status 19)", "end cell (start + length) / 50 + 1, rounded",
     "end cell kind 2"},
    {"f_tt", "", "any", "16 bits", "`valore_3` of the start and end cells", {}, senza_significato},
    {"f_ta", "", "0 or 1: nonzero also marks the four cells before the warning point (they must be free, else "
     "status 20)", "ignored when the start is 1500 m or less",
     "cells (start - 1200) / 50 down to 3 cells before it, kind 5, `valore_1` 1 to 4"},
    {"second speed", "km/h", "any; 0: none", "16 bits", "`valore_2` of every cell the slowdown marks, when nonzero"},
};
constexpr campo c_abbattimento[] = {
    {"position", "m", entro_percorso, "cell position / 50, rounded, no + 1; it must be free (else status 7)",
     "that cell gets kind 12 (or 13)"},
    {"code", "", "1 or more: the cab-signal code from here; 0 or less: a code point without a code", "16 bits",
     "cell `valore_1`; kind 13 and no value when below 1"},
};
constexpr campo c_stazione[] = {
    {"position", "m", "(position + 800) / 50 at most the route's last cell (else status 15); a multiple of 50 (else "
     "status 8)", intero, "record `progressiva`"},
    {"kind", "", "below 25: a place where the train may stop, with a stop cell and (5 and 6 aside) approach marks; "
     "25 and above: one it passes, no stop cell. 5, 6: the area ends 150 m after the position; 7, 8: it runs from "
     "position - length to position + length; any other: centred", "one byte",
     "record `tipo`; the builder uses it for the area and the stop cell only", {}, senza_significato},
    {"length", "m", "a multiple of 100 (else status 9)", intero,
     "not stored: gives the area, record `inizio` and `fine`"},
    {"field 4", "", "0 to 255", "one byte", "record `campo_4`, as read; not used by the builder", {}, senza_significato},
    {"field 5", "", "0 to 255", "one byte; 0 when the length is under 600 and for the first station",
     "record `campo_5`; the builder only zeroes it", {}, senza_significato},
    {"field 6", "", "0 to 255; nonzero lengthens a centred area by 50 m at its end, and moves its stop cell and marks "
     "50 m on", "one byte; 0 for kinds 5 to 8 and for the first station", "record `campo_6`", {}, senza_significato},
    {"field 7", "", "-32768 to 32767", "16 bits", "record `campo_7`, as read; not used by the builder", {},
     senza_significato},
    {"field 8", "", "-32768 to 32767", "16 bits", "record `campo_8`, as read; not used by the builder", {},
     senza_significato},
    {"field 9", "", "0 to 255", "one byte", "record `campo_9`, as read; not used by the builder", {}, senza_significato},
    {"field 10", "", "-32768 to 32767", "16 bits", "record `campo_10`, as read; not used by the builder", {},
     senza_significato},
    {"field 11", "", "-32768 to 32767", "16 bits", "record `campo_11`, as read; not used by the builder", {},
     senza_significato},
    {"field 12", "", "-32768 to 32767", "16 bits", "record `campo_12`, as read; not used by the builder", {},
     senza_significato},
    {"field 13", "s", "0 to 255: the dwell, the seconds the train stands at the stop; its arrival is the time less the "
     "dwell", "one byte", "record `campo_13`, as read; not used by the builder", {}, senza_significato},
    {"hours", "h", "0 to 23: the departure time; 0:00:00 is no time (a station the train passes)", intero,
     "record `orario` = (hours × 60 + minutes) × 60 + seconds", ore},
    {"minutes", "min", "0 to 59", intero, "record `orario`", minuti},
    {"seconds", "s", "0 to 59", intero, "record `orario`", minuti},
    {"name", "", "the rest of the line, no comma", "Windows-1252", "record `nome`"},
};

constexpr std::string_view in_generale = "line description, general block (after [generale], before the next header)";
constexpr std::string_view in_corpo = "line description, body (after the header that closes the general block)";
constexpr std::string_view in_treno = "train file, after [generale], in any section";

constexpr std::string_view regola_progressiva =
    "Case-sensitive: \"progressiva\" and the number word in small letters. After the general block the three "
    "records are ordered: by start, the largest in record 81; when all three start at 0, the first with a positive "
    "value (uno, then due, then tre) goes to record 81; two equal largest starts, or no positive value at all, zero "
    "all three. `dump` shows the records after this ordering.";

constexpr parola le_parole[] = {
    {"lunghezza percorso", linea, "lunghezza", "percorso", true, in_generale, "the length of the line", c_lunghezza,
     "Must come before every body entry: without it the body has no route grid and the compile fails.",
     "lunghezza percorso,    12000", z::record_fisso, 84},
    {"progressiva chilometrica tre", linea, "progressiva", "tre", false, in_generale,
     "the third kilometric progressive: the kilometre figure shown beside the track from a start on",
     c_progressiva, regola_progressiva, "progressiva chilometrica tre,    0,    120000,    0", z::record_fisso, 81},
    {"progressiva chilometrica due", linea, "progressiva", "due", false, in_generale,
     "the second kilometric progressive", c_progressiva, regola_progressiva,
     "progressiva chilometrica due,    0,    80000,    0", z::record_fisso, 81},
    {"progressiva chilometrica uno", linea, "progressiva", "uno", false, in_generale,
     "the first kilometric progressive", c_progressiva, regola_progressiva,
     "progressiva chilometrica uno,    0,    350000,    1", z::record_fisso, 81},
    {"sfondo uno", linea, "sfondo", "uno", false, in_generale, "the first background setting", c_sfondo_uno,
     "Case-sensitive.", "sfondo uno,    1", z::record_fisso, 85},
    {"sfondo due", linea, "sfondo", "due", false, in_generale, "the second background setting", c_sfondo_due,
     "Case-sensitive.", "sfondo due,    2", z::record_fisso, 85},
    {"sfondo tre", linea, "sfondo", "tre", false, in_generale, "the third background setting", c_sfondo_tre,
     "Case-sensitive.", "sfondo tre,    3", z::record_fisso, 85},
    {"ripetizione segnali", linea, "segnali", "ripetizione", false, in_generale,
     "the stretch where the cab repeats the signals", c_ripetizione,
     "Case-sensitive. The keyword itself names the number of codes: it must contain 4 or 9 (\"ripetizione "
     "segnali 4 codici\"; both: 4; neither: status 5).",
     "ripetizione segnali 4 codici,    1650,    9000", z::record_fisso, 86},
    {"pendenza", linea, "pendenza", {}, true, in_corpo, "the gradient in force from a position on", c_pendenza,
     "Entries in increasing position. Cells before the first entry with a position above 0 are level; the last "
     "three cells of the grid keep 0.",
     "pendenza,  2000,   6", z::nessuna, -1, -1, pr::pendenza},
    {"curva", linea, "curva", {}, true, in_corpo, "a curve of the track's plan view", c_curva,
     "The keyword field carries the class, the first of the digits 1 to 6 it holds (radius 10000, 5000, 2500, "
     "1000, 500 or 333 m; no digit: status 103), and the side: an \"s\" anywhere makes it a left curve, anything "
     "else a right one (\"curvas3\", \"curvad4\"). Curves in increasing start, not overlapping. Only read when the "
     "geometry is built (`compile --no-geometry` skips them and reads their values as ignored fields).",
     "curvad4,  5000,  400", z::nessuna, -1, -1, pr::geometria},
    {"montagna", linea, "montagna", {}, true, in_corpo, "a mountain stretch", c_montagna,
     "A stretch that starts 150 m or less after the previous one (in reading order) ends gets type 3. Markers go "
     "only into cells that hold nothing; a later board or signal may take a marker's cell.",
     "montagna,   5000,  6500,  11", z::nessuna, -1, 11, pr::montagna},
    {"indicatori_vmax", linea, "indicatori_v", {}, true, in_corpo, "a maximum-speed indicator board", c_indicatore,
     "One board per cell: two boards less than 50 m apart may meet in one cell (status 21).",
     "indicatori_vmax,  2500,  140,  150,  160,  0,  140,  150,  160,  0", z::nessuna, -1, 6},
    {"cartello_indicatore", linea, "cartello", "indicat", true, in_corpo, "a kilometre board and its text",
     c_cartello,
     "Board texts fill table records 80 downward and stations 1 upward; the two must not meet (status 10).",
     "cartello_indicatore,  6400,   (Km 6+400)", z::cartelli, -1, 14},

    {"percentuale massa frenata", treno, "frenata", "massa", true, in_treno,
     "the braked-mass percentage of the train", c_massa, "", "percentuale massa frenata,    125", z::record_fisso,
     84},
    {"numero vetture", treno, "vetture", {}, true, in_treno, "the number of coaches", c_vetture, "",
     "numero vetture,    8", z::record_fisso, 84},
    {"velocita", treno, "velocit", {}, true, in_treno, "the speed limit from a position on", c_velocita,
     "Rows in increasing position; the first at 0. After the last row its speed holds to the last cells but two.",
     "velocita,    8000,    80", z::nessuna, -1, -1, pr::velocita},
    {"aderenza", treno, "aderenza", {}, true, in_treno, "the adhesion from a position on", c_aderenza,
     "Rows in increasing position; the first at 0.", "aderenza,    6000,    90", z::nessuna, -1, -1, pr::aderenza},
    {"orologio", treno, "orologio", {}, true, in_treno, "the clock at the start", c_orologio,
     "The three numbers may be separated by blanks instead of commas.", "orologio,    7   15   0",
     z::record_fisso, 86},
    {"sabbia", treno, "sabbia", {}, true, in_treno, "the sand of the train", c_sabbia, "", "sabbia,    150",
     z::record_fisso, 86},
    {"segnale", treno, "segnale", {}, true, in_treno, "a block signal", c_segnale,
     "The simulator is given the signal in its cell of the route file: each pair of digits as one number, left "
     "digit n × 10 + right digit n in `valore_n`; rapp × 10 + left kind × 3 + right kind in `valore_4`; the time in "
     "`tempo_segnale` when the left kind is 2. "
     "The four cells 2, 4, 6 and 8 before the signal's cell get approach marks (`preavviso`), (left × 3 + right) "
     "× 10 + 1 to 4, whatever they hold. A signal at 0 m puts its digits in cell 1 (m 50), where the stamps go "
     "(status 1250 or 1251). The role a signal plays for the driver (block, entry, exit, distant signal) goes "
     "with its digits as the built-in gives them: `explain signal-pattern-unknown` lists the patterns.",
     "segnale,    6500,   2, 4, 1,  0, 0,    2,  3,1,0, 0", z::nessuna, -1, 1},
    {"rallentamento", treno, "rallentamento", {}, true, in_treno, "a slowdown with its warning point", c_rallentamento,
     "The cells are tested before any is written, except the four cells before the warning point: status 20 "
     "leaves the warning, start and end cells written.",
     "rallentamento,    7000,    60,  200, 0,  1,  60", z::nessuna, -1, 3},
    {"abbattimento", treno, "abbattimento", {}, true, in_treno, "a code point: the cab-signal code changes here",
     c_abbattimento, "", "abbattimento,    8000,   180", z::nessuna, -1, 12},
    {"stazione", treno, "stazione", {}, true, in_treno, "a station: its area, stop and timetable", c_stazione,
     "Station k goes into table record k, in the order of the file; stations in increasing position. The area "
     "must start at least 350 m after the previous station's ends (status 22). For kinds below 25 the stop cell "
     "(kind 10, `valore_1` the record) is end / 50 - 1, and its four cells before get approach marks 81 to 84; a "
     "stop cell needs an end beyond 100 m (status 24). Stop cells and marks are written whatever the cells hold, "
     "so signals and slowdowns must keep off them. The name is the rest of the line: a comma cuts it. The "
     "simulator is given the station in its record of the table file: kind, area, position, fields 4 to 13 as "
     "read (5 and 6 as the table says), the time as seconds of the day and the name.\n\n"
     "What each field does, from what the builder does with it and from the built-in scenario, the reference "
     "railway. The time is the departure, and field 13 the dwell in seconds: arrival = departure - dwell. The "
     "built-in train sheet confirms it for its eight stations with two times: ROCCAVELLA 45 s, 6:56:00, on the "
     "sheet 6.55 - 6.56; CASALTORRE 45 s, 7:12 (7.11 - 7.12); FORNOVELLA 30 s, 7:29 (7.28 - 7.29); TERRANEGRA "
     "60 s, 7:41 (7.40 - 7.41); MONTELUPARA 80 s, 8:17 (8.15 - 8.17); CERRETO ALPESTRE 30 s, 8:25 (8.24 - 8.25); "
     "PIEVE-SORANA 45 s, 8:50 (8.49 - 8.50); BORGHETTO-MARENZA 45 s, 9:08 (9.07 - 9.08). The origin VALDORA has "
     "1 s and its departure, 6:33; the terminus SARENTA 0 s and its arrival, 9:18. A station the train passes has "
     "0:00:00 and dwell 0. Kinds as the built-in uses them: 8 the origin (VALDORA, its area a whole length either "
     "side); 2 stations where the train stops (CASALTORRE, MONTELUPARA) and the terminus (SARENTA); 4 stations "
     "where it stops (ROCCAVELLA, TERRANEGRA); 12 stations, where it stops (a dwell and a time) or passes (0 and "
     "0:00:00); 22 a goods yard it passes (RIVASECCA SCALO); 28 junctions (BIVIO ...) and block posts (P.M. ...), "
     "200 m long, fields 7 to 13 all 0: kind 25 and above gets no stop cell, the cell where the train stops. Kinds "
     "5 to 7 are not used by the built-in. Fields 4, 7 to 12 and 13 are not used by the builder: it stores them "
     "as read and the simulator takes them from the table file; field 5 it only zeroes, field 6 moves a centred "
     "area's end. The rules `station-name-repeated`, `station-unnamed` and `clock-after-departure` of check "
     "read these fields.",
     "stazione,    6000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  7, 2, 0, COLLE", z::stazioni, -1, 10},
};

constexpr sezione le_sezioni[] = {
    {"[generale]", linea,
     "Required. Everything before it is skipped; the general entries follow it, up to the next header."},
    {"[curve]", linea, "Closes the general block (any header does); after it only body entries count."},
    {"[pendenze]", linea, "A heading for the reader of the file: in the body headers carry no meaning."},
    {"[montagne]", linea, "A heading only."},
    {"[cartelli]", linea, "A heading only."},
    {"[indicazioni]", linea, "A heading only."},
    {"[fine]", linea, "A heading only: the reading ends at the end of the file."},
    {"[generale]", treno, "Required: everything before it is skipped. The rows after it may come in any section."},
    {"[aderenze]", treno, "A heading only: the reader gives sections no meaning."},
    {"[vel_limite]", treno, "A heading only."},
    {"[stazioni]", treno, "A heading only."},
    {"[rallentamenti]", treno, "A heading only."},
    {"[segnali]", treno, "A heading only."},
    {"[codici]", treno, "A heading only."},
    {"[fine]", treno, "A heading only: the reading ends at the end of the file."},
};

constexpr std::string_view occupata = "the row's position";

constexpr codice i_codici[] = {
    {0, "both files were read and completed without a problem", "", ""},
    {1, "the length entry gives more than 1000000 m", "", "Shorten the line to 1000000 m at most.",
     linea, "lunghezza percorso,    1000001"},
    {2,
     "a kilometric progressive's start or value is not a multiple of 50; found once the train file has been read "
     "to its end (it replaces a pending 15)",
     "", "Give each \"progressiva\" entry a start and a value that are multiples of 50.", linea,
     "progressiva chilometrica uno,    125,    350000,    1"},
    {3, "the signal repetition's start is not a multiple of 50", "",
     "Round the start of \"ripetizione segnali\" to a multiple of 50.", linea,
     "ripetizione segnali 4 codici,    1660,    9000"},
    {4, "the signal repetition's end is not a multiple of 50", "",
     "Round the end of \"ripetizione segnali\" to a multiple of 50.", linea,
     "ripetizione segnali 4 codici,    1650,    9010"},
    {5, "the signal repetition's keyword contains neither 4 nor 9", "",
     "Write the number of codes into the keyword: \"ripetizione segnali 4 codici\" or \"... 9 codici\".", linea,
     "ripetizione segnali,    1650,    9000"},
    {6, "a kilometre board's cell (position / 50 + 1) already holds a board", occupata,
     "Move the board so that its cell differs from every other board's (50 m apart is enough).", linea,
     "cartello_indicatore,  700,   (Km 0+700)", "a speed indicator board at 700 m"},
    {7,
     "a code point's cell (position / 50) already holds an object: a signal, a slowdown's cell, a stop cell", occupata,
     "Move the code point to a free cell; `dump` lists the cells that hold objects.", treno,
     "abbattimento,    3250,   180", "a station at 3000 m, 600 m long, whose stop cell is at 3250 m"},
    {8, "a station's position is not a multiple of 50", occupata,
     "Round the station's position to a multiple of 50.", treno,
     "stazione,    6010,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE"},
    {9, "a station's length is not a multiple of 100", occupata,
     "Round the station's length to a multiple of 100.", treno,
     "stazione,    7000,  12,  650,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE"},
    {10,
     "stations and kilometre-board texts share table records 1 to 80 (stations upward, texts downward) and "
     "would meet: arises only from many stations and boards together",
     "", "Use fewer kilometre boards or fewer stations: together at most 79.", linea},
    {11,
     "the code completion found a signal less than 1000 m before a slowdown's warning point with neither a free "
     "cell nor a code point in its two cells before: arises from where signals and slowdowns stand together",
     "the signal's cell × 50", "Move the signal or the slowdown by a cell or two, so that a cell before the signal "
     "is free."},
    {12,
     "the code completion found no free cell in a group of cells ahead of a slowdown's start: arises from many "
     "objects close before a slowdown",
     "the start cell × 50", "Clear some cells before the slowdown's start (signals, boards, code points)."},
    {13,
     "the code completion found no free cell for a code point inside or after a slowdown: arises from a crowded "
     "slowdown",
     "that cell × 50", "Clear some cells inside the slowdown or ahead of the first signal after its end."},
    {15,
     "an entry's position lies beyond the route grid, which ends about 7 km past the line's length; the reader "
     "goes on as if its file ended there",
     occupata, "Keep every position within the line's length, or lengthen the line.", linea,
     "pendenza,   20000,   5"},
    {16, "a block signal's cell (position / 50 + 1) already holds an object", occupata,
     "Move the signal at least 50 m, or move what holds its cell (a station's stop cell, a slowdown).", treno,
     "segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0", "a signal at 4500 m"},
    {17, "a slowdown's warning cell ((start - 1200) / 50 + 1) already holds an object", occupata,
     "Move the slowdown so that the point 1200 m before its start is clear.", treno,
     "rallentamento,    5700,    60,  200, 0,  0,  0", "a signal at 4500 m"},
    {18, "a slowdown's start cell (start / 50 + 1) already holds an object", occupata,
     "Move the slowdown's start off the object.", treno, "rallentamento,    4500,    60,  200, 0,  0,  0",
     "a signal at 4500 m"},
    {19, "a slowdown's end cell ((start + length) / 50 + 1) already holds an object", occupata,
     "Change the slowdown's length or start so that its end misses the object.", treno,
     "rallentamento,    4300,    60,  200, 0,  0,  0", "a signal at 4500 m"},
    {20,
     "one of the four cells before a slowdown's warning point already holds an object (only with f_ta nonzero); "
     "the warning, start and end cells are already written",
     occupata, "Move the slowdown, or set its f_ta to 0.", treno, "rallentamento,    5750,    60,  200, 0,  1,  0",
     "a signal at 4500 m"},
    {21, "a speed indicator board's cell (position / 50 + 1) already holds an object", occupata,
     "Move the board so that its cell differs from every other object's (50 m apart is enough).", linea,
     "indicatori_vmax,  700,  100,  110,  115,  0,  100,  110,  115,  0", "a speed indicator board at 700 m"},
    {22, "a station's area starts less than 350 m after the previous station's area ends", occupata,
     "Move the station further on, or shorten one of the two.", treno,
     "stazione,    3600,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE",
     "a station at 3000 m, 600 m long"},
    {24, "a stopping station (kind below 25) ends 100 m or less from the start of the line", "",
     "Move the station on, lengthen it, or give it a kind of 25 or more.", treno,
     "stazione,       0,  12,  200,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, ORIGINE"},
    {25,
     "the reading failed: a number too large for its field, a row cut short by the end of the file, text where a "
     "number belongs, or a speed whose fifth does not fit a byte; `compile` says which and where",
     "", "Correct the value on the line that `compile` names.", treno, "sabbia,    70000"},
    {101, "the line description file does not exist: arises from a missing file, not from a row", "",
     "Name the file ID_linea.txt, or give `--linea`."},
    {102, "the line description has no field containing [generale]: arises from a missing header", "",
     "Put a line [generale] before the general entries."},
    {103, "a curve keyword without a class digit 1 to 6, or a geometry running past 1000000 m", "",
     "Write the class into the keyword: \"curvad4\", \"curvas3\".", linea, "curvad,  3000,  400"},
    {1250,
     "stamping: cell 1 (m 50) already holds a value where the first stamp goes, such as a signal at 0 m",
     "", "Keep objects out of the first 50 m: start signals and code points at 50 m or later.", treno,
     "segnale,       0,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {1251, "stamping: cell 1 (m 50) already holds a value where the second stamp goes", "",
     "Keep objects out of the first 50 m.", treno, "segnale,       0,   2, 0, 1,  0, 0,    2,  0,1,0, 0"},
};

std::string minuscole(std::string_view s) {
    std::string r(s);
    for (auto& c : r) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '_') c = ' ';
    }
    return r;
}

bool contiene(std::string_view campo, std::string_view parola, bool ignora) {
    if (!ignora) return campo.find(parola) != std::string_view::npos;
    return minuscole(campo).find(minuscole(parola)) != std::string::npos;
}

std::string_view nome_file(file_testo f) { return f == linea ? "line description" : "train file"; }

std::string parole_chiave(const parola& p) {
    std::string s = "\"" + std::string(p.prima) + "\"";
    if (!p.seconda.empty()) s += " and \"" + std::string(p.seconda) + "\"";
    return s + (p.ignora_maiuscole ? ", any case" : ", exactly in these letters");
}

// Code spans for Markdown, plain text for the terminal.
std::string codice_in(std::string_view s, bool md) {
    std::string r;
    if (md) r += '`';
    r += s;
    if (md) r += '`';
    return r;
}

std::string senza_accenti_gravi(std::string_view s, bool md) {
    if (md) return std::string(s);
    std::string r;
    for (char c : s)
        if (c != '`') r += c;
    return r;
}

// The values the built-in scenario gives the fields the format leaves
// without a meaning, for an author to copy knowingly.
std::string usi_senza_significato(const parola& p, bool md) {
    std::string elenco;
    for (std::size_t i = 0; i < p.campi.size(); ++i) {
        if (!p.campi[i].senza_significato) continue;
        elenco += (md ? "- " : "  ") + std::string(p.campi[i].nome) + ": ";
        const auto usi = usi_builtin(p, i);
        if (usi.empty()) elenco += "no row";
        for (std::size_t k = 0; k < usi.size(); ++k) {
            const auto& righe = usi[k].righe;
            elenco += (k == 0 ? "" : "; ") + std::to_string(usi[k].valore) + " (" + std::to_string(righe.size()) +
                      (righe.size() == 1 ? " row: line " : " rows: lines ");
            constexpr std::size_t mostrate = 6;
            for (std::size_t j = 0; j < righe.size() && j < mostrate; ++j)
                elenco += (j == 0 ? "" : ", ") + std::to_string(righe[j]);
            if (righe.size() > mostrate) elenco += ", ...";
            elenco += ")";
        }
        elenco += "\n";
    }
    if (elenco.empty()) return {};
    const bool uno = std::count_if(p.campi.begin(), p.campi.end(), [](const campo& c) { return c.senza_significato; }) == 1;
    return std::string(uno ? "The format gives this value no meaning of its own beyond its name and what the compiler "
                             "does with it, as above: what the simulator makes of it is not stated."
                           : "The format gives these values no meaning of their own beyond their names and what the "
                             "compiler does with them, as above: what the simulator makes of them is not stated.") +
           " The built-in " + std::string(nome_file(p.file)) + " (as `scenario_tool emit` writes it) uses:\n" +
           (md ? "\n" : "") + elenco + (md ? "\n" : "");
}

std::string voce_parola(const parola& p, bool md) {
    std::string s;
    auto t = [&](std::string_view x) { return senza_accenti_gravi(x, md); };
    if (md) s += "### " + std::string(p.argomento) + "\n\n";
    else s += std::string(p.argomento) + "\n";
    std::string cosa(p.cosa);
    if (!cosa.empty()) cosa[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cosa[0])));
    s += t(cosa) + ".\n";
    s += (md ? "\n" : "") + std::string("Where: ") + std::string(p.sezione) + ". Recognised: the keyword field "
         "contains " + parole_chiave(p) + ".\n";
    if (md) {
        s += "\n| # | Value | Unit | Range or values | Read as | Goes to |\n|---|---|---|---|---|---|\n";
        int n = 1;
        for (const auto& c : p.campi)
            s += "| " + std::to_string(n++) + " | " + std::string(c.nome) + " | " + std::string(c.unita) + " | " +
                 std::string(c.valori) + " | " + std::string(c.lettura) + " | " + std::string(c.destinazione) +
                 " |\n";
        s += "\n";
    } else {
        s += "Values, in order:\n";
        int n = 1;
        for (const auto& c : p.campi) {
            s += "  " + std::to_string(n++) + ". " + std::string(c.nome);
            if (!c.unita.empty()) s += " (" + std::string(c.unita) + ")";
            s += ": " + std::string(c.valori) + "; read as " + std::string(c.lettura) + "; -> " +
                 t(c.destinazione) + "\n";
        }
    }
    if (!p.regole.empty()) s += t(p.regole) + (md ? "\n\n" : "\n");
    s += t(usi_senza_significato(p, md));
    s += "Example: " + codice_in(p.esempio, md) + (md ? "\n\n" : "\n");
    return s;
}

std::string voce_codice(const codice& c, bool md) {
    std::string s;
    const std::string titolo = std::to_string(c.numero) + ": " + std::string(modello::significato_codice(c.numero));
    s += md ? "### " + titolo + "\n\n" : "status " + titolo + "\n";
    auto t = [&](std::string_view x) { return senza_accenti_gravi(x, md); };
    s += "Cause: " + t(c.causa) + ".\n";
    s += std::string(md ? "\n" : "") + "Effect: " + std::string(nome_effetto(modello::voce_del_codice(c.numero)->arresto)) + ".";
    if (!c.posizione.empty()) s += " The metre reported: " + std::string(c.posizione) + ".";
    s += "\n";
    if (!c.rimedio.empty()) s += (md ? "\n" : "") + std::string("Fix: ") + t(c.rimedio) + "\n";
    if (!c.esempio.empty()) {
        s += (md ? "\n" : "") + std::string("Example: ") + codice_in(c.esempio, md) + " in the " +
             std::string(nome_file(c.file));
        if (!c.contesto.empty()) s += ", which already holds " + std::string(c.contesto);
        s += ".\n";
    }
    if (md) s += "\n";
    return s;
}

std::string voce_errore(const strumento::errore_controllo& x, bool md) {
    const std::string nome(x.nome);
    std::string s = md ? "### " + nome + "\n\n" : "error of check " + nome + "\n";
    const std::string a_capo = md ? "\n" : "";
    s += "Finds: " + std::string(x.descrizione) + ".\n";
    s += a_capo + "Why it matters: " + std::string(x.perche) + ".\n";
    s += a_capo + "Fix: " + std::string(x.rimedio) + ".\n";
    if (md) s += "\n";
    return s;
}

std::string voce_regola(const strumento::regola_avviso& r, bool md) {
    const std::string nome(r.nome);
    std::string s = md ? "### " + nome + "\n\n" : "warning rule " + nome + "\n";
    const auto a_capo = [&] { return std::string(md ? "\n" : ""); };
    s += "Finds: " + std::string(r.descrizione) + ".\n";
    s += a_capo() + "Why it matters: " + std::string(r.perche) + ".\n";
    s += a_capo() + "Example: " + codice_in(testo::visibile(r.esempio), md) + " in the " +
         std::string(nome_file(r.file == strumento::quale_file::linea ? linea : treno)) +
         (r.prima_della_sua_voce ? ", as the first row of its keyword there" : "") + ".\n";
    s += a_capo() + "Silence it: " + codice_in("scenario_tool check --no-warn " + nome, md) + ".\n";
    if (md) s += "\n";
    return s;
}

std::string voce_sezione(const sezione& h, bool md) {
    std::string s = md ? "### " + std::string(h.intestazione) + " (" + std::string(nome_file(h.file)) + ")\n\n"
                       : std::string(h.intestazione) + " (" + std::string(nome_file(h.file)) + ")\n";
    s += std::string(h.significato) + (md ? "\n\n" : "\n");
    return s;
}

// A topic: its text, then its examples, each with what it shows.
std::string voce_tema(const tema& x, bool md) {
    std::string s = md ? "### " + std::string(x.titolo) + " (`" + std::string(x.nome) + "`)\n\n"
                       : std::string(x.titolo) + " (" + std::string(x.nome) + ")\n";
    s += senza_accenti_gravi(x.testo, md) + (md ? "\n\n" : "\n");
    if (!x.esempi.empty()) s += md ? "Examples:\n\n" : "Examples:\n";
    for (const auto& e : x.esempi) {
        // The rows as written: on lines of their own in the terminal.
        std::string righe;
        for (std::size_t da = 0; da <= e.righe.size();) {
            const std::size_t a = std::min(e.righe.find('\n', da), e.righe.size());
            const std::string riga = codice_in(e.righe.substr(da, a - da), md);
            righe += md ? (righe.empty() ? "" : " then ") + riga : "      " + riga + "\n";
            da = a + 1;
        }
        if (md) s += "- In the " + std::string(nome_file(e.file)) + ", " + righe + ": " + std::string(e.spiegazione) + ".\n";
        else s += "  in the " + std::string(nome_file(e.file)) + ":\n" + righe + "    " + std::string(e.spiegazione) + ".\n";
    }
    if (md && !x.esempi.empty()) s += "\n";
    return s;
}

constexpr std::string_view introduzione =
    "A scenario is two text files: the line description (ID_linea.txt) and the train file (ID_N-.txt). Each is "
    "read as a stream of fields: a field ends at a comma or at the end of a line, blanks before it are skipped, a "
    "number also ends at a blank, and an empty number reads as 0. A row is a keyword field followed by a fixed "
    "number of values. A keyword field is recognised when it contains the keyword anywhere, so \"curvad4\" is a "
    "curve and \"ripetizione segnali 4 codici\" a signal repetition; a field that holds no keyword is skipped. A "
    "field holding \"-\" where a keyword is expected is a comment: up to 10 in a row in the line description's "
    "general block, 2 in its body and in the train file.\n\n"
    "Positions are metres from the start of the line. The compiled route grid has one cell per 50 m, named by "
    "its index and its own metre, index × 50, as in cell 15 (m 750): an object at position p stands in cell "
    "p / 50 + 1 (signals, boards, slowdowns), a gradient, speed or adhesion change and a code point at p / 50; "
    "divisions round to the nearest, halves to even. A cell takes one object; a mountain marker gives way.\n";

}  // namespace

std::string_view nome_effetto(effetto x) {
    using e = effetto;
    switch (x) {
        case e::nessuno: return "none";
        case e::duro: return "hard: the reading of the file stops at once (the line description: the train file is "
                             "not read)";
        case e::morbido: return "soft: the reading of the file stops as if it ended there; the train file is still "
                                "read";
        case e::registrato: return "recorded: the compile goes on";
        case e::fatale: return "fatal: the compile ends and writes no compiled file";
    }
    return "";
}

std::span<const parola> parole() { return le_parole; }
std::span<const codice> codici() { return i_codici; }
std::span<const sezione> sezioni() { return le_sezioni; }

std::string_view nome_campo_record(int r, std::string_view campo) {
    struct nome {
        int record;  // 0: any station record
        std::string_view campo, testo;
    };
    static constexpr nome nomi[] = {
        {0, "tipo", "kind"},
        {0, "inizio", "area start (m)"},
        {0, "fine", "area end (m)"},
        {0, "progressiva", "position (m)"},
        {0, "campo_4", "field 4"},
        {0, "nome", "name"},
        {0, "campo_5", "field 5"},
        {0, "campo_6", "field 6"},
        {0, "campo_7", "field 7"},
        {0, "campo_8", "field 8"},
        {0, "campo_9", "field 9"},
        {0, "campo_10", "field 10"},
        {0, "campo_11", "field 11"},
        {0, "campo_12", "field 12"},
        {0, "campo_13", "field 13"},
        {0, "orario", "timetable"},
        {81, "inizio", "start (m)"},
        {81, "fine", "kilometric value (m)"},
        {81, "progressiva", "direction code"},
        {84, "inizio", "braked mass (%)"},
        {84, "fine", "line length (m)"},
        {84, "progressiva", "coaches"},
        {85, "inizio", "background one"},
        {85, "fine", "background three"},
        {85, "progressiva", "background two"},
        {85, "nome", "line identifier"},
        {85, "campo_7", "marker"},
        {85, "orario", "check code"},
        {86, "inizio", "repetition start (m)"},
        {86, "fine", "repetition end (m)"},
        {86, "progressiva", "repetition codes"},
        {86, "nome", "train number"},
        {86, "campo_7", "sand"},
        {86, "campo_10", "clock hours"},
        {86, "campo_11", "clock minutes"},
        {86, "campo_12", "clock seconds"},
    };
    const int chiave = (r == 82 || r == 83) ? 81 : (r >= 81 ? r : 0);
    if (r <= 0 || r >= 87) return {};
    for (const auto& n : nomi)
        if (n.record == chiave && n.campo == campo) return n.testo;
    return {};
}

namespace {

// The headers, keywords and topics named exactly so (small letters).
bool esatti(const std::string& a, trovati& t) {
    for (const auto& s : le_sezioni)
        if (minuscole(s.intestazione) == a) t.sezioni.push_back(&s);
    for (const auto& p : le_parole)
        if (minuscole(p.argomento) == a) t.parole.push_back(&p);
    for (const auto& x : temi())
        if (x.nome == a) t.temi.push_back(&x);
    return !t.vuoto();
}

// A header named without its brackets: "generale".
void intestazioni_tra_quadre(const std::string& a, trovati& t) {
    for (const auto& s : le_sezioni)
        if (minuscole(s.intestazione) == "[" + a + "]") t.sezioni.push_back(&s);
}

// A keyword field as written in a file, by the reader's own test; else the
// keywords it is the start of ("progressiva" gives all three).
void per_lettore(std::string_view campo, trovati& t) {
    for (const auto& p : le_parole)
        if (contiene(campo, p.prima, p.ignora_maiuscole) &&
            (p.seconda.empty() || contiene(campo, p.seconda, p.ignora_maiuscole)))
            t.parole.push_back(&p);
    if (!t.parole.empty()) return;
    const std::string a = minuscole(campo);
    for (const auto& p : le_parole)
        if (minuscole(p.argomento).starts_with(a)) t.parole.push_back(&p);
}

}  // namespace

trovati cerca(std::string_view argomento) {
    trovati t;
    const std::string a = minuscole(argomento);
    if (a.empty()) return t;
    std::int32_t numero = 0;
    const auto [fine, errore] = std::from_chars(argomento.data(), argomento.data() + argomento.size(), numero);
    if (errore == std::errc{} && fine == argomento.data() + argomento.size()) {
        for (const auto& c : i_codici)
            if (c.numero == numero) t.codici.push_back(&c);
        return t;
    }
    for (const auto& r : strumento::regole_avviso())
        if (minuscole(r.nome) == a) t.regole.push_back(&r);
    for (const auto& x : strumento::errori_controllo())
        if (x.nome == a) t.errori.push_back(&x);
    if (!t.regole.empty() || !t.errori.empty()) return t;
    if (esatti(a, t)) return t;
    for (const auto& forma : forme(a)) {
        const std::string_view altro = altro_nome_di(forma);
        if (esatti(altro.empty() ? forma : minuscole(altro), t)) return t;
    }
    intestazioni_tra_quadre(a, t);
    if (t.sezioni.empty()) per_lettore(argomento, t);
    return t;
}

trovati cerca_campo(std::string_view campo) {
    trovati t;
    const std::string a = minuscole(campo);
    if (a.empty()) return t;
    for (const auto& s : le_sezioni)
        if (minuscole(s.intestazione) == a) t.sezioni.push_back(&s);
    for (const auto& p : le_parole)
        if (minuscole(p.argomento) == a) t.parole.push_back(&p);
    intestazioni_tra_quadre(a, t);
    if (t.parole.empty() && t.sezioni.empty()) per_lettore(campo, t);
    return t;
}

std::vector<uso_builtin> usi_builtin(const parola& p, std::size_t campo) {
    std::vector<uso_builtin> usi;
    const std::span<const std::string_view> righe =
        p.file == linea ? std::span<const std::string_view>(testi_scenario::righe_linea)
                        : std::span<const std::string_view>(testi_scenario::righe_treno);
    bool dopo_generale = false;
    for (std::size_t n = 0; n < righe.size(); ++n) {
        testo::flusso_campi f{std::string(righe[n])};
        if (f.fine()) continue;
        const std::string chiave = f.leggi_testo();
        if (!dopo_generale) {
            dopo_generale = contiene(chiave, "[generale]", true);
            continue;
        }
        // The built-in files write one row per line and keep comments apart.
        if (contiene(chiave, "-", false) || !contiene(chiave, p.prima, p.ignora_maiuscole) ||
            (!p.seconda.empty() && !contiene(chiave, p.seconda, p.ignora_maiuscole)))
            continue;
        std::int64_t v = 0;
        for (std::size_t i = 0; i <= campo && i < p.campi.size(); ++i) {
            if (p.campi[i].lettura == "Windows-1252") f.leggi_testo();
            else v = f.leggi_long();
        }
        const int riga = static_cast<int>(n) + 1;
        const auto u = std::find_if(usi.begin(), usi.end(), [&](const uso_builtin& x) { return x.valore == v; });
        if (u == usi.end()) usi.push_back({v, {riga}});
        else u->righe.push_back(riga);
    }
    std::sort(usi.begin(), usi.end(), [](const uso_builtin& a, const uso_builtin& b) { return a.valore < b.valore; });
    return usi;
}

std::vector<std::string> vicini(std::string_view argomento, std::size_t quanti) {
    std::vector<std::pair<std::size_t, std::string>> tutti;
    const std::string a = minuscole(argomento);
    auto aggiungi = [&](std::string_view nome) {
        const std::string n(nome);
        if (std::none_of(tutti.begin(), tutti.end(), [&](const auto& x) { return x.second == n; }))
            tutti.emplace_back(distanza(a, minuscole(nome)), n);
    };
    for (const auto& x : temi()) aggiungi(x.nome);
    for (const auto n : tutti_gli_altri_nomi()) aggiungi(n);
    for (const auto& p : le_parole) aggiungi(p.argomento);
    for (const auto& s : le_sezioni) aggiungi(s.intestazione);
    for (const auto& r : strumento::regole_avviso()) aggiungi(r.nome);
    for (const auto& x : strumento::errori_controllo()) aggiungi(x.nome);
    // A slip of a few letters: two, or a third of the shorter of the two.
    std::erase_if(tutti, [&](const auto& x) {
        return x.first > std::max<std::size_t>(2, std::min(a.size(), x.second.size()) / 3);
    });
    std::stable_sort(tutti.begin(), tutti.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> r;
    for (std::size_t i = 0; i < tutti.size() && i < quanti; ++i) r.push_back(tutti[i].second);
    return r;
}

namespace {

std::string voci(const trovati& t, bool md) {
    std::string s;
    auto separa = [&] {
        if (!s.empty()) s += "\n";
    };
    for (const auto* x : t.temi) separa(), s += voce_tema(*x, md);
    for (const auto* p : t.parole) separa(), s += voce_parola(*p, md);
    for (const auto* h : t.sezioni) separa(), s += voce_sezione(*h, md);
    for (const auto* c : t.codici) separa(), s += voce_codice(*c, md);
    for (const auto* r : t.regole) separa(), s += voce_regola(*r, md);
    for (const auto* x : t.errori) separa(), s += voce_errore(*x, md);
    return s;
}

}  // namespace

std::string testo(const trovati& t) { return voci(t, false); }
std::string markdown(const trovati& t) { return voci(t, true); }

namespace {

std::string completo(bool md) {
    std::string s;
    auto titolo = [&](int livello, std::string_view x) {
        if (md) s += std::string(static_cast<std::size_t>(livello), '#') + " " + std::string(x) + "\n\n";
        else s += std::string(x) + "\n" + std::string(x.size(), livello == 1 ? '=' : '-') + "\n\n";
    };
    titolo(1, "Scenario reference");
    s += std::string(introduzione) + "\n";
    s += md ? "`scenario_tool explain TOPIC` prints one entry of this reference: a topic below (`explain comments`), "
              "a keyword (`explain stazione`, also `explain stazioni` or `explain station`), a header (`explain "
              "[generale]`), a warning rule of check (`explain field-count`) or a status code (`explain 21`).\n\n"
            : "scenario_tool explain TOPIC prints one entry of this reference.\n\n";
    titolo(2, "Topics");
    for (const auto& x : temi()) s += voce_tema(x, md) + (md ? "" : "\n");
    for (const auto f : {linea, treno}) {
        titolo(2, f == linea ? "Line description (ID_linea.txt)" : "Train file (ID_N-.txt)");
        titolo(3 - (md ? 0 : 1), "Section headers");
        for (const auto& h : le_sezioni)
            if (h.file == f) s += md ? "- `" + std::string(h.intestazione) + "`: " + std::string(h.significato) + "\n"
                                     : "  " + std::string(h.intestazione) + ": " + std::string(h.significato) + "\n";
        s += "\n";
        for (const auto& p : le_parole)
            if (p.file == f) s += voce_parola(p, md) + (md ? "" : "\n");
    }
    titolo(2, "Warning rules of check");
    s += senza_accenti_gravi("`scenario_tool check` also warns of rows the compiler takes without a word but that almost "
                             "always say something other than the author meant, each under the name of its rule.\n\n",
                             md);
    for (const auto& r : strumento::regole_avviso()) s += voce_regola(r, md) + (md ? "" : "\n");
    titolo(2, "Errors of check beyond the status codes");
    s += senza_accenti_gravi("`scenario_tool check` reports these under a name of their own, as it does a warning "
                             "rule; no option silences them.\n\n",
                             md);
    for (const auto& x : strumento::errori_controllo()) s += voce_errore(x, md) + (md ? "" : "\n");
    titolo(2, "Status codes");
    s += "`compile` reports the status of the compile: 0 when all went well, otherwise the code of the last problem "
         "found. A hard or soft code stops the reading of its file; the compiled files are written all the same "
         "(except after a fatal code).\n\n";
    if (!md) s = senza_accenti_gravi(s, false);
    for (const auto& c : i_codici) s += voce_codice(c, md) + (md ? "" : "\n");
    while (s.size() >= 2 && s[s.size() - 1] == '\n' && s[s.size() - 2] == '\n') s.pop_back();
    return s;
}

}  // namespace

std::string markdown_completo() { return completo(true); }
std::string testo_completo() { return completo(false); }

std::size_t distanza(std::string_view a, std::string_view b, std::size_t limite) {
    // One row of the table, kept from call to call: no allocation per pair.
    thread_local std::vector<std::size_t> riga;
    riga.resize(b.size() + 1);
    std::iota(riga.begin(), riga.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonale = riga[0];
        riga[0] = i;
        std::size_t minimo = riga[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t sopra = riga[j];
            riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonale = sopra;
            minimo = std::min(minimo, riga[j]);
        }
        // No later row has an entry below this row's least one.
        if (minimo > limite) return limite + 1;
    }
    return std::min(riga[b.size()], limite + 1);
}

}  // namespace riferimento
