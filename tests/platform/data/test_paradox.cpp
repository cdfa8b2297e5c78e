// Paradox tables written with pxlib itself, so that the bytes are those of a
// real writer, with NULL fields and memos stored in the record and in the .MB.
#include "data/Dataset.h"
#include "outils_fichiers.h"

extern "C" {
#include <paradox.h>
}

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

using namespace vl::data;

namespace {

struct Ligne
{
    const char* nom;      // nullptr: NULL
    int quantite;         // 0: NULL
    double prix;          // < 0: NULL
    int jours;            // days since 0001-01-01 as Paradox counts, 0: NULL
    int actif;            // -1 NULL, 0 false, 1 true
    QByteArray memo;      // empty: NULL
};

// Creates name.db with: Nom A20, Quantite S, Prix N, Jour D, Actif L and,
// when withMemo, Notes M (leader 11 bytes) in code page 850.
// A password makes pxlib encrypt the data blocks.
void CreerTable(const QString& chemin, const QList<Ligne>& lignes, bool avecMemo, bool avecGraphique = false,
                const char* motDePasse = nullptr)
{
    pxdoc_t* px = PX_new();
    const int n = 5 + (avecMemo ? 1 : 0) + (avecGraphique ? 1 : 0);
    auto* champs = static_cast<pxfield_t*>(px->malloc(px, sizeof(pxfield_t) * size_t(n), "test"));
    std::memset(champs, 0, sizeof(pxfield_t) * size_t(n));
    const auto definir = [&](int i, const char* nom, char type, int longueur) {
        champs[i].px_fname = static_cast<char*>(px->malloc(px, std::strlen(nom) + 1, "test"));
        std::strcpy(champs[i].px_fname, nom);
        champs[i].px_ftype = type;
        champs[i].px_flen = longueur;
    };
    definir(0, "Nom", pxfAlpha, 20);
    definir(1, "Quantite", pxfShort, 2);
    definir(2, "Prix", pxfNumber, 8);
    definir(3, "Jour", pxfDate, 4);
    definir(4, "Actif", pxfLogical, 1);
    int i = 5;
    if (avecMemo)
        definir(i++, "Notes", pxfMemoBLOb, 21);
    if (avecGraphique)
        definir(i++, "Photo", pxfGraphic, 10);
    const QByteArray nomFichier = QFile::encodeName(chemin);
    ASSERT_EQ(PX_create_file(px, champs, n, nomFichier.constData(), pxfFileTypNonIndexDB), 0);
    PX_set_value(px, "codepage", 850);
    if (motDePasse) {
        ASSERT_EQ(PX_set_parameter(px, "password", motDePasse), 0);
    }
    pxblob_t* blob = nullptr;
    if (avecMemo) {
        blob = PX_new_blob(px);
        QString mb = chemin;
        mb.chop(3);
        ASSERT_EQ(PX_create_blob_file(blob, QFile::encodeName(mb + QStringLiteral(".mb")).constData()), 0);
        px->px_blob = blob;
    }
    int taille = 20 + 2 + 8 + 4 + 1 + (avecMemo ? 21 : 0) + (avecGraphique ? 10 : 0);
    for (const auto& l : lignes) {
        QByteArray rec(taille, '\0');
        char* d = rec.data();
        if (l.nom)
            PX_put_data_alpha(px, d, 20, const_cast<char*>(l.nom));
        if (l.quantite)
            PX_put_data_short(px, d + 20, 2, short(l.quantite));
        if (l.prix >= 0)
            PX_put_data_double(px, d + 22, 8, l.prix);
        if (l.jours)
            PX_put_data_long(px, d + 30, 4, l.jours);
        if (l.actif >= 0)
            PX_put_data_byte(px, d + 34, 1, char(l.actif ? 1 : 0));
        if (avecMemo && !l.memo.isEmpty())
            PX_put_data_blob(px, d + 35, 21, const_cast<char*>(l.memo.constData()), int(l.memo.size()));
        PX_put_record(px, d);
    }
    if (blob) {
        PX_close_blob(blob);
        px->px_blob = nullptr;
        PX_delete_blob(blob);
    }
    PX_close(px);
    PX_delete(px);
}

int JoursParadox(const QDate& d)
{
    return int(d.toJulianDay() - 1721425);
}

} // namespace

