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
