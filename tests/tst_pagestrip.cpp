#include "app/pagestrip.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <memory>
#include <utility>
#include <vector>

namespace {

const QStringList kCaptions = {
    QStringLiteral("Code 10 - 000"),
    QStringLiteral("Code 11 - 000"),
    QStringLiteral("Code 12 - 000"),
    QStringLiteral("Code 13 - 000"),
    QStringLiteral("Code 14 - 000"),
    QStringLiteral("Code 15 - 000"),
    QStringLiteral("Code 16 - 000"),
    QStringLiteral("Code 17 - 000"),
    QStringLiteral("Code 18 - 000"),
    QStringLiteral("Code 19 - 000"),
    QStringLiteral("Setpoints"),
    QStringLiteral("Setpoint Options"),
    QStringLiteral("Linearization Tables"),
    QStringLiteral("Custom Units"),
    QStringLiteral("Brightness"),
    QStringLiteral("Analog Output"),
    QStringLiteral("Serial Settings"),
    QStringLiteral("Peak & Valley"),
    QStringLiteral("Totalizer"),
    QStringLiteral("Lockouts"),
    QStringLiteral("Summary"),
};

// A window holding a strip of 21 pages, each with a line edit to type into.
struct Fixture
{
    explicit Fixture(int width = 800)
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(strip);
        for (const QString &caption : kCaptions) {
            auto *page = new QWidget;
            auto *pageLayout = new QVBoxLayout(page);
            auto *edit = new QLineEdit(page);
            edit->setObjectName(caption);
            pageLayout->addWidget(edit);
            pageLayout->addStretch();
            edits.push_back(edit);
            strip->addPage(page, caption);
        }
        strip->setLeaveGuard([this](int from, int to) {
            guardCalls.emplace_back(from, to);
            return allow;
        });
        window.resize(width, 600);
    }

    bool showActive()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QPoint centreOf(int index) const { return strip->tabRect(index).center(); }

    QWidget window;
    PageStrip *strip = new PageStrip(&window);
    std::vector<QLineEdit *> edits;
    std::vector<std::pair<int, int>> guardCalls;
    bool allow = true;
};

} // namespace

class TestPageStrip : public QObject
{
    Q_OBJECT

private slots:
    void wrapsIntoRowsWithoutOverlap_data();
    void wrapsIntoRowsWithoutOverlap();
    void hiddenTabsTakeNoPlace();
    void captionChangeReflows();
    void hidingCurrentTabMovesOn_data();
    void hidingCurrentTabMovesOn();
    void hiddenPageCanBeMadeCurrent();
    void click_data();
    void click();
    void keyboardFromPage_data();
    void keyboardFromPage();
    void keyboardRefusedByGuard();
    void arrowsOnTabArea_data();
    void arrowsOnTabArea();
    void arrowsInPageEditorLeavePageAlone();
    void disabledIgnoresInput_data();
    void disabledIgnoresInput();
    void toolTips();
    void hoverFollowsMouse();
    void accessibleTabList();
    void accessibleAction_data();
    void accessibleAction();
};

void TestPageStrip::wrapsIntoRowsWithoutOverlap_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("multiRow");

    QTest::newRow("800 px") << 800 << true;
    QTest::newRow("narrow 300 px") << 300 << true;
    QTest::newRow("wide 5000 px") << 5000 << false;
}

void TestPageStrip::wrapsIntoRowsWithoutOverlap()
{
    QFETCH(int, width);
    QFETCH(bool, multiRow);

    Fixture f(width);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));

    const QWidget *area = f.strip->tabArea();
    QCOMPARE(area->width(), f.strip->width());
    QCOMPARE(f.strip->rowCount() > 1, multiRow);
    if (width == 800)
        QVERIFY2(f.strip->rowCount() <= 3, qPrintable(QString::number(f.strip->rowCount())));

    QRect previous;
    for (int i = 0; i < f.strip->count(); ++i) {
        const QRect r = f.strip->tabRect(i);
        QVERIFY2(!r.isEmpty(), qPrintable(kCaptions.at(i)));
        QVERIFY2(area->rect().contains(r), qPrintable(kCaptions.at(i)));
        // Left to right in index order, a later row strictly below.
        if (i > 0) {
            QVERIFY(r.top() == previous.top() ? r.left() > previous.right() : r.top() > previous.bottom());
        }
        for (int j = 0; j < i; ++j)
            QVERIFY2(!r.intersects(f.strip->tabRect(j)), qPrintable(kCaptions.at(i)));
        previous = r;
    }
    // The page area starts below the last row of tabs.
    const int pageTop = f.strip->currentPage()->mapTo(&f.window, QPoint(0, 0)).y();
    QVERIFY(pageTop > area->mapTo(&f.window, previous.bottomLeft()).y());
}

