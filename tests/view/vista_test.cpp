// scenario_tool view: the data the page gets (every object at its cell with
// the row that placed it, the decimated track, check's problems), the page
// that no text in the data can break out of, and the command as an author
// runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "dump/scarico.h"
#include "memory_compile/compilazione.h"
#include "run_model/marcia.h"
#include "view/marcia_vista.h"
#include "view/vista.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using test_util::CartellaTemporanea;

test_util::Esito strumento(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

// A file's lines as the author numbers them (CR LF ends).
std::vector<std::string> righe(const std::string& testo) {
    std::vector<std::string> r;
    std::size_t da = 0;
    for (std::size_t a; (a = testo.find("\r\n", da)) != std::string::npos; da = a + 2) r.push_back(testo.substr(da, a - da));
    if (da < testo.size()) r.push_back(testo.substr(da));
    return r;
}

// The keyword of the row that places each kind of object; the compiler's own
// code points are told at the row of the object they serve.
const std::map<std::string, std::vector<std::string>> parola_di_oggetto{
    {"signal", {"segnale"}},
    {"speed indicator board", {"indicatori_vmax"}},
    {"kilometre board", {"cartello_indicatore"}},
    {"stop cell", {"stazione"}},
    {"code point", {"rallentamento", "segnale"}},
    {"slowdown start", {"rallentamento"}},
    {"slowdown end", {"rallentamento"}},
    {"slowdown warning point", {"rallentamento"}},
    {"cell ahead of a slowdown warning point", {"rallentamento"}},
};

// The data block of a page, as the browser's JSON.parse reads it.
json dati_della_pagina(const std::string& pagina) {
    const std::string apre = R"(<script type="application/json" id="dati">)";
    const auto da = pagina.find(apre);
    EXPECT_NE(da, std::string::npos);
    const auto a = pagina.find("</script>", da);
    return json::parse(pagina.substr(da + apre.size(), a - da - apre.size()));
}

// The built-in scenario emitted and compiled once, and its page's data.
class VistaBuiltin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new CartellaTemporanea;
        const auto src = dir_->percorso() / "src";
        ASSERT_EQ(strumento({"emit", src.string()}).stato, 0);
        linea_ = test_util::leggi(src / "Valdora_Sarenta_linea.txt");
        treno_ = test_util::leggi(src / "Valdora_Sarenta_731-.txt");
        ASSERT_EQ(strumento({"compile", (src / "Valdora_Sarenta_linea.txt").string(),
                             (src / "Valdora_Sarenta_731-.txt").string(), "-o", compilati_dir().string()})
                      .stato,
                  0);
        c_ = new strumento::compilati(strumento::carica_compilati(compilati_dir(), {"Valdora_Sarenta", "731"}));
        dati_ = new json(strumento::dati_vista(
            *c_, strumento::testi_autore{"Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", linea_, treno_}));
    }
    static void TearDownTestSuite() {
        delete dati_;
        delete c_;
        delete dir_;
    }
    static fs::path compilati_dir() { return dir_->percorso() / "c"; }

    static inline CartellaTemporanea* dir_ = nullptr;
    static inline std::string linea_, treno_;
    static inline strumento::compilati* c_ = nullptr;
    static inline json* dati_ = nullptr;
};

