#include "model/ConnexionIO.h"
#include "model/Catalogue.h"
#include "model/ConstructionBase.h"
#include "model/Geometrie.h"
#include "model/DmIDE.h"
#include "test_support.h"
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace vl::persistence;

namespace {

// A store built from the data shipped with the program, in a temporary root.
class Stockage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ConstruireFichierBase(vltest::DossierSources() + "/data/store",
                              racine.DossierBase() + TDMConnexioIO::NomFichierBase());
        Ouvrir();
        // What the shipped compositions already hold.
        facesLivrees = Lignes("VlCompoFace");
        liaisonsLivrees = Lignes("VLFeuilleConnexion");
        piecesLivrees = Lignes("ElemFeuilleConnexion");
        compositionsLivrees = int(ide->Compositions().size());
    }
    int facesLivrees = 0, liaisonsLivrees = 0, piecesLivrees = 0, compositionsLivrees = 0;
    void Ouvrir()
    {
        ide.reset();
        io = std::make_unique<TDMConnexioIO>();
        ide = std::make_unique<TDmIDE>(io->IOConnexion());
    }
    // Closes and reopens the store: what follows is read from the file.
    void Rouvrir()
    {
        ide.reset();
        io.reset();
        Ouvrir();
    }
    int Lignes(const QString& table)
    {
        QSqlQuery q(io->IOConnexion()->Base());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)));
        q.next();
        return q.value(0).toInt();
    }
    std::shared_ptr<TVlMiseEnPage> Format(const QString& debut)
    {
        for (const auto& p : ide->Paquets().Liste)
            for (const auto& f : ide->FormatsDuPaquet(*p))
                if (f->Nom().startsWith(debut))
                    return f;
        return nullptr;
    }
    // A new composition with three texts on the recto, saved under `nom`.
    TCompositionOuverte NouvelleEnregistree(const QString& nom, const QString& format = "Avery L7160")
    {
        TCompositionOuverte o = ide->CreerComposition(Format(format));
        for (int i = 1; i <= 3; ++i) {
            auto t = ide->NouvelleFeuille<TVlTexte>(o.Composition);
            t->SetNom(QStringLiteral("Texte%1").arg(i));
            t->SetValeur(QStringLiteral("valeur %1").arg(i));
            t->SetFace(o.Faces[0]);
            o.Faces[0]->ElementsFace.push_back(t);
        }
        EXPECT_TRUE(ide->Enregistrer(o, [&](TVlComposition& c) {
            c.SetNomCompo(nom);
            return true;
        }));
        return o;
    }
    QStringList Noms(const TCompositionOuverte& o, size_t face = 0)
    {
        QStringList r;
        for (const auto& f : o.Feuilles(face))
            r << QStringLiteral("%1:%2").arg(f->Nom()).arg(f->Ordre());
        return r;
    }

    vltest::RacineTemporaire racine;
    std::unique_ptr<TDMConnexioIO> io;
    std::unique_ptr<TDmIDE> ide;
};

} // namespace

TEST_F(Stockage, TheShippedCatalogueHoldsRealStationery)
{
    const auto& paquets = ide->Paquets().Liste;
    ASSERT_GE(paquets.size(), 4u);
    for (size_t i = 1; i < paquets.size(); ++i)
        EXPECT_LT(paquets[i - 1]->Ordre(), paquets[i]->Ordre());
    bool avecIcones = false, sansIcones = false, points = false, inversion = false, perdu = false,
         leurre = false, letter = false;
    int colonnesA4[5] = {};
    for (const auto& p : paquets) {
        (p->HasIcones() ? avecIcones : sansIcones) = true;
        const auto formats = ide->FormatsDuPaquet(*p);
        EXPECT_FALSE(formats.empty()) << p->Nom().toStdString();
        for (const auto& f : formats) {
            EXPECT_FALSE(QImage::fromData(f->Icone()).isNull()) << f->Nom().toStdString();
            EXPECT_GT(f->EtiquettesParFeuille(), 0);
            points |= f->PointsCount() > 0;
            perdu |= f->EspacePerdu() != 0;
            leurre |= f->LeurrerImprimante() && f->RectoVerso();
            letter |= f->TaillePapier()->Papersize() == 1;
            for (int k = 0; k < f->ColonnesCount(); ++k)
                inversion |= f->Colonnes(k)->Inversion();
            if (f->TaillePapier()->Papersize() == 9 && f->ColonnesCount() <= 4)
                ++colonnesA4[f->ColonnesCount()];
        }
    }
    EXPECT_TRUE(avecIcones && sansIcones);
    EXPECT_TRUE(points && inversion && perdu && leurre && letter);
    EXPECT_TRUE(colonnesA4[2] && colonnesA4[3] && colonnesA4[4]);

    // Every slot of every layout lies on its paper.
    for (const auto& p : paquets)
        for (const auto& f : ide->FormatsDuPaquet(*p)) {
            const QSizeF page = TailleFeuilleCm(*f);
            for (const auto& e : EmplacementsRecto(*f, {})) {
                EXPECT_GE(e.X, 0) << f->Nom().toStdString();
                EXPECT_LE(e.X + f->Largeur(), page.width() + 1e-9) << f->Nom().toStdString();
                EXPECT_LE(e.Y + f->Hauteur(), page.height() + 1e-9) << f->Nom().toStdString();
            }
        }
}

