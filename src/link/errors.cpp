#include "errors.h"

#include <climits>

namespace convert {

int toInt(const QString &text)
{
    const auto fail = [&text]() { return UserError(QStringLiteral("'%1' is not a valid integer value").arg(text)); };
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

} // namespace convert
