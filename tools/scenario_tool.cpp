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
#include <stdexcept>
#include <string>
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
#include "reference/riferimento.h"
#include "scenario_text/emettitori.h"
#include "text/visibile.h"
#include "tools/compila.h"
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

// One entry of the reference, or all of it; an unknown topic is a usage
// error that names the closest topics.
int spiega(const std::string& argomento, bool tutto, bool markdown) {
    if (tutto) {
        std::cout << (markdown ? riferimento::markdown_completo() : riferimento::testo_completo());
        return uscita::ok;
    }
    if (argomento.empty())
        throw errore_uso("give a TOPIC (a keyword, a [header], a warning rule or a status code) or --all");
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

}  // namespace

int esegui(int argc, char** argv) {
    CLI::App app{
        "The scenario author's companion: the built-in scenario as a template, compiling your own line "
        "description and train file, a readable dump of compiled files and a picture of them.",
        "scenario_tool"};
    app.set_version_flag("--version", "scenario_tool " SCENARIO_TOOL_VERSION);
    // Windows builds would take "/x" for an option: a path written so must
    // stay a path, as on every other system. Subcommands inherit this.
    app.allow_windows_style_options(false);
    // A parse error may quote an argument: shown safe to print.
    app.failure_message([](const CLI::App* a, const CLI::Error& e) {
        return testo::visibile(CLI::FailureMessage::simple(a, e));
    });
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 done (compile: status 0); 1 compile: status nonzero or a file of which nothing was read, "
        "compiled files written; 2 compile: fatal 1250 or 1251, no compiled file written; 3 a failure (compile: "
        "unhandled, or the output folder cannot be created, no compiled file written; "
        "dump, plot, view: no compiled files, a file missing or malformed, a geometry that does not fit the route; "
        "plot, view: the picture or page cannot be written; view: a text file that cannot be read; "
        "emit: files of the same names exist); 64 usage error (explain: an unknown topic). check: 0 nothing found, 1 "
        "warnings only, 2 at least one error, 3 a file that cannot be read, 64 usage error (also an unknown rule, or "
        "the files the wrong way round). lsp: 0 after shutdown then exit, 1 when exit comes without shutdown or "
        "the input ends first.");

    // CLI11's own checks take the argument as a plain path, which on Windows
    // misreads UTF-8 names: these read it as UTF-8 everywhere.
    const CLI::Validator esiste_file(
        [](std::string& s) {
            return fs::is_regular_file(modello::percorso_utf8(s)) ? std::string() : "File does not exist: " + s;
        },
        "FILE");
    const CLI::Validator esiste_cartella(
        [](std::string& s) {
            return fs::is_directory(modello::percorso_utf8(s)) ? std::string() : "Directory does not exist: " + s;
        },
        "DIR");
    auto* emit = app.add_subcommand("emit", "write the five built-in text files into DIR");
    std::string cartella_emit = ".";
    bool forza = false;
    emit->add_option("DIR", cartella_emit, "folder to write into, created when missing (default: the current folder)");
    emit->add_flag("--force", forza, "overwrite files of the same names");

    auto* compile = app.add_subcommand(
        "compile", "compile your line description and train file; they are only read, never changed");
    std::string file_linea, file_treno, cartella_uscita, linea_c, treno_c;
    bool senza_geometria = false, json_c = false;
    compile->add_option("LINE_FILE", file_linea, "line description, ideally named ID_linea.txt")
        ->required()
        ->check(esiste_file);
    compile->add_option("TRAIN_FILE", file_treno, "train file, ideally named ID_N-.txt")
        ->required()
        ->check(esiste_file);
    auto* opzione_uscita = compile->add_option("-o,--output", cartella_uscita,
                                               "folder for the compiled files, created when missing (default: the "
                                               "folder of LINE_FILE)");
    auto* opzione_linea_c =
        compile->add_option("--linea", linea_c, "line identifier, when LINE_FILE is not named ID_linea.txt");
    auto* opzione_treno_c = compile->add_option("--treno", treno_c, "train number, when TRAIN_FILE is not named ID_N-.txt");
    compile->add_flag("--no-geometry", senza_geometria, "do not build or write the geometry file");
    compile->add_flag("--json", json_c, "print the outcome as one JSON object");

    auto* check = app.add_subcommand(
        "check",
        "list every problem of your line description and train file at once: all the compiler's errors, and "
        "warnings for rows that compile but are almost always mistakes; nothing is written");
    std::string file_linea_k, file_treno_k, linea_k, treno_k;
    bool json_k = false;
    std::vector<std::string> spente;
    check->add_option("LINE_FILE", file_linea_k, "line description, named any way")->required();
    check->add_option("TRAIN_FILE", file_treno_k, "train file, named any way")->required();
    auto* opzione_linea_k = check->add_option(
        "--linea", linea_k, "line identifier, as for compile; not needed, but must agree with an ID_linea.txt name");
    auto* opzione_treno_k = check->add_option(
        "--treno", treno_k, "train number, as for compile; not needed, but must agree with an ID_N-.txt name");
    check->add_flag("--json", json_k, "print the problems as one JSON object");
    check->add_option("--no-warn", spente, "do not report the warnings of RULE (repeatable)")
        ->type_name("RULE")
        ->check(CLI::Validator(
            [](std::string& r) {
                if (regola_esiste(r)) return std::string();
                std::string nomi;
                for (const auto& x : regole_avviso()) nomi += (nomi.empty() ? "" : ", ") + std::string(x.nome);
                return "no warning rule \"" + r + "\"; the rules are: " + nomi;
            },
            ""));

    auto* dump = app.add_subcommand("dump", "decode the compiled files of DIR");
    std::string cartella_dump, linea_d, treno_d;
    bool json_d = false, ogni_metro = false;
    dump->add_option("DIR", cartella_dump, "folder holding the compiled files")->required()->check(esiste_cartella);
    auto* opzione_linea_d = dump->add_option("--linea", linea_d, "line identifier, when DIR holds several scenarios");
    auto* opzione_treno_d = dump->add_option("--treno", treno_d, "train number, when DIR holds several scenarios");
    dump->add_flag("--json", json_d, "print one JSON object");
    dump->add_flag("--geometry", ogni_metro, "also list the geometry metre by metre");

