#pragma once
// The open connection as the print run reads it: records, bookmarks, field
// values and the values of bound leaves as the binding manager composes them.
#include "printing/SourceEnregistrements.h"

class TControleurConnexion;
class TConnexionFeuilleManager;

class TSourceConnexionImpression : public TSourceEnregistrements
{
public:
    TSourceConnexionImpression(TControleurConnexion& controleur, const TConnexionFeuilleManager& manager)
        : m_controleur(controleur), m_manager(manager) {}

    void Premier() override;
    void Suivant() override;
    bool Fin() const override;
    TSignet Signet() const override;
    void AllerAuSignet(TSignet signet) override;
    // Formatted, as labels show it.
    QString ValeurChamp(const QString& champ) const override;
    QString ChampCopies() const override;
    QString ValeurTexte(const TVlFeuille& feuille) const override;
    QString ValeurMemo(const TVlFeuille& feuille) const override;
    TImageSource ValeurImage(const TVlImage& image) const override;

private:
    TControleurConnexion& m_controleur;
    const TConnexionFeuilleManager& m_manager;
};
