#include "outils_pdf.h"
#include "report/CompressionPdf.h"
#include "report/ErreurRapport.h"
#include "report/SystemeRapport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace vl;
using namespace vltest;

namespace {

constexpr double PtParCm = 72.0 / 2.54;

// Writes a PDF through the report system with the given paper and events.
class Pdf : public ::testing::Test
{
protected:
    QString Ecrire(const FormatPapier& papier, const SystemeRapport::Evenement& impression,
                   const QString& nom = "sortie.pdf")
    {
        const QString chemin = dossier.filePath(nom);
        systeme.SetDefaultDest(rdFile);
        systeme.SetFichierSortie(chemin);
        systeme.SetPapier(papier);
        systeme.SetImpression(impression);
        EXPECT_TRUE(systeme.Executer());
        return chemin;
    }

    static void DeuxPages(Canevas& c)
    {
        c.SetPoliceNom("Arial");
        c.SetPoliceTaille(12);
        c.ImprimerXY(2, 3, "Première étiquette");
        c.SetPinceau({clBlack, bsSolid});
        c.Rectangle(2, 4, 6, 5);
        c.NouvellePage();
        c.SetGras(true);
        c.ImprimerXY(2, 3, "Seconde page");
    }

    QTemporaryDir dossier;
    SystemeRapport systeme;
};

} // namespace

TEST_F(Pdf, DeuxPagesValidesAuFormatDemande)
{
    struct Cas { const char* nom; FormatPapier papier; double largeurCm, hauteurCm; };
    FormatPapier personnalise;
    personnalise.AppliquerPersonnalise(10.0, 5.0);
    FormatPapier personnaliseL = personnalise;
    personnaliseL.orientation = poLandScape;
    const Cas cas[] = {
        {"a4", FormatPapier::A4(poPortrait), 21.0, 29.7},
        {"a4l", FormatPapier::A4(poLandScape), 29.7, 21.0},
        {"perso", personnalise, 10.0, 5.0},
        {"persol", personnaliseL, 5.0, 10.0},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString chemin = Ecrire(c.papier, &Pdf::DeuxPages, QString(c.nom) + ".pdf");
        const Commande check = Executer("qpdf", {"--check", chemin});
        EXPECT_EQ(check.code, 0) << check.sortie.toStdString();
        const QVector<QSizeF> tailles = TaillesPages(chemin);
        ASSERT_EQ(tailles.size(), 2);
        for (const QSizeF& t : tailles) {
            EXPECT_NEAR(t.width(), c.largeurCm * PtParCm, 0.5);
            EXPECT_NEAR(t.height(), c.hauteurCm * PtParCm, 0.5);
        }
    }
}

TEST_F(Pdf, TexteExtractibleEtPolicesIncorporees)
{
    const QString chemin = Ecrire(FormatPapier::A4(), &Pdf::DeuxPages);
    const Commande texte = Executer("pdftotext", {"-enc", "UTF-8", chemin, "-"});
    ASSERT_EQ(texte.code, 0);
    EXPECT_TRUE(texte.sortie.contains("Première étiquette")) << texte.sortie.toStdString();
    EXPECT_TRUE(texte.sortie.contains("Seconde page"));
    EXPECT_LT(texte.sortie.indexOf("Première"), texte.sortie.indexOf("Seconde"));

    const Commande polices = Executer("pdffonts", {chemin});
    ASSERT_EQ(polices.code, 0);
    const QStringList lignes = polices.sortie.split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_GE(lignes.size(), 2) << polices.sortie.toStdString();   // regular and bold
    for (const QString& l : lignes) {
        EXPECT_TRUE(l.contains("LiberationSans")) << l.toStdString();
        // Columns: name type encoding emb sub uni ...
        const QStringList col = l.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(col.size(), 5);
        EXPECT_EQ(col[col.size() - 5], "yes") << l.toStdString();
    }
}

