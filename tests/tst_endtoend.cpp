#include "scriptedprompts.h"

#include "app/mainwindow.h"
#include "link/metersession.h"
#include "link/qserialline.h"
#include "pages/metersetup.h"

#include <QLabel>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program's real serial line against the meter-sim program on a
// pseudo-terminal: detection goes all the way to the status texts.
class EndToEndTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QVERIFY2(!qEnvironmentVariableIsEmpty("METER_SIM_BIN"), "METER_SIM_BIN names the meter-sim program");
    }

    void detectsThroughAPseudoTerminal_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("model");
        QTest::newRow("9600 none") << QStringList{"--baud", "9600", "--address", "3"} << 9600 << "KM5B";
        QTest::newRow("19200 odd") << QStringList{"--baud",    "19200", "--parity", "odd",
                                                  "--address", "3",     "--model",  "K3E"}
                                   << 19200 << "K3E";
    }
    void detectsThroughAPseudoTerminal()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(int, baud);
        QFETCH(QString, model);
        QProcess sim;
        sim.setProcessChannelMode(QProcess::MergedChannels);
        sim.start(qEnvironmentVariable("METER_SIM_BIN"), QStringList{"--com", "48"} + simOptions);
        QVERIFY(sim.waitForReadyRead(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.path() + QStringLiteral("/meter-setup/ports/COM48")), 5000);

        ScriptedPrompts prompts;
        prompts.portAnswer = 48;
        int quits = 0;
        MainWindow::Options options;
        options.detectOnActivation = false;
        options.quitApplication = [&quits]() { ++quits; };
        {
            MeterSession session(std::make_unique<QSerialLine>(), &prompts);
            MeterSetup setup(session);
            MainWindow window(session, setup, &prompts, options);
            session.startDetection();
            QCOMPARE(quits, 0);
            QCOMPARE(prompts.count(QStringLiteral("timeout")), 0);
            bool offered = false;
            for (const PortEntry &p : prompts.offeredPorts)
                offered = offered || p.number == 48;
            QVERIFY(offered);
            const auto panel = [&window](int n) {
                return window.findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(n))->text();
            };
            QCOMPARE(panel(4), QStringLiteral("Meter :3 @ %1 Baud").arg(baud));
            QCOMPARE(panel(3), model + QStringLiteral(" Version 1.26"));
            QCOMPARE(setup.summary().cell(summarycell::Model), model);
        }
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        const QString log = QString::fromLocal8Bit(sim.readAll());
        QVERIFY2(log.contains(QStringLiteral("received SR153")), qPrintable(log));
        QVERIFY(!QFile::exists(m_runtime.path() + QStringLiteral("/meter-setup/ports/COM48")));
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
