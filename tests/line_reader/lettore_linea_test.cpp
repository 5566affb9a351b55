// The line description reader, each behaviour on a small file of its own.
#include "line_reader/lettore_linea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "compiler/driver.h"
#include "model/codici.h"
#include "tests/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;
using modello::Modello;
namespace codice = modello::codice;

// A compile of one line description (and a stand-in train file beside it)
// through memorizza_dati, with its general failure handler.
struct Lettura {
    test_util::CartellaTemporanea dir;
    Modello m;
    bool linea_rimasta = false;
    bool treno_rimasto = false;

    explicit Lettura(const std::optional<std::string>& testo, int geometria = 1) {
        m.nome_linea = "Prova";
        m.numero_treno = "9";
        m.cartella = dir.percorso();
        m.genera_geometria = geometria != 0;
        if (testo) test_util::scrivi(dir.percorso() / "Prova_linea.txt", *testo);
        test_util::scrivi(dir.percorso() / "Prova_9-.txt", "[generale]\r\n");
        compilatore::memorizza_dati(m);
        linea_rimasta = fs::exists(dir.percorso() / "Prova_linea.txt");
        treno_rimasto = fs::exists(dir.percorso() / "Prova_9-.txt");
    }
    const modello::cella& c(int i) const { return m.percorso.at(static_cast<std::size_t>(i)); }
};

// A file with a general block of the given length and the given body rows.
std::string linea(const std::string& corpo, int lunghezza = 10000) {
    return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n[corpo]\r\n" + corpo + "[fine]\r\n";
}

enum class Treno { intatto, letto_dopo, cancellato };

struct Caso {
    const char* nome;
    std::optional<std::string> testo;
    std::int32_t codice;
    std::optional<std::int32_t> posizione;  // posizione_errore when the code sets one
    Treno treno;                            // what becomes of the train file
    std::function<void(const Lettura&)> verifica = {};
};

