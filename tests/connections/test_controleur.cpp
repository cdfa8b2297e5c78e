#include "outils_connexions.h"
#include "connections/ConnexionFeuilleManager.h"
#include "connections/SourceImpression.h"

using namespace vltest::connexions;

namespace {

class Controleur : public BaseConnexions
{
protected:
    void Clients()
    {
        EcrireFichier(donnees + "clients.dbf",
                      FaireDbf({{"NOM", 'C', 20}, {"VILLE", 'C', 15}, {"QTE", 'N', 4}, {"PRIX", 'Y', 8}},
                               {{"Dupont", "Paris", "2", "12.5"},
                                {"Martin", "Lyon", "0", "3"},
                                {"Durand", "Nantes", "3", "1234.25"},
                                {"Petit", "Brest", "", "0"}}));
    }
};

TEST_F(Controleur, StrategiesEtPilotes)
{
    QStringList noms;
    for (const auto& s : controleur->Strategies)
        noms << s->NomStrategie;
    EXPECT_EQ(noms, QStringList({"User", kPv, kPvG, kTab, "DBase", "Paradox", "Access", "Excel"}));
    QStringList captions;
    for (const auto& p : controleur->Pilotes)
        captions << p.first;
    EXPECT_EQ(captions, QStringList({"Ascii délimité par des points-virgules",
                                     "Ascii délimité par des points-virgules avec guillemets",
                                     "Ascii délimité par des tabulations", "Base de données Dbase",
                                     "Base de données Paradox", "Base de données Access", "Base de données Excel"}));
    EXPECT_EQ(controleur->Pilotes[0].second, controleur->Strategies[1].get());
}

TEST_F(Controleur, TableDBaseParUneConnexionStockee)
{
    Clients();
    ConnexionFichier("DBase", "clients.dbf", "QTE");
    controleur->ActualiserSelecteur();
    ASSERT_TRUE(controleur->SelectionnerParNom("clients.dbf"));
    controleur->Ouvrir(nullptr, false);   // from the connections window: data shown
    EXPECT_EQ(fenetres.Consultations, 1);
    EXPECT_TRUE(controleur->Ouverte);
    EXPECT_EQ(Enregistrements({"NOM", "VILLE", "QTE"}),
              QStringList({"Dupont|Paris|2", "Martin|Lyon|0", "Durand|Nantes|3", "Petit|Brest|"}));

    QStringList champs, texte, memo, image;
    controleur->ListerChamps(champs);
    controleur->ListerChampsTexte(texte);
    controleur->ListerChampsMemo(memo);
    controleur->ListerChampsImage(image);
    EXPECT_EQ(champs, QStringList({"NOM", "VILLE", "QTE", "PRIX"}));
    EXPECT_EQ(texte, champs);
    EXPECT_TRUE(memo.isEmpty());
    EXPECT_EQ(image, QStringList({"NOM", "VILLE"}));

    // Navigation, bookmark, locate.
    controleur->Premier();
    EXPECT_TRUE(controleur->Debut());
    controleur->Suivant();
    controleur->PoserSignet();
    controleur->Dernier();
    EXPECT_EQ(controleur->Valeur("NOM", true), "Petit");
    controleur->RetourSignet();
    EXPECT_EQ(controleur->Valeur("NOM", true), "Martin");
    EXPECT_TRUE(controleur->Localiser("VILLE", "nan"));
    EXPECT_EQ(controleur->Valeur("NOM", true), "Durand");
    EXPECT_FALSE(controleur->Localiser("VILLE", "Rome"));
    EXPECT_EQ(controleur->Valeur("NOM", true), "Durand") << "position kept when nothing matches";

    // Currency formatted with the system's settings; the raw value is the field text.
    const QLocale systeme = QLocale::system();
    EXPECT_EQ(controleur->Valeur("PRIX", false), systeme.toCurrencyString(1234.25, systeme.currencySymbol()));
    EXPECT_EQ(controleur->Valeur("VILLE", false), "Nantes");
    EXPECT_TRUE(controleur->ChampEntier("QTE"));
    EXPECT_FALSE(controleur->ChampEntier("NOM"));
    EXPECT_EQ(controleur->Valeur("NOM", true), "Durand") << "ChampEntier restores the position";

    controleur->Fermer();
    EXPECT_FALSE(controleur->Ouverte);
    EXPECT_FALSE(controleur->Connexion());
    EXPECT_FALSE(controleur->JeuDonnees);
}

TEST_F(Controleur, NombreDeCopies)
{
    EcrireFichier(donnees + "copies.txt", "A;2\nB;0\nC;3\nD;deux\nE;\nF;-4\n");
    auto c = ConnexionFichier(kPv, "copies.txt", "col2");
    controleur->Ouvrir(c, false);
    TConnexionFeuilleManager manager(*controleur);
    TSourceConnexionImpression source(*controleur, manager);
    QList<int> copies;
    for (source.Premier(); !source.Fin(); source.Suivant())
        copies << controleur->NombreCopies();
    EXPECT_EQ(copies, QList<int>({2, 0, 3, 0, 0, 0}));
    c->SetCompteurImpressions("");
    source.Premier();
    EXPECT_EQ(controleur->NombreCopies(), 1) << "no counter column: one label a record";
    EXPECT_EQ(source.ValeurChamp("col1"), "A");
}

TEST_F(Controleur, RazCompteurDBase)
{
    Clients();
    controleur->Ouvrir(ConnexionFichier("DBase", "clients.dbf", "QTE"), false);
    controleur->RazCompteur();
    EXPECT_EQ(Enregistrements({"QTE"}), QStringList({"", "", "", ""}));
    controleur->Fermer();
    controleur->Ouvrir(ConnexionFichier("DBase", "clients.dbf", "QTE"), false);
    EXPECT_EQ(Enregistrements({"QTE"}), QStringList({"", "", "", ""})) << "written to the table";
}

TEST_F(Controleur, AliasAffichesNomsReelsStockes)
{
    Clients();
    auto c = ConnexionFichier("DBase", "clients.dbf");
    c->SetHasAlias(true);
    c->Stocker();
    for (auto [champ, alias] : {std::pair{"NOM", "Nom du client"}, std::pair{"VILLE", "Commune"}}) {
        auto a = io->IOConnexion()->Nouveau<TVlFieldsAlias>();
        a->SetConnexion(c);
        a->SetFieldName(champ);
        a->SetAliasName(alias);
        a->Stocker();
    }
    controleur->Ouvrir(c, false);
    QStringList champs;
    controleur->ListerChamps(champs);
    EXPECT_EQ(champs, QStringList({"Nom du client", "Commune", "QTE", "PRIX"}));
    EXPECT_EQ(controleur->NomAffiche("NOM"), "Nom du client");
    EXPECT_EQ(controleur->NomAffiche("NOM", true), "NOM");
    EXPECT_EQ(controleur->NomChampReel("Commune"), "VILLE");
    EXPECT_EQ(controleur->NomChampReel("QTE"), "QTE");

    struct Selecteurs : TSelecteursChamps
    {
        QStringList proposes;
        bool Choisir(TGenreSelecteur genre, const QStringList& champs, QList<TLigneChoisie>& lignes) override
        {
            EXPECT_EQ(genre, TGenreSelecteur::Concatenation);
            proposes = champs;
            lignes = {{"M.", "L"}, {"Nom du client", "C"}};
            return true;
        }
    } selecteurs;
    TConnexionFeuilleManager manager(*controleur, &selecteurs);
    TVlTexte texte;
    ASSERT_TRUE(manager.Lier(texte, 0));
    EXPECT_EQ(selecteurs.proposes, QStringList({"Nom du client", "Commune", "QTE", "PRIX"}));
    ASSERT_EQ(texte.Connexion()->ElementsCount(), 2);
    EXPECT_EQ(texte.Connexion()->Elements(1)->Valeur(), "NOM") << "the real name is stored";
    EXPECT_EQ(manager.LibelleLiaison(texte), "\"M.\" + Nom du client");
    controleur->Premier();
    EXPECT_EQ(manager.ValeurTexte(texte), "M. Dupont");

    // Renaming the alias changes the formula, not the binding.
    c->Alias[0]->SetAliasName("Client");
    EXPECT_EQ(manager.LibelleLiaison(texte), "\"M.\" + Client");
    EXPECT_EQ(texte.Connexion()->Elements(1)->Valeur(), "NOM");
}

TEST_F(Controleur, StrategieInconnueEtBasePersonnelle)
{
    auto c = io->IOConnexion()->Nouveau<TVlBDEConnexion>();
    c->SetNomStrategie("Ascii delimite points virgules");   // accents missing
    try {
        controleur->Ouvrir(c, false);
        ADD_FAILURE() << "opened";
    } catch (const EConnexion& e) {
        EXPECT_TRUE(e.Message().contains("Ascii delimite points virgules"));
    }
    EXPECT_EQ(controleur->Strategie, nullptr);
    EXPECT_FALSE(controleur->Ouverte);

    auto u = io->IOConnexion()->Nouveau<TVlConnexion>();
    u->SetNomStrategie("User");
    u->SetSystem(true);
    try {
        controleur->Ouvrir(u, false);
        ADD_FAILURE() << "opened";
    } catch (const EConnexion& e) {
        EXPECT_EQ(e.Message(), TUserDBConnexionStrategie::MessageIndisponible());
    }
    EXPECT_FALSE(controleur->Ouverte);
}

TEST_F(Controleur, ChainesDeConnexionAdo)
{
    auto a = io->IOConnexion()->Nouveau<TVlADOConnexion>();
    a->SetNomStrategie("Access");
    a->SetNomBd("/d/base.mdb");
    controleur->DefinirConnexion(a);
    auto& access = dynamic_cast<TADOConnexionStrategie&>(*controleur->StrategieNommee("Access"));
    EXPECT_EQ(access.ChaineConnexion(), "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/d/base.mdb;Mode=ReadWrite;"
                                        "Jet OLEDB:Database Password=;Jet OLEDB:Encrypt Database=False");
    auto& excel = dynamic_cast<TADOConnexionStrategie&>(*controleur->StrategieNommee("Excel"));
    excel.Fournisseur = TADOConnexionStrategie::FournisseurJet();
    EXPECT_EQ(excel.ChaineConnexion(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/base.mdb;Extended Properties=Excel 8.0;");
    controleur->DefinirConnexion(nullptr);
    // A missing database is reported with its path.
    a->SetNomBd(donnees + "absente.mdb");
    EXPECT_THROW(controleur->Ouvrir(a, false), vl::data::ErreurDonnees);
}

TEST_F(Controleur, SuppressionConfirmee)
{
    ConnexionFichier("DBase", "a.dbf");
    controleur->ActualiserSelecteur();
    ASSERT_TRUE(controleur->SelectionnerParNom("a.dbf"));
    const size_t avant = controleur->IOSelecteurConnexions().size();
    fenetres.Reponse = false;
    controleur->Supprimer();
    EXPECT_EQ(controleur->IOSelecteurConnexions().size(), avant);
    fenetres.Reponse = true;
    controleur->Supprimer();
    EXPECT_EQ(fenetres.Questions.last(), "Voulez-vous vraiment supprimer cette connexion ?");
    EXPECT_EQ(controleur->IOSelecteurConnexions().size(), avant - 1);
    EXPECT_FALSE(controleur->SelectionnerParNom("a.dbf"));
}

// ---------------------------------------------------------------- binding

class Liaison : public Controleur
{
protected:
    void SetUp() override
    {
        Controleur::SetUp();
        EcrireFichier(donnees + "v.txt", "R1;Dupont;photo.png\n");
        controleur->Ouvrir(ConnexionFichier(kPv, "v.txt"), false);
        controleur->Premier();
    }
    std::shared_ptr<TVLFeuilleConnexion> Pieces(std::initializer_list<std::pair<int, QString>> pieces)
    {
        auto l = std::make_shared<TVLFeuilleConnexion>();
        for (const auto& [type, valeur] : pieces) {
            auto e = std::make_shared<TElemFeuilleConnexion>();
            e->SetTypeElement(type);
            e->SetValeur(valeur);
            l->AjouterElements(e);
        }
        return l;
    }
};

TEST_F(Liaison, ValeurTexteUnEspaceEntreLesPieces)
{
    TConnexionFeuilleManager manager(*controleur);
    struct Cas { std::initializer_list<std::pair<int, QString>> pieces; QString valeur; QString libelle; };
    const Cas cas[] = {
        {{{0, "Réf"}, {1, "col1"}}, "Réf R1", "\"Réf\" + col1"},
        {{}, "", ""},
        {{{1, "col1"}, {1, "col2"}}, "R1 Dupont", "col1 + col2"},
        {{{0, "a"}, {7, "?"}, {0, "b"}}, "a  b", "\"a\" + \"?\" + \"b\""},
    };
    for (const auto& c : cas) {
        TVlTexte t;
        t.SetConnexion(Pieces(c.pieces));
        EXPECT_EQ(manager.ValeurTexte(t), c.valeur);
        EXPECT_EQ(manager.LibelleLiaison(t), c.libelle);
    }
    TVlTexte statique;
    EXPECT_EQ(manager.ValeurTexte(statique), "");
}

TEST_F(Liaison, LierAnnuleOuImageParFichier)
{
    struct Selecteurs : TSelecteursChamps
    {
        bool accepter = false;
        TGenreSelecteur genre{};
        bool Choisir(TGenreSelecteur g, const QStringList&, QList<TLigneChoisie>& lignes) override
        {
            genre = g;
            if (accepter)
                lignes = {{"col3", "C"}};
            return accepter;
        }
    } selecteurs;
    TConnexionFeuilleManager manager(*controleur, &selecteurs);
    TVlImage image;
    EXPECT_FALSE(manager.Lier(image, 1));
    EXPECT_FALSE(image.Connexion()) << "cancel leaves no binding";
    selecteurs.accepter = true;
    ASSERT_TRUE(manager.Lier(image, 1));
    EXPECT_EQ(selecteurs.genre, TGenreSelecteur::ChampUnique);
    EXPECT_EQ(image.Connexion()->TypeChamp(), 0) << "a text field holds a file name";

    // The picture comes from the file the field names.
    QImage png(4, 3, QImage::Format_RGB32);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(donnees + "photo.png"));
    EcrireFichier(donnees + "w.txt", ("R1;x;" + donnees + "photo.png\n").toUtf8());
    controleur->Fermer();
    controleur->Ouvrir(ConnexionFichier(kPv, "w.txt"), false);
    QImage lue;
    manager.ChargerImageLiee(image, lue, false);
    EXPECT_EQ(lue.size(), QSize(4, 3));

    manager.SetChampImage(image, "col2");
    ASSERT_EQ(image.Connexion()->ElementsCount(), 1);
    EXPECT_EQ(image.Connexion()->Elements(0)->Valeur(), "col2");
    image.Connexion()->AjouterElements(std::make_shared<TElemFeuilleConnexion>());
    manager.SetChampImage(image, "col3");
    ASSERT_EQ(image.Connexion()->ElementsCount(), 1);
    EXPECT_EQ(image.Connexion()->Elements(0)->Valeur(), "col3");
    EXPECT_TRUE(image.Connexion()->Elements(0)->EstChamp());
}

TEST_F(Liaison, EditerConcatenation)
{
    struct Selecteurs : TSelecteursChamps
    {
        QList<TLigneChoisie> recues;
        bool accepter = false;
        bool Choisir(TGenreSelecteur, const QStringList&, QList<TLigneChoisie>& lignes) override
        {
            recues = lignes;
            if (accepter)
                lignes.append(TLigneChoisie{" fin", "L"});
            return accepter;
        }
    } selecteurs;
    TConnexionFeuilleManager manager(*controleur, &selecteurs);
    TVlTexte t;
    t.SetConnexion(Pieces({{0, "Réf"}, {1, "col1"}}));
    EXPECT_FALSE(manager.EditerConcatenation(t));
    EXPECT_EQ(selecteurs.recues, (QList<TLigneChoisie>{{"Réf", "L"}, {"col1", "C"}}));
    EXPECT_EQ(t.Connexion()->ElementsCount(), 2);
    selecteurs.accepter = true;
    EXPECT_TRUE(manager.EditerConcatenation(t));
    EXPECT_EQ(manager.ValeurTexte(t), "Réf R1  fin");
}

} // namespace


namespace {

TEST_F(Liaison, SourceDuTirage)
{
    EcrireFichier(donnees + "t.txt", "A;2\nB;0\nC;3\n");
    controleur->Fermer();
    controleur->Ouvrir(ConnexionFichier(kPv, "t.txt", "col2"), false);
    TConnexionFeuilleManager manager(*controleur);
    TSourceConnexionImpression source(*controleur, manager);
    EXPECT_EQ(source.ChampCopies(), "col2");
    source.Premier();
    source.Suivant();
    const auto signet = source.Signet();
    source.Suivant();
    EXPECT_EQ(source.ValeurChamp("col1"), "C");
    source.AllerAuSignet(signet);
    EXPECT_EQ(source.ValeurChamp("col1"), "B");
    TVlTexte t;
    t.SetConnexion(Pieces({{0, "Réf"}, {1, "col1"}}));
    EXPECT_EQ(source.ValeurTexte(t), "Réf B");
    source.Suivant();
    source.Suivant();
    EXPECT_TRUE(source.Fin());
}

} // namespace
