// Screen strategies: module rows against libzint, decoding with zxing-cpp,
// sizes, the digit font search, filtering and refused values.

#include "barcodes/CodesBarres.h"
#include "barcodes/TablesCodesBarres.h"
#include "references.h"

#include <gtest/gtest.h>
#include <zint.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

class UPCEssai : public TCBStrategieUPC
{
public:
    QString GetValeurExemple() override { return QString(); }
};

std::unique_ptr<TCodeBarreStrategie> Creer(int type)
{
    switch (type) {
    case 0: return std::make_unique<TCBStrategieEAN13>();
    case 1: return std::make_unique<TCBStrategie2par5>();
    case 2: return std::make_unique<TCBStrategieCode39>(false);
    case 3: return std::make_unique<TCBStrategieCode39>(true);
    case 4: return std::make_unique<TCBStrategieCode128>();
    case 5: return std::make_unique<TCBStrategieEAN8>();
    default: return std::make_unique<UPCEssai>();
    }
}

// Draws a strategy the way the designer does, at `module` pixels per module,
// with a margin all round.
struct Dessin
{
    QImage image;
    int gauche = 0;
    int haut = 0;
    int largeurBarres = 0; // px
    int hauteurBarres = 0; // px
};

Dessin Dessiner(TCodeBarreStrategie& s, const QString& valeur, int module, bool texte,
                int marge = -1, int hauteurModules = 40)
{
    vl::CanevasBitmap canevas;
    s.Initialiser();
    s.Canvas = &canevas;
    s.WriteText = texte;
    s.Module = module;
    s.HauteurBarres = hauteurModules * module;
    if (marge < 0)
        marge = 15 * module;
    s.Gauche = marge;
    s.Haut = marge;
    s.SetValeur(valeur);
    const int l = static_cast<int>(std::ceil(s.GetLargeurBarres())) + 2 * marge;
    const int h = static_cast<int>(std::ceil(s.GetHauteurTotale())) + 2 * marge;
    canevas.Redimensionner(l, h);
    s.Dessiner();
    Dessin d;
    d.image = canevas.Image();
    d.gauche = marge;
    d.haut = marge;
    d.largeurBarres = vl::barres::Arrondi(s.GetLargeurBarres());
    d.hauteurBarres = static_cast<int>(s.HauteurBarres);
    s.Canvas = nullptr;
    return d;
}

bool Noir(const QImage& im, int x, int y)
{
    return qGray(im.pixel(x, y)) < 128;
}

// Module row read across the bars near their top, one sample per module.
std::string LigneDessinee(const Dessin& d, int module)
{
    std::string r;
    const int y = d.haut + 1;
    for (int x = d.gauche; x < d.gauche + d.largeurBarres; x += module)
        r += Noir(d.image, x + module / 2, y) ? '1' : '0';
    return r;
}

std::string Ligne(int type, const QString& valeur)
{
    auto s = Creer(type);
    return LigneDessinee(Dessiner(*s, valeur, 1, false), 1);
}

std::string Latin1(const QString& s)
{
    return s.toLatin1().toStdString();
}

} // namespace

// --- Module rows against libzint ---------------------------------------------

struct CasZint
{
    int type;        // our TypeCodeBarre, 6 for UPC-A
    QString valeur;
    int symbologie;  // zint
    std::string entreeZint;
    bool etroitLarge; // compare narrow/wide runs (ratio differs in zint)
};

void PrintTo(const CasZint& c, std::ostream* os)
{
    *os << "type " << c.type << " \"" << c.entreeZint << "\"";
}

class LignesZint : public testing::TestWithParam<CasZint> {};

TEST_P(LignesZint, LigneIdentiqueAZint)
{
    const CasZint& c = GetParam();
    std::string erreur;
    const std::string attendu = vltest::LigneZint(c.symbologie, c.entreeZint, &erreur);
    ASSERT_FALSE(attendu.empty()) << erreur;
    const std::string obtenu = Ligne(c.type, c.valeur);
    if (c.etroitLarge)
        EXPECT_EQ(vltest::EtroitLarge(obtenu), vltest::EtroitLarge(attendu)) << Latin1(c.valeur);
    else
        EXPECT_EQ(obtenu, attendu) << Latin1(c.valeur);
}

