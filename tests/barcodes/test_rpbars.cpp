// Report drawers: bars on the recording canvas (positions, widths, the four
// rotations, the 1/XDPI pull-in), readable texts, the digit font, and the
// drawn symbols read back by zxing-cpp from preview pages.

#include "barcodes/RpBars.h"
#include "references.h"

#include "report/CanevasEnregistreur.h"
#include "report/CanevasPeintre.h"
#include "report/SortieApercu.h"

#include <gtest/gtest.h>
#include <zint.h>

#include <cmath>

using vl::CanevasEnregistreur;
using vl::OperationEnregistree;
using vl::TypeOperation;

namespace {

const char* NomRotation(TBarCodeRotation r)
{
    switch (r) {
    case Rot0: return "Rot0";
    case Rot90: return "Rot90";
    case Rot180: return "Rot180";
    case Rot270: return "Rot270";
    }
    return "?";
}

// Start (u, v) of a code whose bars lie inside a 4 cm square from (2, 2), as
// the element printer passes it for each rotation.
void Origine(TBarCodeRotation r, double& u, double& v)
{
    u = 2;
    v = 2;
    switch (r) {
    case Rot0: u = 2; v = 2; break;
    case Rot90: u = 10; v = 2; break;
    case Rot180: u = 10; v = 10; break;
    case Rot270: u = 2; v = 10; break;
    }
}

// The bars of the recorded rectangles as a module row along the code.
std::string LigneEnregistree(const CanevasEnregistreur& c, TBarCodeRotation r, double position,
                             double module)
{
    const double tire = 1.0 / c.XDPI();
    std::vector<std::pair<double, double>> barres; // in modules from the start
    for (const OperationEnregistree& op : c.OperationsDeType(TypeOperation::Rectangle)) {
        const double* k = op.cm.constData();
        double debut = 0, fin = 0;
        switch (r) {
        case Rot0: debut = k[0] - position; fin = k[2] + tire - position; break;
        case Rot90: debut = position - k[1]; fin = position - k[3]; break;
        case Rot180: debut = position - k[0]; fin = position - (k[2] + tire); break;
        case Rot270: debut = k[1] - position; fin = k[3] - position; break;
        }
        barres.emplace_back(debut / module, fin / module);
    }
    int longueur = 0;
    for (const auto& b : barres)
        longueur = std::max(longueur, static_cast<int>(std::lround(b.second)));
    std::string ligne(static_cast<size_t>(longueur), '0');
    for (const auto& b : barres)
        for (long m = std::lround(b.first); m < std::lround(b.second); ++m)
            ligne[static_cast<size_t>(m)] = '1';
    return ligne;
}

struct CasDessin
{
    int type;
    QString valeur;
    int symbologieZint;
    std::string entreeZint;
    bool etroitLarge;
    vltest::Format format;
    std::string texteLu;
};

void PrintTo(const CasDessin& c, std::ostream* os)
{
    *os << "type " << c.type << " \"" << c.entreeZint << "\"";
}

const std::vector<CasDessin>& CasDessins()
{
    static const std::vector<CasDessin> cas = {
        {0, "012345678901", BARCODE_EANX, "012345678901", false, vltest::Format::EAN13, "0123456789012"},
        {0, "590123412345", BARCODE_EANX, "590123412345", false, vltest::Format::EAN13, "5901234123457"},
        {5, "9638507", BARCODE_EANX, "9638507", false, vltest::Format::EAN8, "96385074"},
        {1, "1234567", BARCODE_C25INTER, "01234567", true, vltest::Format::ITF, "01234567"},
        {2, "CODE 39", BARCODE_CODE39, "CODE 39", true, vltest::Format::Code39, "CODE 39"},
        {3, "Vellum 39", BARCODE_EXCODE39, "Vellum 39", true, vltest::Format::Code39Etendu, "Vellum 39"},
        {4, "Code 128", BARCODE_CODE128, "Code 128", false, vltest::Format::Code128, "Code 128"},
        {4, "ab1234567890", BARCODE_CODE128, "ab1234567890", false, vltest::Format::Code128, "ab1234567890"},
    };
    return cas;
}

// The element printer's settings: Arial 7, then 10 for the EAN family.
void PreparerPolice(vl::Canevas& c, int type)
{
    vl::Police p;
    p.nom = QStringLiteral("Arial");
    p.taille = (type == 0 || type == 5) ? 10 : 7;
    c.SetPolice(p);
}

} // namespace

