#include "meterclockmodel.h"

#include "meterclock.h"

#include "link/commandexchange.h"
#include "link/registers.h"

#include <QDateTime>

namespace {

constexpr int SecondsRegister = 213;
constexpr int MinutesRegister = 214;
constexpr int HoursRegister = 215;
constexpr int DayRegister = 217;
constexpr int MonthRegister = 218;
constexpr int YearRegister = 219;

} // namespace

MeterClockModel::MeterClockModel(CommandExchange *exchange, QObject *parent) : QObject(parent), m_exchange(exchange) {}

void MeterClockModel::setDate(const QDate &date)
{
    if (date == m_date)
        return;
    m_date = date;
    emit changed();
}

void MeterClockModel::setTime(const QTime &time)
{
    if (time == m_time)
        return;
    m_time = time;
    emit changed();
}

void MeterClockModel::showComputerTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_date = now.date();
    m_time = now.time();
    emit changed();
}

void MeterClockModel::readMeterTime()
{
    const QString month = m_exchange->comms(readCommand(MonthRegister)).value;
    const QString day = m_exchange->comms(readCommand(DayRegister)).value;
    const QString year = m_exchange->comms(readCommand(YearRegister)).value;
    setDate(meterclock::dateFromMeter(month, day, year, QDate::currentDate()));

    const QString seconds = m_exchange->comms(readCommand(SecondsRegister)).value;
    const QString minutes = m_exchange->comms(readCommand(MinutesRegister)).value;
    const QString hours = m_exchange->comms(readCommand(HoursRegister)).value;
    setTime(meterclock::timeFromMeter(hours, minutes, seconds));
}

void MeterClockModel::setMeterTime()
{
    for (const meterclock::RegisterValue &write : meterclock::clockWrites(m_date, m_time))
        m_exchange->comms(writeCommand(write.reg, qint64(write.value)));
}
