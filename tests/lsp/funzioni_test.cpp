// The language server's answers, called directly on a small pair with an
// author's usual slips (tests/lsp/fixtures) and on the built-in pair.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lsp/funzioni.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace {

using json = nlohmann::json;
using lsp::posizione;
using strumento::quale_file;

std::string leggi(const std::string& nome) {
    std::ifstream f(std::string(FIXTURES_DIR) + "/" + nome, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

const std::string uri_linea = "file:///prova/prova_linea.txt";
const std::string uri_treno = "file:///prova/prova_1-.txt";

lsp::scenario_aperto prova() {
    lsp::scenario_aperto s;
    s.linea = {true, uri_linea, "prova_linea.txt", leggi("prova_linea.txt")};
    s.treno = {true, uri_treno, "prova_1-.txt", leggi("prova_1-.txt")};
    return s;
}

lsp::scenario_aperto builtin() {
    lsp::scenario_aperto s;
    s.linea = {true, "file:///b/b_linea.txt", "b_linea.txt", testi_scenario::testo_file(testi_scenario::righe_linea)};
    s.treno = {true, "file:///b/b_1-.txt", "b_1-.txt", testi_scenario::testo_file(testi_scenario::righe_treno)};
    return s;
}

json intervallo(int r, int c, int r2, int c2) {
    return {{"start", {{"line", r}, {"character", c}}}, {"end", {{"line", r2}, {"character", c2}}}};
}

std::vector<std::string> etichette(const json& j) {
    std::vector<std::string> r;
    for (const auto& x : j) r.push_back(x.contains("label") ? x["label"] : x["name"]);
    return r;
}

bool ha(const std::vector<std::string>& v, const std::string& x) { return std::find(v.begin(), v.end(), x) != v.end(); }

TEST(Hover, DiceCiòCheStaSottoIlCursore) {
    struct caso {
        quale_file f;
        posizione p;
        std::vector<std::string> contiene;  // empty: no hover
    };
    const caso casi[] = {
        // A keyword: its reference entry, this file's only.
        {quale_file::linea, {10, 3}, {"### curva", "| start | m |"}},
        // A header.
        {quale_file::linea, {9, 2}, {"[curve]"}},
        // A position: the cell the signal took (4510 / 50 + 1 = 91.2, cell 91) and what it holds.
        {quale_file::treno, {16, 14}, {"**position** (m)", "as read: 4510", "cell 91 (m 4550): signal"}},
        // A speed the cells keep in steps of 5: 83 / 5 = 16.6, kept as 17, 85 km/h.
        {quale_file::treno, {9, 23}, {"**speed limit**", "cell 160 (m 8000): speed 17 (steps of 5 km/h), 85 km/h"}},
        // A gradient of 0 per mille from 0: cell 0 keeps 100.
        {quale_file::linea, {12, 11}, {"cell 0 (m 0): gradient 100 (per mille plus 100), 0 per mille"}},
        // A station's time, from its three fields.
        {quale_file::treno, {12, 64}, {"time: 07:30:00"}},
        // A status code named in a comment.
        {quale_file::linea, {19, 25}, {"### 21: "}},
        // Any other number in a comment is no code.
        {quale_file::linea, {19, 3}, {}},
        // The keyword of a row still being written, cut short.
        {quale_file::treno, {19, 3}, {"### segnale"}},
        // A misspelt keyword: no entry, the diagnostic tells.
        {quale_file::linea, {13, 3}, {}},
        // Blanks between fields, a line past the end.
        {quale_file::treno, {16, 8}, {}},
        {quale_file::linea, {400, 0}, {}},
    };
    auto s = prova();
    s.treno.testo += "segnale,  5000\r\n";
    for (const auto& c : casi) {
        const json h = lsp::hover(s, c.f, c.p);
        SCOPED_TRACE(std::to_string(c.p.riga) + ":" + std::to_string(c.p.colonna));
        if (c.contiene.empty()) {
            EXPECT_TRUE(h.is_null()) << h.dump();
            continue;
        }
        ASSERT_FALSE(h.is_null());
        EXPECT_EQ(h["contents"]["kind"], "markdown");
        const std::string md = h["contents"]["value"];
        for (const auto& x : c.contiene) EXPECT_NE(md.find(x), std::string::npos) << x << "\n" << md;
    }
    // A text from the file shows as written, not as Markdown.
    EXPECT_NE(lsp::hover(s, quale_file::linea, {20, 30})["contents"]["value"].get<std::string>().find(
                  "'\\(Km 6\\+400\\)'"),
              std::string::npos);
    // The range of a value is the value.
    EXPECT_EQ(lsp::hover(s, quale_file::treno, {16, 14})["range"], intervallo(16, 12, 16, 16));
}

// Rows the compiler rejects are taken out one round at a time, however
// many: a row after sixty of them still shows the cell it took.
TEST(Hover, DopoMolteRigheRespinteLaCellaCompilata) {
    for (const int n : {49, 50, 60}) {
        SCOPED_TRACE(n);
        auto s = builtin();
        // Stations off the 50 m grid, each of which stops the train reader.
        std::string t = "[generale]\r\nvelocita,       0,   100\r\naderenza,       0,    70\r\n";
        for (int k = 0; k < n; ++k)
            t += "stazione, " + std::to_string(1010 + 500 * k) + ", 8, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, S" +
                 std::to_string(k) + "\r\n";
        t += "segnale,    31000,   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n[fine]\r\n";
        s.treno.testo = t;
        const json h = lsp::hover(s, quale_file::treno, {n + 3, 13});
        ASSERT_FALSE(h.is_null());
        const std::string md = h["contents"]["value"];
        EXPECT_NE(md.find("**Compiled**\n\n- cell 621 (m 31050): signal, values "), std::string::npos) << md;
    }
}

TEST(Suggerimenti, NomanoOgniValoreDopoDiEsso) {
    const auto s = prova();
    // "curvad4,  5000,  400": 5000 ends at 14, 400 at 20.
    const json h = lsp::suggerimenti(s, quale_file::linea, 10, 10);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0]["label"], "start");
    EXPECT_EQ(h[0]["position"], json({{"line", 10}, {"character", 14}}));
    EXPECT_EQ(h[1]["label"], "length");
    EXPECT_EQ(h[1]["position"], json({{"line", 10}, {"character", 20}}));
    EXPECT_EQ(h[0]["kind"], 2);
    // Only the lines asked for; comments, headers and skipped rows have none.
    // Only the lines asked for: of lines 11 to 13 a header, a row of two
    // values and a row the reader skips.
    const json pendenza = lsp::suggerimenti(s, quale_file::linea, 11, 13);
    ASSERT_EQ(pendenza.size(), 2u);
    EXPECT_EQ(pendenza[0]["position"]["line"], 12);
    EXPECT_EQ(pendenza[1]["position"]["line"], 12);
}

