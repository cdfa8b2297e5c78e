#include "data/Pilotes.h"
namespace vl::data::detail {
std::unique_ptr<Dataset> OuvrirExcel(const QString& f, const QString&)
{ throw ErreurDonnees(tr("Les classeurs Excel ne sont pas encore pris en charge : %1").arg(f), f); }
QList<ObjetSource> ListerExcel(const QString&) { return {}; }
}
