#include "printing/PrintControleur.h"
#include "printing/ElemPrintControleur.h"
#include "printing/CodeBarrePrintControleur.h"
#include "printing/ImagePrintControleur.h"
#include "printing/ImprimeursTexte.h"
#include "report/ErreurRapport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrinterInfo>

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("TPrintControleur", t); }

void AppliquerPapier(const TVlMiseEnPage& mep, vl::Canevas& rapport)
{
    if (const auto papier = mep.TaillePapier()) {
        if (papier->Papersize() != 0)
            rapport.SetPapier(papier->Papersize());
        else if (papier->Largeur() != 0)
            rapport.SetPapierPersonnalise(papier->Largeur(), papier->Hauteur());
    }
    rapport.SetOrientation(mep.EstPortrait() ? vl::poPortrait : vl::poLandScape);
    rapport.ActualiserMarges();
}

} // namespace

// Hands the leaves their printer when the model attaches controllers.
class TPrintControleur::Fournisseur : public FournisseurControleursImpression
{
public:
    explicit Fournisseur(TPrintControleur& c) : m_c(c) {}
    TElemPrintControleur* Imprimeur(GenreFeuille genre) override { return m_c.Imprimeur(genre); }

private:
    TPrintControleur& m_c;
};

// ---------------------------------------------------------------- strategies

void TPrintStrategie::ImprimerFeuille()
{
    const TDecalages d = (Controleur.Mode == ModeImprimante || Controleur.Mode == ModeFichier)
                             ? TDecalages::De(Controleur.Ajustement.get())
                             : TDecalages{};
    AjustGauche = d.aG;
    AjustHaut = d.aH;
    AjustDefilementV = d.aDV;
    AjustDefilementH = d.aDH;
}

std::vector<TEmplacement> TPrintStrategie::Slots(TFace face) const
{
    return Emplacements(*Controleur.MiseEnPage(), face, Decalages(), Controleur.ModeSortie(), Rapport->LargeurPage());
}

void TPrintStrategie::Placer(const TEmplacement& e)
{
    Angle = e.Angle;
    Colonne = e.Colonne;
    Rang = e.Rang + 1;
    Sens = e.Angle == 0 ? 1 : 0;
    X = e.X;
    Y = e.Y;
    if (e.Rang == 0)
        YColonne = e.Y;
}

void TPrintStrategieStatique::Remplir(TFace face)
{
    auto& c = Controleur;
    const bool verso = face == TFace::Verso;
    c.EtiquettesFace = verso ? c.EtiquettesVerso : c.EtiquettesRecto;
    for (const TEmplacement& e : Slots(face)) {
        if (c.EtiquettesImprimees >= c.EtiquettesAImprimer)
            break;
        Placer(e);
        c.ImprimerEtiquette(e.Angle, verso, *Rapport, e.Y, e.X);
    }
}

void TPrintStrategieStatique::ImprimerRecto() { Remplir(TFace::Recto); }
void TPrintStrategieStatique::ImprimerVerso() { Remplir(TFace::Verso); }

void TPrintStrategieStatique::ImprimerFeuille()
{
    TPrintStrategie::ImprimerFeuille();
    auto& c = Controleur;
    // A file holds every label: it goes on to further pages, where a printer
    // run starts one job per sheet.
    for (;;) {
        if (c.EtiquettesImprimees >= c.EtiquettesAImprimer)
            break;
        const int avant = c.EtiquettesImprimees;
        if (Rapport->Duplex()) {
            const int imprimees = c.EtiquettesImprimees;
            ImprimerRecto();
            Rapport->NouvellePage();
            c.EtiquettesImprimees = imprimees;
            ImprimerVerso();
        } else if (c.FaceSelectionnee() != 0) {
            ImprimerVerso();
        } else {
            ImprimerRecto();
        }
        if (c.Mode != ModeFichier || c.EtiquettesImprimees >= c.EtiquettesAImprimer ||
            c.EtiquettesImprimees == avant || Rapport->Abandonne())
            break;
        c.SignalerFeuille();
        Rapport->NouvellePage();
    }
    if (c.Mode != ModeFichier && c.EtiquettesImprimees >= c.EtiquettesAImprimer)
        c.Termine = true;
}

