// Build tool: turns the readable description of the shipped store into the
// store file the program opens.
#include "ConstructionBase.h"
#include "persistence/Erreur.h"
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage : vellumar-mkstore DOSSIER_DONNEES FICHIER_BASE\n");
        return 2;
    }
    try {
        const TBilanConstruction b = ConstruireFichierBase(args[1], args[2]);
        std::printf("%s : %d paquets, %d formats, %d compositions\n", qPrintable(args[2]), b.paquets, b.formats,
                    b.compositions);
    } catch (const vl::persistence::Erreur& e) {
        std::fprintf(stderr, "vellumar-mkstore : %s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
