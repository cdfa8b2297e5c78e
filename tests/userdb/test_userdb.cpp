// The personal database module, its custom fields and categories, and the
// "User" connection over it. Every test builds its own copy of the shipped
// data in a temporary root.
#include "../connections/outils_connexions.h"

#include "connections/FieldsAliasControler.h"
#include "userdb/ChampsPersos.h"
#include "userdb/ConstructionUserDb.h"
#include "userdb/UserDb.h"

#include <QBuffer>
#include <QSqlQuery>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

class UserDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fichier = racine.Chemin() + "/bin/system/UserDb.dat";
        ConstruireFichierUserDb(vltest::DossierSources() + "/data/userdb", fichier);
        db = std::make_unique<TdmUserDb>(fichier);
    }

    // The designations of the query, in its order.
    QStringList Designations() const
    {
        QStringList r;
        const auto& q = db->Requete();
        const int c = q.IndexChampExiste("Designation");
        for (const auto& l : q.Lignes())
            r << l.value(c).toString();
        return r;
    }
    // A column of every record of the table, by designation, straight from the file.
    QMap<QString, QVariant> Colonne(const QString& colonne) const
    {
        QMap<QString, QVariant> r;
        for (const auto& l : db->Lire("select Designation, " + TdmBd::Identifiant(colonne) + " from Articles"))
            r.insert(l.value(0).toString(), l.value(1));
        return r;
    }
    QString Courant() const { return db->Requete().Texte("Designation"); }
    void AllerA(const QString& designation)
    {
        ASSERT_TRUE(db->Chercher(designation)) << designation.toStdString();
        ASSERT_EQ(Courant(), designation);
    }

    vltest::RacineTemporaire racine;
    QString fichier;
    std::unique_ptr<TdmUserDb> db;
};

const QStringList kOrdreInitial = {"Ficelle de lin", "Sécateur", "Marteau de menuisier", "Tournevis cruciforme",
                                   "Écrous M6", "Vis à bois 4x40"};

QByteArray Jpeg(const QImage& image)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QImageWriter w(&tampon, "jpeg");
    w.setQuality(95);
    EXPECT_TRUE(w.write(image));
    return octets;
}

TEST_F(UserDb, FichierParDefautEtFichiersRefuses)
{
    EXPECT_EQ(TdmUserDb::CheminParDefaut(), QDir(racine.Chemin()).filePath("bin/system/UserDb.dat"));
    EXPECT_EQ(TdmUserDb(TdmUserDb::CheminParDefaut()).Requete().NombreEnregistrements(), 6);

    const QString absent = racine.Chemin() + "/bin/system/Absent.dat";
    try {
        TdmUserDb autre(absent);
        ADD_FAILURE() << "opened";
    } catch (const EUserDb& e) {
        EXPECT_TRUE(e.Message().contains("introuvable")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("Absent.dat"));
    }
    EXPECT_FALSE(QFile::exists(absent)) << "the program never creates the file";

    // A file that is not a database, and a database without the articles table.
    const QString texte = racine.Chemin() + "/texte.dat";
    vltest::connexions::EcrireFichier(texte, QByteArray("ceci n'est pas une base de données, loin de là").repeated(20));
    const QString vide = racine.Chemin() + "/vide.dat";
    {
        QSqlDatabase b = QSqlDatabase::addDatabase("QSQLITE", "vide");
        b.setDatabaseName(vide);
        ASSERT_TRUE(b.open());
        QSqlQuery(b).exec("create table Autre (x integer)");
        b.close();
    }
    QSqlDatabase::removeDatabase("vide");
    for (const QString& f : {texte, vide}) {
        try {
            TdmUserDb autre(f);
            ADD_FAILURE() << "opened " << f.toStdString();
        } catch (const EUserDb& e) {
            EXPECT_TRUE(e.Message().contains("n'est pas une base de données personnelle")) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QFileInfo(f).fileName()));
        }
    }
}

