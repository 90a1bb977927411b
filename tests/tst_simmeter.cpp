#include "ptymeter.h"
#include "simline.h"
#include "simmeter.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using Bytes = QList<QByteArray>;

namespace {

bool isGarbled(const QByteArray &line)
{
    if (!line.endsWith("\r\n") || line.size() < 3)
        return false;
    for (int i = 0; i < line.size() - 2; ++i) {
        const uchar c = uchar(line.at(i));
        if (c >= 0x20 && c < 0x7f)
            return false;
        if (c == '\r' || c == '\n')
            return false;
    }
    return true;
}

// What a SimLine delivered, joined.
QByteArray joined(const QSignalSpy &spy)
{
    QByteArray all;
    for (const QList<QVariant> &args : spy)
        all += args.at(0).toByteArray();
    return all;
}

speed_t speedCode(int baud)
{
    switch (baud) {
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    default:
        return B9600;
    }
}

// A client of the published port using nothing but POSIX.
class PtyClient
{
public:
    explicit PtyClient(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {}
    ~PtyClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    bool setLine(int baud, Parity parity)
    {
        termios t = {};
        if (::tcgetattr(m_fd, &t) != 0)
            return false;
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, speedCode(baud));
        ::cfsetospeed(&t, speedCode(baud));
        t.c_cflag &= ~(PARENB | PARODD);
        if (parity != Parity::None)
            t.c_cflag |= PARENB | (parity == Parity::Odd ? PARODD : 0);
        return ::tcsetattr(m_fd, TCSANOW, &t) == 0;
    }
    // Sends `command` and collects what comes back until a CR LF or `waitMs`.
    QByteArray ask(const QByteArray &command, int waitMs)
    {
        if (::write(m_fd, command.constData(), size_t(command.size())) != command.size())
            return "write failed";
        QByteArray reply;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < waitMs && !reply.endsWith("\r\n")) {
            QTest::qWait(10);
            char buffer[256];
            ssize_t n = 0;
            while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
                reply.append(buffer, int(n));
        }
        return reply;
    }

private:
    int m_fd = -1;
};

} // namespace

class TestSimMeter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void parsing_data();
    void parsing();
    void repliesOnlyWhenCommandCompletes();
    void writeAcknowledgement_data();
    void writeAcknowledgement();
    void clockFollowsComputerUntilWritten();
    void faults_data();
    void faults();

    void lineSettings_data();
    void lineSettings();
    void deliveryIsAsynchronousAfterDelay_data();
    void deliveryIsAsynchronousAfterDelay();
    void chunkedDelivery_data();
    void chunkedDelivery();
    void closeDropsScheduledDeliveries();
    void flushDropsOnlyInjectedBytes();
    void unplugLosesWritesUntilReopened();
    void openRules();

    void ptyAnswersAtItsLineSettings_data();
    void ptyAnswersAtItsLineSettings();
    void ptyLinkLifecycle();
    void programStopsOnSigterm();

private:
    QTemporaryDir m_runtimeDir;
};

void TestSimMeter::initTestCase()
{
    // Keep published links away from any real meter-sim of this user.
    QVERIFY(m_runtimeDir.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtimeDir.path()));
    QVERIFY(PtyMeter::linkFolder().startsWith(m_runtimeDir.path()));
}

