#include "report/CanevasBase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vl {

CanevasBase::CanevasBase(const FormatPapier& papier, int xdpi, int ydpi, bool duplex,
                         const QMarginsF& margesCm)
    : m_papier(papier), m_xdpi(xdpi), m_ydpi(ydpi), m_duplex(duplex), m_marges(margesCm),
      m_metrique()
{
    m_metrique.SetPolice(m_police);
}

// --- Paper -----------------------------------------------------------------

void CanevasBase::SetPapier(int codePapierWindows)
{
    if (m_papier.AppliquerCode(codePapierWindows))
        m_papierModifie = true;
}

void CanevasBase::SetPapierPersonnalise(double largeurCm, double hauteurCm)
{
    if (largeurCm <= 0 || hauteurCm <= 0)
        return;
    m_papier.AppliquerPersonnalise(largeurCm, hauteurCm);
    m_papierModifie = true;
}

void CanevasBase::SetOrientation(Orientation o)
{
    if (m_papier.orientation != o) {
        m_papier.orientation = o;
        m_papierModifie = true;
    }
}

void CanevasBase::ActualiserMarges()
{
    m_marges = LireMarges(m_papier);
}

// --- Pages -----------------------------------------------------------------

void CanevasBase::NouvellePage()
{
    if (m_abandonne)
        return;
    FaireNouvellePage();
    ++m_page;
}

void CanevasBase::Abandonner()
{
    if (m_abandonne)
        return;
    m_abandonne = true;
    FaireAbandon();
}

// --- Font ------------------------------------------------------------------

void CanevasBase::PoliceChangee(bool formeChangee)
{
    // Colour, charset and rotation do not change the glyphs' metrics.
    if (formeChangee)
        m_metrique.SetPolice(m_police);
}

void CanevasBase::SetPolice(const Police& p)
{
    const bool forme = p.nom != m_police.nom || p.taille != m_police.taille || p.gras != m_police.gras
        || p.italique != m_police.italique || p.souligne != m_police.souligne || p.barre != m_police.barre;
    m_police = p;
    PoliceChangee(forme);
}

void CanevasBase::SetPoliceNom(const QString& nom)
{
    if (nom == m_police.nom) return;
    m_police.nom = nom;
    PoliceChangee(true);
}

void CanevasBase::SetPoliceTaille(double points)
{
    if (points == m_police.taille) return;
    m_police.taille = points;
    PoliceChangee(true);
}

void CanevasBase::SetPoliceCouleur(Couleur c) { m_police.couleur = c; }

void CanevasBase::SetGras(bool b)
{
    if (b == m_police.gras) return;
    m_police.gras = b;
    PoliceChangee(true);
}

void CanevasBase::SetItalique(bool b)
{
    if (b == m_police.italique) return;
    m_police.italique = b;
    PoliceChangee(true);
}

void CanevasBase::SetSouligne(bool b)
{
    if (b == m_police.souligne) return;
    m_police.souligne = b;
    PoliceChangee(true);
}

void CanevasBase::SetBarre(bool b)
{
    if (b == m_police.barre) return;
    m_police.barre = b;
    PoliceChangee(true);
}

void CanevasBase::SetJeuCaracteres(int jeu) { m_police.jeuCaracteres = jeu; }
void CanevasBase::SetPoliceRotation(int degres) { m_police.rotation = degres; }

double CanevasBase::HauteurLigne() const
{
    switch (m_methode) {
    case lhmLinesPerInch:
        return m_lignesParPouce > 0 ? 2.54 / m_lignesParPouce : 0.0;
    case lhmUser:
        return m_hauteurUtilisateur;
    case lhmFont:
        break;
    }
    return m_metrique.HauteurCm();
}

double CanevasBase::Ascendante() const { return m_metrique.AscendanteCm(); }
double CanevasBase::Descente() const { return m_metrique.DescenteCm(); }

double CanevasBase::LargeurTexte(const QString& texte) const
{
    return m_metrique.LargeurCm(texte);
}

// --- Cursor and text -------------------------------------------------------

void CanevasBase::SetHautLigne(double yCm)
{
    m_y = yCm + HauteurLigne() - Descente();
}

void CanevasBase::Imprimer(const QString& texte)
{
    ImprimerJustifie(texte, m_x, pjLeft);
}

void CanevasBase::ImprimerJustifie(const QString& texte, double xCm, Justification j)
{
    const double largeur = LargeurTexte(texte);
    const double phi = m_police.rotation * std::numbers::pi / 180.0;
    const double dx = std::cos(phi), dy = -std::sin(phi);   // along the baseline, y downwards
    const double recul = j == pjCenter ? largeur / 2.0 : (j == pjRight ? largeur : 0.0);
    const double xd = xCm - recul * dx, yd = m_y - recul * dy;

    if (!m_abandonne && !texte.isEmpty()) {
        TextePlace t;
        t.texte = texte;
        t.xCm = xCm;
        t.yCm = m_y;
        t.justification = j;
        t.largeurCm = largeur;
        t.debutPx = PointVersPx(xd, yd);
        FaireTexte(t);
    }
    m_x = xd + largeur * dx;
    m_y = yd + largeur * dy;
}

// --- Figures ---------------------------------------------------------------

QRect CanevasBase::RectanglePx(double x1, double y1, double x2, double y2) const
{
    const int a = XVersPx(x1), b = XVersPx(x2);
    const int c = YVersPx(y1), d = YVersPx(y2);
    const int l = std::min(a, b), r = std::max(a, b);
    const int t = std::min(c, d), bas = std::max(c, d);
    return QRect(l, t, r - l, bas - t);
}

void CanevasBase::Rectangle(double x1, double y1, double x2, double y2)
{
    if (m_abandonne) return;
    const double cm[4] = {x1, y1, x2, y2};
    FaireRectangle(RectanglePx(x1, y1, x2, y2), cm);
}

void CanevasBase::Ellipse(double x1, double y1, double x2, double y2)
{
    if (m_abandonne) return;
    const double cm[4] = {x1, y1, x2, y2};
    FaireEllipse(RectanglePx(x1, y1, x2, y2), cm);
}

void CanevasBase::Arc(double x1, double y1, double x2, double y2,
                      double x3, double y3, double x4, double y4)
{
    if (m_abandonne) return;
    const double cm[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
    FaireArc(RectanglePx(x1, y1, x2, y2), PointVersPx(x3, y3), PointVersPx(x4, y4), cm);
}

void CanevasBase::Polygone(const QVector<QPoint>& pointsPx)
{
    if (m_abandonne || pointsPx.isEmpty()) return;
    FairePolygone(pointsPx);
}

void CanevasBase::Polyligne(const QVector<QPoint>& pointsPx)
{
    if (m_abandonne || pointsPx.isEmpty()) return;
    FairePolyligne(pointsPx);
}

void CanevasBase::ImprimerImage(double x1, double y1, double x2, double y2, const QImage& image)
{
    if (m_abandonne || image.isNull()) return;
    const double cm[4] = {x1, y1, x2, y2};
    FaireImage(RectanglePx(x1, y1, x2, y2), cm, image);
}

} // namespace vl
