#include "report/Canevas.h"

#include <cmath>

namespace vl {

QColor VersQColor(Couleur c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

Couleur DepuisQColor(const QColor& c)
{
    return Couleur(c.red()) | (Couleur(c.green()) << 8) | (Couleur(c.blue()) << 16);
}

int ArrondiPair(double v)
{
    const double bas = std::floor(v);
    const double reste = v - bas;
    if (reste > 0.5)
        return int(bas) + 1;
    if (reste < 0.5)
        return int(bas);
    // Exactly halfway: the even neighbour.
    const int b = int(bas);
    return (b % 2 == 0) ? b : b + 1;
}

int CmVersPixels(double cm, double dpi)
{
    return ArrondiPair(cm / 2.54 * dpi);
}

double PixelsVersCm(double pixels, double dpi)
{
    return pixels / dpi * 2.54;
}

} // namespace vl
