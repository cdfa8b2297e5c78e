#pragma once
// Builds a store from its readable description: the catalogue of sheet
// layouts (catalogue.json) and the supplied compositions (compositions.json)
// of a folder. Used by the build to make the store shipped with the program,
// and by tests to make their own.
#include "persistence/Connecteur.h"
#include <QString>
#include <memory>

struct TBilanConstruction
{
    int paquets = 0;
    int formats = 0;
    int compositions = 0;
};

// Reads the description in `dossierDonnees` and writes it into `connecteur`
// in one transaction. Throws vl::persistence::Erreur with a French message
// naming the file and the entry at fault.
TBilanConstruction ConstruireBase(const QString& dossierDonnees, vl::persistence::Connecteur& connecteur);

// Writes a new store file from the description: built beside the target and
// renamed onto it only when complete.
TBilanConstruction ConstruireFichierBase(const QString& dossierDonnees, const QString& fichier);
