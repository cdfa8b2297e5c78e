#include "connections/SourceImpression.h"
#include "connections/ConnexionFeuilleManager.h"
#include "connections/Connexions.h"

#include <QFileInfo>

void TSourceConnexionImpression::Premier() { m_controleur.Premier(); }
void TSourceConnexionImpression::Suivant() { m_controleur.Suivant(); }
bool TSourceConnexionImpression::Fin() const { return m_controleur.Fin(); }

TSourceEnregistrements::TSignet TSourceConnexionImpression::Signet() const
{
    return m_controleur.Donnees().PoserSignet().index;
}

void TSourceConnexionImpression::AllerAuSignet(TSignet signet)
{
    m_controleur.Donnees().RetourSignet(vl::data::Signet{int(signet)});
}

QString TSourceConnexionImpression::ValeurChamp(const QString& champ) const
{
    return m_controleur.Valeur(champ, false);
}

QString TSourceConnexionImpression::ChampCopies() const
{
    const auto c = m_controleur.Connexion();
    return c ? c->CompteurImpressions() : QString();
}

QString TSourceConnexionImpression::ValeurTexte(const TVlFeuille& feuille) const
{
    return m_manager.ValeurTexte(feuille);
}

QString TSourceConnexionImpression::ValeurMemo(const TVlFeuille& feuille) const
{
    return m_manager.ValeurMemo(feuille);
}

TImageSource TSourceConnexionImpression::ValeurImage(const TVlImage& image) const
{
    TImageSource r;
    const auto liaison = image.Connexion();
    if (!liaison || liaison->ElementsCount() == 0)
        return r;
    m_manager.ChargerImageLiee(image, r.Image, false);
    const QString champ = liaison->Elements(0)->Valeur();
    const auto c = m_controleur.Connexion();
    const auto def = c ? c->ImageDefDuChamp(champ) : nullptr;
    if (liaison->TypeChamp() != 0 && def)
        r.Format = (def->Specificateur() == 1 ? m_controleur.Valeur(def->TypeImage(), false) : def->TypeImage())
                       .trimmed().toLower().toLatin1();
    else
        r.Format = QFileInfo(m_controleur.Valeur(champ, false).trimmed()).suffix().toLower().toLatin1();
    return r;
}
