#pragma once
// Builds the personal database shipped with the program from its readable
// description (userdb.json of a folder, pictures beside it). Used by the
// build (vellumar-mkuserdb) and by tests to make their own copy.
#include <QString>

struct TBilanUserDb
{
    int categories = 0;
    int champs = 0;      // custom columns
    int articles = 0;
};

// Writes a new database file: built beside the target and renamed onto it
// only when complete. Raises EUserDb with a French message naming the file
// and the entry at fault.
TBilanUserDb ConstruireFichierUserDb(const QString& dossierDonnees, const QString& fichier);
