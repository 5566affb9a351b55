// scenario_tool check: every problem of a scenario in one run, each at its
// row, with the row of the earlier object it meets.
#include <gtest/gtest.h>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "check/controllo.h"
#include "check/esame.h"
#include "check/regole.h"
#include "compiler/driver.h"
#include "memory_compile/registro.h"
#include "model/codici.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "tests/cartella_temporanea.h"
#include "tests/check/testi_builtin.h"
#include "tests/processo.h"
#include "text/visibile.h"
#include "tools/compila.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using test_util::CartellaTemporanea;

test_util::Esito strumento(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

fs::path fixture(const std::string& nome) { return fs::path(FIXTURES_DIR) / "controllo" / nome; }

std::map<std::string, std::string> contenuti(const fs::path& dir) {
    std::map<std::string, std::string> c;
    for (const auto& e : fs::recursive_directory_iterator(dir)) c[e.path().lexically_relative(dir).string()] = test_util::leggi(e.path());
    return c;
}

using test_util::testi_builtin;

// What one problem of the JSON report is, in short: "L:12 error 21 rel L:11".
std::string riassunto(const json& p) {
    const auto file = [](const json& f) { return f.get<std::string>().ends_with("_linea.txt") ? "L" : "T"; };
    std::string s = std::string(file(p["file"])) + ":" + std::to_string(p["line"].get<int>()) + " " +
                    p["severity"].get<std::string>() + " " +
                    (p["code"].is_null() ? p["rule"].get<std::string>() : std::to_string(p["code"].get<int>()));
    for (const auto& r : p["related"]) s += " rel " + std::string(file(r["file"])) + ":" + std::to_string(r["line"].get<int>());
    return s;
}

// Planted in the fixture pair, one of a kind each, across both files: ten
// errors, each of which stops or spoils the compile (a single compile finds
// one), and five warnings; and one the railway's rules find beside them: the
// slowdown at 11000 asks for 60 km/h where the train is limited to 60.
TEST(Check, OgniProblemaPiantatoNelLuogoGiustoEInOrdine) {
    const auto e = strumento({"check", "--json", fixture("Collina_linea.txt").string(), fixture("Collina_7-.txt").string()});
    ASSERT_EQ(e.stato, 2) << e.errori;
    const json j = json::parse(e.uscita);
    std::vector<std::string> trovati;
    for (const auto& p : j["problems"]) trovati.push_back(riassunto(p));
    const std::vector<std::string> attesi{
        "L:3 error 2",                          // progressive value 120010
        "L:11 warning out-of-order rel L:10",   // gradient at 4000 after the one at 9000
        "L:12 warning unknown-keyword",         // pendenze
        "L:17 error 21 rel L:16",               // indicator board on the cell of the one before
        "L:17 warning off-grid-position",       // ... written at 690
        "L:20 error 15",                        // board beyond the route grid
        "L:21 error 1250",                      // an object in the stamped first cell
        "T:10 error 8",                         // station at 9025
        "T:11 warning times-backwards rel T:10",  // 7:05 after 7:20
        "T:12 error 22 rel T:11",               // station too close to the one before
        "T:15 error 12 rel T:22 rel T:23 rel T:24",  // slowdown whose code-point cells are taken
        "T:15 warning slowdown-not-slower rel T:6",  // ... at 60 km/h, the limit from 5000 on
        "T:18 error 16 rel T:13",               // signal on a station's stop cell
        "T:19 warning off-grid-position",       // signal at 6420
        "T:21 error 7 rel L:19",                // code point on an indicator board of the line
        "T:25 error 25",                        // sand value beyond 16 bits
    };
    EXPECT_EQ(trovati, attesi);
    EXPECT_EQ(j["errors"], 10);
    EXPECT_EQ(j["warnings"], 6);

    // A warning's one fix, and none for an error or a warning without one:
    // 'pendenze' one letter from 'pendenza'; the board at 690 stands in cell
    // 690 / 50 + 1 = 14.8, cell 15, as at 700; the signal at 6420 in cell
    // 129, as at 6400.
    const auto correzioni = [&] {
        std::vector<std::string> r;
        for (const auto& p : j["problems"])
            if (!p["fix"].is_null())
                r.push_back(riassunto(p) + " " + std::to_string(p["fix"]["line"].get<int>()) + ":" +
                            std::to_string(p["fix"]["column"].get<int>()) + "-" +
                            std::to_string(p["fix"]["end_column"].get<int>()) + " " + p["fix"]["text"].get<std::string>());
        return r;
    }();
    EXPECT_EQ(correzioni, (std::vector<std::string>{"L:12 warning unknown-keyword 12:1-9 pendenza",
                                                    "L:17 warning off-grid-position 17:19-22 700",
                                                    "T:19 warning off-grid-position 19:13-17 6400"}));

    // What holds a taken cell is named in the error, and the metre is the row's.
    const auto con_codice = [&](int c) {
        for (const auto& p : j["problems"])
            if (p["code"] == c) return p;
        return json();
    };
    const auto segnale = con_codice(16);
    EXPECT_EQ(segnale["metre"], 15150);
    EXPECT_NE(segnale["message"].get<std::string>().find("the stop cell of station SAN LORENZO, line 13"),
              std::string::npos)
        << segnale["message"];
    const auto abbattimento = con_codice(7);
    EXPECT_NE(abbattimento["message"].get<std::string>().find("line 19 of the line description"), std::string::npos)
        << abbattimento["message"];
    EXPECT_TRUE(con_codice(25)["metre"].is_null());

    // --no-warn takes a rule's warnings away and leaves the rest.
    const auto meno = strumento({"check", "--json", "--no-warn", "off-grid-position", "--no-warn", "unknown-keyword",
                                 fixture("Collina_linea.txt").string(), fixture("Collina_7-.txt").string()});
    const json k = json::parse(meno.uscita);
    EXPECT_EQ(k["errors"], 10);
    EXPECT_EQ(k["warnings"], 3);
}

TEST(Check, IlTestoSiLeggeDaUnEditor) {
    const auto l = fixture("Collina_linea.txt").string();
    const auto t = fixture("Collina_7-.txt").string();
    const auto e = strumento({"check", l, t});
    ASSERT_EQ(e.stato, 2) << e.errori;
    std::vector<std::string> righe;
    for (std::size_t a = 0, b; (b = e.uscita.find('\n', a)) != std::string::npos; a = b + 1)
        righe.push_back(e.uscita.substr(a, b - a));
    ASSERT_GE(righe.size(), 4u);
    // The board at 690 stands in cell 15, as the one at 700 does.
    EXPECT_EQ(righe[4], l + ":17:1: error: speed indicator board at metre 690 on cell 15 (m 750), already taken by "
                            "the speed indicator board at metre 700, line 16 [21]");
    EXPECT_EQ(righe[5], l + ":16:1: note: the speed indicator board at metre 700 placed here");
    EXPECT_TRUE(righe[6].starts_with(l + ":17:19: warning: ")) << righe[6];
    EXPECT_TRUE(righe[6].ends_with(" [off-grid-position]")) << righe[6];
    EXPECT_EQ(righe.back(), "10 errors, 6 warnings");
    EXPECT_EQ(righe[righe.size() - 2], "more: scenario_tool explain 2 (and 21 15 1250 8 22 12 16 7 25)");
}

TEST(Check, LoScenarioIncorporatoEPulito) {
    CartellaTemporanea tmp;
    const auto b = testi_builtin();
    test_util::scrivi(tmp.percorso() / "Valdora_Sarenta_linea.txt", b.linea);
    test_util::scrivi(tmp.percorso() / "Valdora_Sarenta_731-.txt", b.treno);
    const auto e = strumento({"check", (tmp.percorso() / "Valdora_Sarenta_linea.txt").string(),
                              (tmp.percorso() / "Valdora_Sarenta_731-.txt").string()});
    EXPECT_EQ(e.stato, 0) << e.uscita << e.errori;
    EXPECT_EQ(e.uscita, "0 errors, 0 warnings\n");
}

// A run-time failure is the row at fault's: a row cut short that reads its
// missing values from the next row, where the reading fails, or a value that
// only fails when a later row (or the file's end) has it laid along the grid.
TEST(Check, UnGuastoInLetturaNominaLaRigaCheLoCausa) {
    struct caso {
        const char* nome;
        bool in_linea;
        std::string da, a;  // the first row of the file so written, and what it becomes
        int riga;
    };
    const auto b = testi_builtin();
    const caso casi[] = {
        {"row cut short", false, "orologio,    6               32            30 ", "orologio, 7\r\nvelocita, 99999, 60", 5},
        {"speed too high, laid by the next row", false, "velocita,       0,   115", "velocita,       0,   1600", 11},
        {"speed too high, laid at the end", false, "velocita,  236000,   115", "velocita,  236000,   1600", 37},
        {"gradient too steep, laid by the next row", true, "pendenza,  5000,   -8", "pendenza,  5000,   -180", 76},
    };
    for (const auto& c : casi) {
        std::string linea = b.linea, treno = b.treno;
        std::string& t = c.in_linea ? linea : treno;
        ASSERT_NE(t.find(c.da), std::string::npos) << c.nome;
        t.replace(t.find(c.da), c.da.size(), c.a);
        const auto p = strumento::errori_di_compilazione(linea, treno, {"Valdora_Sarenta", "731"});
        ASSERT_EQ(p.size(), 1u) << c.nome;
        EXPECT_EQ(p[0].codice, 25) << c.nome;
        EXPECT_EQ(p[0].file, c.in_linea ? strumento::quale_file::linea : strumento::quale_file::treno) << c.nome;
        EXPECT_EQ(p[0].riga, c.riga) << c.nome << ": " << p[0].messaggio;
    }
}

// A value that fails to read is named by its field, as the reference names
// it, with its text as written and its line, and a cell outside the grid by
// its index and metre, in check's error and in compile's "because:" alike;
// the close variant of each reads.
TEST(Check, UnValoreCheNonSiLeggeENominatoDalSuoCampo) {
    struct caso {
        const char* nome;
        bool in_linea;
        std::string da, a, vicino;  // a row of the built-in files, what it becomes, and a variant that reads
        std::string motivo;
        std::string perse = {};  // what check adds of the rows a row cut short loses
    };
    const auto b = testi_builtin();
    const std::string roccavella = "stazione,   37650,  4,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  6,56, 0, ROCCAVELLA";
    const caso casi[] = {
        {"a station's kind beyond a byte", false, roccavella,
         "stazione,   37650,  300,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  6,56, 0, ROCCAVELLA",
         "stazione,   37650,  255,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  6,56, 0, ROCCAVELLA",
         "'kind' of the 'stazione' row, '300' on line 47, is out of the Byte range (0 to 255)"},
        // A value the reader computes from several fields names them.
        {"a timetable time beyond a Long", false, roccavella,
         "stazione,   37650,  4,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  999999,56, 0, ROCCAVELLA",
         "stazione,   37650,  4,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  596523,14, 0, ROCCAVELLA",
         "the timetable time, (hours \u00d7 60 + minutes) \u00d7 60 + seconds, comes to 3599999760, out of the Long "
         "range (-2147483648 to 2147483647)"},
        // A speed fails as the next row lays it along the grid: the reason names the row's line.
        {"a speed beyond a byte's fifths", false, "velocita,       0,   115", "velocita,       0,   1600",
         "velocita,       0,   1277",
         "speed limit 1600 (line 11) out of range: its fifth does not fit a byte (0 to 1277 km/h), laid along the "
         "grid by a later row or the end of the file"},
        // The text as written, not only the number the stream takes from it.
        {"sand beyond 16 bits, with a unit", false, "sabbia,    200", "sabbia,    40000kg", "sabbia,    200kg",
         "'sand' of the 'sabbia' row, '40000kg' on line 4, is out of the Integer range (-32768 to 32767)"},
        // The row cut short takes the next row's fields: the value that fails is on line 6.
        {"a clock cut short", false, "orologio,    6               32            30 ",
         "orologio, 7\r\nvelocita, 99999, 60", "orologio, 7, 0\r\nvelocita, 0, 60",
         "'seconds' of the 'orologio' row, '99999' on line 6, is out of the Integer range (-32768 to 32767)",
         "; the row is cut short: the row at line 6, 'velocita, 99999, 60', is read as its values and is lost"},
        // A row continued on a line of numbers loses no row there.
        {"a row continued on the next line", false, "segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0",
         "segnale,    4500,   2, 4, 1,  0, 0\r\n    2,  3,1,0, 99999999999",
         "segnale,    4500,   2, 4, 1,  0, 0\r\n    2,  3,1,0, 0",
         "'time' of the 'segnale' row, '99999999999' on line 83, is out of the Long range (-2147483648 to "
         "2147483647)"},
        {"the file ends inside a row", false, "[fine]\r\n\r\n", "abbattimento,  240000", "abbattimento,  240000,  0",
         "'code' of the 'abbattimento' row: the file ends before it"},
        // A cell before the grid's first is named by its index and metre; -25 rounds into cell 0.
        {"a signal before the start of the line", false, "segnale,    4500,", "segnale,    -100,", "segnale,    -25,",
         "the signal falls in cell -1 (m -50), outside the route grid (cells 0 to 5000)"},
        // One keyword field, two entries: the gradient's two values, then the mountain's three.
        {"the second entry of a field", true, "pendenza,  5000,   -8",
         "pendenza montagna,  5000,   -8,  5000,  5100,  99999999999",
         "pendenza montagna,  5000,   -8,  5000,  5100,  1",
         "'type' of the 'montagna' row, '99999999999' on line 76, is out of the Long range (-2147483648 to "
         "2147483647)"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        for (const bool legge : {false, true}) {
            std::string linea = b.linea, treno = b.treno;
            std::string& t = c.in_linea ? linea : treno;
            ASSERT_NE(t.find(c.da), std::string::npos);
            t.replace(t.find(c.da), c.da.size(), legge ? c.vicino : c.a);
            const auto p = strumento::errori_di_compilazione(linea, treno, {"Valdora_Sarenta", "731"});
            const auto guasti = std::count_if(p.begin(), p.end(), [](const auto& x) { return x.codice == 25; });
            if (legge) {
                EXPECT_EQ(guasti, 0);
                continue;
            }
            ASSERT_EQ(guasti, 1);
            const auto& e = *std::find_if(p.begin(), p.end(), [](const auto& x) { return x.codice == 25; });
            EXPECT_EQ(e.messaggio, "the reading failed: " + c.motivo + c.perse + "; nothing after this is read");

            CartellaTemporanea dir;
            test_util::scrivi(dir.percorso() / "Valdora_Sarenta_linea.txt", linea);
            test_util::scrivi(dir.percorso() / "Valdora_Sarenta_731-.txt", treno);
            const auto r = strumento::compila({.file_linea = dir.percorso() / "Valdora_Sarenta_linea.txt",
                                               .file_treno = dir.percorso() / "Valdora_Sarenta_731-.txt",
                                               .cartella_uscita = dir.percorso(), .id = {"Valdora_Sarenta", "731"}});
            EXPECT_EQ(r.codice_errore, 25);
            ASSERT_TRUE(r.fermata && r.fermata->motivo);
            EXPECT_EQ(*r.fermata->motivo, c.motivo);
        }
    }
}

// Ten conflicts in a row: each is reported, one compile after another.
TEST(Check, DieciConflittiDieciErrori) {
    const auto b = testi_builtin();
    std::string treno = b.treno;
    std::string doppi;
    for (const char* p : {"1650", "3050", "4500", "5800", "7850", "9850", "11900", "13200", "15000", "16800"})
        doppi += std::string("segnale,    ") + p + ",   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n";
    treno.insert(treno.find("[codici]"), doppi);
    const auto p = strumento::errori_di_compilazione(b.linea, treno, {"Valdora_Sarenta", "731"});
    ASSERT_EQ(p.size(), 10u);
    for (const auto& x : p) {
        EXPECT_EQ(x.codice, 16);
        ASSERT_EQ(x.correlati.size(), 1u);
        EXPECT_NE(x.correlati[0].messaggio.find("the signal at metre"), std::string::npos);
    }
}

TEST(Check, NonScriveNullaFuoriDallaSuaCartellaEDisfaLaSua) {
    CartellaTemporanea autore, temporanea;
    fs::copy(fixture("Collina_linea.txt"), autore.percorso() / "Collina_linea.txt");
    fs::copy(fixture("Collina_7-.txt"), autore.percorso() / "Collina_7-.txt");
    const auto prima = contenuti(autore.percorso());
    const auto e = strumento({"env", "TMPDIR=" + temporanea.percorso().string(), SCENARIO_TOOL_PATH, "check",
                              (autore.percorso() / "Collina_linea.txt").string(),
                              (autore.percorso() / "Collina_7-.txt").string()});
    (void)e;
    EXPECT_EQ(contenuti(autore.percorso()), prima);
    EXPECT_TRUE(fs::is_empty(temporanea.percorso()));
}

// The recorder only watches: compile writes the same bytes with it on.
TEST(Check, IlRegistroNonCambiaCioCheLaCompilazioneScrive) {
    const auto b = testi_builtin();
    const std::vector<std::pair<std::string, std::string>> scenari{
        {b.linea, b.treno},
        {test_util::leggi(fixture("Collina_linea.txt")), test_util::leggi(fixture("Collina_7-.txt"))},
    };
    for (const auto& [linea, treno] : scenari) {
        std::map<std::string, std::string> scritti[2];
        for (int acceso = 0; acceso < 2; ++acceso) {
            CartellaTemporanea tmp;
            modello::Modello m;
            m.cartella = tmp.percorso();
            m.nome_linea = "Prova";
            m.numero_treno = "1";
            strumento::registro_controllo registro;
            if (acceso) m.osservatore = &registro;
            test_util::scrivi(tmp.percorso() / modello::nome_file_linea(m), linea);
            test_util::scrivi(tmp.percorso() / modello::nome_file_treno(m), treno);
            try {
                compilatore::memorizza_percorso(m, 1);
            } catch (const modello::errore_fatale& e) {
                scritti[acceso]["fatal"] = std::to_string(e.codice());
            }
            scritti[acceso]["status"] = std::to_string(m.codice_errore) + " " + std::to_string(m.posizione_errore);
            for (const auto& [nome, testo] : contenuti(tmp.percorso())) scritti[acceso][nome] = testo;
        }
        EXPECT_EQ(scritti[0], scritti[1]);
        EXPECT_GE(scritti[0].size(), 2u);
    }
}

// Whether the files were given the wrong way round is told by each line's
// keyword field, up to a comma on that line: a line without a comma holds
// its keyword alone, whatever the lines after it hold.
TEST(Check, IFileScambiatiSiRiconosconoRigaPerRiga) {
    const auto b = testi_builtin();
    struct caso {
        const char* nome;
        std::string linea, treno;
        bool scambiati;
    };
    const caso casi[] = {
        {"the right way round", b.linea, b.treno, false},
        {"the wrong way round", b.treno, b.linea, true},
        {"train rows without commas before a line row", "segnale\r\nsegnale\r\nsegnale\r\npendenza, 0, 5\r\n",
         "pendenza, 0, 5\r\n", true},
        {"no comma in either file", "segnale\nsegnale", "pendenza\npendenza\r\n", true},
        {"no line ends", "segnale", "pendenza", true},
        {"empty", "", "", false},
    };
    for (const auto& c : casi) EXPECT_EQ(strumento::sembrano_scambiati(c.linea, c.treno), c.scambiati) << c.nome;
}

// A train file of lines without commas: each line is one unknown keyword,
// after [generale]; without it, the file is one error.
TEST(Check, RigheSenzaVirgole) {
    const auto b = testi_builtin();
    std::string righe;
    constexpr int n = 2000;
    for (int k = 0; k < n; ++k) righe += "riga senza virgole " + std::to_string(k) + "\r\n";
    const strumento::identificativi id{"Valdora_Sarenta", "731"};
    const auto p = strumento::esamina(b.linea, "[generale]\r\n" + righe, id);
    ASSERT_EQ(p.size(), static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const auto& x = p[static_cast<std::size_t>(k)];
        EXPECT_EQ(x.file, strumento::quale_file::treno);
        EXPECT_EQ(x.riga, k + 2);
        EXPECT_EQ(x.regola, strumento::nome_parola_ignota);
        EXPECT_FALSE(x.codice);
    }
    const auto senza = strumento::esamina(b.linea, righe, id);
    ASSERT_EQ(senza.size(), 1u);
    EXPECT_EQ(senza[0].regola, strumento::errore_generale);
    EXPECT_FALSE(strumento::sembrano_scambiati(b.linea, righe));
}

TEST(Check, StatiDiUscita) {
    CartellaTemporanea tmp;
    const auto b = testi_builtin();
    const auto linea = (tmp.percorso() / "Valdora_Sarenta_linea.txt").string();
    const auto treno = (tmp.percorso() / "Valdora_Sarenta_731-.txt").string();
    test_util::scrivi(linea, b.linea);
    test_util::scrivi(treno, b.treno);

    const auto mancante = strumento({"check", linea, (tmp.percorso() / "Valdora_Sarenta_9-.txt").string()});
    EXPECT_EQ(mancante.stato, 3);
    EXPECT_EQ(mancante.errori, "scenario_tool check: cannot read " + (tmp.percorso() / "Valdora_Sarenta_9-.txt").string() +
                                   ": no such file\n");
    // A file the user may not read: one line saying why.
    const fs::path chiuso = tmp.percorso() / "Valdora_Sarenta_7-.txt";
    test_util::scrivi(chiuso, b.treno);
    fs::permissions(chiuso, fs::perms::none);
    std::vector<std::string> prefisso;
    if (::geteuid() == 0) {
        // Root reads anything: an unprivileged user meets the closed file.
        fs::permissions(tmp.percorso(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(linea, fs::perms::others_read, fs::perm_options::add);
        prefisso = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    const auto negato = test_util::esegui({SCENARIO_TOOL_PATH, "check", linea, chiuso.string()}, "", prefisso);
    EXPECT_EQ(negato.stato, 3) << negato.errori;
    EXPECT_EQ(negato.errori, "scenario_tool check: cannot read " + chiuso.string() + ": Permission denied\n");

    fs::create_directory(tmp.percorso() / "Valdora_Sarenta_8-.txt");
    EXPECT_EQ(strumento({"check", linea, (tmp.percorso() / "Valdora_Sarenta_8-.txt").string()}).stato, 3);

    const auto regola_ignota = strumento({"check", "--no-warn", "nessuna-regola", linea, treno});
    EXPECT_EQ(regola_ignota.stato, 64);
    EXPECT_NE(regola_ignota.errori.find("nessuna-regola"), std::string::npos) << regola_ignota.errori;
    EXPECT_EQ(strumento({"check", linea}).stato, 64);
    EXPECT_EQ(strumento({"check", "--linea", "Altra", linea, treno}).stato, 64);
    // The two files the wrong way round: said at once, not as thirty unknown keywords.
    const auto scambiati = strumento({"check", "--linea", "Valdora_Sarenta", "--treno", "731", treno, linea});
    EXPECT_EQ(scambiati.stato, 64);
    EXPECT_NE(scambiati.errori.find("give the line description first"), std::string::npos) << scambiati.errori;
    EXPECT_EQ(scambiati.uscita, "");

    // Files named any way are checked all the same: nothing reported hangs on the names.
    fs::copy_file(linea, tmp.percorso() / "linea.txt");
    fs::copy_file(treno, tmp.percorso() / "treno.txt");
    const auto senza_nomi = strumento({"check", (tmp.percorso() / "linea.txt").string(), (tmp.percorso() / "treno.txt").string()});
    EXPECT_EQ(senza_nomi.stato, 0) << senza_nomi.uscita << senza_nomi.errori;
}

// The author's guide lists every warning rule, as the rule table has it.
TEST(Check, LaGuidaDegliAutoriElencaOgniRegola) {
    const std::string guida = test_util::leggi(fs::path(SOURCE_DIR) / "docs" / "author-guide.md");
    std::string tabella;
    for (const auto& r : strumento::regole_avviso())
        tabella += "| `" + std::string(r.nome) + "` | " + std::string(r.descrizione) + " | " +
                   (r.file == strumento::quale_file::linea ? "line" : "train") + " file: `" + testo::visibile(r.esempio) +
                   "` |\n";
    EXPECT_NE(guida.find("|---|---|---|\n" + tabella + "\n"), std::string::npos)
        << "the author's guide's table of warning rules (docs/author-guide.md) should read:\n" << tabella;
}

}  // namespace

namespace {

// A problem as one line of text, notes included, for comparing two runs.
std::vector<std::string> come_testo(const std::vector<strumento::problema>& v) {
    std::vector<std::string> r;
    for (const auto& p : v) {
        std::string s = std::to_string(static_cast<int>(p.file)) + ":" + std::to_string(p.riga) + ":" +
                        std::to_string(p.codice.value_or(-1)) + ":" + p.regola + ":" + p.messaggio;
        for (const auto& c : p.correlati)
            s += " | " + std::to_string(static_cast<int>(c.file)) + ":" + std::to_string(c.riga) + ":" + c.messaggio;
        r.push_back(s);
    }
    return r;
}

}  // namespace

// Rounds that go on from the line description's reading find what rounds
// from both files' start find: conflicts in the train file alone, with a
// line description that stops softly, with line rows taken out between train
// rounds, a curve without its class, a station before the line's start.
TEST(Check, IGiriDopoLaLineaTrovanoCioCheTrovanoIGiriDaCapo) {
    const auto b = testi_builtin();
    std::string doppi;
    for (const char* p : {"1650", "3050", "4500", "5800", "7850"})
        doppi += std::string("segnale,    ") + p + ",   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n";
    struct caso {
        const char* nome;
        std::string linea_in, treno_in;  // appended before [fine] / [codici]
    };
    const caso casi[] = {
        {"train conflicts", "", doppi},
        {"a soft stop in the line", "pendenza, 999000, 3\r\n", doppi},
        {"line conflicts and train conflicts, one with a line board", "indicatori_vmax, 9050, 100,110,120,0,100,110,120,0\r\n"
                                               "indicatori_vmax, 9050, 100,110,120,0,100,110,120,0\r\n",
         doppi + "segnale,    9050,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n"},
        {"a curve without its class", "curvad, 5000, 300\r\n", doppi},
        {"a station before the start", "", doppi + "stazione, -500, 12, 500, 0,0,0,1,1,0,4,1,1,0,0,0,0, PRIMA\r\n"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::string linea = b.linea, treno = b.treno;
        ASSERT_NE(linea.rfind("[fine]"), std::string::npos);
        linea.insert(linea.rfind("[fine]"), c.linea_in);
        treno.insert(treno.find("[codici]"), c.treno_in);
        const strumento::identificativi id{"Valdora_Sarenta", "731"};
        const auto veloci = strumento::errori_di_compilazione(linea, treno, id);
        const auto da_capo =
            strumento::errori_di_compilazione(linea, treno, id, strumento::giri_controllo::da_capo);
        EXPECT_GE(veloci.size(), 5u);
        EXPECT_EQ(come_testo(veloci), come_testo(da_capo));
    }
}
