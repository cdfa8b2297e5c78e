#include "ConstructionBase.h"
#include "Catalogue.h"
#include "DmIDE.h"
#include "ImportGlabels.h"
#include "Metier.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using vl::persistence::Attribut;
using vl::persistence::Caster;
using vl::persistence::Erreur;
using vl::persistence::TypeAttribut;

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("ConstructionBase", t); }

QJsonObject LireJson(const QString& fichier)
{
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly))
        throw Erreur(Tr("Impossible de lire « %1 » : %2").arg(fichier, f.errorString()));
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &e);
    if (doc.isNull() || !doc.isObject())
        throw Erreur(Tr("« %1 » n'est pas un document JSON valide (position %2 : %3).")
                         .arg(fichier).arg(e.offset).arg(e.errorString()));
    return doc.object();
}

// Sets the scalar attributes named in `json` (case-insensitive names);
// `ignorer` lists the keys the caller handles itself.
void Affecter(ObjetPersistant& objet, const QJsonObject& json, const QStringList& ignorer, const QString& ou)
{
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (ignorer.contains(it.key(), Qt::CaseInsensitive))
            continue;
        const Attribut* a = objet.Classe().Chercher(it.key());
        if (!a || a->EstObjet())
            throw Erreur(Tr("%1 : attribut inconnu « %2 » pour %3.").arg(ou, it.key(), objet.Classe().Nom()));
        const QJsonValue v = it.value();
        QVariant valeur;
        switch (a->type) {
        case TypeAttribut::Entier:
            valeur = v.isString() ? QVariant(v.toString().toInt(nullptr, 0)) : QVariant(v.toInt());
            break;
        case TypeAttribut::Reel: valeur = v.toDouble(); break;
        case TypeAttribut::Booleen: valeur = v.toBool(); break;
        default: valeur = v.toString(); break;
        }
        try {
            objet.EcrireScalaire(*a, valeur);
        } catch (const Erreur& e) {
            throw Erreur(ou + QStringLiteral(" : ") + e.Message());
        }
    }
}

std::shared_ptr<TVlMiseEnPage> Format(const QString& code, const QJsonObject& j)
{
    const QString ou = Tr("format %1").arg(code);
    auto mep = std::make_shared<TVlMiseEnPage>();
    Affecter(*mep, j, {QStringLiteral("papier"), QStringLiteral("colonnes"), QStringLiteral("arrondi"),
                       QStringLiteral("forme"), QStringLiteral("trou")},
             ou);
    auto papier = std::make_shared<TVlPaperSize>();
    const QJsonObject p = j.value(QStringLiteral("papier")).toObject();
    papier->SetPapersize(p.value(QStringLiteral("code")).toInt(9));
    papier->SetLargeur(p.value(QStringLiteral("largeur")).toDouble());
    papier->SetHauteur(p.value(QStringLiteral("hauteur")).toDouble());
    mep->SetTaillePapier(papier);

    const QJsonValue colonnes = j.value(QStringLiteral("colonnes"));
    QJsonArray liste;
    if (colonnes.isObject()) {
        // {"nombre": n, "etiquettes": m}: n identical columns.
        for (int k = 0; k < colonnes[QStringLiteral("nombre")].toInt(); ++k)
            liste.append(QJsonObject{{QStringLiteral("NbEtiquettes"), colonnes[QStringLiteral("etiquettes")].toInt()}});
    } else {
        liste = colonnes.toArray();
    }
    if (liste.isEmpty())
        throw Erreur(Tr("%1 : aucune colonne d'étiquettes.").arg(ou));
    for (int k = 0; k < liste.size(); ++k) {
        auto col = std::make_shared<TVlColonne>();
        col->SetOrdre(k);
        Affecter(*col, liste[k].toObject(), {}, ou);
        mep->AjouterColonnes(col);
    }

    const QString forme = j.value(QStringLiteral("forme")).toString();
    std::vector<std::shared_ptr<TVlPoint>> points;
    if (j.contains(QStringLiteral("arrondi")))
        points = ContourArrondi(mep->Largeur(), mep->Hauteur(), j.value(QStringLiteral("arrondi")).toDouble());
    else if (forme == QLatin1String("ellipse"))
        points = ContourEllipse(0, 0, mep->Largeur(), mep->Hauteur());
    if (j.contains(QStringLiteral("trou"))) {
        // A CD label: the hole is a second ellipse, centred.
        const double d = j.value(QStringLiteral("trou")).toDouble();
        const double cx = mep->Largeur() / 2, cy = mep->Hauteur() / 2;
        for (auto& p : ContourEllipse(cx - d / 2, cy - d / 2, cx + d / 2, cy + d / 2, 2))
            points.push_back(p);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        points[i]->SetOrdre(int(i));
        mep->AjouterPoints(points[i]);
    }
    return mep;
}