TEST_F(VistaBuiltin, OgniOggettoHaLaSuaCellaIValoriDelDumpELaRigaCheLoHaMesso) {
    const json& d = *dati_;
    const json dump = strumento::descrivi_compilati(*c_, false);
    ASSERT_EQ(d["objects"].size(), dump["route"].size());
    EXPECT_TRUE(d["texts"]["match"].get<bool>());
    const auto file_linea = righe(linea_), file_treno = righe(treno_);
    std::map<std::string, int> con_riga;
    for (std::size_t k = 0; k < d["objects"].size(); ++k) {
        const auto& o = d["objects"][k];
        const auto cella = o["cell"].get<long>();
        // Named as every report of the tool names a cell; values as dump unpacks them.
        EXPECT_EQ(o["name"], "cell " + std::to_string(cella) + " (m " + std::to_string(cella * 50) + ")");
        EXPECT_EQ(o["metre"], cella * 50);
        EXPECT_EQ(o["values"], dump["route"][k]["values"]) << o["name"];
        EXPECT_EQ(o["object"], dump["route"][k]["object"]);
        if (!o.contains("row")) {
            // Only the compiler's own marks are placed by no row.
            EXPECT_TRUE(o["object"] == "none" || o["object"] == "mountain marker" || o["object"] == "stamps") << o.dump();
            continue;
        }
        const auto& r = o["row"];
        const bool di_linea = r["file"] == "Valdora_Sarenta_linea.txt";
        const auto& testo = di_linea ? file_linea : file_treno;
        const auto n = r["line"].get<std::size_t>();
        ASSERT_TRUE(n >= 1 && n <= testo.size()) << o.dump();
        EXPECT_EQ(r["text"], testo[n - 1]);
        const std::string parola = testo[n - 1].substr(0, testo[n - 1].find(','));
        const auto& attese = parola_di_oggetto.at(o["object"].get<std::string>());
        EXPECT_NE(std::find(attese.begin(), attese.end(), parola), attese.end()) << o.dump();
        // A signal or a board at position p stands in cell p / 50 + 1.
        if (o["object"] == "signal" || o["object"] == "speed indicator board" || o["object"] == "kilometre board") {
            const long p = std::stol(testo[n - 1].substr(testo[n - 1].find(',') + 1));
            EXPECT_EQ(cella, std::lround(p / 50.0) + 1) << testo[n - 1];
        }
        ++con_riga[o["object"].get<std::string>()];
    }
    // Each signal row of the train file placed one signal.
    const auto segnali = std::count_if(file_treno.begin(), file_treno.end(),
                                       [](const std::string& r) { return r.starts_with("segnale,"); });
    EXPECT_EQ(con_riga["signal"], segnali);
    EXPECT_GT(con_riga["stop cell"], 10);
    EXPECT_EQ(d["problems"].size(), 0u);
}

TEST_F(VistaBuiltin, IlBinarioDecimatoRipassaPerLaGeometriaAlDecimetro) {
    const auto& g = (*dati_)["geometry"];
    ASSERT_TRUE(c_->geometria);
    const auto ultimo = c_->geometria->ultimo_metro();
    EXPECT_EQ(g["last_metre"], ultimo);
    const int passo = g["step_m"].get<int>();
    ASSERT_EQ(g["x_dm"].size(), static_cast<std::size_t>((ultimo + passo - 1) / passo + 1));
    long x = 0, y = 0;
    int pieni = 0;
    for (std::size_t i = 0; i < g["x_dm"].size(); ++i) {
        const std::int32_t m = std::min(static_cast<std::int32_t>(i) * passo, ultimo);
        const bool vuoto = c_->geometria->at(m, 0).vuoto();
        ASSERT_EQ(g["x_dm"][i].is_null(), vuoto) << "metre " << m;
        if (vuoto) continue;
        x += g["x_dm"][i].get<long>();
        y += g["y_dm"][i].get<long>();
        EXPECT_NEAR(x / 10.0, c_->geometria->at(m, 0).numero(), 0.05) << "metre " << m;
        EXPECT_NEAR(y / 10.0, c_->geometria->at(m, 1).numero(), 0.05) << "metre " << m;
        ++pieni;
    }
    EXPECT_GT(pieni, 20000);
}

