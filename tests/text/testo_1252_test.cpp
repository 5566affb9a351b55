#include "text/testo_1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, ConverteOgniCarattereInUnByte) {
    struct Caso {
        const char* utf8;
        std::string atteso;
    } casi[] = {
        {"Km 345+557", "Km 345+557"},
        {"verr\xC3\xA0", "verr\xE0"},            // a grave: byte 224
        {"\xE2\x82\xAC", "\x80"},                // euro sign
        {"\xE2\x80\x99", "\x92"},                // right single quote
        {"\xE4\xB8\xAD", "?"},                   // no byte in the code page
        {"\xF0\x9F\x9A\x82!", "?!"},             // four-byte sequence
        {"a\xC3", "a?"},                         // cut sequence
        {"\xC0\xAF", "??"},                      // overlong form
    };
    for (const auto& c : casi) EXPECT_EQ(testo::a_cp1252(c.utf8), c.atteso) << c.utf8;
}

TEST(Cp1252, OgniByteLettoTornaUgualeAllaScrittura) {
    std::string tutti;
    for (int b = 1; b < 256; ++b) tutti.push_back(static_cast<char>(b));
    EXPECT_EQ(testo::a_cp1252(testo::da_cp1252(tutti)), tutti);
    EXPECT_EQ(testo::da_cp1252("verr\xE0 \x80"), "verr\xC3\xA0 \xE2\x82\xAC");
}

}  // namespace
