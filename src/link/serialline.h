#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

enum class Parity { None, Odd, Even };

// "none", "odd" or "even", as the command lines take and print a parity.
inline QString parityName(Parity parity)
{
    static const char *const Names[] = {"none", "odd", "even"};
    return QString::fromLatin1(Names[int(parity)]);
}

// The parity named so (any case); nothing for another name.
inline std::optional<Parity> parityNamed(const QString &name)
{
    for (Parity parity : {Parity::None, Parity::Odd, Parity::Even}) {
        if (name.compare(parityName(parity), Qt::CaseInsensitive) == 0)
            return parity;
    }
    return std::nullopt;
}

// One port the selection dialog can offer: "COM" + number, and what is behind it.
struct PortEntry
{
    int number = 0;
    QString device;      // path or system name of the device
    QString description; // adapter description where the system knows it
    bool busy = false;   // exists but is held by another program
};

// The serial line to the meter: 8 data bits, 1 stop bit, no flow control.
// Received bytes are pushed out through bytesReceived as they arrive.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLine() override = default;

    // Ports 1..50 that can be opened or exist but are busy.
    virtual QList<PortEntry> availablePorts() = 0;

    // Opens port `number` with the current baud rate and parity. On failure
    // returns false and puts a text for the operator in *error.
    virtual bool open(int number, QString *error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int portNumber() const = 0;
    // True when the open device has disappeared (a USB converter unplugged).
    virtual bool deviceGone() const { return false; }

    virtual void setBaudRate(int baud) = 0;
    virtual int baudRate() const = 0;
    virtual void setParity(Parity parity) = 0;
    virtual Parity parity() const = 0;

    // Discards what the port has received but not yet passed on, and returns
    // how many bytes that was.
    virtual qint64 flushInput() = 0;
    // Free bytes in the transmit buffer, 0..4096.
    virtual int freeTransmitSpace() const = 0;
    // Queues all bytes for sending and returns at once.
    virtual void write(const QByteArray &bytes) = 0;

    static constexpr int BufferSize = 4096;

signals:
    void bytesReceived(const QByteArray &bytes);
    // The port was opened (`device` is what is behind it) or closed; the
    // open device failed (it went away).
    void opened(const QString &device);
    void closed();
    void failed(const QString &error);
};
