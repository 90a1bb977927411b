#include "modelrig.h"

#include "pages/codes/brightnessmodel.h"

#include <QTest>

// The code area's models against the in-process meter, without a window:
// what each reads and writes, and what it then holds.
class CodeModelsTest : public QObject
{
    Q_OBJECT

private slots:
    // --- Brightness

    void brightnessLoad_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("3") << "3" << 3 << QStringList{"SW148,3"};
        QTest::newRow("5 is shown already") << "5" << 5 << QStringList{};
        QTest::newRow("0") << "0" << 0 << QStringList{"SW148,0"};
        QTest::newRow("above 7") << "9" << 7 << QStringList{"SW148,7"};
        QTest::newRow("below 0") << "-1" << -1 << QStringList{};
    }
    void brightnessLoad()
    {
        QFETCH(QString, reply);
        QFETCH(int, level);
        QFETCH(QStringList, writes);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("148"), reply);
        rig.meter.setWriteAck(QStringLiteral("7")); // the summary shows the value read
        rig.detect();
        const QStringList commands = rig.commands();
        const qsizetype read = commands.indexOf(QStringLiteral("SR148"));
        QVERIFY(read >= 0);
        // The write-back comes right after the read, and nothing else writes 148.
        QCOMPARE(commands.mid(read + 1, writes.size()), writes);
        QCOMPARE(commands.filter(QStringLiteral("148")), QStringList{"SR148"} + writes);
        QCOMPARE(rig.model<BrightnessModel>(PageId::Brightness)->level(), level);
        QCOMPARE(rig.setup->summary().cell(summarycell::Brightness), reply);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void quickChoicesLeaveTheMeterAtTheLevelShown()
    {
        ModelRig rig;
        rig.detect();
        rig.meter.clearLog();
        rig.meter.setAnswerDelay(60);
        auto *brightness = rig.model<BrightnessModel>(PageId::Brightness);
        // Two more choices while the first write waits for its reply.
        QObject context;
        rig.clock.singleShot(10, &context, [&]() { rig.run([&]() { brightness->choose(7); }); });
        rig.clock.singleShot(20, &context, [&]() { rig.run([&]() { brightness->choose(2); }); });
        rig.run([&]() { brightness->choose(3); });
        VTRY_COMPARE(rig, rig.commands().size(), 3);
        QCOMPARE(rig.commands().first(), QStringLiteral("SW148,3"));
        QCOMPARE(brightness->level(), 2);
        QCOMPARE(rig.meter.reg(QStringLiteral("148")), QStringLiteral("2"));
    }
};

QTEST_GUILESS_MAIN(CodeModelsTest)
#include "tst_codemodels.moc"
