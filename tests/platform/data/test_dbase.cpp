// dBase and FoxPro tables: files are built byte by byte here, the way each
// program writes them, so that every layout variant is covered.
#include "data/Dataset.h"
#include "outils_fichiers.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

using namespace vl::data;
using vltest::donnees::Ecrire;

namespace {

struct ChampTest
{
    const char* nom;
    char type;
    int longueur;
    int decimales = 0;
    quint8 drapeaux = 0;
};

void Le32(QByteArray& b, int pos, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[pos + i] = char((v >> (8 * i)) & 0xFF);
}

// A dBase file: header, field descriptors, records (each given without its
// deletion flag; a leading '*' in `effaces` marks deleted ones).
QByteArray Dbf(quint8 version, quint8 langage, const QList<ChampTest>& champs,
               const QList<QByteArray>& enregistrements, const QList<bool>& effaces = {},
               int nombreEntete = -1)
{
    const bool vfp = version == 0x30 || version == 0x31 || version == 0x32;
    int tailleEnr = 1;
    for (const auto& c : champs)
        tailleEnr += c.longueur;
    const int tailleEntete = 32 + 32 * int(champs.size()) + 1 + (vfp ? 263 : 0);
    QByteArray b(tailleEntete, '\0');
    b[0] = char(version);
    b[1] = char(124);
    b[2] = 5;
    b[3] = 17;
    Le32(b, 4, quint32(nombreEntete < 0 ? enregistrements.size() : nombreEntete));
    b[8] = char(tailleEntete & 0xFF);
    b[9] = char(tailleEntete >> 8);
    b[10] = char(tailleEnr & 0xFF);
    b[11] = char(tailleEnr >> 8);
    b[29] = char(langage);
    int pos = 32;
    int offset = 1;
    for (const auto& c : champs) {
        std::strncpy(b.data() + pos, c.nom, 10);
        b[pos + 11] = c.type;
        Le32(b, pos + 12, quint32(offset));
        b[pos + 16] = char(c.longueur);
        b[pos + 17] = char(c.decimales);
        b[pos + 18] = char(c.drapeaux);
        offset += c.longueur;
        pos += 32;
    }
    b[pos] = 0x0D;
    for (int i = 0; i < enregistrements.size(); ++i) {
        QByteArray r = enregistrements[i];
        r.resize(tailleEnr - 1, ' ');
        b += (i < effaces.size() && effaces[i]) ? '*' : ' ';
        b += r;
    }
    b += '\x1A';
    return b;
}

// Memo files in their three layouts, one memo per text, blocks from 1.
QByteArray DbtIII(const QList<QByteArray>& memos)
{
    QByteArray b(512, '\0');
    for (const auto& m : memos) {
        QByteArray bloc = m + "\x1A\x1A";
        bloc.resize(((bloc.size() + 511) / 512) * 512, '\0');
        b += bloc;
    }
    Le32(b, 0, quint32(b.size() / 512));
    return b;
}

QByteArray DbtIV(const QList<QByteArray>& memos, int tailleBloc)
{
    QByteArray b(tailleBloc < 512 ? 512 : tailleBloc, '\0');
    b[20] = char(tailleBloc & 0xFF);
    b[21] = char(tailleBloc >> 8);
    for (const auto& m : memos) {
        QByteArray bloc("\xFF\xFF\x08\x00", 4);
        bloc += QByteArray(4, '\0');
        Le32(bloc, 4, quint32(m.size() + 8));
        bloc += m;
        bloc.resize(((bloc.size() + tailleBloc - 1) / tailleBloc) * tailleBloc, '\0');
        b += bloc;
    }
    Le32(b, 0, quint32(b.size() / tailleBloc));
    return b;
}

QByteArray Be32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (24 - 8 * i)) & 0xFF);
    return b;
}

QByteArray Fpt(const QList<QByteArray>& memos, int tailleBloc)
{
    QByteArray b(512, '\0');
    b[6] = char(tailleBloc >> 8);
    b[7] = char(tailleBloc & 0xFF);
    for (const auto& m : memos) {
        QByteArray bloc = Be32(1) + Be32(quint32(m.size())) + m;
        bloc.resize(((bloc.size() + tailleBloc - 1) / tailleBloc) * tailleBloc, '\0');
        b += bloc;
    }
    b.replace(0, 4, Be32(quint32(b.size() / tailleBloc)));
    return b;
}

