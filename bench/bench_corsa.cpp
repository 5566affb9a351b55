// Times the train's run over a compiled pair against the compile in memory
// of the same texts, in this process: the best of ROUNDS of each.
//
//   bench_corsa builtin|METRI ROUNDS
//
// Prints both times and the run's per metre of line; any failure (a pair
// that does not compile, a train that cannot run) ends it with status 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/genera.h"
#include "memory_compile/compilazione.h"
#include "run_model/marcia.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace {

using orologio = std::chrono::steady_clock;

double ms(orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int fallisci(const std::string& perche) {
    std::fprintf(stderr, "bench_corsa: %s\n", perche.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return fallisci("usage: bench_corsa builtin|METRI ROUNDS");
    const std::string tipo = argv[1];
    const int giri = std::max(1, std::atoi(argv[2]));
    std::string linea, treno;
    if (tipo == "builtin") {
        linea = testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_linea));
        treno = testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_treno));
    } else {
        const auto g = bench::genera(std::atol(tipo.c_str()));
        linea = g.linea;
        treno = g.treno;
    }
    const strumento::identificativi id{"Valdora_Sarenta", "731"};
    double compila = 1e300, corsa = 1e300;
    for (int i = 0; i < giri; ++i) {
        const auto a = orologio::now();
        const auto c = strumento::compila_in_memoria(linea, treno, id);
        const auto b = orologio::now();
        if (!c.problemi.empty()) return fallisci(tipo + ": the pair does not compile");
        const auto r = marcia::calcola_marcia(c.finale.modello, {});
        const auto e = orologio::now();
        if (r.fermo) return fallisci(tipo + ": " + r.fermo->perche);
        compila = std::min(compila, ms(b - a));
        corsa = std::min(corsa, ms(e - b));
    }
    std::printf("%-8s compile in memory %8.2f ms   run %8.2f ms   run / compile %.2f\n", tipo.c_str(), compila, corsa,
                corsa / compila);
    return 0;
}
