#include "link/portdirectory.h"
#include "link/qserialline.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the test plays the meter on the master side, the code
// under test opens the slave through a link COM4x.
class Pty
{
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        // Raw master side so bytes pass through unchanged.
        termios tio{};
        if (::tcgetattr(m_master, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_master, TCSANOW, &tio);
        }
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    int master() const { return m_master; }
    // The other side goes away, as a USB converter that is unplugged: the
    // slave's reads and writes fail from now on.
    void hangUp()
    {
        ::close(m_master);
        m_master = -1;
    }
    QString slavePath() const { return m_slavePath; }

    // Reads from the master until `count` bytes came or the time is up,
    // running the event loop so QSerialPort can pass its buffer on.
    QByteArray readMaster(int count, int timeoutMs = 3000) const
    {
        QByteArray result;
        QElapsedTimer clock;
        clock.start();
        while (result.size() < count && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buffer[256];
                const ssize_t got = ::read(m_master, buffer, sizeof buffer);
                if (got > 0)
                    result.append(buffer, int(got));
            }
        }
        return result;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

bool makeLink(int number, const QString &target)
{
    const QString link = PortDirectory::devicePath(number);
    QFile::remove(link);
    return QFile::link(target, link);
}

const PortEntry *findEntry(const QList<PortEntry> &entries, int number)
{
    for (const PortEntry &entry : entries) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

OpenFailureFacts permissionFacts()
{
    OpenFailureFacts facts;
    facts.device = QStringLiteral("/dev/ttyUSB0");
    facts.systemReason = QStringLiteral("Permission denied");
    facts.error = QSerialPort::PermissionError;
    facts.groupName = QStringLiteral("dialout");
    facts.permissions = QStringLiteral("crw-rw----");
    facts.userName = QStringLiteral("anna");
    return facts;
}

} // namespace

Q_DECLARE_METATYPE(OpenFailureFacts)

class TestPortDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void devicePath_data();
    void devicePath();
    void linkFolderIsUnderRuntimeLocation();
    void listFindsLinkedPtyAndSkipsDanglingLink();

    void explanation_data();
    void explanation();
    void gatheredFactsForMissingDevices();
    void secondOpenOfHeldPortIsExplainedAsInUse();

    void lineOpensWithDefaultsAndExchangesBytes();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void flushInputDropsWhatArrivedBefore();
    void removedDeviceIsGoneAndReopens();
    void lineLetsGoOfADeviceThatWentAway_data();
    void lineLetsGoOfADeviceThatWentAway();
    void transmitTime_data();
    void transmitTime();

private:
    QTemporaryDir m_runtime;
};

void TestPortDirectory::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    QVERIFY(QDir().mkpath(PortDirectory::linkFolder()));
}

void TestPortDirectory::cleanup()
{
    QDir links(PortDirectory::linkFolder());
    for (const QString &name : links.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        links.remove(name);
}

void TestPortDirectory::devicePath_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected"); // "@" stands for the link folder

    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM16") << 16 << "/dev/ttyS15";
    QTest::newRow("COM17") << 17 << "/dev/ttyUSB0";
    QTest::newRow("COM32") << 32 << "/dev/ttyUSB15";
    QTest::newRow("COM33") << 33 << "/dev/ttyACM0";
    QTest::newRow("COM40") << 40 << "/dev/ttyACM7";
    QTest::newRow("COM41") << 41 << "@/COM41";
    QTest::newRow("COM50") << 50 << "@/COM50";
    QTest::newRow("COM0") << 0 << "";
    QTest::newRow("COM51") << 51 << "";
    QTest::newRow("negative") << -3 << "";
}

void TestPortDirectory::devicePath()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    expected.replace(QLatin1Char('@'), PortDirectory::linkFolder());
    QCOMPARE(PortDirectory::devicePath(number), expected);
}

void TestPortDirectory::linkFolderIsUnderRuntimeLocation()
{
    QCOMPARE(PortDirectory::linkFolder(), m_runtime.path() + QStringLiteral("/meter-setup/ports"));
}

