#include "settingregister.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/meterdetector.h"
#include "values/decimaltext.h"

#include <cmath>

bool SettingRegister::presentOn(const MeterIdentity &identity) const
{
    if (!absentWithOption.isEmpty() && identity.modelCode.contains(absentWithOption))
        return false;
    for (const QString &option : absentWithAnyOption) {
        if (identity.modelCode.contains(option))
            return false;
    }
    if (needsAnyOption.isEmpty())
        return true;
    for (const QString &option : needsAnyOption) {
        if (identity.modelCode.contains(option))
            return true;
    }
    return false;
}

namespace {

// Whole numbers are taken as the pages take a reply: without its first "."
// ("1.0000" is 10000), so a value saved as the meter sent it reads back.
QString wholeNumberText(const QString &value)
{
    return CommandExchange::removeFirstPoint(value);
}

} // namespace

std::optional<QString> SettingRegister::refusal(const QString &text) const
{
    const QString value = kind == Kind::Decimal || kind == Kind::Text ? text : wholeNumberText(text);
    switch (kind) {
    case Kind::Code:
        if (value.size() != 3 || !value.at(0).isDigit() || !value.at(1).isDigit() || !value.at(2).isDigit())
            return QStringLiteral("'%1' is not a three-digit code").arg(value);
        return std::nullopt;
    case Kind::Integer:
    case Kind::Mask:
        try {
            int number = convert::toInt(value);
            if (signedWord && number < 0 && number >= -32768)
                number += 65536;
            if (number < minimum || number > maximum)
                return QStringLiteral("%1 is outside %2 to %3").arg(number).arg(minimum).arg(maximum);
        } catch (const UserError &e) {
            return e.message();
        }
        return std::nullopt;
    case Kind::Decimal:
        try {
            const float number = decimaltext::toSingle(value);
            // Checked as the page checks it: on the value as it would be sent.
            const float sent = decimaltext::toSingle(decimaltext::fixed(number, length));
            if (!std::isfinite(number) || sent <= float(minimum) || sent >= float(maximum))
                return QStringLiteral("%1 is not between %2 and %3").arg(value).arg(minimum).arg(maximum);
        } catch (const UserError &e) {
            return e.message();
        }
        return std::nullopt;
    case Kind::Text:
        if (value.size() > length)
            return QStringLiteral("'%1' is longer than %2 characters").arg(value).arg(length);
        if (value.contains(QLatin1Char('*')))
            return QStringLiteral("'%1' holds a \"*\", which ends a command").arg(value);
        return std::nullopt;
    }
    return std::nullopt;
}

QString SettingRegister::sent(const QString &text) const
{
    const QString value = kind == Kind::Decimal || kind == Kind::Text ? text : wholeNumberText(text);
    switch (kind) {
    case Kind::Code:
        return QString::number(convert::toInt(value)) + (trailingComma ? QStringLiteral(",") : QString());
    case Kind::Integer:
    case Kind::Mask: {
        const int number = convert::toInt(value);
        return QString::number(signedWord && number >= 32768 ? number - 65536 : number);
    }
    case Kind::Decimal:
        return decimaltext::fixed(decimaltext::toSingle(value), length);
    case Kind::Text:
        return padded ? value.leftJustified(length, QLatin1Char(' '), true) : value;
    }
    return value;
}

bool SettingRegister::sameValue(const QString &a, const QString &b) const
{
    if (a == b)
        return true;
    // A value the page would refuse is only the same as itself.
    if (refusal(a) || refusal(b))
        return false;
    return sent(a) == sent(b);
}
