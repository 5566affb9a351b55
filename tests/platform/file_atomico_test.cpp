#include "platform/file_atomico.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/blocco_cartella.h"
#include "platform/cartella_privata.h"
#include "platform/file_sistema.h"
#include "tests/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;

TEST(FileAtomico, SostituisceUnFilePiuLungoSenzaResti) {
    test_util::CartellaTemporanea dir;
    const fs::path f = dir.percorso() / "dati.bin";
    test_util::scrivi(f, std::string(1000, 'x'));
    piattaforma::scrivi_file_atomico(f, "abc");
    EXPECT_EQ(test_util::leggi(f), "abc");
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"dati.bin"}));
}

TEST(FileAtomico, UnaScritturaFallitaLasciaIlVecchioENessunTemporaneo) {
    test_util::CartellaTemporanea dir;
    // A non-empty folder where the file should go: the final rename must fail.
    const fs::path bersaglio = dir.percorso() / "bloccato";
    fs::create_directory(bersaglio);
    test_util::scrivi(bersaglio / "dentro", "vecchio");
    try {
        piattaforma::scrivi_file_atomico(bersaglio, "nuovo");
        FAIL() << "expected a failure";
    } catch (const std::system_error& e) {
        EXPECT_NE(std::string(e.what()).find("bloccato"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test_util::leggi(bersaglio / "dentro"), "vecchio");
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"bloccato"}));
}

TEST(FileAtomico, CartellaInesistenteEUnErroreCheNominaIlFile) {
    test_util::CartellaTemporanea dir;
    EXPECT_THROW(piattaforma::scrivi_file_atomico(dir.percorso() / "manca" / "f.txt", "x"), std::system_error);
}

}  // namespace

namespace {

TEST(FileAtomico, UnGruppoSiScriveTuttoONienteSeUnaScritturaFallisce) {
    test_util::CartellaTemporanea dir;
    const auto a = dir.percorso() / "a.dat";
    test_util::scrivi(a, "vecchio a");
    // The second file's folder does not exist: its temporary cannot be written.
    EXPECT_THROW(piattaforma::scrivi_file_atomici({{a, "nuovo a"}, {dir.percorso() / "manca" / "b.dat", "b"}}),
                 std::system_error);
    EXPECT_EQ(test_util::leggi(a), "vecchio a");
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"a.dat"}));

    piattaforma::scrivi_file_atomici({{a, "nuovo a"}, {dir.percorso() / "b.dat", "b"}});
    EXPECT_EQ(test_util::leggi(a), "nuovo a");
    EXPECT_EQ(test_util::leggi(dir.percorso() / "b.dat"), "b");
}

}  // namespace

namespace {

// Pieces land where their positions say, in whatever order they come; a
// producer that throws leaves the earlier file and no temporary behind.
TEST(FileAtomico, PezziAlloroPostoEProduttoreCheFallisce) {
    test_util::CartellaTemporanea dir;
    const auto f = dir.percorso() / "g.dat";
    test_util::scrivi(f, "vecchio");
    piattaforma::scrivi_file_atomici(std::vector<piattaforma::file_a_pezzi>{
        {f, [](const piattaforma::scrittore& scrivi) {
             scrivi(6, "ghi");
             scrivi(0, "ab");
             scrivi(3, "def");
         }}});
    EXPECT_EQ(test_util::leggi(f), std::string("ab\0defghi", 9)) << "byte 2 was never written";

    EXPECT_THROW(piattaforma::scrivi_file_atomici(std::vector<piattaforma::file_a_pezzi>{
                     {f, [](const piattaforma::scrittore& scrivi) {
                          scrivi(0, "nuovo");
                          throw std::runtime_error("producer failed");
                      }}}),
                 std::runtime_error);
    EXPECT_EQ(test_util::leggi(f), std::string("ab\0defghi", 9));
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"g.dat"}));
}

}  // namespace

