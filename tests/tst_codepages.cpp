#include "operator.h"

#include "app/pagestrip.h"
#include "pages/codes/codepage.h"
#include "pages/codes/kfactorpanel.h"
#include "pages/codes/prescalerpanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The setup-code pages: the code word, loading and restoring codes, and the
// options whose choice changes other controls.
class CodePagesTest : public QObject
{
    Q_OBJECT

private:
    static CodePage *codePage(Rig &rig, int code) { return rig.page<CodePage>(codePageId(code)); }
    static QRadioButton *option(Rig &rig, const char *name)
    {
        return rig.window->findChild<QRadioButton *>(QString::fromLatin1(name));
    }
    static void pick(CodePage *page, const QString &digits)
    {
        for (int g = 1; g <= CodePage::Groups; ++g)
            page->option(g, digits.at(g - 1).digitValue())->click();
    }
    static QStringList captions(CodePage *page, int group)
    {
        QStringList out;
        for (int d = 0; d < CodePage::Options; ++d)
            out << page->option(group, d)->text();
        return out;
    }
    static int shownOptions(CodePage *page, int group)
    {
        int shown = 0;
        for (int d = 0; d < CodePage::Options; ++d)
            shown += page->option(group, d)->isVisibleTo(page) ? 1 : 0;
        return shown;
    }
    static int checkedOption(CodePage *page, int group)
    {
        for (int d = 0; d < CodePage::Options; ++d) {
            if (page->option(group, d)->isChecked())
                return d;
        }
        return -1;
    }

private slots:
    void sendComposesWritesAndReadsBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("caption");
        QTest::newRow("code 9 377") << 9 << "377"
                                    << "SW138,377"
                                    << "Code 9 - 377";
        QTest::newRow("code 4 160") << 4 << "160"
                                    << "SW133,160"
                                    << "Code 4 - 160";
        QTest::newRow("code 3 no leading zeros") << 3 << "005"
                                                 << "SW132,5"
                                                 << "Code 3 - 005";
        QTest::newRow("code 7 045") << 7 << "045"
                                    << "SW136,45"
                                    << "Code 7 - 045";
    }
    void sendComposesWritesAndReadsBack()
    {
        QFETCH(int, code);
        QFETCH(QString, picks);
        QFETCH(QString, write);
        QFETCH(QString, caption);
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, code);
        pick(page, picks);
        rig.meter.clearLog();
        page->sendButton()->click();
        const QString read = QStringLiteral("SR%1").arg(128 + code + 1);
        QCOMPARE(rig.commands(), (QStringList{write, read}));
        QCOMPARE(rig.pageControl()->tabText(pageIndex(CodePage::info(code).page)), caption);
        QCOMPARE(page->storedCode(), picks.toInt());
        QCOMPARE(rig.summaryCell(code + 1, 1), QString::number(picks.toInt()));
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void code1SendResetsTheThirdDigitAndHidesDisplaySettings()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("130"), QStringLiteral("5"));
        rig.detect();
        rig.window->show();
        Operator(rig).openTab(PageId::Code1);
        CodePage *page = codePage(rig, 1);
        QVERIFY(option(rig, "RadioButton135")->isChecked());
        rig.pageControl()->setTabVisible(pageIndex(PageId::DisplaySettings), true);
        rig.meter.clearLog();
        page->sendButton()->click();
        QCOMPARE(rig.commands(), (QStringList{"SR198", "SW130,5", "SR130"}));
        QVERIFY(option(rig, "RadioButton130")->isChecked());
        QVERIFY(!rig.pageControl()->isTabVisible(pageIndex(PageId::DisplaySettings)));
        QCOMPARE(rig.pageControl()->tabText(pageIndex(PageId::Code1)), QStringLiteral("Code 1 - 005"));
        QCOMPARE(rig.summaryCell(2, 1), QStringLiteral("5"));
        QCOMPARE(page->storedCode(), 5);
    }

    void failedReadBackKeepsTheStoredCode()
    {
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, 5);
        pick(page, QStringLiteral("120"));
        // The meter keeps the write but answers the read with a non-number.
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&](const QString &command) {
            if (command == QLatin1String("SR134"))
                rig.meter.setReg(QStringLiteral("134"), QStringLiteral("x2"));
        });
        page->sendButton()->click();
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'x2' is not a valid integer value"});
        QCOMPARE(page->storedCode(), 0);
        QCOMPARE(rig.pageControl()->tabText(pageIndex(PageId::Code1) + 4), QStringLiteral("Code 5 - 000"));
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void pageEntryRestore_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restored");
        QTest::newRow("code 5 discards picks") << 5 << true;
        QTest::newRow("code 3 discards picks") << 3 << true;
        QTest::newRow("code 9 keeps picks") << 9 << false;
        QTest::newRow("code 8 keeps picks") << 8 << false;
    }
    void pageEntryRestore()
    {
        QFETCH(int, code);
        QFETCH(bool, restored);
        Rig rig;
        rig.meter.setModel(QStringLiteral("K5")); // Code 8's log buffer can be picked
        rig.meter.setReg(QString::number(129 + code), QStringLiteral("021"));
        rig.detect();
        rig.window->show();
        const int index = pageIndex(CodePage::info(code).page);
        Operator(rig).openTab(PageId(index));
        CodePage *page = codePage(rig, code);
        pick(page, QStringLiteral("112"));
        Operator(rig).openTab(PageId::Summary);
        Operator(rig).openTab(PageId(index));
        QCOMPARE(rig.pageControl()->currentIndex(), index);
        const QString shown = restored ? QStringLiteral("021") : QStringLiteral("112");
        for (int g = 1; g <= 3; ++g) {
            QCOMPARE(checkedOption(page, g), shown.at(g - 1).digitValue());
            QCOMPARE(page->digitValue(g), shown.mid(g - 1, 1).toInt() * (g == 1 ? 100 : g == 2 ? 10 : 1));
        }
    }

    void neverReadPageIsNotRestored()
    {
        // Detection did not run: the page's initial tag is not a code.
        Rig rig;
        rig.window->show();
        CodePage *page = codePage(rig, 5);
        Operator(rig).openTab(PageId::Code5);
        pick(page, QStringLiteral("260"));
        Operator(rig).openTab(PageId::Summary);
        Operator(rig).openTab(PageId::Code5);
        QCOMPARE(checkedOption(page, 1), 2);
        QCOMPARE(checkedOption(page, 2), 6);
        QCOMPARE(page->digitValue(1) + page->digitValue(2) + page->digitValue(3), 260);
    }

    void loadChecksTheMeterOptions()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("133"), QStringLiteral("160"));
        rig.meter.setReg(QStringLiteral("138"), QStringLiteral("417"));
        rig.detect();
        CodePage *code4 = codePage(rig, 4);
        QCOMPARE(checkedOption(code4, 1), 1);
        QCOMPARE(checkedOption(code4, 2), 6);
        QCOMPARE(checkedOption(code4, 3), 0);
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label30"))->text(), QStringLiteral("Counter"));
        QCOMPARE(code4->option(3, 1)->text(), QStringLiteral("1 Set Prescaler"));
        QCOMPARE(code4->digitValue(1) + code4->digitValue(2) + code4->digitValue(3), 160);
        QCOMPARE(rig.pageControl()->tabText(8), QStringLiteral("Code 4 - 160"));
        QCOMPARE(rig.summaryCell(5, 1), QStringLiteral("160"));
        // A hidden option is checked like any other: none of the shown ones is.
        CodePage *code9 = codePage(rig, 9);
        QVERIFY(code9->option(1, 4)->isChecked());
        QVERIFY(!code9->option(1, 4)->isVisibleTo(code9));
        QCOMPARE(code9->digitValue(1), 400);
    }

    void digitsWithoutAnOptionAreKept_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("group");
        QTest::newRow("second digit 9") << 5 << "190" << 2;
        QTest::newRow("first digit 8") << 9 << "812" << 1;
        QTest::newRow("third digit 8") << 3 << "018" << 3;
    }
    void digitsWithoutAnOptionAreKept()
    {
        QFETCH(int, code);
        QFETCH(QString, stored);
        QFETCH(int, group);
        Rig rig;
        rig.meter.setReg(QString::number(129 + code), stored);
        rig.detect();
        CodePage *page = codePage(rig, code);
        QCOMPARE(checkedOption(page, group), -1);
        rig.meter.clearLog();
        page->sendButton()->click();
        QCOMPARE(rig.commands().value(0), QStringLiteral("SW%1,%2").arg(129 + code).arg(stored.toInt()));
        // Picking an option afterwards still works.
        page->option(group, 1)->click();
        QCOMPARE(checkedOption(page, group), 1);
    }

    void badCodeReplyEndsTheLoad_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("error");
        QTest::newRow("not a number") << "x"
                                      << "'x' is not a valid integer value";
        QTest::newRow("too short") << "-5"
                                   << "'-5' is not a three-digit code";
        QTest::newRow("sign as a digit") << "-12"
                                         << "'-' is not a valid code digit";
    }
    void badCodeReplyEndsTheLoad()
    {
        QFETCH(QString, reply);
        QFETCH(QString, error);
        Rig rig;
        rig.meter.setReg(QStringLiteral("134"), reply);
        rig.detect();
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
        QVERIFY(rig.commands().contains(QStringLiteral("SR134")));
        QVERIFY(!rig.commands().contains(QStringLiteral("SR135")));
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void unreadCodesAreNotSent_data()
    {
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("sendable");
        QTest::newRow("the code that failed") << "130"
                                              << "x" << 1 << false;
        QTest::newRow("a code after the failure") << "130"
                                                  << "x" << 3 << false;
        QTest::newRow("the last code") << "130"
                                       << "x" << 10 << false;
        QTest::newRow("a code whose digits failed") << "134"
                                                    << "-5" << 5 << false;
        QTest::newRow("a code read before the failure") << "134"
                                                        << "x" << 4 << true;
        // A reply nobody asked for: everything the load took is doubtful.
        QTest::newRow("a code read before a stray reply") << "134"
                                                          << "stray" << 1 << false;
    }
    void unreadCodesAreNotSent()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(int, code);
        QFETCH(bool, sendable);
        Rig rig;
        bool stray = reply == QLatin1String("stray");
        if (stray) {
            connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig, reg, &stray](const QString &command) {
                if (command == QLatin1String("SR") + reg && std::exchange(stray, false))
                    rig.line->injectReceived("000\r\n");
            });
        } else {
            rig.meter.setReg(reg, reply);
        }
        rig.detect();
        CodePage *page = codePage(rig, code);
        QCOMPARE(page->sendButton()->isEnabled(), sendable);
        QCOMPARE(page->sendButton()->toolTip().isEmpty(), sendable);
        rig.meter.clearLog();
        QTest::mouseClick(page->sendButton(), Qt::LeftButton);
        QCOMPARE(rig.commands().filter(QStringLiteral("SW")).isEmpty(), !sendable);

        // Once a detection run reads it, the code can go out.
        rig.meter.setReg(reg, QStringLiteral("000"));
        rig.detect();
        QVERIFY(page->sendButton()->isEnabled());
        QVERIFY(page->sendButton()->toolTip().isEmpty());
    }

    void loadTakesEveryDigitFromItsOwnReply()
    {
        // Code 2's second digit 7 reads both K-factor registers while the
        // code is being loaded; the third digit still comes from the code.
        Rig rig;
        rig.meter.setReg(QStringLiteral("131"), QStringLiteral("075"));
        rig.meter.setReg(QStringLiteral("38"), QStringLiteral("12"));
        rig.meter.setReg(QStringLiteral("152"), QStringLiteral("34"));
        rig.detect();
        CodePage *code2 = codePage(rig, 2);
        QCOMPARE(checkedOption(code2, 3), 5);
        QCOMPARE(code2->digitValue(3), 5);
        QVERIFY(rig.commands().contains(QStringLiteral("SR38")));
        QVERIFY(!code2->sendButton()->isEnabled());
    }

    void code6TabFollowsSamplingRate_data()
    {
        QTest::addColumn<QString>("code4");
        QTest::addColumn<bool>("shown");
        QTest::newRow("060 single 60Hz") << "060" << false;
        QTest::newRow("110 dual 60Hz") << "110" << true;
        QTest::newRow("200 single 50Hz") << "200" << false;
        QTest::newRow("300 dual 50Hz") << "300" << true;
    }
    void code6TabFollowsSamplingRate()
    {
        QFETCH(QString, code4);
        QFETCH(bool, shown);
        Rig rig;
        rig.meter.setReg(QStringLiteral("133"), code4);
        rig.detect();
        QCOMPARE(rig.pageControl()->isTabVisible(pageIndex(PageId::Code6)), shown);
        // A click on the other kind of sampling turns it round.
        codePage(rig, 4)->option(1, shown ? 0 : 1)->click();
        QCOMPARE(rig.pageControl()->isTabVisible(pageIndex(PageId::Code6)), !shown);
    }

    void code4MeasurementTypeRelabelsTheThirdDigit_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("first");
        QTest::newRow("voltage") << 0 << "Voltage / Current" << 3 << "0 No Function";
        QTest::newRow("thermocouple") << 1 << "Thermocouple" << 8 << "0 J Type Thermocouple";
        QTest::newRow("rtd 3 wire") << 2 << "RTD" << 5 << "0 Resistance";
        QTest::newRow("rtd 2 or 4 wire") << 3 << "RTD" << 5 << "0 Resistance";
        QTest::newRow("frequency") << 4 << "Frequency" << 8 << "0 0.040Hz - 32.000Hz";
        QTest::newRow("period") << 5 << "Period" << 4 << "0 32.766 S (1 mS)";
        QTest::newRow("counter") << 6 << "Counter" << 8 << "0 Counter with Prescaler";
    }
    void code4MeasurementTypeRelabelsTheThirdDigit()
    {
        QFETCH(int, type);
        QFETCH(QString, label);
        QFETCH(int, shown);
        QFETCH(QString, first);
        Rig rig;
        rig.meter.setReg(QStringLiteral("133"), QStringLiteral("077"));
        rig.detect();
        CodePage *page = codePage(rig, 4);
        QCOMPARE(shownOptions(page, 3), 0); // "7 Channel 1 Disabled"
        page->option(3, 2)->setChecked(true);
        page->option(2, type)->click();
        QCOMPARE(page->featureLabel(3)->text(), label);
        QCOMPARE(shownOptions(page, 3), shown);
        QCOMPARE(page->option(3, 0)->text(), first);
        QCOMPARE(checkedOption(page, 3), 0);
        QCOMPARE(page->digitValue(3), 0);
        QCOMPARE(page->digitValue(2), type * 10);
        page->option(2, 7)->click();
        QCOMPARE(shownOptions(page, 3), 0);
        QCOMPARE(page->featureLabel(3)->text(), QStringLiteral("Disabled"));
    }

    void code6MeasurementTypeKeepsTheHiddenChoice()
    {
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, 6);
        QCOMPARE(page->option(2, 3)->text(), QStringLiteral("undefined"));
        page->option(1, 1)->click();
        QCOMPARE(page->featureLabel(2)->text(), QStringLiteral("Thermocouple"));
        QCOMPARE(page->featureLabel(2)->objectName(), QStringLiteral("Label37"));
        QCOMPARE(captions(page, 2).at(5), QStringLiteral("5 B Type Thermocouple"));
        page->option(2, 5)->click();
        page->option(1, 0)->click();
        QCOMPARE(page->featureLabel(2)->text(), QStringLiteral("Voltage/Current"));
        QCOMPARE(captions(page, 2).mid(0, 3),
                 (QStringList{"0 No Processing", "1 Square root of channel 2", "2 Inverse of channel 2"}));
        QVERIFY(!page->option(2, 5)->isVisibleTo(page));
        QVERIFY(page->option(2, 5)->isChecked());
        QCOMPARE(page->digitValue(2), 50);
        page->option(1, 3)->click();
        QCOMPARE(shownOptions(page, 2), 8);
        QCOMPARE(page->option(2, 7)->text(), QStringLiteral("7 Set Prescaler"));
    }

    void code2SendButtonFollowsTareAndKFactor()
    {
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, 2);
        QWidget *panel = rig.window->findChild<QWidget *>(QStringLiteral("Panel7"));
        QVERIFY(panel && page->isAncestorOf(panel));
        QVERIFY(page->sendButton()->isEnabled());
        page->option(1, 2)->click();
        QVERIFY(!page->sendButton()->isEnabled());
        page->option(1, 0)->click();
        QVERIFY(page->sendButton()->isEnabled());

        rig.meter.setReg(QStringLiteral("38"), QStringLiteral("30000"));
        rig.meter.setReg(QStringLiteral("152"), QStringLiteral("6"));
        rig.meter.clearLog();
        page->option(2, 7)->click();
        QCOMPARE(rig.commands(), (QStringList{"SR38", "SR152"}));
        QVERIFY(panel->isVisibleTo(page));
        QVERIFY(!page->sendButton()->isEnabled());
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label115"))->text(),
                 QStringLiteral("K Factor High Byte  30000"));
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label116"))->text(),
                 QStringLiteral("K Factor Low Byte  6"));
        QCOMPARE(page->digitValue(2), 70);
        // Choosing the checked option again runs nothing.
        page->option(2, 7)->click();
        QCOMPARE(rig.commands().count(QStringLiteral("SR38")), 1);
        // A tare function keeps the panel as it is.
        page->option(1, 1)->click();
        QVERIFY(panel->isVisibleTo(page));
        page->option(1, 0)->click();
        QVERIFY(!page->sendButton()->isEnabled()); // "7 Set K factor" is still checked
        page->option(2, 3)->click();
        QVERIFY(!panel->isVisibleTo(page));
        QVERIFY(page->sendButton()->isEnabled());
    }

    void code2TareKeepsTheOperatorOnThePage()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("131"), QStringLiteral("120"));
        rig.detect();
        rig.window->show();
        CodePage *page = codePage(rig, 2);
        QVERIFY(!page->sendButton()->isEnabled());
        Operator(rig).openTab(PageId::Code2);
        Operator(rig).openTab(PageId::Summary);
        QCOMPARE(rig.pageControl()->currentIndex(), pageIndex(PageId::Code2));
        page->option(1, 0)->click();
        QVERIFY(page->sendButton()->isEnabled());
        page->sendButton()->click();
        QCOMPARE(page->storedCode(), 20);
        Operator(rig).openTab(PageId::Summary);
        QCOMPARE(rig.pageControl()->currentIndex(), pageIndex(PageId::Summary));
    }

    void code4PrescalerMode()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("97"), QStringLiteral("32773"));
        rig.detect();
        CodePage *page = codePage(rig, 4);
        PrescalerPanel *panel = page->prescalerPanel();
        QCOMPARE(panel->objectName(), QStringLiteral("Panel10"));
        page->option(2, 6)->click();
        page->option(3, 3)->click();
        rig.meter.clearLog();
        page->option(3, 1)->click();
        QCOMPARE(rig.commands(), QStringList{"SR97"});
        QVERIFY(panel->isVisibleTo(page));
        QVERIFY(!page->sendButton()->isEnabled());
        QVERIFY(panel->debounce()->isChecked());
        QCOMPARE(panel->field()->text(), QStringLiteral("5"));
        QCOMPARE(page->digitValue(3), 3); // setting the prescaler is an action
        page->option(3, 0)->click();
        QVERIFY(!panel->isVisibleTo(page));
        QVERIFY(page->sendButton()->isEnabled());
        QCOMPARE(page->digitValue(3), 0);

        // "1" of another measurement type is a setting like any other.
        page->option(2, 4)->click();
        page->option(3, 1)->click();
        QVERIFY(!panel->isVisibleTo(page));
        QCOMPARE(page->digitValue(3), 1);

        // The panel's own send ends prescaler mode on option 0.
        page->option(2, 6)->click();
        page->option(3, 1)->click();
        rig.meter.clearLog();
        panel->sendButton()->click();
        QCOMPARE(rig.commands(), QStringList{"SW97,-32763"});
        QVERIFY(page->option(3, 0)->isChecked());
        QVERIFY(page->sendButton()->isEnabled());
        QVERIFY(!panel->isVisibleTo(page));
    }

    void code6PrescalerMode()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("98"), QStringLiteral("250"));
        rig.detect();
        CodePage *page = codePage(rig, 6);
        PrescalerPanel *panel = page->prescalerPanel();
        QCOMPARE(panel->objectName(), QStringLiteral("Panel13"));
        page->option(1, 3)->click();
        page->option(2, 4)->click();
        rig.meter.clearLog();
        page->option(2, 7)->click();
        QCOMPARE(rig.commands(), QStringList{"SR98"});
        QCOMPARE(panel->field()->text(), QStringLiteral("250"));
        QVERIFY(!page->sendButton()->isEnabled());
        QCOMPARE(page->digitValue(2), 40);
        // Other options of the digit leave the panel open.
        page->option(2, 2)->click();
        QVERIFY(panel->isVisibleTo(page));
        QVERIFY(!page->sendButton()->isEnabled());
        rig.meter.clearLog();
        panel->sendButton()->click();
        QCOMPARE(rig.commands(), QStringList{"SW98,250"});
        QVERIFY(page->option(2, 0)->isChecked());
        QCOMPARE(page->digitValue(2), 0);
        QVERIFY(page->sendButton()->isEnabled());
        // Option 7 of another input type is a setting.
        page->option(1, 1)->click();
        page->option(2, 7)->click();
        QVERIFY(!panel->isVisibleTo(page));
        QCOMPARE(page->digitValue(2), 70);
    }

    void kFactorSendEndsTheTask()
    {
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, 2);
        page->option(2, 7)->click();
        KFactorPanel *panel = page->kFactorPanel();
        panel->calculateButton()->click();
        rig.meter.clearLog();
        panel->sendButton()->click();
        QCOMPARE(rig.commands(), (QStringList{"SW152,6", "SW38,30000"}));
        QVERIFY(!panel->isVisibleTo(page));
        QVERIFY(page->option(2, 0)->isChecked());
        QCOMPARE(page->digitValue(2), 0);
        QVERIFY(page->sendButton()->isEnabled());
    }

    void code8ResetOfTheLogBuffer()
    {
        Rig rig;
        rig.detect();
        CodePage *page = codePage(rig, 8);
        rig.meter.clearLog();
        page->option(1, 3)->click();
        QCOMPARE(rig.commands(), (QStringList{"SW720,0", "SW721,0"}));
        QVERIFY(page->option(1, 2)->isChecked());
        QCOMPARE(page->digitValue(1), 200);
        // Choosing the checked linear buffer again writes nothing.
        rig.meter.clearLog();
        page->option(1, 2)->click();
        QVERIFY(rig.commands().isEmpty());
    }

    void code8LoadedWithAResetDoesNotResetTheBuffer()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("137"), QStringLiteral("312"));
        rig.detect();
        CodePage *page = codePage(rig, 8);
        QVERIFY(!rig.commands().contains(QStringLiteral("SW720,0")));
        QVERIFY(!rig.commands().contains(QStringLiteral("SW721,0")));
        QVERIFY(page->option(1, 2)->isChecked());
        QCOMPARE(page->digitValue(1), 200);
        QCOMPARE(checkedOption(page, 2), 1);
        QCOMPARE(checkedOption(page, 3), 2);
    }

    void code8EntryFollowsTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bargraph model") << "KM5B" << false;
        QTest::newRow("model without B") << "K5" << true;
    }
    void code8EntryFollowsTheModel()
    {
        QFETCH(QString, model);
        QFETCH(bool, enabled);
        Rig rig;
        rig.meter.setModel(model);
        rig.detect();
        rig.window->show();
        Operator(rig).openTab(PageId::Code8);
        CodePage *page = codePage(rig, 8);
        for (int d = 0; d < 4; ++d) {
            QVERIFY(page->option(1, d)->isVisibleTo(page));
            QCOMPARE(page->option(1, d)->isEnabled(), enabled);
        }
    }

    void calibrationPageIsAHiddenCodePage()
    {
        Rig rig;
        auto *page = rig.window->findChild<CodePage *>(QStringLiteral("TabSheet4"));
        QVERIFY(page);
        QVERIFY(!rig.pageControl()->isTabVisible(pageIndex(PageId::Calibration)));
        QCOMPARE(page->option(1, 1)->text(), QStringLiteral("1 Set baud rate, parity, && address"));
        QVERIFY(!page->option(1, 1)->isEnabled());
        QVERIFY(!page->option(3, 3)->isVisibleTo(page));
        page->option(2, 4)->click();
        QCOMPARE(page->digitValue(2), 40);
        page->sendButton()->click();
        QVERIFY(rig.meter.log().isEmpty());
    }
};

QTEST_MAIN(CodePagesTest)
#include "tst_codepages.moc"
