// The rules on the railway the rows describe: progressives, the signal
// repetition, curves and speed, boards and limits, over a small scenario of
// their own whose rows agree with one another as the built-in's do.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "check/esame.h"
#include "check/linea_percorsa.h"
#include "check/regole_curve.h"
#include "memory_compile/compilazione.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "tests/check/testi_builtin.h"
#include "tools/compila.h"

namespace {

using strumento::problema;
using strumento::quale_file;
using enum strumento::quale_file;

// Lines 1 to 19; the first progressive starts at metre 2000, so the board at
// 500 stands where none is in force. The train follows the boards' category
// c: 110 km/h from 0, 80 from 8000 (the board at 7950 is in cell 160, as the
// speed row at 8000).
const std::string linea_base =
    "[generale]\r\n"
    "lunghezza percorso,    12000\r\n"
    "progressiva chilometrica uno,    2000,    18000,    1\r\n"
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
    "[cartelli]\r\n"
    "indicatori_vmax,  700,  100,  105,  110,  0,  100,  105,  110,  0\r\n"
    "indicatori_vmax,  7950,  70,  75,  80,  0,  70,  75,  80,  0\r\n"
    "[indicazioni]\r\n"
    "cartello_indicatore,  500,   (Km 19+500)\r\n"
    "cartello_indicatore,  6400,   (Km 13+600)\r\n";

// Lines 1 to 15.
const std::string treno_base =
    "[generale]\r\n"
    "numero vetture,    8\r\n"
    "percentuale massa frenata,    125\r\n"
    "sabbia,    150\r\n"
    "orologio,    7   15   0\r\n"
    "[aderenze]\r\n"
    "aderenza,       0,    80\r\n"
    "[vel_limite]\r\n"
    "velocita,       0,   110\r\n"
    "velocita,    8000,    80\r\n"
    "[stazioni]\r\n"
    "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7,20, 0, VALDORA\r\n"
    "stazione,    6000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   7,30, 0, COLLE\r\n"
    "[segnali]\r\n"
    "segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\n";

constexpr int dopo_linea = 20;
constexpr int dopo_treno = 16;

struct coppia {
    std::string linea = linea_base;
    std::string treno = treno_base;
};

// One change to a file: a row added at its end, or the first row of a
// keyword (up to its first comma) replaced in its place.
struct modifica {
    quale_file file;
    std::string_view riga;
    bool sostituisce = false;
};

coppia modificata(std::span<const modifica> m) {
    coppia c;
    for (const auto& x : m) {
        std::string& t = x.file == linea ? c.linea : c.treno;
        if (!x.sostituisce) {
            t += std::string(x.riga) + "\r\n";
            continue;
        }
        const std::string chiave(x.riga.substr(0, x.riga.find(',') + 1));
        const auto da = t.find("\n" + chiave);
        if (da == std::string::npos) throw std::logic_error("no row " + chiave);
        const auto a = t.find("\r\n", da + 1);
        t.replace(da + 1, a - da - 1, std::string(x.riga));
    }
    return c;
}

std::vector<problema> problemi(const coppia& c) {
    return strumento::esamina(c.linea, c.treno, strumento::identificativi{"Prova", "1"});
}

bool della_ferrovia(const problema& p) {
    const auto r = strumento::regole_avviso();
    return std::any_of(r.begin(), r.end(), [&](const auto& x) { return x.ferrovia && x.nome == p.regola; });
}

std::string elenco(const std::vector<problema>& p) {
    std::string s;
    for (const auto& x : p)
        s += (x.file == linea ? "linea:" : "treno:") + std::to_string(x.riga) + ": [" + x.regola + "] " +
             x.messaggio + "\n";
    return s;
}

std::int32_t stato_compilazione(const coppia& c) {
    test_util::CartellaTemporanea dir;
    const auto l = dir.percorso() / "Prova_linea.txt";
    const auto t = dir.percorso() / "Prova_1-.txt";
    test_util::scrivi(l, c.linea);
    test_util::scrivi(t, c.treno);
    std::filesystem::create_directory(dir.percorso() / "uscita");
    const auto r = strumento::compila({.file_linea = l, .file_treno = t, .cartella_uscita = dir.percorso() / "uscita",
                                       .id = {"Prova", "1"}, .geometria = true});
    if (r.outcome != strumento::esito::ok) return -1;
    return r.codice_errore;
}

TEST(RegolePercorso, LaCoppiaDiBaseNonDaProblemi) {
    const auto p = problemi(coppia{});
    EXPECT_TRUE(p.empty()) << elenco(p);
    EXPECT_EQ(stato_compilazione(coppia{}), 0);
}

// The reference railway itself, and the guide's first five minutes: the
// built-in pair under new names with the board of metre 1950 moved to 2500.
TEST(RegolePercorso, LoScenarioIncorporatoEQuelloDellaGuidaNonDannoProblemi) {
    const auto [l, t] = test_util::testi_builtin();
    const auto p = problemi({l, t});
    EXPECT_TRUE(p.empty()) << elenco(p);
    std::string spostata = l;
    const auto i = spostata.find("\nindicatori_vmax,  1950,");
    ASSERT_NE(i, std::string::npos);
    spostata.replace(i, 24, "\nindicatori_vmax,  2500,");
    const auto g = strumento::esamina(spostata, t, strumento::identificativi{"Collina", "42"});
    EXPECT_TRUE(g.empty()) << elenco(g);
}

// The table of speeds per curve class is the built-in scenario's.
TEST(RegolePercorso, LaTabellaDelleCurveEQuellaDelloScenarioIncorporato) {
    const auto [l, t] = test_util::testi_builtin();
    const auto c = strumento::compila_in_memoria(l, t, strumento::identificativi{"Valdora_Sarenta", "731"});
    EXPECT_EQ(strumento::regole_ferrovia::velocita_per_classe(c.finale.modello),
              strumento::regole_ferrovia::velocita_riferimento);
}

TEST(RegolePercorso, IlChilometroDiUnCartello) {
    using strumento::regole_ferrovia::km_del_testo;
    const struct {
        std::string_view testo;
        std::optional<std::int64_t> km;
    } casi[] = {
        {"(Km 37+650)", 37650},      {"km 37.650", 37650},        {"37,65", 37650},
        {"\"37,65\"", 37650},        {"( Km 274+204)", 274204},   {"(Torrente) (Km 314+347)", 314347},
        {"KM. 5", 5000},             {"km 0+050", 50},            {"37+650", 37650},
        {"(Torrente)", std::nullopt}, {"Galleria 2", std::nullopt}, {"", std::nullopt},
        {"km", std::nullopt},        {"37", std::nullopt},
    };
    for (const auto& c : casi) EXPECT_EQ(km_del_testo(c.testo), c.km) << c.testo;
    EXPECT_EQ(strumento::regole_ferrovia::km_scritto(345600), "km 345+600");
    EXPECT_EQ(strumento::regole_ferrovia::km_scritto(-50), "km -0+050");
}

struct caso {
    std::string_view regola;
    std::vector<modifica> modifiche;
    // Where it fires, and the row it names as the one it contradicts (0:
    // none); riga 0: it does not fire.
    quale_file file = linea;
    int riga = 0;
    int correlata = 0;
    std::string_view nel_messaggio = {};
};

// Each rule at its limit, where it is silent, and just past it.
const caso casi[] = {
    // Two progressives from the largest start: all three cleared; the next start along is another's.
    {"progressive-same-start", {{linea, "progressiva chilometrica due,    2000,    50000,    0", true}}, linea, 4, 3,
     "sees no kilometre figure"},
    {"progressive-same-start", {{linea, "progressiva chilometrica due,    2050,    50000,    0", true}}},
    // Two from a smaller start: the one the compiler puts second is never shown.
    {"progressive-same-start",
     {{linea, "progressiva chilometrica due,    1000,    19000,    1", true},
      {linea, "progressiva chilometrica tre,    1000,    30000,    0", true}},
     linea, 5, 4, "never sees the figures of progressive tre"},
    // A progressive of start 0 and value 0 gives no figures.
    {"progressive-same-start", {{linea, "progressiva chilometrica due,    0,    0,    1", true}}},
    {"progressive-order", {{linea, "progressiva chilometrica due,    1950,    18050,    1", true}}, linea, 4, 3,
     "meets the figures of progressive due first"},
    {"progressive-order", {{linea, "progressiva chilometrica due,    2050,    17950,    1", true}}},
    {"direction-code", {{linea, "progressiva chilometrica due,    9000,    11000,    2", true}}, linea, 4, 0,
     "count up along the line"},
    {"direction-code", {{linea, "progressiva chilometrica due,    9000,    11000,    -1", true}}, linea, 4},
    {"direction-code", {{linea, "progressiva chilometrica due,    9000,    11000,    1", true}}},
    {"direction-code", {{linea, "progressiva chilometrica due,    9000,    11000,    0", true}}},
    // Board at 500 shows km 19+500: 1000 m on, 100 m of play either way.
    {"km-figures-jump", {{linea, "cartello_indicatore,  1500,   (Km 18+400)"}}},
    {"km-figures-jump", {{linea, "cartello_indicatore,  1500,   (Km 18+399)"}}, linea, dopo_linea, 18,
     "change by 1101 m over 1000 m"},
    {"km-figures-jump", {{linea, "cartello_indicatore,  1500,   (Km 20+600)"}}},
    {"km-figures-jump", {{linea, "cartello_indicatore,  1500,   (Km 20+601)"}}, linea, dopo_linea, 18},
    {"km-figures-jump",
     {{linea, "cartello_indicatore,  1000,   (Km 19+000)"}, {linea, "cartello_indicatore,  1500,   (Km 19+500)"}},
     linea, dopo_linea + 1, dopo_linea, "run backwards"},
    // Where a progressive is in force the boards are km-board-text's.
    {"km-figures-jump", {{linea, "cartello_indicatore,  3000,   (Km 30+000)"}}},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    1650,    12000", true}}},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    1650,    12050", true}}, linea, 9, 2,
     "never stops"},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    12050,    12100", true}}, linea, 9, 2,
     "repeats no signal"},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    0,    9000", true}}},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    -50,    9000", true}}, linea, 9, 2,
     "before the line's start"},
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    -500,    -100", true}}, linea, 9, 2},
    // An end before the start is stretch-reversed's alone.
    {"repetition-outside-line", {{linea, "ripetizione segnali 4 codici,    9000,    1650", true}}},
    // The train runs 110 km/h from metre 0: class 5's limit, 5 km/h past class 6's.
    {"curve-speed", {{linea, "curvas5,  6000,  300"}}},
    {"curve-speed", {{linea, "curvas6,  6000,  300"}}, linea, dopo_linea, 9, "at 110 km/h, above the 105 km/h"},
    {"curve-speed", {{linea, "curvas6,  6000,  300"}, {treno, "velocita,       0,   105", true}}},
    // The board at 7950 shows 80 at most.
    {"speed-above-boards", {{treno, "velocita,    9000,    80"}}},
    {"speed-above-boards", {{treno, "velocita,    9000,    85"}}, treno, dopo_treno, 16,
     "may run at 85 km/h from km 11+000 (metre 9000)"},
    // A stretch with a board inside it that allows its speed.
    {"speed-above-boards",
     {{treno, "velocita,    9000,    100"}, {linea, "indicatori_vmax,  9500,  90,  95,  100,  0,  90,  95,  100,  0"}}},
    {"board-above-train", {{linea, "indicatori_vmax,  9500,  70,  75,  80,  0,  70,  75,  80,  0"}}},
    {"board-above-train", {{linea, "indicatori_vmax,  9500,  70,  75,  85,  0,  70,  75,  85,  0"}}, linea,
     dopo_linea, 10, "shows 85 km/h for category c"},
    // Only category c counts: a and b above the train's limit are for other trains.
    {"board-above-train", {{linea, "indicatori_vmax,  9500,  90,  85,  80,  0,  90,  85,  80,  0"}}},
    {"board-above-train", {{linea, "indicatori_vmax,  9500,  70,  75,  80,  0,  70,  75,  85,  0"}}, linea,
     dopo_linea, 10},
    // The progressive gives km 11+000 at metre 9000.
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   (Km 11+050)"}}},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   (Km 11+051)"}}, linea, dopo_linea, 3,
     "reads km 11+051 on the board at metre 9000, where the progressive gives km 11+000"},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   (km 10.950)"}}},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   (km 10.949)"}}, linea, dopo_linea, 3},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   \"11,05\""}}},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   \"11,06\""}}, linea, dopo_linea, 3},
    {"km-board-text", {{linea, "cartello_indicatore,  9000,   (Galleria Rocca)"}}},
};

