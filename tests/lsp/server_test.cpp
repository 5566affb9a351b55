// scenario_tool lsp driven over pipes as an editor drives it: the lifecycle,
// the slips of a client, and the diagnostics of a small pair of files as the
// author opens, breaks and fixes them. The same test runs the Windows build
// under Wine (SB_LSP_WINE), with the paths as Windows sees them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/documents/coppia_piccola.h"
#include "tests/lsp/cliente.h"

namespace {

namespace fs = std::filesystem;
using test_lsp::cliente;
using test_lsp::json;
using std::chrono::milliseconds;

#ifdef SB_LSP_WINE
// Wine starts slowly, the first time above all.
const milliseconds attesa(60000);
std::vector<std::string> comando() { return {WINE_ESEGUI, SCENARIO_TOOL_EXE, "lsp", "--stdio"}; }
// Wine's drive Z: is the Linux root.
std::string uri_di(const fs::path& p) { return "file:///Z:" + p.generic_string(); }
#else
const milliseconds attesa(10000);
std::vector<std::string> comando() { return {SCENARIO_TOOL_PATH, "lsp", "--stdio"}; }
std::string uri_di(const fs::path& p) { return "file://" + p.generic_string(); }
#endif

const fs::path fixture_dir = FIXTURES_DIR;

json params_inizializza(const json& opzioni = json::object()) {
    return {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", json::object()},
            {"initializationOptions", opzioni}};
}

std::string framed(const std::string& corpo) {
    return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// The answer's part that the model names is as the model says: every key of
// an object, every element of an array (same length), every other value equal.
bool contiene(const json& valore, const json& modello) {
    if (modello.is_object()) {
        if (!valore.is_object()) return false;
        for (const auto& [k, v] : modello.items())
            if (!valore.contains(k) || !contiene(valore[k], v)) return false;
        return true;
    }
    if (modello.is_array()) {
        if (!valore.is_array() || valore.size() != modello.size()) return false;
        for (std::size_t i = 0; i < modello.size(); ++i)
            if (!contiene(valore[i], modello[i])) return false;
        return true;
    }
    return valore == modello;
}

json errore(int codice) { return {{"error", {{"code", codice}}}}; }

TEST(ServerLsp, CicloDiVitaEScivolateDelCliente) {
    cliente c(comando());
    // Each step: bytes to send, then the answer expected (with its id, or
    // id null for a message that had none to read).
    struct passo {
        const char* nome;
        std::string invio;
        json id;
        json atteso;
    };
    const auto richiesta = [](int id, const std::string& metodo, const json& params) {
        return framed(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", params}}.dump());
    };
    const auto notifica = [](const std::string& metodo, const json& params) {
        return framed(json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", params}}.dump());
    };
    const json documento_ignoto = {{"textDocument", {{"uri", "file:///nessuno/X_linea.txt"}}},
                                   {"position", {{"line", 0}, {"character", 0}}}};
    const passo passi[] = {
        {"a request before initialize", richiesta(1, "textDocument/hover", documento_ignoto), 1, errore(-32002)},
        {"initialize advertises what is served",
         notifica("$/setTrace", {{"value", "off"}}) + richiesta(2, "initialize", params_inizializza()), 2,
         {{"result",
           {{"capabilities",
             {{"textDocumentSync", {{"openClose", true}, {"change", 2}}},
              {"hoverProvider", true},
              {"definitionProvider", true},
              {"documentSymbolProvider", true},
              {"documentFormattingProvider", true},
              {"inlayHintProvider", true},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"completionProvider", {{"resolveProvider", false}}}}},
            {"serverInfo", {{"name", "scenario_tool"}}}}}}},
        {"initialize twice", notifica("initialized", json::object()) + richiesta(3, "initialize", params_inizializza()),
         3, errore(-32600)},
        {"a body that is not JSON", framed("{\"jsonrpc\": \"2.0\", \"id\": 4, "), nullptr, errore(-32700)},
        {"a Content-Length that is not a number", "Content-Length: dieci\r\n\r\n", nullptr, errore(-32700)},
        {"not JSON-RPC 2.0", framed(R"({"jsonrpc":"1.0","id":5,"method":"shutdown"})"), 5, errore(-32600)},
        {"a message over 64 MiB, skipped", "Content-Length: 67108865\r\n\r\n" + std::string(67108865, ' '), nullptr,
         errore(-32600)},
        {"an unknown request after unknown notifications",
         notifica("$/unknown", json::object()) + notifica("workspace/nothing", json::object()) +
             richiesta(6, "textDocument/rename", documento_ignoto),
         6, errore(-32601)},
        {"parameters of the wrong shape", richiesta(7, "textDocument/hover", {{"textDocument", 3}}), 7, errore(-32602)},
        {"a document that is not open", richiesta(8, "textDocument/hover", documento_ignoto), 8, errore(-32602)},
        {"shutdown", richiesta(9, "shutdown", json()), 9, {{"result", nullptr}}},
        {"a request after shutdown", richiesta(10, "textDocument/hover", documento_ignoto), 10, errore(-32600)},
    };
    for (const auto& p : passi) {
        c.invia_grezzo(p.invio);
        const auto r = c.risposta(p.id, attesa);
        ASSERT_TRUE(r) << p.nome << ": no answer";
        EXPECT_TRUE(contiene(*r, p.atteso)) << p.nome << ": " << r->dump();
    }
    // Nothing was said that was not asked for.
    EXPECT_TRUE(c.passati.empty()) << json(c.passati).dump();
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(attesa), 0);
}

// The fixture pair in a folder of its own, as an author has it.
struct coppia_su_disco {
    test_util::CartellaTemporanea cartella;
    fs::path linea = cartella.percorso() / "Lago_linea.txt";
    fs::path treno = cartella.percorso() / "Lago_3-.txt";
    explicit coppia_su_disco(bool con_treno = true) {
        fs::copy(fixture_dir / "Lago_linea.txt", linea);
        if (con_treno) fs::copy(fixture_dir / "Lago_3-.txt", treno);
    }
};

void avvia(cliente& c, const json& opzioni = json::object()) {
    c.richiesta(1, "initialize", params_inizializza(opzioni));
    ASSERT_TRUE(c.risposta(1, attesa));
    c.notifica("initialized");
}

void apri(cliente& c, const std::string& uri, const std::string& testo) {
    c.notifica("textDocument/didOpen",
               {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", testo}}}});
}

void cambia(cliente& c, const std::string& uri, int versione, const std::string& testo) {
    c.notifica("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", versione}}},
                                          {"contentChanges", json::array({{{"text", testo}}})}});
}

