#include "qserialline.h"

#include "portdirectory.h"

#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {
// Poll interval while waiting for the transmitter to empty.
constexpr int PollMilliseconds = 1;
// Extra time before dropping RTS when the emptiness can only be estimated.
constexpr qint64 MarginMicroseconds = 2000;

QSerialPort::Parity toQt(Parity parity)
{
    switch (parity) {
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}
} // namespace

#ifdef Q_OS_LINUX
struct QSerialLine::Rs485Settings
{
    serial_rs485 settings{};
};
#else
struct QSerialLine::Rs485Settings
{};
#endif

QSerialLine::QSerialLine(QObject *parent) : SerialLine(parent)
{
    m_clock.start();
    m_rtsTimer->setInterval(PollMilliseconds);
    m_rtsTimer->setTimerType(Qt::PreciseTimer);
    connect(m_rtsTimer, &QTimer::timeout, this, &QSerialLine::checkTransmitterEmpty);
    connect(m_port, &QSerialPort::readyRead, this, &QSerialLine::readIncoming);
    connect(m_port, &QSerialPort::errorOccurred, this, &QSerialLine::handleError);
}

QSerialLine::~QSerialLine()
{
    close();
}

QList<PortEntry> QSerialLine::availablePorts()
{
    QList<PortEntry> ports = PortDirectory().list();
    // The port this line holds is not in use by another program.
    for (PortEntry &entry : ports) {
        if (entry.number == m_number && m_port->isOpen())
            entry.busy = false;
    }
    return ports;
}

bool QSerialLine::open(int number, QString *error)
{
    if (m_port->isOpen())
        return true;

    const QString path = m_device.isEmpty() ? PortDirectory::devicePath(number) : m_device;
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("There is no port COM%1: ports are numbered %2 to %3.")
                         .arg(number)
                         .arg(PortDirectory::FirstPort)
                         .arg(PortDirectory::LastPort);
        return false;
    }

    m_port->setPortName(path);
    applyLineSettings();
    m_port->setReadBufferSize(BufferSize);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (error)
            *error = PortDirectory::explainOpenFailure(path, m_port->error(), m_port->errorString());
        return false;
    }

    m_number = number;
    m_devicePath = path;
    m_gone = false;
    m_rtsRaised = false;
    m_lsrUsable = true;
    m_sentByMicros = 0;

    // Linux raises both DTR and RTS on open; the RS-485 transmitter must be
    // off at rest, while DTR may power a converter.
    m_port->setDataTerminalReady(true);
    m_keyRts = m_port->setRequestToSend(false);
    m_port->clearError();

    enableDriverRs485();
    emit opened(path);
    return true;
}

void QSerialLine::close()
{
    if (!m_port->isOpen())
        return;
    m_rtsTimer->stop();
    if (m_rtsRaised)
        dropRts();
    restoreDriverRs485();
    m_port->close();
    m_port->clearError();
    m_number = 0;
    m_devicePath.clear();
    m_gone = false;
    m_keyRts = false;
    emit closed();
}

bool QSerialLine::isOpen() const
{
    return m_port->isOpen();
}

int QSerialLine::portNumber() const
{
    return m_number;
}

bool QSerialLine::deviceGone() const
{
    if (!m_port->isOpen())
        return false;
    if (m_gone)
        return true;
#ifdef Q_OS_WIN
    return false;
#else
    return !QFileInfo::exists(m_devicePath);
#endif
}

void QSerialLine::setBaudRate(int baud)
{
    m_baud = baud;
    if (m_port->isOpen())
        m_port->setBaudRate(baud);
}

int QSerialLine::baudRate() const
{
    return m_baud;
}

void QSerialLine::setParity(Parity parity)
{
    m_parity = parity;
    if (m_port->isOpen())
        m_port->setParity(toQt(parity));
}

Parity QSerialLine::parity() const
{
    return m_parity;
}

qint64 QSerialLine::flushInput()
{
    if (!m_port->isOpen())
        return 0;
    // What the port object holds plus what the driver holds: both are lost.
    qint64 discarded = m_port->bytesAvailable();
#ifdef Q_OS_LINUX
    int queued = 0;
    if (::ioctl(int(m_port->handle()), FIONREAD, &queued) == 0)
        discarded += queued;
#endif
    m_port->clear(QSerialPort::Input);
    return discarded;
}

int QSerialLine::freeTransmitSpace() const
{
    return int(std::clamp<qint64>(BufferSize - m_port->bytesToWrite(), 0, BufferSize));
}

