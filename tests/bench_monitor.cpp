// Reports what the line monitor costs while the live readout polls every
// 500 ms:
// - resident memory while the log fills up with the monitor open and
//   following the end, then at the start and every few minutes of 30 more
//   minutes of polling with the log full. This runs on the virtual clock:
//   the same exchanges, rows, scrolls and repaints as in real time, without
//   waiting for them (an hour takes well under one minute).
// - the CPU share of polling on the real clock and the real tick, with the
//   monitor closed and with it open: once with readings that change from
//   one poll to the next, as a live meter's do (the window repaints the
//   readout), and once with a reading that stays the same (it repaints
//   nothing, so the monitor's share shows alone).
//
//   bench_monitor [--minutes N] [--cpu-seconds N]
#include "rig.h"

#include "app/linemonitormodel.h"
#include "app/linemonitorwindow.h"
#include "pages/monitor/linelog.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int PollInterval = 500;

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The window shown, the meter found, the poll at 500 ms.
void startPolling(Rig &rig, bool changingReadings)
{
    if (changingReadings) {
        QObject::connect(rig.session.get(), &MeterSession::readingTaken, rig.session.get(), [&rig]() {
            static int reading = 1000;
            for (const char *reg : {"2", "3", "4", "5"})
                rig.meter.setReg(QString::fromLatin1(reg), QString::number(++reading % 10000));
        });
    }
    rig.window->show();
    rig.detect();
    rig.session->setPollInterval(PollInterval);
    rig.session->pollTimer().start();
}

LineMonitorWindow *openMonitor(Rig &rig)
{
    rig.window->findChild<QAction *>(QStringLiteral("LineMonitor1"))->trigger();
    return rig.window->findChild<LineMonitorWindow *>();
}

void memory(int minutes)
{
    Rig rig(TickClock::DefaultTick);
    startPolling(rig, true);
    LineMonitorWindow *monitor = openMonitor(rig);
    const LineLog &log = *rig.window->findChild<LineLog *>();
    int minute = 0;
    // The simulated meter and line keep every command for tests to read;
    // the program keeps none of them.
    const auto pollOneMinute = [&]() {
        rig.clock.advance(60 * 1000);
        rig.meter.clearLog();
        rig.line->clearWrites();
        ++minute;
    };
    const auto report = [&](const char *what) {
        std::printf("minute %3d  RSS %7ld kB  log %5d events, %6lld dropped  rows %5d  %s\n", minute, residentKb(),
                    log.size(), static_cast<long long>(log.droppedCount()), monitor->model()->rowCount(), what);
    };
    report("monitor opened");
    const long emptyKb = residentKb();
    // Until the log holds its 20000 events it grows; from then on it drops
    // the oldest.
    while (log.droppedCount() == 0)
        pollOneMinute();
    report("log full");
    const long fullKb = residentKb();
    const int filledIn = minute;
    for (int i = 1; i <= minutes; ++i) {
        pollOneMinute();
        if (i % 5 == 0 || i == minutes)
            report("");
    }
    std::printf("memory (virtual clock): filling the log took %d minutes, RSS %ld kB -> %ld kB; the next %d minutes"
                " with the log full: RSS start %ld kB, end %ld kB, change %+ld kB\n",
                filledIn, emptyKb, fullKb, minutes, fullKb, residentKb(), residentKb() - fullKb);
}

double cpuShare(int seconds, bool monitorOpen, bool changingReadings)
{
    Rig rig(TickClock::DefaultTick, SessionRig::Time::Real);
    startPolling(rig, changingReadings);
    int refreshes = 0;
    if (monitorOpen) {
        QObject::connect(openMonitor(rig)->model(), &LineMonitorModel::refreshed, rig.session.get(),
                         [&]() { ++refreshes; });
    }
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit); // settle
    loop.exec();
    const LineLog &log = *rig.window->findChild<LineLog *>();
    const qint64 eventsBefore = log.endSeq();
    QElapsedTimer wall;
    wall.start();
    const double before = cpuSeconds();
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - before;
    const double share = 100.0 * cpu / (wall.nsecsElapsed() / 1e9);
    std::printf("cpu, %s readings, monitor %-6s: %.3f s of CPU in %.1f s = %.3f %% of a core"
                " (%lld line events, %d refreshes of the monitor)\n",
                changingReadings ? "changing" : "steady", monitorOpen ? "open" : "closed", cpu,
                wall.nsecsElapsed() / 1e9, share, static_cast<long long>(log.endSeq() - eventsBefore), refreshes);
    return share;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int minutes = 30;
    int cpuSecondsEach = 60;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--minutes"))
            minutes = args[++i].toInt();
        else if (args[i] == QLatin1String("--cpu-seconds"))
            cpuSecondsEach = args[++i].toInt();
    }
    memory(minutes);
    for (const bool changing : {true, false}) {
        const double closed = cpuShare(cpuSecondsEach, false, changing);
        const double open = cpuShare(cpuSecondsEach, true, changing);
        std::printf("cpu, %s readings: open / closed = %.2f\n", changing ? "changing" : "steady",
                    closed > 0 ? open / closed : 0.0);
    }
    return 0;
}