json intervallo(int riga, int da, int a) {
    return {{"start", {{"line", riga}, {"character", da}}}, {"end", {{"line", riga}, {"character", a}}}};
}

// The diagnostic of that code, or null.
json con_codice(const json& lista, const json& codice) {
    for (const auto& d : lista)
        if (d.value("code", json()) == codice) return d;
    return nullptr;
}

// Line n (from 0) of a text with CR LF line ends replaced.
std::string con_riga(std::string testo, int n, const std::string& nuova) {
    std::size_t inizio = 0;
    for (int i = 0; i < n; ++i) inizio = testo.find("\r\n", inizio) + 2;
    const auto fine = testo.find("\r\n", inizio);
    return testo.replace(inizio, fine - inizio, nuova);
}

TEST(ServerLsp, DiagnosticheDellaCoppiaDallAperturaAllaChiusura) {
    coppia_su_disco d;
    const std::string uri_linea = uri_di(d.linea);
    const std::string uri_treno = uri_di(d.treno);
    const std::string testo = test_util::leggi(d.linea);
    cliente c(comando());
    avvia(c);
    apri(c, uri_linea, testo);

    // On open: the line's planted error with the row that placed the board
    // first, its warnings, each at its token.
    const auto l = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l);
    const json& dl = (*l)["params"]["diagnostics"];
    EXPECT_EQ(dl.size(), 3u) << dl.dump();
    EXPECT_TRUE(
        contiene(con_codice(dl, 21),
                 {{"range", intervallo(10, 0, 15)},
                  {"severity", 1},
                  {"source", "scenario_tool"},
                  {"relatedInformation",
                   {{{"location", {{"uri", uri_linea}, {"range", {{"start", {{"line", 9}, {"character", 0}}}}}}}}}}}))
        << dl.dump();
    EXPECT_TRUE(contiene(con_codice(dl, "unknown-keyword"), {{"range", intervallo(7, 0, 8)}, {"severity", 2}}))
        << dl.dump();
    // The value 690 of "indicatori_vmax,  690, ...".
    EXPECT_TRUE(contiene(con_codice(dl, "off-grid-position"), {{"range", intervallo(10, 18, 21)}, {"severity", 2}}))
        << dl.dump();

    // The train file is not open: its error, read from disk, points at the
    // line description's row.
    const auto t = c.diagnostiche(uri_treno, attesa);
    ASSERT_TRUE(t) << json(c.passati).dump();
    EXPECT_TRUE(contiene((*t)["params"]["diagnostics"],
                         {{{"range", intervallo(10, 0, 7)},
                           {"code", 16},
                           {"relatedInformation", {{{"location", {{"uri", uri_linea}}}}}}}}))
        << t->dump();

    // The author fixes the keyword and moves the second board: the line's
    // list is published empty.
    std::string corretto = con_riga(testo, 7, "pendenza,  2000,   6");
    corretto = con_riga(corretto, 10, "indicatori_vmax,  1500,  90,  100,  105,  0,  90,  100,  105,  0");
    cambia(c, uri_linea, 2, corretto);
    const auto l2 = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l2);
    EXPECT_EQ((*l2)["params"]["diagnostics"], json::array()) << l2->dump();
    EXPECT_EQ((*l2)["params"]["version"], 2);

    // Characters Windows-1252 cannot hold, in a comment row: an error each,
    // at its UTF-16 columns (the emoji takes two), and nothing for the è.
    cambia(c, uri_linea, 3, con_riga(corretto, 8, "-😀 è ✓"));
    const auto l3 = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l3);
    EXPECT_TRUE(contiene((*l3)["params"]["diagnostics"],
                         {{{"range", intervallo(8, 1, 3)}, {"severity", 1}, {"code", "not-windows-1252"}},
                          {{"range", intervallo(8, 6, 7)}, {"severity", 1}, {"code", "not-windows-1252"}}}))
        << l3->dump();

    // Closed: both lists cleared.
    c.notifica("textDocument/didClose", {{"textDocument", {{"uri", uri_linea}}}});
    const auto fine = [&](const json& m) {
        return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["diagnostics"].empty();
    };
    std::vector<std::string> svuotati;
    for (int i = 0; i < 2; ++i)
        if (const auto m = c.attendi(fine, attesa)) svuotati.push_back((*m)["params"]["uri"]);
    EXPECT_EQ(svuotati, (std::vector<std::string>{uri_linea, uri_treno}));
    // Nothing was written to the author's files.
    EXPECT_EQ(test_util::leggi(d.linea), testo);
    c.richiesta(2, "shutdown");
    ASSERT_TRUE(c.risposta(2, attesa));
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(attesa), 0);
}

