#include "sessionrig.h"

#include "link/errors.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The request/reply exchange: bytes on the wire, the reply fields, nested
// exchanges, the watchdog and its dialog, quitting, and the pace.
class ExchangeTest : public QObject
{
    Q_OBJECT

private:
    // A rig whose meter has been found, with the command log cleared.
    static std::unique_ptr<SessionRig> detectedRig(std::chrono::milliseconds tick = std::chrono::milliseconds(5))
    {
        auto rig = std::make_unique<SessionRig>(tick);
        rig->detect();
        rig->meter.clearLog();
        rig->line->clearWrites();
        return rig;
    }

private slots:
    void replyFields_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        QTest::newRow("decimal") << "12.50"
                                 << "12.50"
                                 << "1250";
        QTest::newRow("two points lose the first") << "1.2.3"
                                                   << "1.2.3"
                                                   << "12.3";
        QTest::newRow("leading blanks") << "  12.34"
                                        << "12.34"
                                        << "1234";
        QTest::newRow("leading control chars") << "\t\x01-7"
                                               << "-7"
                                               << "-7";
        QTest::newRow("trailing blanks kept") << "5  "
                                              << "5  "
                                              << "5  ";
        QTest::newRow("code with zeros") << "005"
                                         << "005"
                                         << "005";
    }
    void replyFields()
    {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QFETCH(QString, value);
        auto rig = detectedRig();
        rig->meter.setReg(QStringLiteral("99"), raw);
        const Reply reply = rig->exchange().comms(QStringLiteral("SR99"));
        QCOMPARE(rig->line->writes(), QList<QByteArray>{"SR99*"});
        QCOMPARE(reply.text, text);
        QCOMPARE(reply.value, value);
        QCOMPARE(rig->exchange().replyText(), text);
        QCOMPARE(rig->exchange().replyValue(), value);
        QVERIFY(rig->exchange().replyArrived());
    }

    void blankReplyIsTheExchangesOwn_data()
    {
        QTest::addColumn<QString>("blank");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces") << "   ";
    }
    void blankReplyIsTheExchangesOwn()
    {
        QFETCH(QString, blank);
        auto rig = detectedRig();
        rig->meter.setReg(QStringLiteral("99"), blank);
        rig->exchange().comms(QStringLiteral("SR153"));
        const Reply reply = rig->exchange().comms(QStringLiteral("SR99"));
        QVERIFY(reply.text.isEmpty());
        QVERIFY(reply.value.isEmpty());
        // The shared fields keep the last non-blank reply.
        QCOMPARE(rig->exchange().replyText(), rig->meter.model());
        QVERIFY(rig->exchange().replyArrived());
        // A number read from a blank reply fails instead of using the old one.
        QVERIFY_THROWS_EXCEPTION(UserError, convert::toInt(reply.value));
    }

    void nestedExchangeWaitsAndKeepsTheOuterReply()
    {
        auto rig = detectedRig();
        rig->meter.setAnswerDelay(60);
        Reply inner;
        QByteArray writtenWhenInnerStarted;
        rig->clock.singleShot(10, rig->session.get(), [&]() {
            rig->session->runHandler([&]() {
                writtenWhenInnerStarted = rig->line->written();
                inner = rig->exchange().comms(QStringLiteral("SR154"));
            });
        });
        Reply outer;
        rig->session->runHandler([&]() { outer = rig->exchange().comms(QStringLiteral("SR153")); });
        VTRY_COMPARE(*rig, inner.text, rig->meter.version());
        // Only the outer command was on the line when the inner one began.
        QCOMPARE(writtenWhenInnerStarted, QByteArray("SR153*"));
        QCOMPARE(rig->line->writes(), (QList<QByteArray>{"SR153*", "SR154*"}));
        QCOMPARE(outer.text, rig->meter.model());
    }

    void outerCallerReadsItsOwnReplyAfterANestedOne()
    {
        auto rig = detectedRig();
        rig->meter.setAnswerDelay(2);
        QString sharedAfterOuter;
        // The inner exchange runs inside the outer one's last pause, after
        // the outer reply is in.
        connect(&rig->exchange(), &CommandExchange::replyTaken, rig->session.get(), [&](const QString &text) {
            if (text == rig->meter.model())
                QTimer::singleShot(0, rig->session.get(), [&]() {
                    rig->session->runHandler([&]() { rig->exchange().comms(QStringLiteral("SR154")); });
                });
        });
        rig->session->runHandler([&]() {
            rig->exchange().comms(QStringLiteral("SR153"));
            sharedAfterOuter = rig->exchange().replyValue();
        });
        QCOMPARE(rig->line->writes(), (QList<QByteArray>{"SR153*", "SR154*"}));
        QCOMPARE(sharedAfterOuter, rig->meter.model());
    }

    void quickWritesLeaveTheMeterAtTheShownState()
    {
        auto rig = detectedRig();
        rig->meter.setAnswerDelay(30);
        int shown = 0;
        // Three quick "clicks" while a write waits, each changing the state
        // the control shows and asking for a write of it.
        const int steps[] = {3, 7, 6};
        for (int i = 0; i < 3; ++i) {
            const int step = steps[i];
            rig->clock.singleShot(5 + 5 * i, rig->session.get(), [&, step]() {
                shown = step;
                rig->session->runHandler(
                    [&]() { rig->exchange().comms([&]() { return QStringLiteral("SW148,%1").arg(shown); }); });
            });
        }
        rig->session->runHandler([&]() { rig->exchange().comms(QStringLiteral("SW148,1")); });
        VTRY_COMPARE(*rig, rig->line->writes().size(), 4);
        VTRY_VERIFY(*rig, !rig->exchange().commandOnLine());
        QCOMPARE(rig->meter.reg(QStringLiteral("148")), QString::number(shown));
        QCOMPARE(shown, 6);
    }

    void freshCommandSurvivesADeafFramerAndAFragment()
    {
        auto rig = detectedRig();
        rig->session->framer().disable(); // as after the framer's own time-out
        rig->session->framer().enable();
        rig->line->injectReceived("\x83\x91");
        rig->clock.advance(20);
        // The flush throws the fragment away: the replies may be out of step.
        QVERIFY_THROWS_EXCEPTION(RepliesOutOfStep, rig->exchange().comms(QStringLiteral("SR153")));
        QVERIFY(rig->line->writes().isEmpty());
        const Reply reply = rig->exchange().comms(QStringLiteral("SR153"));
        QCOMPARE(reply.text, rig->meter.model());

        rig->session->framer().disable();
        QCOMPARE(rig->exchange().comms(QStringLiteral("SR154")).text, rig->meter.version());
    }

    void timeOutAbortEndsTheProgram()
    {
        auto rig = detectedRig();
        rig->meter.setSilent(true);
        rig->prompts.timeoutAnswers = {Prompts::TimeoutChoice::Abort};
        bool after = false;
        rig->session->runHandler([&]() {
            rig->exchange().comms(QStringLiteral("SR2"));
            after = true;
            rig->exchange().comms(QStringLiteral("SR3"));
        });
        QCOMPARE(rig->prompts.count(QStringLiteral("timeout")), 1);
        QCOMPARE(rig->prompts.texts(QStringLiteral("timeout")).first(), QStringLiteral("Timed out waiting for reply"));
        QCOMPARE(rig->prompts.lastTimeoutCaption, QStringLiteral("Communications Error"));
        QVERIFY(!after);
        QCOMPARE(rig->quits, 1);
        QCOMPARE(rig->line->writes(), QList<QByteArray>{"SR2*"});
        QCOMPARE(rig->prompts.count(QStringLiteral("error")), 0);
        QVERIFY(!rig->session->pollTimer().isActive());
    }

    void timeOutRetryRunsDetectionAndStopsTheCaller_data()
    {
        QTest::addColumn<Prompts::TimeoutChoice>("answer");
        QTest::newRow("retry") << Prompts::TimeoutChoice::Retry;
        QTest::newRow("ignore") << Prompts::TimeoutChoice::Ignore;
    }
    void timeOutRetryRunsDetectionAndStopsTheCaller()
    {
        QFETCH(Prompts::TimeoutChoice, answer);
        auto rig = detectedRig();
        rig->meter.setSilent(true);
        rig->prompts.timeoutAnswers = {answer};
        rig->prompts.whileTimeoutOpen = [&]() {
            rig->meter.setSilent(false);
            rig->meter.setAddress(7);
        };
        bool after = false;
        rig->session->runHandler([&]() {
            rig->exchange().comms(QStringLiteral("SR2"));
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(rig->prompts.count(QStringLiteral("error")), 0);
        QCOMPARE(rig->prompts.count(QStringLiteral("port")), 1); // only the first start asked
        QCOMPARE(rig->panels[4], QStringLiteral("Meter :7 @ 9600 Baud"));
        QCOMPARE(rig->session->identity().address, QStringLiteral("7"));
        QVERIFY(rig->session->pollTimer().isActive());
        QVERIFY(rig->pageControlEnabled);
        QCOMPARE(rig->commands(), QStringList{"SR2"} + SessionRig::identityReads());
    }

    void lateReplyDoesNotRestartThePollUnderTheDialog()
    {
        auto rig = detectedRig();
        rig->meter.setAnswerDelay(450); // longer than the watchdog
        bool pollRanUnderDialog = false;
        rig->prompts.whileTimeoutOpen = [&]() {
            rig->clock.advance(300); // the late reply comes in meanwhile
            pollRanUnderDialog = rig->session->pollTimer().isActive();
        };
        rig->session->runHandler([&]() { rig->exchange().comms(QStringLiteral("SR153")); });
        QVERIFY(rig->exchange().replyArrived()); // the late reply was taken in
        QVERIFY(!pollRanUnderDialog);
        QCOMPARE(rig->prompts.count(QStringLiteral("timeout")), 1);
    }

    void fullTransmitBufferWritesNothingAndTimesOut()
    {
        auto rig = detectedRig();
        rig->line->setFreeTransmitSpace(4);
        rig->session->runHandler([&]() { rig->exchange().comms(QStringLiteral("SR153")); });
        QVERIFY(rig->line->writes().isEmpty());
        QCOMPARE(rig->prompts.count(QStringLiteral("timeout")), 1);
    }

    // On the real tick an exchange with a meter answering at once takes one
    // to two ticks: it returns at the first tick boundary after the reply.
    void realTickPacing()
    {
        auto rig = detectedRig(TickClock::DefaultTick);
        for (int i = 0; i < 8; ++i) {
            const qint64 start = rig->clock.now();
            rig->exchange().comms(QStringLiteral("SR153"));
            const qint64 ms = rig->clock.now() - start;
            QVERIFY2(ms >= 55 && ms <= 110, qPrintable(QStringLiteral("exchange took %1 ms").arg(ms)));
        }
    }

    void strayInputPutsRepliesOutOfStep_data()
    {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("a line nobody asked for") << 20;
        QTest::newRow("bytes the flush throws away") << 0;
    }
    void strayInputPutsRepliesOutOfStep()
    {
        QFETCH(int, waitMs);
        auto rig = detectedRig();
        rig->line->injectReceived("75\r\n");
        rig->clock.advance(waitMs);
        bool reached = false;
        rig->session->runHandler([&]() {
            rig->exchange().comms(QStringLiteral("SR65"));
            reached = true;
        });
        QVERIFY(!reached);
        QCOMPARE(rig->prompts.count(QStringLiteral("error")), 1);
        QVERIFY(rig->line->writes().isEmpty());
        QCOMPARE(rig->exchange().comms(QStringLiteral("SR153")).text, rig->meter.model());
    }

    void pollDropsAStrayCycleSilently()
    {
        auto rig = detectedRig();
        rig->session->pollTimer().setInterval(10);
        rig->session->pollTimer().start();
        rig->line->injectReceived("75\r\n");
        VTRY_VERIFY(*rig, rig->commands().contains(QStringLiteral("SR5")));
        QCOMPARE(rig->commands().mid(0, 4), (QStringList{"SR2", "SR3", "SR4", "SR5"}));
        QCOMPARE(rig->prompts.count(QStringLiteral("error")), 0);
    }

    void backToBackCommandsHoldThePoll()
    {
        auto rig = detectedRig(TickClock::DefaultTick);
        rig->session->pollTimer().setInterval(500);
        rig->session->pollTimer().start();
        QSignalSpy fired(&rig->session->pollTimer(), &ClockTimer::timeout);
        for (int i = 0; i < 10; ++i)
            rig->exchange().comms(QStringLiteral("SR%1").arg(3 + i % 3));
        QCOMPARE(fired.count(), 0);
        QVERIFY(rig->session->pollTimer().isActive()); // the last reply restarted it
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
