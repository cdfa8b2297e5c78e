#include "printing/ImagePrintControleur.h"
#include "model/ConnexionIO.h"
#include "model/Metier.h"
#include "printing/PrintControleur.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtMath>
#include <cmath>

TImagePrintControleur::TImagePrintControleur(TPrintControleur& controleur) : TElemPrintControleur(controleur) {}

QString TImagePrintControleur::DossierImages()
{
    // Tests and relocated installations name their root; the pictures then
    // sit in its bin/ folder, where the executable would be.
    if (qEnvironmentVariableIsSet("VELLUMAR_ROOT"))
        return TDMConnexioIO::RacineInstallation() + QStringLiteral("bin/Images/");
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Images/");
}

QString TImagePrintControleur::ToutCheminImage(const QString& url)
{
    if (url.startsWith(QLatin1String("\\\\")) || url.startsWith(QLatin1Char('/')) ||
        (url.size() > 1 && url.at(1) == QLatin1Char(':')))
        return url;
    QString relatif = url;
    relatif.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return DossierImages() + relatif;
}

QString TImagePrintControleur::Fichier() const
{
    const QString url = static_cast<const TVlImage&>(*Feuille).url();
    return url.trimmed().isEmpty() ? QString() : ToutCheminImage(url);
}

double TImagePrintControleur::PxX(double px) const { return vl::PixelsVersCm(px, Controleur().ResolutionX); }
double TImagePrintControleur::PxY(double px) const { return vl::PixelsVersCm(px, Controleur().ResolutionY); }

void TImagePrintControleur::Preparer()
{
    TElemPrintControleur::Preparer();
    HauteurPx = vl::CmVersPixels(Feuille->Hauteur(), Controleur().ResolutionY);
    LargeurPx = vl::CmVersPixels(Feuille->Largeur(), Controleur().ResolutionX);
    Transparente = false;
    CleTransparente = qRgb(255, 255, 255);
    HauteurCadre = LargeurCadre = HauteurImage = LargeurImage = 0;
}

const QImage& TImagePrintControleur::Pret(const QString& etape, const std::function<QImage()>& fabriquer)
{
    if (m_cle.isEmpty()) {
        m_resultat = fabriquer();
        return m_resultat;
    }
    auto& cache = Controleur().CacheImages();
    const QString cle = m_cle + QLatin1Char('|') + etape;
    auto it = cache.find(cle);
    if (it == cache.end())
        it = cache.insert(cle, fabriquer());
    return it.value();
}

bool TImagePrintControleur::ChargerImage()
{
    const auto& image = static_cast<const TVlImage&>(*Feuille);
    TImageSource source;
    m_cle.clear();
    if (Controleur().Liee(image)) {
        if (Controleur().Source())
            source = Controleur().Source()->ValeurImage(image);
    } else {
        const QString fichier = Fichier();
        if (fichier.isEmpty())
            return false;
        m_cle = fichier;
        auto& cache = Controleur().CacheImages();
        const QString cle = QStringLiteral("source|") + fichier;
        auto it = cache.find(cle);
        if (it == cache.end()) {
            QImageReader lecteur(fichier);
            QImage lue = lecteur.read();
            // A missing or unreadable file is remembered as such for the run.
            it = cache.insert(cle, lue);
        }
        source.Image = it.value();
    }
    if (source.Image.isNull() || source.Image.width() == 0 || source.Image.height() == 0)
        return false;

    const QImage& src = source.Image;
    Transparente = image.Transparent();
    if (Transparente) {
        // A picture with its own transparency keeps it (its transparent
        // pixels take the key); any other gets the colour of its
        // bottom-left pixel as the key, as automatic transparency does.
        CleTransparente = src.hasAlphaChannel() ? qRgb(255, 255, 255) : (src.pixel(0, src.height() - 1) | 0xFF000000);
    }
    if (!m_cle.isEmpty())
        m_cle += QStringLiteral("|%1|%2").arg(Transparente).arg(AngleCourant);
    const QRgb cle = CleTransparente;
    const bool demiTour = AngleCourant == 180;
    ImageTravail = Pret(QStringLiteral("travail"), [&] {
        QImage travail(src.size(), QImage::Format_RGB32);
        travail.fill(Transparente ? cle : qRgb(255, 255, 255));
        QPainter p(&travail);
        p.drawImage(0, 0, demiTour ? src.mirrored(true, true) : src);
        return travail;
    });
    if (ImageTravail.isNull())
        return false;

    // Size on paper.
    if (!image.Homothetie()) {
        if (AngleCourant == 90 || AngleCourant == 270) {
            LargeurImage = HauteurPx;
            HauteurImage = LargeurPx;
        } else {
            LargeurImage = LargeurPx;
            HauteurImage = HauteurPx;
        }
        // The turned picture of an oblique angle is stretched into the box.
        LargeurCadre = LargeurPx;
        HauteurCadre = HauteurPx;
    } else {
        const double r = double(src.height()) / src.width();
        const double a = qDegreesToRadians(double(AngleReplie));
        const double c = std::cos(a), s = std::sin(a);
        int e = vl::ArrondiPair(HauteurPx / (c * r + s));
        int f = vl::ArrondiPair(e * r);
        LargeurCadre = vl::ArrondiPair(e * c + f * s);
        if (LargeurPx < LargeurCadre) {
            e = vl::ArrondiPair(LargeurPx / (s * r + c));
            f = vl::ArrondiPair(e * r);
            LargeurCadre = vl::ArrondiPair(e * c + f * s);
        }
        HauteurCadre = vl::ArrondiPair(e * s + f * c);
        LargeurImage = e;
        HauteurImage = f;
    }
    return true;
}

