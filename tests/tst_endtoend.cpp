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

    // meter-cli against meter-sim, as a production line would run it.
    void commandLineThroughAPseudoTerminal()
    {
        QProcess sim;
        sim.setProcessChannelMode(QProcess::MergedChannels);
        sim.start(qEnvironmentVariable("METER_SIM_BIN"), {"--com", "47"});
        QVERIFY(sim.waitForReadyRead(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.path() + QStringLiteral("/meter-setup/ports/COM47")), 5000);
        const QString file = m_runtime.path() + QStringLiteral("/meter.toml");
        const auto cli = [](QStringList arguments, QString *out = nullptr) {
            QProcess run;
            arguments += {"--port", "COM47", "--baud", "9600"};
            run.start(qEnvironmentVariable("METER_CLI_BIN"), arguments);
            run.waitForFinished(60000);
            if (out)
                *out = QString::fromLocal8Bit(run.readAllStandardOutput());
            return run.exitCode();
        };
        // What the meter received since the last call.
        const auto received = [&sim]() {
            while (sim.waitForReadyRead(300)) {
            }
            return QString::fromLocal8Bit(sim.readAll());
        };
        QString out;
        QCOMPARE(cli({"detect"}, &out), 0);
        QVERIFY2(out.contains(QLatin1String("model: KM5B\nversion: 1.26")), qPrintable(out));
        // Only a few pages, to keep the reads short.
        const QString without = QStringLiteral("tables,macro,setpoint_control,advanced_functions,display_settings,"
                                               "code_10,code_2,code_4,code_6");
        QCOMPARE(cli({"save", file, "--without", without}), 0);
        QCOMPARE(cli({"diff", file}), 0);
        QCOMPARE(cli({"write", "25=1.5"}), 0);
        QCOMPARE(cli({"diff", file}, &out), 1);
        QVERIFY2(out.startsWith(QLatin1String("25 Scale & Offset, Channel 1 scale")), qPrintable(out));
        received();
        QCOMPARE(cli({"apply", file}), 0);
        const QString applied = received();
        QCOMPARE(applied.count(QLatin1String("received SW")), 1);
        QVERIFY(applied.contains(QLatin1String("received SW25,1.0000")));

        QFile other(file);
        QVERIFY(other.open(QIODevice::ReadWrite));
        QByteArray text = other.readAll().replace("model = \"KM5B\"", "model = \"KM5E\"");
        other.resize(0);
        other.write(text);
        other.close();
        QCOMPARE(cli({"write", "25=1.5"}), 0);
        received();
        QCOMPARE(cli({"apply", file}), 6);
        QVERIFY(!received().contains(QLatin1String("received SW")));
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
