// The built-in line description, checked as the file it becomes: sections,
// the rows quoted in the scenario's design, and the properties of the rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"
#include "tests/cartella_temporanea.h"
#include "tests/scenario_text/dati_builtin_letti.h"

namespace {

std::vector<std::string> righe_file() {
    return test_util::righe_crlf(testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_linea)));
}

// Splits a row at its commas; the fields keep their blanks.
std::vector<std::string> campi(const std::string& riga) {
    std::vector<std::string> out;
    std::size_t inizio = 0;
    for (;;) {
        const std::size_t virgola = riga.find(',', inizio);
        out.push_back(riga.substr(inizio, virgola - inizio));
        if (virgola == std::string::npos) return out;
        inizio = virgola + 1;
    }
}

long numero(const std::string& campo) { return std::strtol(campo.c_str(), nullptr, 10); }

// The rows of one section: file lines from..to (numbered from 1).
std::vector<std::string> sezione(const std::vector<std::string>& r, int da, int a) {
    return {r.begin() + (da - 1), r.begin() + a};
}

TEST(LineaBuiltin, SezioniERigheFisse) {
    const auto r = righe_file();
    ASSERT_EQ(r.size(), 171u);
    const std::map<int, std::string> fisse{
        {1, "[generale]"},
        {2, "lunghezza percorso,    243000"},
        {3, "progressiva chilometrica uno,    0,    350000,    1"},
        {4, "progressiva chilometrica due,    0,    0,    0"},
        {5, "progressiva chilometrica tre,    0,    0,    0"},
        {6, "sfondo uno,    1"},
        {7, "sfondo due,    0"},
        {8, "sfondo tre,    0"},
        {9, "ripetizione segnali 4 codici,    1650,    241000"},
        {10, "[curve]"},
        {11, "curvas3, 1750, 600"},
        {12, "curvad3, 2550, 400"},
        {13, "curvad2, 3550, 400"},
        {73, "curvad3, 237100, 1000"},
        {74, "[pendenze]"},
        {75, "pendenza,  0,   0"},
        {116, "pendenza,  237000,  0"},
        {117, "pendenza,  239000,  0"},
        {118, "[montagne]"},
        {119, "montagna,   141550,  143050,  11"},
        {120, "montagna,   145350,  145750,  11"},
        {121, "montagna,   212650,  214650,  11"},
        {122, "[cartelli]"},
        {123, "indicatori_vmax,  700,  100,  110,  115,  0,  100,  110,  115,  0"},
        {162, "indicatori_vmax,  234800,  100,  110,  115,  0,  100,  110,  115,  0"},
        {163, ""},
        {164, "[indicazioni]"},
        {171, "[fine]"},
    };
    for (const auto& [n, testo] : fisse) EXPECT_EQ(r[n - 1], testo) << "line " << n;

    // Rows quoted exactly that stand somewhere in their section.
    const std::vector<std::pair<std::vector<std::string>, std::string>> ovunque{
        {sezione(r, 11, 73), "curvas3, 125400, 3000"},
        {sezione(r, 11, 73), "curvas4,  140750,  400"},
        {sezione(r, 11, 73), "curvad6,  144800,  400"},
        {sezione(r, 11, 73), "curvas6,  145500,  250"},
        {sezione(r, 75, 117), "pendenza,  5000,   -8"},
        {sezione(r, 75, 117), "pendenza,  7000,   0"},
        {sezione(r, 75, 117), "pendenza,  11000,  5"},
        {sezione(r, 75, 117), "pendenza,  212650,  -12"},
        {sezione(r, 123, 162), "indicatori_vmax,  74200,  120,  125,  130,  2,  120,  125,  130,  2"},
        {sezione(r, 123, 162), "indicatori_vmax,  74400,  120,  125,  130,  1,  120,  125,  130,  1"},
        {sezione(r, 123, 162), "indicatori_vmax,  74600,  120,  125,  130,  0,  120,  125,  130,  0"},
        {sezione(r, 123, 162), "indicatori_vmax,  143500,  60,  70,  75,  2,  ,  ,  ,  0"},
        {sezione(r, 123, 162), "indicatori_vmax,  143800,  60,  70,  75,  1,  ,  ,  ,  0"},
        {sezione(r, 123, 162), "indicatori_vmax,  144100,  60,  70,  75,  0,  ,  ,  ,  0"},
        {sezione(r, 165, 170), "cartello_indicatore,  4400,   (Km 345+557)"},
        {sezione(r, 165, 170), "cartello_indicatore,  8500,   (km 341+500)"},
        {sezione(r, 165, 170), "cartello_indicatore,  139500,   (Km 210+500)"},
        {sezione(r, 165, 170), "cartello_indicatore,  145300,   (Km 204+676)"},
    };
    for (const auto& [righe, testo] : ovunque)
        EXPECT_NE(std::find(righe.begin(), righe.end(), testo), righe.end()) << testo;

    EXPECT_EQ(std::count(r.begin(), r.end(), std::string(testi_scenario::sentinella)), 0);
}