void TPrintStrategieBD::Remplir(TFace face)
{
    auto& c = Controleur;
    auto& source = *c.Source();
    const bool verso = face == TFace::Verso;
    if (c.NumeroPage >= 2 && c.Mode != ModeImprimante)
        c.PagePendante = true;
    else if (verso && Rapport->Duplex())
        c.PagePendante = true;
    c.EtiquettesFace = verso ? c.EtiquettesVerso : c.EtiquettesRecto;

    const auto places = Slots(face);
    size_t debut = 0;
    while (debut < places.size()) {
        size_t fin = debut;
        while (fin < places.size() && places[fin].Colonne == places[debut].Colonne)
            ++fin;
        const int nb = int(fin - debut);
        Colonne = places[debut].Colonne;
        YColonne = places[debut].Y;
        Rang = 1;
        while (Rang <= nb && !source.Fin() && !Rapport->Abandonne()) {
            if (!c.EnregistrementEnCours) {
                c.NbCopies = c.NombreCopies();
                c.CopieCourante = 0;
                if (c.NbCopies > 0 && c.PagePendante) {
                    c.SignalerFeuille();
                    Rapport->NouvellePage();
                    c.PagePendante = false;
                }
            } else if (c.PagePendante) {
                c.SignalerFeuille();
                Rapport->NouvellePage();
                c.PagePendante = false;
            }
            while (c.CopieCourante < c.NbCopies && Rang <= nb) {
                const TEmplacement& e = places[debut + size_t(Rang - 1)];
                Placer(e);
                c.ImprimerEtiquette(e.Angle, verso, *Rapport, e.Y, e.X);
                Rang = e.Rang + 2;
                ++c.CopieCourante;
            }
            c.EnregistrementEnCours = c.CopieCourante < c.NbCopies;
            if (!c.EnregistrementEnCours)
                source.Suivant();
        }
        debut = fin;
    }
}

void TPrintStrategieBD::ImprimerRecto() { Remplir(TFace::Recto); }
void TPrintStrategieBD::ImprimerVerso() { Remplir(TFace::Verso); }

void TPrintStrategieBD::ImprimerFeuille()
{
    TPrintStrategie::ImprimerFeuille();
    auto& c = Controleur;
    auto& source = *c.Source();
    while (!source.Fin() && !Rapport->Abandonne()) {
        const int avant = c.EtiquettesImprimees;
        if (Rapport->Duplex()) {
            const auto signet = source.Signet();
            const int copie = c.CopieCourante, nb = c.NbCopies, imprimees = c.EtiquettesImprimees;
            const bool enCours = c.EnregistrementEnCours;
            ImprimerRecto();
            source.AllerAuSignet(signet);
            source.LibererSignet(signet);
            c.CopieCourante = copie;
            c.NbCopies = nb;
            c.EtiquettesImprimees = imprimees;
            c.EnregistrementEnCours = enCours;
            ImprimerVerso();
        } else if (c.FaceSelectionnee() != 0) {
            ImprimerVerso();
        } else {
            ImprimerRecto();
        }
        const bool rien = c.EtiquettesImprimees == avant;
        if (c.Mode == ModeApercu) {
            if (source.Fin() || c.NumeroPage >= 2 || rien)
                break;
            ++c.NumeroPage;
            continue;
        }
        if (c.Mode == ModeImprimante) {
            if (!c.EnregistrementEnCours)
                while (!source.Fin() && c.NombreCopies() == 0)
                    source.Suivant();
            break;
        }
        // File: the next sheet starts with its first label really printed,
        // so that records without copies at the end leave no blank page.
        if (source.Fin() || rien)
            break;
        c.PagePendante = true;
    }
    if (c.Mode == ModeImprimante && source.Fin())
        c.Termine = true;
}

// ---------------------------------------------------------------- controller

