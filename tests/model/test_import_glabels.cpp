#include "model/ConstructionBase.h"
#include "model/DmIDE.h"
#include "model/Geometrie.h"
#include "model/ImportGlabels.h"
#include "test_support.h"
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vl::persistence;

namespace {

QString Ecrire(const QString& dossier, const QString& nom, const QString& contenu)
{
    QFile f(dossier + "/" + nom);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenu.toUtf8());
    return f.fileName();
}

QString Fichier(const QString& modeles)
{
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + modeles + "\n</Glabels-templates>\n";
}

// The slots a template's layouts put on the sheet, sorted.
std::vector<QPointF> SlotsDuModele(const TModeleGlabels& m)
{
    std::vector<QPointF> r;
    for (const auto& g : m.grilles)
        for (int i = 0; i < g.nx; ++i)
            for (int j = 0; j < g.ny; ++j)
                r.emplace_back(g.x0 + i * g.dx, g.y0 + j * g.dy);
    return r;
}

std::vector<QPointF> SlotsDeLaMiseEnPage(const TVlMiseEnPage& mep)
{
    std::vector<QPointF> r;
    for (const auto& e : EmplacementsRecto(mep, {}))
        r.emplace_back(e.X, e.Y);
    return r;
}

void MemesEmplacements(std::vector<QPointF> a, std::vector<QPointF> b)
{
    auto tri = [](const QPointF& p, const QPointF& q) { return p.x() != q.x() ? p.x() < q.x() : p.y() < q.y(); };
    for (auto& p : a)
        p = QPointF(std::round(p.x() * 1e6) / 1e6, std::round(p.y() * 1e6) / 1e6);
    for (auto& p : b)
        p = QPointF(std::round(p.x() * 1e6) / 1e6, std::round(p.y() * 1e6) / 1e6);
    std::sort(a.begin(), a.end(), tri);
    std::sort(b.begin(), b.end(), tri);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].x(), b[i].x(), 1e-6) << i;
        EXPECT_NEAR(a[i].y(), b[i].y(), 1e-6) << i;
    }
}

class ImportGlabels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Ecrire(racine.Chemin(), "paper-sizes.xml",
               "<Glabels-paper-sizes><Paper-size id=\"A4\" pwg_size=\"iso_a4\" width=\"210mm\" height=\"297mm\"/>"
               "<Paper-size id=\"A5\" pwg_size=\"iso_a5\" width=\"148mm\" height=\"210mm\"/></Glabels-paper-sizes>");
    }
    vltest::RacineTemporaire racine;
};

} // namespace

TEST_F(ImportGlabels, LengthsInEveryUnit)
{
    struct Cas { const char* texte; double cm; };
    for (const Cas& k : {Cas{"72", 2.54}, Cas{"72pt", 2.54}, Cas{"1in", 2.54}, Cas{"11.in", 27.94},
                         Cas{"63.5mm", 6.35}, Cas{"2.5cm", 2.5}, Cas{"6pc", 2.54}, Cas{" 10 mm ", 1.0}}) {
        bool ok = false;
        EXPECT_NEAR(TImportGlabels::Longueur(k.texte, &ok), k.cm, 1e-9) << k.texte;
        EXPECT_TRUE(ok) << k.texte;
    }
    bool ok = true;
    TImportGlabels::Longueur("in", &ok);
    EXPECT_FALSE(ok);
}