TEST(LineaBuiltin, Curve) {
    const auto righe = sezione(righe_file(), 11, 73);
    std::map<char, int> lati;
    std::map<char, int> classi;
    std::vector<std::pair<long, long>> tratti;
    std::vector<int> con_due_spazi;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        const auto c = campi(righe[i]);
        ASSERT_EQ(c.size(), 3u) << righe[i];
        ASSERT_EQ(c[0].size(), 7u) << righe[i];
        EXPECT_EQ(c[0].substr(0, 5), "curva");
        lati[c[0][5]]++;
        classi[c[0][6]]++;
        const bool due = c[1].rfind("  ", 0) == 0;
        if (due) con_due_spazi.push_back(static_cast<int>(i));
        const std::string sep = due ? "  " : " ";
        EXPECT_TRUE(c[1].rfind(sep, 0) == 0 && c[1][sep.size()] != ' ' && c[2].rfind(sep, 0) == 0 &&
                    c[2][sep.size()] != ' ')
            << righe[i];
        tratti.emplace_back(numero(c[1]), numero(c[2]));
    }
    EXPECT_EQ(lati, (std::map<char, int>{{'d', 32}, {'s', 31}}));
    EXPECT_EQ(classi, (std::map<char, int>{{'1', 6}, {'2', 6}, {'3', 13}, {'4', 23}, {'5', 12}, {'6', 3}}));
    ASSERT_EQ(con_due_spazi.size(), 3u);
    EXPECT_EQ(con_due_spazi[2] - con_due_spazi[0], 2) << "the rows with two blanks are consecutive";

    std::set<long> contatti;
    for (std::size_t i = 0; i < tratti.size(); ++i) {
        const auto [inizio, lunghezza] = tratti[i];
        EXPECT_EQ(inizio % 50, 0);
        EXPECT_EQ(lunghezza % 50, 0);
        EXPECT_GE(lunghezza, 100);
        EXPECT_LE(lunghezza, 3000);
        if (i == 0) continue;
        const long fine_prima = tratti[i - 1].first + tratti[i - 1].second;
        EXPECT_GE(inizio, fine_prima) << "curves overlap at " << inizio;
        if (inizio == fine_prima) contatti.insert(inizio);
    }
    EXPECT_EQ(tratti.front().first, 1750);
    EXPECT_EQ(tratti.back().first, 237100);
    EXPECT_EQ(contatti, (std::set<long>{20000, 25200, 48600, 121000, 150050, 214800}));
    const auto piu_lunga = std::max_element(tratti.begin(), tratti.end(),
                                            [](auto a, auto b) { return a.second < b.second; });
    EXPECT_EQ(*piu_lunga, std::make_pair(125400L, 3000L));
    EXPECT_EQ(std::count_if(tratti.begin(), tratti.end(), [](auto t) { return t.second == 3000; }), 1);
}

