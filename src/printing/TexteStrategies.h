#pragma once
// Text layout shared by the element printers: fills lines from words within
// a width, finds the width a block of lines may take in a turned box, and
// fits a text leaf into its box on the report (more lines, or a smaller font
// with AjusterPolice).

#include "printing/TexteDecoupeMots.h"
#include "printing/TexteMesure.h"
#include "report/ErreurRapport.h"

#include <QString>
#include <QStringList>

class TVlAlphaNum;
namespace vl { class Canevas; }

namespace vl {

// "La hauteur de la boite texte %1 est insuffisante": the box of a text leaf
// cannot hold its text. It ends the print run.
class ErreurHauteurTexte : public ErreurRapport
{
public:
    explicit ErreurHauteurTexte(const QString& nomElement);
    const QString& NomElement() const { return m_nom; }

private:
    QString m_nom;
};

} // namespace vl

// What the preparation of a text leaf found, in cm: the printer draws
// NbLignes lines (Ligne(0) ... Ligne(NbLignes - 1)) of HauteurLigne each,
// in a block of LargeurLigne x HauteurBloc turned by the leaf's angle.
struct TMiseEnPageTexte
{
    int NbLignes = 0;
    double HauteurLigne = 0;
    double HauteurBloc = 0;
    double LargeurLigne = 0;
};

class TAlphanumStrategie
{
public:
    // Smallest font size the report renders; the shrinking of AjusterPolice
    // stops there.
    static constexpr int TaillePoliceMinimale = 1;

    // `mesureurImpression` is the shared print measurer; without one the
    // strategy uses its own.
    explicit TAlphanumStrategie(TPrintMesureTexte* mesureurImpression = nullptr);
    virtual ~TAlphanumStrategie() = default;
    TAlphanumStrategie(const TAlphanumStrategie&) = delete;
    TAlphanumStrategie& operator=(const TAlphanumStrategie&) = delete;

    // --- Lines and words
    const QStringList& Lignes() const { return m_lignes; }
    int NombreLignes() const { return int(m_lignes.size()); }
    QString Ligne(int i) const { return m_lignes.value(i); }
    void ViderLignes() { m_lignes.clear(); }
    QStringList& Mots() { return m_mots; }
    const QStringList& Mots() const { return m_mots; }

    // The measurer in use (not owned).
    TMesureTexte* MesureurTexte() const { return m_mesureur; }
    void SetMesureurTexte(TMesureTexte* m) { m_mesureur = m; }
    TPrintMesureTexte& MesureurImpression() { return *m_mesureurImpression; }

    // Width each line may have when a block `hauteurBloc` high, turned by
    // `angleReplie` (0-90 degrees), must fit a box `largeurBoite` x
    // `hauteurBoite`; -1 when it cannot. Centimetres, no rounding.
    double LargeurDisponible(double hauteurBloc, int angleReplie,
                             double hauteurBoite, double largeurBoite) const;
    // The same rule in screen pixels, as the designer rounds it.
    int LargeurDisponibleEcran(int hauteurBloc, int angleReplie,
                               int hauteurBoite, int largeurBoite) const;

    // Fills Lignes with `nbLignes` lines of Mots no wider than `largeurMax`,
    // measured by MesureurTexte. Hard breaks end a line; a word wider than
    // the line is cut to its longest fitting prefix (or, with `ajustement`,
    // makes the filling fail at once). True when every word was consumed.
    bool RemplirLignes(int nbLignes, bool ajustement, double largeurMax);

    // Lays out `texte` of `feuille` on `rapport`: splits it with `decoupage`,
    // sets the report font from the leaf (turned by `angleCourant`), then
    // finds the lines. Lignes() then holds exactly NbLignes lines (blank ones
    // are " ") and the report keeps the font to print them with.
    // Throws vl::ErreurHauteurTexte when the box is too low for the text.
    TMiseEnPageTexte PreparerTexte(const TVlAlphaNum& feuille, const QString& texte,
                                   TDecoupeMotsStrategie& decoupage, vl::Canevas& rapport,
                                   int angleCourant, int angleReplie);

    // True when the platform lists `nomPolice` among the symbol fonts.
    static bool EstPoliceSymbole(const QString& nomPolice);

private:
    QStringList m_lignes;
    QStringList m_mots;
    TMesureTexte* m_mesureur = nullptr;
    TPrintMesureTexte m_mesureurPropre;
    TPrintMesureTexte* m_mesureurImpression;
};
