#pragma once
// The connection controller: the stored connections, the one open data
// source and its current record, with one strategy object per kind of
// source. Windows (data window, connection editor, message boxes) are reached
// through TFenetresConnexion so that everything here also runs headless.
#include "data/Dataset.h"
#include "model/Metier.h"
#include "persistence/Connecteur.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QStringList>

#include <memory>
#include <vector>

class TDmIDE;
class TControleurConnexion;

// A failure of the connection layer, with a French message for the user.
class EConnexion : public vl::data::ErreurDonnees
{
public:
    explicit EConnexion(const QString& message, const QString& fichier = QString())
        : vl::data::ErreurDonnees(message, fichier) {}
};

// What the controller needs from the user interface. The default answers are
// those of a program without windows: nothing shown, questions answered No,
// editors cancelled; the last error box text is kept.
class TFenetresConnexion
{
public:
    virtual ~TFenetresConnexion() = default;
    // Standard error box with one OK button.
    virtual void AfficherErreur(const QString& message) { DerniereErreur = message; }
    // Yes/No question; true for Yes.
    virtual bool Confirmer(const QString&) { return false; }
    // The data window of the open connection (images: the variant with pictures).
    virtual void Consulter(TControleurConnexion&, bool /*images*/) {}
    // The connection editor, modal; true when closed with OK. creation: it
    // opens on the driver page (Creer), otherwise on the definition.
    virtual bool Editer(TControleurConnexion&, bool /*creation*/) { return false; }
    // Editor pages: the definition page of a kind, the table list, the final
    // (special fields) page.
    virtual void AfficherDefinition(TControleurConnexion&, bool /*ado*/, bool /*nouvelle*/, bool /*motDePasse*/) {}
    virtual void AfficherTables(TControleurConnexion&, const QStringList&) {}
    virtual void AfficherChampsSpeciaux(TControleurConnexion&, bool /*typesImages*/) {}
    // The personal database window, on the open personal-database connection.
    virtual void ConsulterBasePersonnelle(TControleurConnexion&) {}

    QString DerniereErreur;
};

// One column of a delimited text file, as its schema declares it.
struct TColonneDescription
{
    QString Nom;
    int Largeur = 1;
};

// The current record of a text file by field name; the names follow renamed
// columns until the file is reopened.
class TRecordValues
{
public:
    void Initialiser(vl::data::Dataset* source);
    QStringList Noms;
    // The value of a field of the current record as text; raises for an unknown name.
    QString Valeur(const QString& nom) const;
    QStringList Valeurs() const;

private:
    vl::data::Dataset* m_source = nullptr;
};

class TConnexionStrategie
{
public:
    TConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie);
    virtual ~TConnexionStrategie();
    TConnexionStrategie(const TConnexionStrategie&) = delete;
    TConnexionStrategie& operator=(const TConnexionStrategie&) = delete;

    TControleurConnexion& Controleur;
    QString NomStrategie;
    bool Modifiable = false;

    virtual void AfficherDefinition(bool nouvelle);
    virtual void Consulter();
    virtual void ListerTables();
    virtual void NouvelleConnexion();
    virtual bool Editer();
    virtual void ListerChamps(QStringList& liste);
    virtual void ListerChampsTexte(QStringList& liste);
    virtual void ListerChampsMemo(QStringList& liste);
    virtual void ListerChampsImage(QStringList& liste);
    virtual bool EstChampImage(const QString& nom);
    virtual void ChargerImage(const QString& nom, QImage& image, bool brut);
    virtual QString ValeurFormatee(const QString& champ);
    virtual QString ValeurTexte(const QString& nom);
    virtual QString NomAffiche(const QString& champ);
    virtual QString NomChamp(const QString& affiche);
    virtual void CreerConnexion();
    virtual bool ChampCache(const QString& nom);
    virtual void Ouvrir(bool consulter);
    virtual void TableChoisie();
    virtual void RazCompteur();

protected:
    vl::data::Dataset& Donnees() const;
};

// dBase and Paradox tables: a folder and a file name.
class TBDEConnexionStrategie : public TConnexionStrategie
{
public:
    TBDEConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                           const QString& fichierParametres, const QString& extension,
                           const QString& filtre, vl::data::Format format);

    QString Pilote = QStringLiteral("STANDARD");
    QString Extension;
    QString Filtre;
    QStringList Tables;
    QString Dossier;
    QString Table;
    QStringList Parametres;   // name=value, from the parameter file when there is one
    vl::data::Format FormatDonnees;

    void AfficherDefinition(bool nouvelle) override;
    void ListerTables() override;
    void NouvelleConnexion() override;
    void CreerConnexion() override;
    void Ouvrir(bool consulter) override;
    void TableChoisie() override;
    void RazCompteur() override;