// The rules on the railway reach the editor as check gives them: a second
// station named PIANO at its row, the first as its related location, and a
// signal whose digits no role has.
TEST(ServerLsp, LeRegoleDellaFerroviaSonoDiagnostiche) {
    coppia_su_disco d;
    const std::string uri_treno = uri_di(d.treno);
    std::string testo = con_riga(test_util::leggi(d.treno), 8,
                                 "stazione,  6000,  12,  500,  0, 0, 0,  1,1,0,  4,1,1,   45,  7,20, 0, PIANO");
    testo = con_riga(testo, 11, "segnale,    4500,   2, 4, 1,  1, 0,    2,  3,1,0, 0");
    cliente c(comando());
    avvia(c);
    apri(c, uri_treno, testo);
    const auto t = c.diagnostiche(uri_treno, attesa);
    ASSERT_TRUE(t);
    const json& dt = (*t)["params"]["diagnostics"];
    const json nome = con_codice(dt, "station-name-repeated");
    ASSERT_FALSE(nome.is_null()) << dt.dump();
    EXPECT_EQ(nome["range"]["start"]["line"], 8);
    EXPECT_EQ(nome["severity"], 2);
    ASSERT_EQ(nome["relatedInformation"].size(), 1u) << nome.dump();
    EXPECT_EQ(nome["relatedInformation"][0]["location"]["uri"], uri_treno);
    EXPECT_EQ(nome["relatedInformation"][0]["location"]["range"]["start"]["line"], 7);
    const json segnale = con_codice(dt, "signal-pattern-unknown");
    ASSERT_FALSE(segnale.is_null()) << dt.dump();
    EXPECT_EQ(segnale["range"]["start"]["line"], 11);
    c.richiesta(2, "shutdown");
    ASSERT_TRUE(c.risposta(2, attesa));
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(attesa), 0);
}

