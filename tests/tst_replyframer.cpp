#include "link/replyframer.h"

#include <QSignalSpy>
#include <QTest>

class ReplyFramerTest : public QObject
{
    Q_OBJECT

private:
    qint64 m_now = 0;
    std::unique_ptr<ReplyFramer> make()
    {
        m_now = 0;
        auto framer = std::make_unique<ReplyFramer>([this]() { return m_now; });
        framer->enable();
        return framer;
    }
    static QList<QByteArray> replies(const QSignalSpy &spy)
    {
        QList<QByteArray> out;
        for (const auto &args : spy)
            out.append(args.at(0).toByteArray());
        return out;
    }

private slots:
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<QByteArray>("leftOver");
        using L = QList<QByteArray>;
        QTest::newRow("plain") << L{"12.3\r\n"} << L{"12.3"} << QByteArray();
        QTest::newRow("empty line") << L{"\r\n"} << L{""} << QByteArray();
        QTest::newRow("CR inside") << L{"A\rB\r\n"} << L{"A\rB"} << QByteArray();
        QTest::newRow("LF alone is text") << L{"A\nB\r\n"} << L{"A\nB"} << QByteArray();
        QTest::newRow("several reads") << L{"1", "2.", "3", "\r", "\n"} << L{"12.3"} << QByteArray();
        QTest::newRow("two in one read") << L{"1\r\n2\r\n"} << L{"1", "2"} << QByteArray();
        QTest::newRow("CR then LF next read") << L{"12\r", "\n"} << L{"12"} << QByteArray();
        QTest::newRow("CR CR LF") << L{"7\r\r\n"} << L{"7\r"} << QByteArray();
        QTest::newRow("tail starts next reply") << L{"1\r\n2"} << L{"1"} << QByteArray("2");
        QTest::newRow("leading blanks kept") << L{"  5 \r\n"} << L{"  5 "} << QByteArray();
        QTest::newRow("no terminator") << L{"abc\r"} << L{} << QByteArray("abc\r");
        QTest::newRow("binary bytes") << L{QByteArray("\x00\xff\r\n", 4)} << L{QByteArray("\x00\xff", 2)}
                                      << QByteArray();
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(QByteArray, leftOver);
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        for (const QByteArray &r : reads)
            framer->feed(r);
        QCOMPARE(replies(spy), expected);
        QCOMPARE(framer->buffer(), leftOver);
        QVERIFY(framer->isArmed());
    }

    void disarmedFramerDropsInput()
    {
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        framer->disable();
        framer->feed("1\r\n");
        framer->enable();
        framer->feed("2\r\n");
        QCOMPARE(replies(spy), QList<QByteArray>{"2"});
    }

    void timeOut_data()
    {
        QTest::addColumn<qint64>("feedAt");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("just inside") << qint64(2148) << true;
        QTest::newRow("just past") << qint64(2149) << false;
        QTest::newRow("long past") << qint64(100000) << false;
    }
    void timeOut()
    {
        QFETCH(qint64, feedAt);
        QFETCH(bool, handedOver);
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        m_now = feedAt;
        framer->feed("9\r\n");
        QCOMPARE(spy.count(), handedOver ? 1 : 0);
        QCOMPARE(framer->isArmed(), handedOver);
    }

    void timedOutFramerStaysDeafUntilEnabled()
    {
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        m_now = 3000;
        framer->feed("1\r\n");
        framer->feed("2\r\n");
        QCOMPARE(spy.count(), 0);
        framer->enable();
        framer->feed("3\r\n");
        QCOMPARE(replies(spy), QList<QByteArray>{"3"});
    }

    void enablingAnArmedFramerKeepsItsDeadline()
    {
        auto framer = make();
        m_now = 2000;
        framer->enable();
        m_now = 2149;
        QVERIFY(!framer->isArmed());
    }

    void eachReplyRestartsTheDeadline()
    {
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        m_now = 2000;
        framer->feed("1\r\n");
        m_now = 4000;
        framer->feed("2\r\n");
        QCOMPARE(spy.count(), 2);
    }

    void bytesFedDuringHandOverAreFramedAfterIt()
    {
        auto framer = make();
        QList<QByteArray> seen;
        bool fedInside = false;
        connect(framer.get(), &ReplyFramer::reply, this, [&](const QByteArray &r) {
            seen.append(r);
            if (!fedInside) {
                fedInside = true;
                framer->feed("B\r\n");
                QCOMPARE(seen.size(), 1); // not handed over inside the handler
            }
        });
        framer->feed("A\r\n");
        QCOMPARE(seen, (QList<QByteArray>{"A", "B"}));
    }

    void clearingDropsAPartialReply()
    {
        auto framer = make();
        QSignalSpy spy(framer.get(), &ReplyFramer::reply);
        framer->feed("garb");
        framer->clearBuffer();
        framer->feed("42\r\n");
        QCOMPARE(replies(spy), QList<QByteArray>{"42"});
    }
};

QTEST_GUILESS_MAIN(ReplyFramerTest)
#include "tst_replyframer.moc"