protected:
    std::shared_ptr<TVlBDEConnexion> ConnexionBDE() const;
    // Opens the table of the current connection into the controller's dataset.
    virtual void OuvrirTable();
};

class TAsciiConnexionStrategie : public TBDEConnexionStrategie
{
public:
    TAsciiConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                             QChar separateur, QChar delimiteur);

    QChar Delimiteur;         // QChar() for none
    QList<TColonneDescription> Colonnes;
    TRecordValues Valeurs;
    QChar Separateur;

    void ListerTables() override;
    QString ValeurFormatee(const QString& champ) override;
    void CreerConnexion() override;
    void Ouvrir(bool consulter) override;
    void TableChoisie() override;
    void RazCompteur() override;

    // Checks the file, builds or reads its schema, opens the dataset.
    void OuvrirFichier();
    void EcrireSchema();
    void LireSchema();
    // After the columns were renamed in the editor: rewrites the schema.
    void AppliquerColonnes();

    // The schema's path for a data file: its extension replaced by ".sch".
    static QString CheminSchema(const QString& fichierDonnees);
    // Lines of the schema header for this kind (5 with a quote character, 4 without).
    int LignesEntete() const { return Delimiteur.isNull() ? 4 : 5; }

protected:
    void OuvrirTable() override { OuvrirFichier(); }

private:
    QString CheminDonnees() const;
    bool CorrespondAuType(const QString& chemin, const QString& schema) const;
};

// Access and Excel through the same database-layer entry points.
class TADOConnexionStrategie : public TConnexionStrategie
{
public:
    TADOConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                           const QString& filtre, vl::data::Format format);

    QString FormatConnexion;
    QString Filtre;
    QStringList Tables;
    QString NomBd;
    QString NomTable;
    QString MotDePasse;
    QString Fournisseur;
    vl::data::Format FormatDonnees;

    static QString FournisseurJet() { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    static QString FournisseurAce() { return QStringLiteral("Microsoft.ACE.OLEDB.12.0"); }

    // The connection string of the current connection, as the kind writes it.
    virtual QString ChaineConnexion() const = 0;

    void AfficherDefinition(bool nouvelle) override;
    void ListerTables() override;
    void NouvelleConnexion() override;
    void CreerConnexion() override;
    void Ouvrir(bool consulter) override;
    void TableChoisie() override;
    void RazCompteur() override;

protected:
    std::shared_ptr<TVlADOConnexion> ConnexionADO() const;
    virtual bool TypesImages() const { return true; }
};

class TAccessConnexionStrategie : public TADOConnexionStrategie
{
public:
    explicit TAccessConnexionStrategie(TControleurConnexion& controleur);
    bool Chiffrer = false;
    QString ChaineConnexion() const override;
};

class TExcelConnexionStrategie : public TADOConnexionStrategie
{
public:
    explicit TExcelConnexionStrategie(TControleurConnexion& controleur);
    QString ChaineConnexion() const override;
    void AfficherDefinition(bool nouvelle) override;

protected:
    bool TypesImages() const override { return false; }
};

// What the connection layer needs from the personal database module, which
// stands above this library: the module registers itself when the program
// creates it, and unregisters when it is destroyed.
class TBasePersonnelle
{
public:
    virtual ~TBasePersonnelle();
    // The module's query, shared: printing runs over exactly its records.
    virtual std::shared_ptr<vl::data::Dataset> JeuDonneesPartage() = 0;
    // Display names of the standard columns, without user aliases.
    virtual void RemplirNomsAffiches() = 0;
    // Every print count back to null; the current record is kept.
    virtual void RazCompteurs() = 0;

    // The program's personal database, or nullptr when none is registered.
    static TBasePersonnelle* Instance();
    // Registers base (nullptr clears). Unregistering another module than the
    // registered one does nothing.
    static void Enregistrer(TBasePersonnelle* base);
    static void Desenregistrer(TBasePersonnelle* base);
};

// The personal database: the dataset of the registered module, shared.
class TUserDBConnexionStrategie : public TConnexionStrategie
{
public:
    explicit TUserDBConnexionStrategie(TControleurConnexion& controleur);
    const QStringList ChampsCaches{QStringLiteral("Id"), QStringLiteral("Selected")};
    QList<QPair<QString, QString>> Libelles;   // field name, caption

    // Opening without a registered personal database.
    static QString MessageIndisponible();

    void Consulter() override;
    QString NomAffiche(const QString& champ) override;
    QString NomChamp(const QString& affiche) override;
    void CreerConnexion() override;
    bool ChampCache(const QString& nom) override;
    void Ouvrir(bool consulter) override;
    void RazCompteur() override;

private:
    TBasePersonnelle& Base() const;
};

