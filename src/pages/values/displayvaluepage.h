#pragma once

#include "pages/page.h"

class QLabel;
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

    // The up-down position.
    int samplingTime() const;

    // Shows one reply to the display-value read: a state phrase as its red
    // state word, blinking from one reply to the next; anything else as the
    // reading itself.
    void showReading(const QString &replyValue, const QString &replyText);

private:
    // An arrow step sets the poll to the new sampling time.
    void applySamplingTime();

    QLabel *m_reading = nullptr;
    QSpinBox *m_sampling = nullptr;
    bool m_blinking = false; // a state word is showing or blinking
};
