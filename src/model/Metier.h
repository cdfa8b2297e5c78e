#pragma once
// The persistent business classes: compositions, faces, elements, sheet
// layouts and their catalogue, connections, bindings, calibrations, aliases.
// They carry data and defaults; behaviour lives in the subsystems using them.
#include "Controleurs.h"
#include "persistence/ObjetPersistant.h"
#include <functional>
#include <memory>
#include <vector>

class TCodeBarreStrategie;

using vl::persistence::ClassePersistante;
using vl::persistence::ObjetPersistant;

#define VL_CLASSE(Classe_)                                              \
public:                                                                 \
    static const vl::persistence::ClassePersistante& ClasseVl();        \
                                                                        \
protected:                                                              \
    explicit Classe_(const vl::persistence::ClassePersistante& classe); \
                                                                        \
public:

// Registers the 26 stored classes by name (idempotent).
void EnregistrerClassesMetier();

// The application's default font for new text-like leaves ("Arial" 8 unless
// the user chose another).
struct PoliceDefaut
{
    QString nom = QStringLiteral("Arial");
    int taille = 8;
};
PoliceDefaut PoliceParDefaut();
void DefinirPoliceParDefaut(const PoliceDefaut& police);

class TVlMiseEnPage;
class TVlConnexion;
class TVlCompoFace;
class TVLFeuilleConnexion;
class TVlFieldsAlias;

// ---------------------------------------------------------------- sheet layouts

class TVlColonne : public ObjetPersistant
{
    VL_CLASSE(TVlColonne)
    TVlColonne() : TVlColonne(ClasseVl()) {}
    VL_ENTIER(Ordre)
    VL_ENTIER(NbEtiquettes)
    VL_REEL(OffsetX)
    VL_REEL(OffsetY)
    VL_BOOLEEN(Inversion)
};

class TVlPoint : public ObjetPersistant
{
    VL_CLASSE(TVlPoint)
    TVlPoint() : TVlPoint(ClasseVl()) {}
    VL_ENTIER(Ordre)
    VL_ENTIER(Figure)
    VL_ENTIER(Tracer)
    VL_REEL(X)
    VL_REEL(Y)
};

class TVlPaperSize : public ObjetPersistant
{
    VL_CLASSE(TVlPaperSize)
    TVlPaperSize() : TVlPaperSize(ClasseVl()) {}
    VL_ENTIER(Papersize)
    VL_REEL(Largeur)
    VL_REEL(Hauteur)
};

// A positioned rectangle; never stored as such.
class TVlElement : public ObjetPersistant
{
    VL_CLASSE(TVlElement)
    VL_CHAINE(Nom)
    VL_REEL(Gauche)
    VL_REEL(Haut)
    VL_REEL(Largeur)
    VL_REEL(Hauteur)
    VL_ENTIER(Angle)
    VL_ENTIER(Ordre)
};

class TVlPageElement : public TVlElement
{
    VL_CLASSE(TVlPageElement)
    TVlPageElement() : TVlPageElement(ClasseVl()) {}
};

class TVlMiseEnPage : public ObjetPersistant
{
    VL_CLASSE(TVlMiseEnPage)
    TVlMiseEnPage() : TVlMiseEnPage(ClasseVl()) {}
    VL_CHAINE(Nom)
    VL_MEMO(Description)
    VL_BLOB(Icone)
    VL_REEL(Largeur)
    VL_REEL(Hauteur)
    VL_REEL(MargeGauche)
    VL_REEL(MargeHaute)
    VL_REEL(IntervalleH)
    VL_REEL(IntervalleV)
    VL_PARTS(Colonnes, TVlColonne)
    VL_PARTS(Points, TVlPoint)
    VL_PART(TaillePapier, TVlPaperSize)
    VL_CHAINE(Orientation)
    VL_BOOLEEN(RectoVerso)
    VL_BOOLEEN(LeurrerImprimante)
    VL_ENTIER(EspacePerdu)
    VL_PARTS(Elements, TVlPageElement)
    VL_CHAINE(TypeImpression)
    VL_CHAINE(SensImpression)
    VL_ENTIER(Proprio)

    // Printed in portrait exactly when Orientation is "portrait".
    bool EstPortrait() const { return Orientation() == QLatin1String("portrait"); }
    int EtiquettesParFeuille() const;
};

class TVlPackage : public ObjetPersistant
{
    VL_CLASSE(TVlPackage)
    TVlPackage() : TVlPackage(ClasseVl()) {}
    VL_CHAINE(Nom)
    VL_ENTIER(Ordre)
    VL_BOOLEEN(HasIcones)
};

class TVlContenuPackages : public ObjetPersistant
{
    VL_CLASSE(TVlContenuPackages)
    TVlContenuPackages() : TVlContenuPackages(ClasseVl()) {}
    VL_REFERENCE(Package, TVlPackage)
    VL_REFERENCE(Format, TVlMiseEnPage)
    VL_ENTIER(Ordre)
};

// ---------------------------------------------------------------- connections

