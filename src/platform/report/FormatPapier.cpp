#include "report/FormatPapier.h"

#include <QPageSize>

namespace vl {

QPageLayout FormatPapier::VersQPageLayout() const
{
    // Qt keeps a custom size as given and swaps it for landscape, which is
    // the printers' own convention.
    const QPageSize taille(QSizeF(largeurCm * 10.0, hauteurCm * 10.0), QPageSize::Millimeter,
                           QString(), QPageSize::ExactMatch);
    return QPageLayout(taille,
                       orientation == poPortrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                       QMarginsF(), QPageLayout::Millimeter);
}

bool FormatPapier::AppliquerCode(int code)
{
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (code <= 0 || id == QPageSize::Custom)
        return false;
    const QSizeF mm = QPageSize(id).size(QPageSize::Millimeter);
    codeWindows = code;
    largeurCm = mm.width() / 10.0;
    hauteurCm = mm.height() / 10.0;
    return true;
}

void FormatPapier::AppliquerPersonnalise(double largeur, double hauteur)
{
    codeWindows = 0;
    largeurCm = largeur;
    hauteurCm = hauteur;
}

FormatPapier FormatPapier::A4(Orientation o)
{
    FormatPapier f;
    f.orientation = o;
    return f;
}

} // namespace vl
