#pragma once
// A small bench for print runs: a temporary store, a report system, a print
// controller, layouts and compositions built in memory, and a witness
// printer that records where each leaf is printed.
#include "model/ConnexionIO.h"
#include "model/ConstructionBase.h"
#include "model/DmIDE.h"
#include "model/Metier.h"
#include "printing/ElemPrintControleur.h"
#include "printing/PrintControleur.h"
#include "report/CanevasEnregistreur.h"
#include "report/ErreurRapport.h"
#include "report/SystemeRapport.h"
#include "test_support.h"

#include <memory>
#include <vector>

namespace banc {

struct Col
{
    int nb;
    double ox = 0, oy = 0;
    bool inversion = false;
};

inline std::shared_ptr<TVlMiseEnPage> Mep(double W, double H, double MG, double MH, double IH, double IV,
                                          std::vector<Col> colonnes, bool rectoVerso = false, bool leurrer = false)
{
    auto m = std::make_shared<TVlMiseEnPage>();
    m->SetNom("Banc");
    m->SetLargeur(W);
    m->SetHauteur(H);
    m->SetMargeGauche(MG);
    m->SetMargeHaute(MH);
    m->SetIntervalleH(IH);
    m->SetIntervalleV(IV);
    m->SetRectoVerso(rectoVerso);
    m->SetLeurrerImprimante(leurrer);
    m->SetOrientation("portrait");
    auto papier = std::make_shared<TVlPaperSize>();
    papier->SetPapersize(9);
    m->SetTaillePapier(papier);
    for (const Col& c : colonnes) {
        auto col = std::make_shared<TVlColonne>();
        col->SetNbEtiquettes(c.nb);
        col->SetOffsetX(c.ox);
        col->SetOffsetY(c.oy);
        col->SetInversion(c.inversion);
        m->AjouterColonnes(col);
    }
    return m;
}

// A leaf of the given class in a box.
template <class T>
std::shared_ptr<T> Feuille(const QString& nom, double g, double h, double l, double ht)
{
    auto f = std::make_shared<T>();
    f->SetNom(nom);
    f->SetGauche(g);
    f->SetHaut(h);
    f->SetLargeur(l);
    f->SetHauteur(ht);
    return f;
}

struct Trace
{
    QString nom;
    int angle;
    double x, y;
    int page;
    long long enregistrement;
};

// Records each leaf it is asked to print and paints its box black.
class ImprimeurTemoin : public TElemPrintControleur
{
public:
    ImprimeurTemoin(TPrintControleur& c, std::vector<Trace>& traces) : TElemPrintControleur(c), m_traces(traces) {}
    void Imprimer(TVlFeuille& f, vl::Canevas& r, int angle, double y, double x) override
    {
        TElemPrintControleur::Imprimer(f, r, angle, y, x);
        auto* source = dynamic_cast<TSourceMemoire*>(Controleur().Source());
        m_traces.push_back({f.Nom(), AngleCourant, x, y, r.NumeroPage(), source ? source->Courant() : -1});
        r.SetPlume({vl::clBlack, vl::psClear, 1, vl::pmCopy});
        r.SetPinceau({vl::clBlack, vl::bsSolid});
        r.Rectangle(x, y, x + f.Largeur(), y + f.Hauteur());
    }

private:
    std::vector<Trace>& m_traces;
};

class Banc
{
public:
    Banc()
    {
        ConstruireFichierBase(vltest::DossierSources() + "/data/store",
                              racine.DossierBase() + TDMConnexioIO::NomFichierBase());
        io = std::make_unique<TDMConnexioIO>();
        ide = std::make_unique<TDmIDE>(io->IOConnexion());
        pc = std::make_unique<TPrintControleur>(*ide, systeme);
    }

    // A composition on the layout with the given leaves on its faces.
    void Composer(const std::shared_ptr<TVlMiseEnPage>& mep,
                  std::vector<std::vector<std::shared_ptr<TVlFeuille>>> faces)
    {
        compo = {};
        miseEnPage = mep; // references to objects never stored are held by their owner only
        compo.Composition = std::make_shared<TVlComposition>();
        compo.Composition->SetNomCompo("Banc");
        compo.Composition->SetMiseEnPage(mep);
        for (auto& feuilles : faces) {
            auto face = std::make_shared<TVlCompoFace>();
            face->ElementsFace = feuilles;
            compo.Faces.push_back(face);
        }
        pc->SetComposition(&compo);
    }
    // Witness printer for text leaves.
    void Temoin()
    {
        pc->SetImprimeur(GenreFeuille::Texte, std::make_unique<ImprimeurTemoin>(*pc, traces));
    }

    // The jobs of a printer run, each on its own recording canvas.
    std::vector<std::unique_ptr<vl::CanevasEnregistreur>> TravauxImprimante(bool duplex = false, int max = 20)
    {
        std::vector<std::unique_ptr<vl::CanevasEnregistreur>> jobs;
        pc->Commencer(ModeImprimante);
        while (!pc->Termine && int(jobs.size()) < max) {
            jobs.push_back(std::make_unique<vl::CanevasEnregistreur>(vl::FormatPapier::A4(), 600, 600, duplex));
            pc->ImprimerPage(*jobs.back());
        }
        return jobs;
    }
    std::unique_ptr<vl::CanevasEnregistreur> Une(TModeImpression mode)
    {
        auto c = std::make_unique<vl::CanevasEnregistreur>();
        pc->Commencer(mode);
        pc->ImprimerPage(*c);
        return c;
    }

    vltest::RacineTemporaire racine;
    std::unique_ptr<TDMConnexioIO> io;
    std::unique_ptr<TDmIDE> ide;
    vl::SystemeRapport systeme;
    std::unique_ptr<TPrintControleur> pc;
    TCompositionOuverte compo;
    std::shared_ptr<TVlMiseEnPage> miseEnPage;
    std::vector<Trace> traces;
};

} // namespace banc
