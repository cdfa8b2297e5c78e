#include "references.h"

#include <QTransform>
#include <zint.h>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace vltest {

std::string LigneZint(int symbologie, const std::string& valeur, std::string* erreur)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = symbologie;
    s->input_mode = DATA_MODE;
    const int rc = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(valeur.data()),
                                   static_cast<int>(valeur.size()));
    std::string ligne;
    if (rc >= ZINT_ERROR) {
        if (erreur)
            *erreur = s->errtxt;
    } else {
        // One bit per module, least significant bit first within each byte.
        const int rang = s->rows - 1;
        for (int x = 0; x < s->width; ++x)
            ligne += ((s->encoded_data[rang][x >> 3] >> (x & 7)) & 1) ? '1' : '0';
    }
    ZBarcode_Delete(s);
    return ligne;
}

std::string EtroitLarge(const std::string& ligne)
{
    std::string r;
    size_t i = ligne.find('1');
    const size_t fin = ligne.rfind('1');
    if (i == std::string::npos)
        return r;
    while (i <= fin) {
        size_t j = i;
        while (j <= fin && ligne[j] == ligne[i])
            ++j;
        r += (j - i == 1) ? 'n' : 'w';
        i = j;
    }
    return r;
}

QImage Tourner(const QImage& image, int degres)
{
    if (degres % 360 == 0)
        return image;
    QTransform t;
    t.rotate(degres);
    return image.transformed(t);
}

Lecture Lire(const QImage& image, Format format)
{
    const QImage gris = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vue(gris.constBits(), gris.width(), gris.height(), ZXing::ImageFormat::Lum,
                               static_cast<int>(gris.bytesPerLine()));
    ZXing::BarcodeFormat f = ZXing::BarcodeFormat::None;
    switch (format) {
    case Format::EAN13: f = ZXing::BarcodeFormat::EAN13; break;
    case Format::EAN8: f = ZXing::BarcodeFormat::EAN8; break;
    case Format::ITF: f = ZXing::BarcodeFormat::ITF; break;
    case Format::Code39:
    case Format::Code39Etendu: f = ZXing::BarcodeFormat::Code39; break;
    case Format::Code128: f = ZXing::BarcodeFormat::Code128; break;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(f);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setMaxNumberOfSymbols(1);
    hints.setTryCode39ExtendedMode(format == Format::Code39Etendu);
    const ZXing::Result r = ZXing::ReadBarcode(vue, hints);
    Lecture l;
    l.valide = r.isValid();
    l.texte = r.text();
    l.formatAttendu = r.format() == f;
    return l;
}

} // namespace vltest
