// scenario_tool run as an author runs it: emit a template, compile one's own
// files, read the compiled files back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "compiler/driver.h"
#include "dump/scarico.h"
#include "model/codici.h"
#include "model/modello.h"
#include "platform/blocco_cartella.h"
#include "scenario_text/emettitori.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "tests/righe_input.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using test_util::CartellaTemporanea;

const std::vector<std::string> testi_builtin{
    "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", "Valdora_Sarenta_731_note.txt",
    "Valdora_Sarenta_731_rallentamenti.txt", "Valdora_Sarenta_731_scheda_treno.txt"};
const std::vector<std::string> compilati_builtin{"Valdora_Sarenta_linea.dat", "Valdora_Sarenta_731.sim",
                                                 "Valdora_Sarenta_731.dat"};

test_util::Esito strumento(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

fs::path fixture(const std::string& nome) { return fs::path(FIXTURES_DIR) / nome; }

std::map<std::string, std::string> contenuti(const fs::path& dir) {
    std::map<std::string, std::string> m;
    for (const auto& nome : test_util::elenco(dir)) m[nome] = test_util::leggi(dir / nome);
    return m;
}

using test_util::numero;
using test_util::righe_con;
long cella_di(long posizione, double in_piu) { return std::lrint(posizione / 50.0 + in_piu); }

// The value of a profile's run that covers a cell.
json valore_in(json runs, long cella) {
    for (auto& r : runs)
        if (r["from_cell"] <= cella && cella <= r["to_cell"]) return r["value"];
    ADD_FAILURE() << "no run covers cell " << cella;
    return nullptr;
}

// ---------------------------------------------------------------------------
// The built-in scenario through emit, compile and dump, once for the suite.

class GiroCompleto : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new CartellaTemporanea;
        emissione_ = strumento({"emit", autore().string()});
        dopo_emit_ = contenuti(autore());
        compilazione_ = strumento({"compile", (autore() / testi_builtin[0]).string(),
                                   (autore() / testi_builtin[1]).string(), "--json"});
    }
    static void TearDownTestSuite() { delete dir_; }
    static fs::path autore() { return dir_->percorso() / "scenario"; }

    static inline CartellaTemporanea* dir_ = nullptr;
    static inline test_util::Esito emissione_, compilazione_;
    static inline std::map<std::string, std::string> dopo_emit_;
};

TEST_F(GiroCompleto, CompilaComeIlBuilderELasciaIntattiIFileDellAutore) {
    ASSERT_EQ(emissione_.stato, 0) << emissione_.errori;
    std::vector<std::string> attesi = testi_builtin;
    std::sort(attesi.begin(), attesi.end());
    std::vector<std::string> emessi;
    for (const auto& [nome, testo] : dopo_emit_) emessi.push_back(nome);
    ASSERT_EQ(emessi, attesi) << "emit writes the five text files into a folder it creates";

    ASSERT_EQ(compilazione_.stato, 0) << compilazione_.errori << compilazione_.uscita;
    json esito = json::parse(compilazione_.uscita);
    EXPECT_EQ(esito["outcome"], "ok");
    EXPECT_EQ(esito["codice_errore"], 0);
    EXPECT_EQ(esito["files"], json(compilati_builtin));

    // The author's files are still there, byte for byte; beside them only the
    // compiled files, nothing left over from the work.
    auto adesso = contenuti(autore());
    for (const auto& [nome, testo] : dopo_emit_) {
        ASSERT_TRUE(adesso.count(nome)) << nome << " is gone";
        EXPECT_EQ(adesso[nome], testo) << nome << " changed";
        adesso.erase(nome);
    }
    std::vector<std::string> aggiunti;
    for (const auto& [nome, testo] : adesso) aggiunti.push_back(nome);
    std::vector<std::string> compilati = compilati_builtin;
    std::sort(compilati.begin(), compilati.end());
    EXPECT_EQ(aggiunti, compilati);

    // The same bytes as the builder's own run of emitters and compile driver.
    CartellaTemporanea builder;
    modello::Modello m;
    m.cartella = builder.percorso();
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    testi_scenario::dati_linea(m);
    testi_scenario::dati_treno(m);
    ASSERT_EQ(compilatore::memorizza_percorso(m, 1), 0);
    for (const auto& nome : compilati_builtin)
        EXPECT_TRUE(test_util::leggi(builder.percorso() / nome) == adesso[nome]) << nome << " differs";
}

