#pragma once

#include "pages/page.h"

#include <QWidget>

class MeterClockModel;
class QDateEdit;
class QTimeEdit;

// The clock controls at the foot of the Advanced Functions page: a time and
// a date field over the clock model, and its three buttons ("Computer Time",
// "Meter Time ", "Set Meter Time").
class MeterClockPanel : public QWidget
{
    Q_OBJECT
public:
    MeterClockPanel(const PageContext &context, MeterClockModel &model, QWidget *parent);

private:
    void showModel();

    PageContext m_context;
    MeterClockModel &m_model;
    QTimeEdit *m_time = nullptr;
    QDateEdit *m_date = nullptr;
};
