#include "rig.h"

#include "app/pagestrip.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTest>

// The live readout: the reading and the state words on the Display Value
// page, the status panels, the sampling time and when the poll runs.
class LiveReadoutTest : public QObject
{
    Q_OBJECT

private:
    // How Label2 looked when a poll went on to read the result value.
    struct Shown
    {
        QString text;
        bool hidden;
        QColor colour;
        int points;
    };

    static QLabel *label2(Rig &rig) { return rig.window->findChild<QLabel *>(QStringLiteral("Label2")); }

    // Runs the poll fast and records Label2 at each of the next `polls` polls.
    static QList<Shown> watchPolls(Rig &rig, int polls, const std::function<void(int)> &beforePoll = {})
    {
        QList<Shown> seen;
        QObject context;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &context, [&](const QString &command) {
            if (command == QLatin1String("SR2") && beforePoll)
                beforePoll(int(seen.size()));
            if (command != QLatin1String("SR3"))
                return;
            QLabel *label = label2(rig);
            seen.append({label->text(), label->isHidden(), label->palette().color(QPalette::WindowText),
                         label->font().pointSize()});
        });
        rig.session->pollTimer().setInterval(40);
        rig.session->pollTimer().start();
        [&]() { VTRY_VERIFY(rig, seen.size() >= polls); }();
        rig.session->pollTimer().stop();
        return seen.mid(0, polls);
    }

    static QSpinBox *upDown(Rig &rig) { return rig.window->findChild<QSpinBox *>(QStringLiteral("UpDown1")); }
    static QLineEdit *edit1(Rig &rig) { return rig.window->findChild<QLineEdit *>(QStringLiteral("Edit1")); }

