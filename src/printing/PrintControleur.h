#pragma once
// The print run: fills sheets slot by slot with the labels of the open
// composition, on the printer, in the preview or in a PDF file, with or
// without records, recto, verso or both sides of a duplex sheet.
#include "model/DmIDE.h"
#include "model/Geometrie.h"
#include "model/Metier.h"
#include "printing/SourceEnregistrements.h"
#include "report/SystemeRapport.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <vector>

class TPrintControleur;
class TElemPrintControleur;
class TAlphanumStrategie;

// The answers of the print options dialog, or of the PDF options dialog.
struct TOptionsImpression
{
    bool Annule = false;       // the dialog was cancelled
    QString Imprimante;        // empty: keep the current printer
    int Copies = 1;
    bool Duplex = false;       // "Duplex" checked
    int Etiquettes = -1;       // labels without a connection; < 0: keep the count
    QString Fichier;           // PDF destination as typed
};

// The status window of a printer run ("Statut d'impression"): shows the page
// being prepared and lets the user cancel.
class TStatutImpression
{
public:
    virtual ~TStatutImpression() = default;
    virtual void Afficher() = 0;
    virtual void SetTexte(const QString& texte) = 0;
    virtual void Fermer() = 0;
    // Polled while pages are generated (after pending messages ran): true
    // once "Annuler" was pressed.
    virtual bool Annulation() = 0;
};

enum TModeImpression : unsigned char { ModeApercu = 0, ModeImprimante = 1, ModeFichier = 2 };

class TPrintStrategie
{
public:
    explicit TPrintStrategie(TPrintControleur& c) : Controleur(c) {}
    virtual ~TPrintStrategie() = default;
    virtual void ImprimerRecto() = 0;
    virtual void ImprimerVerso() = 0;
    virtual void ImprimerFeuille();

    TPrintControleur& Controleur;
    int Angle = 0;
    int Colonne = 0;
    int Rang = 1;
    int Sens = 1;
    vl::Canevas* Rapport = nullptr;
    double X = 0, YColonne = 0, Y = 0;
    double AjustGauche = 0, AjustHaut = 0, AjustDefilementV = 0, AjustDefilementH = 0;

protected:
    TDecalages Decalages() const { return {AjustGauche, AjustHaut, AjustDefilementH, AjustDefilementV}; }
    std::vector<TEmplacement> Slots(TFace face) const;
    void Placer(const TEmplacement& e);
};

class TPrintStrategieStatique : public TPrintStrategie
{
public:
    using TPrintStrategie::TPrintStrategie;
    void ImprimerRecto() override;
    void ImprimerVerso() override;
    void ImprimerFeuille() override;

private:
    void Remplir(TFace face);
};

class TPrintStrategieBD : public TPrintStrategie
{
public:
    using TPrintStrategie::TPrintStrategie;
    void ImprimerRecto() override;
    void ImprimerVerso() override;
    void ImprimerFeuille() override;

private:
    void Remplir(TFace face);
};

class TPrintControleur
{
public:
    // ide: the store (calibrations); systeme: the report system it runs on.
    // miseEnLignes: the shared text layout strategy (the controller's own
    // when none is given).
    TPrintControleur(TDmIDE& ide, vl::SystemeRapport& systeme, TAlphanumStrategie* miseEnLignes = nullptr);
    ~TPrintControleur();
    TPrintControleur(const TPrintControleur&) = delete;
    TPrintControleur& operator=(const TPrintControleur&) = delete;

    // --- What the designer gives: the open composition, the selected face
    // (0 = recto), the open connection's records (nullptr: none).
    void SetComposition(const TCompositionOuverte* composition);
    const TCompositionOuverte* Composition() const { return m_composition; }
    void SetFaceSelectionnee(int index) { m_faceSelectionnee = index; }
    int FaceSelectionnee() const { return m_faceSelectionnee; }
    void SetSource(TSourceEnregistrements* source) { m_source = source; }
    TSourceEnregistrements* Source() const { return m_source; }
    void SetStatut(TStatutImpression* statut) { m_statut = statut; }

    std::shared_ptr<TVlMiseEnPage> MiseEnPage() const;
    bool RectoVerso() const;
    bool ConnexionActive() const { return m_source != nullptr; }

    // --- Runs. The options stand for the dialogs' answers; a cancelled
    // dialog ends the run silently. Each returns false when the run was
    // aborted or cancelled.
    bool Imprimer(const TOptionsImpression& options = {});
    bool Previsualiser();
    bool ImprimerFichier(const TOptionsImpression& options);
    // The output file name the PDF dialog gives: ".pdf" appended when the
    // name holds no dot.
    static QString NomFichierSortie(const QString& saisi);

