#include "report/MetriquePolice.h"

#include <cmath>

namespace vl {

MetriquePolice::MetriquePolice()
    : m_appareil(1, 1, QImage::Format_RGB32)
{
    const int dpm = int(std::lround(ResolutionReference / 0.0254));
    m_appareil.setDotsPerMeterX(dpm);
    m_appareil.setDotsPerMeterY(dpm);
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
    m_police = p;
    m_font = VersQFont(p);
    m_metriques.reset();
}

QFont MetriquePolice::FontDessin(int dpi) const
{
    QFont f = m_font;
    f.setPointSizeF(m_font.pointSizeF() * ResolutionReference / dpi);
    return f;
}

const QFontMetricsF& MetriquePolice::Metriques() const
{
    if (!m_metriques)
        m_metriques.emplace(m_font, &m_appareil);
    return *m_metriques;
}

} // namespace vl
