// Quarter turns and free rotation of bitmaps.
#include "printing/TexteRotation.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>

namespace {

// A 3 x 2 picture with a different colour in every pixel:
//   A B C
//   D E F
const QRgb A = qRgb(255, 0, 0), B = qRgb(0, 255, 0), C = qRgb(0, 0, 255);
const QRgb D = qRgb(255, 255, 0), E = qRgb(0, 255, 255), F = qRgb(255, 0, 255);

QImage Petite()
{
    QImage i(3, 2, QImage::Format_RGB32);
    const QRgb p[2][3] = {{A, B, C}, {D, E, F}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            i.setPixel(x, y, p[y][x]);
    return i;
}

QVector<QVector<QRgb>> Pixels(const QImage& i)
{
    QVector<QVector<QRgb>> l;
    for (int y = 0; y < i.height(); ++y) {
        QVector<QRgb> r;
        for (int x = 0; x < i.width(); ++x)
            r << (i.pixel(x, y) | 0xFF000000u);
        l << r;
    }
    return l;
}

QImage Unie(int w, int h, QRgb couleur)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(couleur);
    return i;
}

} // namespace

TEST(BmpRot90, QuarterTurnsAreCounterClockwiseAndExact)
{
    struct Cas { int angle; QVector<QVector<QRgb>> attendu; };
    const Cas cas[] = {
        // The right edge comes on top.
        {90, {{C, F}, {B, E}, {A, D}}},
        {180, {{F, E, D}, {C, B, A}}},
        // The left edge comes on top.
        {270, {{D, A}, {E, B}, {F, C}}},
        {-90, {{D, A}, {E, B}, {F, C}}},
        {0, {{A, B, C}, {D, E, F}}},
        // Not a quarter turn: untouched.
        {45, {{A, B, C}, {D, E, F}}},
    };
    TBmpRot90Strategie rot;
    for (const Cas& c : cas) {
        QImage i = Petite();
        rot.Tourner(i, c.angle);
        EXPECT_EQ(Pixels(i), c.attendu) << c.angle;
    }
}

TEST(BmpRot90, TurnedPictureIsOpaqueWithItsResolutionsExchanged)
{
    QImage i(4, 2, QImage::Format_ARGB32);
    i.fill(qRgba(10, 20, 30, 0));
    i.setDotsPerMeterX(1000);
    i.setDotsPerMeterY(2000);
    TBmpRot90Strategie rot;
    rot.Tourner(i, 90);
    EXPECT_EQ(i.size(), QSize(2, 4));
    EXPECT_FALSE(i.hasAlphaChannel());
    EXPECT_EQ(i.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(i.dotsPerMeterX(), 2000);
    EXPECT_EQ(i.dotsPerMeterY(), 1000);

    // Four quarter turns give the picture back.
    QImage j = Petite();
    for (int k = 0; k < 4; ++k)
        rot.Tourner(j, 90);
    EXPECT_EQ(Pixels(j), Pixels(Petite()));
}

TEST(BmpRot, FortyFiveDegreesOnTheCanvasOfTheDiagonal)
{
    // Left half red, right half blue, 40 x 20.
    const QRgb rouge = qRgb(255, 0, 0), bleu = qRgb(0, 0, 255);
    QImage i = Unie(40, 20, rouge);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            i.setPixel(x, y, bleu);

    TBmpRotStrategie rot;
    rot.Calculer(i, 45);
    // D = round(sqrt(40² + 20²)) = round(44.72); centre round(22.5), ties to even.
    EXPECT_EQ(rot.Cote(), 45);
    EXPECT_EQ(rot.Centre(), 22);
    EXPECT_EQ(rot.Echelle(), 1);
    EXPECT_EQ(rot.Resultat().size(), QSize(45, 45));
    // Half extent (20 + 10) x 0.7071 = 21.21 each way.
    EXPECT_EQ(rot.Gauche(), 1);
    EXPECT_EQ(rot.Haut(), 1);
    EXPECT_EQ(rot.Droite(), 43);
    EXPECT_EQ(rot.Bas(), 43);
    EXPECT_EQ(rot.CouleurCle(), TBmpRotStrategie::CouleurCleOpaque);
    const QRgb cle = rot.CouleurCleRgb();
    EXPECT_EQ(cle, qRgb(0xFF, 0xFF, 0xFE));

    const QImage& r = rot.Resultat();
    // Counter-clockwise: the right (blue) end goes up to the right, the left
    // (red) one down to the left, along the diagonal.
    EXPECT_EQ(r.pixel(22 + 11, 22 - 11), bleu);
    EXPECT_EQ(r.pixel(22 - 11, 22 + 11), rouge);
    // Beside the turned band is the key colour.
    EXPECT_EQ(r.pixel(22 - 11, 22 - 11), cle);
    EXPECT_EQ(r.pixel(22 + 11, 22 + 11), cle);
    EXPECT_EQ(r.pixel(0, 0), cle);
    EXPECT_EQ(r.pixel(44, 44), cle);
    // The picture is carried whole: as many pixels of each colour as it had
    // (area kept by the turn, up to the staircase of its edges).
    int nbRouge = 0, nbBleu = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            nbRouge += (r.pixel(x, y) == rouge);
            nbBleu += (r.pixel(x, y) == bleu);
        }
    EXPECT_NEAR(nbRouge, 400, 40);
    EXPECT_NEAR(nbBleu, 400, 40);

    const QImage tournee = rot.ImageTournee();
    EXPECT_EQ(tournee.size(), QSize(42, 42));
    EXPECT_EQ(tournee.pixel(0, 0), cle);
    EXPECT_EQ(tournee.pixel(22 + 11 - 1, 22 - 11 - 1), bleu);

    rot.Liberer();
    EXPECT_TRUE(rot.Resultat().isNull());
}