// --- Bars on the recording canvas ---------------------------------------------------

class BarresEnregistrees : public testing::TestWithParam<CasDessin> {};

TEST_P(BarresEnregistrees, LigneIdentiqueAZintDansLesQuatreRotations)
{
    const CasDessin& c = GetParam();
    const std::string zint = vltest::LigneZint(c.symbologieZint, c.entreeZint);
    ASSERT_FALSE(zint.empty());
    for (TBarCodeRotation r : {Rot0, Rot90, Rot180, Rot270}) {
        CanevasEnregistreur canevas;
        PreparerPolice(canevas, c.type);
        auto d = CreerRPBars(c.type, &canevas);
        ASSERT_TRUE(d);
        ASSERT_TRUE(d->TexteValide(c.valeur));
        d->SetText(c.valeur);
        d->BarWidth = 0.03;
        d->BarHeight = 1.5;
        d->BarCodeRotation = r;
        double u = 0, v = 0;
        Origine(r, u, v);
        d->PrintXY(u, v);
        const std::string ligne = LigneEnregistree(canevas, r, u, 0.03);
        if (c.etroitLarge)
            EXPECT_EQ(vltest::EtroitLarge(ligne), vltest::EtroitLarge(zint)) << NomRotation(r);
        else
            EXPECT_EQ(ligne, zint) << NomRotation(r);
        // The bars end where Width says.
        EXPECT_NEAR(ligne.size() * 0.03, d->Width(), 1e-9) << NomRotation(r);
    }
}

INSTANTIATE_TEST_SUITE_P(Symbologies, BarresEnregistrees, testing::ValuesIn(CasDessins()));

TEST(BarresEnregistrees, EAN13A600PointsParPouce)
{
    CanevasEnregistreur canevas(vl::FormatPapier::A4(), 600, 600);
    PreparerPolice(canevas, 0);
    TRPBarsEAN d(&canevas);
    d.SetText("012345678901");
    d.BarWidth = 0.033;
    d.BarHeight = 0.5;
    d.PrintXY(1, 2);
    const auto rects = canevas.OperationsDeType(TypeOperation::Rectangle);
    ASSERT_EQ(rects.size(), 30); // 2 + 2 + 2 guard bars, 2 bars per digit
    // First guard bar: one module from x = 1, pulled in by 1/600.
    EXPECT_DOUBLE_EQ(rects[0].cm[0], 1.0);
    EXPECT_DOUBLE_EQ(rects[0].cm[1], 2.0);
    EXPECT_NEAR(rects[0].cm[2], 1.033 - 1.0 / 600, 1e-12);
    EXPECT_DOUBLE_EQ(rects[0].cm[3], 2.5);
    // Second guard bar two modules further, last one ends at 95 modules.
    EXPECT_NEAR(rects[1].cm[0], 1 + 2 * 0.033, 1e-12);
    EXPECT_NEAR(rects.back().cm[2], 1 + 95 * 0.033 - 1.0 / 600, 1e-12);
    // Digit 1 (odd parity 2221 after the guard): its first bar spans modules 5-6.
    EXPECT_NEAR(rects[2].cm[0], 1 + 5 * 0.033, 1e-12);
    EXPECT_NEAR(rects[2].cm[2], 1 + 7 * 0.033 - 1.0 / 600, 1e-12);
    // Drawn with a black brush and a black inside-frame pen.
    EXPECT_EQ(rects[0].pinceau.couleur, vl::clBlack);
    EXPECT_EQ(rects[0].pinceau.style, vl::bsSolid);
    EXPECT_EQ(rects[0].plume.couleur, vl::clBlack);
    EXPECT_EQ(rects[0].plume.style, vl::psInsideFrame);
    EXPECT_EQ(rects[0].plume.largeur, 1);
}

