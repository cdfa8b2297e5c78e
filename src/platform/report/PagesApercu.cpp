#include "report/PagesApercu.h"

#include <cmath>

namespace vl {

QImage PagesApercu::Rendu(int numero, double zoom) const
{
    const QImage& p = Page(numero);
    if (zoom == 100.0)
        return p;
    const QSize taille(std::max(1, int(std::lround(p.width() * zoom / 100.0))),
                       std::max(1, int(std::lround(p.height() * zoom / 100.0))));
    return p.scaled(taille, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool PagesApercu::EnregistrerPng(int numero, const QString& chemin) const
{
    if (numero < 1 || numero > Nombre())
        return false;
    return Page(numero).save(chemin, "PNG");
}

} // namespace vl
