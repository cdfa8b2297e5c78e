// vellumar-data: opens a data file the way the connection controller does
// and prints its fields (name, display name, type) and records as
// tab-separated text.
//
//   vellumar-data FILE [--kind KIND] [--table NAME] [--limit N] [--tables]
//   vellumar-data --kind User [FILE] [--limit N]   (the personal database,
//                 system/UserDb.dat by default)
#include "connections/Connexions.h"
#include "data/AsciiDelimite.h"
#include "model/Metier.h"
#include "userdb/UserDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString tr(const char* texte)
{
    return QCoreApplication::translate("vellumar-data", texte);
}

void Ecrire(FILE* f, const QString& texte)
{
    const QByteArray o = texte.toUtf8();
    std::fwrite(o.constData(), 1, size_t(o.size()), f);
    std::fputc('\n', f);
}

int Echec(const QString& message, int code = 2)
{
    Ecrire(stderr, message);
    return code;
}

QString Usage()
{
    return tr("Usage : vellumar-data FICHIER [--kind TYPE] [--table NOM] [--limit N] [--tables]\n"
              "        vellumar-data --kind User [FICHIER] [--limit N]");
}

// Short names accepted beside the strategy names themselves.
const QList<QPair<QString, QString>> kAbreviations = {
    {QStringLiteral("ascii"), QStringLiteral("Ascii délimité points virgules")},
    {QStringLiteral("ascii-guillemets"), QStringLiteral("Ascii délimité points virgules guillemets")},
    {QStringLiteral("tabulations"), QStringLiteral("Ascii délimité tabulations")},
    {QStringLiteral("dbase"), QStringLiteral("DBase")},
    {QStringLiteral("paradox"), QStringLiteral("Paradox")},
    {QStringLiteral("access"), QStringLiteral("Access")},
    {QStringLiteral("excel"), QStringLiteral("Excel")},
};

QString TypeDevine(const QString& fichier)
{
    const QString ext = QFileInfo(fichier).suffix().toLower();
    if (ext == QLatin1String("dbf"))
        return QStringLiteral("DBase");
    if (ext == QLatin1String("db"))
        return QStringLiteral("Paradox");
    if (ext == QLatin1String("mdb") || ext == QLatin1String("accdb"))
        return QStringLiteral("Access");
    if (ext == QLatin1String("xls") || ext == QLatin1String("xlsx"))
        return QStringLiteral("Excel");
    if (ext == QLatin1String("txt") || ext == QLatin1String("csv") || ext == QLatin1String("tab")) {
        const QString ligne = vl::data::PremiereLigneAscii(fichier);
        if (ligne.contains(QLatin1Char('\t')))
            return QStringLiteral("Ascii délimité tabulations");
        if (ligne.contains(QStringLiteral(";\"")))
            return QStringLiteral("Ascii délimité points virgules guillemets");
        return QStringLiteral("Ascii délimité points virgules");
    }
    return QString();
}

QString Propre(QString v)
{
    v.replace(QLatin1Char('\t'), QLatin1Char(' '));
    v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    v.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return v;
}

// Fields (name, display name, type), then the records as tab-separated text.
void Imprimer(TControleurConnexion& controleur, int limite)
{
    vl::data::Dataset& d = controleur.Donnees();
    Ecrire(stdout, tr("# champs"));
    for (const auto& c : d.Champs())
        Ecrire(stdout, c.nom + QLatin1Char('\t') + controleur.NomAffiche(c.nom) + QLatin1Char('\t')
                           + vl::data::NomType(c.type));
    Ecrire(stdout, tr("# enregistrements : %1").arg(d.NombreEnregistrements()));
    Ecrire(stdout, d.NomsChamps().join(QLatin1Char('\t')));
    int n = 0;
    for (controleur.Premier(); !controleur.Fin() && (limite < 0 || n < limite); controleur.Suivant(), ++n) {
        QStringList valeurs;
        for (const auto& c : d.Champs())
            valeurs << (vl::data::EstTypeBlob(c.type) && !vl::data::EstTypeMemo(c.type)
                            ? QString()
                            : Propre(controleur.Valeur(c.nom, false)));
        Ecrire(stdout, valeurs.join(QLatin1Char('\t')));
    }
}

// The personal database through the "User" connection, as a program opens it.
// Runs the work of the program; a failure of the data or store layers
// becomes its French message and exit code 1.
template <class F>
int Proteger(F travail)
{
    try {
        return travail();
    } catch (const vl::data::ErreurDonnees& e) {
        return Echec(e.Message(), 1);
    } catch (const vl::persistence::Erreur& e) {
        return Echec(e.Message(), 1);
    } catch (const std::exception& e) {
        return Echec(QString::fromUtf8(e.what()), 1);
    }
}

