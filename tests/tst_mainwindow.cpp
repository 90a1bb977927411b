#include "operator.h"

#include "app/pagestrip.h"
#include "link/errors.h"
#include "pages/advanced/advancedmodel.h"
#include "pages/page.h"
#include "pages/pagerows.h"
#include "pages/pageset.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The main window: its pages, menu and status bar, the page-change frame and
// its guard, the input conventions of the numeric fields, how the pages
// adapt to the model detection found, and how the program ends.
class MainWindowTest : public QObject
{
    Q_OBJECT

private:
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
            {"TabSheet13", "Setpoint Control", "", 0, true},
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
        QCOMPARE(rig.page(PageId(index))->objectName(), name);
        QCOMPARE(strip->tabText(index), caption);
        QCOMPARE(strip->page(index)->toolTip(), hint);
        const PageModel *model = rig.setup->model(PageId(index));
        QCOMPARE(model ? model->storedCode() : rig.page(PageId(index))->tag(), tag);
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
        QCOMPARE(seen,
                 (QStringList{"&File/&Open (greyed)", "&File/&Save (greyed)",
                              // greyed until a meter is found
                              "&File/Save &Meter Setup... (greyed)", "&File/&Compare Meter with Setup File... (greyed)",
                              "&File/&Print", "&File/&Exit", "&Edit/Cu&t (greyed)", "&Edit/&Copy (greyed)",
                              "&Edit/&Paste (greyed)", "&View/&Line Monitor", "&Help/&About"}));
    }

    // The setup items take a found meter and ask through the dialog seam.
    void setupItemsAskOnceAMeterIsFound_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("save") << "SaveMeterSetup" << QStringList{"groups", "save"};
        QTest::newRow("compare") << "CompareMeterSetup" << QStringList{"open"};
    }
    void setupItemsAskOnceAMeterIsFound()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, asked);
        Rig rig;
        auto *action = rig.window->findChild<QAction *>(item);
        QVERIFY(!action->isEnabled());
        rig.detect();
        QVERIFY(action->isEnabled());
        rig.prompts.asked.clear();
        action->trigger();
        QStringList kinds;
        for (const ScriptedPrompts::Question &q : rig.prompts.asked)
            kinds << q.kind;
        QCOMPARE(kinds, asked);
    }

    void sheetCodes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("number");
        QTest::newRow("code 2 tag 5") << 6 << 5 << "005"
                                      << "2";
        QTest::newRow("tag 0") << 7 << 0 << "000"
                               << "3";
        QTest::newRow("tag 45") << 9 << 45 << "045"
                                << "5";
        QTest::newRow("tag 170") << 8 << 170 << "170"
                                 << "4";
        QTest::newRow("tag 999") << 13 << 999 << "999"
                                 << "9";
        QTest::newRow("display value") << 0 << 0 << "000"
                                       << "-4";
        QTest::newRow("summary") << 20 << 0 << "000"
                                 << "16";
    }
    void sheetCodes()
    {
        QFETCH(int, index);
        QFETCH(int, tag);
        QFETCH(QString, digits);
        QFETCH(QString, number);
        Rig rig;
        // A code page's stored code is the code read from the meter.
        if (index >= pageIndex(PageId::Code1) && index <= pageIndex(PageId::Code10))
            rig.meter.setReg(QString::number(125 + index), QString::number(tag));
        rig.detect();
        rig.window->show();
        if (index == 0)
            Operator(rig).openTab(PageId::ScaleOffset);
        Operator(rig).openTab(PageId(index));
        QCOMPARE(rig.pageControl()->currentIndex(), index);
        QCOMPARE(pageIndex(rig.lastEntry.page), index);
        QCOMPARE(rig.lastEntry.codeDigits, digits);
        QCOMPARE(rig.lastEntry.codeNumber, number);
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
        rig.meter.setReg(QStringLiteral("131"), QString::number(stored));
        rig.detect();
        rig.window->show();
        Operator(rig).openTab(PageId::Code2);
        const int entries = rig.prompts.asked.size();
        Operator(rig).openTab(PageId::Summary);
        QCOMPARE(rig.pageControl()->currentIndex(), leaves ? pageIndex(PageId::Summary) : pageIndex(PageId::Code2));
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
        QTest::newRow("letters and comma dropped") << "1a2,3"
                                                   << "123";
        QTest::newRow("sign and point") << "-1.5"
                                        << "-1.5";
        QTest::newRow("space dropped") << "4 2"
                                       << "42";
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
        // Fields without a length limit (the bar fields take six characters).
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::ScaleOffset));
        auto *low = rig.window->findChild<QLineEdit *>(QStringLiteral("Edit24"));
        auto *high = rig.window->findChild<QLineEdit *>(QStringLiteral("Edit25"));
        high->setText(QStringLiteral("123456789012"));
        low->setFocus();
        high->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rig.shared().entryText, QStringLiteral("123456789012"));
        QTRY_COMPARE(high->selectedText(), QStringLiteral("1234567890"));
    }

    void exitDuringAWaitEndsEverything_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("close button") << false;
        QTest::newRow("menu Exit") << true;
    }
    void exitDuringAWaitEndsEverything()
    {
        QFETCH(bool, viaMenu);
        auto rig = std::make_unique<Rig>();
        rig->detect();
        rig->meter.clearLog();
        rig->line->clearWrites();
        rig->meter.setSilent(true);
        rig->setWatchdog(std::chrono::milliseconds(5000));
        rig->clock.singleShot(30, rig->session.get(), [&]() {
            if (viaMenu)
                rig->window->findChild<QAction *>(QStringLiteral("Exit1"))->trigger();
            else
                rig->window->close();
        });
        const qint64 start = rig->clock.now();
        bool after = false;
        rig->session->runHandler([&]() {
            rig->exchange().comms(QStringLiteral("SR2"));
            after = true;
        });
        // Ended at the exit, long before the watchdog.
        QVERIFY(rig->clock.now() - start < 100);
        QVERIFY(!after);
        QCOMPARE(rig->quits, 1);
        QCOMPARE(rig->prompts.asked.size(), 1); // only the port choice at start
        QVERIFY_THROWS_EXCEPTION(ExchangeAbandoned, rig->exchange().comms(QStringLiteral("SR3")));
        QCOMPARE(rig->line->writes(), QList<QByteArray>{"SR2*"});
    }

    void modelAdaptation_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("code10Shown");
        QTest::addColumn<QString>("firstLabel");
        QTest::addColumn<bool>("extraTablesShown");
        QTest::newRow("bargraph") << "KM5B" << true << "Display Option" << true;
        QTest::newRow("bargraph and 3") << "K3B" << true << "Display Option" << true;
        QTest::newRow("extra displays") << "K3" << true << "Extra Display Setup" << true;
        QTest::newRow("neither") << "K5" << false << "Undefined" << true;
        QTest::newRow("one table") << "K5E" << false << "Undefined" << false;
        QTest::newRow("lower case is not an option") << "k5be" << false << "Undefined" << true;
    }
    void modelAdaptation()
    {
        QFETCH(QString, model);
        QFETCH(bool, code10Shown);
        QFETCH(QString, firstLabel);
        QFETCH(bool, extraTablesShown);
        Rig rig;
        rig.meter.setModel(model);
        rig.detect();
        QCOMPARE(rig.session->identity().modelCode, model);
        // The full load ran and the summary's identity rows were written.
        QCOMPARE(rig.commands(), Rig::detectionReads());
        QCOMPARE(rig.summaryCell(12, 1), model);
        QCOMPARE(rig.summaryCell(14, 1), QStringLiteral("9600"));
        QCOMPARE(rig.summaryCell(15, 1), QStringLiteral("1"));
        QCOMPARE(rig.pageControl()->isTabVisible(pageIndex(PageId::Code10)), code10Shown);
        QCOMPARE(rig.model<AdvancedModel>(PageId::Advanced)->pageLockLimit(), code10Shown ? 14 : 13);
        // The Code 10 view, made now, shows the adapted page.
        rig.page(PageId::Code10);
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label128"))->text(), firstLabel);
        QCOMPARE(rig.page(PageId::Advanced)->findChild<QCheckBox *>(QStringLiteral("CheckBox1613"))->isHidden(),
                 !code10Shown);
        // The tables' view is made after detection.
        for (const char *name : {"SpeedButton8", "SpeedButton9", "SpeedButton10"}) {
            const auto *selector = rig.page(PageId::Linearization)->findChild<QToolButton *>(QLatin1String(name));
            QCOMPARE(selector->isHidden(), !extraTablesShown);
        }
        if (firstLabel == QLatin1String("Extra Display Setup")) {
            auto *option = rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1037"));
            QCOMPARE(option->text(), QStringLiteral("7 User defined register   ->"));
            QVERIFY(!rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1011"))->isEnabled());
        } else if (code10Shown) {
            // The caption shows its "&" rather than underlining the next letter.
            auto *option = rig.window->findChild<QRadioButton *>(QStringLiteral("RadioButton1011"));
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(option);
            QCOMPARE(a->text(QAccessible::Name), QStringLiteral("1 Peak & Valley on bar"));
        }
    }

    void adaptationsOnlyAdd()
    {
        Rig rig;
        rig.meter.setModel(QStringLiteral("K3E"));
        rig.detect();
        // A later run on a meter without those options undoes nothing.
        rig.meter.setModel(QStringLiteral("K5"));
        rig.meter.setSilent(true);
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        rig.prompts.whileTimeoutOpen = [&]() { rig.meter.setSilent(false); };
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR2")); });
        QCOMPARE(rig.session->identity().modelCode, QStringLiteral("K5"));
        QVERIFY(rig.pageControl()->isTabVisible(pageIndex(PageId::Code10)));
        QCOMPARE(rig.model<AdvancedModel>(PageId::Advanced)->pageLockLimit(), 14);
        QVERIFY(rig.page(PageId::Linearization)->findChild<QToolButton *>(QStringLiteral("SpeedButton9"))->isHidden());
    }

    // Every text on every page can be read whole: no visible label, option
    // or button is narrower than what it shows.
    void noTextIsCut_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("bargraph") << "KM5B";
        QTest::newRow("extra displays") << "K36";
    }
    void noTextIsCut()
    {
        QFETCH(QString, model);
        Rig rig;
        rig.meter.setModel(model);
        rig.detect();
        Operator(rig).showWindow();
        QStringList cut;
        const auto check = [&cut](QWidget *w, const QString &text, int needed) {
            if (text.isEmpty() || !w->isVisible())
                return;
            if (w->width() < needed)
                cut << QStringLiteral("%1 \"%2\": %3 < %4").arg(w->objectName(), text).arg(w->width()).arg(needed);
            // Nor does it run past the right edge of the window.
            const int right = w->mapTo(w->window(), QPoint(w->width(), 0)).x();
            if (right > w->window()->width())
                cut << QStringLiteral("%1 \"%2\" ends at %3").arg(w->objectName(), text).arg(right);
        };
        for (const PageRow &row : pageRows()) {
            rig.pageControl()->setTabVisible(pageIndex(row.id), true);
            rig.pageControl()->setCurrentIndex(pageIndex(row.id));
            QCoreApplication::processEvents();
            Page *page = rig.page(row.id);
            for (QLabel *label : page->findChildren<QLabel *>()) {
                if (!label->wordWrap() && label->pixmap().isNull())
                    check(label, label->text(), label->sizeHint().width());
                // A wrapped text needs its lines' height.
                else if (label->wordWrap() && label->isVisible()
                         && label->height() < label->heightForWidth(label->width()))
                    cut << QStringLiteral("\"%1\" is %2 high").arg(label->text()).arg(label->height());
            }
            // Nor does one control lie over another.
            QList<QWidget *> controls;
            for (QWidget *w : page->findChildren<QWidget *>()) {
                if (w->isVisible()
                    && (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                        || qobject_cast<QComboBox *>(w)))
                    controls << w;
            }
            for (qsizetype i = 0; i < controls.size(); ++i) {
                for (qsizetype j = i + 1; j < controls.size(); ++j) {
                    QWidget *a = controls[i];
                    QWidget *b = controls[j];
                    const auto name = [](QWidget *w) {
                        const QVariant text = w->property("text");
                        return w->objectName().isEmpty() ? QStringLiteral("\"%1\"").arg(text.toString())
                                                         : w->objectName();
                    };
                    if (a->parentWidget() == b->parentWidget() && a->geometry().intersects(b->geometry()))
                        cut << QStringLiteral("%1 and %2 overlap").arg(name(a), name(b));
                }
            }
            for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
                const QString text = edit->displayText();
                check(edit, text, edit->fontMetrics().horizontalAdvance(text) + 8);
            }
            for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
                if (qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button))
                    check(button, button->text(), button->sizeHint().width());
                else
                    check(button, button->text(), button->fontMetrics().horizontalAdvance(button->text()) + 6);
            }
        }
        const QStatusBar *bar = rig.window->statusBar();
        auto *last = rig.window->findChild<QLabel *>(QStringLiteral("StatusPanel4"));
        rig.detect();
        check(last, last->text(), last->sizeHint().width());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        // The last panel runs to the end of the bar.
        QVERIFY(last->geometry().right() >= bar->contentsRect().right() - 8);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
