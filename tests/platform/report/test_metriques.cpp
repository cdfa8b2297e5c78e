#include "report/CanevasEnregistreur.h"
#include "report/CanevasPeintre.h"
#include "report/SortieApercu.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace vl;

namespace {
constexpr double CmParPoint = 2.54 / 72.0;
}

TEST(Metriques, ArialEstLiberationSans)
{
    const QFontInfo info(MetriquePolice::VersQFont(Police{}));
    EXPECT_EQ(info.family(), "Liberation Sans");
}

TEST(Metriques, ArialDixPointsAUneHauteurUneDescenteEtDesLargeursPlausibles)
{
    CanevasEnregistreur c;
    Police p;
    p.nom = "Arial";
    p.taille = 10;
    c.SetPolice(p);
    // Liberation Sans: ascent 0.905 em, descent 0.212 em, digits 0.556 em.
    EXPECT_NEAR(c.HauteurLigne(), 1.117 * 10 * CmParPoint, 0.02 * 10 * CmParPoint);
    EXPECT_NEAR(c.Descente(), 0.212 * 10 * CmParPoint, 0.02 * 10 * CmParPoint);
    EXPECT_NEAR(c.LargeurTexte("000000"), 6 * 0.556 * 10 * CmParPoint, 0.01);
    EXPECT_DOUBLE_EQ(c.LargeurTexte(""), 0.0);

    // Widths follow the size linearly, to the tenth of a point the barcode
    // digit font shrinks by.
    const double w10 = c.LargeurTexte("0123456789");
    c.SetPoliceTaille(9.9);
    EXPECT_NEAR(c.LargeurTexte("0123456789"), w10 * 0.99, w10 * 0.001);
    c.SetPoliceTaille(9.8);
    EXPECT_NEAR(c.LargeurTexte("0123456789"), w10 * 0.98, w10 * 0.001);
    c.SetPoliceTaille(20);
    EXPECT_NEAR(c.LargeurTexte("0123456789"), w10 * 2, w10 * 0.001);

    c.SetPoliceTaille(10);
    c.SetGras(true);
    EXPECT_GT(c.LargeurTexte("Vellumar"), [] {
        CanevasEnregistreur n;
        return n.LargeurTexte("Vellumar");
    }());
}

TEST(Metriques, LaRotationEtLaCouleurNeChangentPasLesMesures)
{
    CanevasEnregistreur c;
    const double w = c.LargeurTexte("Texte"), h = c.HauteurLigne();
    c.SetPoliceRotation(90);
    c.SetPoliceCouleur(0x0000FF);
    EXPECT_DOUBLE_EQ(c.LargeurTexte("Texte"), w);
    EXPECT_DOUBLE_EQ(c.HauteurLigne(), h);
}

TEST(Metriques, MethodesDeHauteurDeLigne)
{
    CanevasEnregistreur c;
    c.SetMethodeHauteurLigne(lhmLinesPerInch);
    c.SetLignesParPouce(6);
    EXPECT_DOUBLE_EQ(c.HauteurLigne(), 2.54 / 6);
    c.SetMethodeHauteurLigne(lhmUser);
    c.SetHauteurLigneUtilisateur(0.8);
    EXPECT_DOUBLE_EQ(c.HauteurLigne(), 0.8);
}

TEST(Metriques, LesMesuresNeDependentPasDuCanevas)
{
    // A print run measured on the recording canvas lays text out as the
    // painting canvas of a preview would.
    CanevasEnregistreur enregistreur(FormatPapier::A4(), 150, 150);
    SortieApercu sortie(150);
    CanevasPeintre peintre(sortie, FormatPapier::A4());
    for (double taille : {7.0, 10.0, 13.5}) {
        enregistreur.SetPoliceTaille(taille);
        peintre.SetPoliceTaille(taille);
        EXPECT_DOUBLE_EQ(enregistreur.LargeurTexte("4 006381 333931"), peintre.LargeurTexte("4 006381 333931"));
        EXPECT_DOUBLE_EQ(enregistreur.HauteurLigne(), peintre.HauteurLigne());
    }
}
