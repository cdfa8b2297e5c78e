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
    m_cleFont = m_font.key();
    m_metriques.reset();
}

double MetriquePolice::LargeurCm(const QString& texte) const
{
    // Bounded: a long run of distinct texts starts the cache afresh.
    if (m_nombreLargeurs > 50000) {
        m_largeurs.clear();
        m_nombreLargeurs = 0;
    }
    auto& largeurs = m_largeurs[m_cleFont];
    const auto it = largeurs.constFind(texte);
    if (it != largeurs.cend())
        return *it;
    const double cm = VersCm(Metriques().horizontalAdvance(texte));
    largeurs.insert(texte, cm);
    ++m_nombreLargeurs;
    return cm;
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
