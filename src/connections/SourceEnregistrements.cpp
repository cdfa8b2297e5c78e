#include "connections/SourceEnregistrements.h"
#include "connections/Connexions.h"

void TSourceEnregistrementsConnexion::Premier() { m_controleur.Premier(); }
void TSourceEnregistrementsConnexion::Suivant() { m_controleur.Suivant(); }
bool TSourceEnregistrementsConnexion::Fin() const { return m_controleur.Fin(); }
void TSourceEnregistrementsConnexion::PoserSignet() { m_controleur.PoserSignet(); }
void TSourceEnregistrementsConnexion::RetourSignet() { m_controleur.RetourSignet(); }
QString TSourceEnregistrementsConnexion::ValeurTexte(const QString& champ) const { return m_controleur.Valeur(champ, false); }
int TSourceEnregistrementsConnexion::NombreCopies() const { return m_controleur.NombreCopies(); }