// Hard stops leave the train file alone; after a normal or soft end the
// train file is read (and deleted); a run-time failure deletes both input files.
const Caso casi[] = {
    {"missing file", std::nullopt, codice::linea_mancante, {}, Treno::intatto},
    {"no [generale]", "a,b\r\n[curve]\r\n", codice::generale_mancante, {}, Treno::intatto},
    {"[generale] as the last field", "x\r\n[GENERALE]\r\n", codice::generale_mancante, {}, Treno::intatto},
    {"empty file", "", codice::errore_in_lettura, {}, Treno::cancellato},
    {"length too large", "[generale]\r\nlunghezza percorso, 1000001\r\n[fine]\r\n", codice::lunghezza_eccessiva, {},
     Treno::intatto,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[84].fine, 1000001);
         EXPECT_TRUE(l.m.percorso.empty());
     }},
    {"largest length", linea("", 1000000), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.lunghezza_totale, 1007000);
         EXPECT_EQ(l.m.numero_celle, 20140);
         EXPECT_EQ(l.m.percorso.size(), 20141u);
     }},
    {"second length entry without a grid keeps the first grid",
     "[generale]\r\nlunghezza percorso, 20000\r\nlunghezza percorso, -20000\r\n[fine]\r\n", codice::errore_in_lettura,
     {}, Treno::cancellato,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[84].fine, -20000);
         EXPECT_EQ(l.m.lunghezza_totale, 27000);
         EXPECT_EQ(l.m.numero_celle, 540);
         EXPECT_EQ(l.m.percorso.size(), 541u);
         EXPECT_EQ(l.m.geometria->ultimo_metro(), 27000);
     }},
    {"second length entry allocates anew", "[generale]\r\nlunghezza percorso, 20000\r\nlunghezza percorso, 3000\r\n[fine]\r\n",
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.numero_celle, 200);
         EXPECT_EQ(l.m.percorso.size(), 201u);
         EXPECT_EQ(l.m.geometria->ultimo_metro(), 10000);
     }},
    {"length 25 rounds to even", linea("", 25), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) { EXPECT_EQ(l.m.numero_celle, 140); }},
    {"length 75 rounds to even", linea("", 75), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) { EXPECT_EQ(l.m.numero_celle, 142); }},
    {"length 243025", linea("", 243025), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.lunghezza_totale, 250025);
         EXPECT_EQ(l.m.numero_celle, 5000);
         EXPECT_EQ(l.m.geometria->elementi(), 2u * 250026u);
     }},
    {"no length entry", "[generale]\r\nsfondo uno, 1\r\n[fine]\r\n", codice::errore_in_lettura, {}, Treno::cancellato,
     [](const Lettura& l) { EXPECT_TRUE(l.m.percorso.empty()); }},
    {"general block ends at the end of the file", "[generale]\r\nlunghezza percorso, 1000", 0, {}, Treno::letto_dopo,
     [](const Lettura& l) { EXPECT_EQ(l.m.numero_celle, 160); }},
    {"general settings",
     "preambolo, 1, 2\r\n[generale]\r\nLUNGHEZZA PERCORSO, 5000\r\nsfondo uno, 7\r\nsfondo tre e due, 8, 9\r\n"
     "Progressiva chilometrica uno, 0, 5, 1\r\nripetizione segnali 4 codici, 1650, 241000\r\n[curve]\r\n",
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         const auto& t = l.m.tabella;
         EXPECT_EQ(t[84].fine, 5000);
         EXPECT_EQ(t[85].inizio, 7);
         // One field naming two backgrounds reads two values, in the order of the tests: due, then tre.
         EXPECT_EQ(t[85].progressiva, 8);
         EXPECT_EQ(t[85].fine, 9);
         EXPECT_EQ(t[85].nome, "Prova");
         EXPECT_EQ(t[86].nome, "9");
         EXPECT_EQ(t[83].fine, 0) << "'Progressiva' with a capital is not a progressive";
         EXPECT_EQ(t[86].inizio, 1650);
         EXPECT_EQ(t[86].fine, 241000);
         EXPECT_EQ(t[86].progressiva, 4);
     }},
    {"9 codes", "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali 9, 100, 200\r\n[x]\r\n", 0, {},
     Treno::letto_dopo, [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].progressiva, 9); }},
    {"both digits: 4", "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali 9 o 4, 100, 200\r\n[x]\r\n", 0,
     {}, Treno::letto_dopo, [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].progressiva, 4); }},
    {"repetition end 0", "[generale]\r\nlunghezza percorso, 5000\r\nripetizione segnali 4, 100, 0\r\n[x]\r\n", 0, {},
     Treno::letto_dopo, [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].progressiva, 0); }},
    {"repetition start not a multiple of 50", "[generale]\r\nripetizione segnali 4, 1660, 2000\r\n[x]\r\n",
     codice::inizio_ripetizione_non_multiplo, {}, Treno::intatto,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].fine, 2000); }},
    {"repetition end not a multiple of 50", "[generale]\r\nripetizione segnali 4, 1650, 2010\r\n[x]\r\n",
     codice::fine_ripetizione_non_multipla, {}, Treno::intatto},
    {"repetition without 4 or 9", "[generale]\r\nripetizione segnali, 1650, 2000\r\n[x]\r\n",
     codice::codici_ripetizione_ignoti, {}, Treno::intatto,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].progressiva, 0); }},
    {"ten comment fields in the general block are skipped, the eleventh is a keyword",
     "[generale]\r\n-1\r\n-2\r\n-3\r\n-4\r\n-5\r\n-6\r\n-7\r\n-8\r\n-9\r\n-10\r\n-11 lunghezza percorso, 800\r\n"
     "-1\r\n-2\r\n-3\r\n-4\r\n-5\r\n-6\r\n-7\r\n-8\r\n-9\r\n-10 sfondo uno, 3\r\n[x]\r\n",
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[84].fine, 800);
         EXPECT_EQ(l.m.tabella[85].inizio, 0) << "the tenth hyphen field is still skipped";
     }},
    {"general block ending in two comment fields", "[generale]\r\nlunghezza percorso, 800\r\n-a\r\n-b",
     codice::errore_in_lettura, {}, Treno::cancellato},
    {"two comment lines in the body are skipped, a third is a keyword",
     linea("-- nota --\r\n-- nota --\r\npendenza, 1000, 3\r\n-a\r\n-b\r\n-pendenza, 2000, 5\r\n"), 0, {},
     Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(0).pendenza, 100);
         EXPECT_EQ(l.c(20).pendenza, 103);
         EXPECT_EQ(l.c(40).pendenza, 105);
     }},
    {"entry on the very last line is processed",
     "[generale]\r\nlunghezza percorso, 150000\r\n[x]\r\nmontagna,   141550,  143050,  11", 0, {}, Treno::letto_dopo,
     [](const Lettura& l) { EXPECT_EQ(l.c(2831).tipo_montagna, 1); }},
    {"a lone field at the end is dropped", linea("pendenza, 1000, 3\r\npendenza"), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) { EXPECT_FALSE(l.m.arresto.has_value()) << "a reading to the end stops nowhere"; }},
    {"an entry cut short at the end", linea("") + "pendenza, 1000", codice::errore_in_lettura, {}, Treno::cancellato},
    {"gradient beyond the grid is a soft stop",
     linea("pendenza, 1000, 3\r\npendenza, 9000, 2\r\nindicatori_vmax, 100, 0,0,0,0,0,0,0,0\r\n", 1000), 15, 9000,
     Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(3).tipo, 0) << "rows after the stop are not read";
         EXPECT_EQ(l.c(157).pendenza, 103) << "the tail still runs";
     }},
    {"gradient out of its byte", linea("pendenza, 0, 200\r\n"), codice::errore_in_lettura, {}, Treno::cancellato},
    {"curve without a class digit", linea("pendenza, 1000, 2\r\ncurvad, 1000, 100\r\n"),
     codice::curva_o_geometria_errata, {}, Treno::intatto,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(100).pendenza, 0) << "no tails after a hard stop";
         EXPECT_LT(l.m.geometria->ultimo_posato(), 100);
     }},
    {"curve start beyond the grid", linea("curvad4, 20000, 100\r\n"), 15, 20000, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.geometria->valori().at(16998, 1).numero(), 16998.0) << "straight by the tail";
         EXPECT_EQ(l.m.geometria->ultimo_posato(), 16998);
     }},
    {"curve running past the geometry", linea("curvad4, 16000, 5000\r\n"), 15, 16000, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.geometria->ultimo_posato(), 17000);
         EXPECT_TRUE(l.m.geometria->elementi() == 2u * 17001u);
     }},
    {"geometry past 1000000 m", linea("curvad4, 999000, 2000\r\n", 1000000), codice::curva_o_geometria_errata, {},
     Treno::intatto,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.geometria->ultimo_posato(), 1000000);
     }},
    {"without geometry a curve's values are ignored fields", linea("curvad4, 1000, 100\r\npendenza, 100, 4\r\n"), 0,
     {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_FALSE(l.m.geometria.has_value());
         EXPECT_EQ(l.c(2).pendenza, 104);
     }},
    {"mountain stretch with markers", linea("montagna,   141550,  143050,  11\r\n", 150000), 0, {},
     Treno::letto_dopo,
     [](const Lettura& l) {
         for (int i = 2829; i <= 2862; ++i) {
             const bool dentro = i >= 2831 && i <= 2860;
             EXPECT_EQ(l.c(i).tipo_montagna, dentro ? 1 : 0) << i;
             EXPECT_EQ(l.c(i).tipo, dentro && (i - 2830) % 4 == 0 ? 11 : 0) << i;
         }
         EXPECT_EQ(l.m.numero_montagne, 1);
     }},
    {"mountain types by gap and markers",
     linea("montagna, 1000, 2000, 5\r\nmontagna, 2150, 3000, 2\r\nmontagna, 3200, 4000, 15\r\n"
           "montagna, 4000, 3000, 2\r\n"),
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(20).tipo_montagna, 5);
         EXPECT_EQ(l.c(23).tipo, 0) << "type 5 has no markers";
         EXPECT_EQ(l.c(43).tipo_montagna, 3) << "150 m after the previous one";
         EXPECT_EQ(l.c(64).tipo_montagna, 5) << "200 m after keeps its own type";
         EXPECT_EQ(l.c(67).tipo, 11);
         EXPECT_EQ(l.m.numero_montagne, 4) << "an empty stretch still counts";
         EXPECT_EQ(l.m.montagna_fine[4], 3000);
     }},
    // The last cell is fine / 50 - 1 rounded as one value: 6575 (25 past an
    // odd multiple of 50) ends at 130.5, rounded to 130; 6525 (past an even
    // one) at 129.5, also 130.
    {"mountain end 25 past an odd multiple of 50", linea("montagna, 5050, 6575, 1\r\n"), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         for (int i = 100; i <= 132; ++i) EXPECT_EQ(l.c(i).tipo_montagna, i >= 101 && i <= 130 ? 1 : 0) << i;
     }},
    {"mountain end 25 past an even multiple of 50", linea("montagna, 5050, 6525, 1\r\n"), 0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         for (int i = 100; i <= 132; ++i) EXPECT_EQ(l.c(i).tipo_montagna, i >= 101 && i <= 130 ? 1 : 0) << i;
     }},
    {"mountain end beyond the grid", linea("montagna, 1000, 20000, 1\r\n"), 15, 1000, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.numero_montagne, 0);
         EXPECT_EQ(l.c(20).tipo_montagna, 0);
     }},
    {"mountain before the line's start", linea("montagna, -1000, 2000, 1\r\n"), codice::errore_in_lettura, {},
     Treno::cancellato},
    {"indicator boards", linea("indicatori_vmax,  700,  100,  110,  115,  0,  100,  110,  115,  0\r\n"
                               "indicatori_vmax,  7400,  120,  125,  130,  2,  120,  125,  130,  2\r\n"
                               "indicatori_vmax,  9350,  60,  70,  75,  2,  ,  ,  ,  0\r\n"
                               "indicatori_vmax,  25,  0,0,0,  0,  0,0,0,  0\r\n"),
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         const auto valori = [&](int i) {
             return std::vector<int>{l.c(i).tipo, l.c(i).valore_1, l.c(i).valore_2, l.c(i).valore_3, l.c(i).valore_4};
         };
         EXPECT_EQ(valori(15), (std::vector<int>{6, 2020, 2222, 2323, 0}));
         EXPECT_EQ(valori(149), (std::vector<int>{6, 2424, 2525, 2626, 22}));
         EXPECT_EQ(valori(188), (std::vector<int>{6, 1200, 1400, 1500, 20}));
         EXPECT_EQ(l.c(2).tipo, 6) << "25 m: round(1.5) is cell 2";
     }},
    {"indicator board on a taken cell", linea("indicatori_vmax, 700, 1,1,1,0,1,1,1,0\r\nindicatori_v, 720, 1,1,1,0,1,1,1,0\r\n"),
     codice::indicatore_occupato, 720, Treno::intatto,
     [](const Lettura& l) {
         ASSERT_TRUE(l.m.arresto.has_value());
         EXPECT_EQ(l.m.arresto->file, "Prova_linea.txt");
         EXPECT_EQ(l.m.arresto->riga, 5) << "the line of the refused board";
     }},
    {"indicator value beyond 16 bits", linea("indicatori_vmax, 700, 2000,0,0,0,0,0,0,0\r\n"),
     codice::errore_in_lettura, {}, Treno::cancellato},
    // A board's values are stored one by one, kind first: the value that does
    // not fit 16 bits fails the reading with the cell as far as it got.
    {"indicator board failing at its first value", linea("indicatori_vmax, 700, 2000,110,115,0,100,110,115,0\r\n"),
     codice::errore_in_lettura, {}, Treno::cancellato,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(15).tipo, 6);
         EXPECT_EQ(l.c(15).valore_1, 0);
         EXPECT_EQ(l.c(15).valore_2, 0);
     }},
    {"indicator board failing at its second value", linea("indicatori_vmax, 700, 100,2000,115,0,100,110,115,0\r\n"),
     codice::errore_in_lettura, {}, Treno::cancellato,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(15).tipo, 6);
         EXPECT_EQ(l.c(15).valore_1, 2020);
         EXPECT_EQ(l.c(15).valore_2, 0);
         EXPECT_EQ(l.c(15).valore_3, 0);
     }},
    {"indicator board failing at its third value", linea("indicatori_vmax, 700, 100,110,2000,3,100,110,115,4\r\n"),
     codice::errore_in_lettura, {}, Treno::cancellato,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(15).tipo, 6);
         EXPECT_EQ(l.c(15).valore_1, 2020);
         EXPECT_EQ(l.c(15).valore_2, 2222);
         EXPECT_EQ(l.c(15).valore_3, 0);
         EXPECT_EQ(l.c(15).valore_4, 0) << "the stripes come after the speeds";
     }},
    {"kilometre boards", linea("cartello_indicatore,  4400,   (Km 345+557)\r\nmontagna, 0, 1000, 11\r\n"
                               "cartello_indicatore,  150,   \"(Km, 2)\" coda\r\n"),
     0, {}, Treno::letto_dopo,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(89).tipo, 14);
         EXPECT_EQ(l.c(89).valore_1, 80);
         EXPECT_EQ(l.m.tabella[80].nome, "(Km 345+557)");
         EXPECT_EQ(l.c(4).tipo, 14) << "a board replaces a mountain marker";
         EXPECT_EQ(l.c(4).valore_1, 79);
         EXPECT_EQ(l.m.tabella[79].nome, "(Km, 2)");
         EXPECT_EQ(l.c(4).tipo_montagna, 1);
     }},
    {"kilometre board on a taken cell", linea("indicatori_vmax, 4400, 1,1,1,0,1,1,1,0\r\ncartello_indicatore, 4400, x\r\n"),
     codice::cartello_km_occupato, 4400, Treno::intatto},
    {"kilometre board beyond the grid", linea("cartello_indicatore, 16950, x\r\n"), 15, 16950, Treno::letto_dopo},
    {"kilometre board before the line's start", linea("cartello_indicatore, -100, x\r\n"), codice::errore_in_lettura,
     {}, Treno::cancellato},
};

