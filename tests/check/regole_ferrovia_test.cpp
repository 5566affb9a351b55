// check's rules on the railway the rows describe: stations, slowdowns and
// signals by role, each at its limit and just past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "check/esame.h"
#include "check/regole_ferrovia.h"
#include "reference/ruoli_segnale.h"
#include "scenario_text/righe_builtin.h"
#include "tests/check/testi_builtin.h"
#include "text/visibile.h"

namespace {

using strumento::problema;

// A 12 km line; a train with two stations, VALDORA (departure 7:20:00) and
// COLLE at 6000 m, whose area runs from 5700 to 6300: its stop cell is 125
// (m 6250) and its approach marks 81 to 84 are cells 124 down to 121.
const std::string linea =
    "[generale]\r\n"
    "lunghezza percorso,    12000\r\n"
    "progressiva chilometrica uno,    0,    350000,    1\r\n"
    "[curve]\r\n"
    "pendenza,  0,   0\r\n";

// prima: rows before the stations; dopo: rows after them.
std::string treno(std::string_view orologio, std::string_view prima, std::string_view dopo) {
    return "[generale]\r\n"
           "numero vetture,    8\r\n"
           "orologio,    " + std::string(orologio) + "\r\n"
           "aderenza,       0,    80\r\n"
           "velocita,       0,   100\r\n"
           "velocita,    8000,    80\r\n" +
           std::string(prima) +
           "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7,20, 0, VALDORA\r\n"
           "stazione,    6000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   7,30, 0, COLLE\r\n" +
           std::string(dopo);
}

constexpr int riga_prima = 7;   // the first row of prima
constexpr int riga_colle = 8;   // COLLE's row when prima is empty
constexpr int riga_dopo = 9;    // the first row of dopo when prima is empty

std::vector<problema> avvisi_di(const std::string& l, const std::string& t) {
    std::vector<problema> p;
    for (auto& x : strumento::esamina(l, t, {"Prova", "1"}))
        if (x.livello == strumento::gravita::avviso) p.push_back(std::move(x));
    return p;
}

std::string elenco(const std::vector<problema>& p) {
    std::string s;
    for (const auto& x : p) s += std::to_string(x.riga) + ": [" + x.regola + "] " + x.messaggio + "\n";
    return s;
}

// One case: the clock and the rows added; the rule it sets off (empty: none
// at all), on which line, with a related row, and a text its message holds.
struct caso {
    std::string_view nome;
    std::string_view orologio;
    std::string_view prima;
    std::string_view dopo;
    std::string_view regola;
    int riga = 0;
    int correlata = 0;
    std::string_view messaggio = {};
};

void PrintTo(const caso& c, std::ostream* os) { *os << c.nome; }

const caso casi[] = {
    // Names compare as the driver reads them: capitals and the blanks around aside.
    {"same name", "7 15 0", "", "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE\r\n",
     "station-name-repeated", riga_dopo, riga_colle, "two stations named 'COLLE', at km 344.000 and at km 340.000"},
    {"same name read alike", "7 15 0", "",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0,  colle \r\n", "station-name-repeated",
     riga_dopo, riga_colle, "named 'colle'"},
    {"another name", "7 15 0", "",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, COLLE 2\r\n", ""},
    {"no name", "7 15 0", "", "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0,    \r\n",
     "station-unnamed", riga_dopo, 0, "a station with no name at km 340.000"},
    {"a one-letter name", "7 15 0", "",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, B\r\n", ""},
    // The clock against the first departure, VALDORA's 7:20:00.
    {"clock at the departure", "7 20 0", "", "", ""},
    {"clock a second late", "7 20 1", "", "", "clock-after-departure", 3, riga_colle - 1,
     "the train starts late: its clock starts at 7:20:01, 1 s after its departure from 'VALDORA'"},
    // Half a day after the departure is still late; more is the evening before it.
    {"clock half a day late", "19 20 0", "", "", "clock-after-departure", 3, riga_colle - 1, "43200 s after"},
    {"clock the evening before", "19 20 1", "", "", ""},
    // A slowdown against the limit in force along it: 80 from 8000 on.
    {"slowdown at the limit", "7 15 0", "", "rallentamento,    9000,    80,  200, 0,  0,  0\r\n", "slowdown-not-slower",
     riga_dopo, 6, "asks for 80 km/h where the train is limited to 80 km/h at most"},
    {"slowdown below the limit", "7 15 0", "", "rallentamento,    9000,    75,  200, 0,  0,  0\r\n", ""},
    // Across the change from 100 to 80: slower than 100 on part of it.
    {"slowdown across a change", "7 15 0", "", "rallentamento,    7800,    80,  400, 0,  0,  0\r\n", ""},
    {"slowdown across a change at the higher limit", "7 15 0", "",
     "rallentamento,    7800,   100,  400, 0,  0,  0\r\n", "slowdown-not-slower", riga_dopo, 5,
     "where the train is limited to 100 km/h at most"},
    // The end cell, (start + length) / 50 + 1: 121 is mark 84, 120 is before the marks.
    {"slowdown ending on the farthest mark", "7 15 0", "", "rallentamento,    5800,    60,  200, 0,  0,  0\r\n",
     "slowdown-end-at-station", riga_dopo, riga_colle, "200 m before the stop of station 'COLLE', on its approach mark 84"},
    {"slowdown ending before the marks", "7 15 0", "", "rallentamento,    5750,    60,  200, 0,  0,  0\r\n", ""},
    {"slowdown ending on the nearest mark", "7 15 0", "", "rallentamento,    5950,    60,  200, 0,  0,  0\r\n",
     "slowdown-end-at-station", riga_dopo, riga_colle, "50 m before the stop of station 'COLLE', on its approach mark 81"},
    // Before the station row: the stop is written over the end (after it, the compiler's 19).
    {"slowdown ending on the stop", "7 15 0", "rallentamento,    6000,    60,  200, 0,  0,  0\r\n", "",
     "slowdown-end-at-station", riga_prima, riga_colle + 1,
     "never ends for the driver: its end, at km 343.750, falls on the stop cell of station 'COLLE'"},
    // The signal's marks are 2, 4, 6 and 8 cells before its own, cell position / 50 + 1.
    {"signal whose nearest mark is on mark 84", "7 15 0", "", "segnale,    6100,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n",
     "signal-on-station-marks", riga_dopo, riga_colle, "the approach mark 84 of station 'COLLE' at km 343.950, 200 m before its stop"},
    {"signal whose nearest mark is before the marks", "7 15 0", "",
     "segnale,    6050,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n", ""},
    {"signal whose farthest mark is on mark 81", "7 15 0", "",
     "segnale,    6550,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n", "signal-on-station-marks", riga_dopo, riga_colle,
     "this signal, later in the file, writes its own approach mark 4 over it"},
    {"signal whose farthest mark is on the stop", "7 15 0", "",
     "segnale,    6600,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n", ""},
    {"signal before the station row", "7 15 0", "segnale,    6250,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n", "",
     "signal-on-station-marks", riga_prima, riga_colle + 1,
     "the train will not get this signal's approach indication 1 at km 343.800: the station 'COLLE', later in the "
     "file, writes its approach mark 81 over it"},
    // Patterns: the sides shown or dark, a digit from a role's.
    {"entry signal", "7 15 0", "", "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\n", ""},
    {"entry signal, right side of kind 1", "7 15 0", "", "segnale,    9000,   2, 4, 1,  0, 0,    1,  3,1,0, 0\r\n", ""},
    {"first left digit is free", "7 15 0", "", "segnale,    9000,   2, 9, 1,  0, 0,    2,  3,1,0, 0\r\n", ""},
    {"entry signal, one digit off", "7 15 0", "", "segnale,    9000,   2, 4, 1,  0, 0,    2,  3,1,1, 0\r\n",
     "signal-pattern-unknown", riga_dopo, 0, "(left 2: 4,1,0, right 2: 3,1,1)"},
    {"right side dark with digits", "7 15 0", "", "segnale,    9000,   2, 4, 1,  0, 0,    0,  3,1,0, 0\r\n",
     "signal-pattern-unknown", riga_dopo, 0, "right 0: 3,1,0"},
    {"left side dark", "7 15 0", "", "segnale,    9000,   0, 4, 0,  0, 0,    2,  1,0,0, 0\r\n",
     "signal-pattern-unknown", riga_dopo, 0, "left 0: 4,0,0"},
    // Out of range, the value-range rule's alone.
    {"kind out of range", "7 15 0", "", "segnale,    9000,   3, 4, 1,  0, 0,    2,  3,1,0, 0\r\n", "value-range",
     riga_dopo},
};

class CasoFerrovia : public testing::TestWithParam<caso> {};

TEST_P(CasoFerrovia, ScattaAlLimiteENonOltre) {
    const caso& c = GetParam();
    const auto p = avvisi_di(linea, treno(c.orologio, c.prima, c.dopo));
    if (c.regola.empty()) {
        EXPECT_TRUE(p.empty()) << elenco(p);
        return;
    }
    ASSERT_EQ(p.size(), 1u) << elenco(p);
    EXPECT_EQ(p[0].regola, c.regola);
    EXPECT_EQ(p[0].file, strumento::quale_file::treno);
    EXPECT_EQ(p[0].riga, c.riga) << elenco(p);
    EXPECT_NE(p[0].messaggio.find(c.messaggio), std::string::npos) << p[0].messaggio;
    if (c.correlata == 0) return;
    ASSERT_EQ(p[0].correlati.size(), 1u) << elenco(p);
    EXPECT_EQ(p[0].correlati[0].riga, c.correlata);
    EXPECT_EQ(p[0].correlati[0].file, strumento::quale_file::treno);
}

INSTANTIATE_TEST_SUITE_P(Ferrovia, CasoFerrovia, testing::ValuesIn(casi));

// The message says the damage, in kilometres, before the mechanism.
TEST(RegoleFerrovia, IlDannoPrimaDelMeccanismo) {
    for (const auto& c : casi) {
        if (c.regola.empty() || c.regola == "value-range") continue;
        const auto p = avvisi_di(linea, treno(c.orologio, c.prima, c.dopo));
        ASSERT_FALSE(p.empty()) << c.nome;
        const std::string& m = p[0].messaggio;
        const auto prima_frase = m.substr(0, m.find(". "));
        EXPECT_TRUE(std::regex_search(prima_frase, std::regex("km [0-9]+\\.[0-9]{3}"))) << c.nome << ": " << m;
        EXPECT_NE(m.find(". "), std::string::npos) << c.nome << ": " << m;
    }
}

// Every role's pattern, with its first left digit anything, gives no warning;
// changing any one of its digits 2 and 3 or of its right side's gives one
// unless the result is another role's.
TEST(RegoleFerrovia, OgniRuoloEIlSuoVicino) {
    for (const auto& r : riferimento::ruoli_segnale()) {
        const std::int64_t dx = r.destro ? 2 : 0;
        auto riga = [&](std::int64_t s2, std::int64_t s3, std::int64_t d1, std::int64_t d2, std::int64_t d3) {
            return "segnale,    9000,   2, 5, " + std::to_string(s2) + ", " + std::to_string(s3) + ", 0,    " +
                   std::to_string(dx) + ",  " + std::to_string(d1) + "," + std::to_string(d2) + "," +
                   std::to_string(d3) + ", 0\r\n";
        };
        const auto p = avvisi_di(linea, treno("7 15 0", "", riga(r.s2, r.s3, r.d1, r.d2, r.d3)));
        EXPECT_TRUE(p.empty()) << r.ruolo << ": " << elenco(p);
        const std::int64_t v[5] = {r.s2, r.s3, r.d1, r.d2, r.d3};
        for (int i = 0; i < 5; ++i) {
            std::int64_t w[5] = {v[0], v[1], v[2], v[3], v[4]};
            w[i] = (w[i] + 1) % 10;
            const bool di_un_ruolo = riferimento::ruolo_di(2, w[0], w[1], dx, w[2], w[3], w[4]).has_value();
            const auto q = avvisi_di(linea, treno("7 15 0", "", riga(w[0], w[1], w[2], w[3], w[4])));
            const bool avvisato = std::any_of(q.begin(), q.end(), [](const problema& x) {
                return x.regola == "signal-pattern-unknown";
            });
            EXPECT_NE(avvisato, di_un_ruolo) << r.ruolo << " digit " << i << "\n" << elenco(q);
        }
    }
}

// The roles come from the reference railway: each is the pattern of at
// least one signal of the built-in train file, and every signal there has one.
TEST(RegoleFerrovia, OgniRuoloHaUnSegnaleIncorporato) {
    const auto ruoli = riferimento::ruoli_segnale();
    std::vector<int> usati(ruoli.size(), 0);
    int segnali = 0;
    for (const std::string_view r : testi_scenario::righe_treno) {
        if (!r.starts_with("segnale,")) continue;
        std::vector<std::int64_t> v;
        std::string campo;
        for (const char ch : r.substr(8)) {
            if (ch == ',') {
                v.push_back(std::stoll(campo));
                campo.clear();
            } else {
                campo += ch;
            }
        }
        v.push_back(std::stoll(campo));
        ASSERT_EQ(v.size(), 11u) << r;
        ++segnali;
        const auto ruolo = riferimento::ruolo_di(v[1], v[3], v[4], v[6], v[7], v[8], v[9]);
        ASSERT_TRUE(ruolo) << r;
        for (std::size_t i = 0; i < ruoli.size(); ++i)
            if (ruoli[i].ruolo == ruolo->ruolo && ruoli[i].s2 == ruolo->s2 && ruoli[i].s3 == ruolo->s3 &&
                ruoli[i].destro == ruolo->destro && ruoli[i].d1 == ruolo->d1)
                ++usati[i];
    }
    EXPECT_EQ(segnali, 124);
    for (std::size_t i = 0; i < ruoli.size(); ++i) EXPECT_GT(usati[i], 0) << ruoli[i].ruolo << ", " << ruoli[i].dove;
}

// The reference railway, and the guide's example built on it, give none of
// these rules' warnings.
TEST(RegoleFerrovia, LoScenarioIncorporatoNonDaAvvisi) {
    const auto [l, t] = test_util::testi_builtin();
    const auto c = strumento::compila_in_memoria(l, t, {"Valdora_Sarenta", "731"});
    const auto p = strumento::avvisi_ferrovia(c, l, t);
    EXPECT_TRUE(p.empty()) << elenco(p);
    // The README's first five minutes: a board moved to 2500 m.
    const auto guida = std::regex_replace(l, std::regex("\nindicatori_vmax,  1950,"), "\nindicatori_vmax,  2500,");
    ASSERT_NE(guida, l);
    const auto q = avvisi_di(guida, t);
    EXPECT_TRUE(q.empty()) << elenco(q);
}

}  // namespace
