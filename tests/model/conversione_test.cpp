#include "model/conversione.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Caso {
    double x;
    double atteso;
};

TEST(Arrotonda, MetaAlPariAltrimentiAlPiuVicino) {
    const Caso casi[] = {
        {2.5, 2},       {3.5, 4},     {-2.5, -2},     {-3.5, -4},  {0.5, 0},
        {1.5, 2},       {5000.5, 5000}, {141.5, 142}, {140.5, 140}, {0.4999999, 0},
        {0.5000001, 1}, {26.4, 26},   {26.6, 27},     {-0.6, -1},  {7.0, 7},
    };
    for (const auto& c : casi) EXPECT_EQ(modello::arrotonda(c.x), c.atteso) << "x = " << c.x;
}

TEST(Arrotonda, IlRestringimentoRifiutaValoriFuoriCampo) {
    EXPECT_EQ(modello::a_byte(255.4), 255);
    EXPECT_THROW(modello::a_byte(255.6), std::overflow_error);
    EXPECT_THROW(modello::a_byte(-0.6), std::overflow_error);
    EXPECT_EQ(modello::a_integer(-32768.0), -32768);
    EXPECT_THROW(modello::a_integer(32767.5), std::overflow_error);  // rounds to 32768
    EXPECT_EQ(modello::a_long(2147483647.0), 2147483647);
    EXPECT_THROW(modello::a_long(2147483648.0), std::overflow_error);
}

}  // namespace