TEST(BarresEnregistrees, RectanglesDesQuatreRotations)
{
    // The first bar of a Code 128 (start pattern: bar of 2 modules) at each
    // rotation, with w = 2 modules and h = the bar height.
    const double b = 0.02, h = 1.0, tire = 1.0 / 300;
    struct Attendu
    {
        TBarCodeRotation r;
        double u, v;
        double rect[4];
    };
    const Attendu cas[] = {
        {Rot0, 3, 4, {3, 4, 3 + 2 * b - tire, 4 + h}},
        {Rot90, 3, 4, {4, 3, 4 + h - tire, 3 - 2 * b}},
        {Rot180, 3, 4, {3, 4, 3 - 2 * b - tire, 4 - h}},
        {Rot270, 3, 4, {4, 3, 4 - h - tire, 3 + 2 * b}},
    };
    for (const Attendu& a : cas) {
        CanevasEnregistreur canevas(vl::FormatPapier::A4(), 300, 300);
        TRPBarsCode128 d(&canevas);
        d.SetText("x");
        d.BarWidth = b;
        d.BarHeight = h;
        d.PrintReadable = false;
        d.BarCodeRotation = a.r;
        d.PrintXY(a.u, a.v);
        const auto rects = canevas.OperationsDeType(TypeOperation::Rectangle);
        ASSERT_FALSE(rects.empty());
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(rects[0].cm[i], a.rect[i], 1e-12) << NomRotation(a.r) << " coordinate " << i;
    }
}

TEST(BarresEnregistrees, GardesEtDonnees)
{
    for (bool lisible : {true, false}) {
        CanevasEnregistreur canevas;
        PreparerPolice(canevas, 0);
        TRPBarsEAN d(&canevas);
        d.SetText("012345678901");
        d.BarWidth = 0.033;
        d.BarHeight = 2;
        d.PrintReadable = lisible;
        canevas.SetPoliceTaille(d.DigitFontSize());
        const double a = canevas.HauteurLigne();
        canevas.SetPoliceTaille(10);
        d.PrintXY(1, 1);
        const auto rects = canevas.OperationsDeType(TypeOperation::Rectangle);
        ASSERT_EQ(rects.size(), 30);
        // Guards: bars 0, 1 (side), 14, 15 (centre), 28, 29 (side).
        for (int i = 0; i < rects.size(); ++i) {
            const bool garde = i <= 1 || i == 14 || i == 15 || i >= 28;
            const double hauteur = rects[i].cm[3] - rects[i].cm[1];
            EXPECT_NEAR(hauteur, garde || !lisible ? 2.0 : 2.0 - a / 2, 1e-9) << i << " " << lisible;
        }
        EXPECT_EQ(canevas.OperationsDeType(TypeOperation::Texte).isEmpty(), !lisible);
        // Height is read before printing, in the caller's font.
        EXPECT_NEAR(d.Height(), lisible ? 2 + canevas.HauteurLigne() / 2 : 2, 1e-9);
    }
}

TEST(BarresEnregistrees, CrayonEtPinceauRendus)
{
    CanevasEnregistreur canevas;
    const vl::Plume plume{0x123456, vl::psDash, 3, vl::pmXor};
    const vl::Pinceau pinceau{0x00FF00, vl::bsClear};
    canevas.SetPlume(plume);
    canevas.SetPinceau(pinceau);
    canevas.SetPoliceTaille(10);
    for (int type = 0; type <= 5; ++type) {
        auto d = CreerRPBars(type, &canevas);
        d->SetText("12");
        d->PrintXY(1, 1);
        EXPECT_EQ(canevas.GetPlume(), plume) << type;
        EXPECT_EQ(canevas.GetPinceau(), pinceau) << type;
        EXPECT_DOUBLE_EQ(canevas.GetPolice().taille, 10) << type;
        EXPECT_EQ(canevas.GetPolice().rotation, 0) << type;
    }
}

// --- Readable texts --------------------------------------------------------------

TEST(TexteLisible, EAN13EnRot0)
{
    CanevasEnregistreur canevas;
    PreparerPolice(canevas, 0);
    TRPBarsEAN d(&canevas);
    d.SetText("012345678901");
    d.BarWidth = 0.033;
    d.BarHeight = 2;
    const double taille = d.DigitFontSize();
    canevas.SetPoliceTaille(taille);
    const double a = canevas.HauteurLigne(), desc = canevas.Descente();
    canevas.SetPoliceTaille(10);
    d.PrintXY(1, 3);
    const auto textes = canevas.OperationsDeType(TypeOperation::Texte);
    ASSERT_EQ(textes.size(), 3);
    EXPECT_EQ(canevas.Textes(), QStringList({"0", "123456", "789012"}));
    const double ligne = 3 + 2 - a / 2 + a - desc; // baseline under the line top
    const double x[] = {1 - 2 * 0.033, 1 + 24 * 0.033, 1 + 71 * 0.033};
    const vl::Justification j[] = {vl::pjRight, vl::pjCenter, vl::pjCenter};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(textes[i].cm[0], x[i], 1e-9) << i;
        EXPECT_NEAR(textes[i].cm[1], ligne, 1e-9) << i;
        EXPECT_EQ(textes[i].justification, j[i]) << i;
        EXPECT_NEAR(textes[i].police.taille, taille, 1e-9);
        EXPECT_EQ(textes[i].police.rotation, 0);
    }
}

