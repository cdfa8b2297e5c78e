#include "report/CanevasEnregistreur.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace vl;

namespace {

class Enregistreur : public ::testing::Test
{
protected:
    CanevasEnregistreur canevas{FormatPapier::A4(), 600, 600};
};

} // namespace

TEST_F(Enregistreur, RectangleGardeSesCoordonneesEnCmEtEnPixels)
{
    canevas.SetPlume({0x0000FF, psInsideFrame, 1, pmCopy});
    canevas.SetPinceau({clBlack, bsSolid});
    canevas.Rectangle(1.0, 2.0, 1.033 - 1.0 / 600, 2.5);

    ASSERT_EQ(canevas.Operations().size(), 1);
    const OperationEnregistree& op = canevas.Operations()[0];
    EXPECT_EQ(op.type, TypeOperation::Rectangle);
    EXPECT_EQ(op.page, 1);
    ASSERT_EQ(op.cm.size(), 4);
    EXPECT_DOUBLE_EQ(op.cm[0], 1.0);
    EXPECT_DOUBLE_EQ(op.cm[2], 1.033 - 1.0 / 600);
    // 1 cm = 236.22 -> 236; 1.033 cm - 1/600 in = 244.02 - 0.236 -> 244.
    EXPECT_EQ(op.rectPx, QRect(QPoint(236, 472), QPoint(243, 590)));
    EXPECT_EQ(op.plume.couleur, 0x0000FFu);
    EXPECT_EQ(op.plume.style, psInsideFrame);
    EXPECT_EQ(op.pinceau.style, bsSolid);
}

TEST_F(Enregistreur, RectangleAuxCoinsInversesEstNormalise)
{
    // Rotated barcodes hand their bars with the corners in any order.
    canevas.Rectangle(3.0, 4.0, 2.0, 1.0);
    const QRect r = canevas.Operations()[0].rectPx;
    EXPECT_EQ(r.left(), canevas.XVersPx(2.0));
    EXPECT_EQ(r.top(), canevas.YVersPx(1.0));
    EXPECT_EQ(r.width(), canevas.XVersPx(3.0) - canevas.XVersPx(2.0));
    EXPECT_EQ(r.height(), canevas.YVersPx(4.0) - canevas.YVersPx(1.0));
}

TEST_F(Enregistreur, TexteJustifieSurUnX)
{
    canevas.SetPolice(Police{});
    const double w = canevas.LargeurTexte("Bonjour");
    ASSERT_GT(w, 0.5);

    struct Cas { Justification j; double debut; };
    const Cas cas[] = {{pjLeft, 5.0}, {pjCenter, 5.0 - w / 2}, {pjRight, 5.0 - w}};
    for (const Cas& c : cas) {
        canevas.Vider();
        canevas.SetY(3.0);
        canevas.ImprimerJustifie("Bonjour", 5.0, c.j);
        ASSERT_EQ(canevas.Operations().size(), 1);
        const OperationEnregistree& op = canevas.Operations()[0];
        EXPECT_EQ(op.texte, "Bonjour");
        EXPECT_EQ(op.justification, c.j);
        EXPECT_DOUBLE_EQ(op.cm[0], 5.0);
        EXPECT_DOUBLE_EQ(op.cm[1], 3.0);
        EXPECT_EQ(op.pointsPx[0], canevas.PointVersPx(c.debut, 3.0)) << int(c.j);
        // The cursor ends after the text.
        EXPECT_NEAR(canevas.X(), c.debut + w, 1e-9);
        EXPECT_DOUBLE_EQ(canevas.Y(), 3.0);
    }
}

TEST_F(Enregistreur, TexteTourneSeCentreLeLongDeSaLigneDeBase)
{
    // At 90 degrees the text reads upwards: centring moves its start down.
    canevas.SetPoliceRotation(90);
    const double w = canevas.LargeurTexte("ABC");
    canevas.SetY(10.0);
    canevas.ImprimerCentre("ABC", 4.0);
    const OperationEnregistree& op = canevas.Operations()[0];
    EXPECT_EQ(op.police.rotation, 90);
    EXPECT_EQ(op.pointsPx[0], canevas.PointVersPx(4.0, 10.0 + w / 2));
    EXPECT_NEAR(canevas.X(), 4.0, 1e-9);
    EXPECT_NEAR(canevas.Y(), 10.0 - w / 2, 1e-9);
}

TEST_F(Enregistreur, HautDeLignePlaceLaLigneDeBase)
{
    canevas.SetPoliceTaille(12);
    canevas.SetHautLigne(2.0);
    EXPECT_NEAR(canevas.Y(), 2.0 + canevas.HauteurLigne() - canevas.Descente(), 1e-12);
    EXPECT_NEAR(canevas.HauteurLigne() - canevas.Descente(), canevas.Ascendante(), 1e-9);
}

