#include "rig.h"

#include "app/pagestrip.h"
#include "link/errors.h"
#include "pages/page.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

// The main window: its pages, menu and status bar, the page-change frame and
// its guard, and the input conventions of the numeric fields.
class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    static void clickTab(Rig &rig, int index)
    {
        PageStrip *strip = rig.pageControl();
        QTest::mouseClick(strip->tabArea(), Qt::LeftButton, {}, strip->tabRect(index).center());
    }
    static Page *page(Rig &rig, int index) { return static_cast<Page *>(rig.pageControl()->page(index)); }

private slots:
    void pages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("shown");
        const struct
        {
            const char *name, *caption, *hint;
            int tag;
            bool shown;
        } rows[] = {
            {"TabSheet1", "Display Value", "Display Value", 0, true},
            {"TabSheet2", "Scale & Offset", "Scale and Offset", 0, true},
            {"TabSheet3", "Brightness", "Brightness", 0, true},
            {"TabSheet4", "Calibration", "Calibration", 0, false},
            {"TabSheet19", "Display Settings", "Display Settings", 0, false},
            {"TabSheet5", "Code 1 - 000", "Display Setup", 1, true},
            {"TabSheet6", "Code 2 - 000", "Totalisator", 2, true},
            {"TabSheet7", "Code 3 - 000", "Analog Output", 3, true},
            {"TabSheet8", "Code 4 - 000", "Channel 1 Setup", 4, true},
            {"TabSheet9", "Code 5 - 000", "Channel 1 Processing", 5, true},
            {"TabSheet10", "Code 6 - 000", "Channel 2 Setup", 6, true},
            {"TabSheet11", "Code 7 - 000", "Result Processing", 7, true},
            {"TabSheet12", "Code 8 - 000", "Data Logging & Print Mode", 8, true},
            {"TabSheet20", "Code 9 - 000", "Digital Input Setup", 0, true},
            {"TabSheet21", "Code 10 - 000", "Bargraph Setup", 0, false},
            {"TabSheet13", "Setpoint Control", "Setpoint Control", 0, true},
            {"TabSheet14", "Math Functions", "Math Functions", 0, false},
            {"TabSheet15", "Linearization Tables", "Linearization Tables", 0, true},
            {"TabSheet17", "Macros", "Macro", 0, true},
            {"TabSheet16", "Advanced Functions", "Advanced Functions", 0, true},
            {"TabSheet18", "Summary", "Summary", 0, true},
        };
        int index = 0;
        for (const auto &r : rows) {
            QTest::newRow(r.name) << index++ << QString::fromLatin1(r.name) << QString::fromLatin1(r.caption)
                                  << QString::fromLatin1(r.hint) << r.tag << r.shown;
        }
    }
    void pages()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(int, tag);
        QFETCH(bool, shown);
        Rig rig;
        PageStrip *strip = rig.pageControl();
        QCOMPARE(strip->count(), PageCount);
        QCOMPARE(strip->page(index)->objectName(), name);
        QCOMPARE(strip->tabText(index), caption);
        QCOMPARE(strip->page(index)->toolTip(), hint);
        QCOMPARE(page(rig, index)->tag(), tag);
        QCOMPARE(strip->isTabVisible(index), shown);
        QCOMPARE(strip->currentIndex(), 0);
    }

    void windowAndStatusBar()
    {
        Rig rig;
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Korvane Meter Setup Utility"));
        QCOMPARE(rig.window->size(), QSize(800, 600));
        QCOMPARE(rig.window->maximumSize(), QSize(800, 600));
        QVERIFY(!rig.window->statusBar()->isSizeGripEnabled());
        const QStringList texts{"Result", "Channel 1", "Channel 2", "", "Address & Baud Rate"};
        const int widths[] = {150, 150, 150, 160, 90};
        for (int i = 0; i < MeterSession::StatusPanels; ++i) {
            auto *panel = rig.window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(i));
            QCOMPARE(panel->text(), texts[i]);
            QCOMPARE(panel->width(), widths[i]);
            QCOMPARE(bool(panel->alignment() & Qt::AlignHCenter), i == 3);
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(panel);
            QCOMPARE(a->text(QAccessible::Name), texts[i]);
        }
    }

    void menu()
    {
        Rig rig;
        QStringList seen;
        for (QAction *top : rig.window->menuBar()->actions()) {
            for (QAction *item : top->menu()->actions()) {
                if (!item->isSeparator())
                    seen << top->text() + QLatin1Char('/') + item->text() + (item->isEnabled() ? "" : " (greyed)");
            }
        }
        QCOMPARE(seen, (QStringList{"&File/&Open (greyed)", "&File/&Save (greyed)", "&File/&Print", "&File/&Exit",
                                    "&Edit/Cu&t (greyed)", "&Edit/&Copy (greyed)", "&Edit/&Paste (greyed)",
                                    "&Help/&About"}));
    }

    void sheetCodes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("number");
        QTest::newRow("code 1 tag 5") << 5 << 5 << "005" << "1";
        QTest::newRow("tag 0") << 7 << 0 << "000" << "3";
        QTest::newRow("tag 45") << 9 << 45 << "045" << "5";
        QTest::newRow("tag 170") << 8 << 170 << "170" << "4";
        QTest::newRow("tag 999") << 13 << 999 << "999" << "9";
        QTest::newRow("display value") << 0 << 0 << "000" << "-4";
        QTest::newRow("summary") << 20 << 0 << "000" << "16";
    }
    void sheetCodes()
    {
        QFETCH(int, index);
        QFETCH(int, tag);
        QFETCH(QString, digits);
        QFETCH(QString, number);
        Rig rig;
        rig.detect();
        rig.window->show();
        if (index == 0)
            clickTab(rig, 1);
        page(rig, index)->setTag(tag);
        clickTab(rig, index);
        QCOMPARE(rig.pageControl()->currentIndex(), index);
        QCOMPARE(pageIndex(rig.lastEntry.page), index);
        QCOMPARE(rig.lastEntry.SheetCodeDigits, digits);
        QCOMPARE(rig.lastEntry.SheetCodeNumber, number);
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(rig.session->pollTimer().isActive());
    }

    void code2Guard_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("99 leaves") << 99 << true;
        QTest::newRow("100 stays") << 100 << false;
        QTest::newRow("250 stays") << 250 << false;
    }
    void code2Guard()
    {
        QFETCH(int, stored);
        QFETCH(bool, leaves);
        Rig rig;
        rig.detect();
        rig.window->show();
        clickTab(rig, pageIndex(PageId::Code2));
        page(rig, pageIndex(PageId::Code2))->setTag(stored);
        const int entries = rig.prompts.asked.size();
        clickTab(rig, pageIndex(PageId::Summary));
        QCOMPARE(rig.pageControl()->currentIndex(), leaves ? pageIndex(PageId::Summary)
                                                                    : pageIndex(PageId::Code2));
        QCOMPARE(rig.prompts.asked.size(), entries); // no message either way
        // The program may still change the page.
        rig.pageControl()->setCurrentIndex(0);
        QCOMPARE(rig.pageControl()->currentIndex(), 0);
    }

    void failingEntryStillEndsTheFrame()
    {
        Rig rig;
        rig.detect();
        rig.window->show();
        rig.session->pollTimer().stop();
        QVERIFY_THROWS_EXCEPTION(UserError, rig.session->runOperation([&]() {
            throw UserError(QStringLiteral("'x' is not a valid integer value"));
        }));
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(rig.session->pollTimer().isActive());
        QVERIFY(!QGuiApplication::overrideCursor());
        // The guard reports it in the error box and the program goes on.
        rig.session->runHandler([&]() {
            rig.session->runOperation([&]() { throw UserError(QStringLiteral("'x' is not a valid integer value")); });
        });
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'x' is not a valid integer value"});
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(rig.session->pollTimer().isActive());
        QCOMPARE(rig.quits, 0);
    }

    void pageEntryTakesNoInputMeanwhile()
    {
        Rig rig;
        rig.detect();
        rig.window->show();
        bool enabledInside = true;
        rig.session->runOperation([&]() {
            rig.exchange().comms(QStringLiteral("SR153"));
            enabledInside = rig.pageControl()->isEnabled();
        });
        QVERIFY(!enabledInside);
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void enterAsTab_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters and comma dropped") << "1a2,3" << "123";
        QTest::newRow("sign and point") << "-1.5" << "-1.5";
        QTest::newRow("space dropped") << "4 2" << "42";
    }
    void enterAsTab()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Rig rig;
        rig.window->show();
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::Code10));
        auto *edit = rig.window->findChild<QLineEdit *>(QStringLiteral("Edit7"));
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), expected);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), expected);
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), expected.chopped(1));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!edit->hasFocus());
        QCOMPARE(edit->text(), expected.chopped(1));
        // Tab and Shift+Tab move the focus as in any other field.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(!edit->hasFocus());
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(!edit->hasFocus());
    }

    void highlight()
    {
        Rig rig;
        rig.window->show();
        QApplication::setActiveWindow(rig.window.get());
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::Code10));
        auto *low = rig.window->findChild<QLineEdit *>(QStringLiteral("Edit7"));
        auto *high = rig.window->findChild<QLineEdit *>(QStringLiteral("Edit8"));
        high->setText(QStringLiteral("123456789012"));
        low->setFocus();
        high->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rig.shared().EntryText, QStringLiteral("123456789012"));
        QTRY_COMPARE(high->selectedText(), QStringLiteral("1234567890"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