TEST_F(GiroCompleto, DumpRitrovaLeRigheDeiFileDiTesto) {
    ASSERT_EQ(compilazione_.stato, 0);
    const auto esito = strumento({"dump", autore().string(), "--json"});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    json d = json::parse(esito.uscita);
    const fs::path linea = autore() / testi_builtin[0];
    const fs::path treno = autore() / testi_builtin[1];

    std::map<long, json> celle;
    for (auto& c : d["route"]) celle[c["cell"].get<long>()] = c;
    for (const auto& [indice, c] : celle) EXPECT_EQ(c["metre"], indice * 50);
    auto oggetti = [&](const std::string& nome) {
        return std::count_if(celle.begin(), celle.end(), [&](const auto& c) { return c.second["object"] == nome; });
    };

    // Signals: "segnale, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo".
    const auto segnali = righe_con(treno, "segnale");
    ASSERT_EQ(segnali.size(), 124u);
    EXPECT_EQ(oggetti("signal"), 124);
    for (const auto& r : segnali) {
        json& c = celle[cella_di(numero(r[1]), 1)];
        ASSERT_EQ(c["object"], "signal") << r[1];
        json& v = c["values"];
        EXPECT_EQ(v["left"]["kind"], numero(r[2])) << r[1];
        EXPECT_EQ(v["left"]["digits"], json({numero(r[3]), numero(r[4]), numero(r[5])})) << r[1];
        EXPECT_EQ(v["rapp"], numero(r[6])) << r[1];
        EXPECT_EQ(v["right"]["kind"], numero(r[7])) << r[1];
        EXPECT_EQ(v["right"]["digits"], json({numero(r[8]), numero(r[9]), numero(r[10])})) << r[1];
    }

    // Speed indicator boards: position, left a b c stripes, right a b c stripes.
    for (const auto& r : righe_con(linea, "indicatori_v")) {
        json& c = celle[cella_di(numero(r[1]), 1)];
        ASSERT_EQ(c["object"], "speed indicator board") << r[1];
        json& v = c["values"];
        EXPECT_EQ(v["left"]["speeds_kmh"], json({numero(r[2]), numero(r[3]), numero(r[4])})) << r[1];
        EXPECT_EQ(v["left"]["stripes"], numero(r[5])) << r[1];
        EXPECT_EQ(v["right"]["speeds_kmh"], json({numero(r[6]), numero(r[7]), numero(r[8])})) << r[1];
        EXPECT_EQ(v["right"]["stripes"], numero(r[9])) << r[1];
    }
    for (const auto& r : righe_con(linea, "cartello_indicatore")) {
        json& c = celle[cella_di(numero(r[1]), 1)];
        ASSERT_EQ(c["object"], "kilometre board") << r[1];
        EXPECT_EQ(c["values"]["text"], r[2]);
    }

    // Stations: record k holds the k-th row's position and name.
    const auto stazioni = righe_con(treno, "stazione");
    ASSERT_EQ(stazioni.size(), 35u);
    std::map<int, json> record;
    for (auto& r : d["table"]) record[r["record"].get<int>()] = r;
    for (std::size_t k = 1; k <= stazioni.size(); ++k) {
        ASSERT_TRUE(record.count(static_cast<int>(k))) << k;
        EXPECT_EQ(record[static_cast<int>(k)]["role"], "station " + std::to_string(k));
        EXPECT_EQ(record[static_cast<int>(k)]["fields"]["progressiva"], numero(stazioni[k - 1][1]));
        EXPECT_EQ(record[static_cast<int>(k)]["fields"]["nome"], stazioni[k - 1][17]);
    }
    EXPECT_EQ(record[84]["fields"]["fine"], 243000);

    // Profiles: each row's value holds from its cell until the next row's cell.
    const long ultima = d["cells"].get<long>() - 1;
    auto controlla_serie = [&](const std::vector<std::vector<std::string>>& righe, json runs, auto atteso) {
        ASSERT_FALSE(righe.empty());
        for (std::size_t i = 0; i < righe.size(); ++i) {
            const long n = cella_di(numero(righe[i][1]), 0);
            const long dopo = i + 1 < righe.size() ? cella_di(numero(righe[i + 1][1]), 0) : ultima - 2;
            if (dopo > n) {
                EXPECT_EQ(valore_in(runs, n), atteso(numero(righe[i][2]))) << righe[i][0] << " " << righe[i][1];
            }
        }
    };
    controlla_serie(righe_con(treno, "velocita"), d["profiles"]["speed_kmh"],
                    [](long v) { return json(std::lrint(v / 5.0) * 5); });
    controlla_serie(righe_con(treno, "aderenza"), d["profiles"]["adhesion"], [](long v) { return json(v & 0xFF); });
    controlla_serie(righe_con(linea, "pendenza"), d["profiles"]["gradient_per_mille"], [](long v) { return json(v); });

    // Geometry: every curved metre turns the step by atan(class curvature),
    // to the left for "s".
    const double curvatura[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
    double netta = 0, totale = 0;
    for (const auto& r : righe_con(linea, "curva")) {
        const auto classe = r[0].find_first_of("123456");
        ASSERT_NE(classe, std::string::npos) << r[0];
        const double svolta = numero(r[2]) * std::atan(curvatura[r[0][classe] - '1']);
        netta += r[0].find('s') != std::string::npos ? -svolta : svolta;
        totale += svolta;
    }
    json& g = d["geometry"];
    EXPECT_EQ(g["metres"], 250001);
    EXPECT_EQ(g["empty_metres"], 2);
    EXPECT_NEAR(g["net_turn_degrees"].get<double>(), netta * 180 / std::numbers::pi, 1e-6);
    EXPECT_NEAR(g["total_turn_degrees"].get<double>(), totale * 180 / std::numbers::pi, 1e-6);

    // The text form tells the same story: every station is named.
    const auto testo = strumento({"dump", autore().string()});
    ASSERT_EQ(testo.stato, 0) << testo.errori;
    for (const auto& r : stazioni) EXPECT_NE(testo.uscita.find("\"" + r[17] + "\""), std::string::npos) << r[17];
}

// The table's fields under the reference's names, the JSON keys as they were;
// the kilometric progressives said to be in the reader's order.
TEST_F(GiroCompleto, DumpNominaICampiComeIlRiferimento) {
    ASSERT_EQ(compilazione_.stato, 0);
    const fs::path treno = autore() / testi_builtin[1];
    const long sabbia = numero(righe_con(treno, "sabbia").at(0)[1]);
    const auto stazione = righe_con(treno, "stazione").at(2);

    json d = json::parse(strumento({"dump", autore().string(), "--json"}).uscita);
    std::map<int, json> record;
    for (auto& r : d["table"]) record[r["record"].get<int>()] = r;
    EXPECT_EQ(record[86]["fields"]["campo_7"], sabbia);
    EXPECT_EQ(record[86]["names"]["campo_7"], "sand");
    EXPECT_EQ(record[3]["names"]["progressiva"], "position (m)");
    EXPECT_EQ(record[3]["names"]["campo_7"], "field 7");
    EXPECT_EQ(record[81]["role"], "kilometric progressive, first by start");
    EXPECT_TRUE(record[81].contains("ordering"));

    const std::string t = strumento({"dump", autore().string()}).uscita;
    const auto tabella = t.substr(0, t.find("route cells"));
    EXPECT_EQ(tabella.find("campo_"), std::string::npos) << tabella;
    EXPECT_NE(tabella.find("sand=" + std::to_string(sabbia)), std::string::npos) << tabella;
    EXPECT_NE(tabella.find("record 3, station 3: kind=" + stazione[2] + "; "), std::string::npos) << tabella;
    EXPECT_NE(tabella.find("position (m)=" + stazione[1] + ";"), std::string::npos) << tabella;
    EXPECT_NE(tabella.find("records 81 to 83: the reader puts the three kilometric progressives in order of start"),
              std::string::npos)
        << tabella;

    // A cell is named by its index and its own metre: the signal at 4500 m
    // stands in cell 4500 / 50 + 1; the speed of the row at 0 m runs up to the
    // cell before the next row's, at 1950 m.
    const auto segnale = t.find("\n  cell 91 (m 4550) ");
    ASSERT_NE(segnale, std::string::npos) << t.substr(0, 4000);
    EXPECT_NE(t.substr(segnale, t.find('\n', segnale + 1) - segnale).find("signal"), std::string::npos);
    EXPECT_NE(t.find("\n    cells 0-38 (m 0-1900) "), std::string::npos);
}

// ---------------------------------------------------------------------------
// compile: one case per outcome, on copies of small fixture files.

TEST(Compile, StatoDiUscitaERapportoPerOgniEsito) {
    struct caso {
        const char* come;
        std::string linea, treno;
        std::vector<std::string> opzioni;
        int stato;
        std::string outcome;
        int codice;
        std::optional<int> posizione, fatale;
        std::string stale;  // a compiled file of an earlier run in the folder
        std::optional<std::pair<std::string, int>> fermata;
        std::size_t note = 0;  // whole-file findings
    };
    const caso casi[] = {
        {"clean", "Prova_linea.txt", "Prova_1-.txt", {}, 0, "ok", 0, {}, {}, "Prova_1.sim", {}},
        // Status 0, but the stamps took a signal's values: not a success.
        {"signal at 0 with zero digits", "Prova_linea.txt", "segnale_allo_zero.txt", {"--treno", "3"}, 1, "ok", 0, {},
         {}, "Prova_3.sim", {}, 1},
        // Status 0, but nothing of the train file was read: not a success.
        {"train file without [generale]", "Prova_linea.txt", "SenzaGenerale_1-.txt", {"--treno", "1"}, 1, "ok", 0, {},
         {}, "Prova_1.sim", {}, 1},
        {"board on a taken cell: the line file stops", "Occupato_linea.txt", "Prova_1-.txt", {"--treno", "1"}, 1, "ok",
         modello::codice::indicatore_occupato, 700, {}, "Occupato_1.sim", std::pair{"Occupato_linea.txt", 5}},
        {"signal on a stop cell, train file named freely", "Prova_linea.txt", "segnale_sulla_fermata.txt",
         {"--treno", "2"}, 1, "ok", modello::codice::segnale_occupato, 3200, {}, "Prova_2.sim",
         std::pair{"segnale_sulla_fermata.txt", 4}},
        {"signal at 0 with s1*10+d1 nonzero", "Prova_linea.txt", "Prova_1250-.txt", {}, 2, "fatal", 0, {}, 1250,
         "Prova_1250.sim", {}},
        {"signal at 0 with only s2*10+d2 nonzero", "Prova_linea.txt", "Prova_1251-.txt", {}, 2, "fatal", 0, {}, 1251,
         "Prova_1251.dat", {}},
        // The header on line 2 closes a general block that had no length.
        {"no length, no route grid", "SenzaLunghezza_linea.txt", "Prova_1-.txt", {"--treno", "1"}, 3, "unhandled",
         modello::codice::errore_in_lettura, {}, {}, "SenzaLunghezza_1.dat",
         std::pair{"SenzaLunghezza_linea.txt", 2}},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.come);
        CartellaTemporanea dir;
        fs::copy_file(fixture(k.linea), dir.percorso() / k.linea);
        fs::copy_file(fixture(k.treno), dir.percorso() / k.treno);
        test_util::scrivi(dir.percorso() / k.stale, "vecchio");
        const auto prima = contenuti(dir.percorso());

        std::vector<std::string> argomenti{"compile", (dir.percorso() / k.linea).string(),
                                           (dir.percorso() / k.treno).string(), "--json"};
        argomenti.insert(argomenti.end(), k.opzioni.begin(), k.opzioni.end());
        const auto esito = strumento(argomenti);
        EXPECT_EQ(esito.stato, k.stato) << esito.errori;
        json j = json::parse(esito.uscita);
        const auto in_ordine = nlohmann::ordered_json::parse(esito.uscita);
        std::vector<std::string> chiavi;
        for (const auto& [chiave, valore] : in_ordine.items()) chiavi.push_back(chiave);
        EXPECT_EQ(chiavi, (std::vector<std::string>{"codice_errore", "posizione_errore", "outcome", "fatal_code",
                                                    "files", "stopped_at", "notes"}));
        EXPECT_EQ(j["notes"].size(), k.note) << j["notes"];
        EXPECT_EQ(j["outcome"], k.outcome);
        EXPECT_EQ(j["codice_errore"], k.codice);
        EXPECT_EQ(j["posizione_errore"], k.posizione ? json(*k.posizione) : json(nullptr));
        EXPECT_EQ(j["fatal_code"], k.fatale ? json(*k.fatale) : json(nullptr));
        if (k.fermata) {
            EXPECT_EQ(j["stopped_at"]["file"], (dir.percorso() / k.fermata->first).string());
            EXPECT_EQ(j["stopped_at"]["line"], k.fermata->second);
        } else {
            EXPECT_TRUE(j["stopped_at"].is_null()) << j["stopped_at"];
        }

        // The author's files are untouched; the compiled files are there
        // after a compile status (the stale one replaced), none otherwise.
        const auto dopo = contenuti(dir.percorso());
        EXPECT_EQ(dopo.at(k.linea), prima.at(k.linea));
        EXPECT_EQ(dopo.at(k.treno), prima.at(k.treno));
        if (k.stato <= 1) {
            EXPECT_EQ(j["files"].size(), 3u);
            for (const auto& nome : j["files"]) EXPECT_TRUE(dopo.count(nome.get<std::string>())) << nome;
            EXPECT_EQ(dopo.size(), 5u);
            EXPECT_NE(dopo.at(k.stale), "vecchio");
        } else {
            EXPECT_TRUE(j["files"].empty());
            EXPECT_EQ(dopo, prima) << "nothing written";
        }
    }
}

