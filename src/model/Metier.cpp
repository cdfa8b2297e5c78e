#include "Metier.h"
#include <QCoreApplication>
#include <QFileInfo>

using vl::persistence::DefinitionClasse;
using vl::persistence::Registre;

namespace {

PoliceDefaut g_police;
std::function<void(TVlFeuille&)> g_observateur;
FournisseurControleursDesign* g_design = nullptr;
FournisseurControleursImpression* g_impression = nullptr;

template <class T> ClassePersistante::Fabrique Fabrique()
{
    return [] { return std::make_shared<T>(); };
}

} // namespace

PoliceDefaut PoliceParDefaut() { return g_police; }
void DefinirPoliceParDefaut(const PoliceDefaut& police) { g_police = police; }

void InstallerFournisseurDesign(FournisseurControleursDesign* f) { g_design = f; }
void InstallerFournisseurImpression(FournisseurControleursImpression* f) { g_impression = f; }
FournisseurControleursDesign* FournisseurDesign() { return g_design; }
FournisseurControleursImpression* FournisseurImpression() { return g_impression; }

// ---------------------------------------------------------------- descriptions

#define VL_DECRIRE(Classe_, Parent_, Fabrique_, Corps_)                                              \
    const ClassePersistante& Classe_::ClasseVl()                                                      \
    {                                                                                                 \
        static const ClassePersistante c(QStringLiteral(#Classe_), Parent_, Fabrique_,               \
                                         [](DefinitionClasse& d) { Q_UNUSED(d); Corps_ });           \
        return c;                                                                                     \
    }

VL_DECRIRE(TVlColonne, nullptr, Fabrique<TVlColonne>(), {
    iOrdre = d.Entier("Ordre");
    iNbEtiquettes = d.Entier("NbEtiquettes");
    iOffsetX = d.Reel("OffsetX");
    iOffsetY = d.Reel("OffsetY");
    iInversion = d.Booleen("Inversion");
})
TVlColonne::TVlColonne(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlPoint, nullptr, Fabrique<TVlPoint>(), {
    iOrdre = d.Entier("Ordre");
    iFigure = d.Entier("Figure");
    iTracer = d.Entier("Tracer");
    iX = d.Reel("X");
    iY = d.Reel("Y");
})
TVlPoint::TVlPoint(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlPaperSize, nullptr, Fabrique<TVlPaperSize>(), {
    iPapersize = d.Entier("Papersize");
    iLargeur = d.Reel("Largeur");
    iHauteur = d.Reel("Hauteur");
})
TVlPaperSize::TVlPaperSize(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlElement, nullptr, {}, {
    iNom = d.Chaine("Nom", 35);
    iGauche = d.Reel("Gauche");
    iHaut = d.Reel("Haut", "Haute");
    iLargeur = d.Reel("Largeur");
    iHauteur = d.Reel("Hauteur");
    iAngle = d.Entier("Angle", "Inclinaison");
    iOrdre = d.Entier("Ordre");
})
TVlElement::TVlElement(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlPageElement, &TVlElement::ClasseVl(), Fabrique<TVlPageElement>(), {})
TVlPageElement::TVlPageElement(const ClassePersistante& c) : TVlElement(c) {}

VL_DECRIRE(TVlMiseEnPage, nullptr, Fabrique<TVlMiseEnPage>(), {
    iNom = d.Chaine("Nom", 60);
    iDescription = d.Memo("Description");
    iIcone = d.Blob("Icone");
    iLargeur = d.Reel("Largeur");
    iHauteur = d.Reel("Hauteur");
    iMargeGauche = d.Reel("MargeGauche");
    iMargeHaute = d.Reel("MargeHaute");
    iIntervalleH = d.Reel("IntervalleH");
    iIntervalleV = d.Reel("IntervalleV");
    iColonnes = d.Parts("Colonnes", "TVlColonne");
    iPoints = d.Parts("Points", "TVlPoint");
    iTaillePapier = d.Part("TaillePapier", "TVlPaperSize");
    iOrientation = d.Chaine("Orientation", 10);
    iRectoVerso = d.Booleen("RectoVerso");
    iLeurrerImprimante = d.Booleen("LeurrerImprimante");
    iEspacePerdu = d.Entier("EspacePerdu");
    iElements = d.Parts("Elements", "TVlPageElement");
    iTypeImpression = d.Chaine("TypeImpression", 10);
    iSensImpression = d.Chaine("SensImpression", 7);
    iProprio = d.Entier("Proprio");
})
TVlMiseEnPage::TVlMiseEnPage(const ClassePersistante& c) : ObjetPersistant(c)
{
    Initialiser(iOrientation, QStringLiteral("portrait"));
}

int TVlMiseEnPage::EtiquettesParFeuille() const
{
    int n = 0;
    for (int k = 0; k < ColonnesCount(); ++k)
        n += Colonnes(k)->NbEtiquettes();
    return n;
}

VL_DECRIRE(TVlPackage, nullptr, Fabrique<TVlPackage>(), {
    iNom = d.Chaine("Nom", 52);
    iOrdre = d.Entier("Ordre");
    iHasIcones = d.Booleen("HasIcones");
})
TVlPackage::TVlPackage(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlContenuPackages, nullptr, Fabrique<TVlContenuPackages>(), {
    iPackage = d.Reference("Package", "TVlPackage");
    iFormat = d.Reference("Format", "TVlMiseEnPage");
    iOrdre = d.Entier("Ordre");
})
TVlContenuPackages::TVlContenuPackages(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlImageDef, nullptr, Fabrique<TVlImageDef>(), {
    iNomChamp = d.Chaine("NomChamp", 50);
    iTypeImage = d.Chaine("TypeImage", 50);
    iSpecificateur = d.Entier("Specificateur");
})
TVlImageDef::TVlImageDef(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlConnexion, nullptr, Fabrique<TVlConnexion>(), {
    iNomConnexion = d.Chaine("NomConnexion", 40);
    iNomStrategie = d.Chaine("NomStrategie", 50);
    iTypeConnexion = d.Entier("TypeConnexion");
    iSystem = d.Booleen("System");
    iHasAlias = d.Booleen("HasAlias");
    iCompteurImpressions = d.Chaine("CompteurImpressions", 20);
    iDescription = d.Memo("Description");
    iChampsImages = d.Parts("ChampsImages", "TVlImageDef");
})
TVlConnexion::TVlConnexion(const ClassePersistante& c) : ObjetPersistant(c) {}

QString TVlConnexion::AliasDuChamp(const QString& champ) const
{
    for (const auto& a : Alias)
        if (a->FieldName() == champ)
            return a->AliasName();
    return {};
}

QString TVlConnexion::ChampDeAlias(const QString& alias) const
{
    for (const auto& a : Alias)
        if (a->AliasName() == alias)
            return a->FieldName();
    return {};
}

std::shared_ptr<TVlImageDef> TVlConnexion::ImageDefDuChamp(const QString& champ) const
{
    for (int i = 0; i < ChampsImagesCount(); ++i)
        if (ChampsImages(i)->NomChamp() == champ)
            return ChampsImages(i);
    return nullptr;
}

VL_DECRIRE(TVlBDEConnexion, &TVlConnexion::ClasseVl(), Fabrique<TVlBDEConnexion>(), {
    iNomBd = d.Chaine("NomBd", 255);
    iNomTable = d.Chaine("NomTable", 255);
})
TVlBDEConnexion::TVlBDEConnexion(const ClassePersistante& c) : TVlConnexion(c) {}

VL_DECRIRE(TVlADOConnexion, &TVlConnexion::ClasseVl(), Fabrique<TVlADOConnexion>(), {
    iProvider = d.Chaine("Provider", 40);
    iNomBd = d.Chaine("NomBd", 255);
    iNomTable = d.Chaine("NomTable", 255);
    iMtps = d.Chaine("Mtps", 30);
})
TVlADOConnexion::TVlADOConnexion(const ClassePersistante& c) : TVlConnexion(c) {}

VL_DECRIRE(TVlFieldsAlias, nullptr, Fabrique<TVlFieldsAlias>(), {
    iConnexion = d.Reference("Connexion", "TVlConnexion");
    iFieldName = d.Chaine("FieldName", 40);
    iAliasName = d.Chaine("AliasName", 40);
})
TVlFieldsAlias::TVlFieldsAlias(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TElemFeuilleConnexion, nullptr, Fabrique<TElemFeuilleConnexion>(), {
    iTypeElement = d.Entier("TypeElement");
    iValeur = d.Chaine("Valeur", 50);
})
TElemFeuilleConnexion::TElemFeuilleConnexion(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVLFeuilleConnexion, nullptr, Fabrique<TVLFeuilleConnexion>(), {
    iConnexion = d.Reference("Connexion", "TVlConnexion");
    iTypeChamp = d.Entier("TypeChamp");
    iElements = d.Parts("Elements", "TElemFeuilleConnexion");
})
TVLFeuilleConnexion::TVLFeuilleConnexion(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlAjustement, nullptr, Fabrique<TVlAjustement>(), {
    iImprimante = d.Chaine("Imprimante", 30);
    iMiseEnPage = d.Reference("MiseEnPage", "TVlMiseEnPage");
    iGauche = d.Reel("Gauche");
    iHaut = d.Reel("Haut");
    iDefilementH = d.Reel("DefilementH");
    iDefilementV = d.Reel("DefilementV");
})
TVlAjustement::TVlAjustement(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlComposition, nullptr, Fabrique<TVlComposition>(), {
    iNomCompo = d.Chaine("NomCompo", 40);
    iDescriptionCompo = d.Memo("DescriptionCompo");
    iMiseEnPage = d.Reference("MiseEnPage", "TVlMiseEnPage");
    iConnexion = d.Reference("Connexion", "TVlConnexion");
    iPersistant = d.Booleen("Persistant");
    iProprio = d.Entier("Proprio");
    iModele = d.Reference("Modele", "TVlComposition");
})
TVlComposition::TVlComposition(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlCompoFace, nullptr, Fabrique<TVlCompoFace>(), {
    iComposition = d.Reference("Composition", "TVlComposition");
    iNom = d.Chaine("Nom", 12);
    iOrdre = d.Entier("Ordre");
})
TVlCompoFace::TVlCompoFace(const ClassePersistante& c) : ObjetPersistant(c) {}

VL_DECRIRE(TVlCompoElement, &TVlElement::ClasseVl(), Fabrique<TVlCompoElement>(), {
    iComposition = d.Reference("Composition", "TVlComposition");
    iFace = d.Reference("Face", "TVlCompoFace");
    iParent = d.Reference("Parent", "TVlCompoElement");
    iComposants = d.References("Composants", "TVlCompoElement");
    iIndexComposant = d.Entier("IndexComposant");
    iProprio = d.Entier("Proprio");
})
TVlCompoElement::TVlCompoElement(const ClassePersistante& c) : TVlElement(c) {}

VL_DECRIRE(TVlComposite, &TVlCompoElement::ClasseVl(), Fabrique<TVlComposite>(), {})
TVlComposite::TVlComposite(const ClassePersistante& c) : TVlCompoElement(c) {}

VL_DECRIRE(TVlFeuille, &TVlCompoElement::ClasseVl(), {}, {
    iAlignementHorizontal = d.Entier("AlignementHorizontal", "Alignement horizontal");
    iAlignementVertical = d.Entier("AlignementVertical", "Alignement vertical");
    iCouleurFond = d.Entier("CouleurFond", "Couleur du fond");
    iMargeGauche = d.Reel("MargeGauche", "Marge gauche");
    iMargeHaute = d.Reel("MargeHaute", "Marge haute");
    iMargeDroite = d.Reel("MargeDroite", "Marge droite");
    iMargeBasse = d.Reel("MargeBasse", "Marge basse");
    iConnexion = d.Part("Connexion", "TVLFeuilleConnexion");
})
TVlFeuille::TVlFeuille(const ClassePersistante& c) : TVlCompoElement(c)
{
    Initialiser(iAlignementHorizontal, 1);
    Initialiser(iAlignementVertical, 1);
    Initialiser(iCouleurFond, 0xFFFFFF);
    Initialiser(iAngle, 0);
}

void TVlFeuille::DefinirObservateurModification(std::function<void(TVlFeuille&)> observateur)
{
    g_observateur = std::move(observateur);
}

void TVlFeuille::AttributChange(const vl::persistence::Attribut&)
{
    if (g_observateur)
        g_observateur(*this);
}

void TVlFeuille::AttacherControleurs()
{
    ControleurDesign = g_design ? g_design->Controleur(Genre(), EstLiee()) : nullptr;
    ControleurImpression = g_impression ? g_impression->Imprimeur(Genre()) : nullptr;
}

VL_DECRIRE(TVlAlphaNum, &TVlFeuille::ClasseVl(), {}, {
    iPoliceNom = d.Chaine("PoliceNom", 40, "Nom");
    iPoliceTaille = d.Entier("PoliceTaille", "Taille");
    iPoliceCouleur = d.Entier("PoliceCouleur", "Couleur");
    iStyleGras = d.Booleen("StyleGras", "Gras");
    iStyleItalique = d.Booleen("StyleItalique", "Italique");
    iStyleUnderline = d.Booleen("StyleUnderline", "Underline");
    iStyleStrikeOut = d.Booleen("StyleStrikeOut", "Strikeout");
    iTransparent = d.Booleen("Transparent", "Transparence");
    iAjusterPolice = d.Booleen("AjusterPolice");
})
TVlAlphaNum::TVlAlphaNum(const ClassePersistante& c) : TVlFeuille(c)
{
    const PoliceDefaut police = PoliceParDefaut();
    Initialiser(iPoliceNom, police.nom);
    Initialiser(iPoliceTaille, police.taille);
    Initialiser(iPoliceCouleur, 0);
    Initialiser(iTransparent, true);
    TransparenceAutorisee = true;
}

static QString TexteParDefaut() { return QCoreApplication::translate("TVlAlphaNum", "Saisissez votre texte"); }

VL_DECRIRE(TVlTexte, &TVlAlphaNum::ClasseVl(), Fabrique<TVlTexte>(), { iValeur = d.Chaine("Valeur", 255, "Texte"); })
TVlTexte::TVlTexte(const ClassePersistante& c) : TVlAlphaNum(c) { Initialiser(iValeur, TexteParDefaut()); }

VL_DECRIRE(TVlMemo, &TVlAlphaNum::ClasseVl(), Fabrique<TVlMemo>(), { iValeur = d.Memo("Valeur", "Texte"); })
TVlMemo::TVlMemo(const ClassePersistante& c) : TVlAlphaNum(c) { Initialiser(iValeur, TexteParDefaut()); }

VL_DECRIRE(TVlCompteur, &TVlAlphaNum::ClasseVl(), Fabrique<TVlCompteur>(), { iValeur = d.Entier("Valeur"); })
TVlCompteur::TVlCompteur(const ClassePersistante& c) : TVlAlphaNum(c) { Initialiser(iValeur, 1); }

VL_DECRIRE(TVlImage, &TVlFeuille::ClasseVl(), Fabrique<TVlImage>(), {
    iurl = d.Chaine("url", 255);
    iHomothetie = d.Booleen("Homothetie");
    iTransparent = d.Booleen("Transparent");
})
TVlImage::TVlImage(const ClassePersistante& c) : TVlFeuille(c)
{
    Initialiser(iHomothetie, true);
    Initialiser(iTransparent, false);
    TransparenceAutorisee = false;
}

void TVlImage::Seturl(const QString& v)
{
    EcrireChaine(iurl, v);
    ReevaluerImage();
}

void TVlImage::ReevaluerImage()
{
    if (g_design && ControleurDesign)
        g_design->ReevaluerImage(*this);
    else if (!EstLiee())
        TransparenceAutorisee = FichierTransparent(url());
}

bool TVlImage::FichierTransparent(const QString& fichier)
{
    const QString ext = QFileInfo(fichier).suffix().toLower();
    return ext == QLatin1String("png") || ext == QLatin1String("gif") || ext == QLatin1String("bmp");
}

bool TVlImage::TypeImageTransparent(const QString& typeImage)
{
    const QString t = typeImage.toLower();
    return t == QLatin1String("png") || t == QLatin1String("gif");
}

void TVlImage::AttacherControleurs()
{
    TVlFeuille::AttacherControleurs();
    ReevaluerImage();
}

VL_DECRIRE(TVlCodeBarre, &TVlFeuille::ClasseVl(), Fabrique<TVlCodeBarre>(), {
    iTypeCodeBarre = d.Entier("TypeCodeBarre");
    iValeur = d.Chaine("Valeur", 20, "Code");
    iModule = d.Reel("Module");
    iDensite = d.Reel("Densite");
    iHauteurBarres = d.Reel("HauteurBarres");
    iWriteText = d.Booleen("WriteText");
    iratio = d.Reel("ratio");
})
TVlCodeBarre::TVlCodeBarre(const ClassePersistante& c) : TVlFeuille(c)
{
    Initialiser(iModule, 0.033);
    Initialiser(iDensite, 100.0);
    Initialiser(iHauteurBarres, 2.285);
    Initialiser(iAlignementHorizontal, 0);
    Initialiser(iAlignementVertical, 0);
    TransparenceAutorisee = false;
}

void EnregistrerClassesMetier()
{
    Registre& r = Registre::Global();
    for (const ClassePersistante* c : {
             &TVlComposition::ClasseVl(), &TVlCompoFace::ClasseVl(), &TVlPageElement::ClasseVl(),
             &TVlCompoElement::ClasseVl(), &TVlComposite::ClasseVl(), &TVlFeuille::ClasseVl(),
             &TVlAlphaNum::ClasseVl(), &TVlTexte::ClasseVl(), &TVlMemo::ClasseVl(), &TVlCompteur::ClasseVl(),
             &TVlImage::ClasseVl(), &TVlCodeBarre::ClasseVl(), &TVlMiseEnPage::ClasseVl(), &TVlColonne::ClasseVl(),
             &TVlPoint::ClasseVl(), &TVlPaperSize::ClasseVl(), &TVlPackage::ClasseVl(),
             &TVlContenuPackages::ClasseVl(), &TVlConnexion::ClasseVl(), &TVlBDEConnexion::ClasseVl(),
             &TVlADOConnexion::ClasseVl(), &TVLFeuilleConnexion::ClasseVl(), &TElemFeuilleConnexion::ClasseVl(),
             &TVlImageDef::ClasseVl(), &TVlFieldsAlias::ClasseVl(), &TVlAjustement::ClasseVl()})
        r.Enregistrer(*c);
}
