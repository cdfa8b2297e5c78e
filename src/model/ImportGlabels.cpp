#include "ImportGlabels.h"
#include "Catalogue.h"
#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

using vl::persistence::Erreur;

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("TImportGlabels", t); }

QString Nombre(double cm)
{
    // Millimetres with at most one decimal, French style ("63,5").
    QString s = QString::number(std::round(cm * 100.0) / 10.0, 'f', 1);
    if (s.endsWith(QLatin1String(".0")))
        s.chop(2);
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

int CodePapier(const QString& id)
{
    if (id == QLatin1String("A4")) return 9;
    if (id == QLatin1String("US-Letter")) return 1;
    if (id == QLatin1String("A3")) return 8;
    return 0;
}

bool Proche(double a, double b) { return std::abs(a - b) < 1e-6; }

} // namespace

QString TImportGlabels::DossierSysteme() { return QStringLiteral("/usr/share/libglabels-3.0/templates"); }

double TImportGlabels::Longueur(const QString& texte, bool* ok)
{
    static const QRegularExpression forme(QStringLiteral("^\\s*([-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?)\\s*(pt|in|mm|cm|pc)?\\s*$"));
    const auto m = forme.match(texte);
    if (ok)
        *ok = m.hasMatch();
    if (!m.hasMatch())
        return 0;
    const double v = m.captured(1).toDouble();
    const QString u = m.captured(2);
    if (u == QLatin1String("in")) return v * 2.54;
    if (u == QLatin1String("mm")) return v / 10.0;
    if (u == QLatin1String("cm")) return v;
    if (u == QLatin1String("pc")) return v * 12.0 / 72.0 * 2.54;
    return v / 72.0 * 2.54;
}

TImportGlabels::TImportGlabels(const QString& dossierPapiers)
{
    QFile f(QDir(dossierPapiers).filePath(QStringLiteral("paper-sizes.xml")));
    if (!f.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("Paper-size"))
            continue;
        const auto a = xml.attributes();
        m_papiers.insert(a.value(QLatin1String("id")).toString(),
                         QSizeF(Longueur(a.value(QLatin1String("width")).toString()),
                                Longueur(a.value(QLatin1String("height")).toString())));
    }
}

