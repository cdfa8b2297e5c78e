#pragma once
#include "Attribut.h"
#include "ClassePersistante.h"
#include "Erreur.h"
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace vl::persistence {

class Connecteur;
class ObjetPersistant;

using ObjetPtr = std::shared_ptr<ObjetPersistant>;

// A link to another object: its identity, and the object itself while it is
// in memory. A link does not own its target (a leaf does not keep its face
// alive, nor its composition): a stored target that nobody holds any more is
// looked up again through the connector when the link is next followed.
struct Lien
{
    QString id;
    std::weak_ptr<ObjetPersistant> objet;
    // The target's identity now (it may have been stored since it was set).
    QString Identite() const;
};

// Ownership rule. Persistent objects are held by std::shared_ptr: holding a
// pointer is what keeps an object loaded ("one reference added"), dropping the
// last one releases it. The connector only keeps weak pointers (its identity
// map), so the same stored object is one instance while anybody holds it.
// Parts belong to their owner and live with it; references do not own their
// targets (see Lien), so the links between stored objects make no cycle.
class ObjetPersistant : public std::enable_shared_from_this<ObjetPersistant>
{
public:
    explicit ObjetPersistant(const ClassePersistante& classe);
    virtual ~ObjetPersistant();
    ObjetPersistant(const ObjetPersistant&) = delete;
    ObjetPersistant& operator=(const ObjetPersistant&) = delete;

    const ClassePersistante& Classe() const { return *m_classe; }
    bool EstDe(const ClassePersistante& classe) const { return m_classe->DescendDe(classe); }

    // Identity given by the store; empty until the object is first stored.
    const QString& Id() const { return m_id; }
    bool EstStocke() const { return m_stocke; }

    std::shared_ptr<Connecteur> LeConnecteur() const { return m_connecteur.lock(); }
    void AttacherConnecteur(const std::shared_ptr<Connecteur>& connecteur);

    // Store, dispose (delete from the store) and clone through the connector.
    void Stocker();
    void Supprimer();
    // A copy: same class and values, no identity, parts cloned with it,
    // references shared, on the same connector.
    ObjetPtr Cloner() const;
    template <class T> std::shared_ptr<T> ClonerEn() const { return std::dynamic_pointer_cast<T>(Cloner()); }

    // Generic access by attribute, used by the store and by generic code.
    QVariant Scalaire(const Attribut& a) const { return m_valeurs[a.index].scalaire; }
    void EcrireScalaire(const Attribut& a, const QVariant& v);
    const std::vector<ObjetPtr>& Parties(const Attribut& a) const { return m_valeurs[a.index].parties; }
    const std::vector<Lien>& Liens(const Attribut& a) const { return m_valeurs[a.index].liens; }
    ObjetPtr ObjetLie(const Attribut& a, int i) const;

    // Called whenever an attribute changes (also for a change inside a part:
    // the owner is then told about its part attribute).
    virtual void AttributChange(const Attribut& a);

    // Store-side access: no checks, no hook.
    void ChargerScalaire(const Attribut& a, const QVariant& v) { m_valeurs[a.index].scalaire = v; }
    void ChargerParties(const Attribut& a, std::vector<ObjetPtr> parties);
    void ChargerLiens(const Attribut& a, std::vector<Lien> liens) { m_valeurs[a.index].liens = std::move(liens); }
    void MarquerStocke(const QString& id, bool stocke) { m_id = id; m_stocke = stocke; }
    void OublierIdentite() { m_id.clear(); m_stocke = false; }

protected:
    QString LireChaine(int i) const { return m_valeurs[i].scalaire.toString(); }
    void EcrireChaine(int i, const QString& v) { EcrireScalaire(*Classe().Attributs()[i], v); }
    int LireEntier(int i) const { return m_valeurs[i].scalaire.toInt(); }
    void EcrireEntier(int i, int v) { EcrireScalaire(*Classe().Attributs()[i], v); }
    double LireReel(int i) const { return m_valeurs[i].scalaire.toDouble(); }
    void EcrireReel(int i, double v) { EcrireScalaire(*Classe().Attributs()[i], v); }
    bool LireBooleen(int i) const { return m_valeurs[i].scalaire.toBool(); }
    void EcrireBooleen(int i, bool v) { EcrireScalaire(*Classe().Attributs()[i], v); }
    QByteArray LireBlob(int i) const { return m_valeurs[i].scalaire.toByteArray(); }
    void EcrireBlob(int i, const QByteArray& v) { EcrireScalaire(*Classe().Attributs()[i], v); }
    // Default values set by creating constructors: no hook.
    void Initialiser(int i, const QVariant& v) { m_valeurs[i].scalaire = v; }

    // part
    ObjetPtr LirePartie(int i) const;
    void EcrirePartie(int i, const ObjetPtr& partie);
    // parts
    int NombreParties(int i) const { return int(m_valeurs[i].parties.size()); }
    ObjetPtr LirePartieN(int i, int n) const;
    void AjouterPartie(int i, const ObjetPtr& partie);
    void InsererPartie(int i, int n, const ObjetPtr& partie);
    void RetirerPartie(int i, int n);
    void ViderParties(int i);
    // reference
    ObjetPtr LireReference(int i) const { return ObjetLie(*Classe().Attributs()[i], 0); }
    QString IdReference(int i) const;
    void EcrireReference(int i, const ObjetPtr& cible);
    // references
    int NombreReferences(int i) const { return int(m_valeurs[i].liens.size()); }
    ObjetPtr LireReferenceN(int i, int n) const { return ObjetLie(*Classe().Attributs()[i], n); }
    void AjouterReference(int i, const ObjetPtr& cible);
    void RetirerReference(int i, int n);

private:
    struct Valeur
    {
        QVariant scalaire;
        std::vector<ObjetPtr> parties;
        mutable std::vector<Lien> liens;
    };
    void Changer(const Attribut& a);
    void Adopter(const ObjetPtr& partie);

    const ClassePersistante* m_classe;
    QString m_id;
    bool m_stocke = false;
    std::weak_ptr<Connecteur> m_connecteur;
    std::weak_ptr<ObjetPersistant> m_proprietaire; // owner of a part
    const Attribut* m_attributProprietaire = nullptr;
    std::vector<Valeur> m_valeurs;
};

inline QString Lien::Identite() const
{
    const ObjetPtr o = objet.lock();
    return o ? o->Id() : id;
}

template <class T> std::shared_ptr<T> Caster(const ObjetPtr& o) { return std::dynamic_pointer_cast<T>(o); }

} // namespace vl::persistence