TEST_F(UserDb, OuvertureTriParCategorieEtDesignation)
{
    EXPECT_EQ(db->Table, "Articles");
    EXPECT_TRUE(db->AfficherTout);
    EXPECT_EQ(db->ChampsTri, QStringList({"Categorie", "Designation"}));
    EXPECT_EQ(db->ChampsStandard,
              QStringList({"Id", "Selected", "Designation", "Categorie", "Description", "Image", "Compteur"}));
    EXPECT_TRUE(db->ClauseFiltre.isEmpty());
    // No category first, then French text order (accents ignored).
    EXPECT_EQ(Designations(), kOrdreInitial);
    const auto& q = db->Requete();
    EXPECT_EQ(q.NomsChamps(),
              QStringList({"Id", "Selected", "Designation", "Categorie", "Description", "Image", "Compteur", "Prix"}));
    EXPECT_EQ(q.Champs()[q.IndexChamp("Prix")].type, vl::data::TypeChamp::Monnaie);
    EXPECT_EQ(q.Champs()[q.IndexChamp("Description")].type, vl::data::TypeChamp::Memo);
    EXPECT_EQ(q.Champs()[q.IndexChamp("Compteur")].type, vl::data::TypeChamp::Entier);

    AllerA("Vis à bois 4x40");
    const QLocale systeme = QLocale::system();
    EXPECT_EQ(db->TexteMonetaire("Prix", true), systeme.toCurrencyString(7.25, systeme.currencySymbol()));
    EXPECT_EQ(db->TexteMonetaire("Prix", false), q.Texte("Prix"));
    EXPECT_EQ(q.Valeur("Prix").toDouble(), 7.25);
    EXPECT_FALSE(db->Chercher("Clou"));
    EXPECT_EQ(Courant(), "Vis à bois 4x40") << "position kept when nothing matches";
    EXPECT_TRUE(db->Chercher("séc"));
    EXPECT_EQ(Courant(), "Sécateur");
}

TEST_F(UserDb, BasculerSelectionMarqueNulle)
{
    AllerA("Écrous M6");
    EXPECT_TRUE(db->Requete().EstNull("Selected"));
    db->BasculerSelection();
    EXPECT_EQ(Courant(), "Écrous M6");
    EXPECT_EQ(Colonne("Selected").value("Écrous M6").toInt(), 1) << "null becomes selected";
    db->BasculerSelection();
    EXPECT_EQ(Colonne("Selected").value("Écrous M6").toInt(), 0);
    EXPECT_FALSE(db->Requete().Valeur("Selected").toBool());
}

TEST_F(UserDb, AfficherSelectionPuisToutGardeLEnregistrement)
{
    AllerA("Vis à bois 4x40");
    db->SetAfficherTout(false);
    EXPECT_EQ(Designations(), QStringList({"Sécateur", "Marteau de menuisier", "Vis à bois 4x40"}));
    EXPECT_EQ(Courant(), "Vis à bois 4x40");
    db->SetAfficherTout(true);
    EXPECT_EQ(Designations(), kOrdreInitial);
    EXPECT_EQ(Courant(), "Vis à bois 4x40");

    // Deselecting in selection mode: the record leaves the query.
    db->SetAfficherTout(false);
    db->BasculerSelection();
    EXPECT_EQ(Designations(), QStringList({"Sécateur", "Marteau de menuisier"}));
}

TEST_F(UserDb, SelectionnerToutDansUneCategorie)
{
    db->Filtrer(TFiltreItem{"Categorie", "Quincaillerie"}, true);
    for (bool afficherTout : {true, false}) {
        db->SetAfficherTout(afficherTout);
        db->SelectionnerTout(true);
        auto s = Colonne("Selected");
        EXPECT_EQ(s.value("Écrous M6").toInt(), 1);
        EXPECT_EQ(s.value("Vis à bois 4x40").toInt(), 1);
        EXPECT_EQ(s.value("Tournevis cruciforme").toInt(), 0) << "other categories untouched";
        EXPECT_EQ(s.value("Ficelle de lin").toInt(), 0);
        db->SelectionnerTout(false);
        s = Colonne("Selected");
        EXPECT_EQ(s.value("Vis à bois 4x40").toInt(), 0);
        EXPECT_EQ(s.value("Marteau de menuisier").toInt(), 1);
        EXPECT_EQ(s.value("Sécateur").toInt(), 1);
    }
    db->RazSelection();
    for (const auto& v : Colonne("Selected"))
        EXPECT_EQ(v.toInt(), 0);
}

TEST_F(UserDb, ListeDesFiltresEtSansCategorie)
{
    QList<TEntreeFiltre> filtres;
    db->ListeFiltres(filtres, {" ", "Outillage", "Jardin"});
    ASSERT_EQ(filtres.size(), 4);
    EXPECT_EQ(filtres[0].Texte, "Pas de filtre");
    EXPECT_FALSE(filtres[0].Filtre.has_value());
    EXPECT_EQ(filtres[1].Texte, "Sans catégorie");
    ASSERT_TRUE(filtres[1].Filtre.has_value());
    EXPECT_EQ(filtres[1].Filtre->Champ, "Categorie");
    EXPECT_FALSE(filtres[1].Filtre->Valeur.isValid());
    EXPECT_EQ(filtres[2].Texte, "Outillage");
    EXPECT_EQ(filtres[2].Filtre->Valeur.toString(), "Outillage");

    db->Filtrer(filtres[1].Filtre, true);
    EXPECT_EQ(Designations(), QStringList({"Ficelle de lin"}));
    db->Filtrer(filtres[2].Filtre, true);
    EXPECT_EQ(Designations(), QStringList({"Marteau de menuisier", "Tournevis cruciforme"}));
    db->Filtrer(filtres[0].Filtre, true);
    EXPECT_EQ(Designations(), kOrdreInitial);
}