std::vector<TModeleGlabels> TImportGlabels::Lire(const QString& fichier) const
{
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly))
        throw Erreur(Tr("Impossible de lire le fichier de modèles « %1 » : %2").arg(fichier, f.errorString()));
    QXmlStreamReader xml(&f);
    std::vector<TModeleGlabels> modeles;
    TModeleGlabels* courant = nullptr;
    bool racineVue = false;
    auto refuser = [&](const QString& message) -> Erreur {
        return Erreur(Tr("%1, ligne %2 : %3").arg(fichier).arg(xml.lineNumber()).arg(message));
    };
    auto longueur = [&](const QXmlStreamAttributes& a, const char* nom, double defaut = 0) {
        const QString v = a.value(QLatin1String(nom)).toString();
        if (v.isEmpty())
            return defaut;
        bool ok = false;
        const double l = Longueur(v, &ok);
        // A bad length spoils its template only: it is skipped with the reason.
        if (!ok && courant && courant->erreur.isEmpty())
            courant->erreur = Tr("ligne %1 : longueur invalide « %2 » pour %3").arg(xml.lineNumber()).arg(v, QLatin1String(nom));
        return l;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("Template"))
            courant = nullptr;
        if (!xml.isStartElement())
            continue;
        const auto a = xml.attributes();
        const QStringView nom = xml.name();
        if (!racineVue) {
            racineVue = true;
            if (nom != QLatin1String("Glabels-templates"))
                throw refuser(Tr("ce n'est pas un fichier de modèles d'étiquettes (élément racine « %1 »).").arg(nom));
            continue;
        }
        if (nom == QLatin1String("Template")) {
            TModeleGlabels m;
            m.fichier = fichier;
            m.ligne = int(xml.lineNumber());
            m.marque = a.value(QLatin1String("brand")).toString();
            m.reference = a.value(QLatin1String("part")).toString();
            m.description = a.hasAttribute(QLatin1String("_description")) ? a.value(QLatin1String("_description")).toString()
                                                                        : a.value(QLatin1String("description")).toString();
            m.equivalent = a.value(QLatin1String("equiv")).toString();
            m.papier = a.value(QLatin1String("size")).toString();
            if (m.marque.isEmpty() || m.reference.isEmpty())
                throw refuser(Tr("modèle sans marque ou sans référence."));
            modeles.push_back(m);
            courant = &modeles.back();
            if (m_papiers.contains(courant->papier))
                courant->taillePapier = m_papiers.value(courant->papier);
            else if (a.hasAttribute(QLatin1String("width")))
                courant->taillePapier = QSizeF(longueur(a, "width"), longueur(a, "height"));
        } else if (courant && nom.startsWith(QLatin1String("Label-")) && courant->forme.isEmpty()) {
            courant->forme = nom.toString();
            if (nom == QLatin1String("Label-rectangle") || nom == QLatin1String("Label-ellipse")) {
                courant->largeur = longueur(a, "width");
                courant->hauteur = longueur(a, "height");
                courant->arrondi = longueur(a, "round");
            } else if (nom == QLatin1String("Label-round")) {
                courant->rayon = longueur(a, "radius");
                courant->largeur = courant->hauteur = 2 * courant->rayon;
            } else if (nom == QLatin1String("Label-cd")) {
                courant->rayon = longueur(a, "radius");
                courant->trou = longueur(a, "hole");
                courant->largeur = longueur(a, "width", 2 * courant->rayon);
                courant->hauteur = longueur(a, "height", 2 * courant->rayon);
            }
        } else if (courant && nom == QLatin1String("Layout") && courant->grilles.size() < 64) {
            TGrilleGlabels g;
            g.nx = a.value(QLatin1String("nx")).toInt();
            g.ny = a.value(QLatin1String("ny")).toInt();
            g.x0 = longueur(a, "x0");
            g.y0 = longueur(a, "y0");
            g.dx = longueur(a, "dx");
            g.dy = longueur(a, "dy");
            if (g.nx <= 0 || g.ny <= 0)
                throw refuser(Tr("grille sans étiquette (nx = %1, ny = %2).").arg(g.nx).arg(g.ny));
            courant->grilles.push_back(g);
        }
    }
    if (xml.hasError())
        throw refuser(xml.errorString());
    if (!racineVue)
        throw Erreur(Tr("%1 : fichier vide.").arg(fichier));
    return modeles;
}

void TImportGlabels::ResoudreEquivalents(std::vector<TModeleGlabels>& modeles)
{
    QHash<QString, const TModeleGlabels*> parReference;
    for (const auto& m : modeles)
        if (m.equivalent.isEmpty())
            parReference.insert(m.marque + QLatin1Char('|') + m.reference, &m);
    for (auto& m : modeles) {
        if (m.equivalent.isEmpty())
            continue;
        const TModeleGlabels* source = parReference.value(m.marque + QLatin1Char('|') + m.equivalent);
        if (!source)
            continue; // left without a shape: Convertir says why
        TModeleGlabels copie = *source;
        copie.marque = m.marque;
        copie.reference = m.reference;
        copie.equivalent = m.equivalent;
        copie.fichier = m.fichier;
        copie.ligne = m.ligne;
        if (!m.description.isEmpty())
            copie.description = m.description;
        m = copie;
    }
}

