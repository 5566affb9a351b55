// Times one kind of compile run against its floor: the same bytes of the same
// files written with one buffered write each.
//
//   bench_compila builtin|METRI tempo  [RIPETIZIONI]   best time of the run and of its floor
//   bench_compila builtin|METRI memoria               one run; prints the peak resident memory
//
// METRI generates a line of that length with a train on it; builtin is the
// builder's whole headless run (five emitters, then the compile).
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "bench/genera.h"
#include "model/compilatore.h"
#include "model/nomi_file.h"
#include "scenario_text/emettitori.h"

namespace fs = std::filesystem;

namespace {

using orologio = std::chrono::steady_clock;

fs::path cartella_di_lavoro() {
    std::string modello = (fs::temp_directory_path() / "sb_bench_XXXXXX").string();
    if (::mkdtemp(modello.data()) == nullptr) std::abort();
    return modello;
}

modello::Modello nuovo(const fs::path& dir) {
    modello::Modello m;
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    m.cartella = dir;
    return m;
}

void scrivi(const fs::path& f, const std::string& testo) { std::ofstream(f, std::ios::binary) << testo; }

std::string leggi(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The input files of a generated line: written by a person beforehand, so
// never part of the time measured.
void prepara(const std::string& tipo, const fs::path& dir, const bench::scenario_generato& g) {
    if (tipo == "builtin") return;
    const auto m = nuovo(dir);
    scrivi(dir / modello::nome_file_linea(m), g.linea);
    scrivi(dir / modello::nome_file_treno(m), g.treno);
}

// The measured work: for the built-in run the five emitters and the compile,
// for a generated line the compile. Returns the compile status.
int compila(const std::string& tipo, const fs::path& dir) {
    auto m = nuovo(dir);
    if (tipo == "builtin") {
        scenario_text::dati_linea(m);
        scenario_text::dati_treno(m);
        scenario_text::dati_note(m);
        scenario_text::dati_rallentamenti(m);
        scenario_text::dati_scheda(m);
    }
    return modello::memorizza_percorso(m, 1);
}

int esegui(const std::string& tipo, const fs::path& dir, const bench::scenario_generato& g) {
    prepara(tipo, dir, g);
    return compila(tipo, dir);
}

double secondi(orologio::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "use: bench_compila builtin|METRI tempo|memoria [RIPETIZIONI]\n";
        return 64;
    }
    const std::string tipo = argv[1];
    const std::string misura = argv[2];
    const int ripetizioni = argc > 3 ? std::atoi(argv[3]) : 5;
    const bench::scenario_generato g = tipo == "builtin" ? bench::scenario_generato{} : bench::genera(std::atoi(tipo.c_str()));
    const fs::path dir = cartella_di_lavoro();

    if (misura == "memoria") {
        const int codice = esegui(tipo, dir, g);
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        std::uintmax_t piu_grande = 0;
        for (const auto& e : fs::directory_iterator(dir)) piu_grande = std::max(piu_grande, e.file_size());
        std::printf("%s codice %d picco_kb %ld file_piu_grande_kb %ju\n", tipo.c_str(), codice, r.ru_maxrss,
                    piu_grande / 1024);
        fs::remove_all(dir);
        return 0;
    }

    double migliore = 1e9;
    int codice = 0;
    for (int i = 0; i < ripetizioni; ++i) {
        prepara(tipo, dir, g);
        const auto t0 = orologio::now();
        codice = compila(tipo, dir);
        migliore = std::min(migliore, secondi(orologio::now() - t0));
    }

    // The floor: every file the run wrote, with the bytes it wrote, in one write each.
    std::map<std::string, std::string> scritti;
    {
        const fs::path copia = cartella_di_lavoro();
        esegui(tipo, copia, g);
        // The builtin run also wrote the two input files, which its readers deleted.
        if (tipo == "builtin") {
            auto m = nuovo(copia);
            scenario_text::dati_linea(m);
            scenario_text::dati_treno(m);
        }
        for (const auto& e : fs::directory_iterator(copia))
            if (tipo == "builtin" || e.path().extension() != ".txt") scritti[e.path().filename()] = leggi(e.path());
        fs::remove_all(copia);
    }
    double pavimento = 1e9;
    std::size_t byte = 0;
    for (int i = 0; i < ripetizioni; ++i) {
        const auto t0 = orologio::now();
        byte = 0;
        for (const auto& [nome, testo] : scritti) {
            std::FILE* f = std::fopen((dir / ("floor_" + nome)).c_str(), "wb");
            std::fwrite(testo.data(), 1, testo.size(), f);
            std::fclose(f);
            byte += testo.size();
        }
        pavimento = std::min(pavimento, secondi(orologio::now() - t0));
    }
    const double metri = tipo == "builtin" ? 243000.0 : std::atof(tipo.c_str());
    std::printf("%-8s codice %2d  run %8.2f ms  floor %8.2f ms  ratio %5.2f  ns/metre %7.1f  bytes %zu\n", tipo.c_str(),
                codice, migliore * 1e3, pavimento * 1e3, migliore / pavimento, migliore * 1e9 / metri, byte);
    fs::remove_all(dir);
    return 0;
}
