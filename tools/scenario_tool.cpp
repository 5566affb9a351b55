// scenario_tool: the scenario author's companion. Writes the built-in
// scenario as a template, compiles an author's own line description and train
// file with the builder's compiler, dumps compiled files in readable form and
// draws them as a picture.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/modello.h"
#include "model/nomi_file.h"
#include "platform/file_atomico.h"
#include "platform/leggi_binario.h"
#ifdef _WIN32
#include "platform/utf16.h"
#endif
#include "check/controllo.h"
#include "check/esame.h"
#include "check/file_interi.h"
#include "check/problemi.h"
#include "check/regole.h"
#include "documents/celle.h"
#include "documents/documenti.h"
#include "documents/scrittura.h"
#include "memory_compile/compilazione.h"
#include "reference/riferimento.h"
#include "scenario_text/emettitori.h"
#include "text/visibile.h"
#include "tools/compila.h"
#include "tools/corsa.h"
#ifdef SB_DISEGNO
#include "picture/disegno.h"
#endif
#include "dump/scarico.h"
#include "lsp/server.h"
#include "platform/stdio_binario.h"
#include "view/vista.h"

namespace {

namespace fs = std::filesystem;
using namespace strumento;

constexpr const char* nome_linea_builtin = "Valdora_Sarenta";
constexpr const char* numero_treno_builtin = "731";

std::optional<std::string> se_dato(const CLI::Option* o, const std::string& valore) {
    return o->count() > 0 ? std::optional<std::string>(valore) : std::nullopt;
}

std::string json_testo(const nlohmann::ordered_json& j) {
    return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Every text value of a report, made safe to print: the dump names stations
// and boards with the texts of the compiled files.
void rendi_visibile(nlohmann::ordered_json& j) {
    if (j.is_string()) j = testo::visibile(j.get_ref<const std::string&>());
    else if (j.is_structured())
        for (auto& v : j) rendi_visibile(v);
}

// Creates the folder and any missing parent; a failure is one clear line.
void crea_cartella(const fs::path& cartella) {
    std::error_code ec;
    if (fs::is_directory(cartella, ec)) return;
    if (fs::exists(fs::symlink_status(cartella, ec)))
        throw std::runtime_error("cannot create the folder " + cartella.string() + ": something else of that name is there");
    fs::create_directories(cartella, ec);
    if (ec) throw std::runtime_error("cannot create the folder " + cartella.string() + ": " + ec.message());
}

int emetti(const fs::path& cartella, bool forza) {
    modello::Modello m;
    m.cartella = cartella;
    m.nome_linea = nome_linea_builtin;
    m.numero_treno = numero_treno_builtin;
    const std::vector<std::string> nomi{modello::nome_file_linea(m), modello::nome_file_treno(m),
                                        modello::nome_file_note(m), modello::nome_file_rallentamenti(m),
                                        modello::nome_file_scheda(m)};
    crea_cartella(cartella);
    if (!forza) {
        std::vector<std::string> presenti;
        for (const auto& n : nomi)
            if (fs::exists(cartella / modello::percorso_utf8(n))) presenti.push_back(n);
        if (!presenti.empty()) {
            std::cerr << "scenario_tool emit: " << testo::visibile(cartella.string()) << " already holds";
            for (const auto& n : presenti) std::cerr << " " << n;
            std::cerr << "; nothing written (--force overwrites them)\n";
            return uscita::guasto;
        }
    }
    testi_scenario::dati_scenario(m);
    std::cout << "wrote into " << testo::visibile(cartella.string()) << ":";
    for (const auto& n : nomi) std::cout << " " << n;
    std::cout << "\n";
    return uscita::ok;
}

int compila_comando(const richiesta_compilazione& q, bool json) {
    const auto r = compila(q);
    if (json) {
        std::cout << json_testo(descrivi_json(r)) << "\n";
        if (r.outcome == esito::non_gestito) std::cerr << "scenario_tool compile: unhandled failure: " << testo::visibile(r.guasto) << "\n";
    } else {
        std::cout << descrivi_testo(r, q);
    }
    return stato_uscita(r);
}

int scarica(const fs::path& cartella, const std::optional<std::string>& linea, const std::optional<std::string>& treno,
            bool json, bool ogni_metro) {
    const auto id = trova_compilati(cartella, linea, treno);
    const auto c = carica_compilati(cartella, id);
    if (ogni_metro && !c.geometria) throw std::runtime_error(cartella.string() + " has no geometry file to list");
    auto d = descrivi_compilati(c, ogni_metro);
    rendi_visibile(d);
    if (json)
        std::cout << json_testo(d) << "\n";
    else
        stampa_compilati(std::cout, d);
    return uscita::ok;
}

int traccia(const fs::path& cartella, const fs::path& file, const std::optional<std::string>& linea,
            const std::optional<std::string>& treno) {
#ifndef SB_DISEGNO
    (void)cartella, (void)file, (void)linea, (void)treno;
    std::cerr << "scenario_tool plot: this build draws no pictures\n";
    return uscita::uso;
#else
    const auto formato = formato_da_nome(file);
    if (!formato) throw errore_uso(file.string() + ": the picture's name must end in .png, .svg or .pdf");
    // cairo would only say that its output stream failed.
    if (const auto dove = file.parent_path(); !dove.empty() && !fs::is_directory(dove))
        throw std::runtime_error("cannot write the picture " + file.string() + ": the folder " + dove.string() +
                                 " does not exist");
    const auto id = trova_compilati(cartella, linea, treno);
    const auto c = carica_compilati(cartella, id);
    struct alla_fine {
        ~alla_fine() { libera_cache_disegno(); }
    } cache;
    if (!c.geometria)
        std::cerr << "scenario_tool plot: " << testo::visibile(cartella.string())
                  << " has no geometry file: the picture has the profiles but no plan view\n";
    disegna(c, file, *formato);
    std::cout << "wrote " << testo::visibile(file.string()) << "\n";
    return uscita::ok;
#endif
}

// The page of a compiled route; with the author's two files, every object's
// row and check's problems too.
int mostra(const fs::path& cartella, const fs::path& file, const std::optional<std::string>& linea,
           const std::optional<std::string>& treno, const std::optional<std::array<fs::path, 2>>& testi) {
    std::string est = file.extension().string();
    std::transform(est.begin(), est.end(), est.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (est != ".html" && est != ".htm") throw errore_uso(file.string() + ": the page's name must end in .html");
    const auto id = trova_compilati(cartella, linea, treno);
    const auto c = carica_compilati(cartella, id);
    std::optional<testi_autore> t;
    if (testi) {
        // A file that cannot be read ends the run with one line saying why.
        t = testi_autore{(*testi)[0].filename().string(), (*testi)[1].filename().string(),
                         piattaforma::leggi_binario((*testi)[0]), piattaforma::leggi_binario((*testi)[1])};
        if (sembrano_scambiati(t->linea, t->treno))
            throw errore_uso((*testi)[0].string() + " reads like a train file and " + (*testi)[1].string() +
                             " like a line description: give the line description first");
    }
    const auto dati = dati_vista(c, t);
    if (!c.geometria)
        std::cerr << "scenario_tool view: " << testo::visibile(cartella.string())
                  << " has no geometry file: the page has the profiles but no plan view\n";
    if (t && !dati["texts"]["match"].get<bool>())
        std::cerr << "scenario_tool view: the compiled files in " << testo::visibile(cartella.string())
                  << " are not what " << testo::visibile(t->nome_linea) << " and " << testo::visibile(t->nome_treno)
                  << " compile to: rows are shown only for the objects where both agree (compile them again)\n";
    piattaforma::scrivi_file_atomico(file, pagina_vista(dati));
    std::cout << "wrote " << testo::visibile(file.string()) << "\n";
    return uscita::ok;
}

// Exit statuses of check.
namespace uscita_controllo {
inline constexpr int niente = 0;
inline constexpr int solo_avvisi = 1;
inline constexpr int errori = 2;
}  // namespace uscita_controllo

int controlla(const fs::path& file_linea, const fs::path& file_treno, const identificativi& id, bool json,
              const std::vector<std::string>& spente) {
    // A file that cannot be read ends the check with one line saying why.
    const std::string linea = piattaforma::leggi_binario(file_linea);
    const std::string treno = piattaforma::leggi_binario(file_treno);
    if (sembrano_scambiati(linea, treno))
        throw errore_uso(file_linea.string() + " reads like a train file and " + file_treno.string() +
                         " like a line description: give the line description first");
    const auto problemi = esamina(linea, treno, id, spente);
    const nomi_file_autore nomi{file_linea.string(), file_treno.string()};
    if (json)
        std::cout << json_testo(json_problemi(problemi, nomi)) << "\n";
    else
        std::cout << testo_problemi(problemi, nomi);
    if (problemi.empty()) return uscita_controllo::niente;
    const bool errori = std::any_of(problemi.begin(), problemi.end(),
                                    [](const problema& p) { return p.livello == gravita::errore; });
    return errori ? uscita_controllo::errori : uscita_controllo::solo_avvisi;
}

// The driver's three documents for the pair, written into the folder, or
// nothing when the pair does not compile or a value does not fit its cell.
struct richiesta_documenti {
    fs::path file_linea, file_treno, cartella;
    identificativi id;
    documenti::dati_autore autore;
};

int documenti_comando(const richiesta_documenti& q) {
    const std::string linea = piattaforma::leggi_binario(q.file_linea);
    const std::string treno = piattaforma::leggi_binario(q.file_treno);
    if (sembrano_scambiati(linea, treno))
        throw errore_uso(q.file_linea.string() + " reads like a train file and " + q.file_treno.string() +
                         " like a line description: give the line description first");
    const auto c = compila_in_memoria(linea, treno, q.id);
    if (!c.problemi.empty()) {
        std::vector<problema> errori;
        for (const auto& p : esamina(c, linea, treno))
            if (p.livello == gravita::errore) errori.push_back(p);
        std::cout << testo_problemi(errori, {q.file_linea.string(), q.file_treno.string()});
        std::cerr << "scenario_tool documents: the pair does not compile; nothing written\n";
        return uscita_controllo::errori;
    }
    documenti::file_documenti d;
    try {
        d = documenti::prepara_documenti(linea, treno, q.id, q.cartella, q.autore);
    } catch (const documenti::valore_troppo_largo& e) {
        throw std::runtime_error(std::string(e.what()) + "; nothing written");
    }
    for (const auto& a : d.avvisi) std::cerr << "scenario_tool documents: warning: " << testo::visibile(a) << "\n";
    if (d.senza_orario > 0)
        std::cerr << "scenario_tool documents: note: " << d.senza_orario << " of " << d.stazioni
                  << " stations have no time: the train file leaves them untimed and the train cannot run the line "
                     "(scenario_tool run tells where and why); the sheet leaves their times blank\n";
    crea_cartella(q.cartella);
    try {
        documenti::scrivi_documenti(d, {q.file_linea, q.file_treno});
    } catch (const std::invalid_argument& e) {
        throw errore_uso(e.what());
    }
    std::cout << "wrote into " << testo::visibile(q.cartella.string()) << ":";
    for (const auto& [nome, byte] : d.file) std::cout << " " << testo::visibile(nome.filename().string());
    std::cout << "\n";
    return uscita::ok;
}

// One entry of the reference, or all of it; an unknown topic is a usage
// error that names the closest topics.
int spiega(const std::string& argomento, bool tutto, bool markdown) {
    if (tutto) {
        std::cout << (markdown ? riferimento::markdown_completo() : riferimento::testo_completo());
        return uscita::ok;
    }
    if (argomento.empty())
        throw errore_uso("give a TOPIC (a topic such as comments, a keyword, a [header], a warning rule or a status "
                         "code) or --all");
    const auto trovati = riferimento::cerca(argomento);
    if (trovati.vuoto()) {
        std::string elenco;
        for (const auto& v : riferimento::vicini(argomento)) elenco += (elenco.empty() ? "" : ", ") + v;
        throw errore_uso("no topic \"" + argomento + "\"; " +
                         (elenco.empty() ? std::string("explain --all lists them all") : "closest: " + elenco));
    }
    std::cout << riferimento::testo(trovati);
    return uscita::ok;
}

// The program's own help, version and parse-error handling, shared by every
// subcommand.
void prepara_programma(CLI::App& app) {
    app.set_version_flag("--version", "scenario_tool " SCENARIO_TOOL_VERSION);
    // Windows builds would take "/x" for an option: a path written so must
    // stay a path, as on every other system. Subcommands inherit this.
    app.allow_windows_style_options(false);
    // A parse error may quote an argument: shown safe to print.
    app.failure_message([](const CLI::App* a, const CLI::Error& e) {
        return testo::visibile_su_righe(CLI::FailureMessage::simple(a, e));
    });
    app.require_subcommand(1);
}

// Every exit status of every subcommand, in one table: the program's help
// shows it whole, each subcommand's help its own rows, which therefore never
// refer to another subcommand's.
struct stato_comando {
    std::string_view comando;
    int stato;
    std::string_view significato;
};
constexpr stato_comando stati_uscita[] = {
    {"emit", uscita::ok, "the five files written"},
    {"emit", uscita::guasto, "files of the same names exist (--force overwrites them), or the folder cannot be "
                             "created"},
    {"compile", uscita::ok, "status 0, compiled files written"},
    {"compile", uscita::codice_di_compilazione,
     "a status other than 0, or a file of which nothing was read; compiled files written"},
    {"compile", uscita::fatale, "fatal status 1250 or 1251; no compiled file written"},
    {"compile", uscita::guasto, "an unhandled failure, or the output folder cannot be created; no compiled file "
                                "written"},
    {"check", 0, "nothing found"},
    {"check", 1, "warnings only"},
    {"check", 2, "at least one error"},
    {"check", uscita::guasto, "a file that cannot be read"},
    {"dump", uscita::ok, "done"},
    {"dump", uscita::guasto,
     "no compiled files in DIR, one missing or damaged, a geometry that does not fit the route"},
    {"plot", uscita::ok, "the picture written"},
    {"plot", uscita::guasto, 
     "no compiled files in DIR, one missing or damaged, a geometry that does not fit the route, or the picture cannot be written"},
    {"view", uscita::ok, "the page written"},
    {"view", uscita::guasto, 
     "no compiled files in DIR, one missing or damaged, a geometry that does not fit the route, a text file that cannot be read, or the page cannot be written"},
    {"documents", uscita::ok, "the three documents written"},
    {"documents", 2, "the pair does not compile: check's errors shown, nothing written"},
    {"documents", uscita::guasto, "a value that does not fit its cell, or a document that cannot be written; nothing "
                                  "written"},
    {"run", 0, "the run printed"},
    {"run", 1, "the train cannot run: where and why"},
    {"run", 2, "the pair has errors: check's, and no run"},
    {"run", uscita::guasto, "a file that cannot be read"},
    {"explain", uscita::ok, "the entry printed"},
    {"lsp", 0, "exit after shutdown"},
    {"lsp", 1, "exit without shutdown, the input ends first, or the client no longer reads the server's output"},
};
constexpr std::string_view stato_uso = "a usage error";
// What a usage error also is, for the subcommands where it is more.
std::string_view uso_anche(std::string_view comando) {
    if (comando == "check") return " (also an unknown rule, or the two files the wrong way round)";
    if (comando == "explain") return " (also an unknown topic, told with the topics it is a slip of)";
    if (comando == "plot") return " (also in a build that draws no pictures)";
    return {};
}

// The rows of one subcommand, one a line: "  3  a file that cannot be read".
std::string righe_stati(std::string_view comando, std::string_view rientro) {
    std::string s;
    auto riga = [&](int stato, std::string_view cosa, std::string_view piu) {
        std::string n = std::to_string(stato);
        n.resize(4, ' ');
        s.append(rientro).append(n).append(cosa).append(piu).append("\n");
    };
    for (const auto& x : stati_uscita)
        if (x.comando == comando) riga(x.stato, x.significato, {});
    // The language server takes no arguments it could refuse.
    if (comando != "lsp") riga(uscita::uso, stato_uso, uso_anche(comando));
    return s;
}

std::string tabella_stati(const std::vector<std::string_view>& comandi) {
    std::string s = "Exit status, by subcommand:\n";
    for (const auto c : comandi) s.append("  ").append(c).append("\n").append(righe_stati(c, "    "));
    return s;
}

void stati_nell_aiuto(CLI::App& app) {
    std::vector<std::string_view> nomi;
    for (auto* c : app.get_subcommands({})) {
        nomi.push_back(c->get_name());
        c->footer("Exit status:\n" + righe_stati(c->get_name(), "  "));
    }
    app.footer(tabella_stati(nomi));
}

// CLI11's own checks take the argument as a plain path, which on Windows
// misreads UTF-8 names: these read it as UTF-8 everywhere.
CLI::Validator file_esistente() {
    return CLI::Validator(
        [](std::string& s) {
            return fs::is_regular_file(modello::percorso_utf8(s)) ? std::string() : "File does not exist: " + s;
        },
        "FILE");
}
CLI::Validator cartella_esistente() {
    return CLI::Validator(
        [](std::string& s) {
            return fs::is_directory(modello::percorso_utf8(s)) ? std::string() : "Directory does not exist: " + s;
        },
        "DIR");
}

// --linea and --treno of a subcommand, and whether each was given.
struct scelta_scenario {
    std::string linea, treno;
    CLI::Option* opzione_linea = nullptr;
    CLI::Option* opzione_treno = nullptr;

    std::optional<std::string> linea_data() const { return se_dato(opzione_linea, linea); }
    std::optional<std::string> treno_data() const { return se_dato(opzione_treno, treno); }
    bool data() const { return opzione_linea->count() > 0 || opzione_treno->count() > 0; }
};
void aggiungi_scelta(CLI::App* c, scelta_scenario& s, const char* aiuto_linea, const char* aiuto_treno) {
    s.opzione_linea = c->add_option("--linea", s.linea, aiuto_linea);
    s.opzione_treno = c->add_option("--treno", s.treno, aiuto_treno);
}
// The choice of dump, plot and view, which read a folder of compiled files.
void aggiungi_scelta_cartella(CLI::App* c, scelta_scenario& s) {
    aggiungi_scelta(c, s, "line identifier, when DIR holds several scenarios",
                    "train number, when DIR holds several scenarios");
}

// Each subcommand's options as CLI11 fills them; `comando` is the
// subcommand, set when it is added.
struct opzioni_emit {
    CLI::App* comando = nullptr;
    std::string cartella = ".";
    bool forza = false;
};
struct opzioni_compile {
    CLI::App* comando = nullptr;
    std::string file_linea, file_treno, cartella_uscita;
    CLI::Option* opzione_uscita = nullptr;
    scelta_scenario scelta;
    bool senza_geometria = false, json = false;
};
struct opzioni_check {
    CLI::App* comando = nullptr;
    std::string file_linea, file_treno;
    scelta_scenario scelta;
    bool json = false;
    std::vector<std::string> spente;
};
struct opzioni_run {
    CLI::App* comando = nullptr;
    std::string file_linea, file_treno;
    scelta_scenario scelta;
    bool json = false;
    marcia::opzioni_treno treno;
    double margine_pct = marcia::margine_minimo_pct;
};
struct opzioni_dump {
    CLI::App* comando = nullptr;
    std::string cartella;
    scelta_scenario scelta;
    bool json = false, ogni_metro = false;
};
struct opzioni_plot {
    CLI::App* comando = nullptr;
    std::string cartella, file;
    scelta_scenario scelta;
};
struct opzioni_view {
    CLI::App* comando = nullptr;
    std::string cartella, file, testo_linea, testo_treno;
    CLI::Option* opzione_testo_linea = nullptr;
    CLI::Option* opzione_testo_treno = nullptr;
    scelta_scenario scelta;
};
struct opzioni_documents {
    CLI::App* comando = nullptr;
    std::string file_linea, file_treno, cartella_uscita;
    CLI::Option* opzione_uscita = nullptr;
    scelta_scenario scelta;
    std::optional<std::string> velocita_massima, categoria, classificazione, massa_bloccata, nome_treno, percorso;
    std::vector<std::string> note;
};
struct opzioni_explain {
    CLI::App* comando = nullptr;
    std::string argomento;
    bool tutto = false, markdown = false;
};
struct opzioni_lsp {
    CLI::App* comando = nullptr;
    bool stdio = false;
};

void prepara_emit(CLI::App& app, opzioni_emit& o) {
    o.comando = app.add_subcommand("emit", "write the five built-in text files into DIR");
    o.comando->add_option("DIR", o.cartella, "folder to write into, created when missing (default: the current folder)");
    o.comando->add_flag("--force", o.forza, "overwrite files of the same names");
}

void prepara_compile(CLI::App& app, opzioni_compile& o) {
    o.comando = app.add_subcommand(
        "compile", "compile your line description and train file; they are only read, never changed");
    o.comando->add_option("LINE_FILE", o.file_linea, "line description, ideally named ID_linea.txt")
        ->required()
        ->check(file_esistente());
    o.comando->add_option("TRAIN_FILE", o.file_treno, "train file, ideally named ID_N-.txt")
        ->required()
        ->check(file_esistente());
    o.opzione_uscita = o.comando->add_option("-o,--output", o.cartella_uscita,
                                             "folder for the compiled files, created when missing (default: the "
                                             "folder of LINE_FILE)");
    aggiungi_scelta(o.comando, o.scelta, "line identifier, when LINE_FILE is not named ID_linea.txt",
                    "train number, when TRAIN_FILE is not named ID_N-.txt");
    o.comando->add_flag("--no-geometry", o.senza_geometria, "do not build or write the geometry file");
    o.comando->add_flag("--json", o.json, "print the outcome as one JSON object");
}

// --no-warn takes only the name of a warning rule; another is a usage error
// that lists them.
CLI::Validator regola_nota() {
    return CLI::Validator(
        [](std::string& r) {
            if (regola_esiste(r)) return std::string();
            std::string nomi;
            for (const auto& x : regole_avviso()) nomi += (nomi.empty() ? "" : ", ") + std::string(x.nome);
            return "no warning rule \"" + r + "\"; the rules are: " + nomi;
        },
        "");
}

void prepara_check(CLI::App& app, opzioni_check& o) {
    o.comando = app.add_subcommand(
        "check",
        "list every problem of your line description and train file at once: all the compiler's errors, and "
        "warnings for rows that compile but are almost always mistakes; nothing is written");
    o.comando->add_option("LINE_FILE", o.file_linea, "line description, named any way")->required();
    o.comando->add_option("TRAIN_FILE", o.file_treno, "train file, named any way")->required();
    aggiungi_scelta(o.comando, o.scelta,
                    "line identifier, as for compile; not needed, but must agree with an ID_linea.txt name",
                    "train number, as for compile; not needed, but must agree with an ID_N-.txt name");
    o.comando->add_flag("--json", o.json, "print the problems as one JSON object");
    o.comando->add_option("--no-warn", o.spente, "do not report the warnings of RULE (repeatable)")
        ->type_name("RULE")
        ->check(regola_nota());
}

// A default as the help writes it: 80, 26.4, 0.8.
std::string breve(double x) {
    std::ostringstream o;
    o << x;
    return o.str();
}

// A value option of run that stays unset unless given.
void valore(CLI::App* c, const char* nome, std::optional<double>& v, const std::string& aiuto, double minimo) {
    c->add_option(nome, v, aiuto)->check(minimo > 0 ? CLI::PositiveNumber : CLI::NonNegativeNumber);
}

void prepara_run(CLI::App& app, opzioni_run& o) {
    o.comando = app.add_subcommand(
        "run",
        "compute the train's run over your line description and train file: per leg the distance, the minimum "
        "running time, the scheduled time and the margin, and each station's arrival and departure, passing times "
        "included; nothing is written");
    o.comando->add_option("LINE_FILE", o.file_linea, "line description, named any way")->required();
    o.comando->add_option("TRAIN_FILE", o.file_treno, "train file, named any way")->required();
    aggiungi_scelta(o.comando, o.scelta, "line identifier, as for check", "train number, as for check");
    o.comando->add_flag("--json", o.json, "print the run as one JSON object, the speed profile included");
    auto* c = o.comando;
    auto d = [](double x) { return " (default " + breve(x) + ")"; };
    valore(c, "--loco-mass", o.treno.massa_locomotiva_t, "locomotive mass, t" + d(marcia::massa_locomotiva_t), 1);
    valore(c, "--coach-mass", o.treno.massa_vettura_t, "mass of one coach, t" + d(marcia::massa_vettura_t), 0);
    valore(c, "--power", o.treno.potenza_kw,
           "power at the rail, kW (default " + breve(marcia::potenza_per_tonnellata_kw) +
               " kW per tonne of train)",
           0);
    valore(c, "--loco-length", o.treno.lunghezza_locomotiva_m, "locomotive length, m" + d(marcia::lunghezza_locomotiva_m), 0);
    valore(c, "--coach-length", o.treno.lunghezza_vettura_m, "length of one coach, m" + d(marcia::lunghezza_vettura_m), 0);
    valore(c, "--service-brake", o.treno.frazione_servizio,
           "service braking as a fraction of the emergency deceleration the braked-mass percentage gives" +
               d(marcia::frazione_servizio),
           1);
    c->add_option("--coaches", o.treno.vetture, "number of coaches (default: the train file's)")->check(CLI::Range(0, 1000));
    valore(c, "--braked-mass", o.treno.percentuale_frenata, "braked-mass percentage, % (default: the train file's)", 0);
    c->add_option("--allowance", o.margine_pct, "minimum allowance, % of the minimum running time" + d(marcia::margine_minimo_pct))
        ->check(CLI::NonNegativeNumber);
    c->add_option("--step", o.treno.passo_m, "integration step, m; 50 divided by it is rounded to a whole number" + d(marcia::passo_m))
        ->check(CLI::Range(0.05, 50.0));
}

void prepara_dump(CLI::App& app, opzioni_dump& o) {
    o.comando = app.add_subcommand("dump", "decode the compiled files of DIR");
    o.comando->add_option("DIR", o.cartella, "folder holding the compiled files")->required()->check(cartella_esistente());
    aggiungi_scelta_cartella(o.comando, o.scelta);
    o.comando->add_flag("--json", o.json, "print one JSON object");
    o.comando->add_flag("--geometry", o.ogni_metro, "also list the geometry metre by metre");
}

void prepara_plot(CLI::App& app, opzioni_plot& o) {
#ifdef SB_DISEGNO
    constexpr const char* aiuto =
        "draw the compiled route of DIR: plan view of the track, gradient, speed-limit and adhesion profiles";
#else
    constexpr const char* aiuto = "not in this build, which draws no pictures (the Linux build has it)";
#endif
    o.comando = app.add_subcommand("plot", aiuto);
    o.comando->add_option("DIR", o.cartella, "folder holding the compiled files")->required()->check(cartella_esistente());
    o.comando->add_option("-o,--output", o.file, "the picture to write: FILE.png, FILE.svg or FILE.pdf")->required();
    aggiungi_scelta_cartella(o.comando, o.scelta);
}

void prepara_view(CLI::App& app, opzioni_view& o) {
    o.comando = app.add_subcommand(
        "view", "write the compiled route of DIR as one interactive HTML page: plan view and profiles on one "
                "position axis to zoom and pan, every object with its values and, given the two text files, the "
                "row that placed it and check's problems");
    o.comando->add_option("DIR", o.cartella, "folder holding the compiled files")->required()->check(cartella_esistente());
    o.opzione_testo_linea = o.comando->add_option(
        "LINE_FILE", o.testo_linea, "the line description DIR was compiled from, for the rows and check's problems");
    o.opzione_testo_treno = o.comando->add_option("TRAIN_FILE", o.testo_treno, "the train file DIR was compiled from");
    o.opzione_testo_linea->check(file_esistente());
    o.opzione_testo_treno->check(file_esistente());
    o.comando->add_option("-o,--output", o.file, "the page to write: FILE.html")->required();
    aggiungi_scelta_cartella(o.comando, o.scelta);
}

void prepara_documents(CLI::App& app, opzioni_documents& o) {
    o.comando = app.add_subcommand(
        "documents", "write the driver's documents for your line description and train file: the train sheet, the "
                     "slowdown order and the notes, in the built-in documents' layouts; your two files are only read");
    o.comando->add_option("LINE_FILE", o.file_linea, "line description, ideally named ID_linea.txt")
        ->required()
        ->check(file_esistente());
    o.comando->add_option("TRAIN_FILE", o.file_treno, "train file, ideally named ID_N-.txt")
        ->required()
        ->check(file_esistente());
    o.opzione_uscita = o.comando->add_option(
        "-o,--output", o.cartella_uscita, "folder for the documents, created when missing (default: the folder of LINE_FILE)");
    aggiungi_scelta(o.comando, o.scelta, "line identifier, when LINE_FILE is not named ID_linea.txt",
                    "train number, when TRAIN_FILE is not named ID_N-.txt");
    o.comando->add_option("--top-speed", o.velocita_massima, "the sheet's top speed, km/h (3 characters; default xxx)");
    o.comando->add_option("--category", o.categoria, "the letter after the top speed (default C)");
    o.comando->add_option("--classification", o.classificazione, "the train's classification, as IC (3 characters)");
    o.comando->add_option("--blocked-mass", o.massa_bloccata, "the blocked mass, tonnes (3 characters)");
    o.comando->add_option("--train-name", o.nome_treno, "the train's name, for the notes");
    o.comando->add_option("--route", o.percorso,
                          "the train's whole run for the notes, as \"Portovesco - Sarenta\" (default: its stretch)");
    o.comando->add_option("--note", o.note, "a line of the notes after the first two (repeatable; default: a template)")
        ->type_name("TEXT");
}
void prepara_explain(CLI::App& app, opzioni_explain& o) {
    o.comando = app.add_subcommand(
        "explain", "what a keyword's values mean, what a status code means and how to fix it, what a header does, "
                   "what a warning rule of check finds, and the topics no one keyword holds");
    o.comando->add_option("TOPIC", o.argomento,
                          "a topic (comments, timetable, clock, progressives, boards, categories), a keyword "
                          "(stazione, curvad4; also stazioni, station), a header ([generale]), a warning rule "
                          "(field-count) or a status code (21)");
    o.comando->add_flag("--all", o.tutto, "the whole reference");
    o.comando->add_flag("--markdown", o.markdown, "with --all: as Markdown, as in docs/reference.md");
}

void prepara_lsp(CLI::App& app, opzioni_lsp& o) {
    o.comando = app.add_subcommand(
        "lsp", "a language server for your editor, over standard input and output: check's problems as you type, "
               "hover, completion, inlay hints, go to definition, outline, quick fixes and formatting; it writes no "
               "file but the driver's documents, when asked");
    o.comando->add_flag("--stdio", o.stdio,
                        "accepted for the editors that pass it; standard input and output are the only way");
}

// Every subcommand's options, in the order of the help.
struct comandi {
    opzioni_emit emit;
    opzioni_compile compile;
    opzioni_check check;
    opzioni_run run;
    opzioni_dump dump;
    opzioni_plot plot;
    opzioni_view view;
    opzioni_explain explain;
    opzioni_lsp lsp;
    opzioni_documents documents;
};

void prepara_comandi(CLI::App& app, comandi& c) {
    prepara_emit(app, c.emit);
    prepara_compile(app, c.compile);
    prepara_check(app, c.check);
    prepara_run(app, c.run);
    prepara_dump(app, c.dump);
    prepara_plot(app, c.plot);
    prepara_view(app, c.view);
    prepara_explain(app, c.explain);
    prepara_lsp(app, c.lsp);
    prepara_documents(app, c.documents);
}

int avvia_lsp() {
    piattaforma::stdio_binario();
    std::ios::sync_with_stdio(false);
    return lsp::servi(std::cin, std::cout, {.versione = SCENARIO_TOOL_VERSION});
}

int avvia_explain(const opzioni_explain& o) {
    if (o.markdown && !o.tutto) throw errore_uso("--markdown goes with --all");
    if (o.tutto && !o.argomento.empty()) throw errore_uso("give either a TOPIC or --all");
    return spiega(o.argomento, o.tutto, o.markdown);
}

int avvia_compile(const opzioni_compile& o) {
    richiesta_compilazione q;
    q.file_linea = modello::percorso_utf8(o.file_linea);
    q.file_treno = modello::percorso_utf8(o.file_treno);
    q.id = scegli_identificativi(q.file_linea, q.file_treno, o.scelta.linea_data(), o.scelta.treno_data());
    q.cartella_uscita =
        o.opzione_uscita->count() > 0 ? modello::percorso_utf8(o.cartella_uscita) : q.file_linea.parent_path();
    if (q.cartella_uscita.empty()) q.cartella_uscita = ".";
    q.geometria = !o.senza_geometria;
    crea_cartella(q.cartella_uscita);
    return compila_comando(q, o.json);
}

int avvia_check(const opzioni_check& o) {
    const auto l = modello::percorso_utf8(o.file_linea);
    const auto t = modello::percorso_utf8(o.file_treno);
    // Nothing check reports depends on the identifiers, so files named
    // any way are checked; given ones must still agree with the names.
    identificativi id{"linea", "1"};
    try {
        id = scegli_identificativi(l, t, o.scelta.linea_data(), o.scelta.treno_data());
    } catch (const errore_uso&) {
        if (o.scelta.data()) throw;
    }
    return controlla(l, t, id, o.json, o.spente);
}

int avvia_documents(const opzioni_documents& o) {
    richiesta_documenti q;
    q.file_linea = modello::percorso_utf8(o.file_linea);
    q.file_treno = modello::percorso_utf8(o.file_treno);
    q.id = scegli_identificativi(q.file_linea, q.file_treno, o.scelta.linea_data(), o.scelta.treno_data());
    q.cartella = o.opzione_uscita->count() > 0 ? modello::percorso_utf8(o.cartella_uscita) : q.file_linea.parent_path();
    if (q.cartella.empty()) q.cartella = ".";
    q.autore = {q.id.treno, o.velocita_massima, o.categoria, o.classificazione, o.massa_bloccata, o.nome_treno,
                o.percorso, o.note};
    return documenti_comando(q);
}

// The run of a pair that compiles; one that does not gets check's errors.
int corri(const opzioni_run& o) {
    const auto l = modello::percorso_utf8(o.file_linea);
    const auto t = modello::percorso_utf8(o.file_treno);
    identificativi id{"linea", "1"};
    try {
        id = scegli_identificativi(l, t, o.scelta.linea_data(), o.scelta.treno_data());
    } catch (const errore_uso&) {
        if (o.scelta.data()) throw;
    }
    const std::string linea = piattaforma::leggi_binario(l);
    const std::string treno = piattaforma::leggi_binario(t);
    const auto c = compila_in_memoria(linea, treno, id);
    // check's errors: the compiler's and the whole files'; no warning stops a run.
    auto problemi = c.problemi;
    problemi_file_interi(linea, treno, problemi);
    std::erase_if(problemi, [](const problema& p) { return p.livello != gravita::errore; });
    ordina(problemi);
    if (!problemi.empty()) {
        const nomi_file_autore nomi{l.string(), t.string()};
        std::cout << (o.json ? json_testo(json_problemi(problemi, nomi)) + "\n" : testo_problemi(problemi, nomi));
        return uscita_corsa::non_compila;
    }
    const auto r = marcia::calcola_marcia(c.finale.modello, o.treno, o.json);
    if (r.fermo) {
        if (o.json)
            std::cout << json_testo({{"stopped", {{"metre", r.fermo->metro}, {"reason", r.fermo->perche}}}}) << "\n";
        else
            std::cout << "the train cannot run: " << testo::visibile(r.fermo->perche) << "\n";
        return uscita_corsa::ferma;
    }
    if (o.json) {
        auto j = json_corsa(r, o.margine_pct);
        rendi_visibile(j);
        std::cout << json_testo(j) << "\n";
    } else {
        std::cout << testo::visibile_su_righe(testo_corsa(r, o.margine_pct));
    }
    return uscita_corsa::fatta;
}

int avvia_view(const opzioni_view& o) {
    if ((o.opzione_testo_linea->count() > 0) != (o.opzione_testo_treno->count() > 0))
        throw errore_uso("give both LINE_FILE and TRAIN_FILE, or neither");
    std::optional<std::array<fs::path, 2>> testi;
    if (o.opzione_testo_linea->count() > 0)
        testi = std::array<fs::path, 2>{modello::percorso_utf8(o.testo_linea), modello::percorso_utf8(o.testo_treno)};
    return mostra(modello::percorso_utf8(o.cartella), modello::percorso_utf8(o.file), o.scelta.linea_data(),
                  o.scelta.treno_data(), testi);
}

// The name of the subcommand given, for the messages.
const char* nome_comando(const comandi& c) {
    return *c.emit.comando      ? "emit"
           : *c.compile.comando ? "compile"
           : *c.check.comando   ? "check"
           : *c.run.comando     ? "run"
           : *c.dump.comando    ? "dump"
           : *c.explain.comando ? "explain"
           : *c.lsp.comando     ? "lsp"
           : *c.view.comando    ? "view"
           : *c.documents.comando ? "documents"
                                : "plot";
}

// Runs the subcommand given; a failure is one line naming the subcommand.
int avvia(const comandi& c) {
    try {
        if (*c.lsp.comando) return avvia_lsp();
        if (*c.explain.comando) return avvia_explain(c.explain);
        if (*c.emit.comando) return emetti(modello::percorso_utf8(c.emit.cartella), c.emit.forza);
        if (*c.compile.comando) return avvia_compile(c.compile);
        if (*c.check.comando) return avvia_check(c.check);
        if (*c.run.comando) return corri(c.run);
        if (*c.view.comando) return avvia_view(c.view);
        if (*c.documents.comando) return avvia_documents(c.documents);
        if (*c.plot.comando)
            return traccia(modello::percorso_utf8(c.plot.cartella), modello::percorso_utf8(c.plot.file),
                           c.plot.scelta.linea_data(), c.plot.scelta.treno_data());
        return scarica(modello::percorso_utf8(c.dump.cartella), c.dump.scelta.linea_data(), c.dump.scelta.treno_data(),
                       c.dump.json, c.dump.ogni_metro);
    } catch (const errore_uso& e) {
        std::cerr << "scenario_tool " << nome_comando(c) << ": " << testo::visibile(e.what()) << "\n";
        return uscita::uso;
    } catch (const std::exception& e) {
        std::cerr << "scenario_tool " << nome_comando(c) << ": " << testo::visibile(e.what()) << "\n";
        return uscita::guasto;
    }
}

}  // namespace

int esegui(int argc, char** argv) {
    CLI::App app{
        "The scenario author's companion: the built-in scenario as a template, compiling your own line "
        "description and train file, a readable dump of compiled files and a picture of them.",
        "scenario_tool"};
    prepara_programma(app);
    comandi c;
    prepara_comandi(app, c);
    stati_nell_aiuto(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int stato = app.exit(e);
        return stato == 0 ? uscita::ok : uscita::uso;
    }
    return avvia(c);
}

#ifdef _WIN32
// Windows hands the arguments over as UTF-16: taken as UTF-8, file names in
// any language reach the parser intact.
int wmain(int argc, wchar_t** argv) {
    piattaforma::console_utf8();
    std::vector<std::string> argomenti = piattaforma::argomenti_utf8(argc, argv);
    std::vector<char*> puntatori;
    for (auto& a : argomenti) puntatori.push_back(a.data());
    puntatori.push_back(nullptr);
    return esegui(argc, puntatori.data());
}
#else
int main(int argc, char** argv) { return esegui(argc, argv); }
#endif