QByteArray Pointeur10(int bloc)
{
    return bloc == 0 ? QByteArray(10, ' ') : QByteArray::number(bloc).rightJustified(10, ' ');
}

QByteArray Pointeur4(int bloc)
{
    QByteArray b(4, '\0');
    Le32(b, 0, quint32(bloc));
    return b;
}

} // namespace

TEST(DBase, FormatsDeMemo)
{
    struct Cas
    {
        const char* nom;
        quint8 version;
        const char* extension;
        int tailleBloc;
        bool pointeur4;
    };
    const Cas cas[] = {
        {"dBase III", 0x83, "dbt", 512, false},
        {"dBase IV", 0x8B, "dbt", 512, false},
        {"dBase IV petits blocs", 0x8B, "dbt", 64, false},
        {"FoxPro 2", 0xF5, "fpt", 64, false},
        {"Visual FoxPro", 0x30, "fpt", 64, true},
    };
    // The second memo spans several blocks and holds the end-mark byte of
    // dBase III nowhere but at its end.
    const QByteArray longue = QByteArray(700, 'x') + "\xE9t\xE9";
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QTemporaryDir dir;
        QByteArray memo;
        int b1 = 1, b2 = 0;
        if (QByteArray(c.extension) == "fpt") {
            memo = Fpt({"Bonjour \xE9t\xE9", longue}, c.tailleBloc);
            b1 = 512 / c.tailleBloc;
            b2 = b1 + (8 + 11 + c.tailleBloc - 1) / c.tailleBloc;
        } else if (c.version == 0x83) {
            memo = DbtIII({"Bonjour \xE9t\xE9", longue});
            b2 = 2;
        } else {
            memo = DbtIV({"Bonjour \xE9t\xE9", longue}, c.tailleBloc);
            b1 = c.tailleBloc < 512 ? 512 / c.tailleBloc : 1;
            b2 = b1 + (8 + 11 + c.tailleBloc - 1) / c.tailleBloc;
        }
        const int lp = c.pointeur4 ? 4 : 10;
        const auto ptr = [&](int b) { return c.pointeur4 ? Pointeur4(b) : Pointeur10(b); };
        Ecrire(dir.filePath(QStringLiteral("t.dbf")),
               Dbf(c.version, 0x57, {{"NOM", 'C', 5}, {"NOTES", 'M', lp}},
                   {"un   " + ptr(b1), "deux " + ptr(b2), "trois" + ptr(0)}));
        Ecrire(dir.filePath(QStringLiteral("t.") + c.extension), memo);
        auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("t.dbf"));
        ASSERT_EQ(t->NombreEnregistrements(), 3);
        EXPECT_EQ(t->Champs()[1].type, TypeChamp::Memo);
        EXPECT_EQ(t->Valeur("NOTES").toString(), QStringLiteral("Bonjour été"));
        t->Suivant();
        EXPECT_EQ(t->Valeur("NOTES").toString(), QString(700, 'x') + QStringLiteral("été"));
        t->Suivant();
        EXPECT_FALSE(t->Valeur("NOTES").isValid());
        // A memo written through the driver reads back after reopening.
        t->Modifier("NOTES", QStringLiteral("Écrit ici"));
        t->Valider();
        t.reset();
        auto t2 = Ouvrir(Format::DBase, dir.path(), QStringLiteral("t.dbf"));
        t2->Dernier();
        EXPECT_EQ(t2->Valeur("NOTES").toString(), QStringLiteral("Écrit ici"));
        t2->Premier();
        EXPECT_EQ(t2->Valeur("NOTES").toString(), QStringLiteral("Bonjour été"));
    }
}

