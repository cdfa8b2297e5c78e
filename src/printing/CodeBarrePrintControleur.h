#pragma once
// The barcode printer: validates the value of a barcode leaf, places the code
// and its white quiet zones in the leaf's box by the alignments and the angle,
// and has the report drawer of its symbology print it. A value with a
// character the symbology refuses leaves the box empty, without error.
#include "printing/ElemPrintControleur.h"

#include <QString>

class TVlCodeBarre;

class TCodeBarrePrintControleur : public TElemPrintControleur
{
public:
    explicit TCodeBarrePrintControleur(TPrintControleur& controleur);
    void Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y, double x) override;

protected:
    // The value to encode: the leaf's own, or for a bound leaf the text
    // composed from the current record.
    virtual QString ValeurCode(const TVlCodeBarre& code) const;
};