// The rules on the railway reach the editor as check reports them: the line
// description's four planted faults at their rows, each with the row it
// contradicts, the train file's in its own list.
TEST(ServerLsp, LeRegoleSullaFerroviaComeCheck) {
    test_util::CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Ferrovia_linea.txt";
    const fs::path treno = cartella.percorso() / "Ferrovia_5-.txt";
    fs::copy(fs::path(FERROVIA_DIR) / "Ferrovia_linea.txt", linea);
    fs::copy(fs::path(FERROVIA_DIR) / "Ferrovia_5-.txt", treno);
    cliente c(comando());
    avvia(c);
    apri(c, uri_di(linea), test_util::leggi(linea));
    const auto l = c.diagnostiche(uri_di(linea), attesa);
    ASSERT_TRUE(l);
    std::vector<std::string> visti;
    for (const auto& d : (*l)["params"]["diagnostics"]) {
        std::string s = d["code"].get<std::string>() + " " + std::to_string(d["range"]["start"]["line"].get<int>());
        for (const auto& r : d.value("relatedInformation", json::array()))
            s += " -> " + std::to_string(r["location"]["range"]["start"]["line"].get<int>());
        visti.push_back(s);
    }
    // Lines from 0.
    EXPECT_EQ(visti, (std::vector<std::string>{"direction-code 3", "repetition-outside-line 8 -> 1",
                                               "curve-speed 11 -> 8", "board-above-train 17 -> 9",
                                               "km-board-text 21 -> 3"}))
        << l->dump();
    const auto t = c.diagnostiche(uri_di(treno), attesa);
    ASSERT_TRUE(t);
    EXPECT_TRUE(contiene((*t)["params"]["diagnostics"],
                         {{{"code", "speed-above-boards"},
                           {"range", {{"start", {{"line", 10}}}}},
                           {"relatedInformation", {{{"location", {{"uri", uri_di(linea)}}}}}}}}))
        << t->dump();
    c.richiesta(2, "shutdown");
    ASSERT_TRUE(c.risposta(2, attesa));
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(attesa), 0);
}

TEST(ServerLsp, UnFileSenzaCoppiaLoDiceUnaVolta) {
    coppia_su_disco d(false);
    const std::string uri_linea = uri_di(d.linea);
    cliente c(comando());
    avvia(c);
    apri(c, uri_linea, test_util::leggi(d.linea));
    const auto l = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l);
    const json& dl = (*l)["params"]["diagnostics"];
    // The line reader's error stands without a train file; one note says
    // what is missing.
    EXPECT_FALSE(con_codice(dl, 21).is_null()) << dl.dump();
    int note = 0;
    for (const auto& x : dl) note += x["code"] == "unpaired" ? 1 : 0;
    EXPECT_EQ(note, 1) << dl.dump();
    EXPECT_TRUE(contiene(con_codice(dl, "unpaired"), {{"severity", 3}, {"range", intervallo(0, 0, 0)}}));

    // The train file appears beside it and is opened: the pair is whole.
    fs::copy(fixture_dir / "Lago_3-.txt", d.treno);
    const std::string uri_treno = uri_di(d.treno);
    apri(c, uri_treno, test_util::leggi(d.treno));
    const auto t = c.diagnostiche(uri_treno, attesa);
    ASSERT_TRUE(t);
    EXPECT_TRUE(con_codice((*t)["params"]["diagnostics"], "unpaired").is_null()) << t->dump();
    EXPECT_FALSE(con_codice((*t)["params"]["diagnostics"], 16).is_null()) << t->dump();
    const auto l2 = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l2);
    EXPECT_TRUE(con_codice((*l2)["params"]["diagnostics"], "unpaired").is_null()) << l2->dump();
}

