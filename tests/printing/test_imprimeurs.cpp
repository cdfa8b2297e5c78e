// The text-like printers placed in their box, and the test sheet.
#include "printing/ImprimeursTexte.h"
#include "test_banc.h"

#include <gtest/gtest.h>

using namespace banc;

namespace {

std::shared_ptr<TVlTexte> Texte(double l, double h, int av, int ah)
{
    auto t = Feuille<TVlTexte>("Texte1", 0.5, 0.5, l, h);
    t->SetValeur("Bonjour");
    t->SetPoliceNom("Arial");
    t->SetPoliceTaille(10);
    t->SetAlignementVertical(av);
    t->SetAlignementHorizontal(ah);
    t->SetTransparent(true);
    return t;
}

} // namespace

TEST(TextPrint, BottomCentredLineEndsAtTheBoxBottomAndTurnsToTheTopWhenInverted)
{
    Banc b;
    auto t = Texte(4, 2, 2, 1);
    b.Composer(Mep(6, 3, 1, 1, 0, 0, {{1}}), {{t}});
    auto c = b.Une(ModeFichier);
    auto ops = c->OperationsDeType(vl::TypeOperation::Texte);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].justification, vl::pjCenter);
    EXPECT_NEAR(ops[0].cm[0], 1.5 + 2, 1e-6);
    // Baseline at the box bottom minus the font's descent.
    const double bas = 1.5 + 2;
    EXPECT_LT(ops[0].cm[1], bas);
    EXPECT_GT(ops[0].cm[1], bas - 0.15);

    // Inverted column: upside down, block at the top of the (mirrored) box.
    b.Composer(Mep(6, 3, 1, 1, 0, 0, {{1, 0, 0, true}}), {{t}});
    auto d = b.Une(ModeFichier);
    ops = d->OperationsDeType(vl::TypeOperation::Texte);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].police.rotation, 180);
    const double haut = 1 + 3 - 0.5 - 2; // box top
    EXPECT_GT(ops[0].cm[1], haut);
    EXPECT_LT(ops[0].cm[1], haut + 0.5);
}

TEST(TextPrint, BlockCornersFollowTheQuadrantRule)
{
    // A 45° block of 2 x 1 in a 6 x 4 box, top alignment: bounding box in the top-left corner.
    const auto b = TAlphaNumPrintControleur::PlacerBloc(6, 4, 2, 1, 45, 0);
    const double s = std::sqrt(0.5);
    EXPECT_NEAR(b.TL.x(), 0, 1e-9);
    EXPECT_NEAR(b.TL.y(), 2 * s, 1e-9);
    EXPECT_NEAR(b.TR.x(), 2 * s, 1e-9);
    EXPECT_NEAR(b.TR.y(), 0, 1e-9);
    EXPECT_NEAR(b.BL.x(), s, 1e-9);
    // 0°, centred both ways.
    const auto c = TAlphaNumPrintControleur::PlacerBloc(6, 4, 2, 1, 0, 1);
    EXPECT_NEAR(c.TL.x(), 2, 1e-9);
    EXPECT_NEAR(c.TL.y(), 1.5, 1e-9);
}

TEST(TextPrint, OpaqueLeafPaintsItsBackgroundFirst)
{
    Banc b;
    auto t = Texte(4, 2, 0, 0);
    t->SetTransparent(false);
    t->SetCouleurFond(0x00FF00);
    b.Composer(Mep(6, 3, 1, 1, 0, 0, {{1}}), {{t}});
    auto c = b.Une(ModeFichier);
    const auto& ops = c->Operations();
    ASSERT_GE(ops.size(), 2);
    EXPECT_EQ(ops[0].type, vl::TypeOperation::Rectangle);
    EXPECT_EQ(ops[0].pinceau.couleur, 0x00FF00u);
    EXPECT_NEAR(ops[0].cm[0], 1.5, 1e-9);
    EXPECT_NEAR(ops[0].cm[3], 3.5, 1e-9);
    EXPECT_EQ(ops[1].type, vl::TypeOperation::Texte);
}

TEST(TextPrint, TooLowABoxEndsTheRunWithItsMessage)
{
    Banc b;
    auto t = Texte(4, 0.1, 0, 0);
    t->SetPoliceTaille(30);
    b.Composer(Mep(6, 3, 1, 1, 0, 0, {{2}}), {{t}});
    try {
        b.Une(ModeFichier);
        FAIL() << "no error";
    } catch (const vl::ErreurRapport& e) {
        EXPECT_EQ(e.Message(), "La hauteur de la boite texte Texte1 est insuffisante");
    }
}

TEST(TestSheet, OutlinesOfEverySlotPlacedWithTheCalibration)
{
    Banc b;
    b.Composer(Mep(6, 3, 1, 1, 0.5, 0, {{3}, {3}}), {{}});
    b.pc->Ajustement = std::make_shared<TVlAjustement>();
    b.pc->Ajustement->SetGauche(5);
    ASSERT_TRUE(b.pc->ImprimerFeuilleTest(vl::rdPreview));
    ASSERT_EQ(b.systeme.PagesDernierApercu().Nombre(), 1);
    const QImage page = b.systeme.PagesDernierApercu().Page(1);
    const int dpi = b.systeme.PagesDernierApercu().Resolution();
    auto gris = [&](double x, double y) { return qGray(page.pixel(int(x / 2.54 * dpi), int(y / 2.54 * dpi))); };
    // Left edge of the first column at 1 + 0.5 cm (the calibration), not at 1.
    int noirs = 0;
    for (double x = 1.4; x <= 1.6; x += 0.01)
        noirs += gris(x, 2.5) < 128;
    EXPECT_GT(noirs, 0);
    EXPECT_GT(gris(1.0, 2.5), 200);
    EXPECT_GT(gris(3, 2.5), 200); // inside: no label printed
}
