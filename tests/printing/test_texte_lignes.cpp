// Word splitting, line filling and the fitting of text leaves on the report.
#include "printing/TexteStrategies.h"

#include "model/Metier.h"
#include "report/CanevasEnregistreur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

QString Montrer(const QStringList& l)
{
    QStringList q;
    for (QString s : l)
        q << "[" + s.replace("\r", "\\r") + "]";
    return q.join(' ');
}

// Every character one unit wide: line filling cases read like a typewriter.
class MesureParCaractere : public TMesureTexte
{
public:
    double Mesurer(const QString& texte) const override { return texte.size(); }
};

} // namespace

// ---------------------------------------------------------------------------
// Word splitters

TEST(DecoupeMots, SplittersKeepTrailingSpacesAndMarkLineBreaks)
{
    TSimpleDecoupeMotsStrategie simple;
    TMemoDecoupeMotsStrategie memo;
    struct Cas { TDecoupeMotsStrategie* decoupage; QString texte; QStringList mots; };
    const Cas cas[] = {
        {&simple, "Vin rouge", {"Vin ", "rouge"}},
        {&simple, "a  b", {"a ", " ", "b"}},
        {&simple, "a ", {"a ", ""}},
        {&simple, "", {""}},
        {&simple, "ab\r\ncd", {"ab\r\ncd"}},
        {&memo, " ", {" "}},
        {&memo, "ab cd ", {"ab ", "cd "}},
        {&memo, "ab\r\ncd\r\n", {"ab", "\r", "cd"}},
        {&memo, "ab\r\n\r\ncd", {"ab", "\r", "", "\r", "cd"}},
        {&memo, "un deux\r\ntrois quatre", {"un ", "deux", "\r", "trois ", "quatre"}},
        // Line breaks typed on this platform are a lone LF.
        {&memo, "ab\ncd\n", {"ab", "\r", "cd"}},
        {&memo, "", {}},
    };
    for (const Cas& c : cas) {
        QStringList mots{"reste d'avant"};
        c.decoupage->Decouper(c.texte, mots);
        EXPECT_EQ(mots, c.mots) << Montrer({c.texte}).toStdString() << " gave " << Montrer(mots).toStdString();
    }
}

// ---------------------------------------------------------------------------
// Line filling

TEST(RemplirLignes, FillsLinesByTheWidthRule)
{
    MesureParCaractere mesure;
    TSimpleDecoupeMotsStrategie simple;
    TMemoDecoupeMotsStrategie memo;
    struct Cas {
        const char* quoi;
        TDecoupeMotsStrategie* decoupage;
        QString texte;
        int nbLignes;
        bool ajustement;
        double largeur;
        bool reussi;
        QStringList lignes;
    };
    const Cas cas[] = {
        {"two words, one line too few", &simple, "abc defg", 1, false, 4, false, {"abc"}},
        {"two words on two lines without their space", &simple, "abc defg", 2, false, 4, true, {"abc", "defg"}},
        {"words that fit share a line", &simple, "ab cd", 1, false, 5, true, {"ab cd"}},
        {"unused lines are blank", &simple, "ab", 3, false, 5, true, {"ab", " ", " "}},
        {"memo ending with a break gives two lines", &memo, "ab\r\ncd\r\n", 2, false, 10, true, {"ab", "cd"}},
        {"a break always ends the line", &memo, "ab\r\ncd", 1, false, 10, false, {"ab"}},
        {"an empty line between two breaks", &memo, "ab\r\n\r\ncd", 3, false, 10, true, {"ab", " ", "cd"}},
        {"memo of two words ending with a space", &memo, "ab cd ", 1, false, 10, true, {"ab cd "}},
        {"a lone word wider than the box is consumed unprinted", &simple, "abcdefghij", 1, false, 4, true, {" "}},
        {"a wide first word: blank line, then its fitting start", &simple, "abcdefghij xy", 3, false, 4, true,
         {" ", "abcd", "xy"}},
        {"a wide first word needs its two lines", &simple, "abcdefghij xy", 2, false, 4, false, {" ", "abcd"}},
        {"a wide word inside the text is cut on its own line", &simple, "xy abcdefghij zz", 3, false, 4, true,
         {"xy ", "abcd", "zz"}},
        {"fitting refuses a word wider than the box", &simple, "xy abcdefghij", 1, true, 4, false, {}},
        {"fitting accepts what fits on the line", &simple, "ab cd", 1, true, 5, true, {"ab cd"}},
        {"empty text gives one blank line", &simple, "", 1, false, 4, true, {" "}},
    };
    for (const Cas& c : cas) {
        TAlphanumStrategie strategie;
        strategie.SetMesureurTexte(&mesure);
        c.decoupage->Decouper(c.texte, strategie.Mots());
        EXPECT_EQ(strategie.RemplirLignes(c.nbLignes, c.ajustement, c.largeur), c.reussi) << c.quoi;
        EXPECT_EQ(strategie.Lignes(), c.lignes) << c.quoi << ": " << Montrer(strategie.Lignes()).toStdString();
    }
}

