#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <array>

// The meter's real-time clock: seven registers of plain whole numbers,
// seconds (213) to the year's last two digits (219).
namespace meterclock {

// The joined read-back "month/day/year" as a date, month first whatever the
// desktop's settings. A year of one or two digits falls in the century of
// `today`; three or four digits are the year itself. Anything else throws
// UserError "'<joined text>' is not a valid date".
QDate dateFromMeter(const QString &month, const QString &day, const QString &year, const QDate &today);

// The joined read-back "hours:minutes:seconds" (24-hour) as a time of day;
// anything else throws UserError "'<joined text>' is not a valid time".
QTime timeFromMeter(const QString &hours, const QString &minutes, const QString &seconds);

struct RegisterValue
{
    int reg;
    int value;
};

// What setting the meter's clock writes, in order: seconds, minutes, hours,
// day of week (1 = Sunday .. 7 = Saturday), day, month, year modulo 100.
// Milliseconds are dropped.
std::array<RegisterValue, 7> clockWrites(const QDate &date, const QTime &time);

} // namespace meterclock
