#include "meterclockpanel.h"

#include "meterclock.h"

#include "link/commandexchange.h"
#include "link/registers.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>

namespace {

constexpr int SecondsRegister = 213;
constexpr int MinutesRegister = 214;
constexpr int HoursRegister = 215;
constexpr int DayRegister = 217;
constexpr int MonthRegister = 218;
constexpr int YearRegister = 219;

struct Button
{
    const char *caption;
    const char *name;
    const char *accessibleName;
    const char *hint;
    void (MeterClockPanel::*handler)();
    bool talksToMeter;
};

const Button Buttons[] = {
    {"Computer Time", "ComputerTimeButton", "Computer time", "Clock setting of computer",
     &MeterClockPanel::showComputerTime, false},
    {"Meter Time ", "MeterTimeButton", "Meter time", "Clock setting of meter", &MeterClockPanel::readMeterTime, true},
    {"Set Meter Time", "SetMeterTimeButton", "Set meter time", "Set meter to time shown above",
     &MeterClockPanel::setMeterTime, true},
};

} // namespace

MeterClockPanel::MeterClockPanel(const PageContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    m_time = new QTimeEdit(QTime(12, 0, 0), this);
    m_time->setObjectName(QStringLiteral("DateTimePicker1"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_time->setAccessibleName(QStringLiteral("Clock time"));

    m_date = new QDateEdit(QDate(2000, 1, 1), this);
    m_date->setObjectName(QStringLiteral("DateTimePicker2"));
    m_date->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    m_date->setCalendarPopup(true);
    // A four-digit year from the meter is taken as it stands; keep it.
    m_date->setMinimumDate(QDate(100, 1, 1));
    m_date->setAccessibleName(QStringLiteral("Clock date"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_time, 0, 0);
    layout->addWidget(m_date, 1, 0);

    auto *buttons = new QHBoxLayout;
    for (const Button &entry : Buttons) {
        auto *button = new QPushButton(QString::fromLatin1(entry.caption), this);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setAccessibleName(QString::fromLatin1(entry.accessibleName));
        button->setToolTip(QString::fromLatin1(entry.hint));
        buttons->addWidget(button);
        const auto handler = entry.handler;
        const bool operation = entry.talksToMeter;
        connect(button, &QPushButton::clicked, this, [this, handler, operation]() {
            const auto run = [this, handler]() { (this->*handler)(); };
            if (operation)
                runGuardedOperation(m_context, run);
            else
                runGuarded(m_context, run);
        });
    }
    layout->addLayout(buttons, 2, 0);
}

void MeterClockPanel::showComputerTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_date->setDate(now.date());
    m_time->setTime(now.time());
}

void MeterClockPanel::readMeterTime()
{
    CommandExchange *exchange = m_context.exchange;
    const QString month = exchange->comms(readCommand(MonthRegister)).value;
    const QString day = exchange->comms(readCommand(DayRegister)).value;
    const QString year = exchange->comms(readCommand(YearRegister)).value;
    m_date->setDate(meterclock::dateFromMeter(month, day, year, QDate::currentDate()));

    const QString seconds = exchange->comms(readCommand(SecondsRegister)).value;
    const QString minutes = exchange->comms(readCommand(MinutesRegister)).value;
    const QString hours = exchange->comms(readCommand(HoursRegister)).value;
    m_time->setTime(meterclock::timeFromMeter(hours, minutes, seconds));
}

void MeterClockPanel::setMeterTime()
{
    // One reading of both fields, so that the seven registers describe one
    // moment even if the fields change during the writes.
    for (const meterclock::RegisterValue &write : meterclock::clockWrites(m_date->date(), m_time->time()))
        m_context.exchange->comms(writeCommand(write.reg, qint64(write.value)));
}
