#include "meterclock.h"

#include "link/errors.h"

#include <QStringList>

namespace meterclock {

namespace {

constexpr int FirstRegister = 213;

// Splits "a<sep>b<sep>c" into three whole numbers of one to four digits,
// blanks allowed around each; `digits` gets how many digits each had.
bool scanThree(const QString &text, QChar separator, std::array<int, 3> *numbers, std::array<int, 3> *digits)
{
    const QStringList parts = text.split(separator);
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        const QString part = parts.at(i).trimmed();
        if (part.isEmpty() || part.size() > 4)
            return false;
        int value = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            value = value * 10 + (c.unicode() - '0');
        }
        (*numbers)[i] = value;
        (*digits)[i] = int(part.size());
    }
    return true;
}

} // namespace

QDate dateFromMeter(const QString &month, const QString &day, const QString &year, const QDate &today)
{
    const QString joined = month + QLatin1Char('/') + day + QLatin1Char('/') + year;
    std::array<int, 3> numbers{};
    std::array<int, 3> digits{};
    QDate date;
    if (scanThree(joined, QLatin1Char('/'), &numbers, &digits)) {
        int fullYear = numbers[2];
        if (digits[2] <= 2)
            fullYear += today.year() - today.year() % 100;
        date = QDate(fullYear, numbers[0], numbers[1]);
    }
    // Qt has no year 0, so "0000" fails here as it should.
    if (!date.isValid())
        throw UserError(QStringLiteral("'%1' is not a valid date").arg(joined));
    return date;
}

QTime timeFromMeter(const QString &hours, const QString &minutes, const QString &seconds)
{
    const QString joined = hours + QLatin1Char(':') + minutes + QLatin1Char(':') + seconds;
    std::array<int, 3> numbers{};
    std::array<int, 3> digits{};
    QTime time;
    if (scanThree(joined, QLatin1Char(':'), &numbers, &digits))
        time = QTime(numbers[0], numbers[1], numbers[2]);
    if (!time.isValid())
        throw UserError(QStringLiteral("'%1' is not a valid time").arg(joined));
    return time;
}

std::array<RegisterValue, 7> clockWrites(const QDate &date, const QTime &time)
{
    // Qt counts Monday as 1 and Sunday as 7; the meter counts from Sunday.
    const int dayOfWeek = date.dayOfWeek() % 7 + 1;
    const int values[7] = {time.second(), time.minute(), time.hour(),      dayOfWeek,
                           date.day(),    date.month(),  date.year() % 100};
    std::array<RegisterValue, 7> writes{};
    for (int i = 0; i < 7; ++i)
        writes[i] = {FirstRegister + i, values[i]};
    return writes;
}

} // namespace meterclock
