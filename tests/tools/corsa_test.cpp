// scenario_tool run: the built-in pair's report in words and as JSON, a pair
// that does not compile, trains that cannot run, the options' help.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/cartella_temporanea.h"
#include "tests/check/testi_builtin.h"
#include "tests/processo.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct coppia {
    test_util::CartellaTemporanea tmp;
    fs::path linea = tmp.percorso() / "linea.txt";
    fs::path treno = tmp.percorso() / "treno.txt";
    coppia(const std::string& l, const std::string& t) {
        test_util::scrivi(linea, l);
        test_util::scrivi(treno, t);
    }
    test_util::Esito run(std::vector<std::string> altri = {}) const {
        std::vector<std::string> a{SCENARIO_TOOL_PATH, "run"};
        a.insert(a.end(), altri.begin(), altri.end());
        a.push_back(linea.string());
        a.push_back(treno.string());
        return test_util::esegui(a);
    }
};

coppia builtin() {
    const auto t = test_util::testi_builtin();
    return {t.linea, t.treno};
}

TEST(Run, IlBuiltinComeJson) {
    const auto e = builtin().run({"--json"});
    ASSERT_EQ(e.stato, 0) << e.errori;
    const auto j = json::parse(e.uscita);
    const auto& s = j.at("stations");
    ASSERT_EQ(s.size(), 35u);
    int con_orario = 0;
    for (const auto& x : s) {
        EXPECT_TRUE(x.at("name").is_string());
        EXPECT_TRUE(x.at("metre").is_number());
        con_orario += x.at("scheduled").get<bool>();
    }
    EXPECT_EQ(con_orario, 10);
    EXPECT_TRUE(s.front().at("arrival_s").is_null());
    EXPECT_EQ(s.front().at("departure_s"), 6 * 3600 + 33 * 60);
    EXPECT_EQ(s.back().at("arrival_s"), 9 * 3600 + 18 * 60);
    EXPECT_TRUE(s.back().at("departure_s").is_null());
    // ROCCAVELLA: the row's time is the departure, the arrival a dwell of 45 s earlier.
    EXPECT_EQ(s[7].at("name"), "ROCCAVELLA");
    EXPECT_EQ(s[7].at("arrival_s"), 6 * 3600 + 55 * 60 + 15);
    EXPECT_EQ(s[7].at("departure_s"), 6 * 3600 + 56 * 60);

    const auto& l = j.at("legs");
    ASSERT_EQ(l.size(), 34u);
    for (const auto& x : l) {
        EXPECT_GT(x.at("minimum_s").get<double>(), 0);
        EXPECT_EQ(x.at("scheduled_s").is_null(), x.at("margin_s").is_null());
    }
    // The last leg is timed at both ends: 9:08 to 9:18.
    EXPECT_EQ(l.back().at("scheduled_s"), 600);
    EXPECT_NEAR(l.back().at("margin_s").get<double>(), 600 - l.back().at("minimum_s").get<double>(), 0.11);

    // The profile: a point at least every 50 m, rising metres and times, under the limit.
    const auto& p = j.at("profile");
    ASSERT_GT(p.size(), 4000u);
    for (std::size_t i = 1; i < p.size(); ++i) {
        EXPECT_GT(p[i].at("metre").get<double>(), p[i - 1].at("metre").get<double>());
        EXPECT_LE(p[i].at("metre").get<double>() - p[i - 1].at("metre").get<double>(), 50.0);
        EXPECT_GE(p[i].at("time_s").get<double>(), p[i - 1].at("time_s").get<double>());
        EXPECT_LE(p[i].at("speed_kmh").get<double>(), p[i].at("limit_kmh").get<double>() + 0.05);
    }
}

TEST(Run, IlBuiltinInParole) {
    const auto e = builtin().run();
    ASSERT_EQ(e.stato, 0) << e.errori;
    for (const char* atteso : {"ROCCAVELLA", "06:55:15", "06:56:00", "BIVIO GRAMOLA", "computed", "margin", "km"})
        EXPECT_NE(e.uscita.find(atteso), std::string::npos) << atteso;
    EXPECT_EQ(e.uscita.find("IMPOSSIBLE"), std::string::npos);
    EXPECT_EQ(e.uscita.find("below the minimum allowance"), std::string::npos);
}

TEST(Run, UnaCoppiaCheNonCompilaDaGliErroriDiCheck) {
    auto t = test_util::testi_builtin();
    t.treno += "stazione,   240010,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, FUORI\r\n";
    const auto e = coppia(t.linea, t.treno).run();
    EXPECT_EQ(e.stato, 2);
    EXPECT_NE(e.uscita.find("error"), std::string::npos) << e.uscita;
    EXPECT_EQ(e.uscita.find("margin"), std::string::npos) << e.uscita;
}

TEST(Run, UnTrenoCheNonPuoPartire) {
    const auto e = builtin().run({"--power", "0"});
    EXPECT_EQ(e.stato, 1);
    EXPECT_NE(e.uscita.find("the train cannot run: the train stops at metre 450: the train has no power"),
              std::string::npos)
        << e.uscita;
    auto t = test_util::testi_builtin();
    t.treno += "rallentamento,  100000,     0,  200, 0,  0,  0\r\n";
    const auto z = coppia(t.linea, t.treno).run({"--json"});
    EXPECT_EQ(z.stato, 1) << z.uscita;
    const auto j = json::parse(z.uscita);
    EXPECT_EQ(j.at("stopped").at("metre"), 100050);
    EXPECT_NE(j.at("stopped").at("reason").get<std::string>().find("slowdown limits the speed to 0 km/h"),
              std::string::npos);
}

TEST(Run, LAiutoDaUnitaEValori) {
    const auto e = test_util::esegui({SCENARIO_TOOL_PATH, "run", "--help"});
    EXPECT_EQ(e.stato, 0);
    for (const char* atteso : {"--loco-mass", "t (default 80)", "--coach-mass", "--power", "kW", "--loco-length",
                               "m (default 19.5)", "--coach-length", "--service-brake", "--allowance", "(default 3)",
                               "--step", "--json"})
        EXPECT_NE(e.uscita.find(atteso), std::string::npos) << atteso;
}

}  // namespace
