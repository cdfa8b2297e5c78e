#pragma once
#include <QByteArray>

namespace vl {

// zlib helpers (zlib format, as PDF's FlateDecode wants).
QByteArray Deflate(const QByteArray& donnees, int niveau);
// False when the data is not a valid zlib stream.
bool Inflate(const QByteArray& donnees, QByteArray& resultat);

// Rewrites a PDF with a classic cross-reference table (as QPdfWriter writes
// them) so that every stream is deflated at zlib's highest level: FlateDecode
// streams are inflated and deflated again, unfiltered ones (except XMP
// metadata, which readers expect in clear) are deflated; streams with other
// filters are copied. Lengths become direct and the cross-reference table is
// rebuilt with the new offsets. Raises ErreurRapport on a PDF it cannot read.
class CompressionPdf
{
public:
    static QByteArray Recompresser(const QByteArray& pdf);
};

} // namespace vl
