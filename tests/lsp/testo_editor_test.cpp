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
        {"a\uFFFFb", "a?b", 1},     // the last of one unit
        {"a\U00010000b", "a??b", 1}, // the first of two
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

// A ranged change applied to the editor's UTF-8 text: lines end with CR LF,
// CR or LF, columns count UTF-16 units, a column inside a surrogate pair is
// before its character.
TEST(TestoEditor, UnaModificaAlSuoIntervallo) {
    struct caso {
        const char* nome;
        const char* prima;
        lsp::intervallo r;
        const char* nuovo;
        const char* dopo;
    };
    const caso casi[] = {
        {"inside a line", "abc", {{0, 1}, {0, 2}}, "X", "aXc"},
        {"across CR LF lines", "uno\r\ndue\r\ntre", {{0, 2}, {2, 1}}, "-", "un-re"},
        {"a lone CR and a LF end lines", "a\rb\nc", {{1, 0}, {2, 0}}, "", "a\rc"},
        {"a whole line taken out with its end", "a\r\nb\r\nc", {{1, 0}, {2, 0}}, "", "a\r\nc"},
        {"a column past its line's end", "ab\r\ncd", {{0, 5}, {0, 9}}, "X", "abX\r\ncd"},
        {"the column 2^31 - 1", "ab\ncd", {{0, 2147483647}, {1, 0}}, "", "abcd"},
        {"a line past the last", "ab\n", {{2, 0}, {3, 4}}, "X", "ab\nX"},
        {"the last line, empty", "ab\n", {{1, 0}, {1, 0}}, "X", "ab\nX"},
        {"an end before the start", "abc", {{0, 2}, {0, 1}}, "X", "abXc"},
        {"an end inside a surrogate pair", "a😀b", {{0, 1}, {0, 2}}, "X", "aX😀b"},
        {"an end after the pair", "a😀b", {{0, 1}, {0, 3}}, "X", "aXb"},
        {"a start inside the pair", "a😀b", {{0, 2}, {0, 3}}, "", "ab"},
        {"U+FFFF is one unit", "\uFFFFbc", {{0, 1}, {0, 2}}, "X", "\uFFFFXc"},
        {"U+10000 is two", "\U00010000bc", {{0, 2}, {0, 3}}, "X", "\U00010000Xc"},
        {"a two-byte and a three-byte letter are one unit each", "è✓b", {{0, 2}, {0, 3}}, "X", "è✓X"},
    };
    for (const auto& c : casi) EXPECT_EQ(lsp::sostituisci(c.prima, c.r, c.nuovo), c.dopo) << c.nome;
}

// A request's place in the Windows-1252 text: none past the last line, the
// column taken back to its line's end.
TEST(TestoEditor, IlPostoDiUnaRichiesta) {
    struct caso {
        lsp::posizione p;
        bool dentro;
        int colonna;
    };
    const std::string testo = "ab\r\ncde\rf\n";  // lines "ab", "cde", "f" and an empty last
    const caso casi[] = {
        {{0, 2}, true, 2},  {{0, 3}, true, 2},          {{1, 3}, true, 3}, {{1, 2147483647}, true, 3},
        {{2, 0}, true, 0},  {{3, 0}, true, 0},          {{4, 0}, false, 0}, {{2147483647, 0}, false, 0},
    };
    for (const auto& c : casi) {
        const auto q = lsp::nel_testo(testo, c.p);
        ASSERT_EQ(q.has_value(), c.dentro) << c.p.riga << ":" << c.p.colonna;
        if (q) {
            EXPECT_EQ(q->riga, c.p.riga);
            EXPECT_EQ(q->colonna, c.colonna) << c.p.riga << ":" << c.p.colonna;
        }
    }
}

}  // namespace
