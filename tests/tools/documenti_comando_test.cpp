// scenario_tool documents as an author runs it: the built-in pair's slowdown
// order as the builder writes it, our own short scenario's three documents,
// and bad input that writes nothing or cuts a name with a warning.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/documents/coppia_piccola.h"
#include "tests/processo.h"

namespace {

namespace fs = std::filesystem;
using namespace test_util;

const std::string tool = SCENARIO_TOOL_PATH;

class Documenti : public ::testing::Test {
protected:
    CartellaTemporanea tmp;
    fs::path dir() const { return tmp.percorso(); }

    // The pair as Colle_linea.txt and Colle_12-.txt.
    void coppia(const std::string& treno) {
        scrivi(dir() / "Colle_linea.txt", std::string(linea_piccola));
        scrivi(dir() / "Colle_12-.txt", treno);
    }
    Esito documenti(std::vector<std::string> extra = {}) {
        std::vector<std::string> a{tool, "documents", (dir() / "Colle_linea.txt").string(),
                                   (dir() / "Colle_12-.txt").string(), "-o", (dir() / "out").string()};
        a.insert(a.end(), extra.begin(), extra.end());
        return esegui(a);
    }
};

TEST_F(Documenti, LaCoppiaBuiltinDaLOrdineDelBuilderELasciaIFileDellAutore) {
    ASSERT_EQ(esegui({tool, "emit", (dir() / "ref").string()}).stato, 0);
    fs::create_directory(dir() / "autore");
    for (const char* f : {"Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt"})
        fs::copy_file(dir() / "ref" / f, dir() / "autore" / f);
    const auto e = esegui({tool, "documents", (dir() / "autore" / "Valdora_Sarenta_linea.txt").string(),
                           (dir() / "autore" / "Valdora_Sarenta_731-.txt").string()});
    ASSERT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(leggi(dir() / "autore" / "Valdora_Sarenta_731_rallentamenti.txt"),
              leggi(dir() / "ref" / "Valdora_Sarenta_731_rallentamenti.txt"));
    for (const char* f : {"Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt"})
        EXPECT_EQ(leggi(dir() / "autore" / f), leggi(dir() / "ref" / f)) << f;
    EXPECT_EQ(elenco(dir() / "autore"),
              (std::vector<std::string>{"Valdora_Sarenta_731-.txt", "Valdora_Sarenta_731_note.txt",
                                        "Valdora_Sarenta_731_rallentamenti.txt",
                                        "Valdora_Sarenta_731_scheda_treno.txt", "Valdora_Sarenta_linea.txt"}));
    // The train's run gives the 25 stations the timetable leaves untimed their passing times.
    EXPECT_EQ(e.errori.find("have no time"), std::string::npos) << e.errori;
}

// A station row of a train sheet: its name and its time cell, blanks folded.
std::map<std::string, std::string> orari_del_foglio(const std::string& foglio) {
    std::map<std::string, std::string> orari;
    for (const auto& r : righe_crlf(foglio)) {
        std::vector<std::string> celle;
        for (std::size_t da = r.find('|'); da != std::string::npos;) {
            const std::size_t a = r.find('|', da + 1);
            if (a == std::string::npos) break;
            std::string c;
            for (char x : r.substr(da + 1, a - da - 1))
                if (x != ' ' || (!c.empty() && c.back() != ' ')) c += x;
            while (!c.empty() && c.back() == ' ') c.pop_back();
            celle.push_back(c);
            da = a;
        }
        // Vel. Lim., Vel. Marc., Progr Km, No Rs, name, time, Rec.
        if (celle.size() == 7 && !celle[5].empty() && std::isdigit(static_cast<unsigned char>(celle[5][0])))
            orari[celle[4]] = celle[5];
    }
    return orari;
}

int minuti(const std::string& ora) {  // "8.28" -> 508
    const auto punto = ora.find('.');
    return std::stoi(ora.substr(0, punto)) * 60 + std::stoi(ora.substr(punto + 1));
}

// The built-in pair's sheet, written from the pair, against the builder's own:
// the timetable's times exact, the passing times the run computes within
// one of the sheet's whole minutes.
TEST_F(Documenti, IlFoglioDellaCoppiaBuiltinHaGliOrariDelBuilder) {
    ASSERT_EQ(esegui({tool, "emit", (dir() / "ref").string()}).stato, 0);
    const auto e = esegui({tool, "documents", (dir() / "ref" / "Valdora_Sarenta_linea.txt").string(),
                           (dir() / "ref" / "Valdora_Sarenta_731-.txt").string(), "-o", (dir() / "out").string()});
    ASSERT_EQ(e.stato, 0) << e.errori;
    const auto attesi = orari_del_foglio(leggi(dir() / "ref" / "Valdora_Sarenta_731_scheda_treno.txt"));
    const auto scritti = orari_del_foglio(leggi(dir() / "out" / "Valdora_Sarenta_731_scheda_treno.txt"));
    ASSERT_EQ(attesi.size(), 35u);
    const std::string treno = leggi(dir() / "ref" / "Valdora_Sarenta_731-.txt");
    int passaggi = 0;
    for (const auto& [nome, ora] : attesi) {
        const auto s = scritti.find(nome);
        ASSERT_NE(s, scritti.end()) << nome;
        // Whether the station's row gives a time: its fields 15 to 17 (hours, minutes, seconds) are not all 0.
        const auto fine = treno.find(", " + nome + "\r\n");
        ASSERT_NE(fine, std::string::npos) << nome;
        std::vector<long> campi;
        for (std::size_t k = treno.rfind('\n', fine) + 1; k < fine; k = treno.find(',', k) + 1) {
            campi.push_back(std::strtol(treno.c_str() + k, nullptr, 10));
            if (treno.find(',', k) >= fine) break;
        }
        ASSERT_EQ(campi.size(), 17u) << nome;
        const bool programmato = campi[14] != 0 || campi[15] != 0 || campi[16] != 0;
        if (programmato || ora.find('-') != std::string::npos) {
            EXPECT_EQ(s->second, ora) << nome;
        } else {
            ++passaggi;
            EXPECT_LE(std::abs(minuti(s->second) - minuti(ora)), 1) << nome << ": " << s->second << " against " << ora;
        }
    }
    EXPECT_EQ(passaggi, 25);
}

TEST_F(Documenti, LoScenarioCortoDueProgressiveFermataSenzaSostaRallentamentoAlCippo) {
    coppia(treno_piccolo(rallentamento_al_cippo));
    const auto e = documenti({"--top-speed", "140", "--classification", "R", "--blocked-mass", "320"});
    ASSERT_EQ(e.stato, 0) << e.errori;
    const auto scheda = righe_crlf(leggi(dir() / "out" / "Colle_12_scheda_treno.txt"));
    ASSERT_GT(scheda.size(), 24u);
    EXPECT_EQ(scheda[3], " |                   |                    SCHEDA 1/1               |              |");
    EXPECT_EQ(scheda[4], " |   TRENO n. 12     |                   da: Borgo Alto            |    V140 C    |");
    EXPECT_EQ(scheda[5], " |___________________|                    a: Valle Nuova           |      95%     |");
    EXPECT_EQ(scheda[9], " |        R          |              |      320T         |");
    const std::vector<std::string> righe{
        " | 100 |     |  10.000  |     | BORGO ALTO                 |          7.00  |     |",
        " | 120 |     |  11.000  |     | Cippo Km 11.000            |                |     |",
        " |     |     |  12.000  |     | CASELLE                    |                |     |",
        " |     |     |  12.500  |     | Ponte Alto                 |                |     |",
        " |     |     |  19.000  |     | PIANO                      |       7.06     |     |",
        " |  90 |     |  18.650  |     | Km 18.650                  |                |     |",
        " |     |     |  16.000  |     | VALLE NUOVA                |  7.12          |     |",
        " |     |     |          |     |                            |                |     |",
    };
    for (std::size_t i = 0; i < righe.size(); ++i) EXPECT_EQ(scheda[16 + i], righe[i]) << i;
    const auto ordine = righe_crlf(leggi(dir() / "out" / "Colle_12_rallentamenti.txt"));
    ASSERT_GT(ordine.size(), 13u);
    EXPECT_EQ(ordine[4], " Linea  BORGO ALTO - VALLE NUOVA");
    EXPECT_EQ(ordine[12], " | 1 | PIANO - VALLE NUOVA        |     18     |    60    |   300   |   -----    |");
    const auto note = righe_crlf(leggi(dir() / "out" / "Colle_12_note.txt"));
    ASSERT_GE(note.size(), 2u);
    EXPECT_EQ(note[0], "Simulazione del treno R 12 Borgo Alto - Valle Nuova nel tratto ");
    EXPECT_EQ(note[1], "Borgo Alto - Valle Nuova.");
    EXPECT_NE(e.errori.find("1 of 4 stations have no time"), std::string::npos) << e.errori;
}

TEST_F(Documenti, UnaCoppiaCheNonCompilaNonScriveNienteEMostraGliErrori) {
    // A station off the 50 m grid: status 8.
    std::string treno = treno_piccolo("");
    treno.replace(treno.find("2000, 12"), 4, "2010");
    coppia(treno);
    const auto e = documenti();
    EXPECT_EQ(e.stato, 2) << e.errori;
    EXPECT_NE(e.uscita.find("error"), std::string::npos) << e.uscita;
    EXPECT_NE(e.uscita.find("Colle_12-.txt:"), std::string::npos) << e.uscita;
    EXPECT_NE(e.errori.find("nothing written"), std::string::npos) << e.errori;
    EXPECT_FALSE(fs::exists(dir() / "out"));
}

TEST_F(Documenti, UnValoreCheNonEntraEUnErroreEIDocumentiDiPrimaRestano) {
    coppia(treno_piccolo(""));
    ASSERT_EQ(documenti().stato, 0);
    const std::string prima = leggi(dir() / "out" / "Colle_12_scheda_treno.txt");
    coppia(treno_piccolo("", "Borgo Alto", "1000"));
    const auto e = documenti();
    EXPECT_EQ(e.stato, 3) << e.errori;
    EXPECT_NE(e.errori.find("speed limit \"1000\" does not fit its cell of 3 characters"), std::string::npos) << e.errori;
    EXPECT_EQ(leggi(dir() / "out" / "Colle_12_scheda_treno.txt"), prima);
    EXPECT_EQ(elenco(dir() / "out"),
              (std::vector<std::string>{"Colle_12_note.txt", "Colle_12_rallentamenti.txt", "Colle_12_scheda_treno.txt"}));
}

TEST_F(Documenti, UnNomeTroppoLungoETagliatoConUnAvviso) {
    coppia(treno_piccolo("", "Borgo Alto Di Sopra E Di Sotto"));  // 30 characters
    const auto e = documenti();
    ASSERT_EQ(e.stato, 0) << e.errori;
    EXPECT_NE(e.errori.find("warning: train sheet: the name \"BORGO ALTO DI SOPRA E DI SOTTO\" is longer than its cell "
                            "of 26 characters: cut to \"BORGO ALTO DI SOPRA E DI S\""),
              std::string::npos)
        << e.errori;
    const auto scheda = righe_crlf(leggi(dir() / "out" / "Colle_12_scheda_treno.txt"));
    EXPECT_EQ(scheda[16], " | 100 |     |  10.000  |     | BORGO ALTO DI SOPRA E DI S |          7.00  |     |");
}

}  // namespace
