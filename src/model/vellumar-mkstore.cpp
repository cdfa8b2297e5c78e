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
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage : vellumar-mkstore DOSSIER_DONNEES FICHIER_BASE [DOSSIER_MODELES_GLABELS]\n");
        return 2;
    }
    try {
        const QString modeles = args.size() == 4 ? args[3] : QString();
        const TBilanConstruction b = ConstruireFichierBase(args[1], args[2], modeles);
        std::printf("%s : %d paquets, %d formats, %d compositions\n", qPrintable(args[2]), b.paquets, b.formats,
                    b.compositions);
        for (const QString& a : b.avertissements)
            std::fprintf(stderr, "attention : %s\n", a.toLocal8Bit().constData());
        if (modeles.isEmpty())
            std::printf("Modèles gLabels absents (paquet glabels-data) : catalogue réduit aux paquets livrés.\n");
        else
            std::printf("Modèles gLabels : %d importés, %d ignorés (non représentables)\n", b.modelesImportes,
                        b.modelesIgnores);
    } catch (const vl::persistence::Erreur& e) {
        std::fprintf(stderr, "vellumar-mkstore : %s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
