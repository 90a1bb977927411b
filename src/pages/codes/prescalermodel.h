#pragma once

#include "pages/pagemodel.h"

#include <QObject>

// A counter prescaler: the channel 1 counter prescaler with its de-bounce
// bit (register 97, Code 4 page) or the second digital input's prescaler
// (register 98, Code 6 page).
class PrescalerModel : public QObject
{
    Q_OBJECT
public:
    enum class Channel { Counter, SecondInput };
    static constexpr int Minimum = 1;
    static constexpr int Maximum = 32767;

    PrescalerModel(const ModelContext &context, Channel channel, QObject *parent = nullptr);

    Channel channel() const { return m_channel; }
    int reg() const { return m_channel == Channel::Counter ? 97 : 98; }
    // The field's text: normalised, or as typed when it is no number.
    QString text() const { return m_text; }
    // The up-down's position: the last number the field held.
    int position() const { return m_position; }
    bool debounce() const { return m_debounce; }
    bool isOpen() const { return m_open; }

    // Every change of the field's text: it is normalised to a whole number
    // 1..32767. A text that is no number is kept and reported.
    void editText(const QString &text);
    // The up-down moved: the field follows.
    void setPosition(int position);
    void setDebounce(bool debounce);

    // Opens the panel, then reads the meter's prescaler into it.
    void openFromMeter();
    // "Send Values to Meter": closes the panel, emits closing() and writes
    // the prescaler.
    void send();
    void close();

    // "-" counts as 1, other values are clamped and rounded half away from zero.
    static QString normalised(const QString &text);
    // The register 97 value: p in bits 0..14, de-bounce in bit 15, as a
    // signed 16-bit number.
    static qint16 counterWord(int prescaler, bool debounce);

    SettingRegister setting() const;

signals:
    void changed();
    // The panel closed through its send; the page leaves prescaler mode.
    // Emitted before the prescaler is written.
    void closing();

private:
    ModelContext m_context;
    Channel m_channel;
    QString m_text = QStringLiteral("1");
    int m_position = Minimum;
    bool m_debounce = false;
    bool m_open = false;
};
