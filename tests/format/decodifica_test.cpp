// The decoders of the compiled files, and the pieces of the compile command
// that work without running it: identifiers and the line of a stop.
#include <gtest/gtest.h>

#include <optional>

#include "format/binario.h"
#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "scenario_files/identificativi.h"
#include "tests/cartella_temporanea.h"
#include "tools/compila.h"

namespace {

using formato::errore_decodifica;
using modello::valore_geometria;

// A model whose every field holds a value of its own, with the extremes of
// each width, so that a swapped or misread field changes the bytes.
struct campione {
    std::vector<modello::cella> percorso;
    std::array<modello::voce_tabella, modello::record_tabella> tabella{};
    modello::geometria_linea geometria{2};

    campione() {
        percorso.resize(3);
        percorso[1] = {1, -32768, 32767, -2, 3, 255, 84, 7, 23, 92, 70};
        percorso[2] = {14, 80, 0, 1, -1, 0, 1, 2, 3, 4, 5};
        auto& v = tabella[3];
        v = {12, -500, 2147483647, -2147483647 - 1, 200, "Città (Km 4+400)", -7, 8, 10, 11, 12, 9, 13, 6, 5, 86399};
        tabella[85].nome = "Valdora_Sarenta";
        geometria.imposta(0, 0, valore_geometria::da_intero(-3));
        geometria.imposta(1, 0, valore_geometria::da_reale(0.001));
        geometria.imposta(0, 1, valore_geometria::da_intero(0));
        geometria.imposta(1, 1, valore_geometria::da_reale(-1e300));
        // metre 2 of both components stays empty
    }
};

TEST(Decodifica, RileggeCioCheScrivonoGliScrittori) {
    const campione c;
    const std::string percorso = formato::immagine_percorso(c.percorso);
    const std::string tabella = formato::immagine_tabella(c.tabella);
    const std::string geometria = formato::immagine_geometria(c.geometria);

    const auto celle = formato::decodifica_percorso(percorso, "r.dat");
    const auto voci = formato::decodifica_tabella(tabella, "t.sim");
    const auto g = formato::decodifica_geometria(geometria, "g.dat");

    // Written again, every field lands where it came from.
    EXPECT_EQ(formato::immagine_percorso(celle), percorso);
    EXPECT_EQ(formato::immagine_tabella(voci), tabella);
    EXPECT_EQ(formato::immagine_geometria(g), geometria);

    ASSERT_EQ(celle.size(), 3u);
    EXPECT_EQ(celle[1].valore_1, -32768);
    EXPECT_EQ(celle[1].aderenza, 70);
    EXPECT_EQ(voci[3].nome, "Città (Km 4+400)") << "names come back as UTF-8";
    EXPECT_EQ(voci[3].orario, 86399);
    EXPECT_EQ(g.ultimo_metro(), 2);
    EXPECT_TRUE(g.at(2, 0).vuoto());
    EXPECT_EQ(g.at(0, 0).etichetta, valore_geometria::tipo::intero);
    EXPECT_EQ(g.at(1, 1).reale, -1e300);
}

std::size_t decodifica_e_offset(const std::string& tipo, const std::string& byte) {
    try {
        if (tipo == "route") formato::decodifica_percorso(byte, "x_1.dat");
        else if (tipo == "table") formato::decodifica_tabella(byte, "x_1.sim");
        else formato::decodifica_geometria(byte, "x_linea.dat");
    } catch (const errore_decodifica& e) {
        EXPECT_EQ(std::string(e.what()).rfind(e.file() + ": byte " + std::to_string(e.offset()) + ": ", 0), 0u)
            << e.what();
        return e.offset();
    }
    ADD_FAILURE() << tipo << " of " << byte.size() << " bytes decoded without complaint";
    return 0;
}

TEST(Decodifica, FileMalformatiNominanoIlByteDelGuasto) {
    const campione c;
    const std::string tabella = formato::immagine_tabella(c.tabella);
    // Record 3 starts after three empty records of 34 bytes; its name after 16 more.
    const std::size_t nome_3 = 3 * 34 + 16;
    auto tag = [](std::uint16_t t) { return std::string{static_cast<char>(t & 0xFF), static_cast<char>(t >> 8)}; };
    struct caso {
        const char* come;
        std::string tipo;
        std::string byte;
        std::size_t offset;
    };
    const caso casi[] = {
        {"empty route file", "route", "", 0},
        {"route cut inside cell 1", "route", std::string(20, '\0'), 15},
        {"table cut inside a name", "table", tabella.substr(0, nome_3 + 3), nome_3},
        {"table with a byte after record 86", "table", tabella + "x", tabella.size()},
        {"table of 86 records", "table", std::string(86 * 34, '\0'), 86 * 34},
        {"empty geometry", "geometry", "", 0},
        {"unknown tag in the second element", "geometry", tag(2) + std::string(2, '\0') + tag(7) + tag(0), 4},
        {"double cut short", "geometry", tag(0) + tag(5) + std::string(5, '\1'), 4},
        {"odd number of elements", "geometry", tag(0) + tag(0) + tag(0), 6},
    };
    for (const auto& k : casi) EXPECT_EQ(decodifica_e_offset(k.tipo, k.byte), k.offset) << k.come;
}

// Any prefix of a valid file decodes cleanly or fails with an offset inside
// what it was given; none reads past its end (run under the sanitizers too).
TEST(Decodifica, OgniTroncamentoFallisceDentroIlFile) {
    const campione c;
    std::vector<modello::cella> lunga(40, c.percorso[1]);
    modello::geometria_linea g(60);
    for (std::int32_t m = 0; m < 60; ++m) {
        g.imposta(m, 0, m % 3 == 0 ? valore_geometria::da_intero(static_cast<std::int16_t>(m))
                                : valore_geometria::da_reale(m * 0.5));
        g.imposta(m, 1, valore_geometria::da_reale(-m * 1.0));
    }
    const std::pair<std::string, std::string> file[] = {{"route", formato::immagine_percorso(lunga)},
                                                        {"table", formato::immagine_tabella(c.tabella)},
                                                        {"geometry", formato::immagine_geometria(g)}};
    for (const auto& [tipo, intero] : file) {
        int rifiutati = 0;
        for (std::size_t n = 0; n < intero.size(); ++n) {
            const std::string parte = intero.substr(0, n);
            try {
                if (tipo == "route") formato::decodifica_percorso(parte, "f");
                else if (tipo == "table") formato::decodifica_tabella(parte, "f");
                else formato::decodifica_geometria(parte, "f");
            } catch (const errore_decodifica& e) {
                ++rifiutati;
                EXPECT_LE(e.offset(), n) << tipo << " cut at " << n;
            }
        }
        // A table needs all its records; route and geometry prefixes on a
        // boundary are files of their own.
        if (tipo == "table") EXPECT_EQ(rifiutati, static_cast<int>(intero.size())) << tipo;
        else EXPECT_GT(rifiutati, static_cast<int>(intero.size()) / 2) << tipo;
    }
}

TEST(Identificativi, DaiNomiDeiFileOppureDalleOpzioni) {
    using strumento::identificativi;
    struct caso {
        const char* linea_file;
        const char* treno_file;
        std::optional<std::string> linea, treno;
        std::optional<identificativi> atteso;  // nullopt: a usage error naming errore
        const char* errore = "";
    };
    const caso casi[] = {
        {"a/Valdora_Sarenta_linea.txt", "b/Valdora_Sarenta_731-.txt", {}, {}, identificativi{"Valdora_Sarenta", "731"}},
        {"mia_linea.txt", "treno.txt", {}, std::string("9"), identificativi{"mia", "9"}},
        {"linea.txt", "Alto_Passo_12-.txt", {}, {}, identificativi{"Alto_Passo", "12"}},
        {"linea.txt", "treno.txt", std::string("L"), std::string("7"), identificativi{"L", "7"}},
        {"X_linea.txt", "X_7-.txt", std::string("X"), std::string("7"), identificativi{"X", "7"}},
        {"linea.txt", "treno.txt", {}, std::string("7"), std::nullopt, "line identifier"},
        {"A_linea.txt", "B_7-.txt", {}, {}, std::nullopt, "train number"},
        {"A_linea.txt", "A_7-.txt", std::string("B"), {}, std::nullopt, "--linea B"},
        {"A_linea.txt", "A_7-.txt", {}, std::string("8"), std::nullopt, "--treno 8"},
        {"linea.txt", "treno.txt", std::string("a/b"), std::string("7"), std::nullopt, "a/b"},
    };
    for (const auto& k : casi) {
        const std::string come = std::string(k.linea_file) + " " + k.treno_file;
        if (k.atteso) {
            const auto id = strumento::scegli_identificativi(k.linea_file, k.treno_file, k.linea, k.treno);
            EXPECT_EQ(id.linea, k.atteso->linea) << come;
            EXPECT_EQ(id.treno, k.atteso->treno) << come;
        } else {
            try {
                strumento::scegli_identificativi(k.linea_file, k.treno_file, k.linea, k.treno);
                ADD_FAILURE() << come << " accepted";
            } catch (const strumento::errore_uso& e) {
                EXPECT_NE(std::string(e.what()).find(k.errore), std::string::npos) << come << ": " << e.what();
            }
        }
    }
}

TEST(RigaDelTesto, ContaLeRigheComeIlFlussoDeiCampi) {
    // CR LF, a lone LF and a lone CR each end one line; text is Windows-1252.
    const std::string f = "uno\r\ndue\ntre\rquattro \xe8\r\n";
    EXPECT_EQ(strumento::riga_del_testo(f, 1), "uno");
    EXPECT_EQ(strumento::riga_del_testo(f, 2), "due");
    EXPECT_EQ(strumento::riga_del_testo(f, 3), "tre");
    EXPECT_EQ(strumento::riga_del_testo(f, 4), "quattro è");
    EXPECT_EQ(strumento::riga_del_testo(f, 6), std::nullopt);

    // After a last line end the stream stands on one more, empty line; a
    // last line without an end is still a line.
    struct {
        std::string testo;
        int k;
        std::optional<std::string> attesa;
    } const bordi[] = {
        {"a\r\n", 2, ""}, {"a\r\n", 3, std::nullopt}, {"a\n\nb", 2, ""},     {"a\n\nb", 3, "b"},
        {"a", 2, std::nullopt}, {"", 1, ""},            {"", 2, std::nullopt}, {"a", 0, std::nullopt},
    };
    for (const auto& b : bordi) EXPECT_EQ(strumento::riga_del_testo(b.testo, b.k), b.attesa) << b.testo << " / " << b.k;
}

}  // namespace
