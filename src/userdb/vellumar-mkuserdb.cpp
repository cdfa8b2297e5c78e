// Build tool: turns the readable description of the shipped personal
// database into the file the program opens (system/UserDb.dat).
#include "userdb/ConstructionUserDb.h"
#include "userdb/UserDb.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage : vellumar-mkuserdb DOSSIER_DONNEES FICHIER_BASE\n");
        return 2;
    }
    try {
        const TBilanUserDb b = ConstruireFichierUserDb(args[1], args[2]);
        std::printf("%s : %d catégories, %d champs personnalisés, %d articles\n", qPrintable(args[2]), b.categories,
                    b.champs, b.articles);
    } catch (const vl::data::ErreurDonnees& e) {
        std::fprintf(stderr, "vellumar-mkuserdb : %s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