TEST(RegolePercorso, OgniRegolaAlSuoLimiteEAppenaOltre) {
    for (const auto& c : casi) {
        const coppia s = modificata(c.modifiche);
        const auto p = problemi(s);
        std::vector<problema> della;
        for (const auto& x : p)
            if (x.regola == c.regola) della.push_back(x);
        const std::string traccia = std::string(c.regola) + " " + std::string(c.modifiche.back().riga) + "\n" + elenco(p);
        EXPECT_EQ(stato_compilazione(s), 0) << traccia;
        if (c.riga == 0) {
            EXPECT_TRUE(della.empty()) << traccia;
            continue;
        }
        ASSERT_EQ(della.size(), 1u) << traccia;
        EXPECT_EQ(della[0].file, c.file) << traccia;
        EXPECT_EQ(della[0].riga, c.riga) << traccia;
        EXPECT_EQ(della[0].livello, strumento::gravita::avviso);
        if (c.correlata == 0) {
            EXPECT_TRUE(della[0].correlati.empty()) << traccia;
        } else {
            ASSERT_EQ(della[0].correlati.size(), 1u) << traccia;
            EXPECT_EQ(della[0].correlati[0].riga, c.correlata) << traccia;
        }
        if (!c.nel_messaggio.empty()) {
            EXPECT_NE(della[0].messaggio.find(c.nel_messaggio), std::string::npos) << traccia;
        }
    }
}