TEST(RemplirLignes, AWideLastWordIsNotCutTwice)
{
    // More lines than the text needs: the cut word appears once.
    MesureParCaractere mesure;
    TAlphanumStrategie strategie;
    strategie.SetMesureurTexte(&mesure);
    TSimpleDecoupeMotsStrategie().Decouper("abcdefghij", strategie.Mots());
    EXPECT_TRUE(strategie.RemplirLignes(4, false, 4));
    EXPECT_EQ(strategie.Lignes(), QStringList({" ", "abcd", " ", " "}));
}

// ---------------------------------------------------------------------------
// Available width

TEST(LargeurDisponible, WidthOfABlockTurnedInItsBox)
{
    const TAlphanumStrategie strategie;
    struct Cas { double bloc; int angle; double hauteur, largeur; double attendu; };
    const Cas cas[] = {
        {1, 0, 4, 6, 6},
        {4, 0, 4, 6, 6},
        {4.01, 0, 4, 6, -1},
        {1, 90, 4, 6, 4},
        {6, 90, 4, 6, 4},
        {6.5, 90, 4, 6, -1},
        // 45 degrees, 6 x 4 box, block of 1: min((6 - 0.707) / 0.707, (4 - 0.707) / 0.707)
        {1, 45, 4, 6, (4 - std::sqrt(0.5)) / std::sqrt(0.5)},
        {6, 45, 4, 6, -1},
        {1, 30, 4, 6, std::min((6 - 0.5) / std::cos(M_PI / 6), (4 - std::cos(M_PI / 6)) / 0.5)},
    };
    for (const Cas& c : cas) {
        const double w = strategie.LargeurDisponible(c.bloc, c.angle, c.hauteur, c.largeur);
        if (c.attendu < 0)
            EXPECT_EQ(w, -1) << c.bloc << " at " << c.angle;
        else
            EXPECT_NEAR(w, c.attendu, 1e-9) << c.bloc << " at " << c.angle;
    }
    EXPECT_NEAR(strategie.LargeurDisponible(1, 45, 4, 6), 4.66, 0.005);
}

TEST(LargeurDisponible, ScreenRuleRoundsToPixels)
{
    const TAlphanumStrategie strategie;
    EXPECT_EQ(strategie.LargeurDisponibleEcran(20, 0, 40, 100), 100);
    EXPECT_EQ(strategie.LargeurDisponibleEcran(41, 0, 40, 100), -1);
    EXPECT_EQ(strategie.LargeurDisponibleEcran(20, 90, 40, 100), 40);
    // 45 degrees: min((100 - 14.14) / 0.707, (40 - 14.14) / 0.707) = 36.57 -> 37
    EXPECT_EQ(strategie.LargeurDisponibleEcran(20, 45, 40, 100), 37);
}

// ---------------------------------------------------------------------------
// Preparation of a text leaf on the report

namespace {

class PreparationTexte : public ::testing::Test
{
protected:
    void SetUp() override { EnregistrerClassesMetier(); }

    std::shared_ptr<TVlTexte> Feuille(const QString& nom, double largeur, double hauteur, int taille = 12)
    {
        auto f = std::make_shared<TVlTexte>();
        f->SetNom(nom);
        f->SetPoliceNom("Arial");
        f->SetPoliceTaille(taille);
        f->SetLargeur(largeur);
        f->SetHauteur(hauteur);
        return f;
    }

