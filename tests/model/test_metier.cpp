#include "model/ConnexionIO.h"
#include "model/Metier.h"
#include "test_support.h"
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace vl::persistence;

TEST(Metier, TheStoredClassesAreRegisteredWithTheirTables)
{
    EnregistrerClassesMetier();
    const Registre& r = Registre::Global();
    const char* classes[] = {"TVlComposition", "TVlCompoFace", "TVlPageElement", "TVlCompoElement", "TVlComposite",
                             "TVlFeuille", "TVlAlphaNum", "TVlTexte", "TVlMemo", "TVlCompteur", "TVlImage",
                             "TVlCodeBarre", "TVlMiseEnPage", "TVlColonne", "TVlPoint", "TVlPaperSize",
                             "TVlPackage", "TVlContenuPackages", "TVlConnexion", "TVlBDEConnexion",
                             "TVlADOConnexion", "TVLFeuilleConnexion", "TElemFeuilleConnexion", "TVlImageDef",
                             "TVlFieldsAlias", "TVlAjustement"};
    for (const char* nom : classes)
        EXPECT_TRUE(r.Chercher(nom)) << nom;
    EXPECT_FALSE(r.Chercher("TVlElement")) << "never stored as such";
    EXPECT_EQ(TVLFeuilleConnexion::ClasseVl().NomTable(), "VLFeuilleConnexion");
    EXPECT_EQ(TElemFeuilleConnexion::ClasseVl().NomTable(), "ElemFeuilleConnexion");
    EXPECT_EQ(TVlAlphaNum::ClasseVl().NomTable(), "VlAlphaNum");
}

TEST(Metier, ColumnsCarryTheirStorageNames)
{
    vltest::RacineTemporaire racine;
    EnregistrerClassesMetier();
    auto c = Connecteur::Ouvrir(racine.DossierBase() + "m.db", Connecteur::Mode::Creer);
    struct Cas { const char* table; const char* colonne; };
    const Cas cas[] = {{"VlElement", "Haute"}, {"VlElement", "Inclinaison"}, {"VlFeuille", "Alignement horizontal"},
                       {"VlFeuille", "Couleur du fond"}, {"VlFeuille", "Marge basse"}, {"VlAlphaNum", "Nom"},
                       {"VlAlphaNum", "Transparence"}, {"VlAlphaNum", "Strikeout"}, {"VlTexte", "Texte"},
                       {"VlMemo", "Texte"}, {"VlCodeBarre", "Code"}, {"VlCompteur", "Valeur"}};
    for (const Cas& k : cas)
        EXPECT_GE(c->Base().record(k.table).indexOf(k.colonne), 0) << k.table << "." << k.colonne;
    EXPECT_LT(c->Base().record("VlElement").indexOf("Haut"), 0);
}

TEST(Metier, NewLeavesHoldTheirDefaults)
{
    for (auto feuille : {std::shared_ptr<TVlAlphaNum>(std::make_shared<TVlTexte>()),
                         std::shared_ptr<TVlAlphaNum>(std::make_shared<TVlMemo>())}) {
        EXPECT_EQ(feuille->PoliceNom(), "Arial");
        EXPECT_EQ(feuille->PoliceTaille(), 8);
        EXPECT_EQ(feuille->PoliceCouleur(), 0);
        EXPECT_TRUE(feuille->Transparent());
        EXPECT_FALSE(feuille->AjusterPolice());
        EXPECT_FALSE(feuille->StyleGras() || feuille->StyleItalique() || feuille->StyleUnderline() ||
                     feuille->StyleStrikeOut());
        EXPECT_EQ(feuille->AlignementHorizontal(), 1);
        EXPECT_EQ(feuille->AlignementVertical(), 1);
        EXPECT_EQ(feuille->CouleurFond(), 0xFFFFFF);
        EXPECT_EQ(feuille->Angle(), 0);
        EXPECT_TRUE(feuille->TransparenceAutorisee);
        EXPECT_FALSE(feuille->EstLiee());
    }
    EXPECT_EQ(TVlTexte().Valeur(), "Saisissez votre texte");
    EXPECT_EQ(TVlMemo().Valeur(), "Saisissez votre texte");
    EXPECT_EQ(TVlCompteur().Valeur(), 1);

    TVlCodeBarre cb;
    EXPECT_EQ(cb.TypeCodeBarre(), 0);
    EXPECT_DOUBLE_EQ(cb.Module(), 0.033);
    EXPECT_DOUBLE_EQ(cb.Densite(), 100);
    EXPECT_DOUBLE_EQ(cb.HauteurBarres(), 2.285);
    EXPECT_FALSE(cb.WriteText());
    EXPECT_EQ(cb.AlignementHorizontal(), 0);
    EXPECT_EQ(cb.AlignementVertical(), 0);
    EXPECT_FALSE(cb.TransparenceAutorisee);
    EXPECT_TRUE(cb.Valeur().isEmpty());

    TVlImage im;
    EXPECT_TRUE(im.Homothetie());
    EXPECT_FALSE(im.Transparent());
    EXPECT_TRUE(im.url().isEmpty());

    EXPECT_EQ(TVlMiseEnPage().Orientation(), "portrait");
}

