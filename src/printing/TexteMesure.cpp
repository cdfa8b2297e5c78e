#include "printing/TexteMesure.h"

#include "report/Canevas.h"

#include <QFontMetrics>

double TPrintMesureTexte::Mesurer(const QString& texte) const
{
    return m_rapport ? m_rapport->LargeurTexte(texte) : 0.0;
}

double TEcranMesureTexte::Mesurer(const QString& texte) const
{
    if (m_appareil)
        return QFontMetrics(m_police, m_appareil).horizontalAdvance(texte);
    return QFontMetrics(m_police).horizontalAdvance(texte);
}

int TEcranMesureTexte::Hauteur() const
{
    if (m_appareil)
        return QFontMetrics(m_police, m_appareil).height();
    return QFontMetrics(m_police).height();
}