class TVlImageDef : public ObjetPersistant
{
    VL_CLASSE(TVlImageDef)
    TVlImageDef() : TVlImageDef(ClasseVl()) {}
    VL_CHAINE(NomChamp)
    VL_CHAINE(TypeImage)
    VL_ENTIER(Specificateur)
};

class TVlConnexion : public ObjetPersistant
{
    VL_CLASSE(TVlConnexion)
    TVlConnexion() : TVlConnexion(ClasseVl()) {}
    VL_CHAINE(NomConnexion)
    VL_CHAINE(NomStrategie)
    VL_ENTIER(TypeConnexion)
    VL_BOOLEEN(System)
    VL_BOOLEEN(HasAlias)
    VL_CHAINE(CompteurImpressions)
    VL_MEMO(Description)
    VL_PARTS(ChampsImages, TVlImageDef)

    // Transient: the field aliases, filled on demand by the store and
    // released with the connection (or by LibererAlias).
    std::vector<std::shared_ptr<TVlFieldsAlias>> Alias;
    void LibererAlias() { Alias.clear(); }
    // Linear scans in list order, exact case-sensitive comparison; empty when
    // nothing matches.
    QString AliasDuChamp(const QString& champ) const;
    QString ChampDeAlias(const QString& alias) const;
    // The image definition of a field, or nullptr.
    std::shared_ptr<TVlImageDef> ImageDefDuChamp(const QString& champ) const;
};

class TVlBDEConnexion : public TVlConnexion
{
    VL_CLASSE(TVlBDEConnexion)
    TVlBDEConnexion() : TVlBDEConnexion(ClasseVl()) {}
    VL_CHAINE(NomBd)
    VL_CHAINE(NomTable)
};

class TVlADOConnexion : public TVlConnexion
{
    VL_CLASSE(TVlADOConnexion)
    TVlADOConnexion() : TVlADOConnexion(ClasseVl()) {}
    VL_CHAINE(Provider)
    VL_CHAINE(NomBd)
    VL_CHAINE(NomTable)
    VL_CHAINE(Mtps)
};

class TVlFieldsAlias : public ObjetPersistant
{
    VL_CLASSE(TVlFieldsAlias)
    TVlFieldsAlias() : TVlFieldsAlias(ClasseVl()) {}
    VL_REFERENCE(Connexion, TVlConnexion)
    VL_CHAINE(FieldName)
    VL_CHAINE(AliasName)
};

class TElemFeuilleConnexion : public ObjetPersistant
{
    VL_CLASSE(TElemFeuilleConnexion)
    TElemFeuilleConnexion() : TElemFeuilleConnexion(ClasseVl()) {}
    VL_ENTIER(TypeElement)   // 1: Valeur names a field; otherwise literal text
    VL_CHAINE(Valeur)
    bool EstChamp() const { return TypeElement() == 1; }
};

class TVLFeuilleConnexion : public ObjetPersistant
{
    VL_CLASSE(TVLFeuilleConnexion)
    TVLFeuilleConnexion() : TVLFeuilleConnexion(ClasseVl()) {}
    VL_REFERENCE(Connexion, TVlConnexion)
    VL_ENTIER(TypeChamp)
    VL_PARTS(Elements, TElemFeuilleConnexion)
};

class TVlAjustement : public ObjetPersistant
{
    VL_CLASSE(TVlAjustement)
    TVlAjustement() : TVlAjustement(ClasseVl()) {}
    VL_CHAINE(Imprimante)
    VL_REFERENCE(MiseEnPage, TVlMiseEnPage)
    VL_REEL(Gauche)
    VL_REEL(Haut)
    VL_REEL(DefilementH)
    VL_REEL(DefilementV)
};

// ---------------------------------------------------------------- compositions

class TVlFeuille;

class TVlComposition : public ObjetPersistant
{
    VL_CLASSE(TVlComposition)
    TVlComposition() : TVlComposition(ClasseVl()) {}
    VL_CHAINE(NomCompo)
    VL_MEMO(DescriptionCompo)
    VL_REFERENCE(MiseEnPage, TVlMiseEnPage)
    VL_REFERENCE(Connexion, TVlConnexion)
    VL_BOOLEEN(Persistant)
    VL_ENTIER(Proprio)
    VL_REFERENCE(Modele, TVlComposition)

    bool EstFournie() const { return Proprio() != 0; }
    // Transient: the layout's RectoVerso when the composition was created.
    bool RectoVersoInitial = false;
};

class TVlCompoFace : public ObjetPersistant
{
    VL_CLASSE(TVlCompoFace)
    TVlCompoFace() : TVlCompoFace(ClasseVl()) {}
    VL_REFERENCE(Composition, TVlComposition)
    VL_CHAINE(Nom)
    VL_ENTIER(Ordre)

    // Transient: the face's leaves in z-order (later ones drawn over earlier).
    std::vector<std::shared_ptr<TVlFeuille>> ElementsFace;
};

