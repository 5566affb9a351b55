#include "compiler/completamento.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

using modello::cella;
namespace tc = modello::tipo_cella;

struct Oggetto {
    int cella;
    std::uint8_t tipo;
    std::int16_t valore_1 = 0;
};

// A cell that is a code point after the pass, with its code.
struct Punto {
    int cella;
    std::int16_t codice = 180;
};

struct Caso {
    const char* nome;
    int ultima;  // last cell index of the grid
    std::vector<Oggetto> oggetti;
    std::vector<Punto> punti;  // every code point expected after the pass
    std::int32_t codice = 0;   // status after the pass
    std::int32_t posizione = 0;
    std::int32_t codice_prima = 0;  // status left by the readers
    std::int32_t posizione_prima = 0;
};

void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

bool uguali(const cella& a, const cella& b) {
    auto campi = [](const cella& c) {
        return std::tie(c.tipo, c.valore_1, c.valore_2, c.valore_3, c.valore_4, c.tempo_segnale, c.preavviso,
                        c.tipo_montagna, c.velocita, c.pendenza, c.aderenza);
    };
    return campi(a) == campi(b);
}

// Slowdown pieces used below: start with its speed, end one cell later, so
// only the look-back groups act.
std::vector<Oggetto> inizio_breve(int i) { return {{i, tc::inizio_rallentamento, 60}, {i + 1, tc::fine_rallentamento}}; }

std::vector<Caso> casi() {
    const auto S = tc::segnale, F = tc::fine_rallentamento, I = tc::inizio_rallentamento,
               A = tc::avviso_rallentamento, P = tc::preavviso_rallentamento, B = tc::indicatore_v_max,
               M = tc::segno_montagna, C = tc::punto_codice;
    return {
        {"esempio_completo", 100,
         {{26, A}, {22, P}, {23, P}, {24, P}, {25, P}, {50, I, 60}, {70, F}, {12, S}, {44, S}, {76, S},
          {11, C, 270}, {10, B}},
         {{11}, {32}, {39}, {45}, {58}, {66}, {75}}},

        // Look-back groups ahead of a start: thresholds 7, 13, 20.
        {"inizio_in_cella_7_nessun_gruppo", 40, inizio_breve(7), {}},
        {"inizio_in_cella_8_primo_gruppo", 40, inizio_breve(8), {{3}}},
        {"inizio_in_cella_13_primo_gruppo", 40, inizio_breve(13), {{8}}},
        {"inizio_in_cella_14_due_gruppi", 40, inizio_breve(14), {{9}, {3}}},
        {"inizio_in_cella_20_due_gruppi", 40, inizio_breve(20), {{15}, {9}}},
        {"inizio_in_cella_21_tre_gruppi", 40, inizio_breve(21), {{16}, {10}, {3}}},
        {"gruppo_prima_cella_libera_in_ordine", 40,
         {{30, I, 60}, {31, F}, {25, B}, {19, M}, {12, C, 75}},
         {{24}, {19}, {12, 75}, {11}}},
        {"gruppo_tutto_occupato_registra_12", 40,
         {{30, I, 60}, {31, F}, {25, S}, {24, B}, {23, S}},
         {{19}, {12}}, 12, 1500, 15, 777},

        // Signals before a warning point.
        {"punto_270_limitato_a_180", 60, {{40, A}, {39, S}, {38, C, 270}, {37, B}}, {{38, 180}}},
        {"punto_75_resta_75", 60, {{40, A}, {39, S}, {38, C, 75}, {37, B}}, {{38, 75}}},
        {"punto_davanti_e_cella_libera_prima", 60, {{40, A}, {39, S}, {38, C, 270}}, {{38, 270}, {37}}},
        {"punto_due_celle_davanti_limitato", 60, {{40, A}, {39, S}, {38, B}, {37, C, 270}}, {{37, 180}}},
        {"segnale_senza_posto_registra_11", 60, {{40, A}, {39, S}, {38, B}, {37, B}}, {}, 11, 1950},
        {"due_segnali_nella_finestra_di_20", 60, {{40, A}, {35, S}, {20, S}, {10, S}}, {{34}, {19}}},
        {"segnale_a_21_celle_fuori_dalla_finestra", 60, {{40, A}, {19, S}}, {}},
        {"finestra_fino_alla_cella_3", 20, {{5, A}, {3, S}}, {{2}}},
        {"segnale_in_cella_2_ignorato", 20, {{4, A}, {2, S}}, {}},

        // Inside a slowdown and after its end.
        {"velocita_109_interno_e_dopo_fine", 70, {{30, I, 109}, {50, F}, {52, S}},
         {{25}, {19}, {12}, {38}, {46}, {51}}},
        {"velocita_110_solo_gruppi", 70, {{30, I, 110}, {50, F}, {52, S}}, {{25}, {19}, {12}}},
        {"fine_a_piu_16_secondo_punto_a_piu_15", 70, {{30, I, 60}, {46, F}}, {{25}, {19}, {12}, {38}, {45}}},
        {"ottava_occupata_cella_prima", 70, {{30, I, 60}, {50, F}, {38, B}}, {{25}, {19}, {12}, {37}, {45}}},
        {"ottava_e_precedente_occupate_cella_dopo", 70, {{30, I, 60}, {50, F}, {38, B}, {37, B}},
         {{25}, {19}, {12}, {39}, {47}}},
        {"interno_senza_posto_registra_13_e_smette", 70, {{30, I, 60}, {50, F}, {37, B}, {38, B}, {39, B}},
         {{25}, {19}, {12}}, 13, 1900},
        {"dopo_fine_senza_posto_registra_13", 70, {{30, I, 60}, {50, F}, {52, S}, {51, B}},
         {{25}, {19}, {12}, {38}, {46}}, 13, 2500},
        {"dopo_fine_segnale_a_12_celle", 70, {{30, I, 60}, {50, F}, {62, S}}, {{25}, {19}, {12}, {38}, {46}, {61}}},
        {"dopo_fine_segnale_a_13_celle_ignorato", 70, {{30, I, 60}, {50, F}, {63, S}},
         {{25}, {19}, {12}, {38}, {46}}},

        // A slowdown whose end fell into its start cell: the walk meets the grid's end.
        {"cammino_fino_all_ultima_cella", 40, {{30, I, 60}, {40, S}}, {{25}, {19}, {12}, {38}, {39}}},
        {"ottava_cella_e_l_ultima", 40, {{32, I, 60}, {40, S}, {39, B}}, {{27}, {21}, {14}, {38}}, 13, 2000},
    };
}

