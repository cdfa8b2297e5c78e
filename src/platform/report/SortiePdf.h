#pragma once
#include "report/SortiePage.h"

#include <QBuffer>
#include <QPainter>
#include <QString>
#include <memory>

class QPdfWriter;

namespace vl {

// A PDF file. The pages are painted at 600 dpi: device pixels then are
// 0.042 mm, finer than any barcode module the program prints, and the same
// grid as the usual laser printers, so that a PDF shows what such a printer
// prints with the same rounding. The document is built in memory, its
// streams recompressed at zlib's highest level, and the file replaced only
// once complete: a failed run leaves the previous file as it was.
class SortiePdf : public SortiePage
{
public:
    static constexpr int Resolution = 600;

    explicit SortiePdf(const QString& chemin, const QString& titre = QString());
    ~SortiePdf() override;

    int XDPI() const override { return Resolution; }
    int YDPI() const override { return Resolution; }
    QPainter& Commencer(const FormatPapier& papier) override;
    QPainter& PageSuivante(const FormatPapier& papier) override;
    void Terminer() override;
    void Abandonner() override;

    const QString& Chemin() const { return m_chemin; }

private:
    QString m_chemin;
    QString m_titre;
    QBuffer m_tampon;
    std::unique_ptr<QPdfWriter> m_ecrivain;
    QPainter m_peintre;
};

} // namespace vl
