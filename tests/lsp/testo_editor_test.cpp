// The editor's UTF-8 text as the readers' Windows-1252, one byte for each
// UTF-16 code unit, so that every column is the protocol's too.
#include <gtest/gtest.h>

#include <string>

#include "lsp/testo_editor.h"

namespace {

TEST(TestoEditor, UnByteOgniUnitaUtf16) {
    struct caso {
        const char* utf8;
        std::string byte;
        int fuori;  // characters Windows-1252 cannot hold
    };
    const caso casi[] = {
        {"stazione, 100", "stazione, 100", 0},
        {"Città €5 “x”", "Citt\xe0 \x80" "5 \x93x\x94", 0},
        {"\xc2\x81", "\x81", 0},  // a byte Windows-1252 leaves unused is still one byte
        {"a✓b", "a?b", 1},
        {"a😀b", "a??b", 1},        // beyond U+FFFF: two UTF-16 units, two bytes
        {"x\r\ny\rz\n", "x\r\ny\rz\n", 0},
        {"\xe2\x9c", "??", 2},     // a cut sequence: each byte stands for one character
    };
    for (const auto& c : casi) {
        const auto t = lsp::da_editore(c.utf8);
        EXPECT_EQ(t.byte, c.byte) << c.utf8;
        EXPECT_EQ(static_cast<int>(t.fuori.size()), c.fuori) << c.utf8;
    }
}

TEST(TestoEditor, IlCarattereFuoriStaAllaSuaColonnaUtf16) {
    // Line 2 (from 0) after a CR LF and a lone CR; before the tick an emoji
    // (two units) and an 'è' (one).
    const auto t = lsp::da_editore("uno\r\ndue\r😀è✓, x");
    ASSERT_EQ(t.fuori.size(), 2u);
    EXPECT_EQ(t.fuori[0].dove.riga, 2);
    EXPECT_EQ(t.fuori[0].dove.colonna, 0);
    EXPECT_EQ(t.fuori[0].unita, 2);
    EXPECT_EQ(t.fuori[1].dove.riga, 2);
    EXPECT_EQ(t.fuori[1].dove.colonna, 3);
    EXPECT_EQ(t.fuori[1].codice, U'✓');
    EXPECT_EQ(t.byte.substr(t.byte.size() - 7), "??\xe8?, x");
}

}  // namespace
