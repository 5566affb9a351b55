#include "text/visibile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each input with what a terminal is shown.
TEST(Visibile, OgniCarattereCheAgisceOSiNascondeHaUnaForma) {
    struct Caso {
        std::string testo;
        std::string atteso;
    } casi[] = {
        {"segnale,  4500", "segnale,  4500"},
        {"a\tb", "a\tb"},                                   // a tab stays
        {"C:\\Scenari", "C:\\Scenari"},                     // so does a backslash
        {"verr\xC3\xA0 \xE2\x82\xAC", "verr\xC3\xA0 \xE2\x82\xAC"},  // accented letters, euro
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x1b[31mrosso", "\\x1b[31mrosso"},
        {"a\rb\nc", "a\\x0db\\x0ac"},
        {"\x7f", "\\x7f"},
        {"\x1f \x20", "\\x1f  "},                           // last control, first printable
        {"\xC2\x81\xC2\x9F\xC2\xA1", "\\x81\\x9f\xC2\xA1"},  // C1 controls; inverted ! is text
        {"SAN\xC2\xA0LORENZO", "SAN<NBSP>LORENZO"},
        {"\xEF\xBB\xBF[generale]", "<BOM>[generale]"},
        {"co\xC2\xAD" "da", "co<SHY>da"},
        {"a\xE2\x80\x8B" "b\xE2\x80\xAE" "c", "a<U+200b>b<U+202e>c"},  // zero width, right-to-left override
        {"\xE2\x80\x94\xE2\x80\xB0", "\xE2\x80\x94\xE2\x80\xB0"},  // dash and per mille are text
        // The block U+2060 to U+206F with the bidirectional isolates U+2066 to
        // U+2069 in it: each end of both, its neighbour, and the first character past the block.
        {"\xE2\x81\xA0|\xE2\x81\xA5", "<U+2060>|<U+2065>"},
        {"\xE2\x81\xA6|\xE2\x81\xA9", "<U+2066>|<U+2069>"},
        {"\xE2\x81\xAA|\xE2\x81\xAF|\xE2\x81\xB0", "<U+206a>|<U+206f>|\xE2\x81\xB0"},  // superscript 0 is text
        // Blanks other than the plain one: each end of each range, and the text beside it.
        {"\xE1\xBF\xBE|\xE2\x80\x80|\xE2\x80\x8A", "\xE1\xBF\xBE|<U+2000>|<U+200a>"},
        {"\xE2\x80\xAF|\xE2\x80\xB0", "<U+202f>|\xE2\x80\xB0"},
        {"\xE2\x81\x9E|\xE2\x81\x9F", "\xE2\x81\x9E|<U+205f>"},
        {"\xE3\x80\x80|\xE3\x80\x81", "<U+3000>|\xE3\x80\x81"},
        {"a\xC3", "a\\xc3"},                                // cut sequence
        {"\xC0\xAF", "\\xc0\\xaf"},                         // overlong form
        {"\xED\xA0\x80", "\\xed\\xa0\\x80"},                // surrogate
        {"\xF0\x9F\x9A\x82", "\xF0\x9F\x9A\x82"},           // four bytes, valid
    };
    for (const auto& c : casi) EXPECT_EQ(testo::visibile(c.testo), c.atteso) << c.atteso;
}

TEST(Visibile, UnaRigaDelFileSiLeggeComeWindows1252) {
    EXPECT_EQ(testo::visibile_1252("citt\xE0\xA0\x1b"), "citt\xC3\xA0<NBSP>\\x1b");
    // The five bytes the code page leaves unused are shown as themselves.
    EXPECT_EQ(testo::visibile_1252("\x81\x8d\x8f\x90\x9d"), "\\x81\\x8d\\x8f\\x90\\x9d");
    EXPECT_EQ(testo::visibile_1252("\xEF\xBB\xBF[generale]"), "<BOM>[generale]");
    // Only at the start: elsewhere the same bytes are three letters.
    EXPECT_EQ(testo::visibile_1252("a\xEF\xBB\xBF"), "a\xC3\xAF\xC2\xBB\xC2\xBF");
}

TEST(Visibile, IlRisultatoEUtf8Valido) {
    std::string tutti;
    for (int b = 0; b < 256; ++b) tutti.push_back(static_cast<char>(b));
    const std::string v = testo::visibile(tutti);
    EXPECT_EQ(testo::visibile(v), v);  // nothing left to escape: valid UTF-8, no controls
    EXPECT_EQ(v.find('\x1b'), std::string::npos);
}

}  // namespace

namespace {

// A message of several lines keeps its line feeds, and only them: a carriage
// return or an escape inside a line is still shown.
TEST(Visibile, UnMessaggioSuPiuRigheTieneLeSueRighe) {
    const struct {
        std::string_view dentro, fuori;
    } casi[] = {
        {"", ""},
        {"una", "una"},
        {"una\ndue\n", "una\ndue\n"},
        {"\n\n", "\n\n"},
        {"a\r\nb", "a\\x0d\nb"},
        {"x\x1b[2Jy\nz", "x\\x1b[2Jy\nz"},
    };
    for (const auto& c : casi) EXPECT_EQ(testo::visibile_su_righe(c.dentro), c.fuori) << c.dentro;
}

}  // namespace
