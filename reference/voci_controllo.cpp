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
     "a row with fewer or more values than its keyword reads: missing ones come from the next line, extra ones "
     "are read as the next row, a comma cuts a name",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, SAN LORENZO, BORGO",
     "The reader reads fields, not lines: a row short of values takes them from the next line, whose own "
     "row is then lost; surplus values are read as the next keyword field; a comma ends a name",
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