TEST(ServerLsp, UnFileCheLEditorSalvaInUtf8) {
    coppia_su_disco d;
    // The author wrote an accented letter with an editor that saves UTF-8.
    const std::string testo = con_riga(test_util::leggi(d.linea), 8, "-città");
    test_util::scrivi(d.linea, testo);
    const std::string uri_linea = uri_di(d.linea);
    cliente c(comando());
    avvia(c);
    apri(c, uri_linea, testo);
    const auto l = c.diagnostiche(uri_linea, attesa);
    ASSERT_TRUE(l);
    EXPECT_TRUE(contiene(con_codice((*l)["params"]["diagnostics"], "utf8-text"),
                         {{"range", intervallo(8, 5, 6)}, {"severity", 2}}))
        << l->dump();
}

TEST(ServerLsp, UnaRichiestaAncoraInAttesaEAnnullata) {
    coppia_su_disco d;
    cliente c(comando());
    avvia(c);
    // A long file to format keeps the server busy while the hover and its
    // cancel, sent with it in one write, are read: the cancel is there before
    // the hover's turn, however the reader and the server share the time.
    std::string testo = test_util::leggi(d.linea);
    for (int k = 0; k < 20000; ++k) testo += "- riga di commento, con una virgola\r\n";
    const std::string uri_linea = uri_di(d.linea);
    apri(c, uri_linea, testo);
    const json formatta = {{"jsonrpc", "2.0"},
                           {"id", 4},
                           {"method", "textDocument/formatting"},
                           {"params", {{"textDocument", {{"uri", uri_linea}}}, {"options", {{"tabSize", 4}, {"insertSpaces", true}}}}}};
    const json hover = {
        {"jsonrpc", "2.0"},
        {"id", 5},
        {"method", "textDocument/hover"},
        {"params", {{"textDocument", {{"uri", uri_linea}}}, {"position", {{"line", 1}, {"character", 2}}}}}};
    const json annulla = {{"jsonrpc", "2.0"}, {"method", "$/cancelRequest"}, {"params", {{"id", 5}}}};
    c.invia_grezzo(framed(formatta.dump()) + framed(hover.dump()) + framed(annulla.dump()));
    const auto f = c.risposta(4, attesa);
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->contains("error")) << f->dump();
    const auto r = c.risposta(5, attesa);
    ASSERT_TRUE(r);
    EXPECT_TRUE(contiene(*r, errore(-32800))) << r->dump();
}

TEST(ServerLsp, LeImpostazioniAccendonoESpengonoISuggerimenti) {
    coppia_su_disco d;
    cliente c(comando());
    c.richiesta(1, "initialize",
                {{"capabilities", {{"workspace", {{"inlayHint", {{"refreshSupport", true}}}}}}},
                 {"initializationOptions", {{"inlayHints", false}}}});
    ASSERT_TRUE(c.risposta(1, attesa));
    c.notifica("initialized");
    const std::string uri_linea = uri_di(d.linea);
    apri(c, uri_linea, test_util::leggi(d.linea));
    ASSERT_TRUE(c.diagnostiche(uri_linea, attesa));
    const json richiesta = {
        {"textDocument", {{"uri", uri_linea}}},
        {"range", {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 11}, {"character", 0}}}}}};
    c.richiesta(2, "textDocument/inlayHint", richiesta);
    const auto spenti = c.risposta(2, attesa);
    ASSERT_TRUE(spenti);
    EXPECT_EQ((*spenti)["result"], json::array());
    // Turned on under the server's name: the editor is asked to ask again.
    const auto aggiorna = [](const json& m) { return m.value("method", "") == "workspace/inlayHint/refresh"; };
    c.notifica("workspace/didChangeConfiguration", {{"settings", {{"scenario_tool", {{"inlayHints", true}}}}}});
    const auto r = c.attendi(aggiorna, attesa);
    ASSERT_TRUE(r);
    c.invia({{"jsonrpc", "2.0"}, {"id", (*r)["id"]}, {"result", nullptr}});
    // The same setting again changes nothing and asks nothing.
    c.notifica("workspace/didChangeConfiguration", {{"settings", {{"inlayHints", true}}}});
    c.richiesta(3, "textDocument/inlayHint", richiesta);
    const auto accesi = c.risposta(3, attesa);
    ASSERT_TRUE(accesi);
    // Each value of "curvad4,  3000,  400" (line 4) is named.
    int sulla_curva = 0;
    for (const auto& h : (*accesi)["result"]) sulla_curva += h["position"]["line"] == 4 ? 1 : 0;
    EXPECT_EQ(sulla_curva, 2) << accesi->dump();
    for (const auto& m : c.passati) EXPECT_FALSE(aggiorna(m)) << m.dump();
}