// Status 25 alone does not say what failed: the report adds the failure's
// own words, in the text and in the JSON.
TEST(Compile, UnGuastoInLetturaDiceCheCosaNonVa) {
    CartellaTemporanea dir;
    const fs::path linea = dir.percorso() / "Ripida_linea.txt";
    fs::copy_file(fixture("Ripida_linea.txt"), linea);
    const auto argomenti = std::vector<std::string>{"compile", linea.string(), fixture("Prova_1-.txt").string(),
                                                    "--treno", "1"};
    const auto testo = strumento(argomenti);
    EXPECT_EQ(testo.stato, 1) << testo.errori;
    EXPECT_NE(testo.uscita.find("status 25"), std::string::npos) << testo.uscita;
    // The reading stops at the end of the file, which lays the gradient of line 5.
    const std::string motivo =
        "gradient 300 (line 5) out of range (-100 to 155), laid along the grid by a later row or the end of the file";
    EXPECT_NE(testo.uscita.find(linea.string() + ", line 6: [fine]\nbecause: " + motivo + "\n"),
              std::string::npos)
        << testo.uscita;

    auto con_json = argomenti;
    con_json.push_back("--json");
    const json j = json::parse(strumento(con_json).uscita);
    EXPECT_EQ(j["stopped_at"]["line"], 6);
    EXPECT_EQ(j["stopped_at"]["reason"], motivo);
}