TEST(DBase, PagesDeCode)
{
    struct Cas
    {
        const char* nom;
        quint8 langage;
        QByteArray octets;
        const char* cpg;  // nullptr: no .cpg file
        QString attendu;
    };
    const Cas cas[] = {
        {"DOS 850 (id 0x02)", 0x02, "\x82t\x82", nullptr, QStringLiteral("été")},
        {"DOS 437 (id 0x01)", 0x01, "\x87\x61", nullptr, QStringLiteral("ça")},
        {"Windows 1252 (id 0x57)", 0x57, "\xE9t\xE9", nullptr, QStringLiteral("été")},
        {"Windows 1251 (id 0xC9)", 0xC9, "\xCF\xF0", nullptr, QStringLiteral("Пр")},
        {"sans id : Windows 1252", 0x00, "\xE9", nullptr, QStringLiteral("é")},
        {".cpg UTF-8 l'emporte", 0x57, "\xC3\xA9t\xC3\xA9", "UTF-8", QStringLiteral("été")},
        {".cpg 850", 0x00, "\x82", "850", QStringLiteral("é")},
        {".cpg ANSI 1252", 0x02, "\xE9", "ANSI 1252\r\n", QStringLiteral("é")},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QTemporaryDir dir;
        Ecrire(dir.filePath(QStringLiteral("CP.DBF")), Dbf(0x03, c.langage, {{"T", 'C', 10}}, {c.octets}));
        if (c.cpg)
            Ecrire(dir.filePath(QStringLiteral("CP.CPG")), c.cpg);
        auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("CP.DBF"));
        EXPECT_EQ(t->Valeur(0).toString(), c.attendu);
    }
}

TEST(DBase, TypesEnLecture)
{
    QTemporaryDir dir;
    const QList<ChampTest> champs = {
        {"ENT", 'N', 5, 0}, {"PRIX", 'N', 8, 2}, {"TAUX", 'F', 10, 3}, {"JOUR", 'D', 8},
        {"OK", 'L', 1},     {"TEXTE", 'C', 6},
    };
    Ecrire(dir.filePath(QStringLiteral("types.dbf")),
           Dbf(0x03, 0x57, champs,
               {QByteArray("   42") + "   12.50" + "    -1.250" + "20240229" + "T" + "abc   ",
                QByteArray(23, ' ') + QByteArray(8, ' ') + "?" + QByteArray(6, ' '),
                QByteArray("*****") + "   -0.05" + "     0.000" + "20241399" + "f" + " x"}));
    auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("types.dbf"));
    EXPECT_EQ(t->Champs()[0].type, TypeChamp::Entier);
    EXPECT_EQ(t->Champs()[1].type, TypeChamp::Flottant);
    EXPECT_EQ(t->Champs()[3].type, TypeChamp::Date);
    EXPECT_EQ(t->Champs()[4].type, TypeChamp::Booleen);
    EXPECT_EQ(t->Valeur("ENT"), QVariant(42));
    EXPECT_DOUBLE_EQ(t->Valeur("PRIX").toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(t->Valeur("TAUX").toDouble(), -1.25);
    EXPECT_EQ(t->Valeur("JOUR").toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(t->Valeur("OK"), QVariant(true));
    EXPECT_EQ(t->Valeur("TEXTE").toString(), QStringLiteral("abc"));
    EXPECT_EQ(t->Texte("PRIX", QLocale(QLocale::French)), QStringLiteral("12,5"));
    t->Suivant();
    // Blank numbers, dates and logicals are NULL; a blank text is empty text.
    for (const char* nom : {"ENT", "PRIX", "TAUX", "JOUR", "OK"})
        EXPECT_FALSE(t->Valeur(nom).isValid()) << nom;
    EXPECT_TRUE(t->Valeur("TEXTE").isValid());
    EXPECT_EQ(t->Valeur("TEXTE").toString(), QString());
    t->Suivant();
    EXPECT_FALSE(t->Valeur("ENT").isValid());  // overflow stars
    EXPECT_FALSE(t->Valeur("JOUR").isValid()); // impossible date
    EXPECT_EQ(t->Valeur("OK"), QVariant(false));
    EXPECT_EQ(t->Valeur("TEXTE").toString(), QStringLiteral(" x"));
}

TEST(DBase, TypesVisualFoxPro)
{
    QTemporaryDir dir;
    auto rec = [](qint32 i, double b, qint64 y, qint32 jour, qint32 ms, QByteArray v, quint8 nulls) {
        QByteArray r(4 + 8 + 8 + 8 + 6 + 1, '\0');
        Le32(r, 0, quint32(i));
        std::memcpy(r.data() + 4, &b, 8);
        for (int k = 0; k < 8; ++k)
            r[12 + k] = char((quint64(y) >> (8 * k)) & 0xFF);
        Le32(r, 20, quint32(jour));
        Le32(r, 24, quint32(ms));
        r.replace(28, v.size(), v);
        r[34] = char(nulls);
        return r;
    };
    const QList<ChampTest> champs = {
        {"NUM", 'I', 4, 0, 0x02}, {"DBL", 'B', 8}, {"PRIX", 'Y', 8}, {"QUAND", 'T', 8},
        {"VC", 'V', 6, 0, 0x02},  {"_NullFlags", '0', 1, 0, 0x05},
    };
    // Bits: NUM null = 0, VC varlength = 1, VC null = 2.
    const qint32 jour = qint32(QDate(2023, 12, 31).toJulianDay());
    QByteArray court("ab\0\0\0\x02", 6);
    Ecrire(dir.filePath(QStringLiteral("vfp.dbf")),
           Dbf(0x32, 0x03, champs,
               {rec(-7, 2.5, 123456, jour, (13 * 3600 + 5) * 1000, "abcdef", 0),
                rec(0, 0, 0, 0, 0, court, 0x02),
                rec(0, 0, 0, 0, 0, QByteArray(6, '\0'), 0x05)}));
    auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("vfp.dbf"));
    ASSERT_EQ(t->NombreChamps(), 5) << "_NullFlags stays hidden";
    EXPECT_EQ(t->Champs()[1].type, TypeChamp::Flottant);
    EXPECT_EQ(t->Champs()[2].type, TypeChamp::Monnaie);
    EXPECT_EQ(t->Valeur("NUM"), QVariant(-7));
    EXPECT_DOUBLE_EQ(t->Valeur("DBL").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(t->Valeur("PRIX").toDouble(), 12.3456);
    EXPECT_EQ(t->Valeur("QUAND").toDateTime(), QDateTime(QDate(2023, 12, 31), QTime(13, 0, 5), Qt::UTC));
    EXPECT_EQ(t->Valeur("VC").toString(), QStringLiteral("abcdef"));
    t->Suivant();
    EXPECT_EQ(t->Valeur("NUM"), QVariant(0));
    EXPECT_FALSE(t->Valeur("QUAND").isValid());
    EXPECT_EQ(t->Valeur("VC").toString(), QStringLiteral("ab"));
    t->Suivant();
    EXPECT_FALSE(t->Valeur("NUM").isValid());
    EXPECT_FALSE(t->Valeur("VC").isValid());

    // Writing keeps the flags right: NULL, short and full varchar.
    t->Premier();
    t->Modifier("NUM", QVariant());
    t->Modifier("VC", QStringLiteral("xyz"));
    t->Valider();
    t->Suivant();
    t->Modifier("NUM", 99);
    t->Modifier("VC", QVariant());
    t->Valider();
    t.reset();
    t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("vfp.dbf"));
    EXPECT_FALSE(t->Valeur("NUM").isValid());
    EXPECT_EQ(t->Valeur("VC").toString(), QStringLiteral("xyz"));
    t->Suivant();
    EXPECT_EQ(t->Valeur("NUM"), QVariant(99));
    EXPECT_FALSE(t->Valeur("VC").isValid());
}

