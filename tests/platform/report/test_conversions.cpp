#include "report/Canevas.h"

#include <gtest/gtest.h>

using namespace vl;

TEST(Conversions, ArrondiAuPlusProcheEtAuPairEnCasDEgalite)
{
    struct Cas { double v; int attendu; };
    const Cas cas[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {1.4999999, 1}, {1.5000001, 2}, {2.4999999, 2}, {-1.2, -1}, {-1.7, -2}, {7.0, 7},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(ArrondiPair(c.v), c.attendu) << c.v;
}

TEST(Conversions, CentimetresEtPixels)
{
    EXPECT_EQ(CmVersPixels(2.54, 600), 600);
    EXPECT_EQ(CmVersPixels(21.0, 600), 4961);      // 4960.63
    EXPECT_EQ(CmVersPixels(1.033, 600), 244);      // 244.02
    EXPECT_EQ(CmVersPixels(0.0, 300), 0);
    // 0.3175 cm at 200 dpi is exactly 25 px; at 100 dpi 12.5 px goes to 12.
    EXPECT_EQ(CmVersPixels(0.3175, 100), 12);
    EXPECT_EQ(CmVersPixels(0.9525, 100), 38);       // 37.5 -> 38
    EXPECT_DOUBLE_EQ(PixelsVersCm(600, 600), 2.54);
    EXPECT_DOUBLE_EQ(PixelsVersCm(150, 300), 1.27);
}

TEST(Conversions, CouleursWindows)
{
    // Red is in the low byte.
    EXPECT_EQ(VersQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(VersQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(VersQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(DepuisQColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
}
