#pragma once
// Tabular data sources behind one interface: dBase and Paradox tables,
// Access databases, Excel workbooks. The connection strategies work only
// through this header; each driver lives in its own file.

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <memory>

namespace vl::data {

// A failure of a data source. The message is French, names the file, and is
// ready to be shown to the user as it is.
class ErreurDonnees : public std::exception
{
public:
    explicit ErreurDonnees(QString message, QString fichier = QString());
    const QString& Message() const { return m_message; }
    const QString& Fichier() const { return m_fichier; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QString m_fichier;
    QByteArray m_utf8;
};

// Field types, close to the classic database-layer ones so that the
// connection code can filter field lists by type.
enum class TypeChamp {
    Chaine,          // fixed or variable text (dBase C/V, Paradox A, Excel text)
    ChaineLarge,     // Unicode text (Access text)
    PetitEntier,     // 16-bit integer
    Entier,          // 32-bit integer
    Mot,             // unsigned 16-bit integer
    AutoIncrement,   // counter assigned by the source
    GrandEntier,     // 64-bit integer
    Flottant,        // double
    Monnaie,         // currency, held as a double in the value
    BCD,             // fixed-point number, held as a double in the value
    Booleen,
    Date,
    Heure,
    DateHeure,
    Memo,            // unbounded text
    MemoFormate,     // Paradox formatted memo
    Binaire,         // raw bytes (Paradox binary, Access OLE object, dBase binary)
    Graphique,       // picture bytes (Paradox graphic, FoxPro picture)
    BinaireType,     // typed binary
    OleParadox,      // Paradox OLE
    OleDBase,        // dBase/FoxPro general (OLE) field
    Inconnu
};

// Fields of these types hold no single-line text: binary, memo, graphic,
// formatted memo, Paradox OLE, dBase OLE and typed binary.
bool EstTypeBlob(TypeChamp type);
// Text fields: string and wide string.
bool EstTypeChaine(TypeChamp type);
// Memo fields: memo and formatted memo.
bool EstTypeMemo(TypeChamp type);
// Fields that can hold a picture: binary, graphic and typed binary.
bool EstTypeImage(TypeChamp type);
// Fields a print counter may use: small integer, integer, word and float.
bool EstTypeCompteur(TypeChamp type);
// The type's name, for messages and debugging ("Chaine", "Entier", ...).
QString NomType(TypeChamp type);

struct DefinitionChamp
{
    QString nom;
    TypeChamp type = TypeChamp::Inconnu;
    int taille = 0;      // characters for text, digits for numbers, 0 if not relevant
    int decimales = 0;
};

// A position to come back to; valid only on the dataset that gave it.
struct Signet
{
    int index = -1;
    bool Valide() const { return index >= 0; }
};

// The kinds of source.
enum class Format { DBase, Paradox, Access, Excel };

struct OptionsOuverture
{
    QString motDePasse;   // Access database password, may be empty
};

// One table, view or sheet of a source, as listed by ListerObjets.
struct ObjetSource
{
    QString nom;
    bool vue = false;     // an Access query: listed, but cannot be opened
};

// An open table. Values:
//  - a NULL value is an invalid QVariant (!isValid()); an empty text is a
//    valid QVariant holding an empty QString: the two are never confused;
//  - text and memo fields give QString, integers int (qint64 for
//    GrandEntier), numbers (float, currency, BCD) double, booleans bool, dates QDate, times
//    QTime, date-times QDateTime carrying the stored wall-clock date and time
//    as Qt::UTC (no time-zone conversion, no daylight-saving gap
//    can move them), blob fields QByteArray.
// Navigation follows the classic cursor rules: after Premier() Debut() is
// true; Precedent() on the first record sets Debut(); Suivant() on the last
// record sets Fin(); an empty table has both Debut() and Fin() true.
class Dataset
{
public:
    virtual ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    // The file the data comes from, and the table (or sheet) name.
    QString Fichier() const { return m_fichier; }
    QString NomTable() const { return m_nomTable; }

    // Fields
    const QList<DefinitionChamp>& Champs() const { return m_champs; }
    int NombreChamps() const { return int(m_champs.size()); }
    // Index of a field by name, ignoring case; -1 when there is none.
    int IndexChamp(const QString& nom) const;
    // Same, but raises "Champ %1 introuvable" when there is none.
    int IndexChampExiste(const QString& nom) const;
    QStringList NomsChamps() const;

