#pragma once
#include <QString>

namespace vl::persistence {

class ClassePersistante;

enum class TypeAttribut {
    Chaine,      // bounded text (maximum size in characters)
    Entier,
    Reel,        // double precision
    Booleen,
    Memo,        // unbounded text
    Blob,        // bytes
    Part,        // one owned sub-object, stored and deleted with its owner
    Parts,       // ordered list of owned sub-objects
    Reference,   // link to another stored object by identity
    References,  // ordered list of such links
};

// One declared attribute of a persistent class.
struct Attribut
{
    QString nom;            // name used by code and object queries
    QString nomStockage;    // column name (equals nom unless the class says otherwise)
    TypeAttribut type = TypeAttribut::Entier;
    int tailleMax = 0;      // strings only
    QString classeCible;    // parts and references: class name of the target
    const ClassePersistante* declarante = nullptr;
    int index = -1;         // slot of the value in every object of the class

    bool EstPartie() const { return type == TypeAttribut::Part || type == TypeAttribut::Parts; }
    bool EstReference() const { return type == TypeAttribut::Reference || type == TypeAttribut::References; }
    bool EstObjet() const { return EstPartie() || EstReference(); }
    bool EstListe() const { return type == TypeAttribut::Parts || type == TypeAttribut::References; }
};

} // namespace vl::persistence