TEST_F(Pdf, LesFluxSontComprimesAuNiveauLePlusEleve)
{
    const QString chemin = Ecrire(FormatPapier::A4(), [](Canevas& c) {
        for (int i = 0; i < 200; ++i)
            c.ImprimerXY(1 + (i % 10) * 1.8, 2 + (i / 10) * 1.2, QString("Etiquette %1").arg(i));
    });
    const QByteArray pdf = Lire(chemin);
    const QVector<FluxPdf> flux = Flux(pdf);
    ASSERT_FALSE(flux.isEmpty());
    int comprimes = 0;
    for (const FluxPdf& f : flux) {
        ASSERT_FALSE(f.dictionnaire.contains("INDIRECT")) << f.dictionnaire.toStdString();
        if (!f.dictionnaire.contains("/FlateDecode"))
            continue;
        // Inflate, deflate again at level 9: the very same bytes.
        QByteArray brut;
        ASSERT_TRUE(Inflate(f.donnees, brut));
        uLongf taille = compressBound(uLong(brut.size()));
        QByteArray neuf(qsizetype(taille), '\0');
        ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(neuf.data()), &taille,
                            reinterpret_cast<const Bytef*>(brut.constData()), uLong(brut.size()), 9),
                  Z_OK);
        neuf.resize(qsizetype(taille));
        EXPECT_EQ(neuf, f.donnees) << f.dictionnaire.toStdString();
        ++comprimes;
    }
    EXPECT_GE(comprimes, 2);   // at least the page content and the font
}

TEST_F(Pdf, UneImageDessineeSouventEstIncorporeeUneFois)
{
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    const QString chemin = Ecrire(FormatPapier::A4(), [&](Canevas& c) {
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                c.NouvellePage();
            for (int i = 0; i < 20; ++i)
                c.ImprimerImage(1, 1 + i, 3, 2 + i, logo);
        }
    });
    const QByteArray pdf = Lire(chemin);
    EXPECT_EQ(pdf.count("/Subtype /Image"), 1);
    EXPECT_EQ(Executer("qpdf", {"--check", chemin}).code, 0);
}

TEST_F(Pdf, SansImprimanteLaPageNAPasDeMarge)
{
    // A PDF does not depend on any printer being installed.
    double marges = -1;
    Ecrire(FormatPapier::A4(), [&](Canevas& c) {
        c.ActualiserMarges();
        marges = c.PerteGauche() + c.PerteDroite() + c.PerteHaut() + c.PerteBas();
        EXPECT_EQ(c.XDPI(), 600);
        EXPECT_FALSE(c.Duplex());
    });
    EXPECT_EQ(marges, 0.0);
}

TEST(CompressionPdf, FluxNonComprimeEtLongueurIndirecte)
{
    // A hand-made PDF: an unfiltered content stream whose length is an
    // indirect object written after it.
    const QByteArray contenu = QByteArray("BT /F1 12 Tf 72 720 Td (Bonjour) Tj ET\n").repeated(20);
    QByteArray pdf = "%PDF-1.4\n";
    QVector<qint64> offsets;
    auto objet = [&](const QByteArray& corps) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + corps + "\nendobj\n";
    };
    objet("<< /Type /Catalog /Pages 2 0 R >>");
    objet("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    objet("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
          "/Resources << /Font << /F1 6 0 R >> >> >>");
    objet("<< /Length 5 0 R >>\nstream\n" + contenu + "\nendstream");
    objet(QByteArray::number(contenu.size()));
    objet("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const qint64 xref = pdf.size();
    pdf += "xref\n0 7\n0000000000 65535 f \n";
    for (qint64 o : offsets)
        pdf += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";

    QTemporaryDir dossier;
    const QString avant = dossier.filePath("avant.pdf"), apres = dossier.filePath("apres.pdf");
    QFile fa(avant);
    ASSERT_TRUE(fa.open(QIODevice::WriteOnly));
    fa.write(pdf);
    fa.close();
    ASSERT_EQ(Executer("qpdf", {"--check", avant}).code, 0);

    const QByteArray resultat = CompressionPdf::Recompresser(pdf);
    QFile fb(apres);
    ASSERT_TRUE(fb.open(QIODevice::WriteOnly));
    fb.write(resultat);
    fb.close();
    const Commande check = Executer("qpdf", {"--check", apres});
    EXPECT_EQ(check.code, 0) << check.sortie.toStdString();
    EXPECT_LT(resultat.size(), pdf.size());
    const auto flux = Flux(resultat);
    ASSERT_EQ(flux.size(), 1);
    EXPECT_TRUE(flux[0].dictionnaire.contains("/FlateDecode"));
    QByteArray brut;
    ASSERT_TRUE(Inflate(flux[0].donnees, brut));
    EXPECT_EQ(brut, contenu);
    EXPECT_EQ(flux[0].donnees, Deflate(contenu, 9));
    EXPECT_TRUE(Executer("pdftotext", {apres, "-"}).sortie.contains("Bonjour"));
}

TEST(CompressionPdf, UnFichierIllisibleEstRefuse)
{
    EXPECT_THROW(CompressionPdf::Recompresser("pas un pdf"), ErreurRapport);
    EXPECT_THROW(CompressionPdf::Recompresser("%PDF-1.4\nstartxref\n999999\n%%EOF"), ErreurRapport);
}