TEST(Metier, ANewLeafCopiesTheDefaultFontCurrentAtItsCreation)
{
    DefinirPoliceParDefaut({"Liberation Serif", 12});
    TVlTexte apres;
    DefinirPoliceParDefaut({});
    EXPECT_EQ(apres.PoliceNom(), "Liberation Serif");
    EXPECT_EQ(apres.PoliceTaille(), 12);
    EXPECT_EQ(TVlTexte().PoliceNom(), "Arial");
}

TEST(Metier, PictureTransparencyFollowsTheFileKind)
{
    struct Cas { const char* url; bool permise; };
    for (const Cas& k : {Cas{"logo.PNG", true}, Cas{"anim.gif", true}, Cas{"C:\\img\\fond.bmp", true},
                         Cas{"photo.jpg", false}, Cas{"photo.jpeg", false}, Cas{"sans-extension", false}}) {
        TVlImage im;
        im.Seturl(k.url);
        im.SetTransparent(true);
        EXPECT_EQ(im.TransparenceAutorisee, k.permise) << k.url;
        EXPECT_EQ(im.Transparent(), k.permise) << k.url;
    }
    EXPECT_TRUE(TVlImage::TypeImageTransparent("png"));
    EXPECT_TRUE(TVlImage::TypeImageTransparent("gif"));
    EXPECT_FALSE(TVlImage::TypeImageTransparent("jpg"));
    EXPECT_FALSE(TVlImage::TypeImageTransparent("bmp")) << "a bound picture allows png and gif only";
}

TEST(Metier, AliasLookUpsAreExactScansInOrder)
{
    TVlConnexion c;
    EXPECT_EQ(c.ChampDeAlias("Nom"), "");
    EXPECT_EQ(c.AliasDuChamp("NOM"), "");
    for (auto [champ, alias] : {std::pair{"NOM", "Nom"}, {"CP", "Code postal"}, {"NOM2", "Nom"}}) {
        auto a = std::make_shared<TVlFieldsAlias>();
        a->SetFieldName(champ);
        a->SetAliasName(alias);
        c.Alias.push_back(a);
    }
    EXPECT_EQ(c.AliasDuChamp("CP"), "Code postal");
    EXPECT_EQ(c.ChampDeAlias("Nom"), "NOM") << "the first match wins";
    EXPECT_EQ(c.ChampDeAlias("nom"), "") << "case-sensitive";
    EXPECT_EQ(c.AliasDuChamp("VILLE"), "");
}

TEST(Metier, AnyChangeOfALeafReachesTheObserver)
{
    int vus = 0;
    TVlFeuille::DefinirObservateurModification([&](TVlFeuille&) { ++vus; });
    auto t = std::make_shared<TVlTexte>();
    t->SetValeur("x");
    t->SetGauche(1.5);
    t->SetGauche(1.5);
    auto liaison = std::make_shared<TVLFeuilleConnexion>();
    t->SetConnexion(liaison);
    auto piece = std::make_shared<TElemFeuilleConnexion>();
    liaison->AjouterElements(piece);
    piece->SetValeur("NOM");
    TVlFeuille::DefinirObservateurModification({});
    EXPECT_EQ(vus, 5);
}

