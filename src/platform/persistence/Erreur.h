#pragma once
#include <QString>
#include <stdexcept>

namespace vl::persistence {

// Failure of the object store: the message is French and meant for the user.
class Erreur : public std::runtime_error
{
public:
    explicit Erreur(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};

} // namespace vl::persistence
