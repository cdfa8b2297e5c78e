// The picture printer: size on paper, alignment, quarter and oblique turns,
// see-through runs, file names and errors, one bitmap per run.
#include "printing/ImagePrintControleur.h"
#include "test_banc.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace banc;

namespace {

struct BancImage : Banc
{
    BancImage() { QDir().mkpath(DossierImages()); }
    QString DossierImages() const { return racine.Chemin() + "/bin/Images/"; }

    // A picture file in Images/: a red rectangle, optionally with a
    // transparent border of `bord` pixels.
    QString Ecrire(const QString& nom, int w, int h, const char* format, int bord = 0)
    {
        QImage im(w, h, QImage::Format_ARGB32);
        im.fill(bord ? Qt::transparent : QColor(Qt::red));
        if (bord) {
            QPainter p(&im);
            p.fillRect(bord, bord, w - 2 * bord, h - 2 * bord, Qt::red);
        }
        const QString chemin = DossierImages() + nom;
        EXPECT_TRUE(im.save(chemin, format));
        return chemin;
    }

    std::shared_ptr<TVlImage> Image(const QString& url, double l, double h, bool homothetie, int angle = 0,
                                    bool transparent = false)
    {
        auto im = Feuille<TVlImage>("Image1", 0, 0, l, h);
        im->Seturl(url);
        im->SetHomothetie(homothetie);
        im->SetAngle(angle);
        im->TransparenceAutorisee = true;
        im->SetTransparent(transparent);
        return im;
    }

    // One label at (1, 1) on a one-slot layout, printed to a file canvas at 100 dpi.
    std::unique_ptr<vl::CanevasEnregistreur> Imprimer(const std::shared_ptr<TVlImage>& im, bool inverse = false,
                                                      int labels = 1)
    {
        Composer(Mep(8, 8, 1, 1, 0, 0, {{labels, 0, 0, inverse}}), {{im}});
        auto c = std::make_unique<vl::CanevasEnregistreur>(vl::FormatPapier::A4(), 100, 100);
        pc->Commencer(ModeFichier);
        pc->ImprimerPage(*c);
        return c;
    }
};

// The device rectangle covered by all the filled runs.
QRect Enveloppe(const vl::CanevasEnregistreur& c)
{
    QRect r;
    for (const auto& op : c.OperationsDeType(vl::TypeOperation::Rectangle))
        r = r.united(op.rectPx);
    return r;
}

} // namespace

TEST(ImagePrint, ProportionalPictureKeepsItsShapeAndFollowsTheVerticalAlignment)
{
    BancImage b;
    b.Ecrire("large.png", 400, 200, "PNG");
    // 4 x 4 cm box at 100 dpi: 157 px; the picture prints 157 x 78 (4 x 2 cm), 78.5 rounding to even.
    struct Cas
    {
        int av;
        int haut; // px from the box top
    };
    for (const Cas cas : {Cas{0, 0}, Cas{1, 39}, Cas{2, 79}}) {
        auto im = b.Image("large.png", 4, 4, true);
        im->SetAlignementVertical(cas.av);
        auto c = b.Imprimer(im);
        const auto ops = c->OperationsDeType(vl::TypeOperation::Image);
        ASSERT_EQ(ops.size(), 1u) << cas.av;
        EXPECT_NEAR(ops[0].cm[2] - ops[0].cm[0], 4.0, 0.02);
        EXPECT_NEAR(ops[0].cm[3] - ops[0].cm[1], 2.0, 0.02);
        EXPECT_NEAR(ops[0].cm[1], 1 + cas.haut / 100.0 * 2.54, 1e-9) << cas.av;
        EXPECT_NEAR(ops[0].cm[0], 1, 1e-9);
    }
    // Stretched: the whole box.
    auto c = b.Imprimer(b.Image("large.png", 4, 3, false));
    const auto op = c->OperationsDeType(vl::TypeOperation::Image).at(0);
    EXPECT_NEAR(op.cm[2] - op.cm[0], 4.0, 0.02);
    EXPECT_NEAR(op.cm[3] - op.cm[1], 3.0, 0.02);
}

TEST(ImagePrint, InvertedColumnMirrorsTheVerticalAlignmentOnly)
{
    BancImage b;
    b.Ecrire("large.png", 400, 200, "PNG");
    auto im = b.Image("large.png", 4, 4, true);
    im->SetAlignementVertical(0);
    im->SetAlignementHorizontal(0);
    auto c = b.Imprimer(im, true);
    const auto op = c->OperationsDeType(vl::TypeOperation::Image).at(0);
    // Leaf box at x + W - G - L = 1 + 8 - 4, y + H - Haut - Hauteur = 1 + 8 - 4; top alignment goes to the bottom.
    EXPECT_NEAR(op.cm[0], 5, 1e-9);
    EXPECT_NEAR(op.cm[1], 5 + 79 / 100.0 * 2.54, 1e-9);
}

TEST(ImagePrint, TransparentQuarterTurnFillsTheSameRectangleAsOpaque)
{
    BancImage b;
    b.Ecrire("bord.png", 200, 100, "PNG");
    auto opaque = b.Imprimer(b.Image("bord.png", 3, 5, true, 90));
    const auto op = opaque->OperationsDeType(vl::TypeOperation::Image).at(0);
    auto transparent = b.Imprimer(b.Image("bord.png", 3, 5, true, 90, true));
    EXPECT_TRUE(transparent->OperationsDeType(vl::TypeOperation::Image).isEmpty());
    const QRect runs = Enveloppe(*transparent);
    EXPECT_NEAR(runs.left(), op.rectPx.left(), 1);
    EXPECT_NEAR(runs.top(), op.rectPx.top(), 1);
    EXPECT_NEAR(runs.right(), op.rectPx.right(), 1);
    EXPECT_NEAR(runs.bottom(), op.rectPx.bottom(), 1);
    // Turned: taller than wide.
    EXPECT_GT(op.rectPx.height(), op.rectPx.width());
}