TEST(DBase, EnregistrementsEffacesEtNombreEntete)
{
    struct Cas
    {
        const char* nom;
        int nombreEntete;
        int tronquer;  // bytes removed from the end
        QStringList attendus;
    };
    const Cas cas[] = {
        {"nombre exact", -1, 0, {"a", "c", "d"}},
        {"en-tête trop grand", 10, 0, {"a", "c", "d"}},
        {"en-tête trop petit", 2, 0, {"a", "c", "d"}},
        {"dernier enregistrement coupé", -1, 3, {"a", "c"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QTemporaryDir dir;
        QByteArray b = Dbf(0x03, 0x57, {{"L", 'C', 4}}, {"a", "b", "c", "d"},
                           {false, true, false, false}, c.nombreEntete);
        b.chop(c.tronquer);
        Ecrire(dir.filePath(QStringLiteral("e.dbf")), b);
        auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("e.dbf"));
        QStringList lus;
        for (t->Premier(); !t->Fin(); t->Suivant())
            lus << t->Valeur(0).toString();
        EXPECT_EQ(lus, c.attendus);
    }
}

TEST(DBase, NavigationEtSignet)
{
    QTemporaryDir dir;
    Ecrire(dir.filePath(QStringLiteral("n.dbf")), Dbf(0x03, 0x57, {{"L", 'C', 2}}, {"1", "2", "3"}));
    auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("n.dbf"));
    EXPECT_TRUE(t->Debut());
    EXPECT_FALSE(t->Fin());
    EXPECT_EQ(t->NumeroEnregistrement(), 1);
    t->Precedent();
    EXPECT_TRUE(t->Debut());
    t->Suivant();
    const Signet s = t->PoserSignet();
    t->Suivant();
    EXPECT_EQ(t->Valeur(0).toString(), QStringLiteral("3"));
    t->Suivant();
    EXPECT_TRUE(t->Fin());
    EXPECT_EQ(t->Valeur(0).toString(), QStringLiteral("3"));
    t->RetourSignet(s);
    EXPECT_FALSE(t->Fin());
    EXPECT_EQ(t->NumeroEnregistrement(), 2);
    t->Dernier();
    EXPECT_TRUE(t->Fin());

    Ecrire(dir.filePath(QStringLiteral("vide.dbf")), Dbf(0x03, 0x57, {{"L", 'C', 2}}, {}));
    auto v = Ouvrir(Format::DBase, dir.path(), QStringLiteral("vide.dbf"));
    EXPECT_TRUE(v->Debut());
    EXPECT_TRUE(v->Fin());
    EXPECT_EQ(v->NumeroEnregistrement(), 0);
    EXPECT_FALSE(v->Valeur(0).isValid());
}

