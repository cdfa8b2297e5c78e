#include "Geometrie.h"
#include "Metier.h"
#include <algorithm>

TDecalages TDecalages::De(const TVlAjustement* a)
{
    if (!a)
        return {};
    return {a->Gauche() / 10.0, a->Haut() / 10.0, a->DefilementH() / 10.0, a->DefilementV() / 10.0};
}

namespace {

// Y of slot j (0-based) of a column placed at x, with its angle.
void RemplirColonne(const TVlMiseEnPage& mep, const TVlColonne& col, int k, double x, const TDecalages& d,
                    std::vector<TEmplacement>& out)
{
    const double H = mep.Hauteur();
    const double pas = H + mep.IntervalleV() + d.aDV;
    const int m = col.NbEtiquettes();
    const double base = mep.MargeHaute() + d.aH + col.OffsetY();
    if (!col.Inversion()) {
        for (int j = 0; j < m; ++j)
            out.push_back({x, base + j * pas, 0, k, j});
    } else {
        // The first slot is the lowest; the calibration step enters the
        // step between slots but not the position of the lowest one.
        const double haut = base + (m - 1) * (mep.IntervalleV() + H);
        for (int j = 0; j < m; ++j)
            out.push_back({x, haut - j * pas, 180, k, j});
    }
}

} // namespace

std::vector<TEmplacement> EmplacementsRecto(const TVlMiseEnPage& mep, const TDecalages& d)
{
    std::vector<TEmplacement> r;
    const int n = mep.ColonnesCount();
    double x = 0;
    for (int k = 0; k < n; ++k) {
        const auto col = mep.Colonnes(k);
        x = (k == 0) ? mep.MargeGauche() + d.aG + col->OffsetX()
                     : x + mep.Largeur() + mep.IntervalleH() + d.aDH + col->OffsetX();
        RemplirColonne(mep, *col, k, x, d, r);
    }
    return r;
}

std::vector<TEmplacement> EmplacementsVerso(const TVlMiseEnPage& mep, const TDecalages& d, TModeSortie mode,
                                            double largeurPage)
{
    std::vector<TEmplacement> r;
    if (!mep.RectoVerso())
        return r;
    const int n = mep.ColonnesCount();
    if (n == 0)
        return r;
    const double pasColonne = mep.Largeur() + mep.IntervalleH() + d.aDH;
    double s;
    if (mep.LeurrerImprimante() && mode != TModeSortie::Apercu) {
        s = largeurPage + d.aG;
    } else {
        double offsets = 0;
        for (int k = 0; k < n; ++k)
            offsets += mep.Colonnes(k)->OffsetX();
        s = mep.MargeGauche() + d.aG + offsets + (n - 1) * pasColonne;
    }
    double v = 0;
    for (int k = 0; k < n; ++k) {
        const auto col = mep.Colonnes(k);
        v = (k == 0) ? s - col->OffsetX() : v - pasColonne - col->OffsetX();
        RemplirColonne(mep, *col, k, v, d, r);
    }
    return r;
}

std::vector<TEmplacement> Emplacements(const TVlMiseEnPage& mep, TFace face, const TDecalages& d, TModeSortie mode,
                                       double largeurPage)
{
    return face == TFace::Recto ? EmplacementsRecto(mep, d) : EmplacementsVerso(mep, d, mode, largeurPage);
}

std::vector<TFigure> ContourEtiquette(const TVlMiseEnPage& mep, const TEmplacement& e, TFace face)
{
    const double W = mep.Largeur();
    const double H = mep.Hauteur();
    std::vector<TFigure> figures;
    const int n = mep.PointsCount();
    if (n == 0) {
        figures.push_back({3, {QPointF(e.X, e.Y), QPointF(e.X + W, e.Y + H)}});
        return figures;
    }
    auto placer = [&](double x, double y) {
        const bool verso = face == TFace::Verso;
        if (e.Angle == 180) {
            if (verso)
                y = H - y;
            else {
                x = W - x;
                y = H - y;
            }
        } else if (verso) {
            x = W - x;
        }
        return QPointF(e.X + x, e.Y + y);
    };
    for (int i = 0; i < n;) {
        const auto premier = mep.Points(i);
        TFigure f;
        f.Tracer = premier->Tracer();
        int j = i;
        for (; j < n && mep.Points(j)->Figure() == premier->Figure(); ++j)
            f.Points.push_back(placer(mep.Points(j)->X(), mep.Points(j)->Y()));
        // A mirrored arc runs the other way: exchange its start and end so
        // it covers the same part of the outline.
        if (f.Tracer == 2 && face == TFace::Verso && f.Points.size() >= 4)
            std::swap(f.Points[2], f.Points[3]);
        figures.push_back(std::move(f));
        i = j;
    }
    return figures;
}

namespace {
bool CalculeEspacePerdu(const TVlMiseEnPage& mep) { return (mep.EspacePerdu() & (2 | 8)) != 0; }
} // namespace

double EspaceDroit(const TVlMiseEnPage& mep, double largeurPage)
{
    if (!CalculeEspacePerdu(mep))
        return 0;
    const int n = mep.ColonnesCount();
    double utilise = mep.MargeGauche() + std::max(0, n - 1) * mep.IntervalleH();
    for (int k = 0; k < n; ++k)
        utilise += mep.Colonnes(k)->OffsetX() + mep.Largeur();
    return largeurPage - utilise;
}

double EspaceBas(const TVlMiseEnPage& mep, double hauteurPage)
{
    if (!CalculeEspacePerdu(mep))
        return 0;
    double utilise = 0;
    for (int k = 0; k < mep.ColonnesCount(); ++k) {
        const auto col = mep.Colonnes(k);
        const int m = col->NbEtiquettes();
        utilise = std::max(utilise, mep.MargeHaute() + col->OffsetY() + m * mep.Hauteur() + (m - 1) * mep.IntervalleV());
    }
    return hauteurPage - utilise;
}

std::vector<TBande> BandesGrises(const TVlMiseEnPage& mep, const TMargesImprimante& m, double espaceDroit,
                                 double espaceBas, const TDecalages& d, TFace face)
{
    std::vector<TBande> r;
    const int bits = mep.EspacePerdu();
    const int n = mep.ColonnesCount();
    const bool verso = face == TFace::Verso;
    auto ajouter = [&](TBande::Cote cote, double e) {
        if (e > 0)
            r.push_back({cote, e});
    };
    if (bits & 1) {
        double e = m.Gauche - mep.MargeGauche() - d.aG;
        if (n > 0 && mep.Colonnes(n - 1)->Inversion())
            e = std::max(m.Droite - espaceDroit, m.Gauche - mep.MargeGauche()) - d.aG;
        ajouter(verso ? TBande::Droite : TBande::Gauche, e);
    }
    if (bits & 2)
        ajouter(verso ? TBande::Gauche : TBande::Droite, m.Droite - espaceDroit + d.aG + std::max(0, n - 1) * d.aDH);
    if (bits & 4)
        ajouter(TBande::Haut, m.Haut - mep.MargeHaute() - d.aH);
    if (bits & 8) {
        const int m0 = n > 0 ? mep.Colonnes(0)->NbEtiquettes() : 0;
        ajouter(TBande::Bas, m.Bas - espaceBas + d.aH + std::max(0, m0 - 1) * d.aDV);
    }
    return r;
}
