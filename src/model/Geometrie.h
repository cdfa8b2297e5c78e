#pragma once
// Where the label slots of a sheet layout lie on the page, recto and verso,
// the outline of a label in a slot, and the lost-space quantities. All
// lengths in centimetres from the page's top-left corner.
#include <QPointF>
#include <vector>

class TVlMiseEnPage;
class TVlAjustement;

// The calibration shifts of a printer for a layout, in centimetres.
struct TDecalages
{
    double aG = 0;  // left
    double aH = 0;  // top
    double aDH = 0; // horizontal step between columns
    double aDV = 0; // vertical step between labels
    // From a calibration record (millimetres); zero without one.
    static TDecalages De(const TVlAjustement* ajustement);
};

enum class TFace { Recto, Verso };
enum class TModeSortie { Apercu, Imprimante, Fichier };

struct TEmplacement
{
    double X = 0;    // top-left of the slot
    double Y = 0;
    int Angle = 0;   // 0, or 180 in an inverted column
    int Colonne = 0; // 0-based column
    int Rang = 0;    // 0-based slot in the column, in filling order
};

// Slots in filling order: column by column, and within a column in order.
std::vector<TEmplacement> EmplacementsRecto(const TVlMiseEnPage& mep, const TDecalages& d);
// The verso mirrors the recto about the vertical axis. largeurPage (the full
// paper width) is used only with LeurrerImprimante outside the preview.
// Empty for a layout without RectoVerso.
std::vector<TEmplacement> EmplacementsVerso(const TVlMiseEnPage& mep, const TDecalages& d, TModeSortie mode,
                                            double largeurPage);
std::vector<TEmplacement> Emplacements(const TVlMiseEnPage& mep, TFace face, const TDecalages& d, TModeSortie mode,
                                       double largeurPage);

// One figure of a label outline, points already placed on the page.
struct TFigure
{
    int Tracer = 3; // 0 polygon, 1 polyline, 2 arc, 3 rectangle, 4 ellipse
    std::vector<QPointF> Points;
};
std::vector<TFigure> ContourEtiquette(const TVlMiseEnPage& mep, const TEmplacement& e, TFace face);

// Lost space to the right of and below the label arrangement; 0 unless the
// layout declares sides that can fall in the non-printable margins.
double EspaceDroit(const TVlMiseEnPage& mep, double largeurPage);
double EspaceBas(const TVlMiseEnPage& mep, double hauteurPage);

// The printer's non-printable widths, cm.
struct TMargesImprimante
{
    double Gauche = 0, Droite = 0, Haut = 0, Bas = 0;
};

// A grey strip drawn inside the label where it would fall in the printer's
// non-printable margin.
struct TBande
{
    enum Cote { Gauche, Droite, Haut, Bas } cote;
    double epaisseur; // cm, always > 0
};
std::vector<TBande> BandesGrises(const TVlMiseEnPage& mep, const TMargesImprimante& m, double espaceDroit,
                                 double espaceBas, const TDecalages& d, TFace face);