TEST(DBase, EcrituresParType)
{
    struct Cas
    {
        const char* champ;
        QVariant valeur;
        QVariant relu;
    };
    const QList<ChampTest> champs = {
        {"CPT", 'N', 5, 0}, {"PRIX", 'N', 8, 2}, {"NOM", 'C', 8}, {"JOUR", 'D', 8}, {"OK", 'L', 1},
    };
    const Cas cas[] = {
        {"CPT", 123, 123},
        {"CPT", QVariant(), QVariant()},
        {"CPT", QStringLiteral(" 17 "), 17},
        {"PRIX", 3.14159, 3.14},
        {"PRIX", QStringLiteral("2,5"), 2.5},
        {"NOM", QStringLiteral("Élodie"), QStringLiteral("Élodie")},
        {"NOM", QString(), QString()},
        {"JOUR", QDate(1999, 12, 31), QDate(1999, 12, 31)},
        {"JOUR", QVariant(), QVariant()},
        {"OK", false, false},
        {"OK", QVariant(), QVariant()},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.champ) + " = " + c.valeur.toString().toStdString());
        QTemporaryDir dir;
        Ecrire(dir.filePath(QStringLiteral("w.dbf")),
               Dbf(0x03, 0x02, champs, {"    1    1.00avant   20000101T", "    2"}));
        {
            auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("w.dbf"));
            t->Modifier(c.champ, c.valeur);
            t->Valider();
        }
        auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("w.dbf"));
        const QVariant lu = t->Valeur(c.champ);
        EXPECT_EQ(lu.isValid(), c.relu.isValid());
        if (c.relu.typeId() == QMetaType::Double) {
            EXPECT_DOUBLE_EQ(lu.toDouble(), c.relu.toDouble());
        } else if (c.relu.isValid()) {
            EXPECT_EQ(lu, c.relu);
        }
        t->Suivant();
        EXPECT_EQ(t->Valeur("CPT"), QVariant(2)) << "the next record is untouched";
    }
}

TEST(DBase, ValeursRefuseesSansRienEcrire)
{
    struct Cas
    {
        const char* champ;
        QVariant valeur;
    };
    const Cas cas[] = {
        {"NOM", QStringLiteral("beaucoup trop long")},
        {"NOM", QStringLiteral("Привет")},  // not in code page 850
        {"CPT", 123456},
        {"CPT", QStringLiteral("douze")},
        {"JOUR", QStringLiteral("demain")},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.champ);
        QTemporaryDir dir;
        const QString chemin = dir.filePath(QStringLiteral("r.dbf"));
        const QByteArray avant = Dbf(0x03, 0x02, {{"CPT", 'N', 5, 0}, {"NOM", 'C', 8}, {"JOUR", 'D', 8}},
                                     {"    1avant   20000101"});
        Ecrire(chemin, avant);
        auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("r.dbf"));
        try {
            t->Modifier(c.champ, c.valeur);
            t->Valider();
            ADD_FAILURE() << "value accepted";
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.champ))) << e.Message().toStdString();
        }
        EXPECT_EQ(vltest::donnees::Lire(chemin), avant);
    }
}

