#include "outils_pdf.h"
#include "report/ErreurRapport.h"
#include "report/SystemeRapport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace vl;

namespace {

class Systeme : public ::testing::Test
{
protected:
    void SetUp() override
    {
        systeme.SetDefaultDest(rdPreview);
        systeme.SetResolutionApercu(50);
    }
    SystemeRapport systeme;
    QTemporaryDir dossier;
};

} // namespace

TEST_F(Systeme, ReglageAnnuleAbandonneSansImprimer)
{
    int impressions = 0;
    systeme.SetImpression([&](Canevas&) { ++impressions; });
    systeme.SetReglage([](SystemeRapport&) { return false; });
    systeme.AjouterReglage(ssAllowSetup);
    EXPECT_FALSE(systeme.Executer());
    EXPECT_TRUE(systeme.Abandonne());
    EXPECT_EQ(impressions, 0);

    // Without ssAllowSetup the dialog is not shown.
    systeme.RetirerReglage(ssAllowSetup);
    EXPECT_TRUE(systeme.Executer());
    EXPECT_FALSE(systeme.Abandonne());
    EXPECT_EQ(impressions, 1);
}

TEST_F(Systeme, LeReglagePeutChangerLaDestination)
{
    const QString chemin = dossier.filePath("choisi.pdf");
    systeme.SetReglage([&](SystemeRapport& s) {
        s.SetDestination(rdFile);
        s.SetFichierSortie(chemin);
        return true;
    });
    systeme.SetSystemSetups(ssAllowSetup | ssAllowDestFile);
    ASSERT_TRUE(systeme.Executer());
    EXPECT_TRUE(QFile::exists(chemin));
}

TEST_F(Systeme, LePapierChoisiAvantImpressionRestepourLesExecutionsSuivantes)
{
    QVector<QSizeF> pages;
    systeme.SetAvantImpression([](Canevas& c) {
        c.SetPapierPersonnalise(10, 15);
        c.SetOrientation(poLandScape);
        c.ActualiserMarges();
    });
    systeme.SetImpression([&](Canevas& c) { pages.push_back(QSizeF(c.LargeurPage(), c.HauteurPage())); });
    ASSERT_TRUE(systeme.Executer());
    systeme.SetAvantImpression(nullptr);
    ASSERT_TRUE(systeme.Executer());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0], QSizeF(15, 10));
    EXPECT_EQ(pages[1], QSizeF(15, 10));
    EXPECT_EQ(systeme.PagesDernierApercu().Page(1).size(), QSize(295, 197));
}

TEST_F(Systeme, AbandonDepuisLImpression)
{
    bool apercuMontre = false;
    systeme.SetApercu([&](const PagesApercu&) { apercuMontre = true; });
    systeme.SetImpression([](Canevas& c) {
        c.Rectangle(1, 1, 2, 2);
        c.NouvellePage();
        c.Abandonner();
        c.NouvellePage();
    });
    EXPECT_FALSE(systeme.Executer());
    EXPECT_TRUE(systeme.Abandonne());
    EXPECT_FALSE(apercuMontre);

    systeme.SetImpression([](Canevas& c) { c.NouvellePage(); });
    EXPECT_TRUE(systeme.Executer());
    EXPECT_TRUE(apercuMontre);
    EXPECT_EQ(systeme.PagesDernierApercu().Nombre(), 2);
}

TEST_F(Systeme, UnPdfAbandonneOuEnErreurNeRemplacePasLeFichier)
{
    const QString chemin = dossier.filePath("existant.pdf");
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ancien");
    }
    systeme.SetDefaultDest(rdFile);
    systeme.SetFichierSortie(chemin);

    systeme.SetImpression([](Canevas& c) { c.Abandonner(); });
    EXPECT_FALSE(systeme.Executer());

    systeme.SetImpression([](Canevas& c) {
        c.ImprimerXY(1, 1, "x");
        throw ErreurRapport("La hauteur de la boite texte T1 est insuffisante");
    });
    EXPECT_THROW(systeme.Executer(), ErreurRapport);

    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "ancien");
}

TEST_F(Systeme, DestinationFichierSansNom)
{
    systeme.SetDefaultDest(rdFile);
    systeme.SetFichierSortie("  ");
    try {
        systeme.Executer();
        FAIL() << "no error";
    } catch (const ErreurRapport& e) {
        EXPECT_EQ(e.Message(), "Aucun fichier de destination n'est indiqué");
    }
}

TEST_F(Systeme, ImprimanteAbsente)
{
    if (SystemeRapport::ImprimanteInstallee())
        GTEST_SKIP() << "a printer is installed";
    systeme.SetDefaultDest(rdPrinter);
    try {
        systeme.Executer();
        FAIL() << "no error";
    } catch (const ErreurRapport& e) {
        EXPECT_EQ(e.Message(), "Aucune imprimante n'est installée");
    }
    // The measuring canvas still answers, without margins.
    auto mesureur = systeme.CreerMesureur();
    EXPECT_DOUBLE_EQ(mesureur->LargeurPage(), 21.0);
    EXPECT_DOUBLE_EQ(mesureur->PerteGauche(), 0.0);
}

TEST_F(Systeme, ImprimanteVersUnFichier)
{
    // The printer path, routed to a file as a printer's "print to file" does.
    const QString chemin = dossier.filePath("imprimante.pdf");
    systeme.SetDefaultDest(rdPrinter);
    systeme.Imprimante().fichier = chemin;
    int dpi = 0;
    systeme.SetImpression([&](Canevas& c) {
        dpi = c.XDPI();
        c.ImprimerXY(2, 2, "Imprimé");
        c.NouvellePage();
    });
    ASSERT_TRUE(systeme.Executer());
    EXPECT_GE(dpi, 300);
    EXPECT_EQ(vltest::TaillesPages(chemin).size(), 2);
    EXPECT_TRUE(vltest::Executer("pdftotext", {chemin, "-"}).sortie.contains("Imprimé"));
}