void TestSimMeter::parsing_data()
{
    QTest::addColumn<Bytes>("writes");
    QTest::addColumn<Bytes>("replies");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("read model") << Bytes{"SR153*"} << Bytes{"KM5B\r\n"} << QStringList{"SR153"};
    QTest::newRow("read version") << Bytes{"SR154*"} << Bytes{"1.26\r\n"} << QStringList{"SR154"};
    QTest::newRow("probe") << Bytes{"SR150$"} << Bytes{"1\r\n"} << QStringList{"SR150$"};
    QTest::newRow("brightness") << Bytes{"SR148*"} << Bytes{"5\r\n"} << QStringList{"SR148"};
    QTest::newRow("split in three") << Bytes{"S", "R15", "3*"} << Bytes{"KM5B\r\n"} << QStringList{"SR153"};
    QTest::newRow("split probe") << Bytes{"SR1", "50$"} << Bytes{"1\r\n"} << QStringList{"SR150$"};
    QTest::newRow("two in one write") << Bytes{"SR153*SR154*"} << Bytes{"KM5B\r\n", "1.26\r\n"}
                                      << QStringList{"SR153", "SR154"};
    QTest::newRow("probe then read joined")
        << Bytes{"SR150$SR153*"} << Bytes{"1\r\n", "KM5B\r\n"} << QStringList{"SR150$", "SR153"};
    QTest::newRow("garbage skipped") << Bytes{QByteArray("\r\n\0zz*$", 7) + "SR154*"} << Bytes{"1.26\r\n"}
                                     << QStringList{"SR154"};
    QTest::newRow("S at end of noise kept") << Bytes{"xxS", "R153*"} << Bytes{"KM5B\r\n"} << QStringList{"SR153"};
    QTest::newRow("interrupted command dropped")
        << Bytes{"SR15", "SR154*"} << Bytes{"1.26\r\n"} << QStringList{"SR154"};
    QTest::newRow("letter register") << Bytes{"SRH*"} << Bytes{"PEAK\r\n"} << QStringList{"SRH"};
    QTest::newRow("letter S register") << Bytes{"SRS*"} << Bytes{"UNDER\r\n"} << QStringList{"SRS"};
    QTest::newRow("unknown register") << Bytes{"SR999*"} << Bytes{"0\r\n"} << QStringList{"SR999"};
    QTest::newRow("code default") << Bytes{"SR131*"} << Bytes{"060\r\n"} << QStringList{"SR131"};
    QTest::newRow("write negative") << Bytes{"SW24,-32758*SR24*"} << Bytes{"OK\r\n", "-32758\r\n"}
                                    << QStringList{"SW24,-32758", "SR24"};
    QTest::newRow("write decimal") << Bytes{"SW25,1.2500*", "SR25*"} << Bytes{"OK\r\n", "1.2500\r\n"}
                                   << QStringList{"SW25,1.2500", "SR25"};
    QTest::newRow("write letter text") << Bytes{"SWH,MAX *SRH*"} << Bytes{"OK\r\n", "MAX \r\n"}
                                       << QStringList{"SWH,MAX ", "SRH"};
    QTest::newRow("setup code padded") << Bytes{"SW130,60*SR130*"} << Bytes{"OK\r\n", "060\r\n"}
                                       << QStringList{"SW130,60", "SR130"};
    QTest::newRow("setpoint code padded")
        << Bytes{"SW147,5*SR147*"} << Bytes{"OK\r\n", "005\r\n"} << QStringList{"SW147,5", "SR147"};
    QTest::newRow("setpoint code with its comma")
        << Bytes{"SW142,21,*SR142*"} << Bytes{"OK\r\n", "021\r\n"} << QStringList{"SW142,21,", "SR142"};
    QTest::newRow("non-code not padded") << Bytes{"SW140,5*SR140*"} << Bytes{"OK\r\n", "5\r\n"}
                                         << QStringList{"SW140,5", "SR140"};
    QTest::newRow("display text") << Bytes{"SW2,Open Sensor*SR2*"} << Bytes{"OK\r\n", "Open Sensor\r\n"}
                                  << QStringList{"SW2,Open Sensor", "SR2"};
    QTest::newRow("new address answers probe")
        << Bytes{"SW150,7*SR150$"} << Bytes{"OK\r\n", "7\r\n"} << QStringList{"SW150,7", "SR150$"};
    QTest::newRow("leading zero is no register") << Bytes{"SR0153*"} << Bytes{} << QStringList{"SR0153"};
    QTest::newRow("write without comma") << Bytes{"SW24*"} << Bytes{} << QStringList{"SW24"};

    Bytes single;
    for (char c : QByteArray("SW130,7*SR130*"))
        single << QByteArray(1, c);
    QTest::newRow("byte by byte") << single << Bytes{"OK\r\n", "007\r\n"} << QStringList{"SW130,7", "SR130"};
}

void TestSimMeter::parsing()
{
    QFETCH(Bytes, writes);
    QFETCH(Bytes, replies);
    QFETCH(QStringList, log);

    SimMeter meter;
    QSignalSpy commands(&meter, &SimMeter::commandReceived);
    Bytes got;
    for (const QByteArray &bytes : writes)
        got += meter.receive(bytes);
    QCOMPARE(got, replies);
    QCOMPARE(meter.log(), log);
    QCOMPARE(commands.count(), log.size());
    if (!log.isEmpty())
        QCOMPARE(commands.last().at(0).toString(), log.last());
}

