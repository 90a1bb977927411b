#include "operator.h"

#include "app/pagestrip.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

// The Code 10 page on the two kinds of meter that use it: the extra
// displays' options and source registers, and the bargraph editor.
class Code10Test : public QObject
{
    Q_OBJECT

private:
    static QRadioButton *option(Rig &rig, int group, int digit)
    {
        return rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton10%1%2").arg(group).arg(digit));
    }
    static bool tabShown(Rig &rig, PageId page) { return rig.pageControl()->isTabVisible(pageIndex(page)); }

private slots:
    // The extra displays' options open the display settings and never add
    // their target into the code word.
    void extraDisplaysKeepTheCodeWord_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("written");
        QTest::newRow("loaded with a display option") << "213"
                                                      << ""
                                                      << "SW139,213";
        QTest::newRow("second display picked") << "013"
                                               << "2 Setup Second Display"
                                               << "SW139,13";
        QTest::newRow("third display picked") << "147"
                                              << "3 Setup Third Display"
                                              << "SW139,147";
    }
    void extraDisplaysKeepTheCodeWord()
    {
        QFETCH(QString, stored);
        QFETCH(QString, picked);
        QFETCH(QString, written);
        Rig rig;
        rig.meter.setModel(QStringLiteral("K3"));
        rig.meter.setReg(QStringLiteral("139"), stored);
        rig.meter.setReg(QStringLiteral("229"), QStringLiteral("40"));
        rig.meter.setReg(QStringLiteral("230"), QStringLiteral("41"));
        rig.detect();
        // A load never opens the display settings.
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        QVERIFY(!rig.commands().contains(QStringLiteral("SR227")));
        Operator op(rig);
        rig.window->show();
        op.openTab(PageId::Code10);
        if (!picked.isEmpty()) {
            op.pick(picked);
            QVERIFY(tabShown(rig, PageId::DisplaySettings));
            op.openTab(PageId::Code10);
        }
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), (QStringList{"SW229,40", "SW230,41", written, "SR139"}));
    }

    void bargraphAfterExtraDisplaysGetsTheBarBindings()
    {
        Rig rig;
        rig.meter.setModel(QStringLiteral("K3"));
        rig.detect();
        rig.meter.setModel(QStringLiteral("KM5B"));
        rig.detect();
        rig.window->show();
        Operator op(rig);
        op.openTab(PageId::Code10);
        QVERIFY(!op.find<QLineEdit>(QStringLiteral("Edit10"))->isVisibleTo(rig.window.get()));
        QVERIFY(!op.find<QLineEdit>(QStringLiteral("Edit11"))->isVisibleTo(rig.window.get()));
        QVERIFY(op.find<QLineEdit>(QStringLiteral("Edit7"))->isVisibleTo(rig.window.get()));
        QCOMPARE(option(rig, 1, 2)->property("digitValue").toInt(), 200);
        QCOMPARE(option(rig, 1, 3)->property("digitValue").toInt(), 300);
        // A logarithmic scale has a reference value instead of two ends.
        op.pick(QStringLiteral("3 Log 10 bar/decade"));
        QVERIFY(!op.find<QLineEdit>(QStringLiteral("Edit8"))->isVisibleTo(rig.window.get()));
        op.pick(QStringLiteral("1 Peak & Valley on bar"));
        op.pick(QStringLiteral("2 Channel 1"));
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), (QStringList{"SW139,123", "SR139"}));
    }
};

QTEST_MAIN(Code10Test)
#include "tst_code10.moc"
