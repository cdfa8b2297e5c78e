#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace vltest {

// A temporary installation root: VELLUMAR_ROOT points at it while the object
// lives, with an empty database/ folder ready for a store.
class RacineTemporaire
{
public:
    RacineTemporaire();
    ~RacineTemporaire();
    QString Chemin() const { return m_dir.path(); }
    QString DossierBase() const { return m_dir.path() + "/database/"; }

private:
    QTemporaryDir m_dir;
    QByteArray m_ancienne;
    bool m_avaitAncienne = false;
};

QString DossierSources();
QString DossierFixtures();

} // namespace vltest
