// The driver's documents from a pair: the built-in pair gives back the
// builder's own documents, and small pairs hold each rule at its limits.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "documents/celle.h"
#include "documents/documenti.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace {

using namespace strumento::documenti;

std::string byte_builtin(std::span<const std::string_view> righe) {
    const std::vector<std::string_view> v(righe.begin(), righe.end());
    return testi_scenario::testo_file(v);
}

fatti_coppia fatti_builtin() {
    return leggi_fatti(byte_builtin(testi_scenario::righe_linea), byte_builtin(testi_scenario::righe_treno));
}

dati_autore autore(std::string numero = "731") {
    dati_autore a;
    a.numero_treno = std::move(numero);
    return a;
}

// A small line: km 10.000 at its start, the figures growing, and a second
// progressive from 3000 m on that restarts at km 20.000 and falls.
constexpr std::string_view linea_piccola =
    "[generale]\r\n"
    "lunghezza percorso,    8000\r\n"
    "progressiva chilometrica uno,    0,    10000,    0\r\n"
    "progressiva chilometrica due,    3000,    20000,    1\r\n"
    "progressiva chilometrica tre,    0,    0,    0\r\n"
    "[curve]\r\n"
    "[cartelli]\r\n"
    "[indicazioni]\r\n"
    "cartello_indicatore,  2500,   (Ponte Alto)  (Km 12+500)\r\n"
    "[fine]\r\n";

std::string treno_piccolo(std::string_view rallentamenti) {
    return std::string(
               "[generale]\r\n"
               "percentuale massa frenata,    95\r\n"
               "[vel_limite]\r\n"
               "velocita,       0,   100\r\n"
               "velocita,    1000,   120\r\n"
               "velocita,    4350,    90\r\n"
               "[stazioni]\r\n"
               "stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   7, 0, 0, Borgo Alto\r\n"
               "stazione,    2000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, CASELLE\r\n"
               "stazione,    4000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   7, 6, 0, PIANO\r\n"
               "stazione,    7000,  2,  500,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,12, 0, Valle Nuova\r\n"
               "[rallentamenti]\r\n") +
           std::string(rallentamenti) + "[fine]\r\n";
}

fatti_coppia fatti_piccoli(std::string_view rallentamenti) {
    return leggi_fatti(std::string(linea_piccola), treno_piccolo(rallentamenti));
}

TEST(OrdineRallentamenti, LaCoppiaBuiltinDaIlModuloDelBuilderByteAByte) {
    const auto d = ordine_rallentamenti(fatti_builtin(), autore());
    EXPECT_EQ(byte_documento(d), byte_builtin(testi_scenario::righe_rallentamenti));
    EXPECT_TRUE(d.avvisi.empty());
}

TEST(OrdineRallentamenti, IlCippoPrimaDellInizioNeiDueSensi) {
    struct caso {
        std::int64_t inizio;
        std::int64_t cippo;
    };
    // Growing figures up to 3000 m (km 10 + position), falling after
    // (km 20 - (position - 3000)).
    const caso casi[] = {
        {1000, 11}, {1050, 11}, {950, 10},    // at a milestone, just past it, just before the next
        {4000, 19}, {3950, 20}, {4050, 19},   // falling: at km 19, before it (km 19.050), just past it
    };
    for (const auto& c : casi) {
        const auto f = fatti_piccoli("");
        EXPECT_EQ(ultimo_cippo(f, c.inizio), c.cippo) << c.inizio;
    }
}

TEST(OrdineRallentamenti, PiuDiVentunoContinuanoSuUnSecondoModulo) {
    for (const std::size_t n : {std::size_t{21}, std::size_t{22}}) {
        std::string r;
        for (std::size_t i = 0; i < n; ++i) r += "rallentamento, " + std::to_string(100 + 50 * i) + ", 30, 50, 0, 0, 0\r\n";
        const auto d = ordine_rallentamenti(fatti_piccoli(r), autore("4021"));
        const std::size_t moduli = n == 21 ? 1 : 2;
        ASSERT_EQ(d.righe.size(), moduli * testi_scenario::righe_rallentamenti.size()) << n;
        EXPECT_EQ(d.righe[6], "  Si ordina al macchinista del treno  4021  di effettuare i seguenti rallentamenti");
        EXPECT_EQ(d.righe[4], " Linea  BORGO ALTO - VALLE NUOVA");
        EXPECT_EQ(d.righe[12 + 20].substr(0, 35), " |21 | BORGO ALTO - CASELLE       |");
        // The rows a form leaves past the 21st stay blank.
        EXPECT_EQ(d.righe[12 + 21], testi_scenario::righe_rallentamenti[35]);
        if (moduli == 2) {
            EXPECT_EQ(d.righe[44 + 12].substr(0, 5), " |22 ");
        }
        for (const auto& riga : d.righe) {
            if (riga.starts_with(" |")) {
                EXPECT_EQ(riga.size(), 82u) << riga;
            }
        }
    }
}

TEST(OrdineRallentamenti, NomeLungoTagliatoEValoreTroppoLargoErrore) {
    auto f = fatti_piccoli("rallentamento, 2500, 60, 400, 0, 0, 0\r\n");
    f.stazioni[1].nome = "CASELLE DI SOPRANOS";  // with " - PIANO" 27 characters: one past the cell
    auto d = ordine_rallentamenti(f, autore());
    ASSERT_EQ(d.avvisi.size(), 1u);
    EXPECT_NE(d.avvisi[0].find("CASELLE DI SOPRANOS - PIANO"), std::string::npos) << d.avvisi[0];
    EXPECT_EQ(d.righe[12].substr(0, 35), " | 1 | CASELLE DI SOPRANOS - PIAN |");
    f.stazioni[1].nome = "CASELLE DI SOPRANO";  // 26 characters: fits exactly
    d = ordine_rallentamenti(f, autore());
    EXPECT_TRUE(d.avvisi.empty());
    EXPECT_EQ(d.righe[12], " | 1 | CASELLE DI SOPRANO - PIANO |     12     |    60    |   400   |   -----    |");
    f.rallentamenti[0].velocita = 999999;  // six digits: fits
    EXPECT_NO_THROW(ordine_rallentamenti(f, autore()));
    f.rallentamenti[0].velocita = 1000000;
    EXPECT_THROW(ordine_rallentamenti(f, autore()), valore_troppo_largo);
}

}  // namespace

namespace {

TEST(Note, LePrimeDueRigheDallaCoppiaIlRestoDalleOpzioniODalModello) {
    auto a = autore();
    a.classificazione = "IC";
    a.nome_treno = "Lago Azzurro";
    a.percorso = "Portovesco - Sarenta";
    a.note = {"La simulazione non presenta particolari difficoltà.", "Buon divertimento",
              "                   Gli sviluppatori di scenario_builder", "                  (scenario_builder developers)",
              "Orario Dicembre 2023", "1A"};
    EXPECT_EQ(byte_documento(note_treno(fatti_builtin(), a)), byte_builtin(testi_scenario::righe_note));

    // Without options: the stretch stands for the run, and the template follows.
    const auto d = note_treno(fatti_piccoli(""), autore("88"));
    ASSERT_GE(d.righe.size(), 3u);
    EXPECT_EQ(d.righe[0], "Simulazione del treno 88 Borgo Alto - Valle Nuova nel tratto ");
    EXPECT_EQ(d.righe[1], "Borgo Alto - Valle Nuova.");
    EXPECT_EQ(d.righe.back(), "Orario (mese anno)");
}

}  // namespace