TEST(TexteLisible, EAN8EnRot180SurLaLigneDuCurseur)
{
    CanevasEnregistreur canevas;
    PreparerPolice(canevas, 5);
    TRPBarsEAN8 d(&canevas);
    d.SetText("9638507");
    d.BarWidth = 0.033;
    d.BarHeight = 2;
    d.BarCodeRotation = Rot180;
    canevas.SetPoliceTaille(d.DigitFontSize());
    const double a = canevas.HauteurLigne();
    const double q = (28 * 0.033 - canevas.LargeurTexte("0000")) / 2;
    canevas.SetPoliceTaille(10);
    d.PrintXY(10, 8);
    const auto textes = canevas.OperationsDeType(TypeOperation::Texte);
    ASSERT_EQ(textes.size(), 2);
    EXPECT_EQ(canevas.Textes(), QStringList({"9638", "5074"}));
    const double B = 8 - 2 - a;
    for (const auto& t : textes) {
        EXPECT_NEAR(t.cm[1], B + 2 * a / 3, 1e-9);
        EXPECT_EQ(t.police.rotation, 180);
    }
    EXPECT_NEAR(textes[0].cm[0], 10 - 3 * 0.033 - q, 1e-9);
    EXPECT_NEAR(textes[1].cm[0], 10 - 36 * 0.033 - q, 1e-9);
}

TEST(TexteLisible, TexteCentreDesAutresSymbologies)
{
    // Code 128 with FNC1: the function byte is not shown, nor the check.
    for (TBarCodeRotation r : {Rot0, Rot90, Rot180, Rot270}) {
        CanevasEnregistreur canevas;
        PreparerPolice(canevas, 4);
        TRPBarsCode128 d(&canevas);
        d.SetText(QString(QChar(0xF1)) + "123456");
        d.BarWidth = 0.03;
        d.BarHeight = 1;
        d.BarCodeRotation = r;
        d.PrintXY(5, 5);
        const auto textes = canevas.OperationsDeType(TypeOperation::Texte);
        ASSERT_EQ(textes.size(), 1);
        EXPECT_EQ(textes[0].texte, "123456");
        const double t = canevas.LargeurTexte("123456");
        const double a = canevas.HauteurLigne(), desc = canevas.Descente();
        const double w = d.Width();
        double x = 0, y = 0;
        int rotation = 0;
        switch (r) {
        case Rot0: x = 5 + w / 2 - t / 2; y = 5 + 1 + a - desc; rotation = 0; break;
        case Rot90: x = 5 + 1 + a - desc; y = 5 - w / 2 + t / 2; rotation = 90; break;
        case Rot180: x = 5 - w / 2 + t / 2; y = 5 - 1 - a + desc; rotation = 180; break;
        case Rot270: x = 5 - 1 - a + desc; y = 5 + w / 2 - t / 2; rotation = 270; break;
        }
        EXPECT_NEAR(textes[0].cm[0], x, 1e-9) << NomRotation(r);
        EXPECT_NEAR(textes[0].cm[1], y, 1e-9) << NomRotation(r);
        EXPECT_EQ(textes[0].police.rotation, rotation);
        EXPECT_EQ(canevas.GetPolice().rotation, 0);
    }
}

TEST(TexteLisible, SansLegendeNiTexteNiHauteur)
{
    for (int type = 0; type <= 5; ++type) {
        CanevasEnregistreur canevas;
        PreparerPolice(canevas, type);
        auto d = CreerRPBars(type, &canevas);
        d->SetText("1234567");
        d->BarHeight = 1.25;
        d->SetPrintReadable(false);
        d->PrintXY(2, 2);
        EXPECT_TRUE(canevas.OperationsDeType(TypeOperation::Texte).isEmpty()) << type;
        EXPECT_DOUBLE_EQ(d->Height(), 1.25) << type;
        d->SetPrintReadable(true);
        const bool upc = type == 0 || type == 5;
        EXPECT_NEAR(d->Height(), 1.25 + (upc ? 0.5 : 1.0) * canevas.HauteurLigne(), 1e-12) << type;
    }
}

