#include "DmIDE.h"
#include <QCoreApplication>

using vl::persistence::Caster;
using vl::persistence::Erreur;
using vl::persistence::Transaction;

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("TDmIDE", t); }

const QString kCompositions = QStringLiteral("SELECT * FROM TVlComposition \norder by NomCompo");
const QString kFacesOuvrir = QStringLiteral("select * from any TVlCompoFace where composition.Id = :id order by Ordre");
const QString kElementsOuvrir =
    QStringLiteral("select * from any TVlCompoElement where composition.Id = :id order by face.nom,ordre");
const QString kElementsSupprimer = QStringLiteral("select * from any TVlCompoElement where composition.Id = :id");
const QString kFacesSupprimer = QStringLiteral("select * from any TVlCompoFace where composition.Id = :id");
const QString kAjustement =
    QStringLiteral("select * from TVlAjustement where MiseEnPage.Id = :id and Imprimante = :imprimante");
const QString kAlias = QStringLiteral("select * from TVlFieldsAlias where Connexion.Id = :id");
const QString kPaquets = QStringLiteral("select * from TVlPackage order by Ordre");
const QString kFormats = QStringLiteral("SELECT Format FROM TVlContenuPackages \n"
                                        "where Package.Id = :id\n"
                                        "order by Package.Ordre, Package.Id,Ordre");

QVariantMap Id(const ObjetPersistant& o) { return {{QStringLiteral("id"), o.Id()}}; }

} // namespace

std::vector<std::shared_ptr<TVlFeuille>> TCompositionOuverte::Feuilles(size_t i) const
{
    return i < Faces.size() ? Faces[i]->ElementsFace : std::vector<std::shared_ptr<TVlFeuille>>{};
}

QString TDmIDE::NomNouvelleComposition() { return Tr("Nouvelle composition"); }
QString TDmIDE::NomRecto() { return Tr("Recto"); }
QString TDmIDE::NomVerso() { return Tr("Verso"); }

TDmIDE::TDmIDE(std::shared_ptr<vl::persistence::Connecteur> connecteur) : m_connecteur(std::move(connecteur))
{
    m_paquets.Liste = m_connecteur->Selectionner<TVlPackage>(kPaquets);
}

std::vector<std::shared_ptr<TVlMiseEnPage>> TDmIDE::FormatsDuPaquet(const TVlPackage& paquet) const
{
    return m_connecteur->Selectionner<TVlMiseEnPage>(kFormats, Id(paquet));
}

std::vector<std::shared_ptr<TVlComposition>> TDmIDE::Compositions() const
{
    return m_connecteur->Selectionner<TVlComposition>(kCompositions);
}

std::shared_ptr<TVlComposition> TDmIDE::ChercherComposition(const QString& nom) const
{
    for (const auto& c : Compositions())
        if (c->NomCompo() == nom)
            return c;
    return nullptr;
}

TCompositionOuverte TDmIDE::CreerComposition(const std::shared_ptr<TVlMiseEnPage>& miseEnPage) const
{
    TCompositionOuverte o;
    o.Composition = m_connecteur->Nouveau<TVlComposition>();
    o.Composition->SetMiseEnPage(miseEnPage);
    o.Composition->SetNomCompo(NomNouvelleComposition());
    o.Composition->RectoVersoInitial = miseEnPage && miseEnPage->RectoVerso();
    auto face = [&](const QString& nom, int ordre) {
        auto f = std::make_shared<TVlCompoFace>();
        f->SetNom(nom);
        f->SetOrdre(ordre);
        f->SetComposition(o.Composition);
        o.Faces.push_back(f);
    };
    face(NomRecto(), 1);
    if (o.Composition->RectoVersoInitial)
        face(NomVerso(), 2);
    return o;
}

TCompositionOuverte TDmIDE::Ouvrir(const std::shared_ptr<TVlComposition>& composition) const
{
    TCompositionOuverte o;
    o.Composition = composition;
    for (const auto& face : m_connecteur->Selectionner<TVlCompoFace>(kFacesOuvrir, Id(*composition))) {
        face->ElementsFace.clear();
        o.Faces.push_back(face);
    }
    for (const auto& feuille : m_connecteur->Selectionner<TVlFeuille>(kElementsOuvrir, Id(*composition))) {
        const QString faceId = feuille->FaceId();
        for (const auto& face : o.Faces)
            if (face->Id() == faceId) {
                face->ElementsFace.push_back(feuille);
                break;
            }
        feuille->AttacherControleurs();
    }
    return o;
}

bool TDmIDE::Enregistrer(TCompositionOuverte& o, const TDialogueEnregistrer& dialogue)
{
    TVlComposition& c = *o.Composition;
    if (c.EstFournie())
        throw Erreur(Tr("La composition « %1 » est fournie avec le programme : enregistrez-la sous un autre nom.")
                         .arg(c.NomCompo()));
    if (!c.Persistant())
        return EnregistrerPremiereFois(o, dialogue);
    Transaction t(*m_connecteur);
    m_connecteur->Stocker(c);
    SupprimerContenu(c);
    EnregistrerOrdre(o);
    t.Valider();
    return true;
}

bool TDmIDE::EnregistrerPremiereFois(TCompositionOuverte& o, const TDialogueEnregistrer& dialogue)
{
    TVlComposition& c = *o.Composition;
    const QString nom = c.NomCompo();
    const QString description = c.DescriptionCompo();
    if (dialogue && !dialogue(c)) {
        c.SetNomCompo(nom);
        c.SetDescriptionCompo(description);
        return false;
    }
    try {
        Transaction t(*m_connecteur);
        c.SetPersistant(true);
        m_connecteur->Stocker(c);
        EnregistrerOrdre(o);
        t.Valider();
    } catch (...) {
        // Nothing reached the store: the composition stays new.
        c.SetPersistant(false);
        c.MarquerStocke(c.Id(), false);
        throw;
    }
    return true;
}

