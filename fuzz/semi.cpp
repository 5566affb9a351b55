// Writes the seed corpora of the fuzz targets: the built-in line description
// and train file as the emitters write them, the pair joined for the compile
// driver, and the compiled files of a small scenario for the decoders.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "compiler/driver.h"
#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "fuzz/ambiente_fuzz.h"
#include "model/nomi_file.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"
#include "text/testo_1252.h"

#include <nlohmann/json.hpp>

namespace {

void scrivi(const std::filesystem::path& f, const std::string& testo) {
    std::filesystem::create_directories(f.parent_path());
    std::ofstream(f, std::ios::binary) << testo;
}

std::string framed(const nlohmann::json& m) {
    const std::string corpo = m.dump();
    return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// A session of scenario_tool lsp on the built-in line description: open, a
// hover, a change, a request cancelled, shutdown and exit.
std::string sessione(const std::string& linea) {
    using nlohmann::json;
    const std::string uri = "file:///nessuna/Valdora_linea.txt";
    const json doc{{"uri", uri}};
    const json posizione{{"line", 2}, {"character", 3}};
    return framed({{"jsonrpc", "2.0"},
                   {"id", 1},
                   {"method", "initialize"},
                   {"params", {{"capabilities", json::object()}}}}) +
           framed({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}}) +
           framed(
               {{"jsonrpc", "2.0"},
                {"method", "textDocument/didOpen"},
                {"params",
                 {{"textDocument",
                   {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", testo::da_cp1252(linea)}}}}}}) +
           framed({{"jsonrpc", "2.0"},
                   {"id", 2},
                   {"method", "textDocument/hover"},
                   {"params", {{"textDocument", doc}, {"position", posizione}}}}) +
           framed({{"jsonrpc", "2.0"},
                   {"method", "textDocument/didChange"},
                   {"params",
                    {{"textDocument", {{"uri", uri}, {"version", 2}}},
                     {"contentChanges",
                      json::array({{{"text", "[generale]\r\nlunghezza percorso, 5000\r\n\u2713"}}})}}}}) +
           framed({{"jsonrpc", "2.0"},
                   {"id", 3},
                   {"method", "textDocument/completion"},
                   {"params", {{"textDocument", doc}, {"position", posizione}}}}) +
           framed({{"jsonrpc", "2.0"}, {"method", "$/cancelRequest"}, {"params", {{"id", 3}}}}) +
           framed({{"jsonrpc", "2.0"}, {"id", 4}, {"method", "shutdown"}}) +
           framed({{"jsonrpc", "2.0"}, {"method", "exit"}});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "use: semi CORPUS_DIR\n";
        return 64;
    }
    const std::filesystem::path dir = argv[1];
    const std::string linea = testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_linea));
    const std::string treno = testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_treno));
    scrivi(dir / "fuzz_linea" / "builtin", linea);
    scrivi(dir / "fuzz_linea" / "piccola", std::string(fuzz::linea_valida));
    scrivi(dir / "fuzz_treno" / "builtin", treno);
    scrivi(dir / "fuzz_compilatore" / "builtin", linea + "\n====\n" + treno);
    scrivi(dir / "fuzz_controllo" / "builtin", linea + "\n====\n" + treno);
    scrivi(dir / "fuzz_lsp" / "sessione", sessione(linea));
    scrivi(dir / "fuzz_compilatore" / "piccola", std::string(fuzz::linea_valida) + "\n====\n" +
                                                     "[generale]\r\nvelocita, 0, 100\r\nsegnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\n"
                                                     "rallentamento, 10000, 60, 200, 0, 1, 0\r\nabbattimento, 15000, 180\r\n"
                                                     "stazione, 6900, 12, 600, 0,0,0, 1,1,0, 4,1,1, 0, 7,12,0, PONTE\r\n");
    // The compiled files of the small valid line with a short train.
    auto m = fuzz::nuovo_modello(1);
    auto in = fuzz::ingressi(fuzz::linea_valida,
                             "[generale]\r\nvelocita, 0, 100\r\nsegnale, 4500, 2,4,1,0,0, 2,3,1,0, 220\r\n"
                             "stazione, 6900, 12, 600, 0,0,0, 1,1,0, 4,1,1, 0, 7,12,0, PONTE\r\n");
    compilatore::compila(m, 1, in);
    scrivi(dir / "fuzz_decodifica" / modello::nome_file_percorso(m), formato::immagine_percorso(m.percorso));
    scrivi(dir / "fuzz_decodifica" / modello::nome_file_tabella(m), formato::immagine_tabella(m.tabella));
    scrivi(dir / "fuzz_decodifica" / modello::nome_file_geometria(m), formato::immagine_geometria(*m.geometria));
    return 0;
}