TEST(LettoreLinea, CodiciEFileDopoOgniLettura) {
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        const Lettura l(c.testo, std::strstr(c.nome, "without geometry") ? 0 : 1);
        EXPECT_EQ(l.m.codice_errore, c.codice);
        EXPECT_EQ(l.m.posizione_errore, c.posizione.value_or(0));
        EXPECT_FALSE(l.linea_rimasta) << "line description not deleted";
        EXPECT_EQ(l.treno_rimasto, c.treno == Treno::intatto);
        if (c.verifica) c.verifica(l);
    }
}

TEST(LettoreLinea, PendenzeCellaPerCella) {
    const Lettura l(linea("pendenza,  0,   0\r\npendenza,  5000,   -8\r\npendenza,  7000,   0\r\n"
                          "pendenza, 8000, 5\r\npendenza, 8010, 6\r\n"));
    ASSERT_EQ(l.m.numero_celle, 340);
    for (int i = 0; i <= 340; ++i) {
        int atteso = 100;  // level, from 7000 m on
        if (i >= 100 && i < 140) atteso = 92;
        if (i == 160) atteso = 105;  // two entries in one cell: the second writes it with the first's value
        if (i > 160) atteso = 106;
        if (i >= 338) atteso = 0;  // the last three cells keep 0
        EXPECT_EQ(l.c(i).pendenza, atteso) << "cell " << i;
    }
}