// Filter values and category titles are data, never SQL.
TEST_F(UserDb, ValeursHostilesEtGuillemets)
{
    for (const QString& hostile : {QStringLiteral("x\" OR 1=1 --"), QStringLiteral("x' OR '1'='1"),
                                   QStringLiteral("\"); DROP TABLE Articles; --")}) {
        db->Filtrer(TFiltreItem{"Categorie", hostile}, true);
        EXPECT_TRUE(db->EstVide()) << hostile.toStdString();
        db->SelectionnerTout(true);
        EXPECT_EQ(Colonne("Selected").value("Tournevis cruciforme").toInt(), 0) << hostile.toStdString();
    }
    db->Filtrer(std::nullopt, true);
    EXPECT_EQ(Designations().size(), 6);

    db->CreerControleurs();
    TCategoriesControler& cat = *db->ControleurCategories();
    const QString titre = "Vis \"spéciales\" l'inox";
    cat.InsererCategorie(titre);
    EXPECT_TRUE(cat.TitresCategories(false).contains(titre));
    AllerA("Vis à bois 4x40");
    db->Requete().Modifier("Categorie", titre);
    db->ValiderSaisie();
    db->Filtrer(TFiltreItem{"Categorie", titre}, true);
    EXPECT_EQ(Designations(), QStringList({"Vis à bois 4x40"}));
    QStringList libres;
    cat.CategoriesLibres(libres);
    EXPECT_FALSE(libres.contains(titre));
    EXPECT_THROW(cat.SupprimerCategorie(titre), EUserDb);

    // A filter on a column that does not exist is refused before any SQL.
    EXPECT_THROW(db->Filtrer(TFiltreItem{"Categorie\" OR 1=1 --", "x"}, true), EUserDb);
    EXPECT_THROW(db->Trier({"Designation; DROP TABLE Articles"}), EUserDb);
    EXPECT_EQ(Designations(), QStringList({"Vis à bois 4x40"}));
}

TEST_F(UserDb, ModificationQuiQuitteLeFiltre)
{
    db->Filtrer(TFiltreItem{"Categorie", "Outillage"}, true);
    AllerA("Tournevis cruciforme");
    db->Requete().Modifier("Categorie", "Jardin");
    db->ValiderSaisie();
    EXPECT_TRUE(db->ClauseFiltre.isEmpty()) << "the filter is cleared";
    EXPECT_EQ(Courant(), "Tournevis cruciforme");
    EXPECT_EQ(Designations().size(), 6);
    EXPECT_EQ(Colonne("Categorie").value("Tournevis cruciforme").toString(), "Jardin");
}

TEST_F(UserDb, RequeteGardeLEnregistrement)
{
    AllerA("Écrous M6");
    const QVariant id = db->IdCourant();
    db->Trier({"Designation"});
    EXPECT_EQ(db->ClauseTri, " order by \"Designation\" COLLATE VLTEXTE");
    EXPECT_EQ(Designations(), QStringList({"Écrous M6", "Ficelle de lin", "Marteau de menuisier", "Sécateur",
                                           "Tournevis cruciforme", "Vis à bois 4x40"}));
    EXPECT_EQ(db->IdCourant(), id);
    db->Actualiser();
    EXPECT_EQ(db->IdCourant(), id);
    db->Requete().Rafraichir();
    EXPECT_EQ(Courant(), "Écrous M6");

    db->RazCompteurs();
    EXPECT_EQ(Courant(), "Écrous M6");
    for (const auto& v : Colonne("Compteur"))
        EXPECT_FALSE(v.isValid());
    for (const auto& l : db->Requete().Lignes())
        EXPECT_FALSE(l.value(db->Requete().IndexChamp("Compteur")).isValid());
}