TEST(ImagePrint, SeeThroughPixelsAreNotPainted)
{
    BancImage b;
    b.Ecrire("cadre.png", 100, 100, "PNG", 25);
    auto c = b.Imprimer(b.Image("cadre.png", 4, 4, false, 0, true));
    // Only the red centre: a quarter of the box on each side is left.
    const QRect r = Enveloppe(*c);
    const int box = vl::CmVersPixels(4, 100), x0 = vl::CmVersPixels(1, 100);
    EXPECT_NEAR(r.left() - x0, box / 4, 2);
    EXPECT_NEAR(r.right() + 1 - x0, box * 3 / 4, 2);
    for (const auto& op : c->OperationsDeType(vl::TypeOperation::Rectangle))
        EXPECT_EQ(op.pinceau.couleur, 0x0000FFu); // red
}

TEST(ImagePrint, ObliqueJpegIsPrintedAsRunsInsideTheBox)
{
    BancImage b;
    b.Ecrire("photo.jpg", 120, 80, "JPG");
    auto c = b.Imprimer(b.Image("photo.jpg", 4, 4, true, 30));
    EXPECT_TRUE(c->OperationsDeType(vl::TypeOperation::Image).isEmpty());
    const auto runs = c->OperationsDeType(vl::TypeOperation::Rectangle);
    ASSERT_FALSE(runs.isEmpty());
    const QRect boite(vl::CmVersPixels(1, 100), vl::CmVersPixels(1, 100), vl::CmVersPixels(4, 100),
                      vl::CmVersPixels(4, 100));
    for (const auto& op : runs) {
        EXPECT_TRUE(boite.adjusted(-1, -1, 1, 1).contains(op.rectPx)) << op.Description().toStdString();
        // Nothing of the key colour around the turned picture is painted.
        EXPECT_NE(op.pinceau.couleur, 0xFEFFFFu);
    }
    // The corners of the box lie outside a turned picture: left unpainted.
    const QPoint coin = boite.topLeft() + QPoint(1, 1);
    for (const auto& op : runs)
        EXPECT_FALSE(op.rectPx.contains(coin));
}

TEST(ImagePrint, FileNamesAndMissingFiles)
{
    BancImage b;
    EXPECT_EQ(TImagePrintControleur::ToutCheminImage("a.png"), b.DossierImages() + "a.png");
    EXPECT_EQ(TImagePrintControleur::ToutCheminImage("sous\\a.png"), b.DossierImages() + "sous/a.png");
    EXPECT_EQ(TImagePrintControleur::ToutCheminImage("/x/a.png"), "/x/a.png");
    EXPECT_EQ(TImagePrintControleur::ToutCheminImage("C:\\a.png"), "C:\\a.png");
    EXPECT_EQ(TImagePrintControleur::ToutCheminImage("\\\\serveur\\a.png"), "\\\\serveur\\a.png");

    // A missing or unreadable file leaves the box empty; the run goes on.
    auto c = b.Imprimer(b.Image("absent.png", 4, 4, true));
    EXPECT_TRUE(c->Operations().isEmpty());
    QFile f(b.DossierImages() + "faux.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("pas une image");
    f.close();
    EXPECT_NO_THROW(b.Imprimer(b.Image("faux.png", 4, 4, true)));

    // An absolute path is used as it is.
    const QString ailleurs = b.racine.Chemin() + "/ailleurs.png";
    QImage(10, 10, QImage::Format_RGB32).save(ailleurs);
    auto d = b.Imprimer(b.Image(ailleurs, 4, 4, true));
    EXPECT_EQ(d->OperationsDeType(vl::TypeOperation::Image).size(), 1u);
}

TEST(ImagePrint, OnePictureOnEveryLabelIsOneBitmapForTheRun)
{
    BancImage b;
    b.Ecrire("logo.png", 50, 50, "PNG");
    auto c = b.Imprimer(b.Image("logo.png", 2, 2, true), false, 3);
    const auto ops = c->OperationsDeType(vl::TypeOperation::Image);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].cleImage, ops[1].cleImage);
    EXPECT_EQ(ops[1].cleImage, ops[2].cleImage);
}

TEST(ImagePrint, AnglesFoldIntoAQuarter)
{
    struct Cas
    {
        int a, r;
    };
    for (const Cas c : {Cas{0, 0}, Cas{30, 30}, Cas{90, 90}, Cas{135, 45}, Cas{180, 0}, Cas{270, 90}, Cas{300, 60}})
        EXPECT_EQ(TElemPrintControleur::Replier(c.a), c.r) << c.a;
}

TEST(CounterPrint, StaticCountsLabelsAndBoundCountsCopies)
{
    EXPECT_EQ(TexteCompteur(100, false, 1, 0), "100");
    EXPECT_EQ(TexteCompteur(100, false, 3, 7), "102");
    EXPECT_EQ(TexteCompteur(100, true, 3, 0), "1");
    EXPECT_EQ(TexteCompteur(100, true, 3, 2), "3");
}