const vl::persistence::ClassePersistante& ClasseFeuille(const QString& nom, const QString& ou)
{
    const auto* c = vl::persistence::Registre::Global().Chercher(nom);
    if (!c || !c->DescendDe(TVlFeuille::ClasseVl()) || c->EstAbstraite())
        throw Erreur(Tr("%1 : « %2 » n'est pas une classe d'élément.").arg(ou, nom));
    return *c;
}

// The connections of connexions.json, by name, stored in `c`.
QHash<QString, std::shared_ptr<TVlConnexion>> Connexions(const QString& fichier, vl::persistence::Connecteur& c)
{
    QHash<QString, std::shared_ptr<TVlConnexion>> connexions;
    if (!QFileInfo::exists(fichier))
        return connexions;
    for (const QJsonValue& v : LireJson(fichier).value(QStringLiteral("connexions")).toArray()) {
        const QJsonObject j = v.toObject();
        const QString nom = j.value(QStringLiteral("NomConnexion")).toString();
        const QString ou = Tr("connexion « %1 »").arg(nom);
        const QString classe = j.value(QStringLiteral("classe")).toString(QStringLiteral("TVlConnexion"));
        const auto* cl = vl::persistence::Registre::Global().Chercher(classe);
        if (!cl || !cl->DescendDe(TVlConnexion::ClasseVl()))
            throw Erreur(Tr("%1 : « %2 » n'est pas une classe de connexion.").arg(ou, classe));
        if (nom.isEmpty() || connexions.contains(nom))
            throw Erreur(Tr("%1 : nom de connexion vide ou en double.").arg(ou));
        auto connexion = std::static_pointer_cast<TVlConnexion>(cl->Creer());
        Affecter(*connexion, j, {QStringLiteral("classe")}, ou);
        c.Stocker(*connexion);
        connexions.insert(nom, connexion);
    }
    return connexions;
}

// A leaf's binding: {"connexion": name, "pieces": [{"champ": F} | {"texte": T}, ...]}.
void Lier(TDmIDE& ide, TVlFeuille& feuille, const QJsonObject& j,
          const QHash<QString, std::shared_ptr<TVlConnexion>>& connexions, const QString& ou)
{
    const auto connexion = connexions.value(j.value(QStringLiteral("connexion")).toString());
    if (!connexion)
        throw Erreur(Tr("%1 : connexion inconnue « %2 ».").arg(ou, j.value(QStringLiteral("connexion")).toString()));
    auto liaison = ide.NouvelleLiaison(connexion);
    liaison->SetTypeChamp(j.value(QStringLiteral("TypeChamp")).toInt());
    for (const QJsonValue& p : j.value(QStringLiteral("pieces")).toArray()) {
        const QJsonObject piece = p.toObject();
        if (piece.contains(QStringLiteral("champ")))
            ide.AjouterPieceLiaison(1, piece.value(QStringLiteral("champ")).toString(), *liaison);
        else
            ide.AjouterPieceLiaison(0, piece.value(QStringLiteral("texte")).toString(), *liaison);
    }
    if (liaison->ElementsCount() == 0)
        throw Erreur(Tr("%1 : liaison sans champ.").arg(ou));
    feuille.SetConnexion(liaison);
}

} // namespace

