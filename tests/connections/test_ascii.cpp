#include "outils_connexions.h"
#include "data/AsciiDelimite.h"

#include <QElapsedTimer>
#include <QFileInfo>

using namespace vltest::connexions;

namespace {

class Ascii : public BaseConnexions
{
protected:
    // Opens a stored text-file connection through the controller.
    void Ouvrir(const QString& strategie, const QString& table, const QString& compteur = QString())
    {
        connexion = ConnexionFichier(strategie, table, compteur);
        controleur->Ouvrir(connexion, false);
    }
    QString MessageOuverture(const QString& strategie, const QString& table)
    {
        try {
            Ouvrir(strategie, table);
        } catch (const vl::data::ErreurDonnees& e) {
            EXPECT_FALSE(controleur->JeuDonnees) << "the dataset stays closed";
            return e.Message();
        }
        return QString();
    }
    TAsciiConnexionStrategie& Strategie()
    {
        return dynamic_cast<TAsciiConnexionStrategie&>(controleur->StrategieCourante());
    }
    QStringList Noms() { return controleur->JeuDonnees->NomsChamps(); }

    std::shared_ptr<TVlBDEConnexion> connexion;
};

TEST_F(Ascii, PremiereOuvertureCreeLesColonnesEtLeSchema)
{
    EcrireFichier(donnees + "clients.txt", "Dupont;Paris;12\r\nMartinez;Lyon;3\r\nLi;Saint-Etienne;100\r\n");
    Ouvrir(kPv, "clients.txt");
    EXPECT_EQ(Noms(), QStringList({"col1", "col2", "col3"}));
    EXPECT_EQ(LireFichier(donnees + "clients.sch"),
              "[clients]\r\nFiletype=VARYING\r\nSeparator=;\r\nCharSet=ANSIINTL\r\n"
              "Field1=col1,Char,8,00,0\r\nField2=col2,Char,13,00,8\r\nField3=col3,Char,3,00,21\r\n");
    // The first line is a record: a text file has no header row.
    EXPECT_EQ(Enregistrements({"col1", "col2", "col3"}),
              QStringList({"Dupont|Paris|12", "Martinez|Lyon|3", "Li|Saint-Etienne|100"}));
    EXPECT_TRUE(controleur->Ouverte);
    EXPECT_FALSE(Strategie().Modifiable);
}

TEST_F(Ascii, EnteteDuSchemaSelonLeType)
{
    EcrireFichier(donnees + "t.txt", "a\tbb\n");
    Ouvrir(kTab, "t.txt");
    EXPECT_EQ(LireFichier(donnees + "t.sch"),
              "[t]\r\nFiletype=VARYING\r\nSeparator=\t\r\nCharSet=ANSIINTL\r\n"
              "Field1=col1,Char,1,00,0\r\nField2=col2,Char,2,00,1\r\n");
    controleur->Fermer();
    EcrireFichier(donnees + "g.v1.csv", "\"a\";\"bb\"\n");
    Ouvrir(kPvG, "g.v1.csv");
    // The table name is the file name without its last extension.
    EXPECT_EQ(LireFichier(donnees + "g.v1.sch"),
              "[g.v1]\r\nFiletype=VARYING\r\nSeparator=;\r\nDelimiter=\"\r\nCharSet=ANSIINTL\r\n"
              "Field1=col1,Char,3,00,0\r\nField2=col2,Char,4,00,3\r\n");
    // The quoted schema has one more header line: read back, it gives the same columns.
    controleur->Fermer();
    Ouvrir(kPvG, "g.v1.csv");
    EXPECT_EQ(Noms(), QStringList({"col1", "col2"}));
    EXPECT_EQ(Strategie().Colonnes[1].Largeur, 4);
}

TEST_F(Ascii, FichierTouche)
{
    const QString fichier = donnees + "villes.txt";
    EcrireFichier(fichier, "Paris;75\nLyon;69\n");
    Ouvrir(kPv, "villes.txt");
    Strategie().Colonnes[0].Nom = "Ville";
    Strategie().Colonnes[1].Nom = "Département";
    controleur->RechargerSchema();
    EXPECT_EQ(Noms(), QStringList({"Ville", "Département"}));
    EXPECT_EQ(controleur->Valeur("Département", true), "75");
    controleur->Fermer();

    // Same number of columns, newer data: rebuilt with the names kept, widths recomputed.
    const QDateTime schema = QFileInfo(donnees + "villes.sch").lastModified();
    EcrireFichier(fichier, "Marseille;13\nNice;06\n");
    Dater(fichier, schema.addSecs(60));
    Ouvrir(kPv, "villes.txt");
    EXPECT_EQ(Noms(), QStringList({"Ville", "Département"}));
    EXPECT_EQ(Strategie().Colonnes[0].Largeur, 9);
    EXPECT_EQ(Enregistrements({"Ville", "Département"}), QStringList({"Marseille|13", "Nice|06"}));
    controleur->Fermer();

    // A column more: back to colN.
    EcrireFichier(fichier, "Marseille;13;PACA\n");
    Dater(fichier, QFileInfo(donnees + "villes.sch").lastModified().addSecs(60));
    Ouvrir(kPv, "villes.txt");
    EXPECT_EQ(Noms(), QStringList({"col1", "col2", "col3"}));
    controleur->Fermer();

    // An older data file keeps the schema as it is.
    EcrireFichier(fichier, "x;y;z;w\n");
    Dater(fichier, QFileInfo(donnees + "villes.sch").lastModified().addSecs(-60));
    Ouvrir(kPv, "villes.txt");
    EXPECT_EQ(Noms(), QStringList({"col1", "col2", "col3"}));
}

TEST_F(Ascii, NomsDeColonnesRefuses)
{
    EcrireFichier(donnees + "n.txt", "a;b\n");
    Ouvrir(kPv, "n.txt");
    const QByteArray avant = LireFichier(donnees + "n.sch");
    for (const QString& nom : {QString("a,b"), QString(""), QString("col2")}) {
        Strategie().Colonnes[0].Nom = nom;
        EXPECT_THROW(Strategie().AppliquerColonnes(), EConnexion) << nom.toStdString();
    }
    EXPECT_EQ(LireFichier(donnees + "n.sch"), avant) << "nothing written";
}

TEST_F(Ascii, ColonneCompteurEnLargeurQuatre)
{
    EcrireFichier(donnees + "c.txt", "a;1\n");
    Ouvrir(kPv, "c.txt", "Nombre");
    Strategie().Colonnes[1].Nom = "Nombre";
    controleur->RechargerSchema();
    EXPECT_TRUE(LireFichier(donnees + "c.sch").endsWith("Field2=Nombre,Char,4,00,1\r\n"));
}

struct CasControle
{
    const char* nom;
    QString strategie;
    QByteArray contenu;   // empty: no file
    QString attendu;      // empty: opens
};

class Controles : public Ascii, public ::testing::WithParamInterface<CasControle>
{
};

TEST_P(Controles, MessageOuAcceptation)
{
    const CasControle& cas = GetParam();
    const QString table = QString::fromUtf8(cas.nom);
    if (!cas.contenu.isEmpty())
        EcrireFichier(donnees + table, cas.contenu);
    QString attendu = cas.attendu;
    attendu.replace("%CHEMIN", QDir::toNativeSeparators(donnees + table));
    EXPECT_EQ(MessageOuverture(cas.strategie, table), attendu);
    if (attendu.isEmpty())
        EXPECT_TRUE(controleur->Ouverte);
    else
        EXPECT_FALSE(QFileInfo::exists(donnees + QFileInfo(table).completeBaseName() + ".sch"))
            << "no schema written on refusal";
}

INSTANTIATE_TEST_SUITE_P(
    Ascii, Controles,
    ::testing::Values(
        CasControle{"absent.txt", kPv, "", "Le fichier %CHEMIN n'existe pas"},
        CasControle{"clé.txt", kPv, "a;b\n", "Le nom du fichier ne doit pas contenir de caractères accentués"},
        CasControle{"çà.txt", kPv, "a;b\n", "Le nom du fichier ne doit pas contenir de caractères accentués"},
        CasControle{"CLÉ.txt", kPv, "a;b\n", ""},
        CasControle{"tab.txt", kPv, "a\tb;c\n", "Le fichier ne correspond pas au type choisi"},
        CasControle{"pv.txt", kTab, "a;b\n", "Le fichier ne correspond pas au type choisi"},
        CasControle{"sansguillemets.txt", kPvG, "a;b\n", "Le fichier ne correspond pas au type choisi"},
        CasControle{"guillemets.txt", kPv, "\"a\";\"b\"\n", ""},
        CasControle{"uneColonne.txt", kPv, "seul\n", "Le fichier ne correspond pas au type choisi"}),
    [](const auto& info) { return "cas" + std::to_string(info.index); });

TEST_F(Ascii, SchemaAGuillemetsRefuseParLeTypeSansGuillemets)
{
    EcrireFichier(donnees + "q.txt", "\"a\";\"b\"\n");
    Ouvrir(kPvG, "q.txt");
    controleur->Fermer();
    EXPECT_EQ(MessageOuverture(kPv, "q.txt"), "Le fichier ne correspond pas au type choisi");
    // And the other way round: a plain schema is not the quoted kind's.
    EcrireFichier(donnees + "p.txt", "a;\"b\"\n");
    Ouvrir(kPv, "p.txt");
    controleur->Fermer();
    EXPECT_EQ(MessageOuverture(kPvG, "p.txt"), "Le fichier ne correspond pas au type choisi");
}

TEST_F(Ascii, FichierIlisible)
{
    EcrireFichier(donnees + "ferme.txt", "a;b\n");
    QFile::setPermissions(donnees + "ferme.txt", QFileDevice::Permissions());
    QFile essai(donnees + "ferme.txt");
    if (essai.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that read any file";
    EXPECT_EQ(MessageOuverture(kPv, "ferme.txt"),
              "Le fichier " + QDir::toNativeSeparators(donnees + "ferme.txt")
                  + " ne peut pas être lu : vérifiez les droits d'accès");
}

TEST_F(Ascii, ValeursAGuillemets)
{
    EcrireFichier(donnees + "g.txt", "\"Dupont\";\"12 rue \"\"Haute\"\"\";\"\"\n\"Li\";\"a;b\";\"3\"\n");
    Ouvrir(kPvG, "g.txt");
    // Quotes count in the widths; a separator inside quotes still cuts.
    EXPECT_EQ(Strategie().Colonnes[0].Largeur, 8);
    EXPECT_EQ(Strategie().Colonnes[1].Largeur, 18);
    EXPECT_EQ(Enregistrements({"col1", "col2", "col3"}), QStringList({"Dupont|12 rue \"Haute\"|", "Li|a|b"}));
    controleur->Premier();
    EXPECT_EQ(controleur->Valeur("col1", false), "Dupont");
    EXPECT_TRUE(controleur->JeuDonnees->EstNull("col3")) << "an empty piece is NULL";
}

struct CasCodage
{
    const char* nom;
    QByteArray octets;
};

class Codages : public Ascii, public ::testing::WithParamInterface<CasCodage>
{
};

TEST_P(Codages, AccentsLus)
{
    EcrireFichier(donnees + "acc.txt", GetParam().octets);
    Ouvrir(kPv, "acc.txt");
    EXPECT_EQ(Enregistrements({"col1", "col2"}), QStringList({"Éloïse|Noël", "Ça|€"}));
    EXPECT_EQ(Strategie().Colonnes[0].Largeur, 6) << "widths in characters";
}

INSTANTIATE_TEST_SUITE_P(Ascii, Codages,
                         ::testing::Values(CasCodage{"utf8", "\xC3\x89lo\xC3\xAFse;No\xC3\xABl\r\n\xC3\x87" "a;\xE2\x82\xAC\r\n"},
                                           CasCodage{"bom", "\xEF\xBB\xBF\xC3\x89lo\xC3\xAFse;No\xC3\xABl\r\n\xC3\x87" "a;\xE2\x82\xAC\r\n"},
                                           CasCodage{"cp1252", "\xC9lo\xEFse;No\xEBl\r\n\xC7" "a;\x80\r\n"}),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Ascii, ControleDuCompteurApresOuverture)
{
    EcrireFichier(donnees + "cpt.txt", "Dupont;2\nDurand;beaucoup\n");
    Ouvrir(kPv, "cpt.txt", "col2");
    ASSERT_EQ(fenetres.Erreurs.size(), 1);
    EXPECT_EQ(fenetres.Erreurs[0],
              "Attention, vérifiez le champ col2\r\n (un champ compteur doit contenir des des nombres entiers ou "
              "des valeurs nulles)");
    EXPECT_TRUE(controleur->Ouverte) << "the connection stays open";
    EXPECT_EQ(controleur->JeuDonnees->NumeroEnregistrement(), 1) << "position restored";

    controleur->Fermer();
    fenetres.Erreurs.clear();
    EcrireFichier(donnees + "bon.txt", "Dupont;2\nDurand;\n");
    Ouvrir(kPv, "bon.txt", "col2");
    EXPECT_TRUE(fenetres.Erreurs.isEmpty());
}

TEST_F(Ascii, CompteurAutomatiqueALaCreation)
{
    EcrireFichier(donnees + "entiers.txt", "3;Dupont\n;Durand\n12;Li\n");
    EcrireFichier(donnees + "textes.txt", "A3;Dupont\n1;Li\n");
    struct { QString table; QString compteur; } cas[] = {{"entiers.txt", "col1"}, {"textes.txt", ""}};
    for (const auto& c : cas) {
        fenetres.Editeur = [&](TControleurConnexion& ctl, bool creation) {
            EXPECT_TRUE(creation);
            EXPECT_EQ(ctl.Mode, 1);
            ctl.ChoisirPilote(0);
            auto bde = std::dynamic_pointer_cast<TVlBDEConnexion>(ctl.Connexion());
            EXPECT_TRUE(bde);
            EXPECT_EQ(bde->NomStrategie(), kPv);
            EXPECT_EQ(bde->NomBd(), TControleurConnexion::DossierConnexions());
            bde->SetNomConnexion(c.table);
            bde->SetNomBd(donnees);
            ctl.NomBdModifie = true;
            ctl.ActualiserTables();
            EXPECT_EQ(fenetres.Tables, QStringList({"entiers.txt", "textes.txt"}));
            bde->SetNomTable(c.table);
            ctl.TableChoisie();
            return true;
        };
        ASSERT_TRUE(controleur->Creer());
        EXPECT_EQ(controleur->Mode, 3);
        EXPECT_TRUE(controleur->Ouverte);
        EXPECT_EQ(controleur->Connexion()->CompteurImpressions(), c.compteur) << c.table.toStdString();
        EXPECT_TRUE(controleur->Connexion()->EstStocke());
        controleur->Fermer();
    }
    EXPECT_TRUE(controleur->SelectionnerParNom("entiers.txt"));
}

TEST_F(Ascii, RazCompteurVideLaColonne)
{
    EcrireFichier(donnees + "raz.txt", "Dupont;2;x\r\nDurand;5;y\r\n");
    Ouvrir(kPv, "raz.txt", "col2");
    controleur->Suivant();
    controleur->RazCompteur();
    EXPECT_EQ(LireFichier(donnees + "raz.txt"), "Dupont;;x\r\nDurand;;y\r\n");
    EXPECT_EQ(Enregistrements({"col1", "col2", "col3"}), QStringList({"Dupont||x", "Durand||y"}));
}

TEST_F(Ascii, CentMilleEnregistrementsEnMoinsDeDeuxSecondes)
{
    QByteArray contenu;
    contenu.reserve(6'000'000);
    for (int i = 0; i < 100000; ++i)
        contenu += "Client " + QByteArray::number(i) + ";Rue de la Gare " + QByteArray::number(i % 300)
                 + ";" + QByteArray::number(i % 7) + ";Saint-Étienne\r\n";
    EcrireFichier(donnees + "gros.txt", contenu);
    QElapsedTimer chrono;
    chrono.start();
    Ouvrir(kPv, "gros.txt", "col3");   // schema built, counter checked over every record
    const qint64 premiere = chrono.elapsed();
    controleur->Fermer();
    chrono.restart();
    Ouvrir(kPv, "gros.txt", "col3");
    const qint64 seconde = chrono.elapsed();
    std::cout << "[ mesure  ] 100000 records: first opening " << premiere << " ms, with schema " << seconde
              << " ms" << std::endl;
    EXPECT_LT(premiere, 2000);
    EXPECT_LT(seconde, 2000);
    EXPECT_EQ(controleur->JeuDonnees->NombreEnregistrements(), 100000);
    controleur->Dernier();
    EXPECT_EQ(controleur->Valeur("col4", true), "Saint-Étienne");
}

} // namespace
