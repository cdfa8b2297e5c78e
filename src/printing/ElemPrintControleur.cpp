#include "printing/ElemPrintControleur.h"
#include "model/Metier.h"

#include <cstdlib>

int TElemPrintControleur::Replier(int a)
{
    if (a <= 90)
        return a;
    if (a <= 270)
        return std::abs(a - 180);
    return std::abs(a - 360);
}

void TElemPrintControleur::Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double, double)
{
    Feuille = &feuille;
    Rapport = &rapport;
    AngleCourant = ((angleEtiquette + feuille.Angle()) % 360 + 360) % 360;
    AngleReplie = Replier(AngleCourant);
    Preparer();
}

void TElemPrintControleur::Preparer() { AngleReplie = Replier(AngleCourant); }

QString TexteCompteur(int valeur, bool lie, int etiquettesImprimees, int copieCourante)
{
    return QString::number(lie ? copieCourante + 1 : valeur + etiquettesImprimees - 1);
}
