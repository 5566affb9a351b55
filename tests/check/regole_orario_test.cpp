// check's timetable rules over the built-in pair: none on it as it is; the
// last leg (BORGHETTO-MARENZA at 9:08 to SARENTA) given one second less than
// the train's minimum and exactly it, and a margin just under and at the
// minimum allowance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "check/esame.h"
#include "memory_compile/compilazione.h"
#include "model/orario.h"
#include "run_model/marcia.h"
#include "tests/check/testi_builtin.h"

namespace {

using strumento::problema;
const strumento::identificativi id{"Valdora_Sarenta", "731"};

// The built-in pair with SARENTA's row at `secondi` after BORGHETTO-MARENZA's 9:08.
test_util::testi_coppia con_sarenta(long secondi) {
    auto t = test_util::testi_builtin();
    const std::string vecchia = "0,   9,18, 0, SARENTA";
    const auto p = t.treno.find(vecchia);
    EXPECT_NE(p, std::string::npos);
    const long ora = 9 * 3600 + 8 * 60 + secondi;
    t.treno.replace(p, vecchia.size(),
                    "0,   9," + std::to_string(ora / 60 % 60) + "," + std::to_string(ora % 60) + ", SARENTA");
    return t;
}

std::vector<problema> della_regola(const test_util::testi_coppia& t, std::string_view regola) {
    auto p = strumento::esamina(t.linea, t.treno, id);
    std::erase_if(p, [&](const problema& x) { return x.regola != regola; });
    return p;
}

// The line of the station row that ends with the name.
int riga_di(const std::string& testo, const std::string& nome) {
    const auto p = testo.find(", " + nome + "\r\n");
    return static_cast<int>(std::count(testo.begin(), testo.begin() + static_cast<long>(p), '\n')) + 1;
}

// The minimum running time of the last leg, as the run computes it.
double minimo_ultima() {
    const auto t = test_util::testi_builtin();
    const auto r = marcia::calcola_marcia(strumento::compila_in_memoria(t.linea, t.treno, id).finale.modello, {});
    EXPECT_FALSE(r.fermo);
    return r.sezioni.back().minimo_s;
}

TEST(RegoleOrario, IlBuiltinNonNeDaNessuna) {
    const auto t = test_util::testi_builtin();
    const auto p = strumento::esamina(t.linea, t.treno, id);
    for (const auto& x : p)
        EXPECT_TRUE(x.regola != "running-time" && x.regola != "allowance-short" && x.regola != "dwell-no-stop" &&
                    x.regola != "time-no-stop")
            << x.regola << ": " << x.messaggio;
}

TEST(RegoleOrario, TempoDiCorsaAlLimite) {
    const double m = minimo_ultima();
    const long giusto = static_cast<long>(std::ceil(m));
    EXPECT_TRUE(della_regola(con_sarenta(giusto), "running-time").empty());
    const auto p = della_regola(con_sarenta(giusto - 1), "running-time");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].livello, strumento::gravita::errore);
    EXPECT_EQ(p[0].file, strumento::quale_file::treno);
    const auto t = test_util::testi_builtin();
    EXPECT_EQ(p[0].riga, riga_di(t.treno, "SARENTA"));
    EXPECT_EQ(p[0].messaggio, "the train needs at least " + marcia::durata(giusto) +
                                  " from the previous station, the timetable gives " + marcia::durata(giusto - 1));
    ASSERT_EQ(p[0].correlati.size(), 1u);
    EXPECT_EQ(p[0].correlati[0].riga, riga_di(t.treno, "BORGHETTO-MARENZA"));
    EXPECT_EQ(p[0].correlati[0].messaggio, "the previous timed station, BORGHETTO-MARENZA");
    // Below the minimum it is the error alone, not the allowance's warning too.
    EXPECT_TRUE(della_regola(con_sarenta(giusto - 1), "allowance-short").empty());
}

TEST(RegoleOrario, MargineAlLimite) {
    const double m = minimo_ultima();
    const long basta = static_cast<long>(std::ceil(m * (1 + marcia::margine_minimo_pct / 100)));
    EXPECT_TRUE(della_regola(con_sarenta(basta), "allowance-short").empty());
    const auto p = della_regola(con_sarenta(basta - 1), "allowance-short");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].livello, strumento::gravita::avviso);
    EXPECT_EQ(p[0].riga, riga_di(test_util::testi_builtin().treno, "SARENTA"));
    EXPECT_NE(p[0].messaggio.find("below the minimum allowance of 3 %"), std::string::npos) << p[0].messaggio;
}

}  // namespace
