// Access databases: the two real files of the shared fixtures, read under a
// decimal-comma locale, plus damaged copies of them made in a temporary folder.
#include "data/Dataset.h"
#include "outils_fichiers.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>


using namespace vl::data;

namespace {

QString Fixture(const char* nom)
{
    return QDir(vltest::DossierFixtures()).filePath(QStringLiteral("access/") + QLatin1String(nom));
}

QDateTime Utc(int a, int m, int j, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(a, m, j), QTime(h, mi, s), Qt::UTC);
}

} // namespace

TEST(Access, DatesHorsDeLaPlageUsuelle)
{
    vltest::donnees::LocaleVirgule locale;
    if (!locale.Active())
        GTEST_SKIP() << "no decimal-comma locale available";
    auto t = Ouvrir(Format::Access, Fixture("DateTestDatabase.mdb"), QStringLiteral("DateTest"));
    EXPECT_EQ(t->Champs()[1].type, TypeChamp::DateHeure);
    struct Cas
    {
        int id;
        QDateTime dateHeure, date;
        QString court;
    };
    const Cas cas[] = {
        {1, Utc(2021, 12, 2), Utc(2021, 12, 2), QStringLiteral("Hello")},
        {2, Utc(9999, 1, 1), Utc(9999, 1, 1), QStringLiteral("Year 1999")},
        {3, Utc(1898, 1, 1), Utc(1899, 1, 1), QStringLiteral("Pre-1900 years")},
        {4, Utc(632, 1, 1), Utc(633, 1, 1), QStringLiteral("Pre-1000 years")},
    };
    ASSERT_EQ(t->NombreEnregistrements(), 6);
    for (const auto& c : cas) {
        SCOPED_TRACE(c.id);
        t->AllerA(c.id);
        EXPECT_EQ(t->Valeur("IDCol"), QVariant(c.id));
        EXPECT_EQ(t->Valeur("DateTimeCol").toDateTime(), c.dateHeure);
        EXPECT_EQ(t->Valeur("DateCol").toDateTime(), c.date);
        EXPECT_EQ(t->Valeur("ShortTextCol").toString(), c.court);
    }
    t->AllerA(3);
    EXPECT_EQ(t->Texte("DateTimeCol", QLocale(QLocale::French)), QStringLiteral("01/01/1898"));
    t->AllerA(6);
    EXPECT_EQ(t->Valeur("LongTextCol").toString(), QStringLiteral("New line\r\nin field"));
}

TEST(Access, DecimalesEtNullSousLocaleVirgule)
{
    vltest::donnees::LocaleVirgule locale;
    if (!locale.Active())
        GTEST_SKIP() << "no decimal-comma locale available";
    auto t = Ouvrir(Format::Access, Fixture("ASampleDatabase.accdb"), QStringLiteral("[Asset Items]"));
    const int cout = t->IndexChampExiste(QStringLiteral("Cost"));
    EXPECT_EQ(t->Champs()[cout].type, TypeChamp::Monnaie);
    EXPECT_EQ(t->Champs()[0].type, TypeChamp::ChaineLarge);
    EXPECT_EQ(t->Valeur("Asset No").toString(), QStringLiteral("30050"));
    EXPECT_DOUBLE_EQ(t->Valeur(cout).toDouble(), 1995.5);
    EXPECT_EQ(t->Valeur("Acquired").toDateTime(), Utc(1997, 9, 2));
    EXPECT_EQ(t->Texte(cout, QLocale(QLocale::French)), QStringLiteral("1995,5"));
    EXPECT_EQ(t->Texte(cout, QLocale::c()), QStringLiteral("1995.5"));
    // An empty memo is NULL, not an empty text.
    EXPECT_FALSE(t->Valeur("Comments").isValid());
    EXPECT_TRUE(t->Valeur("Make").isValid());
    double total = 0;
    for (t->Premier(); !t->Fin(); t->Suivant())
        total += t->Valeur(cout).toDouble();
    EXPECT_GT(total, 1995.5);
}

TEST(Access, ListeDesTablesEtRequetes)
{
    const auto objets = ListerObjets(Format::Access, Fixture("ASampleDatabase.accdb"));
    ASSERT_FALSE(objets.isEmpty());
    EXPECT_EQ(objets[0].nom, QStringLiteral("Asset Items"));
    EXPECT_FALSE(objets[0].vue);
    QStringList vues;
    for (const auto& o : objets)
        if (o.vue)
            vues << o.nom;
    EXPECT_TRUE(vues.contains(QStringLiteral("qryCostsSummedByOwner")));
    for (const auto& o : objets)
        EXPECT_FALSE(o.nom.startsWith(QLatin1String("MSys"))) << o.nom.toStdString();
    EXPECT_EQ(ListerTables(Format::Access, Fixture("DateTestDatabase.mdb")),
              QStringList{QStringLiteral("DateTest")});

    try {
        Ouvrir(Format::Access, Fixture("ASampleDatabase.accdb"), QStringLiteral("qryCostsSummedByOwner"));
        ADD_FAILURE() << "a query was opened";
    } catch (const ErreurDonnees& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("requête"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("ASampleDatabase.accdb")));
    }
    EXPECT_THROW(Ouvrir(Format::Access, Fixture("DateTestDatabase.mdb"), QStringLiteral("Absente")),
                 ErreurDonnees);
}

TEST(Access, LectureSeule)
{
    auto t = Ouvrir(Format::Access, Fixture("DateTestDatabase.mdb"), QStringLiteral("DateTest"));
    EXPECT_FALSE(t->Modifiable());
    EXPECT_FALSE(t->RaisonNonModifiable().isEmpty());
    try {
        t->Modifier("ShortTextCol", QStringLiteral("x"));
        ADD_FAILURE();
    } catch (const ErreurDonnees& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("lecture seule"))) << e.Message().toStdString();
    }
    EXPECT_THROW(t->MettreAJourColonne("IDCol"), ErreurDonnees);
}