TEST_F(Stockage, TheLayoutsOfAPackageComeInTheirOrder)
{
    const auto formats = ide->FormatsDuPaquet(*ide->Paquets().Liste[0]);
    ASSERT_GE(formats.size(), 3u);
    EXPECT_TRUE(formats[0]->Nom().startsWith("Avery L7160"));
    EXPECT_TRUE(formats[1]->Nom().startsWith("Avery L7163"));
    // A layout may belong to several packages: it is the same stored layout.
    const auto badges = ide->FormatsDuPaquet(*ide->Paquets().Liste[3]);
    EXPECT_EQ(badges.back(), formats[0]);
}

TEST_F(Stockage, SuppliedCompositionsOpenWithTheirLeaves)
{
    const auto compos = ide->Compositions();
    ASSERT_GE(compos.size(), 2u);
    QStringList classes;
    for (const auto& c : compos) {
        EXPECT_TRUE(c->EstFournie());
        TCompositionOuverte o = ide->Ouvrir(c);
        EXPECT_EQ(o.Faces.size(), c->MiseEnPage()->RectoVerso() ? 2u : 1u);
        for (size_t f = 0; f < o.Faces.size(); ++f)
            for (const auto& feuille : o.Feuilles(f))
                classes << feuille->Classe().Nom();
    }
    for (const char* k : {"TVlTexte", "TVlMemo", "TVlCompteur", "TVlCodeBarre"})
        EXPECT_TRUE(classes.contains(k)) << k;

    auto carte = ide->ChercherComposition("Carte de visite");
    ASSERT_TRUE(carte);
    TCompositionOuverte o = ide->Ouvrir(carte);
    ASSERT_EQ(o.Faces.size(), 2u);
    EXPECT_EQ(o.Faces[0]->Nom(), "Recto");
    EXPECT_EQ(o.Faces[1]->Nom(), "Verso");
    EXPECT_EQ(o.Feuilles(0).size(), 2u);
    EXPECT_EQ(o.Feuilles(1).size(), 1u);
}

TEST_F(Stockage, ShippedConnectionsAndABoundSuppliedComposition)
{
    const auto connexions = io->IOConnexion()->Selectionner<TVlConnexion>("SELECT * FROM ANY TVlConnexion");
    QMap<QString, std::shared_ptr<TVlConnexion>> parNom;
    for (const auto& c : connexions)
        parNom.insert(c->NomConnexion(), c);
    const auto perso = parNom.value("Base de données personnelle");
    ASSERT_TRUE(perso);
    EXPECT_EQ(perso->NomStrategie(), "User");
    EXPECT_TRUE(perso->System());
    EXPECT_TRUE(perso->HasAlias());
    const auto carnet = std::dynamic_pointer_cast<TVlBDEConnexion>(parNom.value("Carnet d'adresses (exemple)"));
    ASSERT_TRUE(carnet);
    EXPECT_EQ(carnet->NomBd(), "Connexions/Exemples") << "relative to the installation root";
    EXPECT_EQ(carnet->CompteurImpressions(), "Copies");

    TCompositionOuverte o = ide->Ouvrir(ide->ChercherComposition("Adresses du carnet"));
    ASSERT_TRUE(o.Composition->Connexion());
    EXPECT_EQ(o.Composition->Connexion()->Id(), carnet->Id());
    QStringList pieces;
    for (const auto& f : o.Feuilles(0)) {
        ASSERT_TRUE(f->EstLiee()) << f->Nom().toStdString();
        EXPECT_EQ(f->Connexion()->Connexion()->Id(), carnet->Id());
        QStringList champs;
        for (int i = 0; i < f->Connexion()->ElementsCount(); ++i) {
            EXPECT_TRUE(f->Connexion()->Elements(i)->EstChamp());
            champs << f->Connexion()->Elements(i)->Valeur();
        }
        pieces << champs.join('+');
    }
    EXPECT_EQ(pieces, QStringList({"Prenom+Nom", "Adresse", "CodePostal+Ville", "Code"}));
}

