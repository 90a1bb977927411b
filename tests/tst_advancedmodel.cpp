#include "modelrig.h"

#include "link/replyframer.h"
#include "pages/advanced/advancedmodel.h"
#include "pages/summary/meterclockmodel.h"

#include <QTest>

// The Advanced Functions model against the in-process meter, without a
// window: the lockout masks, the display texts, the print string and the
// meter clock, what each reads and writes, and what it then holds.
class AdvancedModelTest : public QObject
{
    Q_OBJECT

private:
    // Detection on a meter of `model` with masks 705 to 707, the log empty.
    static AdvancedModel *detected(ModelRig &rig, const QString &model = QStringLiteral("KM5B"),
                                   const QStringList &masks = {})
    {
        for (int i = 0; i < masks.size(); ++i)
            rig.meter.setReg(QString::number(705 + i), masks[i]);
        rig.meter.setModel(model);
        rig.detect();
        rig.meter.clearLog();
        return rig.model<AdvancedModel>(PageId::Advanced);
    }
    // Detected, then the page entered; its reads are left out of the log.
    static AdvancedModel *entered(ModelRig &rig, const QString &model = QStringLiteral("KM5B"),
                                  const QStringList &masks = {})
    {
        AdvancedModel *advanced = detected(rig, model, masks);
        rig.run([&]() { advanced->enter(); });
        rig.meter.clearLog();
        return advanced;
    }
    static int bits(const AdvancedModel *advanced, int mask)
    {
        int bits = 0;
        for (int bit = 0; bit < AdvancedModel::Bits; ++bit)
            bits |= advanced->isChecked(mask, bit) ? 1 << bit : 0;
        return bits;
    }

private slots:
    // --- Entry

    void entryReadsMasksThenTexts()
    {
        ModelRig rig;
        // The meter's masks differ from the creation defaults; nothing is written.
        AdvancedModel *advanced = detected(rig, QStringLiteral("KM5B"), {"0"});
        QStringList reads{"SR705", "SR706", "SR707"};
        for (const char letter : QByteArray("HIJKTUVWRSLMNOPQX"))
            reads << QStringLiteral("SR") + QLatin1Char(letter);
        rig.run([&]() { advanced->enter(); });
        QCOMPARE(rig.commands(), reads);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
        QCOMPARE(bits(advanced, AdvancedModel::PageMask), 0);
        // Entering again reads everything again.
        rig.meter.clearLog();
        rig.run([&]() { advanced->enter(); });
        QCOMPARE(rig.commands(), reads);
    }