TEST(Compile, IlTestoNominaCodiceSignificatoPosizioneERiga) {
    CartellaTemporanea dir;
    const fs::path linea = dir.percorso() / "Occupato_linea.txt";
    fs::copy_file(fixture("Occupato_linea.txt"), linea);
    CartellaTemporanea uscita;
    const auto esito = strumento({"compile", linea.string(), fixture("Prova_1-.txt").string(), "--treno", "1", "-o",
                                  uscita.percorso().string()});
    EXPECT_EQ(esito.stato, 1) << esito.errori;
    const std::string& t = esito.uscita;
    EXPECT_NE(t.find("21"), std::string::npos) << t;
    EXPECT_NE(t.find(std::string(modello::significato_codice(21))), std::string::npos) << t;
    EXPECT_NE(t.find("metre 700"), std::string::npos) << t;
    EXPECT_NE(t.find(linea.string() + ", line 5: " + test_util::righe_crlf(test_util::leggi(linea))[4]),
              std::string::npos)
        << t;
    EXPECT_EQ(test_util::elenco(uscita.percorso()),
              (std::vector<std::string>{"Occupato_1.dat", "Occupato_1.sim", "Occupato_linea.dat"}))
        << "-o puts the compiled files there";
}

// A report leads with what decides the outcome, right after the names: a
// fatal error or an unhandled failure before any status, and never "status 0"
// above a fatal error. A nonzero status ends with where to read about it; a
// clean compile and an unhandled failure (no code to explain) name nothing.
TEST(Compile, IlTestoCominciaDallEsitoEFinisceConLaVoceDaLeggere) {
    struct caso {
        std::string linea, treno;
        std::vector<std::string> opzioni;
        std::string prima;   // the line after "line ID, train N"
        std::string ultima;  // the report's last line
    };
    const caso casi[] = {
        {"Prova_linea.txt", "Prova_1-.txt", {}, "status 0: no problem found\n", "wrote into "},
        {"Occupato_linea.txt", "Prova_1-.txt", {"--treno", "1"}, "status 21: ", "more: scenario_tool explain 21"},
        {"Prova_linea.txt", "segnale_sulla_fermata.txt", {"--treno", "2"}, "status 16: ",
         "more: scenario_tool explain 16"},
        {"Prova_linea.txt", "Prova_1250-.txt", {}, "fatal error 1250 (\" Errore n. 1250\"): ",
         "more: scenario_tool explain 1250"},
        {"SenzaLunghezza_linea.txt", "Prova_1-.txt", {"--treno", "1"}, "unhandled failure: ", "because: "},
        {"Prova_linea.txt", "SenzaGenerale_1-.txt", {"--treno", "1"},
         "note: the train file has no [generale]: none of its rows is read", "wrote into "},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.linea + " " + k.treno);
        CartellaTemporanea dir;
        fs::copy_file(fixture(k.linea), dir.percorso() / k.linea);
        fs::copy_file(fixture(k.treno), dir.percorso() / k.treno);
        std::vector<std::string> argomenti{"compile", (dir.percorso() / k.linea).string(),
                                           (dir.percorso() / k.treno).string()};
        argomenti.insert(argomenti.end(), k.opzioni.begin(), k.opzioni.end());
        const std::string t = strumento(argomenti).uscita;
        ASSERT_TRUE(t.ends_with("\n")) << t;
        const std::string seconda = t.substr(t.find('\n') + 1);
        EXPECT_EQ(seconda.substr(0, k.prima.size()), k.prima) << t;
        const std::string ultima = t.substr(t.rfind('\n', t.size() - 2) + 1);
        EXPECT_EQ(ultima.substr(0, k.ultima.size()), k.ultima) << t;
        EXPECT_EQ(t.find("explain") == std::string::npos, !k.ultima.starts_with("more")) << t;
        const bool fallito = k.prima.starts_with("fatal") || k.prima.starts_with("unhandled");
        EXPECT_EQ(t.find("; no compiled file written\n") != std::string::npos, fallito) << t;
        if (fallito) {
            EXPECT_EQ(t.find("status 0"), std::string::npos) << t;
        }
    }
}

// -o names a folder that may not exist yet, as emit's DIR does; one that
// cannot be made is a failure told in one line, with nothing written.
TEST(Compile, LaCartellaDiUscitaVieneCreataOppureELUnicoErrore) {
    CartellaTemporanea dir;
    const fs::path nuova = dir.percorso() / "nuova" / "sotto";
    const auto creata = strumento({"compile", fixture("Prova_linea.txt").string(), fixture("Prova_1-.txt").string(),
                                   "-o", nuova.string()});
    EXPECT_EQ(creata.stato, 0) << creata.errori << creata.uscita;
    EXPECT_EQ(test_util::elenco(nuova), (std::vector<std::string>{"Prova_1.dat", "Prova_1.sim", "Prova_linea.dat"}));

    test_util::scrivi(dir.percorso() / "un_file", "x");
    for (const fs::path& impossibile : {dir.percorso() / "un_file", dir.percorso() / "un_file" / "sotto"}) {
        for (const char* formato : {"--json", "--no-geometry"}) {
            const auto esito = strumento({"compile", fixture("Prova_linea.txt").string(),
                                          fixture("Prova_1-.txt").string(), "-o", impossibile.string(), formato});
            EXPECT_EQ(esito.stato, 3) << impossibile << esito.errori;
            EXPECT_EQ(std::count(esito.errori.begin(), esito.errori.end(), '\n'), 1) << esito.errori;
            EXPECT_EQ(esito.errori.rfind("scenario_tool compile: cannot create the folder " + impossibile.string(), 0),
                      0u)
                << esito.errori;
            EXPECT_EQ(esito.uscita, "");
        }
    }
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"nuova", "un_file"}));
    EXPECT_EQ(test_util::leggi(dir.percorso() / "un_file"), "x");
}

