#include "rig.h"

#include "pages/codes/kfactorpanel.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The K-factor panel: its calculation, its limits and what it writes.
class KFactorTest : public QObject
{
    Q_OBJECT

private:
    // A detected meter and a shown panel on its own parent.
    struct Bench
    {
        Bench()
        {
            rig.detect();
            rig.meter.clearLog();
            panel = new KFactorPanel(rig.context(), &parent);
            parent.show();
            panel->show();
        }
        void enter(const QString &rate, const QString &time, const QString &unit, const QString &total)
        {
            panel->rateField()->setText(rate);
            panel->timeField()->setText(time);
            panel->unitBox()->setEditText(unit);
            panel->totalField()->setText(total);
        }
        void calculate() { QTest::mouseClick(panel->calculateButton(), Qt::LeftButton); }
        void send() { QTest::mouseClick(panel->sendButton(), Qt::LeftButton); }

        Rig rig;
        QWidget parent;
        KFactorPanel *panel = nullptr;
    };

private slots:
    void creation()
    {
        Rig rig;
        QWidget parent;
        KFactorPanel panel(rig.context(), &parent);
        QCOMPARE(panel.objectName(), QStringLiteral("Panel7"));
        QVERIFY(panel.isHidden());
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("Label115"))->text(), QStringLiteral("K Factor High Byte"));
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("Label116"))->text(), QStringLiteral("K Factor Low Byte"));
        QCOMPARE(panel.rateField()->text(), QStringLiteral("100"));
        QCOMPARE(panel.timeField()->text(), QStringLiteral("3600"));
        QCOMPARE(panel.totalField()->text(), QStringLiteral("10"));
        QCOMPARE(panel.unitBox()->currentText(), QStringLiteral("Seconds"));
        QCOMPARE(panel.unitBox()->count(), 4);
        QCOMPARE(panel.unitBox()->itemText(3), QStringLiteral("Days"));
        QVERIFY(!panel.sendButton()->isEnabled());
        QCOMPARE(panel.sendButton()->text(), QStringLiteral("Send Values to Meter"));
        QCOMPARE(panel.calculateButton()->text(), QStringLiteral("Calculate K Factor"));
        QCOMPARE(panel.totalField()->accessibleName(), QStringLiteral("Totaliser value"));
    }

    void defaultsCalculateAndSend()
    {
        Bench b;
        QSignalSpy sent(b.panel, &KFactorPanel::kFactorSent);
        b.calculate();
        QCOMPARE(b.panel->highLabel()->text(), QStringLiteral("6"));
        QCOMPARE(b.panel->lowLabel()->text(), QStringLiteral("30000"));
        QVERIFY(b.panel->sendButton()->isEnabled());
        QVERIFY(b.rig.commands().isEmpty());

        b.send();
        QCOMPARE(b.rig.commands(), (QStringList{"SW152,6", "SW38,30000"}));
        QVERIFY(b.panel->isHidden());
        QCOMPARE(sent.count(), 1);
        QCOMPARE(b.rig.meter.reg(QStringLiteral("152")), QStringLiteral("6"));
    }

    void calculate_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        const QString tooLarge = QStringLiteral("Value to large");
        const QString noPair = QStringLiteral("No K Factor pair fits");
        // N = time x factor x rate / total; factor 5 per second.
        QTest::newRow("defaults") << "100"
                                  << "3600"
                                  << "Seconds"
                                  << "10"
                                  << "6"
                                  << "30000";
        QTest::newRow("one day") << "100"
                                 << "1"
                                 << "Days"
                                 << "1" << tooLarge << "";
        QTest::newRow("hours") << "100"
                               << "1"
                               << "Hours"
                               << "10"
                               << "6"
                               << "30000";
        QTest::newRow("unknown unit counts as seconds") << "100"
                                                        << "3600"
                                                        << "Weeks"
                                                        << "10"
                                                        << "6"
                                                        << "30000";
        QTest::newRow("255 x 32767") << "8355585"
                                     << "1"
                                     << "Seconds"
                                     << "5" << tooLarge << "";
        QTest::newRow("limit has no pair") << "8355584"
                                           << "1"
                                           << "Seconds"
                                           << "5" << noPair << "";
        QTest::newRow("8355330") << "8355330"
                                 << "1"
                                 << "Seconds"
                                 << "5"
                                 << "255"
                                 << "32766";
        QTest::newRow("32767") << "32767"
                               << "1"
                               << "Seconds"
                               << "5"
                               << "1"
                               << "32767";
        QTest::newRow("32768") << "32768"
                               << "1"
                               << "Seconds"
                               << "5"
                               << "2"
                               << "16384";
        QTest::newRow("prime above 32767") << "32771"
                                           << "1"
                                           << "Seconds"
                                           << "5" << noPair << "";
        QTest::newRow("zero rate") << "0"
                                   << "3600"
                                   << "Seconds"
                                   << "10"
                                   << "1"
                                   << "0";
        QTest::newRow("division truncates") << "7"
                                            << "1"
                                            << "Seconds"
                                            << "2"
                                            << "1"
                                            << "17";
        // 3600 x 18000 x 100000 is beyond 32 bits; wrapped it would give 3189.
        QTest::newRow("product beyond 32 bits") << "100000"
                                                << "3600"
                                                << "Hours"
                                                << "1000000"
                                                << "200"
                                                << "32400";
        // 65536 x 300 x 16384 is 75 x 2^32: wrapped to 32 bits it is 0.
        QTest::newRow("product wraps to 0 in 32 bits") << "16384"
                                                       << "65536"
                                                       << "Minutes"
                                                       << "1" << tooLarge << "";
        QTest::newRow("product beyond 64 bits") << "2147483647"
                                                << "2147483647"
                                                << "Days"
                                                << "2147483647" << tooLarge << "";
        QTest::newRow("negative rate") << "-100"
                                       << "3600"
                                       << "Seconds"
                                       << "10" << tooLarge << "";
        QTest::newRow("negative rate and total") << "-100"
                                                 << "3600"
                                                 << "Seconds"
                                                 << "-10"
                                                 << "6"
                                                 << "30000";
    }
    void calculate()
    {
        QFETCH(QString, rate);
        QFETCH(QString, time);
        QFETCH(QString, unit);
        QFETCH(QString, total);
        QFETCH(QString, high);
        QFETCH(QString, low);
        Bench b;
        b.enter(rate, time, unit, total);
        b.calculate();
        QCOMPARE(b.panel->highLabel()->text(), high);
        QCOMPARE(b.panel->lowLabel()->text(), low);
        const bool found = high.toInt() > 0;
        QCOMPARE(b.panel->sendButton()->isEnabled(), found);
        QCOMPARE(b.rig.prompts.count(QStringLiteral("error")), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        if (found) {
            b.send();
            QCOMPARE(b.rig.commands(), (QStringList{"SW152," + high, "SW38," + low}));
        }
    }

    void failedCalculationDisablesSend()
    {
        Bench b;
        b.calculate();
        QVERIFY(b.panel->sendButton()->isEnabled());
        b.enter(QStringLiteral("100"), QStringLiteral("1"), QStringLiteral("Days"), QStringLiteral("1"));
        b.calculate();
        QVERIFY(!b.panel->sendButton()->isEnabled());
        b.panel->sendKFactor();
        QVERIFY(b.rig.commands().isEmpty());
    }

    void badEntry_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("rate") << 0 << "12x"
                              << "'12x' is not a valid integer value";
        QTest::newRow("time decimal") << 1 << "1.5"
                                      << "'1.5' is not a valid integer value";
        QTest::newRow("total empty") << 2 << ""
                                     << "'' is not a valid integer value";
        QTest::newRow("total zero") << 2 << "0"
                                    << "Division by zero";
    }
    void badEntry()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Bench b;
        b.calculate();
        const QList<QLineEdit *> fields{b.panel->rateField(), b.panel->timeField(), b.panel->totalField()};
        fields[field]->setText(text);
        b.calculate();
        QCOMPARE(b.rig.prompts.texts(QStringLiteral("error")), QStringList{message});
        // The panel keeps the previous result.
        QCOMPARE(b.panel->highLabel()->text(), QStringLiteral("6"));
        QCOMPARE(b.panel->lowLabel()->text(), QStringLiteral("30000"));
        QVERIFY(b.panel->sendButton()->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void reopenThenSendWritesNumbers()
    {
        Bench b;
        b.calculate();
        b.panel->hide();
        b.rig.meter.setReg(QStringLiteral("38"), QStringLiteral("123"));
        b.rig.meter.setReg(QStringLiteral("152"), QStringLiteral("7"));
        b.panel->openFromMeter();
        QCOMPARE(b.rig.commands(), (QStringList{"SR38", "SR152"}));
        QVERIFY(b.panel->isVisible());
        QCOMPARE(b.panel->highLabel()->text(), QStringLiteral("K Factor High Byte  123"));
        QCOMPARE(b.panel->lowLabel()->text(), QStringLiteral("K Factor Low Byte  7"));
        QVERIFY(b.panel->sendButton()->isEnabled());

        b.rig.meter.clearLog();
        b.send();
        QCOMPARE(b.rig.commands(), (QStringList{"SW152,6", "SW38,30000"}));
    }
};

QTEST_MAIN(KFactorTest)
#include "tst_kfactor.moc"
