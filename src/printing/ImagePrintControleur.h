#pragma once
// The picture printer: loads the picture of a picture leaf, scales it to the
// leaf's box (keeping its shape or not), turns it by the leaf's angle, aligns
// it in the box and prints it as a stretched bitmap or, when it is
// see-through or turned by an oblique angle, as coloured runs that leave its
// key colour unpainted. Sizes are printer pixels of the report.
#include "printing/ElemPrintControleur.h"
#include "printing/SourceEnregistrements.h"
#include "printing/TexteRotation.h"

#include <QImage>
#include <functional>

class TImagePrintControleur : public TElemPrintControleur
{
public:
    explicit TImagePrintControleur(TPrintControleur& controleur);
    void Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y, double x) override;

    // The working bitmap of the leaf being printed and its key colour.
    QImage ImageTravail;
    bool Transparente = false;
    QRgb CleTransparente = 0xFFFFFFFF;
    TBmpRotationStrategie* Rotation = nullptr;
    int HauteurPx = 0, HauteurCadre = 0, HauteurImage = 0, LargeurImage = 0, LargeurPx = 0, LargeurCadre = 0;

    // A relative name is read from the Images folder beside the executable;
    // a name beginning with "\\" or "/", or with a drive ("C:"), is used as it is.
    static QString ToutCheminImage(const QString& url);
    static QString DossierImages();

    // Prints a bitmap as runs of same-coloured pixels, each a filled
    // rectangle; pixels of the key colour are left unpainted. Scales are
    // printer pixels per bitmap pixel; the origin is in cm.
    void ImprimerTransparent(const QImage& image, double sx, double sy, double x0, double y0, QRgb cle);

protected:
    void Preparer() override;
    virtual void ImprimerDroit(double y, double x);
    virtual void ImprimerQuart(double y, double x);
    virtual void ImprimerOblique(double y, double x);
    // Resolved file name of a static picture.
    virtual QString Fichier() const;

private:
    bool ChargerImage();
    // The bitmap ready to print, from this run's cache when the picture is
    // a file (so that every label draws the very same bitmap).
    const QImage& Pret(const QString& etape, const std::function<QImage()>& fabriquer);
    double PxX(double px) const;
    double PxY(double px) const;

    int m_angleEtiquette = 0;
    QString m_cle;        // cache key of the picture, empty for a bound one
    QImage m_resultat;    // holds an uncached bitmap while it is printed
    TBmpRot90Strategie m_rot90;
    TBmpRotStrategie m_rot;
};
