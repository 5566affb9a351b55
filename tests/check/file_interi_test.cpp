// What check and compile tell of a file as a whole (an encoding the readers
// cannot read, no [generale]), and text from the files shown safe to print
// by every command.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "check/file_interi.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using strumento::codifica;
using test_util::CartellaTemporanea;

test_util::Esito strumento_(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

std::string fixture(const std::string& nome) { return test_util::leggi(fs::path(FIXTURES_DIR) / nome); }

// The same text as UTF-16, each byte of ASCII text widened.
std::string utf16(const std::string& s, bool little, bool bom) {
    std::string r = bom ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (const char c : s) {
        if (little) r += c, r += '\0';
        else r += '\0', r += c;
    }
    return r;
}

TEST(FileInteri, LaCodificaSiRiconosceDaiByte) {
    const std::string t = fixture("Prova_1-.txt");
    struct caso {
        const char* come;
        std::string byte;
        codifica attesa;
    } casi[] = {
        {"Windows-1252", t, codifica::windows_1252},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + t, codifica::windows_1252},
        {"UTF-16 LE with its mark", utf16(t, true, true), codifica::utf16le},
        {"UTF-16 BE with its mark", utf16(t, false, true), codifica::utf16be},
        {"UTF-16 LE without a mark", utf16(t, true, false), codifica::utf16le},
        {"UTF-16 BE without a mark", utf16(t, false, false), codifica::utf16be},
        {"a short UTF-16 file", utf16("[generale]", true, false), codifica::utf16le},
        // A stray zero byte or two in a Windows-1252 file is no UTF-16.
        {"a few zero bytes", t.substr(0, 40) + std::string(3, '\0') + t.substr(40), codifica::windows_1252},
        {"empty", "", codifica::windows_1252},
        // At the limits: four bytes are enough, three are not; 7 pairs in 10
        // with a zero in their odd byte make UTF-16, 6 do not; a zero in the
        // other byte of 1 pair in 10 spoils it.
        {"four bytes", std::string("a\0b\0", 4), codifica::utf16le},
        {"three bytes", std::string("a\0b", 3), codifica::windows_1252},
        {"7 pairs in 10", std::string("a\0a\0a\0a\0a\0a\0a\0aaaaaa", 20), codifica::utf16le},
        {"6 pairs in 10", std::string("a\0a\0a\0a\0a\0a\0aaaaaaaa", 20), codifica::windows_1252},
        {"zeros on both sides", std::string("a\0a\0a\0a\0a\0a\0a\0a\0a\0\0\0", 20), codifica::windows_1252},
        {"nearly so", std::string("a\0a\0a\0a\0a\0a\0a\0a\0a\0a\0", 20), codifica::utf16le},
    };
    for (const auto& c : casi) EXPECT_EQ(strumento::riconosci_codifica(c.byte), c.attesa) << c.come;
}

TEST(FileInteri, GeneraleSiTrovaComeLoCercanoILettori) {
    struct caso {
        std::string byte;
        std::optional<int> riga;
    } casi[] = {
        {"[generale]\r\nx, 1\r\n", 1},
        {"- intro\r\n[GENERALE]\r\n", 2},                // any case
        {"- intro\r\n- see below, [Generale] x\r\n", 2},  // anywhere in a field
        {"[general]\r\n", std::nullopt},
        {"[ generale]\r\n", std::nullopt},
        {"\"x\" [generale]\r\n", std::nullopt},  // skipped after a quoted value
        {"", std::nullopt},
    };
    for (const auto& c : casi) EXPECT_EQ(strumento::riga_generale(c.byte), c.riga) << c.byte;
}

struct controllo_json {
    int stato;
    json j;
};

controllo_json controlla(const std::string& linea, const std::string& treno) {
    CartellaTemporanea dir;
    test_util::scrivi(dir.percorso() / "L_linea.txt", linea);
    test_util::scrivi(dir.percorso() / "L_1-.txt", treno);
    const auto e = strumento_({"check", (dir.percorso() / "L_linea.txt").string(),
                               (dir.percorso() / "L_1-.txt").string(), "--json"});
    return {e.stato, json::parse(e.uscita)};
}

