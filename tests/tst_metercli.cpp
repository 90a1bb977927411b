#include "cli/metercli.h"
#include "simline.h"
#include "simmeter.h"

#include <QTemporaryDir>
#include <QTest>

// meter-cli's commands against the in-process meter: what each prints, what
// it sends, and its exit code.
class MeterCliTest : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exit = -1;
        QString out;
        QString err;
    };

    VirtualClock m_clock;
    SimMeter m_meter;
    QTemporaryDir m_dir;
    // Runs during the next command, at this virtual time from its start.
    std::function<void(MeterCli &)> m_during;
    qint64 m_duringAtMs = 0;

    Run run(const QStringList &arguments)
    {
        Run result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        MeterCli cli(
            {&out, &err, false, false, {}},
            [this](int, const QString &) { return std::make_unique<SimLine>(&m_meter, m_clock); }, m_clock);
        if (m_during)
            m_clock.singleShot(m_duringAtMs, &cli, [this, &cli]() { m_during(cli); });
        result.exit = cli.run(QStringList{"meter-cli"} + arguments + QStringList{"--port", "COM41"});
        m_during = nullptr;
        return result;
    }
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QStringList writes() const { return m_meter.log().filter(QRegularExpression(QStringLiteral("^SW"))); }

private slots:
    void init()
    {
        m_meter.setModel(QStringLiteral("KM5B"));
        m_meter.setSilent(false);
        m_meter.setReg(QStringLiteral("24"), QStringLiteral("1.0000"));
        m_meter.setReg(QStringLiteral("148"), QStringLiteral("5"));
        m_meter.clearLog();
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("printed"); // on stdout, or stderr for an error
        QTest::addColumn<QStringList>("written");
        QTest::newRow("detect") << QStringList{"detect"} << 0 << "model: KM5B\nversion: 1.26\nbaud: 9600"
                                << QStringList{};
        QTest::newRow("detect at the wrong baud rate")
            << QStringList{"detect", "--baud", "2400"} << 3 << "no meter answered on COM41" << QStringList{};
        QTest::newRow("read") << QStringList{"read", "24", "148"} << 0 << "24 = \"1.0000\"\n148 = \"5\""
                              << QStringList{};
        QTest::newRow("read no register") << QStringList{"read", "2x"} << 2 << "\"2x\" is no register" << QStringList{};
        QTest::newRow("write") << QStringList{"write", "148=3", "24=1.25"} << 0 << "24 = \"1.25\"  written"
                               << QStringList{"SW148,3", "SW24,1.2500"};
        QTest::newRow("write out of range: nothing sent")
            << QStringList{"write", "148=3", "148=9"} << 2 << "register 148 (Brightness" << QStringList{};
        QTest::newRow("write the identity")
            << QStringList{"write", "153=KM5E"} << 2 << "the meter's identity" << QStringList{};
        QTest::newRow("write no setting")
            << QStringList{"write", "3=1"} << 2 << "register 3 is not a setting" << QStringList{};
        QTest::newRow("unknown command") << QStringList{"erase"} << 2 << "unknown command" << QStringList{};
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QFETCH(QString, printed);
        QFETCH(QStringList, written);
        const Run r = run(arguments);
        QCOMPARE(r.exit, exit);
        QVERIFY2((exit == 0 ? r.out : r.err).contains(printed), qPrintable(r.out + r.err));
        QCOMPARE(writes(), written);
    }

    void traceWritesTheMonitorsLines()
    {
        const Run r = run({"read", "24", "--trace"});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.contains(QLatin1String("9600 8N1  <- 1.0000"))
                     && r.err.contains(QLatin1String("SR24: Scale & Offset, Result scale")),
                 qPrintable(r.err));
    }

    void saveDiffApply()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(run({"save", file("meter.toml"), "--without", "tables,macro"}).exit, 0);
        const Run same = run({"diff", file("meter.toml")});
        QVERIFY2(same.exit == 0, qPrintable(same.err));
        m_meter.setReg(QStringLiteral("24"), QStringLiteral("1.5000"));
        const Run differs = run({"diff", file("meter.toml")});
        QCOMPARE(differs.exit, 1);
        QCOMPARE(differs.out, QStringLiteral("24 Scale & Offset, Result scale: meter \"1.5000\" file \"1.0000\"\n"));
        m_meter.clearLog();
        QCOMPARE(run({"apply", file("meter.toml"), "--dry-run"}).exit, 0);
        QCOMPARE(writes(), QStringList{});
        QCOMPARE(run({"apply", file("meter.toml")}).exit, 0);
        QCOMPARE(writes(), QStringList{"SW24,1.0000"});
        QCOMPARE(m_meter.reg(QStringLiteral("24")), QStringLiteral("1.0000"));
    }

    void filesRefusedAndOtherModels()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(run({"save", file("km5b.toml"), "--without", "tables,macro"}).exit, 0);
        m_meter.setModel(QStringLiteral("KM5E"));
        m_meter.setReg(QStringLiteral("24"), QStringLiteral("2.0000"));
        m_meter.clearLog();
        const Run other = run({"apply", file("km5b.toml")});
        QCOMPARE(other.exit, 6);
        QVERIFY(other.err.contains(QLatin1String("KM5B")) && other.err.contains(QLatin1String("KM5E")));
        QCOMPARE(run({"diff", file("km5b.toml")}).exit, 1); // compared all the same
        QCOMPARE(writes(), QStringList{});

        QFile broken(file("broken.toml"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("format = 1\n[meter]\nmodel = \"KM5B\"\nversion = \"1.26\"\n[brightness]\n148 = \"9\"\n");
        broken.close();
        m_meter.clearLog();
        const Run refused = run({"apply", file("broken.toml")});
        QCOMPARE(refused.exit, 5);
        QVERIFY2(refused.err.contains(QLatin1String("line 6")), qPrintable(refused.err));
        QVERIFY(m_meter.log().isEmpty()); // checked before anything was sent
    }

    void timeOutAndInterrupt()
    {
        m_during = [this](MeterCli &) { m_meter.setSilent(true); };
        m_duringAtMs = 1500; // after detection, during the reads
        QCOMPARE(run({"read", "24", "25", "26", "27", "28", "29"}).exit, 4);

        m_during = [](MeterCli &cli) { cli.interrupt(); };
        m_meter.setSilent(false);
        const Run interrupted = run({"save", file("cut.toml")});
        QCOMPARE(interrupted.exit, 130);
        QVERIFY(interrupted.err.contains(QLatin1String("nothing was saved")));
        QVERIFY(!QFile::exists(file("cut.toml")));
    }
};

QTEST_GUILESS_MAIN(MeterCliTest)
#include "tst_metercli.moc"
