#pragma once
// Entry points of the drivers, used by the source factory only.
#include "data/Dataset.h"

class QStringDecoder;

namespace vl::data::detail {

std::unique_ptr<Dataset> OuvrirDBase(const QString& chemin);
QList<ObjetSource> ListerDBase(const QString& dossier);

std::unique_ptr<Dataset> OuvrirParadox(const QString& chemin);
QList<ObjetSource> ListerParadox(const QString& dossier);

std::unique_ptr<Dataset> OuvrirAccess(const QString& fichier, const QString& table,
                                      const OptionsOuverture& options);
QList<ObjetSource> ListerAccess(const QString& fichier, const OptionsOuverture& options);

std::unique_ptr<Dataset> OuvrirExcel(const QString& fichier, const QString& feuille);
QList<ObjetSource> ListerExcel(const QString& fichier);

// Text decoding by Windows/DOS code page number (437, 850, 1252, ...).
// Unknown pages fall back to Windows-1252.
QString NomCodePage(int codePage);
QString Decoder(const QByteArray& octets, int codePage);
// Encodes text; false when a character has no code in the page.
bool Encoder(const QString& texte, int codePage, QByteArray& octets);

QString tr(const char* texte);

// The files of a folder whose name ends with `extension` (".dbf"), sorted,
// case ignored; raises when the folder does not exist.
QList<ObjetSource> ListerFichiers(const QString& dossier, const QString& extension);

} // namespace vl::data::detail
