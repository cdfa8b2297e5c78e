#include "ObjetPersistant.h"
#include "Connecteur.h"
#include <QCoreApplication>

namespace vl::persistence {

namespace {

QVariant ValeurNeutre(TypeAttribut type)
{
    switch (type) {
    case TypeAttribut::Chaine:
    case TypeAttribut::Memo: return QString();
    case TypeAttribut::Entier: return 0;
    case TypeAttribut::Reel: return 0.0;
    case TypeAttribut::Booleen: return false;
    case TypeAttribut::Blob: return QByteArray();
    default: return {};
    }
}

QString Tr(const char* texte) { return QCoreApplication::translate("Persistance", texte); }

// Normalises a value to the attribute's type so that comparisons and storage
// see one representation.
QVariant Normaliser(const Attribut& a, const QVariant& v)
{
    switch (a.type) {
    case TypeAttribut::Chaine:
    case TypeAttribut::Memo: return v.toString();
    case TypeAttribut::Entier: return v.toInt();
    case TypeAttribut::Reel: return v.toDouble();
    case TypeAttribut::Booleen: return v.toBool();
    case TypeAttribut::Blob: return v.toByteArray();
    default: return v;
    }
}

} // namespace

ObjetPersistant::ObjetPersistant(const ClassePersistante& classe)
    : m_classe(&classe), m_valeurs(size_t(classe.NombreAttributs()))
{
    for (const Attribut* a : classe.Attributs())
        m_valeurs[a->index].scalaire = ValeurNeutre(a->type);
}

ObjetPersistant::~ObjetPersistant() = default;

void ObjetPersistant::AttacherConnecteur(const std::shared_ptr<Connecteur>& connecteur)
{
    m_connecteur = connecteur;
    for (Valeur& v : m_valeurs)
        for (const ObjetPtr& p : v.parties)
            if (p)
                p->AttacherConnecteur(connecteur);
}

void ObjetPersistant::Stocker()
{
    auto c = LeConnecteur();
    if (!c)
        throw Erreur(Tr("Cet objet n'est rattaché à aucune base : il ne peut pas être enregistré."));
    c->Stocker(*this);
}

void ObjetPersistant::Supprimer()
{
    auto c = LeConnecteur();
    if (!c)
        throw Erreur(Tr("Cet objet n'est rattaché à aucune base : il ne peut pas être supprimé."));
    c->Supprimer(*this);
}

ObjetPtr ObjetPersistant::Cloner() const
{
    ObjetPtr copie = m_classe->Creer();
    copie->m_connecteur = m_connecteur;
    for (const Attribut* a : m_classe->Attributs()) {
        const Valeur& source = m_valeurs[a->index];
        Valeur& cible = copie->m_valeurs[a->index];
        cible.scalaire = source.scalaire;
        cible.liens = source.liens;
        cible.parties.clear();
        for (const ObjetPtr& p : source.parties) {
            ObjetPtr pc = p ? p->Cloner() : nullptr;
            cible.parties.push_back(pc);
            if (pc) {
                pc->m_proprietaire = copie;
                pc->m_attributProprietaire = a;
            }
        }
    }
    return copie;
}

void ObjetPersistant::EcrireScalaire(const Attribut& a, const QVariant& brute)
{
    const QVariant v = Normaliser(a, brute);
    if (a.type == TypeAttribut::Chaine && a.tailleMax > 0 && v.toString().size() > a.tailleMax)
        throw Erreur(Tr("La valeur de « %1 » est trop longue : %2 caractères au plus.")
                         .arg(a.nom).arg(a.tailleMax));
    Valeur& slot = m_valeurs[a.index];
    if (slot.scalaire == v && slot.scalaire.typeId() == v.typeId())
        return;
    slot.scalaire = v;
    Changer(a);
}

ObjetPtr ObjetPersistant::ObjetLie(const Attribut& a, int i) const
{
    const Valeur& slot = m_valeurs[a.index];
    if (a.EstPartie())
        return i < int(slot.parties.size()) ? slot.parties[i] : nullptr;
    if (i >= int(slot.liens.size()))
        return nullptr;
    Lien& lien = slot.liens[i];
    ObjetPtr objet = lien.objet.lock();
    if (!objet && !lien.id.isEmpty()) {
        if (auto c = LeConnecteur()) {
            const ClassePersistante* cible = Registre::Global().Chercher(a.classeCible);
            if (cible)
                objet = c->Charger(lien.id, *cible);
            lien.objet = objet;
        }
    }
    return objet;
}

void ObjetPersistant::AttributChange(const Attribut&) {}

void ObjetPersistant::Changer(const Attribut& a)
{
    AttributChange(a);
    if (auto proprietaire = m_proprietaire.lock())
        proprietaire->Changer(*m_attributProprietaire);
}

void ObjetPersistant::Adopter(const ObjetPtr& partie)
{
    if (!partie)
        return;
    partie->m_proprietaire = weak_from_this();
    if (partie->m_connecteur.expired())
        partie->m_connecteur = m_connecteur;
}

void ObjetPersistant::ChargerParties(const Attribut& a, std::vector<ObjetPtr> parties)
{
    for (const ObjetPtr& p : parties)
        if (p) {
            Adopter(p);
            p->m_attributProprietaire = &a;
        }
    m_valeurs[a.index].parties = std::move(parties);
}

ObjetPtr ObjetPersistant::LirePartie(int i) const
{
    const auto& l = m_valeurs[i].parties;
    return l.empty() ? nullptr : l.front();
}

void ObjetPersistant::EcrirePartie(int i, const ObjetPtr& partie)
{
    auto& l = m_valeurs[i].parties;
    if ((l.empty() && !partie) || (!l.empty() && l.front() == partie))
        return;
    l.clear();
    if (partie) {
        Adopter(partie);
        partie->m_attributProprietaire = Classe().Attributs()[i];
        l.push_back(partie);
    }
    Changer(*Classe().Attributs()[i]);
}

ObjetPtr ObjetPersistant::LirePartieN(int i, int n) const
{
    const auto& l = m_valeurs[i].parties;
    return (n >= 0 && n < int(l.size())) ? l[n] : nullptr;
}

void ObjetPersistant::AjouterPartie(int i, const ObjetPtr& partie)
{
    InsererPartie(i, NombreParties(i), partie);
}

void ObjetPersistant::InsererPartie(int i, int n, const ObjetPtr& partie)
{
    if (!partie)
        return;
    Adopter(partie);
    partie->m_attributProprietaire = Classe().Attributs()[i];
    auto& l = m_valeurs[i].parties;
    l.insert(l.begin() + std::clamp(n, 0, int(l.size())), partie);
    Changer(*Classe().Attributs()[i]);
}

void ObjetPersistant::RetirerPartie(int i, int n)
{
    auto& l = m_valeurs[i].parties;
    if (n < 0 || n >= int(l.size()))
        return;
    l.erase(l.begin() + n);
    Changer(*Classe().Attributs()[i]);
}

void ObjetPersistant::ViderParties(int i)
{
    auto& l = m_valeurs[i].parties;
    if (l.empty())
        return;
    l.clear();
    Changer(*Classe().Attributs()[i]);
}

QString ObjetPersistant::IdReference(int i) const
{
    const auto& l = m_valeurs[i].liens;
    return l.empty() ? QString() : l.front().Identite();
}

void ObjetPersistant::EcrireReference(int i, const ObjetPtr& cible)
{
    auto& l = m_valeurs[i].liens;
    if ((l.empty() && !cible) || (!l.empty() && cible && l.front().objet.lock() == cible))
        return;
    l.clear();
    if (cible)
        l.push_back(Lien{cible->Id(), cible});
    Changer(*Classe().Attributs()[i]);
}

void ObjetPersistant::AjouterReference(int i, const ObjetPtr& cible)
{
    if (!cible)
        return;
    m_valeurs[i].liens.push_back(Lien{cible->Id(), cible});
    Changer(*Classe().Attributs()[i]);
}

void ObjetPersistant::RetirerReference(int i, int n)
{
    auto& l = m_valeurs[i].liens;
    if (n < 0 || n >= int(l.size()))
        return;
    l.erase(l.begin() + n);
    Changer(*Classe().Attributs()[i]);
}

} // namespace vl::persistence
