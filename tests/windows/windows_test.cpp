// The Windows build's programs, run under Wine on an Xvfb display and checked
// against the Linux build's programs on the same inputs: the builder's files,
// its window and message boxes, scenario_tool on files with accented names,
// and the manifest each program carries.
// GoogleTest first, then what must come before the X headers' macros.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/windows/wine.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace {

namespace fs = std::filesystem;
using test_util::CartellaTemporanea;
using test_util::Xvfb;
using test_windows::InCorso;
using test_windows::Rettangolo;

const auto* const schermo = ::testing::AddGlobalTestEnvironment(new Xvfb);
const auto* const wine = ::testing::AddGlobalTestEnvironment(new test_windows::Wine);

// The folder the Windows builder is copied into: a blank and an accented letter.
const std::string cartella_accentata = "Scenari prova Zo\u00eb";

// The six files a normal run leaves beside the builder.
const std::vector<std::string> sei_file{
    "Valdora_Sarenta_731.dat",  "Valdora_Sarenta_731.sim",
    "Valdora_Sarenta_731_note.txt", "Valdora_Sarenta_731_rallentamenti.txt",
    "Valdora_Sarenta_731_scheda_treno.txt", "Valdora_Sarenta_linea.dat"};

// Every entry of a folder but the program itself: name, and the bytes of a
// file or "<folder>".
std::vector<std::pair<std::string, std::string>> contenuto(const fs::path& cartella, const std::string& programma) {
    std::vector<std::pair<std::string, std::string>> c;
    for (const auto& nome : test_util::elenco(cartella)) {
        if (nome == programma) continue;
        const fs::path p = cartella / fs::path(nome);
        c.push_back({nome, fs::is_directory(p) ? "<folder>" : test_util::leggi(p)});
    }
    return c;
}

// Names only, for a readable failure message.
std::string nomi(const std::vector<std::pair<std::string, std::string>>& c) {
    std::string s;
    for (const auto& [n, _] : c) s += n + " ";
    return s;
}

// A copy of a program in a fresh folder cartella inside dir.
fs::path copia_programma(const fs::path& programma, const fs::path& dir, const std::string& cartella) {
    const fs::path dove = dir / fs::path(cartella);
    fs::create_directories(dove);
    fs::copy_file(programma, dove / programma.filename());
    return dove / programma.filename();
}

std::vector<std::string> righe(const std::string& testo) {
    std::vector<std::string> r;
    std::istringstream in(testo);
    for (std::string riga; std::getline(in, riga);) {
        if (!riga.empty() && riga.back() == '\r') riga.pop_back();
        r.push_back(riga);
    }
    return r;
}

// --- The builder's files -------------------------------------------------------