class TVlCompoElement : public TVlElement
{
    VL_CLASSE(TVlCompoElement)
    TVlCompoElement() : TVlCompoElement(ClasseVl()) {}
    VL_REFERENCE(Composition, TVlComposition)
    VL_REFERENCE(Face, TVlCompoFace)
    VL_REFERENCE(Parent, TVlCompoElement)
    VL_REFERENCES(Composants, TVlCompoElement)
    VL_ENTIER(IndexComposant)
    VL_ENTIER(Proprio)
};

// Registered, never created: compositions are flat.
class TVlComposite : public TVlCompoElement
{
    VL_CLASSE(TVlComposite)
    TVlComposite() : TVlComposite(ClasseVl()) {}
};

// A printable item.
class TVlFeuille : public TVlCompoElement
{
    VL_CLASSE(TVlFeuille)
    VL_ENTIER(AlignementHorizontal)
    VL_ENTIER(AlignementVertical)
    VL_ENTIER(CouleurFond)
    VL_REEL(MargeGauche)
    VL_REEL(MargeHaute)
    VL_REEL(MargeDroite)
    VL_REEL(MargeBasse)
    VL_PART(Connexion, TVLFeuilleConnexion)

    bool EstLiee() const { return Connexion() != nullptr; }
    virtual GenreFeuille Genre() const = 0;
    // Sets ControleurDesign (bound or static variant) and ControleurImpression
    // from the installed providers.
    virtual void AttacherControleurs();

    // Any change of any attribute of a leaf tells this observer (the designer
    // marks the open composition modified).
    static void DefinirObservateurModification(std::function<void(TVlFeuille&)> observateur);
    void AttributChange(const vl::persistence::Attribut& a) override;

    // Transient links.
    TElemControleur* ControleurDesign = nullptr;
    TElemPrintControleur* ControleurImpression = nullptr;
    bool TransparenceAutorisee = true;
};

class TVlAlphaNum : public TVlFeuille
{
    VL_CLASSE(TVlAlphaNum)
    VL_CHAINE(PoliceNom)
    VL_ENTIER(PoliceTaille)
    VL_ENTIER(PoliceCouleur)
    VL_BOOLEEN(StyleGras)
    VL_BOOLEEN(StyleItalique)
    VL_BOOLEEN(StyleUnderline)
    VL_BOOLEEN(StyleStrikeOut)
    VL_BOOLEEN(Transparent)
    VL_BOOLEEN(AjusterPolice)
};

class TVlTexte : public TVlAlphaNum
{
    VL_CLASSE(TVlTexte)
    TVlTexte() : TVlTexte(ClasseVl()) {}
    VL_CHAINE(Valeur)
    GenreFeuille Genre() const override { return GenreFeuille::Texte; }
};

class TVlMemo : public TVlAlphaNum
{
    VL_CLASSE(TVlMemo)
    TVlMemo() : TVlMemo(ClasseVl()) {}
    VL_MEMO(Valeur)
    GenreFeuille Genre() const override { return GenreFeuille::Memo; }
};

class TVlCompteur : public TVlAlphaNum
{
    VL_CLASSE(TVlCompteur)
    TVlCompteur() : TVlCompteur(ClasseVl()) {}
    VL_ENTIER(Valeur)
    GenreFeuille Genre() const override { return GenreFeuille::Compteur; }
};

class TVlImage : public TVlFeuille
{
    VL_CLASSE(TVlImage)
    TVlImage() : TVlImage(ClasseVl()) {}
    VL_INDEX(url)
    QString url() const { return LireChaine(iurl); }
    // Re-evaluates the picture (and so TransparenceAutorisee).
    void Seturl(const QString& v);
    VL_BOOLEEN(Homothetie)
    VL_INDEX(Transparent)
    bool Transparent() const { return LireBooleen(iTransparent); }
    // Stored as false while transparency is not allowed for the picture.
    void SetTransparent(bool v) { EcrireBooleen(iTransparent, v && TransparenceAutorisee); }
    GenreFeuille Genre() const override { return GenreFeuille::Image; }
    void AttacherControleurs() override;

    // Asks the designer to re-evaluate the picture; without a designer the
    // rule for a picture file is applied directly.
    void ReevaluerImage();
    // A file of these kinds may print see-through: ".png", ".gif", ".bmp".
    static bool FichierTransparent(const QString& fichier);
    // A bound picture of these kinds may print see-through: "png", "gif".
    static bool TypeImageTransparent(const QString& typeImage);
};

class TVlCodeBarre : public TVlFeuille
{
    VL_CLASSE(TVlCodeBarre)
    TVlCodeBarre() : TVlCodeBarre(ClasseVl()) {}
    VL_ENTIER(TypeCodeBarre)
    VL_CHAINE(Valeur)
    VL_REEL(Module)
    VL_REEL(Densite)
    VL_REEL(HauteurBarres)
    VL_BOOLEEN(WriteText)
    VL_REEL(ratio)
    GenreFeuille Genre() const override { return GenreFeuille::CodeBarre; }
    // The printed narrow bar width, cm.
    double ModuleImprime() const { return Module() * Densite() / 100.0; }

    // Transient: the screen symbology matching TypeCodeBarre.
    TCodeBarreStrategie* Symbologie = nullptr;
};