TEST(Completamento, LeVociDelBloccoDelCursore) {
    const auto s = prova();
    const auto generale = etichette(lsp::completamento(s, quale_file::linea, {2, 0}));
    const auto corpo = etichette(lsp::completamento(s, quale_file::linea, {12, 0}));
    const auto treno = etichette(lsp::completamento(s, quale_file::treno, {12, 0}));
    EXPECT_TRUE(ha(generale, "lunghezza percorso"));
    EXPECT_FALSE(ha(generale, "pendenza"));
    EXPECT_TRUE(ha(corpo, "pendenza"));
    EXPECT_TRUE(ha(corpo, "[curve]"));
    EXPECT_FALSE(ha(corpo, "lunghezza percorso"));
    EXPECT_FALSE(ha(corpo, "stazione"));
    EXPECT_TRUE(ha(treno, "stazione"));
    EXPECT_FALSE(ha(treno, "pendenza"));
    // A snippet of the entry's fields, named as the reference names them.
    for (const auto& x : lsp::completamento(s, quale_file::linea, {12, 0}))
        if (x["label"] == "pendenza") {
            EXPECT_EQ(x["insertTextFormat"], 2);
            EXPECT_EQ(x["insertText"].get<std::string>().rfind("pendenza, ${1:position}, ${2:", 0), 0u) << x["insertText"];
        }
    // What is typed of the keyword field, "[" too, is replaced.
    lsp::scenario_aperto parziale = s;
    parziale.linea.testo.insert(s.linea.testo.find("[montagne]"), "  [mo\r\n");
    for (const auto& x : lsp::completamento(parziale, quale_file::linea, {14, 5}))
        EXPECT_EQ(x["textEdit"]["range"], intervallo(14, 2, 14, 5)) << x["label"];
    // Before [generale] only [generale]; among the values nothing.
    lsp::scenario_aperto vuoto;
    vuoto.linea = {true, "file:///v_linea.txt", "v_linea.txt", "-- new\r\n"};
    EXPECT_EQ(etichette(lsp::completamento(vuoto, quale_file::linea, {0, 0})), std::vector<std::string>{"[generale]"});
    EXPECT_TRUE(lsp::completamento(s, quale_file::linea, {10, 12}).empty());
}