// Each whole-file finding is one error at line 1 of its file, in place of the
// problems of its rows; the close case next to it reads as it should.
TEST(FileInteri, CheckLoDiceUnaVoltaAllaRigaUno) {
    const std::string linea = fixture("Prova_linea.txt");
    const std::string treno = fixture("Prova_1-.txt");
    const std::string senza = fixture("SenzaGenerale_1-.txt");
    struct caso {
        const char* come;
        std::string linea, treno;
        std::vector<std::string> attesi;  // file:line:label of each problem
    } casi[] = {
        {"train file without [generale]", linea, senza, {"treno:1:missing-generale"}},
        {"its header in capitals is read", linea, "[GENERALE]\r\n" + senza, {}},
        {"a header a letter short names the line", linea, "[general]\r\n" + senza, {"treno:1:missing-generale"}},
        {"line description without [generale]: the compiler's 102, no warning per row", linea.substr(12), treno,
         {"linea:1:102"}},
        {"UTF-16 train file", linea, utf16(treno, true, true), {"treno:1:file-encoding"}},
        {"UTF-16 line description without a mark", utf16(linea, true, false), treno, {"linea:1:file-encoding"}},
        {"UTF-8 byte-order mark: harmless", "\xEF\xBB\xBF" + linea, "\xEF\xBB\xBF" + treno, {}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.come);
        const auto r = controlla(c.linea, c.treno);
        std::vector<std::string> visti;
        for (const auto& p : r.j["problems"]) {
            const std::string file = p["file"].get<std::string>().ends_with("_linea.txt") ? "linea" : "treno";
            const std::string etichetta =
                p["code"].is_null() ? p["rule"].get<std::string>() : std::to_string(p["code"].get<int>());
            visti.push_back(file + ":" + std::to_string(p["line"].get<int>()) + ":" + etichetta);
        }
        EXPECT_EQ(visti, c.attesi) << r.j.dump(1);
        EXPECT_EQ(r.stato, c.attesi.empty() ? 0 : 2);
    }
    const auto r = controlla(linea, "[general]\r\n" + senza);
    EXPECT_NE(r.j["problems"][0]["message"].get<std::string>().find("line 1 holds '[general]'"), std::string::npos)
        << r.j.dump(1);
    // Three letters off is still named, four are not.
    const auto tre = controlla(linea, "[genrl]\r\n" + senza);
    EXPECT_NE(tre.j["problems"][0]["message"].get<std::string>().find("holds '[genrl]'"), std::string::npos)
        << tre.j.dump(1);
    const auto quattro = controlla(linea, "[gnrl]\r\n" + senza);
    EXPECT_NE(quattro.j["problems"][0]["message"].get<std::string>().find("write [generale] on a line of its own"),
              std::string::npos)
        << quattro.j.dump(1);
    const auto u = controlla(linea, utf16(treno, true, true));
    EXPECT_NE(u.j["problems"][0]["message"].get<std::string>().find("save it as Windows-1252"), std::string::npos);
}

// The stamps take cell 1's first two values when they are zero: an object
// there loses them without a conflict. An error at the row that placed it;
// with a nonzero digit the same row is the compiler's own 1250.
TEST(Timbri, SuUnOggettoSonoUnErroreAllaSuaRiga) {
    const std::string linea = fixture("Prova_linea.txt");
    const auto r = controlla(linea, fixture("segnale_allo_zero.txt"));
    ASSERT_EQ(r.j["problems"].size(), 1u) << r.j.dump(1);
    const auto& p = r.j["problems"][0];
    EXPECT_EQ(p["rule"], "stamp-overwrite");
    EXPECT_EQ(p["line"], 7);
    EXPECT_NE(p["message"].get<std::string>().find("the signal at metre 0 lies in cell 1 (m 50)"), std::string::npos)
        << p["message"];
    EXPECT_EQ(r.stato, 2);
    const auto vicino = controlla(linea, fixture("Prova_1250-.txt"));
    ASSERT_EQ(vicino.j["problems"].size(), 1u) << vicino.j.dump(1);
    EXPECT_EQ(vicino.j["problems"][0]["code"], 1250);
}

