#pragma once
// Binding of database leaves to fields: builds a leaf's binding from the
// field pickers, shows it as a formula, computes its value for the current
// record of the open connection.
#include "model/Metier.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class TControleurConnexion;

// One result row of a field picker: a shown field name ("C") or a literal ("L").
struct TLigneChoisie
{
    QString Texte;
    QString Type;
    bool operator==(const TLigneChoisie&) const = default;
};

enum class TGenreSelecteur {
    ChampUnique,     // memo, image and barcode leaves: one field
    Concatenation    // text leaves: fields and literals
};

// The two modal pickers. lignes comes preloaded for an edit of an existing
// binding; on OK it holds the rows chosen, in order. False: cancelled.
class TSelecteursChamps
{
public:
    virtual ~TSelecteursChamps() = default;
    virtual bool Choisir(TGenreSelecteur genre, const QStringList& champs, QList<TLigneChoisie>& lignes) = 0;
};

class TConnexionFeuilleManager
{
public:
    TConnexionFeuilleManager(TControleurConnexion& controleur, TSelecteursChamps* selecteurs = nullptr);

    void DefinirSelecteurs(TSelecteursChamps* selecteurs) { m_selecteurs = selecteurs; }
    TGenreSelecteur GenreSelecteur() const { return m_genre; }

    QString LibelleLiaison(const TVlFeuille& feuille) const;
    QString NomChampReel(const QString& affiche) const;
    void ListerChampsPour(QStringList& liste, const TVlFeuille* feuille) const;
    QString ValeurTexte(const TVlFeuille& feuille) const;
    QString ValeurMemo(const TVlFeuille& feuille) const;
    // Loads the bound picture; image stays null when nothing could be read.
    void ChargerImageLiee(const TVlFeuille& feuille, QImage& image, bool brut) const;
    // Binds a new database leaf; false when the picker was cancelled (the
    // leaf is then left without binding).
    bool Lier(TVlFeuille& feuille, int typeChamp);
    // Edits the concatenation of a text leaf; false when cancelled (the
    // binding is unchanged).
    bool EditerConcatenation(TVlFeuille& feuille);
    void SetChampImage(TVlFeuille& feuille, const QString& nom);

    // Where a relative picture file name is looked for: Images/ beside the executable.
    static QString CheminImage(const QString& nom);

private:
    void Reconstruire(TVLFeuilleConnexion& liaison, const QList<TLigneChoisie>& lignes) const;
    static void AjouterPiece(TVLFeuilleConnexion& liaison, int type, const QString& valeur);

    TControleurConnexion& m_controleur;
    TSelecteursChamps* m_selecteurs;
    TGenreSelecteur m_genre = TGenreSelecteur::ChampUnique;
};
