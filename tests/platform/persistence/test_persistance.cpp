#include "persistence/Connecteur.h"
#include "test_support.h"
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace vl::persistence;

// A small class tree of our own, so that the store is tested apart from the
// document model: a part class, a base class and a subclass.
class TTestPiece : public ObjetPersistant
{
public:
    static const ClassePersistante& ClasseVl()
    {
        static const ClassePersistante c("TTestPiece", nullptr, [] { return std::make_shared<TTestPiece>(); },
                                         [](DefinitionClasse& d) { iNom = d.Chaine("Nom", 20); });
        return c;
    }
    TTestPiece() : ObjetPersistant(ClasseVl()) {}
    VL_CHAINE(Nom)
};

class TTestAnimal : public ObjetPersistant
{
public:
    static const ClassePersistante& ClasseVl()
    {
        static const ClassePersistante c("TTestAnimal", nullptr, [] { return std::make_shared<TTestAnimal>(); },
                                         [](DefinitionClasse& d) {
                                             iNom = d.Chaine("Nom", 10, "Nom de l'\"animal\" é");
                                             iAge = d.Entier("Age");
                                             iPoids = d.Reel("Poids");
                                             iVivant = d.Booleen("Vivant");
                                             iNotes = d.Memo("Notes");
                                             iPhoto = d.Blob("Photo");
                                             iCollier = d.Part("Collier", "TTestPiece");
                                             iPattes = d.Parts("Pattes", "TTestPiece");
                                             iMaitre = d.Reference("Maitre", "TTestAnimal");
                                         });
        return c;
    }
    TTestAnimal() : TTestAnimal(ClasseVl()) {}
    VL_CHAINE(Nom)
    VL_ENTIER(Age)
    VL_REEL(Poids)
    VL_BOOLEEN(Vivant)
    VL_MEMO(Notes)
    VL_BLOB(Photo)
    VL_PART(Collier, TTestPiece)
    VL_PARTS(Pattes, TTestPiece)
    VL_REFERENCE(Maitre, TTestAnimal)

    int changements = 0;
    void AttributChange(const Attribut&) override { ++changements; }

protected:
    explicit TTestAnimal(const ClassePersistante& c) : ObjetPersistant(c) { Initialiser(iVivant, true); }
};

class TTestChien : public TTestAnimal
{
public:
    static const ClassePersistante& ClasseVl()
    {
        static const ClassePersistante c("TTestChien", &TTestAnimal::ClasseVl(),
                                         [] { return std::make_shared<TTestChien>(); }, [](DefinitionClasse& d) {
                                             iRace = d.Chaine("Race", 20, "Race du chien");
                                             iAmis = d.References("Amis", "TTestAnimal");
                                         });
        return c;
    }
    TTestChien() : TTestAnimal(ClasseVl()) {}
    VL_CHAINE(Race)
    VL_REFERENCES(Amis, TTestAnimal)
};

namespace {

void EnregistrerClassesTest()
{
    Registre::Global().Enregistrer(TTestPiece::ClasseVl());
    Registre::Global().Enregistrer(TTestAnimal::ClasseVl());
    Registre::Global().Enregistrer(TTestChien::ClasseVl());
}

std::shared_ptr<TTestPiece> Piece(const QString& nom)
{
    auto p = std::make_shared<TTestPiece>();
    p->SetNom(nom);
    return p;
}

int Lignes(Connecteur& c, const QString& table)
{
    QSqlQuery q(c.Base());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)));
    q.next();
    return q.value(0).toInt();
}

class Persistance : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnregistrerClassesTest();
        fichier = racine.DossierBase() + "test.db";
        c = Connecteur::Ouvrir(fichier, Connecteur::Mode::Creer);
    }
    void Rouvrir()
    {
        c->Fermer();
        c = Connecteur::Ouvrir(fichier);
    }
    std::shared_ptr<TTestAnimal> Animal(const QString& nom, int age)
    {
        auto a = c->Nouveau<TTestAnimal>();
        a->SetNom(nom);
        a->SetAge(age);
        c->Stocker(*a);
        return a;
    }

    vltest::RacineTemporaire racine;
    QString fichier;
    std::shared_ptr<Connecteur> c;
};

} // namespace

