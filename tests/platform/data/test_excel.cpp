// Excel workbooks: .xlsx packages are written here with libzip, each part
// as a given producer writes it (prefixes, absolute targets, 1904 mode...).
#include "data/Dataset.h"
#include "outils_fichiers.h"
#include "test_support.h"

#include <zip.h>

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace vl::data;

namespace {

void EcrireZip(const QString& chemin, const std::map<std::string, std::string>& parties)
{
    int erreur = 0;
    zip_t* z = zip_open(chemin.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &erreur);
    ASSERT_NE(z, nullptr);
    for (const auto& [nom, contenu] : parties) {
        zip_source_t* s = zip_source_buffer(z, contenu.data(), contenu.size(), 0);
        ASSERT_GE(zip_file_add(z, nom.c_str(), s, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

const char* const NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const NSR = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Rels(const std::string& corps)
{
    return "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         + corps + "</Relationships>";
}

std::string Rel(const char* id, const char* type, const std::string& cible)
{
    return std::string("<Relationship Id=\"") + id + "\" Type=\"" + NSR + "/" + type + "\" Target=\"" + cible + "\"/>";
}

// A workbook with one data sheet (and a chart sheet that must not be listed).
std::map<std::string, std::string> Classeur(const std::string& feuille, bool mode1904, bool absolu,
                                            bool prefixe)
{
    const std::string p = prefixe ? "x:" : "";
    const std::string ns = prefixe ? std::string("xmlns:x=\"") + NS + "\"" : std::string("xmlns=\"") + NS + "\"";
    const std::string base = absolu ? "/xl/" : "";
    std::map<std::string, std::string> parties;
    parties["[Content_Types].xml"] = "<?xml version=\"1.0\"?><Types/>";
    parties["_rels/.rels"] = Rels(Rel("rId1", "officeDocument", absolu ? "/xl/workbook.xml" : "xl/workbook.xml"));
    parties["xl/_rels/workbook.xml.rels"] =
        Rels(Rel("rId1", "worksheet", base + "worksheets/sheet1.xml") + Rel("rId2", "sharedStrings", base + "sharedStrings.xml")
             + Rel("rId3", "styles", base + "styles.xml") + Rel("rId4", "chartsheet", base + "chartsheets/sheet1.xml")
             + Rel("rId5", "worksheet", base + "worksheets/sheet2.xml"));
    parties["xl/workbook.xml"] = "<?xml version=\"1.0\"?><" + p + "workbook " + ns + " xmlns:r=\"" + NSR + "\">"
        + "<" + p + "workbookPr" + (mode1904 ? " date1904=\"1\"" : "") + "/><" + p + "sheets>"
        + "<" + p + "sheet name=\"Clients\" sheetId=\"1\" r:id=\"rId1\"/>"
        + "<" + p + "sheet name=\"Graphique\" sheetId=\"2\" r:id=\"rId4\"/>"
        + "<" + p + "sheet name=\"Vide\" sheetId=\"3\" r:id=\"rId5\"/>"
        + "</" + p + "sheets></" + p + "workbook>";
    parties["xl/sharedStrings.xml"] = "<?xml version=\"1.0\"?><" + p + "sst " + ns + ">"
        + "<" + p + "si><" + p + "t>Nom</" + p + "t></" + p + "si>"
        + "<" + p + "si><" + p + "r><" + p + "rPr><" + p + "b/></" + p + "rPr><" + p + "t>Dupont </" + p + "t></" + p + "r>"
        + "<" + p + "r><" + p + "t>Étienne</" + p + "t></" + p + "r>"
        + "<" + p + "rPh sb=\"0\" eb=\"1\"><" + p + "t>デュポン</" + p + "t></" + p + "rPh></" + p + "si>"
        + "</" + p + "sst>";
    parties["xl/styles.xml"] = "<?xml version=\"1.0\"?><" + p + "styleSheet " + ns + "><" + p + "numFmts count=\"1\">"
        + "<" + p + "numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\\ hh:mm\"/><" + p + "numFmt numFmtId=\"165\" formatCode=\"[Red]0.00\"/>"
        + "</" + p + "numFmts><" + p + "cellXfs count=\"4\">"
        + "<" + p + "xf numFmtId=\"0\"/><" + p + "xf numFmtId=\"14\"/><" + p + "xf numFmtId=\"164\"/><" + p + "xf numFmtId=\"165\"/>"
        + "</" + p + "cellXfs></" + p + "styleSheet>";
    parties["xl/worksheets/sheet1.xml"] = "<?xml version=\"1.0\"?><" + p + "worksheet " + ns + "><" + p + "sheetData>"
        + feuille + "</" + p + "sheetData></" + p + "worksheet>";
    parties["xl/chartsheets/sheet1.xml"] = "<chartsheet/>";
    parties["xl/worksheets/sheet2.xml"] = "<worksheet xmlns=\"" + std::string(NS) + "\"><sheetData/></worksheet>";
    return parties;
}

std::string C(const std::string& ref, const std::string& attributs, const std::string& contenu, const std::string& p = "")
{
    return "<" + p + "c r=\"" + ref + "\" " + attributs + ">" + contenu + "</" + p + "c>";
}

// Header row: Nom (shared), Quand, Prix, Actif, Code, Note, then empty cells.
std::string Donnees(const std::string& p)
{
    const auto v = [&](const std::string& x) { return "<" + p + "v>" + x + "</" + p + "v>"; };
    const auto is = [&](const std::string& x) { return "<" + p + "is><" + p + "t>" + x + "</" + p + "t></" + p + "is>"; };
    return "<" + p + "row r=\"1\">" + C("A1", "t=\"s\"", v("0"), p) + C("B1", "t=\"inlineStr\"", is("Quand"), p)
         + C("C1", "t=\"str\"", v("Prix"), p) + C("D1", "t=\"inlineStr\"", is("Actif"), p)
         + C("E1", "t=\"inlineStr\"", is("Code"), p) + C("F1", "t=\"inlineStr\"", is("Note"), p)
         + C("H1", "t=\"inlineStr\"", is(""), p) + "</" + p + "row>"
         + "<" + p + "row r=\"2\">" + C("A2", "t=\"s\"", v("1"), p) + C("B2", "s=\"1\"", v("45351"), p)
         + C("C2", "s=\"3\"", v("12.5"), p) + C("D2", "t=\"b\"", v("1"), p) + C("E2", "t=\"e\"", v("#N/A"), p)
         + C("F2", "t=\"inlineStr\"", "<" + p + "is><" + p + "r><" + p + "t>en </" + p + "t></" + p + "r><" + p + "r><" + p + "t>ligne</" + p + "t></" + p + "r></" + p + "is>", p)
         + C("I2", "", "", p) + "</" + p + "row>"
         + "<" + p + "row r=\"4\">" + C("A4", "t=\"inlineStr\"", is(""), p) + C("B4", "s=\"1\"", v("60"), p)
         + C("C4", "", v("-0.25"), p) + C("D4", "t=\"b\"", v("0"), p) + C("E4", "t=\"inlineStr\"", is("X1"), p) + "</" + p + "row>"
         + "<" + p + "row r=\"5\">" + C("B5", "s=\"1\"", v("59"), p) + C("E5", "", v("42"), p) + "</" + p + "row>"
         + "<" + p + "row r=\"6\">" + C("B6", "s=\"1\"", v("61"), p) + "</" + p + "row>"
         + "<" + p + "row r=\"7\">" + C("B7", "t=\"d\"", v("2024-03-31T02:30:00"), p) + "</" + p + "row>"
         + "<" + p + "row r=\"9\"/>";
}

} // namespace

TEST(Excel, XlsxVariantesDeProducteurs)
{
    struct Cas
    {
        const char* nom;
        bool absolu;
        bool prefixe;
    };
    const Cas cas[] = {
        {"relations relatives, sans préfixe", false, false},
        {"cibles absolues", true, false},
        {"préfixes d'espace de noms", false, true},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QTemporaryDir dir;
        const QString chemin = dir.filePath(QStringLiteral("clients.xlsx"));
        EcrireZip(chemin, Classeur(Donnees(c.prefixe ? "x:" : ""), false, c.absolu, c.prefixe));
        EXPECT_EQ(ListerTables(Format::Excel, chemin), (QStringList{QStringLiteral("Clients"), QStringLiteral("Vide")}));
        auto t = Ouvrir(Format::Excel, chemin, QStringLiteral("[Clients$]"));
        ASSERT_EQ(t->NomsChamps(), (QStringList{QStringLiteral("Nom"), QStringLiteral("Quand"), QStringLiteral("Prix"),
                                                QStringLiteral("Actif"), QStringLiteral("Code"), QStringLiteral("Note")}));
        ASSERT_EQ(t->NombreEnregistrements(), 6) << "row 3 is an empty record, row 9 trails";
        EXPECT_EQ(t->Champs()[1].type, TypeChamp::DateHeure);
        EXPECT_EQ(t->Champs()[2].type, TypeChamp::Flottant);
        EXPECT_EQ(t->Champs()[3].type, TypeChamp::Booleen);
        EXPECT_EQ(t->Champs()[4].type, TypeChamp::Chaine);
        EXPECT_EQ(t->Valeur("Nom").toString(), QStringLiteral("Dupont Étienne"));
        EXPECT_EQ(t->Valeur("Quand").toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(0, 0), Qt::UTC));
        EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), 12.5);
        EXPECT_EQ(t->Valeur("Actif"), QVariant(true));
        EXPECT_FALSE(t->Valeur("Code").isValid()) << "an error cell holds no value";
        EXPECT_EQ(t->Valeur("Note").toString(), QStringLiteral("en ligne"));
        t->Suivant();
        for (int i = 0; i < t->NombreChamps(); ++i)
            EXPECT_FALSE(t->Valeur(i).isValid());
        t->Suivant();
        EXPECT_TRUE(t->Valeur("Nom").isValid()) << "an empty inline string is an empty text";
        EXPECT_EQ(t->Valeur("Nom").toString(), QString());
        EXPECT_EQ(t->Valeur("Quand").toDateTime().date(), QDate(1900, 2, 28)) << "serial 60, 29/02/1900";
        EXPECT_DOUBLE_EQ(t->Valeur("Prix").toDouble(), -0.25);
        EXPECT_EQ(t->Valeur("Actif"), QVariant(false));
        EXPECT_EQ(t->Valeur("Code").toString(), QStringLiteral("X1"));
        t->Suivant();
        EXPECT_EQ(t->Valeur("Quand").toDateTime().date(), QDate(1900, 2, 28));
        EXPECT_EQ(t->Valeur("Code").toString(), QStringLiteral("42")) << "mixed column read as text";
        t->Suivant();
        EXPECT_EQ(t->Valeur("Quand").toDateTime().date(), QDate(1900, 3, 1));
        t->Suivant();
        EXPECT_EQ(t->Valeur("Quand").toDateTime(), QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC));
        EXPECT_FALSE(t->Modifiable());
        EXPECT_THROW(t->Modifier("Nom", QStringLiteral("x")), ErreurDonnees);
    }
}

