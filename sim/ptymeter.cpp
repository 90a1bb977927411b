#include "ptymeter.h"

#include "simmeter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct SpeedEntry
{
    speed_t code;
    int baud;
};
const SpeedEntry speedTable[] = {
    {B50, 50},     {B75, 75},       {B110, 110},     {B134, 134},     {B150, 150},       {B200, 200},
    {B300, 300},   {B600, 600},     {B1200, 1200},   {B1800, 1800},   {B2400, 2400},     {B4800, 4800},
    {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

int baudOf(speed_t code)
{
    for (const SpeedEntry &entry : speedTable) {
        if (entry.code == code)
            return entry.baud;
    }
    return 0;
}

void closeOnExec(int fd)
{
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

} // namespace

PtyMeter::PtyMeter(SimMeter *meter, QObject *parent) : QObject(parent), m_meter(meter)
{
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &PtyMeter::sendDueReplies);
    m_clock.start();
}

PtyMeter::~PtyMeter()
{
    stop();
}

QString PtyMeter::linkFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/meter-setup/ports");
}

bool PtyMeter::start(int comNumber, QString *error)
{
    QString unused;
    if (!error)
        error = &unused;
    if (isRunning()) {
        *error = QStringLiteral("The simulated meter is already running.");
        return false;
    }
    if (comNumber < FirstCom || comNumber > LastCom) {
        *error = QStringLiteral("COM%1 is outside COM%2..COM%3.").arg(comNumber).arg(FirstCom).arg(LastCom);
        return false;
    }
    m_comNumber = comNumber;

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = QStringLiteral("Cannot open a pseudo-terminal: %1").arg(systemError());
        stop();
        return false;
    }
    closeOnExec(m_master);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        *error = QStringLiteral("Cannot name the pseudo-terminal: %1").arg(systemError());
        stop();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings = {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0) {
        *error = QStringLiteral("Cannot open %1: %2").arg(m_devicePath, systemError());
        stop();
        return false;
    }
    // Raw: the client's bytes reach the meter unchanged, and the replies the
    // client unchanged, until the client sets its own terminal mode.
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);

    if (!publishLink(error)) {
        stop();
        return false;
    }

    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &PtyMeter::readMaster);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &PtyMeter::flushOut);
    return true;
}

// One meter-sim per port: the lock file says who serves it. When the lock
// can be taken, whatever link is there is left over from a meter that is
// gone and is replaced.
bool PtyMeter::publishLink(QString *error)
{
    const QString folder = linkFolder();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(folder);
        return false;
    }
    const QString port = QStringLiteral("COM%1").arg(m_comNumber);
    m_lock = std::make_unique<QLockFile>(QFileInfo(folder).path() + QStringLiteral("/meter-sim-") + port
                                         + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        m_lock.reset();
        *error = QStringLiteral("%1 is already served by another simulated meter (process %2).").arg(port).arg(pid);
        return false;
    }

    const QString link = folder + QLatin1Char('/') + port;
    const QFileInfo existing(link);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a link; not replacing it.").arg(link);
            return false;
        }
    }
    // Make the new link under a temporary name and rename it over the old
    // one, so the port never disappears for a program looking at it.
    const QByteArray temporary = QFile::encodeName(link + QStringLiteral(".new"));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_devicePath).constData(), temporary.constData()) != 0
        || ::rename(temporary.constData(), QFile::encodeName(link).constData()) != 0) {
        *error = QStringLiteral("Cannot create the link %1: %2").arg(link, systemError());
        ::unlink(temporary.constData());
        return false;
    }
    m_linkPath = link;
    return true;
}

void PtyMeter::stop()
{
    m_replyTimer.stop();
    m_replies.clear();
    m_unsent.clear();
    m_readNotifier.reset();
    m_writeNotifier.reset();
    if (!m_linkPath.isEmpty()) {
        // Leave a link alone that someone else has pointed elsewhere.
        if (QFile::symLinkTarget(m_linkPath) == m_devicePath)
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    m_lock.reset();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
    m_devicePath.clear();
}

bool PtyMeter::lineSettings(int *baud, Parity *parity) const
{
    termios settings = {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0)
        return false;
    speed_t speed = ::cfgetispeed(&settings);
    if (speed == B0) // input speed 0 means "same as output"
        speed = ::cfgetospeed(&settings);
    *baud = baudOf(speed);
    if (settings.c_cflag & PARENB)
        *parity = (settings.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    else if (settings.c_cflag & PARODD)
        *parity = Parity::Odd;
    else
        // A Linux pty clears PARENB whatever the client sets, so even parity
        // and none look the same here: count them as the meter's own.
        *parity = m_meter->parity() == Parity::Even ? Parity::Even : Parity::None;
    return true;
}

void PtyMeter::readMaster()
{
    QByteArray bytes;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (bytes.isEmpty())
        return;

    // The settings in force when the bytes arrive decide whether the meter
    // can make sense of them.
    int baud = 0;
    Parity parity = Parity::None;
    lineSettings(&baud, &parity);
    const SimMeter::LineCondition condition = m_meter->lineCondition(baud, parity);
    if (condition == SimMeter::LineCondition::Silent) {
        emit bytesIgnored(bytes, baud, parity);
        return;
    }
    const qint64 due = m_clock.elapsed() + m_meter->answerDelay();
    for (const QByteArray &reply : m_meter->receive(bytes)) {
        const bool garbled = condition == SimMeter::LineCondition::Garbled;
        m_replies.push_back({garbled ? SimMeter::garble(reply) : reply, due});
    }
    if (!m_replies.empty() && !m_replyTimer.isActive())
        m_replyTimer.start(int(qMax<qint64>(0, m_replies.front().due - m_clock.elapsed())));
}

void PtyMeter::sendDueReplies()
{
    while (!m_replies.empty() && m_replies.front().due <= m_clock.elapsed()) {
        const QByteArray bytes = m_replies.front().bytes;
        m_replies.pop_front();
        writeOut(bytes);
        emit replySent(bytes);
    }
    if (!m_replies.empty())
        m_replyTimer.start(int(qMax<qint64>(0, m_replies.front().due - m_clock.elapsed())));
}

void PtyMeter::writeOut(const QByteArray &bytes)
{
    m_unsent += bytes;
    flushOut();
}

void PtyMeter::flushOut()
{
    while (!m_unsent.isEmpty()) {
        const ssize_t n = ::write(m_master, m_unsent.constData(), size_t(m_unsent.size()));
        if (n > 0) {
            m_unsent.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            m_unsent.clear(); // the terminal cannot take it at all
        break;                // otherwise full: wait until the terminal takes more
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_unsent.isEmpty());
}
