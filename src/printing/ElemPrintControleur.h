#pragma once
// The element printers: one object per leaf class draws every leaf of that
// class on the report page. The print run calls Imprimer for each leaf of
// each label; the printer combines the label's angle with the leaf's own.
#include "model/Controleurs.h"
#include "report/Canevas.h"

#include <QString>

class TVlFeuille;
class TPrintControleur;

class TElemPrintControleur
{
public:
    explicit TElemPrintControleur(TPrintControleur& controleur) : m_controleur(controleur) {}
    virtual ~TElemPrintControleur() = default;

    // (x, y): top-left corner of the leaf's box on the page, cm. The base
    // records the leaf and the report, computes the angles and prepares.
    virtual void Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y, double x);

    // Folds an angle of 0-359 into 0-90.
    static int Replier(int angle);

    TVlFeuille* Feuille = nullptr;
    vl::Canevas* Rapport = nullptr;
    int AngleReplie = 0;
    int AngleCourant = 0;

protected:
    virtual void Preparer();
    TPrintControleur& Controleur() const { return m_controleur; }

private:
    TPrintControleur& m_controleur;
};

// The text a counter prints: a static counter its start value plus the
// labels printed before this one, a bound counter the copy number within
// the current record.
QString TexteCompteur(int valeur, bool lie, int etiquettesImprimees, int copieCourante);