static std::vector<CasZint> CasLignesZint()
{
    std::vector<CasZint> v = {
        {0, "012345678901", BARCODE_EANX, "012345678901", false},
        {0, "400638133393", BARCODE_EANX, "400638133393", false},
        {5, "0123456", BARCODE_EANX, "0123456", false},
        {5, "9638507", BARCODE_EANX, "9638507", false},
        {5, "5512345", BARCODE_EANX, "5512345", false},
        {6, "03600029145", BARCODE_UPCA, "03600029145", false},
        {6, "12345678901", BARCODE_UPCA, "12345678901", false},
        {1, "1234", BARCODE_C25INTER, "1234", true},
        {1, "123", BARCODE_C25INTER, "0123", true},
        {1, "9876543210", BARCODE_C25INTER, "9876543210", true},
        {2, "CODE 39", BARCODE_CODE39, "CODE 39", true},
        {2, "0123456789", BARCODE_CODE39, "0123456789", true},
        {2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", BARCODE_CODE39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", true},
        {2, "-. $/+%", BARCODE_CODE39, "-. $/+%", true},
        {3, "Hello, World!", BARCODE_EXCODE39, "Hello, World!", true},
        {4, "123456", BARCODE_CODE128, "123456", false},
        {4, "12345678", BARCODE_CODE128, "12345678", false},
        {4, "Code 128", BARCODE_CODE128, "Code 128", false},
        {4, "hello world", BARCODE_CODE128, "hello world", false},
        {4, "ab1234567890", BARCODE_CODE128, "ab1234567890", false},
    };
    // Every first digit of EAN-13, which exercises the whole parity table.
    for (int d = 0; d <= 9; ++d) {
        const QString s = QString::number(d) + "73513537812";
        v.push_back({0, s, BARCODE_EANX, Latin1(s), false});
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(Symbologies, LignesZint, testing::ValuesIn(CasLignesZint()));

TEST(LignesZint, Code39EtenduChaqueCodeAscii)
{
    for (int code = 0; code < 128; ++code) {
        const QString valeur(QChar(static_cast<char16_t>(code)));
        const std::string entree(1, static_cast<char>(code));
        std::string erreur;
        const std::string attendu = vltest::LigneZint(BARCODE_EXCODE39, entree, &erreur);
        ASSERT_FALSE(attendu.empty()) << code << " " << erreur;
        EXPECT_EQ(vltest::EtroitLarge(Ligne(3, valeur)), vltest::EtroitLarge(attendu)) << "code " << code;
    }
}

TEST(LignesZint, Code128ChaqueCaractereImprimableMinuscule)
{
    // Values starting in set B on both sides: a lowercase letter then one
    // printable character, so every set B pattern from 0 to 95 gets drawn.
    for (int code = 32; code < 128; ++code) {
        QString valeur = QStringLiteral("a");
        valeur += QChar(static_cast<char16_t>(code));
        std::string erreur;
        const std::string attendu = vltest::LigneZint(BARCODE_CODE128, Latin1(valeur), &erreur);
        ASSERT_FALSE(attendu.empty()) << code << " " << erreur;
        EXPECT_EQ(Ligne(4, valeur), attendu) << "code " << code;
    }
}

TEST(LignesZint, Code128JeuAAvecCaracteresDeControle)
{
    // A control character forces set A in both encoders.
    const QString valeur = QStringLiteral("A\tB");
    EXPECT_EQ(Ligne(4, valeur), vltest::LigneZint(BARCODE_CODE128, "A\tB"));
}

// --- Code 128 symbol values ---------------------------------------------------

struct Cas128
{
    QString valeur;
    int jeu;
    std::vector<int> valeurs;
};

TEST(Code128, ValeursDesSymboles)
{
    const std::vector<Cas128> cas = {
        {"123456", 2, {12, 34, 56}},
        {"ab1234567890", 1, {65, 66, 99, 12, 34, 56, 78, 90}},
        {"AB12345", 0, {33, 34, 17, 18, 19, 20, 21}},
        {QString("A") + QChar(0xF7) + "B", 0, {33, 34}},
        {"", 0, {}},
        // An odd run of seven digits: its first digit stays in B.
        {"a1234567", 1, {65, 17, 99, 23, 45, 67}},
        // FNC1 in set C.
        {QString(QChar(0xF1)) + "123456", 2, {102, 12, 34, 56}},
    };
    for (const Cas128& c : cas) {
        TCBStrategieCode128 s;
        s.SetValeur(c.valeur);
        EXPECT_EQ(s.ChoisirJeu(), c.valeurs) << Latin1(c.valeur);
        EXPECT_EQ(s.JeuUtilise, c.jeu) << Latin1(c.valeur);
    }
}

TEST(Code128, CleEtDessinDeLaValeurVide)
{
    TCBStrategieCode128 s;
    s.SetValeur("");
    EXPECT_EQ(s.GetCheckSum(), QString(QChar(0)));
    // Start A, check value 0, stop.
    const std::string attendu = "11010000100" "11011001100" "1100011101011";
    EXPECT_EQ(Ligne(4, ""), attendu);
}

TEST(Code128, CleModulo103)
{
    TCBStrategieCode128 s;
    s.SetValeur("AB12345");
    // 103 + 1*33 + 2*34 + 3*17 + 4*18 + 5*19 + 6*20 + 7*21 = 689 = 6*103 + 71
    EXPECT_EQ(s.ValeurCle(), 71);
    s.SetValeur("123456");
    // 105 + 12 + 68 + 168 = 353 = 3*103 + 44
    EXPECT_EQ(s.ValeurCle(), 44);
}

TEST(Code128, F7AccepteSansSymbole)
{
    TCBStrategieCode128 s;
    EXPECT_TRUE(s.CodeValide(QString("12") + QChar(0xF7)));
    EXPECT_EQ(Ligne(4, QString("ab") + QChar(0xF7)), Ligne(4, "ab"));
}

// --- Other symbologies' edge cases ------------------------------------------------

TEST(DeuxParCinq, ValeurImpaireDessineeAvecUnZeroDevant)
{
    EXPECT_EQ(Ligne(1, "123"), Ligne(1, "0123"));
    TCBStrategie2par5 s;
    s.SetValeur("123");
    EXPECT_EQ(s.GetCodeComplet(), "0123");
    EXPECT_EQ(s.GetCheckSum(), QString());
}

TEST(DeuxParCinq, ValeurVideDessineStartEtStop)
{
    // Start 1111 then stop 211 (wide = 3 modules).
    EXPECT_EQ(Ligne(1, ""), "1010" "111" "01");
}

TEST(Code39, ValeurVideDessineLesDeuxEtoiles)
{
    EXPECT_EQ(vltest::EtroitLarge(Ligne(2, "")), "nwnnwnwnn" "n" "nwnnwnwnn");
}

TEST(Code39, EtenduDessineLesCaracteresDeRemplacement)
{
    TCBStrategieCode39 etendu(true);
    etendu.SetValeur("a");
    EXPECT_EQ(etendu.GetCodeComplet(), "+A");
    EXPECT_EQ(Ligne(3, "a"), Ligne(2, "+A"));
}

TEST(EAN13, CleEtPariteDeLExemple)
{
    TCBStrategieEAN13 s;
    s.SetValeur("012345678901");
    EXPECT_EQ(s.GetCheckSum(), "2");
    EXPECT_EQ(s.GetCodeComplet(), "0123456789012");
    // First digit 0: all six left digits in odd parity, as UPC-A 12345678901.
    const std::string ean = Ligne(0, "012345678901");
    EXPECT_EQ(ean, Ligne(6, "12345678901"));
}

TEST(EAN13, LongueurRameneeADouzeChiffres)
{
    TCBStrategieEAN13 s;
    EXPECT_FALSE(s.CodeValide("01234567890"));
    EXPECT_FALSE(s.CodeValide("0123456789012"));
    s.SetValeur("12345678901");
    EXPECT_EQ(s.Valeur, "012345678901");
    s.SetValeur("0123456789012");
    EXPECT_EQ(s.Valeur, "012345678901");
    s.SetValeur("");
    EXPECT_EQ(s.Valeur, "000000000000");
}

TEST(EAN13, SansTexteGardesEtDonneesDeMemeHauteur)
{
    TCBStrategieEAN13 s;
    const Dessin d = Dessiner(s, "012345678901", 1, false);
    const int bas = d.haut + d.hauteurBarres - 1;
    for (int x = d.gauche; x < d.gauche + 95; ++x)
        EXPECT_EQ(Noir(d.image, x, d.haut + 1), Noir(d.image, x, bas)) << x;
    EXPECT_FALSE(Noir(d.image, d.gauche, bas + 1));
}

TEST(EAN13, AvecTexteLesDonneesSArretentUneDemiLigneAuDessus)
{
    TCBStrategieEAN13 s;
    const Dessin d = Dessiner(s, "012345678901", 1, true);
    // The digits are drawn in the font TaillePoliceTexte picks.
    vl::CanevasBitmap c;
    s.Canvas = &c;
    c.SetTaillePolice(s.TaillePoliceTexte());
    const double th = c.TextHeight("W");
    double largeur = 0, hauteur = 0, haut = 0;
    s.DessinGarde = false;
    s.DimensionElement('2', largeur, hauteur, haut);
    EXPECT_DOUBLE_EQ(largeur, 2);
    EXPECT_DOUBLE_EQ(hauteur, s.HauteurBarres - th / 2);
    s.DessinGarde = true;
    s.DimensionElement('1', largeur, hauteur, haut);
    EXPECT_DOUBLE_EQ(hauteur, s.HauteurBarres);
    // Guards (modules 0, 2, 92, 94) reach the bottom of the bars; module 5,
    // a bar of digit 1 (odd parity 2221), stops half a text line higher.
    const int bas = d.haut + d.hauteurBarres - 1;
    for (int m : {0, 2, 92, 94})
        EXPECT_TRUE(Noir(d.image, d.gauche + m, bas)) << m;
    const int coupe = vl::barres::Arrondi(d.haut + d.hauteurBarres - th / 2);
    EXPECT_TRUE(Noir(d.image, d.gauche + 5, coupe - 1));
    EXPECT_TRUE(Noir(d.image, d.gauche + 5, d.haut));
}

// --- Widths and heights -----------------------------------------------------------

struct CasLargeur
{
    int type;
    QString valeur;
    double modules; // expected GetLargeurBarres at Module 1
};

TEST(Tailles, LargeurDesBarresEgaleAuDessin)
{
    const std::vector<CasLargeur> cas = {
        {0, "012345678901", 95},
        {5, "0123456", 67},
        {6, "03600029145", 95},
        {1, "123456", 2 * 3 * 9 + 9},      // 3 pairs of 18 modules, start 4, stop 5
        {1, "12345", 2 * 3 * 9 + 9},
        {2, "AB", (9 + 6) * 4 + 3},        // four characters of 15, three gaps
        {3, "a", (9 + 6) * 4 + 3},         // "+A" between the stars
        {4, "123456", 11 * 3 + 35},
        {4, "", 35},
    };
    for (const CasLargeur& c : cas) {
        auto s = Creer(c.type);
        const Dessin d = Dessiner(*s, c.valeur, 1, false);
        EXPECT_DOUBLE_EQ(d.largeurBarres, c.modules) << c.type << " " << Latin1(c.valeur);
        // First bar at Gauche, last bar ends at Gauche + width, nothing beyond.
        const int y = d.haut + 1;
        EXPECT_TRUE(Noir(d.image, d.gauche, y));
        EXPECT_FALSE(Noir(d.image, d.gauche - 1, y));
        EXPECT_TRUE(Noir(d.image, d.gauche + d.largeurBarres - 1, y));
        for (int x = d.gauche + d.largeurBarres; x < d.image.width(); ++x)
            ASSERT_FALSE(Noir(d.image, x, y)) << c.type << " x=" << x;
        EXPECT_EQ(s->GetLargeurTotale(), d.largeurBarres + 20);
    }
}

TEST(Tailles, EAN8LargeurDe67Modules)
{
    TCBStrategieEAN8 s;
    s.Module = 2.5;
    EXPECT_DOUBLE_EQ(s.GetLargeurBarres(), 67 * 2.5);
    EXPECT_EQ(Ligne(5, "0123456").size(), 67u);
}

TEST(Tailles, HauteursTotales)
{
    vl::CanevasBitmap c;
    const double th = c.TextHeight("W");
    ASSERT_GT(th, 0);
    for (int type = 0; type <= 5; ++type) {
        auto s = Creer(type);
        s->Canvas = &c;
        s->HauteurBarres = 50;
        const bool upc = type == 0 || type == 5;
        const double texte = upc ? th / 2 : th;
        s->WriteText = true;
        EXPECT_DOUBLE_EQ(s->GetHauteurTotale(), 50 + texte) << type;
        s->WriteText = false;
        EXPECT_DOUBLE_EQ(s->GetHauteurTotale(), 50) << type;
        EXPECT_DOUBLE_EQ(s->HauteurBarresPour(100, 10), upc ? 95 : 90) << type;
        EXPECT_DOUBLE_EQ(s->HauteurTotalePour(10), upc ? 55 : 60) << type;
    }
}

// --- Digit font of the EAN family ------------------------------------------------

TEST(PoliceChiffres, RestePolice0Virgule9QuandLEchantillonTient)
{
    vl::CanevasBitmap c;
    c.SetTaillePolice(8);
    TCBStrategieEAN13 s;
    s.Canvas = &c;
    s.Module = 2;
    EXPECT_EQ(s.TaillePoliceTexte(), 7); // Round(7.2)
    EXPECT_EQ(c.TaillePolice(), 8);
}

TEST(PoliceChiffres, RetreciJusquALaLargeurDesBarres)
{
    for (int type : {0, 5}) {
        vl::CanevasBitmap c;
        c.SetTaillePolice(40);
        auto s = Creer(type);
        s->Canvas = &c;
        const int r = s->TaillePoliceTexte();
        EXPECT_EQ(c.TaillePolice(), 40) << "starting size restored";
        EXPECT_LT(r, 36);
        EXPECT_GT(r, 0);
        // The size before the 0.9 factor is the largest one where the sample
        // fits within the bars less 11 modules.
        const QString echantillon(type == 0 ? 12 : 8, QLatin1Char('0'));
        const double limite = s->GetLargeurBarres() - 11;
        int trouve = 0;
        for (int t = 40; t > 0; --t) {
            c.SetTaillePolice(t);
            if (c.TextWidth(echantillon) <= limite) {
                trouve = t;
                break;
            }
        }
        EXPECT_EQ(r, vl::barres::Arrondi(0.9 * trouve)) << type;
    }
}

TEST(PoliceChiffres, EchantillonQuiNeTientJamaisRendLaTailleDeDepart)
{
    vl::CanevasBitmap c;
    c.SetTaillePolice(10);
    TCBStrategieEAN13 s;
    s.Canvas = &c;
    s.Module = 0.01; // less than a pixel of room: not even one point fits
    EXPECT_EQ(s.TaillePoliceTexte(), 9);
    EXPECT_EQ(c.TaillePolice(), 10);
}

// --- Filtering, refused values, texts ------------------------------------------------

struct CasValide
{
    int type;
    QString valeur;
    bool valide;
};

TEST(Validation, CodeValide)
{
    const std::vector<CasValide> cas = {
        {0, "012345678901", true}, {0, "01234567890", false}, {0, "0123456789012", false},
        {0, "01234567890A", false}, {0, "", false},
        {5, "0123456", true}, {5, "012345", false}, {5, "01234567", false}, {5, "012345a", false},
        {1, "0123", true}, {1, "", true}, {1, "12A", false}, {1, "1 2", false},
        {2, "CODE 39", true}, {2, "-. $/+%", true}, {2, "code", false}, {2, "*", false},
        {2, "A_B", false},
        {3, "code", true}, {3, QString(QChar(0)) + QChar(127), true}, {3, QString::fromUtf8("é"), false},
        {4, "Code 128", true}, {4, QString(QChar(0xF1)), true}, {4, QString(QChar(0xF8)), true},
        {4, QString(QChar(0xF9)), false}, {4, QString::fromUtf8("é"), false},
        {4, QString(QChar(0x80)), false}, {4, QString(QChar(0xF0)), false},
    };
    for (const CasValide& c : cas) {
        auto s = Creer(c.type);
        EXPECT_EQ(s->CodeValide(c.valeur), c.valide) << c.type << " " << c.valeur.toStdString();
    }
}

TEST(Validation, SetValeurEcarteLesCaracteresRefuses)
{
    const std::vector<std::tuple<int, QString, QString>> cas = {
        {1, "12-34", "1234"},
        {2, "Code 39", "C 39"},
        {3, QString::fromUtf8("aé b"), "a b"},
        {4, QString::fromUtf8("aé") + QChar(0xF1), QString("a") + QChar(0xF1)},
        {0, "12a34", "000000001234"},
        {5, "1234567890", "1234567"},
    };
    for (const auto& [type, entree, sortie] : cas) {
        auto s = Creer(type);
        s->SetValeur(entree);
        EXPECT_EQ(s->Valeur, sortie) << type;
    }
}

TEST(Validation, ValeursExemplesAcceptees)
{
    const QStringList exemples = {"012345678901", "12345", "CODE 39", "CODE 39", "Code 128", "0123456"};
    for (int type = 0; type <= 5; ++type) {
        auto s = Creer(type);
        EXPECT_EQ(s->GetValeurExemple(), exemples[type]);
        EXPECT_TRUE(s->CodeValide(s->GetValeurExemple())) << type;
    }
}

TEST(Validation, MessagesDErreur)
{
    EXPECT_EQ(EInvalidCodBar::MessageCodeInvalide(), "le code n'est pas valide");
    EXPECT_EQ(EInvalidCodBar::MessageChampInvalide(), "Champ invalide pour ce type de code");
    try {
        throw EInvalidCodBar(EInvalidCodBar::MessageCodeInvalide());
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "le code n'est pas valide");
    }
}

TEST(Descriptions, TextesDuChoixDeSymbologie)
{
    TCBStrategieCode39 c39;
    EXPECT_EQ(c39.Description, QString::fromUtf8("Code de longueur variable.\r\n\r\nCaractères autorisés :\r\n"
                                                 "\t-  chiffres,\r\n\t-  lettres en majuscule,\r\n\t-  -. $/+%"));
    TCBStrategie2par5 i25;
    EXPECT_EQ(i25.Description,
              QString::fromUtf8("Code de longueur variable.\r\n\r\nCaractères autorises : chiffres uniquement."));
    TCBStrategieEAN8 e8;
    EXPECT_EQ(e8.Description, QString::fromUtf8("Code de 7 caractères.\r\n\r\nCaractères autorisés : chiffres "
                                                "uniquement.\r\nSomme de contrôle calculée automatiquement."));
    TCBStrategieCode39 etendu(true);
    EXPECT_TRUE(etendu.Description.startsWith("Code de longueur variable.\r\n\r\nLes 128 caract"));
}

TEST(Descriptions, ReglagesDesConstructeurs)
{
    const int modulos[] = {10, 10, 43, 43, 103, 10};
    const bool cles[] = {true, false, false, false, true, true};
    for (int type = 0; type <= 5; ++type) {
        auto s = Creer(type);
        EXPECT_EQ(s->ModuloCheckSum, modulos[type]) << type;
        EXPECT_EQ(s->CheckSum, cles[type]) << type;
        EXPECT_DOUBLE_EQ(s->HauteurBarres, 70);
        EXPECT_DOUBLE_EQ(s->Module, 1);
        EXPECT_DOUBLE_EQ(s->Gauche, 10);
        EXPECT_TRUE(s->WriteText);
        s->SetCheckSum(false);
        EXPECT_EQ(s->CheckSum, type == 0 || type == 5) << "the EAN family keeps its check digit";
    }
}

TEST(ListeSymbologies, OrdreDesTypes)
{
    TListeSymbologies liste;
    EXPECT_EQ(liste.Libelles(), QStringList({"EAN 13", QString::fromUtf8("2 par 5 entrelacé"), "Code 39",
                                             QString::fromUtf8("Code 39 étendu"), "Code 128", "EAN 8"}));
    EXPECT_NE(dynamic_cast<TCBStrategieEAN13*>(liste.Strategie(0)), nullptr);
    EXPECT_NE(dynamic_cast<TCBStrategie2par5*>(liste.Strategie(1)), nullptr);
    auto* c39 = dynamic_cast<TCBStrategieCode39*>(liste.Strategie(2));
    auto* c39e = dynamic_cast<TCBStrategieCode39*>(liste.Strategie(3));
    ASSERT_TRUE(c39 && c39e);
    EXPECT_FALSE(c39->Etendu);
    EXPECT_TRUE(c39e->Etendu);
    EXPECT_NE(dynamic_cast<TCBStrategieCode128*>(liste.Strategie(4)), nullptr);
    EXPECT_NE(dynamic_cast<TCBStrategieEAN8*>(liste.Strategie(5)), nullptr);
    EXPECT_EQ(liste.Strategie(6), nullptr);
    EXPECT_EQ(liste.Strategie(-1), nullptr);
}

TEST(Robustesse, DessinSansCanevasNePlantePas)
{
    for (int type = 0; type <= 5; ++type) {
        auto s = Creer(type);
        s->SetValeur(s->GetValeurExemple());
        s->Dessiner();
        EXPECT_DOUBLE_EQ(s->GetHauteurTotale(), 70);
    }
    // A Valeur set directly, bypassing SetValeur, still draws.
    TCBStrategieEAN13 s;
    vl::CanevasBitmap c(200, 100);
    s.Canvas = &c;
    s.Valeur = "12";
    s.Dessiner();
    EXPECT_EQ(s.Valeur, "000000000012");
}

// --- Decoding the drawn symbols with zxing-cpp ------------------------------------------

struct CasLecture
{
    int type;
    QString valeur;
    vltest::Format format;
    std::string texte;
};

void PrintTo(const CasLecture& c, std::ostream* os)
{
    *os << "type " << c.type << " \"" << c.texte << "\"";
}

class Lectures : public testing::TestWithParam<CasLecture> {};

TEST_P(Lectures, LuParZxingDansLesQuatreSens)
{
    const CasLecture& c = GetParam();
    auto s = Creer(c.type);
    ASSERT_TRUE(s->CodeValide(c.valeur));
    const Dessin d = Dessiner(*s, c.valeur, 2, true);
    for (int angle : {0, 90, 180, 270}) {
        const vltest::Lecture l = vltest::Lire(vltest::Tourner(d.image, angle), c.format);
        EXPECT_TRUE(l.valide) << Latin1(c.valeur) << " at " << angle;
        EXPECT_TRUE(l.formatAttendu) << Latin1(c.valeur) << " at " << angle;
        EXPECT_EQ(l.texte, c.texte) << " at " << angle;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Symbologies, Lectures,
    testing::Values(CasLecture{0, "012345678901", vltest::Format::EAN13, "0123456789012"},
                    CasLecture{0, "400638133393", vltest::Format::EAN13, "4006381333931"},
                    CasLecture{0, "978014300723", vltest::Format::EAN13, "9780143007234"},
                    CasLecture{5, "0123456", vltest::Format::EAN8, "01234565"},
                    CasLecture{5, "9638507", vltest::Format::EAN8, "96385074"},
                    CasLecture{1, "123456", vltest::Format::ITF, "123456"},
                    CasLecture{1, "12345", vltest::Format::ITF, "012345"},
                    CasLecture{1, "9876543210", vltest::Format::ITF, "9876543210"},
                    CasLecture{2, "CODE 39", vltest::Format::Code39, "CODE 39"},
                    CasLecture{2, "A-1.B $/+%", vltest::Format::Code39, "A-1.B $/+%"},
                    CasLecture{3, "Hello, World!", vltest::Format::Code39Etendu, "Hello, World!"},
                    CasLecture{3, "a", vltest::Format::Code39Etendu, "a"},
                    CasLecture{4, "Code 128", vltest::Format::Code128, "Code 128"},
                    CasLecture{4, "123456", vltest::Format::Code128, "123456"},
                    CasLecture{4, "ab1234567890", vltest::Format::Code128, "ab1234567890"},
                    CasLecture{4, "AB12345", vltest::Format::Code128, "AB12345"},
                    CasLecture{4, "x1234567y", vltest::Format::Code128, "x1234567y"}));
