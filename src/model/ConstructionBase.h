#pragma once
// Builds a store from its readable description: the catalogue of sheet
// layouts (catalogue.json), the stored data connections (connexions.json)
// and the supplied compositions (compositions.json) of a folder. Used by the build to make the store shipped with the program,
// and by tests to make their own.
#include "persistence/Connecteur.h"
#include <QString>
#include <QStringList>
#include <memory>

struct TBilanConstruction
{
    int paquets = 0;
    int formats = 0;
    int compositions = 0;
    int connexions = 0;
    int modelesImportes = 0; // templates of the gLabels collection
    int modelesIgnores = 0;
    QStringList avertissements; // template files left out
};

// Reads the description in `dossierDonnees` and writes it into `connecteur`
// in one transaction. Throws vl::persistence::Erreur with a French message
// naming the file and the entry at fault.
TBilanConstruction ConstruireBase(const QString& dossierDonnees, vl::persistence::Connecteur& connecteur);

// Writes a new store file from the description: built beside the target and
// renamed onto it only when complete.
// With `dossierModeles`, the gLabels template files (*-templates.xml) of that
// folder are imported too, one package per vendor.
TBilanConstruction ConstruireFichierBase(const QString& dossierDonnees, const QString& fichier,
                                         const QString& dossierModeles = {});
