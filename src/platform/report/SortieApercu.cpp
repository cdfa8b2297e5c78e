#include "report/SortieApercu.h"
#include "report/Canevas.h"

#include <cmath>

namespace vl {

SortieApercu::SortieApercu(int dpi) : m_dpi(dpi), m_pages(dpi) {}

SortieApercu::~SortieApercu()
{
    if (m_peintre.isActive())
        m_peintre.end();
}

void SortieApercu::Ouvrir(const FormatPapier& papier)
{
    const int l = std::max(1, CmVersPixels(papier.LargeurPage(), m_dpi));
    const int h = std::max(1, CmVersPixels(papier.HauteurPage(), m_dpi));
    m_courante = QImage(l, h, QImage::Format_RGB32);
    // The bitmap's resolution makes point sizes of fonts come out right.
    m_courante.setDotsPerMeterX(int(std::lround(m_dpi / 0.0254)));
    m_courante.setDotsPerMeterY(int(std::lround(m_dpi / 0.0254)));
    m_courante.fill(Qt::white);
    m_peintre.begin(&m_courante);
}

void SortieApercu::Fermer()
{
    if (m_peintre.isActive())
        m_peintre.end();
    if (!m_courante.isNull())
        m_pages.Ajouter(std::move(m_courante));
    m_courante = QImage();
}

QPainter& SortieApercu::Commencer(const FormatPapier& papier)
{
    m_pages.Vider();
    Ouvrir(papier);
    return m_peintre;
}

QPainter& SortieApercu::PageSuivante(const FormatPapier& papier)
{
    Fermer();
    Ouvrir(papier);
    return m_peintre;
}

void SortieApercu::Terminer()
{
    Fermer();
}

void SortieApercu::Abandonner()
{
    if (m_peintre.isActive())
        m_peintre.end();
    m_courante = QImage();
}

} // namespace vl
