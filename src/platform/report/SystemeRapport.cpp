#include "report/SystemeRapport.h"
#include "report/CanevasPeintre.h"
#include "report/SortieApercu.h"
#include "report/SortiePdf.h"

#include <QPrinterInfo>

namespace vl {

namespace {

// A canvas that measures without drawing: the printer's margins for a paper.
class CanevasMesureur : public CanevasBase
{
public:
    CanevasMesureur(const FormatPapier& papier, const SortieImprimante::Reglages* imprimante)
        : CanevasBase(papier, 600, 600, false)
    {
        if (imprimante) {
            m_sortie = std::make_unique<SortieImprimante>(*imprimante);
            m_xdpi = m_sortie->XDPI();
            m_ydpi = m_sortie->YDPI();
            SetDuplex(m_sortie->Duplex());
        }
        ActualiserMarges();
    }
    int XDPI() const override { return m_xdpi; }
    int YDPI() const override { return m_ydpi; }

protected:
    void FaireTexte(const TextePlace&) override {}
    void FaireRectangle(const QRect&, const double*) override {}
    void FaireEllipse(const QRect&, const double*) override {}
    void FaireArc(const QRect&, const QPoint&, const QPoint&, const double*) override {}
    void FairePolygone(const QVector<QPoint>&) override {}
    void FairePolyligne(const QVector<QPoint>&) override {}
    void FaireImage(const QRect&, const double*, const QImage&) override {}
    void FaireNouvellePage() override {}
    QMarginsF LireMarges(const FormatPapier& p) const override
    {
        return m_sortie ? m_sortie->MargesCm(p) : QMarginsF();
    }

private:
    std::unique_ptr<SortieImprimante> m_sortie;
    int m_xdpi = 600, m_ydpi = 600;
};

} // namespace

SystemeRapport::SystemeRapport() : m_pages(0) {}
SystemeRapport::~SystemeRapport() = default;

QString SystemeRapport::NomImprimante() const
{
    return m_imprimante.imprimante.isEmpty() ? SortieImprimante::ImprimanteParDefaut() : m_imprimante.imprimante;
}

std::unique_ptr<Canevas> SystemeRapport::CreerMesureur() const
{
    const QString nom = NomImprimante();
    const bool avecImprimante = !nom.isEmpty() && !QPrinterInfo::printerInfo(nom).isNull();
    return std::make_unique<CanevasMesureur>(m_papier, avecImprimante ? &m_imprimante : nullptr);
}

bool SystemeRapport::Executer()
{
    m_abandonne = false;
    m_destination = m_destinationParDefaut;
    if ((m_reglages & ssAllowSetup) && m_reglage && !m_reglage(*this)) {
        m_abandonne = true;
        return false;
    }

    std::unique_ptr<SortiePage> sortie;
    SortieApercu* apercu = nullptr;
    switch (m_destination) {
    case rdPreview: {
        auto a = std::make_unique<SortieApercu>(m_resolutionApercu);
        apercu = a.get();
        sortie = std::move(a);
        break;
    }
    case rdFile:
        sortie = std::make_unique<SortiePdf>(m_fichier, m_titre);
        break;
    case rdPrinter:
        sortie = std::make_unique<SortieImprimante>(m_imprimante);
        break;
    }

    CanevasPeintre canevas(*sortie, m_papier);
    if (m_avantImpression)
        m_avantImpression(canevas);
    m_papier = canevas.Papier();
    canevas.Commencer();
    if (m_impression && !canevas.Abandonne())
        m_impression(canevas);
    canevas.Terminer();
    m_abandonne = canevas.Abandonne();

    if (apercu) {
        m_pages = std::move(apercu->Pages());
        if (!m_abandonne && m_apercu)
            m_apercu(m_pages);
    }
    return !m_abandonne;
}

} // namespace vl