// Every railway rule has a case that fires, and its example in the rule
// table fires on the base pair, which still compiles with status 0.
TEST(RegolePercorso, OgniEsempioScattaECompila) {
    for (const auto& r : strumento::regole_avviso()) {
        if (!r.ferrovia) continue;
        EXPECT_TRUE(std::any_of(std::begin(casi), std::end(casi),
                                [&](const caso& c) { return c.regola == r.nome && c.riga > 0; }))
            << r.nome;
        const modifica m[] = {{r.file, r.esempio, r.prima_della_sua_voce}};
        const coppia s = modificata(m);
        const auto p = problemi(s);
        EXPECT_TRUE(std::any_of(p.begin(), p.end(), [&](const problema& x) { return x.regola == r.nome; }))
            << r.nome << ": " << r.esempio << "\n" << elenco(p);
        EXPECT_EQ(stato_compilazione(s), 0) << r.nome;
        for (const auto& x : p) {
            if (x.regola == r.nome) {
                EXPECT_TRUE(della_ferrovia(x));
            }
        }
    }
}

// --no-warn silences a railway rule as any other.
TEST(RegolePercorso, SiSpengonoComeLeAltre) {
    const modifica m[] = {{linea, "cartello_indicatore,  9000,   (Km 11+051)"}};
    const coppia s = modificata(m);
    const std::string spenta[] = {"km-board-text"};
    const auto p = strumento::esamina(s.linea, s.treno, strumento::identificativi{"Prova", "1"}, spenta);
    EXPECT_TRUE(std::none_of(p.begin(), p.end(), [](const problema& x) { return x.regola == "km-board-text"; }));
}

