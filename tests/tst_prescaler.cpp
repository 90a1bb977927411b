#include "rig.h"

#include "pages/codes/prescalerpanel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using Channel = PrescalerPanel::Channel;
Q_DECLARE_METATYPE(PrescalerPanel::Channel)

// The two prescaler panels: normalising the field, the up-down, reading
// and writing registers 97 and 98.
class PrescalerTest : public QObject
{
    Q_OBJECT

private:
    struct Bench
    {
        explicit Bench(Channel channel, bool detect = true)
        {
            if (detect)
                rig.detect();
            rig.meter.clearLog();
            panel = new PrescalerPanel(rig.context(), channel, &parent);
            parent.show();
        }
        // Runs a handler as a click would, under the window's guard.
        void run(const std::function<void()> &handler) { rig.session->runHandler(handler); }
        void send() { QTest::mouseClick(panel->sendButton(), Qt::LeftButton); }

        Rig rig;
        QWidget parent;
        PrescalerPanel *panel = nullptr;
    };

private slots:
    void creation_data()
    {
        QTest::addColumn<Channel>("channel");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("upDown");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("hasDebounce");
        QTest::newRow("counter") << Channel::Counter << "Panel10"
                                 << "UpDown4"
                                 << "Button18" << true;
        QTest::newRow("second input") << Channel::SecondInput << "Panel13"
                                      << "UpDown2"
                                      << "Button19" << false;
    }
    void creation()
    {
        QFETCH(Channel, channel);
        QFETCH(QString, name);
        QFETCH(QString, upDown);
        QFETCH(QString, button);
        QFETCH(bool, hasDebounce);
        Bench b(channel, false);
        QCOMPARE(b.panel->objectName(), name);
        QVERIFY(b.panel->isHidden());
        QCOMPARE(b.panel->upDown()->objectName(), upDown);
        QCOMPARE(b.panel->sendButton()->objectName(), button);
        QCOMPARE(b.panel->sendButton()->text(), QStringLiteral("Send Values to Meter"));
        QCOMPARE(b.panel->field()->text(), QStringLiteral("1"));
        QCOMPARE(b.panel->field()->accessibleName(), QStringLiteral("Counter prescaler"));
        QCOMPARE(b.panel->upDown()->minimum(), 1);
        QCOMPARE(b.panel->upDown()->maximum(), 32767);
        QVERIFY(!b.panel->upDown()->wrapping());
        QVERIFY(!b.panel->upDown()->isGroupSeparatorShown());
        QCOMPARE(bool(b.panel->debounce()), hasDebounce);
        if (hasDebounce) {
            QCOMPARE(b.panel->debounce()->objectName(), QStringLiteral("CheckBox1"));
            QCOMPARE(b.panel->debounce()->text(), QStringLiteral("De-bounce"));
        }
    }

    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << "0"
                           << "1";
        QTest::newRow("40000") << "40000"
                               << "32767";
        QTest::newRow("minus") << "-"
                               << "1";
        QTest::newRow("250") << "250"
                             << "250";
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Bench b(Channel::Counter, false);
        b.panel->show();
        b.panel->field()->selectAll();
        QTest::keyClicks(b.panel->field(), typed);
        QCOMPARE(b.panel->field()->text(), shown);
        QCOMPARE(b.panel->upDown()->value(), shown.toInt());
        QCOMPARE(b.rig.prompts.count(QStringLiteral("error")), 0);
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("half rounds up") << "2.5"
                                        << "3";
        QTest::newRow("below half") << "12.49"
                                    << "12";
        QTest::newRow("negative") << "-5"
                                  << "1";
        QTest::newRow("exponent") << "1.5E3"
                                  << "1500";
        QTest::newRow("blanks") << " 7 "
                                << "7";
        QTest::newRow("just above the top") << "32767.4"
                                            << "32767";
        QTest::newRow("point at the end") << "12."
                                          << "12";
        QTest::newRow("point at the start") << ".6"
                                            << "1";
    }
    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        Bench b(Channel::SecondInput, false);
        b.panel->field()->setText(text);
        QCOMPARE(b.panel->field()->text(), shown);
        QCOMPARE(b.panel->upDown()->value(), shown.toInt());
    }

    void notANumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "abc";
        QTest::newRow("two points") << "1.2.3";
        QTest::newRow("exponent without digits") << "1E";
    }
    void notANumber()
    {
        QFETCH(QString, text);
        Bench b(Channel::Counter, false);
        b.panel->field()->setText(QStringLiteral("40"));
        b.panel->field()->setText(text);
        QCOMPARE(b.rig.prompts.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("'%1' is not a valid floating point value").arg(text)});
        QCOMPARE(b.panel->field()->text(), text);
        QCOMPARE(b.panel->upDown()->value(), 40);
    }

    void upDownSteps()
    {
        Bench b(Channel::Counter, false);
        b.panel->show();
        b.panel->field()->setText(QStringLiteral("50"));
        b.panel->upDown()->setFocus();
        QTest::keyClick(b.panel->upDown(), Qt::Key_Up);
        QCOMPARE(b.panel->field()->text(), QStringLiteral("51"));
        // Typing into the up-down itself changes nothing.
        QTest::keyClicks(b.panel->upDown(), QStringLiteral("9"));
        QCOMPARE(b.panel->field()->text(), QStringLiteral("51"));
        b.panel->field()->setText(QStringLiteral("32767"));
        QTest::keyClick(b.panel->upDown(), Qt::Key_Up);
        QCOMPARE(b.panel->field()->text(), QStringLiteral("32767"));
        b.panel->field()->setText(QStringLiteral("1"));
        QTest::keyClick(b.panel->upDown(), Qt::Key_Down);
        QCOMPARE(b.panel->field()->text(), QStringLiteral("1"));
    }

    void openCounter_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("debounce");
        QTest::addColumn<QString>("shown");
        QTest::newRow("32773") << "32773" << true << "5";
        QTest::newRow("32778") << "32778" << true << "10";
        QTest::newRow("no de-bounce") << "10" << false << "10";
        QTest::newRow("signed reply") << "-32758" << true << "10";
        QTest::newRow("zero prescaler") << "32768" << true << "1";
    }
    void openCounter()
    {
        QFETCH(QString, reply);
        QFETCH(bool, debounce);
        QFETCH(QString, shown);
        Bench b(Channel::Counter);
        b.rig.meter.setReg(QStringLiteral("97"), reply);
        b.panel->debounce()->setChecked(!debounce);
        b.run([&b]() { b.panel->openFromMeter(); });
        QCOMPARE(b.rig.commands(), QStringList{"SR97"});
        QVERIFY(b.panel->isVisible());
        QCOMPARE(b.panel->debounce()->isChecked(), debounce);
        QCOMPARE(b.panel->field()->text(), shown);
        QCOMPARE(b.panel->upDown()->value(), shown.toInt());
    }

    void openSecondInput()
    {
        Bench b(Channel::SecondInput);
        b.rig.meter.setReg(QStringLiteral("98"), QStringLiteral("250"));
        b.run([&b]() { b.panel->openFromMeter(); });
        QCOMPARE(b.rig.commands(), QStringList{"SR98"});
        QVERIFY(b.panel->isVisible());
        QCOMPARE(b.panel->field()->text(), QStringLiteral("250"));
    }

    void openWithBadReply()
    {
        Bench b(Channel::Counter);
        b.panel->field()->setText(QStringLiteral("7"));
        b.rig.meter.setReg(QStringLiteral("97"), QStringLiteral("1.5x"));
        b.run([&b]() { b.panel->openFromMeter(); });
        QCOMPARE(b.rig.prompts.texts(QStringLiteral("error")), QStringList{"'15x' is not a valid integer value"});
        QVERIFY(b.panel->isVisible());
        QCOMPARE(b.panel->field()->text(), QStringLiteral("7"));
    }

    void sendCounter_data()
    {
        QTest::addColumn<QString>("prescaler");
        QTest::addColumn<bool>("debounce");
        QTest::addColumn<QString>("command");
        QTest::newRow("10") << "10" << false << "SW97,10";
        QTest::newRow("10 de-bounce") << "10" << true << "SW97,-32758";
        QTest::newRow("1 de-bounce") << "1" << true << "SW97,-32767";
        QTest::newRow("32767") << "32767" << false << "SW97,32767";
        QTest::newRow("32767 de-bounce") << "32767" << true << "SW97,-1";
    }
    void sendCounter()
    {
        QFETCH(QString, prescaler);
        QFETCH(bool, debounce);
        QFETCH(QString, command);
        Bench b(Channel::Counter);
        b.panel->show();
        b.panel->field()->setText(prescaler);
        b.panel->debounce()->setChecked(debounce);
        int sentBeforeClosing = -1;
        connect(b.panel, &PrescalerPanel::closing, this, [&b, &sentBeforeClosing]() {
            QVERIFY(b.panel->isHidden());
            sentBeforeClosing = int(b.rig.commands().size());
        });
        b.send();
        QCOMPARE(sentBeforeClosing, 0);
        QCOMPARE(b.rig.commands(), QStringList{command});
        QVERIFY(b.panel->isHidden());
    }

    void sendSecondInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("250") << "250" << QStringList{"SW98,250"} << QStringList{};
        QTest::newRow("emptied") << "" << QStringList{} << QStringList{"'' is not a valid integer value"};
        QTest::newRow("not a number") << "2x" << QStringList{} << QStringList{"'2x' is not a valid integer value"};
    }
    void sendSecondInput()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, commands);
        QFETCH(QStringList, errors);
        Bench b(Channel::SecondInput);
        b.panel->show();
        b.panel->field()->setText(text);
        b.rig.prompts.asked.clear();
        QSignalSpy closing(b.panel, &PrescalerPanel::closing);
        b.send();
        QCOMPARE(b.rig.commands(), commands);
        QCOMPARE(closing.count(), 1);
        QVERIFY(b.panel->isHidden());
        QCOMPARE(b.rig.prompts.texts(QStringLiteral("error")), errors);
    }
};

QTEST_MAIN(PrescalerTest)
#include "tst_prescaler.moc"
