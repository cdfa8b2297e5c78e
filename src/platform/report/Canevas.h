#pragma once
// The report page canvas: everything the print run, the element printers and
// the barcode drawers draw on a page. Lengths are centimetres measured from the
// top-left corner of the paper (x to the right, y downwards); a few operations
// take device points (pixels of the output device) where the callers compute
// them themselves. Colours are 32-bit Windows values (red in the low byte).

#include <QImage>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QColor>
#include <cstdint>

namespace vl {

// ---------------------------------------------------------------------------
// Colours
using Couleur = std::uint32_t;           // 0x00BBGGRR
constexpr Couleur clBlack = 0x000000;
constexpr Couleur clWhite = 0xFFFFFF;

QColor VersQColor(Couleur c);
Couleur DepuisQColor(const QColor& c);

// ---------------------------------------------------------------------------
// Pixel conversions: pixels = round(cm / 2.54 * dpi), rounding to nearest with
// ties to even; cm = pixels / dpi * 2.54.
int ArrondiPair(double v);
int CmVersPixels(double cm, double dpi);
double PixelsVersCm(double pixels, double dpi);
constexpr double PointsParCm = 72.0 / 2.54;

// ---------------------------------------------------------------------------
// Drawing settings
enum StylePlume { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum ModePlume { pmCopy, pmNotXor, pmXor };
enum StylePinceau { bsSolid, bsClear };
enum Justification { pjLeft, pjCenter, pjRight };
enum Orientation { poPortrait, poLandScape };
// Line height: from the font (ascent + descent), a number of lines per inch,
// or a height set by the caller.
enum MethodeHauteurLigne { lhmFont, lhmLinesPerInch, lhmUser };

constexpr int JeuCaracteresAnsi = 0;
constexpr int JeuCaracteresDefaut = 1;
constexpr int JeuCaracteresSymbole = 2;

struct Plume
{
    Couleur couleur = clBlack;
    StylePlume style = psSolid;
    int largeur = 1;                     // device pixels
    ModePlume mode = pmCopy;
    bool operator==(const Plume&) const = default;
};

struct Pinceau
{
    Couleur couleur = clWhite;
    StylePinceau style = bsSolid;
    bool operator==(const Pinceau&) const = default;
};

struct Police
{
    QString nom = QStringLiteral("Arial");
    double taille = 10.0;                // points, fractional sizes allowed
    Couleur couleur = clBlack;
    bool gras = false;
    bool italique = false;
    bool souligne = false;
    bool barre = false;                  // strike-out
    int jeuCaracteres = JeuCaracteresDefaut;
    int rotation = 0;                    // whole degrees, counter-clockwise
    bool operator==(const Police&) const = default;
};

// ---------------------------------------------------------------------------
// The canvas. One object serves one execution of a report (possibly many pages).
class Canevas
{
public:
    virtual ~Canevas() = default;

    // --- Paper (meant for the before-print event; a change made later applies
    // from the next page on)
    virtual void SetPapier(int codePapierWindows) = 0;          // DMPAPER_* code
    virtual void SetPapierPersonnalise(double largeurCm, double hauteurCm) = 0; // portrait sizes
    virtual void SetOrientation(Orientation o) = 0;
    virtual Orientation GetOrientation() const = 0;
    virtual void ActualiserMarges() = 0;   // re-read the non-printable margins

    // Full paper, in the current orientation, cm.
    virtual double LargeurPage() const = 0;
    virtual double HauteurPage() const = 0;
    // Non-printable margins of the device, cm (0 for a PDF file).
    virtual double PerteGauche() const = 0;
    virtual double PerteDroite() const = 0;
    virtual double PerteHaut() const = 0;
    virtual double PerteBas() const = 0;

    // Device resolution, dots per inch.
    virtual int XDPI() const = 0;
    virtual int YDPI() const = 0;
    virtual bool Duplex() const = 0;

    // --- Pages
    virtual void NouvellePage() = 0;
    virtual int NumeroPage() const = 0;   // 1 for the first page
    virtual void Abandonner() = 0;        // drawing stops; the execution ends aborted
    virtual bool Abandonne() const = 0;

    // --- Conversions between cm and device pixels for this device.
    int XVersPx(double xCm) const { return CmVersPixels(xCm, XDPI()); }
    int YVersPx(double yCm) const { return CmVersPixels(yCm, YDPI()); }
    QPoint PointVersPx(double xCm, double yCm) const { return QPoint(XVersPx(xCm), YVersPx(yCm)); }
    double PxVersX(double px) const { return PixelsVersCm(px, XDPI()); }
    double PxVersY(double px) const { return PixelsVersCm(px, YDPI()); }