// No byte reaches the terminal that acts on it or hides: no control but line
// ends and tabs, no no-break space, byte-order mark or C1 control.
void senza_byte_nascosti(const std::string& s, const char* dove) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) {
            ADD_FAILURE() << dove << ": control byte " << int(b) << " at " << i;
            return;
        }
    }
    for (const char* nascosto : {"\xC2\xA0", "\xEF\xBB\xBF", "\xC2\x81", "\xC2\x9B"})
        EXPECT_EQ(s.find(nascosto), std::string::npos) << dove;
}

// Rows holding an ESC sequence, a NUL, a no-break space and a byte the code
// page leaves unused, echoed by check, compile, dump and plot.
TEST(UscitaSicura, OgniComandoMostraIByteComeEscape) {
    CartellaTemporanea dir;
    const std::string ostile = std::string("\x1b[2J\0\xA0\x81", 7);
    // The board row stops the line reader (a taken cell): compile echoes it.
    std::string linea = fixture("Occupato_linea.txt");
    linea.insert(linea.rfind("0\r\n[fine]") + 1, ostile);
    // An unknown keyword for check, a station name for dump and plot (behind
    // a line that reads to its end, so that the train file is read too).
    std::string treno = fixture("Prova_1-.txt");
    treno.insert(treno.find("BORGO") + 5, ostile);
    treno.insert(treno.find("[fine]"), "pendenze" + ostile + ",  2000,  6\r\n");
    test_util::scrivi(dir.percorso() / "Occupato_linea.txt", linea);
    test_util::scrivi(dir.percorso() / "Prova_linea.txt", fixture("Prova_linea.txt"));
    test_util::scrivi(dir.percorso() / "Occupato_1-.txt", treno);
    const std::string l = (dir.percorso() / "Occupato_linea.txt").string();
    const std::string t = (dir.percorso() / "Occupato_1-.txt").string();
    const std::string d = (dir.percorso() / "compilati").string();
    ASSERT_EQ(strumento_({"compile", (dir.percorso() / "Prova_linea.txt").string(), t, "--treno", "1", "-o", d}).stato,
              0);
    const std::string atteso = "\\x1b[2J\\x00<NBSP>\\x81";

    struct comando {
        std::vector<std::string> argomenti;
        bool mostra;  // echoes the hostile text
    } comandi[] = {
        {{"check", l, t}, true},
        {{"check", l, t, "--json"}, true},
        {{"compile", l, t}, true},
        {{"compile", l, t, "--json"}, false},
        {{"dump", d}, true},
        {{"dump", d, "--json"}, true},
        {{"plot", d, "-o", (dir.percorso() / "p.png").string()}, false},
    };
    for (const auto& c : comandi) {
        SCOPED_TRACE(c.argomenti[0] + (c.argomenti.size() > 3 ? " " + c.argomenti.back() : ""));
        const auto e = strumento_(c.argomenti);
        EXPECT_LT(e.stato, 3) << e.errori;
        senza_byte_nascosti(e.uscita, "stdout");
        senza_byte_nascosti(e.errori, "stderr");
        if (c.mostra) {
            // In JSON the escape's backslash is itself escaped.
            std::string cercato = atteso;
            if (c.argomenti.back() == "--json") {
                const std::string tra_virgolette = json(atteso).dump();
                cercato = tra_virgolette.substr(1, tra_virgolette.size() - 2);
            }
            EXPECT_NE(e.uscita.find(cercato), std::string::npos) << e.uscita;
        }
    }
    EXPECT_TRUE(fs::exists(dir.percorso() / "p.png"));
}

}  // namespace
