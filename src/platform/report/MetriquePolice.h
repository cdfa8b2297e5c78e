#pragma once
#include "report/Canevas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <optional>

namespace vl {

// Turns a report font into a QFont for a device of a given resolution and
// measures it. Hinting is off so that widths scale linearly with the size and
// a measure taken here matches the text drawn on any device.
class MetriquePolice
{
public:
    MetriquePolice(int xdpi, int ydpi);

    static QFont VersQFont(const Police& p);

    void SetPolice(const Police& p);
    const QFont& Font() const { return m_font; }

    // Device pixels.
    double AscendantePx() const { return Metriques().ascent(); }
    double DescentePx() const { return Metriques().descent(); }
    double HauteurPx() const { return Metriques().ascent() + Metriques().descent(); }
    double LargeurPx(const QString& texte) const { return Metriques().horizontalAdvance(texte); }

private:
    const QFontMetricsF& Metriques() const;

    QImage m_appareil;               // only lends its resolution to the metrics
    QFont m_font;
    mutable std::optional<QFontMetricsF> m_metriques;
};

} // namespace vl
