#include "report/CanevasPeintre.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace vl {

CanevasPeintre::CanevasPeintre(SortiePage& sortie, const FormatPapier& papier)
    : CanevasBase(papier, sortie.XDPI(), sortie.YDPI(), sortie.Duplex(), sortie.MargesCm(papier)),
      m_sortie(sortie)
{
}

CanevasPeintre::~CanevasPeintre()
{
    if (m_peintre && !m_termine)
        m_sortie.Abandonner();
}

void CanevasPeintre::Commencer()
{
    if (m_peintre || Abandonne())
        return;
    m_peintre = &m_sortie.Commencer(Papier());
    PapierApplique();
    ActualiserMarges();
    Reinitialiser();
}

void CanevasPeintre::Terminer()
{
    if (m_termine)
        return;
    if (Abandonne()) {
        m_termine = true;
        return;
    }
    Commencer();          // an execution always has at least one page
    m_termine = true;
    m_sortie.Terminer();
}

QPainter& CanevasPeintre::Peintre()
{
    if (!m_peintre)
        Commencer();
    return *m_peintre;
}

void CanevasPeintre::Reinitialiser()
{
    m_etatPlume = EtatPlume::Inconnu;
    m_pinceauConnu = false;
    m_policeConnue = false;
    // Figures are drawn on whole device pixels, crisp; text stays smooth.
    m_peintre->setRenderHint(QPainter::Antialiasing, false);
    m_peintre->setRenderHint(QPainter::TextAntialiasing, true);
    m_peintre->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void CanevasPeintre::AppliquerPlumePinceau(bool pinceau)
{
    QPainter& p = Peintre();
    const Plume& plume = GetPlume();
    if (m_etatPlume != EtatPlume::Figure || !(m_plumeAppliquee == plume)) {
        if (plume.style == psClear) {
            p.setPen(Qt::NoPen);
        } else {
            Qt::PenStyle style = Qt::SolidLine;
            switch (plume.style) {
            case psDash: style = Qt::DashLine; break;
            case psDot: style = Qt::DotLine; break;
            case psDashDot: style = Qt::DashDotLine; break;
            case psDashDotDot: style = Qt::DashDotDotLine; break;
            default: break;
            }
            QPen pen(VersQColor(plume.couleur), std::max(1, plume.largeur), style, Qt::SquareCap, Qt::MiterJoin);
            p.setPen(pen);
        }
        if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster) {
            p.setCompositionMode(plume.mode == pmXor      ? QPainter::RasterOp_SourceXorDestination
                                 : plume.mode == pmNotXor ? QPainter::RasterOp_NotSourceXorDestination
                                                          : QPainter::CompositionMode_SourceOver);
        }
        m_plumeAppliquee = plume;
        m_etatPlume = EtatPlume::Figure;
    }
    const Pinceau& b = GetPinceau();
    const bool avec = pinceau && b.style == bsSolid;
    if (!m_pinceauConnu || m_avecPinceau != avec || !(m_pinceauApplique == b)) {
        p.setBrush(avec ? QBrush(VersQColor(b.couleur)) : QBrush(Qt::NoBrush));
        m_pinceauApplique = b;
        m_avecPinceau = avec;
        m_pinceauConnu = true;
    }
}

void CanevasPeintre::AppliquerPolice()
{
    QPainter& p = Peintre();
    const QFont& f = Metrique().Font();
    if (!m_policeConnue || !(m_policeAppliquee == f)) {
        p.setFont(Metrique().FontDessin(YDPI()));
        m_policeAppliquee = f;
        m_policeConnue = true;
    }
    const Couleur c = GetPolice().couleur;
    if (m_etatPlume != EtatPlume::Texte || m_couleurTexteAppliquee != c) {
        p.setPen(VersQColor(c));
        if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster)
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_couleurTexteAppliquee = c;
        m_etatPlume = EtatPlume::Texte;
    }
}

void CanevasPeintre::FaireTexte(const TextePlace& t)
{
    AppliquerPolice();
    QPainter& p = Peintre();
    const int rotation = GetPolice().rotation % 360;
    const double echelle = double(YDPI()) / MetriquePolice::ResolutionReference;
    p.save();
    p.translate(t.debutPx);
    if (rotation != 0)
        p.rotate(-rotation);     // Qt turns clockwise on a y-down page
    p.scale(echelle, echelle);
    p.drawText(QPointF(0, 0), t.texte);
    p.restore();
}