TPrintControleur::TPrintControleur(TDmIDE& ide, vl::SystemeRapport& systeme, TAlphanumStrategie* miseEnLignes)
    : Systeme(systeme), m_ide(ide)
{
    if (!miseEnLignes) {
        m_miseEnLignesPropre = std::make_unique<TAlphanumStrategie>();
        miseEnLignes = m_miseEnLignesPropre.get();
    }
    Imprimante = Systeme.NomImprimante();
    m_mesureur = Systeme.CreerMesureur();
    m_imprimeurs[GenreFeuille::Texte] = std::make_unique<TTextePrintControleur>(*this, *miseEnLignes);
    m_imprimeurs[GenreFeuille::Memo] = std::make_unique<TMemoPrintControleur>(*this, *miseEnLignes);
    m_imprimeurs[GenreFeuille::Compteur] = std::make_unique<TCptPrintControleur>(*this, *miseEnLignes);
    m_imprimeurs[GenreFeuille::Image] = std::make_unique<TImagePrintControleur>(*this);
    m_imprimeurs[GenreFeuille::CodeBarre] = std::make_unique<TCodeBarrePrintControleur>(*this);
    m_statique = std::make_unique<TPrintStrategieStatique>(*this);
    m_bd = std::make_unique<TPrintStrategieBD>(*this);
    m_fournisseur = std::make_unique<Fournisseur>(*this);
    InstallerFournisseurImpression(m_fournisseur.get());
}

TPrintControleur::~TPrintControleur()
{
    if (FournisseurImpression() == m_fournisseur.get())
        InstallerFournisseurImpression(nullptr);
}

TElemPrintControleur* TPrintControleur::Imprimeur(GenreFeuille genre) const
{
    const auto it = m_imprimeurs.find(genre);
    return it == m_imprimeurs.end() ? nullptr : it->second.get();
}

void TPrintControleur::SetImprimeur(GenreFeuille genre, std::unique_ptr<TElemPrintControleur> imprimeur)
{
    // Leaves still pointing at the one replaced get the new one at the next run.
    for (auto* liste : {&EtiquettesRecto, &EtiquettesVerso})
        for (const auto& f : *liste)
            if (f->Genre() == genre)
                f->ControleurImpression = imprimeur.get();
    m_imprimeurs[genre] = std::move(imprimeur);
}

void TPrintControleur::SetComposition(const TCompositionOuverte* composition)
{
    m_composition = composition;
    // The layout of an open composition does not change; reading the
    // reference again for every label would go to the store each time.
    m_miseEnPage = m_composition && m_composition->Composition ? m_composition->Composition->MiseEnPage() : nullptr;
    m_faceSelectionnee = 0;
    EtiquettesRecto.clear();
    EtiquettesVerso.clear();
    EtiquettesFace.clear();
}

std::shared_ptr<TVlMiseEnPage> TPrintControleur::MiseEnPage() const { return m_miseEnPage; }

bool TPrintControleur::RectoVerso() const
{
    const auto mep = MiseEnPage();
    return mep && mep->RectoVerso();
}

TModeSortie TPrintControleur::ModeSortie() const
{
    switch (Mode) {
    case ModeImprimante: return TModeSortie::Imprimante;
    case ModeFichier: return TModeSortie::Fichier;
    default: return TModeSortie::Apercu;
    }
}

void TPrintControleur::Verifier() const
{
    if (!m_composition || !m_composition->Composition)
        throw vl::ErreurRapport(Tr("Aucune composition n'est ouverte"));
    if (!MiseEnPage())
        throw vl::ErreurRapport(Tr("La composition %1 n'a pas de mise en page")
                                    .arg(m_composition->Composition->NomCompo()));
}

void TPrintControleur::CompterEtiquettes(const TVlMiseEnPage& miseEnPage)
{
    EtiquettesAImprimer = miseEnPage.EtiquettesParFeuille();
}

void TPrintControleur::Commencer(TModeImpression mode)
{
    Verifier();
    NumeroPage = 0;
    EtiquettesRecto = m_composition->Feuilles(0);
    EtiquettesVerso.clear();
    if (RectoVerso())
        EtiquettesVerso = m_composition->Feuilles(1);
    m_liees.clear();
    for (auto* liste : {&EtiquettesRecto, &EtiquettesVerso})
        for (const auto& f : *liste) {
            if (!f->ControleurImpression)
                f->ControleurImpression = Imprimeur(f->Genre());
            if (f->EstLiee())
                m_liees.insert(f.get());
        }
    Mode = mode;
    EnregistrementEnCours = false;
    EtiquettesImprimees = 0;
    CopieCourante = 0;
    NbCopies = 0;
    PagePendante = false;
    m_annule = false;
    m_feuilles = 0;
    if (mode != ModeApercu)
        Termine = false;
    m_cacheImages.clear();
    if (m_source)
        m_source->Premier();
    else
        CompterEtiquettes(*MiseEnPage());
}