TEST(Paradox, NullsMemosEtPageDeCode)
{
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("clients.db"));
    const QByteArray longMemo = QByteArray("Long m\x82mo : ") + QByteArray(300, 'z');
    CreerTable(chemin,
               {{"Andr\x82", 3, 12.5, JoursParadox(QDate(2024, 2, 29)), 1, "court"},
                {nullptr, 0, -1, 0, -1, {}},
                {"Z\x82ro", -2, 0.0, JoursParadox(QDate(1, 1, 1)), 0, longMemo}},
               true);
    auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("clients.db"));
    ASSERT_EQ(t->NombreEnregistrements(), 3);
    EXPECT_EQ(t->Champs()[0].type, TypeChamp::Chaine);
    EXPECT_EQ(t->Champs()[1].type, TypeChamp::PetitEntier);
    EXPECT_EQ(t->Champs()[5].type, TypeChamp::Memo);
    EXPECT_TRUE(t->Modifiable());

    EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("André"));
    EXPECT_EQ(t->Valeur("Quantite"), QVariant(3));
    EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), 12.5);
    EXPECT_EQ(t->Valeur("Jour").toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(t->Valeur("Actif"), QVariant(true));
    EXPECT_EQ(t->Valeur("Notes").toString(), QStringLiteral("court"));

    t->Suivant();
    for (int i = 0; i < t->NombreChamps(); ++i)
        EXPECT_FALSE(t->Valeur(i).isValid()) << t->Champs()[i].nom.toStdString();

    t->Suivant();
    EXPECT_EQ(t->Valeur("Quantite"), QVariant(-2));
    // Zero and false are values, not NULL.
    ASSERT_TRUE(t->Valeur("Prix").isValid());
    EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), 0.0);
    EXPECT_EQ(t->Valeur("Actif"), QVariant(false));
    EXPECT_EQ(t->Valeur("Jour").toDate(), QDate(1, 1, 1));
    EXPECT_EQ(t->Valeur("Notes").toString(), QStringLiteral("Long mémo : ") + QString(300, 'z'));
}

TEST(Paradox, EcrituresEnPlace)
{
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("stock.db"));
    QList<Ligne> lignes;
    for (int i = 1; i <= 300; ++i)  // several data blocks
        lignes.append({"article", i, double(i) / 4, JoursParadox(QDate(2020, 1, 1)), 1, {}});
    CreerTable(chemin, lignes, false);
    {
        auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("stock.db"));
        t->AllerA(250);
        t->Modifier("Nom", QStringLiteral("Éléphant"));
        t->Modifier("Prix", -3.75);
        t->Modifier("Jour", QDate(1999, 12, 31));
        t->Modifier("Actif", false);
        t->Valider();
        EXPECT_EQ(t->NumeroEnregistrement(), 250);
        EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("Éléphant"));
        try {
            t->Modifier("Nom", QStringLiteral("un nom bien trop long pour vingt"));
            ADD_FAILURE();
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
        }
        EXPECT_THROW(t->Modifier("Quantite", 40000), ErreurDonnees);
        t->MettreAJourColonne("Quantite");
    }
    auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("stock.db"));
    t->AllerA(250);
    EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("Éléphant"));
    EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), -3.75);
    EXPECT_EQ(t->Valeur("Jour").toDate(), QDate(1999, 12, 31));
    EXPECT_EQ(t->Valeur("Actif"), QVariant(false));
    t->AllerA(249);
    EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("article"));
    EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), 249.0 / 4);
    for (t->Premier(); !t->Fin(); t->Suivant())
        ASSERT_FALSE(t->Valeur("Quantite").isValid()) << t->NumeroEnregistrement();
}

TEST(Paradox, GraphiqueRendLaTableNonModifiable)
{
    QTemporaryDir dir;
    CreerTable(dir.filePath(QStringLiteral("photos.db")), {{"a", 1, 1, 0, 1, {}}}, false, true);
    auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("photos.db"));
    EXPECT_EQ(t->Champs()[5].type, TypeChamp::Graphique);
    EXPECT_FALSE(t->Modifiable());
    EXPECT_TRUE(t->RaisonNonModifiable().contains(QStringLiteral("graphiques")));
    EXPECT_FALSE(t->Valeur("Photo").isValid());
    EXPECT_THROW(t->Modifier("Nom", QStringLiteral("b")), ErreurDonnees);
}

