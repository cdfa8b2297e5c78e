// Excel workbooks: .xls through freexl, .xlsx through our own reader over
// libzip and QXmlStreamReader. A sheet is a table whose first row names the
// fields.
#include "data/Pilotes.h"

#include <freexl.h>
#include <zip.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTime>
#include <QXmlStreamReader>

#include <cmath>

namespace vl::data::detail {

namespace {

using Grille = QList<QList<QVariant>>;

QString Illisible(const QString& fichier)
{
    return tr("Le classeur Excel %1 est endommagé ou illisible").arg(fichier);
}

// Sheet names as the database layer wrote them: [Feuil1$], 'Feuil 1$', Feuil1$.
QString NomFeuille(const QString& nom)
{
    QString n = nom.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']')))
        n = n.mid(1, n.size() - 2);
    if (n.size() >= 2 && n.startsWith(QLatin1Char('\'')) && n.endsWith(QLatin1Char('\'')))
        n = n.mid(1, n.size() - 2);
    if (n.endsWith(QLatin1Char('$')))
        n.chop(1);
    return n;
}

// ---- xlsx -------------------------------------------------------------

class Zip
{
public:
    explicit Zip(const QString& fichier) : m_fichier(fichier)
    {
        int erreur = 0;
        m_zip = zip_open(QFile::encodeName(fichier).constData(), ZIP_RDONLY, &erreur);
        if (!m_zip)
            throw ErreurDonnees(Illisible(fichier), fichier);
    }
    ~Zip()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    bool Existe(const QString& nom) const
    {
        return zip_name_locate(m_zip, nom.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }
    QByteArray Lire(const QString& nom) const
    {
        const zip_int64_t index = zip_name_locate(m_zip, nom.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            throw ErreurDonnees(Illisible(m_fichier), m_fichier);
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
            || st.size > 512ull * 1024 * 1024)
            throw ErreurDonnees(Illisible(m_fichier), m_fichier);
        zip_file_t* f = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!f)
            throw ErreurDonnees(Illisible(m_fichier), m_fichier);
        QByteArray octets(qsizetype(st.size), '\0');
        const zip_int64_t lus = octets.isEmpty() ? 0 : zip_fread(f, octets.data(), st.size);
        zip_fclose(f);
        if (lus != zip_int64_t(st.size))
            throw ErreurDonnees(Illisible(m_fichier), m_fichier);
        return octets;
    }

private:
    QString m_fichier;
    zip_t* m_zip = nullptr;
};

QString Attribut(const QXmlStreamReader& x, QLatin1String local)
{
    for (const auto& a : x.attributes())
        if (a.name() == local)
            return a.value().toString();
    return QString();
}

// Relationship targets are relative to the part's folder, or absolute from
// the package root when they start with '/'.
QString Resoudre(const QString& dossier, const QString& cible)
{
    if (cible.startsWith(QLatin1Char('/')))
        return cible.mid(1);
    QStringList parties = (dossier.isEmpty() ? QString() : dossier + QLatin1Char('/') + cible)
                              .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (dossier.isEmpty())
        parties = cible.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList resultat;
    for (const auto& p : parties) {
        if (p == QLatin1String(".."))
        {
            if (!resultat.isEmpty())
                resultat.removeLast();
        } else if (p != QLatin1String(".")) {
            resultat << p;
        }
    }
    return resultat.join(QLatin1Char('/'));
}

struct Relation
{
    QString type;
    QString cible;
};

QHash<QString, Relation> LireRelations(const Zip& zip, const QString& partie, const QString& fichier)
{
    const int barre = int(partie.lastIndexOf(QLatin1Char('/')));
    const QString dossier = barre < 0 ? QString() : partie.left(barre);
    const QString nom = barre < 0 ? partie : partie.mid(barre + 1);
    const QString rels = (dossier.isEmpty() ? QString() : dossier + QLatin1Char('/'))
                       + QStringLiteral("_rels/") + nom + QStringLiteral(".rels");
    QHash<QString, Relation> liste;
    if (!zip.Existe(rels))
        return liste;
    QXmlStreamReader x(zip.Lire(rels));
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("Relationship")) {
            if (Attribut(x, QLatin1String("TargetMode")) == QLatin1String("External"))
                continue;
            liste.insert(Attribut(x, QLatin1String("Id")),
                         Relation{Attribut(x, QLatin1String("Type")),
                                  Resoudre(dossier, Attribut(x, QLatin1String("Target")))});
        }
    }
    if (x.hasError())
        throw ErreurDonnees(Illisible(fichier), fichier);
    return liste;
}

