#include "data/Pilotes.h"
namespace vl::data::detail {
std::unique_ptr<Dataset> OuvrirParadox(const QString& chemin)
{ throw ErreurDonnees(tr("Les tables Paradox ne sont pas encore prises en charge : %1").arg(chemin), chemin); }
QList<ObjetSource> ListerParadox(const QString&) { return {}; }
}
