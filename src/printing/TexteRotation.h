#pragma once
// Bitmap rotations for the picture printer: exact quarter turns, and a free
// rotation by any angle onto a square canvas with a key colour around the
// turned picture. Angles are degrees, counter-clockwise on the page.

#include "report/Canevas.h"

#include <QImage>
#include <QRect>
#include <optional>

class TBmpRotationStrategie
{
public:
    virtual ~TBmpRotationStrategie() = default;
    // `image` becomes the picture turned by `angle`, without alpha.
    virtual void Tourner(QImage& image, int angle) = 0;
};

// Quarter turns, pixel for pixel. The picture is turned in place: 90 and 270
// exchange its width and height; 180 and 0 keep them (any angle that is not
// a multiple of 90 leaves the picture as it is). The result is RGB32.
class TBmpRot90Strategie : public TBmpRotationStrategie
{
public:
    void Tourner(QImage& image, int angle) override;
};

// Free rotation by nearest neighbour. The picture is centred on a square
// canvas of side D (its diagonal) filled with the key colour and turned onto
// a second canvas of the same size; the turned picture lies within Coins().
// Pictures whose diagonal exceeds DiagonaleMax pixels are first scaled down
// (keeping their shape) until it fits: the caller stretches the result onto
// the paper anyway, so only the bitmap's resolution changes.
//
// Typical use (oblique angle):
//     rot.Calculer(image, angle, transparente); // transparente: its key, or nullopt
//     QImage tournee = rot.ImageTournee();       // the turned picture's bounding box
//     ... print tournee, leaving CouleurCle() unpainted ...
//     rot.Liberer();
class TBmpRotStrategie : public TBmpRotationStrategie
{
public:
    static constexpr int DiagonaleMax = 2048;
    // The key of an opaque picture: a colour pictures hardly ever use.
    static constexpr vl::Couleur CouleurCleOpaque = 0xFEFFFF;

    // `couleurTransparente`: the picture's transparent colour when it is
    // see-through (it becomes the key), nullopt for an opaque picture.
    void Calculer(const QImage& source, int angle,
                  std::optional<vl::Couleur> couleurTransparente = std::nullopt);
    // Calculer for an opaque picture; `image` becomes ImageTournee().
    void Tourner(QImage& image, int angle) override;

    // After Calculer (or Tourner):
    vl::Couleur CouleurCle() const { return m_cle; }
    QRgb CouleurCleRgb() const;                 // the key as a pixel of the canvases
    int Cote() const { return m_d; }            // D
    int Centre() const { return m_centre; }
    double Echelle() const { return m_echelle; } // 1 unless the picture was scaled down
    const QImage& CanevasSource() const { return m_source; }
    const QImage& Resultat() const { return m_resultat; }
    // Left, top, right, bottom of the turned picture on the result canvas;
    // right and bottom are exclusive.
    QRect Coins() const { return QRect(QPoint(m_gauche, m_haut), QPoint(m_droite - 1, m_bas - 1)); }
    int Gauche() const { return m_gauche; }
    int Haut() const { return m_haut; }
    int Droite() const { return m_droite; }
    int Bas() const { return m_bas; }
    // The corner rectangle of the result, RGB32; what falls outside the
    // canvas is key colour.
    QImage ImageTournee() const;
    // Releases both canvases.
    void Liberer();

private:
    QImage m_source, m_resultat;
    int m_largeur = 0, m_hauteur = 0;
    int m_angle = 0;
    vl::Couleur m_cle = CouleurCleOpaque;
    int m_d = 0, m_centre = 0;
    double m_cos = 1, m_sin = 0;
    double m_echelle = 1;
    int m_gauche = 0, m_haut = 0, m_droite = 0, m_bas = 0;
};
