// The print run: which slot every label goes to, job after job, recto and
// verso, with and without records, calibration and outlines.
#include "test_banc.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

using namespace banc;

namespace {

std::shared_ptr<TVlTexte> Texte(const QString& nom, double g = 0.5, double h = 0.25)
{
    return Feuille<TVlTexte>(nom, g, h, 1.0, 0.5);
}

std::vector<TSourceMemoire::Enregistrement> Copies(std::vector<QString> n)
{
    std::vector<TSourceMemoire::Enregistrement> r;
    for (size_t i = 0; i < n.size(); ++i)
        r.push_back({{"N", n[i]}, {"Nom", QString("R%1").arg(i)}});
    return r;
}

QStringList Textes(const vl::CanevasEnregistreur& c) { return c.Textes(); }

} // namespace

TEST(PrintRun, StaticSheetThenASecondJobForTheLabelsLeftAndCountersAcrossJobs)
{
    Banc b;
    auto cpt = Feuille<TVlCompteur>("Cpt", 0.2, 0.2, 3, 1);
    cpt->SetValeur(100);
    cpt->SetPoliceNom("Arial");
    cpt->SetPoliceTaille(10);
    b.Composer(Mep(6, 3, 1, 1, 0.5, 0.5, {{8}, {8}, {8}}), {{cpt}});

    // One full sheet by default: 24 labels, one job.
    auto jobs = b.TravauxImprimante();
    ASSERT_EQ(jobs.size(), 1u);
    QStringList attendu;
    for (int v = 100; v < 124; ++v)
        attendu << QString::number(v);
    EXPECT_EQ(Textes(*jobs[0]), attendu);

    // 30 labels asked: a full sheet, then six labels in the first six slots.
    b.pc->Commencer(ModeImprimante);
    b.pc->EtiquettesAImprimer = 30;
    std::vector<std::unique_ptr<vl::CanevasEnregistreur>> deux;
    while (!b.pc->Termine && deux.size() < 5) {
        deux.push_back(std::make_unique<vl::CanevasEnregistreur>());
        b.pc->ImprimerPage(*deux.back());
    }
    ASSERT_EQ(deux.size(), 2u);
    EXPECT_EQ(Textes(*deux[0]), attendu);
    EXPECT_EQ(Textes(*deux[1]), (QStringList{"124", "125", "126", "127", "128", "129"}));
    const auto premiers = jobs[0]->OperationsDeType(vl::TypeOperation::Texte);
    const auto seconds = deux[1]->OperationsDeType(vl::TypeOperation::Texte);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(seconds[i].pointsPx, premiers[i].pointsPx) << "slot " << i;
}

TEST(PrintRun, ZeroLabelsEndsAfterTheFirstJobAndFiveLabelsFillFiveSlots)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0.5, 0.5, {{8}, {8}, {8}}), {{Texte("A")}});
    b.pc->Commencer(ModeImprimante);
    b.pc->EtiquettesAImprimer = 0;
    vl::CanevasEnregistreur c;
    b.pc->ImprimerPage(c);
    EXPECT_TRUE(b.pc->Termine);
    EXPECT_TRUE(b.traces.empty());

    b.pc->Commencer(ModeImprimante);
    b.pc->EtiquettesAImprimer = 5;
    vl::CanevasEnregistreur c5;
    b.pc->ImprimerPage(c5);
    EXPECT_TRUE(b.pc->Termine);
    ASSERT_EQ(b.traces.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(b.traces[i].y, 1 + 0.25 + i * 3.5, 1e-9);
}

TEST(PrintRun, CopyCountsSpreadRecordsOverSlotsAndJobs)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0, 0.5, {{4}}), {{Texte("A")}});
    TSourceMemoire source(Copies({"2", "0", "3"}), "N");
    b.pc->SetSource(&source);
    auto jobs = b.TravauxImprimante();
    ASSERT_EQ(jobs.size(), 2u);
    ASSERT_EQ(b.traces.size(), 5u);
    const long long enr[] = {0, 0, 2, 2, 2};
    const double y[] = {1.25, 4.75, 8.25, 11.75, 1.25};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(b.traces[i].enregistrement, enr[i]) << i;
        EXPECT_NEAR(b.traces[i].y, y[i], 1e-9) << i;
    }
    EXPECT_TRUE(source.Fin());
}

TEST(PrintRun, CopyCountTextRules)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0, 0.5, {{20}}), {{Texte("A")}});
    // Empty text and non-numbers print nothing; blanks around a number are allowed.
    TSourceMemoire source(Copies({"", "x", " 2 ", "-3", "1"}), "N");
    b.pc->SetSource(&source);
    b.Une(ModeFichier);
    std::vector<long long> enr;
    for (const auto& t : b.traces)
        enr.push_back(t.enregistrement);
    EXPECT_EQ(enr, (std::vector<long long>{2, 2, 4}));

    // Without a copy-count field, one label per record.
    TSourceMemoire une(Copies({"9", "9"}));
    b.pc->SetSource(&une);
    b.traces.clear();
    b.Une(ModeFichier);
    EXPECT_EQ(b.traces.size(), 2u);

    // A copy-count field missing from the data ends the run with the data error.
    TSourceMemoire manque(Copies({"1"}), "Absent");
    b.pc->SetSource(&manque);
    EXPECT_THROW(b.Une(ModeFichier), vl::ErreurRapport);
}

