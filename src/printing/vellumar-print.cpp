// Command-line access to the store shipped with the program: lists the
// sheet-layout catalogue and the compositions.
#include "model/ConnexionIO.h"
#include "model/DmIDE.h"
#include "model/Metier.h"
#include <QCoreApplication>
#include <QGuiApplication>
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

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args != QStringList{QStringLiteral("--list")}) {
        err << Tr("usage : vellumar-print --list") << '\n';
        return 2;
    }
    try {
        TDMConnexioIO base;
        TDmIDE ide(base.IOConnexion());
        Lister(ide, out);
    } catch (const vl::persistence::Erreur& e) {
        err << "vellumar-print : " << e.Message() << '\n';
        return 1;
    }
    return 0;
}
