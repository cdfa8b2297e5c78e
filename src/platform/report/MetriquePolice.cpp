#include "report/MetriquePolice.h"

#include <cmath>

namespace vl {

MetriquePolice::MetriquePolice(int xdpi, int ydpi)
    : m_appareil(1, 1, QImage::Format_RGB32)
{
    m_appareil.setDotsPerMeterX(int(std::lround(xdpi / 0.0254)));
    m_appareil.setDotsPerMeterY(int(std::lround(ydpi / 0.0254)));
    SetPolice(Police());
}

QFont MetriquePolice::VersQFont(const Police& p)
{
    QFont f(p.nom);
    f.setPointSizeF(p.taille > 0 ? p.taille : 1.0);
    f.setBold(p.gras);
    f.setItalic(p.italique);
    f.setUnderline(p.souligne);
    f.setStrikeOut(p.barre);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void MetriquePolice::SetPolice(const Police& p)
{
    m_font = VersQFont(p);
    m_metriques.reset();
}

const QFontMetricsF& MetriquePolice::Metriques() const
{
    if (!m_metriques)
        m_metriques.emplace(m_font, &m_appareil);
    return *m_metriques;
}

} // namespace vl
