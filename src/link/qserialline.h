#pragma once

#include "serialline.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

#include <memory>

// The serial line on a real port (or a pseudo-terminal) through QSerialPort.
//
// For two-wire RS-485 the transmitter must be enabled only while sending.
// Where the driver can do that itself (Linux RS-485 mode) it is asked to;
// otherwise RTS is raised before each write and dropped once the transmitter
// is empty. Converters that switch direction on their own ignore RTS.
class QSerialLine : public SerialLine
{
    Q_OBJECT
public:
    explicit QSerialLine(QObject *parent = nullptr);
    ~QSerialLine() override;

    QList<PortEntry> availablePorts() override;

    bool open(int number, QString *error) override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override;
    bool deviceGone() const override;

    void setBaudRate(int baud) override;
    int baudRate() const override;
    void setParity(Parity parity) override;
    Parity parity() const override;

    qint64 flushInput() override;
    int freeTransmitSpace() const override;
    void write(const QByteArray &bytes) override;

    // The path of the open device (empty when closed).
    QString devicePath() const { return m_devicePath; }
    // Opens `path` whatever port number open() is given: a device outside
    // the port table, named on the command line.
    void useDevice(const QString &path) { m_device = path; }
    // True when the driver switches the RS-485 transmitter itself.
    bool driverSwitchesDirection() const { return m_driverRs485; }

    // Time on the wire for `bytes` characters: start bit, 8 data bits,
    // optional parity bit and one stop bit each.
    static qint64 transmitMicroseconds(qint64 bytes, int baud, Parity parity);

private:
    struct Rs485Settings;

    void applyLineSettings();
    void enableDriverRs485();
    void restoreDriverRs485();
    void raiseRts(qint64 bytes);
    void checkTransmitterEmpty();
    void dropRts();
    void readIncoming();
    void handleError(QSerialPort::SerialPortError error);
    void closeLostDevice();

    QSerialPort *m_port = new QSerialPort(this);
    QTimer *m_rtsTimer = new QTimer(this);
    QElapsedTimer m_clock;
    std::unique_ptr<Rs485Settings> m_savedRs485;

    int m_baud = 19200;
    Parity m_parity = Parity::None;
    int m_number = 0;
    QString m_devicePath;
    QString m_device;
    bool m_gone = false;
    bool m_driverRs485 = false;
    bool m_keyRts = false; // RTS is switched by hand around writes
    bool m_rtsRaised = false;
    bool m_lsrUsable = true;   // TIOCSERGETLSR answers on this port
    qint64 m_sentByMicros = 0; // when the queued bytes should have left the wire
};
