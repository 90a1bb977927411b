#pragma once

#include <QString>
#include <stdexcept>

// A failure whose message is shown to the operator in the standard error box
// ("'12x' is not a valid integer value", "Range check error" ...).
class UserError : public std::runtime_error
{
public:
    explicit UserError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The meter's replies no longer match the commands: a line came that nobody
// asked for, or the flush before a command threw bytes away. Replies carry no
// register, so what the running operation read may belong to other commands.
// `incident` numbers the discovery, so that the operator hears of it once
// however many waiting exchanges it ends.
class RepliesOutOfStep : public UserError
{
public:
    explicit RepliesOutOfStep(quint64 incident)
        : UserError(QStringLiteral("The meter sent a reply nobody asked for, so its replies are out of step with "
                                   "the commands. What was just read is not trusted: read the page again.")),
          m_incident(incident)
    {}
    quint64 incident() const { return m_incident; }

private:
    quint64 m_incident;
};

// An exchange that lost its reply to a time-out and a new detection run, or
// that was cut short because the program is quitting. It ends the handler
// that waited for it without a further message.
class ExchangeAbandoned : public std::exception
{
public:
    const char *what() const noexcept override { return "exchange abandoned"; }
};

namespace convert {

// Whole number as the operator or the meter writes it: optional blanks in
// front, optional sign, decimal digits, 32-bit range.
int toInt(const QString &text);

} // namespace convert
