#pragma once
#include "report/PagesApercu.h"
#include "report/SortiePage.h"

#include <QPainter>

namespace vl {

// Preview pages kept in memory, one bitmap per page.
class SortieApercu : public SortiePage
{
public:
    explicit SortieApercu(int dpi);
    ~SortieApercu() override;

    int XDPI() const override { return m_dpi; }
    int YDPI() const override { return m_dpi; }
    QPainter& Commencer(const FormatPapier& papier) override;
    QPainter& PageSuivante(const FormatPapier& papier) override;
    void Terminer() override;
    void Abandonner() override;

    // The pages completed so far (all of them after Terminer()).
    PagesApercu& Pages() { return m_pages; }

private:
    void Ouvrir(const FormatPapier& papier);
    void Fermer();

    int m_dpi;
    QImage m_courante;
    QPainter m_peintre;
    PagesApercu m_pages;
};

} // namespace vl