TEST(Access, FichiersEndommagesOuChiffres)
{
    QTemporaryDir dir;
    const QByteArray mdb = vltest::donnees::Lire(Fixture("DateTestDatabase.mdb"));
    const QByteArray accdb = vltest::donnees::Lire(Fixture("ASampleDatabase.accdb"));
    ASSERT_FALSE(mdb.isEmpty());
    struct Cas
    {
        const char* nom;
        QByteArray octets;
    };
    QByteArray chiffre = accdb;
    const QString fournisseur = QStringLiteral("Microsoft Enhanced RSA and AES Cryptographic Provider");
    chiffre.replace(0x300, fournisseur.size() * 2,
                    QByteArray(reinterpret_cast<const char*>(fournisseur.utf16()), fournisseur.size() * 2));
    QByteArray pagesVides = mdb;
    pagesVides.replace(4096, 4096 * 4, QByteArray(4096 * 4, '\0'));
    const Cas cas[] = {
        {"vide", {}},
        {"en-tête seul", mdb.left(100)},
        {"coupé au milieu d'une page", mdb.left(10000)},
        {"coupé à une page", mdb.left(4096 * 3)},
        {"moitié", mdb.left(mdb.size() / 2 / 4096 * 4096)},
        {"pages effacées", pagesVides},
        {"pas une base", QByteArray(8192, 'x')},
        {"accdb chiffrée", chiffre},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString chemin = dir.filePath(QStringLiteral("base.mdb"));
        vltest::donnees::Ecrire(chemin, c.octets);
        try {
            for (const auto& table : ListerTables(Format::Access, chemin)) {
                auto t = Ouvrir(Format::Access, chemin, table);
                for (t->Premier(); !t->Fin(); t->Suivant())
                    for (int i = 0; i < t->NombreChamps(); ++i)
                        t->Valeur(i);
            }
            if (QByteArray(c.nom) == "accdb chiffrée")
                ADD_FAILURE() << "encrypted database read";
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
            if (QByteArray(c.nom) == "accdb chiffrée") {
                EXPECT_TRUE(e.Message().contains(QStringLiteral("chiffrée"))) << e.Message().toStdString();
            }
        }
    }
}

namespace {

quint32 Lire32(const QByteArray& o, qsizetype pos)
{
    const auto* p = reinterpret_cast<const unsigned char*>(o.constData()) + pos;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

QByteArray Octets32(quint32 v)
{
    QByteArray o(4, '\0');
    for (int i = 0; i < 4; ++i)
        o[i] = char(v >> (8 * i));
    return o;
}

} // namespace

// Damaged catalogues and table definitions, each once made libmdb loop for
// ever, eat all memory or crash. The property block of the first catalogue
// object starts with "MR2", a chunk of property names, then a chunk of
// properties whose first entry follows its 6-byte header.
TEST(Access, CatalogueEtDefinitionsEndommages)
{
    QTemporaryDir dir;
    const QByteArray mdb = vltest::donnees::Lire(Fixture("DateTestDatabase.mdb"));
    const QByteArray accdb = vltest::donnees::Lire(Fixture("ASampleDatabase.accdb"));
    ASSERT_FALSE(mdb.isEmpty());
    ASSERT_FALSE(accdb.isEmpty());
    const qsizetype mr2 = mdb.indexOf(QByteArray("MR2\0", 4));
    ASSERT_GT(mr2, 0);
    const qsizetype proprietes = mr2 + 4 + Lire32(mdb, mr2 + 4);  // second chunk
    const qsizetype entree = proprietes + 6 + 6 + (Lire32(mdb, proprietes + 6 + 4) & 0xFFFF);
    // MSysObjects is defined on page 2; its usage map is the row pointer at 55.
    const qsizetype definition = 2 * 4096;
    const quint32 carte = Lire32(mdb, definition + 55);

    struct Cas
    {
        const char* nom;
        QByteArray base;
        qsizetype position;
        QByteArray octets;
    };
    const Cas cas[] = {
        {"bloc de propriétés de longueur nulle (mdb)", mdb, mr2 + 4, Octets32(0)},
        {"bloc de propriétés de longueur nulle (accdb)", accdb,
         accdb.indexOf(QByteArray("MR2\0", 4)) + 4, Octets32(0)},
        {"bloc plus long que la valeur", mdb, mr2 + 4, Octets32(0x7FFFFFF0)},
        {"propriété de longueur nulle", mdb, entree, QByteArray(2, '\0')},
        {"propriété plus longue que son bloc", mdb, entree, QByteArray("\xF0\x7F", 2)},
        {"carte d'usage pointant au-delà des lignes de sa page", mdb, definition + 55,
         Octets32((carte & ~0xFFu) | 0xFE)},
        {"carte d'usage hors du fichier", mdb, definition + 55, Octets32(0xFFFFFF00)},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ASSERT_GT(c.position, 0);
        QByteArray octets = c.base;
        octets.replace(c.position, c.octets.size(), c.octets);
        ASSERT_NE(octets, c.base);
        const QString chemin = dir.filePath(QStringLiteral("abimee.mdb"));
        vltest::donnees::Ecrire(chemin, octets);
        try {
            ListerTables(Format::Access, chemin);
            ADD_FAILURE() << "damaged catalogue listed";
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QStringLiteral("endommagée"))) << e.Message().toStdString();
        }
        EXPECT_THROW(Ouvrir(Format::Access, chemin, QStringLiteral("DateTest")), ErreurDonnees);
    }
}