TEST(Definizione, DallaCellaPresaAllaRigaCheLaTiene) {
    const auto s = prova();
    // The code point at 4550 meets the signal's cell: the signal's row.
    EXPECT_EQ(lsp::definizione(s, quale_file::treno, {18, 3}),
              json({{"uri", uri_treno}, {"range", intervallo(16, 0, 16, 51)}}));
    // COLLE's time: VALDORA's row.
    const json d = lsp::definizione(s, quale_file::treno, {12, 64});
    EXPECT_EQ(d["range"]["start"]["line"], 11);
    // The first station's time, a row with no conflict: nowhere.
    EXPECT_TRUE(lsp::definizione(s, quale_file::treno, {11, 63}).is_null());
    EXPECT_TRUE(lsp::definizione(s, quale_file::treno, {9, 3}).is_null());
    // A speed row behind the one before it: that row (out-of-order).
    auto indietro = s;
    indietro.treno.testo += "velocita,    7000,    80\r\n";
    EXPECT_EQ(lsp::definizione(indietro, quale_file::treno, {19, 3})["range"]["start"]["line"], 9);
    // The line description is read first: a board in cell 91 takes the
    // signal's cell, and the signal's row leads to the other file.
    auto altro = s;
    const std::string cartello = "cartello_indicatore,  4500,   (Km 4+500)";
    altro.linea.testo += cartello + "\r\n";
    EXPECT_EQ(lsp::definizione(altro, quale_file::treno, {16, 3}),
              json({{"uri", uri_linea}, {"range", intervallo(21, 0, 21, static_cast<int>(cartello.size()))}}));
}

TEST(Simboli, IntestazioniEOggettiPrincipali) {
    const auto s = prova();
    const json t = lsp::simboli(s, quale_file::treno);
    const auto nomi = etichette(t);
    EXPECT_EQ(nomi, (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                              "[rallentamenti]", "[segnali]", "[codici]"}));
    EXPECT_EQ(etichette(t[3]["children"]), (std::vector<std::string>{"stazione VALDORA 0", "stazione COLLE 6000"}));
    EXPECT_EQ(etichette(t[4]["children"]), std::vector<std::string>{"rallentamento 7000"});
    EXPECT_EQ(etichette(t[5]["children"]), std::vector<std::string>{"segnale 4510"});
    EXPECT_EQ(etichette(t[6]["children"]), std::vector<std::string>{"abbattimento 4550"});
    EXPECT_TRUE(t[2]["children"].empty());  // speed limits are profile rows, not objects
    const json l = lsp::simboli(s, quale_file::linea);
    EXPECT_EQ(etichette(l[3]["children"]), std::vector<std::string>{"montagna 1000"});
}

