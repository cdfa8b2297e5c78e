#pragma once
// The personal database: the user's own articles in an SQLite file beside the
// executable (system/UserDb.dat), one query over the main table that the
// personal database window edits and the "User" connection prints from.
#include "connections/Connexions.h"
#include "data/Dataset.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class TdmBd;
class TCustomFieldsControler;
class TCategoriesControler;
class TFieldsAliasControler;

// A failure of the personal database, with a French message.
class EUserDb : public vl::data::ErreurDonnees
{
public:
    explicit EUserDb(const QString& message, const QString& fichier = QString())
        : vl::data::ErreurDonnees(message, fichier) {}
};

// One filter: the records whose Champ equals Valeur (null: whose Champ is null).
struct TFiltreItem
{
    QString Champ;
    QVariant Valeur;
};

// One entry of the filter list: its text and its filter (none: no filter).
struct TEntreeFiltre
{
    QString Texte;
    std::optional<TFiltreItem> Filtre;
};

// The query of a data module: the rows of the current SELECT, held in memory,
// behind the common dataset interface. Edits of a row are written to the
// table by its key when the row is posted.
class TRequeteBd : public vl::data::Dataset
{
public:
    TRequeteBd(TdmBd& module, const QString& fichier, const QString& table);

    // Replaces the result; the position goes to the first row.
    void Charger(QList<vl::data::DefinitionChamp> champs, QList<QList<QVariant>> lignes,
                 bool modifiable, const QString& raison);
    // Adds a row at the end of the result and makes it current.
    void AjouterLigne(const QList<QVariant>& ligne);
    void Vider();
    const QList<QList<QVariant>>& Lignes() const { return m_lignes; }

    void Rafraichir() override;
    // The module is going away: a holder that kept the query gets errors
    // instead of touching it.
    void Detacher() { m_module = nullptr; }

protected:
    QList<QVariant> LireEnregistrement(int index) const override;
    QVariant VerifierValeur(int champ, const QVariant& valeur) const override;
    void EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs) override;

private:
    TdmBd& Module() const;

    TdmBd* m_module;
    QList<QList<QVariant>> m_lignes;
};

// Generic data module over one table of an SQLite file: the connection, the
// query, sort, filter and selection mode.
class TdmBd
{
public:
    // fichier: the database file; it must exist (it is never created here).
    explicit TdmBd(const QString& fichier);
    virtual ~TdmBd();
    TdmBd(const TdmBd&) = delete;
    TdmBd& operator=(const TdmBd&) = delete;

    QString Table;
    bool AfficherTout = true;
    QStringList ChampsTri;
    QStringList ChampsStandard;
    // column, display name
    QList<QPair<QString, QString>> NomsAffiches;
    QString ClauseTri;
    // The WHERE clause of the filter (empty: no filter). Values are bound
    // parameters, held in ParametresFiltre, never written into the text.
    QString ClauseFiltre;
    QVariantList ParametresFiltre;

    virtual void Initialiser();
    virtual void Ouvrir();

    const QString& Fichier() const { return m_fichier; }
    QSqlDatabase Base() const;
    TRequeteBd& Requete() const { return *m_requete; }
    std::shared_ptr<TRequeteBd> RequetePartagee() const { return m_requete; }
    // The SELECT the query runs, and its bound values.
    QString Commande() const;

    void Nouveau();
    void Supprimer();
    void BasculerSelection();
    void SelectionnerTout(bool valeur);
    void RazSelection();
    void RazCompteurs();
    void Trier(const QStringList& champs);
    void Filtrer(const std::optional<TFiltreItem>& item, bool rouvrir);
    void SetAfficherTout(bool valeur);
    void Actualiser();
    void Rouvrir();
    void LireImage(QImage& image) const;
    void EcrireImage(const QString& fichier);
    void EffacerImage();
    bool AImage() const;
    bool EstVide() const;
    void ValiderSaisie();
    bool Chercher(const QString& texte);

    // A currency or decimal value for display (system currency, its
    // decimals) or for editing (plain text).
    QString TexteMonetaire(const QString& champ, bool affichage) const;

    // The key of the current record (null on an empty query).
    QVariant IdCourant() const;
    // Makes the record with that key current; false when it is not in the query.
    bool AllerAId(const QVariant& id);

