#include "printing/CodeBarrePrintControleur.h"
#include "barcodes/RpBars.h"
#include "model/Metier.h"
#include "printing/PrintControleur.h"

TCodeBarrePrintControleur::TCodeBarrePrintControleur(TPrintControleur& controleur)
    : TElemPrintControleur(controleur)
{
}

QString TCodeBarrePrintControleur::ValeurCode(const TVlCodeBarre& code) const
{
    if (Controleur().Liee(code) && Controleur().Source())
        return Controleur().Source()->ValeurTexte(code);
    return code.Valeur();
}

void TCodeBarrePrintControleur::Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y,
                                         double x)
{
    TElemPrintControleur::Imprimer(feuille, rapport, angleEtiquette, y, x);
    auto* code = dynamic_cast<TVlCodeBarre*>(&feuille);
    if (!code)
        return;
    const int type = code->TypeCodeBarre();
    std::unique_ptr<TRPBarsBase> barres = CreerRPBars(type, &rapport);
    if (!barres)
        return;
    const QString valeur = ValeurCode(*code);
    if (!barres->TexteValide(valeur))
        return;

    vl::Police police = rapport.GetPolice();
    police.nom = QStringLiteral("Arial");
    police.taille = 7;
    police.couleur = vl::clBlack;
    police.gras = police.italique = police.souligne = police.barre = false;
    rapport.SetPolice(police);

    barres->SetText(valeur);
    barres->BarWidth = code->Module() * code->Densite() / 100.0;
    barres->BarHeight = code->HauteurBarres();
    barres->PrintReadable = code->WriteText();

    const double largeurBarres = barres->Width();
    // Ten modules of quiet zone on each side; the EAN 13 left zone keeps the
    // proportion of the standard symbol (3.63 mm for 31.35 mm of bars).
    const double T = code->Module() * 20 * code->Densite() / 100.0 + largeurBarres;
    const double q = type == 0 ? largeurBarres * 3.63 / 31.35 : code->Module() * 10 * code->Densite() / 100.0;
    const double h = barres->Height();

    rapport.SetPlume({vl::clBlack, vl::psClear, 1, vl::pmCopy});
    rapport.SetPinceau({vl::clWhite, vl::bsSolid});

    const double L = code->Largeur();
    const double H = code->Hauteur();
    const int ah = code->AlignementHorizontal();
    const int av = code->AlignementVertical();
    double u = x, v = y;
    TBarCodeRotation rotation = Rot0;
    const bool droit = TRPBarsBase::RotationPourAngle(AngleCourant, rotation);
    if (droit) {
        barres->BarCodeRotation = rotation;
        switch (rotation) {
        case Rot0:
            if (ah == 1)
                x += (L - T) / 2;
            else if (ah == 2)
                x += L - T;
            if (av == 1)
                y += (H - h) / 2;
            else if (av == 2)
                y += H - h;
            rapport.Rectangle(x, y, x + T, y + h);
            u = x + q;
            v = y;
            break;
        case Rot90: {
            double p = y + T - q;
            if (ah == 0)
                p += H - T;
            else if (ah == 1)
                p += (H - T) / 2;
            if (av == 1)
                x += (L - h) / 2;
            else if (av == 2)
                x += L - h;
            rapport.Rectangle(x, p + q, x + h, p - T + q);
            u = p;
            v = x;
            break;
        }
        case Rot180: {
            double p = x + T - q;
            if (ah == 0)
                p += L - T;
            else if (ah == 1)
                p += (L - T) / 2;
            double y2 = y + h;
            if (av == 0)
                y2 += H - h;
            else if (av == 1)
                y2 += (H - h) / 2;
            rapport.Rectangle(p + q, y2, p - T + q, y2 - h);
            u = p;
            v = y2;
            break;
        }
        case Rot270: {
            double p = y + q;
            if (ah == 1)
                p += (H - T) / 2;
            else if (ah == 2)
                p += H - T;
            double x2 = x + h;
            if (av == 0)
                x2 += L - h;
            else if (av == 1)
                x2 += (L - h) / 2;
            rapport.Rectangle(x2, p - q, x2 - h, p + T - q);
            u = p;
            v = x2;
            break;
        }
        }
    }
    if (type == 0 || type == 5)
        rapport.SetPoliceTaille(10);
    barres->PrintXY(u, v);
}