void TDmIDE::EnregistrerOrdre(TCompositionOuverte& o)
{
    for (const auto& face : o.Faces) {
        if (face->Composition() != o.Composition)
            face->SetComposition(o.Composition);
        m_connecteur->Stocker(*face);
        for (size_t i = 0; i < face->ElementsFace.size(); ++i) {
            TVlFeuille& feuille = *face->ElementsFace[i];
            feuille.SetOrdre(int(i));
            if (feuille.FaceId() != face->Id() || !feuille.Face())
                feuille.SetFace(face);
            StockerFeuille(feuille);
        }
    }
}

void TDmIDE::StockerFeuille(TVlFeuille& feuille)
{
    // The binding is a part of the leaf and is written with it.
    m_connecteur->Stocker(feuille);
}

void TDmIDE::SupprimerContenu(const TVlComposition& composition)
{
    Transaction t(*m_connecteur);
    for (const auto& element : m_connecteur->Selectionner(kElementsSupprimer, Id(composition)))
        m_connecteur->Supprimer(*element); // its binding goes with it
    for (const auto& face : m_connecteur->Selectionner(kFacesSupprimer, Id(composition)))
        m_connecteur->Supprimer(*face);
    t.Valider();
}

std::optional<TCompositionOuverte> TDmIDE::EnregistrerSous(TCompositionOuverte& o, const TDialogueEnregistrer& dialogue)
{
    auto copie = o.Composition->ClonerEn<TVlComposition>();
    copie->AttacherConnecteur(m_connecteur);
    copie->SetProprio(0);
    copie->SetNomCompo(NomNouvelleComposition());
    copie->SetDescriptionCompo(QString());
    // The copy is the user's own from now on, so a later save rewrites it in
    // place instead of asking for a name again.
    copie->SetPersistant(true);
    copie->RectoVersoInitial = o.Composition->RectoVersoInitial;
    if (dialogue && !dialogue(*copie))
        return std::nullopt;

    Transaction t(*m_connecteur);
    m_connecteur->Stocker(*copie);
    for (const auto& face : o.Faces) {
        auto faceCopie = face->ClonerEn<TVlCompoFace>();
        faceCopie->SetComposition(copie);
        m_connecteur->Stocker(*faceCopie);
        for (size_t i = 0; i < face->ElementsFace.size(); ++i) {
            TVlFeuille& feuille = *face->ElementsFace[i];
            feuille.SetOrdre(int(i));
            auto feuilleCopie = Caster<TVlFeuille>(feuille.Cloner()); // the binding is cloned with it
            feuilleCopie->SetComposition(copie);
            feuilleCopie->SetFace(faceCopie);
            m_connecteur->Stocker(*feuilleCopie);
        }
    }
    t.Valider();
    return Ouvrir(copie);
}

void TDmIDE::SupprimerComposition(const std::shared_ptr<TVlComposition>& composition)
{
    if (composition->EstFournie())
        throw Erreur(Tr("La composition « %1 » est fournie avec le programme : elle ne peut pas être supprimée.")
                         .arg(composition->NomCompo()));
    Transaction t(*m_connecteur);
    SupprimerContenu(*composition);
    m_connecteur->Supprimer(*composition);
    t.Valider();
}

std::shared_ptr<TVlFeuille> TDmIDE::NouvelleFeuille(const ClassePersistante& classe,
                                                    const std::shared_ptr<TVlComposition>& composition) const
{
    auto feuille = Caster<TVlFeuille>(classe.Creer());
    if (!feuille)
        throw Erreur(Tr("%1 n'est pas une classe d'élément imprimable.").arg(classe.Nom()));
    feuille->SetComposition(composition);
    feuille->AttacherControleurs();
    return feuille;
}

std::shared_ptr<TVlFeuille> TDmIDE::ClonerFeuille(const TVlFeuille& feuille) const
{
    auto copie = Caster<TVlFeuille>(feuille.Cloner());
    copie->AttacherConnecteur(m_connecteur);
    return copie;
}

std::shared_ptr<TVLFeuilleConnexion> TDmIDE::NouvelleLiaison(const std::shared_ptr<TVlConnexion>& connexion) const
{
    auto liaison = std::make_shared<TVLFeuilleConnexion>();
    liaison->SetConnexion(connexion);
    return liaison;
}

void TDmIDE::AjouterPieceLiaison(int type, const QString& valeur, TVLFeuilleConnexion& liaison) const
{
    auto piece = std::make_shared<TElemFeuilleConnexion>();
    piece->SetTypeElement(type);
    piece->SetValeur(valeur);
    liaison.AjouterElements(piece);
}

void TDmIDE::ChercherAjustement(const TVlMiseEnPage& miseEnPage, const QString& imprimante,
                                std::shared_ptr<TVlAjustement>& emplacement) const
{
    emplacement.reset();
    const auto trouves = m_connecteur->Selectionner<TVlAjustement>(
        kAjustement, {{QStringLiteral("id"), miseEnPage.Id()}, {QStringLiteral("imprimante"), imprimante}});
    if (!trouves.empty())
        emplacement = trouves.front();
}

void TDmIDE::ChargerAlias(TVlConnexion& connexion) const
{
    for (const auto& alias : m_connecteur->Selectionner<TVlFieldsAlias>(kAlias, Id(connexion)))
        connexion.Alias.push_back(alias);
}