// Accessor generators for the attributes of a persistent class. Each attribute
// has a slot index i<Nom> set when the class description is built.
#define VL_INDEX(Nom_) static inline int i##Nom_ = -1;
#define VL_CHAINE(Nom_) \
    VL_INDEX(Nom_) QString Nom_() const { return LireChaine(i##Nom_); } \
    void Set##Nom_(const QString& v) { EcrireChaine(i##Nom_, v); }
#define VL_MEMO(Nom_) VL_CHAINE(Nom_)
#define VL_ENTIER(Nom_) \
    VL_INDEX(Nom_) int Nom_() const { return LireEntier(i##Nom_); } \
    void Set##Nom_(int v) { EcrireEntier(i##Nom_, v); }
#define VL_REEL(Nom_) \
    VL_INDEX(Nom_) double Nom_() const { return LireReel(i##Nom_); } \
    void Set##Nom_(double v) { EcrireReel(i##Nom_, v); }
#define VL_BOOLEEN(Nom_) \
    VL_INDEX(Nom_) bool Nom_() const { return LireBooleen(i##Nom_); } \
    void Set##Nom_(bool v) { EcrireBooleen(i##Nom_, v); }
#define VL_BLOB(Nom_) \
    VL_INDEX(Nom_) QByteArray Nom_() const { return LireBlob(i##Nom_); } \
    void Set##Nom_(const QByteArray& v) { EcrireBlob(i##Nom_, v); }
#define VL_PART(Nom_, Classe_) \
    VL_INDEX(Nom_) std::shared_ptr<Classe_> Nom_() const { return std::dynamic_pointer_cast<Classe_>(LirePartie(i##Nom_)); } \
    void Set##Nom_(const std::shared_ptr<Classe_>& v) { EcrirePartie(i##Nom_, v); }
#define VL_PARTS(Nom_, Classe_) \
    VL_INDEX(Nom_) int Nom_##Count() const { return NombreParties(i##Nom_); } \
    std::shared_ptr<Classe_> Nom_(int n) const { return std::dynamic_pointer_cast<Classe_>(LirePartieN(i##Nom_, n)); } \
    void Ajouter##Nom_(const std::shared_ptr<Classe_>& v) { AjouterPartie(i##Nom_, v); } \
    void Retirer##Nom_(int n) { RetirerPartie(i##Nom_, n); } \
    void Vider##Nom_() { ViderParties(i##Nom_); }
#define VL_REFERENCE(Nom_, Classe_) \
    VL_INDEX(Nom_) std::shared_ptr<Classe_> Nom_() const { return std::dynamic_pointer_cast<Classe_>(LireReference(i##Nom_)); } \
    QString Nom_##Id() const { return IdReference(i##Nom_); } \
    void Set##Nom_(const std::shared_ptr<Classe_>& v) { EcrireReference(i##Nom_, v); }
#define VL_REFERENCES(Nom_, Classe_) \
    VL_INDEX(Nom_) int Nom_##Count() const { return NombreReferences(i##Nom_); } \
    std::shared_ptr<Classe_> Nom_(int n) const { return std::dynamic_pointer_cast<Classe_>(LireReferenceN(i##Nom_, n)); } \
    void Ajouter##Nom_(const std::shared_ptr<Classe_>& v) { AjouterReference(i##Nom_, v); } \
    void Retirer##Nom_(int n) { RetirerReference(i##Nom_, n); }