TEST(BmpRot, ASeeThroughPictureUsesItsTransparentColourAsKey)
{
    const vl::Couleur vertWindows = 0x00FF00;
    QImage i = Unie(30, 30, qRgb(0, 255, 0));
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            i.setPixel(x, y, qRgb(0, 0, 0));
    TBmpRotStrategie rot;
    rot.Calculer(i, 30, vertWindows);
    EXPECT_EQ(rot.CouleurCle(), vertWindows);
    EXPECT_EQ(rot.CouleurCleRgb(), qRgb(0, 255, 0));
    // Only the key and the black square: nothing else to paint.
    QSet<QRgb> couleurs;
    const QImage t = rot.ImageTournee();
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            couleurs.insert(t.pixel(x, y));
    EXPECT_EQ(couleurs, QSet<QRgb>({qRgb(0, 255, 0), qRgb(0, 0, 0)}));
}

TEST(BmpRot, PicturesBeyondTheDiagonalBoundAreTurnedAtAReducedSize)
{
    // 3000 x 2000: diagonal 3606 pixels.
    const QRgb rouge = qRgb(200, 0, 0);
    QImage grande(3000, 2000, QImage::Format_RGB32);
    grande.fill(qRgb(0, 255, 0));   // the key of the picture
    for (int y = 0; y < 2000; ++y) {
        auto* l = reinterpret_cast<QRgb*>(grande.scanLine(y));
        for (int x = 0; x < 3000; ++x)
            if (((x / 7) + (y / 5)) % 2)
                l[x] = rouge;
    }
    TBmpRotStrategie rot;
    rot.Calculer(grande, 20, vl::Couleur(0x00FF00));
    EXPECT_LE(rot.Cote(), TBmpRotStrategie::DiagonaleMax);
    EXPECT_GE(rot.Cote(), TBmpRotStrategie::DiagonaleMax - 2);
    EXPECT_NEAR(rot.Echelle(), 2048 / std::hypot(3000.0, 2000.0), 1e-9);
    // The turned picture keeps its shape: bounding box of 1704 x 1136 at 20°.
    const double w = 3000 * rot.Echelle(), h = 2000 * rot.Echelle();
    const double c = std::cos(20 * M_PI / 180), s = std::sin(20 * M_PI / 180);
    EXPECT_NEAR(rot.Droite() - rot.Gauche(), w * c + h * s, 3);
    EXPECT_NEAR(rot.Bas() - rot.Haut(), w * s + h * c, 3);
    // Reducing did not blend the key into the picture's colours.
    QSet<QRgb> couleurs;
    const QImage t = rot.ImageTournee();
    for (int y = 0; y < t.height(); y += 3)
        for (int x = 0; x < t.width(); x += 3)
            couleurs.insert(t.pixel(x, y));
    EXPECT_EQ(couleurs, QSet<QRgb>({qRgb(0, 255, 0), rouge}));

    // The in-place form does the same for an opaque picture.
    QImage opaque = Unie(2000, 1500, rouge);
    rot.Tourner(opaque, 45);
    EXPECT_LE(opaque.width(), TBmpRotStrategie::DiagonaleMax);
    EXPECT_EQ(opaque.pixel(opaque.width() / 2, opaque.height() / 2), rouge);
    EXPECT_EQ(opaque.pixel(0, 0), rot.CouleurCleRgb());
}

TEST(BmpRot, AnEmptyPictureGivesAnEmptyResult)
{
    TBmpRotStrategie rot;
    rot.Calculer(QImage(), 45);
    EXPECT_TRUE(rot.ImageTournee().isNull());
    QImage vide;
    rot.Tourner(vide, 30);
    EXPECT_TRUE(vide.isNull());
}