void TestPageStrip::hiddenTabsTakeNoPlace()
{
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const int fullHeight = f.strip->tabArea()->height();

    f.strip->setTabVisible(1, false);
    QVERIFY(f.strip->tabRect(1).isEmpty());
    QCOMPARE(f.strip->tabAt(f.centreOf(2)), 2);
    QCOMPARE(f.strip->tabRect(2).left(), f.strip->tabRect(0).right() + 1);
    QCOMPARE(f.strip->tabRect(2).top(), f.strip->tabRect(0).top());

    // With only three tabs left everything fits in one row and the area shrinks.
    for (int i = 3; i < f.strip->count(); ++i)
        f.strip->setTabVisible(i, false);
    QCOMPARE(f.strip->rowCount(), 1);
    QTRY_VERIFY(f.strip->tabArea()->height() < fullHeight);
    QVERIFY(f.strip->tabArea()->rect().contains(f.strip->tabRect(2)));

    f.strip->setTabVisible(1, true);
    QCOMPARE(f.strip->tabRect(1).left(), f.strip->tabRect(0).right() + 1);
    QVERIFY(f.strip->tabRect(2).left() > f.strip->tabRect(1).right());
}

void TestPageStrip::captionChangeReflows()
{
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const int oldWidth = f.strip->tabRect(0).width();
    const QRect oldSecond = f.strip->tabRect(1);

    f.strip->setTabText(0, QStringLiteral("A much longer caption for the first page"));
    QCOMPARE(f.strip->tabText(0), QStringLiteral("A much longer caption for the first page"));
    QVERIFY(f.strip->tabRect(0).width() > oldWidth);
    QCOMPARE(f.strip->tabRect(1).left(), f.strip->tabRect(0).right() + 1);
    QVERIFY(f.strip->tabRect(1) != oldSecond);
    QTRY_VERIFY(f.strip->tabArea()->rect().contains(f.strip->tabRect(f.strip->count() - 1)));
}

void TestPageStrip::hidingCurrentTabMovesOn_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("alreadyHidden");
    QTest::addColumn<int>("hide");
    QTest::addColumn<int>("expected");

    QTest::newRow("to the following tab") << 3 << QList<int>{} << 3 << 4;
    QTest::newRow("over a hidden following tab") << 3 << QList<int>{4, 5} << 3 << 6;
    QTest::newRow("last falls back to previous") << 20 << QList<int>{} << 20 << 19;
    QTest::newRow("previous skips hidden") << 20 << QList<int>{18, 19} << 20 << 17;
    QTest::newRow("other tab leaves current") << 3 << QList<int>{} << 7 << 3;
}

void TestPageStrip::hidingCurrentTabMovesOn()
{
    QFETCH(int, current);
    QFETCH(QList<int>, alreadyHidden);
    QFETCH(int, hide);
    QFETCH(int, expected);

    Fixture f;
    for (int i : alreadyHidden)
        f.strip->setTabVisible(i, false);
    f.strip->setCurrentIndex(current);
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    f.strip->setTabVisible(hide, false);
    QVERIFY(!f.strip->isTabVisible(hide));
    QCOMPARE(f.strip->currentIndex(), expected);
    QCOMPARE(f.strip->currentPage(), f.strip->page(expected));
    QCOMPARE(spy.count(), 0);
    QVERIFY(f.guardCalls.empty());
}

void TestPageStrip::hiddenPageCanBeMadeCurrent()
{
    Fixture f;
    f.strip->setTabVisible(5, false);
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);
    f.strip->setCurrentIndex(5);
    QCOMPARE(f.strip->currentIndex(), 5);
    QCOMPARE(f.strip->currentPage(), f.strip->page(5));
    QCOMPARE(spy.count(), 0);
    QVERIFY(f.guardCalls.empty());

    // Stepping on from a hidden page goes to its visible neighbour.
    QVERIFY(f.showActive());
    QTest::keyClick(f.edits[5], Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(f.strip->currentIndex(), 6);
}

void TestPageStrip::click_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("guardAsked");

    QTest::newRow("switches") << 12 << true << 12 << true;
    QTest::newRow("last tab") << 20 << true << 20 << true;
    QTest::newRow("refused by guard") << 12 << false << 2 << true;
    QTest::newRow("current tab does nothing") << 2 << true << 2 << false;
}