void TestSimMeter::repliesOnlyWhenCommandCompletes()
{
    SimMeter meter;
    QVERIFY(meter.receive("SR15").isEmpty());
    QVERIFY(meter.log().isEmpty());
    QCOMPARE(meter.receive("3*SR1"), Bytes{"KM5B\r\n"});
    QCOMPARE(meter.receive("54*"), Bytes{"1.26\r\n"});
    meter.clearLog();
    QVERIFY(meter.log().isEmpty());
}

void TestSimMeter::writeAcknowledgement_data()
{
    QTest::addColumn<QString>("ack");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("default") << QStringLiteral("OK") << QByteArray("OK\r\n");
    QTest::newRow("blank") << QString() << QByteArray("\r\n");
    QTest::newRow("other text") << QStringLiteral("DONE") << QByteArray("DONE\r\n");
}

void TestSimMeter::writeAcknowledgement()
{
    QFETCH(QString, ack);
    QFETCH(QByteArray, line);
    SimMeter meter;
    QCOMPARE(meter.writeAck(), QStringLiteral("OK"));
    meter.setWriteAck(ack);
    QCOMPARE(meter.receive("SW148,7*"), Bytes{line});
    QCOMPARE(meter.reg("148"), QStringLiteral("7"));
}

void TestSimMeter::clockFollowsComputerUntilWritten()
{
    SimMeter meter;
    // Read until the minute did not roll over between reading and comparing.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QDateTime before = QDateTime::currentDateTime();
        const QStringList read = {meter.reg("214"), meter.reg("215"), meter.reg("216"),
                                  meter.reg("217"), meter.reg("218"), meter.reg("219")};
        const QDateTime after = QDateTime::currentDateTime();
        if (before.time().minute() != after.time().minute())
            continue;
        const QStringList expected = {
            QString::number(after.time().minute()),    QString::number(after.time().hour()),
            QString::number(after.date().dayOfWeek()), QString::number(after.date().day()),
            QString::number(after.date().month()),     QString::number(after.date().year() % 100)};
        QCOMPARE(read, expected);
        const int second = meter.reg("213").toInt();
        QVERIFY(qAbs(second - QTime::currentTime().second()) <= 1
                || qAbs(second - QTime::currentTime().second()) == 59);
        break;
    }
    QCOMPARE(meter.receive("SW215,12*SR215*"), (Bytes{"OK\r\n", "12\r\n"}));
}

void TestSimMeter::faults_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("garble");
    QTest::addColumn<QString>("pattern"); // per command: a = answered, - = nothing, g = garbled

    QTest::newRow("healthy") << false << 0 << 0 << "aaa";
    QTest::newRow("silent") << true << 0 << 0 << "---";
    QTest::newRow("drop two") << false << 2 << 0 << "--a";
    QTest::newRow("garble one") << false << 0 << 1 << "gaa";
    QTest::newRow("drop then garble") << false << 1 << 1 << "-ga";
}

void TestSimMeter::faults()
{
    QFETCH(bool, silent);
    QFETCH(int, drop);
    QFETCH(int, garble);
    QFETCH(QString, pattern);

    SimMeter meter;
    meter.setSilent(silent);
    meter.dropNextReplies(drop);
    meter.garbleNextReplies(garble);
    QSignalSpy withheld(&meter, &SimMeter::replyWithheld);
    const QByteArray commands[] = {"SR153*", "SW148,3*", "SR148*"};
    const QByteArray answers[] = {"KM5B\r\n", "OK\r\n", "3\r\n"};
    for (int i = 0; i < 3; ++i) {
        const Bytes replies = meter.receive(commands[i]);
        switch (pattern.at(i).toLatin1()) {
        case 'a':
            QCOMPARE(replies, Bytes{answers[i]});
            break;
        case 'g':
            QCOMPARE(replies.size(), 1);
            QVERIFY2(isGarbled(replies.first()), replies.first().toHex().constData());
            break;
        default:
            QVERIFY(replies.isEmpty());
        }
    }
    QCOMPARE(withheld.count(), int(pattern.count(QLatin1Char('-'))));
    QCOMPARE(meter.log().size(), 3);
    // A silent meter still hears and stores writes.
    QCOMPARE(meter.reg("148"), QStringLiteral("3"));
}