bool EstFormatDate(int id, const QString& code)
{
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47)
        || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Date letters outside quoted text, escapes and [colour]/[locale] tags.
    bool guillemets = false;
    int crochets = 0;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"'))
            guillemets = !guillemets;
        else if (guillemets)
            continue;
        else if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('['))
            ++crochets;
        else if (c == QLatin1Char(']'))
            crochets = qMax(0, crochets - 1);
        else if (crochets == 0 && QStringLiteral("dmyhsDMYHS").contains(c))
            return true;
    }
    return false;
}

QVariant DateSerie(double serie, bool mode1904)
{
    if (!std::isfinite(serie) || serie < 0 || serie > 2958466)
        return QVariant();
    double jours = std::floor(serie);
    qint64 ms = std::llround((serie - jours) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        jours += 1;
    }
    QDate date;
    if (mode1904) {
        date = QDate(1904, 1, 1).addDays(qint64(jours));
    } else if (jours < 60) {
        date = QDate(1899, 12, 31).addDays(qint64(jours));
    } else if (jours == 60) {
        // Excel's 29 February 1900 never existed: keep the day before.
        date = QDate(1900, 2, 28);
    } else {
        date = QDate(1899, 12, 30).addDays(qint64(jours));
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

// Text of an <si> or <is> element: its <t>, or the <t> of its runs, leaving
// out phonetic runs.
QString TexteRiche(QXmlStreamReader& x)
{
    const QString fin = x.name().toString();
    QString texte;
    int phonetique = 0;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::StartElement) {
            if (x.name() == QLatin1String("rPh"))
                ++phonetique;
            else if (x.name() == QLatin1String("t") && phonetique == 0)
                texte += x.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (t == QXmlStreamReader::EndElement) {
            if (x.name() == QLatin1String("rPh"))
                --phonetique;
            else if (x.name() == fin)
                break;
        }
    }
    return texte;
}

int ColonneDeReference(const QString& ref)
{
    int col = 0;
    for (const QChar c : ref) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            col = col * 26 + (c.unicode() - 'A' + 1);
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            col = col * 26 + (c.unicode() - 'a' + 1);
        else
            break;
        if (col > 16384)
            return -1;
    }
    return col - 1;
}

struct ClasseurXlsx
{
    QStringList feuilles;
    QStringList parties;
    QString partieClasseur;
    bool mode1904 = false;
};

ClasseurXlsx LireClasseur(const Zip& zip, const QString& fichier)
{
    ClasseurXlsx c;
    c.partieClasseur = QStringLiteral("xl/workbook.xml");
    const auto racine = LireRelations(zip, QString(), fichier);
    for (const auto& r : racine)
        if (r.type.endsWith(QLatin1String("/officeDocument")))
            c.partieClasseur = r.cible;
    if (!zip.Existe(c.partieClasseur))
        throw ErreurDonnees(Illisible(fichier), fichier);
    const auto relations = LireRelations(zip, c.partieClasseur, fichier);
    QXmlStreamReader x(zip.Lire(c.partieClasseur));
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("workbookPr")) {
            const QString v = Attribut(x, QLatin1String("date1904"));
            c.mode1904 = v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        } else if (x.name() == QLatin1String("sheet")) {
            const QString id = Attribut(x, QLatin1String("id"));
            const auto it = relations.constFind(id);
            if (it == relations.constEnd() || !it->type.endsWith(QLatin1String("/worksheet")))
                continue;  // chart sheets and dialog sheets hold no table
            c.feuilles << Attribut(x, QLatin1String("name"));
            c.parties << it->cible;
        }
    }
    if (x.hasError())
        throw ErreurDonnees(Illisible(fichier), fichier);
    return c;
}

