#pragma once
#include <QString>
#include <stdexcept>

namespace vl {

// An error of the report layer, carrying a French message for the user.
class ErreurRapport : public std::runtime_error
{
public:
    explicit ErreurRapport(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};

} // namespace vl