void TPrintControleur::SignalerFeuille()
{
    ++m_feuilles;
    if (m_progression)
        m_progression(m_feuilles);
}

QString TPrintControleur::NomFichierSortie(const QString& saisi)
{
    QString nom = saisi.trimmed();
    if (!nom.isEmpty() && !nom.contains(QLatin1Char('.')))
        nom += QStringLiteral(".pdf");
    return nom;
}

namespace {
// Restores the run's own settings of the report system whatever happens.
struct Nettoyage
{
    TStatutImpression* statut;
    ~Nettoyage()
    {
        if (statut)
            statut->Fermer();
    }
};
} // namespace

bool TPrintControleur::Imprimer(const TOptionsImpression& options)
{
    Commencer(ModeImprimante);
    Nettoyage nettoyage{m_statut};
    Systeme.SetAvantImpression([this](vl::Canevas& r) { PreparerPapier(r); });
    Systeme.SetImpression([this](vl::Canevas& r) { ImprimerPage(r); });
    Systeme.SetDefaultDest(vl::rdPrinter);
    Systeme.AjouterReglage(vl::ssAllowSetup);
    Systeme.AjouterReglage(vl::ssAllowDestPrinter);
    Systeme.RetirerReglage(vl::ssAllowDestPreview);
    Systeme.SetReglage([this, &options](vl::SystemeRapport& s) {
        if (options.Annule)
            return false;
        if (!options.Imprimante.isEmpty() && options.Imprimante != s.NomImprimante()) {
            if (QPrinterInfo::printerInfo(options.Imprimante).isNull())
                throw vl::ErreurRapport(Tr("L'imprimante %1 n'est pas installée").arg(options.Imprimante));
            s.Imprimante().imprimante = options.Imprimante;
            SetImprimante(options.Imprimante);
            ActualiserImprimante();
        }
        if (options.Copies > 0 && (s.SystemSetups() & vl::ssAllowCopies))
            s.Imprimante().copies = options.Copies;
        if (!options.Duplex || !RectoVerso())
            s.Imprimante().duplex = vl::dupSimplex;
        else if (s.Imprimante().duplex == vl::dupSimplex)
            s.Imprimante().duplex = MiseEnPage()->EstPortrait() ? vl::dupVertical : vl::dupHorizontal;
        if (!ConnexionActive() && options.Etiquettes >= 0)
            EtiquettesAImprimer = options.Etiquettes;
        return true;
    });
    if (!vl::SystemeRapport::ImprimanteInstallee())
        throw vl::ErreurRapport(Tr("Aucune imprimante n'est installée"));

    bool ok = Systeme.Executer();
    Systeme.RetirerReglage(vl::ssAllowSetup);
    int avant = -1;
    while (ok && !Termine && !m_annule) {
        // A job that printed nothing (no label asked, a layout without a
        // slot) would repeat for ever.
        if (EtiquettesImprimees == avant || (!ConnexionActive() && EtiquettesAImprimer == 0))
            break;
        avant = EtiquettesImprimees;
        ok = Systeme.Executer();
    }
    return ok && !m_annule;
}

bool TPrintControleur::Previsualiser()
{
    Commencer(ModeApercu);
    Systeme.SetAvantImpression([this](vl::Canevas& r) { PreparerPapier(r); });
    Systeme.SetImpression([this](vl::Canevas& r) { ImprimerPage(r); });
    Systeme.SetDefaultDest(vl::rdPreview);
    Systeme.RetirerReglage(vl::ssAllowSetup);
    Systeme.RetirerReglage(vl::ssAllowDestPrinter);
    Systeme.AjouterReglage(vl::ssAllowDestPreview);
    return Systeme.Executer();
}

