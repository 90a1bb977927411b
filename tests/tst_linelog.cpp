#include "modelrig.h"

#include "pages/monitor/linelog.h"
#include "pages/monitor/linetext.h"

#include <QTest>
#include <algorithm>

namespace {

using Provoke = void (*)(ModelRig &);

// Reads register 24 as a page would.
void readScale(ModelRig &rig)
{
    rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.0000"));
    rig.run([&]() { rig.exchange().comms(QStringLiteral("SR24")); });
}

// A meter gone quiet: the read times out and the operator retries; the
// meter answers again while detection runs.
void timeOutAndRetry(ModelRig &rig)
{
    rig.meter.setSilent(true);
    rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
    rig.prompts.whileTimeoutOpen = [&]() { rig.meter.setSilent(false); };
    readScale(rig);
}

} // namespace

Q_DECLARE_METATYPE(Provoke)

// The line monitor's log and how its rows read: the ring's bound, every
// kind of event the session reports and the register labels.
class LineLogTest : public QObject
{
    Q_OBJECT

private slots:
    void ring_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("clearAfter"); // -1: never
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<int>("firstSeq");
        QTest::newRow("not yet full") << 3 << 2 << -1 << 2 << 0 << 0;
        QTest::newRow("just full") << 3 << 3 << -1 << 3 << 0 << 0;
        QTest::newRow("one over") << 3 << 4 << -1 << 3 << 1 << 1;
        QTest::newRow("round twice") << 3 << 8 << -1 << 3 << 5 << 5;
        QTest::newRow("cleared when full") << 3 << 7 << 5 << 2 << 0 << 5;
        QTest::newRow("default bound") << LineLog::DefaultCapacity << 20001 << -1 << 20000 << 1 << 1;
    }
    void ring()
    {
        QFETCH(int, capacity);
        QFETCH(int, records);
        QFETCH(int, clearAfter);
        QFETCH(int, size);
        QFETCH(int, dropped);
        QFETCH(int, firstSeq);
        LineLog log(capacity);
        for (int i = 0; i < records; ++i) {
            if (i == clearAfter)
                log.clear();
            LineEvent event;
            event.ms = i;
            log.record(event);
        }
        QCOMPARE(log.size(), size);
        QCOMPARE(log.droppedCount(), dropped);
        QCOMPARE(log.firstSeq(), firstSeq);
        QCOMPARE(log.endSeq(), records);
        // Oldest to newest, each under its own number.
        for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq)
            QCOMPARE(log.event(seq).ms, seq);
    }

    void events_data()
    {
        QTest::addColumn<Provoke>("provoke");
        QTest::addColumn<QString>("line"); // part of one line after the time
        QTest::newRow("opened") << Provoke([](ModelRig &) {}) << "9600 8N1  Port opened: simulated meter";
        QTest::newRow("probe") << Provoke([](ModelRig &) {}) << "19200 8N1 -> SR150$  Probe";
        QTest::newRow("probe's answer") << Provoke([](ModelRig &) {}) << "9600 8N1  <- 1  0 ms  SR150$";
        QTest::newRow("command") << &readScale << "9600 8N1  -> SR24*  SR24: Scale & Offset, Result scale";
        QTest::newRow("reply") << Provoke([](ModelRig &rig) {
            rig.meter.setAnswerDelay(30);
            readScale(rig);
        }) << "9600 8N1  <- 1.0000  30 ms  SR24: Scale & Offset, Result scale";
        QTest::newRow("garbled reply") << Provoke([](ModelRig &rig) {
            rig.meter.garbleNextReplies(1);
            rig.run([&]() { rig.exchange().comms(QStringLiteral("SR153")); });
        }) << "0 ms  Garbled bytes  SR153";
        QTest::newRow("timed out") << &timeOutAndRetry
                                   << "9600 8N1  Timed out waiting for reply  SR24: Scale & Offset, Result scale";
        QTest::newRow("operator's answer") << &timeOutAndRetry << "9600 8N1  Operator answered Retry";
        QTest::newRow("silent scan") << Provoke([](ModelRig &rig) {
            rig.meter.setSilent(true);
            rig.detect();
        }) << "300 8E1   Timed out waiting for reply  SR150$";
        QTest::newRow("open failed") << Provoke([](ModelRig &rig) {
            rig.line->close();
            rig.line->setOpenError(QStringLiteral("COM41 is busy"));
            rig.detect();
        }) << "9600 8N1  Port could not be opened: COM41 is busy";
        QTest::newRow("unplugged") << Provoke([](ModelRig &rig) { rig.line->unplug(); })
                                   << "9600 8N1  Port failed: the device went away";
        QTest::newRow("closed to open again") << Provoke([](ModelRig &rig) {
            rig.line->unplug();
            timeOutAndRetry(rig);
        }) << "9600 8N1  Port closed";
        const Provoke strayLine = [](ModelRig &rig) {
            rig.line->injectReceived("9\r\n");
            rig.clock.advance(1);
        };
        QTest::newRow("reply nobody asked for") << strayLine << "9600 8N1  <- 9  Reply nobody asked for";
        QTest::newRow("out of step") << strayLine << "9600 8N1  Replies out of step: a reply nobody asked for: \"9\"";
        QTest::newRow("thrown away, expected") << Provoke([](ModelRig &rig) {
            rig.exchange().expectStrayInput();
            rig.line->injectReceived("12");
            readScale(rig);
        }) << "9600 8N1  Thrown away: 2 bytes";
        QTest::newRow("framer re-armed") << Provoke([](ModelRig &rig) {
            rig.session->pollTimer().stop();
            // Longer than the framer listens without a reply.
            rig.clock.advance(ReplyFramer::TimeoutTicks * 5 + 100);
            readScale(rig);
        }) << "9600 8N1  Framer re-armed";
    }
    void events()
    {
        QFETCH(Provoke, provoke);
        QFETCH(QString, line);
        ModelRig rig;
        LineLog log;
        connect(rig.session.get(), &MeterSession::lineEvent, &log, &LineLog::record);
        rig.detect();
        provoke(rig);
        const LineText text(rig.setup->settingRegisters());
        QStringList lines;
        for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq)
            lines << text.line(log.event(seq)).mid(10);
        if (!std::any_of(lines.cbegin(), lines.cend(), [&](const QString &l) { return l.contains(line); }))
            QFAIL(qPrintable(QStringLiteral("not listed among:\n") + lines.join(QLatin1Char('\n')).right(900)));
    }

    void pollReadsAreMarked_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("fromPoll");
        QTest::newRow("the poll's read") << QByteArray("SR2*") << true;
        QTest::newRow("a page's read during the poll's wait") << QByteArray("SR24*") << false;
    }
    void pollReadsAreMarked()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, fromPoll);
        ModelRig rig;
        rig.detect();
        LineLog log;
        connect(rig.session.get(), &MeterSession::lineEvent, &log, &LineLog::record);
        rig.meter.setAnswerDelay(60);
        rig.clock.singleShot(rig.session->pollTimer().remainingTime() + 10, rig.session.get(),
                             [&]() { readScale(rig); });
        rig.clock.advance(rig.session->pollTimer().interval() + 500);
        int seen = 0;
        for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq) {
            const LineEvent &event = log.event(seq);
            if ((event.kind == LineEvent::Kind::Command ? event.bytes : event.command) == command) {
                QCOMPARE(event.fromPoll, fromPoll);
                ++seen;
            }
        }
        QVERIFY(seen >= 2); // the command and its reply
    }

    void labels_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("label");
        QTest::newRow("write") << QByteArray("SW24,1.0000*") << "SW24,1.0000: Scale & Offset, Result scale";
        QTest::newRow("read") << QByteArray("SR24*") << "SR24: Scale & Offset, Result scale";
        QTest::newRow("letter register") << QByteArray("SWX,Print*") << "SWX,Print: Advanced Functions, Print String";
        QTest::newRow("setpoint page") << QByteArray("SR70*") << "SR70: Setpoint Control, Setpoint 6 counts";
        QTest::newRow("not described") << QByteArray("SR2*") << "SR2";
        QTest::newRow("no register command") << QByteArray("OK") << "";
    }
    void labels()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, label);
        ModelRig rig;
        QCOMPARE(LineText(rig.setup->settingRegisters()).label(command), label);
    }

    void visible_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("text") << QByteArray("-12.5 OK") << "-12.5 OK";
        QTest::newRow("line end") << QByteArray("1\r\n") << "1<0D><0A>";
        QTest::newRow("NUL, DEL and top bit") << QByteArray("\x00\x7f\xb1", 3) << "<00><7F><B1>";
        QTest::newRow("angle bracket") << QByteArray("a<0D>") << "a<3C>0D>";
    }
    void visible()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(LineText::visible(bytes), shown);
    }
};

QTEST_GUILESS_MAIN(LineLogTest)
#include "tst_linelog.moc"