void TestPortDirectory::listFindsLinkedPtyAndSkipsDanglingLink()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(45, pty.slavePath()));
    QVERIFY(makeLink(46, m_runtime.path() + QStringLiteral("/no-such-device")));
    // A plain file is not a serial device.
    QFile plain(m_runtime.path() + QStringLiteral("/plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(makeLink(47, plain.fileName()));

    QElapsedTimer clock;
    clock.start();
    const QList<PortEntry> entries = PortDirectory().list();
    QVERIFY2(clock.elapsed() < 5000, "listing 50 ports took too long");

    const PortEntry *linked = findEntry(entries, 45);
    QVERIFY(linked);
    QVERIFY(!linked->busy);
    QVERIFY2(linked->device.contains(PortDirectory::devicePath(45)), qPrintable(linked->device));
    QVERIFY2(linked->device.contains(pty.slavePath()), qPrintable(linked->device));
    QVERIFY(!findEntry(entries, 46));
    QVERIFY(!findEntry(entries, 47));

    int previous = 0;
    for (const PortEntry &entry : entries) {
        QVERIFY(entry.number > previous);
        QVERIFY(entry.number <= PortDirectory::LastPort);
        previous = entry.number;
    }
}

void TestPortDirectory::explanation_data()
{
    QTest::addColumn<OpenFailureFacts>("facts");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("unexpected");

    OpenFailureFacts missing;
    missing.device = QStringLiteral("/dev/ttyUSB3");
    missing.error = QSerialPort::DeviceNotFoundError;
    missing.systemReason = QStringLiteral("No such file or directory");
    missing.exists = false;
    QTest::newRow("missing") << missing << QStringList{"/dev/ttyUSB3", "No such file or directory", "does not exist"}
                             << QStringList{"group", "in use"};

    OpenFailureFacts dangling = missing;
    dangling.device = QStringLiteral("/run/user/1000/meter-setup/ports/COM44");
    dangling.linkTarget = QStringLiteral("/dev/serial/by-id/usb-FTDI-if00");
    QTest::newRow("dangling link") << dangling
                                   << QStringList{"COM44", "/dev/serial/by-id/usb-FTDI-if00", "does not exist"}
                                   << QStringList{"group"};

    OpenFailureFacts notMember = permissionFacts();
    QTest::newRow("not in group") << notMember
                                  << QStringList{"/dev/ttyUSB0", "Permission denied", "\"dialout\"",
                                                 "usermod -aG dialout anna", "log in again"}
                                  << QStringList{"in use"};

    OpenFailureFacts addedNotRelogged = permissionFacts();
    addedNotRelogged.inGroupDatabase = true;
    QTest::newRow("added, session not renewed")
        << addedNotRelogged << QStringList{"\"dialout\"", "has been added", "log in again"}
        << QStringList{"usermod", "in use"};

    // Joining the group cannot help when the group has no read/write bits.
    OpenFailureFacts ownerOnly = permissionFacts();
    ownerOnly.groupName = QStringLiteral("root");
    ownerOnly.permissions = QStringLiteral("crw-------");
    ownerOnly.groupMayReadWrite = false;
    QTest::newRow("owner-only device") << ownerOnly << QStringList{"crw-------", "udev"}
                                       << QStringList{"log in again", "usermod", "in use"};

    OpenFailureFacts memberRefused = permissionFacts();
    memberRefused.inGroupDatabase = true;
    memberRefused.inGroupNow = true;
    QTest::newRow("member, still refused") << memberRefused << QStringList{"is a member", "\"dialout\""}
                                           << QStringList{"log in again", "usermod", "in use"};

    // Qt reports a busy port as a permission problem; the user has access.
    OpenFailureFacts busy = permissionFacts();
    busy.accessible = true;
    busy.inGroupNow = true;
    busy.inGroupDatabase = true;
    QTest::newRow("accessible but refused") << busy << QStringList{"/dev/ttyUSB0", "in use by another program"}
                                            << QStringList{"usermod", "log in again", "dialout"};

    OpenFailureFacts exclusive = busy;
    exclusive.exclusive = true;
    exclusive.holder = QStringLiteral("minicom, process 4711");
    QTest::newRow("held exclusively") << exclusive << QStringList{"in use by another program", "minicom, process 4711"}
                                      << QStringList{"usermod"};

    // A lock file names a live holder even when the device is also closed to us.
    OpenFailureFacts locked = permissionFacts();
    locked.holder = QStringLiteral("process 815");
    QTest::newRow("lock file, no access")
        << locked << QStringList{"in use by another program", "process 815"} << QStringList{"usermod"};

    OpenFailureFacts noHardware;
    noHardware.device = QStringLiteral("/dev/ttyS2");
    noHardware.error = QSerialPort::ResourceError;
    noHardware.systemReason = QStringLiteral("Input/output error");
    noHardware.accessible = true;
    QTest::newRow("no hardware") << noHardware << QStringList{"/dev/ttyS2", "Input/output error", "working serial port"}
                                 << QStringList{"in use", "group", "does not exist"};
}

void TestPortDirectory::explanation()
{
    QFETCH(OpenFailureFacts, facts);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, unexpected);

    const QString text = PortDirectory::explainOpenFailure(facts);
    for (const QString &part : expected)
        QVERIFY2(text.contains(part), qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(part, text)));
    for (const QString &part : unexpected)
        QVERIFY2(!text.contains(part), qPrintable(QStringLiteral("unexpected \"%1\" in:\n%2").arg(part, text)));
}

