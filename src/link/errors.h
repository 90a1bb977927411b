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
