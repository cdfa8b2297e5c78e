#pragma once
#include "report/CanevasBase.h"
#include "report/SortiePage.h"

class QPainter;

namespace vl {

// The canvas that paints, through QPainter, on a page output (preview,
// PDF file or printer). Commencer() opens the first page, Terminer()
// completes the output; pen, brush and font reach the painter only when
// they changed, so that long runs stay fast.
class CanevasPeintre : public CanevasBase
{
public:
    CanevasPeintre(SortiePage& sortie, const FormatPapier& papier);
    ~CanevasPeintre() override;

    void Commencer();
    void Terminer();
    bool Commence() const { return m_peintre != nullptr; }

protected:
    void FaireTexte(const TextePlace& t) override;
    void FaireRectangle(const QRect& px, const double cm[4]) override;
    void FaireEllipse(const QRect& px, const double cm[4]) override;
    void FaireArc(const QRect& px, const QPoint& debutPx, const QPoint& finPx, const double cm[8]) override;
    void FairePolygone(const QVector<QPoint>& px) override;
    void FairePolyligne(const QVector<QPoint>& px) override;
    void FaireImage(const QRect& px, const double cm[4], const QImage& image) override;
    void FaireNouvellePage() override;
    void FaireAbandon() override;
    QMarginsF LireMarges(const FormatPapier& papier) const override { return m_sortie.MargesCm(papier); }

private:
    QPainter& Peintre();
    void AppliquerPlumePinceau(bool pinceau);
    void AppliquerPolice();
    void Reinitialiser();

    SortiePage& m_sortie;
    QPainter* m_peintre = nullptr;
    bool m_termine = false;
    // What the painter holds now.
    enum class EtatPlume { Inconnu, Figure, Texte, Remplissage } m_etatPlume = EtatPlume::Inconnu;
    Plume m_plumeAppliquee;
    Couleur m_couleurTexteAppliquee = 0;
    bool m_pinceauConnu = false;
    Pinceau m_pinceauApplique;
    bool m_avecPinceau = false;
    bool m_policeConnue = false;
    QFont m_policeAppliquee;
};

} // namespace vl
