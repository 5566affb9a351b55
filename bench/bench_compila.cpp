// Times one kind of compile run against its floor: the same bytes of the same
// files written with one buffered write each. Beside it, two parts of the run
// that the floor leaves out: replacing each file through a temporary file, and
// computing the geometry's values, which follow one from another and cannot
// be skipped. Apart, scenario_tool compile timed as a whole process, as an
// author meets it.
//
//   bench_compila builtin|METRI tempo  [RIPETIZIONI]   best time of the run and of its floor
//   bench_compila builtin|METRI memoria [TOOL]        one run; prints the peak resident memory,
//                                                     and the tool's for the same compile
//   bench_compila builtin processi RIPETIZIONI TOOL BUILDER
//   bench_compila METRI   processi RIPETIZIONI TOOL
//                                                     whole processes: scenario_tool compile against
//                                                     the builder's headless run, or against the
//                                                     compile in this process plus the tool's start
//   bench_compila builtin|METRI controllo RIPETIZIONI TOOL [CONFLITTI]
//                                                     scenario_tool check as a whole process, against
//                                                     the tool's compile of the same files; CONFLITTI
//                                                     signal rows are doubled, each a conflict that
//                                                     stops the compiler
//   bench_compila METRI scrivi DIR [CONFLITTI]        writes the generated line description and
//                                                     train file into DIR, for a profiler
//   bench_compila METRI testi DIR                     the same without conflicts, for the tool
//
// METRI generates a line of that length with a train on it; builtin is the
// builder's whole headless run (five emitters, then the compile). Any failure
// (a compile that does not end with status 0, a program that fails, a file
// that cannot be written) ends the benchmark with status 1 and a message on
// stderr: a figure of a run that went wrong is no figure.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/genera.h"
#include "compiler/driver.h"
#include "format/geometria.h"
#include "model/codici.h"
#include "model/nomi_file.h"
#include "platform/file_atomico.h"
#include "scenario_text/emettitori.h"

namespace fs = std::filesystem;

