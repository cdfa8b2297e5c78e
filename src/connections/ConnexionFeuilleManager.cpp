#include "connections/ConnexionFeuilleManager.h"
#include "connections/Connexions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString tr(const char* texte)
{
    return QCoreApplication::translate("TConnexionFeuilleManager", texte);
}

} // namespace

TConnexionFeuilleManager::TConnexionFeuilleManager(TControleurConnexion& controleur, TSelecteursChamps* selecteurs)
    : m_controleur(controleur), m_selecteurs(selecteurs)
{
}

QString TConnexionFeuilleManager::LibelleLiaison(const TVlFeuille& feuille) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison)
        return QString();
    QStringList morceaux;
    for (int i = 0; i < liaison->ElementsCount(); ++i) {
        const auto e = liaison->Elements(i);
        if (e->EstChamp())
            morceaux << m_controleur.NomAffiche(e->Valeur(), false);
        else
            morceaux << QLatin1Char('"') + e->Valeur() + QLatin1Char('"');
    }
    return morceaux.join(QStringLiteral(" + "));
}

QString TConnexionFeuilleManager::NomChampReel(const QString& affiche) const
{
    return m_controleur.NomChampReel(affiche);
}

void TConnexionFeuilleManager::ListerChampsPour(QStringList& liste, const TVlFeuille* feuille) const
{
    if (!feuille) {
        m_controleur.ListerChamps(liste);
        return;
    }
    switch (feuille->Genre()) {
    case GenreFeuille::Memo:
        m_controleur.ListerChampsMemo(liste);
        break;
    case GenreFeuille::Image:
        m_controleur.ListerChampsImage(liste);
        break;
    case GenreFeuille::Texte:
    case GenreFeuille::CodeBarre:
    case GenreFeuille::Compteur:
        m_controleur.ListerChampsTexte(liste);
        break;
    }
}

QString TConnexionFeuilleManager::ValeurTexte(const TVlFeuille& feuille) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison)
        return QString();
    QString r;
    for (int i = 0; i < liaison->ElementsCount(); ++i) {
        const auto e = liaison->Elements(i);
        if (i > 0)
            r += QLatin1Char(' ');
        if (e->TypeElement() == 0)
            r += e->Valeur();
        else if (e->TypeElement() == 1)
            r += m_controleur.Valeur(e->Valeur(), false);
    }
    return r;
}

QString TConnexionFeuilleManager::ValeurMemo(const TVlFeuille& feuille) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison || liaison->ElementsCount() == 0)
        return QString();
    return m_controleur.ValeurTexte(liaison->Elements(0)->Valeur());
}

QString TConnexionFeuilleManager::CheminImage(const QString& nom)
{
    if (nom.isEmpty() || QFileInfo(nom).isAbsolute())
        return nom;
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/Images")).filePath(nom);
}

void TConnexionFeuilleManager::ChargerImageLiee(const TVlFeuille& feuille, QImage& image, bool brut) const
{
    const auto liaison = feuille.Connexion();
    if (!liaison || liaison->ElementsCount() == 0)
        return;
    const QString champ = liaison->Elements(0)->Valeur();
    if (liaison->TypeChamp() != 0) {
        m_controleur.ChargerImage(champ, image, brut);
        return;
    }
    const QString fichier = m_controleur.Valeur(champ, false).trimmed();
    if (fichier.isEmpty())
        return;
    QImage lue;
    if (lue.load(fichier) || lue.load(CheminImage(fichier)))
        image = lue;
}

void TConnexionFeuilleManager::AjouterPiece(TVLFeuilleConnexion& liaison, int type, const QString& valeur)
{
    auto piece = std::make_shared<TElemFeuilleConnexion>();
    piece->SetTypeElement(type);
    piece->SetValeur(valeur);
    liaison.AjouterElements(piece);
}

void TConnexionFeuilleManager::Reconstruire(TVLFeuilleConnexion& liaison, const QList<TLigneChoisie>& lignes) const
{
    liaison.ViderElements();
    for (const auto& l : lignes) {
        if (l.Type == QLatin1String("C"))
            AjouterPiece(liaison, 1, NomChampReel(l.Texte));
        else
            AjouterPiece(liaison, 0, l.Texte);
    }
}

bool TConnexionFeuilleManager::Lier(TVlFeuille& feuille, int typeChamp)
{
    m_genre = feuille.Genre() == GenreFeuille::Texte ? TGenreSelecteur::Concatenation : TGenreSelecteur::ChampUnique;
    if (!m_selecteurs)
        return false;
    auto liaison = std::make_shared<TVLFeuilleConnexion>();
    const auto composition = feuille.Composition();
    liaison->SetConnexion(composition && composition->Connexion() ? composition->Connexion()
                                                                  : m_controleur.Connexion());
    QStringList champs;
    ListerChampsPour(champs, &feuille);
    QList<TLigneChoisie> lignes;
    if (!m_selecteurs->Choisir(m_genre, champs, lignes))
        return false;
    Reconstruire(*liaison, lignes);
    if (typeChamp == 1
        && (liaison->ElementsCount() == 0 || !liaison->Elements(0)->EstChamp()
            || !m_controleur.EstChampImage(liaison->Elements(0)->Valeur())))
        typeChamp = 0;
    liaison->SetTypeChamp(typeChamp);
    feuille.SetConnexion(liaison);
    return true;
}

bool TConnexionFeuilleManager::EditerConcatenation(TVlFeuille& feuille)
{
    m_genre = TGenreSelecteur::Concatenation;
    auto liaison = feuille.Connexion();
    if (!liaison)
        throw EConnexion(tr("Cet élément n'est lié à aucune connexion"));
    if (!m_selecteurs)
        return false;
    QStringList champs;
    ListerChampsPour(champs, nullptr);
    QList<TLigneChoisie> lignes;
    for (int i = 0; i < liaison->ElementsCount(); ++i) {
        const auto e = liaison->Elements(i);
        if (e->EstChamp())
            lignes.append({m_controleur.NomAffiche(e->Valeur(), false), QStringLiteral("C")});
        else
            lignes.append({e->Valeur(), QStringLiteral("L")});
    }
    if (!m_selecteurs->Choisir(m_genre, champs, lignes))
        return false;
    Reconstruire(*liaison, lignes);
    return true;
}

void TConnexionFeuilleManager::SetChampImage(TVlFeuille& feuille, const QString& nom)
{
    auto liaison = feuille.Connexion();
    if (!liaison) {
        liaison = std::make_shared<TVLFeuilleConnexion>();
        const auto composition = feuille.Composition();
        liaison->SetConnexion(composition && composition->Connexion() ? composition->Connexion()
                                                                      : m_controleur.Connexion());
        feuille.SetConnexion(liaison);
    }
    const QString champ = NomChampReel(nom);
    if (liaison->ElementsCount() == 1) {
        liaison->Elements(0)->SetValeur(champ);
        liaison->Elements(0)->SetTypeElement(1);
    } else {
        liaison->ViderElements();
        AjouterPiece(*liaison, 1, champ);
    }
    // A field that is no image definition holds a file name.
    if (m_controleur.Strategie)
        liaison->SetTypeChamp(m_controleur.EstChampImage(champ) ? 1 : 0);
    if (auto* image = dynamic_cast<TVlImage*>(&feuille))
        image->ReevaluerImage();
}