namespace {

// Sets a fault hook for one test and removes it at the end, whatever happens.
struct GuastoDiProva {
    explicit GuastoDiProva(std::function<std::error_code(piattaforma::prova::passo, const fs::path&)> f) {
        piattaforma::prova::imposta_guasto(std::move(f));
    }
    ~GuastoDiProva() { piattaforma::prova::imposta_guasto(nullptr); }
};

// A group of three, the third a new file, written here or moved in from a
// private folder: whichever rename fails, every earlier file keeps its
// content, the new one does not appear, nothing hidden is left and the files
// not moved are still in the private folder; the same when the file system
// cannot make hard links and the earlier files are moved aside instead.
TEST(FileAtomico, UnGruppoCheFallisceAQualunqueRinominaRimetteTuttoComEra) {
    using piattaforma::prova::passo;
    const std::vector<std::string> nomi{"L_linea.dat", "L_1.sim", "L_1.dat"};
    for (const bool sposta : {false, true}) {
        for (const bool senza_collegamenti : {false, true}) {
            for (std::size_t fallita = 0; fallita < nomi.size(); ++fallita) {
                SCOPED_TRACE(std::string(sposta ? "moved in, " : "written, ") +
                             (senza_collegamenti ? "no hard links, " : "") + "rename " + std::to_string(fallita + 1) +
                             " fails");
                test_util::CartellaTemporanea dir;
                const fs::path privata = dir.percorso() / ".privata";
                fs::create_directory(privata);
                test_util::scrivi(dir.percorso() / nomi[0], "vecchio a");
                test_util::scrivi(dir.percorso() / nomi[1], "vecchio b");
                // Replaces the three files with "nuovo a", "nuovo b", "nuovo c".
                const auto gruppo = [&] {
                    if (!sposta) {
                        piattaforma::scrivi_file_atomici({{dir.percorso() / nomi[0], "nuovo a"},
                                                          {dir.percorso() / nomi[1], "nuovo b"},
                                                          {dir.percorso() / nomi[2], "nuovo c"}});
                        return;
                    }
                    std::vector<piattaforma::file_pronto> file;
                    for (std::size_t i = 0; i < nomi.size(); ++i) {
                        test_util::scrivi(privata / nomi[i], std::string("nuovo ") + "abc"[i]);
                        file.push_back({privata / nomi[i], dir.percorso() / nomi[i]});
                    }
                    piattaforma::sposta_file_atomici(file);
                };
                std::size_t rinomine = 0;
                GuastoDiProva g([&](passo p, const fs::path&) {
                    if (p == passo::riserva)
                        return senza_collegamenti ? std::make_error_code(std::errc::operation_not_permitted)
                                                  : std::error_code{};
                    return rinomine++ == fallita ? std::make_error_code(std::errc::io_error) : std::error_code{};
                });
                try {
                    gruppo();
                    ADD_FAILURE() << "expected a failure";
                } catch (const std::system_error& e) {
                    EXPECT_EQ(e.code(), std::errc::io_error);
                    EXPECT_NE(std::string(e.what()).find((dir.percorso() / nomi[fallita]).string()), std::string::npos)
                        << e.what();
                }
                EXPECT_EQ(test_util::leggi(dir.percorso() / nomi[0]), "vecchio a");
                EXPECT_EQ(test_util::leggi(dir.percorso() / nomi[1]), "vecchio b");
                EXPECT_EQ(test_util::elenco(dir.percorso()),
                          (std::vector<std::string>{".privata", "L_1.sim", "L_linea.dat"}));
                if (sposta)
                    for (std::size_t i = fallita; i < nomi.size(); ++i)
                        EXPECT_EQ(test_util::leggi(privata / nomi[i]), std::string("nuovo ") + "abc"[i]) << nomi[i];
                else
                    EXPECT_TRUE(test_util::elenco(privata).empty());

                // With the fault gone the same group goes through, and still
                // leaves nothing hidden.
                piattaforma::prova::imposta_guasto(nullptr);
                gruppo();
                for (std::size_t i = 0; i < nomi.size(); ++i)
                    EXPECT_EQ(test_util::leggi(dir.percorso() / nomi[i]), std::string("nuovo ") + "abc"[i]);
                EXPECT_EQ(test_util::elenco(dir.percorso()),
                          (std::vector<std::string>{".privata", "L_1.dat", "L_1.sim", "L_linea.dat"}));
                EXPECT_TRUE(test_util::elenco(privata).empty());
            }
        }
    }
}

// A folder where the second file should go is seen before any file is
// touched or any content produced, and named in the error.
TEST(FileAtomico, UnaCartellaAlPostoDiUnFileFermaIlGruppoPrimaDiTutto) {
    test_util::CartellaTemporanea dir;
    const auto a = dir.percorso() / "L_linea.dat", b = dir.percorso() / "L_1.sim";
    test_util::scrivi(a, "vecchio a");
    fs::create_directory(b);
    int prodotti = 0;
    const auto produci = [&](std::string testo) {
        return [&prodotti, testo](const piattaforma::scrittore& scrivi) {
            ++prodotti;
            scrivi(0, testo);
        };
    };
    try {
        piattaforma::scrivi_file_atomici(std::vector<piattaforma::file_a_pezzi>{{a, produci("nuovo a")},
                                                                                {b, produci("nuovo b")}});
        FAIL() << "expected a failure";
    } catch (const std::system_error& e) {
        EXPECT_NE(std::string(e.what()).find(b.string() + ", which is not a file"), std::string::npos) << e.what();
    }
    EXPECT_EQ(prodotti, 0);
    EXPECT_EQ(test_util::leggi(a), "vecchio a");
    EXPECT_TRUE(fs::is_directory(b));
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"L_1.sim", "L_linea.dat"}));
}

}  // namespace

