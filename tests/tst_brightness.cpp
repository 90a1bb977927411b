#include "operator.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

// The Brightness page's view: its radio group, and each way a choice
// reaches the model. What the model writes is tested in tst_codemodels.
class BrightnessTest : public QObject
{
    Q_OBJECT

private:
    static QRadioButton *item(Operator &op, int level)
    {
        return op.find<QRadioButton>(QStringLiteral("Brightness%1").arg(level));
    }

private slots:
    void captionsAndTheLevelRead()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("3"));
        rig.detect();
        op.openTab(PageId::Brightness);
        auto *group = op.find<QGroupBox>(QStringLiteral("RadioGroup1"));
        QCOMPARE(group->title(), QStringLiteral("Brightness Selection"));
        QVERIFY(group->font().pointSize() > rig.window->font().pointSize());
        const QStringList captions{"0 - Dull", "1", "2", "3", "4", "5 - Default", "6", "7 - Bright"};
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(item(op, i)->text(), captions[i]);
        QVERIFY(item(op, 3)->isChecked());
    }

    // Each path that changes the selection writes; choosing the selected
    // item again writes nothing.
    void everyWayOfChoosingWrites_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("click") << "click" << QStringList{"SW148,7"};
        QTest::newRow("arrow key") << "down" << QStringList{"SW148,5"};
        QTest::newRow("the program") << "program" << QStringList{"SW148,2"};
        QTest::newRow("the selected item") << "again" << QStringList{};
    }
    void everyWayOfChoosingWrites()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, writes);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("4"));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Brightness);
        op.clearWire();
        if (how == QLatin1String("click")) {
            op.press(QStringLiteral("7 - Bright"));
        } else if (how == QLatin1String("down")) {
            item(op, 4)->setFocus();
            QTest::keyClick(item(op, 4), Qt::Key_Down);
        } else if (how == QLatin1String("program")) {
            item(op, 2)->setChecked(true);
        } else {
            op.press(QStringLiteral("4"));
        }
        QCOMPARE(op.wire(), writes);
    }
};

QTEST_MAIN(BrightnessTest)
#include "tst_brightness.moc"
