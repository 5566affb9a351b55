// The train's run: the built-in train against the built-in train sheet's
// passing times, the timetable's legs against the minimum running times,
// the integration step, and the trains that cannot run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "memory_compile/compilazione.h"
#include "run_model/marcia.h"
#include "model/orario.h"
#include "scenario_text/righe_builtin.h"
#include "tests/check/testi_builtin.h"

namespace {

const strumento::identificativi id{"Valdora_Sarenta", "731"};

modello::Modello compilato(const std::string& linea, const std::string& treno) {
    return strumento::compila_in_memoria(linea, treno, id).finale.modello;
}

const modello::Modello& builtin() {
    static const modello::Modello m = [] {
        const auto t = test_util::testi_builtin();
        return compilato(t.linea, t.treno);
    }();
    return m;
}

std::string pulito(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

// The train sheet's time of each station it times, in seconds of the day:
// the passing time, or the departure of "arrival - departure".
std::map<std::string, int> orari_scheda() {
    std::map<std::string, int> r;
    for (std::string_view riga : testi_scenario::righe_scheda) {
        std::vector<std::string_view> campi;
        for (std::size_t p; (p = riga.find('|')) != std::string_view::npos; riga.remove_prefix(p + 1))
            campi.push_back(riga.substr(0, p));
        if (campi.size() < 8) continue;
        std::string ora = pulito(campi[6]);
        if (const auto trattino = ora.find('-'); trattino != std::string::npos) ora = pulito(ora.substr(trattino + 1));
        const auto punto = ora.find('.');
        if (punto == std::string::npos || ora.find_first_not_of("0123456789.") != std::string::npos) continue;
        r[pulito(campi[5])] = (std::stoi(ora.substr(0, punto)) * 60 + std::stoi(ora.substr(punto + 1))) * 60;
    }
    return r;
}

// The sheet writes each time cut to the whole minute: 6.36 stands for any
// time from 6:36:00 to 6:36:59. A computed time agrees with it when, cut to
// the minute the same way, it is at most one minute off.
bool entro_un_minuto(double calcolato, int scheda) {
    return std::abs(std::floor(calcolato / 60.0) - scheda / 60) <= 1;
}

TEST(Marcia, IlConfrontoConLaSchedaAlLimite) {
    const int t = 8 * 3600 + 10 * 60;  // 8.10
    EXPECT_TRUE(entro_un_minuto(t - 60, t));
    EXPECT_FALSE(entro_un_minuto(t - 60.5, t));
    EXPECT_TRUE(entro_un_minuto(t + 119.5, t));
    EXPECT_FALSE(entro_un_minuto(t + 120, t));
}

TEST(Marcia, IPassaggiDelBuiltinStannoNellaScheda) {
    const auto r = marcia::calcola_marcia(builtin(), {});
    ASSERT_FALSE(r.fermo) << r.fermo->perche;
    const auto scheda = orari_scheda();
    int confrontate = 0;
    for (const auto& s : r.stazioni) {
        if (s.orario) {
            // The rows' own times are the sheet's.
            ASSERT_TRUE(scheda.count(s.nome)) << s.nome;
            EXPECT_EQ(*s.orario, scheda.at(s.nome)) << s.nome;
            continue;
        }
        const auto q = scheda.find(s.nome);
        ASSERT_NE(q, scheda.end()) << s.nome;
        ASSERT_TRUE(s.arrivo_s && s.partenza_s) << s.nome;
        EXPECT_EQ(*s.arrivo_s, *s.partenza_s) << s.nome << " is passed, not stopped at";
        EXPECT_TRUE(entro_un_minuto(*s.arrivo_s, q->second))
            << s.nome << ": computed " << modello::orario::scritta(static_cast<std::int64_t>(*s.arrivo_s))
            << ", the sheet " << modello::orario::scritta(q->second);
        ++confrontate;
    }
    EXPECT_EQ(confrontate, 25);
}

TEST(Marcia, IlMinimoStaInOgniTrattaDelBuiltin) {
    const auto r = marcia::calcola_marcia(builtin(), {});
    ASSERT_FALSE(r.fermo);
    ASSERT_EQ(r.sezioni.size(), 9u);
    for (const auto& t : r.sezioni) {
        ASSERT_TRUE(t.programmato_s);
        EXPECT_LT(t.minimo_s * (1 + marcia::margine_minimo_pct / 100), *t.programmato_s) << r.stazioni[t.a].nome;
    }
    // Each timed station keeps its row's time.
    EXPECT_EQ(r.stazioni.back().arrivo_s, 9 * 3600 + 18 * 60);
    EXPECT_FALSE(r.stazioni.back().partenza_s);
    EXPECT_FALSE(r.stazioni.front().arrivo_s);
}

// Halving the step changes no time by more than half a second.
TEST(Marcia, IlPassoDimezzatoNonCambiaITempi) {
    marcia::opzioni_treno o;
    const auto r = marcia::calcola_marcia(builtin(), o);
    o.passo_m = marcia::passo_m / 2;
    const auto f = marcia::calcola_marcia(builtin(), o);
    ASSERT_FALSE(r.fermo || f.fermo);
    ASSERT_EQ(r.stazioni.size(), f.stazioni.size());
    for (std::size_t i = 0; i < r.stazioni.size(); ++i) {
        EXPECT_NEAR(r.stazioni[i].corsa_s, f.stazioni[i].corsa_s, 0.5) << r.stazioni[i].nome;
        EXPECT_NEAR(r.stazioni[i].arrivo_s.value_or(0), f.stazioni[i].arrivo_s.value_or(0), 0.5) << r.stazioni[i].nome;
    }
}

// A small line: flat, then a gradient from 4000 m; two stations and a stop.
struct piccola {
    int pendenza = 6;
    int velocita = 100;
    int rallentamento = 60;
    std::string linea() const {
        return "[generale]\r\nlunghezza percorso,    12000\r\nprogressiva chilometrica uno,    0,    350000,    1\r\n"
               "progressiva chilometrica due,    0,    0,    0\r\nprogressiva chilometrica tre,    0,    0,    0\r\n"
               "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n"
               "ripetizione segnali 4 codici,    1650,    9000\r\n[pendenze]\r\npendenza,  0,   0\r\n"
               "pendenza,  4000,   " + std::to_string(pendenza) + "\r\n";
    }
    std::string treno() const {
        return "[generale]\r\nnumero vetture,    8\r\npercentuale massa frenata,    125\r\nsabbia,    150\r\n"
               "orologio,    7   15   0\r\n[aderenze]\r\naderenza,       0,    80\r\n[vel_limite]\r\n"
               "velocita,       0,   " + std::to_string(velocita) + "\r\n[stazioni]\r\n"
               "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7,20, 0, VALDORA\r\n"
               "stazione,    6000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   7,30, 0, COLLE\r\n"
               "[rallentamenti]\r\nrallentamento,    3000,    " + std::to_string(rallentamento) + ",  200, 0,  1,  0\r\n";
    }
    modello::Modello modello() const { return compilato(linea(), treno()); }
};

TEST(Marcia, DurateScritte) {
    EXPECT_EQ(marcia::durata(250), "4 min 10 s");
    EXPECT_EQ(marcia::durata(120), "2 min");
    EXPECT_EQ(marcia::durata(45), "45 s");
    EXPECT_EQ(marcia::durata(3780), "1 h 3 min");
    EXPECT_EQ(marcia::durata(0), "0 s");
    EXPECT_EQ(marcia::durata(59.6), "1 min");
}

TEST(Marcia, UnTrenoCheNonPuoPartireDiceDoveEPerche) {
    struct caso {
        piccola p;
        std::optional<double> potenza_kw;
        std::string perche;
    };
    const caso casi[] = {
        {{}, 0.0, "no power"},
        {{.velocita = 0}, {}, "the speed limit is 0 km/h at metre 450"},
        {{.rallentamento = 0}, {}, "a slowdown limits the speed to 0 km/h"},
        {{.pendenza = 80}, {}, "cannot climb the gradient of 80 per mille"},
    };
    for (const auto& c : casi) {
        marcia::opzioni_treno o;
        o.potenza_kw = c.potenza_kw;
        const auto r = marcia::calcola_marcia(c.p.modello(), o);
        ASSERT_TRUE(r.fermo) << c.perche;
        EXPECT_NE(r.fermo->perche.find(c.perche), std::string::npos) << r.fermo->perche;
    }
    // Just short of each: the train runs.
    const piccola corre[] = {{.velocita = 5}, {.rallentamento = 5}, {.pendenza = 25}};
    for (const auto& p : corre) {
        const auto r = marcia::calcola_marcia(p.modello(), {});
        EXPECT_FALSE(r.fermo) << r.fermo->perche;
    }
}

// The train reaches each lower limit where it begins and holds it until its
// tail is past the end; it stops at the stop cell, for the dwell.
TEST(Marcia, LimitiTenutiPerTuttoIlTrenoEFermate) {
    const piccola p;
    const auto r = marcia::calcola_marcia(p.modello(), {}, true);
    ASSERT_FALSE(r.fermo) << r.fermo->perche;
    // The slowdown: start cell 3000 / 50 + 1, end cell 3200 / 50 + 1, both whole.
    const double coda = r.dati.lunghezza_m;
    EXPECT_DOUBLE_EQ(coda, marcia::lunghezza_locomotiva_m + 8 * marcia::lunghezza_vettura_m);
    for (const auto& q : r.profilo) {
        EXPECT_LE(q.velocita_kmh, q.limite_kmh + 1e-9) << q.metro;
        if (q.metro >= 3050 && q.metro < 3300 + coda) {
            EXPECT_EQ(q.limite_kmh, 60.0) << q.metro;
        } else {
            EXPECT_EQ(q.limite_kmh, 100.0) << q.metro;
        }
    }
    ASSERT_EQ(r.stazioni.size(), 2u);
    EXPECT_EQ(r.stazioni[1].metro, 6250);  // the stop cell: the area's end less 50 m
    EXPECT_TRUE(r.stazioni[1].ferma);
    EXPECT_EQ(r.profilo.back().metro, 6250);
    EXPECT_EQ(r.profilo.back().velocita_kmh, 0.0);
    // Where the slowdown begins the train is down to its speed, and not before by much.
    const auto in = std::find_if(r.profilo.begin(), r.profilo.end(), [](const auto& q) { return q.metro >= 3050; });
    ASSERT_NE(in, r.profilo.begin());
    EXPECT_NEAR(in->velocita_kmh, 60.0, 1e-6);
    EXPECT_GT(std::prev(in)->velocita_kmh, 60.0);
}

}  // namespace