// --- Sizes and the digit font ------------------------------------------------------

TEST(TaillesImprimees, Largeurs)
{
    CanevasEnregistreur canevas;
    struct Cas
    {
        int type;
        QString valeur;
        double modules;
    };
    const Cas cas[] = {
        {0, "012345678901", 95}, {5, "0123456", 67}, {1, "12345", 63},
        {2, "AB", 63},           {3, "a", 63},        {4, "123456", 68},
    };
    for (const Cas& c : cas) {
        auto d = CreerRPBars(c.type, &canevas);
        d->SetText(c.valeur);
        d->BarWidth = 0.025;
        EXPECT_NEAR(d->Width(), c.modules * 0.025, 1e-12) << c.type;
    }
    TRPBarsUPC upc(&canevas);
    EXPECT_NEAR(upc.Width(), 95 * 0.01, 1e-12);
}

TEST(TaillesImprimees, PoliceDesChiffres)
{
    CanevasEnregistreur canevas;
    // Fits at once: 0.9 times the size, unrounded.
    canevas.SetPoliceTaille(7.5);
    TRPBarsEAN ean(&canevas);
    ean.BarWidth = 0.05;
    EXPECT_NEAR(ean.DigitFontSize(), 6.75, 1e-9);
    EXPECT_DOUBLE_EQ(canevas.GetPolice().taille, 7.5);

    // Never fits: back to the starting size, times 0.9.
    ean.BarWidth = 0.0001;
    EXPECT_NEAR(ean.DigitFontSize(), 6.75, 1e-9);
    EXPECT_DOUBLE_EQ(canevas.GetPolice().taille, 7.5);

    // Shrinks in tenths of a point until the sample fits within the bars
    // less 11 modules: 56 modules for EAN-8, whose sample has seven zeros.
    for (int type : {0, 5}) {
        canevas.SetPoliceTaille(24);
        auto d = CreerRPBars(type, &canevas);
        d->BarWidth = 0.02;
        const double r = d->DigitFontSize();
        EXPECT_DOUBLE_EQ(canevas.GetPolice().taille, 24);
        const double s = r / 0.9;
        EXPECT_LT(s, 24);
        const QString echantillon(type == 0 ? 12 : 7, QLatin1Char('0'));
        const double limite = (type == 0 ? 84 : 56) * 0.02;
        canevas.SetPoliceTaille(s);
        EXPECT_LE(canevas.LargeurTexte(echantillon), limite) << type;
        canevas.SetPoliceTaille(s + 0.1);
        EXPECT_GT(canevas.LargeurTexte(echantillon), limite) << type;
    }
}

// --- Creation, filtering ------------------------------------------------------------

TEST(Creation, UnDessinateurParType)
{
    CanevasEnregistreur canevas;
    canevas.AllerA(3.5, 4.5);
    EXPECT_NE(dynamic_cast<TRPBarsEAN*>(CreerRPBars(0, &canevas).get()), nullptr);
    EXPECT_NE(dynamic_cast<TRPBars2of5*>(CreerRPBars(1, &canevas).get()), nullptr);
    auto c39 = CreerRPBars(2, &canevas);
    auto c39e = CreerRPBars(3, &canevas);
    EXPECT_FALSE(dynamic_cast<TRPBarsCode39&>(*c39).Extended);
    EXPECT_TRUE(dynamic_cast<TRPBarsCode39&>(*c39e).Extended);
    EXPECT_NE(dynamic_cast<TRPBarsCode128*>(CreerRPBars(4, &canevas).get()), nullptr);
    EXPECT_NE(dynamic_cast<TRPBarsEAN8*>(CreerRPBars(5, &canevas).get()), nullptr);
    EXPECT_EQ(CreerRPBars(6, &canevas), nullptr);
    // Defaults, and the start taken from the canvas cursor.
    EXPECT_DOUBLE_EQ(c39->BarWidth, 0.01);
    EXPECT_DOUBLE_EQ(c39->BarHeight, 0.5);
    EXPECT_DOUBLE_EQ(c39->WideFactor, 3.0);
    EXPECT_TRUE(c39->PrintReadable);
    EXPECT_EQ(c39->BarCodeRotation, Rot0);
    EXPECT_DOUBLE_EQ(c39->Position, 3.5);
    EXPECT_DOUBLE_EQ(c39->Top, 4.5);
    EXPECT_FALSE(c39->UseChecksum);
    EXPECT_TRUE(CreerRPBars(4, &canevas)->UseChecksum);
    auto ean = CreerRPBars(0, &canevas);
    ean->SetUseChecksum(false);
    EXPECT_TRUE(ean->UseChecksum);
}

