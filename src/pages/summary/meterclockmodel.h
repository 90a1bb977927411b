#pragma once

#include <QDate>
#include <QObject>
#include <QTime>

class CommandExchange;

// The meter clock controls without widgets: the date and time shown, filled
// from the computer's clock or the meter's, and written to the meter's clock
// (registers 213 to 219). The clock is read or written only on request.
class MeterClockModel : public QObject
{
    Q_OBJECT
public:
    explicit MeterClockModel(CommandExchange *exchange, QObject *parent = nullptr);

    QDate date() const { return m_date; }
    QTime time() const { return m_time; }
    // The operator's edits of the fields.
    void setDate(const QDate &date);
    void setTime(const QTime &time);

    // The computer's date and time of day; nothing is sent.
    void showComputerTime();
    // Reads the meter's date, then its time. A date that is no date ends
    // the read before the time is read; what failed keeps its value.
    void readMeterTime();
    // Writes the date and time shown, as they are when it starts, so that
    // the seven registers describe one moment.
    void setMeterTime();

signals:
    void changed();

private:
    CommandExchange *m_exchange;
    QDate m_date{2000, 1, 1};
    QTime m_time{12, 0, 0};
};
