#include "operator.h"

#include "app/pagestrip.h"
#include "pages/codes/bargraphpanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
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
    static BargraphPanel *bar(Rig &rig) { return rig.window->findChild<BargraphPanel *>(); }
    static QString text(Operator &op, const char *field) { return op.find<QLineEdit>(QLatin1String(field))->text(); }
    // A bargraph meter with the bar registers given (low, high, zero) and
    // the Code 10 page entered.
    static void enterBar(Rig &rig, Operator &op, const QString &model, const QStringList &bar)
    {
        rig.meter.setModel(model);
        rig.meter.setReg(QStringLiteral("99"), bar.at(0));
        rig.meter.setReg(QStringLiteral("100"), bar.at(1));
        rig.meter.setReg(QStringLiteral("220"), bar.at(2));
        rig.detect();
        rig.window->show();
        op.clearWire();
        op.openTab(PageId::Code10);
    }
    // Setpoint values (registers 6 to 11): those given, the rest at the bottom of the range.
    static void setSetpoints(Rig &rig, const QStringList &values)
    {
        for (int i = 0; i < 6; ++i)
            rig.meter.setReg(QString::number(6 + i), values.value(i, QStringLiteral("-19999")));
    }
    static QList<int> zoneCodes(Rig &rig)
    {
        QList<int> codes;
        for (const QPushButton *cell : bar(rig)->zoneCells())
            codes << BargraphPanel::colourCodeOf(cell);
        return codes;
    }

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

    void drawBar_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("registers");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<int>("firstZoneLeft");
        QTest::newRow("0..1000 at 50 of 100")
            << "KM5B" << QStringList{"0", "1000", "50"} << QStringList{"0", "1000", "500"} << 500 << true << 80;
        QTest::newRow("1000..0 from the right")
            << "KM5B" << QStringList{"1000", "0", "50"} << QStringList{"0", "1000", "500"} << 500 << false << 393;
        QTest::newRow("50 segments from the first drawing")
            << "KM51B" << QStringList{"0", "1000", "25"} << QStringList{"0", "1000", "500"} << 500 << true << 80;
    }
    void drawBar()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, registers);
        QFETCH(QStringList, fields);
        QFETCH(int, position);
        QFETCH(bool, ascending);
        QFETCH(int, firstZoneLeft);
        Rig rig;
        Operator op(rig);
        setSetpoints(rig, {"200"});
        enterBar(rig, op, model, registers);
        QCOMPARE(op.wire(),
                 (QStringList{"SR100", "SR99", "SR220", "SR101", "SR6", "SR7", "SR8", "SR9", "SR10", "SR11"}));
        QCOMPARE((QStringList{text(op, "Edit7"), text(op, "Edit8"), text(op, "Edit9")}), fields);
        QSlider *slider = bar(rig)->zeroPosition();
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 1000);
        QCOMPARE(slider->value(), position);
        QCOMPARE(bar(rig)->ascending(), ascending);
        QCOMPARE(bar(rig)->zoneCells().size(), 2);
        QCOMPARE(bar(rig)->zoneCells().at(0)->x(), firstZoneLeft);
        // Drawing wrote nothing.
        QVERIFY(!op.wire().join(QLatin1Char(' ')).contains(QLatin1String("SW")));
    }

    void zonesBetweenSetpoints()
    {
        Rig rig;
        Operator op(rig);
        setSetpoints(rig, {"200", "700", "-500", "0", "1000", "1200"});
        rig.meter.setReg(QStringLiteral("101"), QStringLiteral("36"));
        enterBar(rig, op, QStringLiteral("KM5B"), {"0", "1000", "50"});
        QCOMPARE(zoneCodes(rig), (QList<int>{0, 1, 2}));
        for (const QPushButton *cell : bar(rig)->zoneCells())
            QCOMPARE(cell->width(), 208);
        QCOMPARE(bar(rig)->zoneCells().at(2)->x(), 80 + 2 * 208);
    }

    void colourChange_data()
    {
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QString>("atClick");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("code");
        QTest::newRow("red zone 1 turns green") << "8"
                                                << "8" << 1 << "SW101,4" << 1;
        QTest::newRow("green turns amber on the meter's colours") << "36"
                                                                  << "37" << 1 << "SW101,45" << 3;
        QTest::newRow("off turns red") << "36"
                                       << "36" << 0 << "SW101,38" << 2;
        QTest::newRow("amber turns red, reply read as 16 bits") << "-1"
                                                                << "-1" << 2 << "SW101,65519" << 2;
    }
    void colourChange()
    {
        QFETCH(QString, drawn);
        QFETCH(QString, atClick);
        QFETCH(int, zone);
        QFETCH(QString, written);
        QFETCH(int, code);
        Rig rig;
        Operator op(rig);
        setSetpoints(rig, {"200", "700"});
        rig.meter.setReg(QStringLiteral("101"), drawn);
        enterBar(rig, op, QStringLiteral("KM5B"), {"0", "1000", "50"});
        const QList<int> before = zoneCodes(rig);
        rig.meter.setReg(QStringLiteral("101"), atClick);
        op.clearWire();
        bar(rig)->zoneCells().at(zone)->click();
        QCOMPARE(op.wire(), (QStringList{"SR101", written}));
        QList<int> after = before;
        after[zone] = code;
        QCOMPARE(zoneCodes(rig), after);
    }

    void scaleBar_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("error");
        QTest::newRow("zero moved") << "Edit9"
                                    << "250" << QStringList{"SW99,0", "SW100,1000", "SW220,25"} << "250"
                                    << "";
        QTest::newRow("low above high swaps the registers")
            << "Edit7"
            << "2000" << QStringList{"SW99,1000", "SW100,2000", "SW220,0"} << "1000"
            << "";
        QTest::newRow("zero beyond the high end")
            << "Edit9"
            << "5000" << QStringList{"SW99,0", "SW100,1000", "SW220,100"} << "1000"
            << "";
        QTest::newRow("out of range reverts") << "Edit7"
                                              << "-25000" << QStringList{} << "0"
                                              << "";
        QTest::newRow("equal ends revert") << "Edit8"
                                           << "0" << QStringList{} << "1000"
                                           << "";
        QTest::newRow("no number reverts") << "Edit9"
                                           << "-" << QStringList{} << "500"
                                           << "'-' is not a valid integer value";
    }
    void scaleBar()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QStringList, written);
        QFETCH(QString, shown);
        QFETCH(QString, error);
        Rig rig;
        Operator op(rig);
        enterBar(rig, op, QStringLiteral("KM5B"), {"0", "1000", "50"});
        op.clearWire();
        op.typeAndLeave(field, typed);
        QStringList writes;
        for (const QString &command : op.wire()) {
            if (command.startsWith(QLatin1String("SW")))
                writes << command;
        }
        QCOMPARE(writes, written);
        QCOMPARE(op.find<QLineEdit>(field)->text(), shown);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), error.isEmpty() ? QStringList{} : QStringList{error});
        // The slider writes its position again afterwards.
        op.clearWire();
        QSlider *slider = bar(rig)->zeroPosition();
        slider->setValue(slider->minimum() + (slider->maximum() - slider->minimum()) * 3 / 4);
        QCOMPARE(op.wire(), QStringList{"SW220,75"});
    }

    void sliderWritesTheZeroSegment_data()
    {
        QTest::addColumn<QStringList>("registers");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0..1000") << QStringList{"0", "1000", "0"} << 505 << "SW220,50"
                                 << "500";
        QTest::newRow("0..150 top stays within the bar") << QStringList{"0", "150", "0"} << 150 << "SW220,100"
                                                         << "150";
        QTest::newRow("0..150 between segments") << QStringList{"0", "150", "0"} << 50 << "SW220,33"
                                                 << "49";
        QTest::newRow("descending 150..0") << QStringList{"150", "0", "0"} << 50 << "SW220,33"
                                           << "50";
    }
    void sliderWritesTheZeroSegment()
    {
        QFETCH(QStringList, registers);
        QFETCH(int, position);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        Rig rig;
        Operator op(rig);
        enterBar(rig, op, QStringLiteral("KM5B"), registers);
        QLineEdit *zero = op.find<QLineEdit>(QStringLiteral("Edit9"));
        const int left = zero->x();
        op.clearWire();
        bar(rig)->zeroPosition()->setValue(position);
        QCOMPARE(op.wire(), QStringList{written});
        QCOMPARE(zero->text(), shown);
        // The zero field follows the slider's thumb.
        QVERIFY(zero->x() > left);
    }

    void sourceRegisterFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("option");
        QTest::newRow("second display above range") << "Edit10"
                                                    << "300"
                                                    << "255"
                                                    << "RadioButton1027";
        QTest::newRow("third display zero") << "Edit11"
                                            << "0"
                                            << "1"
                                            << "RadioButton1037";
        QTest::newRow("inside the range") << "Edit10"
                                          << "42"
                                          << "42"
                                          << "RadioButton1027";
    }
    void sourceRegisterFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, option);
        Rig rig;
        Operator op(rig);
        // A bargraph model with extra displays: the bar, then the source registers.
        rig.meter.setModel(QStringLiteral("K3B"));
        rig.meter.setReg(QStringLiteral("229"), QStringLiteral("999"));
        rig.meter.setReg(QStringLiteral("230"), QStringLiteral("-3"));
        rig.detect();
        rig.window->show();
        op.clearWire();
        op.openTab(PageId::Code10);
        QCOMPARE(op.wire().mid(9), (QStringList{"SR11", "SR229", "SR230"}));
        QCOMPARE(text(op, "Edit10"), QStringLiteral("255"));
        QCOMPARE(text(op, "Edit11"), QStringLiteral("1"));
        op.typeAndLeave(field, typed);
        QCOMPARE(op.find<QLineEdit>(field)->text(), shown);
        // Entering the field chose the digit's user-defined register.
        QVERIFY(op.find<QRadioButton>(option)->isChecked());
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        const QString second = field == QLatin1String("Edit10") ? shown : QStringLiteral("255");
        const QString third = field == QLatin1String("Edit11") ? shown : QStringLiteral("1");
        QCOMPARE(op.wire().mid(0, 2), (QStringList{"SW229," + second, "SW230," + third}));
        QVERIFY(op.wire().value(2).startsWith(QLatin1String("SW139,")));
    }

    void emptySourceRegisterStopsTheSend()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setModel(QStringLiteral("K3"));
        rig.detect();
        rig.window->show();
        op.openTab(PageId::Code10);
        op.typeAndLeave(QStringLiteral("Edit11"), QString());
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QVERIFY(op.wire().isEmpty());
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'' is not a valid integer value"});
    }
};

QTEST_MAIN(Code10Test)
#include "tst_code10.moc"
