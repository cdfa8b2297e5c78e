// Data runs end to end: the supplied composition bound to the sample address
// book, printed from a store built like the shipped one, read back from the
// PDF (text by label area, barcodes by an independent decoder); and the
// command-line program choosing another connection of the same fields.
#include "connections/ConnexionFeuilleManager.h"
#include "connections/Connexions.h"
#include "connections/SourceImpression.h"
#include "model/ConnexionIO.h"
#include "model/ConstructionBase.h"
#include "model/DmIDE.h"
#include "model/Geometrie.h"
#include "printing/PrintControleur.h"
#include "references.h"
#include "report/SystemeRapport.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kComposition = QStringLiteral("Adresses du carnet");

struct Contact
{
    QString code, prenom, nom, ville;
};

// The sample file's records, each repeated as many times as its Copies column asks.
std::vector<Contact> EtiquettesAttendues(const QString& fichier)
{
    QFile f(fichier);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    std::vector<Contact> r;
    for (const QByteArray& ligne : f.readAll().split('\n')) {
        const QStringList c = QString::fromUtf8(ligne).trimmed().split(';');
        if (c.size() < 7)
            continue;
        for (int n = 0; n < c[0].toInt(); ++n)
            r.push_back({c[1], c[2], c[3], c[6]});
    }
    return r;
}

QString Executer(const QString& programme, const QStringList& args, int* code = nullptr, QString* erreurs = nullptr)
{
    QProcess p;
    p.start(programme, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << programme.toStdString();
    if (code)
        *code = p.exitCode();
    if (erreurs)
        *erreurs = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

class TirageCarnet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ConstruireFichierBase(vltest::DossierSources() + "/data/store", racine.DossierBase() + "vellumar.db");
        exemples = racine.Chemin() + "/Connexions/Exemples/";
        ASSERT_TRUE(QDir().mkpath(exemples));
        const QDir sources(vltest::DossierSources() + "/data/exemples");
        for (const QString& f : sources.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(sources.filePath(f), exemples + f));
    }

    // The PDF page rasterised in grey at 300 dpi.
    QImage Page(const QString& pdf)
    {
        const QString prefixe = racine.Chemin() + "/page";
        int code = -1;
        Executer("pdftoppm", {"-gray", "-r", "300", "-png", "-singlefile", pdf, prefixe}, &code);
        EXPECT_EQ(code, 0);
        return QImage(prefixe + ".png");
    }

    // The text pdftotext finds inside a box of the page (cm).
    QString TexteZone(const QString& pdf, double x, double y, double l, double h)
    {
        auto px = [](double cm) { return QString::number(qRound(cm / 2.54 * 300)); };
        return Executer("pdftotext", {"-r", "300", "-x", px(x), "-y", px(y), "-W", px(l), "-H", px(h), pdf, "-"})
            .simplified();
    }

    vltest::RacineTemporaire racine;
    QString exemples;
};

TEST_F(TirageCarnet, UneEtiquetteParExemplaireDemandeEtChaqueCodeSeLitALaValeurDeSonEnregistrement)
{
    TDMConnexioIO base;
    TDmIDE ide(base.IOConnexion());
    const auto compo = ide.ChercherComposition(kComposition);
    ASSERT_TRUE(compo);
    TCompositionOuverte ouverte = ide.Ouvrir(compo);
    ASSERT_TRUE(ouverte.Composition->Connexion());

    TControleurConnexion connexions(base.IOConnexion(), nullptr, &ide);
    connexions.Ouvrir(ouverte.Composition->Connexion(), false);
    EXPECT_EQ(connexions.Donnees().NomsChamps(),
              QStringList({"Copies", "Code", "Prenom", "Nom", "Adresse", "CodePostal", "Ville"}))
        << "the shipped schema names the columns";
    TConnexionFeuilleManager liaisons(connexions);
    TSourceConnexionImpression source(connexions, liaisons);

    vl::SystemeRapport systeme;
    TPrintControleur pc(ide, systeme);
    pc.SetComposition(&ouverte);
    pc.SetSource(&source);
    pc.PreparerImprimante();
    TOptionsImpression options;
    options.Fichier = racine.Chemin() + "/carnet.pdf";
    ASSERT_TRUE(pc.ImprimerFichier(options));

    const auto attendues = EtiquettesAttendues(exemples + "carnet-adresses.txt");
    ASSERT_EQ(attendues.size(), 12u) << "copies 1,2,1,1,0,1,3,1,1,1";
    const auto& mep = *ouverte.Composition->MiseEnPage();
    const auto emplacements = EmplacementsRecto(mep, TDecalages{});
    ASSERT_GT(emplacements.size(), attendues.size());

    std::shared_ptr<TVlFeuille> code;
    for (const auto& f : ouverte.Faces[0]->ElementsFace)
        if (f->Genre() == GenreFeuille::CodeBarre)
            code = f;
    ASSERT_TRUE(code);

    const QImage page = Page(options.Fichier);
    ASSERT_FALSE(page.isNull());
    const double pxParCm = 300 / 2.54;
    for (size_t i = 0; i <= attendues.size(); ++i) {
        const auto& e = emplacements[i];
        const QString texte = TexteZone(options.Fichier, e.X, e.Y, mep.Largeur(), mep.Hauteur());
        // The barcode's box, with a margin for the quiet zones.
        const QRect boite(qRound((e.X + code->Gauche() - 0.3) * pxParCm), qRound((e.Y + code->Haut() - 0.1) * pxParCm),
                          qRound((code->Largeur() + 0.6) * pxParCm), qRound((code->Hauteur() + 0.2) * pxParCm));
        const vltest::Lecture lu = vltest::Lire(page.copy(boite), vltest::Format::Code128);
        if (i == attendues.size()) {
            EXPECT_EQ(texte, "") << "nothing after the last copy";
            EXPECT_FALSE(lu.valide);
            break;
        }
        const Contact& k = attendues[i];
        EXPECT_TRUE(texte.startsWith(k.prenom + " " + k.nom)) << i << ": " << texte.toStdString();
        EXPECT_TRUE(texte.contains(k.ville)) << i << ": " << texte.toStdString();
        EXPECT_TRUE(lu.valide) << "label " << i;
        EXPECT_EQ(lu.texte, k.code.toStdString()) << "label " << i;
    }
}