TEST(LettoreLinea, NessunaPendenzaEMoltiCartelli) {
    std::string corpo;
    for (int i = 0; i < 81; ++i) corpo += "cartello_indicatore, " + std::to_string(100 * i) + ", k\r\n";
    const Lettura troppi(linea(corpo));
    EXPECT_EQ(troppi.m.codice_errore, codice::errore_in_lettura) << "81 boards exhaust records 80 to 1";
    EXPECT_EQ(troppi.m.tabella[1].nome, "k");

    const Lettura piano(linea(""));
    for (int i = 0; i <= piano.m.numero_celle - 3; ++i) ASSERT_EQ(piano.c(i).pendenza, 100) << i;
}

TEST(LettoreLinea, OttantunesimaMontagna) {
    std::string corpo;
    for (int i = 0; i < 81; ++i) corpo += "montagna, " + std::to_string(100 * i) + ", " + std::to_string(100 * i + 50) + ", 1\r\n";
    const Lettura l(linea(corpo));
    EXPECT_EQ(l.m.codice_errore, codice::errore_in_lettura);
    EXPECT_EQ(l.m.numero_montagne, 80);
}

TEST(LettoreLinea, GeometriaAlBit) {
    const Lettura l(linea("curvad4, 1000, 600\r\ncurvas6, 2000, 524\r\ncurvaS5, 4000, 100\r\n"));
    const auto g = l.m.geometria->valori();
    using T = modello::valore_geometria::tipo;
    EXPECT_EQ(g.at(0, 0).etichetta, T::intero);
    EXPECT_EQ(g.at(1, 1).etichetta, T::intero);
    EXPECT_EQ(g.at(1, 1).intero, 1);
    EXPECT_EQ(g.at(2, 0).etichetta, T::reale);
    EXPECT_EQ(g.at(1000, 0).numero(), 0.0);
    EXPECT_EQ(g.at(1000, 1).numero(), 1000.0);
    EXPECT_EQ(g.at(1001, 0).numero(), 0.001);
    EXPECT_EQ(g.at(1001, 1).numero(), 1001.0);
    EXPECT_EQ(g.at(1002, 0).numero(), 0.001 + (0.001 + 0.001 * 1.0));
    EXPECT_EQ(g.at(1002, 1).numero(), 1001.0 + (1.0 - 0.001 * 0.001));

    // Recompute the whole track independently with the same step rule.
    std::vector<double> x{0, 0}, y{0, 1};
    for (int m = 2; m <= l.m.lunghezza_totale - 2; ++m) {
        double k = 0;
        if (m >= 1001 && m <= 1600) k = 0.001;
        if (m >= 2001 && m <= 2524) k = -0.003;
        if (m >= 4001 && m <= 4100) k = -0.002;
        const double dx = x[m - 1] - x[m - 2], dy = y[m - 1] - y[m - 2];
        x.push_back(k == 0 ? x[m - 1] + dx : x[m - 1] + (dx + k * dy));
        y.push_back(k == 0 ? y[m - 1] + dy : y[m - 1] + (dy - k * dx));
        ASSERT_EQ(g.at(m, 0).numero(), x[static_cast<std::size_t>(m)]) << m;
        ASSERT_EQ(g.at(m, 1).numero(), y[static_cast<std::size_t>(m)]) << m;
    }
    EXPECT_TRUE(g.at(l.m.lunghezza_totale - 1, 0).vuoto());
    EXPECT_TRUE(g.at(l.m.lunghezza_totale, 1).vuoto());
    // About 524 m of class 6 turn the step a quarter turn to the left.
    const auto direzione = [&](int m) { return std::atan2(x[m] - x[m - 1], y[m] - y[m - 1]); };
    EXPECT_NEAR(direzione(2524) - direzione(2000), -std::acos(0.0), 0.01);
}

