#pragma once
#include "report/Canevas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <optional>

namespace vl {

// Turns a report font into a QFont and measures it, in centimetres.
// Qt sizes glyphs in whole device pixels, which at 600 dpi would make a font
// 0.12 point coarse; so fonts are measured on a 7200 dpi reference and
// drawn at that size under a scale (FontDessin), which keeps sizes exact to
// a hundredth of a point and the measures identical on every device.
// Hinting is off so that widths follow the size linearly.
class MetriquePolice
{
public:
    static constexpr int ResolutionReference = 7200;

    MetriquePolice();

    static QFont VersQFont(const Police& p);

    void SetPolice(const Police& p);
    const QFont& Font() const { return m_font; }
    // The font to set on a painter of a device at dpi, drawn under a scale
    // of dpi / ResolutionReference.
    QFont FontDessin(int dpi) const;

    double AscendanteCm() const { return VersCm(Metriques().ascent()); }
    double DescenteCm() const { return VersCm(Metriques().descent()); }
    double HauteurCm() const { return VersCm(Metriques().ascent() + Metriques().descent()); }
    // Measured once per font and text: fitting a text measures the same
    // words several times, and shaping is the dear part of printing text.
    double LargeurCm(const QString& texte) const;

private:
    static double VersCm(double px) { return px / ResolutionReference * 2.54; }
    const QFontMetricsF& Metriques() const;

    QImage m_appareil;               // only lends its resolution to the metrics
    Police m_police;
    QFont m_font;
    QFont m_fontReference;
    mutable std::optional<QFontMetricsF> m_metriques;
    QString m_cleFont;
    mutable QHash<QString, QHash<QString, double>> m_largeurs;   // font key -> text -> cm
    mutable qsizetype m_nombreLargeurs = 0;
};

} // namespace vl
