#include "Catalogue.h"
#include "Geometrie.h"
#include "Metier.h"
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <cmath>

QSizeF TaillePapierCm(const TVlPaperSize& p)
{
    switch (p.Papersize()) {
    case 0: return p.Largeur() > 0 && p.Hauteur() > 0 ? QSizeF(p.Largeur(), p.Hauteur()) : QSizeF();
    case 1: return {21.59, 27.94};
    case 5: return {21.59, 35.56};
    case 8: return {29.7, 42.0};
    case 9: return {21.0, 29.7};
    case 11: return {14.8, 21.0};
    case 13: return {18.2, 25.7};
    default: return {};
    }
}

QSizeF TailleFeuilleCm(const TVlMiseEnPage& mep)
{
    const auto papier = mep.TaillePapier();
    if (!papier)
        return {};
    QSizeF s = TaillePapierCm(*papier);
    if (!s.isEmpty() && !mep.EstPortrait())
        s.transpose();
    return s;
}

namespace {

std::shared_ptr<TVlPoint> Point(int figure, int tracer, double x, double y)
{
    auto p = std::make_shared<TVlPoint>();
    p->SetFigure(figure);
    p->SetTracer(tracer);
    p->SetX(x);
    p->SetY(y);
    return p;
}

} // namespace

std::vector<std::shared_ptr<TVlPoint>> ContourArrondi(double W, double H, double r, int f)
{
    std::vector<std::shared_ptr<TVlPoint>> pts;
    auto ligne = [&](double x1, double y1, double x2, double y2) {
        pts.push_back(Point(f, 1, x1, y1));
        pts.push_back(Point(f, 1, x2, y2));
        ++f;
    };
    // Arcs run counter-clockwise from their start to their end point.
    auto arc = [&](double l, double t, double sx, double sy, double ex, double ey) {
        pts.push_back(Point(f, 2, l, t));
        pts.push_back(Point(f, 2, l + 2 * r, t + 2 * r));
        pts.push_back(Point(f, 2, sx, sy));
        pts.push_back(Point(f, 2, ex, ey));
        ++f;
    };
    ligne(r, 0, W - r, 0);
    arc(0, 0, r, 0, 0, r);
    ligne(0, r, 0, H - r);
    arc(0, H - 2 * r, 0, H - r, r, H);
    ligne(r, H, W - r, H);
    arc(W - 2 * r, H - 2 * r, W - r, H, W, H - r);
    ligne(W, H - r, W, r);
    arc(W - 2 * r, 0, W, r, W - r, 0);
    for (size_t i = 0; i < pts.size(); ++i)
        pts[i]->SetOrdre(int(i));
    return pts;
}

std::vector<std::shared_ptr<TVlPoint>> ContourEllipse(double x1, double y1, double x2, double y2, int figure)
{
    auto a = Point(figure, 4, x1, y1);
    auto b = Point(figure, 4, x2, y2);
    a->SetOrdre(0);
    b->SetOrdre(1);
    return {a, b};
}

QByteArray DessinerIcone(const TVlMiseEnPage& mep, int cote)
{
    QSizeF feuille = TailleFeuilleCm(mep);
    if (feuille.isEmpty())
        feuille = mep.EstPortrait() ? QSizeF(21.0, 29.7) : QSizeF(29.7, 21.0);
    QImage image(cote, cote, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const double echelle = (cote - 4) / std::max(feuille.width(), feuille.height());
        const QSizeF taille = feuille * echelle;
        p.translate((cote - taille.width()) / 2, (cote - taille.height()) / 2);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(QPointF(0, 0), taille));
        p.scale(echelle, echelle);
        p.setPen(QPen(QColor(40, 90, 160), 0));
        p.setBrush(QColor(200, 220, 245));
        bool arrondi = false;
        for (int i = 0; i < mep.PointsCount(); ++i)
            arrondi |= mep.Points(i)->Tracer() == 2;
        for (const TEmplacement& e : EmplacementsRecto(mep, {})) {
            const QRectF boite(e.X, e.Y, mep.Largeur(), mep.Hauteur());
            int ellipses = 0;
            for (const TFigure& f : ContourEtiquette(mep, e, TFace::Recto)) {
                if (f.Tracer != 4 || f.Points.size() < 2)
                    continue;
                // The first ellipse is the label; further ones are holes (a CD's centre).
                p.setBrush(ellipses++ == 0 ? QColor(200, 220, 245) : QColor(Qt::white));
                p.drawEllipse(QRectF(f.Points[0], f.Points[1]).normalized());
            }
            p.setBrush(QColor(200, 220, 245));
            if (ellipses > 0)
                continue;
            if (arrondi)
                p.drawRoundedRect(boite, 0.3, 0.3);
            else
                p.drawRect(boite);
        }
    }
    QByteArray png;
    QBuffer tampon(&png);
    tampon.open(QIODevice::WriteOnly);
    image.save(&tampon, "PNG");
    return png;
}
