#include "platform/file_atomico.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>
#include <system_error>

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
