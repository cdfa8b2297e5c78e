// libFuzzer target for the data-source readers: the input becomes the file(s)
// of one source, which is then listed, opened and read through entirely.
// Built with -DVELLUMAR_FUZZ=ON (clang); FORMAT_FUZZ picks the reader.
#include "data/Dataset.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

void Ecrire(const QString& chemin, const char* donnees, size_t taille)
{
    QFile f(chemin);
    if (f.open(QIODevice::WriteOnly))
        f.write(donnees, qint64(taille));
}

void ToutLire(vl::data::Format format, const QString& base, const QString& table)
{
    try {
        for (const QString& t : table.isEmpty() ? vl::data::ListerTables(format, base) : QStringList{table}) {
            try {
                auto d = vl::data::Ouvrir(format, base, t);
                for (d->Premier(); !d->Fin(); d->Suivant())
                    for (int i = 0; i < d->NombreChamps(); ++i) {
                        (void)d->Texte(i);
                        (void)d->Blob(i);
                    }
            } catch (const vl::data::ErreurDonnees&) {
            }
        }
    } catch (const vl::data::ErreurDonnees&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille)
{
    static int argc = 1;
    static char nom[] = "fuzz";
    static char* argv[] = {nom, nullptr};
    static QCoreApplication app(argc, argv);
    QTemporaryDir dossier;
    const char* d = reinterpret_cast<const char*>(octets);
    // Two-file formats: the first two bytes say where the table ends and
    // its memo or blob file begins.
    [[maybe_unused]] size_t coupure = taille;
    if (taille >= 2) {
        coupure = std::min(taille - 2, size_t(octets[0]) << 8 | octets[1]);
        d += 2;
        taille -= 2;
    }
    const QString p = dossier.path() + QLatin1Char('/');
#if FORMAT_FUZZ == 0
    Ecrire(p + "t.dbf", d, coupure);
    Ecrire(p + "t.dbt", d + coupure, taille - coupure);
    Ecrire(p + "u.dbf", d, coupure);
    Ecrire(p + "u.fpt", d + coupure, taille - coupure);
    ToutLire(vl::data::Format::DBase, dossier.path(), QString());
#elif FORMAT_FUZZ == 1
    Ecrire(p + "t.db", d, coupure);
    Ecrire(p + "t.mb", d + coupure, taille - coupure);
    ToutLire(vl::data::Format::Paradox, dossier.path(), QString());
#elif FORMAT_FUZZ == 2
    Ecrire(p + "t.mdb", d, taille);
    ToutLire(vl::data::Format::Access, p + "t.mdb", QString());
#elif FORMAT_FUZZ == 3
    Ecrire(p + "t.xlsx", d, taille);
    ToutLire(vl::data::Format::Excel, p + "t.xlsx", QString());
#else
    Ecrire(p + "t.xls", d, taille);
    ToutLire(vl::data::Format::Excel, p + "t.xls", QString());
#endif
    return 0;
}