TEST(LineaBuiltin, Pendenze) {
    const auto righe = sezione(righe_file(), 75, 117);
    long precedente = -1;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        const auto c = campi(righe[i]);
        ASSERT_EQ(c.size(), 3u) << righe[i];
        EXPECT_EQ(c[0], "pendenza");
        EXPECT_TRUE(c[1].rfind("  ", 0) == 0 && c[1][2] != ' ') << righe[i];
        const std::string sep = i < 3 ? "   " : "  ";
        EXPECT_TRUE(c[2].rfind(sep, 0) == 0 && c[2][sep.size()] != ' ') << righe[i];
        const long p = numero(c[1]);
        const long g = numero(c[2]);
        EXPECT_EQ(p % 50, 0) << righe[i];
        EXPECT_GT(p, precedente) << righe[i];
        EXPECT_GE(g, -12) << righe[i];
        EXPECT_LE(g, 7) << righe[i];
        precedente = p;
    }
    EXPECT_EQ(precedente, 239000);
}

struct Indicatore {
    long posizione;
    std::vector<long> sinistra;  // three speeds and the stripe count
    std::vector<long> destra;
    bool destra_vuota;
};

std::vector<Indicatore> indicatori() {
    std::vector<Indicatore> out;
    for (const auto& riga : sezione(righe_file(), 123, 162)) {
        const auto c = campi(riga);
        EXPECT_EQ(c.size(), 10u) << riga;
        EXPECT_EQ(c[0], "indicatori_vmax");
        for (std::size_t k = 1; k < c.size(); ++k)
            EXPECT_TRUE(c[k].rfind("  ", 0) == 0 && (c[k].size() == 2 || c[k][2] != ' ')) << riga;
        Indicatore b{numero(c[1]), {}, {}, c[6] == "  "};
        for (int k = 2; k <= 5; ++k) b.sinistra.push_back(numero(c[k]));
        for (int k = 6; k <= 9; ++k) b.destra.push_back(numero(c[k]));
        out.push_back(b);
    }
    return out;
}

TEST(LineaBuiltin, IndicatoriDiVelocitaMassima) {
    const auto b = indicatori();
    ASSERT_EQ(b.size(), 40u);
    EXPECT_EQ(b.front().posizione, 700);
    EXPECT_EQ(b.back().posizione, 234800);
    int gruppi_uguali = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        EXPECT_EQ(b[i].posizione % 50, 0);
        if (i > 0) {
            EXPECT_GT(b[i].posizione, b[i - 1].posizione);
        }
        for (const auto* g : {&b[i].sinistra, &b[i].destra}) {
            EXPECT_LE((*g)[0], (*g)[1]) << b[i].posizione;
            EXPECT_LE((*g)[1], (*g)[2]) << b[i].posizione;
            for (int k = 0; k < 3; ++k) EXPECT_EQ((*g)[k] % 5, 0) << b[i].posizione;
        }
        if (b[i].sinistra == b[i].destra) ++gruppi_uguali;
    }
    EXPECT_EQ(gruppi_uguali, 37);

    // Six runs of three boards with 2, 1, 0 stripes, the same speeds, lower
    // than the board before the run; no other board has stripes.
    const std::vector<std::vector<long>> serie{{74200, 74400, 74600},    {100600, 100800, 101050},
                                               {137500, 137900, 138300}, {143500, 143800, 144100},
                                               {201200, 201500, 201800}, {234200, 234500, 234800}};
    std::set<long> con_strisce;
    for (const auto& s : serie) {
        const auto inizio = std::find_if(b.begin(), b.end(), [&](const auto& x) { return x.posizione == s[0]; });
        ASSERT_NE(inizio, b.end()) << s[0];
        ASSERT_NE(inizio, b.begin());
        ASSERT_LE(inizio + 3, b.end());
        for (int k = 0; k < 3; ++k) {
            const auto& x = *(inizio + k);
            EXPECT_EQ(x.posizione, s[static_cast<std::size_t>(k)]);
            EXPECT_EQ(x.sinistra[3], 2 - k) << x.posizione;
            EXPECT_TRUE(std::equal(x.sinistra.begin(), x.sinistra.begin() + 3, inizio->sinistra.begin()))
                << "speeds differ within the run at " << x.posizione;
            if (s[0] == 143500) {
                EXPECT_TRUE(x.destra_vuota);
                EXPECT_EQ(x.destra, (std::vector<long>{0, 0, 0, 0}));
            } else {
                EXPECT_EQ(x.destra, x.sinistra) << x.posizione;
            }
            con_strisce.insert(x.posizione);
        }
        const auto& prima = *(inizio - 1);
        for (int k = 0; k < 3; ++k) EXPECT_LT(inizio->sinistra[k], prima.sinistra[k]) << s[0];
    }
    for (const auto& x : b)
        if (!con_strisce.count(x.posizione)) {
            EXPECT_EQ(x.sinistra[3], 0) << x.posizione;
            EXPECT_EQ(x.destra[3], 0) << x.posizione;
            EXPECT_FALSE(x.destra_vuota) << x.posizione;
        }
}