namespace {

// A read-only target, whichever of the group it is, stops the group before
// any content is produced and names the file; a target the user may write
// (the mode's owner bit alone) goes through. Root too meets the refusal: it
// follows the file's mark, not the user's privileges.
TEST(FileAtomico, UnFileDiSolaLetturaFermaIlGruppoPrimaDiTutto) {
    const std::vector<std::string> nomi{"L_linea.dat", "L_1.sim", "L_1.dat"};
    for (const bool scrivibile : {false, true}) {
        for (std::size_t bloccato = 0; bloccato < nomi.size(); ++bloccato) {
            SCOPED_TRACE(nomi[bloccato] + (scrivibile ? " writable by its owner only" : " read-only"));
            test_util::CartellaTemporanea dir;
            for (const auto& n : nomi) test_util::scrivi(dir.percorso() / n, "vecchio " + n);
            const fs::path f = dir.percorso() / nomi[bloccato];
            fs::permissions(f, scrivibile ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::owner_read);
            int prodotti = 0;
            std::vector<piattaforma::file_a_pezzi> gruppo;
            for (const auto& n : nomi)
                gruppo.push_back({dir.percorso() / n, [&prodotti, n](const piattaforma::scrittore& scrivi) {
                                      ++prodotti;
                                      scrivi(0, "nuovo " + n);
                                  }});
            if (scrivibile) {
                piattaforma::scrivi_file_atomici(gruppo);
                for (const auto& n : nomi) EXPECT_EQ(test_util::leggi(dir.percorso() / n), "nuovo " + n);
            } else {
                try {
                    piattaforma::scrivi_file_atomici(gruppo);
                    ADD_FAILURE() << "expected a failure";
                } catch (const std::system_error& e) {
                    EXPECT_NE(std::string(e.what()).find("cannot replace " + f.string() + ", which is read-only"),
                              std::string::npos)
                        << e.what();
                }
                EXPECT_EQ(prodotti, 0);
                for (const auto& n : nomi) EXPECT_EQ(test_util::leggi(dir.percorso() / n), "vecchio " + n);
                EXPECT_THROW(piattaforma::controlla_sostituibili({dir.percorso() / "altro.txt", f}), std::system_error);
            }
            EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"L_1.dat", "L_1.sim", "L_linea.dat"}));
            fs::permissions(f, fs::perms::owner_all);
        }
    }
}

// A number no process has on either system (above Linux's largest and not
// a Windows one), for the leftovers of a run that was killed.
constexpr const char* processo_finito = "4000000001";

// What a killed run leaves beside its targets goes at the next group written
// there: its temporaries, its kept-aside files (put back where the target is
// missing), and its private folders. What only looks alike stays, and so do
// the files of a process that still runs (this one).
TEST(FileAtomico, GliAvanziDiUnaCorsaUccisaSparisconoAllaSuccessiva) {
    test_util::CartellaTemporanea dir;
    const fs::path d = dir.percorso();
    const std::string questo = std::to_string(piattaforma::sistema::id_processo());
    const std::string morto = processo_finito;
    test_util::scrivi(d / "L_1.sim", "vecchio sim");
    const std::vector<std::string> da_togliere{
        ".L_1.sim.scenario~" + morto + ".tmp", ".L_1.sim.scenario~" + morto + ".bak",
        ".altro.txt.scenario~" + morto + ".tmp"};
    const std::vector<std::string> da_lasciare{
        ".altro.txt.scenario~" + questo + ".bak",  // a process that runs
        ".L_1.sim.scenario~.bak",                // no process number
        ".L_1.sim.scenario~12a.bak",             // not a number
        ".L_1.sim." + morto + ".bak",            // not the pattern
        "L_1.sim.scenario~" + morto + ".bak",    // not hidden
        ".L_1.sim.scenario~" + morto + ".bak2",  // another extension
    };
    for (const auto& n : da_togliere) test_util::scrivi(d / n, "avanzo");
    for (const auto& n : da_lasciare) test_util::scrivi(d / n, "altro");
    // An earlier file moved aside, its target gone: it is the only copy.
    test_util::scrivi(d / (".L_1.dat.scenario~" + morto + ".bak"), "vecchio dat");
    // Private folders: one of a finished process with a file in it, one of this process, one of another pattern.
    fs::create_directory(d / (".scenario_tool_" + morto + "~abc123"));
    test_util::scrivi(d / (".scenario_tool_" + morto + "~abc123") / "L_1.sim", "x");
    fs::create_directory(d / (".scenario_tool_" + questo + "~abc123"));
    fs::create_directory(d / ".scenario_tool_abc123");

    piattaforma::scrivi_file_atomici({{d / "L_1.sim", "nuovo sim"}});
    EXPECT_EQ(test_util::leggi(d / "L_1.sim"), "nuovo sim");
    EXPECT_EQ(test_util::leggi(d / "L_1.dat"), "vecchio dat");
    {
        piattaforma::cartella_privata privata(d);
        EXPECT_TRUE(fs::is_directory(privata.percorso()));
        EXPECT_EQ(privata.percorso().filename().string().rfind(".scenario_tool_" + questo + "~", 0), 0u)
            << privata.percorso();
    }
    std::vector<std::string> attesi = da_lasciare;
    attesi.insert(attesi.end(), {"L_1.dat", "L_1.sim", ".scenario_tool_" + questo + "~abc123", ".scenario_tool_abc123"});
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(test_util::elenco(d), attesi);
}