private slots:
    void initTestCase()
    {
        // The sampling time keeps "," as its thousands separator even where
        // the desktop writes "1.000".
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void beforeFirstPoll()
    {
        Rig rig;
        QLabel *label = label2(rig);
        QCOMPARE(label->text(), QStringLiteral("Connecting..."));
        QCOMPARE(label->font().family(), QStringLiteral("Arial"));
        QCOMPARE(label->font().pixelSize(), 120);
        QCOMPARE(rig.window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Sampling Time (mS)"));
        QCOMPARE(edit1(rig)->text(), QStringLiteral("1,000"));
        QVERIFY(!rig.session->pollTimer().isActive());
        QCOMPARE(rig.session->pollTimer().interval(), 1000);
    }

    void reading_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("stateWord");
        QTest::newRow("decimal reading") << "1234.5"
                                         << "1234.5" << false;
        QTest::newRow("leading blanks removed") << "  -12.0"
                                                << "-12.0" << false;
        QTest::newRow("over range") << "Over Range"
                                    << "OVERRANGE" << true;
        QTest::newRow("under range") << "Under Range"
                                     << "UNDERRANGE" << true;
        QTest::newRow("open sensor") << "Open Sensor"
                                     << "OPEN" << true;
        QTest::newRow("other case is a reading") << "OVER RANGE"
                                                 << "OVER RANGE" << false;
        QTest::newRow("lower case is a reading") << "open sensor"
                                                 << "open sensor" << false;
        QTest::newRow("part of a phrase is a reading") << "Over"
                                                       << "Over" << false;
    }
    void reading()
    {
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        QFETCH(bool, stateWord);
        Rig rig;
        rig.detect();
        rig.meter.setReg(QStringLiteral("2"), reply);
        const QList<Shown> seen = watchPolls(rig, 3);
        QCOMPARE(seen.size(), 3);
        for (int i = 0; i < seen.size(); ++i) {
            QCOMPARE(seen[i].text, shown);
            QCOMPARE(seen[i].colour, stateWord ? QColor(Qt::red) : QColor(Qt::black));
            QCOMPARE(seen[i].points, stateWord ? 70 : 100);
            // A state word blinks: shown, hidden, shown; a reading stays.
            QCOMPARE(seen[i].hidden, stateWord && i % 2 == 1);
        }
    }

    void meterTextIsNeverMarkup_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        QTest::newRow("result panel") << "StatusPanel0"
                                      << "Result  <b>5</b>";
        QTest::newRow("model panel") << "StatusPanel3"
                                     << "<i>K5</i> Version 1.26";
    }
    void meterTextIsNeverMarkup()
    {
        QFETCH(QString, label);
        QFETCH(QString, shown);
        Rig rig;
        rig.meter.setReg(QStringLiteral("3"), QStringLiteral("<b>5</b>"));
        rig.meter.setModel(QStringLiteral("<i>K5</i>"));
        rig.detect();
        watchPolls(rig, 1);
        // What the operator reads, through the accessibility interface.
        auto *widget = rig.window->findChild<QLabel *>(label);
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), shown);
    }

    void readingAfterHiddenStateWordShowsAtOnce()
    {
        Rig rig;
        rig.detect();
        rig.meter.setReg(QStringLiteral("2"), QStringLiteral("Under Range"));
        // Two polls of the state (shown, then hidden), then a reading.
        const QList<Shown> seen = watchPolls(rig, 3, [&](int poll) {
            if (poll == 2)
                rig.meter.setReg(QStringLiteral("2"), QStringLiteral("88.8"));
        });
        QCOMPARE(seen.size(), 3);
        QVERIFY(seen[1].hidden);
        QCOMPARE(seen[2].text, QStringLiteral("88.8"));
        QVERIFY(!seen[2].hidden);
        QCOMPARE(seen[2].colour, QColor(Qt::black));
    }

    void statusPanelsOnAnotherPage()
    {
        Rig rig;
        rig.detect();
        rig.window->show();
        rig.pageControl()->setCurrentIndex(pageIndex(PageId::Summary));
        rig.meter.setReg(QStringLiteral("2"), QStringLiteral("Over Range"));
        rig.meter.setReg(QStringLiteral("3"), QStringLiteral("-7.25"));
        rig.meter.setReg(QStringLiteral("4"), QStringLiteral(" 1.5"));
        rig.meter.setReg(QStringLiteral("5"), QStringLiteral("300"));
        const QList<Shown> seen = watchPolls(rig, 2);
        QCOMPARE(seen.size(), 2);
        // The word blinks although its page is not the one shown.
        QCOMPARE(seen[0].hidden, false);
        QCOMPARE(seen[1].hidden, true);
        VTRY_COMPARE(rig, rig.statusText(2), QStringLiteral("Chnl2  300"));
        QCOMPARE(rig.statusText(0), QStringLiteral("Result  -7.25"));
        QCOMPARE(rig.statusText(1), QStringLiteral("Chnl1  1.5"));
        QCOMPARE(rig.pageControl()->currentIndex(), pageIndex(PageId::Summary));
    }

    void blankReplyShowsThePreviousValue()
    {
        Rig rig;
        rig.detect();
        rig.meter.setReg(QStringLiteral("3"), QStringLiteral("5.5"));
        rig.meter.setReg(QStringLiteral("5"), QStringLiteral("9.75"));
        watchPolls(rig, 1);
        VTRY_COMPARE(rig, rig.statusText(2), QStringLiteral("Chnl2  9.75"));
        QCOMPARE(rig.statusText(0), QStringLiteral("Result  5.5"));
        rig.meter.setReg(QStringLiteral("2"), QString());
        rig.meter.setReg(QStringLiteral("3"), QString());
        rig.meter.setReg(QStringLiteral("5"), QStringLiteral("1.25"));
        const QList<Shown> seen = watchPolls(rig, 1);
        QCOMPARE(seen.size(), 1);
        // Blank replies leave the reply text as it was: the label and panel 0
        // show the last text taken in, the previous poll's channel 2 value.
        QCOMPARE(seen[0].text, QStringLiteral("9.75"));
        VTRY_COMPARE(rig, rig.statusText(2), QStringLiteral("Chnl2  1.25"));
        QCOMPARE(rig.statusText(0), QStringLiteral("Result  9.75"));
    }

    void pollsInOrderAndHeldDuringPageExchanges()
    {
        Rig rig;
        rig.detect();
        rig.meter.clearLog();
        rig.session->pollTimer().setInterval(60);
        rig.session->pollTimer().start();
        VTRY_VERIFY(rig, rig.meter.log().size() >= 4);
        // A page's burst of exchanges lasting several intervals: each
        // exchange stops the poll and each reply restarts its full interval.
        rig.session->runOperation([&]() {
            rig.meter.clearLog();
            const qint64 until = rig.clock.now() + 400;
            while (rig.clock.now() < until)
                rig.exchange().comms(QStringLiteral("SR153"));
        });
        const QStringList during = rig.meter.log();
        QVERIFY(during.size() > 5);
        QVERIFY2(during.count(QStringLiteral("SR153")) == during.size(), qPrintable(during.join(' ')));
        // The poll resumes afterwards, four reads in order.
        rig.meter.clearLog();
        VTRY_VERIFY(rig, rig.meter.log().size() >= 4);
        QCOMPARE(rig.meter.log().mid(0, 4), (QStringList{"SR2", "SR3", "SR4", "SR5"}));
        rig.session->pollTimer().stop();
    }

    void pollWaitsForTheEndOfDetection()
    {
        Rig rig;
        rig.session->pollTimer().setInterval(40);
        rig.detect();
        const QStringList atDetection = rig.commands();
        QVERIFY(!atDetection.contains(QStringLiteral("SR2")));
        QVERIFY(rig.session->pollTimer().isActive());
        VTRY_VERIFY(rig, rig.commands().contains(QStringLiteral("SR2")));
        rig.session->pollTimer().stop();
    }

    void samplingLimits_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("one up from 1000") << 1000 << 1 << 1050 << "1,050";
        QTest::newRow("one down from 1000") << 1000 << -1 << 950 << "950";
        QTest::newRow("up at 30000 stays") << 30000 << 1 << 30000 << "30,000";
        QTest::newRow("down at 500 stays") << 500 << -1 << 500 << "500";
        QTest::newRow("up near the top stops at it") << 29980 << 1 << 30000 << "30,000";
        QTest::newRow("down near the bottom stops at it") << 520 << -1 << 500 << "500";
    }
    void samplingLimits()
    {
        QFETCH(int, start);
        QFETCH(int, steps);
        QFETCH(int, position);
        QFETCH(QString, text);
        Rig rig;
        rig.window->show();
        QSpinBox *box = upDown(rig);
        box->setValue(start);
        box->setFocus();
        QTest::keyClick(box, steps > 0 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(box->value(), position);
        QCOMPARE(edit1(rig)->text(), text);
        QCOMPARE(rig.session->pollTimer().interval(), position);
    }

    void arrowButtonClickSteps()
    {
        Rig rig;
        rig.window->show();
        QSpinBox *box = upDown(rig);
        QStyleOptionSpinBox option;
        option.initFrom(box);
        option.subControls = QStyle::SC_SpinBoxUp;
        const QRect up = box->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, up.center());
        QCOMPARE(box->value(), 1050);
        QCOMPARE(rig.session->pollTimer().interval(), 1050);
    }

    void typedValueStartsTheNextStep_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("position");
        QTest::newRow("typed 1234, up") << "1234" << int(Qt::Key_Up) << 1284;
        QTest::newRow("typed 700, down") << "700" << int(Qt::Key_Down) << 650;
        QTest::newRow("typed 520, down stops at 500") << "520" << int(Qt::Key_Down) << 500;
        QTest::newRow("typed 100 below the range, up") << "100" << int(Qt::Key_Up) << 500;
    }
    void typedValueStartsTheNextStep()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, position);
        Rig rig;
        rig.window->show();
        QSpinBox *box = upDown(rig);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, typed);
        // Typing alone leaves the interval as it was.
        QCOMPARE(rig.session->pollTimer().interval(), 1000);
        QTest::keyClick(box, Qt::Key(key));
        QCOMPARE(box->value(), position);
        QCOMPARE(rig.session->pollTimer().interval(), position);
    }

    void typingThenLeavingKeepsTheInterval()
    {
        Rig rig;
        rig.window->show();
        QSpinBox *box = upDown(rig);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("2000"));
        QTest::keyClick(box, Qt::Key_Return);
        box->clearFocus();
        QCOMPARE(rig.session->pollTimer().interval(), 1000);
    }
};

QTEST_MAIN(LiveReadoutTest)
#include "tst_livereadout.moc"