void TestPageStrip::click()
{
    QFETCH(int, target);
    QFETCH(bool, allow);
    QFETCH(int, expected);
    QFETCH(bool, guardAsked);

    Fixture f;
    f.allow = allow;
    f.strip->setCurrentIndex(2);
    QVERIFY(f.showActive());
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    QTest::mouseClick(f.strip->tabArea(), Qt::LeftButton, {}, f.centreOf(target));

    QCOMPARE(f.strip->currentIndex(), expected);
    QCOMPARE(f.strip->currentPage(), f.strip->page(expected));
    QCOMPARE(f.guardCalls.size(), size_t(guardAsked ? 1 : 0));
    if (guardAsked)
        QCOMPARE(f.guardCalls.front(), std::make_pair(2, target));
    QCOMPARE(spy.count(), expected != 2 ? 1 : 0);
    if (!spy.isEmpty())
        QCOMPARE(spy.first().first().toInt(), expected);
}

void TestPageStrip::keyboardFromPage_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<int>("expected");

    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << 0 << QList<int>{} << 1;
    QTest::newRow("Ctrl+Tab skips hidden") << int(Qt::Key_Tab) << ctrl << 0 << QList<int>{1, 2} << 3;
    QTest::newRow("Ctrl+Tab wraps") << int(Qt::Key_Tab) << ctrl << 20 << QList<int>{} << 0;
    QTest::newRow("Ctrl+Tab wraps over hidden") << int(Qt::Key_Tab) << ctrl << 19 << QList<int>{20, 0} << 1;
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Tab) << ctrlShift << 5 << QList<int>{} << 4;
    QTest::newRow("Ctrl+Shift+Backtab") << int(Qt::Key_Backtab) << ctrlShift << 5 << QList<int>{4} << 3;
    QTest::newRow("Ctrl+Backtab") << int(Qt::Key_Backtab) << ctrl << 5 << QList<int>{} << 4;
    QTest::newRow("Ctrl+Shift+Tab wraps") << int(Qt::Key_Tab) << ctrlShift << 0 << QList<int>{20} << 19;
    QTest::newRow("Ctrl+PageDown") << int(Qt::Key_PageDown) << ctrl << 3 << QList<int>{} << 4;
    QTest::newRow("Ctrl+PageDown wraps") << int(Qt::Key_PageDown) << ctrl << 20 << QList<int>{0} << 1;
    QTest::newRow("Ctrl+PageUp skips hidden") << int(Qt::Key_PageUp) << ctrl << 3 << QList<int>{2} << 1;
    QTest::newRow("Ctrl+PageUp wraps") << int(Qt::Key_PageUp) << ctrl << 0 << QList<int>{} << 20;
}

void TestPageStrip::keyboardFromPage()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, start);
    QFETCH(QList<int>, hidden);
    QFETCH(int, expected);

    Fixture f;
    f.strip->setCurrentIndex(start);
    for (int i : hidden)
        f.strip->setTabVisible(i, false);
    QCOMPARE(f.strip->currentIndex(), start);
    QVERIFY(f.showActive());
    QLineEdit *edit = f.edits[size_t(start)];
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(f.strip->currentIndex(), expected);
    QCOMPARE(f.guardCalls.size(), size_t(1));
    QCOMPARE(f.guardCalls.front(), std::make_pair(start, expected));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toInt(), expected);
    // The keystroke did not land in the editor.
    QVERIFY(edit->text().isEmpty());
}

void TestPageStrip::keyboardRefusedByGuard()
{
    Fixture f;
    f.allow = false;
    f.strip->setCurrentIndex(4);
    QVERIFY(f.showActive());
    f.edits[4]->setFocus();
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    QTest::keyClick(f.edits[4], Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(f.edits[4], Qt::Key_PageUp, Qt::ControlModifier);

    QCOMPARE(f.strip->currentIndex(), 4);
    QCOMPARE(f.guardCalls, (std::vector<std::pair<int, int>>{{4, 5}, {4, 3}}));
    QCOMPARE(spy.count(), 0);
}

void TestPageStrip::arrowsOnTabArea_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<int>("expected");

    QTest::newRow("right") << int(Qt::Key_Right) << 7 << QList<int>{} << 8;
    QTest::newRow("left") << int(Qt::Key_Left) << 7 << QList<int>{} << 6;
    QTest::newRow("right skips hidden") << int(Qt::Key_Right) << 7 << QList<int>{8, 9} << 10;
    QTest::newRow("left wraps") << int(Qt::Key_Left) << 0 << QList<int>{} << 20;
    QTest::newRow("right wraps") << int(Qt::Key_Right) << 20 << QList<int>{0, 1} << 2;
}