TEST_F(Persistance, EveryAttributeKindSurvivesARoundTrip)
{
    auto maitre = Animal("Maître", 40);
    auto ami = Animal("Ami", 3);
    auto chien = c->Nouveau<TTestChien>();
    const QByteArray photo("\x00\x01\xff\x00zz", 6);
    chien->SetNom("Médor éçà");
    chien->SetAge(-7);
    chien->SetPoids(12.345678901234);
    chien->SetVivant(false);
    chien->SetNotes("ligne 1\nligne « 2 »\n");
    chien->SetPhoto(photo);
    chien->SetCollier(Piece("cuir"));
    for (const char* p : {"avant gauche", "avant droite", "arrière"})
        chien->AjouterPattes(Piece(p));
    chien->SetMaitre(maitre);
    chien->AjouterAmis(ami);
    chien->AjouterAmis(maitre);
    chien->SetRace("Épagneul");
    c->Stocker(*chien);
    const QString id = chien->Id();
    ASSERT_FALSE(id.isEmpty());
    chien.reset();
    maitre.reset();
    ami.reset();
    Rouvrir();

    auto lu = std::dynamic_pointer_cast<TTestChien>(c->Charger(id, TTestAnimal::ClasseVl()));
    ASSERT_TRUE(lu);
    EXPECT_EQ(lu->Nom(), "Médor éçà");
    EXPECT_EQ(lu->Age(), -7);
    EXPECT_DOUBLE_EQ(lu->Poids(), 12.345678901234);
    EXPECT_FALSE(lu->Vivant());
    EXPECT_EQ(lu->Notes(), "ligne 1\nligne « 2 »\n");
    EXPECT_EQ(lu->Photo(), photo);
    ASSERT_TRUE(lu->Collier());
    EXPECT_EQ(lu->Collier()->Nom(), "cuir");
    ASSERT_EQ(lu->PattesCount(), 3);
    EXPECT_EQ(lu->Pattes(0)->Nom(), "avant gauche");
    EXPECT_EQ(lu->Pattes(2)->Nom(), "arrière");
    ASSERT_TRUE(lu->Maitre());
    EXPECT_EQ(lu->Maitre()->Nom(), "Maître");
    ASSERT_EQ(lu->AmisCount(), 2);
    EXPECT_EQ(lu->Amis(0)->Nom(), "Ami");
    EXPECT_EQ(lu->Amis(1), lu->Maitre()); // one instance per stored object
    EXPECT_EQ(lu->Race(), "Épagneul");
    EXPECT_EQ(lu->changements, 0) << "loading does not count as a change";
}

TEST_F(Persistance, EachClassDeclaresItsColumnsInItsOwnTable)
{
    const QSqlRecord animal = c->Base().record("TestAnimal");
    const QSqlRecord chien = c->Base().record("TestChien");
    EXPECT_GE(animal.indexOf("Nom de l'\"animal\" é"), 0);
    EXPECT_GE(animal.indexOf("_Id"), 0);
    EXPECT_GE(animal.indexOf("_Classe"), 0);
    EXPECT_LT(animal.indexOf("Race du chien"), 0);
    EXPECT_GE(chien.indexOf("Race du chien"), 0);
    EXPECT_LT(chien.indexOf("Age"), 0);

    auto chienStocke = c->Nouveau<TTestChien>();
    c->Stocker(*chienStocke);
    EXPECT_EQ(Lignes(*c, "TestAnimal"), 1);
    EXPECT_EQ(Lignes(*c, "TestChien"), 1);
}

TEST_F(Persistance, StringsLongerThanTheirSizeAreRefused)
{
    TTestAnimal a;
    a.SetNom("éééééééééé"); // ten characters, not bytes
    EXPECT_EQ(a.Nom().size(), 10);
    try {
        a.SetNom("onze lettre");
        FAIL() << "a string over its size was accepted";
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains("10"));
    }
    EXPECT_EQ(a.Nom(), "éééééééééé");
}

