#include "printing/SourceEnregistrements.h"
#include "model/Metier.h"
#include "report/ErreurRapport.h"

#include <QCoreApplication>

QString TSourceEnregistrements::ValeurTexte(const TVlFeuille& feuille) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison)
        return QString();
    QString texte;
    for (int i = 0; i < liaison->ElementsCount(); ++i) {
        const auto piece = liaison->Elements(i);
        texte += piece->EstChamp() ? ValeurChamp(piece->Valeur()) : piece->Valeur();
    }
    return texte;
}

QString TSourceEnregistrements::ValeurMemo(const TVlFeuille& feuille) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison || liaison->ElementsCount() == 0)
        return QString();
    return ValeurChamp(liaison->Elements(0)->Valeur());
}

TImageSource TSourceEnregistrements::ValeurImage(const TVlImage&) const { return {}; }

QString TSourceMemoire::ValeurChamp(const QString& champ) const
{
    if (Fin())
        throw vl::ErreurRapport(QCoreApplication::translate("TSourceMemoire", "Aucun enregistrement courant"));
    const auto& e = m_enregistrements[size_t(m_courant)];
    const auto it = e.find(champ);
    if (it == e.end())
        throw vl::ErreurRapport(
            QCoreApplication::translate("TSourceMemoire", "Le champ %1 n'existe pas").arg(champ));
    return it->second;
}
