#pragma once
#include "report/Canevas.h"
#include "report/FormatPapier.h"
#include "report/MetriquePolice.h"

#include <QMarginsF>
#include <QPointF>
#include <QRect>

namespace vl {

// The state every canvas shares — paper, resolution, font and its metrics,
// pen, brush, cursor, page count, abort flag — and the conversion of each
// figure to device pixels. Subclasses only put the converted figures on
// their device (or record them).
class CanevasBase : public Canevas
{
public:
    CanevasBase(const FormatPapier& papier, int xdpi, int ydpi, bool duplex,
                const QMarginsF& margesCm = QMarginsF());

    void SetPapier(int codePapierWindows) override;
    void SetPapierPersonnalise(double largeurCm, double hauteurCm) override;
    void SetOrientation(Orientation o) override;
    Orientation GetOrientation() const override { return m_papier.orientation; }
    void ActualiserMarges() override;
    const FormatPapier& Papier() const { return m_papier; }

    double LargeurPage() const override { return m_papier.LargeurPage(); }
    double HauteurPage() const override { return m_papier.HauteurPage(); }
    double PerteGauche() const override { return m_marges.left(); }
    double PerteDroite() const override { return m_marges.right(); }
    double PerteHaut() const override { return m_marges.top(); }
    double PerteBas() const override { return m_marges.bottom(); }
    int XDPI() const override { return m_xdpi; }
    int YDPI() const override { return m_ydpi; }
    bool Duplex() const override { return m_duplex; }

    void NouvellePage() override;
    int NumeroPage() const override { return m_page; }
    void Abandonner() override;
    bool Abandonne() const override { return m_abandonne; }

    void SetPolice(const Police& p) override;
    const Police& GetPolice() const override { return m_police; }
    void SetPoliceNom(const QString& nom) override;
    void SetPoliceTaille(double points) override;
    void SetPoliceCouleur(Couleur c) override;
    void SetGras(bool b) override;
    void SetItalique(bool b) override;
    void SetSouligne(bool b) override;
    void SetBarre(bool b) override;
    void SetJeuCaracteres(int jeu) override;
    void SetPoliceRotation(int degres) override;
    void SetMethodeHauteurLigne(MethodeHauteurLigne m) override { m_methode = m; }
    MethodeHauteurLigne GetMethodeHauteurLigne() const override { return m_methode; }
    void SetLignesParPouce(double lignes) override { m_lignesParPouce = lignes; }
    void SetHauteurLigneUtilisateur(double cm) override { m_hauteurUtilisateur = cm; }

    double HauteurLigne() const override;
    double Ascendante() const override;
    double Descente() const override;
    double LargeurTexte(const QString& texte) const override;

    double X() const override { return m_x; }
    double Y() const override { return m_y; }
    void SetX(double xCm) override { m_x = xCm; }
    void SetY(double yCm) override { m_y = yCm; }
    void AllerA(double xCm, double yCm) override { m_x = xCm; m_y = yCm; }
    void SetHautLigne(double yCm) override;

    void Imprimer(const QString& texte) override;
    void ImprimerJustifie(const QString& texte, double xCm, Justification j) override;

    void SetPlume(const Plume& p) override { m_plume = p; }
    const Plume& GetPlume() const override { return m_plume; }
    void SetPinceau(const Pinceau& b) override { m_pinceau = b; }
    const Pinceau& GetPinceau() const override { return m_pinceau; }

    void Rectangle(double x1, double y1, double x2, double y2) override;
    void Ellipse(double x1, double y1, double x2, double y2) override;
    void Arc(double x1, double y1, double x2, double y2,
             double x3, double y3, double x4, double y4) override;
    void Polygone(const QVector<QPoint>& pointsPx) override;
    void Polyligne(const QVector<QPoint>& pointsPx) override;
    void ImprimerImage(double x1, double y1, double x2, double y2, const QImage& image) override;

    // The device rectangle of a figure given by two corners in cm.
    QRect RectanglePx(double x1, double y1, double x2, double y2) const;

protected:
    // Text already placed: debutPx is the start of the baseline in device
    // pixels (after justification), the font turned by the font's rotation.
    struct TextePlace
    {
        QString texte;
        double xCm = 0, yCm = 0;           // anchor asked for
        Justification justification = pjLeft;
        double largeurCm = 0;
        QPoint debutPx;
    };
    virtual void FaireTexte(const TextePlace& t) = 0;
    virtual void FaireRectangle(const QRect& px, const double cm[4]) = 0;
    virtual void FaireEllipse(const QRect& px, const double cm[4]) = 0;
    virtual void FaireArc(const QRect& px, const QPoint& debutPx, const QPoint& finPx,
                          const double cm[8]) = 0;
    virtual void FairePolygone(const QVector<QPoint>& px) = 0;
    virtual void FairePolyligne(const QVector<QPoint>& px) = 0;
    virtual void FaireImage(const QRect& px, const double cm[4], const QImage& image) = 0;
    virtual void FaireNouvellePage() = 0;
    virtual void FaireAbandon() {}
    // Non-printable margins of the device for a paper, cm.
    virtual QMarginsF LireMarges(const FormatPapier&) const { return m_marges; }

    const MetriquePolice& Metrique() const { return m_metrique; }
    bool PapierModifie() const { return m_papierModifie; }
    void PapierApplique() { m_papierModifie = false; }
    void SetDuplex(bool d) { m_duplex = d; }
    void SetMarges(const QMarginsF& m) { m_marges = m; }

private:
    void PoliceChangee(bool formeChangee);

    FormatPapier m_papier;
    bool m_papierModifie = false;
    int m_xdpi, m_ydpi;
    bool m_duplex;
    QMarginsF m_marges;
    int m_page = 1;
    bool m_abandonne = false;

    Police m_police;
    MetriquePolice m_metrique;
    MethodeHauteurLigne m_methode = lhmFont;
    double m_lignesParPouce = 6.0;
    double m_hauteurUtilisateur = 0.5;

    Plume m_plume;
    Pinceau m_pinceau;
    double m_x = 0, m_y = 0;
};

} // namespace vl