void TImagePrintControleur::Imprimer(TVlFeuille& feuille, vl::Canevas& rapport, int angleEtiquette, double y, double x)
{
    m_angleEtiquette = angleEtiquette;
    TElemPrintControleur::Imprimer(feuille, rapport, angleEtiquette, y, x);
    // A picture that cannot be loaded or printed is left out of the label.
    try {
        if (ChargerImage()) {
            if (AngleReplie == 0) {
                Rotation = nullptr;
                ImprimerDroit(y, x);
            } else if (AngleReplie == 90) {
                Rotation = &m_rot90;
                ImprimerQuart(y, x);
            } else {
                Rotation = &m_rot;
                ImprimerOblique(y, x);
            }
        }
    } catch (...) {
    }
    ImageTravail = QImage();
    m_resultat = QImage();
    m_rot.Liberer();
}

void TImagePrintControleur::ImprimerDroit(double y, double x)
{
    const auto& f = *Feuille;
    const bool inverse = m_angleEtiquette != 0;
    int dy = 0;
    switch (f.AlignementVertical()) {
    case 0: dy = inverse ? HauteurPx - HauteurImage : 0; break;
    case 1: dy = (HauteurPx - HauteurImage) / 2; break;
    case 2: dy = inverse ? 0 : HauteurPx - HauteurImage; break;
    default: break;
    }
    int dx = 0;
    switch (f.AlignementHorizontal()) {
    case 1: dx = (LargeurPx - LargeurImage) / 2; break;
    case 2: dx = LargeurPx - LargeurImage; break;
    default: break;
    }
    const double x1 = x + PxX(dx), y1 = y + PxY(dy);
    if (Transparente)
        ImprimerTransparent(ImageTravail, double(LargeurImage) / ImageTravail.width(),
                            double(HauteurImage) / ImageTravail.height(), x1, y1, CleTransparente);
    else
        Rapport->ImprimerImage(x1, y1, x1 + PxX(LargeurImage), y1 + PxY(HauteurImage), ImageTravail);
}

void TImagePrintControleur::ImprimerQuart(double y, double x)
{
    const int angle = AngleCourant;
    const QImage source = ImageTravail;
    const QImage& tournee = Pret(QStringLiteral("quart"), [&] {
        QImage t = source;
        m_rot90.Tourner(t, angle);
        return t;
    });
    const auto& f = *Feuille;
    const int av = f.AlignementVertical(), ah = f.AlignementHorizontal();
    const int libreX = LargeurPx - HauteurImage, libreY = HauteurPx - LargeurImage;
    int dx = 0, dy = 0;
    if (angle == 90) {
        dx = av == 1 ? libreX / 2 : av == 2 ? libreX : 0;
        dy = ah == 1 ? libreY / 2 : ah == 2 ? 0 : libreY;
    } else {
        dx = av == 1 ? libreX / 2 : av == 2 ? 0 : libreX;
        dy = ah == 1 ? libreY / 2 : ah == 2 ? libreY : 0;
    }
    const double x1 = x + PxX(dx), y1 = y + PxY(dy);
    if (Transparente)
        ImprimerTransparent(tournee, double(HauteurImage) / tournee.width(), double(LargeurImage) / tournee.height(),
                            x1, y1, CleTransparente);
    else
        Rapport->ImprimerImage(x1, y1, x1 + PxX(HauteurImage), y1 + PxY(LargeurImage), tournee);
}

