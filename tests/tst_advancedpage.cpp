#include "operator.h"

#include "pages/advanced/printstringedit.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
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

// The Advanced Functions page's view: each way the operator's changes reach
// the model, and the model's state shown. What the model reads and writes
// is tested in tst_advancedmodel.
class AdvancedPageTest : public QObject
{
    Q_OBJECT

private:
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
    static void entered(Rig &rig, Operator &op, const QString &model = QStringLiteral("KM5B"))
    {
        detected(rig, op, model);
        op.openTab(PageId::Advanced);
        op.clearWire();
    }
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

private slots:
    // The view shows what the entry read, and the Code 10 row as the model has it.
    void entryShowsWhatWasRead_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("code10Row");
        QTest::addColumn<QString>("peak");
        QTest::newRow("bargraph, six characters") << "KM6B" << true << "    Pk";
        QTest::newRow("neither") << "KM5" << false << "   Pk";
    }
    void entryShowsWhatWasRead()
    {
        QFETCH(QString, model);
        QFETCH(bool, code10Row);
        QFETCH(QString, peak);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("705"), QStringLiteral("0"));
        rig.meter.setReg(QStringLiteral("707"), QStringLiteral("128"));
        rig.meter.setReg(QStringLiteral("H"), QStringLiteral("Pk"));
        rig.meter.setReg(QStringLiteral("X"), QStringLiteral("Batch"));
        detected(rig, op, model);
        op.openTab(PageId::Advanced);
        QCOMPARE(op.wire().size(), 3 + 17);
        QVERIFY(!find<QCheckBox>(op, QStringLiteral("CheckBox163"))->isChecked());
        QVERIFY(find<QCheckBox>(op, QStringLiteral("CheckBoxAF7"))->isChecked());
        QVERIFY(!find<QCheckBox>(op, QStringLiteral("CheckBoxAF3"))->isChecked());
        QCOMPARE(find<QLineEdit>(op, QStringLiteral("MaskEdit13"))->text(), peak);
        QCOMPARE(find<PrintStringEdit>(op, QStringLiteral("Memo2"))->toPlainText(), QStringLiteral("Batch"));
        QCOMPARE(find<QCheckBox>(op, QStringLiteral("CheckBox1613"))->isHidden(), !code10Row);
        QCOMPARE(find<QLabel>(op, QStringLiteral("Label56"))->isHidden(), !code10Row);
        // Showing what was read writes nothing.
        QCOMPARE(op.wire().filter(QRegularExpression(QStringLiteral("^SW"))), QStringList{});
    }

    // A control stays disabled until the read-back reaches it.
    void enabledFollowsTheReadBack_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        QTest::newRow("never entered") << false << QStringList{}
                                       << QStringList{"CheckBox162", "CheckBoxSP0", "CheckBoxAF3", "MaskEdit13",
                                                      "Memo2"};
        QTest::newRow("706 is no number") << true << QStringList{"CheckBox162", "CheckBox1613"}
                                          << QStringList{"CheckBoxSP0", "CheckBoxAF3", "MaskEdit13", "Memo2"};
    }
    void enabledFollowsTheReadBack()
    {
        QFETCH(bool, enter);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("706"), QStringLiteral("x1"));
        detected(rig, op);
        if (enter)
            op.openTab(PageId::Advanced);
        else
            rig.page(PageId::Advanced);
        for (const QString &name : enabled)
            QVERIFY2(find<QWidget>(op, name)->isEnabled(), qPrintable(name));
        for (const QString &name : disabled + QStringList{"CheckBoxAF7", "CheckBoxAF15"})
            QVERIFY2(!find<QWidget>(op, name)->isEnabled(), qPrintable(name));
    }

    // Every input path that changes a box writes its mask.
    void boxWritesOnEveryInputPath_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("write");
        QTest::newRow("click") << "click" << QString("CheckBoxSP3") << "SW706,8183";
        QTest::newRow("space key") << "space" << QString("CheckBoxAF11") << "SW707,30591";
        QTest::newRow("screen reader's Toggle") << "toggle" << QString("CheckBox1613") << "SW705,8188";
    }
    void boxWritesOnEveryInputPath()
    {
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(QString, write);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("705"), QStringLiteral("16380"));
        rig.meter.setReg(QStringLiteral("706"), QStringLiteral("8191"));
        rig.meter.setReg(QStringLiteral("707"), QStringLiteral("32639"));
        entered(rig, op);
        auto *b = find<QCheckBox>(op, box);
        if (how == QLatin1String("click")) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else if (how == QLatin1String("space")) {
            b->setFocus(Qt::TabFocusReason);
            QTest::keyClick(b, Qt::Key_Space);
        } else {
            QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
        }
        QVERIFY(!b->isChecked());
        QCOMPARE(op.wire(), QStringList{write});
    }

    // Leaving a field after an edit writes it; the field shows what was sent.
    void displayText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("write");
        QTest::addColumn<bool>("screenReader"); // sets the text instead of typing it
        QTest::newRow("Sub Total writes K") << "MaskEdit16" << QString("ST") << "SWK,ST    " << false;
        QTest::newRow("Total writes J") << "MaskEdit15" << QString("TT") << "SWJ,TT    " << false;
        QTest::newRow("a star is refused") << "MaskEdit12" << QString("a*b") << "SWQ,ab    " << false;
        QTest::newRow("set by a screen reader") << "MaskEdit6" << QString("Lo") << "SWS,Lo    " << true;
    }
    void displayText()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, write);
        QFETCH(bool, screenReader);
        Rig rig;
        Operator op(rig);
        entered(rig, op);
        auto *edit = find<QLineEdit>(op, field);
        if (screenReader) {
            edit->setFocus(Qt::MouseFocusReason);
            QAccessible::queryAccessibleInterface(edit)->setText(QAccessible::Value, typed);
            op.leave();
        } else {
            op.typeAndLeave(field, typed);
        }
        QCOMPARE(op.wire(), QStringList{write});
        QCOMPARE(edit->text(), write.mid(4));
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

    // What the print-string field lets through, and that leaving it sends it.
    void printString_data()
    {
        QTest::addColumn<QString>("keys"); // "\n" presses Enter
        QTest::addColumn<QString>("write");
        QTest::newRow("line break as CR LF") << "a\nb" << QString("SWX,a\r\nb");
        QTest::newRow("a star is refused") << "a*b" << QString("SWX,ab");
        QTest::newRow("at most 30") << QString(35, 'p') << "SWX," + QString(30, 'p');
        QTest::newRow("a break counts two") << QString(29, 'p') + "\nq"
                                            << "SWX," + QString(29, 'p') + "q";
        QTest::newRow("a break that fits") << QString(28, 'p') + "\n"
                                           << "SWX," + QString(28, 'p') + "\r\n";
    }
    void printString()
    {
        QFETCH(QString, keys);
        QFETCH(QString, write);
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("X"), QString());
        entered(rig, op);
        auto *print = find<PrintStringEdit>(op, QStringLiteral("Memo2"));
        typeIntoPrintString(print, keys);
        op.leave();
        QVERIFY(!print->hasFocus());
        QCOMPARE(op.wire().join(QString()), write);
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

    // The clock fields reach the model, and its three buttons run its
    // operations.
    void clockButtons()
    {
        Rig rig;
        Operator op(rig);
        const QStringList clock{"218", "12", "217", "31", "219", "99", "215", "12", "214", "5", "213", "9"};
        for (int i = 0; i < clock.size(); i += 2)
            rig.meter.setReg(clock[i], clock[i + 1]);
        entered(rig, op);
        auto *date = find<QDateEdit>(op, QStringLiteral("DateTimePicker2"));
        auto *time = find<QTimeEdit>(op, QStringLiteral("DateTimePicker1"));
        op.press(QStringLiteral("Meter Time "));
        QCOMPARE(date->date(), QDate(QDate::currentDate().year() / 100 * 100 + 99, 12, 31));
        QCOMPARE(time->time(), QTime(12, 5, 9));

        op.clearWire();
        date->setDate(QDate(2004, 2, 29));
        time->setFocus(Qt::TabFocusReason);
        QTest::keyClick(time, Qt::Key_Up); // the hour section: 13:05:09
        op.press(QStringLiteral("Set Meter Time"));
        QCOMPARE(op.wire().mid(2, 3), (QStringList{"SW215,13", "SW216,1", "SW217,29"}));

        op.press(QStringLiteral("Computer Time"));
        QCOMPARE(date->date(), QDate::currentDate());
    }

    void everyControlHasAnAccessibleName()
    {
        Rig rig;
        Operator op(rig);
        entered(rig, op);
        QSet<QWidget *> controls;
        for (QWidget *w : rig.page(PageId::Advanced)->findChildren<QWidget *>()) {
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
