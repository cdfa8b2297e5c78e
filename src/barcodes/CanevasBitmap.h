#pragma once
// Off-screen bitmap with its drawing canvas, as the designer uses it to draw a
// barcode at one pixel per module before stretching it over the element.
// Coordinates are whole pixels; a rectangle covers [x1, x2) x [y1, y2).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace vl {

class CanevasBitmap
{
public:
    explicit CanevasBitmap(int largeur = 1, int hauteur = 1);

    // New size, cleared to white; font, brush and pen are kept.
    void Redimensionner(int largeur, int hauteur);
    int Largeur() const { return m_image.width(); }
    int Hauteur() const { return m_image.height(); }
    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }

    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font) { m_font = font; }
    // Font size in whole points, as the screen font dialogs give it.
    int TaillePolice() const;
    void SetTaillePolice(int points);
    QColor CouleurTexte() const { return m_couleurTexte; }
    void SetCouleurTexte(const QColor& c) { m_couleurTexte = c; }

    QColor CouleurPinceau() const { return m_pinceau; }
    void SetCouleurPinceau(const QColor& c) { m_pinceau = c; }
    QColor CouleurCrayon() const { return m_crayon; }
    void SetCouleurCrayon(const QColor& c) { m_crayon = c; }
    bool CrayonVisible() const { return m_crayonVisible; }
    void SetCrayonVisible(bool v) { m_crayonVisible = v; }

    // Filled with the brush and outlined with a one-pixel pen.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Remplir(const QRect& r);

    int TextHeight(const QString& texte) const;
    int TextWidth(const QString& texte) const;
    // Draws texte centred horizontally in r, clipped to r, on a background of
    // the brush colour (the text cell only).
    void DrawTextCentre(const QRect& r, const QString& texte);
    // Draws texte with its top-left corner at (x, y) on the brush colour.
    void TextOut(int x, int y, const QString& texte);

private:
    QImage m_image;
    QFont m_font;
    QColor m_couleurTexte = Qt::black;
    QColor m_pinceau = Qt::white;
    QColor m_crayon = Qt::black;
    bool m_crayonVisible = true;
};

} // namespace vl
