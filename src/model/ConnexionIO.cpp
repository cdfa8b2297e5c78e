#include "ConnexionIO.h"
#include "Metier.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString TDMConnexioIO::RacineDepuisExecutable(const QString& cheminExecutable)
{
    // Both separators count, so that a Windows path gives the same answer here.
    QString dossier = QDir::fromNativeSeparators(cheminExecutable);
    dossier.replace(QLatin1Char('\\'), QLatin1Char('/'));
    dossier = dossier.left(dossier.lastIndexOf(QLatin1Char('/')));     // drop the file name and its slash
    return dossier.left(dossier.lastIndexOf(QLatin1Char('/')) + 1);    // cut after the last remaining slash
}

QString TDMConnexioIO::RacineInstallation()
{
    const QString env = qEnvironmentVariable("VELLUMAR_ROOT");
    if (!env.isEmpty()) {
        QString r = QDir::fromNativeSeparators(env);
        return r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/');
    }
    return RacineDepuisExecutable(QCoreApplication::applicationFilePath());
}

QString TDMConnexioIO::DossierBase() { return RacineInstallation() + QStringLiteral("database/"); }

TDMConnexioIO::TDMConnexioIO(const QString& dossier)
{
    EnregistrerClassesMetier();
    QString d = QDir::fromNativeSeparators(dossier);
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    m_connecteur = vl::persistence::Connecteur::Ouvrir(d + NomFichierBase());
}

TDMConnexioIO::~TDMConnexioIO()
{
    if (m_connecteur)
        m_connecteur->Fermer();
}
