// Times the link against the in-process simulated meter on the real tick:
// reads through the exchange (with the CPU used while waiting), one-tick
// pauses, the poll's period and when the 5000 ms watchdog fires. Each is
// reported as median, minimum and maximum.
//
//   bench_exchange [--coarse] [--watchdog-samples N]
//
// --coarse runs the poll and the watchdog on coarse timers, for comparison.
#include "sessionrig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void report(const char *what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const qsizetype n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-34s n=%-4lld median %8.1f  min %8.1f  max %8.1f  spread %6.1f ms\n", what, (long long)n, median,
                ms.first(), ms.last(), ms.last() - ms.first());
}

// Waits until the monotonic clock (the one timers run on) is `phase` ms
// into its second: coarse timers are moved towards whole seconds, so
// where a timer starts decides how far it is moved.
void waitForPhase(int phase)
{
    using namespace std::chrono;
    const auto fraction = []() {
        return int(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() % 1000);
    };
    while (fraction() != phase)
        QThread::usleep(100);
}

void useTimerType(SessionRig &rig, Qt::TimerType type)
{
    rig.exchange().commsTimer().setTimerType(type);
    rig.session->pollTimer().setTimerType(type);
}

void exchanges(Qt::TimerType type)
{
    SessionRig rig(TickClock::DefaultTick, SessionRig::Time::Real);
    useTimerType(rig, type);
    rig.detect();
    rig.session->pollTimer().stop();
    constexpr int Reads = 100;
    QList<double> times;
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    for (int i = 0; i < Reads; ++i) {
        QElapsedTimer one;
        one.start();
        rig.exchange().comms(QStringLiteral("SR153"));
        times.append(one.nsecsElapsed() / 1e6);
    }
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    report("exchange (answer at once)", times);
    std::printf("%-34s wall %.2f s  cpu %.3f s  cpu share %.2f%%\n", "", wallSeconds, cpu, 100.0 * cpu / wallSeconds);

    // Each reply started the poll again; it must not run inside a pause.
    rig.session->pollTimer().stop();
    QList<double> pauses;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer one;
        one.start();
        rig.exchange().delayTicks(1);
        pauses.append(one.nsecsElapsed() / 1e6);
    }
    report("one-tick pause (55..110 ms)", pauses);
}

// From the last reply of one poll to the first read of the next: the
// sampling time, 500 ms here.
void pollPeriods(Qt::TimerType type)
{
    SessionRig rig(TickClock::DefaultTick, SessionRig::Time::Real);
    useTimerType(rig, type);
    rig.detect();
    constexpr int Interval = 500;
    rig.session->pollTimer().setInterval(Interval);
    QElapsedTimer clock;
    clock.start();
    qint64 lastReplyNs = -1;
    QList<double> gaps;
    QObject context;
    QObject::connect(&rig.exchange(), &CommandExchange::replyTaken, &context,
                     [&](const QString &) { lastReplyNs = clock.nsecsElapsed(); });
    QObject::connect(&rig.meter, &SimMeter::commandReceived, &context, [&](const QString &command) {
        if (command == QLatin1String("SR2") && lastReplyNs >= 0)
            gaps.append((clock.nsecsElapsed() - lastReplyNs) / 1e6 - Interval);
    });
    rig.session->pollTimer().start();
    while (gaps.size() < 16)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    rig.session->pollTimer().stop();
    report("poll late by (500 ms sampling)", gaps);
}

// The meter is silent: from the write to the time-out dialog, started at
// points spread over the clock's second.
void watchdogFirings(Qt::TimerType type, int samples)
{
    QList<double> firings;
    for (int i = 0; i < samples; ++i) {
        SessionRig rig(TickClock::DefaultTick, SessionRig::Time::Real);
        useTimerType(rig, type);
        rig.detect();
        rig.session->pollTimer().stop();
        rig.setWatchdog(CommandExchange::ReplyTimeout);
        rig.meter.setSilent(true);
        QElapsedTimer sent;
        rig.prompts.whileTimeoutOpen = [&]() { firings.append(sent.nsecsElapsed() / 1e6); };
        waitForPhase((100 + i * 1000 / samples) % 1000);
        sent.start();
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR2")); });
    }
    report("watchdog fires at (5000 ms)", firings);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const Qt::TimerType type = args.contains(QStringLiteral("--coarse")) ? Qt::CoarseTimer : Qt::PreciseTimer;
    int samples = 5;
    const qsizetype at = args.indexOf(QStringLiteral("--watchdog-samples"));
    if (at > 0 && at + 1 < args.size())
        samples = qMax(1, args.at(at + 1).toInt());

    std::printf("poll and watchdog timers: %s\n", type == Qt::PreciseTimer ? "precise" : "coarse");
    exchanges(type);
    pollPeriods(type);
    watchdogFirings(type, samples);
    return 0;
}