// The run on the page against the run itself: the speed curve, decimated,
// follows every step of the full profile within the chart's line width and
// its time within half a second; the limits' runs are the profile's limit
// at every point; stations and timed legs are all there.
TEST_F(VistaBuiltin, LaMarciaDecimataSegueIlProfiloIntero) {
    const auto& r = (*dati_)["run"];
    ASSERT_TRUE(r.is_object());
    ASSERT_TRUE(r.contains("curve")) << r.dump();
    const auto c = strumento::compila_in_memoria(linea_, treno_, {"Valdora_Sarenta", "731"});
    const auto intera = marcia::calcola_marcia(c.finale.modello, {}, true);
    ASSERT_FALSE(intera.fermo);
    const auto& p = intera.profilo;

    std::vector<double> m, v, t;
    double pm = 0, pv = 0, pt = 0;
    for (std::size_t i = 0; i < r["curve"]["metre"].size(); ++i) {
        m.push_back(pm += r["curve"]["metre"][i].get<double>());
        v.push_back((pv += r["curve"]["speed_dkmh"][i].get<double>()) / 10);
        t.push_back((pt += r["curve"]["time_ds"][i].get<double>()) / 10);
    }
    const auto& limiti = r["limits"];
    // One point a cell, and two at each change of limit, at most.
    EXPECT_LE(m.size(), static_cast<std::size_t>((p.back().metro - p.front().metro) / strumento::passo_marcia) + 2 * limiti.size() + 2);
    EXPECT_EQ(m.front(), std::round(p.front().metro));
    EXPECT_EQ(m.back(), std::round(p.back().metro));
    std::size_t k = 0, l = 0;
    for (const auto& x : p) {
        while (k + 1 < m.size() && m[k + 1] < x.metro) ++k;
        const std::size_t j = std::min(k + 1, m.size() - 1);
        const double f = m[j] > m[k] ? std::clamp((x.metro - m[k]) / (m[j] - m[k]), 0.0, 1.0) : 0.0;
        ASSERT_NEAR(v[k] + (v[j] - v[k]) * f, x.velocita_kmh, 1.0) << "metre " << x.metro;
        ASSERT_NEAR(t[k] + (t[j] - t[k]) * f, x.tempo_s, 0.5) << "metre " << x.metro;
        // The runs' ends are whole metres: the profile's metre rounded.
        const double intero = std::round(x.metro);
        while (l + 1 < limiti.size() && limiti[l][1].get<double>() <= intero) ++l;
        ASSERT_LE(limiti[l][0].get<double>(), intero);
        ASSERT_EQ(limiti[l][2].get<double>(), std::round(x.limite_kmh)) << "metre " << x.metro;
    }
    for (std::size_t i = 1; i < limiti.size(); ++i) EXPECT_EQ(limiti[i][0], limiti[i - 1][1]);
    ASSERT_EQ(r["stations"].size(), intera.stazioni.size());
    for (std::size_t i = 0; i < intera.stazioni.size(); ++i) {
        const auto& s = intera.stazioni[i];
        EXPECT_EQ(r["stations"][i]["name"], s.nome);
        EXPECT_EQ(r["stations"][i]["scheduled_s"].is_null(), !s.orario) << s.nome;
        if (s.partenza_s) {
            EXPECT_EQ(r["stations"][i]["departure_ds"], std::llround(*s.partenza_s * 10)) << s.nome;
        }
    }
    EXPECT_EQ(r["timed_legs"].size(), intera.sezioni.size());
}

// Without the text files there is no run to draw.
TEST_F(VistaBuiltin, SenzaITestiNienteMarcia) {
    EXPECT_TRUE(strumento::dati_vista(*c_, std::nullopt)["run"].is_null());
}

// Text in the data that would end the script, or that reads like a mark of
// the template, stays text inside the data block.
TEST_F(VistaBuiltin, NessunTestoEsceDalBloccoDeiDati) {
    json d = *dati_;
    const std::string trappola = "</script><script>alert(1)</script> <!-- @CODICE@ @DATI@ </SCRIPT>";
    d["objects"][0]["row"] = {{"file", "a.txt"}, {"line", 1}, {"text", trappola}, {"placed", trappola}};
    d["linea"] = "<b>&";
    const std::string pagina = strumento::pagina_vista(d);
    EXPECT_EQ(dati_della_pagina(pagina), d);
    // The data block and the script close once each, and the script stands once.
    std::size_t chiusure = 0;
    for (auto p = pagina.find("</script>"); p != std::string::npos; p = pagina.find("</script>", p + 1)) ++chiusure;
    EXPECT_EQ(chiusure, 2u);
    EXPECT_EQ(pagina.find("<!--"), std::string::npos);
    const auto codice = pagina.find("window.vista =");
    ASSERT_NE(codice, std::string::npos);
    EXPECT_EQ(pagina.find("window.vista =", codice + 1), std::string::npos);
    EXPECT_GT(codice, pagina.find(R"(id="dati")"));
    EXPECT_NE(pagina.find("<title>line &lt;b&gt;&amp;, train 731</title>"), std::string::npos);
    EXPECT_EQ(pagina.find("@STILE@"), std::string::npos);
}

// Texts that are not those of the compiled files: rows only where both put
// the same kind of object, and the page says they differ.
TEST_F(VistaBuiltin, TestiDiUnAltroScenarioNonDannoRigheAdOggettiDiversi) {
    const std::string linea = test_util::leggi(fs::path(FIXTURES_DIR) / "Breve_linea.txt");
    const std::string treno = test_util::leggi(fs::path(FIXTURES_DIR) / "Breve_3-.txt");
    const json d = strumento::dati_vista(*c_, strumento::testi_autore{"Breve_linea.txt", "Breve_3-.txt", linea, treno});
    EXPECT_FALSE(d["texts"]["match"].get<bool>());
    for (const auto& o : d["objects"]) {
        if (!o.contains("row")) continue;
        const std::string t = o["row"]["text"];
        const auto& attese = parola_di_oggetto.at(o["object"].get<std::string>());
        EXPECT_NE(std::find(attese.begin(), attese.end(), t.substr(0, t.find(','))), attese.end()) << o.dump();
    }
}

