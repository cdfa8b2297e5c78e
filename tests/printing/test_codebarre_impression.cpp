// The barcode printer: white rectangle and quiet zones by alignment and
// angle, the EAN 13 left zone, refused values, and a printed page read back.
#include "barcodes/RpBars.h"
#include "printing/CodeBarrePrintControleur.h"
#include "report/CanevasPeintre.h"
#include "report/SortieApercu.h"
#include "test_banc.h"

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Boite
{
    double x1, y1, x2, y2;
};

Boite Normaliser(const vl::OperationEnregistree& o)
{
    return {std::min(o.cm[0], o.cm[2]), std::min(o.cm[1], o.cm[3]), std::max(o.cm[0], o.cm[2]),
            std::max(o.cm[1], o.cm[3])};
}

class ImpressionCodeBarre : public testing::Test
{
protected:
    std::shared_ptr<TVlCodeBarre> Code(int type, const QString& valeur, int angle = 0, int ah = 0, int av = 0)
    {
        auto c = banc::Feuille<TVlCodeBarre>("Code", 0, 0, 8, 6);
        c->SetTypeCodeBarre(type);
        c->SetValeur(valeur);
        c->SetModule(0.03);
        c->SetDensite(100);
        c->SetHauteurBarres(1.5);
        c->SetWriteText(true);
        c->SetAngle(angle);
        c->SetAlignementHorizontal(ah);
        c->SetAlignementVertical(av);
        return c;
    }
    // Prints the leaf with its box corner at (X, Y).
    void Imprimer(TVlCodeBarre& c, vl::Canevas& canevas, int angleEtiquette = 0)
    {
        imprimeur.Imprimer(c, canevas, angleEtiquette, Y, X);
    }
    static std::vector<vl::OperationEnregistree> Blancs(const vl::CanevasEnregistreur& r)
    {
        std::vector<vl::OperationEnregistree> v;
        for (const auto& o : r.OperationsDeType(vl::TypeOperation::Rectangle))
            if (o.pinceau.couleur == vl::clWhite)
                v.push_back(o);
        return v;
    }
    static std::vector<vl::OperationEnregistree> Barres(const vl::CanevasEnregistreur& r)
    {
        std::vector<vl::OperationEnregistree> v;
        for (const auto& o : r.OperationsDeType(vl::TypeOperation::Rectangle))
            if (o.pinceau.couleur == vl::clBlack)
                v.push_back(o);
        return v;
    }
    // Width of the bars of a leaf, as the drawer gives it.
    static void Mesures(TVlCodeBarre& c, double& barres, double& hauteur)
    {
        vl::CanevasEnregistreur r;
        auto d = CreerRPBars(c.TypeCodeBarre(), &r);
        r.SetPoliceNom("Arial");
        r.SetPoliceTaille(7);
        d->SetText(c.Valeur());
        d->BarWidth = c.ModuleImprime();
        d->BarHeight = c.HauteurBarres();
        d->PrintReadable = c.WriteText();
        barres = d->Width();
        hauteur = d->Height();
    }

    const double X = 2, Y = 3;
    banc::Banc b;
    TCodeBarrePrintControleur imprimeur{*b.pc};
};

// Rot0: the white rectangle holds the bars and ten modules on each side and
// moves with the alignments; the bars start one quiet zone into it.
TEST_F(ImpressionCodeBarre, ZonesBlanchesSelonAlignementsADroit)
{
    struct Cas { int ah, av; double dx, dy; }; // dx, dy: fractions of the free room
    const Cas cas[] = {{0, 0, 0, 0}, {1, 0, 0.5, 0}, {2, 0, 1, 0}, {0, 1, 0, 0.5}, {1, 2, 0.5, 1}, {2, 2, 1, 1}};
    for (const Cas& k : cas) {
        auto c = Code(2, "VELLUM-42", 0, k.ah, k.av);
        double barres = 0, h = 0;
        Mesures(*c, barres, h);
        const double T = barres + 20 * 0.03;
        vl::CanevasEnregistreur r;
        Imprimer(*c, r);
        const auto blancs = Blancs(r);
        ASSERT_EQ(blancs.size(), 1u) << r.Dump().toStdString();
        const double x0 = X + k.dx * (8 - T), y0 = Y + k.dy * (6 - h);
        const Boite w = Normaliser(blancs[0]);
        EXPECT_NEAR(w.x1, x0, 1e-9) << k.ah << k.av;
        EXPECT_NEAR(w.y1, y0, 1e-9);
        EXPECT_NEAR(w.x2, x0 + T, 1e-9);
        EXPECT_NEAR(w.y2, y0 + h, 1e-9);
        EXPECT_EQ(blancs[0].plume.style, vl::psClear);
        const auto noirs = Barres(r);
        ASSERT_FALSE(noirs.empty());
        EXPECT_NEAR(noirs.front().cm[0], x0 + 10 * 0.03, 1e-9);
        EXPECT_NEAR(noirs.front().cm[1], y0, 1e-9);
    }
}

