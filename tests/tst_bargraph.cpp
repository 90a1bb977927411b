#include "link/errors.h"
#include "pages/codes/bargraph.h"
#include "pages/codes/displayformat.h"

#include <QTest>

// The bar editor's arithmetic and the display formats' registers and digits.
class BargraphTest : public QObject
{
    Q_OBJECT

private slots:
    void scaleFromTheRegisters_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("zero");
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("tick");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("0..1000 at 50 of 100") << 0 << 1000 << 50 << 100 << 0 << 1000 << 500 << 10 << true;
        QTest::newRow("1000..0 descending") << 1000 << 0 << 50 << 100 << 0 << 1000 << 500 << 10 << false;
        QTest::newRow("50 segments") << 0 << 1000 << 25 << 50 << 0 << 1000 << 500 << 20 << true;
        QTest::newRow("narrow bar ticks every unit") << 0 << 50 << 10 << 100 << 0 << 50 << 5 << 1 << true;
        QTest::newRow("full range") << -19999 << 32767 << 100 << 100 << -19999 << 32767 << 32767 << 527 << true;
        QTest::newRow("outside") << 2000000000 << -2000000000 << 50 << 100 << -19999 << 32767 << 6384 << 527 << false;
        QTest::newRow("zero beyond the bar") << 0 << 1000 << 439 << 100 << 0 << 1000 << 1000 << 10 << true;
    }
    void scaleFromTheRegisters()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, zero);
        QFETCH(int, segments);
        const bargraph::Scale scale = bargraph::scaleFor(low, high, zero, segments);
        QTEST(scale.minimum, "minimum");
        QTEST(scale.maximum, "maximum");
        QTEST(scale.position, "position");
        QTEST(scale.tickSpacing, "tick");
        QTEST(scale.ascending, "ascending");
    }

    void zeroSegmentFromTheSlider_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("shown");
        QTest::newRow("middle of 0..1000") << 505 << 0 << 1000 << true << 100 << 50 << 500;
        QTest::newRow("0..150 top stays on the bar") << 150 << 0 << 150 << true << 100 << 100 << 150;
        QTest::newRow("0..150 between segments") << 50 << 0 << 150 << true << 100 << 33 << 49;
        QTest::newRow("0..150 descending from the top") << 50 << 0 << 150 << false << 100 << 33 << 50;
        QTest::newRow("negative range on 50 segments") << -100 << -1000 << 0 << true << 50 << 45 << -100;
        QTest::newRow("bottom") << -1000 << -1000 << 0 << true << 50 << 0 << -1000;
        QTest::newRow("ends far apart") << 1000000000 << -2000000000 << 2000000000 << true << 100 << 75 << 1000000000;
    }
    void zeroSegmentFromTheSlider()
    {
        QFETCH(int, position);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(bool, ascending);
        QFETCH(int, segments);
        QFETCH(int, segment);
        QCOMPARE(bargraph::segmentAt(position, minimum, maximum, segments), segment);
        QTEST(bargraph::segmentValue(segment, minimum, maximum, ascending, segments), "shown");
    }

    void zeroSegmentFromTheFields_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("zero");
        QTest::addColumn<int>("segment");
        QTest::newRow("inside") << 0 << 1000 << 500 << 50;
        QTest::newRow("ends swapped") << 1000 << 0 << 250 << 25;
        QTest::newRow("below the bar") << 0 << 1000 << -5 << 0;
        QTest::newRow("above the bar") << 0 << 1000 << 1200 << 100;
        QTest::newRow("above a swapped bar") << 1000 << 0 << 1200 << 100;
        QTest::newRow("wide range does not overflow") << -19999 << 32767 << 32767 << 100;
        QTest::newRow("ends far apart") << -2000000000 << 2000000000 << 1000000000 << 75;
    }
    void zeroSegmentFromTheFields()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, zero);
        QTEST(bargraph::zeroSegment(low, high, zero, 100), "segment");
    }

    void fieldValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("whole") << "-250" << -250 << "";
        QTest::newRow("first point dropped") << "12.5" << 125 << "";
        QTest::newRow("empty") << "" << 0 << "'' is not a valid integer value";
        QTest::newRow("lone sign") << "-" << 0 << "'-' is not a valid integer value";
        QTest::newRow("second point stays") << "1.2.3" << 0 << "'12.3' is not a valid integer value";
    }
    void fieldValue()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, error);
        try {
            QCOMPARE(bargraph::fieldValue(text), value);
            QVERIFY(error.isEmpty());
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    void zones_data()
    {
        QTest::addColumn<QList<int>>("setpoints");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("secondLeft");
        QTest::addColumn<int>("width");
        QTest::newRow("two inside, ends excluded")
            << QList<int>{200, 700, 0, 1000, -5, 2000} << true << 3 << 288 << 208;
        QTest::newRow("two inside, descending") << QList<int>{200, 700, 0, 1000, -5, 2000} << false << 3 << 289 << 208;
        QTest::newRow("none inside") << QList<int>{0, 0, 0, 0, 0, 0} << true << 1 << -1 << 625;
        QTest::newRow("all inside") << QList<int>{1, 2, 3, 4, 5, 6} << false << 7 << 527 << 89;
    }
    void zones()
    {
        QFETCH(QList<int>, setpoints);
        QFETCH(bool, ascending);
        QFETCH(int, count);
        QFETCH(int, secondLeft);
        QCOMPARE(bargraph::zoneCount(setpoints, 0, 1000), count);
        QTEST(bargraph::zoneSpan(0, count, ascending).width, "width");
        if (count > 1)
            QCOMPARE(bargraph::zoneSpan(1, count, ascending).left, secondLeft);
        // The first zone sits at the smaller end of the bar.
        const bargraph::ZoneSpan first = bargraph::zoneSpan(0, count, ascending);
        QCOMPARE(ascending ? first.left : first.left + first.width, ascending ? 80 : 705);
    }

    void colourCodes_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("written");
        QTest::newRow("36, zone 1 green to amber") << 36 << 1 << 1 << 44;
        QTest::newRow("36, zone 2 red to green") << 36 << 2 << 2 << 20;
        QTest::newRow("36, zone 0 off to red") << 36 << 0 << 0 << 38;
        QTest::newRow("8, zone 1 red to green") << 8 << 1 << 2 << 4;
        QTest::newRow("amber back to red") << 3 << 0 << 3 << 2;
        QTest::newRow("negative reply, zone 6") << -1 << 6 << 3 << 61439;
        QTest::newRow("negative reply keeps high zones") << -32768 << 7 << 2 << 16384;
    }
    void colourCodes()
    {
        QFETCH(int, reply);
        QFETCH(int, zone);
        QFETCH(int, code);
        const int pattern = bargraph::colourPattern(reply);
        QCOMPARE(bargraph::colourCode(pattern, zone), code);
        QTEST(bargraph::withColourCode(pattern, zone, bargraph::nextColourCode(code)), "written");
    }

    void sourceRegisterClamp_data()
    {
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("shown");
        QTest::newRow("300") << 300 << 255;
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("negative") << -7 << 1;
        QTest::newRow("inside") << 17 << 17;
    }
    void sourceRegisterClamp()
    {
        QFETCH(int, typed);
        QTEST(bargraph::clampSourceRegister(typed), "shown");
    }

    void segmentsByModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("segments");
        QTest::newRow("51 in the code") << "KM51B" << 50;
        QTest::newRow("5 and 1 apart") << "K5B1" << 100;
        QTest::newRow("plain bargraph") << "KM5B" << 100;
    }
    void segmentsByModel()
    {
        QFETCH(QString, model);
        QTEST(bargraph::segments(model), "segments");
    }

    void formatRegisters_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("view");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("character");
        QTest::newRow("no view") << 0 << false << 198 << 205;
        QTest::newRow("display data source") << 1 << true << 199 << 206;
        QTest::newRow("channel 2") << 3 << true << 201 << 208;
        QTest::newRow("sub-totaliser") << 7 << true << 205 << 212;
        QTest::newRow("second display") << 22 << true << 225 << 227;
        QTest::newRow("third display") << 23 << true << 226 << 228;
        QTest::newRow("between") << 8 << false << 206 << 213;
    }
    void formatRegisters()
    {
        QFETCH(int, target);
        QTEST(displayformat::isView(target), "view");
        QTEST(displayformat::formatRegister(target), "format");
        QTEST(displayformat::characterRegister(target), "character");
    }

    void formatDigits_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("error");
        QTest::newRow("three digits") << "123"
                                      << "123"
                                      << "";
        QTest::newRow("zero") << "0"
                              << "000"
                              << "";
        QTest::newRow("two digits") << "16"
                                    << "016"
                                    << "";
        QTest::newRow("leading zeros kept") << "007"
                                            << "007"
                                            << "";
        QTest::newRow("too long") << "1000"
                                  << ""
                                  << "'1000' is not a three-digit code";
        QTest::newRow("negative") << "-5"
                                  << ""
                                  << "'-5' is not a three-digit code";
        QTest::newRow("no number") << "1a3"
                                   << ""
                                   << "'1a3' is not a valid integer value";
    }
    void formatDigits()
    {
        QFETCH(QString, reply);
        QFETCH(QString, digits);
        QFETCH(QString, error);
        try {
            QCOMPARE(displayformat::formatDigits(reply), digits);
            QVERIFY(error.isEmpty());
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }
};

QTEST_GUILESS_MAIN(BargraphTest)
#include "tst_bargraph.moc"
