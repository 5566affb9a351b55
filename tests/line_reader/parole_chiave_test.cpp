// The keyword lists the readers expose, held against the built-in files that
// their emitters write: every entry row is recognised by exactly one entry of
// its block, and no header or lone field by any entry at all. Headers carry no
// meaning in the body, so any of them may stand in any block; a keyword that
// one contained would read the fields after it as its values.
#include <gtest/gtest.h>

#include <string_view>

#include "line_reader/lettore_linea.h"
#include "scenario_text/righe_builtin.h"
#include "text/parole.h"
#include "train_reader/lettore_treno.h"

namespace {

using lettura::blocco_linea;

std::string_view primo_campo(std::string_view riga) { return riga.substr(0, riga.find(',')); }
bool ha_valori(std::string_view riga) { return riga.find(',') != std::string_view::npos; }

TEST(ParoleChiave, LaLineaBuiltinUsaSoloVociRiconosciute) {
    bool letta = false;
    blocco_linea blocco = blocco_linea::generale;
    for (std::string_view riga : scenario_text::righe_linea) {
        if (!letta) {
            letta = testo::contiene_i(riga, "[generale]");
            continue;
        }
        int n = 0;
        for (const auto& v : lettura::parole_linea())
            n += (!ha_valori(riga) || v.blocco == blocco) && lettura::riconosce(v, primo_campo(riga)) ? 1 : 0;
        EXPECT_EQ(n, ha_valori(riga) ? 1 : 0) << riga;
        if (blocco == blocco_linea::generale && testo::intestazione(primo_campo(riga))) blocco = blocco_linea::corpo;
    }
    EXPECT_EQ(blocco, blocco_linea::corpo) << "the built-in line has a body";
}

TEST(ParoleChiave, IlTrenoBuiltinUsaSoloVociRiconosciute) {
    bool letta = false;
    for (std::string_view riga : scenario_text::righe_treno) {
        if (!letta) {
            letta = testo::contiene_i(riga, "[generale]");
            continue;
        }
        int n = 0;
        for (const auto& v : lettura::parole_treno()) n += lettura::riconosce(v, primo_campo(riga)) ? 1 : 0;
        EXPECT_EQ(n, ha_valori(riga) ? 1 : 0) << riga;
    }
    EXPECT_TRUE(letta);
}

}  // namespace
