#pragma once
#include "persistence/Connecteur.h"
#include <QString>
#include <memory>

// Opens the document store when the program starts and closes it at the end.
// The store lives in database/ under the installation root: the folder above
// the executable's folder, or VELLUMAR_ROOT when that is set.
class TDMConnexioIO
{
public:
    static QString NomFichierBase() { return QStringLiteral("vellumar.db"); }
    // The folder above the executable's folder: /a/b/bin/vellumar gives /a/b/.
    static QString RacineDepuisExecutable(const QString& cheminExecutable);
    static QString RacineInstallation();
    // <root>/database/
    static QString DossierBase();

    // Opens the store of `dossier` (DossierBase() by default); throws
    // vl::persistence::Erreur naming the folder when it cannot be opened.
    explicit TDMConnexioIO(const QString& dossier = DossierBase());
    ~TDMConnexioIO();
    TDMConnexioIO(const TDMConnexioIO&) = delete;
    TDMConnexioIO& operator=(const TDMConnexioIO&) = delete;

    const std::shared_ptr<vl::persistence::Connecteur>& IOConnexion() const { return m_connecteur; }

private:
    std::shared_ptr<vl::persistence::Connecteur> m_connecteur;
};
