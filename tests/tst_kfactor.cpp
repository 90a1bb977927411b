#include "operator.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The K-factor panel's view: its controls and what they show. Its
// calculation and writes are tested in tst_codemodels.
class KFactorTest : public QObject
{
    Q_OBJECT

private slots:
    void panelShowsItsModel()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("38"), QStringLiteral("123"));
        rig.meter.setReg(QStringLiteral("152"), QStringLiteral("7"));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code2);
        op.pick(QStringLiteral("7 Set K factor"));
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label115"))->text(), QStringLiteral("K Factor High Byte  123"));
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label116"))->text(), QStringLiteral("K Factor Low Byte  7"));
        QStringList entries;
        for (const char *name : {"KFactorRate", "KFactorTime", "KFactorTotal"})
            entries << op.find<QLineEdit>(QLatin1String(name))->text();
        QCOMPARE(entries, (QStringList{"100", "3600", "10"}));
        auto *unit = op.find<QComboBox>(QStringLiteral("KFactorUnit"));
        QCOMPARE(unit->currentText(), QStringLiteral("Seconds"));
        QVERIFY(!op.find<QPushButton>(QStringLiteral("KFactorSend"))->isEnabled());
        QVERIFY(!op.find<QPushButton>(QStringLiteral("Button3"))->isEnabled());
        op.press(QStringLiteral("Calculate K Factor"));
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label115"))->text(), QStringLiteral("6"));
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label116"))->text(), QStringLiteral("30000"));
        QVERIFY(!QGuiApplication::overrideCursor());
        op.clearWire();
        op.press(QStringLiteral("Send Values to Meter"));
        QCOMPARE(op.wire(), (QStringList{"SW152,6", "SW38,30000"}));
        QVERIFY(op.find<QWidget>(QStringLiteral("Panel7"))->isHidden());
        QVERIFY(op.find<QRadioButton>(QStringLiteral("RadioButton220"))->isChecked());
        QVERIFY(op.find<QPushButton>(QStringLiteral("Button3"))->isEnabled());
        // A unit typed into the box counts as well: a day is too long here.
        op.pick(QStringLiteral("7 Set K factor"));
        op.typeAndLeave(QStringLiteral("KFactorTime"), QStringLiteral("1"));
        op.typeAndLeave(QStringLiteral("KFactorTotal"), QStringLiteral("1"));
        unit->setEditText(QStringLiteral("Days"));
        op.press(QStringLiteral("Calculate K Factor"));
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label115"))->text(), QStringLiteral("Value to large"));
    }
};

QTEST_MAIN(KFactorTest)
#include "tst_kfactor.moc"
