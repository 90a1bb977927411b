#include "modelrig.h"

#include "pages/summary/summarymodel.h"
#include "pages/values/scaleoffsetmodel.h"

#include <QTest>

Q_DECLARE_METATYPE(SummaryCell)

// The Scale & Offset and Summary models against the in-process meter,
// without a window: detection's read-back, what leaving a field writes, and
// the Summary's fill.
class ValueModelsTest : public QObject
{
    Q_OBJECT

private:
    static ScaleOffsetModel *scaleOffset(ModelRig &rig) { return rig.model<ScaleOffsetModel>(PageId::ScaleOffset); }
    // Types `text` into the field of `reg` and leaves it, which the field
    // was entered holding what it shows now.
    static void typeAndLeave(ModelRig &rig, int reg, const QString &text)
    {
        ScaleOffsetModel *model = scaleOffset(rig);
        const QString entryText = model->text(reg - 24);
        model->setText(reg - 24, text);
        rig.meter.clearLog();
        rig.run([&]() { model->leave(reg - 24, entryText); });
    }

    // Detects, then fills the summary as entering its page does.
    static void detectAndFill(ModelRig &rig, const QMap<QString, QString> &regs = {})
    {
        rig.detect();
        for (auto reg = regs.begin(); reg != regs.end(); ++reg)
            rig.meter.setReg(reg.key(), reg.value());
        rig.meter.clearLog();
        rig.run([&]() { rig.model<SummaryModel>(PageId::Summary)->fill(); });
    }
    static QString cell(ModelRig &rig, int row, int column) { return rig.setup->summary().cell(row, column); }

private slots:
    void initTestCase()
    {
        // A desktop whose numbers use "," must not change what is read or sent.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void leaving_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("3.2767 refused") << 24 << "3.2767" << QStringList{} << "1.0000";
        QTest::newRow("3.2766 sent") << 24 << "3.2766" << QStringList{"SW24,3.2766"} << "3.2766";
        QTest::newRow("-1.9999 refused") << 25 << "-1.9999" << QStringList{} << "1.0000";
        QTest::newRow("-1.9998 accepted") << 25 << "-1.9998" << QStringList{"SW25,-1.9998"} << "-1.9998";
        QTest::newRow("1 in chnl 2 scale") << 26 << "1" << QStringList{"SW26,1.0000"} << "1.0000";
        QTest::newRow("2.5 in chnl 1 scale") << 25 << "2.5" << QStringList{"SW25,2.5000"} << "2.5000";
        QTest::newRow("scale rounded") << 24 << "1.23456" << QStringList{"SW24,1.2346"} << "1.2346";
        QTest::newRow("scale exponent") << 24 << "5e-1" << QStringList{"SW24,0.5000"} << "0.5000";
        QTest::newRow("huge scale refused") << 24 << "1e39" << QStringList{} << "1.0000";
        QTest::newRow("32767 refused") << 27 << "32767" << QStringList{} << "0";
        QTest::newRow("32766 sent") << 27 << "32766" << QStringList{"SW27,32766"} << "32766";
        QTest::newRow("-19999 refused") << 29 << "-19999" << QStringList{} << "0";
        QTest::newRow("-19998 sent") << 29 << "-19998" << QStringList{"SW29,-19998"} << "-19998";
        QTest::newRow("0.4 sent as 0") << 28 << "0.4" << QStringList{"SW28,0"} << "0";
        QTest::newRow("-2.5 sent as -3") << 28 << "-2.5" << QStringList{"SW28,-3"} << "-3";
        QTest::newRow("12.7 sent as 13") << 27 << "12.7" << QStringList{"SW27,13"} << "13";
        QTest::newRow("-150 in chnl 1 offset") << 28 << "-150" << QStringList{"SW28,-150"} << "-150";
        QTest::newRow("scale rounding onto the bound") << 24 << "3.27669" << QStringList{} << "1.0000";
        QTest::newRow("scale rounding onto the lower bound") << 25 << "-1.99986" << QStringList{} << "1.0000";
    }
    void leaving()
    {
        QFETCH(int, reg);
        QFETCH(QString, typed);
        QFETCH(QStringList, sent);
        QFETCH(QString, shown);
        ModelRig rig;
        rig.detect();
        typeAndLeave(rig, reg, typed);
        QCOMPARE(scaleOffset(rig)->text(reg - 24), shown);
        QCOMPARE(rig.commands(), sent);
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
        ModelRig rig;
        rig.detect();
        typeAndLeave(rig, reg, typed);
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("'%1' is not a valid floating point value").arg(typed)});
        QCOMPARE(scaleOffset(rig)->text(reg - 24), typed);
        QCOMPARE(rig.commands(), QStringList());
    }

    void readBack_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("shown");
        QTest::newRow("scale as sent") << "1.0000" << 24 << "1.0000";
        QTest::newRow("scale not reformatted") << "  2.5" << 25 << "2.5";
        QTest::newRow("scale keeps its point") << "-0.125" << 26 << "-0.125";
        QTest::newRow("offset loses its point") << "12.5" << 27 << "125";
        QTest::newRow("offset whole") << "-150" << 28 << "-150";
        QTest::newRow("offset not tested") << "99999" << 29 << "99999";
        QTest::newRow("blank scale shows nothing") << "" << 25 << "";
        QTest::newRow("blank offset shows nothing") << " " << 28 << "";
    }
    void readBack()
    {
        QFETCH(QString, reply);
        QFETCH(int, reg);
        QFETCH(QString, shown);
        ModelRig rig;
        // The neighbours hold other values, so a reply taken from the wrong
        // read shows.
        for (int other = 24; other <= 29; ++other)
            rig.meter.setReg(QString::number(other), other < 27 ? QStringLiteral("2.5000") : QStringLiteral("77"));
        rig.meter.setReg(QString::number(reg), reply);
        rig.detect();
        QCOMPARE(scaleOffset(rig)->text(reg - 24), shown);
        QCOMPARE(cell(rig, 18 + (reg - 24), 3), shown);
        // The six reads go out one after another, after the identity reads.
        const QStringList commands = rig.commands();
        const qsizetype first = commands.indexOf(QStringLiteral("SR24"));
        QVERIFY(first > commands.indexOf(QStringLiteral("SR154")));
        QCOMPARE(commands.mid(first, 6), (QStringList{"SR24", "SR25", "SR26", "SR27", "SR28", "SR29"}));
    }

    // A field the meter answered blank, left as it is, writes nothing; so
    // does every field after replies went out of step during the load.
    void blankFieldsAreNotWritten_data()
    {
        QTest::addColumn<bool>("outOfStep");
        QTest::newRow("blank reply") << false;
        QTest::newRow("replies out of step") << true;
    }
    void blankFieldsAreNotWritten()
    {
        QFETCH(bool, outOfStep);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("25"), outOfStep ? QStringLiteral("2.5000") : QString());
        bool stray = outOfStep;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&](const QString &command) {
            if (command == QLatin1String("SR148") && std::exchange(stray, false))
                rig.line->injectReceived("1\r\n");
        });
        rig.detect();
        QCOMPARE(scaleOffset(rig)->text(1), QString());
        QCOMPARE(rig.setup->summary().cell(summarycell::scale(1)), QString());
        for (int reg = outOfStep ? 24 : 25; reg <= (outOfStep ? 29 : 25); ++reg) {
            typeAndLeave(rig, reg, QString());
            QCOMPARE(rig.commands(), QStringList());
        }
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), outOfStep ? 1 : 0);
    }

    // --- Summary

    void fillReadsInOrderEveryTime()
    {
        // Calibration, bargraph and K factor, the display texts, the print
        // string, eight registers for each setpoint, the sub total's pair,
        // and the macro state.
        QStringList once{"SR129", "SR99", "SR100", "SR220", "SR101", "SR152", "SR38"};
        for (const char letter : QByteArray("HIJKTUVWRSLMNOPQX"))
            once << QStringLiteral("SR") + QLatin1Char(letter);
        for (int s = 1; s <= 6; ++s) {
            for (int base : {5, 141, 70, 76, 64, 192, 198, 205})
                once << QStringLiteral("SR%1").arg(base + s);
        }
        once << "SR205"
             << "SR212"
             << "SR513"
             << "SR160";
        ModelRig rig;
        detectAndFill(rig);
        // Nothing is cached: a second fill reads everything again.
        rig.run([&]() { rig.model<SummaryModel>(PageId::Summary)->fill(); });
        QCOMPARE(rig.commands(), once + once);
        QCOMPARE(once.size(), 76);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void fillCells_data()
    {
        QTest::addColumn<QStringList>("registers");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("firstRow");
        QTest::newRow("calibration") << QStringList{"129"} << 1 << 1;
        QTest::newRow("bargraph and K factor") << QStringList{"99", "100", "220", "101", "152", "38"} << 1 << 18;
        QTest::newRow("print string") << QStringList{"X"} << 2 << 24;
        QTest::newRow("setpoint texts") << QStringList{"L", "M", "N", "O", "P", "Q"} << 3 << 0;
        QTest::newRow("make delays") << QStringList{"71", "72", "73", "74", "75", "76"} << 3 << 6;
        QTest::newRow("delay types") << QStringList{"193", "194", "195", "196", "197", "198"} << 3 << 12;
        QTest::newRow("setpoints") << QStringList{"6", "7", "8", "9", "10", "11"} << 5 << 0;
        QTest::newRow("break delays") << QStringList{"77", "78", "79", "80", "81", "82"} << 5 << 6;
        QTest::newRow("display options") << QStringList{"199", "200", "201", "202", "203", "204", "205"} << 5 << 12;
        QTest::newRow("peak, sub total, channels 1 and 3, over") << QStringList{"H", "K", "T", "V", "R"} << 5 << 19;
        QTest::newRow("setpoint controls") << QStringList{"142", "143", "144", "145", "146", "147"} << 7 << 0;
        QTest::newRow("tolerances") << QStringList{"65", "66", "67", "68", "69", "70"} << 7 << 6;
        QTest::newRow("valley, total, channels 2 and 4, under") << QStringList{"I", "J", "U", "W", "S"} << 7 << 19;
    }
    void fillCells()
    {
        QFETCH(QStringList, registers);
        QFETCH(int, column);
        QFETCH(int, firstRow);
        // A value no other register has: "1" + number, or "T" + letter.
        const auto distinct = [](const QString &reg) { return (reg.at(0).isDigit() ? "1" : "T") + reg; };
        QMap<QString, QString> regs;
        for (const QString &reg : registers)
            regs[reg] = distinct(reg);
        ModelRig rig;
        detectAndFill(rig, regs);
        for (int i = 0; i < registers.size(); ++i)
            QCOMPARE(cell(rig, firstRow + i, column), distinct(registers[i]));
    }

    void fillConversions_data()
    {
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::newRow("65 to SR206 is A") << "206"
                                          << "65" << 12 << 7 << "A";
        QTest::newRow("SR212 keeps the low 8 bits") << "212"
                                                    << "322" << 18 << 7 << "B";
        QTest::newRow("SR209 below 0") << "209"
                                       << "-189" << 15 << 7 << "C";
        QTest::newRow("513 at 0: no macro loaded") << "513"
                                                   << "0" << 17 << 1 << "False";
        QTest::newRow("513 not 0: macro loaded") << "513"
                                                 << "-3" << 17 << 1 << "True";
        QTest::newRow("160 at 16: macro stopped") << "160"
                                                  << "16" << 16 << 1 << "False";
        QTest::newRow("160 at 48: macro stopped") << "160"
                                                  << "48" << 16 << 1 << "False";
        QTest::newRow("160 at 0: macro running") << "160"
                                                 << "0" << 16 << 1 << "True";
        QTest::newRow("160 at 32: macro running") << "160"
                                                  << "32" << 16 << 1 << "True";
        QTest::newRow("a value loses its first point") << "6"
                                                       << "12.50" << 0 << 5 << "1250";
        QTest::newRow("a display text keeps its point") << "H"
                                                        << "P.EAK" << 19 << 5 << "P.EAK";
        QTest::newRow("the print string keeps its points") << "X"
                                                           << "1.2.3" << 24 << 2 << "1.2.3";
    }
    void fillConversions()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, shown);
        ModelRig rig;
        detectAndFill(rig, {{reg, reply}});
        QCOMPARE(cell(rig, row, column), shown);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void conversionErrorStopsTheFill_data()
    {
        // The register that fails, the one read before it with the cell it
        // writes from the reply 66, and the cell of the one read after it,
        // which is left as it was.
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("before");
        QTest::addColumn<SummaryCell>("beforeCell");
        QTest::addColumn<QString>("beforeShown");
        QTest::addColumn<SummaryCell>("afterCell");
        QTest::newRow("first character") << "206"
                                         << "199" << SummaryCell{12, 5} << "66" << SummaryCell{1, 5};
        QTest::newRow("macro loaded") << "513"
                                      << "212" << SummaryCell{18, 7} << "B" << SummaryCell{16, 1};
        QTest::newRow("macro running, the last read") << "160"
                                                      << "513" << SummaryCell{17, 1} << "True" << SummaryCell{-1, -1};
    }
    void conversionErrorStopsTheFill()
    {
        QFETCH(QString, reg);
        QFETCH(QString, before);
        QFETCH(SummaryCell, beforeCell);
        QFETCH(QString, beforeShown);
        QFETCH(SummaryCell, afterCell);
        ModelRig rig;
        detectAndFill(rig, {{reg, "4x"}, {before, "66"}});
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'4x' is not a valid integer value"});
        QCOMPARE(rig.commands().constLast(), QStringLiteral("SR") + reg);
        QCOMPARE(rig.setup->summary().cell(beforeCell), beforeShown);
        if (afterCell.row >= 0)
            QCOMPARE(rig.setup->summary().cell(afterCell), QString());
    }

    void strayReplyEmptiesTheFill()
    {
        ModelRig rig;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig](const QString &command) {
            if (command == QLatin1String("SR513"))
                rig.line->injectReceived("1\r\n");
        });
        detectAndFill(rig);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
        QCOMPARE(cell(rig, 12, 5), QString());         // Display Options Data source, read earlier
        QCOMPARE(cell(rig, 12, 1), rig.meter.model()); // detection's, untouched
        QCOMPARE(cell(rig, 12, 0), QStringLiteral("Model"));
    }

    // The scale and offset rows change only at the next detection.
    void fillKeepsTheScaleRowsOfDetection()
    {
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.7500"));
        rig.detect();
        typeAndLeave(rig, 24, QStringLiteral("2.5"));
        QCOMPARE(rig.meter.reg(QStringLiteral("24")), QStringLiteral("2.5000"));
        rig.run([&]() { rig.model<SummaryModel>(PageId::Summary)->fill(); });
        QCOMPARE(cell(rig, 18, 3), QStringLiteral("1.7500"));
    }
};

QTEST_GUILESS_MAIN(ValueModelsTest)
#include "tst_valuemodels.moc"
