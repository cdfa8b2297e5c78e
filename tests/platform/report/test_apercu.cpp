#include "report/SystemeRapport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vl;

namespace {

bool Encre(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

class Apercu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        systeme.SetDefaultDest(rdPreview);
        systeme.SetResolutionApercu(100);
    }
    SystemeRapport systeme;
    QTemporaryDir dossier;
};

} // namespace

TEST_F(Apercu, UnRectangleFaitDeLEncreLaOuIlEstEtNullePartAilleurs)
{
    systeme.SetImpression([](Canevas& c) {
        c.SetPlume({clBlack, psClear, 0, pmCopy});
        c.SetPinceau({clBlack, bsSolid});
        c.Rectangle(2.54, 5.08, 5.08, 7.62);     // 100,200 - 200,300 px
    });
    ASSERT_TRUE(systeme.Executer());
    const PagesApercu& pages = systeme.PagesDernierApercu();
    ASSERT_EQ(pages.Nombre(), 1);
    const QString png = dossier.filePath("page1.png");
    ASSERT_TRUE(pages.EnregistrerPng(1, png));

    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(827, 1169));   // A4 at 100 dpi
    int encreDedans = 0, encreDehors = 0;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3) {
            const bool dedans = x >= 100 && x < 200 && y >= 200 && y < 300;
            if (Encre(image, x, y))
                (dedans ? encreDedans : encreDehors)++;
            else if (dedans)
                ADD_FAILURE() << "no ink at " << x << "," << y;
        }
    EXPECT_GT(encreDedans, 1000);
    EXPECT_EQ(encreDehors, 0);
    // The edges are exact: the last pixel row and column are inked, the next ones not.
    EXPECT_TRUE(Encre(image, 199, 299));
    EXPECT_FALSE(Encre(image, 200, 250));
    EXPECT_FALSE(Encre(image, 150, 300));
    EXPECT_FALSE(Encre(image, 99, 250));
}

TEST_F(Apercu, ContourALInterieurDuRectangle)
{
    systeme.SetImpression([](Canevas& c) {
        c.SetPlume({clBlack, psSolid, 3, pmCopy});
        c.SetPinceau({clWhite, bsClear});
        c.Rectangle(2.54, 2.54, 5.08, 5.08);     // 100 - 200 px
    });
    ASSERT_TRUE(systeme.Executer());
    const QImage& image = systeme.PagesDernierApercu().Page(1);
    EXPECT_TRUE(Encre(image, 100, 150));
    EXPECT_TRUE(Encre(image, 102, 150));
    EXPECT_FALSE(Encre(image, 103, 150));
    EXPECT_FALSE(Encre(image, 99, 150));
    EXPECT_TRUE(Encre(image, 199, 150));
    EXPECT_FALSE(Encre(image, 200, 150));
    EXPECT_FALSE(Encre(image, 150, 150));    // clear brush: the inside stays white
}

TEST_F(Apercu, TexteEtPagesMultiples)
{
    systeme.SetPapier(FormatPapier::A4(poLandScape));
    systeme.SetImpression([](Canevas& c) {
        c.SetPoliceTaille(36);
        c.ImprimerXY(2, 3, "Page un");
        c.NouvellePage();
        c.SetPoliceRotation(90);
        c.ImprimerXY(5, 15, "Page deux");
    });
    ASSERT_TRUE(systeme.Executer());
    const PagesApercu& pages = systeme.PagesDernierApercu();
    ASSERT_EQ(pages.Nombre(), 2);
    EXPECT_EQ(pages.Page(2).size(), QSize(1169, 827));

    // Page one: ink on the baseline's left part, above y = 3 cm.
    auto encreDans = [](const QImage& im, QRect zone) {
        for (int y = zone.top(); y <= zone.bottom(); ++y)
            for (int x = zone.left(); x <= zone.right(); ++x)
                if (Encre(im, x, y))
                    return true;
        return false;
    };
    EXPECT_TRUE(encreDans(pages.Page(1), QRect(QPoint(79, 80), QPoint(300, 118))));
    EXPECT_FALSE(encreDans(pages.Page(1), QRect(QPoint(79, 135), QPoint(300, 200))));
    // Page two: the turned text goes up from (5, 15) cm, left of x = 5 cm.
    EXPECT_TRUE(encreDans(pages.Page(2), QRect(QPoint(160, 400), QPoint(196, 590))));
    EXPECT_FALSE(encreDans(pages.Page(2), QRect(QPoint(160, 595), QPoint(196, 800))));
    EXPECT_FALSE(encreDans(pages.Page(2), QRect(QPoint(212, 400), QPoint(260, 590))));

    EXPECT_EQ(pages.Rendu(1, 50).size(), QSize(585, 414));
    EXPECT_FALSE(pages.EnregistrerPng(3, dossier.filePath("x.png")));
}

TEST_F(Apercu, ImageEtireeDansSonRectangle)
{
    QImage rouge(10, 5, QImage::Format_RGB32);
    rouge.fill(Qt::red);
    systeme.SetImpression([&](Canevas& c) { c.ImprimerImage(2.54, 2.54, 7.62, 5.08, rouge); });
    ASSERT_TRUE(systeme.Executer());
    const QImage& image = systeme.PagesDernierApercu().Page(1);
    EXPECT_EQ(QColor(image.pixel(101, 101)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(298, 198)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(302, 150)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(150, 202)), QColor(Qt::white));
}

TEST_F(Apercu, LeTexteDessineALaLargeurMesuree)
{
    // The painted text must end where the measure says, or fitted text
    // would overflow its box.
    systeme.SetResolutionApercu(300);
    double fin = 0;
    systeme.SetImpression([&](Canevas& c) {
        c.SetPoliceTaille(20.3);
        c.SetY(5);
        c.ImprimerGauche("HHHHHHHHHH", 2);
        fin = c.X();
    });
    ASSERT_TRUE(systeme.Executer());
    const QImage& image = systeme.PagesDernierApercu().Page(1);
    int derniere = -1, premiere = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = CmVersPixels(4, 300); y < CmVersPixels(5, 300); ++y)
            if (Encre(image, x, y)) {
                if (premiere < 0)
                    premiere = x;
                derniere = x;
                break;
            }
    // "H" has side bearings of about 0.08 em (7 px here) on each side.
    const int em = CmVersPixels(20.3 / 72 * 2.54, 300);
    EXPECT_NEAR(premiere, CmVersPixels(2, 300) + 0.08 * em, 4);
    EXPECT_NEAR(derniere, CmVersPixels(fin, 300) - 0.08 * em, 4);
}