TEST_F(Enregistreur, PagesEtAbandon)
{
    canevas.Rectangle(0, 0, 1, 1);
    canevas.NouvellePage();
    canevas.Ellipse(1, 1, 2, 2);
    canevas.Polygone({QPoint(1, 2), QPoint(3, 4), QPoint(5, 0)});
    canevas.Abandonner();
    canevas.Rectangle(0, 0, 1, 1);      // after the abort: not drawn
    canevas.NouvellePage();
    canevas.ImprimerXY(1, 1, "perdu");

    EXPECT_EQ(canevas.NombrePages(), 2);
    EXPECT_TRUE(canevas.Abandonne());
    ASSERT_EQ(canevas.OperationsPage(1).size(), 1);
    const auto page2 = canevas.OperationsPage(2);
    ASSERT_EQ(page2.size(), 3);
    EXPECT_EQ(page2[0].type, TypeOperation::Ellipse);
    EXPECT_EQ(page2[1].type, TypeOperation::Polygone);
    EXPECT_EQ(page2[1].pointsPx, (QVector<QPoint>{QPoint(1, 2), QPoint(3, 4), QPoint(5, 0)}));
    EXPECT_EQ(page2[2].type, TypeOperation::Abandon);
    EXPECT_TRUE(canevas.Textes().isEmpty());
}

TEST_F(Enregistreur, ArcEtImageGardentLeursArguments)
{
    canevas.Arc(1, 1, 3, 2, 3, 1.5, 1, 1.5);
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    canevas.ImprimerImage(1, 2, 3, 3, image);

    const auto arcs = canevas.OperationsDeType(TypeOperation::Arc);
    ASSERT_EQ(arcs.size(), 1);
    EXPECT_EQ(arcs[0].cm, (QVector<double>{1, 1, 3, 2, 3, 1.5, 1, 1.5}));
    EXPECT_EQ(arcs[0].pointsPx, (QVector<QPoint>{canevas.PointVersPx(3, 1.5), canevas.PointVersPx(1, 1.5)}));
    const auto images = canevas.OperationsDeType(TypeOperation::Image);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images[0].tailleImage, QSize(40, 20));
    EXPECT_EQ(images[0].cleImage, image.cacheKey());
    EXPECT_EQ(images[0].rectPx, QRect(QPoint(236, 472), QPoint(708, 708)));
}

TEST_F(Enregistreur, LeDumpDecritChaqueOperation)
{
    canevas.SetY(2);
    canevas.ImprimerGauche("Étiquette", 1);
    canevas.NouvellePage();
    canevas.Polyligne({QPoint(0, 0), QPoint(10, 10)});
    const QStringList lignes = canevas.Dump().split('\n');
    ASSERT_EQ(lignes.size(), 3);
    EXPECT_TRUE(lignes[0].startsWith("p1 Texte \"Étiquette\" pjLeft at 1 2")) << lignes[0].toStdString();
    EXPECT_EQ(lignes[1], "p1 NouvellePage");
    EXPECT_TRUE(lignes[2].startsWith("p2 Polyligne (0,0) (10,10)")) << lignes[2].toStdString();
}

TEST_F(Enregistreur, PapierEtMarges)
{
    CanevasEnregistreur c(FormatPapier::A4(), 300, 600, true, QMarginsF(0.4, 0.5, 0.6, 0.7));
    EXPECT_EQ(c.XDPI(), 300);
    EXPECT_EQ(c.YDPI(), 600);
    EXPECT_TRUE(c.Duplex());
    EXPECT_EQ(c.XVersPx(2.54), 300);
    EXPECT_EQ(c.YVersPx(2.54), 600);
    EXPECT_DOUBLE_EQ(c.PerteGauche(), 0.4);
    EXPECT_DOUBLE_EQ(c.PerteHaut(), 0.5);
    EXPECT_DOUBLE_EQ(c.PerteDroite(), 0.6);
    EXPECT_DOUBLE_EQ(c.PerteBas(), 0.7);

    c.SetOrientation(poLandScape);
    EXPECT_DOUBLE_EQ(c.LargeurPage(), 29.7);
    EXPECT_DOUBLE_EQ(c.HauteurPage(), 21.0);
    c.SetPapier(11);   // A5
    EXPECT_DOUBLE_EQ(c.LargeurPage(), 21.0);
    EXPECT_DOUBLE_EQ(c.HauteurPage(), 14.8);
    c.SetPapier(-3);   // unknown code: paper unchanged
    EXPECT_DOUBLE_EQ(c.HauteurPage(), 14.8);
    c.SetPapierPersonnalise(10, 5);
    c.SetOrientation(poPortrait);
    EXPECT_DOUBLE_EQ(c.LargeurPage(), 10);
    EXPECT_DOUBLE_EQ(c.HauteurPage(), 5);

    c.SetMargesImprimante(QMarginsF(0.1, 0.2, 0.3, 0.4));
    c.ActualiserMarges();
    EXPECT_DOUBLE_EQ(c.PerteBas(), 0.4);
}