TEST_F(UserDb, NouveauEtSuppression)
{
    db->SetAfficherTout(false);
    db->Nouveau();
    TRequeteBd& q = db->Requete();
    EXPECT_EQ(q.NombreEnregistrements(), 4) << "the new record is shown even in selection mode";
    EXPECT_TRUE(q.EstNull("Compteur"));
    EXPECT_TRUE(db->IdCourant().isValid());
    q.Modifier("Designation", "Râteau");
    q.Modifier("Compteur", "4");
    db->ValiderSaisie();
    EXPECT_EQ(Colonne("Compteur").value("Râteau").toInt(), 4);
    EXPECT_THROW(q.Modifier("Compteur", "quatre"), EUserDb);
    EXPECT_THROW(q.Modifier("Id", 99), EUserDb);
    EXPECT_THROW(q.Modifier("Designation", QString(256, 'x')), EUserDb);

    db->SetAfficherTout(true);
    AllerA("Râteau");
    db->Supprimer();
    EXPECT_FALSE(Colonne("Compteur").contains("Râteau"));
    EXPECT_EQ(Designations(), kOrdreInitial);

    AllerA("Marteau de menuisier");
    db->Supprimer();
    EXPECT_EQ(Courant(), "Tournevis cruciforme") << "the next record takes its place";
    AllerA("Vis à bois 4x40");
    db->Supprimer();
    EXPECT_EQ(Courant(), "Écrous M6") << "the last one removed: the new last";
}

TEST_F(UserDb, Images)
{
    AllerA("Marteau de menuisier");
    ASSERT_TRUE(db->AImage());
    QImage image;
    db->LireImage(image);
    EXPECT_EQ(image.size(), QSize(40, 30)) << "the shipped picture";

    // A file that does not exist changes nothing.
    db->EcrireImage(racine.Chemin() + "/absente.jpg");
    EXPECT_FALSE(db->Requete().EnEdition());
    EXPECT_TRUE(db->AImage());

    // Round trip of a picture with distinct halves.
    QImage source(64, 32, QImage::Format_RGB32);
    source.fill(QColor(200, 30, 30));
    {
        QPainter p(&source);
        p.fillRect(32, 0, 32, 32, QColor(20, 40, 220));
    }
    const QByteArray octets = Jpeg(source);
    const QString chemin = racine.Chemin() + "/photo.jpg";
    vltest::connexions::EcrireFichier(chemin, octets);
    AllerA("Sécateur");
    EXPECT_FALSE(db->AImage());
    db->LireImage(image);
    EXPECT_TRUE(image.isNull());
    db->EcrireImage(chemin);
    EXPECT_TRUE(db->Requete().EnEdition()) << "posted later";
    db->ValiderSaisie();
    EXPECT_EQ(Colonne("Image").value("Sécateur").toByteArray(), octets) << "bytes stored unchanged";
    db->LireImage(image);
    ASSERT_EQ(image.size(), source.size());
    const QColor gauche = image.pixelColor(8, 16), droite = image.pixelColor(56, 16);
    EXPECT_NEAR(gauche.red(), 200, 12);
    EXPECT_NEAR(gauche.blue(), 30, 12);
    EXPECT_NEAR(droite.blue(), 220, 12);
    EXPECT_NEAR(droite.red(), 20, 12);

    db->EffacerImage();
    EXPECT_FALSE(db->AImage());
    db->ValiderSaisie();
    EXPECT_FALSE(Colonne("Image").value("Sécateur").isValid());

    // Bytes that are not a JPEG picture, and a truncated one.
    for (const QByteArray& faux : {QByteArray("GIF89a pas du tout du jpeg"), octets.left(octets.size() / 3)}) {
        db->Requete().Modifier("Image", faux);
        db->ValiderSaisie();
        try {
            db->LireImage(image);
            if (faux.startsWith("GIF"))
                ADD_FAILURE() << "decoded";
        } catch (const EUserDb& e) {
            EXPECT_TRUE(e.Message().contains("JPEG"));
        }
    }
}

// ---------------------------------------------------------------- custom fields

TEST_F(UserDb, NomsDeChampsRefuses)
{
    db->CreerControleurs();
    TCustomFieldsControler& champs = *db->ControleurChampsPersos();
    struct Cas
    {
        QString nom;
        QString message;
    };
    const QString existe = "Un champ portant ce nom existe déjà";
    const QString debut = "Le nom du champ ne doit pas commencer par un chiffre ou un espace";
    const QString caracteres = "Le nom du champ ne doit contenir aucun des caractères ! . [ ] `";
    const QList<Cas> cas = {{"designation", existe},  {"SELECTED", existe}, {"prix", existe},
                            {"1er prix", debut},      {" Poids", debut},    {"Poids.net", caracteres},
                            {"Poids[kg]", caracteres}, {"Alerte!", caracteres}, {"a`b", caracteres},
                            {"", "Le nom du champ ne doit pas être vide"}};
    for (const auto& c : cas) {
        try {
            champs.AjouterChamp(c.nom, "text", 10);
            ADD_FAILURE() << "added " << c.nom.toStdString();
        } catch (const EUserDb& e) {
            EXPECT_EQ(e.Message(), c.message) << c.nom.toStdString();
        }
    }
    QStringList persos;
    champs.ListeChampsPersos(persos);
    EXPECT_EQ(persos, QStringList({"Prix"}));
    EXPECT_FALSE(champs.NomLibre("description"));
    EXPECT_TRUE(champs.NomLibre(""));
    EXPECT_TRUE(champs.NomLibre("Poids"));
}