TBilanConstruction ConstruireBase(const QString& dossierDonnees, vl::persistence::Connecteur& c)
{
    EnregistrerClassesMetier();
    TBilanConstruction bilan;
    const QDir dossier(dossierDonnees);
    const QJsonObject catalogue = LireJson(dossier.filePath(QStringLiteral("catalogue.json")));

    vl::persistence::Transaction t(c);
    QHash<QString, std::shared_ptr<TVlMiseEnPage>> formats;
    const QJsonObject jf = catalogue.value(QStringLiteral("formats")).toObject();
    for (auto it = jf.begin(); it != jf.end(); ++it) {
        auto mep = Format(it.key(), it.value().toObject());
        formats.insert(it.key(), mep);
    }
    const QJsonArray paquets = catalogue.value(QStringLiteral("paquets")).toArray();
    for (int i = 0; i < paquets.size(); ++i) {
        const QJsonObject jp = paquets[i].toObject();
        auto paquet = std::make_shared<TVlPackage>();
        paquet->SetNom(jp.value(QStringLiteral("Nom")).toString());
        paquet->SetOrdre(jp.value(QStringLiteral("Ordre")).toInt(i + 1));
        paquet->SetHasIcones(jp.value(QStringLiteral("HasIcones")).toBool());
        c.Stocker(*paquet);
        const QJsonArray codes = jp.value(QStringLiteral("formats")).toArray();
        for (int k = 0; k < codes.size(); ++k) {
            const QString code = codes[k].toString();
            auto mep = formats.value(code);
            if (!mep)
                throw Erreur(Tr("paquet « %1 » : format inconnu « %2 ».").arg(paquet->Nom(), code));
            if (!mep->EstStocke()) {
                mep->SetIcone(DessinerIcone(*mep));
                c.Stocker(*mep);
                ++bilan.formats;
            }
            auto contenu = std::make_shared<TVlContenuPackages>();
            contenu->SetPackage(paquet);
            contenu->SetFormat(mep);
            contenu->SetOrdre(k);
            c.Stocker(*contenu);
        }
        ++bilan.paquets;
    }

    const auto connexions = Connexions(dossier.filePath(QStringLiteral("connexions.json")), c);
    bilan.connexions = int(connexions.size());

    const QString fichierCompos = dossier.filePath(QStringLiteral("compositions.json"));
    if (QFileInfo::exists(fichierCompos)) {
        TDmIDE ide(c.shared_from_this());
        const QJsonArray compos = LireJson(fichierCompos).value(QStringLiteral("compositions")).toArray();
        for (const QJsonValue& v : compos) {
            const QJsonObject jc = v.toObject();
            const QString nom = jc.value(QStringLiteral("NomCompo")).toString();
            const QString ou = Tr("composition « %1 »").arg(nom);
            auto mep = formats.value(jc.value(QStringLiteral("format")).toString());
            if (!mep || !mep->EstStocke())
                throw Erreur(Tr("%1 : format absent du catalogue.").arg(ou));
            TCompositionOuverte o = ide.CreerComposition(mep);
            Affecter(*o.Composition, jc, {QStringLiteral("format"), QStringLiteral("faces"), QStringLiteral("connexion")}, ou);
            if (jc.contains(QStringLiteral("connexion"))) {
                const auto connexion = connexions.value(jc.value(QStringLiteral("connexion")).toString());
                if (!connexion)
                    throw Erreur(Tr("%1 : connexion inconnue « %2 ».").arg(ou, jc.value(QStringLiteral("connexion")).toString()));
                o.Composition->SetConnexion(connexion);
            }
            const QJsonArray faces = jc.value(QStringLiteral("faces")).toArray();
            for (int f = 0; f < faces.size() && f < int(o.Faces.size()); ++f) {
                for (const QJsonValue& je : faces[f].toArray()) {
                    const QJsonObject e = je.toObject();
                    auto feuille = ide.NouvelleFeuille(ClasseFeuille(e.value(QStringLiteral("classe")).toString(), ou), o.Composition);
                    Affecter(*feuille, e, {QStringLiteral("classe"), QStringLiteral("liaison")}, ou);
                    if (e.contains(QStringLiteral("liaison")))
                        Lier(ide, *feuille, e.value(QStringLiteral("liaison")).toObject(), connexions, ou);
                    feuille->SetFace(o.Faces[size_t(f)]);
                    o.Faces[size_t(f)]->ElementsFace.push_back(feuille);
                }
            }
            o.Composition->SetPersistant(true);
            c.Stocker(*o.Composition);
            ide.EnregistrerOrdre(o);
            ++bilan.compositions;
        }
    }
    t.Valider();
    return bilan;
}

TBilanConstruction ConstruireFichierBase(const QString& dossierDonnees, const QString& fichier,
                                         const QString& dossierModeles)
{
    EnregistrerClassesMetier();
    const QString provisoire = fichier + QStringLiteral(".construction");
    QFile::remove(provisoire);
    TBilanConstruction bilan;
    {
        auto c = vl::persistence::Connecteur::Ouvrir(provisoire, vl::persistence::Connecteur::Mode::Creer);
        try {
            bilan = ConstruireBase(dossierDonnees, *c);
            if (!dossierModeles.isEmpty()) {
                QStringList fichiers;
                const TImportGlabels importeur(dossierModeles);
                // A damaged file of the system collection is left out rather
                // than failing the whole build.
                for (const QString& f : QDir(dossierModeles).entryList({QStringLiteral("*-templates.xml")}, QDir::Files, QDir::Name)) {
                    const QString chemin = QDir(dossierModeles).filePath(f);
                    try {
                        importeur.Lire(chemin);
                        fichiers << chemin;
                    } catch (const Erreur& e) {
                        bilan.avertissements << e.Message();
                    }
                }
                const TBilanImport import = importeur.Importer(fichiers, *c);
                bilan.modelesImportes = import.importes;
                bilan.modelesIgnores = import.ignores;
            }
        } catch (...) {
            c->Fermer();
            QFile::remove(provisoire);
            throw;
        }
        c->Fermer();
    }
    QFile::remove(fichier);
    if (!QFile::rename(provisoire, fichier))
        throw Erreur(Tr("Impossible d'écrire « %1 ».").arg(fichier));
    return bilan;
}
