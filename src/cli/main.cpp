#include "metercli.h"

#include "link/qserialline.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Ctrl+C and termination arrive as a byte on this pipe, so that the
// command stops from the event loop, after the exchange on the line.
int interruptPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(interruptPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("meter-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(METER_SETUP_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    MeterCli::Io io;
    io.out = &out;
    io.err = &err;
    io.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    io.inIsTerminal = ::isatty(STDIN_FILENO) == 1;
    io.readAnswer = [&in]() { return in.readLine(); };

    MeterCli cli(io, [](int number, const QString &device) {
        auto line = std::make_unique<QSerialLine>();
        if (number == 0)
            line->useDevice(device);
        return line;
    });

    if (::pipe(interruptPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier interrupts(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupts, &QSocketNotifier::activated, &cli, [&cli]() {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(interruptPipe[0], &byte, 1);
        cli.interrupt();
    });

    const int exitCode = cli.run(QCoreApplication::arguments());
    out.flush();
    err.flush();
    return exitCode;
}
