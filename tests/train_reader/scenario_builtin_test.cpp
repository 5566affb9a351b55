// The built-in scenario compiled as the builder compiles it: both files as
// their emitters write them, the whole driver, and what must come out sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "compiler/driver.h"
#include "line_reader/lettore_linea.h"
#include "model/conversione.h"
#include "model/nomi_file.h"
#include "scenario_text/emettitori.h"
#include "tests/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;
using modello::Modello;
namespace tc = modello::tipo_cella;

Modello nuovo_modello(const fs::path& dir) {
    Modello m;
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    m.cartella = dir;
    return m;
}

int conta(const Modello& m, int tipo) {
    return static_cast<int>(
        std::count_if(m.percorso.begin(), m.percorso.end(), [&](const auto& c) { return c.tipo == tipo; }));
}

int cella(double metri) { return static_cast<int>(modello::arrotonda(metri)); }

class ScenarioBuiltin : public ::testing::Test {
protected:
    void SetUp() override {
        // The line alone, to know where its boards stand before the train comes.
        Modello sola_linea = nuovo_modello(dir_linea.percorso());
        sola_linea.genera_geometria = true;
        testi_scenario::dati_linea(sola_linea);
        const std::string nome = modello::nome_file_linea(sola_linea);
        ASSERT_TRUE(lettura::leggi_linea(sola_linea, {nome, *compilatore::ingressi_cartella(dir_linea.percorso()).leggi(nome)}));
        for (std::size_t i = 0; i < sola_linea.percorso.size(); ++i)
            if (sola_linea.percorso[i].tipo == tc::indicatore_v_max || sola_linea.percorso[i].tipo == tc::cartello_km)
                cartelli[i] = sola_linea.percorso[i];

        m = nuovo_modello(dir.percorso());
        testi_scenario::dati_linea(m);
        testi_scenario::dati_treno(m);
        compilatore::memorizza_percorso(m, 1);
    }

    test_util::CartellaTemporanea dir_linea;
    test_util::CartellaTemporanea dir;
    Modello m;
    std::map<std::size_t, modello::cella> cartelli;
};

TEST_F(ScenarioBuiltin, CompilaSenzaCodiciETieneOgniOggetto) {
    EXPECT_EQ(m.codice_errore, 0) << "position " << m.posizione_errore;
    EXPECT_FALSE(fs::exists(dir.percorso() / "Valdora_Sarenta_linea.txt"));
    EXPECT_FALSE(fs::exists(dir.percorso() / "Valdora_Sarenta_731-.txt"));

    EXPECT_EQ(conta(m, tc::segnale), 124);

    // 35 stations; each of a kind below 25 has its stop cell holding its number.
    int fermate = 0;
    for (int k = 1; k <= 35; ++k) {
        const auto& s = m.tabella[static_cast<std::size_t>(k)];
        ASSERT_FALSE(s.nome.empty()) << "station " << k;
        if (s.tipo >= 25) continue;
        ++fermate;
        const auto& c = m.percorso.at(static_cast<std::size_t>(cella(s.fine / 50.0 - 1)));
        EXPECT_EQ(c.tipo, tc::fermata) << s.nome;
        EXPECT_EQ(c.valore_1, k) << s.nome;
    }
    EXPECT_TRUE(m.tabella[36].nome.empty());
    EXPECT_EQ(fermate, 30);
    EXPECT_EQ(conta(m, tc::fermata), 30);

    // The three slowdowns with all their cells; two of them announce themselves
    // with four approach cells.
    EXPECT_EQ(conta(m, tc::avviso_rallentamento), 3);
    EXPECT_EQ(conta(m, tc::inizio_rallentamento), 3);
    EXPECT_EQ(conta(m, tc::fine_rallentamento), 3);
    EXPECT_EQ(conta(m, tc::preavviso_rallentamento), 8);
    for (std::size_t i = 0; i < m.percorso.size(); ++i) {
        if (m.percorso[i].tipo != tc::inizio_rallentamento) continue;
        EXPECT_EQ(m.percorso.at(i - 24).tipo, tc::avviso_rallentamento) << "warning 1200 m ahead of cell " << i;
    }

    // Boards stand where the line put them, untouched by the train's objects.
    ASSERT_EQ(cartelli.size(), 46u);
    for (const auto& [i, c] : cartelli) {
        EXPECT_EQ(m.percorso[i].tipo, c.tipo) << "cell " << i;
        EXPECT_EQ(m.percorso[i].valore_1, c.valore_1) << "cell " << i;
        EXPECT_EQ(m.percorso[i].valore_4, c.valore_4) << "cell " << i;
    }
}

TEST_F(ScenarioBuiltin, OrarioCredibile) {
    // Timed stations (time of day in orario), in line order.
    std::vector<const modello::voce_tabella*> orarie;
    for (int k = 1; k <= 35; ++k)
        if (m.tabella[static_cast<std::size_t>(k)].orario > 0) orarie.push_back(&m.tabella[static_cast<std::size_t>(k)]);
    ASSERT_EQ(orarie.size(), 10u);
    for (std::size_t i = 1; i < orarie.size(); ++i) {
        const auto& a = *orarie[i - 1];
        const auto& b = *orarie[i];
        ASSERT_GT(b.progressiva, a.progressiva);
        ASSERT_GT(b.orario, a.orario) << b.nome;
        // The fastest run the compiled speed limits allow, cell by cell.
        double secondi = 0;
        for (int c = a.progressiva / 50; c < b.progressiva / 50; ++c) {
            const int v = m.percorso.at(static_cast<std::size_t>(c)).velocita * 5;
            ASSERT_GT(v, 0) << "no speed limit in cell " << c;
            secondi += 50.0 / (v / 3.6);
        }
        const int sosta = i + 1 < orarie.size() ? b.campo_13 : 0;  // the terminus time is an arrival
        EXPECT_GE(b.orario - a.orario - sosta, secondi) << a.nome << " -> " << b.nome;
    }
}

}  // namespace
