#include "reference/voci_controllo.h"

#include <algorithm>
#include <iterator>

namespace strumento {

namespace {

constexpr regola_avviso tabella_regole[] = {
    {nome_parola_ignota,
     "a row whose keyword field matches no keyword of its file: the reader skips it without a word",
     "pendenze,  2000,   6",
     "The reader tests every keyword field against its file's keywords and drops a field that matches "
     "none; the values after it are read as further keyword fields and dropped too. The row never reaches "
     "the compiled files, and the compiler says nothing",
     quale_file::linea},
    {nome_grafia,
     "a keyword field that holds more than the keyword: it is read as the keyword it contains",
     "velocita massima,    9000,    90",
     "The reader looks for the keyword anywhere in the field and ignores the rest: harmless when the row "
     "is the one meant, but a field that holds two keywords is read as two rows, each taking its own "
     "values from the fields after it",
     quale_file::treno},
    {nome_blocco,
     "a keyword where its file does not look for it (before [generale], a general entry in the body of the line "
     "description, a body entry in its general block): the row is skipped",
     "lunghezza percorso,    15000",
     "Each part of the file is searched for its own keywords only: a row where its keyword is not looked "
     "for is dropped like an unknown field, and its values are read as keyword fields",
     quale_file::linea},
    {nome_intestazione,
     "a [section] header the format does not have: only a heading, or read as a row when it holds a keyword",
     "[fermate]",
     "The readers give headers no meaning: an invented one is only a heading, but one that contains a "
     "keyword is read as that row and takes its values from the lines after it",
     quale_file::treno},
    {nome_commento,
     "comment text that the reader tests as a keyword field (after a comma, or a third comment field in a row) "
     "and that holds a keyword: it is read as a row",
     "- posizione, velocita",
     "A field holding \"-\" is skipped only where a keyword field is expected and only a few times in a "
     "row: a comment's field that is tested as a keyword field and holds a keyword becomes a row, which "
     "takes the fields after it as its values",
     quale_file::treno},
    {nome_campi,
     "a row with fewer or more values than its keyword reads, or an empty value: missing ones come from the next "
     "line, extra ones are read as the next row, a comma cuts a name, an empty value reads as 0",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, SAN LORENZO, BORGO",
     "The reader reads fields, not lines: a row short of values takes them from the next line, whose own "
     "row is then lost; surplus values are read as the next keyword field; a comma ends a name; an empty number "
     "reads as 0, so \"velocita, 44000, , 100\" limits the train to 0 km/h from 44000 m to the next speed row (an "
     "empty right speed of a speed indicator board is the way to write a side without speeds, and no warning)",
     quale_file::treno},
    {nome_formato,
     "a number written with other characters (a decimal point, a unit, a colon): only its leading digits are read",
     "percentuale massa frenata,    87.5",
     "A number is read up to its first character that is not a digit and the rest of the field is skipped "
     "(or, after a blank, read as a field of its own): 87.5 is stored as 87, and 7:40 as 7 with the next "
     "value taken from the following field",
     quale_file::treno},
    {nome_utf8,
     "a file saved as UTF-8 with accented letters: it is read as Windows-1252, so its names come out garbled",
     "cartello_indicatore,  9000,   (Città)",
     "The readers take every byte as one Windows-1252 character: an accented letter saved as UTF-8 becomes "
     "two or three other characters in the names the compiled files carry",
     quale_file::linea},
    {nome_oltre_fine,
     "an object placed beyond the line's length but inside the route grid's extension: compiled without a word, "
     "past the end of the line",
     "segnale,   12500,   2, 4, 1,  0, 0,    2,  3,1,0, 0",
     "The route grid runs 7000 m past the line's length and the compiler places rows there without a word; "
     "only a row beyond the grid stops the reading (status 15)",
     quale_file::treno},
    {nome_fuori_griglia,
     "a board, signal, code point or slowdown not on a 50 m mark: it lands in the nearest cell, up to 25 m away",
     "segnale,    3020,   2, 4, 1,  0, 0,    2,  3,1,0, 0",
     "Each object is stored in one 50 m cell, its position / 50 rounded to the nearest (halves to even): "
     "an object off a 50 m mark is moved by up to 25 m, and two objects less than 50 m apart may meet in "
     "one cell",
     quale_file::treno},
    {nome_ordine,
     "gradient, speed, adhesion or curve rows out of position order: laid in file order, a row behind the ones "
     "before it spoils what they laid",
     "pendenza,  3000,   2",
     "Each gradient, speed or adhesion row fills the cells from where the previous row stopped up to its "
     "own cell; a row behind the previous one fills a single cell and its value takes over from there. "
     "Curves are laid from the end of the track already laid, so a curve starting inside it turns less or "
     "not at all",
     quale_file::linea},
    {nome_montagne,
     "mountain stretches that overlap: the later stretch's type replaces the earlier one's in the shared cells",
     "montagna,   2000,  3500,  1",
     "Each stretch writes its type into its cells, so in the cells two stretches share the later stretch's "
     "type holds",
     quale_file::linea},
    {nome_indicatore,
     "a speed indicator board whose packed speeds read back as other speeds: not a multiple of 5 km/h, or a right "
     "speed above 495",
     "indicatori_vmax,  8000,  132,  150,  160,  0,  140,  150,  160,  0",
     "Each pair of a board's speeds is packed into one number, left × 20 + right / 5, rounded: a speed "
     "that is not a multiple of 5 km/h, or a right speed of 500 or more, reads back from it as other "
     "speeds",
     quale_file::linea},
    {nome_velocita,
     "a speed limit that is not a multiple of 5 km/h: it is kept in steps of 5, rounded", "velocita,    9000,   132",
     "The route cells keep speed limits in units of 5 km/h, the speed / 5 rounded to the nearest (halves "
     "to even): 132 km/h is stored as 130",
     quale_file::treno},
    {nome_ristretto,
     "a value that does not fit its field and is cut to its low bits (adhesion, mountain type, signal, slowdown, "
     "code point, stripes) or a digit that spills into its neighbour in a packed signal value",
     "aderenza,    6000,   300",
     "The compiled files keep these values in 8 or 16 bits, and the compiler keeps the low bits without a "
     "word; a digit beyond 9 in a packed signal value carries into the digit before it",
     quale_file::treno},
    {nome_orari,
     "a station's timetable time earlier than the time of a station before it along the line",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  7, 25, 0, BORGO",
     "Timetable times are stored as written, in seconds of the day: a station with an earlier time than "
     "one before it along the line gives the train a timetable that runs backwards",
     quale_file::treno},
    {nome_ambito,
     "a value outside the range its reference entry gives (a signal's kind beyond 0 to 2, a digit of a packed "
     "signal or board value beyond 0 to 9, a mountain type beyond 1 to 20, a progressive's start below 0): "
     "stored as it is, where it means something else",
     "segnale,    9000,   3, 4, 1,  0, 0,    2,  3,1,0, 0",
     "The compiler stores these values as they are, alone or packed with their neighbours: outside the "
     "range the reference gives them, a value reads back as another one or as one the format gives no "
     "meaning, as the message says",
     quale_file::treno},
    {nome_ora,
     "a time whose minutes or seconds are 60 or more or whose hours are beyond the day (station timetable, "
     "clock): a station's is added up into other hours, the clock's kept as written",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 60, 0, BORGO",
     "A station's hours, minutes and seconds are added up into seconds of the day, so 7:60 is stored as "
     "8:00 and 24:00 as the next day's midnight; the clock's three numbers are stored each as written",
     quale_file::treno},
    {nome_rovescio,
     "a stretch whose end is not after its start (mountain, signal repetition, curve, slowdown, station area): "
     "nothing is laid, or its end is marked before its start",
     "montagna,   6000,  5000,  1",
     "The compiler lays a stretch from its start towards its end without comparing the two: a mountain "
     "stretch or a curve whose end is not after its start lays nothing, a slowdown marks its end before "
     "its start or not at all, a signal repetition or a station area is stored the wrong way round",
     quale_file::linea},
    {nome_inizio_tardo,
     "a speed or adhesion run whose first row in the file lies after metre 0: the cells before it hold 0, a speed "
     "limit of 0 km/h from the start of the line",
     "velocita,    1000,    90",
     "A run fills its cells from cell 0 on with the value in force, which is 0 before the run's first row: "
     "a first speed row after metre 0 leaves the cells before it with a speed limit of 0 km/h, a first "
     "adhesion row with an adhesion of 0",
     quale_file::treno, true},
    {nome_estensione,
     "a curve, mountain stretch, slowdown or station area that starts inside the line but runs past its end: "
     "its far end is compiled into the grid's extension",
     "montagna,   11000,  12500,  1",
     "Only an object's position is compared with the line; its far end may run past the line's length into "
     "the grid's 7000 m extension, and the compiler lays it there without a word",
     quale_file::linea},
    {nome_nascosto,
     "a name or text that holds a control character, a no-break space or a soft hyphen (often pasted from another "
     "program): stored in the compiled table as it is",
     "cartello_indicatore,  9000,   (Passo\xA0" "Alto)",
     "Names and texts reach the compiled table byte for byte: a character that prints as nothing, as a plain "
     "blank or acts on a screen goes to the simulator as it is, and two names that look alike differ",
     quale_file::linea},
    {nome_progressive_inizio,
     "two kilometric progressives that give figures from the same metre: one is never shown, or, at the largest "
     "start, the compiler clears all three",
     "progressiva chilometrica due,    2000,    50000,    0",
     "The compiler orders the three progressives by start, the furthest along the line in table record 81, and "
     "clears all three when that largest start is shared; two that share a smaller start (or 0, where it takes the "
     "first with a value above 0 in the order uno, due, tre) are both kept and the one it puts second is never in "
     "force. A progressive of start 0 and value 0 gives no figures and counts for none",
     quale_file::linea, true, true},
    {nome_progressive_ordine,
     "kilometric progressives whose names do not follow their starts (uno first along the line, then due, then "
     "tre): the compiler reorders them by start",
     "progressiva chilometrica due,    1000,    19000,    1",
     "The compiler orders the progressives by start whatever their names, the one furthest along the line in table "
     "record 81: a progressive named after another but starting before it is met first along the line, which the "
     "names say otherwise",
     quale_file::linea, true, true},
    {nome_codice_direzione,
     "a kilometric progressive's direction code other than 0 (figures count up along the line) or 1 (they count "
     "down): stored as it is, the figures count up",
     "progressiva chilometrica due,    9000,    11000,    2",
     "The compiler reads only code 1, for which it adds 100 to the value in the table (the mark of figures that "
     "count down); 0 and any other code are stored as they are, without that mark, and the figures count up along "
     "the line",
     quale_file::linea, true, true},
    {nome_salto_km,
     "kilometre boards where no progressive is in force whose figures jump (they change by more than the metres "
     "between the two boards, give or take 100 m) or run backwards",
     "cartello_indicatore,  1500,   (Km 25+000)",
     "Where a progressive is in force each board is held to it (km-board-text); before the first progressive's "
     "start, or on a line whose progressives are all cleared, the boards can only be held to each other: along the "
     "track the figures change by the metres run, each board within the 50 m of its cell, and keep their direction",
     quale_file::linea, false, true},
    {nome_ripetizione_fuori,
     "a signal repetition that runs past the line's end or lies before its first metre: the cab repeats signals "
     "where there is no line, or none at all",
     "ripetizione segnali 4 codici,    1650,    12050",
     "Table record 86 holds the repetition's start and end as written, without comparing them with the line: an "
     "end past the line's end is never reached, a start past it repeats nothing, a start before metre 0 repeats "
     "from the line's start. The built-in repetition runs from metre 1650 to 241000 of a 243000 m line",
     quale_file::linea, true, true},
    {nome_curva_veloce,
     "a curve the train's speed limit lets it run faster than the reference railway (the built-in scenario) runs "
     "any curve of its class: class 1 170 km/h, 2 170, 3 170, 4 150, 5 110, 6 105",
     "curvas6,  6000,  300",
     "The train file's speed limit is the speed the train may run over a curve's cells: the built-in scenario, the "
     "reference railway, runs each curve class at most at the speeds of this table (its highest speed limit over a "
     "curve of the class), and a limit above them lets the train through a tighter curve faster than the railway "
     "it comes from ever does",
     quale_file::linea, false, true},
    {nome_sopra_cartelli,
     "a stretch of one speed limit of the train above every speed (all three categories, both sides) of the speed "
     "boards in force along it",
     "velocita,    9000,    85",
     "The driver reads the line's speed from its boards while the train file alone limits the train: a stretch "
     "where the train may run faster than any board in force shows (the board before it and every board inside "
     "it) gives the driver boards that the train's limit contradicts",
     quale_file::treno, false, true},
    {nome_cartello_sopra,
     "a speed board that shows category c, the one the train follows, more than the train's limit at its cell "
     "(the built-in scenario's boards never do)",
     "indicatori_vmax,  9500,  70,  75,  85,  0,  70,  75,  85,  0",
     "A speed board shows the speeds of three train categories, a, b and c from the top; the built-in train's "
     "limit is category c's speed at every board that does not announce a lower speed ahead, and never below it. "
     "A board showing c more than the train's limit promises the driver a speed the train may not run",
     quale_file::linea, false, true},
    {nome_testo_km,
     "a kilometre board whose text gives a figure (\"Km 37+650\", \"km 37.650\", \"37,65\") more than 50 m from "
     "the kilometric progressive's figure at its position",
     "cartello_indicatore,  9000,   (Km 11+051)",
     "The board's text goes to the simulator as written, while the progressive gives the kilometre figure of every "
     "metre of the line: a board lands in a 50 m cell, and the built-in's boards differ from their progressive by 43 m at most, "
     "so a board further off than 50 m shows the driver another kilometre than the line's",
     quale_file::linea, false, true},
    {nome_stazione_ripetuta,
     "a station with the name of a station before it (blanks around it and capitals aside): the timetable shows two "
     "stations the driver cannot tell apart",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE",
     "Each station row stores its name in its own table record as written, and the compiler compares it with no "
     "other: the driver's timetable and the stops then name two places alike. The warning is at the later row, "
     "with the earlier one as its note; the names compare without the blanks around them and without regard to "
     "capitals, as the driver reads them. The built-in scenario names each of its 33 stations once",
     quale_file::treno},
    {nome_stazione_senza_nome,
     "a station whose name is empty or only blanks: the driver meets a station with no name",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0,   ",
     "The name is the rest of the row after the seconds; a row that ends there stores an empty name, and the "
     "compiler says nothing. Every station of the built-in scenario, junctions and block posts too, has a name",
     quale_file::treno},
    {nome_orologio_tardo,
     "a clock (the train's start time) after the first departure of the timetable: the train starts late",
     "orologio,    7   21   0",
     "The clock is the time of day at which the drive begins; a station's time is its departure (its arrival is the "
     "time less the dwell, field 13). The first departure is the time of the first station along the line whose "
     "time is not 0:00:00 (a station the train passes leaves it so). A clock equal to it starts the train on time "
     "(the built-in starts at 6:32:30 for a departure at 6:33:00); one second later, the train is late before it "
     "moves",
     quale_file::treno, true},
    {nome_rallentamento_inutile,
     "a slowdown whose speed is not below the train's speed limit anywhere along it: the driver is warned of a "
     "slowdown that asks nothing of him",
     "rallentamento,    9000,    80,  200, 0,  0,  0",
     "A slowdown lowers the speed only where its speed is below the limit in force. The rule compares the "
     "slowdown's speed (its first speed) with the train's speed limit in each cell from its start to its end, "
     "position / 50 rounded as the speed rows lay them, and fires when it is not below the highest of them: equal "
     "is not slower. The built-in scenario's three slowdowns ask 60, 60 and 40 km/h where the train runs at 140, "
     "105 and 170",
     quale_file::treno},
    {nome_rallentamento_in_stazione,
     "a slowdown whose end falls on a station's stop cell (the slowdown never ends) or on one of the four "
     "approach marks before it (it ends where the train brakes for the stop)",
     "rallentamento,    5900,    60,  200, 0,  0,  0",
     "A station of a kind below 25 writes its stop cell (end / 50 - 1) and, kinds 5 and 6 aside, approach marks 81 "
     "to 84 into the four cells before it, whatever they hold. A slowdown's end cell that the station row, later "
     "in the file, makes its stop cell loses the end: the slowdown never ends (the other order is the compiler's "
     "status 19). An end on an approach mark, 50 to 200 m before the stop, ends the slowdown where the train "
     "brakes for the stop. None of the built-in slowdowns ends within 1 km of a station",
     quale_file::treno},
    {nome_segnale_su_marche,
     "a signal whose approach marks (2, 4, 6 and 8 cells before it) fall on a station's approach marks: the later "
     "row overwrites the earlier's, and the train misses that approach indication",
     "segnale,    6250,   2, 4, 0,  0, 0,    2,  1,0,0, 0",
     "A cell keeps one approach mark. A signal writes its marks into the cells 2, 4, 6 and 8 before its own and a "
     "station of a kind below 25 (5 and 6 aside) into the four cells before its stop cell, each whatever the cells "
     "hold, so the row later in the file wins: either the train misses the station's approach mark 81 to 84 there "
     "or the signal's approach indication. A signal whose cell lies from 2 cells before a station's stop cell to 7 "
     "cells after it meets one; the built-in's nearest signal stands 350 m after its station's area",
     quale_file::treno},
    {nome_segnale_ignoto,
     "a signal whose digits match no role of the reference railway (block, entry, exit, distant signal)",
     "segnale,    9000,   2, 4, 1,  1, 0,    2,  3,1,0, 0",
     "The built-in scenario gives each role its own digits; a pattern none of them has shows the driver something "
     "no signal of the reference railway shows. A pattern is the left side shown (kind 1 or 2) with its digits 2 "
     "and 3, and the right side, shown (kind 1 or 2) with its three digits or dark (kind 0, digits 0); the first "
     "left digit (2 to 5 in the built-in), rapp and the time are no part of it. The roles, from where the built-in "
     "places them: block signal, left x,0,0 with right 1,0,0 or dark, on the open line; entry signal, left x,1,0 "
     "with right 3,1,0, or left x,3,1 with right dark, 350 to 550 m before a station's area; exit signal, left "
     "x,1,1 with right 2,1,1, or left x,1,0 with right 2,1,0, 350 to 600 m after a station's area; distant "
     "signal, left x,4,0 with right dark, 1200 m before an entry signal. Kinds and digits outside their ranges "
     "are value-range's",
     quale_file::treno},
    {nome_margine,
     "a timed station reached from the timed station before it with less margin over the train's minimum running "
     "time than the minimum allowance (3 % of that time)",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,   7,33,58, BORGO",
     "The timetable keeps an allowance over the technical running time for the small losses of every run (UIC "
     "leaflet 451-1's practice): a time with less is one that a driver loses at the first caution, and the "
     "simulator judges the driver by it. `scenario_tool run` shows the minimum and the margin of every leg",
     quale_file::treno},
    {nome_sosta_senza_fermata,
     "a dwell (field 13) at a station of kind 25 or above, which has no stop cell: trains pass it",
     "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,   0, 0, 0, BIVIO",
     "The train reader writes a stop cell only for kinds below 25: at a junction or a block post the train is "
     "never stopped, so the dwell is never made and the times after it are kept with time to spare",
     quale_file::treno},
    {nome_orario_senza_fermata,
     "a time at a station of kind 25 or above, which has no stop cell: it is a passing time, not a departure",
     "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   7,45, 0, BIVIO",
     "A station row's time is the train's departure, after its dwell; a station of kind 25 or above has no stop "
     "cell, so the train only passes it and the time is when it passes. Leave the time at 0:00:00 unless a "
     "passing time is meant",
     quale_file::treno},
};

constexpr errore_controllo tabella_errori[] = {
    {errore_codifica, "a file saved as UTF-16, with or without a byte-order mark",
     "The readers take every byte as one Windows-1252 character: in UTF-16 every other byte is zero, so no "
     "keyword and no [generale] is ever found and none of the file's rows is read (the line description ends with "
     "status 102, the train file is skipped without a word)",
     "save the file as Windows-1252 (\"ANSI\" in Windows editors)"},
    {errore_generale,
     "a file in which the readers find no field holding [generale]: the line description's status 102 is told at "
     "its line 1, the train file gets this error",
     "Everything before the first field holding [generale] is skipped: the train reader reads nothing of such a "
     "file and the compile ends with status 0, no station, speed or signal. The header is found in any case "
     "([GENERALE] is read) and anywhere in a field, but [general] or [ generale] is not it",
     "write [generale] on a line of its own before the first row"},
    {errore_timbri,
     "an object in cell 1 (m 50), such as a signal at metre 0, whose first two values are zero",
     "The compiler stamps its marker and check code into cell 1's first two values; a nonzero value there is a "
     "conflict (1250, 1251) and nothing is written, but zero values are taken without a word, so the compiled "
     "files give the object the marker and the check code in place of its own values",
     "place the object further along the line"},
    {errore_tempo_di_corsa,
     "a timed station reached from the timed station before it in less than the train's minimum running time",
     "The train's run (`scenario_tool run`: the limits and slowdowns, braking from the braked-mass percentage, "
     "the effort of a train of that many coaches) cannot cover the leg in the time the two rows give, the dwells "
     "between included: the driver is judged late however well the train is driven",
     "give the later station a later time, or the earlier one an earlier time"},
};

}  // namespace

std::span<const errore_controllo> errori_controllo() { return tabella_errori; }

std::span<const regola_avviso> regole_avviso() { return tabella_regole; }

bool regola_esiste(std::string_view nome) {
    return std::any_of(std::begin(tabella_regole), std::end(tabella_regole),
                       [&](const regola_avviso& r) { return r.nome == nome; });
}

}  // namespace strumento
