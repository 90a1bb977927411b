#pragma once

#include "pages/page.h"

#include <QWidget>

class QDateEdit;
class QPushButton;
class QTimeEdit;

// The clock controls at the foot of the Advanced Functions page: a time and
// a date field, filled from the computer's clock or the meter's, and written
// to the meter's clock (registers 213 to 219).
class MeterClockPanel : public QWidget
{
    Q_OBJECT
public:
    MeterClockPanel(const PageContext &context, QWidget *parent);

    // "Computer Time": the fields show the computer's date and time.
    void showComputerTime();
    // "Meter Time ": reads the meter's date, then its time, into the fields.
    void readMeterTime();
    // "Set Meter Time": writes the fields to the meter's clock.
    void setMeterTime();

    QTimeEdit *timeField() const { return m_time; }
    QDateEdit *dateField() const { return m_date; }

private:
    PageContext m_context;
    QTimeEdit *m_time = nullptr;
    QDateEdit *m_date = nullptr;
};