TEST(PrintRun, PreviewShowsTwoSheetsAndAFileEverySheetWithoutATrailingBlankPage)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0.5, 0.5, {{8}, {8}, {8}}), {{Texte("A")}});
    std::vector<QString> n(100, "1");
    TSourceMemoire source(Copies(n), "N");
    b.pc->SetSource(&source);

    ASSERT_TRUE(b.pc->Previsualiser());
    EXPECT_EQ(b.systeme.PagesDernierApercu().Nombre(), 2);
    EXPECT_EQ(b.traces.size(), 48u);

    // 50 printed records then 30 without copies: 3 sheets, no fourth page.
    std::vector<QString> m(50, "1");
    m.insert(m.end(), 30, "0");
    TSourceMemoire fin(Copies(m), "N");
    b.pc->SetSource(&fin);
    auto c = b.Une(ModeFichier);
    EXPECT_EQ(c->NombrePages(), 3);
    EXPECT_EQ(c->OperationsPage(3).size(), 2u); // the witness's two boxes
}

TEST(PrintRun, OutlinesInPreviewOnly)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0.5, 0.5, {{2}}), {{Texte("A")}});
    auto contours = [](const vl::CanevasEnregistreur& c) {
        int n = 0;
        for (const auto& op : c.OperationsDeType(vl::TypeOperation::Rectangle))
            if (op.pinceau.style == vl::bsClear && op.plume.style == vl::psSolid)
                ++n;
        return n;
    };
    EXPECT_EQ(contours(*b.Une(ModeApercu)), 2);
    EXPECT_EQ(contours(*b.Une(ModeFichier)), 0);
    auto jobs = b.TravauxImprimante();
    EXPECT_EQ(contours(*jobs[0]), 0);
}

TEST(PrintRun, VersoMirrorsTheRectoAndTheDecoyMovesItOutsideThePreview)
{
    Banc b;
    b.Temoin();
    auto mep = Mep(5, 3, 1, 1, 1, 0, {{1}, {1}}, true, true);
    b.Composer(mep, {{Texte("R")}, {Texte("V")}});
    b.pc->SetFaceSelectionnee(1);
    auto xs = [&] {
        std::vector<double> r;
        for (const auto& t : b.traces)
            r.push_back(t.x - 0.5);
        b.traces.clear();
        return r;
    };
    b.Une(ModeApercu);
    EXPECT_EQ(xs(), (std::vector<double>{7, 1}));
    b.Une(ModeFichier);
    // From the page's right edge (A4: 21 cm).
    EXPECT_EQ(xs(), (std::vector<double>{21, 15}));

    // A duplex printer gets the recto page, then the verso page of the same labels.
    b.pc->SetFaceSelectionnee(0);
    auto jobs = b.TravauxImprimante(true);
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(b.traces.size(), 4u);
    EXPECT_EQ(b.traces[0].nom, "R");
    EXPECT_EQ(b.traces[1].nom, "R");
    EXPECT_EQ(b.traces[2].nom, "V");
    EXPECT_EQ(b.traces[2].page, 2);
    EXPECT_EQ(jobs[0]->NombrePages(), 2);
}

TEST(PrintRun, DuplexDataRunPrintsTheSameRecordsOnBothSides)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(5, 3, 1, 1, 1, 0, {{2}}, true), {{Texte("R")}, {Texte("V")}});
    TSourceMemoire source(Copies({"1", "2", "1"}), "N");
    b.pc->SetSource(&source);
    auto jobs = b.TravauxImprimante(true);
    ASSERT_EQ(jobs.size(), 2u);
    std::vector<std::pair<QString, long long>> vu;
    for (const auto& t : b.traces)
        vu.push_back({t.nom, t.enregistrement});
    const std::vector<std::pair<QString, long long>> attendu = {
        {"R", 0}, {"R", 1}, {"V", 0}, {"V", 1}, {"R", 1}, {"R", 2}, {"V", 1}, {"V", 2}};
    EXPECT_EQ(vu, attendu);
}

TEST(PrintRun, InvertedColumnTurnsTheLabelAndMirrorsItsLeaves)
{
    Banc b;
    b.Temoin();
    auto mep = Mep(6, 3, 1, 1, 0, 0, {{2, 0, 0, true}});
    auto f = Feuille<TVlTexte>("A", 0.5, 0.25, 2, 1);
    f->SetAngle(30);
    b.Composer(mep, {{f}});
    b.Une(ModeFichier);
    ASSERT_EQ(b.traces.size(), 2u);
    // First slot is the lowest (y 4), leaf at x + W - G - L, y + H - Haut - Hauteur.
    EXPECT_NEAR(b.traces[0].x, 1 + 6 - 0.5 - 2, 1e-9);
    EXPECT_NEAR(b.traces[0].y, 4 + 3 - 0.25 - 1, 1e-9);
    EXPECT_EQ(b.traces[0].angle, 210);
    EXPECT_NEAR(b.traces[1].y, 1 + 3 - 0.25 - 1, 1e-9);
}