TEST_F(ImportGlabels, TemplatesBecomeLayoutsWithEverySlotInPlace)
{
    struct Cas
    {
        const char* nom;
        const char* xml;
        int colonnes;
        int papier;
        int figures;       // outline figures
        int premierTracer; // of the first figure, -1 without points
    };
    const Cas cas[] = {
        {"grille simple",
         R"(<Template brand="Avery" part="7160" size="A4" _description="Mailing labels">
              <Label-rectangle id="0" width="63.5mm" height="38.1mm"><Layout nx="3" ny="7" x0="7.2mm" y0="15.1mm" dx="66mm" dy="38.1mm"/></Label-rectangle></Template>)",
         3, 9, 0, -1},
        {"deux grilles côte à côte",
         R"(<Template brand="X" part="A" size="A4"><Label-rectangle id="0" width="50mm" height="20mm">
              <Layout nx="2" ny="5" x0="5mm" y0="10mm" dx="52mm" dy="25mm"/><Layout nx="1" ny="5" x0="140mm" y0="12mm" dx="0" dy="25mm"/></Label-rectangle></Template>)",
         3, 9, 0, -1},
        {"deux grilles superposées",
         R"(<Template brand="X" part="B" size="A4"><Label-rectangle id="0" width="50mm" height="20mm">
              <Layout nx="2" ny="3" x0="5mm" y0="10mm" dx="60mm" dy="30mm"/><Layout nx="2" ny="3" x0="5mm" y0="150mm" dx="60mm" dy="30mm"/></Label-rectangle></Template>)",
         4, 9, 0, -1},
        {"coins arrondis",
         R"(<Template brand="X" part="C" size="US-Letter"><Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in">
              <Layout nx="3" ny="10" x0="0.1875in" y0="0.5in" dx="2.75in" dy="1in"/></Label-rectangle></Template>)",
         3, 1, 8, 1},
        {"étiquette ronde",
         R"(<Template brand="X" part="D" size="A4"><Label-round id="0" radius="31.75mm"><Layout nx="3" ny="4" x0="7.5mm" y0="15mm" dx="66mm" dy="69mm"/></Label-round></Template>)",
         3, 9, 1, 4},
        {"CD",
         R"(<Template brand="X" part="E" size="A3"><Label-cd id="0" radius="58.5mm" hole="20.5mm"><Layout nx="1" ny="2" x0="46.5mm" y0="24mm" dx="0" dy="132mm"/></Label-cd></Template>)",
         1, 8, 2, 4},
        {"papier inconnu du programme",
         R"(<Template brand="X" part="F" size="A5"><Label-ellipse id="0" width="40mm" height="25mm"><Layout nx="3" ny="7" x0="5mm" y0="5mm" dx="46mm" dy="29mm"/></Label-ellipse></Template>)",
         3, 0, 1, 4},
        {"papier propre au modèle",
         R"(<Template brand="X" part="G" size="Other" width="100mm" height="50mm"><Label-rectangle id="0" width="90mm" height="40mm"><Layout nx="1" ny="1" x0="5mm" y0="5mm"/></Label-rectangle></Template>)",
         1, 0, 0, -1},
    };
    const TImportGlabels importeur(racine.Chemin());
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.nom);
        const auto modeles = importeur.Lire(Ecrire(racine.Chemin(), "m.xml", Fichier(k.xml)));
        ASSERT_EQ(modeles.size(), 1u);
        QString raison;
        const auto mep = importeur.Convertir(modeles[0], &raison);
        ASSERT_TRUE(mep) << raison.toStdString();
        EXPECT_EQ(mep->ColonnesCount(), k.colonnes);
        EXPECT_EQ(mep->TaillePapier()->Papersize(), k.papier);
        MemesEmplacements(SlotsDeLaMiseEnPage(*mep), SlotsDuModele(modeles[0]));
        const auto figures = ContourEtiquette(*mep, {0, 0, 0, 0, 0}, TFace::Recto);
        if (k.premierTracer < 0) {
            EXPECT_EQ(mep->PointsCount(), 0);
        } else {
            EXPECT_EQ(int(figures.size()), k.figures);
            EXPECT_EQ(figures[0].Tracer, k.premierTracer);
        }
        EXPECT_FALSE(mep->Icone().isEmpty());
        EXPECT_TRUE(mep->Nom().startsWith(modeles[0].marque + " " + modeles[0].reference));
    }
}