TEST_F(UserDb, AjouterEtSupprimerDesChamps)
{
    db->CreerControleurs();
    TCustomFieldsControler& champs = *db->ControleurChampsPersos();
    AllerA("Écrous M6");
    const QVariant id = db->IdCourant();
    champs.AjouterChamp("Référence", "text", 0);
    champs.AjouterChamp("Code", "text", 12);
    champs.AjouterChamp("Notes", "memo", 0);
    champs.AjouterChamp("Poids \"net\"", "double", 0);
    champs.AjouterChamp("Livraison", "dateTime", 0);
    EXPECT_EQ(db->IdCourant(), id) << "reopened on the record";
    QStringList persos;
    champs.ListeChampsPersos(persos);
    EXPECT_EQ(persos, QStringList({"Prix", "Référence", "Code", "Notes", "Poids \"net\"", "Livraison"}));
    EXPECT_EQ(champs.TailleChamp("Code"), 12);
    EXPECT_EQ(champs.TailleChamp("Référence"), 255) << "no size: the default text size";
    EXPECT_EQ(champs.TypeChamp("Code"), vl::data::TypeChamp::ChaineLarge);
    EXPECT_TRUE(champs.EstMemo("Notes"));
    EXPECT_FALSE(champs.EstMemo("Code"));
    EXPECT_EQ(champs.TypeChamp("Poids \"net\""), vl::data::TypeChamp::Flottant);
    EXPECT_EQ(champs.TypeChamp("Livraison"), vl::data::TypeChamp::DateHeure);
    EXPECT_EQ(champs.TypeChamp("Prix"), vl::data::TypeChamp::Monnaie);
    EXPECT_THROW(champs.AjouterChamp("Trop", "text", 256), EUserDb);
    EXPECT_THROW(champs.AjouterChamp("Inconnu", "varchar", 0), EUserDb);

    // Values of the new columns keep their form.
    TRequeteBd& q = db->Requete();
    q.Modifier("Notes", "007");
    q.Modifier("Code", "0042");
    q.Modifier("Poids \"net\"", 1.5);
    q.Modifier("Livraison", QDateTime(QDate(2026, 3, 1), QTime(8, 30), Qt::UTC));
    EXPECT_THROW(q.Modifier("Code", "1234567890123"), EUserDb);
    db->ValiderSaisie();
    db->Requete().Rafraichir();
    EXPECT_EQ(q.Valeur("Notes").toString(), "007");
    EXPECT_EQ(q.Valeur("Code").toString(), "0042");
    EXPECT_EQ(q.Valeur("Poids \"net\"").toDouble(), 1.5);
    EXPECT_EQ(q.Valeur("Livraison").toDateTime(), QDateTime(QDate(2026, 3, 1), QTime(8, 30), Qt::UTC));

    champs.SupprimerChamp("Poids \"net\"");
    champs.ListeChampsPersos(persos);
    EXPECT_FALSE(persos.contains("Poids \"net\""));
    EXPECT_EQ(db->IdCourant(), id);

    // A failed change still reopens the query on the record, then tells.
    try {
        champs.SupprimerChamp("Absent");
        ADD_FAILURE() << "dropped";
    } catch (const EUserDb& e) {
        EXPECT_FALSE(e.Message().isEmpty());
    }
    EXPECT_EQ(db->IdCourant(), id);
    EXPECT_EQ(Designations().size(), 6);
    EXPECT_THROW(champs.SupprimerChamp("Designation"), EUserDb);
    EXPECT_TRUE(db->Requete().IndexChamp("Designation") >= 0);
}