TEST(DBase, RemiseAZeroDuCompteur)
{
    QTemporaryDir dir;
    Ecrire(dir.filePath(QStringLiteral("c.dbf")),
           Dbf(0x03, 0x57, {{"NOM", 'C', 3}, {"CPT", 'N', 4}}, {"a     3", "b    12", "c     1"},
               {false, true, false}));
    auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("c.dbf"));
    t->Suivant();
    t->MettreAJourColonne("CPT");
    EXPECT_EQ(t->NumeroEnregistrement(), 2);
    t.reset();
    t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("c.dbf"));
    for (t->Premier(); !t->Fin(); t->Suivant())
        EXPECT_FALSE(t->Valeur("CPT").isValid());
}

TEST(DBase, FichiersEndommages)
{
    QTemporaryDir dir;
    const QByteArray complet = Dbf(0x83, 0x57, {{"NOM", 'C', 5}, {"NOTES", 'M', 10}, {"N", 'N', 3}},
                                   {"un   " + Pointeur10(1) + "  1", "deux " + Pointeur10(2) + "  2"});
    const QByteArray memo = DbtIII({"premier", "second"});
    const QString chemin = dir.filePath(QStringLiteral("d.dbf"));
    // Cut inside the header, inside the descriptors, inside the records.
    for (int longueur : {0, 10, 31, 40, 64, 97, 98, 120, 135, 150, int(complet.size()) - 1}) {
        SCOPED_TRACE(longueur);
        Ecrire(chemin, complet.left(longueur));
        Ecrire(dir.filePath(QStringLiteral("d.dbt")), memo);
        try {
            auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("d.dbf"));
            for (t->Premier(); !t->Fin(); t->Suivant())
                for (int i = 0; i < t->NombreChamps(); ++i)
                    t->Valeur(i);
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
        }
    }
    // A memo file cut short: the table opens, the memo value fails cleanly.
    for (int longueur : {0, 100, 520, 1030}) {
        SCOPED_TRACE(longueur);
        Ecrire(chemin, complet);
        Ecrire(dir.filePath(QStringLiteral("d.dbt")), memo.left(longueur));
        try {
            auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("d.dbf"));
            t->Dernier();
            t->Valeur("NOTES");
            ADD_FAILURE() << "truncated memo read";
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("d.dbt"))) << e.Message().toStdString();
        }
    }
    // Missing memo file and missing table.
    QFile::remove(dir.filePath(QStringLiteral("d.dbt")));
    EXPECT_THROW(Ouvrir(Format::DBase, dir.path(), QStringLiteral("d.dbf")), ErreurDonnees);
    try {
        Ouvrir(Format::DBase, dir.path(), QStringLiteral("absente.dbf"));
        ADD_FAILURE();
    } catch (const ErreurDonnees& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("absente.dbf")));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("n'existe pas")));
    }
}

TEST(DBase, ListeDesTables)
{
    QTemporaryDir dir;
    const QByteArray t = Dbf(0x03, 0x57, {{"L", 'C', 2}}, {"1"});
    Ecrire(dir.filePath(QStringLiteral("b.dbf")), t);
    Ecrire(dir.filePath(QStringLiteral("A.DBF")), t);
    Ecrire(dir.filePath(QStringLiteral("b.dbt")), "x");
    Ecrire(dir.filePath(QStringLiteral("notes.txt")), "x");
    EXPECT_EQ(ListerTables(Format::DBase, dir.path()),
              (QStringList{QStringLiteral("A.DBF"), QStringLiteral("b.dbf")}));
    EXPECT_THROW(ListerTables(Format::DBase, dir.filePath(QStringLiteral("absent"))), ErreurDonnees);
}

TEST(DBase, LectureSeuleRefuseLesModifications)
{
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("ro.dbf"));
    Ecrire(chemin, Dbf(0x03, 0x57, {{"L", 'C', 2}}, {"1"}));
    QFile::setPermissions(chemin, QFile::ReadOwner);
    auto t = Ouvrir(Format::DBase, dir.path(), QStringLiteral("ro.dbf"));
    if (QFileInfo(chemin).isWritable())
        GTEST_SKIP() << "running as a user who writes anyway";
    EXPECT_FALSE(t->Modifiable());
    EXPECT_THROW(t->Modifier(0, QStringLiteral("2")), ErreurDonnees);
}
