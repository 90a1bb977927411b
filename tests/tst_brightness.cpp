#include "rig.h"

#include "app/pagestrip.h"
#include "pages/codes/brightnesspage.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

// The Brightness page: its radio group, the write on every change of the
// selection, and the brightness load of detection.
class BrightnessTest : public QObject
{
    Q_OBJECT

private:
    static BrightnessPage *page(Rig &rig) { return rig.page<BrightnessPage>(PageId::Brightness); }
    // Detection done, the Brightness page current and the log empty.
    static BrightnessPage *detected(Rig &rig)
    {
        rig.detect();
        rig.window->show();
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::Brightness));
        rig.meter.clearLog();
        return page(rig);
    }
    // A click on the item's caption (the button takes clicks on its
    // indicator and text only).
    static void click(QRadioButton *item)
    {
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2));
    }
    static QStringList brightnessCommands(const Rig &rig) { return rig.commands().filter(QStringLiteral("148")); }

private slots:
    void creation()
    {
        Rig rig;
        BrightnessPage *p = page(rig);
        QCOMPARE(p->group()->title(), QStringLiteral("Brightness Selection"));
        QVERIFY(p->group()->font().pointSize() > rig.window->font().pointSize());
        const QStringList captions{"0 - Dull", "1", "2", "3", "4", "5 - Default", "6", "7 - Bright"};
        for (int i = 0; i < BrightnessPage::Levels; ++i)
            QCOMPARE(p->item(i)->text(), captions[i]);
        QCOMPARE(p->selected(), 5);
        QVERIFY(rig.commands().isEmpty());
    }

    void load_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("3") << "3" << 3 << QStringList{"SW148,3"};
        QTest::newRow("5 is shown already") << "5" << 5 << QStringList{};
        QTest::newRow("0") << "0" << 0 << QStringList{"SW148,0"};
        QTest::newRow("above 7") << "9" << 7 << QStringList{"SW148,7"};
        QTest::newRow("below 0") << "-1" << -1 << QStringList{};
    }
    void load()
    {
        QFETCH(QString, reply);
        QFETCH(int, selected);
        QFETCH(QStringList, writes);
        Rig rig;
        rig.meter.setReg(QStringLiteral("148"), reply);
        rig.detect();
        const QStringList commands = rig.commands();
        const qsizetype read = commands.indexOf(QStringLiteral("SR148"));
        QVERIFY(read >= 0);
        // The write-back comes right after the read, and nothing else writes 148.
        QCOMPARE(commands.mid(read + 1, writes.size()), writes);
        QCOMPARE(brightnessCommands(rig), QStringList{"SR148"} + writes);
        QCOMPARE(page(rig)->selected(), selected);
        QCOMPARE(rig.summaryCell(0, 1), reply);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void summaryShowsTheValueReadNotTheWriteAck()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("2"));
        rig.meter.setWriteAck(QStringLiteral("7"));
        rig.detect();
        QCOMPARE(rig.summaryCell(0, 1), QStringLiteral("2"));
    }

    void choose_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("7 - Bright") << 7 << QStringList{"SW148,7"};
        QTest::newRow("0 - Dull") << 0 << QStringList{"SW148,0"};
        QTest::newRow("the selected item") << 4 << QStringList{};
    }
    void choose()
    {
        QFETCH(int, item);
        QFETCH(QStringList, writes);
        Rig rig;
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("4"));
        BrightnessPage *p = detected(rig);
        click(p->item(item));
        QCOMPARE(rig.commands(), writes);
        QCOMPARE(p->selected(), item);
    }

    void arrowKeysWrite()
    {
        Rig rig;
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("4"));
        BrightnessPage *p = detected(rig);
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        p->item(4)->setFocus();
        QTest::keyClick(p->item(4), Qt::Key_Down);
        QCOMPARE(p->selected(), 5);
        QCOMPARE(rig.commands(), QStringList{"SW148,5"});
    }

    void programSelectionWrites()
    {
        Rig rig;
        BrightnessPage *p = detected(rig);
        p->item(2)->setChecked(true);
        QCOMPARE(rig.commands(), QStringList{"SW148,2"});
    }

    void quickClicksLeaveTheMeterAtTheItemShown()
    {
        Rig rig;
        BrightnessPage *p = detected(rig);
        rig.meter.setAnswerDelay(60);
        // Two more clicks while the first write waits for its reply.
        rig.clock.singleShot(10, p, [p]() { click(p->item(7)); });
        rig.clock.singleShot(20, p, [p]() { click(p->item(2)); });
        click(p->item(3));
        VTRY_COMPARE(rig, rig.commands().size(), 3);
        QCOMPARE(rig.commands().first(), QStringLiteral("SW148,3"));
        QCOMPARE(p->selected(), 2);
        QCOMPARE(rig.meter.reg(QStringLiteral("148")), QStringLiteral("2"));
    }
};

QTEST_MAIN(BrightnessTest)
#include "tst_brightness.moc"
