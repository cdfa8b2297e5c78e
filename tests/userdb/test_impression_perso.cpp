// A composition bound to the personal database printed by the command-line
// program: one label per copy the Compteur column asks, none for a null count.
#include "model/ConnexionIO.h"
#include "model/ConstructionBase.h"
#include "model/DmIDE.h"
#include "test_support.h"
#include "userdb/ConstructionUserDb.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QString Executer(const QString& programme, const QStringList& args, int* code, QString* erreurs = nullptr)
{
    QProcess p;
    p.start(programme, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << programme.toStdString();
    *code = p.exitCode();
    if (erreurs)
        *erreurs = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ImpressionBasePersonnelle, UneEtiquetteParExemplaireDuCompteur)
{
    const QString programme = QCoreApplication::applicationDirPath() + "/../bin/vellumar-print";
    if (!QFile::exists(programme))
        GTEST_SKIP() << "vellumar-print not built";
    vltest::RacineTemporaire racine;
    ConstruireFichierBase(vltest::DossierSources() + "/data/store", racine.DossierBase() + "vellumar.db");
    ConstruireFichierUserDb(vltest::DossierSources() + "/data/userdb", racine.Chemin() + "/bin/system/UserDb.dat");
    {
        TDMConnexioIO base;
        TDmIDE ide(base.IOConnexion());
        std::shared_ptr<TVlConnexion> perso;
        for (const auto& c : base.IOConnexion()->Selectionner<TVlConnexion>("SELECT * FROM ANY TVlConnexion"))
            if (c->NomStrategie() == "User")
                perso = c;
        ASSERT_TRUE(perso);
        TCompositionOuverte o = ide.CreerComposition(ide.ChercherComposition("Étiquette d'adresse")->MiseEnPage());
        o.Composition->SetConnexion(perso);
        auto t = ide.NouvelleFeuille<TVlTexte>(o.Composition);
        t->SetNom("Texte1");
        t->SetLargeur(5);
        t->SetHauteur(0.8);
        auto liaison = ide.NouvelleLiaison(perso);
        ide.AjouterPieceLiaison(1, "Designation", *liaison);
        t->SetConnexion(liaison);
        t->SetFace(o.Faces[0]);
        o.Faces[0]->ElementsFace.push_back(t);
        ASSERT_TRUE(ide.Enregistrer(o, [](TVlComposition& c) { c.SetNomCompo("Articles"); return true; }));
    }

    const QString pdf = racine.Chemin() + "/articles.pdf";
    int code = -1;
    QString erreurs;
    Executer(programme, {"--pdf", pdf, "Articles"}, &code, &erreurs);
    ASSERT_EQ(code, 0) << erreurs.toStdString();
    const QString texte = Executer("pdftotext", {pdf, "-"}, &code);
    // Counts of the shipped articles: 2, 1, 3 and 1; the two others have none.
    const std::pair<const char*, int> attendus[] = {{"Marteau de menuisier", 2}, {"Tournevis cruciforme", 1},
                                                    {"Vis à bois 4x40", 3},      {"Sécateur", 1},
                                                    {"Écrous M6", 0},            {"Ficelle de lin", 0}};
    for (const auto& [designation, n] : attendus)
        EXPECT_EQ(texte.count(QString::fromUtf8(designation)), n) << designation;
}

} // namespace
