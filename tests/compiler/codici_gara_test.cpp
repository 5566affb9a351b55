#include "compiler/codici_gara.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

modello::Modello con_identificatori(const std::string& treno, const std::string& linea) {
    modello::Modello m;
    m.tabella[modello::record_ripetizione].nome = treno;
    m.tabella[modello::record_linea].nome = linea;
    return m;
}

TEST(CodiciGara, EsempiNoti) {
    struct Caso {
        const char* treno;
        const char* linea;
        std::int16_t og;
        std::int32_t st;
    } casi[] = {
        {"7", "AB", 2502, 33709},
        {"7", "ab", 2502, 33709},   // letter case does not count
        {"7A", "B", 2502, 33709},   // only the joined text counts
        {"", "", 2583, 34355},      // the padding alone
    };
    for (const auto& c : casi) {
        auto m = con_identificatori(c.treno, c.linea);
        EXPECT_EQ(compilatore::codice_gara_og(m), c.og) << c.treno << " / " << c.linea;
        EXPECT_EQ(compilatore::codice_gara_st(m), c.st) << c.treno << " / " << c.linea;
    }
}

TEST(CodiciGara, LaStringaDiLavoroUnisceTrenoELineaInMinuscoloPoiIlRiempitivo) {
    EXPECT_EQ(compilatore::stringa_di_lavoro(con_identificatori("7", "AB")), "7abaabbccddeeffgghhiillmmnnoo");
}

TEST(CodiciGara, OltreIlVenticinquesimoCarattereNullaConta) {
    // The same first 25 characters, split differently and followed by different tails.
    auto base = con_identificatori("0123456789", "ABCDEFGHIJKLMNO");
    const auto og = compilatore::codice_gara_og(base);
    const auto st = compilatore::codice_gara_st(base);
    for (const auto& [treno, linea] : {std::pair<std::string, std::string>{"0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                                       {"0123456789ABCDEFGHIJKLMNOzz", "Q"}}) {
        auto m = con_identificatori(treno, linea);
        EXPECT_EQ(compilatore::codice_gara_og(m), og) << treno << " / " << linea;
        EXPECT_EQ(compilatore::codice_gara_st(m), st) << treno << " / " << linea;
    }
    // While a change within the first 25 does count.
    auto altro = con_identificatori("0123456789", "ABCDEFGHIJKLMNP");
    EXPECT_NE(compilatore::codice_gara_og(altro), og);
}

TEST(CodiciGara, LettereAccentateInMinuscoloNelCodiceA8Bit) {
    // Windows-1252: "È" is 0xC8, "è" 0xE8; the code counts the lower-case byte.
    auto maiuscole = con_identificatori("7", "\xC3\x88");
    auto minuscole = con_identificatori("7", "\xC3\xA8");
    const auto og = compilatore::codice_gara_og(maiuscole);
    EXPECT_EQ(og, compilatore::codice_gara_og(minuscole));
    EXPECT_EQ(compilatore::codice_gara_st(maiuscole), compilatore::codice_gara_st(minuscole));
    auto con_e = con_identificatori("7", "e");
    EXPECT_EQ(og - compilatore::codice_gara_og(con_e), 0xE8 - 'e');
}

}  // namespace