TEST(PrintRun, CalibrationShiftsPrintedAndFileOutputButNeverThePreview)
{
    Banc b;
    b.Temoin();
    b.Composer(Mep(6, 3, 1, 1, 0, 0, {{3}}), {{Texte("A", 0, 0)}});
    b.pc->Ajustement = std::make_shared<TVlAjustement>();
    b.pc->Ajustement->SetGauche(1.5);
    b.pc->Ajustement->SetDefilementV(0.2);
    struct Cas
    {
        TModeImpression mode;
        double dx, dv;
    };
    for (const Cas& cas : {Cas{ModeApercu, 0, 0}, Cas{ModeFichier, 0.15, 0.02}, Cas{ModeImprimante, 0.15, 0.02}}) {
        b.traces.clear();
        b.Une(cas.mode);
        ASSERT_EQ(b.traces.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(b.traces[i].x, 1 + cas.dx, 1e-9) << int(cas.mode);
            EXPECT_NEAR(b.traces[i].y, 1 + i * (3 + cas.dv), 1e-9) << int(cas.mode);
        }
    }
}

TEST(PrintRun, CalibrationIsLoadedFromTheStoreForThePrinter)
{
    Banc b;
    auto mep = b.ide->FormatsDuPaquet(*b.ide->Paquets().Liste.front()).front();
    auto aj = std::make_shared<TVlAjustement>();
    aj->SetMiseEnPage(mep);
    const QString nom = "Une imprimante au nom bien plus long que trente caractères";
    aj->SetImprimante(nom.left(30));
    aj->SetGauche(2);
    b.ide->Connecteur()->Stocker(*aj);
    b.Composer(mep, {{}});
    b.pc->SetImprimante(nom);
    ASSERT_TRUE(b.pc->Ajustement);
    EXPECT_DOUBLE_EQ(b.pc->Ajustement->Gauche(), 2);
    b.pc->SetImprimante("Autre");
    EXPECT_FALSE(b.pc->Ajustement);
}

TEST(PrintRun, ProvidedPrintersReachTheLeavesTheModelAttaches)
{
    Banc b;
    auto t = std::make_shared<TVlTexte>();
    t->AttacherControleurs();
    EXPECT_EQ(t->ControleurImpression, b.pc->Imprimeur(GenreFeuille::Texte));
}

TEST(PrintRun, OutputFileNameGetsPdfOnlyWithoutAnyDot)
{
    EXPECT_EQ(TPrintControleur::NomFichierSortie("sortie"), "sortie.pdf");
    EXPECT_EQ(TPrintControleur::NomFichierSortie("/tmp/a.b/sortie"), "/tmp/a.b/sortie");
    EXPECT_EQ(TPrintControleur::NomFichierSortie("x.pdf"), "x.pdf");
    EXPECT_EQ(TPrintControleur::NomFichierSortie("  "), "");
}

// A PDF rendered back: ink where labels are and none elsewhere.
TEST(PrintRun, PdfHasInkInTheSlotsOnlyAndOnePagePerSheet)
{
    Banc b;
    b.Temoin();
    // 2 columns of 3 labels 6 x 3 cm; the witness paints a 1 x 0.5 cm box.
    b.Composer(Mep(6, 3, 1, 1, 1, 1, {{3}, {3}}), {{Texte("A", 1, 1)}});
    const QString pdf = b.racine.Chemin() + "/sortie.pdf";
    TOptionsImpression o;
    o.Fichier = pdf;
    o.Etiquettes = 8;
    ASSERT_TRUE(b.pc->ImprimerFichier(o));
    const QString prefixe = b.racine.Chemin() + "/page";
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "50", "-png", pdf, prefixe}), 0);
    const QStringList pages = QDir(b.racine.Chemin()).entryList({"page*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    QImage p1(b.racine.Chemin() + "/" + pages[0]);
    ASSERT_FALSE(p1.isNull());
    auto px = [&](const QImage& im, double xcm, double ycm) {
        return qGray(im.pixel(int(xcm / 2.54 * 50), int(ycm / 2.54 * 50)));
    };
    for (int col = 0; col < 2; ++col)
        for (int r = 0; r < 3; ++r) {
            const double x = 1 + col * 7 + 1.5, y = 1 + r * 4 + 1.25;
            EXPECT_LT(px(p1, x, y), 64) << col << r;           // inside the painted box
            EXPECT_GT(px(p1, x + 2.5, y + 1.0), 240) << col << r; // elsewhere in the label
        }
    EXPECT_GT(px(p1, 18, 20), 240);
    QImage p2(b.racine.Chemin() + "/" + pages[1]);
    EXPECT_LT(px(p2, 2.5, 2.25), 64);
    // Labels 7 and 8 go down the first column; the second stays empty.
    EXPECT_LT(px(p2, 2.5, 6.25), 64);
    EXPECT_GT(px(p2, 2.5, 10.25), 240);
    EXPECT_GT(px(p2, 9.5, 2.25), 240);
}
