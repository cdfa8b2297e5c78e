#pragma once
#include "ClassePersistante.h"
#include "Dialecte.h"
#include <QString>
#include <QStringList>

namespace vl::persistence {

// An object query translated into SQL.
//
//   SELECT * | <attribute> FROM [ANY] <class>
//     [WHERE <path> <op> :param|'text'|number [AND ...]]
//     [ORDER BY <path> [ASC|DESC], ...]
//
// Without ANY only objects of exactly that class are returned; with ANY its
// subclasses too. A path walks references: "Package.Ordre", "composition.Id".
// Names are case-insensitive. SELECT <attribute> returns the objects that
// reference attribute points to, in the order of the rows.
struct RequeteTraduite
{
    QString sql;
    QStringList parametres;                  // one per '?', in order
    const ClassePersistante* classe = nullptr; // class of the returned objects
    bool parAttribut = false;                // rows hold (id) of a referenced object, else (id, class)
};

RequeteTraduite TraduireRequete(const QString& requete, const Dialecte& dialecte, const Registre& registre);

} // namespace vl::persistence
