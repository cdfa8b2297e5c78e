#include "report/SortiePdf.h"
#include "report/CompressionPdf.h"
#include "report/ErreurRapport.h"

#include <QCoreApplication>
#include <QPdfWriter>
#include <QSaveFile>

namespace vl {

SortiePdf::SortiePdf(const QString& chemin, const QString& titre) : m_chemin(chemin), m_titre(titre) {}

SortiePdf::~SortiePdf()
{
    if (m_peintre.isActive())
        m_peintre.end();
}

QPainter& SortiePdf::Commencer(const FormatPapier& papier)
{
    if (m_chemin.trimmed().isEmpty())
        throw ErreurRapport(QCoreApplication::translate("SortiePdf", "Aucun fichier de destination n'est indiqué"));
    m_tampon.setData(QByteArray());
    m_tampon.open(QIODevice::WriteOnly);
    m_ecrivain = std::make_unique<QPdfWriter>(&m_tampon);
    m_ecrivain->setResolution(Resolution);
    m_ecrivain->setCreator(QStringLiteral("Vellumar"));
    m_ecrivain->setTitle(m_titre);
    m_ecrivain->setPageLayout(papier.VersQPageLayout());
    if (!m_peintre.begin(m_ecrivain.get()))
        throw ErreurRapport(QCoreApplication::translate("SortiePdf", "Impossible de créer le fichier PDF %1").arg(m_chemin));
    return m_peintre;
}

QPainter& SortiePdf::PageSuivante(const FormatPapier& papier)
{
    m_ecrivain->setPageLayout(papier.VersQPageLayout());
    m_ecrivain->newPage();
    return m_peintre;
}

void SortiePdf::Terminer()
{
    if (m_peintre.isActive())
        m_peintre.end();
    m_ecrivain.reset();
    m_tampon.close();
    const QByteArray pdf = CompressionPdf::Recompresser(m_tampon.data());
    m_tampon.setData(QByteArray());

    QSaveFile fichier(m_chemin);
    if (!fichier.open(QIODevice::WriteOnly) || fichier.write(pdf) != pdf.size() || !fichier.commit())
        throw ErreurRapport(QCoreApplication::translate("SortiePdf", "Impossible d'écrire le fichier %1").arg(m_chemin));
}

void SortiePdf::Abandonner()
{
    if (m_peintre.isActive())
        m_peintre.end();
    m_ecrivain.reset();
    m_tampon.close();
    m_tampon.setData(QByteArray());
}

} // namespace vl
