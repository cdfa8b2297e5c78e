#pragma once
// Independent references for the barcode tests: libzint gives the module row
// of a symbol, zxing-cpp reads a rendered image back.

#include <QImage>
#include <QString>
#include <string>

namespace vltest {

// Module row ('1' bar, '0' space) that libzint encodes for value in the given
// zint symbology, or an empty string with the error text in erreur.
std::string LigneZint(int symbologie, const std::string& valeur, std::string* erreur = nullptr);

// A run-length view of a module row: 'n' for a one-module element, 'w' for a
// wider one, bars and spaces alternating from the first bar.  Lets rows drawn
// with different wide/narrow ratios be compared.
std::string EtroitLarge(const std::string& ligne);

enum class Format { EAN13, EAN8, ITF, Code39, Code39Etendu, Code128 };

struct Lecture
{
    bool valide = false;
    std::string texte;
    bool formatAttendu = false;
};

// Reads one symbol of the given format from image (any depth, converted to
// grey), trying rotations.
Lecture Lire(const QImage& image, Format format);

QImage Tourner(const QImage& image, int degres);

} // namespace vltest
