#include "userdb/ConstructionUserDb.h"

#include "userdb/ChampsPersos.h"
#include "userdb/UserDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace {

QString Tr(const char* texte)
{
    return QCoreApplication::translate("vellumar-mkuserdb", texte);
}

std::atomic<int> g_numero{0};

// The seven standard columns of Articles and the categories table.
const char* const kSchema[] = {
    "CREATE TABLE \"Articles\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Selected\" BOOLEAN, "
    "\"Designation\" text(255), \"Categorie\" text(50), \"Description\" memo text, \"Image\" BLOB, "
    "\"Compteur\" INTEGER)",
    "CREATE TABLE \"Categories\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Title\" text(50))",
};

class Construction
{
public:
    Construction(const QString& dossier, const QString& fichier) : m_dossier(dossier), m_fichier(fichier) {}

    [[noreturn]] void Echec(const QString& detail) const
    {
        throw EUserDb(Tr("Construction de %1 impossible : %2").arg(QDir::toNativeSeparators(m_fichier), detail), m_fichier);
    }

    void Executer(QSqlDatabase& base, const QString& sql, const QVariantList& valeurs = {}) const
    {
        QSqlQuery q(base);
        if (!q.prepare(sql))
            Echec(q.lastError().text() + QStringLiteral(" [") + sql + QLatin1Char(']'));
        for (const QVariant& v : valeurs)
            q.addBindValue(v);
        if (!q.exec())
            Echec(q.lastError().text() + QStringLiteral(" [") + sql + QLatin1Char(']'));
    }

    QVariant ValeurArticle(const QString& colonne, const QString& type, const QJsonValue& v, int numero) const
    {
        if (v.isNull() || v.isUndefined())
            return QVariant();
        if (colonne == QLatin1String("Image")) {
            const QString nom = v.toString();
            QFile f(QDir(m_dossier).filePath(nom));
            if (nom.isEmpty() || !f.open(QIODevice::ReadOnly))
                Echec(Tr("article %1 : image %2 illisible").arg(numero).arg(f.fileName()));
            return f.readAll();
        }
        if (type == QLatin1String("BOOLEAN"))
            return v.toBool() ? 1 : 0;
        if (v.isDouble())
            return v.toDouble();
        if (v.isBool())
            return v.toBool() ? 1 : 0;
        return v.toString();
    }

    TBilanUserDb Construire()
    {
        QFile source(QDir(m_dossier).filePath(QStringLiteral("userdb.json")));
        if (!source.open(QIODevice::ReadOnly))
            Echec(Tr("%1 illisible").arg(source.fileName()));
        QJsonParseError erreur;
        const QJsonDocument doc = QJsonDocument::fromJson(source.readAll(), &erreur);
        if (!doc.isObject())
            Echec(Tr("%1 : %2").arg(source.fileName(), erreur.errorString()));
        const QJsonObject racine = doc.object();

        QDir().mkpath(QFileInfo(m_fichier).absolutePath());
        const QString temporaire = m_fichier + QStringLiteral(".tmp");
        QFile::remove(temporaire);
        const QString nomConnexion = QStringLiteral("vl_mkuserdb_%1").arg(++g_numero);
        TBilanUserDb bilan;
        {
            QSqlDatabase base = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nomConnexion);
            base.setDatabaseName(temporaire);
            try {
                if (!base.open())
                    Echec(base.lastError().text());
                Executer(base, QStringLiteral("BEGIN"));
                for (const char* sql : kSchema)
                    Executer(base, QString::fromUtf8(sql));
                QList<QPair<QString, QString>> colonnes = {
                    {QStringLiteral("Selected"), QStringLiteral("BOOLEAN")},
                    {QStringLiteral("Designation"), QString()},
                    {QStringLiteral("Categorie"), QString()},
                    {QStringLiteral("Description"), QString()},
                    {QStringLiteral("Image"), QString()},
                    {QStringLiteral("Compteur"), QString()}};
                for (const QJsonValue& c : racine.value(QStringLiteral("champs")).toArray()) {
                    const QJsonObject o = c.toObject();
                    const QString nom = o.value(QStringLiteral("Nom")).toString();
                    if (nom.isEmpty())
                        Echec(Tr("champ sans nom"));
                    const QString declare = TypeDeclare(o.value(QStringLiteral("Type")).toString(),
                                                        o.value(QStringLiteral("Taille")).toInt());
                    Executer(base, QStringLiteral("ALTER TABLE \"Articles\" ADD ") + TdmBd::Identifiant(nom)
                                       + QLatin1Char(' ') + declare);
                    colonnes.append({nom, declare});
                    ++bilan.champs;
                }
                for (const QJsonValue& c : racine.value(QStringLiteral("categories")).toArray()) {
                    const QJsonObject o = c.toObject();
                    Executer(base, QStringLiteral("INSERT INTO \"Categories\" (\"Id\", \"Title\") VALUES (?, ?)"),
                             {o.value(QStringLiteral("Id")).toInt(), o.value(QStringLiteral("Title")).toString()});
                    ++bilan.categories;
                }
                int numero = 0;
                for (const QJsonValue& a : racine.value(QStringLiteral("articles")).toArray()) {
                    ++numero;
                    const QJsonObject o = a.toObject();
                    for (auto it = o.begin(); it != o.end(); ++it) {
                        bool connue = false;
                        for (const auto& c : colonnes)
                            connue = connue || c.first == it.key();
                        if (!connue)
                            Echec(Tr("article %1 : colonne inconnue %2").arg(numero).arg(it.key()));
                    }
                    QStringList noms, marques;
                    QVariantList valeurs;
                    for (const auto& c : colonnes) {
                        if (!o.contains(c.first))
                            continue;
                        noms << TdmBd::Identifiant(c.first);
                        marques << QStringLiteral("?");
                        valeurs << ValeurArticle(c.first, c.second, o.value(c.first), numero);
                    }
                    if (noms.isEmpty())
                        Executer(base, QStringLiteral("INSERT INTO \"Articles\" DEFAULT VALUES"));
                    else
                        Executer(base, QStringLiteral("INSERT INTO \"Articles\" (") + noms.join(QStringLiteral(", "))
                                           + QStringLiteral(") VALUES (") + marques.join(QStringLiteral(", ")) + QLatin1Char(')'),
                                 valeurs);
                    ++bilan.articles;
                }
                Executer(base, QStringLiteral("COMMIT"));
            } catch (...) {
                base.close();
                base = QSqlDatabase();
                QSqlDatabase::removeDatabase(nomConnexion);
                QFile::remove(temporaire);
                throw;
            }
            base.close();
        }
        QSqlDatabase::removeDatabase(nomConnexion);
        QFile::remove(m_fichier);
        if (!QFile::rename(temporaire, m_fichier))
            Echec(Tr("renommage de %1 impossible").arg(temporaire));
        return bilan;
    }

private:
    QString m_dossier;
    QString m_fichier;
};

} // namespace

TBilanUserDb ConstruireFichierUserDb(const QString& dossierDonnees, const QString& fichier)
{
    return Construction(dossierDonnees, fichier).Construire();
}