TEST_F(Persistance, QueriesFilterOrderAndFollowReferences)
{
    auto chef = Animal("Chef", 50);
    for (auto [nom, age] : {std::pair{"Bob", 3}, {"alice", 3}, {"Zoé", 1}}) {
        auto a = Animal(nom, age);
        a->SetMaitre(chef);
        c->Stocker(*a);
    }
    auto chien = c->Nouveau<TTestChien>();
    chien->SetNom("Rex");
    chien->SetAge(2);
    chien->SetMaitre(chef);
    c->Stocker(*chien);

    auto noms = [&](const QString& q, const QVariantMap& p = {}) {
        QStringList r;
        for (const auto& o : c->Selectionner<TTestAnimal>(q, p))
            r << o->Nom();
        return r.join(",");
    };
    struct Cas { const char* requete; const char* attendu; };
    const Cas cas[] = {
        {"select * from TTestAnimal order by Nom", "alice,Bob,Chef,Zoé"},       // exact class, case-insensitive order
        {"select * from any TTestAnimal order by Nom", "alice,Bob,Chef,Rex,Zoé"}, // subclasses too
        {"SELECT * FROM any TTestAnimal where maitre.nom = 'Chef' order by age desc, nom", "alice,Bob,Rex,Zoé"},
        {"select * from TTestChien", "Rex"},
        {"select * from any TTestAnimal where Age >= 3 order by Age, Nom", "alice,Bob,Chef"},
    };
    for (const Cas& k : cas)
        EXPECT_EQ(noms(k.requete), k.attendu) << k.requete;

    EXPECT_EQ(noms("select * from any TTestAnimal where Maitre.Id = :id order by Nom", {{"ID", chef->Id()}}),
              "alice,Bob,Rex,Zoé");
    // SELECT <reference> returns the objects referenced, row by row.
    const auto maitres = c->Selectionner<TTestAnimal>("SELECT Maitre FROM TTestAnimal where Age < 10 order by Nom");
    ASSERT_EQ(maitres.size(), 3u);
    EXPECT_EQ(maitres[0], chef);
}

TEST_F(Persistance, BadQueriesGiveAMessage)
{
    for (const char* q : {"select * from TInconnue", "select * from TTestAnimal where Couleur = 1",
                          "select * from TTestAnimal where Nom = :nom", "select * TTestAnimal",
                          "select * from TTestAnimal where Age.Nom = 1", "SELECT Nom FROM TTestAnimal"}) {
        EXPECT_THROW(c->Selectionner(q), Erreur) << q;
    }
}

TEST_F(Persistance, OneInstancePerStoredObjectWhileHeld)
{
    const QString id = Animal("Tom", 4)->Id();
    auto a = c->Charger(id, TTestAnimal::ClasseVl());
    auto b = c->Selectionner("select * from TTestAnimal").front();
    EXPECT_EQ(a, b);
    std::weak_ptr<ObjetPersistant> faible = a;
    a.reset();
    b.reset();
    EXPECT_TRUE(faible.expired()) << "the store keeps no strong hold on loaded objects";
    auto relu = std::dynamic_pointer_cast<TTestAnimal>(c->Charger(id, TTestAnimal::ClasseVl()));
    ASSERT_TRUE(relu);
    EXPECT_EQ(relu->Nom(), "Tom");
    EXPECT_FALSE(c->Charger(id, TTestChien::ClasseVl())) << "an animal is not a dog";
}

TEST_F(Persistance, CloneGetsItsOwnIdentityAndParts)
{
    auto maitre = Animal("Maître", 40);
    auto a = c->Nouveau<TTestAnimal>();
    a->SetNom("Original");
    a->SetCollier(Piece("rouge"));
    a->AjouterPattes(Piece("p1"));
    a->SetMaitre(maitre);
    c->Stocker(*a);

    auto copie = a->ClonerEn<TTestAnimal>();
    EXPECT_TRUE(copie->Id().isEmpty());
    EXPECT_NE(copie->Collier(), a->Collier());
    EXPECT_EQ(copie->Collier()->Nom(), "rouge");
    EXPECT_EQ(copie->Maitre(), maitre) << "references are shared, not cloned";
    copie->SetNom("Copie");
    copie->Collier()->SetNom("bleu");
    c->Stocker(*copie);
    EXPECT_NE(copie->Id(), a->Id());
    EXPECT_NE(copie->Collier()->Id(), a->Collier()->Id());
    EXPECT_EQ(Lignes(*c, "TestPiece"), 4);

    const QString id = a->Id();
    a.reset();
    copie.reset();
    Rouvrir();
    auto relu = std::dynamic_pointer_cast<TTestAnimal>(c->Charger(id, TTestAnimal::ClasseVl()));
    EXPECT_EQ(relu->Nom(), "Original");
    EXPECT_EQ(relu->Collier()->Nom(), "rouge");
}

TEST_F(Persistance, DisposeRemovesTheObjectAndItsPartsEverywhere)
{
    auto chien = c->Nouveau<TTestChien>();
    chien->SetCollier(Piece("c"));
    chien->AjouterPattes(Piece("p1"));
    chien->AjouterPattes(Piece("p2"));
    c->Stocker(*chien);
    EXPECT_EQ(Lignes(*c, "TestPiece"), 3);

    // A part dropped from its owner leaves the store at the next write.
    chien->RetirerPattes(0);
    chien->SetCollier(nullptr);
    c->Stocker(*chien);
    EXPECT_EQ(Lignes(*c, "TestPiece"), 1);

    chien->Supprimer();
    EXPECT_FALSE(chien->EstStocke());
    for (const char* t : {"TestPiece", "TestAnimal", "TestChien"})
        EXPECT_EQ(Lignes(*c, t), 0) << t;
    EXPECT_EQ(chien->PattesCount(), 1) << "the object itself stays in memory";
}