TEST(Paradox, FichiersEndommages)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.db"));
    QList<Ligne> lignes;
    for (int i = 1; i <= 100; ++i)
        lignes.append({"ligne", i, 1.5, 0, 1, QByteArray(100, char('a' + i % 26))});
    CreerTable(source, lignes, true);
    const QByteArray complet = vltest::donnees::Lire(source);
    const QByteArray mb = vltest::donnees::Lire(dir.filePath(QStringLiteral("source.mb")));
    ASSERT_GT(complet.size(), 4096);
    const QString chemin = dir.filePath(QStringLiteral("abime.db"));
    for (qsizetype longueur : {qsizetype(0), qsizetype(50), qsizetype(0x58), qsizetype(200),
                               qsizetype(2048), complet.size() / 2, complet.size() - 100}) {
        SCOPED_TRACE(longueur);
        vltest::donnees::Ecrire(chemin, complet.left(longueur));
        vltest::donnees::Ecrire(dir.filePath(QStringLiteral("abime.mb")), mb);
        try {
            auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("abime.db"));
            for (t->Premier(); !t->Fin(); t->Suivant())
                for (int i = 0; i < t->NombreChamps(); ++i)
                    t->Valeur(i);
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("abime"))) << e.Message().toStdString();
        }
    }
    for (qsizetype longueur : {qsizetype(0), qsizetype(300), mb.size() / 2}) {
        SCOPED_TRACE(longueur);
        vltest::donnees::Ecrire(chemin, complet);
        vltest::donnees::Ecrire(dir.filePath(QStringLiteral("abime.mb")), mb.left(longueur));
        auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("abime.db"));
        bool erreur = false;
        try {
            for (t->Premier(); !t->Fin(); t->Suivant())
                t->Valeur("Notes");
        } catch (const ErreurDonnees& e) {
            erreur = true;
            EXPECT_TRUE(e.Message().contains(QStringLiteral("abime.mb"))) << e.Message().toStdString();
        }
        EXPECT_TRUE(erreur);
    }
}

// The chain of data blocks is followed through each block's next-block
// number: one that loops or leaves the file must give an error, not an
// endless open.
TEST(Paradox, ChaineDeBlocsAbimee)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.db"));
    QList<Ligne> lignes;
    for (int i = 1; i <= 400; ++i)
        lignes.append({"ligne", i, 1.5, 0, 1, {}});
    CreerTable(source, lignes, false);
    const QByteArray complet = vltest::donnees::Lire(source);
    const auto* e = reinterpret_cast<const unsigned char*>(complet.constData());
    const int tailleEntete = e[2] | (e[3] << 8);
    const int tailleBloc = e[5] * 1024;
    const int blocs = int((complet.size() - tailleEntete) / tailleBloc);
    ASSERT_GE(blocs, 3);
    struct Cas
    {
        const char* nom;
        int bloc;      // whose next-block number is changed
        int suivant;
    };
    const Cas cas[] = {
        {"bloc qui se suit lui-même", 1, 1},
        {"dernier bloc renvoyant au premier", blocs, 1},
        {"bloc suivant hors du fichier", 2, 60000},
    };
    const QString chemin = dir.filePath(QStringLiteral("chaine.db"));
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QByteArray octets = complet;
        const qsizetype pos = tailleEntete + qsizetype(c.bloc - 1) * tailleBloc;
        octets[pos] = char(c.suivant & 0xFF);
        octets[pos + 1] = char(c.suivant >> 8);
        vltest::donnees::Ecrire(chemin, octets);
        EXPECT_THROW(
            {
                try {
                    Ouvrir(Format::Paradox, dir.path(), QStringLiteral("chaine.db"));
                } catch (const ErreurDonnees& e) {
                    EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
                    throw;
                }
            },
            ErreurDonnees);
    }
}