TEST(ConstructionBase, ABindingToAnUnknownConnectionIsRefusedNamingIt)
{
    vltest::RacineTemporaire racine;
    QDir dossier(racine.Chemin());
    ASSERT_TRUE(dossier.mkpath("donnees"));
    ASSERT_TRUE(QFile::copy(vltest::DossierSources() + "/data/store/catalogue.json", dossier.filePath("donnees/catalogue.json")));
    struct Cas
    {
        const char* compositions;
        const char* message;
    };
    const Cas cas[] = {
        {R"({"compositions": [{"NomCompo": "A", "Proprio": 1, "format": "L7160", "connexion": "Nulle part", "faces": [[]]}]})",
         "connexion inconnue « Nulle part »"},
        {R"({"compositions": [{"NomCompo": "B", "Proprio": 1, "format": "L7160", "faces": [[
             {"classe": "TVlTexte", "Nom": "T", "liaison": {"connexion": "Ailleurs", "pieces": [{"champ": "NOM"}]}}]]}]})",
         "connexion inconnue « Ailleurs »"},
    };
    for (const Cas& k : cas) {
        QFile f(dossier.filePath("donnees/compositions.json"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(k.compositions);
        f.close();
        try {
            ConstruireFichierBase(dossier.filePath("donnees"), racine.DossierBase() + "vellumar.db");
            ADD_FAILURE() << k.message;
        } catch (const Erreur& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(k.message))) << e.Message().toStdString();
        }
        EXPECT_FALSE(QFile::exists(racine.DossierBase() + "vellumar.db")) << "nothing written";
    }
}

TEST_F(Stockage, ANewCompositionGetsItsFacesFromTheLayout)
{
    TCompositionOuverte simple = ide->CreerComposition(Format("Avery L7160"));
    EXPECT_EQ(simple.Composition->NomCompo(), "Nouvelle composition");
    EXPECT_FALSE(simple.Composition->Persistant());
    ASSERT_EQ(simple.Faces.size(), 1u);
    EXPECT_EQ(simple.Faces[0]->Nom(), "Recto");
    EXPECT_EQ(simple.Faces[0]->Ordre(), 1);
    TCompositionOuverte double_ = ide->CreerComposition(Format("Avery C32011"));
    ASSERT_EQ(double_.Faces.size(), 2u);
    EXPECT_EQ(double_.Faces[1]->Nom(), "Verso");
    EXPECT_EQ(double_.Faces[1]->Ordre(), 2);
    EXPECT_EQ(Lignes("VlCompoFace"), facesLivrees) << "nothing stored before a save";
}

TEST_F(Stockage, CancellingTheFirstSaveLeavesNothingInTheStore)
{
    const int avant = Lignes("VlComposition");
    TCompositionOuverte o = ide->CreerComposition(Format("Avery L7160"));
    o.Composition->SetDescriptionCompo("d");
    EXPECT_FALSE(ide->Enregistrer(o, [](TVlComposition& c) {
        c.SetNomCompo("Abandonnée");
        return false;
    }));
    EXPECT_EQ(Lignes("VlComposition"), avant);
    EXPECT_EQ(o.Composition->NomCompo(), "Nouvelle composition");
    EXPECT_EQ(o.Composition->DescriptionCompo(), "d");
    EXPECT_FALSE(o.Composition->Persistant());
}