namespace {

using orologio = std::chrono::steady_clock;

[[noreturn]] void fallisci(const std::string& perche) {
    std::fflush(stdout);
    std::cerr << "bench_compila: " << perche << "\n";
    std::exit(1);
}

fs::path cartella_di_lavoro() {
    std::string modello = (fs::temp_directory_path() / "sb_bench_XXXXXX").string();
    if (::mkdtemp(modello.data()) == nullptr) fallisci("cannot create " + modello + ": " + std::strerror(errno));
    return modello;
}

modello::Modello nuovo(const fs::path& dir) {
    modello::Modello m;
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    m.cartella = dir;
    return m;
}

void scrivi(const fs::path& f, const std::string& testo) {
    std::ofstream out(f, std::ios::binary);
    out << testo;
    out.close();
    if (!out) fallisci("cannot write " + f.string());
}

std::string leggi(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    if (!in) fallisci("cannot read " + f.string());
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
    if (tipo == "builtin") testi_scenario::dati_scenario(m);
    const int codice = compilatore::memorizza_percorso(m, 1);
    if (codice != modello::codice::nessuno)
        fallisci("the compile of " + tipo + " in " + m.cartella.string() + " ended with status " + std::to_string(codice));
    return codice;
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

struct processo {
    double secondi = 0;
    long picco_kb = 0;
};

// What a program that failed said on stderr, kept aside while it ran.
std::string scritto_su(std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    return s;
}

// Runs a program to its end, without a display and with its output thrown
// away; a program that fails (a status above `riuscito`, or a signal) ends
// the benchmark with what it wrote on stderr.
processo lancia(const std::vector<std::string>& argv, int riuscito = 0) {
    std::fflush(stdout);
    std::FILE* errori = std::tmpfile();
    if (errori == nullptr) fallisci(std::string("no temporary file: ") + std::strerror(errno));
    const auto t0 = orologio::now();
    const pid_t pid = ::fork();
    if (pid < 0) fallisci(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        ::unsetenv("DISPLAY");
        if (std::freopen("/dev/null", "w", stdout) == nullptr || ::dup2(::fileno(errori), 2) < 0) ::_exit(126);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        std::fprintf(stderr, "cannot run: %s\n", std::strerror(errno));
        ::_exit(127);
    }
    int stato = 0;
    rusage r{};
    if (::wait4(pid, &stato, 0, &r) != pid) fallisci(std::string("wait4: ") + std::strerror(errno));
    processo p{secondi(orologio::now() - t0), r.ru_maxrss};
    if (!WIFEXITED(stato) || WEXITSTATUS(stato) > riuscito) {
        std::string comando;
        for (const auto& a : argv) comando += (comando.empty() ? "" : " ") + a;
        fallisci(comando + (WIFEXITED(stato) ? " ended with status " + std::to_string(WEXITSTATUS(stato))
                                             : " was killed by signal " + std::to_string(WTERMSIG(stato))) +
                 "\n" + scritto_su(errori));
    }
    std::fclose(errori);
    return p;
}

// The tool's compile of the line and train files in dir, into dir.
std::vector<std::string> compila_col_tool(const std::string& tool, const fs::path& dir) {
    const auto m = nuovo(dir);
    return {tool, "compile", (dir / modello::nome_file_linea(m)).string(), (dir / modello::nome_file_treno(m)).string()};
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Whole processes, taking turns round by round. The median of each counts,
// not the best: how long replacing the files of the round before takes
// varies from round to round (on ext4 by a factor of two), and the best
// picks whichever contender happened to meet a cheap round.
// builtin: the builder's headless run against the tool's compile of the same
// two files; a generated line, which only the tool and this program can
// compile: the tool against the compile in this process plus the tool's
// own start (its --version).
int processi(const std::string& tipo, const bench::scenario_generato& g, int ripetizioni, const std::string& tool,
             const std::string& builder) {
    const fs::path dir_tool = cartella_di_lavoro();
    const fs::path dir_altro = cartella_di_lavoro();
    if (tipo == "builtin") {
        auto m = nuovo(dir_tool);
        testi_scenario::dati_linea(m);
        testi_scenario::dati_treno(m);
        fs::copy_file(builder, dir_altro / "scenario_builder");
    } else {
        prepara(tipo, dir_tool, g);
    }
    std::vector<double> tempi_tool, tempi_altro, tempi_avvio;
    long picco_tool = 0;
    // Round 0 is not counted: from round 1 on every run replaces the files of
    // the one before, as a second compile does, and pays for it.
    for (int i = 0; i <= ripetizioni; ++i) {
        if (tipo == "builtin") {
            const double t = lancia({(dir_altro / "scenario_builder").string()}).secondi;
            if (i > 0) tempi_altro.push_back(t);
        } else {
            prepara(tipo, dir_altro, g);
            const auto t0 = orologio::now();
            compila(tipo, dir_altro);
            const double t = secondi(orologio::now() - t0);
            const double a = lancia({tool, "--version"}).secondi;
            if (i > 0) {
                tempi_altro.push_back(t);
                tempi_avvio.push_back(a);
            }
        }
        const auto p = lancia(compila_col_tool(tool, dir_tool));
        if (i > 0) tempi_tool.push_back(p.secondi);
        picco_tool = std::max(picco_tool, p.picco_kb);
    }
    const double tempo_tool = mediana(tempi_tool), tempo_altro = mediana(tempi_altro),
                 avvio = tempi_avvio.empty() ? 0 : mediana(tempi_avvio);
    if (tipo == "builtin")
        std::printf("%-8s whole processes: builder %7.2f ms  tool compile %7.2f ms  ratio %5.2f  tool peak %ld kB\n",
                    tipo.c_str(), tempo_altro * 1e3, tempo_tool * 1e3, tempo_tool / tempo_altro,
                    picco_tool);
    else
        std::printf(
            "%-8s whole processes: compile in process %7.2f ms + tool start %5.2f ms  tool compile %7.2f ms  ratio "
            "%5.2f  tool peak %ld kB\n",
            tipo.c_str(), tempo_altro * 1e3, avvio * 1e3, tempo_tool * 1e3,
            tempo_tool / (tempo_altro + avvio), picco_tool);
    fs::remove_all(dir_tool);
    fs::remove_all(dir_altro);
    return 0;
}

// The first n signal rows of a train file written once more before its
// "[fine]": n signals on cells already taken, each a hard stop of the compiler.
std::string con_conflitti(std::string treno, int n) {
    std::string doppi;
    for (std::size_t p = 0; n > 0 && (p = treno.find("segnale,", p)) != std::string::npos; --n) {
        const std::size_t fine = treno.find("\r\n", p) + 2;
        doppi += treno.substr(p, fine - p);
        p = fine;
    }
    if (n > 0) fallisci("the train file has too few signals to double");
    return treno.insert(treno.rfind("[fine]"), doppi);
}

// check reads the files and compiles them once per problem that stops the
// compiler, so its time is set against one compile of the same files by the
// same tool, both whole processes taking turns; the medians count.
int controlli(const std::string& tipo, bench::scenario_generato g, int ripetizioni, const std::string& tool,
              int conflitti) {
    const fs::path dir = cartella_di_lavoro();
    auto m = nuovo(dir);
    if (tipo == "builtin") {
        testi_scenario::dati_linea(m);
        testi_scenario::dati_treno(m);
        g.linea = leggi(dir / modello::nome_file_linea(m));
        g.treno = leggi(dir / modello::nome_file_treno(m));
    }
    if (conflitti > 0) g.treno = con_conflitti(g.treno, conflitti);
    const fs::path linea = dir / modello::nome_file_linea(m);
    const fs::path treno = dir / modello::nome_file_treno(m);
    scrivi(linea, g.linea);
    scrivi(treno, g.treno);
    std::vector<double> tempi_check, tempi_compile;
    for (int i = 0; i <= ripetizioni; ++i) {
        // Errors found are check's status 2, not a failure; the conflicts
        // are compile's status 1, without them it must end with 0.
        const double c = lancia({tool, "check", linea.string(), treno.string()}, 2).secondi;
        const double k = lancia(compila_col_tool(tool, dir), conflitti > 0 ? 1 : 0).secondi;
        if (i == 0) continue;
        tempi_check.push_back(c);
        tempi_compile.push_back(k);
    }
    const double check = mediana(tempi_check), compile = mediana(tempi_compile);
    std::printf("%-8s check, %3d conflicts: check %7.2f ms  tool compile %7.2f ms  ratio %6.2f%s\n", tipo.c_str(),
                conflitti, check * 1e3, compile * 1e3, check / compile,
                conflitti > 0 ? (check < 1.0 ? "  (goal: under 1 s, met)" : "  (goal: under 1 s, NOT met)") : "");
    fs::remove_all(dir);
    return 0;
}

// One run in this process, its peak resident memory and its largest file;
// with a tool, the tool's whole process on the same two files.
int memoria(const std::string& tipo, const bench::scenario_generato& g, const std::string& tool) {
    const fs::path dir = cartella_di_lavoro();
    const int codice = esegui(tipo, dir, g);
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    std::uintmax_t piu_grande = 0;
    for (const auto& e : fs::directory_iterator(dir)) piu_grande = std::max(piu_grande, e.file_size());
    std::printf("%s codice %d picco_kb %ld file_piu_grande_kb %ju", tipo.c_str(), codice, r.ru_maxrss,
                piu_grande / 1024);
    if (!tool.empty()) {
        // The tool's whole process on the same two files, for comparison.
        const fs::path dir_tool = cartella_di_lavoro();
        if (tipo == "builtin") {
            auto m = nuovo(dir_tool);
            testi_scenario::dati_linea(m);
            testi_scenario::dati_treno(m);
        } else {
            prepara(tipo, dir_tool, g);
        }
        const auto p = lancia(compila_col_tool(tool, dir_tool));
        std::printf("  tool_picco_kb %ld  ratio %.2f", p.picco_kb, static_cast<double>(p.picco_kb) / r.ru_maxrss);
        fs::remove_all(dir_tool);
    }
    std::printf("\n");
    fs::remove_all(dir);
    return 0;
}

// The run against its floor, taking turns for `ripetizioni` rounds.
int tempi(const std::string& tipo, const bench::scenario_generato& g, int ripetizioni) {
    const fs::path dir = cartella_di_lavoro();
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
            testi_scenario::dati_linea(m);
            testi_scenario::dati_treno(m);
        }
        for (const auto& e : fs::directory_iterator(copia))
            if (tipo == "builtin" || e.path().extension() != ".txt") scritti[e.path().filename()] = leggi(e.path());
        fs::remove_all(copia);
    }
    const auto scrivi_pavimento = [&] {
        for (const auto& [nome, testo] : scritti) {
            const fs::path f = dir / ("floor_" + nome);
            std::FILE* out = std::fopen(f.c_str(), "wb");
            if (out == nullptr || std::fwrite(testo.data(), 1, testo.size(), out) != testo.size() ||
                std::fclose(out) != 0)
                fallisci("cannot write " + f.string());
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
        if (prodotti == 0) fallisci("the geometry of " + tipo + " gave no bytes");
    }
    const double metri = tipo == "builtin" ? 243000.0 : static_cast<double>(std::stol(tipo));
    std::printf(
        "%-8s codice %2d  run %7.2f ms  floor %7.2f ms  ratio %5.2f  ns/metre %6.1f  | floor replacing %7.2f ms  "
        "geometry values %6.2f ms  run/(floor replacing + values) %5.2f  bytes %zu\n",
        tipo.c_str(), codice, migliore * 1e3, pavimento * 1e3, migliore / pavimento, migliore * 1e9 / metri,
        pavimento_atomico * 1e3, calcolo * 1e3, migliore / (pavimento_atomico + calcolo), byte);
    fs::remove_all(dir);
    return 0;
}

// A whole number from the command line, at least `minimo`; anything else
// is a mistake in the call.
int numero(const char* testo, const char* cosa, int minimo) {
    int v = 0;
    const std::string_view t(testo);
    const auto [fine, errore] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (errore != std::errc() || fine != t.data() + t.size() || v < minimo) {
        std::cerr << "bench_compila: " << cosa << " '" << t << "' is not a whole number from " << minimo << " up\n";
        std::exit(64);
    }
    return v;
}

[[noreturn]] void uso(const char* come) {
    std::cerr << "use: bench_compila " << come << "\n";
    std::exit(64);
}

int misura(const std::string& tipo, const std::string& cosa, int argc, char** argv) {
    const bench::scenario_generato g =
        tipo == "builtin" ? bench::scenario_generato{} : bench::genera(numero(tipo.c_str(), "METRI", 1));
    const auto ripetizioni = [&](int k) { return argc > k ? numero(argv[k], "RIPETIZIONI", 1) : 20; };
    // The two text files alone, for the tool to take from there.
    if (cosa == "testi") {
        if (argc < 4 || tipo == "builtin") uso("METRI testi CARTELLA");
        fs::create_directories(argv[3]);
        prepara(tipo, argv[3], g);
        return 0;
    }
    if (cosa == "controllo") {
        if (argc < 5) uso("builtin|METRI controllo RIPETIZIONI TOOL [CONFLITTI]");
        return controlli(tipo, g, ripetizioni(3), argv[4], argc > 5 ? numero(argv[5], "CONFLITTI", 0) : 0);
    }
    if (cosa == "scrivi") {
        if (argc < 4 || tipo == "builtin") uso("METRI scrivi DIR [CONFLITTI]");
        const auto m = nuovo(argv[3]);
        fs::create_directories(m.cartella);
        scrivi(m.cartella / modello::nome_file_linea(m), g.linea);
        scrivi(m.cartella / modello::nome_file_treno(m),
               argc > 4 ? con_conflitti(g.treno, numero(argv[4], "CONFLITTI", 0)) : g.treno);
        return 0;
    }
    if (cosa == "processi") {
        if (argc < 5 || (tipo == "builtin" && argc < 6)) uso("builtin|METRI processi RIPETIZIONI TOOL [BUILDER]");
        return processi(tipo, g, ripetizioni(3), argv[4], argc > 5 ? argv[5] : "");
    }
    if (cosa == "memoria") return memoria(tipo, g, argc > 3 ? argv[3] : "");
    if (cosa == "tempo") return tempi(tipo, g, ripetizioni(3));
    uso("builtin|METRI tempo [RIPETIZIONI] | memoria [TOOL] | processi RIPETIZIONI TOOL [BUILDER] | controllo "
        "RIPETIZIONI TOOL [CONFLITTI] | scrivi DIR [CONFLITTI] | testi CARTELLA");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) uso("builtin|METRI tempo|memoria|processi|controllo|scrivi|testi ...");
    // A file system's refusal (a folder that cannot be made, a copy that
    // fails) and the compiler's fatal errors end here, said.
    try {
        return misura(argv[1], argv[2], argc, argv);
    } catch (const std::exception& e) {
        fallisci(std::string(argv[1]) + " " + argv[2] + ": " + e.what());
    }
}