    // Navigation
    int NombreEnregistrements() const { return m_nombre; }
    // 1-based number of the current record, 0 when the table is empty.
    int NumeroEnregistrement() const { return m_nombre == 0 ? 0 : m_courant + 1; }
    bool EstVide() const { return m_nombre == 0; }
    void Premier();
    void Dernier();
    void Suivant();
    void Precedent();
    // Moves to the record numbered numero (1-based); out of range raises.
    void AllerA(int numero);
    bool Debut() const { return m_debut; }
    bool Fin() const { return m_fin; }
    Signet PoserSignet() const;
    void RetourSignet(const Signet& signet);

    // Values of the current record. On an empty table every value is NULL.
    QVariant Valeur(int champ) const;
    QVariant Valeur(const QString& nom) const;
    bool EstNull(int champ) const { return !Valeur(champ).isValid(); }
    bool EstNull(const QString& nom) const { return !Valeur(nom).isValid(); }
    // The field's text: empty for NULL; numbers and dates written with the
    // given locale (short date format); booleans "Vrai"/"Faux"; blobs empty.
    QString Texte(int champ, const QLocale& locale = QLocale()) const;
    QString Texte(const QString& nom, const QLocale& locale = QLocale()) const;
    // The bytes of a blob or memo field (memo text re-encoded as UTF-8).
    QByteArray Blob(int champ) const;
    QByteArray Blob(const QString& nom) const;

    // Editing. Modifiable() tells whether the source accepts edits; when it
    // does not, RaisonNonModifiable() says why, in French.
    bool Modifiable() const { return m_modifiable; }
    QString RaisonNonModifiable() const { return m_raisonNonModifiable; }
    // Sets a value of the current record (an invalid QVariant writes NULL).
    // The value is checked at once: a value that does not fit its field, or
    // any edit of a read-only source, raises a French message.
    void Modifier(int champ, const QVariant& valeur);
    void Modifier(const QString& nom, const QVariant& valeur);
    bool EnEdition() const { return !m_modifications.isEmpty(); }
    // Writes the pending edits of the current record to the file.
    void Valider();
    void Annuler();
    // Sets the field of every record to valeur (NULL by default) and writes
    // it: resets a print counter column. The position is kept.
    void MettreAJourColonne(const QString& nom, const QVariant& valeur = QVariant());

    // Re-reads the file from the start (after another program changed it).
    virtual void Rafraichir();

protected:
    Dataset(QString fichier, QString nomTable);

    // Called by drivers once the fields are known and records counted.
    void Initialiser(QList<DefinitionChamp> champs, int nombre);
    void DefinirModifiable(bool modifiable, const QString& raison = QString());

    // Reads record index (0-based) into a row of NombreChamps() values.
    virtual QList<QVariant> LireEnregistrement(int index) const = 0;
    // Checks that valeur may be stored in field champ; returns the value as it
    // will be stored (e.g. text trimmed to nothing), or raises ErreurDonnees.
    virtual QVariant VerifierValeur(int champ, const QVariant& valeur) const;
    // Writes the changed values of record index. Only called when Modifiable.
    virtual void EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs);

    // Translation helper of the data layer.
    static QString tr(const char* texte)
    {
        return QCoreApplication::translate("vl::data", texte);
    }

private:
    const QList<QVariant>& Ligne() const;
    void Deplacer(int index);

    QString m_fichier;
    QString m_nomTable;
    QList<DefinitionChamp> m_champs;
    int m_nombre = 0;
    int m_courant = 0;
    bool m_debut = true;
    bool m_fin = true;
    bool m_modifiable = false;
    QString m_raisonNonModifiable;
    QHash<int, QVariant> m_modifications;
    mutable QList<QVariant> m_ligne;
    mutable int m_ligneIndex = -1;
};

// Opens table (a file name for dBase and Paradox, a table name for Access, a
// sheet name for Excel) of base (the folder for dBase and Paradox, the
// database or workbook file for Access and Excel). For dBase and Paradox,
// table may also be a full path, base then being ignored.
std::unique_ptr<Dataset> Ouvrir(Format format, const QString& base, const QString& table,
                                const OptionsOuverture& options = {});

// The tables of a source: the *.dbf (or *.db) files of a folder, with their
// extension, sorted; the tables and views of an Access database in catalogue
// order; the sheets of a workbook in workbook order.
QList<ObjetSource> ListerObjets(Format format, const QString& base,
                                const OptionsOuverture& options = {});
QStringList ListerTables(Format format, const QString& base,
                         const OptionsOuverture& options = {});

} // namespace vl::data
