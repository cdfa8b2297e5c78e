#pragma once
// The store operations of the designer: creating, opening, saving, copying
// and deleting compositions, creating and cloning leaves and bindings, and the
// catalogue, calibration and alias look-ups. No window here: the save dialog
// is a callback the caller supplies.
#include "Metier.h"
#include "persistence/Connecteur.h"
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A composition as the designer holds it: its faces in tree order, each with
// its leaves in z-order (TVlCompoFace::ElementsFace).
struct TCompositionOuverte
{
    std::shared_ptr<TVlComposition> Composition;
    std::vector<std::shared_ptr<TVlCompoFace>> Faces;
    // The leaves of face i (0 = recto) in z-order; empty when there is none.
    std::vector<std::shared_ptr<TVlFeuille>> Feuilles(size_t i) const;
};

// The packages of the layout catalogue, in display order.
struct TPackages
{
    std::vector<std::shared_ptr<TVlPackage>> Liste;
    int Courant = 0;
};

// The "Enregistrer sous..." dialog: edits NomCompo and DescriptionCompo of
// the composition it is given; false when cancelled.
using TDialogueEnregistrer = std::function<bool(TVlComposition&)>;

class TDmIDE
{
public:
    explicit TDmIDE(std::shared_ptr<vl::persistence::Connecteur> connecteur);

    const std::shared_ptr<vl::persistence::Connecteur>& Connecteur() const { return m_connecteur; }

    // Catalogue.
    TPackages& Paquets() { return m_paquets; }
    std::vector<std::shared_ptr<TVlMiseEnPage>> FormatsDuPaquet(const TVlPackage& paquet) const;
    // Every composition, user and supplied alike, by name.
    std::vector<std::shared_ptr<TVlComposition>> Compositions() const;
    std::shared_ptr<TVlComposition> ChercherComposition(const QString& nom) const;

    // A new composition on a layout, with its Recto face and, for a
    // two-sided layout, its Verso face. Nothing is stored.
    TCompositionOuverte CreerComposition(const std::shared_ptr<TVlMiseEnPage>& miseEnPage) const;
    // Loads a stored composition with its faces and leaves; controllers attached.
    TCompositionOuverte Ouvrir(const std::shared_ptr<TVlComposition>& composition) const;

    // Saves; a composition never saved goes through EnregistrerPremiereFois.
    // Each save runs in one transaction: when any write fails, the version
    // stored before stays intact and the error reaches the caller. A supplied
    // composition is refused (it can only be saved under another name).
    // Returns whether the composition was saved.
    bool Enregistrer(TCompositionOuverte& ouverte, const TDialogueEnregistrer& dialogue = {});
    bool EnregistrerPremiereFois(TCompositionOuverte& ouverte, const TDialogueEnregistrer& dialogue = {});
    // Stores every face, then its leaves with Ordre renumbered from 0.
    void EnregistrerOrdre(TCompositionOuverte& ouverte);
    void StockerFeuille(TVlFeuille& feuille);
    // Deletes the stored faces and elements (with their bindings) of a composition.
    void SupprimerContenu(const TVlComposition& composition);
    // Stores a copy under the name the dialog gives and returns it opened;
    // nothing changes when the dialog is cancelled. The original keeps its
    // stored state.
    std::optional<TCompositionOuverte> EnregistrerSous(TCompositionOuverte& ouverte,
                                                       const TDialogueEnregistrer& dialogue = {});
    // Deletes a user composition with its faces, elements and bindings.
    void SupprimerComposition(const std::shared_ptr<TVlComposition>& composition);

    // Leaves and bindings.
    std::shared_ptr<TVlFeuille> NouvelleFeuille(const ClassePersistante& classe,
                                                const std::shared_ptr<TVlComposition>& composition) const;
    template <class T> std::shared_ptr<T> NouvelleFeuille(const std::shared_ptr<TVlComposition>& composition) const
    {
        return std::dynamic_pointer_cast<T>(NouvelleFeuille(T::ClasseVl(), composition));
    }
    std::shared_ptr<TVlFeuille> ClonerFeuille(const TVlFeuille& feuille) const;
    std::shared_ptr<TVLFeuilleConnexion> NouvelleLiaison(const std::shared_ptr<TVlConnexion>& connexion) const;
    void AjouterPieceLiaison(int type, const QString& valeur, TVLFeuilleConnexion& liaison) const;

    // Look-ups.
    void ChercherAjustement(const TVlMiseEnPage& miseEnPage, const QString& imprimante,
                            std::shared_ptr<TVlAjustement>& emplacement) const;
    void ChargerAlias(TVlConnexion& connexion) const;

    static QString NomNouvelleComposition();
    static QString NomRecto();
    static QString NomVerso();

private:
    std::shared_ptr<vl::persistence::Connecteur> m_connecteur;
    TPackages m_paquets;
};