TEST(Azioni, LaCorrezioneUnicaDiOgniAvviso) {
    const auto s = prova();
    struct caso {
        quale_file f;
        int riga;
        json intervallo;
        std::string testo;
    };
    const caso casi[] = {
        {quale_file::linea, 13, intervallo(13, 0, 13, 9), "pendenza"},
        {quale_file::treno, 9, intervallo(9, 22, 9, 24), "85"},
        {quale_file::treno, 16, intervallo(16, 12, 16, 16), "4500"},
    };
    for (const auto& c : casi) {
        const json a = lsp::azioni(s, c.f, {{c.riga, 0}, {c.riga, 0}});
        ASSERT_EQ(a.size(), 1u) << a.dump();
        EXPECT_EQ(a[0]["kind"], "quickfix");
        const auto& uri = c.f == quale_file::linea ? uri_linea : uri_treno;
        EXPECT_EQ(a[0]["edit"]["changes"][uri], json::array({{{"range", c.intervallo}, {"newText", c.testo}}}));
    }
    // Only the range asked for.
    EXPECT_TRUE(lsp::azioni(s, quale_file::treno, {{0, 0}, {8, 0}}).empty());
}

TEST(Formattazione, SpaziComeNeiFileIncorporati) {
    // The built-in files are their own fixed point.
    const auto b = builtin();
    EXPECT_EQ(lsp::formattazione(b, quale_file::linea), json::array());
    EXPECT_EQ(lsp::formattazione(b, quale_file::treno), json::array());
    // A row with its commas unspaced takes the built-in rows' two blanks;
    // rows already written so stay.
    const auto s = prova();
    EXPECT_EQ(lsp::formattazione(s, quale_file::linea),
              json::array({{{"range", intervallo(17, 15, 17, 16)}, {"newText", ",  "}},
                           {{"range", intervallo(17, 20, 17, 21)}, {"newText", ",  "}}}));
}

}  // namespace

namespace {

// Texts an author has half written: every answer at every place of them is
// valid JSON that can be sent (UTF-8 throughout), never an exception.
TEST(Robustezza, OgniRispostaSuTestiAMetà) {
    const std::string testi[] = {
        "",
        "[generale]",
        "[generale]\rlunghezza percorso,\r[curve]\rcurvad4, 99999999999\r",
        "\xEF\xBB\xBF[generale]\r\nstazione, 10, \"VAL\xE0\xA0, 3\r\n-- status 21 \x81\x9D\r\n[stazioni\r\n",
        "[generale]\n\nsegnale,  -50, 2,4,1,0,0,2,3,1,0,0\nsegnale, 0\n1,2,3,\nabbattimento,\t4550.7 ,  180x\n",
        "[generale]\r\nstazione,  0, 8, 500, 1, 0, 0, 4,1,1, 2,1,1, 1, 99,99,99, 0, \xC0\xFF\x7F\r\n",
    };
    for (const auto& t : testi) {
        for (const quale_file f : {quale_file::linea, quale_file::treno}) {
            lsp::scenario_aperto s;
            (f == quale_file::linea ? s.linea : s.treno) = {true, "file:///x", "x", t};
            SCOPED_TRACE(t);
            const int righe = static_cast<int>(std::count(t.begin(), t.end(), '\n') + std::count(t.begin(), t.end(), '\r')) + 2;
            std::string tutto;
            tutto += lsp::simboli(s, f).dump() + lsp::formattazione(s, f).dump() +
                     lsp::suggerimenti(s, f, 0, righe).dump() + lsp::azioni(s, f, {{0, 0}, {righe, 0}}).dump();
            for (int r = -1; r <= righe; ++r)
                for (int c = -1; c <= 90; c += 3) {
                    const posizione p{r, c};
                    tutto += lsp::hover(s, f, p).dump() + lsp::completamento(s, f, p).dump() +
                             lsp::definizione(s, f, p).dump();
                }
            EXPECT_FALSE(tutto.empty());
        }
    }
}

}  // namespace
