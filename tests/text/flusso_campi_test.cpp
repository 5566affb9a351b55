#include "text/flusso_campi.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

using testo::errore_lettura;
using testo::flusso_campi;

// One read: a text field with its expected value, or a Long.
using Lettura = std::variant<std::string, std::int32_t>;

struct Caso {
    const char* nome;
    std::string file;
    std::vector<Lettura> letture;
    bool fine_dopo;  // no byte left after the reads
};

TEST(FlussoCampi, RegoleDeiCampi) {
    const Caso casi[] = {
        {"commas and line ends", "a,b\r\nc", {"a", "b", "c"}, true},
        {"every kind of line end", "a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}, true},
        {"blank-separated numbers, blank at the end",
         "orologio,    6               32            30 \r\nX", {"orologio", 6, 32, 30, "X"}, true},
        {"empty numeric fields", "  ,  ,\t5,", {0, 0, 5}, true},
        {"text keeps inner blanks, loses outer ones", "  lunghezza \t percorso \t ,1", {"lunghezza \t percorso", 1}, true},
        {"quoted text holds a comma", "\"a, b\" resto,dopo", {"a, b", "dopo"}, true},
        {"unclosed quote runs to the line end", "\"abc\r\nz", {"abc", "z"}, true},
        {"junk after a number is skipped", "12abc,12.5,abc,-7,+8", {12, 12, 0, -7, 8}, true},
        {"a sign alone reads 0", "-,+", {0, 0}, true},
        {"a quoted number reads 0", "\"12\",3", {0, 3}, true},
        {"number then blanks then comma", "5   ,6", {5, 6}, true},
        {"number then blanks then another number", "5   6", {5, 6}, true},
        {"field at the end without a delimiter", "x,7", {"x", 7}, true},
        {"blanks only at the end make an empty field", "x,   ", {"x", ""}, true},
        {"Long limits", "2147483647,-2147483648", {2147483647, -2147483647 - 1}, true},
        {"an empty line is an empty field", "\r\n", {""}, true},
        {"bytes are Windows-1252", "verr\xE0", {"verr\xC3\xA0"}, true},
        {"not at the end yet", "a,b", {"a"}, false},
    };
    for (const auto& c : casi) {
        flusso_campi f(c.file);
        for (const auto& l : c.letture) {
            if (const auto* t = std::get_if<std::string>(&l)) EXPECT_EQ(f.leggi_testo(), *t) << c.nome;
            else EXPECT_EQ(f.leggi_long(), std::get<std::int32_t>(l)) << c.nome;
        }
        EXPECT_EQ(f.fine(), c.fine_dopo) << c.nome;
    }
}

TEST(FlussoCampi, FallimentiInLettura) {
    const std::pair<const char*, std::function<void(flusso_campi&)>> casi[] = {
        {"", [](flusso_campi& f) { f.leggi_testo(); }},
        {"", [](flusso_campi& f) { f.leggi_long(); }},
        {"a", [](flusso_campi& f) { f.leggi_testo(); f.leggi_long(); }},
        {"2147483648", [](flusso_campi& f) { f.leggi_long(); }},
        {"-2147483649", [](flusso_campi& f) { f.leggi_long(); }},
        {"99999999999999999999999", [](flusso_campi& f) { f.leggi_long(); }},
        {"32768", [](flusso_campi& f) { f.leggi_integer(); }},
        {"-32769", [](flusso_campi& f) { f.leggi_integer(); }},
        {"256", [](flusso_campi& f) { f.leggi_byte(); }},
        {"-1", [](flusso_campi& f) { f.leggi_byte(); }},
    };
    for (const auto& [file, lettura] : casi) {
        flusso_campi f(file);
        EXPECT_THROW(lettura(f), errore_lettura) << '"' << file << '"';
    }
    flusso_campi limiti("-32768,32767,0,255");
    EXPECT_EQ(limiti.leggi_integer(), -32768);
    EXPECT_EQ(limiti.leggi_integer(), 32767);
    EXPECT_EQ(limiti.leggi_byte(), 0);
    EXPECT_EQ(limiti.leggi_byte(), 255);
}

// A field that fails to read says its text as written (none when the file
// ends before it), why and its line; the fields begun are counted, the
// failing one too, for a reader to tell which value of a row it was.
TEST(FlussoCampi, UnCampoCheNonSiLeggeDiceTestoMotivoERiga) {
    struct caso {
        const char* file;
        std::function<void(flusso_campi&)> lettura;
        std::optional<std::string> testo;
        std::string perche;
        int riga;
        int campi;
    };
    const caso casi[] = {
        {"x\r\n  40000kg  ,5", [](flusso_campi& f) { f.leggi_testo(); f.leggi_integer(); }, "40000kg",
         "out of the Integer range (-32768 to 32767)", 2, 2},
        {"300\xE0,1", [](flusso_campi& f) { f.leggi_byte(); }, "300\xC3\xA0", "out of the Byte range (0 to 255)", 1, 1},
        {"-2147483649", [](flusso_campi& f) { f.leggi_long(); }, "-2147483649",
         "out of the Long range (-2147483648 to 2147483647)", 1, 1},
        {"a\r\n", [](flusso_campi& f) { f.leggi_testo(); f.leggi_long(); }, std::nullopt, "the file ends before it", 2, 2},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.file);
        flusso_campi f(c.file);
        try {
            c.lettura(f);
            ADD_FAILURE() << "no failure";
        } catch (const errore_lettura& e) {
            ASSERT_TRUE(e.campo().has_value());
            EXPECT_EQ(e.campo()->testo, c.testo);
            EXPECT_EQ(e.campo()->perche, c.perche);
            EXPECT_EQ(e.campo()->riga, c.riga);
        }
        EXPECT_EQ(f.campi_letti(), c.campi);
    }
    // The same reads a field short of the failure: nothing thrown.
    flusso_campi f("x\r\n  32767kg  ,5");
    f.leggi_testo();
    EXPECT_EQ(f.leggi_integer(), 32767);
}

