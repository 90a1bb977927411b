#include "operator.h"

#include "app/pagestrip.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

// The Display Settings page's view: opened from Code 1 or Code 10, it shows
// its model, and its buttons reach it; closing shows the opener's page
// again. What the model reads and writes is tested in tst_codemodels.
class DisplaySettingsTest : public QObject
{
    Q_OBJECT

private:
    static bool tabShown(Rig &rig) { return rig.pageControl()->isTabVisible(pageIndex(PageId::DisplaySettings)); }
    static PageId current(Rig &rig) { return PageId(rig.pageControl()->currentIndex()); }
    static bool checked(Operator &op, const char *name)
    {
        return op.find<QAbstractButton>(QLatin1String(name))->isChecked();
    }

private slots:
    void openFromCode1AndSend()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("201"), QStringLiteral("123"));
        rig.meter.setReg(QStringLiteral("208"), QStringLiteral("77")); // no button for M
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code1);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        QVERIFY(tabShown(rig));
        QCOMPARE(current(rig), PageId::DisplaySettings);
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label112"))->text(), QStringLiteral("Format Channel 2 view mode"));
        QVERIFY(checked(op, "RadioButtonD11") && checked(op, "RadioButtonD22") && checked(op, "RadioButtonD33"));
        for (QAbstractButton *button : op.find<QWidget>(QStringLiteral("Panel12"))->findChildren<QAbstractButton *>())
            QVERIFY(!button->isChecked());
        // A button toggled as a screen reader's Toggle action does.
        op.button(QStringLiteral("B"))->toggle();
        QVERIFY(checked(op, "SpdB66"));
        // "Cancel" writes nothing and shows Code 1 again.
        op.clearWire();
        op.press(QStringLiteral("Cancel"));
        QCOMPARE(op.wire(), QStringList{"SR198"});
        QCOMPARE(current(rig), PageId::Code1);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        op.button(QStringLiteral("B"))->toggle();
        op.press(QStringLiteral("0 No Rounding"));
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), (QStringList{"SW201,23", "SW208,66", "SR198"}));
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code1);
        QVERIFY(checked(op, "RadioButton130"));
    }

    void extraDisplayShowsCode10Again()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setModel(QStringLiteral("K3"));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code10);
        op.pick(QStringLiteral("2 Setup Second Display"));
        QCOMPARE(current(rig), PageId::DisplaySettings);
        op.press(QStringLiteral("Send Code to Meter"));
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code10);
        QVERIFY(checked(op, "RadioButton1010"));
    }
};

QTEST_MAIN(DisplaySettingsTest)
#include "tst_displaysettings.moc"
