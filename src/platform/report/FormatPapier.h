#pragma once
#include "report/Canevas.h"

#include <QPageLayout>

namespace vl {

// A paper size and orientation. Sizes are those of the sheet held in portrait
// (width across, height along the feed), as printers are told; the page in
// landscape has them exchanged.
struct FormatPapier
{
    int codeWindows = 9;            // DMPAPER_* code, 0 for a custom size
    double largeurCm = 21.0;
    double hauteurCm = 29.7;
    Orientation orientation = poPortrait;

    double LargeurPage() const { return orientation == poPortrait ? largeurCm : hauteurCm; }
    double HauteurPage() const { return orientation == poPortrait ? hauteurCm : largeurCm; }

    // A layout with zero margins (coordinates from the paper's corner).
    QPageLayout VersQPageLayout() const;

    // False when the code is unknown (the format is then left unchanged).
    bool AppliquerCode(int code);
    void AppliquerPersonnalise(double largeur, double hauteur);

    static FormatPapier A4(Orientation o = poPortrait);
    bool operator==(const FormatPapier&) const = default;
};

} // namespace vl
