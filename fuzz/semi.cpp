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

namespace {

void scrivi(const std::filesystem::path& f, const std::string& testo) {
    std::filesystem::create_directories(f.parent_path());
    std::ofstream(f, std::ios::binary) << testo;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "use: semi CORPUS_DIR\n";
        return 64;
    }
    const std::filesystem::path dir = argv[1];
    const std::string linea = scenario_text::testo_file(scenario_text::con_sentinella(scenario_text::righe_linea));
    const std::string treno = scenario_text::testo_file(scenario_text::con_sentinella(scenario_text::righe_treno));
    scrivi(dir / "fuzz_linea" / "builtin", linea);
    scrivi(dir / "fuzz_linea" / "piccola", std::string(fuzz::linea_valida));
    scrivi(dir / "fuzz_treno" / "builtin", treno);
    scrivi(dir / "fuzz_compilatore" / "builtin", linea + "\n====\n" + treno);
    scrivi(dir / "fuzz_controllo" / "builtin", linea + "\n====\n" + treno);
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