void TestPortDirectory::gatheredFactsForMissingDevices()
{
    const QString nowhere = m_runtime.path() + QStringLiteral("/absent");
    OpenFailureFacts facts =
        PortDirectory::gatherOpenFailureFacts(nowhere, QSerialPort::DeviceNotFoundError, QString());
    QVERIFY(!facts.exists);
    QVERIFY(facts.linkTarget.isEmpty());

    QVERIFY(makeLink(42, nowhere));
    facts = PortDirectory::gatherOpenFailureFacts(PortDirectory::devicePath(42), QSerialPort::DeviceNotFoundError,
                                                  QString());
    QVERIFY(!facts.exists);
    QCOMPARE(facts.linkTarget, nowhere);
}

void TestPortDirectory::secondOpenOfHeldPortIsExplainedAsInUse()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(43, pty.slavePath()));

    QSerialPort holder;
    holder.setPortName(PortDirectory::devicePath(43));
    QVERIFY(holder.open(QIODevice::ReadWrite));

    QSerialLine line;
    QString error;
    if (line.open(43, &error))
        QSKIP("this account may open a port held exclusively by another (root)");
    QVERIFY2(error.contains(QStringLiteral("in use")), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("usermod")), qPrintable(error));

    const QList<PortEntry> entries = PortDirectory().list();
    const PortEntry *entry = findEntry(entries, 43);
    QVERIFY(entry);
    QVERIFY(entry->busy);
}

void TestPortDirectory::lineOpensWithDefaultsAndExchangesBytes()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(47, pty.slavePath()));

    QSerialLine line;
    QCOMPARE(line.baudRate(), 19200);
    QCOMPARE(line.parity(), Parity::None);
    QString error;
    QVERIFY(!line.open(0, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!line.isOpen());
    QVERIFY2(line.open(47, &error), qPrintable(error));
    QVERIFY(line.isOpen());
    QCOMPARE(line.portNumber(), 47);
    QVERIFY(!line.deviceGone());
    QCOMPARE(line.freeTransmitSpace(), SerialLine::BufferSize);

    // A second open keeps the port as it is.
    QVERIFY(line.open(48, &error));
    QCOMPARE(line.portNumber(), 47);

    line.write(QByteArrayLiteral("*1B1\r"));
    QCOMPARE(pty.readMaster(5), QByteArrayLiteral("*1B1\r"));

    QByteArray received;
    connect(&line, &SerialLine::bytesReceived, this, [&received](const QByteArray &bytes) { received += bytes; });
    QCOMPARE(::write(pty.master(), "1B1+012.5\r", 10), ssize_t(10));
    QTRY_COMPARE(received, QByteArrayLiteral("1B1+012.5\r"));

    line.close();
    QVERIFY(!line.isOpen());
    QCOMPARE(line.portNumber(), 0);
}

