#include "operator.h"

#include "app/pagestrip.h"

#include <QApplication>
#include <QTest>

// The Summary page's fill on entry, its conversions, and what a failed
// conversion leaves behind.
class SummaryPageTest : public QObject
{
    Q_OBJECT

private:
    // The fill's reads as the meter must see them: calibration, bargraph and
    // K factor, the display texts, the print string, then eight registers
    // for each setpoint, the sub total's pair, and the macro state.
    static QStringList fillReads()
    {
        QStringList reads{"SR129", "SR99", "SR100", "SR220", "SR101", "SR152", "SR38"};
        for (const char letter : QByteArray("HIJKTUVWRSLMNOPQX"))
            reads << QStringLiteral("SR") + QLatin1Char(letter);
        for (int s = 1; s <= 6; ++s) {
            for (int base : {5, 141, 70, 76, 64, 192, 198, 205})
                reads << QStringLiteral("SR%1").arg(base + s);
        }
        return reads << "SR205"
                     << "SR212"
                     << "SR513"
                     << "SR160";
    }
    // A value no other register has: "1" + number, or "T" + letter.
    static QString distinct(const QString &reg)
    {
        return (reg.at(0).isDigit() ? QStringLiteral("1") : QStringLiteral("T")) + reg;
    }
    static void detectAndShow(Rig &rig, Operator &op)
    {
        rig.detect();
        op.showWindow();
        op.clearWire();
    }

private slots:
    void readsInOrderEveryEntry_data()
    {
        QTest::addColumn<int>("entries");
        QTest::newRow("once") << 1;
        QTest::newRow("twice: nothing is cached") << 2;
    }
    void readsInOrderEveryEntry()
    {
        QFETCH(int, entries);
        Rig rig;
        Operator op(rig);
        detectAndShow(rig, op);
        QStringList expected;
        QStringList read;
        for (int i = 0; i < entries; ++i) {
            op.openTab(PageId::DisplayValue);
            op.clearWire();
            op.openTab(PageId::Summary);
            read += op.wire();
            expected += fillReads();
        }
        QCOMPARE(read, expected);
        QCOMPARE(read.size(), 76 * entries);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void cells_data()
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
    void cells()
    {
        QFETCH(QStringList, registers);
        QFETCH(int, column);
        QFETCH(int, firstRow);
        Rig rig;
        Operator op(rig);
        detectAndShow(rig, op);
        for (const QString &reg : registers)
            rig.meter.setReg(reg, distinct(reg));
        op.openTab(PageId::Summary);
        for (int i = 0; i < registers.size(); ++i)
            QCOMPARE(rig.summaryCell(firstRow + i, column), distinct(registers[i]));
    }

    void conversions_data()
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
    void conversions()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, shown);
        Rig rig;
        Operator op(rig);
        detectAndShow(rig, op);
        rig.meter.setReg(reg, reply);
        op.openTab(PageId::Summary);
        QCOMPARE(rig.summaryCell(row, column), shown);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void conversionErrorStopsTheFill_data()
    {
        // The register that fails, the one read before it with the cell it
        // writes from the reply 66, and the cell of the one read after it,
        // which is left as it was.
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("beforeRow");
        QTest::addColumn<int>("beforeColumn");
        QTest::addColumn<QString>("beforeShown");
        QTest::addColumn<int>("afterRow");
        QTest::addColumn<int>("afterColumn");
        QTest::newRow("first character") << "206"
                                         << "199" << 12 << 5 << "66" << 1 << 5;
        QTest::newRow("macro loaded") << "513"
                                      << "212" << 18 << 7 << "B" << 16 << 1;
        QTest::newRow("macro running, the last read") << "160"
                                                      << "513" << 17 << 1 << "True" << -1 << -1;
    }
    void conversionErrorStopsTheFill()
    {
        QFETCH(QString, reg);
        QFETCH(QString, before);
        QFETCH(int, beforeRow);
        QFETCH(int, beforeColumn);
        QFETCH(QString, beforeShown);
        QFETCH(int, afterRow);
        QFETCH(int, afterColumn);
        Rig rig;
        Operator op(rig);
        detectAndShow(rig, op);
        rig.meter.setReg(reg, QStringLiteral("4x"));
        rig.meter.setReg(before, QStringLiteral("66"));
        QList<bool> stripEnabled;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, rig.window.get(),
                         [&]() { stripEnabled << rig.pageControl()->isEnabled(); });
        op.openTab(PageId::Summary);

        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'4x' is not a valid integer value"});
        QCOMPARE(op.wire().constLast(), QStringLiteral("SR") + reg);
        QCOMPARE(rig.summaryCell(beforeRow, beforeColumn), beforeShown);
        if (afterRow >= 0)
            QCOMPARE(rig.summaryCell(afterRow, afterColumn), QString());
        // The strip took no input during the fill and is back afterwards,
        // with the normal cursor and the poll running.
        QVERIFY(!stripEnabled.isEmpty());
        QVERIFY(!stripEnabled.contains(true));
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(rig.session->pollTimer().isActive());
    }

    void strayReplyEmptiesTheFill()
    {
        Rig rig;
        Operator op(rig);
        detectAndShow(rig, op);
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig](const QString &command) {
            if (command == QLatin1String("SR513"))
                rig.line->injectReceived("1\r\n");
        });
        op.openTab(PageId::Summary);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
        QCOMPARE(rig.summaryCell(12, 5), QString());         // Display Options Data source, read earlier
        QCOMPARE(rig.summaryCell(12, 1), rig.meter.model()); // detection's, untouched
    }

    void scaleRowsKeepTheDetectionValue()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.7500"));
        detectAndShow(rig, op);
        op.openTab(PageId::ScaleOffset);
        op.typeAndLeave(QStringLiteral("Edit24"), QStringLiteral("2.5000"));
        QCOMPARE(rig.meter.reg(QStringLiteral("24")), QStringLiteral("2.5000"));
        op.openTab(PageId::Summary);
        QCOMPARE(rig.summaryCell(18, 3), QStringLiteral("1.7500"));
    }
};

QTEST_MAIN(SummaryPageTest)
#include "tst_summarypage.moc"
