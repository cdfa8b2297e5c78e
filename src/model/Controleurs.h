#pragma once
// The model only knows that leaves have a designer controller and an element
// printer; the designer and the printing subsystem define those classes and
// install providers that hand them out.

class TElemControleur;      // designer's controller of one kind of leaf
class TElemPrintControleur; // element printer of one kind of leaf
class TVlImage;

enum class GenreFeuille { Texte, Memo, Compteur, Image, CodeBarre };

class FournisseurControleursDesign
{
public:
    virtual ~FournisseurControleursDesign() = default;
    // The static or the bound variant of the controller of a kind.
    virtual TElemControleur* Controleur(GenreFeuille genre, bool lie) = 0;
    // A picture's file or binding changed: recompute what depends on it.
    virtual void ReevaluerImage(TVlImage& image) = 0;
};

class FournisseurControleursImpression
{
public:
    virtual ~FournisseurControleursImpression() = default;
    virtual TElemPrintControleur* Imprimeur(GenreFeuille genre) = 0;
};

// Providers are program-wide; nullptr uninstalls. The caller keeps ownership.
void InstallerFournisseurDesign(FournisseurControleursDesign* fournisseur);
void InstallerFournisseurImpression(FournisseurControleursImpression* fournisseur);
FournisseurControleursDesign* FournisseurDesign();
FournisseurControleursImpression* FournisseurImpression();