TEST_F(ImportGlabels, PaperSizesComeFromTheCollectionOrTheTemplate)
{
    const TImportGlabels importeur(racine.Chemin());
    const auto m = importeur.Lire(Ecrire(racine.Chemin(), "p.xml", Fichier(
        R"(<Template brand="X" part="A5" size="A5"><Label-rectangle id="0" width="40mm" height="25mm"><Layout nx="1" ny="1"/></Label-rectangle></Template>
           <Template brand="X" part="O" size="Other" width="4in" height="6in"><Label-rectangle id="0" width="40mm" height="25mm"><Layout nx="1" ny="1"/></Label-rectangle></Template>)")));
    const auto a5 = importeur.Convertir(m[0]);
    EXPECT_DOUBLE_EQ(a5->TaillePapier()->Largeur(), 14.8);
    EXPECT_DOUBLE_EQ(a5->TaillePapier()->Hauteur(), 21.0);
    EXPECT_TRUE(a5->Description().contains("148 × 210 mm")) << a5->Description().toStdString();
    const auto autre = importeur.Convertir(m[1]);
    EXPECT_DOUBLE_EQ(autre->TaillePapier()->Largeur(), 10.16);
    EXPECT_DOUBLE_EQ(autre->TaillePapier()->Hauteur(), 15.24);
}

TEST_F(ImportGlabels, EquivalentsCopyTheGeometryUnderTheirOwnReference)
{
    const TImportGlabels importeur(racine.Chemin());
    auto modeles = importeur.Lire(Ecrire(racine.Chemin(), "e.xml", Fichier(
        R"(<Template brand="Avery" part="7160" size="A4" _description="Mailing labels"><Label-rectangle id="0" width="63.5mm" height="38.1mm"><Layout nx="3" ny="7" x0="7mm" y0="15mm" dx="66mm" dy="38.1mm"/></Label-rectangle></Template>
           <Template brand="Avery" part="L7160" equiv="7160"/>
           <Template brand="Avery" part="J0000" equiv="absent"/>)")));
    TImportGlabels::ResoudreEquivalents(modeles);
    const auto l7160 = importeur.Convertir(modeles[1]);
    ASSERT_TRUE(l7160);
    EXPECT_EQ(l7160->Nom(), "Avery L7160 — Mailing labels");
    EXPECT_EQ(l7160->EtiquettesParFeuille(), 21);
    QString raison;
    EXPECT_FALSE(importeur.Convertir(modeles[2], &raison));
    EXPECT_TRUE(raison.contains("absent"));
}

TEST_F(ImportGlabels, UnrepresentableTemplatesAreSkippedWithTheirReason)
{
    const TImportGlabels importeur(racine.Chemin());
    const auto m = importeur.Lire(Ecrire(racine.Chemin(), "s.xml", Fichier(
        R"(<Template brand="X" part="PAS" size="A4"><Label-rectangle id="0" width="40mm" height="20mm">
             <Layout nx="1" ny="4" x0="5mm" y0="5mm" dy="25mm"/><Layout nx="1" ny="4" x0="60mm" y0="5mm" dy="30mm"/></Label-rectangle></Template>
           <Template brand="X" part="UNITE" size="A4"><Label-rectangle id="0" width="40mm" height="20mm" round="in"><Layout nx="1" ny="1"/></Label-rectangle></Template>)")));
    QString raison;
    EXPECT_FALSE(importeur.Convertir(m[0], &raison));
    EXPECT_TRUE(raison.contains("pas verticaux")) << raison.toStdString();
    EXPECT_FALSE(importeur.Convertir(m[1], &raison));
    EXPECT_TRUE(raison.contains("ligne")) << raison.toStdString();
}

TEST_F(ImportGlabels, MalformedFilesNameFileAndLineAndLeaveTheStoreAsItWas)
{
    ConstruireFichierBase(vltest::DossierSources() + "/data/store", racine.DossierBase() + "vellumar.db");
    auto c = Connecteur::Ouvrir(racine.DossierBase() + "vellumar.db");
    auto compter = [&](const char* table) {
        QSqlQuery q(c->Base());
        q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
        q.next();
        return q.value(0).toInt();
    };
    const int formats = compter("VlMiseEnPage"), paquets = compter("VlPackage");
    const QString bon = Ecrire(racine.Chemin(), "bon.xml", Fichier(
        R"(<Template brand="Zeta" part="1" size="A4"><Label-rectangle id="0" width="40mm" height="20mm"><Layout nx="2" ny="2" x0="5mm" y0="5mm" dx="45mm" dy="25mm"/></Label-rectangle></Template>)"));
    const QString casse = Ecrire(racine.Chemin(), "casse.xml", "<?xml version=\"1.0\"?>\n<Glabels-templates>\n<Template brand=\"A\" part=\"1\">\n</Glabels-templates>\n");
    const TImportGlabels importeur(racine.Chemin());
    try {
        importeur.Importer({bon, casse}, *c);
        FAIL() << "a malformed file was accepted";
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains("casse.xml")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("ligne 4")) << e.Message().toStdString();
    }
    EXPECT_EQ(compter("VlMiseEnPage"), formats);
    EXPECT_EQ(compter("VlPackage"), paquets);
    EXPECT_THROW(importeur.Lire(racine.Chemin() + "/absent.xml"), Erreur);
    EXPECT_THROW(importeur.Lire(Ecrire(racine.Chemin(), "autre.xml", "<autre/>")), Erreur);
}

TEST_F(ImportGlabels, ImportingTwiceDoesNotDuplicateAndVendorsFollowTheShippedPackages)
{
    ConstruireFichierBase(vltest::DossierSources() + "/data/store", racine.DossierBase() + "vellumar.db");
    auto c = Connecteur::Ouvrir(racine.DossierBase() + "vellumar.db");
    const QString f = Ecrire(racine.Chemin(), "v.xml", Fichier(
        R"(<Template brand="Zeta" part="1" size="A4"><Label-rectangle id="0" width="40mm" height="20mm"><Layout nx="2" ny="2" x0="5mm" y0="5mm" dx="45mm" dy="25mm"/></Label-rectangle></Template>
           <Template brand="Alpha" part="2" size="A4"><Label-round id="0" radius="20mm"><Layout nx="2" ny="2" x0="5mm" y0="5mm" dx="45mm" dy="45mm"/></Label-round></Template>)"));
    const TImportGlabels importeur(racine.Chemin());
    const TBilanImport premier = importeur.Importer({f}, *c);
    EXPECT_EQ(premier.importes, 2);
    const TBilanImport second = importeur.Importer({f}, *c);
    EXPECT_EQ(second.importes, 0);
    EXPECT_EQ(second.doublons, 2);

    TDmIDE ide(c);
    QStringList noms;
    for (const auto& p : ide.Paquets().Liste)
        noms << p->Nom();
    ASSERT_EQ(noms.size(), 6);
    EXPECT_EQ(noms.mid(4), QStringList({"Alpha", "Zeta"}));
    EXPECT_TRUE(ide.Paquets().Liste[4]->HasIcones());
    EXPECT_EQ(ide.FormatsDuPaquet(*ide.Paquets().Liste[5]).size(), 1u);
}

TEST(ImportGlabelsCollection, EveryTemplateOfTheRealCollectionLandsWhereItSays)
{
    const QString dossier = TImportGlabels::DossierSysteme();
    if (!QFile::exists(dossier + "/paper-sizes.xml"))
        GTEST_SKIP() << "glabels-data is not installed";
    const TImportGlabels importeur(dossier);
    std::vector<TModeleGlabels> modeles;
    for (const QString& f : QDir(dossier).entryList({"*-templates.xml"}, QDir::Files))
        for (auto& m : importeur.Lire(dossier + "/" + f))
            modeles.push_back(std::move(m));
    TImportGlabels::ResoudreEquivalents(modeles);
    int convertis = 0;
    for (const auto& m : modeles) {
        const auto mep = importeur.Convertir(m);
        if (!mep)
            continue;
        ++convertis;
        SCOPED_TRACE((m.marque + " " + m.reference).toStdString());
        MemesEmplacements(SlotsDeLaMiseEnPage(*mep), SlotsDuModele(m));
    }
    EXPECT_GT(convertis, 1500);
    EXPECT_GT(convertis, int(modeles.size()) * 95 / 100);
}
