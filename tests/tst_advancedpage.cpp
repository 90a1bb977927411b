#include "operator.h"

#include "app/pagestrip.h"
#include "pages/advanced/advancedpage.h"
#include "pages/advanced/printstringedit.h"
#include "pages/summary/meterclockpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

// The Advanced Functions page as an operator uses it: the lockout masks read
// on entry and written on each click, the display texts and the print string
// written on leaving their fields, and the meter clock.
class AdvancedPageTest : public QObject
{
    Q_OBJECT

private:
    static AdvancedPage *page(Rig &rig) { return rig.page<AdvancedPage>(PageId::Advanced); }
    template<typename T>
    static T *find(Operator &op, const QString &name)
    {
        T *widget = op.find<T>(name);
        [&]() { QVERIFY2(widget, qPrintable(name)); }();
        return widget;
    }
    // Detection on a meter of `model`, the window active, the wire empty.
    static void detected(Rig &rig, Operator &op, const QString &model = QStringLiteral("KM5B"))
    {
        rig.meter.setModel(model);
        rig.detect();
        op.showWindow();
        op.clearWire();
    }
    // The operator selects the page; its reads are then left off the wire.
    static AdvancedPage *entered(Rig &rig, Operator &op, const QString &model = QStringLiteral("KM5B"))
    {
        detected(rig, op, model);
        op.openTab(PageId::Advanced);
        op.clearWire();
        return page(rig);
    }
    // The page made current without its entry handling.
    static void shown(Rig &rig) { rig.pageControl()->setCurrentIndex(pageIndex(PageId::Advanced)); }
    static void click(Operator &op, const QString &box) { QTest::mouseClick(find<QCheckBox>(op, box), Qt::LeftButton); }
    // Focuses the print string at its end and types; "\n" is the Enter key.
    static void typeIntoPrintString(PrintStringEdit *print, const QString &keys)
    {
        print->setFocus(Qt::MouseFocusReason);
        print->moveCursor(QTextCursor::End);
        for (const QChar c : keys) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(print, Qt::Key_Return);
            else
                QTest::keyClicks(print, QString(c));
        }
    }
    static QStringList writes(const Operator &op)
    {
        return op.wire().filter(QRegularExpression(QStringLiteral("^SW")));
    }

