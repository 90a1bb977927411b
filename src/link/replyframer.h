#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>

// Cuts the received byte stream into replies at CR LF. A reply starts with
// the first byte after arming or after the previous reply; there is no start
// marker and no length limit. Each reply is handed over without its CR LF.
//
// Time-out: each arming starts a window of TimeoutTicks; if no terminator has
// come when it runs out, the framer disarms itself and drops input until it
// is enabled again.
class ReplyFramer : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 TimeoutTicks = 2148;

    // `ticks` reads the link's tick clock.
    explicit ReplyFramer(std::function<qint64()> ticks, QObject *parent = nullptr);

    void feed(const QByteArray &bytes);

    // Arms the framer; an armed framer stays as it is (its time-out runs on).
    void enable();
    void disable();
    bool isArmed() const;
    // Drops a partial reply held in the buffer.
    void clearBuffer() { m_buffer.clear(); }
    QByteArray buffer() const { return m_buffer; }

signals:
    void reply(const QByteArray &text);
    // The framer had stopped listening (its time-out, or disabled) and was
    // enabled again.
    void rearmed();

private:
    void arm();
    void expireIfDue() const;

    std::function<qint64()> m_ticks;
    QByteArray m_buffer;
    mutable bool m_armed = false;
    qint64 m_armedAt = 0;
    bool m_delivering = false;
    bool m_everArmed = false;
};