TEST(Creation, CaracteresRefusesEtFiltrage)
{
    CanevasEnregistreur canevas;
    auto ean = CreerRPBars(0, &canevas);
    EXPECT_FALSE(ean->TexteValide("01234567890A"));
    ean->SetText("12a34");
    EXPECT_EQ(ean->Text, "000000001234");
    ean->SetText("01234567890123");
    EXPECT_EQ(ean->Text, "012345678901");
    auto ean8 = CreerRPBars(5, &canevas);
    ean8->SetText("123");
    EXPECT_EQ(ean8->Text, "0000123");
    auto c39 = CreerRPBars(2, &canevas);
    EXPECT_FALSE(c39->TexteValide("abc"));
    EXPECT_TRUE(CreerRPBars(3, &canevas)->TexteValide("abc"));
    auto c128 = CreerRPBars(4, &canevas);
    EXPECT_TRUE(c128->TexteValide(QString("a") + QChar(0xF8)));
    EXPECT_FALSE(c128->TexteValide(QString::fromUtf8("é")));
    auto i25 = CreerRPBars(1, &canevas);
    i25->SetText("1-2-3");
    EXPECT_EQ(i25->Text, "123");
    EXPECT_EQ(i25->GetCodeComplet(), "0123");
}

TEST(Creation, RotationDesAngles)
{
    TBarCodeRotation r = Rot90;
    EXPECT_TRUE(TRPBarsBase::RotationPourAngle(0, r));
    EXPECT_EQ(r, Rot0);
    EXPECT_TRUE(TRPBarsBase::RotationPourAngle(360, r));
    EXPECT_EQ(r, Rot0);
    EXPECT_TRUE(TRPBarsBase::RotationPourAngle(90, r));
    EXPECT_EQ(r, Rot90);
    EXPECT_TRUE(TRPBarsBase::RotationPourAngle(180, r));
    EXPECT_EQ(r, Rot180);
    EXPECT_TRUE(TRPBarsBase::RotationPourAngle(270, r));
    EXPECT_EQ(r, Rot270);
    EXPECT_FALSE(TRPBarsBase::RotationPourAngle(45, r));
}

// --- Preview pages read back by zxing ----------------------------------------------------

class LecturesApercu : public testing::TestWithParam<CasDessin> {};

TEST_P(LecturesApercu, LuSurLaPageDansLesQuatreRotations)
{
    const CasDessin& c = GetParam();
    // 300 dpi and a module of 3 pixels.
    const double module = 3 * 2.54 / 300;
    for (TBarCodeRotation r : {Rot0, Rot90, Rot180, Rot270}) {
        vl::SortieApercu sortie(300);
        vl::CanevasPeintre canevas(sortie, vl::FormatPapier::A4());
        canevas.Commencer();
        PreparerPolice(canevas, c.type);
        auto d = CreerRPBars(c.type, &canevas);
        d->SetText(c.valeur);
        d->BarWidth = module;
        d->BarHeight = 1.5;
        d->BarCodeRotation = r;
        double u = 0, v = 0;
        Origine(r, u, v);
        d->PrintXY(u, v);
        canevas.Terminer();
        ASSERT_EQ(sortie.Pages().Nombre(), 1);
        // The part of the page around the code, from the corner to 14 cm.
        const QImage page = sortie.Pages().Page(1).copy(0, 0, 1654, 1654);
        const vltest::Lecture l = vltest::Lire(page, c.format);
        EXPECT_TRUE(l.valide) << NomRotation(r);
        EXPECT_TRUE(l.formatAttendu) << NomRotation(r);
        EXPECT_EQ(l.texte, c.texteLu) << NomRotation(r);
    }
}

INSTANTIATE_TEST_SUITE_P(Symbologies, LecturesApercu, testing::ValuesIn(CasDessins()));