void TestSimMeter::lineSettings_data()
{
    QTest::addColumn<int>("meterBaud");
    QTest::addColumn<Parity>("meterParity");
    QTest::addColumn<int>("lineBaud");
    QTest::addColumn<Parity>("lineParity");
    QTest::addColumn<QString>("outcome"); // clear, silent, garbled

    QTest::newRow("match") << 9600 << Parity::None << 9600 << Parity::None << "clear";
    QTest::newRow("match even 19200") << 19200 << Parity::Even << 19200 << Parity::Even << "clear";
    QTest::newRow("baud differs") << 9600 << Parity::None << 4800 << Parity::None << "silent";
    QTest::newRow("baud differs, parity odd") << 2400 << Parity::Odd << 1200 << Parity::Odd << "silent";
    QTest::newRow("none vs odd") << 9600 << Parity::None << 9600 << Parity::Odd << "silent";
    QTest::newRow("even vs none") << 9600 << Parity::Even << 9600 << Parity::None << "silent";
    QTest::newRow("odd vs even") << 9600 << Parity::Odd << 9600 << Parity::Even << "garbled";
    QTest::newRow("even vs odd") << 300 << Parity::Even << 300 << Parity::Odd << "garbled";
}

void TestSimMeter::lineSettings()
{
    QFETCH(int, meterBaud);
    QFETCH(Parity, meterParity);
    QFETCH(int, lineBaud);
    QFETCH(Parity, lineParity);
    QFETCH(QString, outcome);

    SimMeter meter;
    meter.setBaudRate(meterBaud);
    meter.setParity(meterParity);
    SimLine line(&meter);
    line.setBaudRate(lineBaud);
    line.setParity(lineParity);
    QVERIFY(line.open(41, nullptr));
    QSignalSpy received(&line, &SerialLine::bytesReceived);
    line.write("SR153*");

    if (outcome == QLatin1String("silent")) {
        QVERIFY(!received.wait(150));
        QVERIFY(meter.log().isEmpty());
        // Settings take effect at once: the next command at the meter's own works.
        line.setBaudRate(meterBaud);
        line.setParity(meterParity);
        line.write("SR154*");
        QTRY_COMPARE(joined(received), QByteArray("1.26\r\n"));
    } else {
        QTRY_COMPARE(received.count(), 1);
        const QByteArray reply = joined(received);
        if (outcome == QLatin1String("clear"))
            QCOMPARE(reply, QByteArray("KM5B\r\n"));
        else
            QVERIFY2(isGarbled(reply), reply.toHex().constData());
        QCOMPARE(meter.log(), QStringList{"SR153"});
    }
}

void TestSimMeter::deliveryIsAsynchronousAfterDelay_data()
{
    QTest::addColumn<int>("delay");
    QTest::newRow("no delay") << 0;
    QTest::newRow("150 ms") << 150;
}

void TestSimMeter::deliveryIsAsynchronousAfterDelay()
{
    QFETCH(int, delay);
    SimLine line;
    line.meter()->setAnswerDelay(delay);
    QVERIFY(line.open(41, nullptr));
    QSignalSpy received(&line, &SerialLine::bytesReceived);
    QElapsedTimer clock;
    clock.start();
    line.write("SR153*SR150$");
    QCOMPARE(received.count(), 0);
    if (delay > 0) {
        QTest::qWait(delay / 2);
        QCOMPARE(received.count(), 0);
    }
    QTRY_COMPARE(received.count(), 2);
    QVERIFY(clock.elapsed() >= delay);
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("KM5B\r\n"));
    QCOMPARE(received.at(1).at(0).toByteArray(), QByteArray("1\r\n"));
    QCOMPARE(line.writes(), Bytes{"SR153*SR150$"});
}

void TestSimMeter::chunkedDelivery_data()
{
    QTest::addColumn<int>("chunk");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<Bytes>("pieces");
    QTest::newRow("whole") << 0 << QByteArray("SR153*") << Bytes{"KM5B\r\n"};
    QTest::newRow("2 bytes") << 2 << QByteArray("SR153*") << Bytes{"KM", "5B", "\r\n"};
    QTest::newRow("4 bytes") << 4 << QByteArray("SR153*") << Bytes{"KM5B", "\r\n"};
    QTest::newRow("two replies stay in order")
        << 4 << QByteArray("SR153*SR154*") << Bytes{"KM5B", "\r\n", "1.26", "\r\n"};
    QTest::newRow("chunk larger than reply") << 64 << QByteArray("SR153*") << Bytes{"KM5B\r\n"};
}