// A folder named like the table file: the compile is refused as a whole, and
// the geometry file of an earlier compile, which comes first, keeps its bytes.
TEST(Compile, UnaCartellaAlPostoDellaTabellaNonLasciaNulla) {
    CartellaTemporanea dir;
    test_util::scrivi(dir.percorso() / "Prova_linea.dat", "vecchio");
    fs::create_directory(dir.percorso() / "Prova_1.sim");
    const auto prima = test_util::elenco(dir.percorso());
    const auto esito = strumento({"compile", fixture("Prova_linea.txt").string(), fixture("Prova_1-.txt").string(),
                                  "-o", dir.percorso().string()});
    EXPECT_EQ(esito.stato, 3) << esito.errori;
    EXPECT_NE(esito.uscita.find("Prova_1.sim, which is not a file"), std::string::npos) << esito.uscita;
    EXPECT_NE(esito.uscita.find("no compiled file written"), std::string::npos) << esito.uscita;
    EXPECT_EQ(test_util::leggi(dir.percorso() / "Prova_linea.dat"), "vecchio");
    EXPECT_EQ(test_util::elenco(dir.percorso()), prima);
}

// Each earlier compiled file read-only in turn (no write permission for the
// user): the compile is refused naming it, before any file is replaced, and
// its private folder goes too.
TEST(Compile, UnFileDiSolaLetturaNonCambiaNulla) {
    for (const char* nome : {"Prova_linea.dat", "Prova_1.sim", "Prova_1.dat"}) {
        SCOPED_TRACE(nome);
        CartellaTemporanea dir;
        for (const char* n : {"Prova_linea.dat", "Prova_1.sim", "Prova_1.dat"})
            test_util::scrivi(dir.percorso() / n, std::string("vecchio ") + n);
        const auto prima = contenuti(dir.percorso());
        fs::permissions(dir.percorso() / nome, fs::perms::owner_read);
        const auto esito = strumento({"compile", fixture("Prova_linea.txt").string(),
                                      fixture("Prova_1-.txt").string(), "-o", dir.percorso().string()});
        EXPECT_EQ(esito.stato, 3) << esito.errori;
        EXPECT_NE(esito.uscita.find("cannot replace " + (dir.percorso() / nome).string() + ", which is read-only"),
                  std::string::npos)
            << esito.uscita;
        EXPECT_NE(esito.uscita.find("no compiled file written"), std::string::npos) << esito.uscita;
        EXPECT_EQ(contenuti(dir.percorso()), prima);
        fs::permissions(dir.percorso() / nome, fs::perms::owner_all);
    }
}

