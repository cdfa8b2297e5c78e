#include "model/Catalogue.h"
#include "model/Geometrie.h"
#include "model/Metier.h"
#include <gtest/gtest.h>

namespace {

struct Col
{
    int nb;
    double ox = 0, oy = 0;
    bool inversion = false;
};

std::shared_ptr<TVlMiseEnPage> Mep(double W, double H, double MG, double MH, double IH, double IV,
                                   std::vector<Col> colonnes, bool rectoVerso = false, bool leurrer = false)
{
    auto m = std::make_shared<TVlMiseEnPage>();
    m->SetLargeur(W);
    m->SetHauteur(H);
    m->SetMargeGauche(MG);
    m->SetMargeHaute(MH);
    m->SetIntervalleH(IH);
    m->SetIntervalleV(IV);
    m->SetRectoVerso(rectoVerso);
    m->SetLeurrerImprimante(leurrer);
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

std::vector<double> Xs(const std::vector<TEmplacement>& e)
{
    std::vector<double> r;
    for (const auto& s : e)
        r.push_back(s.X);
    return r;
}

std::vector<double> Ys(const std::vector<TEmplacement>& e)
{
    std::vector<double> r;
    for (const auto& s : e)
        r.push_back(s.Y);
    return r;
}

void ProchesDe(const std::vector<double>& vu, const std::vector<double>& attendu)
{
    ASSERT_EQ(vu.size(), attendu.size());
    for (size_t i = 0; i < vu.size(); ++i)
        EXPECT_NEAR(vu[i], attendu[i], 1e-9) << "slot " << i;
}

} // namespace

TEST(Geometrie, ASingleColumnFillsDownwardsOrUpsideDownFromTheBottom)
{
    auto m = Mep(5, 3.5, 1, 1, 0, 0, {{8}});
    const auto recto = EmplacementsRecto(*m, {});
    ProchesDe(Ys(recto), {1, 4.5, 8, 11.5, 15, 18.5, 22, 25.5});
    for (const auto& s : recto)
        EXPECT_EQ(s.Angle, 0);

    m->Colonnes(0)->SetInversion(true);
    const auto inverse = EmplacementsRecto(*m, {});
    ProchesDe(Ys(inverse), {25.5, 22, 18.5, 15, 11.5, 8, 4.5, 1});
    for (const auto& s : inverse)
        EXPECT_EQ(s.Angle, 180);
}

TEST(Geometrie, ColumnsAndTheirOffsetsAccumulate)
{
    auto m = Mep(5, 2, 1, 1, 1, 0, {{1, 0.5}, {1}, {1, 0.25}});
    ProchesDe(Xs(EmplacementsRecto(*m, {})), {1.5, 7.5, 13.75});
}

TEST(Geometrie, TheVersoMirrorsTheRecto)
{
    auto m = Mep(5, 2, 1, 1, 1, 0, {{2}, {2}}, true);
    ProchesDe(Xs(EmplacementsRecto(*m, {})), {1, 1, 7, 7});
    ProchesDe(Xs(EmplacementsVerso(*m, {}, TModeSortie::Apercu, 21)), {7, 7, 1, 1});
    m->SetRectoVerso(false);
    EXPECT_TRUE(EmplacementsVerso(*m, {}, TModeSortie::Fichier, 21).empty());
    EXPECT_TRUE(Emplacements(*m, TFace::Verso, {}, TModeSortie::Imprimante, 21).empty());
}

TEST(Geometrie, LeurrerPlacesTheVersoFromThePageEdgeOutsideThePreview)
{
    auto m = Mep(5, 2, 1, 1, 1, 0, {{1}, {1}}, true, true);
    const TDecalages d{0.2, 0, 0, 0};
    ProchesDe(Xs(EmplacementsVerso(*m, d, TModeSortie::Apercu, 21)), {7.2, 1.2});
    for (TModeSortie mode : {TModeSortie::Imprimante, TModeSortie::Fichier})
        ProchesDe(Xs(EmplacementsVerso(*m, d, mode, 21)), {21.2, 15.2});
}

TEST(Geometrie, CalibrationShiftsEnterEveryStep)
{
    auto m = Mep(5, 3, 1, 2, 1, 0.5, {{3}, {3, 0, 0, true}});
    const TDecalages d{0.1, 0.2, 0.3, 0.05};
    const auto e = EmplacementsRecto(*m, d);
    ProchesDe(Xs(e), {1.1, 1.1, 1.1, 7.4, 7.4, 7.4});
    // Inverted column: the lowest slot ignores the step shift, the step does not.
    ProchesDe(Ys(e), {2.2, 5.75, 9.3, 9.2, 5.65, 2.1});
    EXPECT_NEAR(TDecalages::De(nullptr).aG, 0, 0);
    TVlAjustement a;
    a.SetGauche(1.5);
    a.SetDefilementV(-2);
    EXPECT_DOUBLE_EQ(TDecalages::De(&a).aG, 0.15);
    EXPECT_DOUBLE_EQ(TDecalages::De(&a).aDV, -0.2);
}

TEST(Geometrie, OutlinesAreTurnedAndMirroredPerSlot)
{
    auto m = Mep(4, 2, 0, 0, 0, 0, {{1}}, true);
    // No points: the slot's rectangle.
    auto f = ContourEtiquette(*m, {10, 20, 0, 0, 0}, TFace::Recto);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].Tracer, 3);
    EXPECT_EQ(f[0].Points[0], QPointF(10, 20));
    EXPECT_EQ(f[0].Points[1], QPointF(14, 22));

    // One polyline point (1, 0.5) and an arc with distinct start and end.
    auto p = std::make_shared<TVlPoint>();
    p->SetFigure(1);
    p->SetTracer(1);
    p->SetX(1);
    p->SetY(0.5);
    m->AjouterPoints(p);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {2.0, 2.0}, {1.0, 0.0}, {0.0, 1.0}}) {
        auto a = std::make_shared<TVlPoint>();
        a->SetFigure(2);
        a->SetTracer(2);
        a->SetX(x);
        a->SetY(y);
        m->AjouterPoints(a);
    }
    struct Cas { int angle; TFace face; QPointF premier; };
    const Cas cas[] = {{0, TFace::Recto, {11, 20.5}}, {0, TFace::Verso, {13, 20.5}},
                       {180, TFace::Recto, {13, 21.5}}, {180, TFace::Verso, {11, 21.5}}};
    for (const Cas& k : cas) {
        const auto figs = ContourEtiquette(*m, {10, 20, k.angle, 0, 0}, k.face);
        ASSERT_EQ(figs.size(), 2u);
        EXPECT_EQ(figs[0].Tracer, 1);
        EXPECT_EQ(figs[0].Points[0], k.premier) << k.angle << " " << int(k.face);
        EXPECT_EQ(figs[1].Tracer, 2);
    }
    const auto recto = ContourEtiquette(*m, {0, 0, 0, 0, 0}, TFace::Recto)[1].Points;
    const auto verso = ContourEtiquette(*m, {0, 0, 0, 0, 0}, TFace::Verso)[1].Points;
    EXPECT_EQ(recto[2], QPointF(1, 0));
    EXPECT_EQ(recto[3], QPointF(0, 1));
    // Mirrored (x -> 4 - x), start and end exchanged.
    EXPECT_EQ(verso[2], QPointF(4, 1));
    EXPECT_EQ(verso[3], QPointF(3, 0));
}