TEST_F(Stockage, SavingAfterDeletingAnElementKeepsExactlyTheOthersRenumbered)
{
    TCompositionOuverte o = NouvelleEnregistree("Mes adresses");
    EXPECT_TRUE(o.Composition->Persistant());
    o.Faces[0]->ElementsFace.erase(o.Faces[0]->ElementsFace.begin());
    ASSERT_TRUE(ide->Enregistrer(o));
    const QString id = o.Composition->Id();
    o = {};
    Rouvrir();
    auto c = ide->ChercherComposition("Mes adresses");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Id(), id);
    TCompositionOuverte relue = ide->Ouvrir(c);
    EXPECT_EQ(Noms(relue), QStringList({"Texte2:0", "Texte3:1"}));
    EXPECT_EQ(Lignes("VlCompoFace"), facesLivrees + 1);
}

TEST_F(Stockage, SaveAsCopiesBindingsAndLeavesTheOriginalAlone)
{
    TCompositionOuverte o = NouvelleEnregistree("Original");
    auto connexion = io->IOConnexion()->Nouveau<TVlConnexion>();
    connexion->SetNomConnexion("Clients");
    io->IOConnexion()->Stocker(*connexion);
    auto liaison = ide->NouvelleLiaison(connexion);
    ide->AjouterPieceLiaison(1, "NOM", *liaison);
    ide->AjouterPieceLiaison(0, " ", *liaison);
    o.Faces[0]->ElementsFace[0]->SetConnexion(liaison);
    ASSERT_TRUE(ide->Enregistrer(o));
    // An unsaved change goes into the copy only.
    o.Faces[0]->ElementsFace[1]->SetGauche(3.25);

    auto copie = ide->EnregistrerSous(o, [](TVlComposition& c) {
        c.SetNomCompo("Copie");
        c.SetDescriptionCompo("copiée");
        return true;
    });
    ASSERT_TRUE(copie);
    EXPECT_EQ(copie->Composition->NomCompo(), "Copie");
    EXPECT_NE(copie->Composition->Id(), o.Composition->Id());
    auto lieeCopie = copie->Feuilles(0)[0];
    ASSERT_TRUE(lieeCopie->EstLiee());
    EXPECT_NE(lieeCopie->Connexion(), liaison);
    EXPECT_NE(lieeCopie->Connexion()->Id(), liaison->Id());
    EXPECT_EQ(lieeCopie->Connexion()->ElementsCount(), 2);
    EXPECT_EQ(lieeCopie->Connexion()->Connexion(), connexion);

    o = {};
    copie.reset();
    lieeCopie.reset();
    liaison.reset();
    Rouvrir();
    TCompositionOuverte original = ide->Ouvrir(ide->ChercherComposition("Original"));
    TCompositionOuverte relue = ide->Ouvrir(ide->ChercherComposition("Copie"));
    ASSERT_TRUE(original.Feuilles(0)[0]->EstLiee());
    EXPECT_EQ(original.Feuilles(0)[0]->Connexion()->Elements(0)->Valeur(), "NOM");
    EXPECT_NE(original.Feuilles(0)[1]->Gauche(), 3.25);
    EXPECT_EQ(relue.Feuilles(0)[1]->Gauche(), 3.25);
    EXPECT_EQ(relue.Composition->DescriptionCompo(), "copiée");
    EXPECT_EQ(Lignes("VLFeuilleConnexion") - liaisonsLivrees, 2);
    EXPECT_EQ(Lignes("ElemFeuilleConnexion") - piecesLivrees, 4);
}

TEST_F(Stockage, CancellingSaveAsChangesNothing)
{
    TCompositionOuverte o = NouvelleEnregistree("Seule");
    const int avant = Lignes("VlComposition");
    EXPECT_FALSE(ide->EnregistrerSous(o, [](TVlComposition&) { return false; }));
    EXPECT_EQ(Lignes("VlComposition"), avant);
}

TEST_F(Stockage, ASuppliedCompositionIsSavedOnlyAsACopy)
{
    auto fournie = ide->ChercherComposition("Carte de visite");
    TCompositionOuverte o = ide->Ouvrir(fournie);
    std::dynamic_pointer_cast<TVlTexte>(o.Feuilles(0)[0])->SetValeur("Autre nom");
    EXPECT_THROW(ide->Enregistrer(o), Erreur);
    EXPECT_THROW(ide->SupprimerComposition(fournie), Erreur);

    auto copie = ide->EnregistrerSous(o);
    ASSERT_TRUE(copie);
    EXPECT_EQ(copie->Composition->Proprio(), 0);
    EXPECT_EQ(copie->Composition->NomCompo(), "Nouvelle composition");
    EXPECT_TRUE(copie->Composition->Persistant());
    // The copy can be saved again in place.
    EXPECT_TRUE(ide->Enregistrer(*copie));

    o = {};
    fournie.reset();
    copie.reset();
    Rouvrir();
    TCompositionOuverte relue = ide->Ouvrir(ide->ChercherComposition("Carte de visite"));
    EXPECT_EQ(relue.Composition->Proprio(), 2);
    auto texte = std::dynamic_pointer_cast<TVlTexte>(relue.Feuilles(0)[0]);
    EXPECT_EQ(texte->Valeur(), "Camille Durand");
    EXPECT_EQ(int(ide->Compositions().size()), compositionsLivrees + 1);
}