// pxlib decrypts the blocks of a password-protected table as it reads them;
// writing our plain bytes into them would garble the record.
TEST(Paradox, TableChiffreeLueMaisNonModifiable)
{
    QTemporaryDir dir;
    CreerTable(dir.filePath(QStringLiteral("secret.db")),
               {{"Andr\x82", 3, 12.5, JoursParadox(QDate(2024, 2, 29)), 1, "court"},
                {"Zo\x82", 4, 1.0, 0, 0, QByteArray("Long m\x82mo ") + QByteArray(300, 'z')}},
               true, false, "motdepasse");
    const QByteArray octets = vltest::donnees::Lire(dir.filePath(QStringLiteral("secret.db")));
    ASSERT_FALSE(octets.contains("Andr\x82")) << "the fixture is not encrypted";
    auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("secret.db"));
    ASSERT_EQ(t->NombreEnregistrements(), 2);
    EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("André"));
    EXPECT_EQ(t->Valeur("Jour").toDate(), QDate(2024, 2, 29));
    EXPECT_FALSE(t->Modifiable());
    EXPECT_TRUE(t->RaisonNonModifiable().contains(QStringLiteral("mot de passe")))
        << t->RaisonNonModifiable().toStdString();
    EXPECT_EQ(t->Valeur("Notes").toString(), QStringLiteral("court"));
    t->Suivant();
    EXPECT_EQ(t->Valeur("Notes").toString(), QStringLiteral("Long mémo ") + QString(300, 'z'));
    EXPECT_THROW(t->Modifier("Quantite", 9), ErreurDonnees);
    auto relue = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("secret.db"));
    EXPECT_EQ(relue->Valeur("Quantite"), QVariant(3));
}

TEST(Paradox, ListeDesTables)
{
    QTemporaryDir dir;
    CreerTable(dir.filePath(QStringLiteral("b.db")), {}, false);
    CreerTable(dir.filePath(QStringLiteral("A.DB")), {}, false);
    vltest::donnees::Ecrire(dir.filePath(QStringLiteral("a.px")), "x");
    EXPECT_EQ(ListerTables(Format::Paradox, dir.path()),
              (QStringList{QStringLiteral("A.DB"), QStringLiteral("b.db")}));
    auto t = Ouvrir(Format::Paradox, dir.path(), QStringLiteral("b.db"));
    EXPECT_TRUE(t->EstVide());
    EXPECT_TRUE(t->Fin());
}

namespace {

int DescripteursOuverts()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

} // namespace

// Headers that pxlib accepts but that we refuse once it has opened the file
// (field lengths not adding up to the record size, a blob field too short
// for its leader): the error names the file and the stream is closed.
TEST(Paradox, TableRefuseeApresOuverture)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.db"));
    CreerTable(source, {{"Dupont", 1, 2.5, 0, 1, {}}}, true);
    const QByteArray complet = vltest::donnees::Lire(source);
    // Field descriptors: type and length of Nom A20, Quantite S, Prix N, Jour D, Actif L, Notes M.
    const QByteArray champs("\x01\x14\x03\x02\x06\x08\x02\x04\x09\x01\x0C\x15", 12);
    const qsizetype pos = complet.indexOf(champs);
    ASSERT_GT(pos, 0);
    struct Cas
    {
        const char* nom;
        qsizetype decalage;
        char octet;
    };
    const Cas cas[] = {
        {"longueurs ne faisant pas la taille d'enregistrement", 3, '\x03'},
        {"mémo plus court que son en-tête", 11, '\x04'},
    };
    QDir(dir.path()).mkdir(QStringLiteral("abimee"));
    const QString chemin = dir.filePath(QStringLiteral("abimee/table.db"));
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QByteArray octets = complet;
        octets[pos + c.decalage] = c.octet;
        vltest::donnees::Ecrire(chemin, octets);
        const int avant = DescripteursOuverts();
        for (int i = 0; i < 20; ++i) {
            try {
                Ouvrir(Format::Paradox, dir.filePath(QStringLiteral("abimee")), QStringLiteral("table.db"));
                ADD_FAILURE() << "damaged table opened";
                break;
            } catch (const ErreurDonnees& e) {
                EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
            }
        }
        EXPECT_EQ(DescripteursOuverts(), avant) << "file left open";
    }
}
