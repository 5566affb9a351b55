// Times one kind of compile run against its floor: the same bytes of the same
// files written with one buffered write each. Beside it, two parts of the run
// that the floor leaves out: replacing each file through a temporary file, and
// computing the geometry's values, which follow one from another and cannot
// be skipped.
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
#include <optional>
#include <sstream>
#include <string>

#include "bench/genera.h"
#include "compiler/driver.h"
#include "format/geometria.h"
#include "model/nomi_file.h"
#include "platform/file_atomico.h"
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
// for a generated line the compile. Returns the compile status; m is left as
// the compile left it.
int compila(const std::string& tipo, modello::Modello& m) {
    if (tipo == "builtin") scenario_text::dati_scenario(m);
    return compilatore::memorizza_percorso(m, 1);
}

int compila(const std::string& tipo, const fs::path& dir) {
    auto m = nuovo(dir);
    return compila(tipo, m);
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
    const int ripetizioni = argc > 3 ? std::atoi(argv[3]) : 20;
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

    // The floor: every file the run wrote, with the bytes it wrote, in one write each.
    std::map<std::string, std::string> scritti;
    std::optional<modello::tracciato_linea> tracciato;
    {
        const fs::path copia = cartella_di_lavoro();
        prepara(tipo, copia, g);
        auto m = nuovo(copia);
        compila(tipo, m);
        tracciato = m.geometria;
        // The builtin run also wrote the two input files, which its readers deleted.
        if (tipo == "builtin") {
            scenario_text::dati_linea(m);
            scenario_text::dati_treno(m);
        }
        for (const auto& e : fs::directory_iterator(copia))
            if (tipo == "builtin" || e.path().extension() != ".txt") scritti[e.path().filename()] = leggi(e.path());
        fs::remove_all(copia);
    }
    const auto scrivi_pavimento = [&] {
        for (const auto& [nome, testo] : scritti) {
            std::FILE* f = std::fopen((dir / ("floor_" + nome)).c_str(), "wb");
            std::fwrite(testo.data(), 1, testo.size(), f);
            std::fclose(f);
        }
    };
    // The same, each file replaced the way the run replaces it: through a
    // temporary file and a rename. The difference from the floor is the file
    // system's price for never showing a half-written file.
    const auto scrivi_pavimento_atomico = [&] {
        for (const auto& [nome, testo] : scritti) piattaforma::scrivi_file_atomico(dir / ("floor_atomic_" + nome), testo);
    };
    std::size_t byte = 0;
    for (const auto& voce : scritti) byte += voce.second.size();

    // Run and floor take turns, so that a slow spell of the machine falls on
    // both; the best of each counts.
    double migliore = 1e9, pavimento = 1e9, pavimento_atomico = 1e9, calcolo = 1e9;
    int codice = 0;
    for (int i = 0; i < ripetizioni; ++i) {
        prepara(tipo, dir, g);
        auto t0 = orologio::now();
        codice = compila(tipo, dir);
        migliore = std::min(migliore, secondi(orologio::now() - t0));

        t0 = orologio::now();
        scrivi_pavimento();
        pavimento = std::min(pavimento, secondi(orologio::now() - t0));

        t0 = orologio::now();
        scrivi_pavimento_atomico();
        pavimento_atomico = std::min(pavimento_atomico, secondi(orologio::now() - t0));

        // The part of the run no writer can skip: the geometry's values, each
        // from the two before it, computed to the bit in sequence.
        t0 = orologio::now();
        std::uint64_t prodotti = 0;
        formato::produci_geometria(*tracciato, [&](std::uint64_t, std::string_view pezzo) { prodotti += pezzo.size(); });
        calcolo = std::min(calcolo, secondi(orologio::now() - t0));
        if (prodotti == 0) std::abort();
    }
    const double metri = tipo == "builtin" ? 243000.0 : std::atof(tipo.c_str());
    std::printf(
        "%-8s codice %2d  run %7.2f ms  floor %7.2f ms  ratio %5.2f  ns/metre %6.1f  | floor replacing %7.2f ms  "
        "geometry values %6.2f ms  run/(floor replacing + values) %5.2f  bytes %zu\n",
        tipo.c_str(), codice, migliore * 1e3, pavimento * 1e3, migliore / pavimento, migliore * 1e9 / metri,
        pavimento_atomico * 1e3, calcolo * 1e3, migliore / (pavimento_atomico + calcolo), byte);
    fs::remove_all(dir);
    return 0;
}