    // --- Font. Every setter takes effect at once (metrics included).
    virtual void SetPolice(const Police& p) = 0;
    virtual const Police& GetPolice() const = 0;
    virtual void SetPoliceNom(const QString& nom) = 0;
    virtual void SetPoliceTaille(double points) = 0;
    virtual void SetPoliceCouleur(Couleur c) = 0;
    virtual void SetGras(bool b) = 0;
    virtual void SetItalique(bool b) = 0;
    virtual void SetSouligne(bool b) = 0;
    virtual void SetBarre(bool b) = 0;
    virtual void SetJeuCaracteres(int jeu) = 0;
    virtual void SetPoliceRotation(int degres) = 0;
    virtual void SetMethodeHauteurLigne(MethodeHauteurLigne m) = 0;
    virtual MethodeHauteurLigne GetMethodeHauteurLigne() const = 0;
    virtual void SetLignesParPouce(double lignes) = 0;          // for lhmLinesPerInch
    virtual void SetHauteurLigneUtilisateur(double cm) = 0;     // for lhmUser

    // Metrics of the current font, cm.
    virtual double HauteurLigne() const = 0;
    virtual double Ascendante() const = 0;
    virtual double Descente() const = 0;
    virtual double LargeurTexte(const QString& texte) const = 0;

    // --- Text cursor. Y is the baseline of the line.
    virtual double X() const = 0;
    virtual double Y() const = 0;
    virtual void SetX(double xCm) = 0;
    virtual void SetY(double yCm) = 0;
    virtual void AllerA(double xCm, double yCm) = 0;
    // Puts the cursor so that the top of the current line is at yCm.
    virtual void SetHautLigne(double yCm) = 0;

    // --- Text. Printed on the baseline at the cursor's y, turned by the font's
    // rotation around the anchor; the justification places the anchor at the
    // start, middle or end of the text along its (turned) baseline. The cursor
    // then moves to the end of the text.
    virtual void Imprimer(const QString& texte) = 0;             // at the cursor, left
    virtual void ImprimerJustifie(const QString& texte, double xCm, Justification j) = 0;
    void ImprimerGauche(const QString& texte, double xCm) { ImprimerJustifie(texte, xCm, pjLeft); }
    void ImprimerCentre(const QString& texte, double xCm) { ImprimerJustifie(texte, xCm, pjCenter); }
    void ImprimerDroite(const QString& texte, double xCm) { ImprimerJustifie(texte, xCm, pjRight); }
    void ImprimerXY(double xCm, double yCm, const QString& texte) { AllerA(xCm, yCm); Imprimer(texte); }

    // --- Pen and brush
    virtual void SetPlume(const Plume& p) = 0;
    virtual const Plume& GetPlume() const = 0;
    virtual void SetPinceau(const Pinceau& b) = 0;
    virtual const Pinceau& GetPinceau() const = 0;
    void SetPlumeCouleur(Couleur c) { Plume p = GetPlume(); p.couleur = c; SetPlume(p); }
    void SetPlumeStyle(StylePlume s) { Plume p = GetPlume(); p.style = s; SetPlume(p); }
    void SetPlumeLargeur(int px) { Plume p = GetPlume(); p.largeur = px; SetPlume(p); }
    void SetPlumeMode(ModePlume m) { Plume p = GetPlume(); p.mode = m; SetPlume(p); }
    void SetPinceauCouleur(Couleur c) { Pinceau b = GetPinceau(); b.couleur = c; SetPinceau(b); }
    void SetPinceauStyle(StylePinceau s) { Pinceau b = GetPinceau(); b.style = s; SetPinceau(b); }

    // --- Figures. Corners in cm; the rectangle covers the device pixels from
    // the rounded first corner up to (not including) the rounded second one,
    // whatever the order of the corners.
    virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
    virtual void Ellipse(double x1, double y1, double x2, double y2) = 0;
    // Arc of the ellipse inscribed in (x1, y1)-(x2, y2), counter-clockwise
    // from the ray through (x3, y3) to the ray through (x4, y4).
    virtual void Arc(double x1, double y1, double x2, double y2,
                     double x3, double y3, double x4, double y4) = 0;
    virtual void Polygone(const QVector<QPoint>& pointsPx) = 0;  // closed, filled
    virtual void Polyligne(const QVector<QPoint>& pointsPx) = 0; // open

    // --- Bitmap stretched into (x1, y1)-(x2, y2). Keep passing the same QImage
    // object for a picture drawn many times: a PDF then embeds it once.
    virtual void ImprimerImage(double x1, double y1, double x2, double y2, const QImage& image) = 0;
};

} // namespace vl
