#include "operator.h"

#include "link/errors.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <chrono>

// When the live readout's poll runs: a meter slower than the sampling time,
// clicks while a poll waits, page changes, and how precisely the watchdog
// keeps its time.
class PollTimersTest : public QObject
{
    Q_OBJECT

private:
    // The polls in a wire log: every run of reads that starts with SR2.
    static QList<QStringList> polls(const QStringList &wire)
    {
        QList<QStringList> found;
        for (const QString &command : wire) {
            if (command == QLatin1String("SR2"))
                found.append(QStringList());
            if (!found.isEmpty())
                found.last().append(command);
        }
        return found;
    }

private slots:
    // A click during a poll queues an exchange behind the poll's SR2. Once
    // it is on the line, a meter that answers no faster than the sampling
    // time used to let the next tick nest a poll inside it, then another
    // inside that one: SR2 after SR2, the reading frozen, the stack growing.
    void slowMeterKeepsThePollInOrder_data()
    {
        QTest::addColumn<int>("answerMs");
        QTest::newRow("answer time equals the sampling time") << 100;
        QTest::newRow("answer time 1.2 times the sampling time") << 120;
        QTest::newRow("answer time 2.5 times the sampling time") << 250;
    }
    void slowMeterKeepsThePollInOrder()
    {
        QFETCH(int, answerMs);
        SessionRig rig;
        rig.detect();
        rig.meter.setAnswerDelay(answerMs);
        rig.session->pollTimer().setInterval(100);
        rig.meter.clearLog();

        QObject context;
        bool clicked = false;
        int deepestLoop = 0;
        connect(&rig.meter, &SimMeter::commandReceived, &context, [&](const QString &command) {
            deepestLoop = qMax(deepestLoop, QThread::currentThread()->loopLevel());
            if (command != QLatin1String("SR2") || clicked)
                return;
            clicked = true;
            rig.clock.singleShot(10, &context, [&]() {
                rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR153")); });
            });
        });
        // Long enough for the click and two whole polls after it; then every
        // wait is ended, however deep.
        rig.clock.singleShot(12 * answerMs + 500, &context, [&]() { rig.exchange().requestQuit(); });
        VTRY_VERIFY(rig, rig.exchange().quitting());

        QStringList wire = rig.commands();
        QVERIFY(clicked);
        QCOMPARE(wire.count(QStringLiteral("SR153")), 1);
        wire.removeAll(QStringLiteral("SR153"));
        const QList<QStringList> seen = polls(wire);
        QVERIFY2(seen.size() >= 3, qPrintable(wire.join(' ')));
        for (qsizetype i = 0; i + 1 < seen.size(); ++i)
            QCOMPARE(seen.at(i), (QStringList{"SR2", "SR3", "SR4", "SR5"}));
        // The test's own wait, the poll's and the click's exchange, and the
        // pauses inside them: nothing deeper.
        QVERIFY2(deepestLoop <= 4, qPrintable(QStringLiteral("event loops nested %1 deep").arg(deepestLoop)));
    }

    // The page-change frame around an operation with and without commands.
    void operationHoldsThePollOnlyWhenItSends_data()
    {
        QTest::addColumn<int>("commands");
        QTest::newRow("entry that sends nothing") << 0;
        QTest::newRow("entry that reads once") << 1;
        QTest::newRow("entry that reads three times") << 3;
    }
    void operationHoldsThePollOnlyWhenItSends()
    {
        QFETCH(int, commands);
        SessionRig rig;
        rig.detect();
        ClockTimer &poll = rig.session->pollTimer();
        poll.setInterval(1000);
        poll.start();
        rig.clock.advance(500);
        const int leftBefore = poll.remainingTime();
        rig.meter.clearLog();
        bool activeInside = false;
        rig.session->runOperation([&]() {
            for (int i = 0; i < commands; ++i)
                rig.exchange().comms(QStringLiteral("SR153"));
            activeInside = poll.isActive();
        });
        QVERIFY(poll.isActive());
        if (commands == 0) {
            // Left alone: the next reading is not put off.
            QVERIFY(activeInside);
            QVERIFY2(poll.remainingTime() <= leftBefore,
                     qPrintable(QStringLiteral("%1 ms left, %2 before").arg(poll.remainingTime()).arg(leftBefore)));
        } else {
            // Held from the first command to the end, then a full interval.
            QVERIFY(!activeInside);
            QVERIFY2(poll.remainingTime() > 800, qPrintable(QString::number(poll.remainingTime())));
            QCOMPARE(rig.commands(), QStringList(commands, QStringLiteral("SR153")));
        }
    }

    // The same through the window: a click on a tab.
    void tabEntryHoldsThePollOnlyWhenItReads_data()
    {
        QTest::addColumn<PageId>("page");
        QTest::addColumn<bool>("reads");
        QTest::newRow("Brightness sends nothing") << PageId::Brightness << false;
        QTest::newRow("Setpoint Control reads the setpoints") << PageId::Setpoints << true;
    }
    void tabEntryHoldsThePollOnlyWhenItReads()
    {
        QFETCH(PageId, page);
        QFETCH(bool, reads);
        Rig rig;
        rig.detect();
        Operator op(rig);
        op.showWindow();
        ClockTimer &poll = rig.session->pollTimer();
        poll.setInterval(2000);
        poll.start();
        rig.clock.advance(1000);
        const int leftBefore = poll.remainingTime();
        op.clearWire();
        op.openTab(page);
        QVERIFY(poll.isActive());
        QVERIFY(!op.wire().contains(QStringLiteral("SR2")));
        QCOMPARE(!op.wire().isEmpty(), reads);
        if (reads)
            QVERIFY2(poll.remainingTime() > 1600, qPrintable(QString::number(poll.remainingTime())));
        else
            QVERIFY2(poll.remainingTime() <= leftBefore, qPrintable(QString::number(poll.remainingTime())));
        poll.stop();
    }

    // Changing tabs faster than the sampling time used to put the next
    // reading off at every change, so that no poll ever ran.
    void quickTabChangesDoNotStarveThePoll()
    {
        Rig rig;
        rig.detect();
        Operator op(rig);
        op.showWindow();
        rig.session->pollTimer().setInterval(300);
        rig.session->pollTimer().start();
        op.clearWire();

        ClockTimer changes(rig.clock);
        int changed = 0;
        connect(&changes, &ClockTimer::timeout, &changes,
                [&]() { op.openTab(changed++ % 2 ? PageId::DisplayValue : PageId::Brightness); });
        changes.start(100);
        rig.clock.advance(1600);
        changes.stop();
        rig.session->pollTimer().stop();

        QVERIFY(changed >= 10);
        const QList<QStringList> seen = polls(op.wire());
        QVERIFY2(seen.size() >= 3, qPrintable(op.wire().join(' ')));
    }

    // A meter answering in 4.99 s is inside the 5 s time-out.
    void replyJustInsideTheWatchdogIsTaken()
    {
        SessionRig rig;
        rig.detect();
        rig.setWatchdog(CommandExchange::ReplyTimeout);
        rig.meter.setAnswerDelay(4990);
        Reply reply;
        rig.session->runHandler([&]() { reply = rig.exchange().comms(QStringLiteral("SR153")); });
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 0);
        QCOMPARE(reply.text, rig.meter.model());
    }
};

QTEST_MAIN(PollTimersTest)
#include "tst_polltimers.moc"