// While a builder run (here: this test) holds the output folder, compile
// does its work in its private folder but moves nothing in; it finishes as
// soon as the hold ends. The same when the compile names the folder through
// a symbolic link.
TEST(Compile, AspettaChiTieneLaCartellaPrimaDiSpostareIFile) {
    for (const bool collegamento : {false, true}) {
        SCOPED_TRACE(collegamento ? "through a link" : "the folder itself");
        CartellaTemporanea dir, altrove;
        const fs::path uscita = collegamento ? altrove.percorso() / "collegamento" : dir.percorso();
        if (collegamento) fs::create_directory_symlink(dir.percorso(), uscita);
        std::optional<piattaforma::blocco_cartella> blocco(std::in_place, dir.percorso());
        ASSERT_TRUE(blocco->tenuto());
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl(SCENARIO_TOOL_PATH, SCENARIO_TOOL_PATH, "compile", fixture("Prova_linea.txt").c_str(),
                    fixture("Prova_1-.txt").c_str(), "-o", uscita.c_str(), "--json", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The route file is the last one the compile writes in its private folder.
        bool compilato = false;
        int st = 0;
        pid_t finito = 0;
        for (int i = 0; i < 2000 && !compilato && finito == 0; ++i) {
            for (const auto& nome : test_util::elenco(dir.percorso()))
                if (nome.starts_with(".") && fs::exists(dir.percorso() / nome / "Prova_1.dat")) compilato = true;
            finito = ::waitpid(pid, &st, WNOHANG);
            if (!compilato && finito == 0) ::usleep(5000);
        }
        ASSERT_EQ(finito, 0) << "compile ended while the folder was held";
        EXPECT_TRUE(compilato) << "the compile did not get as far as its private folder";
        EXPECT_EQ(test_util::elenco(dir.percorso()).size(), 2u)
            << "only the private folder and its lock file, no compiled file yet";
        blocco.reset();
        ASSERT_EQ(::waitpid(pid, &st, 0), pid);
        EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << st;
        EXPECT_EQ(test_util::elenco(dir.percorso()),
                  (std::vector<std::string>{"Prova_1.dat", "Prova_1.sim", "Prova_linea.dat"}));
    }
}

// How this machine starts a program in a PID namespace of its own, as a
// container or a sandboxed editor does; empty when it cannot.
std::vector<std::string> in_altro_spazio_pid() {
    for (std::vector<std::string> prefisso : {std::vector<std::string>{"unshare", "-pf", "--map-root-user"},
                                              std::vector<std::string>{"unshare", "-pf"}}) {
        auto prova = prefisso;
        prova.push_back("true");
        if (test_util::esegui(prova).stato == 0) return prefisso;
    }
    return {};
}

// The private folders of compiles in dir that hold their route file, i.e.
// have compiled and wait for the folder.
std::vector<std::string> compilate_in_attesa(const fs::path& dir) {
    std::vector<std::string> trovate;
    for (const auto& nome : test_util::elenco(dir))
        if (nome.starts_with(".scenario_tool_") && fs::exists(dir / nome / "Prova_1.dat")) trovate.push_back(nome);
    return trovate;
}

// Two compiles into one folder, one of them in a PID namespace of its own,
// where process numbers mean nothing to the other: while both wait for the
// folder with their work done in their private folders, neither takes the
// other's folder for a killed run's. Both end with 0 and the folder holds
// what one compile alone writes.
TEST(Compile, DueCompileInSpaziPidDiversiNonSiTolgonoIlLavoro) {
    const auto prefisso = in_altro_spazio_pid();
    if (prefisso.empty()) GTEST_SKIP() << "unshare -pf is not allowed here";
    CartellaTemporanea dir, solo;
    const std::vector<std::string> argomenti{SCENARIO_TOOL_PATH, "compile", fixture("Prova_linea.txt").string(),
                                             fixture("Prova_1-.txt").string(), "-o"};
    auto da_solo = argomenti;
    da_solo.push_back(solo.percorso().string());
    ASSERT_EQ(test_util::esegui(da_solo).stato, 0);
    const auto attesi = contenuti(solo.percorso());

    std::optional<piattaforma::blocco_cartella> blocco(std::in_place, dir.percorso());
    ASSERT_TRUE(blocco->tenuto());
    auto qui = argomenti;
    qui.push_back(dir.percorso().string());
    std::vector<std::string> altrove = prefisso;
    altrove.insert(altrove.end(), qui.begin(), qui.end());
    // Each started once the one before it has compiled: the second's private
    // folder is made while the first's waits with its files in it.
    std::vector<std::future<test_util::Esito>> corse;
    for (const auto* comando : {&qui, &altrove}) {
        const std::size_t prima = compilate_in_attesa(dir.percorso()).size();
        corse.push_back(std::async(std::launch::async, [comando] { return test_util::esegui(*comando); }));
        for (int i = 0; i < 2000 && compilate_in_attesa(dir.percorso()).size() <= prima; ++i) ::usleep(5000);
    }
    EXPECT_EQ(compilate_in_attesa(dir.percorso()).size(), 2u) << "a private folder went while its compile ran";
    blocco.reset();
    for (auto& c : corse) {
        const auto e = c.get();
        EXPECT_EQ(e.stato, 0) << e.uscita << e.errori;
    }
    EXPECT_EQ(contenuti(dir.percorso()), attesi);
}

// ---------------------------------------------------------------------------
// Usage errors, help and version.

TEST(Uso, ErroriDUsoDanno64EDiconoCosaManca) {
    CartellaTemporanea dir;
    fs::copy_file(fixture("Prova_linea.txt"), dir.percorso() / "linea.txt");
    fs::copy_file(fixture("Prova_1-.txt"), dir.percorso() / "treno.txt");
    const fs::path due = dir.percorso() / "due";
    fs::create_directory(due);
    test_util::scrivi(due / "A_1.sim", "");
    test_util::scrivi(due / "B_2.sim", "");
    const std::string l = (dir.percorso() / "linea.txt").string(), t = (dir.percorso() / "treno.txt").string();
    struct caso {
        std::vector<std::string> argomenti;
        int stato;
        std::string detto;  // in stdout for 0, stderr otherwise
    };
    const caso casi[] = {
        {{}, 64, "subcommand"},
        {{"emit", (dir.percorso() / "x").string(), "--bogus"}, 64, "--bogus"},
        // The parser's message keeps its line breaks: "\x0a" helps nobody.
        {{"compile"}, 64, "LINE_FILE is required\nRun with --help"},
        {{"compile", (dir.percorso() / "nessuno_linea.txt").string(), t, "--treno", "1"}, 64, "nessuno_linea.txt"},
        {{"compile", l, t}, 64, "line identifier"},
        {{"compile", l, t, "--linea", "L"}, 64, "train number"},
        {{"compile", fixture("Prova_linea.txt").string(), fixture("Prova_1-.txt").string(), "--linea", "Altra"}, 64,
         "--linea Altra"},
        // An identifier holds no folder separator of any system, nor a control character.
        {{"compile", l, t, "--linea", "a/b", "--treno", "1"}, 64, "cannot be part of a file name"},
        {{"compile", l, t, "--linea", "a\\b", "--treno", "1"}, 64, "cannot be part of a file name"},
        {{"compile", l, t, "--linea", "L", "--treno", "1\t2"}, 64, "cannot be part of a file name"},
        {{"dump"}, 64, "DIR"},
        {{"dump", due.string()}, 64, "A_1.sim B_2.sim"},
        {{"--help"}, 0, "emit"},
        {{"compile", "--help"}, 0, "--no-geometry"},
        {{"--version"}, 0, "scenario_tool"},
    };
    for (const auto& k : casi) {
        std::string come;
        for (const auto& a : k.argomenti) come += a + " ";
        const auto esito = strumento(k.argomenti);
        EXPECT_EQ(esito.stato, k.stato) << come << esito.errori;
        EXPECT_NE((k.stato == 0 ? esito.uscita : esito.errori).find(k.detto), std::string::npos)
            << come << "\n" << esito.uscita << esito.errori;
    }
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"due", "linea.txt", "treno.txt"}))
        << "a usage error writes nothing";
}

// The statuses an "Exit status" block of a help lists, by subcommand: lines
// "  NAME" open a subcommand in the program's table, "  N  ..." rows follow.
std::map<std::string, std::set<int>> stati_dell_aiuto(const std::string& aiuto, const std::string& solo = {}) {
    std::map<std::string, std::set<int>> r;
    const auto da = aiuto.find("Exit status");
    if (da == std::string::npos) return r;
    std::istringstream righe(aiuto.substr(da));
    std::string riga, comando = solo;
    std::getline(righe, riga);
    while (std::getline(righe, riga)) {
        std::istringstream parole(riga);
        std::string prima;
        if (!(parole >> prima)) continue;
        if (std::isdigit(static_cast<unsigned char>(prima[0]))) r[comando].insert(std::stoi(prima));
        else comando = prima;
    }
    return r;
}