TEST(Excel, Mode1904EtFeuilleVide)
{
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("mac.xlsx"));
    EcrireZip(chemin, Classeur("<row r=\"1\">" + C("A1", "t=\"inlineStr\"", "<is><t>Jour</t></is>") + C("B1", "t=\"inlineStr\"", "<is><t>Heure</t></is>") + "</row>"
                               "<row r=\"2\">" + C("A2", "s=\"1\"", "<v>0</v>") + C("B2", "s=\"2\"", "<v>1.5</v>") + "</row>",
                               true, false, false));
    auto t = Ouvrir(Format::Excel, chemin, QStringLiteral("Clients"));
    EXPECT_EQ(t->Champs()[0].type, TypeChamp::Date);
    EXPECT_EQ(t->Valeur("Jour").toDate(), QDate(1904, 1, 1));
    EXPECT_EQ(t->Valeur("Heure").toDateTime(), QDateTime(QDate(1904, 1, 2), QTime(12, 0), Qt::UTC));
    auto vide = Ouvrir(Format::Excel, chemin, QStringLiteral("Vide"));
    EXPECT_EQ(vide->NombreChamps(), 0);
    EXPECT_TRUE(vide->EstVide());
    try {
        Ouvrir(Format::Excel, chemin, QStringLiteral("Absente"));
        ADD_FAILURE();
    } catch (const ErreurDonnees& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Absente")));
        EXPECT_TRUE(e.Message().contains(chemin));
    }
}

