#pragma once

#include "pages/page.h"

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// A counter prescaler panel: the channel 1 counter prescaler with its
// de-bounce bit (register 97, Code 4 page) or the second digital input's
// prescaler (register 98, Code 6 page).
class PrescalerPanel : public QFrame
{
    Q_OBJECT
public:
    enum class Channel { Counter, SecondInput };
    static constexpr int Minimum = 1;
    static constexpr int Maximum = 32767;

    PrescalerPanel(const PageContext &context, Channel channel, QWidget *parent);

    Channel channel() const { return m_channel; }

    // Shows the panel, then reads the meter's prescaler into it.
    void openFromMeter();
    // Normalises the field after every change of its text.
    void normalise();
    // "Send Values to Meter": hides the panel, emits closing() and writes
    // the prescaler.
    void sendPrescaler();

    // The field's text as a whole number 1..32767: "-" counts as 1, other
    // values are clamped and rounded half away from zero.
    static QString normalised(const QString &text);
    // The register 97 value: p in bits 0..14, de-bounce in bit 15, as a
    // signed 16-bit number.
    static qint16 counterWord(int prescaler, bool debounce);

    QLineEdit *field() const { return m_field; }
    QSpinBox *upDown() const { return m_upDown; }
    // Null on the second-input panel.
    QCheckBox *debounce() const { return m_debounce; }
    QPushButton *sendButton() const { return m_send; }

signals:
    // The panel closed through its send; the page leaves prescaler mode.
    // Emitted before the prescaler is written.
    void closing();

private:
    void setPosition(int position);

    PageContext m_context;
    Channel m_channel;
    QLineEdit *m_field = nullptr;
    QSpinBox *m_upDown = nullptr;
    QCheckBox *m_debounce = nullptr;
    QPushButton *m_send = nullptr;
};
