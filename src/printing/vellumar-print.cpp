// Command-line access to the store shipped with the program: lists the
// sheet-layout catalogue and the compositions, and prints a composition to a
// PDF file, to PNG pages of its preview or to a printer.
#include "connections/ConnexionFeuilleManager.h"
#include "connections/Connexions.h"
#include "connections/SourceImpression.h"
#include "model/ConnexionIO.h"
#include "userdb/UserDb.h"
#include "model/DmIDE.h"
#include "model/Metier.h"
#include "printing/PrintControleur.h"
#include "report/ErreurRapport.h"
#include "report/SystemeRapport.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinterInfo>
#include <QTextStream>
#include <cstdio>

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("vellumar-print", t); }

void Lister(TDmIDE& ide, QTextStream& out)
{
    out << Tr("Catalogue des mises en page") << '\n';
    for (const auto& paquet : ide.Paquets().Liste) {
        out << "  " << paquet->Nom() << (paquet->HasIcones() ? Tr(" (icônes)") : QString()) << '\n';
        for (const auto& mep : ide.FormatsDuPaquet(*paquet))
            out << "    - " << mep->Nom() << Tr(" : %1 étiquettes de %2 × %3 cm%4")
                                               .arg(mep->EtiquettesParFeuille())
                                               .arg(mep->Largeur(), 0, 'g', 4)
                                               .arg(mep->Hauteur(), 0, 'g', 4)
                                               .arg(mep->RectoVerso() ? Tr(", recto verso") : QString())
                << '\n';
    }
    out << '\n' << Tr("Compositions") << '\n';
    for (const auto& c : ide.Compositions()) {
        const auto mep = c->MiseEnPage();
        out << "  " << c->NomCompo() << (c->EstFournie() ? Tr(" [fournie]") : QString()) << " — "
            << (mep ? mep->Nom() : Tr("sans mise en page")) << '\n';
    }
}

QString Usage()
{
    return Tr("usage : vellumar-print --list\n"
              "        vellumar-print [options] COMPOSITION\n"
              "        vellumar-print [destination] --test-sheet MISE_EN_PAGE\n"
              "destination : --pdf FICHIER | --preview DOSSIER | --printer NOM (imprimante par défaut sinon)\n"
              "options : --labels N (sans connexion), --face recto|verso, --duplex,\n"
              "          --connection NOM (une autre connexion aux mêmes champs que celle de la composition)");
}

// A French message for the user and the exit code that goes with it.
struct Echec
{
    QString message;
    int code = 1;
};

std::shared_ptr<TVlMiseEnPage> ChercherMiseEnPage(TDmIDE& ide, const QString& nom)
{
    for (const auto& paquet : ide.Paquets().Liste)
        for (const auto& mep : ide.FormatsDuPaquet(*paquet))
            if (mep->Nom() == nom)
                return mep;
    return nullptr;
}

void VerifierFichier(const QString& chemin)
{
    const QFileInfo info(chemin);
    if (info.isDir())
        throw Echec{Tr("%1 est un dossier, pas un fichier").arg(chemin)};
    const QFileInfo dossier(info.absolutePath());
    if (!dossier.isDir() || !dossier.isWritable() || (info.exists() && !info.isWritable()))
        throw Echec{Tr("Impossible d'écrire le fichier %1").arg(chemin)};
}

// The data side of a run over a bound composition: the connection opened,
// the binding manager and the record source the print run walks.
struct TTirageDonnees
{
    // The personal database, opened only for a run over the "User"
    // connection; declared first so that it outlives the controller sharing it.
    std::unique_ptr<TdmUserDb> BasePersonnelle;
    std::unique_ptr<TControleurConnexion> Connexions;
    std::unique_ptr<TConnexionFeuilleManager> Liaisons;
    std::unique_ptr<TSourceConnexionImpression> Source;
};

// The fields the composition's bound leaves read, in leaf order.
QStringList ChampsLies(const TCompositionOuverte& ouverte)
{
    QStringList champs;
    for (const auto& face : ouverte.Faces)
        for (const auto& feuille : face->ElementsFace) {
            const auto liaison = feuille->Connexion();
            if (!liaison)
                continue;
            for (int i = 0; i < liaison->ElementsCount(); ++i)
                if (liaison->Elements(i)->EstChamp() && !champs.contains(liaison->Elements(i)->Valeur()))
                    champs << liaison->Elements(i)->Valeur();
        }
    return champs;
}

bool CompositionLiee(const TCompositionOuverte& ouverte)
{
    if (ouverte.Composition->Connexion())
        return true;
    for (const auto& face : ouverte.Faces)
        for (const auto& feuille : face->ElementsFace)
            if (feuille->EstLiee())
                return true;
    return false;
}

