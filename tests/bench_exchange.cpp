// Times reads through the exchange against the in-process simulated meter
// with no answer delay, on the real tick, and the CPU used while waiting.
#include "sessionrig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SessionRig rig(TickClock::DefaultTick);
    rig.detect();
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
    std::sort(times.begin(), times.end());
    printf("exchanges: %d\n", Reads);
    printf("median ms per exchange: %.1f\n", (times[Reads / 2 - 1] + times[Reads / 2]) / 2);
    printf("min ms: %.1f  max ms: %.1f\n", times.first(), times.last());
    printf("wall s: %.2f  cpu s: %.3f  cpu share: %.2f%%\n", wallSeconds, cpu, 100.0 * cpu / wallSeconds);
    return 0;
}
