#include "modelrig.h"

#include "pages/setpoints/setpointmodel.h"

#include <QTest>
#include <algorithm>

using Settings = QList<QPair<QString, QString>>; // register, value
using Delay = SetpointModel::Delay;

// The setpoint rows without a window: the read-back, "Set Controls" and the row
// editors' rules. Rows are checked and edited as "n key=value" lines joined by "; ".
class SetpointModelTest : public QObject
{
    Q_OBJECT

private:
    static const QString ReadOrder;

    // Detection done, the meter set and the wire cleared; readRows() reads the rows too.
    static SetpointModel *detected(ModelRig &rig, const Settings &settings = {})
    {
        rig.detect();
        for (const auto &s : settings)
            rig.meter.setReg(s.first, s.second);
        rig.meter.clearLog();
        return rig.model<SetpointModel>(PageId::Setpoints);
    }
    static SetpointModel *readRows(ModelRig &rig, const Settings &settings = {})
    {
        SetpointModel *model = detected(rig, settings);
        rig.run([&]() { model->readRows(); });
        rig.meter.clearLog();
        return model;
    }
    static QStringList described(const SetpointModel &model, int n)
    {
        const setpointcodec::RowState &s = model.row(n);
        const SetpointModel::Presentation look = model.presentation(n);
        const auto yesNo = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
        const char *const glyphs[] = {"none", "hysteresis", "band"};
        QStringList lines;
        lines << "value=" + s.value << "counts=" + s.counts << "make=" + s.makeDelay << "break=" + s.breakDelay
              << "type=" + QString::number(s.delayType) << "flash=" + yesNo(s.flash) << "band=" + yesNo(s.band)
              << "energise=" + yesNo(s.energisePressed) << "reset delay=" + yesNo(s.resetDelay)
              << "source=" + QString::number(s.source) << "latch=" + model.latchText(n)
              << "override=" + yesNo(s.manualOverride) << "override enabled=" + yesNo(look.manualOverrideEnabled)
              << "reset on=" + QString::number(s.resetOnSetpoint)
              << "glyph=" + QLatin1String(glyphs[int(look.energiseGlyph)]) << "mode hint=" + look.modeHint
              << "energise hint=" + look.energiseHint << "make hint=" + look.makeDelayHint
              << "break hint=" + look.breakDelayHint;
        for (QString &line : lines)
            line.prepend(QString::number(n) + QLatin1Char(' '));
        return lines;
    }
    static void expect(const SetpointModel &model, const QString &expected)
    {
        for (const QString &line : expected.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString key = line.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
            const QStringList found = described(model, line.section(QLatin1Char(' '), 0, 0).toInt()).filter(key);
            QCOMPARE(found.value(0, QStringLiteral("no ") + key), line);
        }
    }
    // The operator's edits, as the view passes them on.
    static void apply(SetpointModel &model, const QString &edits)
    {
        using Edit = std::function<void(SetpointModel &, int, const QString &)>;
        const auto yes = [](const QString &value) { return value == QLatin1String("yes"); };
        const QHash<QString, Edit> setters{
            {"value", [](SetpointModel &m, int n, const QString &v) { m.setValue(n, v); }},
            {"make", [](SetpointModel &m, int n, const QString &v) { m.setDelayText(n, Delay::Make, v); }},
            {"break", [](SetpointModel &m, int n, const QString &v) { m.setDelayText(n, Delay::Break, v); }},
            {"leave make", [](SetpointModel &m, int n, const QString &) { m.limitDelay(n, Delay::Make); }},
            {"type", [](SetpointModel &m, int n, const QString &v) { m.setDelayType(n, v.toInt()); }},
            {"band", [&](SetpointModel &m, int n, const QString &v) { m.setBandMode(n, yes(v)); }},
            {"energise", [&](SetpointModel &m, int n, const QString &v) { m.setEnergised(n, yes(v)); }},
            {"latch", [](SetpointModel &m, int n, const QString &v) { m.setLatchText(n, v); }},
            {"override", [&](SetpointModel &m, int n, const QString &v) { m.setManualOverride(n, yes(v)); }},
            {"reset on", [](SetpointModel &m, int n, const QString &v) { m.setResetOnSetpoint(n, v.toInt()); }}};
        for (const QString &edit : edits.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString key = edit.section(QLatin1Char('='), 0, 0).section(QLatin1Char(' '), 1);
            QVERIFY2(setters.contains(key), qPrintable(edit));
            setters[key](model, edit.section(QLatin1Char(' '), 0, 0).toInt(), edit.section(QLatin1Char('='), 1));
        }
    }
    static QString registersOf(const QStringList &commands)
    {
        QStringList registers;
        for (const QString &c : commands)
            registers << c.mid(2, c.indexOf(QLatin1Char(',')) < 0 ? -1 : c.indexOf(QLatin1Char(',')) - 2);
        return registers.join(QLatin1Char(' '));
    }

private slots:
    // The read-back, and where a reply stops it.
    void readRows_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QString>("error");
        QTest::newRow("make delay 75") << Settings{{"71", "75"}} << "1 make=0:01:15" << 42 << "";
        QTest::newRow("control bits 19")
            << Settings{{"193", "19"}}
            << "1 type=3; 1 flash=no; 1 band=yes; 1 mode hint=Bandpass Mode; 1 glyph=band; "
               "1 make hint=OFF Time; 1 break hint=ON Time"
            << 42 << "";
        QTest::newRow("control bits 12") << Settings{{"193", "12"}}
                                         << "1 type=-1; 1 flash=yes; 1 band=no; 1 mode hint=Hysteresis Mode; "
                                            "1 glyph=hysteresis; 1 make hint=Delay on Make; 1 break hint=Delay on Break"
                                         << 42 << "";
        QTest::newRow("code 012 in row 1") << Settings{{"142", "012"}}
                                           << "1 energise=yes; 1 energise hint=Energised Above Setpoint; "
                                              "1 reset delay=no; 1 source=1; 1 latch=None; 1 override=yes; "
                                              "1 override enabled=yes"
                                           << 42 << "";
        QTest::newRow("code 314 in row 2") << Settings{{"143", "314"}}
                                           << "2 energise=no; 2 energise hint=Energised Below Setpoint; "
                                              "2 reset delay=yes; 2 source=1; 2 latch=De-energise; 2 override=no; "
                                              "2 override enabled=no"
                                           << 42 << "";
        QTest::newRow("code 106 in row 5") << Settings{{"146", "106"}, {"197", "16"}}
                                           << "5 energise=no; 5 energise hint=Energised Inside Band; "
                                              "5 reset delay=no; 5 source=0; 5 reset on=6"
                                           << 42 << "";
        QTest::newRow("value 12.50") << Settings{{"6", "12.50"}} << "1 value=1250" << 42 << "";
        QTest::newRow("counts") << Settings{{"70", "-15"}} << "6 counts=-15" << 42 << "";
        // "5." comes in as "5" once its point is removed.
        QTest::newRow("one-character code")
            << Settings{{"142", "5."}, {"7", "777"}}
            << "1 energise=no; 1 reset delay=yes; 1 source=-1; 1 glyph=hysteresis; 2 value=0; 2 glyph=none; "
               "2 energise hint=Energised below setpoint"
            << 6 << "Range check error";
        QTest::newRow("delay no integer")
            << Settings{{"71", "1:15"}} << "1 make= :  :  ; 1 glyph=none" << 3 << "'1:15' is not a valid integer value";
        QTest::newRow("short code of row 3")
            << Settings{{"144", "1."}} << "3 energise=no; 3 latch=; 1 latch=" << 6 * 2 + 6 << "Range check error";
    }
    void readRows()
    {
        QFETCH(Settings, settings);
        QFETCH(QString, expected);
        QFETCH(int, reads);
        QFETCH(QString, error);
        ModelRig rig;
        SetpointModel *model = detected(rig, settings);
        QVERIFY(!model->canSendRows());
        rig.run([&]() { model->readRows(); });
        expect(*model, expected);
        QCOMPARE(registersOf(rig.commands()), ReadOrder.section(QLatin1Char(' '), 0, reads - 1));
        QCOMPARE(model->progress() == SetpointModel::ProgressEnd, error.isEmpty());
        // Rows holding defaults or stale values are never sent.
        QCOMPARE(model->canSendRows(), error.isEmpty());
        rig.run([&]() { model->sendRows(); });
        // A setup written behind the page: rows that were read are read again.
        rig.meter.setReg(QStringLiteral("6"), QStringLiteral("4321"));
        rig.run([&]() { model->refresh(); });
        QCOMPARE(rig.commands().size(), error.isEmpty() ? 42 + 36 + 42 + 42 : reads);
        expect(*model, error.isEmpty() ? "1 value=4321" : "");
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), error.isEmpty() ? QStringList{} : QStringList{error});
    }

    void strayReplyStopsTheReadBack()
    {
        ModelRig rig;
        SetpointModel *model = detected(rig, {{"6", "999"}, {"65", "1"}, {"71", "75"}});
        bool injected = false;
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig, &injected](const QString &command) {
            // A late duplicate of SR6's reply overtakes the reply to SR65.
            if (command == QLatin1String("SR65") && !std::exchange(injected, true))
                rig.line->injectReceived("999\r\n");
        });
        rig.run([&]() { model->readRows(); });
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
        QVERIFY(rig.prompts.texts(QStringLiteral("error")).first().contains(QLatin1String("nobody asked for")));
        QVERIFY(!model->canSendRows());
        // Read again, cleanly: the rows hold the meter's own values.
        rig.run([&]() { model->readRows(); });
        QVERIFY(model->canSendRows());
        expect(*model, "1 value=999; 1 counts=1; 1 make=0:01:15");
    }

    // The operator's edits, and what "Set Controls" then writes.
    void edits_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("row 1") << Settings{}
                               << "1 value=1500; 1 make=0:01:15; 1 break=1:00:00; 1 type=2; 1 latch=Energise"
                               << QStringList{"SW6,1500", "SW71,75", "SW77,3600", "SW193,2", "SW142,1,"}
                               << "1 make hint=Delay on Make; 1 break hint=ON Time";
        QTest::newRow("row 5") << Settings{} << "5 band=yes; 5 energise=no; 5 reset on=3"
                               << QStringList{"SW197,16", "SW146,103"}
                               << "5 glyph=band; 5 energise hint=Energised Inside Band";
        QTest::newRow("held values") << Settings{{"72", "36000"}, {"78", "34000"}, {"194", "21"}, {"147", "008"}}
                                     << QString() << QStringList{"SW72,36000", "SW78,34000", "SW194,21", "SW147,8"}
                                     << "2 break hint=Delay on Break; 2 type=-1; 6 reset on=-1";
        QTest::newRow("the same text keeps a held delay")
            << Settings{{"72", "36000"}} << "2 make=9:59:59" << QStringList{"SW72,36000"}
            << "2 make hint=Delay on Make (the meter holds 10:00:00, which this field cannot show)";
        QTest::newRow("edits replace held values")
            << Settings{{"72", "36000"}, {"194", "5"}, {"145", "007"}, {"147", "008"}}
            << "2 make=1:00:00; 2 type=1; 4 override=yes; 6 reset on=1"
            << QStringList{"SW72,3600", "SW194,1", "SW145,2,", "SW147,1"} << "2 make hint=Delay on Make";
        QTest::newRow("mode of row 2, energise pressed")
            << Settings{{"143", "000"}} << "2 band=yes | 2 band=no" << QStringList{}
            << "2 mode hint=Bandpass Mode; 2 glyph=band; 2 energise hint=Energised Outside Band | "
               "2 mode hint=Hysteresis Mode; 2 glyph=hysteresis; 2 energise hint=Energised Above Setpoint";
        QTest::newRow("mode of row 3, energise released")
            << Settings{{"144", "100"}} << "3 band=yes | 3 band=no" << QStringList{}
            << "3 glyph=band; 3 energise hint=Energised Inside Band | 3 energise hint=Energised Below Setpoint";
        QTest::newRow("energise in hysteresis mode")
            << Settings{{"142", "100"}} << "1 energise=yes | 1 energise=no" << QStringList{}
            << "1 energise hint=Energised Above Setpoint; 1 glyph=hysteresis | "
               "1 energise hint=Energised Below Setpoint";
        QTest::newRow("energise in band mode")
            << Settings{{"142", "100"}, {"193", "16"}} << "1 energise=yes | 1 energise=no" << QStringList{}
            << "1 energise hint=Energised Outside Band; 1 glyph=band | 1 energise hint=Energised Inside Band";
        QTest::newRow("delay types") << Settings{} << "3 type=3 | 3 type=1 | 3 type=2 | 3 type=0" << QStringList{}
                                     << "3 make hint=OFF Time; 3 break hint=ON Time | "
                                        "3 make hint=Delay on Make; 3 break hint=Minimum ON Time | "
                                        "3 break hint=ON Time | 3 make hint=Delay on Make; 3 break hint=Delay on Break";
        // Typed text that is no item is written as None.
        QTest::newRow("latch") << Settings{{"142", "002"}}
                               << "1 latch=De-energise | 1 override=yes | 1 latch=Energise | 1 latch=De-energise; "
                                  "1 latch=Energ; 1 override=yes"
                               << QStringList{"SW142,2,"}
                               << "1 override=no; 1 override enabled=no | 1 override=no | 1 override enabled=yes | "
                                  "1 override=yes; 1 override enabled=yes";
        QTest::newRow("delay left") << Settings{} << "3 make=0:75:00; 3 leave make" << QStringList{"SW73,32766"}
                                    << "3 make=9:06:06";
    }
    void edits()
    {
        QFETCH(Settings, settings);
        QFETCH(QString, edits);
        QFETCH(QStringList, writes);
        QFETCH(QString, expected);
        ModelRig rig;
        SetpointModel *model = readRows(rig, settings);
        // Steps of edits, each followed by its check, are joined by " | ".
        const QStringList steps = edits.split(QStringLiteral(" | "));
        const QStringList checks = expected.split(QStringLiteral(" | "));
        for (int i = 0; i < steps.size(); ++i) {
            apply(*model, steps[i]);
            expect(*model, checks.value(i));
        }
        QVERIFY(rig.commands().isEmpty());
        if (writes.isEmpty())
            return;
        rig.run([&]() { model->sendRows(); });
        QCOMPARE(rig.commands().size(), 36 + 42);
        for (const QString &write : writes)
            QVERIFY2(rig.commands().contains(write), qPrintable(write));
        // The rows show what the meter kept; what they could not show stays held.
        expect(*model, checks.last());
    }

    // A second run never interleaves its exchanges with a running read-back
    // or "Set Controls".
    void secondRunWaits()
    {
        for (bool setControls : {false, true}) {
            ModelRig rig;
            SetpointModel *model = readRows(rig);
            rig.meter.setAnswerDelay(20);
            bool runningInside = false;
            QObject context;
            rig.clock.singleShot(60, &context, [&]() {
                runningInside = model->isRunning() && !model->canSendRows();
                rig.run([&]() {
                    model->sendRows();
                    model->readRows();
                });
            });
            rig.run([&]() { setControls ? model->sendRows() : model->readRows(); });
            QVERIFY(runningInside);
            QCOMPARE(rig.commands().size(), setControls ? 36 + 42 : 42);
        }
    }

    // "Set Controls" with edits, against a meter that answers the
    // read-back's reads of one register from a list.
    void sendRows_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QStringList>("replies"); // a register, then its replies
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("commands");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the meter keeps its own value")
            << "1 value=1500" << QStringList{"6", "250"} << "" << 36 + 42 << "1 value=250";
        // A reply that stops the read-back is reported, and every row is read again.
        QTest::newRow("read again") << QString() << QStringList{"71", "x", "75"} << "'x' is not a valid integer value"
                                    << 36 + 3 + 42 << "1 make=0:01:15";
        QTest::newRow("failing twice is reported once")
            << QString() << QStringList{"71", "x", "x"} << "'x' is not a valid integer value" << 36 + 3 + 3 << "";
        // Every write is composed first: a delay that cannot be sent stops the run before any.
        QTest::newRow("malformed delay") << "3 break= :  :  " << QStringList{} << "' ' is not a valid integer value"
                                         << 0 << "3 break= :  :  ";
    }
    void sendRows()
    {
        QFETCH(QString, edits);
        QFETCH(QStringList, replies);
        QFETCH(QString, error);
        QFETCH(int, commands);
        QFETCH(QString, expected);
        ModelRig rig;
        SetpointModel *model = readRows(rig);
        int progressAtReadBack = -1;
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&](const QString &command) {
            if (command == QLatin1String("SR6") && progressAtReadBack < 0)
                progressAtReadBack = model->progress();
            if (replies.size() > 1 && command == QLatin1String("SR") + replies.first())
                rig.meter.setReg(replies.first(), replies.takeAt(1));
        });
        apply(*model, edits);
        rig.run([&]() { model->sendRows(); });
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), error.isEmpty() ? QStringList{} : QStringList{error});
        QCOMPARE(rig.commands().size(), commands);
        // The writes advance the progress from 0 by 26 steps.
        QCOMPARE(progressAtReadBack, commands > 0 ? 260 : -1);
        expect(*model, expected);
        // Only a read-back that went through every row lets the rows be sent.
        QCOMPARE(model->canSendRows(), commands != 36 + 3 + 3);
    }

    void timeOutPartWayLeavesTheRowsToBeReadAgain()
    {
        ModelRig rig;
        SetpointModel *model = readRows(rig);
        rig.setWatchdog(std::chrono::milliseconds(50));
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Ignore};
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig](const QString &command) {
            if (command.startsWith(QLatin1String("SW8,")))
                rig.meter.dropNextReplies(1);
        });
        rig.run([&]() { model->sendRows(); });
        QCOMPARE(rig.prompts.count(QStringLiteral("timeout")), 1);
        QVERIFY(!model->isRunning());
        // Half the rows were written: nothing more goes out until they are read again.
        QVERIFY(!model->canSendRows());
        rig.run([&]() { model->readRows(); });
        QVERIFY(model->canSendRows());
    }

    void settings()
    {
        ModelRig rig;
        const QList<SettingRegister> all = rig.model<SetpointModel>(PageId::Setpoints)->settings();
        QCOMPARE(all.size(), 36);
        // Setpoint 1's code is written with a comma after it, setpoint 6's without.
        QCOMPARE(all.at(5).sent("012") + all.at(35).sent("012"), QStringLiteral("12,12"));
        // Name, register, a value the page would write, one it would not.
        const QStringList cases[] = {
            {"Setpoint 2 value", "7", "-1500", "15*"},         {"Setpoint 1 counts", "65", "5", "*"},
            {"Setpoint 3 make delay", "73", "35999", "36000"}, {"Setpoint 6 break delay", "82", "0", "-1"},
            {"Setpoint 6 control bits", "198", "31", "32"},    {"Setpoint 1 code", "142", "012", "12"}};
        for (const QStringList &c : cases) {
            const auto found =
                std::find_if(all.begin(), all.end(), [&](const SettingRegister &s) { return s.name == c[0]; });
            QVERIFY2(found != all.end(), qPrintable(c[0]));
            QCOMPARE(found->reg, c[1]);
            QVERIFY2(!found->refusal(c[2]) && found->refusal(c[3]), qPrintable(c[0]));
        }
    }
};

const QString SetpointModelTest::ReadOrder =
    QStringLiteral("6 65 71 77 193 142 7 66 72 78 194 143 8 67 73 79 195 144 9 68 74 80 196 145 "
                   "10 69 75 81 197 146 11 70 76 82 198 147 142 143 144 145 146 147");

QTEST_GUILESS_MAIN(SetpointModelTest)
#include "tst_setpointmodel.moc"