// Opens the composition's connection (or the one named), checks that it
// holds every field the labels read and prepares the record source.
TTirageDonnees OuvrirDonnees(TDMConnexioIO& base, TDmIDE& ide, const TCompositionOuverte& ouverte,
                             const QString& nomConnexion, QTextStream& err)
{
    TTirageDonnees d;
    d.Connexions = std::make_unique<TControleurConnexion>(base.IOConnexion(), nullptr, &ide);
    std::shared_ptr<TVlConnexion> connexion = ouverte.Composition->Connexion();
    if (!nomConnexion.isEmpty()) {
        if (!d.Connexions->SelectionnerParNom(nomConnexion))
            throw Echec{Tr("Connexion inconnue : %1").arg(nomConnexion)};
        connexion = d.Connexions->ConnexionSelectionnee();
    }
    if (!connexion)
        throw Echec{Tr("La composition %1 a des éléments liés mais aucune connexion ; indiquez-en une avec --connection")
                        .arg(ouverte.Composition->NomCompo())};
    if (connexion->NomStrategie() == QLatin1String("User")) {
        d.BasePersonnelle = std::make_unique<TdmUserDb>();
        TBasePersonnelle::Enregistrer(d.BasePersonnelle.get());
    }
    d.Connexions->Ouvrir(connexion, false);
    // A warning the data window would show (a counter column that is not
    // made of integers): the run goes on, as it does there.
    if (!d.Connexions->Fenetres().DerniereErreur.isEmpty())
        err << Tr("Attention : %1").arg(d.Connexions->Fenetres().DerniereErreur) << '\n';
    QStringList absents;
    for (const QString& champ : ChampsLies(ouverte))
        if (d.Connexions->Donnees().IndexChamp(champ) < 0)
            absents << champ;
    if (!absents.isEmpty())
        throw Echec{Tr("La connexion %1 n'a pas le champ %2 que la composition imprime")
                        .arg(connexion->NomConnexion(), absents.join(QStringLiteral(", ")))};
    d.Liaisons = std::make_unique<TConnexionFeuilleManager>(*d.Connexions);
    d.Source = std::make_unique<TSourceConnexionImpression>(*d.Connexions, *d.Liaisons);
    return d;
}