TEST(Geometrie, RoundedOutlineFollowsTheLabelEdges)
{
    const auto pts = ContourArrondi(6, 3, 0.5);
    ASSERT_EQ(pts.size(), 24u); // four lines of two points, four arcs of four
    for (const auto& p : pts) {
        EXPECT_GE(p->X(), 0);
        EXPECT_LE(p->X(), 6);
        EXPECT_GE(p->Y(), 0);
        EXPECT_LE(p->Y(), 3);
    }
    EXPECT_EQ(pts.front()->Figure(), 1);
    EXPECT_EQ(pts.back()->Figure(), 8);
}

TEST(Geometrie, LostSpaceAndGreyStrips)
{
    auto m = Mep(7, 3.6, 0, 0.45, 0, 0, {{8}, {8}, {8}});
    EXPECT_EQ(EspaceDroit(*m, 21), 0) << "nothing without EspacePerdu";
    m->SetEspacePerdu(15);
    EXPECT_NEAR(EspaceDroit(*m, 21), 0, 1e-9);
    EXPECT_NEAR(EspaceBas(*m, 29.7), 29.7 - 0.45 - 8 * 3.6, 1e-9);

    const TMargesImprimante marges{0.4, 0.5, 0.6, 0.3};
    const double eb = EspaceBas(*m, 29.7);
    auto bandes = BandesGrises(*m, marges, 0, eb, {}, TFace::Recto);
    ASSERT_EQ(bandes.size(), 3u) << "the bottom strip comes out negative and is not drawn";
    EXPECT_EQ(bandes[0].cote, TBande::Gauche);
    EXPECT_NEAR(bandes[0].epaisseur, 0.4, 1e-9);
    EXPECT_EQ(bandes[1].cote, TBande::Droite);
    EXPECT_NEAR(bandes[1].epaisseur, 0.5, 1e-9);
    EXPECT_EQ(bandes[2].cote, TBande::Haut);
    EXPECT_NEAR(bandes[2].epaisseur, 0.15, 1e-9);

    auto verso = BandesGrises(*m, marges, 0, eb, {}, TFace::Verso);
    EXPECT_EQ(verso[0].cote, TBande::Droite) << "the left strip falls on the right of a verso";
    EXPECT_EQ(verso[1].cote, TBande::Gauche);
}

TEST(Geometrie, PaperSizes)
{
    struct Cas { int code; double l, h; };
    for (const Cas& k : {Cas{9, 21, 29.7}, Cas{1, 21.59, 27.94}, Cas{8, 29.7, 42}}) {
        TVlPaperSize p;
        p.SetPapersize(k.code);
        EXPECT_EQ(TaillePapierCm(p), QSizeF(k.l, k.h)) << k.code;
    }
    TVlPaperSize perso;
    perso.SetPapersize(0);
    EXPECT_TRUE(TaillePapierCm(perso).isEmpty()) << "custom size 0 keeps the printer's paper";
    perso.SetLargeur(10);
    perso.SetHauteur(15);
    EXPECT_EQ(TaillePapierCm(perso), QSizeF(10, 15));
}
