#pragma once
#include "report/FormatPapier.h"

#include <QMarginsF>

class QPainter;

namespace vl {

// Where the pages of a painted report go: preview pages in memory, a PDF
// file or a printer. It owns the painter and the paint device.
class SortiePage
{
public:
    virtual ~SortiePage() = default;

    virtual int XDPI() const = 0;
    virtual int YDPI() const = 0;
    virtual bool Duplex() const { return false; }
    // Non-printable margins for a paper, cm.
    virtual QMarginsF MargesCm(const FormatPapier&) const { return QMarginsF(); }

    // Starts the first page; the painter returned is active on it, its origin
    // at the paper's top-left corner, in device pixels.
    virtual QPainter& Commencer(const FormatPapier& papier) = 0;
    // Ends the current page and starts the next one; the painter's state
    // (pen, brush, font) is reset.
    virtual QPainter& PageSuivante(const FormatPapier& papier) = 0;
    // Completes the output; raises ErreurRapport when it cannot be written.
    virtual void Terminer() = 0;
    // Drops whatever was not delivered yet.
    virtual void Abandonner() = 0;
};

} // namespace vl
