// The folders stack in layers and every include runs downward: a file may
// include headers of its own folder and of folders below it, never of a folder
// beside or above it. Linking alone cannot enforce this, because every include
// is written from the project's root; this test reads them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// From the bottom up. Folders on the same level do not include each other.
struct strato {
    std::string_view cartella;
    int livello;
};
constexpr strato strati[] = {
    {"platform", 0},                                                       // files, folders, window, message box
    {"model", 1},                                                          // the working model and its rules
    {"text", 2}, {"run_model", 2},                                         // what both readers share; the train's run
    {"line_reader", 3}, {"train_reader", 3}, {"format", 3}, {"scenario_text", 3},
    {"compiler", 4},                                                       // memorizza_dati, completion, stamps
    {"app", 5},                                                            // scenario_builder
    {"reference", 5}, {"scenario_files", 5},                               // the tool's parts, from the bottom up
    {"dump", 6},
    {"memory_compile", 7},                                                 // the pair compiled in memory
    {"check", 8},
    {"documents", 9},                                                      // the driver's documents from a pair
    {"picture", 10}, {"lsp", 10}, {"view", 10},
    {"tools", 11},                                                         // scenario_tool's command line
    {"bench", 12}, {"fuzz", 12},
    {"tests", 13},
};

std::optional<int> livello(std::string_view cartella) {
    for (const auto& s : strati)
        if (s.cartella == cartella) return s.livello;
    return std::nullopt;
}

// Headers of the operating system or of the windowing toolkit: only the
// platform folder may include them (and the harnesses around the product).
bool intestazione_di_sistema(std::string_view nome) {
    constexpr std::string_view prefissi[] = {"unistd.h", "fcntl.h", "sys/", "windows.h", "Windows.h", "X11/",
                                             "FL/",      "dirent.h", "pthread.h", "signal.h", "spawn.h"};
    return std::any_of(std::begin(prefissi), std::end(prefissi),
                       [&](std::string_view p) { return nome.starts_with(p); });
}

// Why the include of `incluso` (as written between the quotes or angle
// brackets) from a file in `cartella` breaks the layering; empty when it
// does not.
std::string violazione(std::string_view cartella, std::string_view incluso, bool di_progetto) {
    const auto da = livello(cartella);
    if (!da) return "file in a folder that is not in the table of layers";
    if (!di_progetto)
        return *da >= 1 && *da <= 11 && intestazione_di_sistema(incluso)
                   ? "system or toolkit header outside platform/"
                   : "";
    const auto barra = incluso.find('/');
    if (barra == std::string_view::npos) return "include not written from the project's root";
    const std::string_view verso = incluso.substr(0, barra);
    const auto a = livello(verso);
    if (!a) return "include of a folder that is not in the table of layers";
    // What a folder's own files share among themselves (regole_interne.h).
    if (verso != cartella && incluso.ends_with("_interne.h")) return "a folder's internal header from outside it";
    if (verso == cartella || *a < *da) return "";
    return *a == *da ? "include of a folder on the same layer" : "include of a folder on a higher layer";
}

TEST(Strati, LaRegolaSuCasiNoti) {
    struct caso {
        std::string_view cartella, incluso;
        bool di_progetto, ammesso;
    };
    const caso casi[] = {
        {"compiler", "model/modello.h", true, true},
        {"compiler", "compiler/driver.h", true, true},
        {"model", "compiler/driver.h", true, false},          // upward
        {"train_reader", "line_reader/lettore_linea.h", true, false},  // sideways
        {"format", "text/testo_1252.h", true, true},
        {"app", "tools/compila.h", true, false},
        {"tests", "tools/compila.h", true, true},
        {"check", "dump/scarico.h", true, true},
        {"dump", "check/controllo.h", true, false},           // the tool's parts stack too
        {"check", "memory_compile/compilazione.h", true, true},
        {"memory_compile", "check/problemi.h", true, false},
        {"lsp", "check/righe_lette.h", true, true},
        {"lsp", "check/regole_interne.h", true, false},       // internal to check
        {"check", "check/regole_interne.h", true, true},
        {"reference", "scenario_files/identificativi.h", true, false},
        {"tools", "lettore.h", true, false},                  // not from the root
        {"model", "unknown/x.h", true, false},
        {"tools", "unistd.h", false, false},
        {"app", "FL/Fl.H", false, false},
        {"platform", "FL/Fl.H", false, true},
        {"tests", "sys/wait.h", false, true},
        {"model", "vector", false, true},
    };
    for (const auto& k : casi)
        EXPECT_EQ(violazione(k.cartella, k.incluso, k.di_progetto).empty(), k.ammesso)
            << k.cartella << " includes " << k.incluso;
}

TEST(Strati, OgniIncludeScendeDiStrato) {
    const fs::path radice = SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::string> errori;
    int letti = 0;
    for (const auto& voce : fs::directory_iterator(radice)) {
        if (!voce.is_directory()) continue;
        const std::string cartella = voce.path().filename().string();
        // Build output, history and documents hold no code of ours.
        if (cartella.starts_with(".") || cartella.starts_with("build") || cartella == "docs" ||
            cartella == "dist" || cartella == "scripts")
            continue;
        for (auto it = fs::recursive_directory_iterator(voce.path()); it != fs::recursive_directory_iterator(); ++it) {
            const auto& f = *it;
            // npm's packages of the editors' extension are not ours.
            if (f.is_directory() && f.path().filename() == "node_modules") {
                it.disable_recursion_pending();
                continue;
            }
            const auto est = f.path().extension();
            if (!f.is_regular_file() || (est != ".cpp" && est != ".h")) continue;
            std::ifstream in(f.path());
            std::string riga;
            for (int n = 1; std::getline(in, riga); ++n) {
                std::smatch m;
                if (!std::regex_search(riga, m, include)) continue;
                ++letti;
                const auto perche = violazione(cartella, m[2].str(), m[1] == "\"");
                if (!perche.empty())
                    errori.push_back(fs::relative(f.path(), radice).string() + ":" + std::to_string(n) + ": " +
                                     m[2].str() + ": " + perche);
            }
        }
    }
    EXPECT_GT(letti, 100) << "the tree was not found at " << radice;
    for (const auto& e : errori) ADD_FAILURE() << e;
}

}  // namespace