#ifdef _WIN32
bool nascosto(const fs::path& f) {
    const DWORD a = ::GetFileAttributesW(f.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// While a group is replaced its temporary and kept-aside files carry the
// hidden attribute; the targets never keep it, whether the group fails (the
// earlier files put back) or goes through. A kept-aside file is a second name
// of its target, sharing its attributes, so this is where a target could
// stay hidden. (Wine reports every name that begins with a dot as hidden
// already, so the attribute is never set there and this passes under Wine
// without the attribute code; it guards it on Windows itself.)
TEST(FileAtomico, INascostiSonoNascostiEIBersagliNo) {
    using piattaforma::prova::passo;
    test_util::CartellaTemporanea dir;
    const fs::path a = dir.percorso() / "L_1.sim", b = dir.percorso() / "L_1.dat";
    test_util::scrivi(a, "vecchio a");
    test_util::scrivi(b, "vecchio b");
    const std::string id = std::to_string(piattaforma::sistema::id_processo());
    bool temporaneo_nascosto = false, riserva_nascosta = false, fallisci = true;
    {
        GuastoDiProva g([&](passo p, const fs::path& destinazione) {
            if (p != passo::sostituzione) return std::error_code{};
            if (destinazione == a) {
                temporaneo_nascosto = nascosto(dir.percorso() / (".L_1.sim.scenario~" + id + ".tmp"));
                riserva_nascosta = nascosto(dir.percorso() / (".L_1.sim.scenario~" + id + ".bak"));
            }
            return destinazione == b && fallisci ? std::make_error_code(std::errc::io_error) : std::error_code{};
        });
        EXPECT_THROW(piattaforma::scrivi_file_atomici({{a, "nuovo a"}, {b, "nuovo b"}}), std::system_error);
        EXPECT_TRUE(temporaneo_nascosto);
        EXPECT_TRUE(riserva_nascosta);
        EXPECT_EQ(test_util::leggi(a), "vecchio a");
        EXPECT_FALSE(nascosto(a));
        EXPECT_FALSE(nascosto(b));
        fallisci = false;
        piattaforma::scrivi_file_atomici({{a, "nuovo a"}, {b, "nuovo b"}});
    }
    EXPECT_EQ(test_util::leggi(a), "nuovo a");
    EXPECT_FALSE(nascosto(a));
    EXPECT_FALSE(nascosto(b));
    EXPECT_EQ(test_util::elenco(dir.percorso()), (std::vector<std::string>{"L_1.dat", "L_1.sim"}));
}
#else
// Two spellings of one folder, its path and a symbolic link to it, hold the
// same lock: the second waits for the first.
TEST(BloccoCartella, UnCollegamentoSimbolicoAttendeComeLaCartella) {
    test_util::CartellaTemporanea dir;
    fs::create_directory(dir.percorso() / "cartella");
    fs::create_directory_symlink(dir.percorso() / "cartella", dir.percorso() / "collegamento");
    std::atomic<bool> rilasciato{false}, preso_dopo{false};
    std::optional<piattaforma::blocco_cartella> primo(std::in_place, dir.percorso() / "cartella");
    ASSERT_TRUE(primo->tenuto());
    std::thread secondo([&] {
        const piattaforma::blocco_cartella b(dir.percorso() / "collegamento");
        preso_dopo = b.tenuto() && rilasciato;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rilasciato = true;
    primo.reset();
    secondo.join();
    EXPECT_TRUE(preso_dopo) << "the link's hold was taken while the folder was held";

    // Another folder is not held by the first.
    const piattaforma::blocco_cartella a(dir.percorso() / "cartella");
    fs::create_directory(dir.percorso() / "altra");
    const piattaforma::blocco_cartella b(dir.percorso() / "altra");
    EXPECT_TRUE(b.tenuto());
}
#endif

}  // namespace
