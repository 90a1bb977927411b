#include "meterclockpanel.h"

#include "meterclockmodel.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace {

struct Button
{
    const char *caption;
    const char *name;
    const char *accessibleName;
    const char *hint;
    void (MeterClockModel::*operation)();
    bool talksToMeter;
};

const Button Buttons[] = {
    {"Computer Time", "ComputerTimeButton", "Computer time", "Clock setting of computer",
     &MeterClockModel::showComputerTime, false},
    {"Meter Time ", "MeterTimeButton", "Meter time", "Clock setting of meter", &MeterClockModel::readMeterTime, true},
    {"Set Meter Time", "SetMeterTimeButton", "Set meter time", "Set meter to time shown above",
     &MeterClockModel::setMeterTime, true},
};

} // namespace

MeterClockPanel::MeterClockPanel(const PageContext &context, MeterClockModel &model, QWidget *parent)
    : QWidget(parent), m_context(context), m_model(model)
{
    m_time = new QTimeEdit(this);
    m_time->setObjectName(QStringLiteral("DateTimePicker1"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_time->setAccessibleName(QStringLiteral("Clock time"));

    m_date = new QDateEdit(this);
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
        const auto operation = entry.operation;
        const bool talksToMeter = entry.talksToMeter;
        connect(button, &QPushButton::clicked, this, [this, operation, talksToMeter]() {
            const auto run = [this, operation]() { (m_model.*operation)(); };
            if (talksToMeter)
                runGuardedOperation(m_context, run);
            else
                runGuarded(m_context, run);
        });
    }
    layout->addLayout(buttons, 2, 0);
    showModel();

    // The operator's edits, by arrows, typing or the calendar; the model's
    // values are shown with signals blocked.
    connect(m_time, &QTimeEdit::timeChanged, this, [this](const QTime &time) { m_model.setTime(time); });
    connect(m_date, &QDateEdit::dateChanged, this, [this](const QDate &date) { m_model.setDate(date); });
    connect(&m_model, &MeterClockModel::changed, this, &MeterClockPanel::showModel);
}

void MeterClockPanel::showModel()
{
    const QSignalBlocker timeBlocker(m_time);
    const QSignalBlocker dateBlocker(m_date);
    // Only a change, so that a value being typed keeps its cursor.
    if (m_time->time() != m_model.time())
        m_time->setTime(m_model.time());
    if (m_date->date() != m_model.date())
        m_date->setDate(m_model.date());
}