#ifdef SB_DISEGNO
    constexpr const char* aiuto_plot =
        "draw the compiled route of DIR: plan view of the track, gradient, speed-limit and adhesion profiles";
#else
    constexpr const char* aiuto_plot = "not in this build, which draws no pictures (the Linux build has it)";
#endif
    auto* plot = app.add_subcommand("plot", aiuto_plot);
    std::string cartella_plot, file_plot, linea_p, treno_p;
    plot->add_option("DIR", cartella_plot, "folder holding the compiled files")->required()->check(esiste_cartella);
    plot->add_option("-o,--output", file_plot, "the picture to write: FILE.png, FILE.svg or FILE.pdf")->required();
    auto* opzione_linea_p = plot->add_option("--linea", linea_p, "line identifier, when DIR holds several scenarios");
    auto* opzione_treno_p = plot->add_option("--treno", treno_p, "train number, when DIR holds several scenarios");

    auto* view = app.add_subcommand(
        "view", "write the compiled route of DIR as one interactive HTML page: plan view and profiles on one "
                "position axis to zoom and pan, every object with its values and, given the two text files, the "
                "row that placed it and check's problems");
    std::string cartella_view, file_view, linea_v, treno_v, linea_testo_v, treno_testo_v;
    view->add_option("DIR", cartella_view, "folder holding the compiled files")->required()->check(esiste_cartella);
    auto* opzione_testo_linea_v = view->add_option(
        "LINE_FILE", linea_testo_v, "the line description DIR was compiled from, for the rows and check's problems");
    auto* opzione_testo_treno_v =
        view->add_option("TRAIN_FILE", treno_testo_v, "the train file DIR was compiled from");
    opzione_testo_linea_v->check(esiste_file);
    opzione_testo_treno_v->check(esiste_file);
    view->add_option("-o,--output", file_view, "the page to write: FILE.html")->required();
    auto* opzione_linea_v = view->add_option("--linea", linea_v, "line identifier, when DIR holds several scenarios");
    auto* opzione_treno_v = view->add_option("--treno", treno_v, "train number, when DIR holds several scenarios");

    auto* explain = app.add_subcommand(
        "explain", "what a keyword's values mean, what a status code means and how to fix it, what a header does, "
                   "what a warning rule of check finds");
    std::string argomento;
    bool tutto = false, markdown = false;
    explain->add_option("TOPIC", argomento,
                        "a keyword (stazione, curvad4), a header ([generale]), a warning rule (field-count) or a "
                        "status code (21)");
    explain->add_flag("--all", tutto, "the whole reference");
    explain->add_flag("--markdown", markdown, "with --all: as Markdown, as in docs/reference.md");

    auto* lsp_c = app.add_subcommand(
        "lsp", "a language server for your editor, over standard input and output: check's problems as you type, "
               "hover, completion, inlay hints, go to definition, outline, quick fixes and formatting; it writes to "
               "no file");
    bool stdio = false;
    lsp_c->add_flag("--stdio", stdio, "accepted for the editors that pass it; standard input and output are the only way");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int stato = app.exit(e);
        return stato == 0 ? uscita::ok : uscita::uso;
    }

    const char* comando = *emit      ? "emit"
                          : *compile ? "compile"
                          : *check   ? "check"
                          : *dump    ? "dump"
                          : *explain ? "explain"
                          : *lsp_c   ? "lsp"
                          : *view    ? "view"
                                     : "plot";
    try {
        if (*lsp_c) {
            piattaforma::stdio_binario();
            std::ios::sync_with_stdio(false);
            return lsp::servi(std::cin, std::cout, {.versione = SCENARIO_TOOL_VERSION});
        }
        if (*explain) {
            if (markdown && !tutto) throw errore_uso("--markdown goes with --all");
            if (tutto && !argomento.empty()) throw errore_uso("give either a TOPIC or --all");
            return spiega(argomento, tutto, markdown);
        }
        if (*emit) return emetti(modello::percorso_utf8(cartella_emit), forza);
        if (*compile) {
            richiesta_compilazione q;
            q.file_linea = modello::percorso_utf8(file_linea);
            q.file_treno = modello::percorso_utf8(file_treno);
            q.id = scegli_identificativi(q.file_linea, q.file_treno, se_dato(opzione_linea_c, linea_c),
                                         se_dato(opzione_treno_c, treno_c));
            q.cartella_uscita =
                opzione_uscita->count() > 0 ? modello::percorso_utf8(cartella_uscita) : q.file_linea.parent_path();
            if (q.cartella_uscita.empty()) q.cartella_uscita = ".";
            q.geometria = !senza_geometria;
            crea_cartella(q.cartella_uscita);
            return compila_comando(q, json_c);
        }
        if (*check) {
            const auto l = modello::percorso_utf8(file_linea_k);
            const auto t = modello::percorso_utf8(file_treno_k);
            // Nothing check reports depends on the identifiers, so files named
            // any way are checked; given ones must still agree with the names.
            identificativi id{"linea", "1"};
            try {
                id = scegli_identificativi(l, t, se_dato(opzione_linea_k, linea_k), se_dato(opzione_treno_k, treno_k));
            } catch (const errore_uso&) {
                if (opzione_linea_k->count() > 0 || opzione_treno_k->count() > 0) throw;
            }
            return controlla(l, t, id, json_k, spente);
        }
        if (*view) {
            if ((opzione_testo_linea_v->count() > 0) != (opzione_testo_treno_v->count() > 0))
                throw errore_uso("give both LINE_FILE and TRAIN_FILE, or neither");
            std::optional<std::array<fs::path, 2>> testi;
            if (opzione_testo_linea_v->count() > 0)
                testi = std::array<fs::path, 2>{modello::percorso_utf8(linea_testo_v), modello::percorso_utf8(treno_testo_v)};
            return mostra(modello::percorso_utf8(cartella_view), modello::percorso_utf8(file_view),
                          se_dato(opzione_linea_v, linea_v), se_dato(opzione_treno_v, treno_v), testi);
        }
        if (*plot)
            return traccia(modello::percorso_utf8(cartella_plot), modello::percorso_utf8(file_plot),
                           se_dato(opzione_linea_p, linea_p), se_dato(opzione_treno_p, treno_p));
        return scarica(modello::percorso_utf8(cartella_dump), se_dato(opzione_linea_d, linea_d),
                       se_dato(opzione_treno_d, treno_d), json_d, ogni_metro);
    } catch (const errore_uso& e) {
        std::cerr << "scenario_tool " << comando << ": " << testo::visibile(e.what()) << "\n";
        return uscita::uso;
    } catch (const std::exception& e) {
        std::cerr << "scenario_tool " << comando << ": " << testo::visibile(e.what()) << "\n";
        return uscita::guasto;
    }
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