TEST(Vista, IProblemiDiCheckStannoAlLoroMetroConLaLoroRiga) {
    CartellaTemporanea dir;
    const auto fl = fs::path(FIXTURES_DIR) / "Breve_linea.txt", ft = fs::path(FIXTURES_DIR) / "Breve_3-.txt";
    ASSERT_EQ(strumento({"compile", fl.string(), ft.string(), "-o", dir.percorso().string()}).stato, 1);
    const auto c = strumento::carica_compilati(dir.percorso(), {"Breve", "3"});
    const std::string linea = test_util::leggi(fl), treno = test_util::leggi(ft);
    const json d = strumento::dati_vista(c, strumento::testi_autore{"Breve_linea.txt", "Breve_3-.txt", linea, treno});
    const auto file_linea = righe(linea), file_treno = righe(treno);
    const auto riga_di = [](const std::vector<std::string>& file, const std::string& inizio) {
        return static_cast<long>(std::find_if(file.begin(), file.end(),
                                              [&](const std::string& r) { return r.starts_with(inizio); }) -
                                 file.begin()) +
               1;
    };
    const auto problema = [&](int codice) {
        const auto p = std::find_if(d["problems"].begin(), d["problems"].end(),
                                    [&](const json& x) { return x["code"] == codice; });
        EXPECT_NE(p, d["problems"].end()) << codice << " in " << d["problems"].dump(1);
        return p != d["problems"].end() ? *p : json::object();
    };
    // The signal at 5020 meets the one at 5000 in its cell: the compiler's 16, at its own position.
    const auto n = riga_di(file_treno, "segnale,    5020,");
    const json p16 = problema(16);
    EXPECT_EQ(p16["metre"], 5020);
    EXPECT_EQ(p16["file"], "Breve_3-.txt");
    EXPECT_EQ(p16["line"], n);
    EXPECT_EQ(p16["text"], file_treno[static_cast<std::size_t>(n - 1)]);
    // The reading stopped there, as compile says: the page tells it above the charts.
    EXPECT_EQ(d["stopped"], json({{"file", "Breve_3-.txt"}, {"line", n}, {"text", file_treno[static_cast<std::size_t>(n - 1)]},
                                  {"code", 16}, {"meaning", "block signal on a cell that is not free"}}));
    // A progressive whose value is not a multiple of 50 places nothing: it
    // stands at the position its row gives, its start.
    const json p2 = problema(2);
    EXPECT_EQ(p2["line"], riga_di(file_linea, "progressiva chilometrica uno"));
    EXPECT_EQ(p2["metre"], 0);
    EXPECT_EQ(p2["from_row"], true);
    // The kilometre board's text as written, made safe only where it would act on a terminal.
    const auto k = std::find_if(d["objects"].begin(), d["objects"].end(),
                                [](const json& o) { return o["object"] == "kilometre board"; });
    ASSERT_NE(k, d["objects"].end());
    EXPECT_EQ((*k)["values"]["text"], "(</script><script>alert(1)</script>)");
}

// The rules on the railway reach the page as check gives them: a second
// station named BORGO, at its row, with the first as its related row.
TEST(Vista, LeRegoleDellaFerroviaStannoSullaPagina) {
    CartellaTemporanea dir;
    const auto fl = fs::path(FIXTURES_DIR) / "Breve_linea.txt";
    const std::string linea = test_util::leggi(fl);
    std::string treno = test_util::leggi(fs::path(FIXTURES_DIR) / "Breve_3-.txt");
    treno.replace(treno.find("COLLE"), 5, "BORGO");
    const auto ft = dir.percorso() / "Breve_3-.txt";
    test_util::scrivi(ft, treno);
    fs::create_directory(dir.percorso() / "uscita");
    ASSERT_EQ(strumento({"compile", fl.string(), ft.string(), "-o", (dir.percorso() / "uscita").string()}).stato, 1);
    const auto c = strumento::carica_compilati(dir.percorso() / "uscita", {"Breve", "3"});
    const json d = strumento::dati_vista(c, strumento::testi_autore{"Breve_linea.txt", "Breve_3-.txt", linea, treno});
    const auto file_treno = righe(treno);
    const auto p = std::find_if(d["problems"].begin(), d["problems"].end(),
                                [](const json& x) { return x["rule"] == "station-name-repeated"; });
    ASSERT_NE(p, d["problems"].end()) << d["problems"].dump(1);
    EXPECT_EQ(file_treno[(*p)["line"].get<std::size_t>() - 1].rfind("stazione,  9000,", 0), 0u) << (*p).dump();
    ASSERT_EQ((*p)["related"].size(), 1u) << (*p).dump();
    EXPECT_EQ(file_treno[(*p)["related"][0]["line"].get<std::size_t>() - 1].rfind("stazione,  3000,", 0), 0u)
        << (*p).dump();
    EXPECT_NE((*p)["message"].get<std::string>().find("two stations named 'BORGO'"), std::string::npos) << (*p).dump();
}