TEST(ReglesConfiguration, PageChampsPersonnalises)
{
    struct Cas
    {
        QString nom;
        int type;
        QString taille;
        bool permis;
    };
    const QList<Cas> cas = {{"Poids", 0, "0", true},   {"Poids", 0, "255", true}, {"Poids", 0, "256", false},
                            {"Poids", 0, "", false},   {"", 0, "10", false},      {"Poids", -1, "", false},
                            {"Poids", 1, "", true},    {"Poids", 4, "", true},    {"Poids", 0, QString(64, '9'), false}};
    for (const auto& c : cas)
        EXPECT_EQ(TReglesConfiguration::AjoutChampPermis(c.nom, c.type, c.taille), c.permis)
            << c.nom.toStdString() << " " << c.type << " " << c.taille.toStdString();
    EXPECT_EQ(TReglesConfiguration::TailleSaisie(0, "0"), 0);
    EXPECT_EQ(TReglesConfiguration::TailleSaisie(0, "30"), 30);
    EXPECT_EQ(TReglesConfiguration::TailleSaisie(2, "30"), 0) << "size box hidden";
    EXPECT_TRUE(TReglesConfiguration::TailleVisible(0));
    EXPECT_FALSE(TReglesConfiguration::TailleVisible(1));

    for (QChar c : QStringLiteral("!.[]`"))
        EXPECT_FALSE(TReglesConfiguration::CaractereNomAccepte(c, false));
    EXPECT_FALSE(TReglesConfiguration::CaractereNomAccepte(' ', true));
    EXPECT_TRUE(TReglesConfiguration::CaractereNomAccepte(' ', false));
    EXPECT_TRUE(TReglesConfiguration::CaractereNomAccepte(QChar(0xE9), true));
    EXPECT_TRUE(TReglesConfiguration::CaractereTailleAccepte('7', 63));
    EXPECT_FALSE(TReglesConfiguration::CaractereTailleAccepte('7', 64));
    EXPECT_FALSE(TReglesConfiguration::CaractereTailleAccepte('a', 0));

    const QStringList types = ListeTypesChampsPersos();
    EXPECT_EQ(types, QStringList({"Texte simple=text", "Texte long=memo", "Nombre=double", "Monétaire=currency",
                                  "Date et heure=dateTime"}));
}

// ---------------------------------------------------------------- categories

TEST_F(UserDb, OrdreDesCategories)
{
    db->CreerControleurs();
    TCategoriesControler& cat = *db->ControleurCategories();
    EXPECT_EQ(cat.TitresCategories(false), QStringList({"Jardin", "Outillage", "Quincaillerie"}));
    EXPECT_EQ(cat.TitresCategories(true), QStringList({" ", "Jardin", "Outillage", "Quincaillerie"}));

    cat.InsererCategorie("Électricité");
    struct Cas
    {
        QString ordre;
        QStringList titres;
    };
    const QList<Cas> cas = {
        {"12;7;", {"Jardin", "Quincaillerie", "Électricité", "Outillage"}},
        {"7;99;3", {"Quincaillerie", "Outillage", "Électricité", "Jardin"}},   // deleted Id, last ";" missing
        {"x; 7 ;;abc;7;12;", {"Quincaillerie", "Jardin", "Électricité", "Outillage"}},
        {"", {"Électricité", "Jardin", "Outillage", "Quincaillerie"}},
    };
    for (const auto& c : cas) {
        cat.SetOrdre(c.ordre);
        EXPECT_EQ(cat.Ordre, c.ordre);
        EXPECT_EQ(cat.TitresCategories(false), c.titres) << c.ordre.toStdString();
    }
    cat.SetOrdre("12;7;3;");
    QList<TEntreeCategorie> liste;
    cat.ListeCategories(liste, true);
    EXPECT_FALSE(liste[0].Id.isValid());
    EXPECT_EQ(liste[1].Id.toInt(), 12);
    EXPECT_TRUE(TReglesConfiguration::OrdreCategories(liste).startsWith("12;7;3;"));
    cat.ListeCategories(liste, false);
    std::swap(liste[0], liste[3]);
    EXPECT_EQ(TReglesConfiguration::OrdreCategories(liste), QString("%1;7;3;12;").arg(liste[0].Id.toInt()));
    EXPECT_EQ(TReglesConfiguration::OrdreCategories({}), "");
}

