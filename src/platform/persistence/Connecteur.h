#pragma once
#include "ClassePersistante.h"
#include "Dialecte.h"
#include "ObjetPersistant.h"
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <vector>

class QSqlQuery;

namespace vl::persistence {

// The store: one SQL database holding one table per persistent class (named
// after the class without its T), with a column per declared attribute under
// its storage name, plus "_Id" and "_Classe". An object of a subclass has one
// row in the table of every class of its lineage, tied by "_Id".
//
// Column contents: scalars as themselves (booleans 0/1); a part or a
// reference holds the identity of the target; parts and references hold
// the identities in order, separated by ';'.
class Connecteur : public std::enable_shared_from_this<Connecteur>
{
public:
    enum class Mode { Existant, Creer };

    // Opens (or, with Mode::Creer, creates) the store file and makes sure
    // every table and column of the registered classes exists.
    static std::shared_ptr<Connecteur> Ouvrir(const QString& fichier, Mode mode = Mode::Existant,
                                              const QString& pilote = QStringLiteral("QSQLITE"));
    ~Connecteur();
    Connecteur(const Connecteur&) = delete;
    Connecteur& operator=(const Connecteur&) = delete;

    void Fermer();
    bool EstOuvert() const;
    QString Fichier() const { return m_fichier; }
    const Dialecte& LeDialecte() const { return *m_dialecte; }
    QSqlDatabase Base() const;

    QString NouvelId() const;

    // An object created "on the connector": it will be stored here.
    template <class T> std::shared_ptr<T> Nouveau()
    {
        auto o = std::make_shared<T>();
        o->AttacherConnecteur(shared_from_this());
        return o;
    }

    // Writes the object and its parts (inserting or replacing), in one transaction.
    void Stocker(ObjetPersistant& objet);
    // Deletes the object and its parts from the store; the object stays in memory.
    void Supprimer(ObjetPersistant& objet);
    // The object with that identity, of `classe` or a subclass; nullptr when absent.
    ObjetPtr Charger(const QString& id, const ClassePersistante& classe);

    // Runs an object query (see RequeteObjet.h); parameters by name.
    std::vector<ObjetPtr> Selectionner(const QString& requete, const QVariantMap& parametres = {});
    template <class T> std::vector<std::shared_ptr<T>> Selectionner(const QString& requete, const QVariantMap& parametres = {})
    {
        std::vector<std::shared_ptr<T>> r;
        for (const ObjetPtr& o : Selectionner(requete, parametres))
            if (auto t = std::dynamic_pointer_cast<T>(o))
                r.push_back(t);
        return r;
    }

    // Transactions nest: only the outermost one commits. When an inner one
    // is abandoned the outer one rolls back too.
    void DebuterTransaction();
    void ValiderTransaction();
    void AnnulerTransaction();

private:
    Connecteur(const QString& fichier, const QString& pilote);
    void CreerSchema();
    QSqlQuery& Preparee(const QString& sql);
    void Executer(QSqlQuery& q, const QString& quoi);
    void Ecrire(ObjetPersistant& objet);
    void SupprimerParId(const QString& id, const ClassePersistante& classeDeclaree);
    const ClassePersistante* ClasseStockee(const QString& id, const ClassePersistante& classeDeclaree);
    QStringList IdsParties(const QString& id, const ClassePersistante& classe, const Attribut& a);
    ObjetPtr Lire(const QString& id, const ClassePersistante& classe);
    ObjetPtr DansMemoire(const QString& id) const;

    QString m_fichier;
    QString m_nomConnexion;
    std::unique_ptr<Dialecte> m_dialecte;
    QHash<QString, QSqlQuery*> m_preparees;
    QHash<QString, std::weak_ptr<ObjetPersistant>> m_identites;
    int m_profondeur = 0;
    bool m_abandon = false;
};

// Runs a block in a store transaction: committed by Valider(), rolled back
// when left otherwise (an exception, an early return).
class Transaction
{
public:
    explicit Transaction(Connecteur& c) : m_c(c) { m_c.DebuterTransaction(); }
    ~Transaction()
    {
        if (!m_fini)
            m_c.AnnulerTransaction();
    }
    void Valider()
    {
        m_fini = true;
        m_c.ValiderTransaction();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connecteur& m_c;
    bool m_fini = false;
};

} // namespace vl::persistence