void TestPortDirectory::lineSettingsReachTheDevice_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("odd");

    // The pty driver forces CS8 and clears PARENB, so a pty shows the parity
    // only through PARODD: odd sets it, even clears it.
    QTest::newRow("2400 odd") << 2400 << Parity::Odd << int(B2400) << true;
    QTest::newRow("38400 even") << 38400 << Parity::Even << int(B38400) << false;
    QTest::newRow("115200 odd") << 115200 << Parity::Odd << int(B115200) << true;
}

void TestPortDirectory::lineSettingsReachTheDevice()
{
    QFETCH(int, baud);
    QFETCH(Parity, parity);
    QFETCH(int, speed);
    QFETCH(bool, odd);

    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(44, pty.slavePath()));
    // Opened before the line so an exclusive open cannot shut the test out;
    // the termios settings belong to the terminal, not to one descriptor.
    const int slave = ::open(QFile::encodeName(pty.slavePath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(slave >= 0);
    auto closeSlave = qScopeGuard([slave] { ::close(slave); });

    QSerialLine line;
    QString error;
    QVERIFY2(line.open(44, &error), qPrintable(error));

    termios tio{};
    QCOMPARE(::tcgetattr(slave, &tio), 0);
    QCOMPARE(int(::cfgetospeed(&tio)), int(B19200));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QVERIFY(!(tio.c_cflag & CSTOPB));
    QVERIFY(!(tio.c_cflag & CRTSCTS));
    QVERIFY(!(tio.c_iflag & (IXON | IXOFF)));

    // Start from the opposite parity so the change itself is what is seen.
    line.setParity(odd ? Parity::Even : Parity::Odd);
    QCOMPARE(::tcgetattr(slave, &tio), 0);
    QCOMPARE(bool(tio.c_cflag & PARODD), !odd);

    line.setBaudRate(baud);
    line.setParity(parity);
    QCOMPARE(line.baudRate(), baud);
    QCOMPARE(line.parity(), parity);
    QCOMPARE(::tcgetattr(slave, &tio), 0);
    QCOMPARE(int(::cfgetospeed(&tio)), speed);
    QCOMPARE(bool(tio.c_cflag & PARODD), odd);
    QVERIFY(!(tio.c_cflag & CSTOPB));

    // Settings made while closed apply at the next open.
    line.close();
    line.setBaudRate(4800);
    QVERIFY2(line.open(44, &error), qPrintable(error));
    QCOMPARE(::tcgetattr(slave, &tio), 0);
    QCOMPARE(int(::cfgetospeed(&tio)), int(B4800));
    QCOMPARE(bool(tio.c_cflag & PARODD), odd);
}

void TestPortDirectory::flushInputDropsWhatArrivedBefore()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(49, pty.slavePath()));
    QSerialLine line;
    QString error;
    QVERIFY2(line.open(49, &error), qPrintable(error));
    QByteArray received;
    connect(&line, &SerialLine::bytesReceived, this, [&received](const QByteArray &bytes) { received += bytes; });

    QCOMPARE(::write(pty.master(), "stale", 5), ssize_t(5));
    QTest::qSleep(50); // let the bytes reach the slave without passing them on
    line.flushInput();
    QCOMPARE(::write(pty.master(), "fresh", 5), ssize_t(5));
    QTRY_COMPARE(received, QByteArrayLiteral("fresh"));
    QTest::qWait(50);
    QCOMPARE(received, QByteArrayLiteral("fresh"));
}