int Executer(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args == QStringList{QStringLiteral("--list")}) {
        TDMConnexioIO base;
        TDmIDE ide(base.IOConnexion());
        Lister(ide, out);
        return 0;
    }
    QString pdf, apercu, imprimante, composition, feuilleTest, nomConnexion;
    int etiquettes = -1;   // -1: not given
    int face = 0;
    bool duplex = false, avecImprimante = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto valeur = [&]() -> QString {
            if (i + 1 >= args.size())
                throw Echec{Tr("L'option %1 attend une valeur").arg(a) + '\n' + Usage(), 2};
            return args[++i];
        };
        if (a == QLatin1String("--pdf"))
            pdf = valeur();
        else if (a == QLatin1String("--preview"))
            apercu = valeur();
        else if (a == QLatin1String("--printer")) {
            imprimante = valeur();
            avecImprimante = true;
        } else if (a == QLatin1String("--labels")) {
            bool ok = false;
            const int n = valeur().toInt(&ok);
            if (!ok || n < 0)
                throw Echec{Tr("Nombre d'étiquettes invalide : %1").arg(args[i]), 2};
            etiquettes = n;
        } else if (a == QLatin1String("--face")) {
            const QString f = valeur();
            if (f == QLatin1String("recto"))
                face = 0;
            else if (f == QLatin1String("verso"))
                face = 1;
            else
                throw Echec{Tr("Face inconnue : %1 (recto ou verso)").arg(f), 2};
        } else if (a == QLatin1String("--duplex"))
            duplex = true;
        else if (a == QLatin1String("--connection"))
            nomConnexion = valeur();
        else if (a == QLatin1String("--test-sheet"))
            feuilleTest = valeur();
        else if (a.startsWith(QLatin1String("--")))
            throw Echec{Tr("Option inconnue : %1").arg(a) + '\n' + Usage(), 2};
        else if (composition.isEmpty())
            composition = a;
        else
            throw Echec{Tr("Une seule composition à la fois : %1").arg(a) + '\n' + Usage(), 2};
    }
    if (composition.isEmpty() == feuilleTest.isEmpty())
        throw Echec{Usage(), 2};
    if (int(!pdf.isEmpty()) + int(!apercu.isEmpty()) + int(avecImprimante) > 1)
        throw Echec{Tr("Une seule destination à la fois : --pdf, --preview ou --printer"), 2};

    TDMConnexioIO base;
    TDmIDE ide(base.IOConnexion());
    vl::SystemeRapport systeme;
    systeme.SetTitreDocument(composition.isEmpty() ? feuilleTest : composition);

    const bool versImprimante = pdf.isEmpty() && apercu.isEmpty();
    if (versImprimante) {
        if (!imprimante.isEmpty() && QPrinterInfo::printerInfo(imprimante).isNull()) {
            const QStringList noms = QPrinterInfo::availablePrinterNames();
            throw Echec{Tr("Imprimante inconnue : %1 (%2)")
                            .arg(imprimante, noms.isEmpty() ? Tr("aucune imprimante n'est installée")
                                                            : Tr("imprimantes installées : %1").arg(noms.join(QStringLiteral(", "))))};
        }
        if (!vl::SystemeRapport::ImprimanteInstallee())
            throw Echec{Tr("Aucune imprimante n'est installée")};
        systeme.Imprimante().imprimante = imprimante;
    }
    QString fichier;
    if (!pdf.isEmpty()) {
        fichier = TPrintControleur::NomFichierSortie(pdf);
        VerifierFichier(fichier);
    }
    if (!apercu.isEmpty() && !QDir().mkpath(apercu))
        throw Echec{Tr("Impossible de créer le dossier %1").arg(apercu)};

    TCompositionOuverte ouverte;
    if (!feuilleTest.isEmpty()) {
        const auto mep = ChercherMiseEnPage(ide, feuilleTest);
        if (!mep)
            throw Echec{Tr("Mise en page inconnue : %1").arg(feuilleTest)};
        ouverte = ide.CreerComposition(mep);
    } else {
        const auto c = ide.ChercherComposition(composition);
        if (!c)
            throw Echec{Tr("Composition inconnue : %1").arg(composition)};
        ouverte = ide.Ouvrir(c);
        if (!ouverte.Composition->MiseEnPage())
            throw Echec{Tr("La composition %1 n'a pas de mise en page").arg(composition)};
    }

    TTirageDonnees donnees;
    if (!feuilleTest.isEmpty() && !nomConnexion.isEmpty())
        throw Echec{Tr("--connection est sans objet pour une feuille de test"), 2};
    if (feuilleTest.isEmpty() && (CompositionLiee(ouverte) || !nomConnexion.isEmpty())) {
        donnees = OuvrirDonnees(base, ide, ouverte, nomConnexion, err);
        if (etiquettes >= 0)
            err << Tr("--labels est sans effet sur une composition liée : une série d'étiquettes par enregistrement") << '\n';
        etiquettes = -1;
    }

    TPrintControleur controleur(ide, systeme);
    controleur.SetComposition(&ouverte);
    controleur.SetSource(donnees.Source.get());
    if (face == 1) {
        if (!controleur.RectoVerso())
            throw Echec{Tr("La composition %1 n'a pas de verso").arg(composition)};
        controleur.SetFaceSelectionnee(1);
    }
    controleur.PreparerImprimante();
    controleur.SetProgression([&err](int n) { err << Tr("feuille %1").arg(n) << '\n' << Qt::flush; });

    bool ok = false;
    if (!feuilleTest.isEmpty()) {
        if (!fichier.isEmpty())
            systeme.SetFichierSortie(fichier);
        ok = controleur.ImprimerFeuilleTest(versImprimante ? vl::rdPrinter : !fichier.isEmpty() ? vl::rdFile : vl::rdPreview);
    } else if (!fichier.isEmpty()) {
        TOptionsImpression options;
        options.Fichier = fichier;
        options.Etiquettes = etiquettes;
        ok = controleur.ImprimerFichier(options);
    } else if (!apercu.isEmpty()) {
        if (etiquettes >= 0)
            err << Tr("--labels est sans effet sur l'aperçu") << '\n';
        ok = controleur.Previsualiser();
    } else {
        TOptionsImpression options;
        options.Imprimante = imprimante;
        options.Duplex = duplex;
        options.Etiquettes = etiquettes;
        ok = controleur.Imprimer(options);
    }
    if (!ok)
        throw Echec{Tr("Impression interrompue")};

    if (!apercu.isEmpty()) {
        const auto& pages = systeme.PagesDernierApercu();
        for (int i = 1; i <= pages.Nombre(); ++i) {
            const QString chemin = QDir(apercu).filePath(QStringLiteral("page-%1.png").arg(i));
            if (!pages.EnregistrerPng(i, chemin))
                throw Echec{Tr("Impossible d'écrire le fichier %1").arg(chemin)};
            out << chemin << '\n';
        }
    } else if (!fichier.isEmpty()) {
        out << QFileInfo(fichier).absoluteFilePath() << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        return Executer(app.arguments().mid(1), out, err);
    } catch (const Echec& e) {
        err << "vellumar-print : " << e.message << '\n';
        return e.code;
    } catch (const vl::persistence::Erreur& e) {
        err << "vellumar-print : " << e.Message() << '\n';
    } catch (const vl::data::ErreurDonnees& e) {
        err << "vellumar-print : " << e.Message() << '\n';
    } catch (const vl::ErreurRapport& e) {
        err << "vellumar-print : " << e.Message() << '\n';
    } catch (const std::exception& e) {
        err << "vellumar-print : " << QString::fromLocal8Bit(e.what()) << '\n';
    }
    return 1;
}