void TImagePrintControleur::ImprimerOblique(double y, double x)
{
    const int angle = AngleCourant;
    const QImage source = ImageTravail;
    const bool transparente = Transparente;
    const QRgb cleSource = CleTransparente;
    QRgb cle = qRgb(0xFF, 0xFF, 0xFE); // 0xFEFFFF as a pixel
    const QImage& tournee = Pret(QStringLiteral("oblique"), [&] {
        std::optional<vl::Couleur> couleur;
        if (transparente)
            couleur = vl::DepuisQColor(QColor::fromRgb(cleSource));
        m_rot.Calculer(source, angle, couleur);
        return m_rot.ImageTournee();
    });
    if (transparente)
        cle = cleSource | 0xFF000000;
    if (tournee.isNull())
        return;

    const int dxMax = LargeurPx - LargeurCadre - 1, dyMax = HauteurPx - HauteurCadre - 1;
    const int w = (LargeurPx - LargeurCadre) / 2 - 1, h = (HauteurPx - HauteurCadre) / 2 - 1;
    int dx = 0, dy = 0;
    const int av = Feuille->AlignementVertical();
    if (av == 1) {
        dx = w;
        dy = h;
    } else {
        // Corners of the box, by quadrant, for alignment 0; 2 takes the opposite one.
        const QPoint coins[4] = {{0, 0}, {0, dyMax}, {dxMax, dyMax}, {dxMax, 0}};
        const int quadrant = angle < 90 ? 0 : angle < 180 ? 1 : angle < 270 ? 2 : 3;
        const QPoint p = coins[av == 2 ? (quadrant + 2) % 4 : quadrant];
        dx = p.x();
        dy = p.y();
    }
    int gauche = dx, haut = dy, droite = dx + LargeurCadre - 1, bas = dy + HauteurCadre - 1;
    if (gauche < 0) { droite -= gauche; gauche = 0; }
    if (haut < 0) { bas -= haut; haut = 0; }
    if (droite > LargeurPx - 1) { gauche -= droite - (LargeurPx - 1); droite = LargeurPx - 1; }
    if (bas > HauteurPx - 1) { haut -= bas - (HauteurPx - 1); bas = HauteurPx - 1; }
    const int ox = vl::CmVersPixels(x, Controleur().ResolutionX), oy = vl::CmVersPixels(y, Controleur().ResolutionY);
    gauche += ox;
    droite += ox;
    haut += oy;
    bas += oy;
    ImprimerTransparent(tournee, double(droite - gauche) / tournee.width(), double(bas - haut) / tournee.height(),
                        PxX(gauche), PxY(haut), cle);
}

void TImagePrintControleur::ImprimerTransparent(const QImage& image, double sx, double sy, double x0, double y0,
                                                QRgb cle)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRgb cleRgb = cle | 0xFF000000;
    auto& r = *Rapport;
    const vl::Plume plume = r.GetPlume();
    const vl::Pinceau pinceau = r.GetPinceau();
    r.SetPlume({vl::clBlack, vl::psClear, 1, vl::pmCopy});
    const double kx = sx / Controleur().ResolutionX * 2.54, ky = sy / Controleur().ResolutionY * 2.54;
    for (int ligne = 0; ligne < img.height(); ++ligne) {
        const QRgb* px = reinterpret_cast<const QRgb*>(img.constScanLine(ligne));
        int debut = 0;
        while (debut < img.width()) {
            const QRgb c = px[debut] | 0xFF000000;
            int fin = debut + 1;
            while (fin < img.width() && (px[fin] | 0xFF000000) == c)
                ++fin;
            if (c != cleRgb) {
                r.SetPinceau({vl::DepuisQColor(QColor::fromRgb(c)), vl::bsSolid});
                r.Rectangle(x0 + debut * kx, y0 + ligne * ky, x0 + fin * kx, y0 + (ligne + 1) * ky);
            }
            debut = fin;
        }
    }
    r.SetPlume(plume);
    r.SetPinceau(pinceau);
}
