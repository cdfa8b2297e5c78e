#pragma once
// The printers of the text-like leaves: single-line text, memo and counter.
// Each lays its text out in the leaf's box (more lines, or a smaller font)
// and prints the lines turned by the leaf's angle.
#include "printing/ElemPrintControleur.h"
#include "printing/TexteDecoupeMots.h"
#include "printing/TexteStrategies.h"

#include <QPointF>

class TAlphaNumPrintControleur : public TElemPrintControleur
{
public:
    TAlphaNumPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes,
                             TDecoupeMotsStrategie& decoupage);
    void Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y, double x) override;

    TDecoupeMotsStrategie* Decoupage;
    TAlphanumStrategie& MiseEnLignes;
    QString Texte;
    double HauteurBloc = 0;
    double HauteurLigne = 0;
    int NbLignes = 0;
    double LargeurLigne = 0;

    // Corners of the turned text block within the leaf's box (cm from the
    // box's corner), as Imprimer places them.
    struct Bloc
    {
        QPointF TL, TR, BL, BR;
    };
    static Bloc PlacerBloc(double L, double H, double W, double B, int angle, int alignementVertical);

protected:
    void Preparer() override;
    // The text of the leaf for the current label.
    virtual QString TexteFeuille() const = 0;
};

class TTextePrintControleur : public TAlphaNumPrintControleur
{
public:
    TTextePrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes);

protected:
    QString TexteFeuille() const override;

private:
    TSimpleDecoupeMotsStrategie m_decoupage;
};

class TMemoPrintControleur : public TAlphaNumPrintControleur
{
public:
    TMemoPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes);

protected:
    QString TexteFeuille() const override;

private:
    TMemoDecoupeMotsStrategie m_decoupage;
};

class TCptPrintControleur : public TAlphaNumPrintControleur
{
public:
    TCptPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes);

protected:
    QString TexteFeuille() const override;

private:
    TSimpleDecoupeMotsStrategie m_decoupage;
};