TEST_F(Stockage, DeletingACompositionRemovesFacesElementsAndBindings)
{
    const QStringList tables = {"VlCompoFace", "VlElement", "VlCompoElement", "VlFeuille", "VlAlphaNum", "VlTexte"};
    QList<int> avant;
    for (const QString& t : tables)
        avant << Lignes(t);
    TCompositionOuverte o = NouvelleEnregistree("À supprimer");
    auto liaison = ide->NouvelleLiaison(nullptr);
    ide->AjouterPieceLiaison(0, "texte", *liaison);
    o.Faces[0]->ElementsFace[0]->SetConnexion(liaison);
    ide->Enregistrer(o);
    ASSERT_EQ(Lignes("VLFeuilleConnexion") - liaisonsLivrees, 1);
    ide->SupprimerComposition(o.Composition);
    EXPECT_FALSE(ide->ChercherComposition("À supprimer"));
    for (int i = 0; i < tables.size(); ++i)
        EXPECT_EQ(Lignes(tables[i]), avant[i]) << tables[i].toStdString();
    EXPECT_EQ(Lignes("VLFeuilleConnexion"), liaisonsLivrees);
    EXPECT_EQ(Lignes("ElemFeuilleConnexion"), piecesLivrees);
}

TEST_F(Stockage, AFailedSaveKeepsThePreviousVersionAndReportsTheError)
{
    TCompositionOuverte o = NouvelleEnregistree("Fiable");
    QSqlQuery q(io->IOConnexion()->Base());
    ASSERT_TRUE(q.exec("CREATE TRIGGER echec BEFORE INSERT ON VlTexte WHEN NEW.Texte = 'boum' "
                       "BEGIN SELECT RAISE(ABORT, 'disque plein'); END"));
    // Delete one element, change another, and make the last write fail.
    o.Faces[0]->ElementsFace.erase(o.Faces[0]->ElementsFace.begin());
    std::dynamic_pointer_cast<TVlTexte>(o.Faces[0]->ElementsFace[0])->SetValeur("changé");
    std::dynamic_pointer_cast<TVlTexte>(o.Faces[0]->ElementsFace[1])->SetValeur("boum");
    try {
        ide->Enregistrer(o);
        FAIL() << "the failure was not reported";
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains("disque plein")) << e.Message().toStdString();
    }
    ASSERT_TRUE(q.exec("DROP TRIGGER echec"));
    o = {};
    Rouvrir();
    TCompositionOuverte relue = ide->Ouvrir(ide->ChercherComposition("Fiable"));
    EXPECT_EQ(Noms(relue), QStringList({"Texte1:0", "Texte2:1", "Texte3:2"}));
    EXPECT_EQ(std::dynamic_pointer_cast<TVlTexte>(relue.Feuilles(0)[1])->Valeur(), "valeur 2");
}

TEST_F(Stockage, AFailedFirstSaveLeavesTheCompositionNew)
{
    QSqlQuery q(io->IOConnexion()->Base());
    ASSERT_TRUE(q.exec("CREATE TRIGGER echec BEFORE INSERT ON VlTexte BEGIN SELECT RAISE(ABORT, 'refus'); END"));
    TCompositionOuverte o = ide->CreerComposition(Format("Avery L7160"));
    auto t = ide->NouvelleFeuille<TVlTexte>(o.Composition);
    o.Faces[0]->ElementsFace.push_back(t);
    const int avant = Lignes("VlComposition");
    EXPECT_THROW(ide->Enregistrer(o, [](TVlComposition& c) { c.SetNomCompo("Essai"); return true; }), Erreur);
    EXPECT_FALSE(o.Composition->Persistant());
    EXPECT_EQ(Lignes("VlComposition"), avant);
    EXPECT_EQ(Lignes("VlCompoFace"), facesLivrees);
}

