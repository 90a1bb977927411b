#include "errors.h"

#include <QLocale>

#include <climits>
#include <cmath>

namespace convert {

int toInt(const QString &text)
{
    const auto fail = [&text]() {
        return UserError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    };
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        throw fail();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw fail();
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(INT_MAX) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        throw fail();
    return int(value);
}

double toFloat(const QString &text)
{
    const auto fail = [&text]() {
        return UserError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    };
    const QString trimmed = text.trimmed();
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+')))
        ++i;
    int digits = 0;
    for (; i < trimmed.size() && isDigit(trimmed.at(i)); ++i)
        ++digits;
    if (i < trimmed.size() && trimmed.at(i) == QLatin1Char('.')) {
        for (++i; i < trimmed.size() && isDigit(trimmed.at(i)); ++i)
            ++digits;
    }
    if (digits == 0)
        throw fail();
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('e') || trimmed.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+')))
            ++i;
        int exponentDigits = 0;
        for (; i < trimmed.size() && isDigit(trimmed.at(i)); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            throw fail();
    }
    if (i != trimmed.size())
        throw fail();
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    // Out-of-range exponents give no finite number.
    if (!ok || !std::isfinite(value))
        throw fail();
    return value;
}

} // namespace convert
