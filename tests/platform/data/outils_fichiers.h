#pragma once
// Small file helpers shared by the data-source tests.
#include <QByteArray>
#include <QFile>
#include <QString>
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

} // namespace vltest::donnees
