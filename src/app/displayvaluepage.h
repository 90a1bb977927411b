#pragma once

#include "pages/page.h"

class QLabel;
class QLineEdit;
class QSpinBox;

// The "Display Value" page: the meter's reading in large figures and the
// sampling time of the poll.
class DisplayValuePage : public Page
{
    Q_OBJECT
public:
    static constexpr int MinSampling = 500;
    static constexpr int MaxSampling = 30000;
    static constexpr int SamplingStep = 50;

    explicit DisplayValuePage(const PageContext &context, QWidget *parent = nullptr);

    int samplingTime() const;
    QLabel *reading() const { return m_reading; }

signals:
    // An arrow step changed the sampling time.
    void samplingTimeStepped(int ms);

private:
    QLabel *m_reading = nullptr;
    QSpinBox *m_sampling = nullptr;
};