TEST(FlussoCampi, SaLaRigaDiOgniCampo) {
    flusso_campi f("a,b\r\n\r\nc\nd, e\r");
    std::vector<int> righe;
    while (!f.fine()) {
        f.leggi_testo();
        righe.push_back(f.riga_campo());
    }
    EXPECT_EQ(righe, (std::vector<int>{1, 1, 2, 3, 4, 4}));
}

// Where a number stands in the text, for the tools that tell what the
// reader skipped: sign, digits and the characters up to the field's end.
TEST(FlussoCampi, UnNumeroDiceDoveStannoSegnoCifreEScarti) {
    struct {
        std::string testo;
        std::int32_t valore;
        std::size_t inizio;
        bool segno;
        std::size_t cifre_da, cifre_a, fine_campo, dopo;
    } const casi[] = {
        {"12,x", 12, 0, false, 0, 2, 2, 3},
        {"  12.5,x", 12, 2, false, 2, 4, 6, 7},
        {"\t-7 km\r\n", -7, 1, true, 2, 3, 3, 4},  // "km" after the blank is left for the next field
        {"+,", 0, 0, true, 1, 1, 1, 2},
        {"abc\n", 0, 0, false, 0, 0, 3, 4},
        {"30:00 ,", 30, 0, false, 0, 2, 5, 7},
        {"5", 5, 0, false, 0, 1, 1, 1},
    };
    for (const auto& c : casi) {
        flusso_campi f(c.testo);
        EXPECT_EQ(f.leggi_long(), c.valore) << c.testo;
        const auto& n = f.ultimo_numero();
        EXPECT_EQ(n.inizio, c.inizio) << c.testo;
        EXPECT_EQ(n.segno, c.segno) << c.testo;
        EXPECT_EQ(n.cifre_da, c.cifre_da) << c.testo;
        EXPECT_EQ(n.cifre_a, c.cifre_a) << c.testo;
        EXPECT_EQ(n.fine_campo, c.fine_campo) << c.testo;
        EXPECT_EQ(f.posizione(), c.dopo) << c.testo;
    }
}

}  // namespace
