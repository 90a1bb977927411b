#include "sessionrig.h"

#include "link/meterdetector.h"

#include <QTest>

// Finding the meter: every baud rate and parity, identity, version check,
// and what happens when the meter is silent.
class DetectionTest : public QObject
{
    Q_OBJECT

private slots:
    void findsTheMeter_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<Parity>("parity");
        QTest::addColumn<int>("probesPerPass");
        QTest::newRow("19200 none") << 19200 << Parity::None << 1;
        QTest::newRow("19200 even") << 19200 << Parity::Even << 3;
        QTest::newRow("9600 even") << 9600 << Parity::Even << 6;
        QTest::newRow("2400 odd") << 2400 << Parity::Odd << 11;
        QTest::newRow("300 even") << 300 << Parity::Even << 21;
    }
    void findsTheMeter()
    {
        QFETCH(int, baud);
        QFETCH(Parity, parity);
        QFETCH(int, probesPerPass);
        SessionRig rig;
        rig.meter.setBaudRate(baud);
        rig.meter.setParity(parity);
        rig.meter.setAddress(12);
        rig.detect();
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 0);
        QCOMPARE(rig.prompts.count(QStringLiteral("port")), 1);
        // Both passes probe up to the meter's setting and stop there.
        int probes = 0;
        for (const QByteArray &w : rig.line->writes())
            probes += w == "SR150$";
        QCOMPARE(probes, 2 * probesPerPass);
        QCOMPARE(rig.line->baudRate(), baud);
        QCOMPARE(rig.line->parity(), parity);
        QCOMPARE(rig.panels.at(4), QStringLiteral("Meter :12 @ %1 Baud").arg(baud));
        QCOMPARE(rig.panels.at(3), rig.meter.model() + QStringLiteral(" Version ") + rig.meter.version());
        QCOMPARE(rig.commands(), SessionRig::identityReads());
        QCOMPARE(rig.session->identity().baudRate, baud);
        QCOMPARE(rig.session->identity().address, QStringLiteral("12"));
        QVERIFY(rig.session->pollTimer().isActive());
        QVERIFY(rig.pageControlEnabled);
        QCOMPARE(rig.quits, 0);
    }

    void garbledProbeReplyIsNotCounted()
    {
        SessionRig rig;
        rig.meter.setBaudRate(9600);
        rig.meter.setParity(Parity::Even);
        rig.detect();
        // The odd-parity probe at 9600 gets a garbled line; the scan goes on
        // to even parity.
        QCOMPARE(rig.line->parity(), Parity::Even);
        QCOMPARE(rig.session->identity().address, QStringLiteral("1"));
    }

    void version_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("accepted");
        for (const char *v : {"1.18", "1.2", "1.20", "1.26", "1.26 ", "1.19"})
            QTest::newRow(v) << QString::fromLatin1(v) << true;
        for (const char *v : {"1.17", "1.21", "1.27", "2.0", "1.3", "1.1", ""})
            QTest::newRow(*v ? v : "empty") << QString::fromLatin1(v) << false;
    }
    void version()
    {
        QFETCH(QString, version);
        QFETCH(bool, accepted);
        QCOMPARE(MeterDetector::versionSupported(version), accepted);

        SessionRig rig;
        rig.meter.setVersion(version);
        rig.detect();
        QCOMPARE(rig.prompts.count(QStringLiteral("warning")), accepted ? 0 : 1);
        QCOMPARE(rig.quits, accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(rig.prompts.texts(QStringLiteral("warning")).first(),
                     QStringLiteral("Incompatable version number.  Contact Korvane for upgrade information"));
            QCOMPARE(rig.commands(), (QStringList{"SR153", "SR154"})); // nothing further is read
            QVERIFY(!rig.session->pollTimer().isActive());
        }
    }

    void retryAfterSilentScansDoesNotNest()
    {
        SessionRig rig;
        rig.meter.setSilent(true);
        QList<quintptr> stackPositions;
        int scans = 0;
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry, Prompts::TimeoutChoice::Ignore,
                                      Prompts::TimeoutChoice::Retry};
        rig.prompts.whileTimeoutOpen = [&]() {
            ++scans;
            // A scan started inside the old one would ask from deeper in
            // the stack each time.
            int marker = 0;
            stackPositions.append(quintptr(&marker));
            if (scans == 3) {
                rig.meter.setSilent(false);
                rig.meter.setAddress(5);
            }
        };
        rig.detect();
        QCOMPARE(scans, 3);
        QCOMPARE(rig.prompts.count(QStringLiteral("port")), 1);
        QCOMPARE(rig.panels.at(4), QStringLiteral("Meter :5 @ 9600 Baud"));
        QCOMPARE(rig.session->identity().address, QStringLiteral("5"));
        QCOMPARE(rig.commands(), SessionRig::identityReads());
        QCOMPARE(stackPositions.size(), 3);
        QCOMPARE(stackPositions.at(1), stackPositions.at(0));
        QCOMPARE(stackPositions.at(2), stackPositions.at(0));
    }

    void silentScanAbortEndsTheProgram()
    {
        SessionRig rig;
        rig.meter.setSilent(true);
        rig.detect();
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 1);
        QCOMPARE(rig.quits, 1);
        QVERIFY(rig.commands().isEmpty());
    }

    void timeOutInTheMiddleOfDetection()
    {
        SessionRig rig;
        // The meter answers the probes, then falls silent at SR153.
        connect(&rig.meter, &SimMeter::commandReceived, rig.session.get(), [&](const QString &c) {
            if (c == QLatin1String("SR153"))
                rig.meter.setSilent(true);
        });
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.prompts.whileTimeoutOpen = [&]() {
            disconnect(&rig.meter, &SimMeter::commandReceived, rig.session.get(), nullptr);
            rig.meter.setSilent(false);
        };
        rig.detect();
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 1);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        // The abandoned run stopped at its SR153; the new run read both once.
        QList<QByteArray> reads;
        for (const QByteArray &w : rig.line->writes()) {
            if (w != "SR150$")
                reads.append(w);
        }
        QList<QByteArray> expected{"SR153*"};
        for (const QString &c : SessionRig::identityReads())
            expected.append(c.toLatin1() + '*');
        QCOMPARE(reads, expected);
        QCOMPARE(rig.panels.at(3), rig.meter.model() + QStringLiteral(" Version ") + rig.meter.version());
        QVERIFY(rig.session->pollTimer().isActive());
    }

    void pagesTakeNoInputWhileScanning()
    {
        SessionRig rig;
        rig.meter.setBaudRate(300);
        bool enabledDuringScan = true;
        bool pollDuringScan = true;
        connect(&rig.meter, &SimMeter::commandReceived, rig.session.get(), [&](const QString &) {
            enabledDuringScan = enabledDuringScan && rig.pageControlEnabled;
            pollDuringScan = pollDuringScan && rig.session->pollTimer().isActive();
        });
        rig.detect();
        QVERIFY(!enabledDuringScan);
        QVERIFY(!pollDuringScan);
        QVERIFY(rig.pageControlEnabled);
    }

    void portChoice_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("openError");
        QTest::newRow("cancel") << true << QString();
        QTest::newRow("cannot open") << false << QStringLiteral("/dev/ttyUSB0: Permission denied");
    }
    void portChoice()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, openError);
        SessionRig rig;
        if (cancel)
            rig.prompts.portAnswer.reset();
        rig.line->setOpenError(openError);
        rig.detect();
        QCOMPARE(rig.quits, 1);
        QVERIFY(rig.line->writes().isEmpty());
        QCOMPARE(rig.prompts.texts(QStringLiteral("message")), cancel ? QStringList() : QStringList{openError});
        QCOMPARE(rig.prompts.offeredPorts.size(), 1);
        QCOMPARE(rig.prompts.offeredPorts.first().number, 41);
    }

    void retryReopensAnUnpluggedDevice()
    {
        SessionRig rig;
        rig.detect();
        rig.line->unplug();
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR2")); });
        QVERIFY(!rig.line->deviceGone());
        QCOMPARE(rig.prompts.count(QStringLiteral("port")), 1);
        QCOMPARE(rig.panels.at(4), QStringLiteral("Meter :1 @ 9600 Baud"));
    }

    void probePause_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("ticks");
        int ticks = 1;
        for (int baud : MeterDetector::BaudRates)
            QTest::newRow(qPrintable(QString::number(baud))) << baud << ticks++;
    }
    void probePause()
    {
        QFETCH(int, baud);
        QFETCH(int, ticks);
        QCOMPARE(MeterDetector::probePauseTicks(baud), ticks);
    }
};

QTEST_GUILESS_MAIN(DetectionTest)
#include "tst_detection.moc"
