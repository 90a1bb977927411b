#include "operator.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

// The two prescaler panels' views: their controls, and each way the field,
// the up-down and the de-bounce box reach the model. What the model reads,
// normalises and writes is tested in tst_codemodels.
class PrescalerTest : public QObject
{
    Q_OBJECT

private slots:
    void panelsReachTheirModels_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("names"); // field, up-down, de-bounce, send
        QTest::addColumn<QString>("written");
        QTest::newRow("counter") << QStringLiteral("1 Set Prescaler")
                                 << QStringList{"Edit2", "UpDown4", "CheckBox1", "Button18"}
                                 << QStringLiteral("SW97,-32716");
        QTest::newRow("second input") << QStringLiteral("7 Set Prescaler")
                                      << QStringList{"Edit6", "UpDown2", "", "Button19"} << QStringLiteral("SW98,52");
    }
    void panelsReachTheirModels()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, names);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("133"), QStringLiteral("160"));
        rig.meter.setReg(QStringLiteral("135"), QStringLiteral("300"));
        rig.detect();
        op.showWindow();
        op.openTab(names[0] == QLatin1String("Edit2") ? PageId::Code4 : PageId::Code6);
        op.pick(option);
        QLineEdit *field = op.type(names[0], QStringLiteral("40000"));
        QCOMPARE(field->text(), QStringLiteral("32767"));
        auto *upDown = op.find<QSpinBox>(names[1]);
        QCOMPARE((QList<int>{upDown->minimum(), upDown->value(), upDown->maximum()}), (QList<int>{1, 32767, 32767}));
        QVERIFY(!upDown->wrapping() && !upDown->isGroupSeparatorShown());
        field->setText(QStringLiteral("50"));
        upDown->setFocus();
        QTest::keyClick(upDown, Qt::Key_Up);
        // Typing into the up-down itself changes nothing.
        QTest::keyClicks(upDown, QStringLiteral("9"));
        QTest::keyClick(upDown, Qt::Key_Up);
        QCOMPARE(field->text(), QStringLiteral("52"));
        // The box as a screen reader's Toggle action changes it.
        if (!names[2].isEmpty())
            op.find<QCheckBox>(names[2])->toggle();
        op.clearWire();
        op.find<QPushButton>(names[3])->click();
        QFETCH(QString, written);
        QCOMPARE(op.wire(), QStringList{written});
    }
};

QTEST_MAIN(PrescalerTest)
#include "tst_prescaler.moc"
