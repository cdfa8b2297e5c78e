#include "printing/TexteRotation.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

QRgb VersRgb(vl::Couleur c)
{
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

// ---------------------------------------------------------------------------
// Quarter turns

void TBmpRot90Strategie::Tourner(QImage& image, int angle)
{
    const int a = ((angle % 360) + 360) % 360;
    if (a % 90 != 0 || image.isNull())
        return;
    // Colours kept, alpha dropped.
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();
    if (a == 0) {
        image = source;
        return;
    }
    const bool quart = (a == 90 || a == 270);
    QImage resultat(quart ? h : w, quart ? w : h, QImage::Format_RGB32);
    resultat.setDotsPerMeterX(quart ? source.dotsPerMeterY() : source.dotsPerMeterX());
    resultat.setDotsPerMeterY(quart ? source.dotsPerMeterX() : source.dotsPerMeterY());
    for (int y = 0; y < resultat.height(); ++y) {
        auto* ligne = reinterpret_cast<QRgb*>(resultat.scanLine(y));
        for (int x = 0; x < resultat.width(); ++x) {
            int sx, sy;
            switch (a) {
            case 90: sx = w - 1 - y; sy = x; break;           // the right edge comes on top
            case 270: sx = y; sy = h - 1 - x; break;          // the left edge comes on top
            default: sx = w - 1 - x; sy = h - 1 - y; break;   // 180
            }
            ligne[x] = reinterpret_cast<const QRgb*>(source.constScanLine(sy))[sx] | 0xFF000000u;
        }
    }
    image = resultat;
}

// ---------------------------------------------------------------------------
// Free rotation

QRgb TBmpRotStrategie::CouleurCleRgb() const
{
    return VersRgb(m_cle);
}

void TBmpRotStrategie::Calculer(const QImage& source, int angle, std::optional<vl::Couleur> couleurTransparente)
{
    Liberer();
    m_angle = angle;
    m_cle = couleurTransparente.value_or(CouleurCleOpaque);
    m_echelle = 1;
    m_largeur = source.width();
    m_hauteur = source.height();
    m_d = m_centre = 0;
    m_gauche = m_haut = m_droite = m_bas = 0;
    if (source.isNull() || m_largeur <= 0 || m_hauteur <= 0)
        return;

    // A large picture would need canvases of its diagonal squared: it is
    // turned at a resolution that keeps the diagonal within DiagonaleMax.
    QImage image = source;
    const double diagonale = std::hypot(double(m_largeur), double(m_hauteur));
    if (diagonale > DiagonaleMax) {
        m_echelle = DiagonaleMax / diagonale;
        const int w = std::max(1, int(std::floor(m_largeur * m_echelle)));
        const int h = std::max(1, int(std::floor(m_hauteur * m_echelle)));
        // Smoothing would blend the key of a see-through picture with its
        // neighbours and leave a painted fringe.
        image = source.scaled(w, h, Qt::IgnoreAspectRatio,
                              couleurTransparente ? Qt::FastTransformation : Qt::SmoothTransformation);
        m_largeur = image.width();
        m_hauteur = image.height();
    }

    const double w = m_largeur;
    const double h = m_hauteur;
    m_d = vl::ArrondiPair(std::hypot(w, h));
    m_centre = vl::ArrondiPair(m_d / 2.0);
    const QRgb cle = CouleurCleRgb();
    m_source = QImage(m_d, m_d, QImage::Format_RGB32);
    m_source.fill(cle);
    {
        QPainter p(&m_source);
        p.drawImage(m_centre - vl::ArrondiPair(w / 2), m_centre - vl::ArrondiPair(h / 2), image);
    }
    m_resultat = QImage(m_d, m_d, QImage::Format_RGB32);
    m_resultat.fill(cle);

    const double radians = angle * std::numbers::pi / 180.0;
    m_cos = std::cos(radians);
    m_sin = std::sin(radians);
    const double c = m_centre;
    const double as = std::abs(m_sin);
    const double ac = std::abs(m_cos);
    m_gauche = vl::ArrondiPair(c - h * as / 2 - w * ac / 2);
    m_haut = vl::ArrondiPair(c - w * as / 2 - h * ac / 2);
    m_droite = vl::ArrondiPair(c + w * ac / 2 + h * as / 2);
    m_bas = vl::ArrondiPair(c + h * ac / 2 + w * as / 2);

    // Each result pixel takes its nearest source pixel (the picture turns
    // counter-clockwise for a positive angle, y being downward).
    for (int y = 0; y < m_d; ++y) {
        auto* ligne = reinterpret_cast<QRgb*>(m_resultat.scanLine(y));
        const double dy = y - c;
        for (int x = 0; x < m_d; ++x) {
            const double dx = x - c;
            const int sx = vl::ArrondiPair(dx * m_cos - dy * m_sin + c);
            const int sy = vl::ArrondiPair(dx * m_sin + dy * m_cos + c);
            if (sx >= 0 && sy >= 0 && sx < m_d && sy < m_d)
                ligne[x] = reinterpret_cast<const QRgb*>(m_source.constScanLine(sy))[sx];
        }
    }
}

void TBmpRotStrategie::Tourner(QImage& image, int angle)
{
    Calculer(image, angle, std::nullopt);
    image = ImageTournee();
}

QImage TBmpRotStrategie::ImageTournee() const
{
    const int w = m_droite - m_gauche;
    const int h = m_bas - m_haut;
    if (m_resultat.isNull() || w <= 0 || h <= 0)
        return QImage();
    QImage copie(w, h, QImage::Format_RGB32);
    copie.fill(CouleurCleRgb());
    for (int y = 0; y < h; ++y) {
        const int ry = m_haut + y;
        if (ry < 0 || ry >= m_d)
            continue;
        const auto* source = reinterpret_cast<const QRgb*>(m_resultat.constScanLine(ry));
        auto* ligne = reinterpret_cast<QRgb*>(copie.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int rx = m_gauche + x;
            if (rx >= 0 && rx < m_d)
                ligne[x] = source[rx];
        }
    }
    return copie;
}

void TBmpRotStrategie::Liberer()
{
    m_source = QImage();
    m_resultat = QImage();
}
