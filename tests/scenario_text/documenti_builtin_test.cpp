// The slowdown order and the notes, read back as the files they become and
// checked against the train file; and the three driver's documents as the
// emitters write them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "scenario_text/emettitore.h"
#include "scenario_text/emettitori.h"
#include "scenario_text/righe_builtin.h"
#include "tests/cartella_temporanea.h"
#include "tests/scenario_text/dati_builtin_letti.h"

namespace {

template <std::size_t N>
std::vector<std::string> righe_file(const std::array<std::string_view, N>& doc) {
    return test_util::righe_crlf(testi_scenario::testo_file(testi_scenario::con_sentinella(doc)));
}

const std::string rallentamento_vuoto =
    " |   |                            |            |          |         |            |";
const std::string chiusura_rallentamenti =
    " |___|____________________________|____________|__________|_________|____________|";

// A row of the slowdown table split into its six cells; empty when the
// row is not 82 characters of a blank, a bar and six cells closed by bars.
std::vector<std::string> celle_rallentamento(const std::string& riga) {
    static const std::vector<std::size_t> barre{1, 5, 34, 47, 58, 68, 81};
    if (riga.size() != 82 || riga[0] != ' ') return {};
    for (std::size_t c = 1; c < riga.size(); ++c)
        if ((riga[c] == '|') != std::binary_search(barre.begin(), barre.end(), c)) return {};
    std::vector<std::string> out;
    for (std::size_t k = 0; k + 1 < barre.size(); ++k) out.push_back(riga.substr(barre[k] + 1, barre[k + 1] - barre[k] - 1));
    return out;
}

TEST(RallentamentiBuiltin, ModuloRigaPerRiga) {
    const auto r = righe_file(testi_scenario::righe_rallentamenti);
    ASSERT_EQ(r.size(), 44u);
    const auto stazioni = test_util::stazioni_treno();
    ASSERT_FALSE(stazioni.empty());
    const std::map<int, std::string> fisse{
        {1, ""},
        {2, "                               Modulo M. 3"},
        {3, "                           ORDINE DI RALLENTAMENTO"},
        {4, " ________________________________________________________________________________"},
        {5, " Linea  " + stazioni.front().nome + " - " + stazioni.back().nome},
        {6, ""},
        {7, "  Si ordina al macchinista del treno  731  di effettuare i seguenti rallentamenti"},
        {8, "  _______________________________________________________________________________"},
        {9, " |   |                            |Inizio dopo |          |         |            |"},
        {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
        {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
        {12, chiusura_rallentamenti},
        {37, chiusura_rallentamenti},
        {38, ""},
        {39, "              Prescrizioni specifiche"},
        {40, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
        {41, " B - Interessa anche la stazione di......."},
        {42, " D - Rallentamneto N. ... e N. ...  sono contigui"},
        {43, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
        {44, "     i giorni esclusi i seguenti:........."},
    };
    for (const auto& [n, t] : fisse) EXPECT_EQ(r[static_cast<std::size_t>(n - 1)], t) << "line " << n;
    for (int n = 13; n <= 36; ++n) {
        const auto& riga = r[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(celle_rallentamento(riga).size(), 6u) << "line " << n << ": [" << riga << "]";
        EXPECT_EQ(riga == rallentamento_vuoto, n >= 16) << "line " << n;
    }
}

TEST(RallentamentiBuiltin, RigheDeiRallentamentiDelTreno) {
    const auto r = righe_file(testi_scenario::righe_rallentamenti);
    ASSERT_EQ(r.size(), 44u);
    const auto rallentamenti = test_util::rallentamenti_treno();
    const auto stazioni = test_util::stazioni_treno();
    const long origine = test_util::progressiva_origine();
    ASSERT_EQ(rallentamenti.size(), 3u);

    const auto a_destra = [](long v, std::size_t larghezza) {
        const std::string s = std::to_string(v);
        return std::string(larghezza - s.size(), ' ') + s;
    };
    for (std::size_t i = 0; i < rallentamenti.size(); ++i) {
        const auto& x = rallentamenti[i];
        const auto c = celle_rallentamento(r[12 + i]);
        ASSERT_EQ(c.size(), 6u) << r[12 + i];
        EXPECT_EQ(c[0], " " + std::to_string(i + 1) + " ");
        // The stations on either side of the whole slowdown.
        const auto dopo = std::find_if(stazioni.begin(), stazioni.end(),
                                       [&](const auto& s) { return s.posizione >= x.posizione + x.lunghezza; });
        ASSERT_NE(dopo, stazioni.begin());
        ASSERT_NE(dopo, stazioni.end());
        ASSERT_LE(std::prev(dopo)->posizione, x.posizione);
        std::string fra = " " + std::prev(dopo)->nome + " - " + dopo->nome;
        ASSERT_LE(fra.size(), 28u);
        fra.resize(28, ' ');
        EXPECT_EQ(c[1], fra);
        // The last whole-kilometre milestone before the start, the
        // progressive falling in the direction of travel.
        const long cippo = (origine - x.posizione + 999) / 1000;
        EXPECT_EQ(c[2], "    " + std::to_string(cippo) + "     ");
        EXPECT_EQ(c[3], "    " + std::to_string(x.velocita) + "    ");
        EXPECT_EQ(c[4], a_destra(x.lunghezza, 6) + "   ");
        EXPECT_EQ(c[5], "   -----    ");
    }
}

TEST(NoteBuiltin, OttoRighe) {
    const auto r = righe_file(testi_scenario::righe_note);
    ASSERT_EQ(r.size(), 8u);
    const auto stazioni = test_util::stazioni_treno();
    ASSERT_FALSE(stazioni.empty());
    EXPECT_TRUE(std::regex_match(r[0], std::regex(R"(Simulazione del treno IC 731 '[^']+' \S.* - .*\S nel tratto )")))
        << r[0];
    EXPECT_EQ(r[1], test_util::come_nome(stazioni.front().nome) + " - " + test_util::come_nome(stazioni.back().nome) + ".");
    EXPECT_EQ(r[2], "La simulazione non presenta particolari difficolt\xE0.");
    EXPECT_EQ(r[3], "Buon divertimento");
    EXPECT_TRUE(std::regex_match(r[4], std::regex(R"( {19}\S.*)"))) << r[4];
    EXPECT_TRUE(std::regex_match(r[5], std::regex(R"( {18}\(\S.*\))"))) << r[5];
    const std::regex edizione(
        R"(Orario (Gennaio|Febbraio|Marzo|Aprile|Maggio|Giugno|Luglio|Agosto|Settembre|Ottobre|Novembre|Dicembre) [12][0-9]{3})");
    EXPECT_TRUE(std::regex_match(r[6], edizione)) << r[6];
    EXPECT_EQ(r[7], "1A");
}

TEST(DocumentiBuiltin, GliEmettitoriScrivonoITreDocumenti) {
    test_util::CartellaTemporanea dir;
    modello::Modello m;
    m.nome_linea = "Valdora_Sarenta";
    m.numero_treno = "731";
    m.cartella = dir.percorso();
    testi_scenario::dati_note(m);
    testi_scenario::dati_rallentamenti(m);
    testi_scenario::dati_scheda(m);

    const std::map<std::string, std::size_t> attesi{
        {"Valdora_Sarenta_731_note.txt", 8},
        {"Valdora_Sarenta_731_rallentamenti.txt", 44},
        {"Valdora_Sarenta_731_scheda_treno.txt", 204},
    };
    std::vector<std::string> nomi;
    for (const auto& [nome, righe] : attesi) nomi.push_back(nome);
    ASSERT_EQ(test_util::elenco(dir.percorso()), nomi);

    for (const auto& [nome, righe] : attesi) {
        const std::string testo = test_util::leggi(dir.percorso() / nome);
        EXPECT_EQ(test_util::righe_crlf(testo).size(), righe) << nome;
        EXPECT_TRUE(testo.ends_with("\r\n")) << nome;
        EXPECT_EQ(std::count(testo.begin(), testo.end(), '\r'), static_cast<long>(righe)) << nome;
        EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), static_cast<long>(righe)) << nome;
        // Single-byte text: all ASCII but the notes' one "à", byte 224.
        const auto alti = std::count_if(testo.begin(), testo.end(), [](char c) { return static_cast<unsigned char>(c) > 126; });
        if (nome.ends_with("_note.txt")) {
            EXPECT_EQ(alti, 1) << nome;
            EXPECT_NE(testo.find("\r\nLa simulazione non presenta particolari difficolt\xE0.\r\n"), std::string::npos);
        } else {
            EXPECT_EQ(alti, 0) << nome;
        }
    }
}

}  // namespace