TEST_F(UserDb, CategoriesLibresEtSuppression)
{
    db->CreerControleurs();
    TCategoriesControler& cat = *db->ControleurCategories();
    QStringList libres;
    cat.CategoriesLibres(libres);
    EXPECT_TRUE(libres.isEmpty());
    cat.InsererCategorie("Peinture");
    EXPECT_THROW(cat.InsererCategorie("peinture"), EUserDb) << "already there, ignoring case";
    EXPECT_THROW(cat.InsererCategorie("  "), EUserDb);
    cat.CategoriesLibres(libres);
    EXPECT_EQ(libres, QStringList({"Peinture"}));

    QList<TEntreeCategorie> liste;
    cat.ListeCategories(liste, false);
    ASSERT_EQ(liste.size(), 4);
    const int outillage = 1, peinture = 2;
    ASSERT_EQ(liste[outillage].Titre, "Outillage");
    ASSERT_EQ(liste[peinture].Titre, "Peinture");
    EXPECT_FALSE(TReglesConfiguration::SuppressionCategoriePermise(liste, outillage, libres));
    EXPECT_TRUE(TReglesConfiguration::SuppressionCategoriePermise(liste, peinture, libres));
    EXPECT_FALSE(TReglesConfiguration::SuppressionCategoriePermise({}, 0, libres));
    EXPECT_FALSE(TReglesConfiguration::MonteePermise(liste, 0));
    EXPECT_TRUE(TReglesConfiguration::MonteePermise(liste, 3));
    EXPECT_FALSE(TReglesConfiguration::DescentePermise(liste, 3));
    EXPECT_TRUE(TReglesConfiguration::DescentePermise(liste, 0));
    EXPECT_FALSE(TReglesConfiguration::AjoutCategoriePermis("jardin", liste));
    EXPECT_FALSE(TReglesConfiguration::AjoutCategoriePermis("", liste));
    EXPECT_TRUE(TReglesConfiguration::AjoutCategoriePermis("Maison", liste));

    EXPECT_THROW(cat.SupprimerCategorie("Outillage"), EUserDb) << "used by records";
    cat.SupprimerCategorie("Peinture");
    EXPECT_EQ(cat.TitresCategories(false), QStringList({"Jardin", "Outillage", "Quincaillerie"}));

    // The last record of a category leaves it: the category becomes free.
    AllerA("Sécateur");
    db->Requete().Modifier("Categorie", QVariant());
    db->ValiderSaisie();
    cat.CategoriesLibres(libres);
    EXPECT_EQ(libres, QStringList({"Jardin"}));
}

// ---------------------------------------------------------------- the "User" connection

class ConnexionUser : public vltest::connexions::BaseConnexions
{
protected:
    void SetUp() override
    {
        BaseConnexions::SetUp();
        ConstruireFichierUserDb(vltest::DossierSources() + "/data/userdb", TdmUserDb::CheminParDefaut());
        db = std::make_unique<TdmUserDb>(TdmUserDb::CheminParDefaut(), controleur.get());
        TBasePersonnelle::Enregistrer(db.get());
        // The stored personal-database connection, when the shipped store does not hold it yet.
        controleur->ActualiserSelecteur();
        if (!controleur->SelectionnerParNom("Base de données personnelle")) {
            auto c = io->IOConnexion()->Nouveau<TVlConnexion>();
            c->SetNomConnexion("Base de données personnelle");
            c->SetNomStrategie("User");
            c->SetSystem(true);
            c->SetHasAlias(true);
            c->Stocker();
            controleur->ActualiserSelecteur();
            ASSERT_TRUE(controleur->SelectionnerParNom("Base de données personnelle"));
        }
        connexion = controleur->ConnexionSelectionnee();
    }
    void TearDown() override
    {
        controleur->Fermer();
        db.reset();
        BaseConnexions::TearDown();
    }

    std::unique_ptr<TdmUserDb> db;
    std::shared_ptr<TVlConnexion> connexion;
};