TEST_F(Persistance, ChangeHookSeesRealChangesAndChangesInParts)
{
    auto a = std::make_shared<TTestAnimal>();
    a->SetAge(3);
    a->SetAge(3);
    EXPECT_EQ(a->changements, 1) << "writing the same value is no change";
    a->AjouterPattes(Piece("p"));
    EXPECT_EQ(a->changements, 2);
    a->Pattes(0)->SetNom("autre");
    EXPECT_EQ(a->changements, 3) << "a change inside a part is a change of its owner";
}

TEST_F(Persistance, AFailingWriteLeavesTheStoredVersionIntact)
{
    auto a = c->Nouveau<TTestAnimal>();
    a->SetNom("Avant");
    a->AjouterPattes(Piece("p1"));
    c->Stocker(*a);
    QSqlQuery q(c->Base());
    ASSERT_TRUE(q.exec("CREATE TRIGGER echec BEFORE INSERT ON TestPiece WHEN NEW.Nom = 'boum' "
                       "BEGIN SELECT RAISE(ABORT, 'échec simulé'); END"));
    a->SetNom("Après");
    a->AjouterPattes(Piece("boum"));
    EXPECT_THROW(c->Stocker(*a), Erreur);

    const QString id = a->Id();
    a.reset();
    Rouvrir();
    auto relu = std::dynamic_pointer_cast<TTestAnimal>(c->Charger(id, TTestAnimal::ClasseVl()));
    ASSERT_TRUE(relu);
    EXPECT_EQ(relu->Nom(), "Avant");
    EXPECT_EQ(relu->PattesCount(), 1);
}

TEST_F(Persistance, AnAbandonedInnerTransactionRollsTheOuterOneBack)
{
    c->DebuterTransaction();
    Animal("Un", 1);
    {
        Transaction interne(*c);
        Animal("Deux", 2);
    } // left without Valider
    EXPECT_THROW(c->ValiderTransaction(), Erreur);
    EXPECT_EQ(Lignes(*c, "TestAnimal"), 0);
}

TEST_F(Persistance, AReferenceToAnUnstoredObjectIsRefused)
{
    auto a = c->Nouveau<TTestAnimal>();
    a->SetMaitre(std::make_shared<TTestAnimal>());
    EXPECT_THROW(c->Stocker(*a), Erreur);
    EXPECT_EQ(Lignes(*c, "TestAnimal"), 0);
}

TEST_F(Persistance, OpeningErrorsNameTheFolder)
{
    const QString absent = racine.Chemin() + "/absent/base.db";
    try {
        Connecteur::Ouvrir(absent);
        FAIL();
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains(racine.Chemin() + "/absent")) << e.Message().toStdString();
    }
    try {
        Connecteur::Ouvrir(racine.DossierBase() + "manquant.db");
        FAIL();
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains("manquant.db"));
        EXPECT_TRUE(e.Message().contains(racine.Chemin()));
    }
    QFile abime(racine.DossierBase() + "abime.db");
    ASSERT_TRUE(abime.open(QIODevice::WriteOnly));
    abime.write(QByteArray(4096, 'x'));
    abime.close();
    try {
        Connecteur::Ouvrir(abime.fileName());
        FAIL();
    } catch (const Erreur& e) {
        EXPECT_TRUE(e.Message().contains(racine.Chemin())) << e.Message().toStdString();
    }
}

TEST_F(Persistance, AnOlderStoreGetsItsMissingColumns)
{
    c->Fermer();
    const QString ancien = racine.DossierBase() + "ancien.db";
    {
        auto brut = Connecteur::Ouvrir(ancien, Connecteur::Mode::Creer);
        QSqlQuery q(brut->Base());
        ASSERT_TRUE(q.exec("DROP TABLE TestChien"));
        ASSERT_TRUE(q.exec("CREATE TABLE TestChien (_Id VARCHAR(40) PRIMARY KEY, _Classe VARCHAR(64))"));
    }
    c = Connecteur::Ouvrir(ancien);
    EXPECT_GE(c->Base().record("TestChien").indexOf("Race du chien"), 0);
    auto chien = c->Nouveau<TTestChien>();
    chien->SetRace("Barbet");
    EXPECT_NO_THROW(c->Stocker(*chien));
}
