#pragma once
// Delimited text files (one record a line, fields cut at a separator,
// optionally between quote characters) read through the columns of their
// schema. The schema file itself belongs to the connection code: this driver
// only needs the separator, the quote character and the column list.
#include "data/Dataset.h"

namespace vl::data {

struct ColonneAscii
{
    QString nom;
    int largeur = 1;
};

struct DescriptionAscii
{
    QChar separateur = QLatin1Char(';');
    QChar delimiteur;            // quote character; QChar() (code 0) for none
    QList<ColonneAscii> colonnes;
};

// Text of a file: UTF-8 when it carries a UTF-8 byte-order mark or is valid
// UTF-8, Windows-1252 otherwise.
QString DecoderTexteAscii(const QByteArray& octets, bool* utf8 = nullptr);

// The first line of the decoded file (without its line end); empty for an
// empty file. Raises ErreurDonnees when the file cannot be read.
QString PremiereLigneAscii(const QString& chemin);

// Column widths computed from the data: as many columns as separators in the
// first line plus one; each width is the longest piece seen in that position
// over every line (at least 1). Quote characters are kept and count.
QList<int> LargeursAscii(const QString& chemin, QChar separateur);

// Opens the file with the given columns. Every column is text; an empty piece
// is NULL; the quote character around a value is removed (a doubled quote
// inside stands for one). The dataset is read-only, except for
// ViderColonneAscii below.
std::unique_ptr<Dataset> OuvrirAscii(const QString& chemin, const DescriptionAscii& description);

// Empties column `nom` in every line of the file behind a dataset opened by
// OuvrirAscii (the print counter reset), then re-reads it. The file keeps its
// encoding and line ends; it is replaced only once written completely.
void ViderColonneAscii(Dataset& dataset, const QString& nom);

} // namespace vl::data