// The command-line program, run on the temporary root.
TEST_F(TirageCarnet, LigneDeCommandeEtAutreConnexionAuxMemesChamps)
{
    const QString programme = QCoreApplication::applicationDirPath() + "/../bin/vellumar-print";
    if (!QFile::exists(programme))
        GTEST_SKIP() << "vellumar-print not built";

    // A second file with the same columns in another folder, and one that lacks them.
    const QString autre = racine.Chemin() + "/autres/";
    ASSERT_TRUE(QDir().mkpath(autre));
    {
        QFile f(autre + "equipe.txt");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1;300000000016;Inès;Barré;1 rue Haute;35000;Rennes\n");
        QFile g(autre + "court.txt");
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("1;Un\n");
    }
    ASSERT_TRUE(QFile::copy(exemples + "carnet-adresses.sch", autre + "equipe.sch"));
    {
        TDMConnexioIO base;
        for (const char* fichier : {"equipe.txt", "court.txt"}) {
            auto c = base.IOConnexion()->Nouveau<TVlBDEConnexion>();
            c->SetNomConnexion(QString(fichier).section('.', 0, 0));
            c->SetNomStrategie("Ascii délimité points virgules");
            c->SetNomBd(autre);
            c->SetNomTable(fichier);
            c->SetCompteurImpressions("Copies");
            c->Stocker();
        }
    }

    struct Cas
    {
        QStringList options;
        int code;
        QString message;   // in stderr when the run fails
        QString texte;     // in the PDF when it succeeds
    };
    const QString pdf = racine.Chemin() + "/sortie.pdf";
    const std::vector<Cas> cas = {
        {{}, 0, "", "Hélène Lefèvre"},
        {{"--connection", "equipe"}, 0, "", "Inès Barré"},
        {{"--connection", "inconnue"}, 1, "Connexion inconnue : inconnue", ""},
        {{"--connection", "court"}, 1, "n'a pas le champ Prenom, Nom, Adresse, CodePostal, Ville, Code", ""},
        {{"--labels", "3"}, 0, "--labels est sans effet sur une composition liée", "Hélène Lefèvre"},
    };
    for (const Cas& k : cas) {
        QFile::remove(pdf);
        int code = -1;
        QString erreurs;
        Executer(programme, QStringList{"--pdf", pdf} + k.options + QStringList{kComposition}, &code, &erreurs);
        const std::string quoi = k.options.join(' ').toStdString();
        EXPECT_EQ(code, k.code) << quoi << ": " << erreurs.toStdString();
        if (!k.message.isEmpty()) {
            EXPECT_TRUE(erreurs.contains(k.message)) << quoi << ": " << erreurs.toStdString();
        }
        if (!k.texte.isEmpty()) {
            EXPECT_TRUE(Executer("pdftotext", {pdf, "-"}).contains(k.texte)) << quoi;
        } else {
            EXPECT_FALSE(QFile::exists(pdf)) << quoi << ": no file on failure";
        }
    }
}

} // namespace
