#pragma once
#include "Attribut.h"
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vl::persistence {

class ObjetPersistant;
class ClassePersistante;

// Collects the attributes a class declares, in order. Each call returns the
// slot index of the attribute, which the class keeps for its accessors.
class DefinitionClasse
{
public:
    int Chaine(const QString& nom, int tailleMax, const QString& stockage = {});
    int Entier(const QString& nom, const QString& stockage = {});
    int Reel(const QString& nom, const QString& stockage = {});
    int Booleen(const QString& nom, const QString& stockage = {});
    int Memo(const QString& nom, const QString& stockage = {});
    int Blob(const QString& nom, const QString& stockage = {});
    int Part(const QString& nom, const QString& classe, const QString& stockage = {});
    int Parts(const QString& nom, const QString& classe, const QString& stockage = {});
    int Reference(const QString& nom, const QString& classe, const QString& stockage = {});
    int References(const QString& nom, const QString& classe, const QString& stockage = {});

private:
    friend class ClassePersistante;
    int Ajouter(TypeAttribut type, const QString& nom, const QString& stockage, int taille, const QString& classe);
    int m_premierIndex = 0;
    std::vector<Attribut> m_attributs;
};

// Describes one persistent class: its name, its parent, the attributes it
// declares and how to create an instance. Instances of this class are static
// objects that live as long as the program.
class ClassePersistante
{
public:
    using Fabrique = std::function<std::shared_ptr<ObjetPersistant>()>;

    // fabrique is empty for an abstract class.
    ClassePersistante(const QString& nom, const ClassePersistante* parent, Fabrique fabrique,
                      const std::function<void(DefinitionClasse&)>& definir);
    ClassePersistante(const ClassePersistante&) = delete;
    ClassePersistante& operator=(const ClassePersistante&) = delete;

    const QString& Nom() const { return m_nom; }
    // The table: the class name without its leading T.
    QString NomTable() const;
    const ClassePersistante* Parent() const { return m_parent; }
    bool EstAbstraite() const { return !m_fabrique; }
    std::shared_ptr<ObjetPersistant> Creer() const;

    const std::vector<Attribut>& AttributsPropres() const { return m_propres; }
    // Every attribute, those of the root class first.
    const std::vector<const Attribut*>& Attributs() const { return m_tous; }
    int NombreAttributs() const { return int(m_tous.size()); }
    // Case-insensitive look-up by attribute name among all attributes.
    const Attribut* Chercher(const QString& nom) const;

    // The classes from the root down to this one.
    std::vector<const ClassePersistante*> Lignee() const;
    bool DescendDe(const ClassePersistante& autre) const;

private:
    QString m_nom;
    const ClassePersistante* m_parent;
    Fabrique m_fabrique;
    std::vector<Attribut> m_propres;
    std::vector<const Attribut*> m_tous;
};

// Classes known to the store by name, so that a stored row becomes an object
// of the right class.
class Registre
{
public:
    static Registre& Global();
    void Enregistrer(const ClassePersistante& classe);
    const ClassePersistante* Chercher(const QString& nom) const; // case-insensitive
    const std::vector<const ClassePersistante*>& Classes() const { return m_classes; }
    // The class itself and every registered class below it.
    std::vector<const ClassePersistante*> Descendants(const ClassePersistante& classe) const;

private:
    std::vector<const ClassePersistante*> m_classes;
};

} // namespace vl::persistence