TEST_F(ConnexionUser, OuvrirLireEtFermer)
{
    controleur->Ouvrir(connexion, false);
    EXPECT_TRUE(controleur->Ouverte);
    EXPECT_EQ(controleur->JeuDonnees.get(), db->RequetePartagee().get()) << "the module's own query";
    EXPECT_EQ(controleur->Connexion()->CompteurImpressions(), "Compteur");
    QStringList champs;
    controleur->ListerChamps(champs);
    EXPECT_EQ(champs, QStringList({"Désignation", "Catégorie", "Description", "Image", "Compteur", "Prix"}));
    EXPECT_EQ(controleur->NomChampReel("Désignation"), "Designation");
    EXPECT_EQ(db->NomDesignation(), "Désignation");
    EXPECT_EQ(db->NomCategorie(), "Catégorie");
    EXPECT_TRUE(db->NomsAffiches.contains(QPair<QString, QString>("Designation", "Désignation")));

    EXPECT_EQ(Enregistrements({"Designation", "Compteur"}),
              QStringList({"Ficelle de lin|", "Sécateur|1", "Marteau de menuisier|2", "Tournevis cruciforme|1",
                           "Écrous M6|", "Vis à bois 4x40|3"}));
    controleur->Premier();
    controleur->Suivant();
    EXPECT_EQ(controleur->NombreCopies(), 1);
    const QLocale systeme = QLocale::system();
    EXPECT_EQ(controleur->Valeur("Prix", false), systeme.toCurrencyString(24.0, systeme.currencySymbol()));
    EXPECT_EQ(controleur->Valeur("Désignation", false), "Sécateur");

    // Printing runs over what the module's query holds: selection mode and filter.
    db->SetAfficherTout(false);
    EXPECT_EQ(Enregistrements({"Designation"}), QStringList({"Sécateur", "Marteau de menuisier", "Vis à bois 4x40"}));
    db->Filtrer(TFiltreItem{"Categorie", "Outillage"}, true);
    EXPECT_EQ(Enregistrements({"Designation"}), QStringList({"Marteau de menuisier"}));
    db->Filtrer(std::nullopt, false);
    db->SetAfficherTout(true);

    controleur->RazCompteur();
    EXPECT_EQ(Enregistrements({"Compteur"}), QStringList({"", "", "", "", "", ""}));

    // Closing leaves the personal database open.
    controleur->Fermer();
    EXPECT_FALSE(controleur->Ouverte);
    EXPECT_EQ(controleur->JeuDonnees, nullptr);
    EXPECT_FALSE(db->EstVide());
    EXPECT_TRUE(db->Chercher("Vis"));
    db->BasculerSelection();
    controleur->Ouvrir(connexion, false);
    EXPECT_EQ(controleur->JeuDonnees.get(), db->RequetePartagee().get());
}

TEST_F(ConnexionUser, AliasDesChamps)
{
    controleur->Ouvrir(connexion, false);
    db->CreerControleurs();
    TFieldsAliasControler& alias = *db->ControleurAlias();
    EXPECT_EQ(alias.AliasDe("Designation"), nullptr);
    const auto a = alias.CreerAlias("Désignation", "Article");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FieldName(), "Designation") << "the caption gives the field";
    EXPECT_EQ(alias.AliasDe("Designation"), a);
    const auto p = alias.CreerAlias("Prix", "Prix TTC");
    EXPECT_EQ(p->FieldName(), "Prix") << "no caption: the text is the field";
    EXPECT_EQ(controleur->NomAffiche("Designation"), "Article");
    EXPECT_EQ(controleur->NomAffiche("Designation", true), "Désignation");
    EXPECT_EQ(db->NomDesignation(), "Article");
    EXPECT_THROW(alias.CreerAlias("Catégorie", "article"), EConnexion) << "one name for two fields";
    EXPECT_THROW(alias.CreerAlias("Catégorie", " "), EConnexion);

    // Stored: a new opening reads them back.
    controleur->Fermer();
    controleur->Ouvrir(connexion, false);
    EXPECT_EQ(controleur->NomAffiche("Prix"), "Prix TTC");
    EXPECT_EQ(controleur->NomChampReel("Article"), "Designation");

    alias.SupprimerAlias(alias.AliasDe("Prix"));
    EXPECT_EQ(alias.AliasDe("Prix"), nullptr);
    EXPECT_EQ(controleur->NomAffiche("Prix"), "Prix");
    controleur->Fermer();
    controleur->Ouvrir(connexion, false);
    EXPECT_EQ(controleur->NomAffiche("Prix"), "Prix");
    EXPECT_EQ(controleur->NomAffiche("Designation"), "Article");
    db->LibererControleurs();
    EXPECT_EQ(db->ControleurAlias(), nullptr);
}

TEST_F(ConnexionUser, SansBasePersonnelleEnregistree)
{
    TBasePersonnelle::Enregistrer(nullptr);
    try {
        controleur->Ouvrir(connexion, false);
        ADD_FAILURE() << "opened";
    } catch (const EConnexion& e) {
        EXPECT_EQ(e.Message(), TUserDBConnexionStrategie::MessageIndisponible());
    }
    EXPECT_FALSE(controleur->Ouverte);
    TBasePersonnelle::Enregistrer(db.get());
    controleur->Ouvrir(connexion, false);
    EXPECT_TRUE(controleur->Ouverte);
    // A module that goes away unregisters itself; a holder that kept its
    // query sees an empty one and errors, not freed memory.
    const auto requete = db->RequetePartagee();
    controleur->Fermer();
    db.reset();
    EXPECT_EQ(TBasePersonnelle::Instance(), nullptr);
    EXPECT_TRUE(requete->EstVide());
    EXPECT_THROW(requete->Rafraichir(), EUserDb);
}

} // namespace