private slots:
    void entryReadsMasksThenTexts()
    {
        Rig rig;
        Operator op(rig);
        detected(rig, op);
        // The meter's masks differ from the creation defaults; nothing is written.
        rig.meter.setReg(QStringLiteral("705"), QStringLiteral("0"));
        op.openTab(PageId::Advanced);
        QStringList reads{"SR705", "SR706", "SR707"};
        for (const char letter : QByteArray("HIJKTUVWRSLMNOPQX"))
            reads << QStringLiteral("SR") + QLatin1Char(letter);
        QCOMPARE(op.wire(), reads);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        QVERIFY(!find<QCheckBox>(op, QStringLiteral("CheckBox163"))->isChecked());
        // Selecting the page again reads everything again.
        op.openTab(PageId::Brightness);
        op.clearWire();
        op.openTab(PageId::Advanced);
        QCOMPARE(op.wire(), reads);
    }

    void entryEndsWithTheFramerArmed()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("X"), QStringLiteral("Batch"));
        detected(rig, op);
        // As if the framer timed out once the last reply of the entry was in.
        QObject::connect(&rig.exchange(), &CommandExchange::replyTaken, rig.window.get(), [&rig](const QString &text) {
            if (text == QLatin1String("Batch"))
                QTimer::singleShot(0, rig.window.get(), [&rig]() { rig.session->framer().disable(); });
        });
        op.openTab(PageId::Advanced);
        QVERIFY(rig.session->framer().isArmed());
    }

    void readBack_data()
    {
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("unchecked");
        QTest::newRow("705 = 0 clears the left group")
            << "705"
            << "0" << QStringList{} << QStringList{"CheckBox162", "CheckBox167", "CheckBox1613"};
        QTest::newRow("707 = 65535 checks every box")
            << "707"
            << "65535" << QStringList{"CheckBoxAF0", "CheckBoxAF7", "CheckBoxAF11", "CheckBoxAF15"} << QStringList{};
        QTest::newRow("707 = -1 as 65535")
            << "707"
            << "-1" << QStringList{"CheckBoxAF0", "CheckBoxAF7", "CheckBoxAF11", "CheckBoxAF15"} << QStringList{};
        QTest::newRow("707 = 128 the hidden bit 7 only")
            << "707"
            << "128" << QStringList{"CheckBoxAF7"} << QStringList{"CheckBoxAF3", "CheckBoxAF15"};
        QTest::newRow("706 = 8 allow changes of setpoint 3")
            << "706"
            << "8" << QStringList{"CheckBoxSP3"} << QStringList{"CheckBoxSP0", "CheckBoxSP12"};
    }
    void readBack()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, unchecked);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(reg, reply);
        entered(rig, op);
        for (const QString &name : checked)
            QVERIFY2(find<QCheckBox>(op, name)->isChecked(), qPrintable(name));
        for (const QString &name : unchecked)
            QVERIFY2(!find<QCheckBox>(op, name)->isChecked(), qPrintable(name));
        QVERIFY(writes(op).isEmpty());
    }

    // One click writes the whole mask, the sum of its checked boxes.
    void click_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("masks"); // replies to SR705, SR706, SR707
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("write");
        const QStringList zero{"0", "0", "0"};
        QTest::newRow("uncheck allow changes of setpoint 3") << "KM5B" << QStringList{"0", "8191", "0"} << "CheckBoxSP3"
                                                             << "SW706,8183";
        QTest::newRow("Calibration, Code 10 row hidden") << "KM5" << zero << "CheckBox163"
                                                         << "SW705,8";
        QTest::newRow("Code 10 on a bargraph model") << "KM5B" << QStringList{"8188", "0", "0"} << "CheckBox1613"
                                                     << "SW705,16380";
        QTest::newRow("Code 10 on an extra-display model") << "KM53" << QStringList{"8188", "0", "0"} << "CheckBox1613"
                                                           << "SW705,16380";
        QTest::newRow("unchecking Peak after -1") << "KM5B" << QStringList{"0", "0", "-1"} << "CheckBoxAF11"
                                                  << "SW707,-2049";
        QTest::newRow("unchecking Peak after 65535") << "KM5B" << QStringList{"0", "0", "65535"} << "CheckBoxAF11"
                                                     << "SW707,-2049";
        QTest::newRow("Valley over the hidden bit 7") << "KM5B" << QStringList{"0", "0", "128"} << "CheckBoxAF3"
                                                      << "SW707,136";
        QTest::newRow("setpoint 6 visible") << "KM5B" << zero << "CheckBoxAF10"
                                            << "SW707,1024";
        QTest::newRow("lock message of the setpoints") << "KM5B" << zero << "CheckBoxSP0"
                                                       << "SW706,1";
        QTest::newRow("control visible of setpoint 6") << "KM5B" << zero << "CheckBoxSP12"
                                                       << "SW706,4096";
        QTest::newRow("65535 in 705") << "KM5B" << QStringList{"65535", "0", "0"} << "CheckBox163"
                                      << "SW705,16372";
        QTest::newRow("-1 in 706") << "KM5B" << QStringList{"0", "-1", "0"} << "CheckBoxSP3"
                                   << "SW706,8183";
    }
    void click()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, masks);
        QFETCH(QString, box);
        QFETCH(QString, write);
        Rig rig;
        Operator op(rig);
        for (int i = 0; i < 3; ++i)
            rig.meter.setReg(QString::number(705 + i), masks[i]);
        entered(rig, op, model);
        QCheckBox *b = find<QCheckBox>(op, box);
        const bool before = b->isChecked();
        b->toggle(); // what a screen reader's Toggle action does; the other tests click
        QCOMPARE(b->isChecked(), !before);
        QCOMPARE(op.wire(), QStringList{write});
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void code10RowFollowsTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("shown");
        QTest::newRow("bargraph") << "KM5B" << true;
        QTest::newRow("extra displays") << "KM3" << true;
        QTest::newRow("neither") << "KM5" << false;
    }
    void code10RowFollowsTheModel()
    {
        QFETCH(QString, model);
        QFETCH(bool, shown);
        Rig rig;
        Operator op(rig);
        QVERIFY(find<QCheckBox>(op, QStringLiteral("CheckBox1613"))->isHidden());
        entered(rig, op, model);
        QCOMPARE(find<QCheckBox>(op, QStringLiteral("CheckBox1613"))->isHidden(), !shown);
        QCOMPARE(find<QLabel>(op, QStringLiteral("Label56"))->isHidden(), !shown);
        QCOMPARE(rig.shared().pageLockLimit, shown ? 14 : 13);
    }

    // Nothing is written that the page has not read since it was entered.
    void unreadIsNotWritten_data()
    {
        QTest::addColumn<QString>("badReg");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        QTest::newRow("never entered") << "" << QStringList{}
                                       << QStringList{"CheckBox162", "CheckBoxSP0", "CheckBoxAF3",
                                                      "MaskEdit13",  "MaskEdit12",  "Memo2"};
        QTest::newRow("706 is no number") << "706" << QStringList{"CheckBox162", "CheckBox1613"}
                                          << QStringList{"CheckBoxSP0", "CheckBoxAF3", "MaskEdit13", "Memo2"};
        QTest::newRow("707 is no number")
            << "707" << QStringList{"CheckBox162", "CheckBoxSP12"} << QStringList{"CheckBoxAF0", "MaskEdit1"};
        QTest::newRow("all read") << "-" << QStringList{"CheckBox162", "CheckBoxSP0", "CheckBoxAF3",
                                                        "MaskEdit13",  "MaskEdit12",  "Memo2"}
                                  << QStringList{"CheckBoxAF7", "CheckBoxAF15"};
    }
    void unreadIsNotWritten()
    {
        QFETCH(QString, badReg);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        Rig rig;
        Operator op(rig);
        if (badReg.size() == 3)
            rig.meter.setReg(badReg, QStringLiteral("x1"));
        detected(rig, op);
        if (!badReg.isEmpty())
            op.openTab(PageId::Advanced);
        if (badReg.size() == 3)
            QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'x1' is not a valid integer value"});
        for (const QString &name : enabled)
            QVERIFY2(find<QWidget>(op, name)->isEnabled(), qPrintable(name));
        for (const QString &name : disabled)
            QVERIFY2(!find<QWidget>(op, name)->isEnabled(), qPrintable(name));
        rig.meter.clearLog();
        for (const QString &name : disabled) {
            if (name.startsWith(QLatin1String("CheckBox")) && !find<QCheckBox>(op, name)->isHidden())
                QTest::mouseClick(find<QCheckBox>(op, name), Qt::LeftButton);
        }
        QVERIFY(writes(op).isEmpty());
    }

    void quickClicksLeaveTheMeterWithTheMaskShown()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("706"), QStringLiteral("0"));
        AdvancedPage *p = entered(rig, op);
        rig.meter.setAnswerDelay(60);
        // Two more clicks while the first write waits for its reply.
        rig.clock.singleShot(10, p, [&op]() { click(op, QStringLiteral("CheckBoxSP2")); });
        rig.clock.singleShot(20, p, [&op]() { click(op, QStringLiteral("CheckBoxSP1")); });
        click(op, QStringLiteral("CheckBoxSP1"));
        VTRY_COMPARE(rig, op.wire().size(), 3);
        QCOMPARE(op.wire().first(), QStringLiteral("SW706,2"));
        QCOMPARE(rig.meter.reg(QStringLiteral("706")), QStringLiteral("4"));
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Hi in Peak") << "MaskEdit13"
                                    << "Hi"
                                    << "SWH,Hi    "
                                    << "Hi    ";
        QTest::newRow("Channel1 cut to six") << "MaskEdit1"
                                             << "Channel1"
                                             << "SWT,Channe"
                                             << "Channe";
        QTest::newRow("Sub Total writes K") << "MaskEdit16"
                                            << "ST"
                                            << "SWK,ST    "
                                            << "ST    ";
        QTest::newRow("Total writes J") << "MaskEdit15"
                                        << "TT"
                                        << "SWJ,TT    "
                                        << "TT    ";
        QTest::newRow("Under range writes S") << "MaskEdit6"
                                              << "Lo"
                                              << "SWS,Lo    "
                                              << "Lo    ";
        QTest::newRow("setpoint 6 writes Q") << "MaskEdit12"
                                             << "Pump"
                                             << "SWQ,Pump  "
                                             << "Pump  ";
        QTest::newRow("a star is refused") << "MaskEdit13"
                                           << "a*b"
                                           << "SWH,ab    "
                                           << "ab    ";
    }
    void displayText()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, write);
        QFETCH(QString, shown);
        Rig rig;
        Operator op(rig);
        entered(rig, op);
        op.typeAndLeave(field, typed);
        QCOMPARE(op.wire(), QStringList{write});
        auto *edit = find<QLineEdit>(op, field);
        QCOMPARE(edit->text(), shown);
        QVERIFY(!edit->hasFocus());
        // Leaving again without typing sends nothing.
        edit->setFocus(Qt::MouseFocusReason);
        op.leave();
        QCOMPARE(op.wire(), QStringList{write});
    }

    void pastedStarIsRefused()
    {
        Rig rig;
        Operator op(rig);
        entered(rig, op);
        auto *edit = find<QLineEdit>(op, QStringLiteral("MaskEdit14"));
        const QString before = edit->text();
        QApplication::clipboard()->setText(QStringLiteral("a*b"));
        edit->setFocus(Qt::MouseFocusReason);
        edit->paste();
        QCOMPARE(edit->text(), before);
        QApplication::clipboard()->setText(QStringLiteral("a*b"));
        auto *print = find<PrintStringEdit>(op, QStringLiteral("Memo2"));
        print->setFocus(Qt::MouseFocusReason);
        print->paste();
        QCOMPARE(print->toPlainText(), QString());
    }

    void textReadBack_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("width 6") << "KM6B"
                                 << "Pk"
                                 << "    Pk";
        QTest::newRow("width 5") << "KM5B"
                                 << "Pk"
                                 << "   Pk";
        QTest::newRow("leading blanks dropped, then aligned") << "KM5B"
                                                              << "  Pk"
                                                              << "   Pk";
        QTest::newRow("exactly 5") << "KM5B"
                                   << "PEAK1"
                                   << "PEAK1";
        QTest::newRow("longer, whole") << "KM5B"
                                       << "PEAKS!"
                                       << "PEAKS!";
    }
    void textReadBack()
    {
        QFETCH(QString, model);
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("H"), reply);
        rig.meter.setReg(QStringLiteral("X"), QStringLiteral("Batch"));
        entered(rig, op, model);
        QCOMPARE(find<QLineEdit>(op, QStringLiteral("MaskEdit13"))->text(), shown);
        QVERIFY(!find<QLineEdit>(op, QStringLiteral("MaskEdit13"))->isModified());
        QCOMPARE(find<PrintStringEdit>(op, QStringLiteral("Memo2"))->toPlainText(), QStringLiteral("Batch"));
        QVERIFY(writes(op).isEmpty());
    }

    void printString_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("keys"); // "\n" presses Enter
        QTest::addColumn<QString>("write");
        QTest::newRow("left without typing") << "Batch"
                                             << ""
                                             << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("line break as CR LF") << ""
                                             << "a\nb"
                                             << "SWX,a\r\nb";
        QTest::newRow("a star is refused") << ""
                                           << "a*b"
                                           << "SWX,ab";
        QTest::newRow("at most 30") << "" << QString(35, 'p') << "SWX," + QString(30, 'p');
        QTest::newRow("a break counts two") << "" << QString(29, 'p') + "\nq"
                                            << "SWX," + QString(29, 'p') + "q";
        QTest::newRow("a break that fits") << "" << QString(28, 'p') + "\n"
                                           << "SWX," + QString(28, 'p') + "\r\n";
    }
    void printString()
    {
        QFETCH(QString, stored);
        QFETCH(QString, keys);
        QFETCH(QString, write);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("X"), stored);
        entered(rig, op);
        auto *print = find<PrintStringEdit>(op, QStringLiteral("Memo2"));
        typeIntoPrintString(print, keys);
        op.leave();
        QVERIFY(!print->hasFocus());
        QCOMPARE(op.wire().join(QString()), write);
        print->setFocus(Qt::MouseFocusReason);
        op.leave();
        QCOMPARE(op.wire().join(QString()), write);
        QCOMPARE(rig.meter.reg(QStringLiteral("X")), write.isEmpty() ? stored : write.mid(4));
    }

    void pasteIsCutToFit()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("X"), QString(25, 'p'));
        entered(rig, op);
        auto *print = find<PrintStringEdit>(op, QStringLiteral("Memo2"));
        print->setFocus(Qt::MouseFocusReason);
        print->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(QStringLiteral("abcd\r\nef"));
        print->paste();
        QCOMPARE(print->toPlainText(), QString(25, 'p') + "abcd");
        // A selection makes room for what replaces it.
        print->selectAll();
        print->paste();
        QCOMPARE(print->toPlainText(), QStringLiteral("abcd\nef"));
    }

    void setMeterTime_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("29 February 2004, a Sunday")
            << QDate(2004, 2, 29) << QTime(13, 5, 9)
            << QStringList{"SW213,9", "SW214,5", "SW215,13", "SW216,1", "SW217,29", "SW218,2", "SW219,4"};
        QTest::newRow("the fields at start, a Saturday")
            << QDate() << QTime()
            << QStringList{"SW213,0", "SW214,0", "SW215,12", "SW216,7", "SW217,1", "SW218,1", "SW219,0"};
    }
    void setMeterTime()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QStringList, writes);
        Rig rig;
        Operator op(rig);
        detected(rig, op);
        MeterClockPanel *clock = page(rig)->clock();
        if (date.isValid()) {
            clock->dateField()->setDate(date);
            clock->timeField()->setTime(time);
        }
        shown(rig);
        op.press(QStringLiteral("Set Meter Time"));
        QCOMPARE(op.wire(), writes);
    }

    void getMeterTime_data()
    {
        QTest::addColumn<QStringList>("replies"); // 218, 217, 219, 213, 214, 215
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("error");
        const int century = QDate::currentDate().year() / 100 * 100;
        QTest::newRow("12/31/99") << QStringList{"12", "31", "99", "5", "4", "3"} << QDate(century + 99, 12, 31)
                                  << QTime(3, 4, 5) << "";
        QTest::newRow("midnight") << QStringList{"2", "29", "4", "0", "0", "0"} << QDate(century + 4, 2, 29)
                                  << QTime(0, 0, 0) << "";
        QTest::newRow("month 13") << QStringList{"13", "1", "4", "0", "0", "0"} << QDate(2000, 1, 1) << QTime(12, 0, 0)
                                  << "'13/1/4' is not a valid date";
        QTest::newRow("30 February") << QStringList{"2", "30", "4", "0", "0", "0"} << QDate(2000, 1, 1)
                                     << QTime(12, 0, 0) << "'2/30/4' is not a valid date";
        QTest::newRow("hour 25") << QStringList{"1", "2", "3", "0", "0", "25"} << QDate(century + 3, 1, 2)
                                 << QTime(12, 0, 0) << "'25:0:0' is not a valid time";
    }
    void getMeterTime()
    {
        QFETCH(QStringList, replies);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, error);
        Rig rig;
        Operator op(rig);
        const char *const regs[] = {"218", "217", "219", "213", "214", "215"};
        for (int i = 0; i < 6; ++i)
            rig.meter.setReg(QString::fromLatin1(regs[i]), replies[i]);
        detected(rig, op);
        shown(rig);
        op.press(QStringLiteral("Meter Time "));
        MeterClockPanel *clock = page(rig)->clock();
        QCOMPARE(clock->dateField()->date(), date);
        QCOMPARE(clock->timeField()->time(), time);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), error.isEmpty() ? QStringList{} : QStringList{error});
        // A date that is no date ends the handler before the time is read.
        const bool dateFailed = error.endsWith(QLatin1String("date"));
        QStringList reads{"SR218", "SR217", "SR219"};
        if (!dateFailed)
            reads << QStringList{"SR213", "SR214", "SR215"};
        QCOMPARE(op.wire(), reads);
    }

    void computerTimeSetsTheMeterToTheSecond()
    {
        Rig rig;
        Operator op(rig);
        detected(rig, op);
        shown(rig);
        const QDateTime before = QDateTime::currentDateTime();
        op.press(QStringLiteral("Computer Time"));
        op.press(QStringLiteral("Set Meter Time"));
        const int century = before.date().year() / 100 * 100;
        const QDateTime meter(
            QDate(century + rig.meter.reg("219").toInt(), rig.meter.reg("218").toInt(), rig.meter.reg("217").toInt()),
            QTime(rig.meter.reg("215").toInt(), rig.meter.reg("214").toInt(), rig.meter.reg("213").toInt()));
        QVERIFY(meter >= before.addMSecs(-before.time().msec()));
        QVERIFY(meter <= QDateTime::currentDateTime());
        QCOMPARE(rig.meter.reg("216").toInt(), before.date().dayOfWeek() % 7 + 1);
    }

    void everyControlHasAnAccessibleName()
    {
        Rig rig;
        Operator op(rig);
        entered(rig, op);
        QSet<QWidget *> controls;
        for (QWidget *w : page(rig)->findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSpinBox *>(w)
                                 || qobject_cast<QPlainTextEdit *>(w)
                                 || (qobject_cast<QLineEdit *>(w) && !qobject_cast<QAbstractSpinBox *>(w->parent()));
            if (!control || w->isHidden())
                continue;
            controls.insert(w);
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // 39 boxes, 16 texts, the print string, two clock fields, three buttons.
        QCOMPARE(controls.size(), 61);
        // Tab reaches every one of them.
        find<QWidget>(op, QStringLiteral("MaskEdit13"))->setFocus(Qt::MouseFocusReason);
        QSet<QWidget *> reached;
        for (int i = 0; i < 2 * controls.size(); ++i) {
            reached.insert(QApplication::focusWidget());
            op.leave();
        }
        QCOMPARE(controls - reached, QSet<QWidget *>{});
    }
};

QTEST_MAIN(AdvancedPageTest)
#include "tst_advancedpage.moc"
