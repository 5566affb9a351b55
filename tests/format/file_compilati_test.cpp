#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

#include "tests/format/decodifica.h"

namespace {

using modello::cella;
using modello::voce_tabella;

auto campi_voce(const voce_tabella& v) {
    return std::tie(v.tipo, v.inizio, v.fine, v.progressiva, v.campo_4, v.nome, v.campo_7, v.campo_8, v.campo_10,
                    v.campo_11, v.campo_12, v.campo_9, v.campo_13, v.campo_6, v.campo_5, v.orario);
}

auto campi_cella(const cella& c) {
    return std::tie(c.tipo, c.valore_1, c.valore_2, c.valore_3, c.valore_4, c.tempo_segnale, c.preavviso,
                    c.tipo_montagna, c.velocita, c.pendenza, c.aderenza);
}

TEST(ImmagineTabella, OgniCampoAlSuoPostoENomiA8Bit) {
    std::array<voce_tabella, modello::record_tabella> tabella{};
    // Every field of every record different, with signs and widths at their limits.
    for (int r = 1; r < modello::record_tabella; ++r) {
        voce_tabella& v = tabella[static_cast<std::size_t>(r)];
        v.tipo = static_cast<std::uint8_t>(200 + r % 50);
        v.inizio = -100000 * r;
        v.fine = 2147483000 + r;
        v.progressiva = 70000 + r;
        v.campo_4 = static_cast<std::uint8_t>(r);
        v.campo_7 = static_cast<std::int16_t>(-r);
        v.campo_8 = static_cast<std::int16_t>(32000 + r % 700);
        v.campo_10 = static_cast<std::int16_t>(1000 + r);
        v.campo_11 = static_cast<std::int16_t>(-30000 - r);
        v.campo_12 = static_cast<std::int16_t>(300 + r);
        v.campo_9 = 255;
        v.campo_13 = static_cast<std::uint8_t>(128 + r);
        v.campo_6 = static_cast<std::uint8_t>(r * 2);
        v.campo_5 = static_cast<std::uint8_t>(r * 3 % 256);
        v.orario = 86399 - r;
    }
    tabella[1].nome = "Citt\xC3\xA0";  // 5 characters, 6 bytes of UTF-8, 5 on file
    tabella[80].nome = "Km 345+557";
    tabella[85].nome = "Valdora_Sarenta";

    const std::string byte = formato::immagine_tabella(tabella);
    const auto letta = test_util::decodifica_tabella(byte);

    ASSERT_EQ(letta.voci.size(), tabella.size());
    for (std::size_t r = 0; r < tabella.size(); ++r)
        EXPECT_TRUE(campi_voce(letta.voci[r]) == campi_voce(tabella[r])) << "record " << r;
    EXPECT_EQ(letta.nomi_byte[1], "Citt\xE0");
    EXPECT_EQ(letta.inizio_voce[1] - letta.inizio_voce[0], 34u);  // record 0: empty name
    EXPECT_EQ(letta.inizio_voce[2] - letta.inizio_voce[1], 39u);
    EXPECT_EQ(byte.size(), 87u * 34u + 5u + 10u + 15u);
}

TEST(ImmagineTabella, NomeTroppoLungoPerIlCampoLunghezza) {
    std::array<voce_tabella, modello::record_tabella> tabella{};
    tabella[3].nome = std::string(65535, 'x');
    EXPECT_EQ(formato::immagine_tabella(tabella).size(), 87u * 34u + 65535u);
    tabella[3].nome += 'x';
    EXPECT_THROW(formato::immagine_tabella(tabella), std::overflow_error);
}

TEST(ImmaginePercorso, QuindiciByteACellaInOrdine) {
    std::vector<cella> percorso(4);
    for (std::size_t i = 0; i < percorso.size(); ++i) {
        const int k = static_cast<int>(i);
        percorso[i] = {static_cast<std::uint8_t>(10 + k), static_cast<std::int16_t>(-1 - k),
                       static_cast<std::int16_t>(32767 - k), static_cast<std::int16_t>(-32768 + k),
                       static_cast<std::int16_t>(256 + k), static_cast<std::uint8_t>(250 + k),
                       static_cast<std::uint8_t>(1 + k), static_cast<std::uint8_t>(2 + k),
                       static_cast<std::uint8_t>(3 + k), static_cast<std::uint8_t>(100 + k),
                       static_cast<std::uint8_t>(40 + k)};
    }
    percorso[1].valore_1 = 5121;
    const std::string byte = formato::immagine_percorso(percorso);
    ASSERT_EQ(byte.size(), 4u * 15u);
    EXPECT_EQ(byte[0], '\x0A');  // tipo of cell 0
    EXPECT_EQ(byte.substr(16, 2), std::string("\x01\x14"));
    const auto letto = test_util::decodifica_percorso(byte);
    ASSERT_EQ(letto.size(), percorso.size());
    for (std::size_t i = 0; i < percorso.size(); ++i)
        EXPECT_TRUE(campi_cella(letto[i]) == campi_cella(percorso[i])) << "cell " << i;
}

TEST(ImmagineGeometria, ElementiEtichettatiComponenteZeroPrima) {
    using modello::valore_geometria;
    modello::geometria_linea g(4);
    g.imposta(0, 0, valore_geometria::da_intero(0));
    g.imposta(1, 0, valore_geometria::da_intero(-2));
    g.imposta(2, 0, valore_geometria::da_reale(1.0));
    g.imposta(3, 0, valore_geometria::da_reale(-1234.5678));
    g.imposta(0, 1, valore_geometria::da_intero(0));
    g.imposta(1, 1, valore_geometria::da_intero(1));
    g.imposta(2, 1, valore_geometria::da_reale(0.1));

    const std::string byte = formato::immagine_geometria(g);
    // Per component: two integers (4 bytes each), doubles (10), then empties (2).
    EXPECT_EQ(byte.size(), (4u + 4u + 10u + 10u + 2u) + (4u + 4u + 10u + 2u + 2u));
    // The first double: tag 5 then 1.0 least significant byte first.
    EXPECT_EQ(byte.substr(8, 10), std::string("\x05\x00\x00\x00\x00\x00\x00\x00\xF0\x3F", 10));

    const auto el = test_util::decodifica_geometria(byte);
    ASSERT_EQ(el.size(), 10u);
    const std::uint16_t tag_attesi[] = {2, 2, 5, 5, 0, 2, 2, 5, 0, 0};
    for (std::size_t i = 0; i < el.size(); ++i) EXPECT_EQ(el[i].tag, tag_attesi[i]) << "element " << i;
    EXPECT_EQ(el[1].intero, -2);
    EXPECT_EQ(el[3].reale, -1234.5678);
    EXPECT_EQ(el[6].intero, 1);
    EXPECT_EQ(el[7].reale, 0.1);
}

// The writer computes the values from the runs block by block, with the two
// components in the two halves of the file; it must give the same bytes as
// the values expanded whole and encoded element by element.
TEST(ImmagineGeometria, DaiTrattiGliStessiByteDeiValori) {
    struct Caso {
        const char* nome;
        std::int32_t ultimo;
        bool inizia;
        std::vector<modello::tracciato_linea::tratto> tratti;
    } casi[] = {
        {"no metre at all", -1, false, {}},
        {"never started: all empty", 70000, false, {}},
        {"only metres 0 and 1", 1, true, {}},
        {"up to the last metre", 9, true, {{2, 9, 0.0}}},
        {"runs across many blocks, empty tail", 40000, true,
         {{2, 7000, 0.0}, {7001, 7500, 0.001}, {7501, 30000, -0.003}, {30001, 30001, 0.002}, {30002, 39000, 0.0}}},
        {"stopped early: long empty tail", 50000, true, {{2, 100, 0.004}}},
    };
    for (const Caso& caso : casi) {
        modello::tracciato_linea t(caso.ultimo);
        if (caso.inizia) t.inizia();
        for (const auto& tr : caso.tratti) t.posa(tr.da, tr.a, tr.k);
        const std::string dai_tratti = formato::immagine_geometria(t);
        EXPECT_EQ(dai_tratti.size(), formato::byte_geometria(t)) << caso.nome;
        EXPECT_TRUE(dai_tratti == formato::immagine_geometria(t.valori())) << caso.nome;
    }
}

TEST(Tracciato, TrattiFuoriSequenzaRifiutati) {
    modello::tracciato_linea t(100);
    EXPECT_THROW(t.posa(2, 10, 0.0), std::logic_error) << "before metres 0 and 1";
    t.inizia();
    EXPECT_THROW(t.posa(3, 10, 0.0), std::logic_error) << "a gap";
    EXPECT_THROW(t.posa(2, 101, 0.0), std::logic_error) << "beyond the last metre";
    t.posa(2, 1, 0.0);
    EXPECT_EQ(t.ultimo_posato(), 1) << "an empty range lays nothing";
    EXPECT_THROW(modello::tracciato_linea(0).inizia(), std::logic_error);
}

}  // namespace
