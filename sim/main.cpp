// meter-sim: a simulated Korvane panel meter on a pseudo-terminal, published
// as COM41..COM50 for the setup program.

#include "ptymeter.h"
#include "simmeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// SIGINT/SIGTERM only write a byte here; the event loop reads it and quits.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[1], &byte, 1);
    (void)written;
}

bool catchStopSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

QString lineText(int baud, Parity parity)
{
    return QStringLiteral("%1 baud, parity %2").arg(baud).arg(parityName(parity));
}

// A reply line for the log: CR LF dropped, other unprintable bytes as \xHH.
QString printable(QByteArray bytes)
{
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    if (bytes.isEmpty())
        return QStringLiteral("(blank line)");
    QString text;
    for (char c : bytes) {
        const uchar u = uchar(c);
        if (u >= 0x20 && u < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("meter-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated Korvane panel meter on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption modelOption(QStringLiteral("model"), QStringLiteral("Model code."), QStringLiteral("code"),
                                         QStringLiteral("KM5B"));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Firmware version."),
                                           QStringLiteral("text"), QStringLiteral("1.26"));
    const QCommandLineOption addressOption(QStringLiteral("address"), QStringLiteral("Meter address."),
                                           QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Baud rate, 300..19200."),
                                        QStringLiteral("rate"), QStringLiteral("9600"));
    const QCommandLineOption parityOption(QStringLiteral("parity"), QStringLiteral("none, odd or even."),
                                          QStringLiteral("parity"), QStringLiteral("none"));
    const QCommandLineOption delayOption(QStringLiteral("delay"), QStringLiteral("Answer delay in ms."),
                                         QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption comOption(QStringLiteral("com"), QStringLiteral("Publish as COM<n>, 41..50."),
                                       QStringLiteral("n"), QStringLiteral("41"));
    const QCommandLineOption silentOption(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption garbleOption(QStringLiteral("garble"), QStringLiteral("Garble the first n replies."),
                                          QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption dropOption(QStringLiteral("drop"), QStringLiteral("Drop the first n replies."),
                                        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption blankAckOption(QStringLiteral("blank-ack"),
                                            QStringLiteral("Acknowledge writes with a blank line."));
    parser.addOptions({modelOption, versionOption, addressOption, baudOption, parityOption, delayOption, comOption,
                       silentOption, garbleOption, dropOption, blankAckOption});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto fail = [&err](const QString &text) {
        err << "meter-sim: " << text << Qt::endl;
        return 2;
    };
    const auto number = [&parser](const QCommandLineOption &option, int low, int high, int *value) {
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        return ok && *value >= low && *value <= high;
    };

    int baud = 0, address = 0, delay = 0, com = 0, garble = 0, drop = 0;
    static const QList<int> bauds = {300, 600, 1200, 2400, 4800, 9600, 19200};
    if (!number(baudOption, 300, 19200, &baud) || !bauds.contains(baud))
        return fail(QStringLiteral("--baud must be one of 300, 600, 1200, 2400, 4800, 9600, 19200."));
    const std::optional<Parity> named = parityNamed(parser.value(parityOption));
    if (!named)
        return fail(QStringLiteral("--parity must be none, odd or even."));
    const Parity parity = *named;
    if (!number(addressOption, 0, 999, &address))
        return fail(QStringLiteral("--address must be a number 0..999."));
    if (!number(delayOption, 0, 600000, &delay))
        return fail(QStringLiteral("--delay must be a number of milliseconds."));
    if (!number(comOption, PtyMeter::FirstCom, PtyMeter::LastCom, &com))
        return fail(QStringLiteral("--com must be a number 41..50."));
    if (!number(garbleOption, 0, 1000000, &garble) || !number(dropOption, 0, 1000000, &drop))
        return fail(QStringLiteral("--garble and --drop take a count of replies."));

    SimMeter meter;
    meter.setModel(parser.value(modelOption));
    meter.setVersion(parser.value(versionOption));
    meter.setAddress(address);
    meter.setBaudRate(baud);
    meter.setParity(parity);
    meter.setAnswerDelay(delay);
    meter.setSilent(parser.isSet(silentOption));
    meter.garbleNextReplies(garble);
    meter.dropNextReplies(drop);
    if (parser.isSet(blankAckOption))
        meter.setWriteAck(QString());

    if (!catchStopSignals())
        return fail(QStringLiteral("cannot catch SIGINT/SIGTERM."));
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [] {
        char byte;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });

    const auto say = [&out](const QString &text) { out << "meter-sim: " << text << Qt::endl; };
    PtyMeter pty(&meter);
    QObject::connect(&meter, &SimMeter::commandReceived, &pty,
                     [&say](const QString &command) { say(QStringLiteral("received ") + command); });
    QObject::connect(&meter, &SimMeter::replyWithheld, &pty, [&say](const QString &command, const QString &reason) {
        say(QStringLiteral("no reply to %1 (%2)").arg(command, reason));
    });
    QObject::connect(&pty, &PtyMeter::replySent, &pty,
                     [&say](const QByteArray &line) { say(QStringLiteral("sent ") + printable(line)); });
    QObject::connect(&pty, &PtyMeter::bytesIgnored, &pty,
                     [&say, &meter](const QByteArray &bytes, int lineBaud, Parity lineParity) {
                         say(QStringLiteral("ignored %1 bytes at %2 (meter is at %3)")
                                 .arg(bytes.size())
                                 .arg(lineText(lineBaud, lineParity), lineText(meter.baudRate(), meter.parity())));
                     });

    QString error;
    if (!pty.start(com, &error)) {
        err << "meter-sim: " << error << Qt::endl;
        return 1;
    }
    say(QStringLiteral("COM%1 -> %2 (%3)").arg(com).arg(pty.devicePath(), lineText(baud, parity)));
    say(QStringLiteral("link ") + pty.linkPath());

    const int result = app.exec();
    pty.stop();
    say(QStringLiteral("stopped"));
    return result;
}
