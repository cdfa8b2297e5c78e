#include "ClassePersistante.h"
#include "ObjetPersistant.h"
#include <QCoreApplication>
#include <algorithm>

namespace vl::persistence {

int DefinitionClasse::Ajouter(TypeAttribut type, const QString& nom, const QString& stockage, int taille,
                              const QString& classe)
{
    Attribut a;
    a.nom = nom;
    a.nomStockage = stockage.isEmpty() ? nom : stockage;
    a.type = type;
    a.tailleMax = taille;
    a.classeCible = classe;
    a.index = m_premierIndex + int(m_attributs.size());
    m_attributs.push_back(a);
    return a.index;
}

int DefinitionClasse::Chaine(const QString& n, int t, const QString& s) { return Ajouter(TypeAttribut::Chaine, n, s, t, {}); }
int DefinitionClasse::Entier(const QString& n, const QString& s) { return Ajouter(TypeAttribut::Entier, n, s, 0, {}); }
int DefinitionClasse::Reel(const QString& n, const QString& s) { return Ajouter(TypeAttribut::Reel, n, s, 0, {}); }
int DefinitionClasse::Booleen(const QString& n, const QString& s) { return Ajouter(TypeAttribut::Booleen, n, s, 0, {}); }
int DefinitionClasse::Memo(const QString& n, const QString& s) { return Ajouter(TypeAttribut::Memo, n, s, 0, {}); }
int DefinitionClasse::Blob(const QString& n, const QString& s) { return Ajouter(TypeAttribut::Blob, n, s, 0, {}); }
int DefinitionClasse::Part(const QString& n, const QString& c, const QString& s) { return Ajouter(TypeAttribut::Part, n, s, 0, c); }
int DefinitionClasse::Parts(const QString& n, const QString& c, const QString& s) { return Ajouter(TypeAttribut::Parts, n, s, 0, c); }
int DefinitionClasse::Reference(const QString& n, const QString& c, const QString& s) { return Ajouter(TypeAttribut::Reference, n, s, 0, c); }
int DefinitionClasse::References(const QString& n, const QString& c, const QString& s) { return Ajouter(TypeAttribut::References, n, s, 0, c); }

ClassePersistante::ClassePersistante(const QString& nom, const ClassePersistante* parent, Fabrique fabrique,
                                     const std::function<void(DefinitionClasse&)>& definir)
    : m_nom(nom), m_parent(parent), m_fabrique(std::move(fabrique))
{
    DefinitionClasse def;
    def.m_premierIndex = parent ? parent->NombreAttributs() : 0;
    if (definir)
        definir(def);
    m_propres = std::move(def.m_attributs);
    for (Attribut& a : m_propres)
        a.declarante = this;
    if (parent)
        m_tous = parent->m_tous;
    for (const Attribut& a : m_propres)
        m_tous.push_back(&a);
}

QString ClassePersistante::NomTable() const
{
    return m_nom.startsWith(QLatin1Char('T')) ? m_nom.mid(1) : m_nom;
}

std::shared_ptr<ObjetPersistant> ClassePersistante::Creer() const
{
    if (!m_fabrique)
        throw Erreur(QCoreApplication::translate("Persistance", "La classe %1 est abstraite : aucun objet ne peut en être créé.").arg(m_nom));
    return m_fabrique();
}

const Attribut* ClassePersistante::Chercher(const QString& nom) const
{
    for (const Attribut* a : m_tous)
        if (a->nom.compare(nom, Qt::CaseInsensitive) == 0)
            return a;
    return nullptr;
}

std::vector<const ClassePersistante*> ClassePersistante::Lignee() const
{
    std::vector<const ClassePersistante*> l;
    for (const ClassePersistante* c = this; c; c = c->m_parent)
        l.push_back(c);
    std::reverse(l.begin(), l.end());
    return l;
}

bool ClassePersistante::DescendDe(const ClassePersistante& autre) const
{
    for (const ClassePersistante* c = this; c; c = c->m_parent)
        if (c == &autre)
            return true;
    return false;
}

Registre& Registre::Global()
{
    static Registre r;
    return r;
}

void Registre::Enregistrer(const ClassePersistante& classe)
{
    if (std::find(m_classes.begin(), m_classes.end(), &classe) == m_classes.end())
        m_classes.push_back(&classe);
}

const ClassePersistante* Registre::Chercher(const QString& nom) const
{
    for (const ClassePersistante* c : m_classes)
        if (c->Nom().compare(nom, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

std::vector<const ClassePersistante*> Registre::Descendants(const ClassePersistante& classe) const
{
    std::vector<const ClassePersistante*> r;
    for (const ClassePersistante* c : m_classes)
        if (c->DescendDe(classe))
            r.push_back(c);
    return r;
}

} // namespace vl::persistence