bool TPrintControleur::ImprimerFichier(const TOptionsImpression& options)
{
    Commencer(ModeFichier);
    if (!ConnexionActive() && options.Etiquettes >= 0)
        EtiquettesAImprimer = options.Etiquettes;
    Systeme.SetAvantImpression([this](vl::Canevas& r) { PreparerPapier(r); });
    Systeme.SetImpression([this](vl::Canevas& r) { ImprimerPage(r); });
    Systeme.SetDefaultDest(vl::rdFile);
    Systeme.RetirerReglage(vl::ssAllowSetup);
    Systeme.RetirerReglage(vl::ssAllowDestPreview);
    Systeme.RetirerReglage(vl::ssAllowDestPrinter);
    Systeme.AjouterReglage(vl::ssAllowDestFile);
    const QString fichier = NomFichierSortie(options.Fichier);
    if (options.Annule || fichier.isEmpty())
        return false;
    Systeme.SetFichierSortie(fichier);
    return Systeme.Executer();
}

void TPrintControleur::PreparerPapier(vl::Canevas& rapport)
{
    AppliquerPapier(*MiseEnPage(), rapport);
    Systeme.SetAvantImpression(nullptr);
}

void TPrintControleur::ImprimerPage(vl::Canevas& rapport)
{
    if (Mode == ModeImprimante && !rapport.Abandonne() && m_statut)
        m_statut->Afficher();
    ResolutionX = rapport.XDPI();
    ResolutionY = rapport.YDPI();
    ++NumeroPage;
    PagePendante = false;
    if (Mode == ModeImprimante) {
        if (m_statut)
            m_statut->SetTexte(Tr("Préparation de la page %1 en cours").arg(NumeroPage));
        QCoreApplication::processEvents();
        if (m_statut && m_statut->Annulation()) {
            m_annule = true;
            rapport.Abandonner();
            m_statut->Fermer();
            return;
        }
    }
    Strategie = ConnexionActive() ? static_cast<TPrintStrategie*>(m_bd.get()) : m_statique.get();
    Strategie->Rapport = &rapport;
    const bool avecEtiquettes = ConnexionActive() ? !m_source->Fin() : EtiquettesImprimees < EtiquettesAImprimer;
    if (avecEtiquettes)
        SignalerFeuille();
    Strategie->ImprimerFeuille();
}

void TPrintControleur::ImprimerEtiquette(int angle, bool verso, vl::Canevas& rapport, double y, double x)
{
    ++EtiquettesImprimees;
    rapport.AllerA(x, y);
    const auto mep = MiseEnPage();
    const double W = mep->Largeur(), H = mep->Hauteur();
    for (const auto& f : EtiquettesFace) {
        TElemPrintControleur* p = f->ControleurImpression;
        if (!p)
            continue;
        if (angle == 0)
            p->Imprimer(*f, rapport, 0, y + f->Haut(), x + f->Gauche());
        else
            p->Imprimer(*f, rapport, 180, y + H - f->Haut() - f->Hauteur(), x + W - f->Gauche() - f->Largeur());
    }
    if (Mode != ModeApercu)
        return;
    TEmplacement e;
    e.X = x;
    e.Y = y;
    e.Angle = angle;
    DessinerContour(rapport, e, verso ? TFace::Verso : TFace::Recto);
}

void TPrintControleur::DessinerContour(vl::Canevas& rapport, const TEmplacement& e, TFace face) const
{
    const auto mep = MiseEnPage();
    rapport.SetPlume({vl::clBlack, vl::psSolid, 1, vl::pmCopy});
    rapport.SetPinceau({vl::clWhite, vl::bsClear});
    for (const TFigure& fig : ContourEtiquette(*mep, e, face)) {
        const auto& p = fig.Points;
        auto px = [&] {
            QVector<QPoint> r;
            for (const QPointF& q : p)
                r.push_back(rapport.PointVersPx(q.x(), q.y()));
            return r;
        };
        switch (fig.Tracer) {
        case 0: rapport.Polygone(px()); break;
        case 1: rapport.Polyligne(px()); break;
        case 2:
            if (p.size() >= 4)
                rapport.Arc(p[0].x(), p[0].y(), p[1].x(), p[1].y(), p[2].x(), p[2].y(), p[3].x(), p[3].y());
            break;
        case 3:
            if (p.size() >= 2)
                rapport.Rectangle(p[0].x(), p[0].y(), p[1].x(), p[1].y());
            break;
        case 4:
            if (p.size() >= 2)
                rapport.Ellipse(p[0].x(), p[0].y(), p[1].x(), p[1].y());
            break;
        default: break;
        }
    }
}


