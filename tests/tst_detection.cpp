#include "rig.h"

#include "app/pagestrip.h"
#include "link/meterdetector.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

// Finding the meter: every baud rate and parity, identity, version check,
// model adaptations, and what happens when the meter is silent.
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
        Rig rig;
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
        QCOMPARE(rig.statusText(4), QStringLiteral("Meter :12 @ %1 Baud").arg(baud));
        QCOMPARE(rig.statusText(3), rig.meter.model() + QStringLiteral(" Version ") + rig.meter.version());
        QCOMPARE(rig.commands(), Rig::detectionReads());
        QCOMPARE(rig.summaryCell(14, 1), QString::number(baud));
        QCOMPARE(rig.summaryCell(15, 1), QStringLiteral("12"));
        QVERIFY(rig.session->pollTimer().isActive());
        QVERIFY(rig.pageControl()->isEnabled());
        QCOMPARE(rig.quits, 0);
    }

    void garbledProbeReplyIsNotCounted()
    {
        Rig rig;
        rig.meter.setBaudRate(9600);
        rig.meter.setParity(Parity::Even);
        rig.detect();
        // The odd-parity probe at 9600 gets a garbled line; the scan goes on
        // to even parity.
        QCOMPARE(rig.line->parity(), Parity::Even);
        QCOMPARE(rig.session->identity().MeterIdent, QStringLiteral("1"));
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

        Rig rig;
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

    void modelAdaptation_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("code10Shown");
        QTest::addColumn<QString>("firstLabel");
        QTest::addColumn<bool>("extraTablesShown");
        QTest::newRow("bargraph") << "KM5B" << true << "Display Option" << true;
        QTest::newRow("bargraph and 3") << "K3B" << true << "Display Option" << true;
        QTest::newRow("extra displays") << "K3" << true << "Extra Display Setup" << true;
        QTest::newRow("neither") << "K5" << false << "Undefined" << true;
        QTest::newRow("one table") << "K5E" << false << "Undefined" << false;
        QTest::newRow("lower case is not an option") << "k5be" << false << "Undefined" << true;
    }
    void modelAdaptation()
    {
        QFETCH(QString, model);
        QFETCH(bool, code10Shown);
        QFETCH(QString, firstLabel);
        QFETCH(bool, extraTablesShown);
        Rig rig;
        rig.meter.setModel(model);
        rig.detect();
        QCOMPARE(rig.session->identity().ModelCode, model);
        QCOMPARE(rig.pageControl()->isTabVisible(pageIndex(PageId::Code10)), code10Shown);
        QCOMPARE(rig.shared().PageLockLimit, code10Shown ? 14 : 13);
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label128"))->text(), firstLabel);
        QCOMPARE(rig.window->findChild<QCheckBox *>(QStringLiteral("CheckBox1613"))->isHidden(), !code10Shown);
        for (const char *name : {"SpeedButton8", "SpeedButton9", "SpeedButton10"})
            QCOMPARE(rig.window->findChild<QToolButton *>(QLatin1String(name))->isHidden(), !extraTablesShown);
        if (firstLabel == QLatin1String("Extra Display Setup")) {
            auto *option = rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1037"));
            QCOMPARE(option->text(), QStringLiteral("7 User defined register   ->"));
            QVERIFY(!rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1011"))->isEnabled());
        } else if (code10Shown) {
            // The caption shows its "&" rather than underlining the next letter.
            auto *option = rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1011"));
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(option);
            QCOMPARE(a->text(QAccessible::Name), QStringLiteral("1 Peak & Valley on bar"));
        }
    }

    void adaptationsOnlyAdd()
    {
        Rig rig;
        rig.meter.setModel(QStringLiteral("K3E"));
        rig.detect();
        // A later run on a meter without those options undoes nothing.
        rig.meter.setModel(QStringLiteral("K5"));
        rig.meter.setSilent(true);
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.prompts.whileTimeoutOpen = [&]() { rig.meter.setSilent(false); };
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR2")); });
        QCOMPARE(rig.session->identity().ModelCode, QStringLiteral("K5"));
        QVERIFY(rig.pageControl()->isTabVisible(pageIndex(PageId::Code10)));
        QCOMPARE(rig.shared().PageLockLimit, 14);
        QVERIFY(rig.window->findChild<QToolButton *>(QStringLiteral("SpeedButton9"))->isHidden());
    }

    void retryAfterSilentScansDoesNotNest()
    {
        Rig rig;
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
        QCOMPARE(rig.statusText(4), QStringLiteral("Meter :5 @ 9600 Baud"));
        QCOMPARE(rig.summaryCell(15, 1), QStringLiteral("5"));
        QCOMPARE(rig.commands(), Rig::detectionReads());
        QCOMPARE(stackPositions.size(), 3);
        QCOMPARE(stackPositions.at(1), stackPositions.at(0));
        QCOMPARE(stackPositions.at(2), stackPositions.at(0));
    }

    void silentScanAbortEndsTheProgram()
    {
        Rig rig;
        rig.meter.setSilent(true);
        rig.detect();
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 1);
        QCOMPARE(rig.quits, 1);
        QVERIFY(rig.commands().isEmpty());
    }

    void timeOutInTheMiddleOfDetection()
    {
        Rig rig;
        // The meter answers the probes, then falls silent at SR153.
        connect(&rig.meter, &SimMeter::commandReceived, rig.window.get(), [&](const QString &c) {
            if (c == QLatin1String("SR153"))
                rig.meter.setSilent(true);
        });
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.prompts.whileTimeoutOpen = [&]() {
            disconnect(&rig.meter, &SimMeter::commandReceived, rig.window.get(), nullptr);
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
        for (const QString &c : Rig::detectionReads())
            expected.append(c.toLatin1() + '*');
        QCOMPARE(reads, expected);
        QCOMPARE(rig.statusText(3), rig.meter.model() + QStringLiteral(" Version ") + rig.meter.version());
        QVERIFY(rig.session->pollTimer().isActive());
    }

    void pagesTakeNoInputWhileScanning()
    {
        Rig rig;
        rig.meter.setBaudRate(300);
        bool enabledDuringScan = true;
        bool pollDuringScan = true;
        connect(&rig.meter, &SimMeter::commandReceived, rig.window.get(), [&](const QString &) {
            enabledDuringScan = enabledDuringScan && rig.pageControl()->isEnabled();
            pollDuringScan = pollDuringScan && rig.session->pollTimer().isActive();
        });
        rig.detect();
        QVERIFY(!enabledDuringScan);
        QVERIFY(!pollDuringScan);
        QVERIFY(rig.pageControl()->isEnabled());
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
        Rig rig;
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
        Rig rig;
        rig.detect();
        rig.line->unplug();
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR2")); });
        QVERIFY(!rig.line->deviceGone());
        QCOMPARE(rig.prompts.count(QStringLiteral("port")), 1);
        QCOMPARE(rig.statusText(4), QStringLiteral("Meter :1 @ 9600 Baud"));
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

QTEST_MAIN(DetectionTest)
#include "tst_detection.moc"
