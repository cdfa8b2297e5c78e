#pragma once
// Helpers for the sheet-layout catalogue: paper sizes, label outlines made
// of points, and the icon the layout chooser shows.
#include <QByteArray>
#include <QSizeF>
#include <memory>
#include <vector>

class TVlMiseEnPage;
class TVlPaperSize;
class TVlPoint;

// Paper size in centimetres, portrait, for a paper-size code (1 Letter,
// 5 Legal, 8 A3, 9 A4, 11 A5, 13 B5); for code 0 the custom size. An empty
// size when unknown (or custom with no width), meaning: leave the printer's.
QSizeF TaillePapierCm(const TVlPaperSize& papier);
// The sheet as printed: swapped for a landscape layout.
QSizeF TailleFeuilleCm(const TVlMiseEnPage& miseEnPage);

// Outline of a W x H label with rounded corners of radius r: four lines
// (polylines) and four quarter arcs, one figure each, numbered from `figure`.
std::vector<std::shared_ptr<TVlPoint>> ContourArrondi(double W, double H, double r, int figure = 1);
// An ellipse inscribed in the label (a round label when W = H), or in the
// rectangle (x1, y1)-(x2, y2).
std::vector<std::shared_ptr<TVlPoint>> ContourEllipse(double x1, double y1, double x2, double y2, int figure = 1);

// A PNG picture of the sheet with its label slots, as the chooser shows it.
QByteArray DessinerIcone(const TVlMiseEnPage& miseEnPage, int cote = 96);