TEST(ServerLsp, StatoDUscita) {
    struct caso {
        const char* nome;
        bool arresto;  // shutdown first
        bool esci;     // exit, else the input ends
        int stato;
    };
    const caso casi[] = {
        {"exit without shutdown", false, true, 1},
        {"the input ends without shutdown", false, false, 1},
        {"the input ends after shutdown", true, false, 0},
    };
    for (const auto& k : casi) {
        cliente c(comando());
        c.richiesta(1, "initialize", params_inizializza());
        ASSERT_TRUE(c.risposta(1, attesa)) << k.nome;
        if (k.arresto) {
            c.richiesta(2, "shutdown");
            ASSERT_TRUE(c.risposta(2, attesa)) << k.nome;
        }
        if (k.esci) c.notifica("exit");
        else c.chiudi_ingresso();
        EXPECT_EQ(c.stato_uscita(attesa), k.stato) << k.nome;
    }
}

json modifica(int riga, int colonna, int riga_fine, int colonna_fine, const std::string& testo) {
    return {{"range", {{"start", {{"line", riga}, {"character", colonna}}},
                       {"end", {{"line", riga_fine}, {"character", colonna_fine}}}}},
            {"text", testo}};
}

// The codes and ranges of a list of diagnostics, in order of place.
std::vector<std::string> in_breve(const json& lista) {
    std::vector<std::string> r;
    for (const auto& d : lista)
        r.push_back(d["code"].dump() + "@" + d["range"]["start"]["line"].dump() + ":" +
                    d["range"]["start"]["character"].dump() + "-" + d["range"]["end"]["character"].dump());
    std::sort(r.begin(), r.end());
    return r;
}

// The changes of one didChange apply in order, each to the text the one
// before left: a range, or without one the whole text.
TEST(ServerLsp, LeModificheDiUnaListaInOrdine) {
    coppia_su_disco d;
    const std::string uri_linea = uri_di(d.linea);
    const std::string testo = test_util::leggi(d.linea);
    cliente c(comando());
    avvia(c);
    apri(c, uri_linea, testo);
    ASSERT_TRUE(c.diagnostiche(uri_linea, attesa));
    const auto cambia_con = [&](int versione, const json& modifiche) {
        c.notifica("textDocument/didChange",
                   {{"textDocument", {{"uri", uri_linea}, {"version", versione}}}, {"contentChanges", modifiche}});
        const auto l = c.diagnostiche(uri_linea, attesa);
        return l ? in_breve((*l)["params"]["diagnostics"]) : std::vector<std::string>{"no diagnostics"};
    };
    const std::string tabellone_700 = "700,  100,  110,  115,  0,  100,  110,  115,  0";
    const std::string tabellone_1500 = "indicatori_vmax,  1500,  90,  100,  105,  0,  90,  100,  105,  0";
    // The keyword "pendenze" mended; a comment row before the boards moves
    // them a line down; the boards, from the first one's value to the line
    // after the second (where only the moved text has them), written again
    // with the second one in its place. Only the comment's tick is left.
    EXPECT_EQ(cambia_con(2, {modifica(7, 7, 7, 8, "a"), modifica(8, 0, 8, 0, "-nota ✓\r\n"),
                             modifica(10, 18, 12, 0, tabellone_700 + "\r\n" + tabellone_1500 + "\r\n")}),
              (std::vector<std::string>{R"("not-windows-1252"@8:6-7)"}));
    // The whole text first, then ranges on it: the keyword mended again, a
    // comment row with an emoji, and a letter put where a range ends
    // between the emoji's two UTF-16 units, that is before the emoji.
    EXPECT_EQ(cambia_con(3, {{{"text", testo}}, modifica(7, 7, 7, 8, "a"), modifica(8, 0, 8, 0, "-😀✓\r\n"),
                             modifica(8, 1, 8, 2, "è")}),
              (std::vector<std::string>{R"("not-windows-1252"@8:2-4)", R"("not-windows-1252"@8:4-5)",
                                        R"("off-grid-position"@11:18-21)", "21@11:0-15"}));
}

