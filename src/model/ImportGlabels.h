#pragma once
// Reads the template files of the gLabels collection (XML) and turns every
// template that a sheet layout can represent into a TVlMiseEnPage, grouped
// in one package per vendor.
#include "Metier.h"
#include "persistence/Connecteur.h"
#include <QHash>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One grid of labels of a template, in centimetres.
struct TGrilleGlabels
{
    int nx = 1, ny = 1;
    double x0 = 0, y0 = 0, dx = 0, dy = 0;
};

// A template as the file describes it, lengths converted to centimetres.
struct TModeleGlabels
{
    QString fichier;
    int ligne = 0;
    QString marque, reference, description, equivalent;
    QString papier;          // paper id ("A4", "US-Letter", "Other", ...)
    QSizeF taillePapier;     // from paper-sizes.xml or the template; empty when unknown
    QString forme;           // "Label-rectangle", "Label-round", "Label-ellipse", "Label-cd"
    double largeur = 0, hauteur = 0, arrondi = 0, rayon = 0, trou = 0;
    std::vector<TGrilleGlabels> grilles;
    QString erreur; // why the template cannot be read, when it cannot
};

struct TBilanImport
{
    int importes = 0;
    int ignores = 0;   // templates a sheet layout cannot represent
    int doublons = 0;  // already in the store
    QStringList raisons; // one line per ignored template
};

class TImportGlabels
{
public:
    // The folder holding paper-sizes.xml (the system collection by default).
    static QString DossierSysteme();
    explicit TImportGlabels(const QString& dossierPapiers = DossierSysteme());

    // A length such as "181.4", "63.5mm", "2.5in": centimetres (points by default).
    static double Longueur(const QString& texte, bool* ok = nullptr);

    // Parses one template file. Throws vl::persistence::Erreur naming the file
    // and the line when it is unreadable or malformed.
    std::vector<TModeleGlabels> Lire(const QString& fichier) const;
    // Resolves "equiv" templates against the others (same brand).
    static void ResoudreEquivalents(std::vector<TModeleGlabels>& modeles);
    // The layout, or nullptr with the reason when it cannot be represented.
    std::shared_ptr<TVlMiseEnPage> Convertir(const TModeleGlabels& m, QString* raison = nullptr) const;

    // Imports the templates of the files into the store, in one transaction:
    // every file is read before anything is written, so a malformed file
    // leaves the store as it was. Layouts already there are not duplicated.
    TBilanImport Importer(const QStringList& fichiers, vl::persistence::Connecteur& connecteur) const;

    // Vendor packages are ordered from this value on, after the packages
    // shipped with the program.
    static constexpr int kOrdrePremierFournisseur = 100;

private:
    QHash<QString, QSizeF> m_papiers;
};