// The third speed of a board is the train's limit that it announces: for a
// board without stripes the limit in force one cell (50 m) beyond it, so a
// board stands at most 50 m ahead of the change it shows; for a run of three
// the limit that starts 1200 m after its last board. Every change of limit
// after the origin is announced one way or the other.
TEST(LineaBuiltin, IndicatoriAnnuncianoILimitiDelTreno) {
    const auto b = indicatori();
    ASSERT_EQ(b.size(), 40u);
    const auto limiti = test_util::limiti_treno();
    ASSERT_EQ(limiti.size(), 27u);
    const auto in_vigore = [&](long x) {
        long v = 0;
        for (const auto& [p, s] : limiti)
            if (p <= x) v = s;
        return v;
    };
    std::set<long> annunciati;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const auto& x = b[i];
        if (x.sinistra[3] == 2) {
            ASSERT_LT(i + 2, b.size()) << x.posizione;
            const long dopo = b[i + 2].posizione + 1200;
            const auto l = std::find_if(limiti.begin(), limiti.end(), [&](const auto& v) { return v.first == dopo; });
            ASSERT_NE(l, limiti.end()) << "no limit starts 1200 m after the run at " << x.posizione;
            EXPECT_EQ(x.sinistra[2], l->second) << x.posizione;
            annunciati.insert(dopo);
            i += 2;
            continue;
        }
        EXPECT_EQ(x.sinistra[2], in_vigore(x.posizione + 50)) << x.posizione;
        for (const auto& [p, s] : limiti)
            if (p >= x.posizione && p <= x.posizione + 50) annunciati.insert(p);
    }
    for (const auto& [p, s] : limiti)
        if (p > 0) {
            EXPECT_EQ(annunciati.count(p), 1u) << "no board announces the limit of " << s << " at " << p;
        }
}

TEST(LineaBuiltin, CartelliChilometrici) {
    const auto righe = sezione(righe_file(), 165, 170);
    std::vector<long> posizioni;
    for (const auto& riga : righe) {
        const auto c = campi(riga);
        ASSERT_EQ(c.size(), 3u) << riga;
        EXPECT_EQ(c[0], "cartello_indicatore");
        EXPECT_TRUE(c[2].rfind("   (", 0) == 0) << riga;
        posizioni.push_back(numero(c[1]));
    }
    EXPECT_EQ(posizioni, (std::vector<long>{4400, 8500, 35650, 75800, 139500, 145300}));
    for (int i : {2, 3}) {
        const std::string& t = righe[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::count(t.begin(), t.end(), '('), 3) << t;
        EXPECT_NE(t.find("Torrente"), std::string::npos) << t;
    }
    EXPECT_TRUE(righe[2].ends_with("(Km 314+347)")) << righe[2];
    EXPECT_TRUE(righe[3].ends_with("( Km 274+204)")) << righe[3];
}

}  // namespace