// A position is two integers from 0 to 2^31 - 1; anything else is an invalid
// parameter, not a place. A line past the document's end has nothing.
TEST(ServerLsp, PosizioniFuoriDaiLimiti) {
    coppia_su_disco d;
    const std::string uri_linea = uri_di(d.linea);
    cliente c(comando());
    avvia(c);
    apri(c, uri_linea, test_util::leggi(d.linea));
    ASSERT_TRUE(c.diagnostiche(uri_linea, attesa));
    struct caso {
        const char* metodo;
        const char* riga;  // as written in the JSON
        const char* colonna;
        json atteso;
    };
    const json nulla = {{"result", nullptr}};
    const caso casi[] = {
        {"textDocument/hover", "2147483647", "0", nulla},
        {"textDocument/hover", "2147483648", "0", errore(-32602)},
        {"textDocument/hover", "4294967296", "0", errore(-32602)},
        {"textDocument/hover", "12", "0", nulla},  // the empty line after the last line end
        {"textDocument/hover", "13", "0", nulla},
        {"textDocument/hover", "-1", "0", errore(-32602)},
        {"textDocument/hover", "1", "-1", errore(-32602)},
        {"textDocument/hover", "1", "2147483648", errore(-32602)},
        {"textDocument/hover", "1.5", "0", errore(-32602)},
        {"textDocument/hover", "1e20", "0", errore(-32602)},
        {"textDocument/hover", "\"1\"", "0", errore(-32602)},
        {"textDocument/definition", "2147483647", "0", nulla},
        {"textDocument/definition", "1", "1e20", errore(-32602)},
        {"textDocument/completion", "2147483647", "2147483647", {{"result", json::array()}}},
        {"textDocument/completion", "13", "0", {{"result", json::array()}}},
        {"textDocument/completion", "-1", "0", errore(-32602)},
    };
    int id = 10;
    for (const auto& k : casi) {
        const std::string corpo = R"({"jsonrpc":"2.0","id":)" + std::to_string(++id) + R"(,"method":")" + k.metodo +
                                  R"(","params":{"textDocument":{"uri":")" + uri_linea + R"("},"position":{"line":)" +
                                  k.riga + R"(,"character":)" + k.colonna + "}}}";
        c.invia_grezzo(framed(corpo));
        const auto r = c.risposta(id, attesa);
        ASSERT_TRUE(r) << corpo;
        EXPECT_TRUE(contiene(*r, k.atteso)) << corpo << " -> " << r->dump();
        if (k.atteso.contains("error")) {
            EXPECT_FALSE((*r)["error"].value("message", "").empty()) << r->dump();
        }
    }
    // At its limit a column is taken back to its line's end: the value
    // 10000 of "lunghezza percorso,    10000" (line 1).
    const std::string ultima = "lunghezza percorso,    10000";
    for (const int colonna : {static_cast<int>(ultima.size()), 2147483647}) {
        c.richiesta(++id, "textDocument/hover",
                    {{"textDocument", {{"uri", uri_linea}}}, {"position", {{"line", 1}, {"character", colonna}}}});
        const auto r = c.risposta(id, attesa);
        ASSERT_TRUE(r);
        EXPECT_TRUE(contiene(*r, {{"result", {{"range", intervallo(1, 23, 28)}}}})) << r->dump();
    }
    // The last line, empty after the last line end, is still a place to
    // write a row.
    c.richiesta(++id, "textDocument/completion",
                {{"textDocument", {{"uri", uri_linea}}}, {"position", {{"line", 12}, {"character", 0}}}});
    const auto ultima_riga = c.risposta(id, attesa);
    ASSERT_TRUE(ultima_riga);
    EXPECT_FALSE((*ultima_riga)["result"].empty()) << ultima_riga->dump();
    // A range's ends are positions too.
    c.richiesta(++id, "textDocument/inlayHint",
                {{"textDocument", {{"uri", uri_linea}}},
                 {"range", {{"start", {{"line", 0}, {"character", 0}}},
                            {"end", {{"line", 2147483648}, {"character", 0}}}}}});
    const auto r = c.risposta(id, attesa);
    ASSERT_TRUE(r);
    EXPECT_TRUE(contiene(*r, errore(-32602))) << r->dump();
}