// One table of exit statuses: the program's help and the user's guide give
// every subcommand's, each subcommand's help its own and no other's.
TEST(Uso, OgniAiutoDiceISuoiStatiDUscita) {
    const auto programma = strumento({"--help"});
    ASSERT_EQ(programma.stato, 0);
    const auto tutti = stati_dell_aiuto(programma.uscita);
    const std::map<std::string, std::set<int>> attesi{
        {"emit", {0, 3, 64}},    {"compile", {0, 1, 2, 3, 64}}, {"check", {0, 1, 2, 3, 64}}, {"dump", {0, 3, 64}},
        {"plot", {0, 3, 64}},    {"view", {0, 3, 64}},          {"explain", {0, 64}},        {"lsp", {0, 1}},
        {"documents", {0, 2, 3, 64}}, {"run", {0, 1, 2, 3, 64}}};
    EXPECT_EQ(tutti, attesi) << programma.uscita;
    for (const auto& [comando, stati] : attesi) {
        const auto aiuto = strumento({comando, "--help"});
        ASSERT_EQ(aiuto.stato, 0) << comando;
        EXPECT_EQ(stati_dell_aiuto(aiuto.uscita, comando), (std::map<std::string, std::set<int>>{{comando, stati}}))
            << aiuto.uscita;
        for (const auto& [altro, _] : attesi)
            if (altro != comando) {
                EXPECT_EQ(aiuto.uscita.find("  " + altro + "\n"), std::string::npos) << comando;
            }
    }

    // The guide's table: "| SUBCOMMAND | N | ... |"; "any but lsp" gives 64 to all the others.
    const std::string guida = test_util::leggi(fs::path(SOURCE_DIR) / "docs" / "user-guide.md");
    std::map<std::string, std::set<int>> nella_guida;
    std::istringstream righe(guida);
    for (std::string riga; std::getline(righe, riga);) {
        std::smatch m;
        if (!std::regex_match(riga, m, std::regex(R"(\| ([a-z ]+) \| (\d+) \| .*)"))) continue;
        if (m[1] == "any but lsp") {
            for (const auto& [comando, _] : attesi)
                if (comando != "lsp") nella_guida[comando].insert(std::stoi(m[2]));
        } else {
            nella_guida[m[1]].insert(std::stoi(m[2]));
        }
    }
    EXPECT_EQ(nella_guida, attesi);
}

TEST(Emit, NonSovrascriveSenzaForce) {
    CartellaTemporanea dir;
    const fs::path cartella = dir.percorso() / "nuova" / "cartella";
    ASSERT_EQ(strumento({"emit", cartella.string()}).stato, 0);
    const fs::path linea = cartella / testi_builtin[0];
    const std::string emesso = test_util::leggi(linea);
    test_util::scrivi(linea, "la mia linea");

    const auto rifiuto = strumento({"emit", cartella.string()});
    EXPECT_EQ(rifiuto.stato, 3);
    EXPECT_NE(rifiuto.errori.find(testi_builtin[0]), std::string::npos) << rifiuto.errori;
    EXPECT_EQ(test_util::leggi(linea), "la mia linea");

    EXPECT_EQ(strumento({"emit", cartella.string(), "--force"}).stato, 0);
    EXPECT_EQ(test_util::leggi(linea), emesso);
}

// ---------------------------------------------------------------------------
// dump on small compiled files, whole and damaged.

class DumpProva : public ::testing::Test {
protected:
    void SetUp() override {
        const auto esito = strumento({"compile", fixture("Prova_linea.txt").string(), fixture("Prova_1-.txt").string(),
                                      "-o", dir_.percorso().string()});
        ASSERT_EQ(esito.stato, 0) << esito.uscita << esito.errori;
    }
    fs::path file(const std::string& nome) const { return dir_.percorso() / nome; }
    CartellaTemporanea dir_;
};

// dump names its three lengths apart: the line's as declared (10000 m in the
// fixture), the route grid's and the geometry's along the track, which runs
// 7000 m past the line's end and is longer than its metres where it turns.
TEST_F(DumpProva, DiceQualeLunghezza) {
    const auto esito = strumento({"dump", dir_.percorso().string(), "--json"});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    const json d = json::parse(esito.uscita);
    const json& l = d["lengths_m"];
    EXPECT_EQ(l["line_declared"], 10000);
    EXPECT_EQ(l["route_grid"], d["cells"].get<std::int64_t>() * 50);
    EXPECT_EQ(l["geometry_along_track"], d["geometry"]["track_length_m"]);
    EXPECT_GT(l["geometry_along_track"].get<double>(), 17000.0);
    EXPECT_LT(l["geometry_along_track"].get<double>(), 17001.0);
    const auto testo = strumento({"dump", dir_.percorso().string()});
    EXPECT_NE(testo.uscita.find("lengths: the line 10000 m as its length entry declares it (record 84); the route "
                                "grid " + l["route_grid"].dump() + " m"),
              std::string::npos)
        << testo.uscita;
    EXPECT_NE(testo.uscita.find("length along the track (the geometry's, not the line's) 17000.760 m"),
              std::string::npos);

    fs::remove(file("Prova_linea.dat"));
    const auto senza = strumento({"dump", dir_.percorso().string(), "--json"});
    ASSERT_EQ(senza.stato, 0) << senza.errori;
    EXPECT_TRUE(json::parse(senza.uscita)["lengths_m"]["geometry_along_track"].is_null());
}

TEST_F(DumpProva, GeometriaMetroPerMetro) {
    const auto esito = strumento({"dump", dir_.percorso().string(), "--json", "--geometry"});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    json d = json::parse(esito.uscita);
    json& metri = d["geometry_metres"];
    ASSERT_EQ(metri.size(), 17001u);  // line 10000 m + 7000, metres 0 to 17000
    // The right curve of class 4 at 3000 m on straight track: metre 3000 is
    // still straight, 3001 and 3002 turn by 0.001 per metre.
    EXPECT_EQ(metri[3000], json({3000, 0.0, 3000.0}));
    EXPECT_NEAR(metri[3001][1].get<double>(), 0.001, 1e-12);
    EXPECT_NEAR(metri[3001][2].get<double>(), 3001.0, 1e-12);
    EXPECT_NEAR(metri[3002][1].get<double>(), 0.003, 1e-12);
    EXPECT_NEAR(metri[3002][2].get<double>(), 3001.999999, 1e-9);
    EXPECT_TRUE(metri[17000][1].is_null()) << "the last two metres are empty";

    const auto testo = strumento({"dump", dir_.percorso().string(), "--geometry"});
    ASSERT_EQ(testo.stato, 0) << testo.errori;
    const auto dopo = testo.uscita.substr(testo.uscita.find("metre component_0 component_1\n"));
    EXPECT_EQ(std::count(dopo.begin(), dopo.end(), '\n'), 17001 + 1);
}

