#include "data/Pilotes.h"
namespace vl::data::detail {
std::unique_ptr<Dataset> OuvrirDBase(const QString& f)
{ throw ErreurDonnees(tr("Les tables dBase ne sont pas encore prises en charge : %1").arg(f), f); }
QList<ObjetSource> ListerDBase(const QString&) { return {}; }
}
