#pragma once
// The records of the open connection as a print run walks them.
#include <QString>

class TControleurConnexion;

class TSourceEnregistrementsConnexion
{
public:
    explicit TSourceEnregistrementsConnexion(TControleurConnexion& controleur) : m_controleur(controleur) {}

    void Premier();
    void Suivant();
    bool Fin() const;
    void PoserSignet();
    void RetourSignet();
    // A field of the current record as the labels show it (formatted).
    QString ValeurTexte(const QString& champ) const;
    // Labels to print for the current record (see TControleurConnexion::NombreCopies).
    int NombreCopies() const;

private:
    TControleurConnexion& m_controleur;
};
