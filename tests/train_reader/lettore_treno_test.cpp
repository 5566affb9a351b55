// The train file reader, each behaviour on a small train file read after a
// small line description.
#include "train_reader/lettore_treno.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "compiler/driver.h"
#include "model/codici.h"
#include "tests/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;
using modello::Modello;
namespace codice = modello::codice;

// A plain line of the given length with extra body rows (boards, mountains).
std::string linea(int lunghezza = 20000, const std::string& corpo = "") {
    return "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) + "\r\n[x]\r\n" + corpo;
}

struct Lettura {
    test_util::CartellaTemporanea dir;
    Modello m;
    bool treno_rimasto = false;

    Lettura(const std::string& treno, const std::string& testo_linea) {
        m.nome_linea = "Prova";
        m.numero_treno = "9";
        m.cartella = dir.percorso();
        m.genera_geometria = false;
        test_util::scrivi(dir.percorso() / "Prova_linea.txt", testo_linea);
        test_util::scrivi(dir.percorso() / "Prova_9-.txt", treno);
        compilatore::memorizza_dati(m);
        treno_rimasto = fs::exists(dir.percorso() / "Prova_9-.txt");
    }
    const modello::cella& c(int i) const { return m.percorso.at(static_cast<std::size_t>(i)); }
    std::vector<int> valori(int i) const {
        return {c(i).tipo, c(i).valore_1, c(i).valore_2, c(i).valore_3, c(i).valore_4};
    }
    // Were the runs finished? The cell before the last two holds the value in force.
    bool corse_finite() const { return c(m.numero_celle - 3).velocita != 0; }
};

std::string treno(const std::string& righe) { return "[generale]\r\nvelocita, 0, 100\r\n" + righe + "[fine]\r\n"; }

struct Caso {
    const char* nome;
    std::string treno;
    std::int32_t codice;
    std::int32_t posizione;
    bool corse_finite;
    std::function<void(const Lettura&)> verifica = {};
    std::string testo_linea = linea();
};

const std::string stazione_6900 = "stazione,    6900, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, CASTELFOSCO\r\n";

