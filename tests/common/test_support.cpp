#include "test_support.h"
#include <QDir>

namespace vltest {

RacineTemporaire::RacineTemporaire()
{
    m_avaitAncienne = qEnvironmentVariableIsSet("VELLUMAR_ROOT");
    m_ancienne = qgetenv("VELLUMAR_ROOT");
    QDir(m_dir.path()).mkpath("database");
    qputenv("VELLUMAR_ROOT", m_dir.path().toUtf8());
}

RacineTemporaire::~RacineTemporaire()
{
    if (m_avaitAncienne)
        qputenv("VELLUMAR_ROOT", m_ancienne);
    else
        qunsetenv("VELLUMAR_ROOT");
}

QString DossierSources() { return QStringLiteral(VELLUMAR_SOURCE_DIR); }
QString DossierFixtures() { return QStringLiteral(VELLUMAR_FIXTURES_DIR); }

} // namespace vltest