void TestSimMeter::chunkedDelivery()
{
    QFETCH(int, chunk);
    QFETCH(QByteArray, command);
    QFETCH(Bytes, pieces);
    SimLine line;
    line.setChunkSize(chunk);
    QVERIFY(line.open(41, nullptr));
    Bytes got;
    connect(&line, &SerialLine::bytesReceived, this, [&got](const QByteArray &bytes) { got << bytes; });
    line.write(command);
    QTRY_COMPARE(got.size(), pieces.size());
    QTest::qWait(20);
    QCOMPARE(got, pieces);
}

void TestSimMeter::closeDropsScheduledDeliveries()
{
    SimLine line;
    line.meter()->setAnswerDelay(50);
    QVERIFY(line.open(41, nullptr));
    QSignalSpy received(&line, &SerialLine::bytesReceived);
    line.write("SR153*");
    line.close();
    QVERIFY(!line.isOpen());
    QVERIFY(line.open(41, nullptr));
    QVERIFY(!received.wait(200));
    line.write("SR154*");
    QTRY_COMPARE(joined(received), QByteArray("1.26\r\n"));
}

void TestSimMeter::flushDropsOnlyInjectedBytes()
{
    SimLine line;
    QVERIFY(line.open(41, nullptr));
    QSignalSpy received(&line, &SerialLine::bytesReceived);
    line.injectReceived("noise");
    line.write("SR153*");
    line.flushInput();
    QTRY_COMPARE(received.count(), 1);
    QTest::qWait(20);
    QCOMPARE(joined(received), QByteArray("KM5B\r\n"));

    line.injectReceived("\r\nstray");
    QCOMPARE(received.count(), 1); // not from inside injectReceived()
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(received.last().at(0).toByteArray(), QByteArray("\r\nstray"));
}

void TestSimMeter::unplugLosesWritesUntilReopened()
{
    SimLine line;
    line.meter()->setAnswerDelay(30);
    QVERIFY(line.open(41, nullptr));
    QSignalSpy received(&line, &SerialLine::bytesReceived);
    line.write("SR153*");
    line.unplug();
    QVERIFY(line.deviceGone());
    line.write("SR154*");
    QVERIFY(!received.wait(150));
    QCOMPARE(line.meter()->log(), QStringList{"SR153"});
    QCOMPARE(line.written(), QByteArray("SR153*SR154*"));

    line.close();
    QVERIFY(line.open(41, nullptr));
    QVERIFY(!line.deviceGone());
    line.clearWrites();
    line.write("SR154*");
    QTRY_COMPARE(joined(received), QByteArray("1.26\r\n"));
    QCOMPARE(line.writes(), Bytes{"SR154*"});
}

void TestSimMeter::openRules()
{
    SimLine line;
    QList<PortEntry> ports = line.availablePorts();
    QCOMPARE(ports.size(), 1);
    QCOMPARE(ports.first().number, 41);
    QCOMPARE(ports.first().device, QStringLiteral("simulated meter"));

    QString error;
    QVERIFY(!line.open(42, &error));
    QVERIFY(!line.isOpen());
    QVERIFY(error.contains(QStringLiteral("COM42")));

    line.setPortNumber(45);
    QCOMPARE(line.availablePorts().first().number, 45);
    line.setOpenError(QStringLiteral("Access denied."));
    QVERIFY(!line.open(45, &error));
    QCOMPARE(error, QStringLiteral("Access denied."));
    line.setOpenError(QString());
    QVERIFY(line.open(45, &error));
    QVERIFY(line.open(45, &error));
    QCOMPARE(line.portNumber(), 45);
    QCOMPARE(line.freeTransmitSpace(), SerialLine::BufferSize);
    line.setFreeTransmitSpace(10);
    QCOMPARE(line.freeTransmitSpace(), 10);
    line.close();
    QVERIFY(!line.isOpen());
}

void TestSimMeter::ptyAnswersAtItsLineSettings_data()
{
    QTest::addColumn<Parity>("meterParity");
    QTest::addColumn<int>("clientBaud");
    QTest::addColumn<Parity>("clientParity");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("match") << Parity::None << 9600 << Parity::None << "clear";
    QTest::newRow("wrong baud") << Parity::None << 4800 << Parity::None << "silent";
    QTest::newRow("higher baud") << Parity::None << 19200 << Parity::None << "silent";
    QTest::newRow("odd both") << Parity::Odd << 9600 << Parity::Odd << "clear";
    QTest::newRow("none vs odd") << Parity::None << 9600 << Parity::Odd << "silent";
    QTest::newRow("even vs odd") << Parity::Even << 9600 << Parity::Odd << "garbled";
}