// check as the author runs it, on a pair with one planted fault of each
// family: each at its row, with the row it contradicts.
TEST(RegolePercorso, CheckLiRiportaAllaLoroRiga) {
    const std::filesystem::path d = FERROVIA_DIR;
    const auto e = test_util::esegui({SCENARIO_TOOL_PATH, "check", "--json", (d / "Ferrovia_linea.txt").string(),
                                      (d / "Ferrovia_5-.txt").string()});
    EXPECT_EQ(e.stato, 1) << e.uscita << e.errori;
    const auto j = nlohmann::json::parse(e.uscita);
    std::vector<std::string> visti;
    for (const auto& p : j["problems"]) {
        const auto nome = [](const nlohmann::json& f) {
            return std::filesystem::path(f.get<std::string>()).filename().string();
        };
        std::string s = nome(p["file"]) + ":" + std::to_string(p["line"].get<int>()) + " " + p["rule"].get<std::string>();
        for (const auto& r : p["related"]) s += " -> " + nome(r["file"]) + ":" + std::to_string(r["line"].get<int>());
        visti.push_back(s);
    }
    const std::vector<std::string> attesi = {
        "Ferrovia_linea.txt:4 direction-code",
        "Ferrovia_linea.txt:9 repetition-outside-line -> Ferrovia_linea.txt:2",
        "Ferrovia_linea.txt:12 curve-speed -> Ferrovia_5-.txt:9",
        "Ferrovia_linea.txt:18 board-above-train -> Ferrovia_5-.txt:10",
        "Ferrovia_linea.txt:22 km-board-text -> Ferrovia_linea.txt:4",
        "Ferrovia_5-.txt:11 speed-above-boards -> Ferrovia_linea.txt:18",
    };
    EXPECT_EQ(visti, attesi) << e.uscita;
}

}  // namespace
