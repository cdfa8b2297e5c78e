#include "data/Pilotes.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vl::data {

namespace {

QString CheminTable(const QString& base, const QString& table)
{
    if (QFileInfo(table).isAbsolute() || base.isEmpty())
        return table;
    return QDir(base).filePath(table);
}

} // namespace

std::unique_ptr<Dataset> Ouvrir(Format format, const QString& base, const QString& table,
                                const OptionsOuverture& options)
{
    switch (format) {
    case Format::DBase:
        return detail::OuvrirDBase(CheminTable(base, table));
    case Format::Paradox:
        return detail::OuvrirParadox(CheminTable(base, table));
    case Format::Access:
        return detail::OuvrirAccess(base, table, options);
    case Format::Excel:
        return detail::OuvrirExcel(base, table);
    }
    return nullptr;
}

QList<ObjetSource> ListerObjets(Format format, const QString& base, const OptionsOuverture& options)
{
    switch (format) {
    case Format::DBase:
        return detail::ListerDBase(base);
    case Format::Paradox:
        return detail::ListerParadox(base);
    case Format::Access:
        return detail::ListerAccess(base, options);
    case Format::Excel:
        return detail::ListerExcel(base);
    }
    return {};
}

QStringList ListerTables(Format format, const QString& base, const OptionsOuverture& options)
{
    QStringList noms;
    for (const auto& o : ListerObjets(format, base, options))
        noms << o.nom;
    return noms;
}

namespace detail {

QString tr(const char* texte)
{
    return QCoreApplication::translate("vl::data", texte);
}

QList<ObjetSource> ListerFichiers(const QString& dossier, const QString& extension)
{
    QDir d(dossier);
    if (!d.exists())
        throw ErreurDonnees(tr("Le dossier %1 n'existe pas").arg(dossier), dossier);
    QList<ObjetSource> liste;
    const auto noms = d.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const auto& n : noms)
        if (n.endsWith(extension, Qt::CaseInsensitive))
            liste.append(ObjetSource{n, false});
    return liste;
}

QString NomCodePage(int codePage)
{
    switch (codePage) {
    case 437: return QStringLiteral("IBM437");
    case 737: return QStringLiteral("IBM737");
    case 850: return QStringLiteral("IBM850");
    case 852: return QStringLiteral("IBM852");
    case 857: return QStringLiteral("IBM857");
    case 860: return QStringLiteral("IBM860");
    case 861: return QStringLiteral("IBM861");
    case 863: return QStringLiteral("IBM863");
    case 865: return QStringLiteral("IBM865");
    case 866: return QStringLiteral("IBM866");
    case 874: return QStringLiteral("windows-874");
    case 932: return QStringLiteral("Shift_JIS");
    case 936: return QStringLiteral("GBK");
    case 949: return QStringLiteral("windows-949");
    case 950: return QStringLiteral("Big5");
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256: case 1257:
    case 1258:
        return QStringLiteral("windows-%1").arg(codePage);
    case 10000: return QStringLiteral("macintosh");
    case 65001: return QStringLiteral("UTF-8");
    default: return QStringLiteral("windows-1252");
    }
}

QString Decoder(const QByteArray& octets, int codePage)
{
    QStringDecoder decodeur(qPrintable(NomCodePage(codePage)));
    if (!decodeur.isValid())
        decodeur = QStringDecoder("windows-1252");
    if (!decodeur.isValid())
        return QString::fromLatin1(octets);
    return decodeur.decode(octets);
}

bool Encoder(const QString& texte, int codePage, QByteArray& octets)
{
    QStringEncoder encodeur(qPrintable(NomCodePage(codePage)));
    if (!encodeur.isValid())
        encodeur = QStringEncoder("windows-1252");
    octets = encodeur.encode(texte);
    // A character the page cannot hold comes back changed.
    return Decoder(octets, codePage) == texte;
}

} // namespace detail
} // namespace vl::data