void TestPageStrip::arrowsOnTabArea()
{
    QFETCH(int, key);
    QFETCH(int, start);
    QFETCH(QList<int>, hidden);
    QFETCH(int, expected);

    Fixture f;
    f.strip->setCurrentIndex(start);
    for (int i : hidden)
        f.strip->setTabVisible(i, false);
    QVERIFY(f.showActive());
    QWidget *area = f.strip->tabArea();
    QCOMPARE(area->focusPolicy(), Qt::StrongFocus);
    area->setFocus();
    QTRY_VERIFY(area->hasFocus());
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    QTest::keyClick(area, Qt::Key(key));

    QCOMPARE(f.strip->currentIndex(), expected);
    QCOMPARE(f.guardCalls, (std::vector<std::pair<int, int>>{{start, expected}}));
    QCOMPARE(spy.count(), 1);
    QVERIFY(area->hasFocus());
}

void TestPageStrip::arrowsInPageEditorLeavePageAlone()
{
    Fixture f;
    f.strip->setCurrentIndex(3);
    QVERIFY(f.showActive());
    f.edits[3]->setFocus();
    QTRY_VERIFY(f.edits[3]->hasFocus());
    QTest::keyClick(f.edits[3], Qt::Key_Right);
    QTest::keyClick(f.edits[3], Qt::Key_Left);
    QCOMPARE(f.strip->currentIndex(), 3);
    QVERIFY(f.guardCalls.empty());
}

void TestPageStrip::disabledIgnoresInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("Ctrl+Tab") << QStringLiteral("ctrl-tab");
    QTest::newRow("Ctrl+PageUp") << QStringLiteral("ctrl-pageup");
    QTest::newRow("arrow") << QStringLiteral("arrow");
    QTest::newRow("accessibility") << QStringLiteral("accessible");
}

void TestPageStrip::disabledIgnoresInput()
{
    QFETCH(QString, input);

    Fixture f;
    f.strip->setCurrentIndex(4);
    QVERIFY(f.showActive());
    QWidget *area = f.strip->tabArea();
    // Keys go to a widget outside the strip that keeps the window active.
    auto *outside = new QLineEdit(&f.window);
    f.window.layout()->addWidget(outside);
    outside->show();
    outside->setFocus();
    f.strip->setEnabled(false);
    QVERIFY(!area->isEnabled());
    QVERIFY(!f.edits[4]->isEnabled());
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    if (input == QLatin1String("click")) {
        QTest::mouseClick(area, Qt::LeftButton, {}, f.centreOf(7));
    } else if (input == QLatin1String("ctrl-tab")) {
        QTest::keyClick(outside, Qt::Key_Tab, Qt::ControlModifier);
    } else if (input == QLatin1String("ctrl-pageup")) {
        QTest::keyClick(outside, Qt::Key_PageUp, Qt::ControlModifier);
    } else if (input == QLatin1String("arrow")) {
        QTest::keyClick(area, Qt::Key_Right);
    } else {
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(area);
        QVERIFY(list);
        QAccessibleInterface *tab = list->child(7);
        QVERIFY(tab && tab->actionInterface());
        QVERIFY(tab->state().disabled);
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }

    QCOMPARE(f.strip->currentIndex(), 4);
    QVERIFY(f.guardCalls.empty());
    QCOMPARE(spy.count(), 0);

    // Enabled again, the same strip reacts.
    f.strip->setEnabled(true);
    QTest::mouseClick(area, Qt::LeftButton, {}, f.centreOf(7));
    QCOMPARE(f.strip->currentIndex(), 7);
    QCOMPARE(spy.count(), 1);
}

