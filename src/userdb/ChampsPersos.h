#pragma once
// Custom columns and categories of the personal database, and the rules of
// the configuration dialog's pages that do not depend on its windows.
#include "data/Dataset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TdmUserDb;

// One column type offered to the user: its display text and its SQL type.
struct TTypeChampPerso
{
    QString Affichage;
    QString Sql;
};

// "Texte simple"=text, "Texte long"=memo, "Nombre"=double,
// "Monétaire"=currency, "Date et heure"=dateTime, in this order.
QList<TTypeChampPerso> TypesChampsPersos();
// The same as the dialog keeps them: display text, "=", SQL type.
QStringList ListeTypesChampsPersos();
// The type as SQLite declares it: text keeps its size ("text(30)"), a memo is
// declared "memo text" so that SQLite stores whatever is typed as text.
// Raises for an SQL type that is not one of the five.
QString TypeDeclare(const QString& typeSql, int taille);

class TCustomFieldsControler
{
public:
    explicit TCustomFieldsControler(TdmUserDb& module);

    const QString Table;
    const QString ChampCle;
    const QStringList ChampsStandard;

    // Adds a column after checking its name (see TReglesConfiguration::VerifierNomChamp)
    // and size (0: none; otherwise 1 to 255).
    void AjouterChamp(const QString& nom, const QString& type, int taille);
    // Drops a custom column; a standard one is refused.
    void SupprimerChamp(const QString& nom);
    // True when nom is empty or is not a standard column (ignoring case).
    bool NomLibre(const QString& nom) const;
    void ListeChampsPersos(QStringList& liste) const;
    int TailleChamp(const QString& nom) const;
    vl::data::TypeChamp TypeChamp(const QString& nom) const;
    bool EstMemo(const QString& nom) const;

private:
    // Runs the DDL between closing and reopening the query on its record.
    void Modifier(const QString& sql);
    const vl::data::DefinitionChamp& Definition(const QString& nom) const;

    TdmUserDb& m_module;
};

// One category of the ordered list; the blank entry has no Id.
struct TEntreeCategorie
{
    QString Titre;
    QVariant Id;
};

class TCategoriesControler
{
public:
    explicit TCategoriesControler(TdmUserDb& module);

    QString Ordre;
    QStringList OrdreAnalyse;   // category Ids as text
    const QString Table;
    const QString TableCategories;
    const QString ChampId;
    const QString ChampTitre;
    const QString ChampCategorie;

    // A new category; an empty title, or one already there (ignoring case), is refused.
    void InsererCategorie(const QString& titre);
    // Deletes a category that no record uses; a used one is refused.
    void SupprimerCategorie(const QString& titre);
    void CategoriesLibres(QStringList& liste) const;
    // Titles in the user order, then the others in title order; avecVide
    // puts first one blank entry (a record without category).
    void ListeCategories(QList<TEntreeCategorie>& liste, bool avecVide) const;
    QStringList TitresCategories(bool avecVide) const;
    // Sets the order text (Ids each followed by ";"). A hand-edited text is
    // read leniently: blanks ignored, entries that are not integers and
    // repeated Ids skipped, a last Id without its ";" kept.
    void SetOrdre(const QString& texte);

private:
    TdmUserDb& m_module;
};

// The rules of the configuration dialog's pages.
class TReglesConfiguration
{
public:
    // Name box: "!", ".", "[", "]" and "`" are refused, and a blank as the
    // first character of an empty box.
    static bool CaractereNomAccepte(QChar c, bool boiteVide);
    // Size box: digits only, at most 64 characters.
    static bool CaractereTailleAccepte(QChar c, int longueurActuelle);
    // The size box is shown for the first type ("Texte simple") only.
    static bool TailleVisible(int indexType);
    // "Ajouter": a name, a type, and for a simple text a size below 256.
    static bool AjoutChampPermis(const QString& nom, int indexType, const QString& taille);
    // The size passed to AjouterChamp: the size box's integer when shown and
    // filled, else 0.
    static int TailleSaisie(int indexType, const QString& taille);
    // Raises the dialog's error for a name that cannot be a new column:
    // "Un champ portant ce nom existe déjà" (custom or standard, ignoring
    // case), "Le nom du champ ne doit pas commencer par un chiffre ou un
    // espace", or the refused characters.
    static void VerifierNomChamp(const QString& nom, const QStringList& champsPersos,
                                 const TCustomFieldsControler& controleur);

    // Categories page.
    static bool AjoutCategoriePermis(const QString& texte, const QList<TEntreeCategorie>& liste);
    static bool SuppressionCategoriePermise(const QList<TEntreeCategorie>& liste, int index,
                                            const QStringList& libres);
    static bool MonteePermise(const QList<TEntreeCategorie>& liste, int index);
    static bool DescentePermise(const QList<TEntreeCategorie>& liste, int index);
    // The Id of every entry in list order, each followed by ";".
    static QString OrdreCategories(const QList<TEntreeCategorie>& liste);
};