class Completamento : public testing::TestWithParam<Caso> {};

TEST_P(Completamento, PuntiCodiceEStato) {
    const Caso& caso = GetParam();
    modello::Modello m;
    // Every cell carries data of its own that marking must leave alone.
    cella base;
    base.velocita = 16;
    base.pendenza = 104;
    base.aderenza = 3;
    m.nuovo_percorso(caso.ultima, base);
    for (const auto& o : caso.oggetti) {
        m.percorso.at(static_cast<std::size_t>(o.cella)).tipo = o.tipo;
        m.percorso.at(static_cast<std::size_t>(o.cella)).valore_1 = o.valore_1;
    }
    m.codice_errore = caso.codice_prima;
    m.posizione_errore = caso.posizione_prima;

    std::vector<cella> attesa = m.percorso;
    for (const auto& p : caso.punti) {
        attesa.at(static_cast<std::size_t>(p.cella)).tipo = tc::punto_codice;
        attesa.at(static_cast<std::size_t>(p.cella)).valore_1 = p.codice;
    }

    compilatore::completa_codici_cab(m);

    ASSERT_EQ(m.percorso.size(), attesa.size());
    for (std::size_t i = 0; i < attesa.size(); ++i)
        EXPECT_TRUE(uguali(m.percorso[i], attesa[i]))
            << "cell " << i << ": tipo " << int(m.percorso[i].tipo) << " valore_1 " << m.percorso[i].valore_1
            << ", expected tipo " << int(attesa[i].tipo) << " valore_1 " << attesa[i].valore_1;
    EXPECT_EQ(m.codice_errore, caso.codice);
    EXPECT_EQ(m.posizione_errore, caso.posizione);
}

INSTANTIATE_TEST_SUITE_P(Griglie, Completamento, testing::ValuesIn(casi()),
                         [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });

TEST(CompletamentoSenzaGriglia, NonPuoEssereEseguito) {
    modello::Modello m;
    EXPECT_THROW(compilatore::completa_codici_cab(m), std::runtime_error);
}

}  // namespace
