#include "operator.h"

#include "app/pagestrip.h"
#include "pages/codes/displaysettingspage.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

// The Display Settings page: opened for a view from Code 1 or Code 10,
// loaded from the view's registers, sent or cancelled.
class DisplaySettingsTest : public QObject
{
    Q_OBJECT

private:
    static DisplaySettingsPage *settings(Rig &rig) { return rig.page<DisplaySettingsPage>(PageId::DisplaySettings); }
    static bool tabShown(Rig &rig) { return rig.pageControl()->isTabVisible(pageIndex(PageId::DisplaySettings)); }
    static PageId current(Rig &rig) { return PageId(rig.pageControl()->currentIndex()); }
    // The checked option of each group, "-" where none is.
    static QString checkedOptions(DisplaySettingsPage *page)
    {
        QString out;
        for (int g = 1; g <= DisplaySettingsPage::Groups; ++g) {
            QChar checked = QLatin1Char('-');
            for (int d = 0; d < DisplaySettingsPage::Options; ++d) {
                if (page->option(g, d) && page->option(g, d)->isChecked())
                    checked = QChar(u'0' + d);
            }
            out += checked;
        }
        return out;
    }
    static QList<int> pressedCharacters(DisplaySettingsPage *page)
    {
        QList<int> out;
        for (int code = 0; code < 128; ++code) {
            if (QAbstractButton *b = page->characterButton(code); b && b->isChecked())
                out << code;
        }
        return out;
    }
    // A meter found and the Code 1 page current, the wire cleared.
    static void onCode1(Rig &rig, Operator &op)
    {
        rig.detect();
        rig.window->show();
        op.openTab(PageId::Code1);
        op.clearWire();
    }

private slots:
    void openFromCode1AndSend_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QStringList>("opening");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QList<int>>("pressed");
        QTest::addColumn<QStringList>("sent");
        const QStringList reads{"SR208", "SR201"};
        QTest::newRow("123 with A") << "123"
                                    << "65" << reads << "123" << QList<int>{65} << QStringList{"SW201,123", "SW208,65"};
        QTest::newRow("0 with no character")
            << "0"
            << "0" << reads << "000" << QList<int>{0} << QStringList{"SW201,0", "SW208,0"};
        QTest::newRow("two digits with -")
            << "16"
            << "45" << reads << "016" << QList<int>{45} << QStringList{"SW201,16", "SW208,45"};
        QTest::newRow("alphanumeric, no button for M") << "471"
                                                       << "77" << QStringList{"SR208", "SR201", "SR208"} << "-71"
                                                       << QList<int>{} << QStringList{"SW201,471", "SW208,77"};
        QTest::newRow("digits without options kept")
            << "908"
            << "95" << reads << "-0-" << QList<int>{95} << QStringList{"SW201,908", "SW208,95"};
    }
    void openFromCode1AndSend()
    {
        QFETCH(QString, format);
        QFETCH(QString, character);
        QFETCH(QStringList, opening);
        QFETCH(QString, checked);
        QFETCH(QList<int>, pressed);
        QFETCH(QStringList, sent);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("201"), format);
        rig.meter.setReg(QStringLiteral("208"), character);
        onCode1(rig, op);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        QCOMPARE(op.wire(), opening);
        QVERIFY(tabShown(rig));
        QCOMPARE(current(rig), PageId::DisplaySettings);
        DisplaySettingsPage *page = settings(rig);
        QCOMPARE(page->heading()->text(), QStringLiteral("Format Channel 2 view mode"));
        QCOMPARE(checkedOptions(page), checked);
        QCOMPARE(pressedCharacters(page), pressed);

        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        // Closing puts Code 1's third digit back, which reads register 198.
        QCOMPARE(op.wire(), sent + QStringList{"SR198"});
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code1);
        QVERIFY(op.find<QRadioButton>(QStringLiteral("RadioButton130"))->isChecked());
        QCOMPARE(page->target(), 0);
    }

    void characterButtons_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QList<int>>("pressed");
        QTest::newRow("clear") << QStringList{"Clear"} << "SW208,0" << QList<int>{0};
        QTest::newRow("another character") << QStringList{"B", "Z"} << "SW208,90" << QList<int>{90};
        QTest::newRow("digit") << QStringList{"7"} << "SW208,55" << QList<int>{55};
        QTest::newRow("released") << QStringList{"A"} << "SW208,0" << QList<int>{};
        QTest::newRow("released after clear") << QStringList{"Clear", "Clear"} << "SW208,0" << QList<int>{};
    }
    void characterButtons()
    {
        QFETCH(QStringList, presses);
        QFETCH(QString, written);
        QFETCH(QList<int>, pressed);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("208"), QStringLiteral("65"));
        onCode1(rig, op);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        for (const QString &caption : presses)
            op.button(caption)->toggle(); // as a screen reader's Toggle action does
        QCOMPARE(pressedCharacters(settings(rig)), pressed);
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire().value(1), written);
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<QString>("reg198");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("closing reads register 198") << "0" << QStringList{};
        QTest::newRow("a failed read still closes") << "?" << QStringList{"'?' is not a valid integer value"};
    }
    void cancelWritesNothing()
    {
        QFETCH(QString, reg198);
        QFETCH(QStringList, errors);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("198"), reg198);
        onCode1(rig, op);
        op.pick(QStringLiteral("7 Format Sub-Totaliser view mode"));
        QCOMPARE(op.wire(), (QStringList{"SR212", "SR205"}));
        op.pick(QStringLiteral("2 Multiples of 5"));
        op.clearWire();
        op.press(QStringLiteral("Cancel"));
        QCOMPARE(op.wire(), QStringList{"SR198"});
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), errors);
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code1);
        QVERIFY(op.find<QRadioButton>(QStringLiteral("RadioButton130"))->isChecked());
    }

    void openFromCode10ForAnExtraDisplay_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("formatRegister");
        QTest::addColumn<int>("characterRegister");
        QTest::newRow("second display") << "2 Setup Second Display" << 225 << 227;
        QTest::newRow("third display") << "3 Setup Third Display" << 226 << 228;
    }
    void openFromCode10ForAnExtraDisplay()
    {
        QFETCH(QString, caption);
        QFETCH(int, formatRegister);
        QFETCH(int, characterRegister);
        Rig rig;
        Operator op(rig);
        rig.meter.setModel(QStringLiteral("K3"));
        rig.meter.setReg(QString::number(formatRegister), QStringLiteral("120"));
        rig.meter.setReg(QString::number(characterRegister), QStringLiteral("72"));
        rig.detect();
        rig.window->show();
        op.openTab(PageId::Code10);
        op.clearWire();
        op.pick(caption);
        QCOMPARE(op.wire(), (QStringList{QStringLiteral("SR%1").arg(characterRegister),
                                         QStringLiteral("SR%1").arg(formatRegister)}));
        QCOMPARE(settings(rig)->heading()->text(), caption.mid(2));
        QCOMPARE(checkedOptions(settings(rig)), QStringLiteral("120"));
        op.press(QStringLiteral("1 Hours:Minutes:Seconds"));
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), (QStringList{QStringLiteral("SW%1,110").arg(formatRegister),
                                         QStringLiteral("SW%1,72").arg(characterRegister)}));
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code10);
        QVERIFY(op.find<QRadioButton>(QStringLiteral("RadioButton1010"))->isChecked());
    }

    // Target 0 stands for register 198, which is also setpoint 6's control
    // bits: a send for it writes nothing.
    void sendWithoutAViewWritesNothing_data()
    {
        QTest::addColumn<QString>("code1");
        QTest::addColumn<bool>("pickNoFunction");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("0 No Function picked while open") << "005" << true << QStringList{};
        // Entering Code 1 shows the meter's digit without touching the view.
        QTest::newRow("Code 1 visited while open") << "000" << false << QStringList{"SW201,0", "SW208,0"};
    }
    void sendWithoutAViewWritesNothing()
    {
        QFETCH(QString, code1);
        QFETCH(bool, pickNoFunction);
        QFETCH(QStringList, sent);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("130"), code1);
        onCode1(rig, op);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        op.openTab(PageId::Code1); // opens a stored view again
        op.openTab(PageId::Code1);
        if (pickNoFunction) {
            op.pick(QStringLiteral("0 No Function"));
            QCOMPARE(settings(rig)->target(), 0);
        }
        QVERIFY(tabShown(rig));
        op.openTab(PageId::DisplaySettings);
        op.clearWire();
        op.press(QStringLiteral("Send Code to Meter"));
        QCOMPARE(op.wire(), sent);
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code1);
    }

    // An opening that stops part way leaves the page closed, and the option
    // can be chosen again.
    void failedOpeningLeavesThePageClosed_data()
    {
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<QString>("error");
        QTest::newRow("character no number") << "208"
                                             << "x" << false << "'x' is not a valid integer value";
        QTest::newRow("format no number") << "201"
                                          << "1x3" << false << "'1x3' is not a valid integer value";
        QTest::newRow("format too long, page open before") << "201"
                                                           << "1234" << true << "'1234' is not a three-digit code";
    }
    void failedOpeningLeavesThePageClosed()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(bool, openBefore);
        QFETCH(QString, error);
        Rig rig;
        Operator op(rig);
        onCode1(rig, op);
        if (openBefore) {
            op.pick(QStringLiteral("6 Format Totaliser view mode"));
            op.openTab(PageId::Code1);
        }
        rig.meter.setReg(reg, reply);
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
        QVERIFY(!tabShown(rig));
        QCOMPARE(current(rig), PageId::Code1);
        QVERIFY(!op.find<QRadioButton>(QStringLiteral("RadioButton133"))->isChecked());
        // With the meter answering again, the same choice opens the page.
        rig.meter.setReg(reg, QStringLiteral("5"));
        op.pick(QStringLiteral("3 Format Channel 2 view mode"));
        QVERIFY(tabShown(rig));
        QCOMPARE(settings(rig)->target(), 3);
    }

    // The load and the entry restore choose the meter's view as the operator would.
    void meterViewOpensOnLoadAndEntry()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("130"), QStringLiteral("125"));
        rig.detect();
        rig.window->show();
        Operator op(rig);
        QVERIFY(rig.commands().join(QLatin1Char(' ')).contains(QLatin1String("SR130 SR210 SR203")));
        op.press(QStringLiteral("Cancel"));
        op.openTab(PageId::Code3);
        op.clearWire();
        op.openTab(PageId::Code1);
        QCOMPARE(op.wire(), (QStringList{"SR210", "SR203"}));
        QCOMPARE(current(rig), PageId::DisplaySettings);
    }
};

QTEST_MAIN(DisplaySettingsTest)
#include "tst_displaysettings.moc"