// Every angle, every alignment: the white rectangle and every bar lie inside
// the leaf's box, the bars inside the white rectangle, and the bars fill the
// rectangle less one quiet zone at each end along the code.
TEST_F(ImpressionCodeBarre, QuatreRotationsDansLaBoite)
{
    for (int type : {0, 2, 4, 5}) {
        for (int angle : {0, 90, 180, 270}) {
            for (int ah = 0; ah < 3; ++ah) {
                for (int av = 0; av < 3; ++av) {
                    const QString valeur = (type == 0) ? "978020137962" : (type == 5) ? "1234567" : "AB12";
                    auto c = Code(type, valeur, angle, ah, av);
                    c->SetLargeur(angle % 180 ? 4 : 7);
                    c->SetHauteur(angle % 180 ? 7 : 4);
                    double barres = 0, h = 0;
                    Mesures(*c, barres, h);
                    vl::CanevasEnregistreur r;
                    Imprimer(*c, r);
                    const std::string ctx = "type " + std::to_string(type) + " angle " + std::to_string(angle) +
                                            " ah " + std::to_string(ah) + " av " + std::to_string(av);
                    const auto blancs = Blancs(r);
                    ASSERT_EQ(blancs.size(), 1u) << ctx;
                    const Boite w = Normaliser(blancs[0]);
                    const double e = 1e-9;
                    EXPECT_GE(w.x1, X - e) << ctx;
                    EXPECT_GE(w.y1, Y - e) << ctx;
                    EXPECT_LE(w.x2, X + c->Largeur() + e) << ctx;
                    EXPECT_LE(w.y2, Y + c->Hauteur() + e) << ctx;
                    const bool long_x = angle % 180 == 0;
                    EXPECT_NEAR(long_x ? w.x2 - w.x1 : w.y2 - w.y1, barres + 0.6, 1e-9) << ctx;
                    EXPECT_NEAR(long_x ? w.y2 - w.y1 : w.x2 - w.x1, h, 1e-9) << ctx;
                    // The free room along the code goes where the horizontal alignment says,
                    // read in the code's own direction.
                    const double libre = (long_x ? c->Largeur() : c->Hauteur()) - (barres + 0.6);
                    double debut = 0; // distance from the box edge where the code starts
                    switch (angle) {
                    case 0: debut = w.x1 - X; break;
                    case 90: debut = Y + c->Hauteur() - w.y2; break;
                    case 180: debut = X + c->Largeur() - w.x2; break;
                    case 270: debut = w.y1 - Y; break;
                    }
                    // 180 and 90 count alignment from the code's own start,
                    // so 0 and 2 both keep the code within the box.
                    EXPECT_GE(debut, -e) << ctx;
                    EXPECT_LE(debut, libre + e) << ctx;
                    if (ah == 1) {
                        EXPECT_NEAR(debut, libre / 2, 1e-9) << ctx;
                    }
                    for (const auto& o : Barres(r)) {
                        const Boite n = Normaliser(o);
                        const double px = 2.54 / 600 + e;
                        EXPECT_GE(n.x1, w.x1 - px) << ctx;
                        EXPECT_GE(n.y1, w.y1 - px) << ctx;
                        EXPECT_LE(n.x2, w.x2 + px) << ctx;
                        EXPECT_LE(n.y2, w.y2 + px) << ctx;
                    }
                }
            }
        }
    }
}

// EAN 13 keeps its left zone at 3.63 / 31.35 of its bars, not ten modules.
TEST_F(ImpressionCodeBarre, ZoneGaucheEAN13)
{
    auto c = Code(0, "978020137962");
    double barres = 0, h = 0;
    Mesures(*c, barres, h);
    vl::CanevasEnregistreur r;
    Imprimer(*c, r);
    const auto noirs = Barres(r);
    ASSERT_FALSE(noirs.empty());
    EXPECT_NEAR(noirs.front().cm[0], X + barres * 3.63 / 31.35, 1e-9);
    EXPECT_NE(barres * 3.63 / 31.35, 10 * 0.03);
    // The readable digits are set at size 10 before the drawer picks its own.
    EXPECT_FALSE(r.Textes().isEmpty());
}