void CanevasPeintre::FaireRectangle(const QRect& px, const double*)
{
    if (px.isEmpty())
        return;
    QPainter& p = Peintre();
    const Pinceau& b = GetPinceau();
    const Plume& plume = GetPlume();
    const bool contourInvisible = plume.style == psClear
        || ((plume.style == psSolid || plume.style == psInsideFrame) && plume.couleur == b.couleur);
    if (b.style == bsSolid && plume.mode == pmCopy && contourInvisible) {
        // A plain filled box (the bars of a barcode, thousands a run, have an
        // outline of their own colour inside them): one fill, with the
        // painter keeping its pen and brush from one box to the next, where
        // fillRect would save, set and restore them each time.
        if (m_etatPlume != EtatPlume::Remplissage) {
            p.setPen(Qt::NoPen);
            if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster)
                p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            m_etatPlume = EtatPlume::Remplissage;
        }
        if (!m_pinceauConnu || !m_avecPinceau || !(m_pinceauApplique == b)) {
            p.setBrush(QBrush(VersQColor(b.couleur)));
            m_pinceauApplique = b;
            m_avecPinceau = true;
            m_pinceauConnu = true;
        }
        p.drawRect(QRectF(px));
        return;
    }
    if (b.style == bsSolid)
        p.fillRect(px, VersQColor(b.couleur));
    if (plume.style == psClear)
        return;
    const int w = std::max(1, plume.largeur);
    if (plume.style == psSolid || plume.style == psInsideFrame) {
        // The outline lies inside the rectangle, as exact pixel strips.
        const QColor c = VersQColor(plume.couleur);
        const int ew = std::min(w, px.width()), eh = std::min(w, px.height());
        p.fillRect(QRect(px.left(), px.top(), px.width(), eh), c);
        p.fillRect(QRect(px.left(), px.bottom() - eh + 1, px.width(), eh), c);
        p.fillRect(QRect(px.left(), px.top(), ew, px.height()), c);
        p.fillRect(QRect(px.right() - ew + 1, px.top(), ew, px.height()), c);
        return;
    }
    AppliquerPlumePinceau(false);
    const double d = w / 2.0;
    p.drawRect(QRectF(px).adjusted(d, d, -d, -d));
}

void CanevasPeintre::FaireEllipse(const QRect& px, const double*)
{
    if (px.isEmpty())
        return;
    AppliquerPlumePinceau(true);
    const double d = GetPlume().style == psClear ? 0.0 : std::max(1, GetPlume().largeur) / 2.0;
    Peintre().drawEllipse(QRectF(px).adjusted(d, d, -d, -d));
}

void CanevasPeintre::FaireArc(const QRect& px, const QPoint& debutPx, const QPoint& finPx, const double*)
{
    if (px.isEmpty() || GetPlume().style == psClear)
        return;
    AppliquerPlumePinceau(false);
    const QRectF r = QRectF(px).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF c = r.center();
    const double a = r.width() / 2.0, b = r.height() / 2.0;
    // The arc runs between rays through two points; Qt wants the angles of
    // the ellipse's parameter, counter-clockwise from three o'clock.
    auto parametre = [&](const QPoint& q) {
        const double theta = std::atan2(-(q.y() - c.y()), q.x() - c.x());
        return std::atan2(a * std::sin(theta), b * std::cos(theta)) * 180.0 / std::numbers::pi;
    };
    const double debut = parametre(debutPx);
    double etendue = parametre(finPx) - debut;
    while (etendue <= 0)
        etendue += 360.0;
    Peintre().drawArc(r, int(std::lround(debut * 16)), int(std::lround(etendue * 16)));
}

void CanevasPeintre::FairePolygone(const QVector<QPoint>& px)
{
    AppliquerPlumePinceau(true);
    Peintre().drawPolygon(px.constData(), int(px.size()));
}

void CanevasPeintre::FairePolyligne(const QVector<QPoint>& px)
{
    AppliquerPlumePinceau(false);
    Peintre().drawPolyline(px.constData(), int(px.size()));
}

void CanevasPeintre::FaireImage(const QRect& px, const double*, const QImage& image)
{
    if (px.isEmpty())
        return;
    // The same QImage keeps its cache key: a PDF embeds it only once.
    Peintre().drawImage(px, image);
}

void CanevasPeintre::FaireNouvellePage()
{
    if (!m_peintre) {
        Commencer();
    }
    m_peintre = &m_sortie.PageSuivante(Papier());
    if (PapierModifie()) {
        PapierApplique();
        ActualiserMarges();
    }
    Reinitialiser();
}

void CanevasPeintre::FaireAbandon()
{
    if (m_peintre && !m_termine) {
        m_sortie.Abandonner();
        m_termine = true;
    }
}

} // namespace vl
