#pragma once
#include "Attribut.h"
#include <QString>
#include <memory>

class QSqlDatabase;

namespace vl::persistence {

// Everything the store says that depends on the SQL engine lives here.
class Dialecte
{
public:
    virtual ~Dialecte() = default;
    static std::unique_ptr<Dialecte> Pour(const QString& pilote);

    // A table or column name, quoted (names may hold spaces and accents).
    virtual QString Identifiant(const QString& nom) const;
    virtual QString TypeColonne(const Attribut& a) const = 0;
    virtual QString TypeIdentite() const = 0;
    // Expression used in ORDER BY for an attribute (text sorts as a reader expects).
    virtual QString ExpressionTri(const QString& expression, const Attribut* a) const;
    // Called once after the connection opens.
    virtual void Preparer(QSqlDatabase& base) const;
};

} // namespace vl::persistence
