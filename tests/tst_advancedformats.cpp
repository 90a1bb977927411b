#include "link/errors.h"
#include "pages/advanced/displaytext.h"
#include "pages/advanced/lockoutmask.h"

#include <QTest>

// The lockout masks' bit arithmetic and the display texts' and print
// string's formats, without the page.
class AdvancedFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void fromReply_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("error");
        QTest::newRow("zero") << "0" << 0 << "";
        QTest::newRow("every bit") << "65535" << 0xFFFF << "";
        QTest::newRow("-1 is every bit") << "-1" << 0xFFFF << "";
        QTest::newRow("bit 7 only") << "128" << 0x80 << "";
        QTest::newRow("sign bit") << "-32768" << 0x8000 << "";
        QTest::newRow("bits above 15 ignored") << "65536" << 0 << "";
        QTest::newRow("decimal") << "1.5" << 0 << "'1.5' is not a valid integer value";
        QTest::newRow("empty") << "" << 0 << "'' is not a valid integer value";
    }
    void fromReply()
    {
        QFETCH(QString, reply);
        QFETCH(int, mask);
        QFETCH(QString, error);
        try {
            QCOMPARE(int(lockoutmask::fromReply(reply)), mask);
            QVERIFY2(error.isEmpty(), "no error raised");
        } catch (const UserError &e) {
            QCOMPARE(e.message(), error);
        }
    }

    // What a click writes: the checked boxes that count, as the meter takes it.
    void write_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("checked");
        QTest::addColumn<bool>("signedWord");
        QTest::addColumn<QString>("wire");
        const int left = lockoutmask::bits(2, 12); // no Code 10 row
        const int leftCode10 = lockoutmask::bits(2, 13);
        const int setpoints = lockoutmask::bits(0, 12);
        QTest::newRow("Calibration checked after 0") << left << 0x8 << false << "8";
        QTest::newRow("hidden Code 10 box checked, not counted") << left << (0x8 | 0x2000) << false << "8";
        QTest::newRow("Code 10 row shown, all checked") << leftCode10 << leftCode10 << false << "16380";
        QTest::newRow("allow changes of setpoint 3 cleared") << setpoints << (8191 - 8) << false << "8183";
        QTest::newRow("707 Peak cleared, signed") << 0xFFFF << (0xFFFF & ~0x800) << true << "-2049";
        QTest::newRow("707 Valley over bit 7") << 0xFFFF << 0x88 << true << "136";
        QTest::newRow("707 below the sign bit") << 0xFFFF << 0x7FFF << true << "32767";
        QTest::newRow("707 sign bit alone") << 0xFFFF << 0x8000 << true << "-32768";
    }
    void write()
    {
        QFETCH(int, shown);
        QFETCH(int, checked);
        QFETCH(bool, signedWord);
        QFETCH(QString, wire);
        QCOMPARE(lockoutmask::written(quint16(checked), quint16(shown), signedWord), wire);
    }

    void forWrite_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("short, padded") << "Hi"
                                       << "Hi    ";
        QTest::newRow("long, cut") << "Channel1"
                                   << "Channe";
        QTest::newRow("exactly six") << "ABCDEF"
                                     << "ABCDEF";
        QTest::newRow("empty") << ""
                               << "      ";
        QTest::newRow("blanks in front kept") << "  P"
                                              << "  P   ";
    }
    void forWrite()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QCOMPARE(displaytext::forWrite(typed), written);
    }

    void rightAligned_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("width 6") << "KM6"
                                 << "Pk"
                                 << "    Pk";
        QTest::newRow("width 5") << "KM5B"
                                 << "Pk"
                                 << "   Pk";
        QTest::newRow("exactly 5") << "KM5B"
                                   << "TOTAL"
                                   << "TOTAL";
        QTest::newRow("empty") << "KM5B"
                               << ""
                               << "     ";
        QTest::newRow("longer than the display, whole") << "KM5B"
                                                        << "VALLEY"
                                                        << "VALLEY";
        QTest::newRow("much longer, whole") << "KM6"
                                            << "Sub Total"
                                            << "Sub Total";
    }
    void rightAligned()
    {
        QFETCH(QString, model);
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        QCOMPARE(displaytext::rightAligned(reply, displaytext::width(model)), shown);
    }

    void printString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("wire");
        QTest::newRow("plain") << "Print String" << 12 << "Print String";
        QTest::newRow("empty") << "" << 0 << "";
        QTest::newRow("line break is CR LF") << "a\nb" << 4 << "a\r\nb";
        QTest::newRow("two breaks") << "\n\n" << 4 << "\r\n\r\n";
        QTest::newRow("CR LF stays one break") << "a\r\nb" << 4 << "a\r\nb";
        QTest::newRow("separators of a selection")
            << QString("a") + QChar::ParagraphSeparator + "b" + QChar::LineSeparator << 6 << "a\r\nb\r\n";
    }
    void printString()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(QString, wire);
        QCOMPARE(displaytext::printLength(text), length);
        QCOMPARE(displaytext::printForWire(text), wire);
    }

    void canSend_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sendable");
        QTest::newRow("letters") << "Peak" << true;
        QTest::newRow("star ends a command") << "a*b" << false;
        QTest::newRow("lone star") << "*" << false;
        QTest::newRow("comma and blanks") << "A, B " << true;
    }
    void canSend()
    {
        QFETCH(QString, text);
        QFETCH(bool, sendable);
        QCOMPARE(displaytext::canSend(text), sendable);
    }
};

QTEST_GUILESS_MAIN(AdvancedFormatsTest)
#include "tst_advancedformats.moc"
