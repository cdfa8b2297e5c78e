#pragma once
#include "report/CanevasBase.h"

#include <QStringList>

namespace vl {

enum class TypeOperation { Texte, Rectangle, Ellipse, Arc, Polygone, Polyligne, Image, NouvellePage, Abandon };

// One recorded drawing operation with its arguments as given (cm) and as
// converted (device pixels), and the font, pen and brush in force.
struct OperationEnregistree
{
    TypeOperation type = TypeOperation::Texte;
    int page = 1;
    // Texte: the anchor (x, y); Rectangle, Ellipse, Image: x1, y1, x2, y2;
    // Arc: its eight coordinates.
    QVector<double> cm;
    // Rectangle, Ellipse, Arc, Image: the device rectangle.
    QRect rectPx;
    // Texte: the start of the baseline; Arc: start and end points;
    // Polygone, Polyligne: the points.
    QVector<QPoint> pointsPx;
    QString texte;
    Justification justification = pjLeft;
    double largeurTexteCm = 0;
    QSize tailleImage;
    qint64 cleImage = 0;
    Police police;
    Plume plume;
    Pinceau pinceau;

    QString Description() const;
};

QString NomOperation(TypeOperation t);

// A canvas that draws nothing and records everything, for checking a print
// run operation by operation. Resolutions, paper and margins are given.
class CanevasEnregistreur : public CanevasBase
{
public:
    explicit CanevasEnregistreur(const FormatPapier& papier = FormatPapier::A4(), int xdpi = 600,
                                 int ydpi = 600, bool duplex = false,
                                 const QMarginsF& margesCm = QMarginsF());

    const QVector<OperationEnregistree>& Operations() const { return m_operations; }
    // The drawing operations of one page (1-based), page breaks left out.
    QVector<OperationEnregistree> OperationsPage(int page) const;
    QVector<OperationEnregistree> OperationsDeType(TypeOperation t) const;
    int NombrePages() const { return NumeroPage(); }
    // The texts printed, in order.
    QStringList Textes() const;
    // One line per operation, for failure messages and eyes.
    QString Dump() const;
    void Vider();

    // Margins returned by ActualiserMarges().
    void SetMargesImprimante(const QMarginsF& m) { m_margesImprimante = m; }

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
    QMarginsF LireMarges(const FormatPapier&) const override { return m_margesImprimante; }

private:
    OperationEnregistree& Ajouter(TypeOperation t);

    QVector<OperationEnregistree> m_operations;
    QMarginsF m_margesImprimante;
};

} // namespace vl