bool TPrintControleur::ImprimerFeuilleTest(vl::Destination destination)
{
    const TModeImpression mode =
        destination == vl::rdPrinter ? ModeImprimante : destination == vl::rdFile ? ModeFichier : ModeApercu;
    Commencer(mode);
    Systeme.SetAvantImpression([this](vl::Canevas& r) { PreparerPapier(r); });
    Systeme.SetImpression([this](vl::Canevas& r) {
        ResolutionX = r.XDPI();
        ResolutionY = r.YDPI();
        SignalerFeuille();
        // The slots where the printer puts the labels, calibration included
        // even on screen: the sheet is there to check the calibration.
        const auto mep = MiseEnPage();
        for (const TEmplacement& e : EmplacementsRecto(*mep, TDecalages::De(Ajustement.get())))
            DessinerContour(r, e, TFace::Recto);
    });
    Systeme.SetDefaultDest(destination);
    Systeme.RetirerReglage(vl::ssAllowSetup);
    const bool ok = Systeme.Executer();
    Systeme.SetImpression([this](vl::Canevas& r) { ImprimerPage(r); });
    return ok;
}

int TPrintControleur::NombreCopies() const
{
    const QString champ = m_source->ChampCopies();
    if (champ.isEmpty())
        return 1;
    const QString texte = m_source->ValeurChamp(champ).trimmed();
    if (texte.isEmpty())
        return 0;
    bool ok = false;
    const int n = texte.toInt(&ok);
    // A negative count prints nothing, like any other count that is no number of labels.
    return ok && n > 0 ? n : 0;
}

// ---------------------------------------------------------------- printer bookkeeping

void TPrintControleur::PreparerImprimante()
{
    const auto mep = MiseEnPage();
    if (mep && mep->EspacePerdu() != 0) {
        AppliquerPapier(*mep, *m_mesureur);
        if (mep->EspacePerdu() & (2 | 8)) {
            EspaceDroit = ::EspaceDroit(*mep, m_mesureur->LargeurPage());
            EspaceBas = ::EspaceBas(*mep, m_mesureur->HauteurPage());
        }
    }
    ActualiserImprimante();
}

void TPrintControleur::ActualiserImprimante()
{
    const QString nom = Systeme.NomImprimante();
    if (nom != Imprimante) {
        // The measuring report follows the printer it measures.
        m_mesureur = Systeme.CreerMesureur();
        if (const auto mep = MiseEnPage())
            AppliquerPapier(*mep, *m_mesureur);
    }
    SetImprimante(nom);
    const auto mep = MiseEnPage();
    if (mep && mep->EspacePerdu() != 0)
        m_mesureur->ActualiserMarges();
}

void TPrintControleur::SetImprimante(const QString& nom)
{
    Imprimante = nom;
    if (MiseEnPage())
        ChargerAjustement();
}

void TPrintControleur::ChargerAjustement()
{
    Ajustement.reset();
    if (const auto mep = MiseEnPage())
        // The store keeps 30 characters of a printer's name: a longer name
        // is looked up by those, so that it finds its own record again.
        m_ide.ChercherAjustement(*mep, Imprimante.left(30), Ajustement);
}

void TPrintControleur::LibererAjustement() { Ajustement.reset(); }

void TPrintControleur::AjusterImpression()
{
    const auto mep = MiseEnPage();
    if (!mep || !m_dialogueAjustement)
        return;
    m_dialogueAjustement(*mep, Imprimante, Ajustement);
    if (m_rafraichir)
        m_rafraichir();
}

QStringList TPrintControleur::Imprimantes() { return QPrinterInfo::availablePrinterNames(); }
QString TPrintControleur::ImprimanteParDefaut() { return QPrinterInfo::defaultPrinterName(); }

double TPrintControleur::PerteGauche() const { return m_mesureur->PerteGauche(); }
double TPrintControleur::PerteDroite() const { return m_mesureur->PerteDroite(); }
double TPrintControleur::PerteHaut() const { return m_mesureur->PerteHaut(); }
double TPrintControleur::PerteBas() const { return m_mesureur->PerteBas(); }
