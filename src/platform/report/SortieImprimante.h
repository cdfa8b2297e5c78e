#pragma once
#include "report/SortiePage.h"

#include <QPainter>
#include <QPrinter>
#include <QString>

namespace vl {

enum ModeDuplex { dupSimplex, dupVertical, dupHorizontal };

// A printer job through Qt's print support (CUPS here).
class SortieImprimante : public SortiePage
{
public:
    struct Reglages
    {
        QString imprimante;              // empty: the default printer
        int copies = 1;
        ModeDuplex duplex = dupSimplex;
        QString titreTravail = QStringLiteral("ReportPrinter Report");
        QString fichier;                 // print to this file (PDF) instead of the device
    };

    explicit SortieImprimante(const Reglages& r);
    ~SortieImprimante() override;

    int XDPI() const override;
    int YDPI() const override;
    bool Duplex() const override;
    QMarginsF MargesCm(const FormatPapier& papier) const override;
    QPainter& Commencer(const FormatPapier& papier) override;
    QPainter& PageSuivante(const FormatPapier& papier) override;
    void Terminer() override;
    void Abandonner() override;

    // True when at least one printer is installed.
    static bool ImprimanteInstallee();
    static QString ImprimanteParDefaut();

private:
    Reglages m_reglages;
    mutable QPrinter m_imprimante;
    QPainter m_peintre;
};

} // namespace vl