std::shared_ptr<TVlMiseEnPage> TImportGlabels::Convertir(const TModeleGlabels& m, QString* raison) const
{
    auto refus = [&](const QString& r) {
        if (raison)
            *raison = QStringLiteral("%1 %2 : %3").arg(m.marque, m.reference, r);
        return nullptr;
    };
    if (!m.erreur.isEmpty())
        return refus(m.erreur);
    if (m.forme.isEmpty())
        return refus(m.equivalent.isEmpty() ? Tr("aucune forme d'étiquette")
                                            : Tr("équivalent « %1 » introuvable").arg(m.equivalent));
    if (m.grilles.empty())
        return refus(Tr("aucune grille d'étiquettes"));
    if (m.largeur <= 0 || m.hauteur <= 0)
        return refus(Tr("taille d'étiquette nulle"));

    // Every column of every grid, at its absolute position.
    struct Colonne { double x, y; int n; };
    std::vector<Colonne> colonnes;
    double pasV = -1, pasH = -1;
    for (const TGrilleGlabels& g : m.grilles) {
        if (g.ny > 1) {
            if (pasV >= 0 && !Proche(pasV, g.dy))
                return refus(Tr("grilles de pas verticaux différents"));
            pasV = g.dy;
        }
        if (g.nx > 1 && pasH < 0)
            pasH = g.dx;
        for (int i = 0; i < g.nx; ++i)
            colonnes.push_back({g.x0 + i * g.dx, g.y0, g.ny});
    }
    std::stable_sort(colonnes.begin(), colonnes.end(), [](const Colonne& a, const Colonne& b) {
        return Proche(a.x, b.x) ? a.y < b.y : a.x < b.x;
    });

    auto mep = std::make_shared<TVlMiseEnPage>();
    const QString nom = QStringLiteral("%1 %2 — %3").arg(m.marque, m.reference, m.description);
    mep->SetNom(nom.size() > 60 ? nom.left(59) + QChar(0x2026) : nom);
    mep->SetLargeur(m.largeur);
    mep->SetHauteur(m.hauteur);
    mep->SetMargeGauche(colonnes.front().x);
    mep->SetMargeHaute(m.grilles.front().y0);
    const double IH = pasH >= 0 ? pasH - m.largeur : 0;
    const double IV = pasV >= 0 ? pasV - m.hauteur : 0;
    mep->SetIntervalleH(IH);
    mep->SetIntervalleV(IV);
    mep->SetTypeImpression(QStringLiteral("Laser"));
    // Offsets put every column exactly where the template has it.
    double xPrecedent = 0;
    for (size_t k = 0; k < colonnes.size(); ++k) {
        auto col = std::make_shared<TVlColonne>();
        col->SetOrdre(int(k));
        col->SetNbEtiquettes(colonnes[k].n);
        const double xSansOffset = k == 0 ? mep->MargeGauche() : xPrecedent + m.largeur + IH;
        col->SetOffsetX(colonnes[k].x - xSansOffset);
        col->SetOffsetY(colonnes[k].y - mep->MargeHaute());
        xPrecedent = colonnes[k].x;
        mep->AjouterColonnes(col);
    }

    std::vector<std::shared_ptr<TVlPoint>> points;
    if (m.forme == QLatin1String("Label-rectangle")) {
        const double r = std::min({m.arrondi, m.largeur / 2, m.hauteur / 2});
        if (r > 0)
            points = ContourArrondi(m.largeur, m.hauteur, r);
    } else if (m.forme == QLatin1String("Label-cd")) {
        const double cx = m.largeur / 2, cy = m.hauteur / 2;
        points = ContourEllipse(cx - m.rayon, cy - m.rayon, cx + m.rayon, cy + m.rayon, 1);
        for (auto& p : ContourEllipse(cx - m.trou, cy - m.trou, cx + m.trou, cy + m.trou, 2))
            points.push_back(p);
    } else {
        points = ContourEllipse(0, 0, m.largeur, m.hauteur, 1);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        points[i]->SetOrdre(int(i));
        mep->AjouterPoints(points[i]);
    }

    auto papier = std::make_shared<TVlPaperSize>();
    const int code = CodePapier(m.papier);
    papier->SetPapersize(code);
    if (code == 0 && !m.taillePapier.isEmpty()) {
        papier->SetLargeur(m.taillePapier.width());
        papier->SetHauteur(m.taillePapier.height());
    }
    mep->SetTaillePapier(papier);
    mep->SetOrientation(QStringLiteral("portrait"));

    QString grille;
    if (m.grilles.size() == 1)
        grille = Tr("%1 lignes × %2 colonnes").arg(m.grilles[0].ny).arg(m.grilles[0].nx);
    else
        grille = Tr("%1 colonnes en %2 grilles").arg(colonnes.size()).arg(m.grilles.size());
    const QString nomPapier = code ? m.papier
                              : m.taillePapier.isEmpty()
                                  ? Tr("papier %1").arg(m.papier)
                                  : Tr("papier %1 × %2 mm").arg(Nombre(m.taillePapier.width()), Nombre(m.taillePapier.height()));
    mep->SetDescription(Tr("%1 × %2 mm, %3 étiquettes par feuille (%4), %5.")
                            .arg(Nombre(m.largeur), Nombre(m.hauteur))
                            .arg(mep->EtiquettesParFeuille())
                            .arg(grille, nomPapier));
    mep->SetIcone(DessinerIcone(*mep));
    return mep;
}

