// The driver's documents from a pair: the built-in pair gives back the
// builder's own documents, and small pairs hold each rule at its limits.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "documents/celle.h"
#include "tests/documents/coppia_piccola.h"
#include "documents/documenti.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace {

using namespace strumento::documenti;

std::string byte_builtin(std::span<const std::string_view> righe) {
    const std::vector<std::string_view> v(righe.begin(), righe.end());
    return testi_scenario::testo_file(v);
}

fatti_coppia fatti_builtin() {
    return leggi_fatti(byte_builtin(testi_scenario::righe_linea), byte_builtin(testi_scenario::righe_treno));
}

dati_autore autore(std::string numero = "731") {
    dati_autore a;
    a.numero_treno = std::move(numero);
    return a;
}

using test_util::linea_piccola;
using test_util::treno_piccolo;

fatti_coppia fatti_piccoli(std::string_view rallentamenti) {
    return leggi_fatti(std::string(linea_piccola), treno_piccolo(rallentamenti));
}

TEST(OrdineRallentamenti, LaCoppiaBuiltinDaIlModuloDelBuilderByteAByte) {
    const auto d = ordine_rallentamenti(fatti_builtin(), autore());
    EXPECT_EQ(byte_documento(d), byte_builtin(testi_scenario::righe_rallentamenti));
    EXPECT_TRUE(d.avvisi.empty());
}

TEST(OrdineRallentamenti, IlCippoPrimaDellInizioNeiDueSensi) {
    struct caso {
        std::int64_t inizio;
        std::int64_t cippo;
    };
    // Growing figures up to 3000 m (km 10 + position), falling after
    // (km 20 - (position - 3000)).
    const caso casi[] = {
        {1000, 11}, {1050, 11}, {950, 10},    // at a milestone, just past it, just before the next
        {4000, 19}, {3950, 20}, {4050, 19},   // falling: at km 19, before it (km 19.050), just past it
    };
    for (const auto& c : casi) {
        const auto f = fatti_piccoli("");
        EXPECT_EQ(ultimo_cippo(f, c.inizio), c.cippo) << c.inizio;
    }
}

TEST(OrdineRallentamenti, PiuDiVentunoContinuanoSuUnSecondoModulo) {
    for (const std::size_t n : {std::size_t{21}, std::size_t{22}}) {
        std::string r;
        for (std::size_t i = 0; i < n; ++i) r += "rallentamento, " + std::to_string(100 + 50 * i) + ", 30, 50, 0, 0, 0\r\n";
        const auto d = ordine_rallentamenti(fatti_piccoli(r), autore("4021"));
        const std::size_t moduli = n == 21 ? 1 : 2;
        ASSERT_EQ(d.righe.size(), moduli * testi_scenario::righe_rallentamenti.size()) << n;
        EXPECT_EQ(d.righe[6], "  Si ordina al macchinista del treno  4021  di effettuare i seguenti rallentamenti");
        EXPECT_EQ(d.righe[4], " Linea  BORGO ALTO - VALLE NUOVA");
        EXPECT_EQ(d.righe[12 + 20].substr(0, 35), " |21 | BORGO ALTO - CASELLE       |");
        // The rows a form leaves past the 21st stay blank.
        EXPECT_EQ(d.righe[12 + 21], testi_scenario::righe_rallentamenti[35]);
        if (moduli == 2) {
            EXPECT_EQ(d.righe[44 + 12].substr(0, 5), " |22 ");
        }
        for (const auto& riga : d.righe) {
            if (riga.starts_with(" |")) {
                EXPECT_EQ(riga.size(), 82u) << riga;
            }
        }
    }
}

TEST(OrdineRallentamenti, NomeLungoTagliatoEValoreTroppoLargoErrore) {
    auto f = fatti_piccoli("rallentamento, 2500, 60, 400, 0, 0, 0\r\n");
    f.stazioni[1].nome = "CASELLE DI SOPRANOS";  // with " - PIANO" 27 characters: one past the cell
    auto d = ordine_rallentamenti(f, autore());
    ASSERT_EQ(d.avvisi.size(), 1u);
    EXPECT_NE(d.avvisi[0].find("CASELLE DI SOPRANOS - PIANO"), std::string::npos) << d.avvisi[0];
    EXPECT_EQ(d.righe[12].substr(0, 35), " | 1 | CASELLE DI SOPRANOS - PIAN |");
    f.stazioni[1].nome = "CASELLE DI SOPRANO";  // 26 characters: fits exactly
    d = ordine_rallentamenti(f, autore());
    EXPECT_TRUE(d.avvisi.empty());
    EXPECT_EQ(d.righe[12], " | 1 | CASELLE DI SOPRANO - PIANO |     12     |    60    |   400   |   -----    |");
    f.rallentamenti[0].velocita = 999999;  // six digits: fits
    EXPECT_NO_THROW(ordine_rallentamenti(f, autore()));
    f.rallentamenti[0].velocita = 1000000;
    EXPECT_THROW(ordine_rallentamenti(f, autore()), valore_troppo_largo);
}

}  // namespace

