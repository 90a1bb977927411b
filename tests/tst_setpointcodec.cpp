#include "link/errors.h"
#include "pages/setpoints/setpointcodec.h"

#include <QTest>

Q_DECLARE_METATYPE(setpointcodec::RowState)

using namespace setpointcodec;

// Setpoint rows as the meter stores them: delay texts, the delay check made
// on leaving a field, control bits, code digits and the writes of one run.
class SetpointCodecTest : public QObject
{
    Q_OBJECT

private:
    // A row as a read-back of a meter at its defaults leaves it.
    static RowState plainRow()
    {
        RowState row;
        row.value = QStringLiteral("0");
        row.counts = QStringLiteral("0");
        row.makeDelay = QStringLiteral("0:00:00");
        row.breakDelay = QStringLiteral("0:00:00");
        row.delayType = Normal;
        row.source = 0;
        row.resetOnSetpoint = 0;
        return row;
    }
    static std::array<RowState, Rows> plainRows()
    {
        std::array<RowState, Rows> rows;
        rows.fill(plainRow());
        return rows;
    }

private slots:
    void delays_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("75 s") << 75 << "0:01:15"
                              << "0:01:15";
        QTest::newRow("0 s") << 0 << "0:00:00"
                             << "0:00:00";
        QTest::newRow("editor limit") << 32766 << "9:06:06"
                                      << "9:06:06";
        QTest::newRow("one hour") << 3600 << "1:00:00"
                                  << "1:00:00";
        QTest::newRow("largest the field holds") << 35999 << "9:59:59"
                                                 << "9:59:59";
        QTest::newRow("ten hours") << 36000 << "10:00:00"
                                   << "9:59:59";
        QTest::newRow("register maximum") << 65535 << "18:12:15"
                                          << "9:59:59";
        QTest::newRow("negative") << -5 << ""
                                  << "0:00:00";
    }
    void delays()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QFETCH(QString, field);
        if (!text.isEmpty()) {
            QCOMPARE(delayText(seconds), text);
            QCOMPARE(delaySeconds(field) == seconds, fitsDelayField(seconds));
        }
        QCOMPARE(fieldDelayText(seconds), field);
    }

    void delaySecondsOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("error");
        QTest::newRow("0:01:15") << "0:01:15" << 75 << "";
        QTest::newRow("9:06:06") << "9:06:06" << 32766 << "";
        QTest::newRow("1:00:00") << "1:00:00" << 3600 << "";
        QTest::newRow("separators not examined") << "1-02.03" << 3723 << "";
        QTest::newRow("never filled") << " :  :  " << 0 << "' ' is not a valid integer value";
        QTest::newRow("blank second digit") << "0:01: 5" << 0 << "' ' is not a valid integer value";
        QTest::newRow("short") << "0:01:1" << 0 << "Range check error";
    }
    void delaySecondsOfText()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QFETCH(QString, error);
        try {
            QCOMPARE(delaySeconds(text), seconds);
            QVERIFY(error.isEmpty());
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    void limitedDelayText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("one second above the limit") << "9:06:07"
                                                    << "9:06:06";
        QTest::newRow("largest the field holds") << "9:59:59"
                                                 << "9:06:06";
        QTest::newRow("75 minutes") << "0:75:00"
                                    << "9:06:06";
        QTest::newRow("60 seconds") << "0:00:60"
                                    << "9:06:06";
        QTest::newRow("blank hour") << " :12:00"
                                    << "9:06:06";
        QTest::newRow("blank minute digit") << "1: 2:00"
                                            << "9:06:06";
        QTest::newRow("half past five") << "5:30:00"
                                        << "5:30:00";
        QTest::newRow("zero") << "0:00:00"
                              << "0:00:00";
        QTest::newRow("the limit itself") << "9:06:06"
                                          << "9:06:06";
        QTest::newRow("just below the limit") << "9:06:05"
                                              << "9:06:05";
    }
    void limitedDelayText()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(setpointcodec::limitedDelayText(text), result);
    }

    void controlBits_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("delayType");
        QTest::addColumn<bool>("flash");
        QTest::addColumn<bool>("band");
        QTest::addColumn<int>("written");
        QTest::newRow("19: repeating, band") << 19 << int(Repeating) << false << true << 19;
        QTest::newRow("12: no item, flash") << 12 << 4 << true << false << 12;
        QTest::newRow("10: pulse, flash") << 10 << int(Pulse) << true << false << 10;
        QTest::newRow("higher bits dropped") << 32 + 16 + 1 << int(SingleShot) << false << true << 17;
    }
    void controlBits()
    {
        QFETCH(int, value);
        QFETCH(int, delayType);
        QFETCH(bool, flash);
        QFETCH(bool, band);
        QFETCH(int, written);
        const ControlBits bits = decodeBits(value);
        QCOMPARE(bits.delayType, delayType);
        QCOMPARE(bits.flash, flash);
        QCOMPARE(bits.band, band);
        QCOMPARE(encodeBits(bits), written);
    }

    void codeDigits_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("digits"); // digit or "R" (range) or "C" (conversion), per position
        QTest::newRow("012") << "012"
                             << "012";
        QTest::newRow("314") << "314"
                             << "314";
        QTest::newRow("one character") << "5"
                                       << "5RR";
        QTest::newRow("two characters") << "10"
                                        << "10R";
        QTest::newRow("sign") << "-12"
                              << "C12";
    }
    void codeDigits()
    {
        QFETCH(QString, reply);
        QFETCH(QString, digits);
        for (int position = 1; position <= 3; ++position) {
            const QChar expected = digits.at(position - 1);
            try {
                QCOMPARE(codeDigit(reply, position), expected.digitValue());
            } catch (const UserError &e) {
                if (expected == QLatin1Char('R'))
                    QCOMPARE(e.message(), QStringLiteral("Range check error"));
                else
                    QCOMPARE(e.message(), QStringLiteral("'-' is not a valid integer value"));
            }
        }
    }

    void latchDigit_data()
    {
        QTest::addColumn<QChar>("digit");
        QTest::addColumn<int>("latch");
        QTest::addColumn<bool>("manualOverride");
        QTest::addColumn<bool>("shown");
        QTest::newRow("0") << QChar('0') << int(Latch::None) << false << true;
        QTest::newRow("1") << QChar('1') << int(Latch::Energise) << false << true;
        QTest::newRow("2") << QChar('2') << int(Latch::None) << true << true;
        QTest::newRow("3") << QChar('3') << int(Latch::Energise) << true << true;
        QTest::newRow("4") << QChar('4') << int(Latch::DeEnergise) << false << true;
        QTest::newRow("6") << QChar('6') << int(Latch::None) << false << false;
        QTest::newRow("9") << QChar('9') << int(Latch::None) << false << false;
    }
    void latchDigit()
    {
        QFETCH(QChar, digit);
        QFETCH(int, latch);
        QFETCH(bool, manualOverride);
        QFETCH(bool, shown);
        QCOMPARE(int(latchOf(digit)), latch);
        QCOMPARE(manualOverrideOf(digit), manualOverride);
        // Digits 0 to 4 go back as read; the others are written as None.
        QCOMPARE(latchCode(latchOf(digit)) + (manualOverrideOf(digit) ? 2 : 0) == digit.digitValue(), shown);
    }

    void rowWrites_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<RowState>("state");
        QTest::addColumn<QStringList>("writes"); // the row's six writes in the order they go out

        RowState row1 = plainRow();
        row1.value = QStringLiteral("1500");
        row1.counts = QStringLiteral("5");
        row1.makeDelay = QStringLiteral("0:01:15");
        row1.breakDelay = QStringLiteral("1:00:00");
        row1.delayType = Pulse;
        row1.flash = true;
        row1.energisePressed = true;
        row1.source = 2;
        row1.latch = Latch::Energise;
        QTest::newRow("row 1") << 1 << row1
                               << QStringList{"SW6,1500", "SW71,75", "SW77,3600", "SW65,5", "SW193,10", "SW142,21,"};

        RowState row5 = plainRow();
        row5.band = true;
        row5.resetDelay = true;
        row5.source = 5;
        row5.resetOnSetpoint = 3;
        QTest::newRow("row 5") << 5 << row5
                               << QStringList{"SW10,0", "SW75,0", "SW81,0", "SW69,0", "SW197,16", "SW146,353"};

        RowState row2 = plainRow();
        row2.energisePressed = true;
        QTest::newRow("code 0 keeps its comma")
            << 2 << row2 << QStringList{"SW7,0", "SW72,0", "SW78,0", "SW66,0", "SW194,0", "SW143,0,"};

        RowState row3 = plainRow();
        row3.latch = Latch::DeEnergise;
        row3.makeDelay = QStringLiteral("9:06:06");
        QTest::newRow("de-energise, longest delay")
            << 3 << row3 << QStringList{"SW8,0", "SW73,32766", "SW79,0", "SW67,0", "SW195,0", "SW144,104,"};

        RowState row6 = plainRow();
        row6.value.clear();
        row6.counts = QStringLiteral("-3.5");
        row6.resetOnSetpoint = 6;
        QTest::newRow("texts sent as they stand")
            << 6 << row6 << QStringList{"SW11,", "SW76,0", "SW82,0", "SW70,-3.5", "SW198,0", "SW147,106"};

        // What the page cannot show goes back as the meter held it.
        RowState held4 = plainRow();
        held4.heldMakeSeconds = 36000;
        held4.heldBreakSeconds = 65535;
        held4.delayType = -1;
        held4.heldDelayType = 6;
        held4.source = -1;
        held4.heldSource = 9;
        held4.manualOverride = true;
        QTest::newRow("held values of row 4")
            << 4 << held4 << QStringList{"SW9,0", "SW74,36000", "SW80,65535", "SW68,0", "SW196,6", "SW145,192,"};

        RowState held6 = plainRow();
        held6.source = -1;
        held6.heldSource = 8;
        held6.resetOnSetpoint = -1;
        held6.heldResetOnSetpoint = 9;
        QTest::newRow("held digits of row 6")
            << 6 << held6 << QStringList{"SW11,0", "SW76,0", "SW82,0", "SW70,0", "SW198,0", "SW147,189"};

        // Once the operator picks an item, the held digit is gone.
        RowState picked = held6;
        picked.source = 1;
        picked.resetOnSetpoint = 2;
        QTest::newRow("picked items of row 6")
            << 6 << picked << QStringList{"SW11,0", "SW76,0", "SW82,0", "SW70,0", "SW198,0", "SW147,112"};
    }
    void rowWrites()
    {
        QFETCH(int, row);
        QFETCH(RowState, state);
        QFETCH(QStringList, writes);
        std::array<RowState, Rows> rows = plainRows();
        rows[row - 1] = state;
        const QStringList all = writeCommands(rows);
        QCOMPARE(all.size(), 36);
        const int first = (row - 1) * 4;
        const int second = 24 + (row - 1) * 2;
        QCOMPARE(all.mid(first, 4) + all.mid(second, 2), writes);
    }

    void writeOrder()
    {
        QStringList registers;
        for (const QString &command : writeCommands(plainRows()))
            registers << command.mid(2, command.indexOf(QLatin1Char(',')) - 2);
        QCOMPARE(registers.join(QLatin1Char(' ')),
                 QStringLiteral("6 71 77 65 7 72 78 66 8 73 79 67 9 74 80 68 10 75 81 69 11 76 82 70 "
                                "193 142 194 143 195 144 196 145 197 146 198 147"));
    }

    void malformedDelayStopsBeforeAnyWrite()
    {
        std::array<RowState, Rows> rows = plainRows();
        rows[2].breakDelay = blankDelayText();
        QVERIFY_THROWS_EXCEPTION(UserError, writeCommands(rows));
    }
};

QTEST_GUILESS_MAIN(SetpointCodecTest)
#include "tst_setpointcodec.moc"