class TControleurConnexion
{
public:
    // fenetres may be null: the headless defaults are used. ide gives the
    // alias look-up; without it the controller uses its own on the connector.
    explicit TControleurConnexion(std::shared_ptr<vl::persistence::Connecteur> connecteur,
                                  TFenetresConnexion* fenetres = nullptr, TDmIDE* ide = nullptr);
    ~TControleurConnexion();
    TControleurConnexion(const TControleurConnexion&) = delete;
    TControleurConnexion& operator=(const TControleurConnexion&) = delete;

    // The program's controller (the last one created and not yet destroyed).
    static TControleurConnexion* Instance();

    const std::shared_ptr<vl::persistence::Connecteur>& Connecteur() const { return m_connecteur; }
    TFenetresConnexion& Fenetres() const { return *m_fenetres; }

    // IOSelecteurConnexions: every stored connection of every class.
    const std::vector<std::shared_ptr<TVlConnexion>>& IOSelecteurConnexions() const { return m_selecteur; }
    void ActualiserSelecteur();
    void Selectionner(int index);
    bool SelectionnerParNom(const QString& nomConnexion);
    std::shared_ptr<TVlConnexion> ConnexionSelectionnee() const;

    // The current connection (program-wide).
    std::shared_ptr<TVlConnexion> Connexion() const { return m_connexion; }
    void DefinirConnexion(const std::shared_ptr<TVlConnexion>& connexion) { m_connexion = connexion; }

    bool Ouverte = false;
    vl::data::Signet Signet;
    std::shared_ptr<vl::data::Dataset> JeuDonnees;
    bool NomBdModifie = false;
    unsigned char Mode = 0;   // 0 none, 1 creating, 2 editing, 3 done
    TConnexionStrategie* Strategie = nullptr;
    std::vector<std::unique_ptr<TConnexionStrategie>> Strategies;
    QList<QPair<QString, TConnexionStrategie*>> Pilotes;

    TConnexionStrategie* StrategieNommee(const QString& nomStrategie) const;
    // Makes s current; the database objects of the previous one are dropped.
    void ChangerStrategie(TConnexionStrategie* s);

    void Ouvrir(const std::shared_ptr<TVlConnexion>& connexion, bool consulter);
    void Fermer();
    bool Creer();
    bool Modifier();
    void Supprimer();
    bool ModificationPermise() const;

    // Editor steps.
    void ChoisirPilote(int index);
    void TableChoisie();
    void ActualiserTables();
    void RechargerSchema();
    void ValiderSaisie();

    // Records.
    void Premier();
    void Suivant();
    void Precedent();
    void Dernier();
    bool Debut() const;
    bool Fin() const;
    void PoserSignet();
    void RetourSignet();
    bool Localiser(const QString& champ, const QString& valeur);
    void Consulter();

    // Field lists, by display name.
    void ListerChamps(QStringList& liste);
    void ListerChampsTexte(QStringList& liste);
    void ListerChampsMemo(QStringList& liste);
    void ListerChampsImage(QStringList& liste);

    QString NomAffiche(const QString& champ, bool sansAlias = false) const;
    QString NomChampReel(const QString& affiche) const;
    QString Valeur(const QString& nom, bool brut) const;
    QString ValeurTexte(const QString& nom) const;
    bool EstChampImage(const QString& nom) const;
    void ChargerImage(const QString& nom, QImage& image, bool brut) const;
    bool ChampEntier(const QString& champ);
    void RazCompteur();

    // Number of labels for the current record: 1 without a counter column;
    // otherwise the column's integer, 0 for an empty or non-integer text.
    int NombreCopies() const;

    // The folder the editor proposes for new connections: Connexions/ under
    // the installation root. The driver parameter files sit in Connexions/
    // beside the executable.
    static QString DossierConnexions();
    static QString DossierParametres();

    TConnexionStrategie& StrategieCourante() const;
    vl::data::Dataset& Donnees() const;

private:
    void AppliquerStrategieEtCreer();
    void OublierBase();

    std::shared_ptr<vl::persistence::Connecteur> m_connecteur;
    TFenetresConnexion m_fenetresDefaut;
    TFenetresConnexion* m_fenetres;
    std::unique_ptr<TDmIDE> m_ideInterne;
    TDmIDE* m_ide;
    std::vector<std::shared_ptr<TVlConnexion>> m_selecteur;
    int m_selection = -1;
    std::shared_ptr<TVlConnexion> m_connexion;
    bool m_baseProprietaire = true;
};
