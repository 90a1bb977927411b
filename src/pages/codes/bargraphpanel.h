#pragma once

#include "pages/page.h"

#include <QFrame>

class QLineEdit;
class QSlider;

// The bar editor of the Code 10 page on bargraph meters: the bar's low,
// high and zero values and the zero's position on the bar.
class BargraphPanel : public QFrame
{
    Q_OBJECT
public:
    BargraphPanel(const PageContext &context, QWidget *parent);

    QLineEdit *lowField() const { return m_low; }
    QLineEdit *highField() const { return m_high; }
    QLineEdit *zeroField() const { return m_zero; }
    QSlider *zeroPosition() const { return m_zeroPosition; }

private:
    PageContext m_context;
    QLineEdit *m_low = nullptr;
    QLineEdit *m_high = nullptr;
    QLineEdit *m_zero = nullptr;
    QSlider *m_zeroPosition = nullptr;
};
