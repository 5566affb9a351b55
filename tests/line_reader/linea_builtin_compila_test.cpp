// The built-in line description, written by its emitter and read back.
#include <gtest/gtest.h>

#include <algorithm>

#include "compiler/ingressi.h"
#include "line_reader/lettore_linea.h"
#include "scenario_text/emettitori.h"
#include "tests/cartella_temporanea.h"

namespace {

TEST(LineaBuiltinCompilata, SiLeggeSenzaCodici) {
    test_util::CartellaTemporanea dir;
    modello::Modello m;
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    m.cartella = dir.percorso();
    m.genera_geometria = true;
    testi_scenario::dati_linea(m);
    compilatore::ingressi_cartella cartella(dir.percorso());
    int chiuso = 0;
    EXPECT_TRUE(lettura::leggi_linea(m, {"Valdora_Sarenta_linea.txt", *cartella.leggi("Valdora_Sarenta_linea.txt"),
                                         [&] { ++chiuso; }}))
        << "the train file would be read next";

    EXPECT_EQ(m.codice_errore, 0);
    EXPECT_EQ(chiuso, 1) << "the reader says once that it is done with the file";
    ASSERT_EQ(m.percorso.size(), 5001u);
    for (int i = 0; i <= 5000; ++i) {
        const int p = m.percorso[static_cast<std::size_t>(i)].pendenza;
        if (i <= 4997) {
            ASSERT_GE(p, 100 - 12) << "cell " << i;
            ASSERT_LE(p, 100 + 7) << "cell " << i;
        } else {
            EXPECT_EQ(p, 0) << "cell " << i;
        }
    }
    ASSERT_TRUE(m.geometria.has_value());
    EXPECT_EQ(m.geometria->elementi(), 2u * 250001u);
    EXPECT_EQ(m.geometria->ultimo_posato(), 249998) << "the last two metres stay empty";
    EXPECT_EQ(m.numero_montagne, 3);
    const auto conta = [&](int tipo) {
        return std::count_if(m.percorso.begin(), m.percorso.end(), [&](const auto& c) { return c.tipo == tipo; });
    };
    EXPECT_EQ(conta(6), 40);
    EXPECT_EQ(conta(14), 6);
    for (int r = 80; r >= 75; --r) EXPECT_FALSE(m.tabella[static_cast<std::size_t>(r)].nome.empty()) << r;
    EXPECT_EQ(m.tabella[80].nome, "(Km 345+557)");
    EXPECT_TRUE(m.tabella[74].nome.empty());
    const auto& r81 = m.tabella[81];
    EXPECT_EQ(std::vector<int>({r81.inizio, r81.fine, r81.progressiva}), std::vector<int>({0, 350100, 1}));
    EXPECT_EQ(m.tabella[86].progressiva, 4);
}

}  // namespace
