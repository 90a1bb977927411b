#include "modelrig.h"

#include "pages/values/scaleoffsetmodel.h"

#include <QTest>

// The Scale & Offset model against the in-process meter, without a window:
// detection's read-back, and what leaving a field writes.
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
        QCOMPARE(rig.setup->summary().cell(18 + (reg - 24), 3), shown);
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
};

QTEST_GUILESS_MAIN(ValueModelsTest)
#include "tst_valuemodels.moc"