    // --- Report events.
    void PreparerPapier(vl::Canevas& rapport);
    void ImprimerPage(vl::Canevas& rapport);
    void ImprimerEtiquette(int angle, bool verso, vl::Canevas& rapport, double y, double x);
    // The outline of a label in a slot (what the preview draws over labels).
    void DessinerContour(vl::Canevas& rapport, const TEmplacement& e, TFace face) const;
    // One page with the outline of every recto slot of the open layout,
    // placed as the printer places labels (calibration included).
    bool ImprimerFeuilleTest(vl::Destination destination);

    // Sets the run's state as every run does before its first execution:
    // leaf lists, counters, first record or label count.
    void Commencer(TModeImpression mode);
    void CompterEtiquettes(const TVlMiseEnPage& miseEnPage);

    // --- Printer and calibration bookkeeping.
    void PreparerImprimante();
    void ActualiserImprimante();
    void SetImprimante(const QString& nom);
    void ChargerAjustement();
    void LibererAjustement();
    // Runs the calibration dialog (supplied by the window layer) on the
    // calibration slot, then the designer's repaint.
    using TDialogueAjustement = std::function<void(const TVlMiseEnPage&, const QString&, std::shared_ptr<TVlAjustement>&)>;
    void SetDialogueAjustement(TDialogueAjustement d) { m_dialogueAjustement = std::move(d); }
    void SetRafraichir(std::function<void()> f) { m_rafraichir = std::move(f); }
    void AjusterImpression();
    // The printers the platform lists, and the default one.
    static QStringList Imprimantes();
    static QString ImprimanteParDefaut();

    double PerteGauche() const;
    double PerteDroite() const;
    double PerteHaut() const;
    double PerteBas() const;

    // --- Run state (read by the strategies and the element printers).
    bool Termine = false;
    int ResolutionX = 600, ResolutionY = 600;
    std::vector<std::shared_ptr<TVlFeuille>> EtiquettesFace;
    std::vector<std::shared_ptr<TVlFeuille>> EtiquettesRecto;
    std::vector<std::shared_ptr<TVlFeuille>> EtiquettesVerso;
    int EtiquettesAImprimer = 0;
    TModeImpression Mode = ModeApercu;
    vl::SystemeRapport& Systeme;
    TPrintStrategie* Strategie = nullptr;
    int NumeroPage = 0;
    int CopieCourante = 0;
    int NbCopies = 0;
    bool EnregistrementEnCours = false;
    QString Imprimante;
    double EspaceDroit = 0, EspaceBas = 0;
    std::shared_ptr<TVlAjustement> Ajustement;
    int EtiquettesImprimees = 0;
    // A page break waiting for the first label really printed.
    bool PagePendante = false;

    // Whether a leaf of the run is bound to a field (asked once per run:
    // the binding is a stored part the store would look up every time).
    bool Liee(const TVlFeuille& feuille) const { return m_liees.count(&feuille) != 0; }
    // Copy count of the current record.
    int NombreCopies() const;
    TModeSortie ModeSortie() const;
    // The printer of a leaf class.
    TElemPrintControleur* Imprimeur(GenreFeuille genre) const;
    // Installs another printer for a leaf class (the barcode printer, or a
    // test double); the controller takes ownership.
    void SetImprimeur(GenreFeuille genre, std::unique_ptr<TElemPrintControleur> imprimeur);

    // Pictures decoded during the current run, by file: a picture on every
    // label is decoded once and, drawn from the same bitmap, embedded once.
    QHash<QString, QImage>& CacheImages() { return m_cacheImages; }

    // Told the number of every sheet a run starts (1, 2, ...).
    void SetProgression(std::function<void(int)> f) { m_progression = std::move(f); }
    void SignalerFeuille();
    int FeuillesCommencees() const { return m_feuilles; }

private:
    class Fournisseur;
    void Verifier() const;

    TDmIDE& m_ide;
    std::unique_ptr<TAlphanumStrategie> m_miseEnLignesPropre;
    std::function<void(int)> m_progression;
    int m_feuilles = 0;
    const TCompositionOuverte* m_composition = nullptr;
    int m_faceSelectionnee = 0;
    TSourceEnregistrements* m_source = nullptr;
    TStatutImpression* m_statut = nullptr;
    std::unique_ptr<vl::Canevas> m_mesureur;
    std::unique_ptr<TPrintStrategieStatique> m_statique;
    std::unique_ptr<TPrintStrategieBD> m_bd;
    std::map<GenreFeuille, std::unique_ptr<TElemPrintControleur>> m_imprimeurs;
    std::unique_ptr<Fournisseur> m_fournisseur;
    TDialogueAjustement m_dialogueAjustement;
    std::function<void()> m_rafraichir;
    QHash<QString, QImage> m_cacheImages;
    std::shared_ptr<TVlMiseEnPage> m_miseEnPage;
    std::set<const TVlFeuille*> m_liees;
    bool m_annule = false;
};