void TestSimMeter::ptyAnswersAtItsLineSettings()
{
    QFETCH(Parity, meterParity);
    QFETCH(int, clientBaud);
    QFETCH(Parity, clientParity);
    QFETCH(QString, outcome);

    SimMeter meter;
    meter.setParity(meterParity);
    PtyMeter pty(&meter);
    QString error;
    QVERIFY2(pty.start(41, &error), qPrintable(error));
    QCOMPARE(pty.linkPath(), PtyMeter::linkFolder() + QStringLiteral("/COM41"));

    PtyClient client(pty.linkPath());
    QVERIFY(client.isOpen());
    QVERIFY(client.setLine(clientBaud, clientParity));
    const QByteArray reply = client.ask("SR153*", outcome == QLatin1String("silent") ? 300 : 2000);
    if (outcome == QLatin1String("clear"))
        QCOMPARE(reply, QByteArray("KM5B\r\n"));
    else if (outcome == QLatin1String("garbled"))
        QVERIFY2(isGarbled(reply), reply.toHex().constData());
    else
        QCOMPARE(reply, QByteArray());
}

void TestSimMeter::ptyLinkLifecycle()
{
    const QString stale = PtyMeter::linkFolder() + QStringLiteral("/COM43");
    QVERIFY(QDir().mkpath(PtyMeter::linkFolder()));
    QFile::remove(stale);
    QVERIFY(QFile::link(QStringLiteral("/dev/pts/no-such-terminal"), stale));

    SimMeter meter;
    meter.setAnswerDelay(40);
    auto pty = std::make_unique<PtyMeter>(&meter);
    QString error;
    QVERIFY2(pty->start(43, &error), qPrintable(error));
    QCOMPARE(pty->linkPath(), stale);
    QCOMPARE(QFile::symLinkTarget(stale), pty->devicePath());

    // A second meter on the same port is refused and leaves the link alone.
    SimMeter other;
    PtyMeter second(&other);
    QVERIFY(!second.start(43, &error));
    QVERIFY(error.contains(QStringLiteral("COM43")));
    QCOMPARE(QFile::symLinkTarget(stale), pty->devicePath());
    QVERIFY(!second.start(51, &error));

    {
        // A client that closes must not stop the meter from serving the next.
        PtyClient first(stale);
        QVERIFY(first.setLine(9600, Parity::None));
        QCOMPARE(first.ask("SR150$", 2000), QByteArray("1\r\n"));
    }
    PtyClient next(stale);
    QVERIFY(next.setLine(9600, Parity::None));
    QCOMPARE(next.ask("SW213,5*", 2000), QByteArray("OK\r\n"));
    QCOMPARE(meter.reg("213"), QStringLiteral("5"));

    pty.reset();
    QVERIFY(!QFileInfo(stale).isSymLink());
}

void TestSimMeter::programStopsOnSigterm()
{
    const QString program = qEnvironmentVariable("METER_SIM_BIN");
    if (program.isEmpty())
        QSKIP("METER_SIM_BIN is not set (run through ctest)");
    QProcess sim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
    sim.setProcessEnvironment(environment);
    sim.start(program, {QStringLiteral("--com"), QStringLiteral("44"), QStringLiteral("--baud"),
                        QStringLiteral("19200"), QStringLiteral("--parity"), QStringLiteral("odd")});
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
    const QString first = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const QRegularExpression expected(
        QStringLiteral("^meter-sim: COM44 -> (/dev/pts/\\d+) \\(19200 baud, parity odd\\)$"));
    const QRegularExpressionMatch match = expected.match(first);
    QVERIFY2(match.hasMatch(), qPrintable(first));
    const QString link = PtyMeter::linkFolder() + QStringLiteral("/COM44");
    QCOMPARE(QFile::symLinkTarget(link), match.captured(1));

    {
        PtyClient client(link);
        QVERIFY(client.setLine(19200, Parity::Odd));
        QCOMPARE(client.ask("SR154*", 3000), QByteArray("1.26\r\n"));
    }
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += sim.readAll()).contains("meter-sim: sent 1.26"), 3000);

    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestSimMeter)
#include "tst_simmeter.moc"