Grille LireXlsx(const QString& fichier, const QString& feuille)
{
    Zip zip(fichier);
    const ClasseurXlsx c = LireClasseur(zip, fichier);
    int index = -1;
    for (int i = 0; i < c.feuilles.size(); ++i)
        if (c.feuilles[i].compare(feuille, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0)
        throw ErreurDonnees(tr("La feuille « %1 » n'existe pas dans le classeur %2").arg(feuille, fichier),
                            fichier);
    const auto relations = LireRelations(zip, c.partieClasseur, fichier);
    QString partieChaines, partieStyles;
    for (const auto& r : relations) {
        if (r.type.endsWith(QLatin1String("/sharedStrings")))
            partieChaines = r.cible;
        else if (r.type.endsWith(QLatin1String("/styles")))
            partieStyles = r.cible;
    }

    QStringList chaines;
    if (!partieChaines.isEmpty() && zip.Existe(partieChaines)) {
        QXmlStreamReader x(zip.Lire(partieChaines));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si"))
                chaines << TexteRiche(x);
        if (x.hasError())
            throw ErreurDonnees(Illisible(fichier), fichier);
    }

    QList<bool> stylesDate;
    if (!partieStyles.isEmpty() && zip.Existe(partieStyles)) {
        QHash<int, QString> formats;
        QXmlStreamReader x(zip.Lire(partieStyles));
        bool dansXfs = false;
        while (!x.atEnd()) {
            const auto t = x.readNext();
            if (t == QXmlStreamReader::StartElement) {
                if (x.name() == QLatin1String("numFmt"))
                    formats.insert(Attribut(x, QLatin1String("numFmtId")).toInt(),
                                   Attribut(x, QLatin1String("formatCode")));
                else if (x.name() == QLatin1String("cellXfs"))
                    dansXfs = true;
                else if (dansXfs && x.name() == QLatin1String("xf")) {
                    const int id = Attribut(x, QLatin1String("numFmtId")).toInt();
                    stylesDate << EstFormatDate(id, formats.value(id));
                }
            } else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("cellXfs")) {
                dansXfs = false;
            }
        }
        if (x.hasError())
            throw ErreurDonnees(Illisible(fichier), fichier);
    }

    Grille grille;
    QXmlStreamReader x(zip.Lire(c.parties[index]));
    int ligneCourante = -1;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (x.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = Attribut(x, QLatin1String("r")).toInt(&ok);
            ligneCourante = ok && r > 0 ? r - 1 : ligneCourante + 1;
            if (ligneCourante > 1048576)
                throw ErreurDonnees(Illisible(fichier), fichier);
            continue;
        }
        if (x.name() != QLatin1String("c"))
            continue;
        const QString ref = Attribut(x, QLatin1String("r"));
        const QString type = Attribut(x, QLatin1String("t"));
        const int style = Attribut(x, QLatin1String("s")).toInt();
        int colonne = ref.isEmpty() ? -1 : ColonneDeReference(ref);
        if (ligneCourante < 0)
            ligneCourante = 0;
        while (grille.size() <= ligneCourante)
            grille.append(QList<QVariant>());
        QList<QVariant>& ligne = grille[ligneCourante];
        if (colonne < 0)
            colonne = int(ligne.size());
        QString v;
        QString enLigne;
        bool aEnLigne = false;
        while (!x.atEnd()) {
            const auto t = x.readNext();
            if (t == QXmlStreamReader::StartElement) {
                if (x.name() == QLatin1String("v"))
                    v = x.readElementText();
                else if (x.name() == QLatin1String("is")) {
                    enLigne = TexteRiche(x);
                    aEnLigne = true;
                }
            } else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("c")) {
                break;
            }
        }
        QVariant valeur;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = v.toInt(&ok);
            if (!ok || i < 0 || i >= chaines.size())
                throw ErreurDonnees(Illisible(fichier), fichier);
            valeur = chaines[i];
        } else if (type == QLatin1String("inlineStr")) {
            valeur = aEnLigne ? enLigne : v;
        } else if (type == QLatin1String("str")) {
            valeur = v;
        } else if (type == QLatin1String("b")) {
            if (!v.isEmpty())
                valeur = v.trimmed() == QLatin1String("1") || v.trimmed() == QLatin1String("true");
        } else if (type == QLatin1String("e")) {
            valeur = QVariant();  // #N/A, #DIV/0!... hold no value
        } else if (type == QLatin1String("d")) {
            QDateTime dt = QDateTime::fromString(v.trimmed(), Qt::ISODateWithMs);
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(v.trimmed(), Qt::ISODate), QTime(0, 0));
            if (dt.isValid())
                valeur = QDateTime(dt.date(), dt.time(), Qt::UTC);
        } else if (!v.isEmpty()) {
            bool ok = false;
            const double d = v.trimmed().toDouble(&ok);
            if (!ok)
                valeur = v;
            else if (style >= 0 && style < stylesDate.size() && stylesDate[style])
                valeur = DateSerie(d, c.mode1904);
            else
                valeur = d;
        }
        if (colonne > 16384)
            throw ErreurDonnees(Illisible(fichier), fichier);
        while (ligne.size() <= colonne)
            ligne.append(QVariant());
        ligne[colonne] = valeur;
    }
    if (x.hasError())
        throw ErreurDonnees(Illisible(fichier), fichier);
    return grille;
}

