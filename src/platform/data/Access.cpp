#include "data/Pilotes.h"
namespace vl::data::detail {
std::unique_ptr<Dataset> OuvrirAccess(const QString& f, const QString&, const OptionsOuverture&)
{ throw ErreurDonnees(tr("Les bases Access ne sont pas encore prises en charge : %1").arg(f), f); }
QList<ObjetSource> ListerAccess(const QString&, const OptionsOuverture&) { return {}; }
}