TEST(Excel, ClasseursEndommages)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.xlsx"));
    EcrireZip(source, Classeur(Donnees(""), false, false, false));
    const QByteArray complet = vltest::donnees::Lire(source);
    const QString chemin = dir.filePath(QStringLiteral("abime.xlsx"));
    for (qsizetype longueur : {qsizetype(0), qsizetype(10), complet.size() / 3, complet.size() / 2, complet.size() - 30}) {
        SCOPED_TRACE(longueur);
        vltest::donnees::Ecrire(chemin, complet.left(longueur));
        try {
            for (const auto& f : ListerTables(Format::Excel, chemin)) {
                auto t = Ouvrir(Format::Excel, chemin, f);
                for (t->Premier(); !t->Fin(); t->Suivant())
                    for (int i = 0; i < t->NombreChamps(); ++i)
                        t->Valeur(i);
            }
        } catch (const ErreurDonnees& e) {
            EXPECT_TRUE(e.Message().contains(chemin)) << e.Message().toStdString();
        }
    }
    // Broken XML and a shared string index out of range.
    auto parties = Classeur("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99</v></c></row>", false, false, false);
    EcrireZip(chemin, parties);
    EXPECT_THROW(Ouvrir(Format::Excel, chemin, QStringLiteral("Clients")), ErreurDonnees);
    parties["xl/worksheets/sheet1.xml"] = "<worksheet><sheetData><row><c>";
    EcrireZip(chemin, parties);
    EXPECT_THROW(Ouvrir(Format::Excel, chemin, QStringLiteral("Clients")), ErreurDonnees);
    // An .xls that is not one.
    const QString xls = dir.filePath(QStringLiteral("faux.xls"));
    vltest::donnees::Ecrire(xls, QByteArray(4096, 'x'));
    try {
        ListerTables(Format::Excel, xls);
        ADD_FAILURE();
    } catch (const ErreurDonnees& e) {
        EXPECT_TRUE(e.Message().contains(xls));
    }
}