// ---- xls --------------------------------------------------------------

struct Xls
{
    const void* h = nullptr;
    ~Xls()
    {
        if (h)
            freexl_close(h);
    }
};

void OuvrirXls(Xls& xls, const QString& fichier)
{
    if (!QFileInfo::exists(fichier))
        throw ErreurDonnees(tr("Le fichier %1 n'existe pas").arg(fichier), fichier);
    if (freexl_open(QFile::encodeName(fichier).constData(), &xls.h) != FREEXL_OK) {
        xls.h = nullptr;
        throw ErreurDonnees(Illisible(fichier), fichier);
    }
    unsigned int motDePasse = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_PASSWORD, &motDePasse) == FREEXL_OK
        && motDePasse == FREEXL_BIFF_OBFUSCATED)
        throw ErreurDonnees(tr("Le classeur %1 est protégé par un mot de passe").arg(fichier), fichier);
}

QStringList FeuillesXls(const Xls& xls, const QString& fichier)
{
    unsigned int n = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &n) != FREEXL_OK)
        throw ErreurDonnees(Illisible(fichier), fichier);
    QStringList noms;
    for (unsigned int i = 0; i < n; ++i) {
        const char* nom = nullptr;
        if (freexl_get_worksheet_name(xls.h, (unsigned short)i, &nom) != FREEXL_OK || !nom)
            throw ErreurDonnees(Illisible(fichier), fichier);
        noms << QString::fromUtf8(nom);
    }
    return noms;
}

Grille LireXls(const QString& fichier, const QString& feuille)
{
    Xls xls;
    OuvrirXls(xls, fichier);
    const QStringList noms = FeuillesXls(xls, fichier);
    int index = -1;
    for (int i = 0; i < noms.size(); ++i)
        if (noms[i].compare(feuille, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0)
        throw ErreurDonnees(tr("La feuille « %1 » n'existe pas dans le classeur %2").arg(feuille, fichier),
                            fichier);
    unsigned int lignes = 0;
    unsigned short colonnes = 0;
    if (freexl_select_active_worksheet(xls.h, (unsigned short)index) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.h, &lignes, &colonnes) != FREEXL_OK)
        throw ErreurDonnees(Illisible(fichier), fichier);
    Grille grille;
    for (unsigned int r = 0; r < lignes; ++r) {
        QList<QVariant> ligne;
        for (unsigned short c = 0; c < colonnes; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls.h, r, c, &cell) != FREEXL_OK)
                throw ErreurDonnees(Illisible(fichier), fichier);
            QVariant v;
            switch (cell.type) {
            case FREEXL_CELL_INT: v = double(cell.value.int_value); break;
            case FREEXL_CELL_DOUBLE: v = cell.value.double_value; break;
            case FREEXL_CELL_TEXT: case FREEXL_CELL_SST_TEXT:
                v = QString::fromUtf8(cell.value.text_value);
                break;
            case FREEXL_CELL_DATE:
                v = QDateTime(QDate::fromString(QString::fromLatin1(cell.value.text_value), Qt::ISODate),
                              QTime(0, 0), Qt::UTC);
                break;
            case FREEXL_CELL_DATETIME: {
                const QDateTime dt = QDateTime::fromString(QString::fromLatin1(cell.value.text_value),
                                                           QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                if (dt.isValid())
                    v = QDateTime(dt.date(), dt.time(), Qt::UTC);
                break;
            }
            case FREEXL_CELL_TIME: {
                const QTime t = QTime::fromString(QString::fromLatin1(cell.value.text_value),
                                                  QStringLiteral("HH:mm:ss"));
                if (t.isValid())
                    v = t;
                break;
            }
            default: break;
            }
            ligne.append(v);
        }
        grille.append(ligne);
    }
    return grille;
}

bool EstXlsx(const QString& fichier)
{
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly))
        return fichier.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    return f.read(2) == "PK";
}

// ---- the sheet as a table ---------------------------------------------