TEST_F(Stockage, ClonedLeavesAreNewAndCarryTheirOwnBinding)
{
    TCompositionOuverte o = ide->CreerComposition(Format("Avery L7160"));
    auto t = ide->NouvelleFeuille<TVlTexte>(o.Composition);
    EXPECT_EQ(t->Composition(), o.Composition);
    auto liaison = ide->NouvelleLiaison(nullptr);
    ide->AjouterPieceLiaison(1, "VILLE", *liaison);
    t->SetConnexion(liaison);
    auto clone = ide->ClonerFeuille(*t);
    EXPECT_TRUE(clone->Id().isEmpty());
    ASSERT_TRUE(clone->Connexion());
    EXPECT_NE(clone->Connexion(), liaison);
    EXPECT_EQ(clone->Connexion()->Elements(0)->Valeur(), "VILLE");
    EXPECT_EQ(clone->Connexion()->Elements(0)->TypeElement(), 1);
}

TEST_F(Stockage, CalibrationAndAliasLookUps)
{
    auto l7160 = Format("Avery L7160");
    auto c = io->IOConnexion();
    for (auto [imprimante, gauche] : {std::pair{"Bureau", 1.5}, {"Atelier", -2.0}}) {
        auto a = c->Nouveau<TVlAjustement>();
        a->SetImprimante(imprimante);
        a->SetMiseEnPage(l7160);
        a->SetGauche(gauche);
        c->Stocker(*a);
    }
    std::shared_ptr<TVlAjustement> emplacement;
    ide->ChercherAjustement(*l7160, "Atelier", emplacement);
    ASSERT_TRUE(emplacement);
    EXPECT_DOUBLE_EQ(emplacement->Gauche(), -2.0);
    ide->ChercherAjustement(*l7160, "Inconnue", emplacement);
    EXPECT_FALSE(emplacement) << "the slot is emptied when nothing matches";
    ide->ChercherAjustement(*Format("Avery L7163"), "Bureau", emplacement);
    EXPECT_FALSE(emplacement);

    auto connexion = c->Nouveau<TVlConnexion>();
    c->Stocker(*connexion);
    auto autre = c->Nouveau<TVlConnexion>();
    c->Stocker(*autre);
    for (auto [cible, champ, alias] : {std::tuple{connexion, "CP", "Code postal"}, {autre, "CP", "Postal"},
                                      {connexion, "NOM", "Nom"}}) {
        auto a = c->Nouveau<TVlFieldsAlias>();
        a->SetConnexion(cible);
        a->SetFieldName(champ);
        a->SetAliasName(alias);
        c->Stocker(*a);
    }
    ide->ChargerAlias(*connexion);
    EXPECT_EQ(connexion->Alias.size(), 2u);
    EXPECT_EQ(connexion->AliasDuChamp("CP"), "Code postal");
    EXPECT_EQ(connexion->ChampDeAlias("Nom"), "NOM");
    connexion->LibererAlias();
}

TEST_F(Stockage, TheStoreOfTheRootIsOpenedAndAMissingOneNamesItsFolder)
{
    Rouvrir();
    EXPECT_TRUE(io->IOConnexion()->EstOuvert());
    vltest::RacineTemporaire vide;
    QDir(vide.DossierBase()).removeRecursively();
    try {
        TDMConnexioIO absent;
        FAIL();
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains(vide.Chemin())) << e.Message().toStdString();
    }
}

TEST_F(Stockage, AClosedCompositionReleasesItsFacesAndLeaves)
{
    std::weak_ptr<TVlCompoFace> face;
    std::weak_ptr<TVlFeuille> feuille;
    {
        TCompositionOuverte o = ide->Ouvrir(ide->ChercherComposition("Étiquette d'adresse"));
        ASSERT_FALSE(o.Feuilles(0).empty());
        face = o.Faces[0];
        feuille = o.Feuilles(0)[0];
        EXPECT_EQ(feuille.lock()->Face(), o.Faces[0]) << "a leaf reaches its face";
    }
    EXPECT_TRUE(face.expired()) << "leaves and faces must not keep each other alive";
    EXPECT_TRUE(feuille.expired());
}