    void entryEndsWithTheFramerArmed()
    {
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("X"), QStringLiteral("Batch"));
        AdvancedModel *advanced = detected(rig);
        // As if the framer timed out once the last reply of the entry was in.
        QObject context;
        QObject::connect(&rig.exchange(), &CommandExchange::replyTaken, &context, [&](const QString &text) {
            if (text == QLatin1String("Batch"))
                rig.clock.singleShot(0, &context, [&rig]() { rig.session->framer().disable(); });
        });
        rig.run([&]() { advanced->enter(); });
        QVERIFY(rig.session->framer().isArmed());
    }

    // --- Lockout writes

    // The read-back sets the boxes and writes nothing; one change then
    // writes the whole mask, the sum of its checked boxes.
    void boxWritesItsMask_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("masks"); // replies to SR705, SR706, SR707
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("read"); // the mask's bits once read
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("write");
        const QStringList zero{"0", "0", "0"};
        QTest::newRow("uncheck allow changes of setpoint 3")
            << "KM5B" << QStringList{"0", "8191"} << 1 << 8191 << 3 << "SW706,8183";
        QTest::newRow("Calibration after 0, Code 10 row hidden") << "KM5" << zero << 0 << 0 << 3 << "SW705,8";
        QTest::newRow("Code 10 on a bargraph model")
            << "KM5B" << QStringList{"8188"} << 0 << 8188 << 13 << "SW705,16380";
        QTest::newRow("Code 10 on an extra-display model")
            << "KM53" << QStringList{"8188"} << 0 << 8188 << 13 << "SW705,16380";
        QTest::newRow("unchecking Peak after -1")
            << "KM5B" << QStringList{"0", "0", "-1"} << 2 << 0xFFFF << 11 << "SW707,-2049";
        QTest::newRow("unchecking Peak after 65535")
            << "KM5B" << QStringList{"0", "0", "65535"} << 2 << 0xFFFF << 11 << "SW707,-2049";
        QTest::newRow("Valley over the kept bit 7")
            << "KM5B" << QStringList{"0", "0", "128"} << 2 << 0x80 << 3 << "SW707,136";
        QTest::newRow("setpoint 6 visible") << "KM5B" << zero << 2 << 0 << 10 << "SW707,1024";
        QTest::newRow("lock message of the setpoints after 8")
            << "KM5B" << QStringList{"0", "8"} << 1 << 8 << 0 << "SW706,9";
        QTest::newRow("control visible of setpoint 6") << "KM5B" << zero << 1 << 0 << 12 << "SW706,4096";
        QTest::newRow("65535 in 705") << "KM5B" << QStringList{"65535"} << 0 << 0x3FFC << 3 << "SW705,16372";
        QTest::newRow("-1 in 706") << "KM5B" << QStringList{"0", "-1"} << 1 << 0x1FFF << 3 << "SW706,8183";
        QTest::newRow("a kept bit does not change") << "KM5B" << zero << 2 << 0 << 7 << "";
    }
    void boxWritesItsMask()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, masks);
        QFETCH(int, mask);
        QFETCH(int, read);
        QFETCH(int, bit);
        QFETCH(QString, write);
        ModelRig rig;
        AdvancedModel *advanced = detected(rig, model, masks);
        rig.run([&]() { advanced->enter(); });
        QCOMPARE(bits(advanced, mask), read);
        QCOMPARE(rig.commands().filter(QRegularExpression(QStringLiteral("^SW"))), QStringList{});
        rig.meter.clearLog();
        const bool before = advanced->isChecked(mask, bit);
        rig.run([&]() { advanced->setChecked(mask, bit, !before); });
        QCOMPARE(advanced->isChecked(mask, bit), write.isEmpty() ? before : !before);
        QCOMPARE(rig.commands(), write.isEmpty() ? QStringList{} : QStringList{write});
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    // Nothing is written that was not read since the page was entered.
    void unreadIsNotWritten_data()
    {
        QTest::addColumn<QString>("badReg");
        QTest::addColumn<QList<bool>>("read"); // 705, 706, 707, the texts, the print string
        QTest::newRow("never entered") << "" << QList<bool>{false, false, false, false, false};
        QTest::newRow("706 is no number") << "706" << QList<bool>{true, false, false, false, false};
        QTest::newRow("707 is no number") << "707" << QList<bool>{true, true, false, false, false};
        QTest::newRow("all read") << "-" << QList<bool>{true, true, true, true, true};
    }
    void unreadIsNotWritten()
    {
        QFETCH(QString, badReg);
        QFETCH(QList<bool>, read);
        ModelRig rig;
        if (badReg.size() == 3)
            rig.meter.setReg(badReg, QStringLiteral("x1"));
        AdvancedModel *advanced = detected(rig);
        if (!badReg.isEmpty())
            rig.run([&]() { advanced->enter(); });
        if (badReg.size() == 3)
            QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'x1' is not a valid integer value"});
        for (int mask = 0; mask < AdvancedModel::Masks; ++mask)
            QCOMPARE(advanced->isMaskRead(mask), read[mask]);
        QCOMPARE(advanced->isDisplayTextRead(0), read[3]);
        QCOMPARE(advanced->isDisplayTextRead(AdvancedModel::Texts - 1), read[3]);
        QCOMPARE(advanced->isPrintStringRead(), read[4]);
        rig.meter.clearLog();
        for (int mask = 0; mask < AdvancedModel::Masks; ++mask) {
            if (!read[mask])
                rig.run([&]() { advanced->setChecked(mask, 3, !advanced->isChecked(mask, 3)); });
        }
        QCOMPARE(rig.commands(), QStringList{});
    }

    void quickChangesLeaveTheMeterWithTheMaskShown()
    {
        ModelRig rig;
        AdvancedModel *advanced = entered(rig, QStringLiteral("KM5B"), {"0", "0"});
        rig.meter.setAnswerDelay(60);
        // Two more changes while the first write waits for its reply.
        QObject context;
        rig.clock.singleShot(10, &context, [&]() { rig.run([&]() { advanced->setChecked(1, 2, true); }); });
        rig.clock.singleShot(20, &context, [&]() { rig.run([&]() { advanced->setChecked(1, 1, false); }); });
        rig.run([&]() { advanced->setChecked(1, 1, true); });
        VTRY_COMPARE(rig, rig.commands().size(), 3);
        QCOMPARE(rig.commands().first(), QStringLiteral("SW706,2"));
        QCOMPARE(rig.meter.reg(QStringLiteral("706")), QStringLiteral("4"));
    }

    // --- Display texts and the print string

    void textReadBack_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("width 6") << "KM6B" << QString("Pk") << "    Pk";
        QTest::newRow("width 5") << "KM5B" << QString("Pk") << "   Pk";
        QTest::newRow("leading blanks dropped, then aligned") << "KM5B" << QString("  Pk") << "   Pk";
        QTest::newRow("exactly 5") << "KM5B" << QString("PEAK1") << "PEAK1";
        QTest::newRow("longer, whole") << "KM5B" << QString("PEAKS!") << "PEAKS!";
    }
    void textReadBack()
    {
        QFETCH(QString, model);
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("H"), reply);
        rig.meter.setReg(QStringLiteral("X"), QStringLiteral("Batch"));
        AdvancedModel *advanced = entered(rig, model);
        QCOMPARE(advanced->displayText(0), shown);
        QCOMPARE(advanced->printString(), QStringLiteral("Batch"));
        // What was read is no edit: leaving sends nothing.
        rig.run([&]() {
            advanced->leaveDisplayText(0);
            advanced->leavePrintString();
        });
        QCOMPARE(rig.commands(), QStringList{});
    }

    void displayText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("write");
        QTest::newRow("Hi in Peak") << 0 << QString("Hi") << "SWH,Hi    ";
        QTest::newRow("Channel1 cut to six") << 4 << QString("Channel1") << "SWT,Channe";
        QTest::newRow("Under range writes S") << 9 << QString("Lo") << "SWS,Lo    ";
        QTest::newRow("setpoint 6 writes Q") << 15 << QString("Pump") << "SWQ,Pump  ";
        QTest::newRow("emptied") << 1 << QString() << "SWI,      ";
    }
    void displayText()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, write);
        ModelRig rig;
        AdvancedModel *advanced = entered(rig);
        rig.run([&]() {
            advanced->editDisplayText(index, typed);
            advanced->leaveDisplayText(index);
        });
        QCOMPARE(rig.commands(), QStringList{write});
        QCOMPARE(advanced->displayText(index), write.mid(4));
        // Leaving again without an edit sends nothing.
        rig.run([&]() { advanced->leaveDisplayText(index); });
        QCOMPARE(rig.commands(), QStringList{write});
    }

    void printString_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("write");
        QTest::newRow("left without an edit") << "Batch" << false << QString() << QString();
        QTest::newRow("edited") << "Batch" << true << QString("Lot 7") << "SWX,Lot 7";
        QTest::newRow("line break as CR LF") << "" << true << QString("a\nb") << "SWX,a\r\nb";
        QTest::newRow("emptied") << "Batch" << true << QString() << "SWX,";
    }
    void printString()
    {
        QFETCH(QString, stored);
        QFETCH(bool, edited);
        QFETCH(QString, text);
        QFETCH(QString, write);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("X"), stored);
        AdvancedModel *advanced = entered(rig);
        rig.run([&]() {
            if (edited)
                advanced->editPrintString(text);
            advanced->leavePrintString();
            // Sent once per edit.
            advanced->leavePrintString();
        });
        QCOMPARE(rig.commands().join(QString()), write);
        QCOMPARE(rig.meter.reg(QStringLiteral("X")), write.isEmpty() ? stored : write.mid(4));
    }

    // --- Setting registers

    // What a setup may write to each register, and how it is sent.
    void settings_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("sent"); // empty when refused
        QTest::newRow("705 with the Code 10 row") << "KM5B" << QString("705") << "16380" << QString("16380");
        QTest::newRow("705 on extra displays") << "KM3" << QString("705") << "16380" << QString("16380");
        QTest::newRow("705 without the Code 10 row") << "KM5" << QString("705") << "16380" << QString();
        QTest::newRow("705 without the row, at most") << "KM5" << QString("705") << "8188" << QString("8188");
        QTest::newRow("706 above its boxes") << "KM5" << QString("706") << "8192" << QString();
        QTest::newRow("707 every bit, signed") << "KM5" << QString("707") << "65535" << QString("-1");
        QTest::newRow("707 as a negative reply") << "KM5" << QString("707") << "-1" << QString("-1");
        QTest::newRow("707 above 16 bits") << "KM5" << QString("707") << "65536" << QString();
        QTest::newRow("display text padded to six") << "KM5" << QString("J") << "Hi" << QString("Hi    ");
        QTest::newRow("display text of seven") << "KM6" << QString("J") << "Totals!" << QString();
        QTest::newRow("display text with a star") << "KM5" << QString("Q") << "P*" << QString();
        QTest::newRow("print string of 30") << "KM5" << QString("X") << QString(30, 'p') << QString(30, 'p');
        QTest::newRow("print string of 31") << "KM5" << QString("X") << QString(31, 'p') << QString();
    }
    void settings()
    {
        QFETCH(QString, model);
        QFETCH(QString, reg);
        QFETCH(QString, value);
        QFETCH(QString, sent);
        ModelRig rig;
        detected(rig, model);
        QList<SettingRegister> present;
        for (const SettingRegister &setting : rig.setup->settingRegisters()) {
            if (setting.reg == reg && setting.presentOn(rig.session->identity()))
                present << setting;
        }
        QCOMPARE(present.size(), 1);
        QCOMPARE(present.first().page, PageId::Advanced);
        QCOMPARE(present.first().refusal(value).has_value(), sent.isEmpty());
        if (!sent.isEmpty())
            QCOMPARE(present.first().sent(value), sent);
    }

    // A setup written behind the page: a later box change builds on what
    // the meter holds then.
    void refreshReadsAgain_data()
    {
        QTest::addColumn<bool>("entered");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("entered") << true << QStringList{"SW706,5"};
        QTest::newRow("never entered") << false << QStringList{};
    }
    void refreshReadsAgain()
    {
        QFETCH(bool, entered);
        QFETCH(QStringList, writes);
        ModelRig rig;
        AdvancedModel *advanced = entered ? AdvancedModelTest::entered(rig) : detected(rig);
        rig.meter.setReg(QStringLiteral("706"), QStringLiteral("1"));
        rig.run([&]() { rig.setup->refreshPages({PageId::Advanced}); });
        QCOMPARE(rig.commands().size(), entered ? 20 : 0);
        rig.meter.clearLog();
        rig.run([&]() { advanced->setChecked(1, 2, true); });
        QCOMPARE(rig.commands(), writes);
    }

    // --- The meter clock

    void setMeterTime_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("29 February 2004, a Sunday")
            << QDate(2004, 2, 29) << QTime(13, 5, 9)
            << QStringList{"SW213,9", "SW214,5", "SW215,13", "SW216,1", "SW217,29", "SW218,2", "SW219,4"};
        QTest::newRow("the values at start, a Saturday")
            << QDate() << QTime()
            << QStringList{"SW213,0", "SW214,0", "SW215,12", "SW216,7", "SW217,1", "SW218,1", "SW219,0"};
    }
    void setMeterTime()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QStringList, writes);
        ModelRig rig;
        MeterClockModel &clock = detected(rig)->clock();
        if (date.isValid()) {
            clock.setDate(date);
            clock.setTime(time);
        }
        rig.run([&]() { clock.setMeterTime(); });
        QCOMPARE(rig.commands(), writes);
    }

    void readMeterTime_data()
    {
        QTest::addColumn<QStringList>("replies"); // 218, 217, 219, 213, 214, 215
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("error");
        const int century = QDate::currentDate().year() / 100 * 100;
        QTest::newRow("12/31/99") << QStringList{"12", "31", "99", "5", "4", "3"} << QDate(century + 99, 12, 31)
                                  << QTime(3, 4, 5) << "";
        QTest::newRow("midnight") << QStringList{"2", "29", "4", "0", "0", "0"} << QDate(century + 4, 2, 29)
                                  << QTime(0, 0, 0) << "";
        QTest::newRow("month 13") << QStringList{"13", "1", "4", "0", "0", "0"} << QDate(2000, 1, 1) << QTime(12, 0, 0)
                                  << "'13/1/4' is not a valid date";
        QTest::newRow("30 February") << QStringList{"2", "30", "4", "0", "0", "0"} << QDate(2000, 1, 1)
                                     << QTime(12, 0, 0) << "'2/30/4' is not a valid date";
        QTest::newRow("hour 25") << QStringList{"1", "2", "3", "0", "0", "25"} << QDate(century + 3, 1, 2)
                                 << QTime(12, 0, 0) << "'25:0:0' is not a valid time";
    }
    void readMeterTime()
    {
        QFETCH(QStringList, replies);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, error);
        ModelRig rig;
        const char *const regs[] = {"218", "217", "219", "213", "214", "215"};
        for (int i = 0; i < 6; ++i)
            rig.meter.setReg(QString::fromLatin1(regs[i]), replies[i]);
        MeterClockModel &clock = detected(rig)->clock();
        rig.run([&]() { clock.readMeterTime(); });
        QCOMPARE(clock.date(), date);
        QCOMPARE(clock.time(), time);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), error.isEmpty() ? QStringList{} : QStringList{error});
        // A date that is no date ends the read before the time is read.
        QStringList reads{"SR218", "SR217", "SR219"};
        if (!error.endsWith(QLatin1String("date")))
            reads << QStringList{"SR213", "SR214", "SR215"};
        QCOMPARE(rig.commands(), reads);
    }

    void computerTimeSetsTheMeterToTheSecond()
    {
        ModelRig rig;
        MeterClockModel &clock = detected(rig)->clock();
        const QDateTime before = QDateTime::currentDateTime();
        rig.run([&]() {
            clock.showComputerTime();
            clock.setMeterTime();
        });
        QCOMPARE(rig.commands().size(), 7);
        const int century = before.date().year() / 100 * 100;
        const QDateTime meter(
            QDate(century + rig.meter.reg("219").toInt(), rig.meter.reg("218").toInt(), rig.meter.reg("217").toInt()),
            QTime(rig.meter.reg("215").toInt(), rig.meter.reg("214").toInt(), rig.meter.reg("213").toInt()));
        QVERIFY(meter >= before.addMSecs(-before.time().msec()));
        QVERIFY(meter <= QDateTime::currentDateTime());
        QCOMPARE(rig.meter.reg("216").toInt(), before.date().dayOfWeek() % 7 + 1);
    }
};

QTEST_GUILESS_MAIN(AdvancedModelTest)
#include "tst_advancedmodel.moc"