namespace {

TEST(Note, LePrimeDueRigheDallaCoppiaIlRestoDalleOpzioniODalModello) {
    auto a = autore();
    a.classificazione = "IC";
    a.nome_treno = "Lago Azzurro";
    a.percorso = "Portovesco - Sarenta";
    a.note = {"La simulazione non presenta particolari difficoltà.", "Buon divertimento",
              "                   Gli sviluppatori di scenario_builder", "                  (scenario_builder developers)",
              "Orario Dicembre 2023", "1A"};
    EXPECT_EQ(byte_documento(note_treno(fatti_builtin(), a)), byte_builtin(testi_scenario::righe_note));

    // Without options: the stretch stands for the run, and the template follows.
    const auto d = note_treno(fatti_piccoli(""), autore("88"));
    ASSERT_GE(d.righe.size(), 3u);
    EXPECT_EQ(d.righe[0], "Simulazione del treno 88 Borgo Alto - Valle Nuova nel tratto ");
    EXPECT_EQ(d.righe[1], "Borgo Alto - Valle Nuova.");
    EXPECT_EQ(d.righe.back(), "Orario (mese anno)");
}

}  // namespace
namespace {

using testi_scenario::righe_scheda;

// The built-in sheet's filled rows (its first two pages), split into cells.
struct riga_letta {
    std::string velocita, km, nome, orario;
};

std::string ritaglia(std::string_view s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// Blanks inside a cell collapsed: the built-in sheet sets two of its times
// one column off.
std::string compatto(std::string_view s) {
    std::string out;
    for (char c : ritaglia(s))
        if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    return out;
}

template <typename Righe>
std::vector<riga_letta> righe_piene(const Righe& righe, std::size_t fino_a) {
    std::vector<riga_letta> out;
    for (std::size_t i = 0; i < fino_a && i < righe.size(); ++i) {
        const std::string_view r = righe[i];
        const bool sbarre = r.size() == 83 && r[1] == '|' && r[7] == '|' && r[13] == '|' && r[24] == '|' &&
                            r[30] == '|' && r[59] == '|' && r[76] == '|' && r[82] == '|';
        if (!sbarre || r[14] == '_' || r.find("Vel.") != std::string_view::npos || ritaglia(r.substr(14, 10)).empty())
            continue;
        out.push_back({ritaglia(r.substr(2, 5)), ritaglia(r.substr(14, 10)), ritaglia(r.substr(31, 28)),
                       std::string(r.substr(60, 16))});
    }
    return out;
}

// The built-in sheet's rows of the train file's stations, in its order.
std::vector<riga_letta> stazioni_del_foglio(const std::vector<riga_letta>& righe, const fatti_coppia& f) {
    std::vector<riga_letta> out;
    for (const auto& r : righe)
        for (const auto& s : f.stazioni)
            if (r.nome == in_maiuscolo(s.nome)) out.push_back(r);
    return out;
}

std::optional<std::int32_t> ora_letta(std::string_view t) {
    const auto punto = t.find('.');
    if (punto == std::string_view::npos) return std::nullopt;
    return (std::stoi(std::string(t.substr(0, punto))) * 60 + std::stoi(std::string(t.substr(punto + 1)))) * 60;
}

// The built-in sheet's own times as the input of the sheet: its layout is
// under test here, not the times (a run of the train gives those).
orari_treno orari_del_foglio(const std::vector<riga_letta>& stazioni) {
    orari_treno o;
    for (const auto& s : stazioni) {
        const std::string t = compatto(s.orario);
        const auto trattino = t.find(" - ");
        if (trattino == std::string::npos) {
            const auto x = ora_letta(t);
            o.push_back({x, x, fonte_orario::calcolato});
        } else {
            o.push_back({ora_letta(t.substr(0, trattino)), ora_letta(t.substr(trattino + 3)), fonte_orario::calcolato});
        }
    }
    return o;
}

dati_autore autore_builtin() {
    auto a = autore();
    a.velocita_massima = "200";
    a.categoria = "C";
    a.classificazione = "IC";
    a.massa_bloccata = "600";
    return a;
}

class SchedaBuiltin : public ::testing::Test {
protected:
    const fatti_coppia f = fatti_builtin();
    const std::vector<riga_letta> foglio = righe_piene(righe_scheda, 102);
    const std::vector<riga_letta> stazioni_foglio = stazioni_del_foglio(foglio, f);
};

TEST_F(SchedaBuiltin, LeTrentacinqueStazioniInOrdineConGliOrariDelFoglio) {
    ASSERT_EQ(stazioni_foglio.size(), 35u);
    const auto d = scheda_treno(f, autore_builtin(), orari_del_foglio(stazioni_foglio));
    const auto fatte = stazioni_del_foglio(righe_piene(d.righe, d.righe.size()), f);
    ASSERT_EQ(fatte.size(), 35u);
    for (std::size_t i = 0; i < 35; ++i) {
        EXPECT_EQ(fatte[i].nome, stazioni_foglio[i].nome);
        EXPECT_EQ(compatto(fatte[i].orario), compatto(stazioni_foglio[i].orario)) << fatte[i].nome;
        // The first and last stations' figures are the hand-drawn sheet's
        // own (349.970 at position 0 of km 350, 111.040 at 111.550).
        if (i != 0 && i != 34) {
            EXPECT_EQ(fatte[i].km, stazioni_foglio[i].km) << fatte[i].nome;
        }
    }
    EXPECT_EQ(fatte[0].km, "350.000");
    EXPECT_EQ(fatte[34].km, "111.550");
    EXPECT_TRUE(d.avvisi.empty());
}

TEST_F(SchedaBuiltin, GliOrariDelTreninoDallaCoppiaSonoQuelliDelFoglio) {
    const auto d = scheda_treno(f, autore_builtin(), orari_programmati(f));
    const auto fatte = stazioni_del_foglio(righe_piene(d.righe, d.righe.size()), f);
    ASSERT_EQ(fatte.size(), 35u);
    std::size_t con_orario = 0;
    for (std::size_t i = 0; i < 35; ++i) {
        if (f.stazioni[i].con_orario()) {
            ++con_orario;
            EXPECT_EQ(compatto(fatte[i].orario), compatto(stazioni_foglio[i].orario)) << fatte[i].nome;
        } else {
            EXPECT_EQ(fatte[i].orario, std::string(16, ' ')) << fatte[i].nome;
        }
    }
    EXPECT_EQ(con_orario, 10u);
    EXPECT_EQ(senza_orario(orari_programmati(f)), 25u);
}

TEST_F(SchedaBuiltin, IVentisetteLimitiConIloroChilometri) {
    const auto d = scheda_treno(f, autore_builtin(), orari_programmati(f));
    std::vector<riga_letta> limiti, limiti_foglio;
    for (const auto& r : righe_piene(d.righe, d.righe.size()))
        if (!r.velocita.empty()) limiti.push_back(r);
    for (const auto& r : foglio)
        if (!r.velocita.empty()) limiti_foglio.push_back(r);
    ASSERT_EQ(limiti.size(), 27u);
    ASSERT_EQ(limiti_foglio.size(), 27u);
    for (std::size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(limiti[i].velocita, limiti_foglio[i].velocita) << i;
        // The change at 1950 m is at km 348.050; the hand-drawn sheet puts
        // it at the milestone before, and its origin at 349.970.
        if (i == 0) EXPECT_EQ(limiti[i].km, "350.000");
        else if (i == 1) EXPECT_EQ(limiti[i].km, "348.050");
        else EXPECT_EQ(limiti[i].km, limiti_foglio[i].km) << i;
    }
    EXPECT_EQ(limiti[1].nome, "Km 348.050");
    EXPECT_EQ(limiti[4].nome, "Cippo Km 337.000");
    EXPECT_EQ(limiti[7].nome, "Torrente Rivarsa");  // the board at the change names the row
}

TEST_F(SchedaBuiltin, OgniRigaHaLeColonneDelFoglioEIntestazioneECodaUguali) {
    const auto d = scheda_treno(f, autore_builtin(), orari_programmati(f));
    ASSERT_EQ(d.righe.size(), righe_scheda.size());
    // Header lines and everything after the last filled page: byte for byte.
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(d.righe[i], righe_scheda[i]) << i;
    for (std::size_t i = 49; i < 69; ++i) EXPECT_EQ(d.righe[i], righe_scheda[i]) << i;
    for (std::size_t i = 101; i < righe_scheda.size(); ++i) EXPECT_EQ(d.righe[i], righe_scheda[i]) << i;
    // Every row of the two pages: the same width, its bars where the
    // blank row has them.
    const std::string_view vuota = righe_scheda[121];
    for (std::size_t i = 16; i < 101; ++i) {
        if (i == 48) i = 69;
        const auto& r = d.righe[i];
        ASSERT_EQ(r.size(), vuota.size()) << i;
        for (std::size_t c = 0; c < vuota.size(); ++c) EXPECT_EQ(r[c] == '|', vuota[c] == '|') << r << " column " << c;
    }
}

TEST(Scheda, FormeDellOrario) {
    struct caso {
        orario_stazione o;
        std::size_t indice;  // of 3 stations
        std::string_view cella;
    };
    const std::int32_t h7 = 7 * 3600;
    const caso casi[] = {
        {{h7, h7 + 120, fonte_orario::programmato}, 0, "          7.02  "},   // origin: departure only
        {{h7 + 60, h7 + 120, fonte_orario::programmato}, 1, "  7.01 -  7.02  "},  // a stop
        {{h7 + 60, h7 + 119, fonte_orario::programmato}, 1, "       7.01     "},  // dwell within the minute
        {{h7 + 60, h7 + 60, fonte_orario::calcolato}, 1, "       7.01     "},   // passing
        {{std::nullopt, std::nullopt, fonte_orario::calcolato}, 1, "                "},
        {{h7 + 600, h7 + 660, fonte_orario::programmato}, 2, "  7.10          "},  // terminus: arrival
        {{(23 * 60 + 59) * 60 + 59, 12 * 3600, fonte_orario::calcolato}, 1, " 23.59 - 12.00  "},
    };
    for (const auto& c : casi) {
        auto f = fatti_piccoli("");
        f.stazioni.resize(3);
        orari_treno o(3, {std::nullopt, std::nullopt, fonte_orario::calcolato});
        o[c.indice] = c.o;
        const auto d = scheda_treno(f, autore(), o);
        const auto fatte = stazioni_del_foglio(righe_piene(d.righe, d.righe.size()), f);
        ASSERT_EQ(fatte.size(), 3u);
        EXPECT_EQ(fatte[c.indice].orario, c.cella) << c.indice;
    }
}

TEST(Scheda, TrentaDueRigheAPaginaPoiLaSeconda) {
    for (const std::size_t righe : {std::size_t{32}, std::size_t{33}}) {
        auto f = fatti_piccoli("");
        f.cartelli.clear();
        f.limiti.clear();
        // 4 stations, the rest limits of their own between 100 and 1900 m.
        for (std::size_t i = 0; i + 4 < righe; ++i)
            f.limiti.push_back({static_cast<std::int64_t>(100 + 50 * i), 60});
        const auto d = scheda_treno(f, autore(), orari_programmati(f));
        const std::size_t pagine = righe == 32 ? 1 : 2;
        EXPECT_EQ(d.righe.size(), 2 + pagine * 47 + (pagine - 1) * 6 + (righe_scheda.size() - 102)) << righe;
        EXPECT_NE(d.righe[3].find(pagine == 1 ? "SCHEDA 1/1 " : "SCHEDA 1/2 "), std::string::npos) << d.righe[3];
        EXPECT_EQ(righe_piene(d.righe, d.righe.size()).size(), righe);
    }
}

TEST(Scheda, ValoriCheNonEntranoNellaCellaSonoErrori) {
    auto f = fatti_piccoli("");
    f.limiti = {{0, 999}};
    EXPECT_NO_THROW(scheda_treno(f, autore(), {}));
    f.limiti = {{0, 1000}};
    EXPECT_THROW(scheda_treno(f, autore(), {}), valore_troppo_largo);
    f.limiti.clear();
    f.progressive = {{0, 999999, false}};  // km 999.999 at the origin: fits
    f.cartelli.clear();
    f.stazioni.resize(1);
    EXPECT_NO_THROW(scheda_treno(f, autore(), {}));
    f.progressive = {{0, 1000000, false}};
    EXPECT_THROW(scheda_treno(f, autore(), {}), valore_troppo_largo);
    f.progressive = {{0, 1000, false}};
    EXPECT_NE(scheda_treno(f, autore("12345"), {}).righe[4].find("TRENO n.12345   |"), std::string::npos);
    EXPECT_THROW(scheda_treno(f, autore("123456"), {}), valore_troppo_largo);  // six digits in the header's five
    // A name past its cell is cut and named: 26 characters in a row, 21 in
    // the header, where the only station is origin and terminus.
    for (const std::size_t n : {std::size_t{21}, std::size_t{22}, std::size_t{26}, std::size_t{27}}) {
        f.stazioni[0].nome = std::string(n, 'A');
        const auto d = scheda_treno(f, autore(), {});
        EXPECT_EQ(d.avvisi.size(), n <= 21 ? 0u : n <= 26 ? 2u : 3u) << n;
        EXPECT_NE(d.righe[16].find(std::string(std::min<std::size_t>(n, 26), 'A') + std::string(27 - std::min<std::size_t>(n, 26), ' ') + "|"),
                  std::string::npos)
            << d.righe[16];
        EXPECT_NE(d.righe[4].find("da: A" + std::string(std::min<std::size_t>(n, 21) - 1, 'a') + std::string(22 - std::min<std::size_t>(n, 21), ' ') + "|"),
                  std::string::npos)
            << d.righe[4];
    }
}

}  // namespace