    // A column or table name as an SQL identifier.
    static QString Identifiant(const QString& nom);

    // Statements on the module's connection (values bound, in order).
    void Executer(const QString& sql, const QVariantList& valeurs = {}) const;
    QList<QList<QVariant>> Lire(const QString& sql, const QVariantList& valeurs = {}) const;
    // The columns of the main table as the database declares them.
    QList<vl::data::DefinitionChamp> ColonnesTable() const;
    // Closes the query (its rows are dropped) and runs it again, on the
    // record of that key when it is still there.
    void Fermer();
    void RouvrirSur(const QVariant& id);

protected:
    QString tr(const char* texte) const;
    // Runs the current SELECT into the query; the position goes to the first row.
    void Requeter();
    // Runs it again keeping the current record.
    void RequeterGardantEnregistrement();
    QString ClauseWhere() const;
    [[noreturn]] void ErreurSql(const QString& operation, const QString& detail) const;
    void Lancer(QSqlQuery& q, const QString& sql, const QVariantList& valeurs, const QString& quoi) const;

    QString m_nomConnexion;
    bool m_ouverte = false;

private:
    friend class TRequeteBd;
    QString m_fichier;
    bool m_lectureSeule = false;
    std::shared_ptr<TRequeteBd> m_requete;
};

// The personal database module (program-wide: dmUserDb). A program creates
// it once, at start-up, and registers it for the "User" connection:
//     TdmUserDb dmUserDb;                       // system/UserDb.dat
//     TBasePersonnelle::Enregistrer(&dmUserDb);
// Its destructor unregisters it.
class TdmUserDb : public TdmBd, public TBasePersonnelle
{
public:
    // Opens the file (DefaultPath() by default); raises a French error naming
    // the file when it is missing, unreadable or not a personal database.
    explicit TdmUserDb(const QString& fichier = CheminParDefaut(), TControleurConnexion* controleur = nullptr);
    ~TdmUserDb() override;

    // <VELLUMAR_ROOT>/bin/system/UserDb.dat when VELLUMAR_ROOT is set,
    // otherwise system/UserDb.dat in the executable's folder.
    static QString CheminParDefaut();
    // The registered module, when it is a TdmUserDb.
    static TdmUserDb* Instance();

    const QString TableCategories = QStringLiteral("Categories");
    const QString ChampTitre = QStringLiteral("Title");
    const QString ChampDesignation = QStringLiteral("Designation");
    const QString ChampCategorie = QStringLiteral("Categorie");

    void Initialiser() override;
    void Ouvrir() override;

    // The connection controller used for display names (the program's one
    // when none was given).
    TControleurConnexion* Controleur() const;
    void SetControleur(TControleurConnexion* controleur) { m_controleur = controleur; }

    // Builds the filter list: "Pas de filtre", then one entry per category
    // ("Sans catégorie" for the blank entry), in the order given.
    void ListeFiltres(QList<TEntreeFiltre>& filtres, const QStringList& categories) const;
    QString NomAffiche(const QString& colonne) const;
    void RemplirNomsAffiches() override;
    QString NomDesignation() const { return NomAffiche(ChampDesignation); }
    QString NomCategorie() const { return NomAffiche(ChampCategorie); }

    void CreerControleurs();
    void LibererControleurs();
    TCustomFieldsControler* ControleurChampsPersos() const { return m_champsPersos.get(); }
    TCategoriesControler* ControleurCategories() const { return m_categories.get(); }
    TFieldsAliasControler* ControleurAlias() const { return m_alias.get(); }

    // TBasePersonnelle
    std::shared_ptr<vl::data::Dataset> JeuDonneesPartage() override { return RequetePartagee(); }
    void RazCompteurs() override { TdmBd::RazCompteurs(); }

private:
    TControleurConnexion* m_controleur;
    std::unique_ptr<TCustomFieldsControler> m_champsPersos;
    std::unique_ptr<TCategoriesControler> m_categories;
    std::unique_ptr<TFieldsAliasControler> m_alias;
};

// The definition of a column from its declared SQL type (cle: the key).
vl::data::DefinitionChamp DefinitionColonne(const QString& nom, const QString& typeDeclare, bool cle);

// Decodes JPEG bytes; raises EUserDb when they are not a JPEG picture.
QImage DecoderJpeg(const QByteArray& octets);
