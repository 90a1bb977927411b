#pragma once

#include "link/clock.h"
#include "link/serialline.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>

class SimMeter;

// A serial line wired in-process to a SimMeter, for tests. It models the
// line settings: at a baud rate other than the meter's the meter hears
// nothing; parity none against odd/even is silence too; odd against even
// makes the meter answer with lines the computer receives garbled.
// Replies arrive through bytesReceived from a timer after the meter's
// answer delay, never from inside write().
class SimLine : public SerialLine
{
    Q_OBJECT
public:
    // Uses `meter` (not owned), or a meter of its own when none is given;
    // the answer delay runs on `clock`.
    explicit SimLine(SimMeter *meter = nullptr, Clock &clock = Clock::system(), QObject *parent = nullptr);

    SimMeter *meter() const { return m_meter; }

    QList<PortEntry> availablePorts() override;
    bool open(int number, QString *error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    int portNumber() const override { return m_open ? m_portNumber : 0; }
    bool deviceGone() const override { return m_gone; }

    void setBaudRate(int baud) override { m_baudRate = baud; }
    int baudRate() const override { return m_baudRate; }
    void setParity(Parity parity) override { m_parity = parity; }
    Parity parity() const override { return m_parity; }

    qint64 flushInput() override;
    int freeTransmitSpace() const override { return m_freeTransmitSpace; }
    void write(const QByteArray &bytes) override;

    // The port number offered and accepted by open(); 41 unless set.
    void setPortNumber(int number) { m_portNumber = number; }
    // A non-empty text makes every open() fail with it; empty clears it.
    void setOpenError(const QString &error) { m_openError = error; }
    void setFreeTransmitSpace(int bytes) { m_freeTransmitSpace = qBound(0, bytes, BufferSize); }
    // Delivers each reply in pieces of n bytes, one bytesReceived each; 0 = whole.
    void setChunkSize(int n) { m_chunkSize = qMax(0, n); }
    // Stray bytes arriving on an open line, delivered like a reply (at once).
    void injectReceived(const QByteArray &bytes);
    // The device disappears: deviceGone() is true and writes are lost until
    // the line is closed and opened again.
    void unplug();

    // Every write() call while open, in order, and all of them joined.
    QList<QByteArray> writes() const { return m_writes; }
    QByteArray written() const;
    void clearWrites() { m_writes.clear(); }

private:
    struct Delivery
    {
        QByteArray bytes;
        qint64 due = 0; // on m_clock
        bool injected = false;
    };
    void schedule();
    void deliverNext();

    SimMeter *m_meter = nullptr;
    bool m_open = false;
    bool m_gone = false;
    int m_portNumber = 41;
    QString m_openError;
    int m_baudRate = 9600;
    Parity m_parity = Parity::None;
    int m_freeTransmitSpace = BufferSize;
    int m_chunkSize = 0;
    QList<QByteArray> m_writes;
    // Bytes on their way to the computer, strictly in order.
    std::deque<Delivery> m_pending;
    Clock &m_clock;
    ClockTimer m_timer;
};