int BasePersonnelle(const QString& fichier, int limite)
{
    EnregistrerClassesMetier();
    QTemporaryDir dossier;
    auto connecteur = vl::persistence::Connecteur::Ouvrir(dossier.filePath(QStringLiteral("store.db")),
                                                          vl::persistence::Connecteur::Mode::Creer);
    TdmUserDb base(fichier.isEmpty() ? TdmUserDb::CheminParDefaut() : QFileInfo(fichier).absoluteFilePath());
    TBasePersonnelle::Enregistrer(&base);
    TControleurConnexion controleur(connecteur);
    auto connexion = connecteur->Nouveau<TVlConnexion>();
    connexion->SetNomConnexion(tr("Base de données personnelle"));
    connexion->SetNomStrategie(QStringLiteral("User"));
    connexion->SetSystem(true);
    controleur.Ouvrir(connexion, false);
    Imprimer(controleur, limite);
    controleur.Fermer();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString fichier, genre, table;
    int limite = -1;
    bool tables = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto suivant = [&](QString& v) {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        if (a == QLatin1String("--kind")) {
            if (!suivant(genre))
                return Echec(Usage());
        } else if (a == QLatin1String("--table")) {
            if (!suivant(table))
                return Echec(Usage());
        } else if (a == QLatin1String("--limit")) {
            QString v;
            bool ok = false;
            if (!suivant(v) || (limite = v.toInt(&ok), !ok) || limite < 0)
                return Echec(tr("--limit attend un nombre entier positif"));
        } else if (a == QLatin1String("--tables")) {
            tables = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            Ecrire(stdout, Usage());
            return 0;
        } else if (a.startsWith(QLatin1String("--")) || !fichier.isEmpty()) {
            return Echec(tr("Argument inconnu : %1").arg(a) + QLatin1Char('\n') + Usage());
        } else {
            fichier = a;
        }
    }
    const bool personnelle = genre.compare(QLatin1String("User"), Qt::CaseInsensitive) == 0;
    if (fichier.isEmpty() && !personnelle)
        return Echec(Usage());
    if (personnelle) {
        if (tables || !table.isEmpty())
            return Echec(tr("--tables et --table ne s'appliquent pas à la base de données personnelle"));
        return Proteger([&] { return BasePersonnelle(fichier, limite); });
    }
    const QFileInfo info(fichier);
    if (!info.isFile())
        return Echec(tr("Le fichier %1 n'existe pas").arg(fichier));

    return Proteger([&]() -> int {
        EnregistrerClassesMetier();
        QTemporaryDir dossier;
        auto connecteur = vl::persistence::Connecteur::Ouvrir(dossier.filePath(QStringLiteral("store.db")),
                                                              vl::persistence::Connecteur::Mode::Creer);
        TControleurConnexion controleur(connecteur);

        QString strategie;
        if (genre.isEmpty()) {
            strategie = TypeDevine(info.absoluteFilePath());
            if (strategie.isEmpty())
                return Echec(tr("Type de fichier non reconnu : %1 (précisez --kind)").arg(fichier));
        } else {
            for (const auto& ab : kAbreviations)
                if (genre.compare(ab.first, Qt::CaseInsensitive) == 0)
                    strategie = ab.second;
            if (strategie.isEmpty() && controleur.StrategieNommee(genre))
                strategie = genre;
            if (strategie.isEmpty()) {
                QStringList possibles;
                for (const auto& ab : kAbreviations)
                    possibles << ab.first;
                possibles << QStringLiteral("User");
                return Echec(tr("Type inconnu : %1 (types possibles : %2)").arg(genre, possibles.join(QStringLiteral(", "))));
            }
        }

        std::shared_ptr<TVlConnexion> connexion;
        const bool ado = strategie == QLatin1String("Access") || strategie == QLatin1String("Excel");
        QStringList listeTables;
        if (ado) {
            const auto format = strategie == QLatin1String("Access") ? vl::data::Format::Access : vl::data::Format::Excel;
            listeTables = vl::data::ListerTables(format, info.absoluteFilePath());
            auto c = connecteur->Nouveau<TVlADOConnexion>();
            c->SetNomBd(info.absoluteFilePath());
            if (table.isEmpty() && !listeTables.isEmpty())
                table = listeTables.first();
            c->SetNomTable(table);
            connexion = c;
        } else {
            listeTables << info.fileName();
            auto c = connecteur->Nouveau<TVlBDEConnexion>();
            c->SetNomBd(info.absolutePath() + QLatin1Char('/'));
            c->SetNomTable(info.fileName());
            connexion = c;
            if (!table.isEmpty() && table != info.fileName() && table != info.completeBaseName())
                return Echec(tr("La table %1 n'existe pas dans %2").arg(table, fichier));
        }
        if (tables) {
            for (const QString& t : listeTables)
                Ecrire(stdout, t);
            return 0;
        }
        if (ado && !listeTables.contains(table, Qt::CaseInsensitive))
            return Echec(tr("La table %1 n'existe pas dans %2").arg(table, fichier));
        connexion->SetNomConnexion(info.fileName());
        connexion->SetNomStrategie(strategie);
        controleur.Ouvrir(connexion, false);

        Imprimer(controleur, limite);
        return 0;
    });
}
