#include "scenario_text/emettitore.h"

#include <gtest/gtest.h>

#include "tests/cartella_temporanea.h"

namespace {

using testi_scenario::con_sentinella;
using testi_scenario::testo_file;

TEST(Emettitore, OgniRigaFinisceInCrLfFinoAllaSentinella) {
    const std::array<std::string_view, 4> doc{"[generale]", "", "orologio,    6  30 ", "verr\xC3\xA0"};
    EXPECT_EQ(testo_file(con_sentinella(doc)), "[generale]\r\n\r\norologio,    6  30 \r\nverr\xE0\r\n");
}

TEST(Emettitore, LaSentinellaChiudeIlDocumentoEnonVieneScritta) {
    const std::array<std::string_view, 3> doc{"prima", "riferimento fine del file", "dopo"};
    EXPECT_EQ(testo_file(con_sentinella(doc)), "prima\r\n");
    // Only the exact line ends it: case and surrounding blanks count.
    const std::array<std::string_view, 2> simile{"Riferimento fine del file", " riferimento fine del file"};
    EXPECT_EQ(testo_file(con_sentinella(simile)), "Riferimento fine del file\r\n riferimento fine del file\r\n");
}

TEST(Emettitore, UnDocumentoVuotoDaUnFileVuoto) {
    const std::array<std::string_view, 0> vuoto{};
    EXPECT_EQ(testo_file(con_sentinella(vuoto)), "");
}

TEST(Emettitore, SostituisceIlFileEsistenteInteramente) {
    test_util::CartellaTemporanea dir;
    const auto f = dir.percorso() / "doc.txt";
    test_util::scrivi(f, std::string(5000, 'z'));
    const std::array<std::string_view, 2> doc{"a", "b"};
    testi_scenario::scrivi_documento(f, con_sentinella(doc));
    EXPECT_EQ(test_util::leggi(f), "a\r\nb\r\n");
}

}  // namespace
