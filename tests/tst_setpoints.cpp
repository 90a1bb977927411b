#include "operator.h"

#include "app/pagestrip.h"
#include "pages/setpoints/setpointmodel.h"
#include "pages/setpoints/setpointpage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using Settings = QList<QPair<QString, QString>>; // register, value

// The Setpoint Control page through the window: the read-back on entering
// the page, "Set Controls", the row editors, and what the page keeps of
// values it cannot show.
class SetpointsTest : public QObject
{
    Q_OBJECT

private:
    static void setRegs(Rig &rig, const Settings &settings)
    {
        for (const auto &s : settings)
            rig.meter.setReg(s.first, s.second);
    }
    // Detection done, the page opened (so read back) and the wire cleared.
    static SetpointPage *opened(Rig &rig, Operator &op, const Settings &settings = {})
    {
        rig.detect();
        setRegs(rig, settings);
        op.showWindow();
        op.openTab(PageId::Setpoints);
        op.clearWire();
        return rig.page<SetpointPage>(PageId::Setpoints);
    }
    static void choose(Operator &op, const QString &name, const QString &item)
    {
        auto *box = op.find<QComboBox>(name);
        QVERIFY(box);
        const int index = box->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        box->setCurrentIndex(index);
    }
    static void click(Operator &op, const QString &name)
    {
        auto *button = op.find<QAbstractButton>(name);
        QVERIFY2(button, qPrintable(name));
        button->toggle(); // as a screen reader's Toggle action does
    }
    // One property of a control as the operator sees it: "text", "item",
    // "checked", "enabled", "hint" or "glyph" (band, hysteresis or none).
    static QString shown(Operator &op, const QString &name, const QString &what)
    {
        QWidget *w = op.find<QWidget>(name);
        if (!w)
            return QStringLiteral("no control ") + name;
        const auto yesNo = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
        if (what == QLatin1String("text"))
            return qobject_cast<QLineEdit *>(w)->displayText();
        if (what == QLatin1String("item"))
            return qobject_cast<QComboBox *>(w)->currentText();
        if (what == QLatin1String("checked"))
            return yesNo(qobject_cast<QAbstractButton *>(w)->isChecked());
        if (what == QLatin1String("enabled"))
            return yesNo(w->isEnabled());
        if (what == QLatin1String("hint"))
            return w->toolTip();
        if (what == QLatin1String("glyph")) {
            const qint64 key = qobject_cast<QToolButton *>(w)->icon().cacheKey();
            if (key == op.find<QToolButton>(QStringLiteral("SpeedButton17"))->icon().cacheKey())
                return QStringLiteral("hysteresis");
            if (key == op.find<QToolButton>(QStringLiteral("SpeedButton18"))->icon().cacheKey())
                return QStringLiteral("band");
            return QStringLiteral("none");
        }
        return QStringLiteral("unknown property ") + what;
    }
    // Checks lines of "name property value".
    static void expect(Operator &op, const QStringList &expected)
    {
        for (const QString &line : expected) {
            const QString name = line.section(QLatin1Char(' '), 0, 0);
            const QString what = line.section(QLatin1Char(' '), 1, 1);
            QCOMPARE(name + QLatin1Char(' ') + what + QLatin1Char(' ') + shown(op, name, what), line);
        }
    }
private slots:
    void readBackShowsTheMeter_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("make delay 75") << Settings{{"71", "75"}} << QStringList{"EditMD1 text 0:01:15"};
        QTest::newRow("control bits 19") << Settings{{"193", "19"}}
                                         << QStringList{"ComboBox7 item Repeating", "CBF1 checked no",
                                                        "SpeedButton11 checked no", "SpeedButton11 hint Bandpass Mode",
                                                        "SpeedButton1 glyph band",  "EditMD1 hint OFF Time",
                                                        "EditBD1 hint ON Time"};
        QTest::newRow("control bits 12") << Settings{{"193", "12"}}
                                         << QStringList{"ComboBox7 item ",
                                                        "CBF1 checked yes",
                                                        "SpeedButton11 checked yes",
                                                        "SpeedButton11 hint Hysteresis Mode",
                                                        "SpeedButton1 glyph hysteresis",
                                                        "EditMD1 hint Delay on Make",
                                                        "EditBD1 hint Delay on Break"};
        QTest::newRow("code 012 in row 1")
            << Settings{{"142", "012"}}
            << QStringList{"SpeedButton1 checked yes", "SpeedButton1 hint Energised Above Setpoint",
                           "CB9 checked no",           "ComboBox1 item Result",
                           "CBL1 item None",           "CB5 checked yes",
                           "CB5 enabled yes"};
        QTest::newRow("code 314 in row 2")
            << Settings{{"143", "314"}}
            << QStringList{"SpeedButton2 checked no", "SpeedButton2 hint Energised Below Setpoint",
                           "CB10 checked yes",        "ComboBox2 item Result",
                           "CBL2 item De-energise",   "CB6 checked no",
                           "CB6 enabled no"};
        QTest::newRow("code 106 in row 5")
            << Settings{{"146", "106"}, {"197", "16"}}
            << QStringList{"SpeedButton5 checked no", "SpeedButton5 hint Energised Inside Band", "CB13 checked no",
                           "ComboBox5 item Display", "CBL5 item Channel 3"};
        QTest::newRow("own source items")
            << Settings{{"146", "050"}, {"147", "050"}}
            << QStringList{"ComboBox5 item Capture Pin", "ComboBox6 item Digital Input Module"};
        QTest::newRow("value 12.50") << Settings{{"6", "12.50"}} << QStringList{"Edit131 text 1250"};
        QTest::newRow("counts") << Settings{{"70", "-15"}} << QStringList{"EditH6 text -15"};
    }
    void readBackShowsTheMeter()
    {
        QFETCH(Settings, settings);
        QFETCH(QStringList, expected);
        Rig rig;
        Operator op(rig);
        rig.detect();
        setRegs(rig, settings);
        op.showWindow();
        op.clearWire();
        op.openTab(PageId::Setpoints);
        expect(op, expected);
        QVERIFY(op.find<QPushButton>(QStringLiteral("Button14"))->isEnabled());
    }

    void readBackStops_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QStringList>("expected");
        // A code register holds three digits; "5." comes in as "5" once its
        // point is removed.
        QTest::newRow("one-character code")
            << Settings{{"142", "5."}, {"7", "777"}} << "Range check error" << 6
            << QStringList{"SpeedButton1 checked no", "CB9 checked yes", "ComboBox1 item ", "Edit132 text 0"};
    }
    void readBackStops()
    {
        QFETCH(Settings, settings);
        QFETCH(QString, error);
        QFETCH(int, reads);
        QFETCH(QStringList, expected);
        Rig rig;
        Operator op(rig);
        rig.detect();
        setRegs(rig, settings);
        op.showWindow();
        op.clearWire();
        op.openTab(PageId::Setpoints);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
        QCOMPARE(op.wire().size(), reads);
        expect(op, expected);
        // Rows holding defaults or stale values are never sent.
        QVERIFY(!op.find<QPushButton>(QStringLiteral("Button14"))->isEnabled());
        QVERIFY(!op.find<QFrame>(QStringLiteral("Panel9"))->isVisible());
        QVERIFY(op.find<QLineEdit>(QStringLiteral("Edit131"))->isEnabled());
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void setControlsWritesThenReadsBack()
    {
        Rig rig;
        Operator op(rig);
        opened(rig, op);
        // Row 1 as the example: 1500, 5 counts, 0:01:15 / 1:00:00, Pulse,
        // flash, hysteresis, energise pressed, Channel 1, latch Energise.
        op.typeAndLeave(QStringLiteral("Edit131"), QStringLiteral("1500"));
        op.typeAndLeave(QStringLiteral("EditH1"), QStringLiteral("5"));
        op.typeAndLeave(QStringLiteral("EditMD1"), QStringLiteral("00115"));
        op.typeAndLeave(QStringLiteral("EditBD1"), QStringLiteral("10000"));
        choose(op, QStringLiteral("ComboBox7"), QStringLiteral("Pulse"));
        click(op, QStringLiteral("CBF1"));
        choose(op, QStringLiteral("ComboBox1"), QStringLiteral("Channel 1"));
        choose(op, QStringLiteral("CBL1"), QStringLiteral("Energise"));
        // Row 5: band mode, energise released, reset delay, Capture Pin,
        // Peak & Valley, Normal.
        click(op, QStringLiteral("SpeedButton15"));
        click(op, QStringLiteral("SpeedButton5"));
        click(op, QStringLiteral("CB13"));
        expect(op, {"SpeedButton15 hint Bandpass Mode", "SpeedButton5 glyph band"});
        choose(op, QStringLiteral("ComboBox5"), QStringLiteral("Capture Pin"));
        choose(op, QStringLiteral("CBL5"), QStringLiteral("Peak & Valley"));
        // Row 2 is left empty in its value field.
        op.typeAndLeave(QStringLiteral("Edit132"), QString());
        op.clearWire();

        op.press(QStringLiteral("Set Controls"));
        const QStringList wire = op.wire();
        QCOMPARE(wire.size(), 36 + 42);
        QCOMPARE(wire.mid(0, 4), (QStringList{"SW6,1500", "SW71,75", "SW77,3600", "SW65,5"}));
        QCOMPARE(wire.at(4), QStringLiteral("SW7,"));
        QCOMPARE(wire.mid(24, 4), (QStringList{"SW193,10", "SW142,21,", "SW194,0", "SW143,0,"}));
        QCOMPARE(wire.mid(32, 4), (QStringList{"SW197,16", "SW146,353", "SW198,0", "SW147,0"}));
        expect(op, {"Edit131 text 1500", "EditMD1 text 0:01:15", "ComboBox7 item Pulse", "CBL5 item Peak & Valley",
                    "SpeedButton5 glyph band"});
        QVERIFY(!op.find<QFrame>(QStringLiteral("Panel9"))->isVisible());
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(rig.session->pollTimer().isActive());
    }

    void progressStrip()
    {
        Rig rig;
        Operator op(rig);
        opened(rig, op);
        auto *bar = op.find<QProgressBar>(QStringLiteral("ProgressBar1"));
        QList<int> seen;
        connect(bar, &QProgressBar::valueChanged, bar, [&seen](int v) { seen << v; });
        op.openTab(PageId::Brightness);
        op.openTab(PageId::Setpoints);
        QCOMPARE(seen.size(), 1 + 42);
        QCOMPARE(seen.last(), SetpointModel::ProgressEnd);
    }

    // The page and "Set Controls" take no input while a run goes on.
    void pageIsLockedWhileRunning()
    {
        Rig rig;
        Operator op(rig);
        SetpointPage *page = opened(rig, op);
        auto *button = op.find<QPushButton>(QStringLiteral("Button14"));
        auto *value = op.find<QLineEdit>(QStringLiteral("Edit131"));
        op.openTab(PageId::Brightness);
        rig.meter.setAnswerDelay(20);
        bool lockedInside = false;
        int extraRuns = 0;
        rig.clock.singleShot(60, page, [&]() {
            lockedInside = !rig.pageControl()->isEnabled() && !button->isEnabled() && !value->isEnabled()
                           && op.find<QFrame>(QStringLiteral("Panel9"))->isVisible();
            // A click that gets through now would interleave a second run.
            const int before = op.wire().size();
            button->click();
            extraRuns = op.wire().size() - before > 1 ? 1 : 0;
        });
        op.openTab(PageId::Setpoints);
        QVERIFY(lockedInside);
        QCOMPARE(extraRuns, 0);
        QVERIFY(button->isEnabled());
        QVERIFY(value->isEnabled());
        QVERIFY(!op.find<QFrame>(QStringLiteral("Panel9"))->isVisible());
    }

    void setControlsWaitsForAFirstReadBack()
    {
        Rig rig;
        Operator op(rig);
        rig.detect();
        rig.page<SetpointPage>(PageId::Setpoints);
        QVERIFY(!op.find<QPushButton>(QStringLiteral("Button14"))->isEnabled());
        expect(op, {"SpeedButton1 glyph none", "SpeedButton1 hint Energised below setpoint", "EditMD1 text _:__:__"});
    }

    // What the page cannot show goes back as the meter holds it, until the
    // operator edits it.
    void unshownValuesAreKept_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QStringList>("shownAs");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("delay of ten hours")
            << Settings{{"72", "36000"}}
            << QStringList{"EditMD2 text 9:59:59",
                           "EditMD2 hint Delay on Make (the meter holds 10:00:00, which this field cannot show)"}
            << QStringList{"SW72,36000"};
    }
    void unshownValuesAreKept()
    {
        QFETCH(Settings, settings);
        QFETCH(QStringList, shownAs);
        QFETCH(QStringList, writes);
        Rig rig;
        Operator op(rig);
        opened(rig, op, settings);
        expect(op, shownAs);
        // Passing through row 2's delay fields changes nothing.
        for (const char *name : {"EditMD2", "EditBD2"}) {
            op.find<QLineEdit>(QString::fromLatin1(name))->setFocus(Qt::TabFocusReason);
            op.leave();
        }
        op.clearWire();
        op.press(QStringLiteral("Set Controls"));
        for (const QString &write : writes)
            QVERIFY2(op.wire().contains(write), qPrintable(write));
        expect(op, shownAs);
    }

    void modeAndEnergiseEditors_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QStringList>("afterOne");
        QTest::addColumn<QStringList>("afterTwo");
        QTest::newRow("mode of row 2, energise pressed")
            << Settings{{"143", "000"}} << "SpeedButton12"
            << QStringList{"SpeedButton12 checked no", "SpeedButton12 hint Bandpass Mode", "SpeedButton2 glyph band",
                           "SpeedButton2 hint Energised Outside Band"}
            << QStringList{"SpeedButton12 hint Hysteresis Mode", "SpeedButton2 glyph hysteresis",
                           "SpeedButton2 hint Energised Above Setpoint"};
        QTest::newRow("energise in hysteresis mode")
            << Settings{{"142", "100"}} << "SpeedButton1"
            << QStringList{"SpeedButton1 checked yes", "SpeedButton1 hint Energised Above Setpoint",
                           "SpeedButton1 glyph hysteresis"}
            << QStringList{"SpeedButton1 checked no", "SpeedButton1 hint Energised Below Setpoint"};
    }
    void modeAndEnergiseEditors()
    {
        QFETCH(Settings, settings);
        QFETCH(QString, clicked);
        QFETCH(QStringList, afterOne);
        QFETCH(QStringList, afterTwo);
        Rig rig;
        Operator op(rig);
        opened(rig, op, settings);
        // From the keyboard: the toggle is reached with Tab and pressed with Space.
        auto *toggle = op.find<QToolButton>(clicked);
        QVERIFY(toggle->focusPolicy() & Qt::TabFocus);
        toggle->setFocus(Qt::TabFocusReason);
        QTest::keyClick(toggle, Qt::Key_Space);
        expect(op, afterOne);
        QTest::keyClick(toggle, Qt::Key_Space);
        expect(op, afterTwo);
        QVERIFY(op.wire().isEmpty());
    }

    void delayTypeHints_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("brk");
        QTest::newRow("Repeating") << "Repeating"
                                   << "OFF Time"
                                   << "ON Time";
    }
    void delayTypeHints()
    {
        QFETCH(QString, item);
        QFETCH(QString, make);
        QFETCH(QString, brk);
        Rig rig;
        Operator op(rig);
        opened(rig, op, {{"195", "3"}});
        choose(op, QStringLiteral("ComboBox9"), QStringLiteral("Single Shot"));
        choose(op, QStringLiteral("ComboBox9"), item);
        expect(op, {"EditMD3 hint " + make, "EditBD3 hint " + brk, "EditMD3 text 0:00:00"});
    }

    void latchDisablesManualOverride()
    {
        Rig rig;
        Operator op(rig);
        opened(rig, op, {{"142", "002"}});
        expect(op, {"CB5 checked yes", "CB5 enabled yes"});
        choose(op, QStringLiteral("CBL1"), QStringLiteral("De-energise"));
        expect(op, {"CB5 checked no", "CB5 enabled no"});
        choose(op, QStringLiteral("CBL1"), QStringLiteral("Energise"));
        expect(op, {"CB5 checked no", "CB5 enabled yes"});
        // Typed text that is no item enables the box as well.
        choose(op, QStringLiteral("CBL1"), QStringLiteral("De-energise"));
        op.find<QComboBox>(QStringLiteral("CBL1"))->setEditText(QStringLiteral("Energ"));
        expect(op, {"CB5 enabled yes"});
    }

    void delayFieldLeft_data()
    {
        QTest::addColumn<bool>("blankHour"); // the hour digit cleared and skipped
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("9:06:07") << false << "90607"
                                 << "9:06:06";
        QTest::newRow("blank hour") << true << "1200"
                                    << "9:06:06";
        QTest::newRow("5:30:00") << false << "53000"
                                 << "5:30:00";
    }
    void delayFieldLeft()
    {
        QFETCH(bool, blankHour);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Rig rig;
        Operator op(rig);
        opened(rig, op, {{"73", "75"}});
        if (blankHour) {
            QLineEdit *edit = op.type(QStringLiteral("EditMD3"), QString());
            QTest::keyClick(edit, Qt::Key_Right);
            QTest::keyClicks(edit, typed);
            QCOMPARE(edit->displayText(), QStringLiteral("_:12:00"));
            op.leave();
        } else {
            op.typeAndLeave(QStringLiteral("EditMD3"), typed);
        }
        expect(op, {"EditMD3 text " + result});
        QVERIFY(op.wire().filter(QStringLiteral("SW")).isEmpty());
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void incompleteDelayIsRefused()
    {
        Rig rig;
        Operator op(rig);
        opened(rig, op, {{"71", "75"}});
        QLineEdit *edit = op.type(QStringLiteral("EditMD1"), QStringLiteral("012"));
        op.leave();
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")),
                 QStringList{"Invalid input value.  Use escape key to abandon changes"});
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->displayText(), QStringLiteral("0:01:15"));
        op.leave();
        QVERIFY(!edit->hasFocus());
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
    }

    void everyControlIsNamedAndReachable()
    {
        Rig rig;
        Operator op(rig);
        opened(rig, op);
        const struct
        {
            const char *prefix;
            int offset;
        } columns[] = {{"Edit13", 0}, {"SpeedButton", 0}, {"ComboBox", 0}, {"SpeedButton", 10},
                       {"EditH", 0},  {"ComboBox", 6},    {"EditMD", 0},   {"EditBD", 0},
                       {"CBL", 0},    {"CB", 4},          {"CB", 8},       {"CBF", 0}};
        for (int n = 1; n <= SetpointModel::Rows; ++n) {
            for (const auto &column : columns) {
                // Manual override (CB5..CB8) exists for rows 1-4 only.
                if (column.offset == 4 && QLatin1String(column.prefix) == QLatin1String("CB") && n > 4)
                    continue;
                const QString name = QString::fromLatin1(column.prefix) + QString::number(n + column.offset);
                QWidget *w = op.find<QWidget>(name);
                QVERIFY2(w, qPrintable(name));
                QVERIFY2(w->accessibleName().startsWith(QStringLiteral("Setpoint %1 ").arg(n)), qPrintable(name));
                QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(name));
            }
        }
        QCOMPARE(op.find<QWidget>(QStringLiteral("EditMD3"))->accessibleName(),
                 QStringLiteral("Setpoint 3 make delay"));
        QCOMPARE(op.find<QWidget>(QStringLiteral("CBL5"))->accessibleName(),
                 QStringLiteral("Setpoint 5 reset on setpoint"));
        QVERIFY(!op.find<QWidget>(QStringLiteral("SpeedButton17"))->isVisibleTo(rig.window.get()));
    }
};

QTEST_MAIN(SetpointsTest)
#include "tst_setpoints.moc"