TEST(BuilderWindows, InUnaCartellaAccentataScriveISeiFileDelBuilderLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const fs::path linux_exe = copia_programma(SCENARIO_BUILDER_PATH, dir.percorso(), "linux");
    const fs::path windows_exe =
        copia_programma(test_windows::eseguibile("scenario_builder.exe"), dir.percorso(), cartella_accentata);

    const auto su_linux = test_util::esegui({linux_exe.string()}, Xvfb::display);
    ASSERT_EQ(su_linux.stato, 0) << su_linux.errori;
    const auto su_windows = test_windows::esegui({windows_exe.string()}, dir.percorso());
    EXPECT_EQ(su_windows.stato, 0) << su_windows.errori;

    const auto attesi = contenuto(linux_exe.parent_path(), "scenario_builder");
    const auto scritti = contenuto(windows_exe.parent_path(), "scenario_builder.exe");
    ASSERT_EQ(test_util::elenco(linux_exe.parent_path()).size(), 7u) << nomi(attesi);
    for (const auto& nome : sei_file) EXPECT_TRUE(fs::is_regular_file(linux_exe.parent_path() / nome)) << nome;
    ASSERT_EQ(nomi(scritti), nomi(attesi));
    for (std::size_t i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(scritti[i].second == attesi[i].second) << scritti[i].first << " differs from the Linux build's";
}

// --- The window ----------------------------------------------------------------

TEST(FinestraWindows, Form1MostrataEDipintaComeSuLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    InCorso form({test_windows::eseguibile("mostra_form1.exe").string()}, dir.percorso());
    const auto riga = form.leggi_riga(test_windows::attesa_finestra);
    ASSERT_TRUE(riga) << "mostra_form1 printed no rectangle: " << form.errori();
    Rettangolo r;
    int dpi = 0;
    ASSERT_TRUE(std::istringstream(*riga) >> r.x >> r.y >> r.larghezza >> r.altezza >> dpi) << *riga;
    ASSERT_EQ(dpi, 96) << "the sizes below hold at Wine's default 96 dpi";
    EXPECT_EQ(r.larghezza, 280);  // 4200 twips
    EXPECT_EQ(r.altezza, 179);    // 2688 twips

    Display* d = XOpenDisplay(Xvfb::display.c_str());
    ASSERT_NE(d, nullptr);
    // Mapped on the display, where Windows puts its client area.
    EXPECT_NE(test_windows::attendi_finestra_x(d, "scenario_builder", r), 0u)
        << "no window scenario_builder shown at " << r;

    // The label's box (960/960 twips, 2652 x 792) holds the drawn text: many
    // pixels unlike the background, and none outside it. The form is painted
    // from Wine's message loop: look again until the text is there.
    int dentro = 0, fuori = 0;
    const auto fine = std::chrono::steady_clock::now() + test_windows::attesa_finestra;
    do {
        XImage* img = XGetImage(d, DefaultRootWindow(d), r.x, r.y, 280, 179, AllPlanes, ZPixmap);
        ASSERT_NE(img, nullptr);
        const unsigned long sfondo = XGetPixel(img, 5, 5);
        dentro = fuori = 0;
        for (int y = 0; y < 179; ++y)
            for (int x = 0; x < 280; ++x) {
                if (XGetPixel(img, x, y) == sfondo) continue;
                const bool nel_riquadro = x >= 64 && x < 64 + 177 && y >= 64 && y < 64 + 53;
                (nel_riquadro ? dentro : fuori)++;
            }
        XDestroyImage(img);
        if (dentro > 300) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < fine);
    XCloseDisplay(d);
    EXPECT_GT(dentro, 300) << "label text not painted";
    EXPECT_EQ(fuori, 0);

    EXPECT_TRUE(form.scrivi("\n"));
    EXPECT_EQ(form.attendi(std::chrono::seconds(test_windows::secondi_programma)), 0) << form.errori();
}

// --- The message boxes ---------------------------------------------------------

struct Controllo {
    bool visibile = false;
    bool icona = false;
    std::string classe;
    std::string testo;
};

// What the user meets in a message box of a program under Wine: its
// controls, whether the program still waited after they were read, and its
// exit status once Return was pressed in the box.
struct Scatola {
    std::vector<Controllo> controlli;
    bool attendeva = false;
    std::optional<int> stato;
    std::string errori;

    // The shown controls that show something: text or an icon.
    std::vector<Controllo> mostrati() const {
        std::vector<Controllo> m;
        for (const auto& c : controlli)
            if (c.visibile && (c.icona || !c.testo.empty())) m.push_back(c);
        return m;
    }
};

Scatola osserva_scatola(const std::vector<std::string>& argv, const fs::path& cartella) {
    Scatola s;
    InCorso programma(argv, cartella);
    const auto letta = test_windows::esegui({test_windows::eseguibile("leggi_finestra.exe").string()}, cartella);
    s.attendeva = programma.in_corso();
    auto r = righe(letta.uscita);
    Rettangolo box;
    if (letta.stato != 0 || r.empty() || !(std::istringstream(r[0]) >> box.x >> box.y >> box.larghezza >> box.altezza)) {
        s.errori = "leggi_finestra ended with " + std::to_string(letta.stato) + ": " + letta.errori +
                   "; the program said: " + programma.errori();
        return s;
    }
    for (std::size_t i = 1; i < r.size(); ++i) {
        std::istringstream in(r[i]);
        Controllo c;
        std::string visibile, icona;
        std::getline(in, visibile, '\t');
        std::getline(in, icona, '\t');
        std::getline(in, c.classe, '\t');
        std::getline(in, c.testo);
        c.visibile = visibile == "1";
        c.icona = icona == "1";
        s.controlli.push_back(c);
    }

    Display* d = XOpenDisplay(Xvfb::display.c_str());
    const Window w = d != nullptr ? test_windows::attendi_finestra_x(d, "scenario_builder", box) : 0;
    if (d != nullptr) XCloseDisplay(d);
    if (w == 0) {
        s.errori = "the box is not on the display";
        return s;
    }
    if (!test_util::premi_invio(std::to_string(w))) s.errori = "xdotool could not press Return in the box";
    s.stato = programma.attendi(std::chrono::seconds(test_windows::secondi_programma));
    s.errori += programma.errori();
    return s;
}

bool e_classe(const Controllo& c, const char* classe) {
    return c.classe.size() == std::string_view(classe).size() &&
           std::equal(c.classe.begin(), c.classe.end(), classe,
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

#define RICHIEDE_XDOTOOL() \
    if (!test_util::ha_comando("xdotool")) GTEST_SKIP() << "xdotool is not installed: message box test skipped"

TEST(MessaggioWindows, ErroreMostraIlCodiceAttendeOkEFinisceConUno) {
    RICHIEDE_WINE();
    RICHIEDE_XDOTOOL();
    CartellaTemporanea dir;
    const auto s = osserva_scatola({test_windows::eseguibile("prova_errore.exe").string(), "1250"}, dir.percorso());
    ASSERT_TRUE(s.stato) << s.errori;
    EXPECT_TRUE(s.attendeva) << "the process ended before OK";
    EXPECT_EQ(*s.stato, 1) << s.errori;
    const auto m = s.mostrati();
    ASSERT_EQ(m.size(), 2u) << "the box shows the message and OK, nothing else";
    EXPECT_TRUE(e_classe(m[0], "Static") || e_classe(m[1], "Static"));
    const Controllo& testo = e_classe(m[0], "Static") ? m[0] : m[1];
    const Controllo& bottone = e_classe(m[0], "Static") ? m[1] : m[0];
    EXPECT_EQ(testo.testo, " Errore n. 1250");
    EXPECT_FALSE(testo.icona);
    EXPECT_TRUE(e_classe(bottone, "Button")) << bottone.classe;
    EXPECT_EQ(bottone.testo, "OK");
}

TEST(MessaggioWindows, GuastoNominaIlFileEAttendeOkSenzaScrivereICompilati) {
    RICHIEDE_WINE();
    RICHIEDE_XDOTOOL();
    // A folder where the table goes, and earlier compiled files that must
    // stay as they are: the same start beside each build's builder.
    CartellaTemporanea dir;
    const fs::path linux_exe = copia_programma(SCENARIO_BUILDER_PATH, dir.percorso(), "linux");
    const fs::path windows_exe =
        copia_programma(test_windows::eseguibile("scenario_builder.exe"), dir.percorso(), cartella_accentata);
    for (const fs::path& cartella : {linux_exe.parent_path(), windows_exe.parent_path()}) {
        fs::create_directory(cartella / "Valdora_Sarenta_731.sim");
        test_util::scrivi(cartella / "Valdora_Sarenta_linea.dat", "geometria di prima");
        test_util::scrivi(cartella / "Valdora_Sarenta_731.dat", "percorso di prima");
    }

    // Linux without a display: the same report as one line on stderr.
    const auto su_linux = test_util::esegui({linux_exe.string()});
    ASSERT_EQ(su_linux.stato, 2) << su_linux.errori;
    const std::string percorso_linux = (linux_exe.parent_path() / "Valdora_Sarenta_731.sim").string();
    ASSERT_FALSE(righe(su_linux.errori).empty());
    const std::string riga_linux = righe(su_linux.errori).back();
    ASSERT_NE(riga_linux.find(percorso_linux), std::string::npos) << riga_linux;

    const auto s = osserva_scatola({windows_exe.string()}, dir.percorso());
    ASSERT_TRUE(s.stato) << s.errori;
    EXPECT_TRUE(s.attendeva) << "the process ended before OK";
    EXPECT_EQ(*s.stato, 2) << s.errori;

    // The same words, naming the same folder as Windows sees it (Wine's drive
    // Z: is the Linux root), accented letter and all; and an alert icon.
    std::string percorso_windows = "Z:" + (windows_exe.parent_path() / "Valdora_Sarenta_731.sim").string();
    std::replace(percorso_windows.begin(), percorso_windows.end(), '/', '\\');
    std::string attesa = riga_linux;
    attesa.replace(attesa.find(percorso_linux), percorso_linux.size(), percorso_windows);
    const auto m = s.mostrati();
    std::vector<std::string> testi;
    int icone = 0, bottoni = 0;
    for (const auto& c : m) {
        if (c.icona) ++icone;
        if (!c.testo.empty()) testi.push_back(c.testo);
        if (e_classe(c, "Button")) ++bottoni;
    }
    EXPECT_EQ(icone, 1);
    EXPECT_EQ(bottoni, 1);
    std::sort(testi.begin(), testi.end());
    EXPECT_EQ(testi, (std::vector<std::string>{"OK", attesa}));

    // Nothing compiled written: the folder holds what Linux's holds.
    const auto attesi = contenuto(linux_exe.parent_path(), "scenario_builder");
    const auto rimasti = contenuto(windows_exe.parent_path(), "scenario_builder.exe");
    EXPECT_EQ(test_util::leggi(windows_exe.parent_path() / "Valdora_Sarenta_linea.dat"), "geometria di prima");
    EXPECT_EQ(test_util::leggi(windows_exe.parent_path() / "Valdora_Sarenta_731.dat"), "percorso di prima");
    EXPECT_TRUE(fs::is_directory(windows_exe.parent_path() / "Valdora_Sarenta_731.sim"));
    ASSERT_EQ(nomi(rimasti), nomi(attesi));
    for (std::size_t i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(rimasti[i].second == attesi[i].second) << rimasti[i].first << " differs from the Linux build's";
}

// --- Files that cannot be replaced -----------------------------------------------

void emetti_su_linux(const fs::path& cartella);

// A Linux path as Windows programs under Wine see it (drive Z: is the root).
std::string percorso_windows(const fs::path& p) {
    std::string s = "Z:" + p.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

// A file held open without sharing by a helper under Wine, as a running
// simulator holds its scenario's files, until the object goes.
class FileTenuto {
public:
    FileTenuto(const fs::path& file, const fs::path& cartella)
        : tieni_({test_windows::eseguibile("tieni_file.exe").string(), percorso_windows(file)}, cartella) {
        pronto_ = tieni_.leggi_riga(test_windows::attesa_finestra) == "pronto";
    }
    ~FileTenuto() {
        tieni_.scrivi("\n");
        tieni_.attendi(std::chrono::seconds(test_windows::secondi_programma));
    }
    bool pronto() const { return pronto_; }
    std::string errori() const { return tieni_.errori(); }

private:
    InCorso tieni_;
    bool pronto_ = false;
};

// The text of a box's message, the control that is neither OK nor empty.
std::string testo_scatola(const Scatola& s) {
    for (const auto& c : s.mostrati())
        if (!c.testo.empty() && c.testo != "OK") return c.testo;
    return "";
}

// Each of the six files held by another program in turn, then all six made
// read-only with attrib +r: the box names the file that stops the run, the
// run ends with 2, and the folder holds exactly the six earlier files, byte
// for byte, beside the program.
TEST(BuilderWindows, UnFileTenutoODiSolaLetturaMostraLaScatolaENonCambiaNulla) {
    RICHIEDE_WINE();
    RICHIEDE_XDOTOOL();
    CartellaTemporanea dir;
    const fs::path exe =
        copia_programma(test_windows::eseguibile("scenario_builder.exe"), dir.percorso(), cartella_accentata);
    const fs::path cartella = exe.parent_path();
    for (const auto& nome : sei_file) test_util::scrivi(cartella / nome, "prima " + nome);
    const auto prima = contenuto(cartella, "scenario_builder.exe");
    ASSERT_EQ(prima.size(), 6u);

    for (const auto& nome : sei_file) {
        SCOPED_TRACE(nome + " held");
        const FileTenuto tenuto(cartella / nome, dir.percorso());
        ASSERT_TRUE(tenuto.pronto()) << tenuto.errori();
        const auto s = osserva_scatola({exe.string()}, dir.percorso());
        ASSERT_TRUE(s.stato) << s.errori;
        EXPECT_EQ(*s.stato, 2) << s.errori;
        const std::string atteso = "scenario_builder: cannot replace " + percorso_windows(cartella / nome) + ": ";
        EXPECT_EQ(testo_scatola(s).substr(0, atteso.size()), atteso) << testo_scatola(s);
        EXPECT_EQ(contenuto(cartella, "scenario_builder.exe"), prima) << nomi(contenuto(cartella, "scenario_builder.exe"));
    }

    const auto attrib = test_windows::esegui({"attrib", "+r", "Valdora_Sarenta*"}, cartella);
    ASSERT_EQ(attrib.stato, 0) << attrib.errori;
    for (const auto& nome : sei_file)
        ASSERT_EQ(fs::status(cartella / nome).permissions() & fs::perms::owner_write, fs::perms::none) << nome;
    const auto s = osserva_scatola({exe.string()}, dir.percorso());
    ASSERT_TRUE(s.stato) << s.errori;
    EXPECT_EQ(*s.stato, 2) << s.errori;
    // The documents come first, the notes first of them.
    EXPECT_TRUE(testo_scatola(s).starts_with("scenario_builder: cannot replace " +
                                             percorso_windows(cartella / "Valdora_Sarenta_731_note.txt") +
                                             ", which is read-only"))
        << testo_scatola(s);
    EXPECT_EQ(contenuto(cartella, "scenario_builder.exe"), prima) << nomi(contenuto(cartella, "scenario_builder.exe"));
}

// compile into a folder whose table is held, or whose route file is
// read-only: status 3, a report naming the file, and the three earlier files
// as they were with nothing beside them.
TEST(StrumentoWindows, CompileSuUnFileTenutoODiSolaLetturaNonCambiaNulla) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    emetti_su_linux(dir.percorso() / "autore");
    const std::vector<std::string> compilati{"Valdora_Sarenta_731.dat", "Valdora_Sarenta_731.sim",
                                             "Valdora_Sarenta_linea.dat"};
    for (const bool tenuto : {true, false}) {
        const std::string nome = tenuto ? "Valdora_Sarenta_731.sim" : "Valdora_Sarenta_731.dat";
        SCOPED_TRACE(nome + (tenuto ? " held" : " read-only"));
        const fs::path uscita = dir.percorso() / (tenuto ? "tenuto" : "sola lettura");
        fs::create_directory(uscita);
        for (const auto& n : compilati) test_util::scrivi(uscita / n, "prima " + n);
        const auto prima = contenuto(uscita, "");
        std::optional<FileTenuto> tieni;
        if (tenuto) {
            tieni.emplace(uscita / nome, dir.percorso());
            ASSERT_TRUE(tieni->pronto()) << tieni->errori();
        } else {
            fs::permissions(uscita / nome, fs::perms::owner_read);
        }
        const auto e = test_windows::esegui({test_windows::eseguibile("scenario_tool.exe").string(), "compile",
                                             "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", "-o",
                                             percorso_windows(uscita)},
                                            dir.percorso() / "autore");
        EXPECT_EQ(e.stato, 3) << e.errori;
        const std::string atteso = "cannot replace " + percorso_windows(uscita / nome) + (tenuto ? ": " : ", which is read-only");
        EXPECT_NE(e.uscita.find(atteso), std::string::npos) << e.uscita;
        EXPECT_EQ(contenuto(uscita, ""), prima) << nomi(contenuto(uscita, ""));
        fs::permissions(uscita / nome, fs::perms::owner_all);
    }
}

// The lock of a run's leftovers held by a helper under Wine, as a live run
// holds it, until the object goes: then the helper is killed, so nothing of
// its own removes the lock file.
class PresaTenuta {
public:
    PresaTenuta(const fs::path& file, const fs::path& cartella)
        : tieni_({test_windows::eseguibile("tieni_file.exe").string(), "--presa", percorso_windows(file)}, cartella) {
        pronta_ = tieni_.leggi_riga(test_windows::attesa_finestra) == "pronto";
    }
    bool pronta() const { return pronta_; }
    std::string errori() const { return tieni_.errori(); }

private:
    InCorso tieni_;
    bool pronta_ = false;
};

// Leftovers in the output folder whose locks a live Windows process holds (a
// group's temporary file, a private folder with a file in it) stay through
// a compile there, whatever their process number; once that process has
// been killed, the next compile removes them and their lock files.
TEST(StrumentoWindows, GliAvanziTenutiRestanoQuelliDiUnaCorsaUccisaNo) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    emetti_su_linux(dir.percorso() / "autore");
    const fs::path uscita = dir.percorso() / "uscita";
    fs::create_directory(uscita);
    const std::string numero = "4000000001";  // no process's: only the lock counts
    const std::string temporaneo = ".Valdora_Sarenta_731.sim.scenario~" + numero + ".tmp";
    const std::string privata = ".scenario_tool_" + numero + "~tenut0";
    test_util::scrivi(uscita / temporaneo, "avanzo");
    fs::create_directory(uscita / privata);
    test_util::scrivi(uscita / privata / "Valdora_Sarenta_731.sim", "avanzo");
    const auto compila = [&] {
        return test_windows::esegui({test_windows::eseguibile("scenario_tool.exe").string(), "compile",
                                     "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", "-o",
                                     percorso_windows(uscita)},
                                    dir.percorso() / "autore");
    };
    const std::vector<std::string> compilati{"Valdora_Sarenta_731.dat", "Valdora_Sarenta_731.sim",
                                             "Valdora_Sarenta_linea.dat"};
    {
        const PresaTenuta del_file(uscita / (".Valdora_Sarenta_731.sim.scenario~" + numero + ".lock"), dir.percorso());
        const PresaTenuta della_cartella(uscita / (privata + ".lock"), dir.percorso());
        ASSERT_TRUE(del_file.pronta()) << del_file.errori();
        ASSERT_TRUE(della_cartella.pronta()) << della_cartella.errori();
        const auto e = compila();
        EXPECT_EQ(e.stato, 0) << e.uscita << e.errori;
        EXPECT_EQ(test_util::leggi(uscita / temporaneo), "avanzo");
        EXPECT_EQ(test_util::leggi(uscita / privata / "Valdora_Sarenta_731.sim"), "avanzo");
    }
    const auto e = compila();
    EXPECT_EQ(e.stato, 0) << e.uscita << e.errori;
    EXPECT_EQ(test_util::elenco(uscita), compilati);
}

// --- Long paths --------------------------------------------------------------------

// A folder whose path is over 300 characters long: emit, compile, check,
// dump and the builder work there as anywhere, and leave only their files.
TEST(PercorsiLunghiWindows, OgniComandoEIlBuilder) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const fs::path lunga = dir.percorso() / std::string(100, 'L') / (cartella_accentata + std::string(90, 'M')) /
                           std::string(100, 'N');
    fs::create_directories(lunga);
    const std::string w = percorso_windows(lunga);
    ASSERT_GT(w.size(), 300u);
    const std::string tool = test_windows::eseguibile("scenario_tool.exe").string();
    const auto esegui = [&](std::vector<std::string> argomenti) {
        argomenti.insert(argomenti.begin(), tool);
        return test_windows::esegui(argomenti, dir.percorso());
    };
    const std::string linea = w + "\\Valdora_Sarenta_linea.txt", treno = w + "\\Valdora_Sarenta_731-.txt";

    const auto emit = esegui({"emit", w});
    ASSERT_EQ(emit.stato, 0) << emit.errori;
    EXPECT_EQ(test_util::elenco(lunga).size(), 5u);
    const auto check = esegui({"check", linea, treno});
    EXPECT_EQ(check.stato, 0) << check.uscita << check.errori;
    for (int volta = 0; volta < 2; ++volta) {  // the second replaces the first's files
        const auto compile = esegui({"compile", linea, treno, "-o", w});
        EXPECT_EQ(compile.stato, 0) << compile.uscita << compile.errori;
    }
    const auto dump = esegui({"dump", w, "--json"});
    EXPECT_EQ(dump.stato, 0) << dump.errori;
    const auto letto = nlohmann::json::parse(dump.uscita, nullptr, false);
    EXPECT_FALSE(letto.is_discarded()) << dump.uscita;
    EXPECT_EQ(test_util::elenco(lunga),
              (std::vector<std::string>{"Valdora_Sarenta_731-.txt", "Valdora_Sarenta_731.dat", "Valdora_Sarenta_731.sim",
                                        "Valdora_Sarenta_731_note.txt", "Valdora_Sarenta_731_rallentamenti.txt",
                                        "Valdora_Sarenta_731_scheda_treno.txt", "Valdora_Sarenta_linea.dat",
                                        "Valdora_Sarenta_linea.txt"}));

    // The builder, twice (the second over the first's files), started by its long name.
    for (const auto& n : test_util::elenco(lunga)) fs::remove(lunga / n);
    fs::copy_file(test_windows::eseguibile("scenario_builder.exe"), lunga / "scenario_builder.exe");
    for (int volta = 0; volta < 2; ++volta) {
        const auto b = test_windows::esegui({w + "\\scenario_builder.exe"}, dir.percorso());
        EXPECT_EQ(b.stato, 0) << b.errori;
    }
    std::vector<std::string> attesi = sei_file;
    attesi.push_back("scenario_builder.exe");
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(test_util::elenco(lunga), attesi);
}

// --- One folder, two names ---------------------------------------------------------

// Builders started together through two names of one folder, its own path
// on drive Z: and a drive Y: mapped onto its parent (Wine's dosdevices), take
// turns as through one name: round after round each ends with 0 and the
// folder holds the six files of one run.
TEST(BloccoWindows, DueNomiDellaStessaCartellaFannoATurno) {
    RICHIEDE_WINE();
    CartellaTemporanea dir, solo;
    const fs::path unito = fs::path(WINEPREFIX_TEST) / "dosdevices" / "y:";
    fs::remove(unito);
    fs::create_directory_symlink(dir.percorso(), unito);
    struct togli_unita {
        fs::path p;
        ~togli_unita() { fs::remove(p); }
    } alla_fine{unito};

    const fs::path exe =
        copia_programma(test_windows::eseguibile("scenario_builder.exe"), dir.percorso(), cartella_accentata);
    const std::vector<std::string> nomi_exe{percorso_windows(exe), "Y:\\" + cartella_accentata + "\\scenario_builder.exe"};
    const fs::path da_solo =
        copia_programma(test_windows::eseguibile("scenario_builder.exe"), solo.percorso(), "solo");
    ASSERT_EQ(test_windows::esegui({da_solo.string()}, solo.percorso()).stato, 0);
    const auto attesi = contenuto(da_solo.parent_path(), "scenario_builder.exe");

    for (int giro = 0; giro < 10; ++giro) {
        SCOPED_TRACE("round " + std::to_string(giro + 1));
        std::vector<std::unique_ptr<InCorso>> corse;
        for (const auto& n : nomi_exe) corse.push_back(std::make_unique<InCorso>(std::vector<std::string>{n}, dir.percorso()));
        for (auto& c : corse)
            EXPECT_EQ(c->attendi(std::chrono::seconds(test_windows::secondi_programma)), 0) << c->errori();
        const auto scritti = contenuto(exe.parent_path(), "scenario_builder.exe");
        ASSERT_EQ(nomi(scritti), nomi(attesi));
        for (std::size_t i = 0; i < attesi.size(); ++i)
            EXPECT_TRUE(scritti[i].second == attesi[i].second) << scritti[i].first << " differs from a lone run's";
    }
}

// --- scenario_tool --------------------------------------------------------------

// The Linux tool's built-in files, as an author starts from them.
void emetti_su_linux(const fs::path& cartella) {
    const auto e = test_util::esegui({SCENARIO_TOOL_PATH, "emit", cartella.string()});
    ASSERT_EQ(e.stato, 0) << e.errori;
}

// The file name part of a path as either system writes it.
std::string nome_file(const std::string& percorso) {
    const auto barra = percorso.find_last_of("/\\");
    return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

struct CasoCompila {
    const char* nome;
    const char* file_linea;
    const char* file_treno;
    bool fermata;  // a board moved onto a cell that holds one: the reading stops at a line
};

void PrintTo(const CasoCompila& c, std::ostream* o) { *o << c.nome; }

// The same JSON, numbers with a fraction equal to a billionth of their size:
// the dump's geometry summary adds up angles with each system's own maths
// library, while the compiled files themselves match to the byte.
bool simili(const nlohmann::json& a, const nlohmann::json& b) {
    if (a.is_number_float() || b.is_number_float()) {
        if (!a.is_number() || !b.is_number()) return false;
        const double x = a.get<double>(), y = b.get<double>();
        return std::abs(x - y) <= 1e-9 * std::max({1.0, std::abs(x), std::abs(y)});
    }
    if (a.type() != b.type() || a.size() != b.size()) return false;
    if (a.is_object()) {
        for (auto i = a.begin(); i != a.end(); ++i)
            if (!b.contains(i.key()) || !simili(i.value(), b[i.key()])) return false;
        return true;
    }
    if (a.is_array()) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!simili(a[i], b[i])) return false;
        return true;
    }
    return a == b;
}

class CompilaWindows : public ::testing::TestWithParam<CasoCompila> {};

// Both tools in the same layout: a folder holding the two files, the tool
// run there with their bare names; the text report, then the JSON one (the
// second compile replaces the first's files), then a dump of the result.
TEST_P(CompilaWindows, ComeLoStrumentoLinux) {
    RICHIEDE_WINE();
    const CasoCompila& c = GetParam();
    CartellaTemporanea dir;
    emetti_su_linux(dir.percorso() / "modello");
    const fs::path l = dir.percorso() / "linux", w = dir.percorso() / "windows";
    for (const fs::path& cartella : {l, w}) {
        fs::create_directory(cartella);
        std::string linea = test_util::leggi(dir.percorso() / "modello" / "Valdora_Sarenta_linea.txt");
        if (c.fermata) {
            const std::string da = "indicatori_vmax,  1950,", a = "indicatori_vmax,  700,";
            ASSERT_NE(linea.find(da), std::string::npos);
            linea.replace(linea.find(da), da.size(), a);
        }
        test_util::scrivi(cartella / fs::path(c.file_linea), linea);
        fs::copy_file(dir.percorso() / "modello" / "Valdora_Sarenta_731-.txt", cartella / fs::path(c.file_treno));
    }

    const std::vector<std::string> compila{"compile", c.file_linea, c.file_treno};
    std::vector<std::string> compila_json = compila;
    compila_json.push_back("--json");
    const std::vector<std::string> scarica{"dump", ".", "--json"};
    std::vector<test_util::Esito> su_linux, su_windows;
    for (const auto& argomenti : {compila, compila_json, scarica}) {
        std::vector<std::string> a{SCENARIO_TOOL_PATH};
        a.insert(a.end(), argomenti.begin(), argomenti.end());
        su_linux.push_back(test_util::esegui(a, "", {"env", "-C", l.string()}));
        a[0] = test_windows::eseguibile("scenario_tool.exe").string();
        su_windows.push_back(test_windows::esegui(a, w));
    }
    ASSERT_EQ(su_linux[0].stato, c.fermata ? 1 : 0) << su_linux[0].errori;

    // The text report: line for line the same, accented names as UTF-8.
    EXPECT_EQ(su_windows[0].stato, su_linux[0].stato) << su_windows[0].errori;
    EXPECT_EQ(righe(su_windows[0].uscita), righe(su_linux[0].uscita)) << su_windows[0].errori;
    EXPECT_EQ(su_windows[0].errori, su_linux[0].errori);

    // The JSON report: the same, but for the form of the path where the reading stopped.
    EXPECT_EQ(su_windows[1].stato, su_linux[1].stato) << su_windows[1].errori;
    const auto atteso = nlohmann::json::parse(su_linux[1].uscita);
    const auto letto = nlohmann::json::parse(su_windows[1].uscita, nullptr, false);
    ASSERT_FALSE(letto.is_discarded()) << su_windows[1].uscita << su_windows[1].errori;
    auto senza_percorsi = [](nlohmann::json j) {
        if (j.contains("stopped_at") && j["stopped_at"].is_object())
            j["stopped_at"]["file"] = nome_file(j["stopped_at"]["file"].get<std::string>());
        return j;
    };
    EXPECT_EQ(atteso["stopped_at"].is_object(), c.fermata);
    EXPECT_EQ(senza_percorsi(letto), senza_percorsi(atteso)) << su_windows[1].uscita;

    // The compiled files, byte for byte, and nothing else beside them.
    const auto attesi = contenuto(l, "");
    const auto scritti = contenuto(w, "");
    EXPECT_EQ(attesi.size(), 5u) << nomi(attesi);
    ASSERT_EQ(nomi(scritti), nomi(attesi));
    for (std::size_t i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(scritti[i].second == attesi[i].second) << scritti[i].first << " differs from the Linux build's";

    // dump reads them back to the same account.
    EXPECT_EQ(su_windows[2].stato, su_linux[2].stato) << su_windows[2].errori;
    const auto scarico = nlohmann::json::parse(su_windows[2].uscita, nullptr, false);
    const auto scarico_linux = nlohmann::json::parse(su_linux[2].uscita);
    EXPECT_TRUE(simili(scarico, scarico_linux))
        << su_windows[2].errori << "changes from Linux's: " << nlohmann::json::diff(scarico_linux, scarico).dump();
}

INSTANTIATE_TEST_SUITE_P(
    Nomi, CompilaWindows,
    ::testing::Values(CasoCompila{"builtin", "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", false},
                      CasoCompila{"builtin_fermata", "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt", true},
                      CasoCompila{"accentati", "Citt\u00e0_linea.txt", "Citt\u00e0_7-.txt", false},
                      CasoCompila{"accentati_fermata", "Citt\u00e0_linea.txt", "Citt\u00e0_7-.txt", true}),
    [](const auto& info) { return std::string(info.param.nome); });

class EmettiWindows : public ::testing::TestWithParam<const char*> {};

// emit into a folder named on the command line: the same five files, in a
// folder of that very name.
TEST_P(EmettiWindows, ComeLoStrumentoLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const fs::path l = dir.percorso() / "linux", w = dir.percorso() / "windows";
    fs::create_directory(l);
    fs::create_directory(w);
    const auto su_linux = test_util::esegui({SCENARIO_TOOL_PATH, "emit", GetParam()}, "", {"env", "-C", l.string()});
    ASSERT_EQ(su_linux.stato, 0) << su_linux.errori;
    const auto su_windows =
        test_windows::esegui({test_windows::eseguibile("scenario_tool.exe").string(), "emit", GetParam()}, w);
    EXPECT_EQ(su_windows.stato, 0) << su_windows.errori;
    EXPECT_EQ(righe(su_windows.uscita), righe(su_linux.uscita));
    ASSERT_EQ(test_util::elenco(w), test_util::elenco(l));
    const auto attesi = contenuto(l / fs::path(GetParam()), "");
    const auto scritti = contenuto(w / fs::path(GetParam()), "");
    EXPECT_EQ(attesi.size(), 5u);
    ASSERT_EQ(nomi(scritti), nomi(attesi));
    for (std::size_t i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(scritti[i].second == attesi[i].second) << scritti[i].first << " differs from the Linux build's";
}

INSTANTIATE_TEST_SUITE_P(Cartelle, EmettiWindows, ::testing::Values("modello", "Citt\u00e0 di Zo\u00eb"),
                         [](const auto& info) { return std::string(info.index == 0 ? "ascii" : "accentata"); });

// check of a scenario full of problems, under accented names: the same
// report as on Linux, and nothing left beside the author's two files.
TEST(StrumentoWindows, CheckComeLoStrumentoLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const fs::path l = dir.percorso() / "linux", w = dir.percorso() / "windows";
    const std::string linea = "Citt\u00e0_linea.txt", treno = "Citt\u00e0_7-.txt";
    for (const fs::path& cartella : {l, w}) {
        fs::create_directory(cartella);
        fs::copy_file(fs::path(FIXTURES_DIR) / "controllo" / "Collina_linea.txt", cartella / fs::path(linea));
        fs::copy_file(fs::path(FIXTURES_DIR) / "controllo" / "Collina_7-.txt", cartella / fs::path(treno));
    }
    const std::vector<std::vector<std::string>> comandi{{"check", linea, treno}, {"check", "--json", linea, treno}};
    for (const auto& argomenti : comandi) {
        std::vector<std::string> a{SCENARIO_TOOL_PATH};
        a.insert(a.end(), argomenti.begin(), argomenti.end());
        const auto su_linux = test_util::esegui(a, "", {"env", "-C", l.string()});
        a[0] = test_windows::eseguibile("scenario_tool.exe").string();
        const auto su_windows = test_windows::esegui(a, w);
        ASSERT_EQ(su_linux.stato, 2) << su_linux.errori;
        EXPECT_EQ(su_windows.stato, 2) << su_windows.errori;
        EXPECT_EQ(righe(su_windows.uscita), righe(su_linux.uscita)) << su_windows.errori;
    }
    EXPECT_EQ(test_util::elenco(w), test_util::elenco(l));
    EXPECT_EQ(test_util::elenco(w).size(), 2u);
}

// documents of the built-in pair, in a folder with an accented name: the
// slowdown order is the builder's own, and the three documents are the
// Linux tool's, byte for byte.
TEST(StrumentoWindows, DocumentsComeIlBuilderEComeLoStrumentoLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const fs::path l = dir.percorso() / "linux", w = dir.percorso() / "windows";
    const std::string cartella = "Citt\u00e0";
    for (const fs::path& base : {l, w}) {
        fs::create_directory(base);
        ASSERT_EQ(test_util::esegui({SCENARIO_TOOL_PATH, "emit", "ref"}, "", {"env", "-C", base.string()}).stato, 0);
        fs::create_directory(base / fs::path(cartella));
        for (const char* f : {"Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt"})
            fs::copy_file(base / "ref" / f, base / fs::path(cartella) / f);
    }
    const std::vector<std::string> argomenti{"documents", cartella + "/Valdora_Sarenta_linea.txt",
                                             cartella + "/Valdora_Sarenta_731-.txt", "--top-speed", "200"};
    std::vector<std::string> a{SCENARIO_TOOL_PATH};
    a.insert(a.end(), argomenti.begin(), argomenti.end());
    const auto su_linux = test_util::esegui(a, "", {"env", "-C", l.string()});
    ASSERT_EQ(su_linux.stato, 0) << su_linux.errori;
    a[0] = test_windows::eseguibile("scenario_tool.exe").string();
    const auto su_windows = test_windows::esegui(a, w);
    ASSERT_EQ(su_windows.stato, 0) << su_windows.errori;
    EXPECT_EQ(test_util::leggi(w / fs::path(cartella) / "Valdora_Sarenta_731_rallentamenti.txt"),
              test_util::leggi(w / "ref" / "Valdora_Sarenta_731_rallentamenti.txt"));
    const auto attesi = contenuto(l / fs::path(cartella), "");
    const auto scritti = contenuto(w / fs::path(cartella), "");
    EXPECT_EQ(attesi.size(), 5u);
    ASSERT_EQ(nomi(scritti), nomi(attesi));
    for (std::size_t i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(scritti[i].second == attesi[i].second) << scritti[i].first << " differs from the Linux tool's";
}

// run of the built-in pair: the same stations, legs and times as on Linux,
// to a tenth of a second (two builds' mathematics libraries may part in the
// last digit of a square root's neighbours).
TEST(StrumentoWindows, RunComeLoStrumentoLinux) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const auto emesso = test_util::esegui({SCENARIO_TOOL_PATH, "emit", dir.percorso().string()});
    ASSERT_EQ(emesso.stato, 0) << emesso.errori;
    const std::vector<std::string> argomenti{"run", "--json", "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt"};
    std::vector<std::string> a{SCENARIO_TOOL_PATH};
    a.insert(a.end(), argomenti.begin(), argomenti.end());
    const auto su_linux = test_util::esegui(a, "", {"env", "-C", dir.percorso().string()});
    a[0] = test_windows::eseguibile("scenario_tool.exe").string();
    const auto su_windows = test_windows::esegui(a, dir.percorso());
    ASSERT_EQ(su_linux.stato, 0) << su_linux.errori;
    ASSERT_EQ(su_windows.stato, 0) << su_windows.errori;
    const auto l = nlohmann::json::parse(su_linux.uscita), w = nlohmann::json::parse(su_windows.uscita);
    ASSERT_EQ(w.at("stations").size(), l.at("stations").size());
    for (std::size_t i = 0; i < l.at("stations").size(); ++i) {
        const auto &x = l["stations"][i], &y = w["stations"][i];
        EXPECT_EQ(y.at("name"), x.at("name"));
        for (const char* campo : {"arrival_s", "departure_s"}) {
            ASSERT_EQ(y.at(campo).is_null(), x.at(campo).is_null()) << x.at("name") << " " << campo;
            if (!x.at(campo).is_null()) {
                EXPECT_NEAR(y.at(campo).get<double>(), x.at(campo).get<double>(), 0.1) << x.at("name") << " " << campo;
            }
        }
    }
    ASSERT_EQ(w.at("legs").size(), l.at("legs").size());
    for (std::size_t i = 0; i < l.at("legs").size(); ++i)
        EXPECT_NEAR(w["legs"][i].at("minimum_s").get<double>(), l["legs"][i].at("minimum_s").get<double>(), 0.1);
    EXPECT_EQ(w.at("profile").size(), l.at("profile").size());
}

// A path written with '/' first is a path, not an option: under Wine, with
// the current folder on the drive of the Linux root, /tmp/... is this folder.
TEST(StrumentoWindows, UnPercorsoCheIniziaConLaBarraEUnPercorso) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const std::string linea = (dir.percorso() / "Collina_linea.txt").string();
    const std::string treno = (dir.percorso() / "Collina_7-.txt").string();
    ASSERT_EQ(linea.front(), '/');
    fs::copy_file(fs::path(FIXTURES_DIR) / "controllo" / "Collina_linea.txt", linea);
    fs::copy_file(fs::path(FIXTURES_DIR) / "controllo" / "Collina_7-.txt", treno);
    const std::string exe = test_windows::eseguibile("scenario_tool.exe").string();
    const auto k = test_windows::esegui({exe, "check", linea, treno}, dir.percorso());
    EXPECT_EQ(k.stato, 2) << k.errori;
    EXPECT_NE(k.uscita.find("error: "), std::string::npos) << k.uscita;
    const auto e = test_windows::esegui({exe, "emit", (dir.percorso() / "modello").string()}, dir.percorso());
    EXPECT_EQ(e.stato, 0) << e.errori;
    EXPECT_TRUE(fs::exists(dir.percorso() / "modello" / "Valdora_Sarenta_linea.txt"));
}

TEST(StrumentoWindows, PlotNonCeEFinisceConUnaRigaE64ELAiutoLoDice) {
    RICHIEDE_WINE();
    CartellaTemporanea dir;
    const auto e = test_windows::esegui(
        {test_windows::eseguibile("scenario_tool.exe").string(), "plot", ".", "-o", "percorso.png"}, dir.percorso());
    EXPECT_EQ(e.stato, 64);
    EXPECT_EQ(e.uscita, "");
    EXPECT_EQ(righe(e.errori).size(), 1u) << e.errori;
    EXPECT_FALSE(fs::exists(dir.percorso() / "percorso.png"));

    // The help does not offer it as if it worked.
    const auto aiuto = test_windows::esegui({test_windows::eseguibile("scenario_tool.exe").string(), "--help"}, dir.percorso());
    EXPECT_EQ(aiuto.stato, 0) << aiuto.errori;
    // The list of subcommands, before the table of exit statuses that names each one.
    std::vector<std::string> su_plot;
    for (const auto& r : righe(aiuto.uscita.substr(0, aiuto.uscita.find("Exit status"))))
        if (r.find("plot") != std::string::npos && r.find("dump, plot") == std::string::npos) su_plot.push_back(r);
    ASSERT_EQ(su_plot.size(), 1u) << aiuto.uscita;
    EXPECT_NE(su_plot[0].find("not in this build"), std::string::npos) << su_plot[0];
    EXPECT_EQ(su_plot[0].find("draw the compiled route"), std::string::npos) << su_plot[0];
}

struct CasoView {
    const char* nome;
    const char* file_linea;
    const char* file_treno;
};

void PrintTo(const CasoView& c, std::ostream* o) { *o << c.nome; }

class ViewWindows : public ::testing::TestWithParam<CasoView> {};

// view writes the same page as on Linux, byte for byte: the built-in route,
// and a small pair with check's problems and a row that holds a script's end.
// The compiled files come from the Linux tool (they are the same bytes either
// way); both tools run in the same folder with the same relative names.
TEST_P(ViewWindows, LaStessaPaginaDelLinux) {
    RICHIEDE_WINE();
    const CasoView& c = GetParam();
    CartellaTemporanea dir;
    fs::path sorgenti = dir.percorso() / "testi";
    if (std::string(c.nome) == "builtin") {
        emetti_su_linux(sorgenti);
    } else {
        fs::create_directory(sorgenti);
        for (const char* f : {c.file_linea, c.file_treno})
            fs::copy_file(fs::path(FIXTURES_VISTA_DIR) / f, sorgenti / f);
    }
    const std::string linea = "testi/" + std::string(c.file_linea), treno = "testi/" + std::string(c.file_treno);
    const auto compilato = test_util::esegui({SCENARIO_TOOL_PATH, "compile", linea, treno, "-o", "c"}, "",
                                             {"env", "-C", dir.percorso().string()});
    ASSERT_LE(compilato.stato, 1) << compilato.errori;
    for (const bool con_testi : {true, false}) {
        std::vector<std::string> a{SCENARIO_TOOL_PATH, "view", "c"};
        if (con_testi) a.insert(a.end(), {linea, treno});
        a.insert(a.end(), {"-o", "linux.html"});
        const auto su_linux = test_util::esegui(a, "", {"env", "-C", dir.percorso().string()});
        ASSERT_EQ(su_linux.stato, 0) << su_linux.errori;
        a[0] = test_windows::eseguibile("scenario_tool.exe").string();
        a.back() = "windows.html";
        const auto su_windows = test_windows::esegui(a, dir.percorso());
        EXPECT_EQ(su_windows.stato, 0) << su_windows.errori;
        EXPECT_EQ(su_windows.errori, su_linux.errori);
        EXPECT_EQ(righe(su_windows.uscita), std::vector<std::string>{"wrote windows.html"});
        const std::string pagina_linux = test_util::leggi(dir.percorso() / "linux.html");
        const std::string pagina_windows = test_util::leggi(dir.percorso() / "windows.html");
        EXPECT_GT(pagina_linux.size(), 10000u);
        EXPECT_TRUE(pagina_windows == pagina_linux)
            << "the Windows page differs from the Linux page" << (con_testi ? " (with the texts)" : "")
            << ", first at byte "
            << std::mismatch(pagina_windows.begin(), pagina_windows.end(), pagina_linux.begin(), pagina_linux.end())
                       .first -
                   pagina_windows.begin();
    }
}

INSTANTIATE_TEST_SUITE_P(Scenari, ViewWindows,
                         ::testing::Values(CasoView{"builtin", "Valdora_Sarenta_linea.txt", "Valdora_Sarenta_731-.txt"},
                                           CasoView{"problemi", "Breve_linea.txt", "Breve_3-.txt"}),
                         [](const auto& info) { return std::string(info.param.nome); });

// --- The manifest ----------------------------------------------------------------

// A resource of a Windows program: type tipo, name 1, its first language,
// read through the PE file's resource directory. None when the file is not a
// PE image or holds no such resource.
std::optional<std::string> risorsa(const std::string& pe, long tipo) {
    const auto leggi16 = [&](std::size_t o) -> std::optional<std::uint32_t> {
        if (o + 2 > pe.size()) return std::nullopt;
        return static_cast<std::uint8_t>(pe[o]) | static_cast<std::uint8_t>(pe[o + 1]) << 8;
    };
    const auto leggi32 = [&](std::size_t o) -> std::optional<std::uint32_t> {
        const auto basso = leggi16(o), alto = leggi16(o + 2);
        if (!basso || !alto) return std::nullopt;
        return *basso | *alto << 16;
    };
    if (pe.compare(0, 2, "MZ") != 0) return std::nullopt;
    const auto intestazione = leggi32(0x3c);
    if (!intestazione || *intestazione + 4 > pe.size() || pe.compare(*intestazione, 4, std::string("PE\0\0", 4)) != 0)
        return std::nullopt;
    const std::size_t coff = *intestazione + 4;
    const auto sezioni = leggi16(coff + 2), opzionale = leggi16(coff + 16), magia = leggi16(coff + 20);
    if (!sezioni || !opzionale || !magia || (*magia != 0x10b && *magia != 0x20b)) return std::nullopt;
    // Data directory 2 (resources), after the fields of PE32 or PE32+.
    const std::size_t cartelle = coff + 20 + (*magia == 0x20b ? 112 : 96);
    const auto rva_risorse = leggi32(cartelle + 2 * 8);
    if (!rva_risorse || *rva_risorse == 0) return std::nullopt;
    const auto posizione = [&](std::uint32_t rva) -> std::optional<std::size_t> {
        for (std::uint32_t i = 0; i < *sezioni; ++i) {
            const std::size_t s = coff + 20 + *opzionale + 40 * i;
            const auto dimensione = leggi32(s + 8), indirizzo = leggi32(s + 12), grezzi = leggi32(s + 16),
                       dati = leggi32(s + 20);
            if (!dimensione || !indirizzo || !grezzi || !dati) return std::nullopt;
            if (rva >= *indirizzo && rva < *indirizzo + std::max(*dimensione, *grezzi)) return *dati + (rva - *indirizzo);
        }
        return std::nullopt;
    };
    const auto base = posizione(*rva_risorse);
    if (!base) return std::nullopt;
    // One level of the resource tree: the entry with this id (any, for -1);
    // the offset of what it points to and whether that is a directory.
    const auto voce = [&](std::uint32_t cartella, long id) -> std::optional<std::pair<std::uint32_t, bool>> {
        const auto con_nome = leggi16(*base + cartella + 12), con_id = leggi16(*base + cartella + 14);
        if (!con_nome || !con_id) return std::nullopt;
        for (std::uint32_t i = 0; i < *con_nome + *con_id; ++i) {
            const auto nome = leggi32(*base + cartella + 16 + 8 * i), dove = leggi32(*base + cartella + 20 + 8 * i);
            if (!nome || !dove) return std::nullopt;
            if (id >= 0 && (*nome & 0x80000000u || *nome != static_cast<std::uint32_t>(id))) continue;
            return std::pair{*dove & 0x7fffffffu, (*dove & 0x80000000u) != 0};
        }
        return std::nullopt;
    };
    const auto del_tipo = voce(0, tipo);
    if (!del_tipo || !del_tipo->second) return std::nullopt;
    const auto nome = voce(del_tipo->first, 1);
    if (!nome || !nome->second) return std::nullopt;
    const auto lingua = voce(nome->first, -1);
    if (!lingua || lingua->second) return std::nullopt;
    const auto rva = leggi32(*base + lingua->first), dimensione = leggi32(*base + lingua->first + 4);
    if (!rva || !dimensione) return std::nullopt;
    const auto inizio = posizione(*rva);
    if (!inizio || *inizio + *dimensione > pe.size()) return std::nullopt;
    return pe.substr(*inizio, *dimensione);
}

// The application manifest: RT_MANIFEST.
std::optional<std::string> manifesto(const std::string& pe) { return risorsa(pe, 24); }

// The text of the first element named elemento, without its attributes.
std::string valore(const std::string& xml, const std::string& elemento) {
    auto apertura = xml.find("<" + elemento + " ");
    if (apertura == std::string::npos) apertura = xml.find("<" + elemento + ">");
    if (apertura == std::string::npos) return "<missing>";
    const auto inizio = xml.find('>', apertura) + 1;
    const auto fine = xml.find("</" + elemento + ">", inizio);
    return fine == std::string::npos ? "<unclosed>" : xml.substr(inizio, fine - inizio);
}

class ManifestoWindows : public ::testing::TestWithParam<const char*> {};

// The manifest, and the program's own icon: a group (RT_GROUP_ICON) of the
// three sizes that scripts/icona.py draws, 16, 32 and 48 pixels, 32-bit.
TEST_P(ManifestoWindows, DpiAwarePercorsiLunghiCodicePaginaUtf8EIcona) {
    const fs::path exe = test_windows::eseguibile(std::string(GetParam()) + ".exe");
    ASSERT_TRUE(fs::exists(exe)) << exe;
    const std::string pe = test_util::leggi(exe);
    const auto xml = manifesto(pe);
    ASSERT_TRUE(xml) << exe << " holds no application manifest";
    EXPECT_EQ(valore(*xml, "dpiAware"), "true");
    EXPECT_EQ(valore(*xml, "longPathAware"), "true");
    EXPECT_EQ(valore(*xml, "activeCodePage"), "UTF-8");
    EXPECT_NE(xml->find(std::string("name=\"") + GetParam() + "\""), std::string::npos) << *xml;

    // GRPICONDIR: reserved, type 1, count; then 14 bytes an image: width, height, ..., bit count at 6.
    const auto gruppo = risorsa(pe, 14);
    ASSERT_TRUE(gruppo) << exe << " holds no icon of its own";
    ASSERT_GE(gruppo->size(), 6u);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>((*gruppo)[i])); };
    ASSERT_EQ(byte(2), 1u);
    const unsigned quante = byte(4);
    ASSERT_EQ(gruppo->size(), 6u + 14u * quante);
    std::vector<unsigned> lati;
    for (unsigned i = 0; i < quante; ++i) {
        lati.push_back(byte(6 + 14 * i));
        EXPECT_EQ(byte(6 + 14 * i + 6), 32u) << "bits per pixel";
    }
    std::sort(lati.begin(), lati.end());
    EXPECT_EQ(lati, (std::vector<unsigned>{16, 32, 48}));
}

INSTANTIATE_TEST_SUITE_P(Programmi, ManifestoWindows, ::testing::Values("scenario_builder", "scenario_tool"));

}  // namespace

// No Xvfb, Wine or xdotool: skipped, not passed.
int main(int argc, char** argv) { return test_util::esegui_tutti(argc, argv); }