// A real Excel 97-2003 workbook (fixtures/make_xls.py writes it), read under
// French settings, decimal comma included: sheets in order, field names from
// the first row, values with their types, empty cells NULL.
TEST(Excel, ClasseurXls)
{
    vltest::donnees::LocaleVirgule virgule;  // the C library's, when one can be had
    const QLocale avant;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    struct Restaurer
    {
        QLocale locale;
        ~Restaurer() { QLocale::setDefault(locale); }
    } restaurer{avant};

    const QString chemin = vltest::DossierSources() + QStringLiteral("/tests/platform/data/fixtures/clients.xls");
    ASSERT_TRUE(QFile::exists(chemin)) << chemin.toStdString();
    EXPECT_EQ(ListerTables(Format::Excel, chemin), (QStringList{QStringLiteral("Clients"), QStringLiteral("Commandes")}));

    const auto utc = [](int a, int m, int j, int h, int mi) { return QDateTime(QDate(a, m, j), QTime(h, mi), Qt::UTC); };
    struct Valeur
    {
        QVariant valeur;
        const char* texte;  // as shown under the French locale
    };
    struct Feuille
    {
        const char* nom;
        QStringList champs;
        std::vector<TypeChamp> types;
        std::vector<std::vector<Valeur>> lignes;
    };
    // freexl hands boolean cells over as the numbers 1 and 0, so "Actif" is numeric.
    const Feuille feuilles[] = {
        {"Clients",
         {QStringLiteral("Nom"), QStringLiteral("Ville"), QStringLiteral("Solde"), QStringLiteral("Inscription"),
          QStringLiteral("Actif"), QStringLiteral("Note")},
         {TypeChamp::Chaine, TypeChamp::Chaine, TypeChamp::Flottant, TypeChamp::Date, TypeChamp::Flottant,
          TypeChamp::Chaine},
         {{{QStringLiteral("Hélène Dupré"), "Hélène Dupré"}, {QStringLiteral("Château-Gontier"), "Château-Gontier"},
           {1234.56, "1234,56"}, {QDate(2024, 2, 29), "29/02/2024"}, {1.0, "1"},
           {QStringLiteral("Œuvre complète"), "Œuvre complète"}},
          {{QStringLiteral("Jean Martin"), "Jean Martin"}, {QStringLiteral("Saint-Étienne"), "Saint-Étienne"},
           {-0.25, "-0,25"}, {QDate(1999, 12, 31), "31/12/1999"}, {0.0, "0"}, {QVariant(), ""}},
          {{QStringLiteral("Zoé Lefèvre"), "Zoé Lefèvre"}, {QVariant(), ""}, {0.1, "0,1"},
           {QDate(1900, 3, 1), "01/03/1900"}, {1.0, "1"}, {QStringLiteral("«\u00a0VIP\u00a0»"), "«\u00a0VIP\u00a0»"}}}},
        {"Commandes",
         {QStringLiteral("Numéro"), QStringLiteral("Client"), QStringLiteral("Montant"), QStringLiteral("Passée le")},
         {TypeChamp::Flottant, TypeChamp::Chaine, TypeChamp::Flottant, TypeChamp::DateHeure},
         {{{1001.0, "1001"}, {QStringLiteral("Hélène Dupré"), "Hélène Dupré"}, {19.99, "19,99"},
           {utc(2024, 3, 31, 14, 30), "31/03/2024 14:30:00"}},
          {{1002.0, "1002"}, {QStringLiteral("Jean Martin"), "Jean Martin"}, {1000000.5, "1000000,5"},
           {utc(2023, 12, 31, 23, 59), "31/12/2023 23:59:00"}}}},
    };
    for (const auto& f : feuilles) {
        SCOPED_TRACE(f.nom);
        auto t = Ouvrir(Format::Excel, chemin, QString::fromUtf8(f.nom));
        ASSERT_EQ(t->NomsChamps(), f.champs);
        for (size_t c = 0; c < f.types.size(); ++c)
            EXPECT_EQ(t->Champs()[int(c)].type, f.types[c]) << f.champs[int(c)].toStdString();
        ASSERT_EQ(t->NombreEnregistrements(), int(f.lignes.size())) << "the trailing empty row is no record";
        t->Premier();
        for (const auto& ligne : f.lignes) {
            SCOPED_TRACE(t->Texte(0).toStdString());
            for (size_t c = 0; c < ligne.size(); ++c) {
                const QVariant v = t->Valeur(int(c));
                EXPECT_EQ(v.typeId(), ligne[c].valeur.typeId()) << f.champs[int(c)].toStdString();
                EXPECT_EQ(v, ligne[c].valeur) << f.champs[int(c)].toStdString() << " = " << v.toString().toStdString();
                EXPECT_EQ(t->Texte(int(c)), QString::fromUtf8(ligne[c].texte)) << f.champs[int(c)].toStdString();
            }
            t->Suivant();
        }
        EXPECT_TRUE(t->Fin());
    }
}
