#include "Dialecte.h"
#include "Erreur.h"
#include <QCollator>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace vl::persistence {

QString Dialecte::Identifiant(const QString& nom) const
{
    QString n = nom;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString Dialecte::ExpressionTri(const QString& expression, const Attribut*) const { return expression; }

void Dialecte::Preparer(QSqlDatabase&) const {}

namespace {

// Text order for names shown to users: French rules, case and accents ignored
// at the first level ("école" sorts with "Ecole", before "Zèbre").
int ComparerTextes(void*, int l1, const void* s1, int l2, const void* s2)
{
    static const QCollator collateur = [] {
        QCollator c(QLocale(QLocale::French, QLocale::France));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    const QString a = QString::fromUtf8(static_cast<const char*>(s1), l1);
    const QString b = QString::fromUtf8(static_cast<const char*>(s2), l2);
    const int r = collateur.compare(a, b);
    return r != 0 ? r : QString::compare(a, b);
}

class DialecteSqlite : public Dialecte
{
public:
    QString TypeColonne(const Attribut& a) const override
    {
        switch (a.type) {
        case TypeAttribut::Chaine: return QStringLiteral("VARCHAR(%1)").arg(a.tailleMax);
        case TypeAttribut::Entier:
        case TypeAttribut::Booleen: return QStringLiteral("INTEGER");
        case TypeAttribut::Reel: return QStringLiteral("REAL");
        case TypeAttribut::Blob: return QStringLiteral("BLOB");
        default: return QStringLiteral("TEXT");
        }
    }
    QString TypeIdentite() const override { return QStringLiteral("VARCHAR(40)"); }
    QString ExpressionTri(const QString& expression, const Attribut* a) const override
    {
        if (a && (a->type == TypeAttribut::Chaine || a->type == TypeAttribut::Memo))
            return expression + QStringLiteral(" COLLATE VLTEXTE");
        return expression;
    }
    void Preparer(QSqlDatabase& base) const override
    {
        const QVariant h = base.driver()->handle();
        if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
            return;
        sqlite3* poignee = *static_cast<sqlite3* const*>(h.constData());
        if (poignee)
            sqlite3_create_collation(poignee, "VLTEXTE", SQLITE_UTF8, nullptr, &ComparerTextes);
        QSqlQuery(base).exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    }
};

} // namespace

std::unique_ptr<Dialecte> Dialecte::Pour(const QString& pilote)
{
    if (pilote == QLatin1String("QSQLITE"))
        return std::make_unique<DialecteSqlite>();
    throw Erreur(QCoreApplication::translate("Persistance", "Moteur de base de données non pris en charge : %1.").arg(pilote));
}

} // namespace vl::persistence
