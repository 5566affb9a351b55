// The keyword lists the readers expose, held against the built-in files that
// their emitters write: every entry row is recognised by exactly one entry of
// its block, and no header or lone field by any entry at all. Headers carry no
// meaning in the body, so any of them may stand in any block; a keyword that
// one contained would read the fields after it as its values.
#include <gtest/gtest.h>

#include <algorithm>
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
    for (std::string_view riga : testi_scenario::righe_linea) {
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
    for (std::string_view riga : testi_scenario::righe_treno) {
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

// The keyword test, held against the plain search it replaced: a keyword
// anywhere in the field, ASCII letters of either case alike, and nothing else
// folded (an accented capital is not its small letter).
TEST(ParoleChiave, ContieneIgnorandoLeMaiuscole) {
    const auto piega = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const struct {
        std::string_view campo, parola;
    } casi[] = {
        {"segnale", "segnale"}, {"SEGNALE 4", "segnale"}, {"  Curvas3", "curva"}, {"curv", "curva"},
        {"", "curva"},          {"curva", ""},            {"", ""},           {"aaab", "aab"},
        {"xx[GENERALE]", "[generale]"}, {"velocit\xc0", "velocit\xe0"}, {"VELOCIT\xe0", "velocit\xe0"},
        {"stazion", "stazione"}, {"abbattimentoabbattimento", "mentoa"}, {"ZZ", "zz"}, {"@[", "`{"},
    };
    for (const auto& c : casi) {
        const bool atteso = std::search(c.campo.begin(), c.campo.end(), c.parola.begin(), c.parola.end(),
                                        [&](char a, char b) { return piega(a) == piega(b); }) != c.campo.end();
        EXPECT_EQ(testo::contiene_i(c.campo, c.parola), atteso) << c.campo << " / " << c.parola;
    }
    EXPECT_TRUE(testo::contiene_i("xx SEGNALE", "segnale"));
    EXPECT_FALSE(testo::contiene_i("velocit\xc0", "velocit\xe0"));
}

}  // namespace
