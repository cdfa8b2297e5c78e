// Adds gLabels template files to the store's catalogue, and lists the catalogue.
//   vellumar-catalogue --import FICHIER...
//   vellumar-catalogue --list [MOTIF]
#include "ConnexionIO.h"
#include "DmIDE.h"
#include "ImportGlabels.h"
#include <QGuiApplication>
#include <QTextStream>

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("vellumar-catalogue", t); }

int Lister(TDmIDE& ide, const QString& motif, QTextStream& out)
{
    int n = 0;
    for (const auto& paquet : ide.Paquets().Liste) {
        bool titre = false;
        for (const auto& mep : ide.FormatsDuPaquet(*paquet)) {
            if (!motif.isEmpty() && !mep->Nom().contains(motif, Qt::CaseInsensitive))
                continue;
            if (!titre) {
                out << paquet->Nom() << '\n';
                titre = true;
            }
            out << "  " << mep->Nom() << '\n';
            if (!mep->Description().isEmpty())
                out << "      " << mep->Description() << '\n';
            ++n;
        }
    }
    out << QCoreApplication::translate("vellumar-catalogue", "%n mise(s) en page", nullptr, n) << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const bool importer = !args.isEmpty() && args[0] == QLatin1String("--import") && args.size() > 1;
    const bool lister = !args.isEmpty() && args[0] == QLatin1String("--list") && args.size() <= 2;
    if (!importer && !lister) {
        err << Tr("usage : vellumar-catalogue --import FICHIER... | --list [MOTIF]") << '\n';
        return 2;
    }
    try {
        TDMConnexioIO base;
        if (importer) {
            const TBilanImport b = TImportGlabels().Importer(args.mid(1), *base.IOConnexion());
            for (const QString& r : b.raisons)
                err << Tr("ignoré : %1").arg(r) << '\n';
            out << Tr("%1 mise(s) en page importée(s), %2 déjà présente(s), %3 ignorée(s).")
                       .arg(b.importes)
                       .arg(b.doublons)
                       .arg(b.ignores)
                << '\n';
            return 0;
        }
        TDmIDE ide(base.IOConnexion());
        return Lister(ide, args.value(1), out);
    } catch (const vl::persistence::Erreur& e) {
        err << "vellumar-catalogue : " << e.Message() << '\n';
        return 1;
    }
}