struct Progressiva {
    std::int32_t inizio, fine, direzione;
    bool operator==(const Progressiva&) const = default;
};

TEST(LettoreLinea, OrdineDelleProgressive) {
    struct CasoP {
        Progressiva uno, due, tre;
        Progressiva r81, r82, r83;
    } casi_p[] = {
        {{0, 350000, 1}, {0, 0, 0}, {0, 0, 0}, {0, 350100, 1}, {0, 0, 0}, {0, 0, 0}},
        {{0, 350000, 1}, {50000, 300000, 0}, {0, 0, 0}, {50000, 300000, 0}, {0, 350100, 1}, {0, 0, 0}},
        {{0, 1, 0}, {50000, 2, 0}, {120000, 3, 0}, {120000, 3, 0}, {50000, 2, 0}, {0, 1, 0}},
        {{50000, 1, 0}, {50000, 2, 0}, {0, 3, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {{0, 0, 1}, {0, 0, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {{0, 0, 0}, {0, 7, 0}, {0, 5, 0}, {0, 7, 0}, {0, 5, 0}, {0, 0, 0}},
        {{0, 0, 0}, {0, 0, 0}, {0, 5, 0}, {0, 5, 0}, {0, 0, 0}, {0, 0, 0}},
        {{100, 0, 1}, {50, 0, 0}, {50, 0, 0}, {100, 100, 1}, {50, 0, 0}, {50, 0, 0}},
        {{10, 1, 0}, {300, 2, 0}, {20, 3, 0}, {300, 2, 0}, {20, 3, 0}, {10, 1, 0}},
        {{20, 1, 0}, {300, 2, 0}, {10, 3, 0}, {300, 2, 0}, {20, 1, 0}, {10, 3, 0}},
    };
    for (const auto& c : casi_p) {
        Modello m;
        for (auto [r, p] : {std::pair{83, c.uno}, std::pair{82, c.due}, std::pair{81, c.tre}}) {
            m.tabella[static_cast<std::size_t>(r)].inizio = p.inizio;
            m.tabella[static_cast<std::size_t>(r)].fine = p.fine;
            m.tabella[static_cast<std::size_t>(r)].progressiva = p.direzione;
        }
        lettura::progressive_ordina(m);
        const auto letta = [&](int r) {
            const auto& v = m.tabella[static_cast<std::size_t>(r)];
            return Progressiva{v.inizio, v.fine, v.progressiva};
        };
        EXPECT_TRUE(letta(81) == c.r81 && letta(82) == c.r82 && letta(83) == c.r83)
            << "uno starts at " << c.uno.inizio << ", due at " << c.due.inizio << ", tre at " << c.tre.inizio;
    }
}

}  // namespace