const Caso casi[] = {
    {"speed and adhesion runs", "[generale]\r\nvelocita,       0,   115\r\nvelocita,    1950,   132\r\n"
                                "velocita, 2000, 133\r\nvelocita, 2000, 50\r\naderenza, 0, 300\r\naderenza, 1000, 70\r\n",
     0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(0).velocita, 23);
         EXPECT_EQ(l.c(38).velocita, 23);
         EXPECT_EQ(l.c(39).velocita, 26) << "132 km/h is 26.4 fifths";
         EXPECT_EQ(l.c(40).velocita, 27) << "a row at the same cell still writes one cell";
         EXPECT_EQ(l.c(41).velocita, 10);
         EXPECT_EQ(l.c(537).velocita, 10);
         EXPECT_EQ(l.c(538).velocita, 0) << "the last two cells are left";
         EXPECT_EQ(l.c(19).aderenza, 44) << "adhesion keeps the low 8 bits";
         EXPECT_EQ(l.c(20).aderenza, 70);
         EXPECT_EQ(l.c(537).aderenza, 70);
     }},
    {"general rows and the clock", "[GENERALE]\r\nnumero vetture,    10\r\npercentuale massa frenata,    125\r\n"
                                   "sabbia,    200\r\norologio,    6               32            30 \r\nVELOCITA, 0, 90\r\n",
     0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[84].progressiva, 10);
         EXPECT_EQ(l.m.tabella[84].inizio, 125);
         EXPECT_EQ(l.m.tabella[84].fine, 20000) << "the line length stays";
         const auto& r = l.m.tabella[86];
         EXPECT_EQ(std::vector<int>({r.campo_7, r.campo_10, r.campo_11, r.campo_12}), std::vector<int>({200, 6, 32, 30}));
         EXPECT_EQ(l.c(0).velocita, 18) << "keywords in capitals are recognised";
     }},
    {"no [generale]: nothing read, runs finished with 0", "velocita, 0, 100\r\nsabbia, 5\r\n", 0, 0, false,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].campo_7, 0); }},
    {"empty train file", "", codice::errore_in_lettura, 0, false},
    {"row cut short at the end", treno("") + "sabbia", 0, 0, true},
    {"row losing its values at the end", "[generale]\r\nvelocita, 0, 100\r\nsegnale, 4500, 2, 4",
     codice::errore_in_lettura, 0, false,
     [](const Lettura& l) {
         ASSERT_TRUE(l.m.arresto.has_value());
         EXPECT_EQ(l.m.arresto->file, "Prova_9-.txt");
         EXPECT_EQ(l.m.arresto->riga, 3);
     }},
    {"number too large for an Integer", treno("sabbia, 40000\r\n"), codice::errore_in_lettura, 0, false},
    {"speed whose fifth is no byte", treno("velocita, 100, 1300\r\nvelocita, 200, 1\r\n"), codice::errore_in_lettura, 0,
     false},
    {"speed row beyond the grid", treno("velocita, 26950, 60\r\nsabbia, 7\r\n"), codice::oltre_il_percorso, 26950, true,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].campo_7, 0) << "rows after the stop are not read"; }},
    {"station of kind 12", treno(stazione_6900), 0, 0, true,
     [](const Lettura& l) {
         const auto& s = l.m.tabella[1];
         EXPECT_EQ(std::vector<int>({s.tipo, s.inizio, s.fine, s.progressiva}), std::vector<int>({12, 6600, 7200, 6900}));
         EXPECT_EQ(s.nome, "CASTELFOSCO");
         EXPECT_EQ(l.valori(143), (std::vector<int>{10, 1, 0, 0, 0}));
         for (int j = 1; j <= 4; ++j) EXPECT_EQ(l.c(143 - j).preavviso, 80 + j);
         EXPECT_EQ(l.c(138).preavviso, 0);
     }},
    {"station fields and time", treno("stazione,       0,  8,  500,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,33, 0, VALDORA\r\n"
                                      "stazione,    3000, 2,  600,  1, 1, 1,  4,1,0,  2,1,1,   80,   8,17, 0, MONTE-LUPARA\r\n"
                                      "stazione,    6000, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO\r\n"),
     0, 0, true,
     [](const Lettura& l) {
         const auto& o = l.m.tabella[1];
         EXPECT_EQ(std::vector<int>({o.inizio, o.fine, o.campo_4, o.campo_7, o.campo_8, o.campo_9, o.campo_10,
                                     o.campo_11, o.campo_12, o.campo_13, o.orario}),
                   std::vector<int>({-500, 500, 1, 4, 1, 1, 2, 1, 1, 1, (6 * 60 + 33) * 60}));
         EXPECT_EQ(l.c(9).tipo, 10);
         const auto& s = l.m.tabella[2];
         EXPECT_EQ(s.fine, 3000 + 300 + 50) << "field 6 lengthens a centred station by 50 m";
         EXPECT_EQ(std::vector<int>({s.campo_5, s.campo_6}), std::vector<int>({1, 1}));
         EXPECT_EQ(s.nome, "MONTE-LUPARA");
         EXPECT_EQ(l.c(66).tipo, 10);
         EXPECT_EQ(l.m.tabella[3].inizio, 5900);
         EXPECT_EQ(l.c(123).tipo, 0) << "kind 28 marks no cell";
         EXPECT_EQ(l.c(122).preavviso, 0);
     }},
    {"forced zeros of fields 5 and 6", treno("stazione, 2000, 5, 500, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n"
                                             "stazione, 4000, 12, 500, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n"),
     0, 0, true,
     [](const Lettura& l) {
         const auto& a = l.m.tabella[1];
         EXPECT_EQ(std::vector<int>({a.inizio, a.fine, a.campo_5, a.campo_6}), std::vector<int>({1500, 2150, 0, 0}));
         EXPECT_EQ(l.c(42).tipo, 10) << "kind 5 stops at fine / 50 - 1";
         EXPECT_EQ(l.c(41).preavviso, 0) << "kinds 5 and 6 get no approach marks";
         const auto& b = l.m.tabella[2];
         EXPECT_EQ(std::vector<int>({b.fine, b.campo_5, b.campo_6}), std::vector<int>({4300, 0, 1}));
     }},
    {"station 300 m after the previous one", treno(stazione_6900 + "stazione, 7800, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::stazioni_troppo_vicine, 7800, false},
    {"station 350 m after the previous one", treno(stazione_6900 + "stazione, 7850, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     0, 0, true},
    {"station not on a multiple of 50", treno("stazione, 6910, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::stazione_non_multipla, 6910, false,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[1].progressiva, 6910) << "stored as soon as read"; }},
    {"station length not a multiple of 100", treno("stazione, 6900, 12, 650, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::lunghezza_stazione_non_multipla, 6900, false},
    {"stopping station too close to the start", treno("stazione, 0, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::stazione_troppo_vicina_origine, 0, false},
    {"station beyond the grid", treno("stazione, 26250, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::oltre_il_percorso, 26250, true},
    {"stop cell beyond the grid", treno("stazione, 26200, 7, 1000, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, X\r\n"),
     codice::oltre_il_percorso, 26200, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[1].fine, 27200);
         EXPECT_EQ(l.c(538).preavviso, 0) << "no approach mark written";
     }},
    {"station name with a comma", treno("stazione, 6900, 12, 600, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, PONTE, sabbia, 9\r\n"), 0, 0,
     true,
     [](const Lettura& l) {
         EXPECT_EQ(l.m.tabella[1].nome, "PONTE");
         EXPECT_EQ(l.m.tabella[86].campo_7, 9) << "the rest of the line is read as rows";
     }},
    {"block signal", treno("segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0\r\n"
                           "segnale, 4550, 2, 2, 1, 1, 0, 2, 2, 1, 1, 220\r\nsegnale, 6000, 2, 0,0,0,0, 0, 0,0,0, 50\r\n"
                           "segnale, 7000, 1, 3, 4, 0, 0, 0, 0,0,0, 230\r\n"),
     0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(91), (std::vector<int>{1, 43, 11, 0, 8}));
         EXPECT_EQ(l.c(91).tempo_segnale, 0);
         for (int b = 1; b <= 4; ++b) EXPECT_EQ(l.c(91 - 2 * b).preavviso, 80 + b);
         EXPECT_EQ(l.valori(92), (std::vector<int>{1, 22, 11, 11, 8})) << "a signal 50 m later takes the next cell";
         EXPECT_EQ(l.c(92).tempo_segnale, 220);
         EXPECT_EQ(l.c(121).tempo_segnale, 101) << "1 to 100 become 101";
         EXPECT_EQ(l.c(113).preavviso, 64);
         EXPECT_EQ(l.c(141).tempo_segnale, 0) << "only a left kind of 2 keeps the time";
         EXPECT_EQ(l.c(141).valore_4, 3);
     }},
    {"signal on a taken cell", treno("segnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\nsegnale, 4520, 2,4,1,0,0, 2,3,1,0, 0\r\n"),
     codice::segnale_occupato, 4520, false},
    {"signal on a stop cell", treno(stazione_6900 + "segnale, 7100, 2,4,1,0,0, 2,3,1,0, 0\r\n"),
     codice::segnale_occupato, 7100, false},
    {"signal on a mountain marker", treno("segnale, 1100, 2,4,1,0,0, 2,3,1,0, 0\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(23).tipo, 1);
         EXPECT_EQ(l.c(23).tipo_montagna, 1);
     },
     linea(20000, "montagna, 1000, 2000, 11\r\n")},
    {"signal at the start: marks before cell 0 left out", treno("segnale, 0, 2,4,1,0,0, 2,3,1,0, 0\r\n"), 0, 0, true,
     [](const Lettura& l) { EXPECT_EQ(l.c(1).tipo, 1); }},
    {"signal before the start of the line", treno("segnale, -100, 2,4,1,0,0, 2,3,1,0, 0\r\n"), codice::errore_in_lettura,
     0, false},
    {"slowdown without approach cells", treno("rallentamento,   14950,    60,  200, 0,  0,  60\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(276), (std::vector<int>{4, 60, 60, 0, 0}));
         EXPECT_EQ(l.valori(300), (std::vector<int>{3, 60, 60, 0, 0}));
         EXPECT_EQ(l.valori(304), (std::vector<int>{2, 60, 60, 0, 0}));
         EXPECT_EQ(l.c(275).tipo, 0);
     }},
    {"slowdown with approach cells", treno("rallentamento,  14400,    60, 1650, 7,  1,  0\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(265), (std::vector<int>{4, 60, 0, 0, 0}));
         EXPECT_EQ(l.valori(289), (std::vector<int>{3, 60, 0, 7, 0}));
         EXPECT_EQ(l.valori(322), (std::vector<int>{2, 60, 0, 7, 0}));
         for (int i = 0; i < 4; ++i) EXPECT_EQ(l.valori(264 - i), (std::vector<int>{5, i + 1, 0, 0, 0}));
     }},
    {"slowdown at 1500 m: no warning point", treno("rallentamento, 1500, 60, 200, 0, 1, 40\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(31), (std::vector<int>{3, 60, 40, 0, 0}));
         for (int i = 0; i < 31; ++i) EXPECT_EQ(l.c(i).tipo, 0) << i;
     }},
    {"slowdown at 1550 m: warning and approach cells", treno("rallentamento, 1550, 60, 200, 0, 1, 40\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(8), (std::vector<int>{4, 60, 40, 0, 0}));
         for (int i = 0; i < 4; ++i) EXPECT_EQ(l.valori(7 - i), (std::vector<int>{5, i + 1, i + 1, 0, 0}));
     }},
    {"short slowdown: the start wins its cell", treno("rallentamento, 3000, 60, 10, 0, 0, 0\r\n"), 0, 0, true,
     [](const Lettura& l) { EXPECT_EQ(l.c(61).tipo, 3); }},
    {"slowdown warning cell taken", treno("segnale, 1750, 2,4,0,0,0, 2,1,0,0, 0\r\nrallentamento, 2950, 60, 200, 0, 1, 0\r\n"),
     codice::avviso_occupato, 2950, false,
     [](const Lettura& l) { EXPECT_EQ(l.c(60).tipo, 0); }},
    {"slowdown end on a stop cell", treno(stazione_6900 + "rallentamento, 6900, 60, 200, 0, 0, 0\r\n"),
     codice::fine_rallentamento_occupata, 6900, false,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(139).tipo, 0) << "nothing written";
         EXPECT_EQ(l.c(115).tipo, 0);
         EXPECT_EQ(l.c(143).tipo, 10);
     }},
    {"slowdown approach cells on a signal", treno("segnale, 8750, 2,4,0,0,0, 2,1,0,0, 0\r\nrallentamento, 10000, 60, 200, 0, 1, 0\r\n"),
     codice::preavviso_occupato, 10000, false,
     [](const Lettura& l) {
         EXPECT_EQ(l.c(177).tipo, 4);
         EXPECT_EQ(l.c(201).tipo, 3);
         EXPECT_EQ(l.c(205).tipo, 2);
         EXPECT_EQ(l.c(176).tipo, 1);
         EXPECT_EQ(l.c(175).tipo, 0) << "no approach cell written";
     }},
    {"slowdown end beyond the grid", treno("rallentamento, 10000, 60, 20000, 0, 1, 0\r\n"), codice::oltre_il_percorso, 10000,
     true, [](const Lettura& l) { EXPECT_EQ(l.c(177).tipo, 0); }},
    {"code points", treno("abbattimento, 10000, 0\r\nabbattimento, 10050, 180\r\nabbattimento, 1100, 75\r\n"), 0, 0, true,
     [](const Lettura& l) {
         EXPECT_EQ(l.valori(200), (std::vector<int>{13, 0, 0, 0, 0}));
         EXPECT_EQ(l.valori(201), (std::vector<int>{12, 180, 0, 0, 0}));
         EXPECT_EQ(l.valori(22), (std::vector<int>{12, 75, 0, 0, 0})) << "over a mountain marker";
     },
     linea(20000, "montagna, 800, 2000, 11\r\n")},
    {"code point on a signal", treno("segnale, 9950, 2,4,0,0,0, 2,1,0,0, 0\r\nabbattimento, 10000, 180\r\n"),
     codice::abbattimento_occupato, 10000, false},
    {"one and two comment lines before a row", treno("-- nota --\r\nsabbia, 3\r\n-- a --\r\n-- b --\r\nsabbia, 4\r\n"), 0, 0,
     true, [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].campo_7, 4); }},
    {"three comment lines: the third is dropped as a keyword field",
     treno("-- a --\r\n-- b --\r\n-- c --\r\nsabbia, 4\r\n"), 0, 0, true,
     [](const Lettura& l) { EXPECT_EQ(l.m.tabella[86].campo_7, 4); }},
    {"soft stop followed by code 2", treno("segnale, 30000, 2,4,0,0,0, 2,1,0,0, 0\r\n"), codice::progressiva_non_multipla,
     30000, true, {},
     "[generale]\r\nlunghezza percorso, 20000\r\nprogressiva uno, 125, 350000, 0\r\n[x]\r\n"},
    {"a pending 15 from the line does not stop the train", treno("segnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\n"),
     codice::oltre_il_percorso, 90000, true, [](const Lettura& l) { EXPECT_EQ(l.c(91).tipo, 1); },
     linea(20000, "pendenza, 90000, 3\r\n")},
    {"a later code replaces the pending 15", treno("segnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\nsegnale, 4500, 1,1,1,0,0, 1,1,1,0, 0\r\n"),
     codice::segnale_occupato, 4500, false, {}, linea(20000, "pendenza, 90000, 3\r\n")},
};

TEST(LettoreTreno, CodiciCelleEFile) {
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        const Lettura l(c.treno, c.testo_linea);
        EXPECT_EQ(l.m.codice_errore, c.codice);
        EXPECT_EQ(l.m.posizione_errore, c.posizione);
        EXPECT_FALSE(l.treno_rimasto) << "train file not deleted";
        if (c.codice != codice::errore_in_lettura) {
            EXPECT_EQ(l.corse_finite(), c.corse_finite);
        }
        if (c.verifica) c.verifica(l);
    }
}

TEST(LettoreTreno, LeStazioniNonRaggiungonoITestiDeiCartelli) {
    std::string cartelli;
    for (int i = 0; i < 3; ++i) cartelli += "cartello_indicatore, " + std::to_string(1000 + 100 * i) + ", k\r\n";
    std::string stazioni;
    for (int k = 0; k < 76; ++k) stazioni += "stazione, " + std::to_string(50000 + 2000 * k) + ", 28, 200, 0,0,0, 0,0,0, 0,0,0, 0,0,0,0, S\r\n";
    const Lettura tre_cartelli(treno(stazioni), linea(300000, cartelli));
    EXPECT_EQ(tre_cartelli.m.codice_errore, codice::tabella_piena);
    EXPECT_EQ(tre_cartelli.m.tabella[76].nome, "S") << "station 76 is stored, then refused";
    EXPECT_TRUE(tre_cartelli.m.tabella[77].nome.empty());
    EXPECT_EQ(tre_cartelli.m.tabella[78].nome, "k");

    // With every record taken by boards, the first station is refused before
    // it can overwrite a board text.
    std::string ottanta;
    for (int i = 0; i < 80; ++i) ottanta += "cartello_indicatore, " + std::to_string(1000 + 100 * i) + ", k\r\n";
    const Lettura pieno(treno(stazioni), linea(300000, ottanta));
    EXPECT_EQ(pieno.m.codice_errore, codice::tabella_piena);
    EXPECT_EQ(pieno.m.tabella[1].nome, "k");
    EXPECT_EQ(pieno.m.tabella[1].progressiva, 0);
}

TEST(LettoreTreno, UnaFermataDellaLineaLasciaIlTrenoAlSuoPosto) {
    test_util::CartellaTemporanea dir;
    Modello m;
    m.nome_linea = "Prova";
    m.numero_treno = "9";
    m.cartella = dir.percorso();
    test_util::scrivi(dir.percorso() / "Prova_linea.txt", "[generale]\r\nlunghezza percorso, 2000001\r\n");
    test_util::scrivi(dir.percorso() / "Prova_9-.txt", treno(""));
    compilatore::memorizza_dati(m);
    EXPECT_EQ(m.codice_errore, codice::lunghezza_eccessiva);
    EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_9-.txt")) << "a hard stop of the line leaves the train file alone";

    fs::remove(dir.percorso() / "Prova_9-.txt");
    test_util::scrivi(dir.percorso() / "Prova_linea.txt", linea());
    compilatore::memorizza_dati(m);
    EXPECT_EQ(m.codice_errore, codice::errore_in_lettura) << "a missing train file is a run-time failure";
}

}  // namespace
