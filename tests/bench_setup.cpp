// Times the read of a meter's whole setup (every setting register, tables
// and macro included) against the in-process simulated meter on the real
// tick, and compares it with reads x 110 ms plus the meter's answer time.
//
//   bench_setup [answer delay in ms]
#include "modelrig.h"

#include "pages/setup/setuptransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int answerMs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 0;
    ModelRig rig(TickClock::DefaultTick, SessionRig::Time::Real);
    rig.detect();
    rig.session->pollTimer().stop();
    rig.meter.setAnswerDelay(answerMs);
    const QList<SettingRegister> registers =
        setuptransfer::registersOf(rig.setup->settingRegisters(), rig.session->identity());
    QElapsedTimer wall;
    wall.start();
    const QList<setupfile::Entry> values = setuptransfer::readRegisters(rig.exchange(), registers);
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double bound = values.size() * (0.110 + answerMs / 1000.0);
    std::printf("%lld registers read in %.2f s (%.1f ms each); reads x (110 ms + %d ms answer) = %.2f s; %+.2f %%\n",
                static_cast<long long>(values.size()), seconds, 1000 * seconds / values.size(), answerMs, bound,
                100 * (seconds - bound) / bound);
    return values.size() == registers.size() ? 0 : 1;
}