class FeuilleExcel final : public Dataset
{
public:
    FeuilleExcel(const QString& fichier, const QString& feuille, Grille grille)
        : Dataset(fichier, feuille)
    {
        // Columns: up to the last one holding a name or a value.
        int colonnes = 0;
        for (const auto& l : grille)
            for (int c = int(l.size()) - 1; c >= colonnes; --c)
                if (l[c].isValid() && !(l[c].typeId() == QMetaType::QString && l[c].toString().isEmpty())) {
                    colonnes = c + 1;
                    break;
                }
        // Trailing empty rows are no records.
        while (grille.size() > 1) {
            bool vide = true;
            for (const auto& v : grille.last())
                vide &= !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
            if (!vide)
                break;
            grille.removeLast();
        }
        QList<DefinitionChamp> champs;
        QStringList vus;
        const QList<QVariant> entete = grille.isEmpty() ? QList<QVariant>() : grille.first();
        for (int c = 0; c < colonnes; ++c) {
            QString nom = c < entete.size() ? entete[c].toString().trimmed() : QString();
            if (entete.value(c).typeId() == QMetaType::Double)
                nom = QString::number(entete[c].toDouble(), 'g', 15);
            if (nom.isEmpty() || vus.contains(nom, Qt::CaseInsensitive))
                nom = QStringLiteral("F%1").arg(c + 1);
            vus << nom;
            DefinitionChamp d;
            d.nom = nom;
            champs.append(d);
        }
        for (qsizetype r = 1; r < grille.size(); ++r) {
            QList<QVariant> ligne = grille[r];
            ligne.resize(colonnes);
            m_lignes.append(ligne);
        }
        // Field types from the values: one kind throughout, or text.
        for (int c = 0; c < colonnes; ++c) {
            int type = -1;  // QMetaType of the column, 0 when mixed
            bool heure = false;
            for (const auto& l : m_lignes) {
                const QVariant& v = l[c];
                if (!v.isValid())
                    continue;
                const int t = v.typeId();
                if (t == QMetaType::QDateTime && v.toDateTime().time() != QTime(0, 0))
                    heure = true;
                type = type == -1 || type == t ? t : 0;
            }
            switch (type) {
            case QMetaType::Double: champs[c].type = TypeChamp::Flottant; break;
            case QMetaType::Bool: champs[c].type = TypeChamp::Booleen; break;
            case QMetaType::QDateTime: champs[c].type = heure ? TypeChamp::DateHeure : TypeChamp::Date; break;
            case QMetaType::QTime: champs[c].type = TypeChamp::Heure; break;
            default: champs[c].type = TypeChamp::Chaine; break;
            }
            for (auto& l : m_lignes) {
                QVariant& v = l[c];
                if (!v.isValid())
                    continue;
                if (champs[c].type == TypeChamp::Date)
                    v = v.toDateTime().date();
                else if (champs[c].type == TypeChamp::Chaine && v.typeId() != QMetaType::QString) {
                    if (v.typeId() == QMetaType::Double)
                        v = QString::number(v.toDouble(), 'g', 15);
                    else if (v.typeId() == QMetaType::QDateTime)
                        v = v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
                    else if (v.typeId() == QMetaType::Bool)
                        v = v.toBool() ? tr("Vrai") : tr("Faux");
                    else
                        v = v.toString();
                }
                if (champs[c].type == TypeChamp::Chaine)
                    champs[c].taille = qMax(champs[c].taille, int(v.toString().size()));
            }
        }
        Initialiser(champs, int(m_lignes.size()));
        DefinirModifiable(false, tr("les classeurs Excel sont ouverts en lecture seule"));
    }

protected:
    QList<QVariant> LireEnregistrement(int index) const override { return m_lignes.at(index); }

private:
    Grille m_lignes;
};

} // namespace

std::unique_ptr<Dataset> OuvrirExcel(const QString& fichier, const QString& feuille)
{
    if (!QFileInfo::exists(fichier))
        throw ErreurDonnees(tr("Le fichier %1 n'existe pas").arg(fichier), fichier);
    const QString nom = NomFeuille(feuille);
    Grille g = EstXlsx(fichier) ? LireXlsx(fichier, nom) : LireXls(fichier, nom);
    return std::make_unique<FeuilleExcel>(fichier, nom, std::move(g));
}

QList<ObjetSource> ListerExcel(const QString& fichier)
{
    if (!QFileInfo::exists(fichier))
        throw ErreurDonnees(tr("Le fichier %1 n'existe pas").arg(fichier), fichier);
    QStringList noms;
    if (EstXlsx(fichier)) {
        Zip zip(fichier);
        noms = LireClasseur(zip, fichier).feuilles;
    } else {
        Xls xls;
        OuvrirXls(xls, fichier);
        noms = FeuillesXls(xls, fichier);
    }
    QList<ObjetSource> liste;
    for (const auto& n : noms)
        liste.append(ObjetSource{n, false});
    return liste;
}

} // namespace vl::data::detail