// The client stops reading in the middle of its stream of changes and
// requests, and goes on writing: the server ends with status 1, its reading
// thread still at work on the rest of the input.
TEST(ServerLsp, UnClienteCheNonLeggePiuLoChiude) {
    coppia_su_disco d;
    const std::string uri_linea = uri_di(d.linea);
    const std::string testo = test_util::leggi(d.linea);
#ifdef SB_LSP_WINE
    const int volte = 3;
#else
    const int volte = 20;
#endif
    for (int volta = 0; volta < volte; ++volta) {
        cliente c(comando());
        avvia(c);
        apri(c, uri_linea, testo);
        ASSERT_TRUE(c.diagnostiche(uri_linea, attesa)) << volta;
        c.chiudi_uscita();
        for (int n = 0; n < 40; ++n) {
            cambia(c, uri_linea, n + 2, testo + std::string(static_cast<std::size_t>(n % 2), ' '));
            c.richiesta(10 + n, "textDocument/hover",
                        {{"textDocument", {{"uri", uri_linea}}}, {"position", {{"line", 1}, {"character", 2}}}});
        }
        EXPECT_EQ(c.stato_uscita(attesa), 1) << volta;
    }
}

}  // namespace

namespace {

// "Write the driver's documents": the files beside the pair, as the command
// writes them; a pair that does not compile as the editor holds it writes
// nothing and says why.
TEST(ServerLsp, IDocumentiDelMacchinistaComeComando) {
    test_util::CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Colle_linea.txt";
    const fs::path treno = cartella.percorso() / "Colle_12-.txt";
    test_util::scrivi(linea, std::string(test_util::linea_piccola));
    test_util::scrivi(treno, test_util::treno_piccolo(test_util::rallentamento_al_cippo));
    cliente c(comando());
    c.richiesta(1, "initialize", params_inizializza());
    const auto init = c.risposta(1, attesa);
    ASSERT_TRUE(init);
    EXPECT_EQ((*init)["result"]["capabilities"]["executeCommandProvider"]["commands"],
              json::array({"scenario_tool.documents"}));
    c.notifica("initialized");
    const std::string uri_treno = uri_di(treno);
    apri(c, uri_treno, test_util::leggi(treno));

    c.richiesta(2, "workspace/executeCommand", {{"command", "scenario_tool.documents"}, {"arguments", {uri_treno}}});
    const auto r = c.risposta(2, attesa);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->contains("result")) << r->dump();
    EXPECT_EQ((*r)["result"]["written"].size(), 3u) << r->dump();
    const auto ordine = test_util::righe_crlf(test_util::leggi(cartella.percorso() / "Colle_12_rallentamenti.txt"));
    ASSERT_GT(ordine.size(), 12u);
    EXPECT_EQ(ordine[12], " | 1 | PIANO - VALLE NUOVA        |     18     |    60    |   300   |   -----    |");
    EXPECT_TRUE(fs::exists(cartella.percorso() / "Colle_12_scheda_treno.txt"));
    EXPECT_TRUE(fs::exists(cartella.percorso() / "Colle_12_note.txt"));

    // The open text counts, not the file on disk: a station off the grid.
    std::string rotto = test_util::treno_piccolo(test_util::rallentamento_al_cippo);
    rotto.replace(rotto.find("2000, 12"), 4, "2010");
    cambia(c, uri_treno, 2, rotto);
    const std::string prima = test_util::leggi(cartella.percorso() / "Colle_12_scheda_treno.txt");
    c.richiesta(3, "workspace/executeCommand", {{"command", "scenario_tool.documents"}, {"arguments", {uri_treno}}});
    const auto e = c.risposta(3, attesa);
    ASSERT_TRUE(e);
    EXPECT_EQ((*e)["error"]["code"], -32803) << e->dump();
    EXPECT_NE((*e)["error"]["message"].get<std::string>().find("does not compile"), std::string::npos) << e->dump();
    EXPECT_EQ(test_util::leggi(cartella.percorso() / "Colle_12_scheda_treno.txt"), prima);

    c.richiesta(4, "workspace/executeCommand", {{"command", "altro"}, {"arguments", {uri_treno}}});
    const auto ignoto = c.risposta(4, attesa);
    ASSERT_TRUE(ignoto);
    EXPECT_EQ((*ignoto)["error"]["code"], -32602) << ignoto->dump();
    c.richiesta(5, "shutdown");
    ASSERT_TRUE(c.risposta(5, attesa));
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(attesa), 0);
}

}  // namespace
