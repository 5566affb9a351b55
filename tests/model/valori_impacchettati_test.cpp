#include <gtest/gtest.h>

#include <cstdint>

#include "model/area_stazione.h"
#include "model/conversione.h"
#include "model/orario.h"
#include "model/valori_indicatore.h"
#include "model/valori_segnale.h"

namespace {

namespace vs = modello::valori_segnale;
namespace vi = modello::valori_indicatore;

TEST(Restringimento, TieneIBitBassiConIlSegnoDelCampo) {
    struct {
        std::int64_t v;
        std::int16_t sedici;
        std::uint8_t otto;
    } const casi[] = {
        {0, 0, 0},           {255, 255, 255},      {256, 256, 0},       {300, 300, 44},
        {-1, -1, 255},       {32767, 32767, 255},  {32768, -32768, 0},  {65536, 0, 0},
        {70000, 4464, 112},  {-32769, 32767, 255},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(modello::basso_16(c.v), c.sedici) << c.v;
        EXPECT_EQ(modello::basso_8(c.v), c.otto) << c.v;
    }
}

TEST(ValoriSegnale, OgniCifraETipoTornaComeScritto) {
    for (std::int64_t sx = 0; sx <= 2; ++sx)
        for (std::int64_t dx = 0; dx <= 2; ++dx)
            for (std::int64_t rapp = 0; rapp <= 9; ++rapp) {
                const std::int64_t q = modello::basso_16(vs::quarto(rapp, sx, dx));
                EXPECT_EQ(vs::rapp_di(q), rapp);
                EXPECT_EQ(vs::sx_di_lati(vs::lati_di(q)), sx);
                EXPECT_EQ(vs::dx_di_lati(vs::lati_di(q)), dx);
            }
    for (std::int64_t alta = 0; alta <= 9; ++alta)
        for (std::int64_t bassa = 0; bassa <= 9; ++bassa) {
            const std::int64_t v = modello::basso_16(vs::cifre(alta, bassa));
            EXPECT_EQ(vs::cifra_alta(v), alta);
            EXPECT_EQ(vs::cifra_bassa(v), bassa);
        }
}

TEST(ValoriSegnale, ImpacchettaComeLaRigaDelSegnale) {
    // segnale, 4500, 2, 4, 1, 0, 0, 2, 3, 1, 0, 0
    EXPECT_EQ(vs::cifre(4, 3), 43);
    EXPECT_EQ(vs::cifre(1, 1), 11);
    EXPECT_EQ(vs::cifre(0, 0), 0);
    EXPECT_EQ(vs::quarto(0, 2, 2), 8);
    for (int b = 1; b <= 4; ++b) EXPECT_EQ(vs::preavviso(vs::lati(2, 2), b), 80 + b);
    EXPECT_EQ(vs::preavviso(vs::lati(2, 0), 1), 61);
    // A right kind or digit out of its range spills into its neighbour.
    EXPECT_EQ(vs::quarto(0, 1, 3), 6);
    EXPECT_EQ(vs::cifre(4, 12), 52);
    EXPECT_EQ(modello::basso_16(vs::cifre(4000, 0)), -25536);

    struct {
        std::int64_t scritto, tenuto;
    } const tempi[] = {{-5, -5}, {0, 0}, {1, 101}, {50, 101}, {100, 101}, {101, 101}, {220, 220}, {300, 300}};
    for (const auto& t : tempi) EXPECT_EQ(vs::tempo(t.scritto), t.tenuto) << t.scritto;
    EXPECT_TRUE(vs::tempo_tenuto(2));
    EXPECT_FALSE(vs::tempo_tenuto(1));
    EXPECT_FALSE(vs::tempo_tenuto(0));
}

TEST(ValoriIndicatore, OgniVelocitaAPassiDiCinqueTornaComeScritta) {
    for (std::int64_t sx = 0; sx <= 1635; sx += 5)
        for (std::int64_t dx = 0; dx <= 495; dx += 5) {
            const double grezza = vi::velocita_grezza(sx, dx);
            if (grezza > 32767.0) continue;
            const std::int64_t v = modello::a_integer(grezza);
            ASSERT_EQ(vi::sinistra_kmh(v), sx) << sx << " " << dx;
            ASSERT_EQ(vi::destra_kmh(v), dx) << sx << " " << dx;
        }
    for (std::int64_t s = 0; s <= 9; ++s)
        for (std::int64_t d = 0; d <= 9; ++d) {
            const std::int64_t v = modello::basso_16(vi::strisce(s, d));
            EXPECT_EQ(vi::strisce_sinistra(v), s);
            EXPECT_EQ(vi::strisce_destra(v), d);
        }
}

TEST(ValoriIndicatore, ImpacchettaComeLeRigheDelCartello) {
    struct {
        std::int64_t sx, dx, valore;
    } const casi[] = {
        {100, 100, 2020}, {120, 120, 2424}, {125, 125, 2525}, {130, 130, 2626}, {60, 0, 1200},
        // Off the 5 km/h steps the fifth is rounded; a right
        // speed of 500 or more carries into the left one.
        {132, 150, 2670}, {100, 2, 2000}, {100, 3, 2001}, {100, 500, 2100},
    };
    for (const auto& c : casi)
        EXPECT_EQ(modello::a_integer(vi::velocita_grezza(c.sx, c.dx)), c.valore) << c.sx << " " << c.dx;
    EXPECT_EQ(vi::strisce(2, 2), 22);
    EXPECT_EQ(vi::strisce(2, 0), 20);
    EXPECT_EQ(vi::destra_kmh(2100), 0);
}

TEST(Orario, SecondiDelGiornoEdIndietro) {
    for (std::int64_t t = 0; t < modello::orario::secondi_giorno; t += 7) {
        namespace o = modello::orario;
        ASSERT_EQ(o::secondi(o::ore_di(t), o::minuti_di(t), o::secondi_di(t)), t);
    }
    EXPECT_EQ(modello::orario::secondi(7, 25, 0), 26700);
    EXPECT_EQ(modello::orario::secondi(0, 7, 60), 480);  // 60 s add up into the next minute
    EXPECT_EQ(modello::orario::secondi(-1, 0, 0), -3600);
}

// Seconds of the day written out at each carry and just before it, past the
// day's end and below zero, where each part keeps the sign the division
// gives it; hours in two digits or as they are.
TEST(Orario, ScrittaAOgniRiporto) {
    namespace o = modello::orario;
    struct {
        std::int64_t t;
        const char* due_cifre;
        const char* come_sono;
    } casi[] = {
        {0, "00:00:00", "0:00:00"},         {9, "00:00:09", "0:00:09"},
        {10, "00:00:10", "0:00:10"},        {59, "00:00:59", "0:00:59"},
        {60, "00:01:00", "0:01:00"},        {3599, "00:59:59", "0:59:59"},
        {3600, "01:00:00", "1:00:00"},      {35999, "09:59:59", "9:59:59"},
        {36000, "10:00:00", "10:00:00"},    {86399, "23:59:59", "23:59:59"},
        {86400, "24:00:00", "24:00:00"},    {360000, "100:00:00", "100:00:00"},
        {-1, "00:00:-1", "0:00:-1"},        {-60, "00:-1:00", "0:-1:00"},
        {-3600, "-1:00:00", "-1:00:00"},    {-3661, "-1:-1:-1", "-1:-1:-1"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(o::scritta(c.t), c.due_cifre) << c.t;
        EXPECT_EQ(o::scritta(c.t, o::ore_scritte::come_sono), c.come_sono) << c.t;
    }
    // Parts as the author wrote them, out of range ones too, none carried.
    EXPECT_EQ(o::scritta(7, 60, 0, o::ore_scritte::come_sono), "7:60:00");
    EXPECT_EQ(o::scritta(8, -1, 100, o::ore_scritte::come_sono), "8:-1:100");
    EXPECT_EQ(o::scritta(7, 5, 9), "07:05:09");
}

TEST(AreaStazione, PerTipoDaPosizioneELunghezza) {
    struct {
        std::int64_t tipo, posizione, lunghezza, campo_6, inizio, fine;
        bool azzera_6;
    } const casi[] = {
        {12, 6900, 600, 0, 6600, 7200, false},     {2, 61500, 600, 1, 61200, 61850, false},
        {8, 0, 500, 0, -500, 500, true},           {7, 3000, 400, 1, 2600, 3400, true},
        {5, 3000, 400, 1, 2600, 3150, true},       {6, 3000, 400, 0, 2600, 3150, true},
        {4, 3000, 300, 0, 2850, 3150, false},      {28, 3000, 300, 2, 2850, 3200, false},
    };
    for (const auto& c : casi) {
        const auto a = modello::area_di_stazione(c.tipo, c.posizione, c.lunghezza, c.campo_6);
        EXPECT_EQ(a.inizio, c.inizio) << c.tipo;
        EXPECT_EQ(a.fine, c.fine) << c.tipo;
        EXPECT_EQ(modello::campo_6_azzerato(c.tipo), c.azzera_6) << c.tipo;
    }
}

}  // namespace