// A value the symbology refuses prints nothing at all, and raises nothing.
TEST_F(ImpressionCodeBarre, ValeurRefuseeNImprimeRien)
{
    struct Cas { int type; const char* valeur; };
    const Cas cas[] = {{0, "97802013796A"}, {1, "12 34"}, {2, "abc"}, {5, "123-567"}, {4, "\xC3\xA9t\xC3\xA9"}};
    for (const Cas& k : cas) {
        auto c = Code(k.type, QString::fromUtf8(k.valeur));
        vl::CanevasEnregistreur r;
        EXPECT_NO_THROW(Imprimer(*c, r));
        EXPECT_TRUE(r.Operations().isEmpty()) << k.valeur << "\n" << r.Dump().toStdString();
    }
}

// A leaf at an oblique angle: no white rectangle, the code printed straight
// from the box corner.
TEST_F(ImpressionCodeBarre, AngleObliqueSansRectangleBlanc)
{
    auto c = Code(2, "ABC", 45);
    vl::CanevasEnregistreur r;
    Imprimer(*c, r);
    EXPECT_TRUE(Blancs(r).empty());
    const auto noirs = Barres(r);
    ASSERT_FALSE(noirs.empty());
    EXPECT_NEAR(noirs.front().cm[0], X, 1e-9);
    EXPECT_NEAR(noirs.front().cm[1], Y, 1e-9);
}

// An inverted column adds 180 degrees: the code is turned and stays in the box.
TEST_F(ImpressionCodeBarre, ColonneInverseeTourneLeCode)
{
    auto c = Code(4, "Label 7");
    vl::CanevasEnregistreur r;
    Imprimer(*c, r, 180);
    const auto blancs = Blancs(r);
    ASSERT_EQ(blancs.size(), 1u);
    const Boite w = Normaliser(blancs[0]);
    // Horizontal alignment 0 at 180 puts the code against the box's right edge.
    EXPECT_NEAR(w.x2, X + c->Largeur(), 1e-9);
    EXPECT_NEAR(w.y2, Y + c->Hauteur(), 1e-9);
}

// Outside a run no leaf is known as bound: the leaf's own value is encoded.
TEST_F(ImpressionCodeBarre, HorsTirageValeurPropre)
{
    auto c = Code(2, "STATIQUE");
    vl::CanevasEnregistreur r;
    Imprimer(*c, r);
    EXPECT_TRUE(r.Textes().join("").contains("STATIQUE")) << r.Dump().toStdString();
}

// --- A preview page at 300 dpi read back by zxing ---------------------------------------

struct CasLecture
{
    int type;
    const char* valeur;
    ZXing::BarcodeFormat format;
    const char* lu;
};

class LectureApercu : public ImpressionCodeBarre, public testing::WithParamInterface<CasLecture> {};

TEST_P(LectureApercu, PageLueALaValeurExacte)
{
    const CasLecture& k = GetParam();
    for (int angle : {0, 90, 180, 270}) {
        auto c = Code(k.type, k.valeur, angle, 1, 1);
        c->SetModule(3 * 2.54 / 300); // three pixels at 300 dpi
        c->SetLargeur(9);
        c->SetHauteur(9);
        vl::SortieApercu sortie(300);
        vl::CanevasPeintre canevas(sortie, vl::FormatPapier::A4());
        canevas.Commencer();
        Imprimer(*c, canevas);
        canevas.Terminer();
        ASSERT_EQ(sortie.Pages().Nombre(), 1);
        const QImage page = sortie.Pages().Page(1).copy(0, 0, 1654, 1654).convertToFormat(QImage::Format_Grayscale8);
        const ZXing::ImageView vue(page.constBits(), page.width(), page.height(), ZXing::ImageFormat::Lum,
                                   static_cast<int>(page.bytesPerLine()));
        ZXing::DecodeHints hints;
        hints.setFormats(k.format);
        hints.setTryHarder(true);
        hints.setTryRotate(true);
        hints.setTryCode39ExtendedMode(k.type == 3);
        const ZXing::Result res = ZXing::ReadBarcode(vue, hints);
        EXPECT_TRUE(res.isValid()) << k.valeur << " angle " << angle;
        EXPECT_EQ(QString::fromStdWString(res.text()).toStdString(), std::string(k.lu)) << "angle " << angle;
    }
}

INSTANTIATE_TEST_SUITE_P(Symbologies, LectureApercu,
                         testing::Values(CasLecture{0, "978020137962", ZXing::BarcodeFormat::EAN13, "9780201379624"},
                                         CasLecture{1, "12345678", ZXing::BarcodeFormat::ITF, "12345678"},
                                         CasLecture{2, "VELLUM 42", ZXing::BarcodeFormat::Code39, "VELLUM 42"},
                                         CasLecture{3, "Vellum+42", ZXing::BarcodeFormat::Code39, "Vellum+42"},
                                         CasLecture{4, "Label-2026", ZXing::BarcodeFormat::Code128, "Label-2026"},
                                         CasLecture{5, "1234567", ZXing::BarcodeFormat::EAN8, "12345670"}));

} // namespace
