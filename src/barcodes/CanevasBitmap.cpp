#include "barcodes/CanevasBitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vl {

CanevasBitmap::CanevasBitmap(int largeur, int hauteur)
    : m_image(std::max(1, largeur), std::max(1, hauteur), QImage::Format_RGB32)
    , m_font(QStringLiteral("Arial"), 8)
{
    m_image.fill(Qt::white);
}

void CanevasBitmap::Redimensionner(int largeur, int hauteur)
{
    const int dpmX = m_image.dotsPerMeterX();
    const int dpmY = m_image.dotsPerMeterY();
    m_image = QImage(std::max(1, largeur), std::max(1, hauteur), QImage::Format_RGB32);
    m_image.setDotsPerMeterX(dpmX);
    m_image.setDotsPerMeterY(dpmY);
    m_image.fill(Qt::white);
}

int CanevasBitmap::TaillePolice() const
{
    if (m_font.pointSizeF() > 0)
        return static_cast<int>(std::lrint(m_font.pointSizeF()));
    // A font given in pixels: back to points at the bitmap's resolution.
    const double dpi = m_image.logicalDpiY();
    return static_cast<int>(std::lrint(m_font.pixelSize() * 72.0 / dpi));
}

void CanevasBitmap::SetTaillePolice(int points)
{
    if (points > 0)
        m_font.setPointSize(points);
}

void CanevasBitmap::Rectangle(int x1, int y1, int x2, int y2)
{
    const QRect r = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                          QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (r.isEmpty())
        return;
    QPainter p(&m_image);
    p.fillRect(r, m_pinceau);
    if (m_crayonVisible) {
        // One-pixel outline inside the rectangle, as the screen canvas draws it.
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), m_crayon);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), m_crayon);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), m_crayon);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), m_crayon);
    }
}

void CanevasBitmap::Remplir(const QRect& r)
{
    QPainter p(&m_image);
    p.fillRect(r, m_pinceau);
}

int CanevasBitmap::TextHeight(const QString& texte) const
{
    const QFontMetrics fm(m_font, &m_image);
    return fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextSingleLine, texte).height();
}

int CanevasBitmap::TextWidth(const QString& texte) const
{
    const QFontMetricsF fm(m_font, &m_image);
    return static_cast<int>(std::lrint(fm.horizontalAdvance(texte)));
}

void CanevasBitmap::DrawTextCentre(const QRect& r, const QString& texte)
{
    if (r.isEmpty())
        return;
    QPainter p(&m_image);
    p.setFont(m_font);
    p.setClipRect(r);
    const int l = TextWidth(texte);
    const int h = TextHeight(texte);
    const QRect cellule(r.left() + (r.width() - l) / 2, r.top(), l, h);
    p.fillRect(cellule, m_pinceau);
    p.setPen(m_couleurTexte);
    p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, texte);
}

void CanevasBitmap::TextOut(int x, int y, const QString& texte)
{
    QPainter p(&m_image);
    p.setFont(m_font);
    const QRect cellule(x, y, TextWidth(texte), TextHeight(texte));
    p.fillRect(cellule, m_pinceau);
    p.setPen(m_couleurTexte);
    p.drawText(cellule, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, texte);
}

} // namespace vl