TBilanImport TImportGlabels::Importer(const QStringList& fichiers, vl::persistence::Connecteur& c) const
{
    std::vector<TModeleGlabels> modeles;
    for (const QString& f : fichiers)
        for (auto& m : Lire(f))
            modeles.push_back(std::move(m));
    ResoudreEquivalents(modeles);

    TBilanImport bilan;
    QMap<QString, std::vector<std::shared_ptr<TVlMiseEnPage>>> parMarque; // sorted by vendor
    for (const auto& m : modeles) {
        QString raison;
        if (auto mep = Convertir(m, &raison))
            parMarque[m.marque].push_back(mep);
        else {
            ++bilan.ignores;
            bilan.raisons << raison;
        }
    }

    vl::persistence::Transaction t(c);
    QHash<QString, QString> existants; // layout names already stored
    for (const auto& mep : c.Selectionner<TVlMiseEnPage>(QStringLiteral("select * from TVlMiseEnPage")))
        existants.insert(mep->Nom(), mep->Id());
    auto paquets = c.Selectionner<TVlPackage>(QStringLiteral("select * from TVlPackage order by Ordre"));
    for (auto it = parMarque.begin(); it != parMarque.end(); ++it) {
        std::shared_ptr<TVlPackage> paquet;
        for (const auto& p : paquets)
            if (p->Nom() == it.key() && p->Ordre() >= kOrdrePremierFournisseur)
                paquet = p;
        int ordre = 0;
        if (!paquet) {
            paquet = std::make_shared<TVlPackage>();
            paquet->SetNom(it.key().left(52));
            paquet->SetHasIcones(true);
            paquets.push_back(paquet);
        } else {
            ordre = int(c.Selectionner(QStringLiteral("select * from TVlContenuPackages where Package.Id = :id"),
                                       {{QStringLiteral("id"), paquet->Id()}}).size());
        }
        c.Stocker(*paquet);
        for (const auto& mep : it.value()) {
            if (existants.contains(mep->Nom())) {
                ++bilan.doublons;
                continue;
            }
            c.Stocker(*mep);
            existants.insert(mep->Nom(), mep->Id());
            auto contenu = std::make_shared<TVlContenuPackages>();
            contenu->SetPackage(paquet);
            contenu->SetFormat(mep);
            contenu->SetOrdre(ordre++);
            c.Stocker(*contenu);
            ++bilan.importes;
        }
    }
    // Vendor packages in alphabetical order after the shipped ones.
    std::vector<std::shared_ptr<TVlPackage>> fournisseurs;
    for (const auto& p : paquets)
        if (p->Ordre() >= kOrdrePremierFournisseur || p->Ordre() == 0)
            fournisseurs.push_back(p);
    QCollator ordre(QLocale(QLocale::French, QLocale::France));
    ordre.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(fournisseurs.begin(), fournisseurs.end(),
              [&](const auto& a, const auto& b) { return ordre.compare(a->Nom(), b->Nom()) < 0; });
    for (size_t i = 0; i < fournisseurs.size(); ++i) {
        fournisseurs[i]->SetOrdre(kOrdrePremierFournisseur + int(i));
        c.Stocker(*fournisseurs[i]);
    }
    t.Valider();
    return bilan;
}
