#include "report/SortieImprimante.h"
#include "report/ErreurRapport.h"

#include <QCoreApplication>
#include <QPrinterInfo>

namespace vl {

bool SortieImprimante::ImprimanteInstallee()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString SortieImprimante::ImprimanteParDefaut()
{
    return QPrinterInfo::defaultPrinterName();
}

SortieImprimante::SortieImprimante(const Reglages& r)
    : m_reglages(r), m_imprimante(QPrinter::HighResolution)
{
    if (!r.fichier.isEmpty()) {
        m_imprimante.setOutputFormat(QPrinter::PdfFormat);
        m_imprimante.setOutputFileName(r.fichier);
    } else {
        const QString nom = r.imprimante.isEmpty() ? ImprimanteParDefaut() : r.imprimante;
        if (nom.isEmpty() || QPrinterInfo::printerInfo(nom).isNull())
            throw ErreurRapport(QCoreApplication::translate("SortieImprimante", "Aucune imprimante n'est installée"));
        m_imprimante.setPrinterName(nom);
    }
    m_imprimante.setFullPage(true);   // coordinates from the paper's corner
    m_imprimante.setCopyCount(std::max(1, r.copies));
    m_imprimante.setDocName(r.titreTravail);
    switch (r.duplex) {
    case dupSimplex: m_imprimante.setDuplex(QPrinter::DuplexNone); break;
    case dupVertical: m_imprimante.setDuplex(QPrinter::DuplexLongSide); break;
    case dupHorizontal: m_imprimante.setDuplex(QPrinter::DuplexShortSide); break;
    }
}

SortieImprimante::~SortieImprimante()
{
    if (m_peintre.isActive())
        m_peintre.end();
}

int SortieImprimante::XDPI() const { return m_imprimante.logicalDpiX(); }
int SortieImprimante::YDPI() const { return m_imprimante.logicalDpiY(); }

bool SortieImprimante::Duplex() const
{
    return m_imprimante.duplex() != QPrinter::DuplexNone;
}

QMarginsF SortieImprimante::MargesCm(const FormatPapier& papier) const
{
    if (m_imprimante.outputFormat() == QPrinter::PdfFormat)
        return QMarginsF();
    const QPageLayout ancienne = m_imprimante.pageLayout();
    m_imprimante.setPageLayout(papier.VersQPageLayout());
    QPageLayout mise = m_imprimante.pageLayout();
    mise.setUnits(QPageLayout::Millimeter);
    const QMarginsF mm = mise.minimumMargins();
    m_imprimante.setPageLayout(ancienne);
    return QMarginsF(mm.left() / 10.0, mm.top() / 10.0, mm.right() / 10.0, mm.bottom() / 10.0);
}

QPainter& SortieImprimante::Commencer(const FormatPapier& papier)
{
    m_imprimante.setPageLayout(papier.VersQPageLayout());
    if (!m_peintre.begin(&m_imprimante))
        throw ErreurRapport(QCoreApplication::translate("SortieImprimante", "Impossible d'imprimer sur %1")
                                .arg(m_imprimante.printerName()));
    return m_peintre;
}

QPainter& SortieImprimante::PageSuivante(const FormatPapier& papier)
{
    m_imprimante.setPageLayout(papier.VersQPageLayout());
    m_imprimante.newPage();
    return m_peintre;
}

void SortieImprimante::Terminer()
{
    if (m_peintre.isActive())
        m_peintre.end();
}

void SortieImprimante::Abandonner()
{
    m_imprimante.abort();
    if (m_peintre.isActive())
        m_peintre.end();
}

} // namespace vl