    // Measures of Arial on the report, independent of any leaf.
    double Largeur(const QString& texte, double taille)
    {
        vl::CanevasEnregistreur c;
        vl::Police p;
        p.nom = "Arial";
        p.taille = taille;
        c.SetPolice(p);
        return c.LargeurTexte(texte);
    }
    double HauteurLigne(double taille)
    {
        vl::CanevasEnregistreur c;
        vl::Police p;
        p.nom = "Arial";
        p.taille = taille;
        c.SetPolice(p);
        return c.HauteurLigne();
    }

    vl::CanevasEnregistreur rapport;
    TAlphanumStrategie strategie;
    TSimpleDecoupeMotsStrategie simple;
    TMemoDecoupeMotsStrategie memo;
};

} // namespace

TEST_F(PreparationTexte, TwoWordsInABoxJustWideEnoughForTheLongerGoOnTwoLines)
{
    auto f = Feuille("Etiquette", Largeur("Fromages", 12) + 0.001, 3);
    f->SetStyleGras(false);
    f->SetPoliceCouleur(0x0000FF);
    // In an inverted column: turned by 180, laid out as at 0.
    const TMiseEnPageTexte m = strategie.PreparerTexte(*f, "Vin Fromages", simple, rapport, 180, 0);
    ASSERT_EQ(m.NbLignes, 2);
    EXPECT_EQ(strategie.Lignes(), QStringList({"Vin", "Fromages"}));
    EXPECT_DOUBLE_EQ(m.HauteurLigne, HauteurLigne(12));
    EXPECT_DOUBLE_EQ(m.HauteurBloc, 2 * m.HauteurLigne);
    EXPECT_DOUBLE_EQ(m.LargeurLigne, f->Largeur());
    // The report keeps the leaf's font, turned by the current angle.
    const vl::Police& p = rapport.GetPolice();
    EXPECT_EQ(p.nom, "Arial");
    EXPECT_EQ(p.taille, 12);
    EXPECT_EQ(p.couleur, 0x0000FFu);
    EXPECT_EQ(p.rotation, 180);
    EXPECT_EQ(p.jeuCaracteres, vl::JeuCaracteresDefaut);
    EXPECT_EQ(rapport.GetMethodeHauteurLigne(), vl::lhmFont);
    // Measured by the report itself.
    EXPECT_EQ(strategie.MesureurTexte(), &strategie.MesureurImpression());
}

TEST_F(PreparationTexte, EmptyTextAndAWordWiderThanTheBoxGiveOneBlankLine)
{
    for (const QString& texte : {QString(), QStringLiteral("Anticonstitutionnellement")}) {
        auto f = Feuille("Vide", Largeur("Anti", 12), 2);
        const TMiseEnPageTexte m = strategie.PreparerTexte(*f, texte, simple, rapport, 0, 0);
        EXPECT_EQ(m.NbLignes, 1) << texte.toStdString();
        EXPECT_EQ(strategie.Lignes(), QStringList({" "})) << texte.toStdString();
        EXPECT_GT(m.LargeurLigne, 0);
    }
}

TEST_F(PreparationTexte, AMemoEndingWithALineBreakPrintsItsTwoLines)
{
    auto f = std::make_shared<TVlMemo>();
    f->SetNom("Adresse");
    f->SetPoliceNom("Arial");
    f->SetPoliceTaille(10);
    f->SetLargeur(8);
    f->SetHauteur(5);
    const TMiseEnPageTexte m = strategie.PreparerTexte(*f, "12 rue des Lilas\r\n75011 Paris\r\n", memo, rapport, 0, 0);
    EXPECT_EQ(m.NbLignes, 2);
    EXPECT_EQ(strategie.Lignes(), QStringList({"12 rue des Lilas", "75011 Paris"}));
}

