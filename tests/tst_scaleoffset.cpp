#include "operator.h"

#include "app/pagestrip.h"
#include "link/errors.h"
#include "pages/values/decimaltext.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The Scale & Offset page's view: conversion and formatting of typed values,
// its fields, and each way leaving one reaches the model. What the model
// writes and reads back is tested in tst_valuemodels.
class ScaleOffsetTest : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *field(Rig &rig, int reg)
    {
        // The view is made when its tab is first shown.
        return rig.page(PageId::ScaleOffset)->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(reg));
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

    // A click on another field leaves the field: the model writes it, and
    // the field shows the text written.
    void clickElsewhereWrites()
    {
        Rig rig;
        rig.detect();
        QLineEdit *edit = enter(rig, 24);
        typeAndLeave(rig, edit, QStringLiteral("2.5"));
        QVERIFY(!edit->hasFocus());
        QCOMPARE(edit->text(), QStringLiteral("2.5000"));
        QCOMPARE(rig.commands(), QStringList{QStringLiteral("SW24,2.5000")});
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

    // The fields show detection's read-back, whether the view was made
    // before or after it.
    void readBackShows_data()
    {
        QTest::addColumn<bool>("viewFirst");
        QTest::newRow("view made after detection") << false;
        QTest::newRow("view made before detection") << true;
    }
    void readBackShows()
    {
        QFETCH(bool, viewFirst);
        Rig rig;
        rig.meter.setReg(QStringLiteral("26"), QStringLiteral("-0.125"));
        rig.meter.setReg(QStringLiteral("28"), QStringLiteral("12.5"));
        if (viewFirst)
            QCOMPARE(field(rig, 26)->text(), QStringLiteral("1.0000"));
        rig.detect();
        QCOMPARE(field(rig, 26)->text(), QStringLiteral("-0.125"));
        QCOMPARE(field(rig, 28)->text(), QStringLiteral("125"));
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
