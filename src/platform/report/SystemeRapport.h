#pragma once
#include "report/Canevas.h"
#include "report/FormatPapier.h"
#include "report/PagesApercu.h"
#include "report/SortieImprimante.h"

#include <QFlags>
#include <QString>
#include <functional>
#include <memory>

namespace vl {


enum Destination { rdPreview, rdPrinter, rdFile };

enum ReglageSysteme {
    ssAllowSetup = 0x01,
    ssAllowCopies = 0x02,
    ssAllowDuplex = 0x04,
    ssAllowDestPreview = 0x08,
    ssAllowDestPrinter = 0x10,
    ssAllowDestFile = 0x20,
    ssAllowPrinterSetup = 0x40,
    ssAllowPreviewSetup = 0x80,
};
Q_DECLARE_FLAGS(ReglagesSysteme, ReglageSysteme)

// Runs one execution of a report: the optional set-up dialog, the before-print
// event, the print event on a fresh canvas of the destination, then the
// delivery (preview shown, file written, job sent). The paper chosen in the
// before-print event stays for the following executions.
class SystemeRapport
{
public:
    using Evenement = std::function<void(Canevas&)>;
    // The set-up dialog; false when the user cancels it.
    using Reglage = std::function<bool(SystemeRapport&)>;
    // The preview window, given the pages of the execution.
    using Apercu = std::function<void(const PagesApercu&)>;

    SystemeRapport();
    ~SystemeRapport();

    // --- Events and overrides
    void SetAvantImpression(Evenement e) { m_avantImpression = std::move(e); }   // OnBeforePrint
    void SetImpression(Evenement e) { m_impression = std::move(e); }             // OnPrint
    bool AAvantImpression() const { return bool(m_avantImpression); }
    void SetReglage(Reglage r) { m_reglage = std::move(r); }                     // OverrideSetup
    void SetApercu(Apercu a) { m_apercu = std::move(a); }                        // OverridePreview

    // --- Settings
    Destination DefaultDest() const { return m_destinationParDefaut; }
    void SetDefaultDest(Destination d) { m_destinationParDefaut = d; }
    // The destination of the next execution; the set-up dialog may change it.
    Destination GetDestination() const { return m_destination; }
    void SetDestination(Destination d) { m_destination = d; }
    ReglagesSysteme SystemSetups() const { return m_reglages; }
    void SetSystemSetups(ReglagesSysteme r) { m_reglages = r; }
    void AjouterReglage(ReglageSysteme r) { m_reglages |= r; }
    void RetirerReglage(ReglageSysteme r) { m_reglages &= ~ReglagesSysteme(r); }

    const QString& FichierSortie() const { return m_fichier; }       // PDF of rdFile
    void SetFichierSortie(const QString& chemin) { m_fichier = chemin; }
    const QString& TitreDocument() const { return m_titre; }
    void SetTitreDocument(const QString& t) { m_titre = t; }

    // Printer: name (empty: the default one), copies, duplex, job title, and
    // optionally a file the printer output goes to.
    SortieImprimante::Reglages& Imprimante() { return m_imprimante; }
    const SortieImprimante::Reglages& Imprimante() const { return m_imprimante; }
    QString NomImprimante() const;
    static bool ImprimanteInstallee() { return SortieImprimante::ImprimanteInstallee(); }

    // Paper for the next execution (the before-print event may change it).
    const FormatPapier& Papier() const { return m_papier; }
    void SetPapier(const FormatPapier& p) { m_papier = p; }

    // Resolution of the preview pages, dpi.
    int ResolutionApercu() const { return m_resolutionApercu; }
    void SetResolutionApercu(int dpi) { m_resolutionApercu = dpi; }

    // --- Running
    // Runs one execution; false when it was aborted (set-up cancelled or the
    // report aborted). Errors of the events propagate after the output has
    // been dropped.
    bool Executer();
    bool Abandonne() const { return m_abandonne; }
    // Pages of the last preview execution.
    const PagesApercu& PagesDernierApercu() const { return m_pages; }

    // A canvas for the current printer and paper that is never executed, to
    // read page sizes and non-printable margins; without a printer the
    // margins are 0.
    std::unique_ptr<Canevas> CreerMesureur() const;

private:
    Evenement m_avantImpression, m_impression;
    Reglage m_reglage;
    Apercu m_apercu;
    Destination m_destinationParDefaut = rdPreview;
    Destination m_destination = rdPreview;
    ReglagesSysteme m_reglages;
    QString m_fichier;
    QString m_titre;
    SortieImprimante::Reglages m_imprimante;
    FormatPapier m_papier;
    int m_resolutionApercu = 150;
    bool m_abandonne = false;
    PagesApercu m_pages;
};

} // namespace vl

Q_DECLARE_OPERATORS_FOR_FLAGS(vl::ReglagesSysteme)
