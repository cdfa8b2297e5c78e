#pragma once
// Small file helpers shared by the data-source tests.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <clocale>
#include <stdexcept>

namespace vltest::donnees {

inline void Ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(octets) != octets.size())
        throw std::runtime_error("cannot write " + chemin.toStdString());
}

inline QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// Puts LC_NUMERIC in a locale whose decimal separator is a comma for the
// lifetime of the object, compiling one with localedef when none is installed.
class LocaleVirgule
{
public:
    LocaleVirgule()
    {
        for (const char* nom : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_NUMERIC, nom)) {
                m_active = true;
                return;
            }
        if (!m_dossier.isValid())
            return;
        const QString cible = m_dossier.filePath(QStringLiteral("fr_FR.UTF-8"));
        if (QProcess::execute(QStringLiteral("localedef"),
                              {QStringLiteral("-i"), QStringLiteral("fr_FR"), QStringLiteral("-f"),
                               QStringLiteral("UTF-8"), cible}) < 0)
            return;
        qputenv("LOCPATH", m_dossier.path().toLocal8Bit());
        m_active = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    }
    ~LocaleVirgule()
    {
        std::setlocale(LC_NUMERIC, "C");
        qunsetenv("LOCPATH");
    }
    bool Active() const { return m_active && std::localeconv()->decimal_point[0] == ','; }

private:
    QTemporaryDir m_dossier;
    bool m_active = false;
};

} // namespace vltest::donnees
