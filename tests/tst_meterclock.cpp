#include "link/errors.h"
#include "pages/summary/meterclock.h"

#include <QTest>

// The meter clock's conversions: the read-back joined into a date and a
// time, and the seven register values of a clock setting.
class MeterClockTest : public QObject
{
    Q_OBJECT

private slots:
    void dateFromMeter_data()
    {
        QTest::addColumn<QStringList>("replies"); // month, day, year
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("error");
        const QDate in2004(2004, 6, 1);
        const QDate in2026(2026, 12, 9);
        QTest::newRow("leap day") << QStringList{"2", "29", "4"} << in2004 << QDate(2004, 2, 29) << "";
        QTest::newRow("99 in this century") << QStringList{"12", "31", "99"} << in2004 << QDate(2099, 12, 31) << "";
        QTest::newRow("century follows the computer")
            << QStringList{"12", "31", "99"} << QDate(1998, 1, 1) << QDate(1999, 12, 31) << "";
        QTest::newRow("year 0") << QStringList{"1", "1", "0"} << in2026 << QDate(2000, 1, 1) << "";
        QTest::newRow("two-digit fields") << QStringList{"07", "04", "26"} << in2026 << QDate(2026, 7, 4) << "";
        QTest::newRow("four-digit year stands") << QStringList{"3", "15", "1987"} << in2026 << QDate(1987, 3, 15) << "";
        QTest::newRow("month 13") << QStringList{"13", "1", "4"} << in2004 << QDate() << "'13/1/4' is not a valid date";
        QTest::newRow("30 February") << QStringList{"2", "30", "4"} << in2004 << QDate()
                                     << "'2/30/4' is not a valid date";
        QTest::newRow("29 February, no leap year")
            << QStringList{"2", "29", "5"} << in2004 << QDate() << "'2/29/5' is not a valid date";
        QTest::newRow("all zero") << QStringList{"0", "0", "0"} << in2004 << QDate() << "'0/0/0' is not a valid date";
        QTest::newRow("day first") << QStringList{"31", "12", "99"} << in2004 << QDate()
                                   << "'31/12/99' is not a valid date";
        QTest::newRow("empty reply") << QStringList{"", "1", "4"} << in2004 << QDate() << "'/1/4' is not a valid date";
        QTest::newRow("negative") << QStringList{"-1", "1", "4"} << in2004 << QDate() << "'-1/1/4' is not a valid date";
        QTest::newRow("reply with a slash")
            << QStringList{"1/2", "1", "4"} << in2004 << QDate() << "'1/2/1/4' is not a valid date";
        QTest::newRow("year 0000") << QStringList{"1", "1", "0000"} << in2004 << QDate()
                                   << "'1/1/0000' is not a valid date";
        QTest::newRow("five digits") << QStringList{"1", "1", "20044"} << in2004 << QDate()
                                     << "'1/1/20044' is not a valid date";
    }
    void dateFromMeter()
    {
        QFETCH(QStringList, replies);
        QFETCH(QDate, today);
        QFETCH(QDate, date);
        QFETCH(QString, error);
        try {
            QCOMPARE(meterclock::dateFromMeter(replies[0], replies[1], replies[2], today), date);
            QVERIFY2(error.isEmpty(), "no error raised");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    void timeFromMeter_data()
    {
        QTest::addColumn<QStringList>("replies"); // hours, minutes, seconds
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("error");
        QTest::newRow("midnight") << QStringList{"0", "0", "0"} << QTime(0, 0, 0) << "";
        QTest::newRow("afternoon") << QStringList{"13", "5", "9"} << QTime(13, 5, 9) << "";
        QTest::newRow("last second") << QStringList{"23", "59", "59"} << QTime(23, 59, 59) << "";
        QTest::newRow("hour 24") << QStringList{"24", "0", "0"} << QTime() << "'24:0:0' is not a valid time";
        QTest::newRow("minute 60") << QStringList{"1", "60", "0"} << QTime() << "'1:60:0' is not a valid time";
        QTest::newRow("second 60") << QStringList{"1", "0", "60"} << QTime() << "'1:0:60' is not a valid time";
        QTest::newRow("decimal reply") << QStringList{"1", "2x", "3"} << QTime() << "'1:2x:3' is not a valid time";
        QTest::newRow("empty reply") << QStringList{"1", "2", ""} << QTime() << "'1:2:' is not a valid time";
    }
    void timeFromMeter()
    {
        QFETCH(QStringList, replies);
        QFETCH(QTime, time);
        QFETCH(QString, error);
        try {
            QCOMPARE(meterclock::timeFromMeter(replies[0], replies[1], replies[2]), time);
            QVERIFY2(error.isEmpty(), "no error raised");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    void clockWrites_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QList<int>>("values"); // registers 213 to 219
        QTest::newRow("leap day, a Sunday")
            << QDate(2004, 2, 29) << QTime(13, 5, 9) << QList<int>{9, 5, 13, 1, 29, 2, 4};
        QTest::newRow("new year 2000, a Saturday")
            << QDate(2000, 1, 1) << QTime(12, 0, 0) << QList<int>{0, 0, 12, 7, 1, 1, 0};
        QTest::newRow("a Monday, milliseconds dropped")
            << QDate(2026, 12, 7) << QTime(23, 59, 58, 999) << QList<int>{58, 59, 23, 2, 7, 12, 26};
        QTest::newRow("last century") << QDate(1999, 12, 31) << QTime(0, 0, 0) << QList<int>{0, 0, 0, 6, 31, 12, 99};
    }
    void clockWrites()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QList<int>, values);
        const auto writes = meterclock::clockWrites(date, time);
        QList<int> registers;
        QList<int> written;
        for (const auto &w : writes) {
            registers << w.reg;
            written << w.value;
        }
        QCOMPARE(registers, (QList<int>{213, 214, 215, 216, 217, 218, 219}));
        QCOMPARE(written, values);
    }
};

QTEST_GUILESS_MAIN(MeterClockTest)
#include "tst_meterclock.moc"