// The rules on the railway on the page, as check reports them: each at its
// row, with the row it contradicts.
TEST(Vista, LeRegoleSullaFerroviaComeCheck) {
    CartellaTemporanea dir;
    const fs::path d = FERROVIA_DIR;
    const auto fl = d / "Ferrovia_linea.txt", ft = d / "Ferrovia_5-.txt";
    ASSERT_EQ(strumento({"compile", fl.string(), ft.string(), "-o", dir.percorso().string()}).stato, 0);
    const auto c = strumento::carica_compilati(dir.percorso(), {"Ferrovia", "5"});
    const json v = strumento::dati_vista(c, strumento::testi_autore{"Ferrovia_linea.txt", "Ferrovia_5-.txt",
                                                                    test_util::leggi(fl), test_util::leggi(ft)});
    std::vector<std::string> visti;
    for (const auto& p : v["problems"]) {
        std::string s = p["file"].get<std::string>() + ":" + std::to_string(p["line"].get<int>()) + " " +
                        p["rule"].get<std::string>();
        for (const auto& r : p["related"]) s += " -> " + std::to_string(r["line"].get<int>());
        visti.push_back(s);
    }
    EXPECT_EQ(visti, (std::vector<std::string>{
                         "Ferrovia_linea.txt:4 direction-code", "Ferrovia_linea.txt:9 repetition-outside-line -> 2",
                         "Ferrovia_linea.txt:12 curve-speed -> 9", "Ferrovia_linea.txt:18 board-above-train -> 10",
                         "Ferrovia_linea.txt:22 km-board-text -> 4", "Ferrovia_5-.txt:11 speed-above-boards -> 18"}))
        << v["problems"].dump(1);
}

// The command: the page written whole, its errors as plot's.
TEST_F(VistaBuiltin, IlComandoScriveUnaPaginaSolaEDiceCosaNonVa) {
    CartellaTemporanea out;
    const auto pagina = out.percorso() / "percorso.html";
    const auto src = dir_->percorso() / "src";
    auto r = strumento({"view", compilati_dir().string(), (src / "Valdora_Sarenta_linea.txt").string(),
                        (src / "Valdora_Sarenta_731-.txt").string(), "-o", pagina.string()});
    ASSERT_EQ(r.stato, 0) << r.errori;
    EXPECT_EQ(r.uscita, "wrote " + pagina.string() + "\n");
    EXPECT_EQ(r.errori, "");
    EXPECT_EQ(test_util::elenco(out.percorso()), std::vector<std::string>{"percorso.html"});
    const std::string scritta = test_util::leggi(pagina);
    EXPECT_LE(scritta.size(), 3u * 1024 * 1024);
    EXPECT_EQ(dati_della_pagina(scritta), *dati_);

    struct caso {
        std::vector<std::string> argomenti;
        int stato;
        std::string messaggio;
    };
    const std::string c = compilati_dir().string();
    const std::vector<caso> casi{
        {{"view", c, "-o", (out.percorso() / "p.png").string()}, 64, "must end in .html"},
        {{"view", c, (src / "Valdora_Sarenta_linea.txt").string(), "-o", pagina.string()}, 64, "give both"},
        {{"view", c, (src / "Valdora_Sarenta_731-.txt").string(), (src / "Valdora_Sarenta_linea.txt").string(), "-o",
          pagina.string()},
         64,
         "give the line description first"},
        {{"view", src.string(), "-o", pagina.string()}, 3, "no compiled table file"},
        {{"view", c, "-o", (out.percorso() / "manca" / "p.html").string()}, 3, "p.html"},
    };
    for (const auto& k : casi) {
        r = strumento(k.argomenti);
        EXPECT_EQ(r.stato, k.stato) << k.messaggio << ": " << r.errori;
        EXPECT_TRUE(r.errori.starts_with("scenario_tool view: ")) << r.errori;
        EXPECT_NE(r.errori.find(k.messaggio), std::string::npos) << r.errori;
    }
    EXPECT_EQ(test_util::elenco(out.percorso()), std::vector<std::string>{"percorso.html"});
}

}  // namespace