TEST_F(PreparationTexte, TooLowABoxRaisesTheHeightError)
{
    const double h = HauteurLigne(12);
    struct Cas { const char* quoi; double hauteur; QString texte; int angle; };
    const Cas cas[] = {
        {"not even one line", h * 0.8, "Court", 0},
        {"not even one line, turned", h * 0.8, "Court", 90},
        {"the text needs more lines than the box holds", h * 1.5, "Un texte bien trop long pour sa boite", 0},
    };
    for (const Cas& c : cas) {
        auto f = c.angle == 90 ? Feuille("Titre", c.hauteur, 10) : Feuille("Titre", 3, c.hauteur);
        try {
            strategie.PreparerTexte(*f, c.texte, simple, rapport, c.angle, c.angle);
            ADD_FAILURE() << c.quoi << ": no error";
        } catch (const vl::ErreurHauteurTexte& e) {
            EXPECT_EQ(e.Message(), "La hauteur de la boite texte Titre est insuffisante") << c.quoi;
            EXPECT_EQ(e.NomElement(), "Titre");
        }
        EXPECT_TRUE(strategie.Lignes().isEmpty()) << c.quoi;
    }
    // A font whose line is 1.2 cm high in a box of 1 cm.
    int taille = 12;
    while (HauteurLigne(taille) < 1.2)
        ++taille;
    auto f = Feuille("Grand", 10, 1, taille);
    EXPECT_THROW(strategie.PreparerTexte(*f, "A", simple, rapport, 0, 0), vl::ErreurRapport);
}

TEST_F(PreparationTexte, AjusterPoliceShrinksOnePointAtATimeUntilTheTextFitsOnOneLine)
{
    const QString texte = "Grande promotion sur les fromages";
    const double largeur = Largeur(texte, 12) + 0.01;
    auto f = Feuille("Promo", largeur, 3, 30);
    f->SetAjusterPolice(true);
    const TMiseEnPageTexte m = strategie.PreparerTexte(*f, texte, simple, rapport, 0, 0);
    EXPECT_EQ(m.NbLignes, 1);
    EXPECT_EQ(strategie.Lignes(), QStringList({texte}));
    const double taille = rapport.GetPolice().taille;
    // The largest whole size at which the text fits.
    EXPECT_LE(Largeur(texte, taille), largeur);
    EXPECT_GT(Largeur(texte, taille + 1), largeur);
    EXPECT_GE(taille, 12);
    EXPECT_DOUBLE_EQ(m.HauteurLigne, HauteurLigne(taille));
    EXPECT_DOUBLE_EQ(m.HauteurBloc, m.HauteurLigne);
    EXPECT_DOUBLE_EQ(m.LargeurLigne, largeur);

    // A text that already fits keeps its size.
    auto petit = Feuille("Petit", 10, 3, 14);
    petit->SetAjusterPolice(true);
    strategie.PreparerTexte(*petit, "Prix", simple, rapport, 0, 0);
    EXPECT_EQ(rapport.GetPolice().taille, 14);

    // The box height also bounds the size.
    auto bas = Feuille("Bas", 20, HauteurLigne(9) + 0.001, 30);
    bas->SetAjusterPolice(true);
    strategie.PreparerTexte(*bas, "Prix", simple, rapport, 0, 0);
    EXPECT_EQ(rapport.GetPolice().taille, 9);
}

TEST_F(PreparationTexte, AjusterPoliceStopsAtTheSmallestSizeWhenNothingFits)
{
    // A memo with a line break never fits on one line: it prints its first
    // line at the smallest size instead of shrinking for ever.
    auto f = std::make_shared<TVlMemo>();
    f->SetNom("Memo");
    f->SetPoliceNom("Arial");
    f->SetPoliceTaille(12);
    f->SetLargeur(8);
    f->SetHauteur(3);
    f->SetAjusterPolice(true);
    const TMiseEnPageTexte m = strategie.PreparerTexte(*f, "Ligne un\r\nLigne deux", memo, rapport, 0, 0);
    EXPECT_EQ(rapport.GetPolice().taille, TAlphanumStrategie::TaillePoliceMinimale);
    EXPECT_EQ(m.NbLignes, 1);
    EXPECT_EQ(strategie.Lignes(), QStringList({"Ligne un"}));

    // Too low even for the smallest size.
    auto plat = Feuille("Plat", 8, HauteurLigne(1) / 2, 12);
    plat->SetAjusterPolice(true);
    EXPECT_THROW(strategie.PreparerTexte(*plat, "Texte", simple, rapport, 0, 0), vl::ErreurHauteurTexte);
}