void TestPageStrip::toolTips()
{
    Fixture f(800);
    for (int i = 1; i < f.strip->count(); ++i)
        f.strip->setTabVisible(i, false);
    f.strip->setTabToolTip(0, QStringLiteral("Input code settings"));
    QCOMPARE(f.strip->tabToolTip(0), QStringLiteral("Input code settings"));
    QVERIFY(f.showActive());
    QWidget *area = f.strip->tabArea();
    QCOMPARE(area->toolTip(), QStringLiteral("Click on Tab to change page"));

    const auto tipAt = [area](const QPoint &pos) {
        QHelpEvent help(QEvent::ToolTip, pos, area->mapToGlobal(pos));
        QCoreApplication::sendEvent(area, &help);
        return QToolTip::text();
    };
    QCOMPARE(tipAt(f.centreOf(0)), QStringLiteral("Input code settings"));
    QCOMPARE(tipAt(QPoint(area->width() - 5, f.centreOf(0).y())), QStringLiteral("Click on Tab to change page"));
    QToolTip::hideText();
}

void TestPageStrip::hoverFollowsMouse()
{
    Fixture f;
    QVERIFY(f.showActive());
    QWidget *area = f.strip->tabArea();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(area);
    QVERIFY(list);
    const auto hotTabs = [list] {
        QList<int> hot;
        for (int i = 0; i < list->childCount(); ++i) {
            if (list->child(i)->state().hotTracked)
                hot << i;
        }
        return hot;
    };

    QTest::mouseMove(area, f.centreOf(5));
    QTRY_COMPARE(hotTabs(), QList<int>{5});
    QTest::mouseMove(area, f.centreOf(14));
    QTRY_COMPARE(hotTabs(), QList<int>{14});
    f.strip->setTabVisible(14, false);
    QCOMPARE(hotTabs(), QList<int>{});
}

void TestPageStrip::accessibleTabList()
{
    Fixture f;
    f.strip->setTabVisible(0, false);
    f.strip->setTabVisible(13, false);
    f.strip->setCurrentIndex(12);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));

    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(f.strip->tabArea());
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::PageTabList);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Pages"));
    QCOMPARE(list->childCount(), 19);

    QStringList names;
    int selected = -1;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface *tab = list->child(i);
        QVERIFY(tab && tab->isValid());
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->parent(), list);
        QCOMPARE(list->indexOfChild(tab), i);
        QVERIFY(tab->state().focusable);
        if (tab->state().selected) {
            QCOMPARE(selected, -1);
            selected = i;
        }
        QVERIFY(!tab->rect().isEmpty());
        QCOMPARE(list->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
        names << tab->text(QAccessible::Name);
    }
    QStringList expected = kCaptions;
    expected.removeAt(13);
    expected.removeAt(0);
    QCOMPARE(names, expected);
    QCOMPARE(selected, 11); // tab 12 behind one hidden tab
    QCOMPARE(list->child(11)->text(QAccessible::Name), QStringLiteral("Linearization Tables"));
    QCOMPARE(list->child(15)->text(QAccessible::Name), QStringLiteral("Peak & Valley"));

    // Showing a tab again brings it back in place.
    f.strip->setTabVisible(0, true);
    QCOMPARE(list->childCount(), 20);
    QCOMPARE(list->child(0)->text(QAccessible::Name), kCaptions.at(0));
    f.strip->setTabText(0, QStringLiteral("Code 10 - 123"));
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("Code 10 - 123"));
}

void TestPageStrip::accessibleAction_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("allow");

    QTest::newRow("press") << QAccessibleActionInterface::pressAction() << true;
    QTest::newRow("select") << QStringLiteral("Select") << true;
    QTest::newRow("press refused") << QAccessibleActionInterface::pressAction() << false;
}

void TestPageStrip::accessibleAction()
{
    QFETCH(QString, action);
    QFETCH(bool, allow);

    Fixture f;
    f.allow = allow;
    f.strip->setTabVisible(1, false);
    QVERIFY(f.showActive());
    QSignalSpy spy(f.strip, &PageStrip::userChangedPage);

    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(f.strip->tabArea());
    QVERIFY(list);
    QAccessibleInterface *tab = nullptr;
    for (int i = 0; i < list->childCount() && !tab; ++i) {
        if (list->child(i)->text(QAccessible::Name) == QLatin1String("Linearization Tables"))
            tab = list->child(i);
    }
    QVERIFY(tab);
    QAccessibleActionInterface *actions = tab->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(action));

    actions->doAction(action);

    const int expected = allow ? 12 : 0;
    QCOMPARE(f.strip->currentIndex(), expected);
    QCOMPARE(f.guardCalls, (std::vector<std::pair<int, int>>{{0, 12}}));
    QCOMPARE(spy.count(), allow ? 1 : 0);
    QCOMPARE(tab->state().selected, allow);
}

QTEST_MAIN(TestPageStrip)
#include "tst_pagestrip.moc"
