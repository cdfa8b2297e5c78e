#include "printing/ImprimeursTexte.h"
#include "model/Metier.h"
#include "printing/PrintControleur.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

TAlphaNumPrintControleur::TAlphaNumPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes,
                                                   TDecoupeMotsStrategie& decoupage)
    : TElemPrintControleur(controleur), Decoupage(&decoupage), MiseEnLignes(miseEnLignes)
{
}

void TAlphaNumPrintControleur::Preparer()
{
    TElemPrintControleur::Preparer();
    Texte = TexteFeuille();
    HauteurBloc = HauteurLigne = LargeurLigne = 0;
    NbLignes = 0;
    const TMiseEnPageTexte m = MiseEnLignes.PreparerTexte(static_cast<const TVlAlphaNum&>(*Feuille), Texte,
                                                          *Decoupage, *Rapport, AngleCourant, AngleReplie);
    NbLignes = m.NbLignes;
    HauteurLigne = m.HauteurLigne;
    HauteurBloc = m.HauteurBloc;
    LargeurLigne = m.LargeurLigne;
}

TAlphaNumPrintControleur::Bloc TAlphaNumPrintControleur::PlacerBloc(double L, double H, double W, double B,
                                                                    int angle, int alignementVertical)
{
    const double a = qDegreesToRadians(double(angle));
    const double c = std::cos(a), s = std::sin(a);
    const double bw = std::abs(W * c) + std::abs(B * s);
    const double bh = std::abs(W * s) + std::abs(B * c);
    // Corners of the box by quadrant: top-left, bottom-left, bottom-right, top-right.
    const QPointF coins[4] = {{0, 0}, {0, H - bh}, {L - bw, H - bh}, {L - bw, 0}};
    const int quadrant = (angle % 360) / 90;
    QPointF boite;
    if (alignementVertical == 1)
        boite = {(L - bw) / 2, (H - bh) / 2};
    else if (alignementVertical == 2)
        boite = coins[(quadrant + 2) % 4];
    else
        boite = coins[quadrant];
    Bloc b;
    b.TL = boite + QPointF(std::max(0.0, -W * c) + std::max(0.0, -B * s), std::max(0.0, W * s) + std::max(0.0, -B * c));
    b.TR = b.TL + W * QPointF(c, -s);
    b.BL = b.TL + B * QPointF(s, c);
    b.BR = b.TR + B * QPointF(s, c);
    return b;
}

void TAlphaNumPrintControleur::Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y,
                                        double x)
{
    TElemPrintControleur::Imprimer(feuille, rapport, angleEtiquette, y, x);
    if (HauteurBloc == 0 || LargeurLigne == 0 || NbLignes == 0)
        return;
    const auto& f = static_cast<const TVlAlphaNum&>(feuille);
    const Bloc b = PlacerBloc(f.Largeur(), f.Hauteur(), LargeurLigne, HauteurBloc, AngleCourant, f.AlignementVertical());
    const int ah = f.AlignementHorizontal();
    QPointF ancre = ah == 1 ? (b.TL + b.TR) / 2 : ah == 2 ? b.TR : b.TL;
    const QPointF pas = (b.BL - b.TL) / NbLignes;
    const double hl = rapport.HauteurLigne();
    ancre += pas * (1 - (hl > 0 ? rapport.Descente() / hl : 0)) + QPointF(x, y);

    if (!f.Transparent()) {
        const vl::Couleur fond = vl::Couleur(f.CouleurFond());
        const vl::Plume plume = rapport.GetPlume();
        const vl::Pinceau pinceau = rapport.GetPinceau();
        rapport.SetPlume({fond, vl::psClear, 0, vl::pmCopy});
        rapport.SetPinceau({fond, vl::bsSolid});
        if (AngleCourant % 90 == 0) {
            rapport.Rectangle(x, y, x + f.Largeur(), y + f.Hauteur());
        } else {
            QVector<QPoint> px;
            for (const QPointF& p : {b.TL, b.TR, b.BR, b.BL})
                px.push_back(rapport.PointVersPx(p.x() + x, p.y() + y));
            rapport.Polygone(px);
        }
        rapport.SetPlume(plume);
        rapport.SetPinceau(pinceau);
    }
    const vl::Justification j = ah == 1 ? vl::pjCenter : ah == 2 ? vl::pjRight : vl::pjLeft;
    for (int i = 0; i < NbLignes; ++i) {
        rapport.SetY(ancre.y());
        rapport.ImprimerJustifie(MiseEnLignes.Ligne(i), ancre.x(), j);
        ancre += pas;
    }
}

TTextePrintControleur::TTextePrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes)
    : TAlphaNumPrintControleur(controleur, miseEnLignes, m_decoupage)
{
}

QString TTextePrintControleur::TexteFeuille() const
{
    const auto& f = static_cast<const TVlTexte&>(*Feuille);
    if (Controleur().Liee(f) && Controleur().Source())
        return Controleur().Source()->ValeurTexte(f);
    return f.Valeur();
}

TMemoPrintControleur::TMemoPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes)
    : TAlphaNumPrintControleur(controleur, miseEnLignes, m_decoupage)
{
}

QString TMemoPrintControleur::TexteFeuille() const
{
    const auto& f = static_cast<const TVlMemo&>(*Feuille);
    if (Controleur().Liee(f) && Controleur().Source())
        return Controleur().Source()->ValeurMemo(f);
    return f.Valeur();
}

TCptPrintControleur::TCptPrintControleur(TPrintControleur& controleur, TAlphanumStrategie& miseEnLignes)
    : TAlphaNumPrintControleur(controleur, miseEnLignes, m_decoupage)
{
}

QString TCptPrintControleur::TexteFeuille() const
{
    const auto& f = static_cast<const TVlCompteur&>(*Feuille);
    return TexteCompteur(f.Valeur(), Controleur().Liee(f), Controleur().EtiquettesImprimees, Controleur().CopieCourante);
}