void QSerialLine::write(const QByteArray &bytes)
{
    if (!m_port->isOpen() || bytes.isEmpty())
        return;
    if (m_keyRts)
        raiseRts(bytes.size());
    m_port->write(bytes);
}

qint64 QSerialLine::transmitMicroseconds(qint64 bytes, int baud, Parity parity)
{
    if (baud <= 0)
        return 0;
    const qint64 bitsPerChar = parity == Parity::None ? 10 : 11;
    return (bytes * bitsPerChar * 1000000 + baud - 1) / baud;
}

void QSerialLine::applyLineSettings()
{
    m_port->setBaudRate(m_baud);
    m_port->setParity(toQt(m_parity));
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

void QSerialLine::enableDriverRs485()
{
    m_driverRs485 = false;
    m_savedRs485.reset();
#ifdef Q_OS_LINUX
    const int fd = int(m_port->handle());
    serial_rs485 current{};
    if (::ioctl(fd, TIOCGRS485, &current) != 0)
        return;
    serial_rs485 wanted = current;
    wanted.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    wanted.flags &= ~__u32(SER_RS485_RTS_AFTER_SEND);
    // The driver may refuse or trim the request; it writes back what it took.
    if (::ioctl(fd, TIOCSRS485, &wanted) != 0)
        return;
    m_savedRs485 = std::make_unique<Rs485Settings>();
    m_savedRs485->settings = current;
    if (wanted.flags & SER_RS485_ENABLED) {
        m_driverRs485 = true;
        m_keyRts = false;
    }
#endif
}

void QSerialLine::restoreDriverRs485()
{
#ifdef Q_OS_LINUX
    if (m_savedRs485 && !m_gone)
        ::ioctl(int(m_port->handle()), TIOCSRS485, &m_savedRs485->settings);
#endif
    m_savedRs485.reset();
    m_driverRs485 = false;
}

void QSerialLine::raiseRts(qint64 bytes)
{
    if (!m_rtsRaised) {
        if (!m_port->setRequestToSend(true)) {
            // This device has no RTS line to key (a pseudo-terminal, for one).
            m_port->clearError();
            m_keyRts = false;
            return;
        }
        m_rtsRaised = true;
    }
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    m_sentByMicros = std::max(m_sentByMicros, now) + transmitMicroseconds(bytes, m_baud, m_parity);
    m_rtsTimer->start();
}

void QSerialLine::checkTransmitterEmpty()
{
    if (!m_port->isOpen()) {
        m_rtsTimer->stop();
        return;
    }
    // Bytes still in Qt's buffer have not even reached the driver.
    if (m_port->bytesToWrite() > 0)
        return;

#if defined(Q_OS_LINUX)
    const int fd = int(m_port->handle());
    if (m_lsrUsable) {
        int lsr = 0;
        if (::ioctl(fd, TIOCSERGETLSR, &lsr) == 0) {
            if (lsr & TIOCSER_TEMT)
                dropRts();
            return;
        }
        m_lsrUsable = false;
    }
    // Without the line status, estimate from what the driver still queues.
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        const qint64 now = m_clock.nsecsElapsed() / 1000;
        m_sentByMicros = std::max(m_sentByMicros, now + transmitMicroseconds(queued, m_baud, m_parity));
        return;
    }
#endif
    if (m_clock.nsecsElapsed() / 1000 >= m_sentByMicros + MarginMicroseconds)
        dropRts();
}

void QSerialLine::dropRts()
{
    m_rtsTimer->stop();
    m_rtsRaised = false;
    m_sentByMicros = 0;
    if (!m_port->setRequestToSend(false))
        m_port->clearError();
}

void QSerialLine::readIncoming()
{
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

void QSerialLine::handleError(QSerialPort::SerialPortError error)
{
    const bool lineFailed =
        error == QSerialPort::ResourceError || error == QSerialPort::WriteError || error == QSerialPort::ReadError;
    if (!lineFailed || !m_port->isOpen() || m_gone)
        return;
    // The device went away (a converter unplugged, the other end of a
    // terminal closed). Left open, the port would retry its queued bytes and
    // its reads thousands of times a second. Drop what is queued and close
    // the device; the next detection run opens it again. The close waits
    // for the event loop: the port is still inside its own read or write.
    m_gone = true;
    m_rtsTimer->stop();
    m_rtsRaised = false;
    m_port->clear(QSerialPort::Output);
    emit failed(m_port->errorString());
    QMetaObject::invokeMethod(this, &QSerialLine::closeLostDevice, Qt::QueuedConnection);
}

void QSerialLine::closeLostDevice()
{
    if (m_gone)
        close();
}