// Fills every scalar attribute of an object with a value that differs from
// its default, derived from the attribute's position.
static void Remplir(ObjetPersistant& o)
{
    for (const Attribut* a : o.Classe().Attributs()) {
        const int n = a->index + 2;
        switch (a->type) {
        case TypeAttribut::Chaine: o.EcrireScalaire(*a, QStringLiteral("é%1 ").arg(n).repeated(60).left(a->tailleMax)); break;
        case TypeAttribut::Memo: o.EcrireScalaire(*a, QStringLiteral("ligne %1\nsuite « ».").arg(n)); break;
        case TypeAttribut::Entier: o.EcrireScalaire(*a, n * 7); break;
        case TypeAttribut::Reel: o.EcrireScalaire(*a, n + 0.125); break;
        case TypeAttribut::Booleen: o.EcrireScalaire(*a, n % 2 == 0); break;
        case TypeAttribut::Blob: o.EcrireScalaire(*a, QByteArray("\x00\x89PNG", 5) + QByteArray::number(n)); break;
        default: break;
        }
    }
}

TEST(Metier, EveryClassSurvivesARoundTripThroughTheStore)
{
    vltest::RacineTemporaire racine;
    EnregistrerClassesMetier();
    const QString fichier = racine.DossierBase() + "aller-retour.db";
    auto c = Connecteur::Ouvrir(fichier, Connecteur::Mode::Creer);
    // Clones keep the values written; the stored instances are dropped so
    // that the reads below come from the file.
    QList<std::shared_ptr<ObjetPersistant>> originaux;
    for (const ClassePersistante* classe : Registre::Global().Classes()) {
        if (classe->EstAbstraite())
            continue;
        auto o = classe->Creer();
        Remplir(*o);
        // One object of each reference's target class, and one part per part attribute.
        for (const Attribut* a : classe->Attributs()) {
            const ClassePersistante* cible = Registre::Global().Chercher(a->classeCible);
            if (a->EstReference()) {
                auto r = cible->Creer();
                c->Stocker(*r);
                std::vector<Lien> liens{{r->Id(), r}};
                o->ChargerLiens(*a, liens);
            } else if (a->EstPartie()) {
                auto p = cible->Creer();
                Remplir(*p);
                o->ChargerParties(*a, {p});
            }
        }
        c->Stocker(*o);
        originaux.append(o->Cloner());
    }
    EXPECT_EQ(originaux.size(), 24); // the 26 less the two abstract leaf classes
    c->Fermer();
    c = Connecteur::Ouvrir(fichier);
    for (const auto& original : originaux) {
        SCOPED_TRACE(original->Classe().Nom().toStdString());
        const auto lus = c->Selectionner(QStringLiteral("select * from %1").arg(original->Classe().Nom()));
        // Reference targets of the same class are stored too; find ours by values.
        std::shared_ptr<ObjetPersistant> lu;
        for (const auto& l : lus) {
            bool pareil = true;
            for (const Attribut* a : original->Classe().Attributs())
                if (!a->EstObjet() && l->Scalaire(*a) != original->Scalaire(*a))
                    pareil = false;
            if (pareil)
                lu = l;
        }
        ASSERT_TRUE(lu) << "no stored object with the values written";
        EXPECT_EQ(&lu->Classe(), &original->Classe());
        for (const Attribut* a : original->Classe().Attributs()) {
            if (a->EstPartie()) {
                ASSERT_EQ(lu->Parties(*a).size(), 1u) << a->nom.toStdString();
                EXPECT_EQ(lu->Parties(*a)[0]->Scalaire(*lu->Parties(*a)[0]->Classe().Attributs()[0]),
                          original->Parties(*a)[0]->Scalaire(*original->Parties(*a)[0]->Classe().Attributs()[0]));
            } else if (a->EstReference()) {
                ASSERT_EQ(lu->Liens(*a).size(), 1u) << a->nom.toStdString();
                EXPECT_EQ(lu->Liens(*a)[0].id, original->Liens(*a)[0].id);
                EXPECT_TRUE(lu->ObjetLie(*a, 0)) << "reference resolves: " << a->nom.toStdString();
            }
        }
    }
}

TEST(Metier, TheStoreLiesInDatabaseAboveTheExecutablesFolder)
{
    EXPECT_EQ(TDMConnexioIO::RacineDepuisExecutable("D:\\Outils\\Bin\\vellumar.exe"), "D:/Outils/");
    EXPECT_EQ(TDMConnexioIO::RacineDepuisExecutable("/opt/vellumar/bin/vellumar"), "/opt/vellumar/");
    vltest::RacineTemporaire racine;
    EXPECT_EQ(TDMConnexioIO::DossierBase().toStdString(), (racine.Chemin() + "/database/").toStdString());
}
