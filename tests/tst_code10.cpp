#include "operator.h"

#include "app/pagestrip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

// The Code 10 page's views on the two kinds of meter that use it: the bar
// editor and the extra displays' source register fields. What their models
// read and write is tested in tst_codemodels.
class Code10Test : public QObject
{
    Q_OBJECT

private:
    static QString text(Operator &op, const char *field) { return op.find<QLineEdit>(QLatin1String(field))->text(); }
    static bool shown(Operator &op, const char *name)
    {
        QWidget *widget = op.find<QWidget>(QLatin1String(name));
        return widget && widget->isVisibleTo(widget->window());
    }

private slots:
    void barEditorReachesItsModel()
    {
        Rig rig;
        Operator op(rig);
        // A descending bar 1000..0 with one setpoint inside and zones red, green.
        const char *const registers[][2] = {{"99", "1000"}, {"100", "0"}, {"220", "50"}, {"101", "6"}, {"6", "200"}};
        for (const auto &reg : registers)
            rig.meter.setReg(QLatin1String(reg[0]), QLatin1String(reg[1]));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code10);
        QCOMPARE((QStringList{text(op, "Edit7"), text(op, "Edit8"), text(op, "Edit9")}),
                 (QStringList{"0", "1000", "500"}));
        auto *slider = op.find<QSlider>(QStringLiteral("TrackBar1"));
        QCOMPARE((QList<int>{slider->minimum(), slider->maximum(), slider->value()}), (QList<int>{0, 1000, 500}));
        // The zones are laid out from the bar's smaller end, here the right.
        auto *zone = op.find<QPushButton>(QStringLiteral("BarZone0"));
        QCOMPARE(zone->x() + zone->width(), 705);
        op.clearWire();
        zone->click();
        QCOMPARE(op.wire(), (QStringList{"SR101", "SW101,5"}));
        QCOMPARE(zone->accessibleDescription(), QStringLiteral("green"));

        // Leaving a field writes the bar; the slider writes its segment, and
        // the zero field follows its thumb.
        op.clearWire();
        op.typeAndLeave(QStringLiteral("Edit9"), QStringLiteral("250"));
        QCOMPARE(op.wire().mid(0, 3), (QStringList{"SW99,0", "SW100,1000", "SW220,25"}));
        QLineEdit *zero = op.find<QLineEdit>(QStringLiteral("Edit9"));
        const int left = zero->x();
        op.clearWire();
        slider->setValue(750);
        QCOMPARE(op.wire(), QStringList{"SW220,75"});
        QCOMPARE(zero->text(), QStringLiteral("750"));
        QVERIFY(zero->x() > left);

        // A logarithmic scale has a reference value instead of two ends.
        op.pick(QStringLiteral("3 Log 10 bar/decade"));
        QVERIFY(!shown(op, "Edit8"));
        QCOMPARE(op.find<QLineEdit>(QStringLiteral("Edit7"))->accessibleDescription(), QStringLiteral("Bar Reference"));
    }

    void sourceRegisterFieldsReachTheirModel()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setModel(QStringLiteral("K3"));
        rig.meter.setReg(QStringLiteral("229"), QStringLiteral("999"));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code10);
        QVERIFY(!shown(op, "BargraphPanel"));
        QCOMPARE(text(op, "Edit10"), QStringLiteral("255"));
        op.typeAndLeave(QStringLiteral("Edit11"), QStringLiteral("300"));
        QCOMPARE(text(op, "Edit11"), QStringLiteral("255"));
        // Entering the field chose the digit's user-defined register.
        QVERIFY(op.find<QRadioButton>(QStringLiteral("RadioButton1037"))->isChecked());
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), (QStringList{"SW229,255", "SW230,255", "SW139,7", "SR139"}));
        QCOMPARE(rig.pageControl()->tabText(pageIndex(PageId::Code10)), QStringLiteral("Code 10 - 007"));
    }
};

QTEST_MAIN(Code10Test)
#include "tst_code10.moc"
