// The warning rules of scenario_tool check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "check/esame.h"
#include "check/regole.h"
#include "check/regole_ferrovia.h"
#include "tests/cartella_temporanea.h"
#include "tests/check/testi_builtin.h"
#include "text/visibile.h"
#include "tools/compila.h"

namespace {

using strumento::avvisi;
using strumento::problema;
using strumento::quale_file;
using test_util::CartellaTemporanea;

// A small scenario that compiles with status 0 and gives no warning; each
// case adds one row (or a few lines) to the end of one of its files.
const std::string linea_minima =
    "[generale]\r\n"
    "lunghezza percorso,    12000\r\n"
    "progressiva chilometrica uno,    0,    350000,    1\r\n"
    "progressiva chilometrica due,    0,    0,    0\r\n"
    "progressiva chilometrica tre,    0,    0,    0\r\n"
    "sfondo uno,    1\r\n"
    "sfondo due,    0\r\n"
    "sfondo tre,    0\r\n"
    "ripetizione segnali 4 codici,    1650,    9000\r\n"
    "[curve]\r\n"
    "curvad4,  5000,  400\r\n"
    "[pendenze]\r\n"
    "pendenza,  0,   0\r\n"
    "pendenza,  4000,   6\r\n"
    "[montagne]\r\n"
    "montagna,   1000,  3000,  11\r\n"
    "[cartelli]\r\n"
    "indicatori_vmax,  2500,  140,  150,  160,  0,  140,  150,  160,  0\r\n"
    "[indicazioni]\r\n"
    "-- boards\r\n"
    "cartello_indicatore,  6400,   (Km 6+400)\r\n";

const std::string treno_minimo =
    "[generale]\r\n"
    "numero vetture,    8\r\n"
    "percentuale massa frenata,    125\r\n"
    "sabbia,    150\r\n"
    "orologio,    7   15   0\r\n"
    "[aderenze]\r\n"
    "aderenza,       0,    80\r\n"
    "[vel_limite]\r\n"
    "velocita,       0,   100\r\n"
    "velocita,    8000,    80\r\n"
    "[stazioni]\r\n"
    "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7,20, 0, VALDORA\r\n"
    "stazione,    6000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   7,30, 0, COLLE\r\n"
    "[rallentamenti]\r\n"
    "rallentamento,    7000,    60,  200, 0,  1,  60\r\n"
    "[segnali]\r\n"
    "segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\n"
    "[codici]\r\n"
    "abbattimento,    8000,   180\r\n";

int righe(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// Line number of the first added line in each file.
const int dopo_linea = righe(linea_minima) + 1;
const int dopo_treno = righe(treno_minimo) + 1;

struct scenario {
    std::string linea = linea_minima;
    std::string treno = treno_minimo;
};

scenario con(quale_file f, std::string_view aggiunta) {
    scenario s;
    (f == quale_file::linea ? s.linea : s.treno) += std::string(aggiunta) + "\r\n";
    return s;
}

// Whether a rule has its own scenario and table of cases
// (regole_percorso_test.cpp): the rows this file adds to the small scenario
// are not meant to agree with its boards and progressives.
bool con_scenario_proprio(std::string_view regola) {
    return std::any_of(strumento::regole_avviso().begin(), strumento::regole_avviso().end(),
                       [&](const auto& r) { return r.nome == regola && r.ferrovia; });
}

// Every warning check gives: the rules on the rows and those on the railway
// they describe, but for those held over a scenario of their own.
std::vector<problema> avvisi_di(const scenario& s) {
    std::vector<problema> p;
    for (auto& x : strumento::esamina(s.linea, s.treno, {"Prova", "1"}))
        if (x.livello == strumento::gravita::avviso && !con_scenario_proprio(x.regola)) p.push_back(std::move(x));
    return p;
}

// The scenario with the rows of one keyword of a file replaced by one row.
scenario senza_voce(scenario s, quale_file f, std::string_view parola, std::string_view riga) {
    std::string& t = f == quale_file::linea ? s.linea : s.treno;
    std::string r;
    bool messa = false;
    for (std::size_t a = 0, b; (b = t.find('\n', a)) != std::string::npos; a = b + 1) {
        const std::string l = t.substr(a, b + 1 - a);
        if (!l.starts_with(std::string(parola) + ",")) {
            r += l;
        } else if (!messa) {
            r += std::string(riga) + "\r\n";
            messa = true;
        }
    }
    t = r;
    return s;
}

std::string elenco(const std::vector<problema>& p) {
    std::string s;
    for (const auto& x : p)
        s += (x.file == quale_file::linea ? "linea:" : "treno:") + std::to_string(x.riga) + ": [" + x.regola + "] " +
             x.messaggio + "\n";
    return s;
}

// The status of a compile of the scenario, by the builder's own driver.
std::int32_t stato_compilazione(const scenario& s) {
    CartellaTemporanea dir;
    const auto linea = dir.percorso() / "Prova_linea.txt";
    const auto treno = dir.percorso() / "Prova_1-.txt";
    test_util::scrivi(linea, s.linea);
    test_util::scrivi(treno, s.treno);
    std::filesystem::create_directory(dir.percorso() / "uscita");
    const auto r = strumento::compila({.file_linea = linea, .file_treno = treno,
                                       .cartella_uscita = dir.percorso() / "uscita", .id = {"Prova", "1"},
                                       .geometria = true});
    if (r.outcome != strumento::esito::ok) return -1;
    return r.codice_errore;
}

TEST(RegoleAvviso, LoScenarioIncorporatoNonDaAvvisi) {
    const auto [linea, treno] = test_util::testi_builtin();
    ASSERT_GT(linea.size(), 1000u);
    ASSERT_GT(treno.size(), 1000u);
    const auto p = avvisi(linea, treno);
    EXPECT_TRUE(p.empty()) << elenco(p);
}

TEST(RegoleAvviso, LoScenarioMinimoCompilaSenzaAvvisi) {
    EXPECT_EQ(stato_compilazione({}), 0);
    const auto p = avvisi_di({});
    EXPECT_TRUE(p.empty()) << elenco(p);
}

// One rule's case: the lines added to a file, the line the warning is on
// (counted from the first added line), a text its message holds, and a close
// variant that sets off nothing.
struct caso {
    std::string_view regola;
    quale_file file;
    std::string_view aggiunta;
    int riga;
    std::string_view messaggio;
    std::string_view vicino;
    std::string_view anche = {};  // a second rule the same mistake sets off
    bool prima = false;  // the row takes the place of the file's rows of its keyword
    // A rule the close variant sets off all the same: a value at its range's
    // limit that no signal of the reference railway has, a clock after the
    // first departure.
    std::string_view vicino_anche = {};
};

using enum quale_file;

const caso casi[] = {
    {"unknown-keyword", linea, "pendenze,  5000,   6", 0, "did you mean 'pendenza'?", "pendenza,  5000,   6"},
    {"unknown-keyword", treno, "numero carrozze,    8", 0, "did you mean 'numero vetture'?", "numero vetture,    8"},
    {"unknown-keyword", linea, "curvx4,  6000,  300", 0, "unknown keyword 'curvx4'", "curvas4,  6000,  300"},
    // A keyword of the other file is told as such, not as a slip of a look-alike.
    {"unknown-keyword", treno, "pendenza,  5000,   6", 0,
     "'pendenza' is a keyword of the line description, not of the train file: the row is skipped",
     "aderenza,  5000,   60"},
    {"unknown-keyword", linea, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "'stazione' is a keyword of the train file, not of the line description", "pendenza,  5000,   6"},
    {"unknown-keyword", linea, "velocita massima,  9000,  90", 0,
     "'velocita massima' is the keyword 'velocita' of the train file, not of the line description",
     "pendenza,  9000,  9"},
    {"unknown-keyword", treno, "stazion,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "did you mean 'stazione'?", "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // Numbers with no row above them; a row continued on the next line is fine.
    {"unknown-keyword", treno, "-- signals\r\n9000,  2, 4, 1", 1, "a line of numbers",
     "segnale,    9000,   2, 4, 1,  0, 0\r\n    2,  3,1,0, 0"},
    // What the row becomes: the entry and its values under the reference's names.
    {"keyword-spelling", treno, "velocitazzz,    9000,    90", 0,
     "it is read as 'velocita', the speed limit from a position on (position=9000, speed limit=90)",
     "VELOCITA,    9000,    90"},
    {"keyword-spelling", treno, "velocit\xE0,    9000,    90", 0, "it is read as 'velocita'", "velocita,    9000,    90"},
    // The keyword field carries the curve's side and class: "destra" holds an s.
    {"keyword-spelling", linea, "curva destra 4,  6000,  300", 0,
     "'curva destra 4' holds more than the keyword: it is read as 'curva', a curve to the left of class 4 "
     "(start=6000, length=300)",
     "curvad4,  6000,  300"},
    {"keyword-spelling", linea, "Curva D5,  6000,  300", 0, "a curve to the right of class 5 (start=6000, length=300)",
     "curvad5,  6000,  300"},
    {"keyword-spelling", treno,
     "stazione di BORGO,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7,40, 0, BORGO", 0,
     "(position=10000, kind=12, length=600, field 4=0, field 5=0, field 6=0, field 7=1, field 8=1, field 9=0, "
     "field 10=4, field 11=1, field 12=1, field 13=0, hours=7, minutes=40, seconds=0, name='BORGO')",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7,40, 0, BORGO"},
    {"wrong-block", linea, "lunghezza percorso,    15000", 0, "general entry", "[curve]"},
    {"wrong-block", linea, "sfondo uno,    2", 0, "read only between [generale] and the next header", "- sfondo uno, 2"},
    {"unknown-header", treno, "[fermate]", 0, "only a heading", "[stazioni]"},
    {"unknown-header", treno, "[segnale]\r\nsegnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     // Its values are the next row's fields, shifted by the keyword read as a number.
     "so it is read as 'segnale', a block signal (position=0, left kind=9000, left digit 1=2,",
     "[segnali]\r\nsegnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"unknown-header", linea, "[curva]", 0, "read as 'curva'", "[curve]"},
    {"unknown-header", treno, "[stazion]", 0, "did you mean '[stazioni]'?", "[stazioni]"},
    {"unknown-header", linea, "[stazioni]", 0, "'[stazioni]' is a header of the train file, not of the line description",
     "[montagne]"},
    {"comment-keyword", treno, "- posizione, velocita", 0, "it is read as 'velocita'", "- posizione e velocita"},
    {"comment-keyword", treno, "- posizione, velocita\r\n    9000,    90", 0,
     "it is read as 'velocita', the speed limit from a position on (position=9000, speed limit=90)",
     "- posizione e velocita\r\nvelocita,    9000,    90", "unknown-keyword"},
    {"comment-keyword", linea, "----\r\n- rising\r\n- the gradient (pendenza) rises", 2,
     "follows 2 comment fields in a row", "- rising\r\n- the gradient (pendenza) rises"},
    {"field-count", treno,
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, SAN LORENZO, BORGO", 0,
     "stored as 'SAN LORENZO' and 'BORGO' is read as the next keyword field",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, \"SAN LORENZO, BORGO\""},
    {"field-count", treno,
     "segnale,    9000,   2, 4, 1\r\nsegnale,    9500,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     "'segnale' reads 11 values, the row holds 4: the other 7 are taken from line ",
     "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\nsegnale,    9500,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"field-count", treno, "segnale,    9000,   2, 4, 1,  0, 0,\r\n    2,  3,1,0, 0", 1,
     "'segnale' right kind is 0 at km 9.000: the comma that ends line", "segnale,    9000,   2, 4, 1,  0, 0\r\n    2,  3,1,0, 0",
     "signal-pattern-unknown"},
    // An empty value: what the driver meets first, up to the next row of its keyword or the line's end.
    {"field-count", treno, "velocita,   10000,  ,  100", 0,
     "the train is limited to 0 km/h from km 10.000 to the end of the line: an empty field reads as 0; the row "
     "holds more than the 2 values 'velocita' reads: '100' is read as the next keyword field",
     "velocita,   10000,  100"},
    {"field-count", treno, "velocita,   10000,  ,\r\nvelocita,   11000,  100", 0,
     "the train is limited to 0 km/h from km 10.000 to km 11.000: an empty field reads as 0",
     "velocita,   10000,  0\r\nvelocita,   11000,  100"},
    {"field-count", treno, "aderenza,   10000,\r\n  80", 1,
     "the adhesion is 0 from km 10.000 to the end of the line: the comma that ends line", "aderenza,   10000,  80"},
    {"field-count", treno, "abbattimento,    ,   180", 0, "the 'abbattimento' row is placed at km 0.000",
     "abbattimento,    0,   180"},
    // A speed board's side written empty is no damage: only the shift its comma made is told.
    {"field-count", linea, "indicatori_vmax,  9000,  140,  150,  160,  0,\r\n  0,  0,  0,  7", 1,
     "'7' is read as the next keyword field (the comma that ends line", "indicatori_vmax,  9000,  140,  150,  160,  0,\r\n  0,  0,  0"},
    {"field-count", treno, "aderenza,    6000,    90,   0", 0, "'0' is read as the next keyword field",
     "aderenza,    6000,    90,"},
    {"number-format", treno, "percentuale massa frenata,    87.5", 0, "'87.5' is not a whole number: it is read as 87",
     "percentuale massa frenata,    87"},
    {"number-format", linea, "cartello_indicatore,  9000.0,   (Km 9)", 0,
     "'9000.0' is not a whole number: it is read as 9000", "cartello_indicatore,  9000,   (Km 9)"},
    {"number-format", treno, "sabbia,    1.500", 0, "it is read as 1", "sabbia,    1500"},
    {"number-format", treno, "velocita,    9000,    90 km", 0, "'90 km' is read as 90, and 'km' as a field of its own",
     "velocita,    9000,    90 ", "field-count"},
    // A time written with a colon: the row comes out one value short.
    {"field-count", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7:40, 0, BORGO", 0,
     "the file ends before the last one", "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7,40, 0, BORGO",
     "number-format"},
    {"utf8-text", linea, "cartello_indicatore,  9000,   (Citt\xC3\xA0)", 0, "reads as '(Citt\xC3\x83\xC2\xA0)'",
     "cartello_indicatore,  9000,   (Citt\xE0)"},
    {"beyond-line-end", treno, "segnale,   12500,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     "beyond the line's length, 12000 m", "segnale,   11500,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    // Beyond the grid's extension the compiler stops with an error: no warning.
    {"beyond-line-end", linea, "pendenza,  15000,   2", 0, "'pendenza' at 15000", "pendenza,  20000,   2"},
    {"off-grid-position", treno, "segnale,    3020,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     "the driver meets 'segnale' as if at 3000, in cell 61 (m 3050), not at 3020: 3020 is not a multiple of 50",
     "segnale,    3050,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"off-grid-position", treno, "abbattimento,    9030,   180", 0, "as if at 9050, in cell 181 (m 9050), not at 9030",
     "abbattimento,    9000,   180"},
    {"off-grid-position", treno, "rallentamento,    9000,    60,  230, 0,  0,  0", 0,
     "the driver meets the slowdown's end (start plus length) as if at 9250, in cell 186 (m 9300), not at 9230", "rallentamento,    9000,    60,  250, 0,  0,  0"},
    {"out-of-order", linea, "pendenza,  3000,   2", 0, "the gradient is 2 per mille from km 4.050 on, not from km 3.000",
     "pendenza,  5000,   2"},
    // The row at 8000 keeps its one cell, 160 (m 8000); this row's limit holds from the next.
    {"out-of-order", treno, "velocita,    7000,    90", 0,
     "the train is limited to 90 km/h from km 8.050 on, not from km 7.000, and the row at 8000 holds for a single "
     "cell: 'velocita' at 7000 comes after the row at 8000", "velocita,    9000,    90"},
    {"out-of-order", linea, "curvas3,  5200,  300", 0, "it turns only from 5401 on", "curvas3,  5400,  300"},
    {"out-of-order", linea, "curvas3,  4000,  300", 0, "it is not laid at all", "curvas3,  7000,  300"},
    {"mountain-overlap", linea, "montagna,   2000,  3500,  1", 0, "the earlier one, 1000 to 3000",
     "montagna,   3200,  3500,  1"},
    {"indicator-speed", linea, "indicatori_vmax,  8000,  132,  150,  160,  0,  140,  150,  160,  0", 0,
     "the board at km 8.000 shows 130 and 340 km/h, not 132 and 140: the two speeds are packed as 2668, which reads "
     "back as 130 and 340",
     "indicatori_vmax,  8000,  135,  150,  160,  0,  140,  150,  160,  0"},
    {"indicator-speed", linea, "indicatori_vmax,  8000,  100,  150,  160,  0,  500,  150,  160,  0", 0,
     "shows 105 and 0 km/h, not 100 and 500", "indicatori_vmax,  8000,  100,  150,  160,  0,  495,  150,  160,  0"},
    {"speed-rounded", treno, "velocita,    9000,   132", 0,
     "the train is limited to 130 km/h, not 132, from km 9.000: speed limits are kept in steps of 5 km/h",
     "velocita,    9000,   135"},
    {"value-narrowed", treno, "aderenza,    6000,   300", 0, "the adhesion is 44 from km 6.000, not 300: 300 does not fit a byte, stored as 44",
     "aderenza,    6000,   255"},
    {"value-narrowed", treno, "rallentamento,    9000,    70000,  200, 0,  0,  0", 0,
     "the slowdown's speed reads 4464 at km 9.000, not 70000: 70000 does not fit 16 bits, stored as 4464",
     "rallentamento,    9000,    60,  200, 0,  0,  0"},
    {"value-narrowed", treno, "abbattimento,    9000,   40000", 0, "stored as -25536", "abbattimento,    9000,   -40000"},
    {"value-narrowed", linea, "montagna,   6000,  7000,  300", 0, "stored as 34", "montagna,   6000,  7000,  20"},
    {"value-narrowed", treno, "segnale,    9000,   2, 4, 1,  0, 0,    2,  12,1,0, 0", 0,
     "spills into its neighbour: stored as 52, which reads back as 5 and 2",
     "segnale,    9000,   2, 4, 1,  0, 0,    2,  9,1,0, 0", {}, false, "signal-pattern-unknown"},
    {"value-narrowed", treno, "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 300", 0, "stored as 44",
     "segnale,    9000,   1, 4, 1,  0, 0,    2,  3,1,0, 300"},
    {"times-backwards", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 25, 0, BORGO", 0,
     "earlier than the station before it, 'COLLE', 7:30:00",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // Each limit of a range from the reference, and the value just inside it.
    {"value-range", treno, "segnale,    9000,   3, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     "'segnale' left kind 3 is outside 0 to 2: it is packed as it is (left × 3 + right) into the units of cell "
     "valore_4", "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"value-range", treno, "segnale,    9000,   2, 10, 1,  0, 0,    2,  3,1,0, 0", 0,
     "'segnale' left digit 1 10 is outside 0 to 9", "segnale,    9000,   2, 9, 1,  0, 0,    2,  3,1,0, 0"},
    {"value-range", treno, "segnale,    9000,   2, 4, -1,  0, 0,    2,  3,1,0, 0", 0,
     "'segnale' left digit 2 -1 is outside 0 to 9", "segnale,    9000,   2, 4, 0,  0, 0,    2,  1,0,0, 0"},
    {"value-range", treno, "segnale,    9000,   2, 4, 1,  0, -1,    2,  3,1,0, 0", 0, "'segnale' rapp -1",
     "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"value-range", linea, "indicatori_vmax,  8000,  140,  150,  160,  10,  140,  150,  160,  0", 0,
     "'indicatori_vmax' left stripes 10 is outside 0 to 9",
     "indicatori_vmax,  8000,  140,  150,  160,  9,  140,  150,  160,  0"},
    {"value-range", linea, "indicatori_vmax,  8000,  140,  150,  160,  0,  140,  150,  160,  10", 0,
     "'indicatori_vmax' right stripes 10 is outside 0 to 9",
     "indicatori_vmax,  8000,  140,  150,  160,  0,  140,  150,  160,  9"},
    {"value-range", linea, "montagna,   6000,  7000,  21", 0, "'montagna' type 21 is outside 1 to 20",
     "montagna,   6000,  7000,  20"},
    {"value-range", linea, "montagna,   6000,  7000,  0", 0, "(0: the cells get no mountain type)",
     "montagna,   6000,  7000,  1"},
    {"time-range", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 60, 0, BORGO", 0,
     "station 'BORGO' has the time 7:60:00, no time of day (minutes run 0 to 59): it is stored as 28800 s after "
     "midnight, the time 8:00:00",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 59, 0, BORGO"},
    {"time-range", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 40, 60, BORGO", 0,
     "the time 7:41:00", "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 40, 59, BORGO"},
    {"time-range", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  24, 0, 0, BORGO", 0,
     "stored as 86400 s after midnight, past the end of the day (0:00:00 of a later day)",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  23, 59, 59, BORGO"},
    {"time-range", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  8, -1, 0, BORGO", 0,
     "stored as 28740 s after midnight, the time 7:59:00",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  8, 0, 0, BORGO"},
    {"time-range", treno, "orologio,    7   60   0", 0,
     "the clock's start time 7:60:00 is no time of day (minutes run 0 to 59): the three numbers are stored as they "
     "are", "orologio,    7   59   0", {}, false, "clock-after-departure"},
    {"time-range", treno, "orologio,    24   0   0", 0, "hours run 0 to 23", "orologio,    23   0   0"},
    {"stretch-reversed", linea, "montagna,   6000,  5000,  1", 0,
     "mountain stretch 6000 to 5000 ends before it starts: no cell gets its type", "montagna,   6000,  7000,  1"},
    // The stretch's last cell is end / 50 - 1, rounded: 6025 still reaches cell 120, 6024 does not.
    {"stretch-reversed", linea, "montagna,   6000,  6024,  1", 0, "ends inside its first cell",
     "montagna,   6000,  6025,  1"},
    {"stretch-reversed", linea, "curvas3,  7000,  0", 0, "curve at 7000 with length 0 has no metre",
     "curvas3,  7000,  1"},
    {"stretch-reversed", linea, "curvas3,  7000,  -300", 0, "ends before it starts: it turns the track nowhere",
     "curvas3,  7000,  300"},
    {"stretch-reversed", treno, "rallentamento,    9000,    60,  0, 0,  0,  0", 0,
     "ends in its own start cell: the cell is marked as a start only, the slowdown has no end",
     "rallentamento,    9000,    60,  50, 0,  0,  0"},
    {"stretch-reversed", treno, "rallentamento,    9000,    60,  -200, 0,  0,  0", 0,
     "its end is marked in cell 177 (m 8850), before its start", "rallentamento,    9000,    60,  200, 0,  0,  0"},
    {"stretch-reversed", treno, "stazione,   10000,  12,  -100,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "station 'BORGO' of length -100 has its area from 10050 to 9950, its end before its start",
     "stazione,   10000,  12,  0,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // A run's cells start at position / 50, rounded: 25 m still rounds to cell 0.
    {"run-starts-late", treno, "velocita,      26,   100", 0,
     "the train is limited to 0 km/h from km 0.000 to km 0.050: the first 'velocita' row is at 26, and the cells "
     "before it, metre 0 to 50, hold 0",
     "velocita,      25,   100", {}, true},
    {"run-starts-late", treno, "aderenza,    1000,    80", 0,
     "the adhesion is 0 from km 0.000 to km 1.000: the first 'aderenza' row is at 1000",
     "aderenza,      25,    80", {}, true},
    // The minimal line is 12000 m long, its grid 380 cells.
    {"extent-beyond-line", linea, "curvas3,  11000,  1001", 0,
     "curve from 11000 to 12001 runs past the line's end, 12000 m: its last 1 m turn the track in the geometry's "
     "extension", "curvas3,  11000,  1000"},
    // An extent from the line's end itself still runs past it; one placed a
    // metre later is beyond-line-end's alone.
    {"extent-beyond-line", linea, "curvas3,  12000,  100", 0,
     "curve from 12000 to 12100 runs past the line's end, 12000 m: its last 100 m", "curvas3,  11900,  100"},
    {"beyond-line-end", linea, "curvas3,  12001,  100", 0, "at 12001 lies beyond the line's length",
     "curvas3,  11901,  99"},
    {"extent-beyond-line", linea, "montagna,   11000,  12025,  1", 0, "its type is laid up to metre 12050",
     "montagna,   11000,  12024,  1"},
    {"extent-beyond-line", treno, "rallentamento,   11000,    60,  1050, 0,  0,  0", 0,
     "its end is marked in cell 242 (m 12100)", "rallentamento,   11000,    60,  1000, 0,  0,  0"},
    {"extent-beyond-line", treno, "stazione,   11750,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "station 'BORGO' has its area from 11450 to 12050, past the line's end, 12000 m",
     "stazione,   11700,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // A value an older rule speaks of is left to it: a negative hour is an earlier time.
    {"times-backwards", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  -1, 0, 0, BORGO", 0,
     "has the time -1:00:00, earlier than the station before it",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    {"beyond-line-end", treno, "velocita,   12500,   100", 0, "'velocita' at 12500", "velocita,      0,   100", {},
     true},
    // Names and texts as a paste from another program leaves them.
    {"hidden-character", linea, "cartello_indicatore,  9000,   (Passo\xA0" "Alto)", 0, "'(Passo<NBSP>Alto)' holds",
     "cartello_indicatore,  9000,   (Passo Alto)"},
    {"hidden-character", treno,
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BOR\xAD" "GO\x1b", 0, "'BOR<SHY>GO\\x1b'",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BOR\xC0GO"},
    // Each older rule at its limit, and just on the other side of it. The
    // minimal line is 12000 m long, its grid 380 cells: a signal is beyond
    // the grid (the compiler's 15, no warning) past 18900, a station, whose
    // area may reach 800 m past it, past 18200.
    {"beyond-line-end", treno, "segnale,   12050,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0, "'segnale' at 12050",
     "segnale,   12000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"beyond-line-end", treno, "segnale,   18900,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0, "'segnale' at 18900",
     "segnale,   18950,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"beyond-line-end", treno, "stazione,   18200,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "'stazione' at 18200", "stazione,   18250,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // 25 m off either way: the halves go to the even cell, both to 3050.
    {"off-grid-position", treno, "segnale,    3025,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0,
     "as if at 3050, in cell 62 (m 3100), not at 3025: 3025 is not a multiple of 50",
     "segnale,    3000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"off-grid-position", treno, "segnale,    3075,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0, "as if at 3050,",
     "segnale,    3100,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    {"off-grid-position", treno, "segnale,    3001,   2, 4, 1,  0, 0,    2,  3,1,0, 0", 0, "as if at 3000,",
     "segnale,    3000,   2, 4, 1,  0, 0,    2,  3,1,0, 0"},
    // One second earlier than COLLE's 7:30:00, and the same time.
    {"times-backwards", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 29, 59, BORGO", 0,
     "has the time 7:29:59, earlier than the station before it, 'COLLE', 7:30:00",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 30, 0, BORGO"},
    // A station placed past the end is beyond-line-end's alone.
    {"beyond-line-end", treno, "stazione,   12100,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO", 0,
     "'stazione' at 12100", "stazione,   11700,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, BORGO"},
    // The rules on the railway the rows describe; their limits are in regole_ferrovia_test.cpp.
    {"station-name-repeated", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE", 0,
     "the driver meets two stations named 'COLLE', at km 344.000 and at km 340.000",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE BASSO"},
    {"station-unnamed", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0,   ", 0,
     "the driver meets a station with no name at km 340.000",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0,   B"},
    {"clock-after-departure", treno, "orologio,    7   21   0", 0,
     "the train starts late: its clock starts at 7:21:00, 60 s after its departure from 'VALDORA' at km 350.000, "
     "7:20:00", "orologio,    7   20   0", {}, true},
    {"slowdown-not-slower", treno, "rallentamento,    9000,    80,  200, 0,  0,  0", 0,
     "the slowdown from km 341.000 to km 340.800 asks for 80 km/h where the train is limited to 80 km/h at most",
     "rallentamento,    9000,    75,  200, 0,  0,  0"},
    {"slowdown-end-at-station", treno, "rallentamento,    5900,    60,  200, 0,  0,  0", 0,
     "ends at km 343.850, 100 m before the stop of station 'COLLE', on its approach mark 82",
     "rallentamento,    5750,    60,  200, 0,  0,  0"},
    {"signal-on-station-marks", treno, "segnale,    6250,   2, 4, 0,  0, 0,    2,  1,0,0, 0", 0,
     "the train will not get the approach mark 81 of station 'COLLE' at km 343.800",
     "segnale,    6600,   2, 4, 0,  0, 0,    2,  1,0,0, 0"},
    {"signal-pattern-unknown", treno, "segnale,    9000,   2, 4, 1,  1, 0,    2,  3,1,0, 0", 0,
     "shows the driver a pattern (left 2: 4,1,1, right 2: 3,1,0)",
     "segnale,    9000,   2, 4, 1,  1, 0,    2,  2,1,1, 0"},
    // From COLLE at 7:30:00 the train needs 231.3 s to BORGO: 238 s is 2.9 % over it, 239 s 3.3 %.
    {"allowance-short", treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,   7,33,58, BORGO", 0,
     "the timetable gives 3 min 58 s from the previous station, 6 s more than the train's minimum of 3 min 52 s",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,   7,33,59, BORGO"},
    {"dwell-no-stop", treno, "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,   0, 0, 0, BIVIO", 0,
     "a dwell of 30 s at a station of kind 28, which has no stop cell",
     "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO"},
    // The station of kind 24 has a stop cell; a dwell of 1 s is a dwell.
    {"dwell-no-stop", treno, "stazione,   10000,  25,  200,  0, 0, 0,  0,0,0,  0,0,0,    1,   0, 0, 0, BIVIO", 0,
     "a dwell of 1 s at a station of kind 25",
     "stazione,   10000,  24,  200,  0, 0, 0,  0,0,0,  0,0,0,    1,   0, 0, 0, BIVIO"},
    {"time-no-stop", treno, "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   7,45, 0, BIVIO", 0,
     "a time at a station of kind 28, which has no stop cell: trains pass it",
     "stazione,   10000,  28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO"},
};

void PrintTo(const caso& c, std::ostream* os) { *os << c.regola << ": " << testo::visibile(c.aggiunta); }

class CasoRegola : public testing::TestWithParam<caso> {};

TEST_P(CasoRegola, ScattaEIlVicinoNo) {
    const caso& c = GetParam();
    ASSERT_TRUE(strumento::regola_esiste(c.regola));
    auto scenario_di = [&](std::string_view riga) {
        return c.prima ? senza_voce({}, c.file, riga.substr(0, riga.find(',')), riga) : con(c.file, riga);
    };
    const auto p = avvisi_di(scenario_di(c.aggiunta));
    const auto proprio = std::find_if(p.begin(), p.end(), [&](const problema& x) { return x.regola == c.regola; });
    ASSERT_NE(proprio, p.end()) << elenco(p);
    EXPECT_EQ(proprio->file, c.file);
    // A row that takes another's place stands on the line of the first it replaces.
    const std::string& minimo = c.file == linea ? linea_minima : treno_minimo;
    const std::string parola = "\n" + std::string(c.aggiunta.substr(0, c.aggiunta.find(','))) + ",";
    const int riga = c.prima ? righe(minimo.substr(0, minimo.find(parola) + 1)) + 1
                             : (c.file == linea ? dopo_linea : dopo_treno) + c.riga;
    EXPECT_EQ(proprio->riga, riga) << elenco(p);
    EXPECT_EQ(proprio->livello, strumento::gravita::avviso);
    EXPECT_NE(proprio->messaggio.find(c.messaggio), std::string::npos) << proprio->messaggio;
    EXPECT_FALSE(proprio->messaggio.empty() || proprio->messaggio.back() == '.') << proprio->messaggio;
    // Nothing else: one warning of the rule, and the second rule when the case names one.
    std::multiset<std::string> attese{std::string(c.regola)};
    if (!c.anche.empty()) attese.insert(std::string(c.anche));
    std::multiset<std::string> trovate;
    for (const auto& x : p) trovate.insert(x.regola);
    EXPECT_EQ(trovate, attese) << elenco(p);

    auto q = avvisi_di(scenario_di(c.vicino));
    if (!c.vicino_anche.empty()) {
        const auto n = std::erase_if(q, [&](const problema& x) { return x.regola == c.vicino_anche; });
        EXPECT_EQ(n, 1u) << c.vicino_anche;
    }
    EXPECT_TRUE(q.empty()) << elenco(q);
}

INSTANTIATE_TEST_SUITE_P(Regole, CasoRegola, testing::ValuesIn(casi));

// A header is offered only when it is a slip of a few letters, not any header
// of about the same length.
TEST(RegoleAvviso, UnaIntestazioneLontanaNonHaSuggerimento) {
    const auto p = avvisi_di(con(treno, "[fermate]"));
    ASSERT_EQ(p.size(), 1u) << elenco(p);
    EXPECT_EQ(p[0].messaggio.find("did you mean"), std::string::npos) << p[0].messaggio;
}

// A keyword of the other file is not offered a look-alike of this one:
// "pendenza" in the train file is no slip of "aderenza".
TEST(RegoleAvviso, UnaParolaDellAltroFileNonHaSuggerimento) {
    for (const auto& [f, riga] : {std::pair{treno, "pendenza,  5000,   6"}, std::pair{linea, "velocita,  9000,  90"},
                                  std::pair{treno, "[pendenze]"}}) {
        const auto p = avvisi_di(con(f, riga));
        ASSERT_EQ(p.size(), 1u) << elenco(p);
        EXPECT_NE(p[0].messaggio.find("not of the"), std::string::npos) << p[0].messaggio;
        EXPECT_EQ(p[0].messaggio.find("did you mean"), std::string::npos) << p[0].messaggio;
    }
}

// A row cut short takes its missing values from the lines after it: the
// rows there are named as lost, and a line that holds no row only as where
// the values come from.
TEST(RegoleAvviso, UnaRigaCortaNominaLaRigaCheSiPerde) {
    const std::string segnale = "segnale,    9500,   2, 4, 1,  0, 0,    2,  3,1,0, 0";
    struct caso {
        const char* come;
        std::string aggiunta;
        std::string atteso;  // the end of the field-count message; empty: no field-count warning
    };
    const std::string dopo = std::to_string(dopo_treno + 1);
    const caso casi[] = {
        {"the next row is lost", "segnale,    9000,   2, 4, 1\r\n" + segnale,
         "the other 7 are taken from line " + dopo + ": the row at line " + dopo +
             ", 'segnale,    9500,   2, 4, 1,  0, 0,...', is read as its values and is lost"},
        // The header gives one value (0), the row after it the other six.
        {"a header, then a row", "segnale,    9000,   2, 4, 1\r\n[segnali]\r\n" + segnale,
         "the other 7 are taken from line " + dopo + " and after: the row at line " + std::to_string(dopo_treno + 2) +
             ", 'segnale,    9500,   2, 4, 1,  0, 0,...', is read as its values and is lost"},
        {"two short rows: the second is lost to the first", "abbattimento,    9000\r\nabbattimento,    9500,   180",
         "the last one is taken from line " + dopo + ": the row at line " + dopo +
             ", 'abbattimento,    9500,   180', is read as its values and is lost"},
        {"a whole row", "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\n" + segnale, ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.come);
        const auto p = avvisi_di(con(treno, c.aggiunta));
        const auto campi = std::find_if(p.begin(), p.end(), [](const problema& x) { return x.regola == "field-count"; });
        if (c.atteso.empty()) {
            EXPECT_EQ(campi, p.end()) << elenco(p);
            continue;
        }
        ASSERT_NE(campi, p.end()) << elenco(p);
        EXPECT_EQ(campi->riga, dopo_treno);
        EXPECT_TRUE(campi->messaggio.ends_with(c.atteso)) << campi->messaggio;
    }
}

TEST(RegoleAvviso, UnaVoceDelBloccoGeneraleNelCorpoEViceversa) {
    scenario s;
    s.linea.insert(s.linea.find("sfondo uno"), "pendenza,  2000,   6\r\n");
    const auto p = avvisi_di(s);
    ASSERT_EQ(p.size(), 1u) << elenco(p);
    EXPECT_EQ(p[0].regola, "wrong-block");
    EXPECT_EQ(p[0].riga, 6);
    EXPECT_NE(p[0].messaggio.find("general block"), std::string::npos);

    scenario prima;
    prima.treno = "velocita,    0,    90\r\n" + prima.treno;
    const auto q = avvisi_di(prima);
    ASSERT_EQ(q.size(), 1u) << elenco(q);
    EXPECT_EQ(q[0].regola, "wrong-block");
    EXPECT_NE(q[0].messaggio.find("before [generale]"), std::string::npos);
}

// The rules on values point at the value itself: its column, on the line
// where a row continued on the next line holds it.
TEST(RegoleAvviso, IlValoreAlSuoPosto) {
    struct caso_colonna {
        quale_file file;
        std::string_view aggiunta;
        int riga;                   // counted from the first added line
        std::string_view prima_di;  // the text that starts at the value, on its line
    };
    const caso_colonna casi_colonna[] = {
        {treno, "segnale,    9000,   3, 4, 1,  0, 0,    2,  3,1,0, 0", 0, "3, 4, 1"},
        {treno, "segnale,    9000,   2\r\n    12, 1,  0, 0,    2,  3,1,0, 0", 1, "12, 1"},
        {treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 60, 0, BORGO", 0, "60, 0, BORGO"},
        {linea, "montagna,   6000,  5000,  1", 0, "5000,  1"},
        {treno, "rallentamento,   11000,    60,  1050, 0,  0,  0", 0, "1050, 0"},
        {linea, "indicatori_vmax,  8000,  140,  150,  160,  0,  140,  150,  160,  12", 0, "12"},
    };
    for (const auto& c : casi_colonna) {
        SCOPED_TRACE(c.aggiunta);
        const auto p = avvisi_di(con(c.file, c.aggiunta));
        ASSERT_EQ(p.size(), 1u) << elenco(p);
        EXPECT_EQ(p[0].riga, (c.file == linea ? dopo_linea : dopo_treno) + c.riga);
        std::string_view riga = c.aggiunta;
        for (int k = 0; k < c.riga; ++k) riga = riga.substr(riga.find('\n') + 1);
        EXPECT_EQ(p[0].colonna, static_cast<int>(riga.find(c.prima_di)) + 1) << p[0].messaggio;
    }
}

// The general block's rows are rewritten in place: appended, they would
// stand in the body.
TEST(RegoleAvviso, ValoriDelBloccoGenerale) {
    struct caso_generale {
        std::string_view regola;
        std::string_view vecchia, nuova, messaggio, vicina;
    };
    const caso_generale casi_generali[] = {
        {"value-range", "progressiva chilometrica due,    0,    0,    0",
         "progressiva chilometrica due,    -50,    0,    0",
         "'progressiva chilometrica due' start -50 is below 0: it is stored as it is",
         "progressiva chilometrica due,    50,    0,    0"},
        // A line of 1 m leaves every object past its end, which beyond-line-end tells.
        {"value-range", "lunghezza percorso,    12000", "lunghezza percorso,    0",
         "'lunghezza percorso' length 0 is below 1: the line has no metre of its own", "lunghezza percorso,    1"},
        {"stretch-reversed", "ripetizione segnali 4 codici,    1650,    9000",
         "ripetizione segnali 4 codici,    1650,    1650",
         "the signal repetition from 1650 to 1650 ends where it starts: table record 86 holds the two as written",
         "ripetizione segnali 4 codici,    1650,    1700"},
        {"stretch-reversed", "ripetizione segnali 4 codici,    1650,    9000",
         "ripetizione segnali 4 codici,    9000,    1650", "from 9000 to 1650 ends before it starts",
         "ripetizione segnali 4 codici,    9000,    0"},
    };
    for (const auto& c : casi_generali) {
        SCOPED_TRACE(c.nuova);
        auto con_riga = [&](std::string_view riga) {
            scenario s;
            s.linea.replace(s.linea.find(c.vecchia), c.vecchia.size(), riga);
            return s;
        };
        const auto p = avvisi_di(con_riga(c.nuova));
        ASSERT_EQ(p.size(), 1u) << elenco(p);
        EXPECT_EQ(p[0].regola, c.regola);
        EXPECT_EQ(p[0].riga, righe(linea_minima.substr(0, linea_minima.find(c.vecchia))) + 1);
        EXPECT_NE(p[0].messaggio.find(c.messaggio), std::string::npos) << p[0].messaggio;
        const auto q = avvisi_di(con_riga(c.vicina));
        EXPECT_TRUE(std::none_of(q.begin(), q.end(), [&](const problema& x) { return x.regola == c.regola; }))
            << elenco(q);
    }
}

TEST(RegoleAvviso, IRimandiPortanoAllaRigaPrecedente) {
    const auto p = avvisi_di(con(linea, "montagna,   2000,  3500,  1"));
    ASSERT_EQ(p.size(), 1u) << elenco(p);
    ASSERT_EQ(p[0].correlati.size(), 1u);
    EXPECT_EQ(p[0].correlati[0].file, linea);
    EXPECT_EQ(p[0].correlati[0].riga, 16);
    EXPECT_EQ(p[0].correlati[0].messaggio, "the earlier mountain stretch, 1000 to 3000");
    EXPECT_EQ(p[0].metro, 2000);

    const auto q = avvisi_di(con(treno, "segnale,   12500,   2, 4, 1,  0, 0,    2,  3,1,0, 0"));
    ASSERT_EQ(q.size(), 1u) << elenco(q);
    ASSERT_EQ(q[0].correlati.size(), 1u);
    EXPECT_EQ(q[0].correlati[0].file, linea);
    EXPECT_EQ(q[0].correlati[0].riga, 2);

    const auto o = avvisi_di(con(treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  7, 25, 0, BORGO"));
    ASSERT_EQ(o.size(), 1u) << elenco(o);
    ASSERT_EQ(o[0].correlati.size(), 1u);
    EXPECT_EQ(o[0].correlati[0].riga, 13);
}

TEST(RegoleAvviso, UnFileUtf8SiSegnalaUnaVoltaSola) {
    scenario s = con(treno, "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, CITT\xC3\x80\r\n"
                            "stazione,   11000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, PER\xC3\x99");
    const auto p = avvisi_di(s);
    ASSERT_EQ(p.size(), 1u) << elenco(p);
    EXPECT_EQ(p[0].regola, "utf8-text");
    EXPECT_EQ(p[0].riga, dopo_treno);
    EXPECT_EQ(p[0].colonna, 76);
}

TEST(RegoleAvviso, NomiDescrizioniEdEsempi) {
    std::set<std::string_view> nomi;
    for (const auto& r : strumento::regole_avviso()) {
        EXPECT_TRUE(nomi.insert(r.nome).second) << r.nome;
        ASSERT_FALSE(r.nome.empty());
        EXPECT_TRUE(std::all_of(r.nome.begin(), r.nome.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; }))
            << r.nome;
        EXPECT_NE(r.nome.front(), '-');
        EXPECT_NE(r.nome.back(), '-');
        EXPECT_FALSE(r.descrizione.empty()) << r.nome;
        EXPECT_FALSE(r.esempio.empty()) << r.nome;
        EXPECT_TRUE(strumento::regola_esiste(r.nome));
    }
    EXPECT_FALSE(strumento::regola_esiste("no-such-rule"));
    // Every rule of the table of cases is listed, and every listed rule has a case.
    std::set<std::string_view> con_caso;
    for (const auto& c : casi) con_caso.insert(c.regola);
    // The railway rules have their table of cases in regole_percorso_test.cpp.
    std::erase_if(nomi, con_scenario_proprio);
    EXPECT_EQ(con_caso, nomi);
}

// The author's guide's example of each rule, added to the small scenario, sets that
// rule off, and the scenario still compiles with status 0: the warnings are
// about rows the compiler takes without a word.
TEST(RegoleAvviso, OgniEsempioScattaECompila) {
    for (const auto& r : strumento::regole_avviso()) {
        if (r.ferrovia) continue;  // over a scenario of their own: regole_percorso_test.cpp
        scenario s = con(r.file, r.esempio);
        if (r.prima_della_sua_voce) s = senza_voce(s, r.file, r.esempio.substr(0, r.esempio.find(',')), r.esempio);
        const auto p = avvisi_di(s);
        EXPECT_TRUE(std::any_of(p.begin(), p.end(), [&](const problema& x) { return x.regola == r.nome; }))
            << r.nome << ": " << r.esempio << "\n" << elenco(p);
        // The comment's keyword takes its values from past the end of the file.
        if (r.nome != "comment-keyword") {
            EXPECT_EQ(stato_compilazione(s), 0) << r.nome << ": " << r.esempio;
        }
    }
}

// Anything may come in: no warning rule throws or crashes.
TEST(RegoleAvviso, RobaQualunqueNonRompeNulla) {
    std::vector<std::string> testi = {
        "",
        "\r\n\r\n\r",
        "[generale]",
        "[generale]\r\n",
        "senza generale\r\nvelocita, 0, 100\r\n",
        "[generale]\r\nlunghezza percorso, 2147483647\r\n[c]\r\npendenza, 2147483647, 5\r\n",
        "[generale]\r\nlunghezza percorso, 99999999999999999999\r\n",
        "[generale]\r\nlunghezza percorso, -5\r\n[c]\r\nsegnale, -2147483648, 2, -9, 9, 9, 9, 9, -9, 9, 9, 999\r\n",
        "[generale]\r\nvelocita, 1, 2, 3, 4, 5, 6, 7, 8\r\n\"",
        "[generale]\r\nstazione, \"\r\ncartello_indicatore, 10, \"unterminated\r\n",
        "[generale]\r\n,,,,,,,,\r\n-,-,-,-,-,-,-\r\n----\r\n----\r\n----\r\n[x]\r\n[\r\n]\r\n",
        "[generale]\r\nsegnale rallentamento stazione aderenza velocita orologio, 1, 2\r\n",
        "[generale]\r\nmontagna, 1, 2, 3\r\nmontagna, 1, 2, 3\r\ncurva1, 5, -10\r\ncurvas2, -5, 2147483647\r\n",
        std::string("[generale]\r\n\0\0\0,\xFF\xFE\x80,\xC3", 22),
    };
    // Bytes from a fixed generator, and the same mixed with keywords.
    std::uint32_t x = 12345;
    auto a_caso = [&] { return x = x * 1103515245u + 12345u, static_cast<char>((x >> 16) & 0xFF); };
    for (int n : {1, 7, 100, 5000}) {
        std::string b;
        for (int i = 0; i < n; ++i) b += a_caso();
        testi.push_back(b);
        testi.push_back("[generale]\r\nlunghezza percorso, 3000\r\n[c]\r\n" + b);
    }
    const std::string parole[] = {"segnale,", "stazione,", "pendenza,", "montagna,", "curvad4,", "velocita,",
                                  "indicatori_vmax,", "-", "\r\n", ",", " ", "70000", "-3", "[x]", "\"", "12.5", "9e9"};
    for (int k = 0; k < 50; ++k) {
        std::string b = "[generale]\r\nlunghezza percorso, 2000\r\n[curve]\r\n";
        for (int i = 0; i < 200; ++i) b += parole[static_cast<unsigned char>(a_caso()) % std::size(parole)];
        testi.push_back(b);
    }
    for (const auto& l : testi)
        for (const auto& t : {testi.front(), l, treno_minimo}) EXPECT_NO_THROW(avvisi(l, t));
    for (const auto& t : testi) EXPECT_NO_THROW(avvisi(linea_minima, t));
}

}  // namespace

namespace {

// A warning's one fix: the rule, the piece of the added row it replaces and
// with what (empty: the warning has no single fix). Applied, the warning is
// gone.
TEST(RegoleAvviso, LaCorrezioneUnicaScriveCiòCheIlCompilatoreNeFa) {
    struct caso {
        quale_file f;
        std::string riga;
        std::string regola;
        std::string vecchio;
        std::string nuovo;
    };
    const caso casi[] = {
        {quale_file::linea, "pendenzza,  6000,   3", "unknown-keyword", "pendenzza", "pendenza"},
        {quale_file::linea, "[curvee]", "unknown-header", "[curvee]", "[curve]"},
        {quale_file::treno, "velocita max,    9000,    80", "keyword-spelling", "velocita max", "velocita"},
        // 83 / 5 = 16.6, kept as 17: 85 km/h.
        {quale_file::treno, "velocita,    9000,    83", "speed-rounded", "83", "85"},
        // 5010 / 50 + 1 = 101.2, cell 101, as at 5000.
        {quale_file::treno, "segnale,    5010,   2, 4, 1,  0, 0,    2,  3,1,0, 0", "off-grid-position", "5010", "5000"},
        // A code point at p / 50: 7030 / 50 = 140.6, cell 141, as at 7050.
        {quale_file::treno, "abbattimento,    7030,   180", "off-grid-position", "7030", "7050"},
        {quale_file::treno, "velocita,    9000,    80.5", "number-format", "80.5", "80"},
        // 300 keeps its low byte: 44.
        {quale_file::treno, "aderenza,    9000,    300", "value-narrowed", "300", "44"},
        // Right speed 142: 2800 + 28.4 packs as 2828, read back as 140 and 140.
        {quale_file::linea, "indicatori_vmax,  8500,  140,  150,  160,  0,  142,  150,  160,  0", "indicator-speed",
         "142", "140"},
        // No one fix: a word after a number, a left and right speed both off.
        {quale_file::treno, "velocita,    9000,    80 kmh", "number-format", "", ""},
        {quale_file::linea, "indicatori_vmax,  8500,  142,  150,  160,  0,  142,  150,  160,  0", "indicator-speed",
         "", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        const scenario s = con(c.f, c.riga);
        const auto p = avvisi_di(s);
        const auto it = std::find_if(p.begin(), p.end(), [&](const problema& x) { return x.regola == c.regola; });
        ASSERT_NE(it, p.end()) << elenco(p);
        if (c.vecchio.empty()) {
            EXPECT_FALSE(it->rimedio) << it->rimedio->testo;
            continue;
        }
        ASSERT_TRUE(it->rimedio);
        const auto& r = *it->rimedio;
        EXPECT_EQ(r.riga, c.f == quale_file::linea ? dopo_linea : dopo_treno);
        EXPECT_EQ(r.colonna, static_cast<int>(c.riga.find(c.vecchio)) + 1);
        EXPECT_EQ(r.colonna_fine - r.colonna, static_cast<int>(c.vecchio.size()));
        EXPECT_EQ(r.testo, c.nuovo);
        std::string corretta = c.riga;
        corretta.replace(c.riga.find(c.vecchio), c.vecchio.size(), c.nuovo);
        const auto dopo = avvisi_di(con(c.f, corretta));
        EXPECT_TRUE(std::none_of(dopo.begin(), dopo.end(), [&](const problema& x) { return x.regola == c.regola; }))
            << elenco(dopo);
    }
}

}  // namespace