void TestPortDirectory::removedDeviceIsGoneAndReopens()
{
    Pty pty;
    QVERIFY(pty.isValid());
    QVERIFY(makeLink(50, pty.slavePath()));
    QSerialLine line;
    QString error;
    QVERIFY2(line.open(50, &error), qPrintable(error));
    QVERIFY(!line.deviceGone());

    QVERIFY(QFile::remove(PortDirectory::devicePath(50)));
    QVERIFY(line.deviceGone());

    line.close();
    QVERIFY(!line.deviceGone());
    QVERIFY(!line.open(50, &error));
    QVERIFY2(error.contains(PortDirectory::devicePath(50)), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("does not exist")), qPrintable(error));
    QCOMPARE(line.portNumber(), 0);

    QVERIFY(makeLink(50, pty.slavePath()));
    QVERIFY2(line.open(50, &error), qPrintable(error));
    QVERIFY(!line.deviceGone());
    line.write(QByteArrayLiteral("again"));
    QCOMPARE(pty.readMaster(5), QByteArrayLiteral("again"));
}

void TestPortDirectory::lineLetsGoOfADeviceThatWentAway_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("idle line") << QByteArray() << QByteArray();
    QTest::newRow("command written after") << QByteArray() << QByteArrayLiteral("SR2*");
    QTest::newRow("commands on both sides") << QByteArrayLiteral("SR3*") << QByteArrayLiteral("SR4*SR5*");
}

void TestPortDirectory::lineLetsGoOfADeviceThatWentAway()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    auto pty = std::make_unique<Pty>();
    QVERIFY(pty->isValid());
    QVERIFY(makeLink(46, pty->slavePath()));
    QSerialLine line;
    QString error;
    QVERIFY2(line.open(46, &error), qPrintable(error));
    auto *port = line.findChild<QSerialPort *>();
    QVERIFY(port);
    QSignalSpy failures(port, &QSerialPort::errorOccurred);

    if (!before.isEmpty())
        line.write(before);
    pty->hangUp();
    if (!after.isEmpty())
        line.write(after);
    // Retrying the queued bytes used to fail thousands of times a second
    // for as long as the line stayed open.
    QTRY_VERIFY(!line.isOpen());
    QTest::qWait(200);
    QVERIFY2(failures.size() <= 3, qPrintable(QStringLiteral("%1 failures").arg(failures.size())));
    QCOMPARE(line.freeTransmitSpace(), SerialLine::BufferSize);
    QCOMPARE(line.portNumber(), 0);

    // Writes to the closed line are dropped, and the same port opens again
    // once its device is back.
    line.write(QByteArrayLiteral("lost"));
    QCOMPARE(line.freeTransmitSpace(), SerialLine::BufferSize);
    pty = std::make_unique<Pty>();
    QVERIFY(pty->isValid());
    QVERIFY(makeLink(46, pty->slavePath()));
    QVERIFY2(line.open(46, &error), qPrintable(error));
    line.write(QByteArrayLiteral("again"));
    QCOMPARE(pty->readMaster(5), QByteArrayLiteral("again"));
}

void TestPortDirectory::transmitTime_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("baud");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<qint64>("micros");

    QTest::newRow("1 byte 9600 8N1") << qint64(1) << 9600 << Parity::None << qint64(1042);
    QTest::newRow("10 bytes 19200 8E1") << qint64(10) << 19200 << Parity::Even << qint64(5730);
    QTest::newRow("12 bytes 1200 8O1") << qint64(12) << 1200 << Parity::Odd << qint64(110000);
    QTest::newRow("nothing") << qint64(0) << 9600 << Parity::None << qint64(0);
}

void TestPortDirectory::transmitTime()
{
    QFETCH(qint64, bytes);
    QFETCH(int, baud);
    QFETCH(Parity, parity);
    QFETCH(qint64, micros);
    QCOMPARE(QSerialLine::transmitMicroseconds(bytes, baud, parity), micros);
}

QTEST_MAIN(TestPortDirectory)
#include "tst_portdirectory.moc"
