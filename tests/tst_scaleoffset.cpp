#include "operator.h"

#include "app/pagestrip.h"
#include "link/errors.h"
#include "pages/values/decimaltext.h"
#include "pages/values/scaleoffsetpage.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The Scale & Offset page: conversion and formatting of typed values, the
// range test, the write on leaving a field, and detection's read-back.
class ScaleOffsetTest : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *field(Rig &rig, int reg)
    {
        return rig.window->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(reg));
    }

    // Shows the page and focuses `reg`'s field as a click would, so that its
    // text is remembered as entryText.
    static QLineEdit *enter(Rig &rig, int reg)
    {
        Operator(rig).showWindow();
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::ScaleOffset));
        QLineEdit *edit = field(rig, reg);
        edit->setFocus(Qt::MouseFocusReason);
        return edit;
    }

    // Puts `text` into the field as a paste would (the key filter is not
    // asked), then leaves it for another field as a click there would.
    static void typeAndLeave(Rig &rig, QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        rig.meter.clearLog();
        const int reg = edit->objectName().mid(4).toInt();
        field(rig, reg == 24 ? 25 : 24)->setFocus(Qt::MouseFocusReason);
    }

private slots:
    void initTestCase()
    {
        // A desktop whose numbers use "," must not change what is read or sent.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void toSingle_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<float>("value");
        QTest::newRow("integer") << "12" << true << 12.0f;
        QTest::newRow("decimal") << "-1.25" << true << -1.25f;
        QTest::newRow("plus sign") << "+3" << true << 3.0f;
        QTest::newRow("trailing point") << "7." << true << 7.0f;
        QTest::newRow("leading point") << ".5" << true << 0.5f;
        QTest::newRow("exponent") << "2.5e3" << true << 2500.0f;
        QTest::newRow("negative exponent") << "125E-2" << true << 1.25f;
        QTest::newRow("overflow is infinite") << "1e39" << true << HUGE_VALF;
        QTest::newRow("overflow past double") << "-1e400" << true << -HUGE_VALF;
        QTest::newRow("underflow is zero") << "1e-400" << true << 0.0f;
        QTest::newRow("empty") << "" << false << 0.0f;
        QTest::newRow("lone minus") << "-" << false << 0.0f;
        QTest::newRow("lone point") << "." << false << 0.0f;
        QTest::newRow("two points") << "1.2.3" << false << 0.0f;
        QTest::newRow("comma separator") << "1,5" << false << 0.0f;
        QTest::newRow("nan") << "nan" << false << 0.0f;
        QTest::newRow("inf") << "inf" << false << 0.0f;
        QTest::newRow("infinity") << "-Infinity" << false << 0.0f;
        QTest::newRow("hexadecimal") << "0x1A" << false << 0.0f;
        QTest::newRow("hex float") << "0x1p3" << false << 0.0f;
        QTest::newRow("blank in front") << " 1" << false << 0.0f;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0f;
        QTest::newRow("two signs") << "--1" << false << 0.0f;
        QTest::newRow("trailing line break") << "1\n" << false << 0.0f;
    }
    void toSingle()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(float, value);
        if (number) {
            QCOMPARE(decimaltext::toSingle(text), value);
            return;
        }
        try {
            decimaltext::toSingle(text);
            QFAIL("accepted");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }

    void fixed_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1.0f << 4 << "1.0000";
        QTest::newRow("minus half") << -0.5f << 4 << "-0.5000";
        QTest::newRow("two and a half") << 2.5f << 4 << "2.5000";
        QTest::newRow("small") << 0.0001f << 4 << "0.0001";
        QTest::newRow("half up in last digit") << 0.03125f << 4 << "0.0313";
        QTest::newRow("half away from zero below") << -0.03125f << 4 << "-0.0313";
        QTest::newRow("single value decides") << 1.00005f << 4 << "1.0000"; // 1.0000499...
        QTest::newRow("0.4 to whole") << 0.4f << 0 << "0";
        QTest::newRow("-2.5 to whole") << -2.5f << 0 << "-3";
        QTest::newRow("2.5 to whole") << 2.5f << 0 << "3";
        QTest::newRow("12.7 to whole") << 12.7f << 0 << "13";
        QTest::newRow("tiny negative") << -0.00001f << 4 << "0.0000";
        QTest::newRow("whole offset") << -19998.0f << 0 << "-19998";
    }
    void fixed()
    {
        QFETCH(float, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(decimaltext::fixed(value, decimals), text);
    }

    void pageLayout()
    {
        Rig rig;
        const QString expected[] = {"1.0000", "1.0000", "1.0000", "0", "0", "0"};
        const QString names[] = {"Result scale",  "Chnl 1 scale",  "Chnl 2 scale",
                                 "Result offset", "Chnl 1 offset", "Chnl 2 offset"};
        for (int reg = 24; reg <= 29; ++reg) {
            QLineEdit *edit = field(rig, reg);
            QVERIFY(edit);
            QCOMPARE(edit->text(), expected[reg - 24]);
            QCOMPARE(edit->accessibleName(), names[reg - 24]);
            QCOMPARE(edit->maxLength(), reg >= 27 ? 6 : 32767);
        }
        // Focus order: across each row, then down.
        const int order[] = {24, 27, 25, 28, 26, 29};
        for (int i = 0; i + 1 < 6; ++i) {
            QWidget *next = field(rig, order[i])->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, field(rig, order[i + 1]));
        }
        QStringList labels;
        for (QLabel *label : rig.pageControl()->page(pageIndex(PageId::ScaleOffset))->findChildren<QLabel *>())
            labels << label->text();
        for (const char *text : {"Scale & Offset", "Scale", "Offset", "Result", "Chnl 1", "Chnl 2"})
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    }

    void leaving_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sent"); // empty: nothing sent
        QTest::newRow("3.2767 refused") << 24 << "3.2767"
                                        << "1.0000"
                                        << "";
        QTest::newRow("3.2766 sent") << 24 << "3.2766"
                                     << "3.2766"
                                     << "SW24,3.2766";
        QTest::newRow("-1.9999 refused") << 25 << "-1.9999"
                                         << "1.0000"
                                         << "";
        QTest::newRow("-1.9998 accepted") << 25 << "-1.9998"
                                          << "-1.9998"
                                          << "SW25,-1.9998";
        QTest::newRow("1 in chnl 2 scale") << 26 << "1"
                                           << "1.0000"
                                           << "SW26,1.0000";
        QTest::newRow("2.5 in chnl 1 scale") << 25 << "2.5"
                                             << "2.5000"
                                             << "SW25,2.5000";
        QTest::newRow("scale rounded") << 24 << "1.23456"
                                       << "1.2346"
                                       << "SW24,1.2346";
        QTest::newRow("scale exponent") << 24 << "5e-1"
                                        << "0.5000"
                                        << "SW24,0.5000";
        QTest::newRow("huge scale refused") << 24 << "1e39"
                                            << "1.0000"
                                            << "";
        QTest::newRow("32767 refused") << 27 << "32767"
                                       << "0"
                                       << "";
        QTest::newRow("32766 sent") << 27 << "32766"
                                    << "32766"
                                    << "SW27,32766";
        QTest::newRow("-19999 refused") << 29 << "-19999"
                                        << "0"
                                        << "";
        QTest::newRow("-19998 sent") << 29 << "-19998"
                                     << "-19998"
                                     << "SW29,-19998";
        QTest::newRow("0.4 sent as 0") << 28 << "0.4"
                                       << "0"
                                       << "SW28,0";
        QTest::newRow("-2.5 sent as -3") << 28 << "-2.5"
                                         << "-3"
                                         << "SW28,-3";
        QTest::newRow("12.7 sent as 13") << 27 << "12.7"
                                         << "13"
                                         << "SW27,13";
        QTest::newRow("-150 in chnl 1 offset") << 28 << "-150"
                                               << "-150"
                                               << "SW28,-150";
        QTest::newRow("scale rounding onto the bound") << 24 << "3.27669"
                                                       << "1.0000"
                                                       << "";
        QTest::newRow("scale rounding onto the lower bound") << 25 << "-1.99986"
                                                             << "1.0000"
                                                             << "";
    }
    void leaving()
    {
        QFETCH(int, reg);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, sent);
        Rig rig;
        rig.detect();
        QLineEdit *edit = enter(rig, reg);
        QCOMPARE(rig.shared().entryText, edit->text());
        typeAndLeave(rig, edit, typed);
        QVERIFY(!edit->hasFocus());
        QCOMPARE(edit->text(), shown);
        QCOMPARE(rig.commands(), sent.isEmpty() ? QStringList() : QStringList{sent});
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        if (!sent.isEmpty())
            QCOMPARE(rig.meter.reg(QString::number(reg)), shown);
    }

    void notANumber_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty scale") << 24 << "";
        QTest::newRow("lone minus") << 27 << "-";
        QTest::newRow("two points") << 25 << "1.2.3";
        QTest::newRow("nan") << 26 << "nan";
        QTest::newRow("inf") << 28 << "inf";
        QTest::newRow("hexadecimal") << 29 << "0x10";
        QTest::newRow("comma decimal") << 24 << "1,5";
    }
    void notANumber()
    {
        QFETCH(int, reg);
        QFETCH(QString, typed);
        Rig rig;
        rig.detect();
        QLineEdit *edit = enter(rig, reg);
        typeAndLeave(rig, edit, typed);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("'%1' is not a valid floating point value").arg(typed)});
        QCOMPARE(edit->text(), typed);
        QCOMPARE(rig.commands(), QStringList());
    }

    void enterWritesTheFieldItLeaves()
    {
        Rig rig;
        rig.detect();
        QLineEdit *result = enter(rig, 24);
        result->selectAll();
        QTest::keyClicks(result, QStringLiteral("1.5"));
        rig.meter.clearLog();
        QTest::keyClick(result, Qt::Key_Return);
        QCOMPARE(rig.commands(), QStringList{QStringLiteral("SW24,1.5000")});
        QCOMPARE(result->text(), QStringLiteral("1.5000"));
        // The focus went on to the Result offset field, which now remembers
        // its own text for a refusal.
        QLineEdit *offset = field(rig, 27);
        QVERIFY(offset->hasFocus());
        QCOMPARE(rig.shared().entryText, QStringLiteral("0"));
        offset->selectAll();
        QTest::keyClicks(offset, QStringLiteral("40000"));
        QCOMPARE(offset->text(), QStringLiteral("40000"));
        QTest::keyClick(offset, Qt::Key_Return);
        QCOMPARE(offset->text(), QStringLiteral("0"));
        QCOMPARE(rig.commands(), QStringList{QStringLiteral("SW24,1.5000")});
    }

    void readBack_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("scale as sent") << 24 << "1.0000"
                                       << "1.0000";
        QTest::newRow("scale not reformatted") << 25 << "  2.5"
                                               << "2.5";
        QTest::newRow("scale keeps its point") << 26 << "-0.125"
                                               << "-0.125";
        QTest::newRow("offset loses its point") << 27 << "12.5"
                                                << "125";
        QTest::newRow("offset whole") << 28 << "-150"
                                      << "-150";
        QTest::newRow("offset not tested") << 29 << "99999"
                                           << "99999";
        QTest::newRow("blank scale shows nothing") << 25 << ""
                                                   << "";
        QTest::newRow("blank offset shows nothing") << 28 << " "
                                                    << "";
    }
    void readBack()
    {
        QFETCH(int, reg);
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        Rig rig;
        // The neighbours hold other values, so a reply taken from the wrong
        // read shows.
        for (int other = 24; other <= 29; ++other)
            rig.meter.setReg(QString::number(other), other < 27 ? QStringLiteral("2.5000") : QStringLiteral("77"));
        rig.meter.setReg(QString::number(reg), reply);
        rig.detect();
        QCOMPARE(field(rig, reg)->text(), shown);
        const int summaryRow = 18 + (reg - 24);
        QCOMPARE(rig.summaryCell(summaryRow, 3), shown);
        // The six reads go out one after another, after the identity reads.
        const QStringList commands = rig.commands();
        const QStringList reads{"SR24", "SR25", "SR26", "SR27", "SR28", "SR29"};
        const qsizetype first = commands.indexOf(QStringLiteral("SR24"));
        QVERIFY(first > 0);
        QCOMPARE(commands.mid(first, 6), reads);
        QVERIFY(commands.indexOf(QStringLiteral("SR154")) < first);
    }

    void entryOutlivesReactivation_data()
    {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::newRow("window activated again") << Qt::ActiveWindowFocusReason;
        QTest::newRow("popup closed") << Qt::PopupFocusReason;
    }
    void entryOutlivesReactivation()
    {
        QFETCH(Qt::FocusReason, reason);
        Rig rig;
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.2000"));
        rig.detect();
        QLineEdit *edit = enter(rig, 24);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("9"));
        // The focus leaves and comes back without another control taking it.
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(edit, &in);
        rig.meter.clearLog();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("1.2000"));
        QCOMPARE(rig.commands(), QStringList());
    }

    void blankReadIsNotWrittenBack()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("2.5000"));
        rig.meter.setReg(QStringLiteral("25"), QString());
        rig.detect();
        Operator op(rig);
        op.clearWire();
        enter(rig, 25);
        op.leave();
        QCOMPARE(op.wire(), QStringList());
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        QCOMPARE(field(rig, 25)->text(), QString());
    }

    void pageEntryReadsNothing()
    {
        Rig rig;
        rig.detect();
        rig.window->show();
        rig.meter.clearLog();
        rig.session->pollTimer().stop();
        PageStrip *strip = rig.pageControl();
        QTest::mouseClick(strip->tabArea(), Qt::LeftButton, {},
                          strip->tabRect(pageIndex(PageId::ScaleOffset)).center());
        QCOMPARE(strip->currentIndex(), pageIndex(PageId::ScaleOffset));
        QCOMPARE(rig.commands(), QStringList());
    }
};

QTEST_MAIN(ScaleOffsetTest)
#include "tst_scaleoffset.moc"