TEST_F(DumpProva, FileGuastiDannoFileEByteSenzaCrollare) {
    const std::string tabella = test_util::leggi(file("Prova_1.sim"));
    struct caso {
        const char* come;
        std::string nome;
        std::function<std::string(std::string)> guasta;
        std::string detto;
    };
    const caso casi[] = {
        // Cell 6 starts at byte 90 and is cut after 10 bytes.
        {"route file cut short", "Prova_1.dat", [](std::string b) { return b.substr(0, 100); },
         "Prova_1.dat: byte 90"},
        {"table with a byte too many", "Prova_1.sim", [](std::string b) { return b + "x"; },
         "Prova_1.sim: byte " + std::to_string(tabella.size())},
        {"geometry with an unknown tag", "Prova_linea.dat", [](std::string b) {
             b[0] = '\x09';
             return b;
         },
         "Prova_linea.dat: byte 0"},
        {"route file missing", "Prova_1.dat", nullptr, "Prova_1.dat: missing"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.come);
        const std::string buono = test_util::leggi(file(k.nome));
        if (k.guasta) test_util::scrivi(file(k.nome), k.guasta(buono));
        else fs::remove(file(k.nome));
        for (const char* json_o_testo : {"--json", "--geometry"}) {
            const auto esito = strumento({"dump", dir_.percorso().string(), json_o_testo});
            EXPECT_EQ(esito.stato, 3) << esito.errori;
            EXPECT_NE(esito.errori.find(k.detto), std::string::npos) << esito.errori;
            EXPECT_TRUE(esito.uscita.empty()) << "no partial dump";
        }
        test_util::scrivi(file(k.nome), buono);
    }
}

TEST_F(DumpProva, SenzaGeometriaEInCartellaVuota) {
    CartellaTemporanea senza;
    ASSERT_EQ(strumento({"compile", fixture("Prova_linea.txt").string(), fixture("Prova_1-.txt").string(), "-o",
                         senza.percorso().string(), "--no-geometry"})
                  .stato,
              0);
    EXPECT_EQ(test_util::elenco(senza.percorso()), (std::vector<std::string>{"Prova_1.dat", "Prova_1.sim"}));
    const auto esito = strumento({"dump", senza.percorso().string(), "--json"});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    EXPECT_TRUE(json::parse(esito.uscita)["geometry"].is_null());
    EXPECT_EQ(strumento({"dump", senza.percorso().string(), "--geometry"}).stato, 3);

    CartellaTemporanea vuota;
    const auto nulla = strumento({"dump", vuota.percorso().string()});
    EXPECT_EQ(nulla.stato, 3);
    EXPECT_NE(nulla.errori.find("no compiled table file"), std::string::npos) << nulla.errori;
}

// ---------------------------------------------------------------------------
// A geometry file serves every train of its line: dump and plot pair it only
// with a route of the same length.

// The line reader's sizes from one length: last metre L + 7000, cells
// (L + 7000) / 50 rounded half to even.
TEST(GeometriaDelPercorso, LaStessaLunghezzaDaEntrambiILati) {
    struct caso {
        std::int32_t ultimo_metro, numero_celle;
        bool adatta;
    };
    const caso casi[] = {
        {250000, 5000, true},    {249975, 5000, true},  {250025, 5000, true},  // 4999.5 and 5000.5 go to 5000
        {249974, 5000, false},   {250026, 5000, false}, {250000, 1140, false},
        {7025, 140, true},       {7025, 141, false},    {7075, 142, true},  {7075, 141, false},
        {7026, 141, true},       {1007000, 20140, true}, {0, 0, true},      {-1, 0, true},
        {-1, 1, false},          {17000, 540, false},
    };
    for (const auto& k : casi)
        EXPECT_EQ(strumento::geometria_del_percorso(k.ultimo_metro, k.numero_celle), k.adatta)
            << "last metre " << k.ultimo_metro << ", " << k.numero_celle << " cells";
}

// Train 1 on the 10 km line with its geometry; train 3 of the same line
// without; train 2 of a 20 km line of the same name without. Trains 1 and 3
// share the geometry, train 2 is refused by dump and plot, which name both
// files and both lengths.
TEST(GeometriaDelPercorso, DumpEPlotRifiutanoLaGeometriaDiUnAltraLinea) {
    CartellaTemporanea dir;
    const fs::path treno = dir.percorso() / "treno.txt";
    fs::copy_file(fixture("Prova_1-.txt"), treno);
    const std::string d = dir.percorso().string();
    const auto compila = [&](const std::string& linea, const std::string& numero, bool geometria) {
        std::vector<std::string> a{"compile", fixture(linea).string(), treno.string(), "--linea", "Prova",
                                   "--treno", numero, "-o", d};
        if (!geometria) a.push_back("--no-geometry");
        const auto esito = strumento(a);
        EXPECT_EQ(esito.stato, 0) << esito.uscita << esito.errori;
    };
    compila("Prova_linea.txt", "1", true);
    compila("Prova_linea.txt", "3", false);
    compila("Prova_20km.txt", "2", false);

    for (const char* numero : {"1", "3"}) {
        const auto esito = strumento({"dump", d, "--linea", "Prova", "--treno", numero, "--json"});
        ASSERT_EQ(esito.stato, 0) << numero << esito.errori;
        EXPECT_EQ(json::parse(esito.uscita)["geometry"]["metres"], 17001) << numero;
    }
    const std::string detto = (dir.percorso() / "Prova_linea.dat").string() + " does not fit " +
                              (dir.percorso() / "Prova_2.dat").string() +
                              ": the geometry runs to metre 17000, the route's cells 0-540 (m 0-27000)";
    const fs::path figura = dir.percorso() / "percorso.png";
    const std::vector<std::vector<std::string>> rifiutati{
        {"dump", d, "--linea", "Prova", "--treno", "2"},
        {"dump", d, "--linea", "Prova", "--treno", "2", "--json", "--geometry"},
        {"plot", d, "--linea", "Prova", "--treno", "2", "-o", figura.string()},
    };
    for (const auto& argomenti : rifiutati) {
        const auto esito = strumento(argomenti);
        EXPECT_EQ(esito.stato, 3) << argomenti[0] << esito.errori;
        EXPECT_NE(esito.errori.find(detto), std::string::npos) << esito.errori;
        EXPECT_EQ(esito.uscita, "");
    }
    EXPECT_FALSE(fs::exists(figura));
}

}  // namespace
