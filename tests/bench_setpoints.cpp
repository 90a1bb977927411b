// Times the Setpoint Control page's read-back (42 reads) and a "Set
// Controls" run (36 writes and the read-back) on the real tick, against the
// in-process simulated meter that answers at once.
#include "operator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Rig rig(TickClock::DefaultTick, Rig::Time::Real);
    Operator op(rig);
    rig.detect();
    op.showWindow();

    constexpr int Runs = 5;
    QList<double> readBacks;
    QList<double> setControls;
    for (int i = 0; i < Runs; ++i) {
        op.openTab(PageId::Brightness);
        QElapsedTimer timer;
        timer.start();
        op.openTab(PageId::Setpoints);
        readBacks.append(timer.nsecsElapsed() / 1e9);
        timer.start();
        op.press(QStringLiteral("Set Controls"));
        setControls.append(timer.nsecsElapsed() / 1e9);
    }
    std::sort(readBacks.begin(), readBacks.end());
    std::sort(setControls.begin(), setControls.end());
    printf("read-back (42 reads): median %.2f s, min %.2f s, max %.2f s\n", readBacks[Runs / 2], readBacks.first(),
           readBacks.last());
    printf("Set Controls (36 writes + 42 reads): median %.2f s, min %.2f s, max %.2f s\n", setControls[Runs / 2],
           setControls.first(), setControls.last());
    return 0;
}
