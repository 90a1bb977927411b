#include "modelrig.h"

#include "link/errors.h"
#include "link/meterdetector.h"
#include "pages/codes/bargraphmodel.h"
#include "pages/codes/brightnessmodel.h"
#include "pages/codes/codemodel.h"
#include "pages/codes/displaysettingsmodel.h"
#include "pages/codes/displaysourcesmodel.h"
#include "pages/codes/kfactormodel.h"
#include "pages/codes/prescalermodel.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int First = CodeModel::FirstDigit;
constexpr int Second = CodeModel::SecondDigit;
constexpr int Third = CodeModel::ThirdDigit;

// A meter with these registers ("130=005") and model code, found.
void found(ModelRig &rig, const QStringList &registers = {}, const QString &model = {})
{
    if (!model.isEmpty())
        rig.meter.setModel(model);
    for (const QString &entry : registers)
        rig.meter.setReg(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    rig.detect();
}

// The model rig with a meter found.
struct FoundRig : ModelRig
{
    explicit FoundRig(const QStringList &registers = {}, const QString &model = {}) { found(*this, registers, model); }
};

// Runs an operation as a view does and returns the commands it sent.
QStringList wire(ModelRig &rig, const std::function<void()> &operation)
{
    rig.meter.clearLog();
    rig.run(operation);
    return rig.commands();
}

// The checked option of each group, "-" where none is.
template<typename Model>
QString checked(const Model *model)
{
    QString out;
    for (int g = 0; g < 3; ++g)
        out += model->checkedOption(g) < 0 ? QChar(u'-') : QChar(u'0' + model->checkedOption(g));
    return out;
}

void pick(ModelRig &rig, CodeModel *model, const QString &digits)
{
    for (int g = 0; g < 3; ++g)
        rig.run([&]() { model->choose(g, digits.at(g).digitValue()); });
}

CodeModel *code(ModelRig &rig, int n)
{
    return rig.model<CodeModel>(CodeModel::info(n).page);
}

// The page-change frame's entry, with the stored code as three digits.
void enter(ModelRig &rig, CodeModel *model)
{
    rig.run([&]() { model->enter(QStringLiteral("%1").arg(model->storedCode(), 3, 10, QLatin1Char('0'))); });
}

// A bargraph meter with the bar's low, high, zero (and colour) registers and the
// setpoint values given (the others at the bottom of the range), found and
// its Code 10 page entered.
BargraphModel *enterBar(ModelRig &rig, const QStringList &bar, const QStringList &setpoints = {},
                        const QString &model = QStringLiteral("KM5B"))
{
    QStringList registers{"99=" + bar[0], "100=" + bar[1], "220=" + bar[2]};
    if (bar.size() > 3)
        registers << "101=" + bar[3];
    for (int i = 0; i < 6; ++i)
        registers << QStringLiteral("%1=%2").arg(6 + i).arg(setpoints.value(i, QStringLiteral("-19999")));
    found(rig, registers, model);
    rig.meter.clearLog();
    enter(rig, code(rig, 10));
    return code(rig, 10)->bargraph();
}

} // namespace

// The code area's models against the in-process meter, without a window:
// what each reads and writes, and what it then holds.
class CodeModelsTest : public QObject
{
    Q_OBJECT

private:
    static DisplaySettingsModel *settings(ModelRig &rig)
    {
        return rig.model<DisplaySettingsModel>(PageId::DisplaySettings);
    }
    static QStringList errors(const ModelRig &rig) { return rig.prompts.texts(QStringLiteral("error")); }
    static bool tabShown(ModelRig &rig, PageId page) { return rig.setup->isTabVisible(page); }

private slots:
    // --- Brightness

    void brightnessLoad_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("3") << "3" << 3 << QStringList{"SW148,3"};
        QTest::newRow("5 is shown already") << "5" << 5 << QStringList{};
        QTest::newRow("0") << "0" << 0 << QStringList{"SW148,0"};
        QTest::newRow("above 7") << "9" << 7 << QStringList{"SW148,7"};
        QTest::newRow("below 0") << "-1" << -1 << QStringList{};
    }
    void brightnessLoad()
    {
        QFETCH(QString, reply);
        QFETCH(int, level);
        QFETCH(QStringList, writes);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("148"), reply);
        rig.meter.setWriteAck(QStringLiteral("7")); // the summary shows the value read
        rig.detect();
        const QStringList commands = rig.commands();
        const qsizetype read = commands.indexOf(QStringLiteral("SR148"));
        QVERIFY(read >= 0);
        // The write-back comes right after the read, and nothing else writes 148.
        QCOMPARE(commands.mid(read + 1, writes.size()), writes);
        QCOMPARE(commands.filter(QStringLiteral("148")), QStringList{"SR148"} + writes);
        QCOMPARE(rig.model<BrightnessModel>(PageId::Brightness)->level(), level);
        QCOMPARE(rig.setup->summary().cell(summarycell::Brightness), reply);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    void quickChoicesLeaveTheMeterAtTheLevelShown()
    {
        ModelRig rig;
        rig.detect();
        rig.meter.clearLog();
        rig.meter.setAnswerDelay(60);
        auto *brightness = rig.model<BrightnessModel>(PageId::Brightness);
        // Two more choices while the first write waits for its reply.
        QObject context;
        rig.clock.singleShot(10, &context, [&]() { rig.run([&]() { brightness->choose(7); }); });
        rig.clock.singleShot(20, &context, [&]() { rig.run([&]() { brightness->choose(2); }); });
        rig.run([&]() { brightness->choose(3); });
        VTRY_COMPARE(rig, rig.commands().size(), 3);
        QCOMPARE(rig.commands().first(), QStringLiteral("SW148,3"));
        QCOMPARE(brightness->level(), 2);
        QCOMPARE(rig.meter.reg(QStringLiteral("148")), QStringLiteral("2"));
    }

    void sendComposesWritesAndReadsBack_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("caption");
        QTest::newRow("code 9 377") << 9 << u"377"_s << u"SW138,377"_s << u"Code 9 - 377"_s;
        QTest::newRow("code 4 160") << 4 << u"160"_s << u"SW133,160"_s << u"Code 4 - 160"_s;
        QTest::newRow("code 3 no leading zeros") << 3 << u"005"_s << u"SW132,5"_s << u"Code 3 - 005"_s;
        QTest::newRow("code 7 045") << 7 << u"045"_s << u"SW136,45"_s << u"Code 7 - 045"_s;
    }
    void sendComposesWritesAndReadsBack()
    {
        QFETCH(int, n);
        QFETCH(QString, picks);
        QFETCH(QString, write);
        FoundRig rig;
        CodeModel *model = code(rig, n);
        pick(rig, model, picks);
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }), (QStringList{write, QStringLiteral("SR%1").arg(129 + n)}));
        QTEST(rig.setup->tabCaption(model->page()), "caption");
        QCOMPARE(model->storedCode(), picks.toInt());
        QCOMPARE(rig.setup->summary().cell(summarycell::code(n)), QString::number(picks.toInt()));
    }

    // Code 1's load and entry choose the meter's view as the operator would,
    // which opens it; the send puts "0 No Function" back and closes it.
    void code1ViewsOpenOnLoadAndEntryAndCloseOnSend()
    {
        FoundRig rig({"130=125"});
        CodeModel *code1 = code(rig, 1);
        QVERIFY(rig.commands().join(u' ').contains(QLatin1String("SR130 SR210 SR203")));
        rig.run([&]() { settings(rig)->close(); });
        QCOMPARE(wire(rig, [&]() { enter(rig, code1); }), (QStringList{"SR210", "SR203"}));
        QVERIFY(tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(wire(rig, [&]() { code1->sendCode(); }), (QStringList{"SR198", "SW130,125", "SR130"}));
        QCOMPARE(code1->checkedOption(Third), 0);
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
    }

    void failedReadBackKeepsTheStoredCode()
    {
        FoundRig rig;
        CodeModel *model = code(rig, 5);
        pick(rig, model, QStringLiteral("120"));
        // The meter keeps the write but answers the read with a non-number.
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&](const QString &command) {
            if (command == QLatin1String("SR134"))
                rig.meter.setReg(QStringLiteral("134"), QStringLiteral("x2"));
        });
        rig.run([&]() { model->sendCode(); });
        QCOMPARE(errors(rig), QStringList{"'x2' is not a valid integer value"});
        QCOMPARE(model->storedCode(), 0);
        QCOMPARE(rig.setup->tabCaption(PageId::Code5), QStringLiteral("Code 5 - 000"));
    }

    void pageEntryRestore_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("shown");
        QTest::newRow("code 5 discards picks") << 5 << true << u"021"_s;
        QTest::newRow("code 3 discards picks") << 3 << true << u"021"_s;
        QTest::newRow("code 9 keeps picks") << 9 << true << u"112"_s;
        QTest::newRow("code 8 keeps picks") << 8 << true << u"112"_s;
        // Without detection, the stored code is no code of the meter's.
        QTest::newRow("never read code 5 keeps picks") << 5 << false << u"112"_s;
    }
    void pageEntryRestore()
    {
        QFETCH(int, n);
        QFETCH(bool, read);
        QFETCH(QString, shown);
        ModelRig rig;
        rig.meter.setModel(QStringLiteral("K5")); // Code 8's log buffer can be picked
        rig.meter.setReg(QString::number(129 + n), QStringLiteral("021"));
        if (read)
            rig.detect();
        CodeModel *model = code(rig, n);
        pick(rig, model, QStringLiteral("112"));
        enter(rig, model);
        QCOMPARE(checked(model), shown);
        QCOMPARE(model->codeWord(), shown.toInt());
    }

    void loadChecksTheMeterOptions()
    {
        // Code 2's second digit 7 reads both K-factor registers while the
        // code is being loaded; the third digit still comes from the code.
        FoundRig rig({"131=075", "133=160", "138=417"});
        QCOMPARE(checked(code(rig, 2)), QStringLiteral("075"));
        QVERIFY(rig.commands().contains(QStringLiteral("SR38")));
        CodeModel *code4 = code(rig, 4);
        QCOMPARE(checked(code4), QStringLiteral("160"));
        QCOMPARE(code4->label(Third), QStringLiteral("Counter"));
        // A hidden option is checked like any other.
        QCOMPARE(code(rig, 9)->checkedOption(First), 4);
        QVERIFY(!code(rig, 9)->isShown(First, 4));
        QCOMPARE(code(rig, 9)->codeWord(), 417);
    }

    void digitsWithoutAnOptionAreKept_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("group");
        QTest::newRow("second digit 9") << 5 << u"190"_s << Second;
        QTest::newRow("first digit 8") << 9 << u"812"_s << First;
        QTest::newRow("third digit 8") << 3 << u"018"_s << Third;
    }
    void digitsWithoutAnOptionAreKept()
    {
        QFETCH(int, n);
        QFETCH(QString, stored);
        QFETCH(int, group);
        FoundRig rig({QStringLiteral("%1=%2").arg(129 + n).arg(stored)});
        CodeModel *model = code(rig, n);
        QCOMPARE(model->checkedOption(group), -1);
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }).value(0),
                 QStringLiteral("SW%1,%2").arg(129 + n).arg(stored.toInt()));
        // Picking an option afterwards still works.
        rig.run([&]() { model->choose(group, 1); });
        QCOMPARE(model->checkedOption(group), 1);
    }

    // A code reply that is no code ends the load there: that code and the
    // ones after it count as not read, and are not sent.
    void badCodeReplyEndsTheLoad_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("sendable");
        QTest::addColumn<QStringList>("error");
        const QStringList notANumber{"'x' is not a valid integer value"};
        QTest::newRow("the code that failed") << u"x"_s << 5 << false << notANumber;
        QTest::newRow("a code after the failure") << u"x"_s << 7 << false << notANumber;
        QTest::newRow("the last code") << u"x"_s << 10 << false << notANumber;
        QTest::newRow("a code read before the failure") << u"x"_s << 4 << true << notANumber;
        QTest::newRow("too short") << u"-5"_s << 5 << false << QStringList{"'-5' is not a three-digit code"};
        QTest::newRow("sign as a digit") << u"-12"_s << 5 << false << QStringList{"'-' is not a valid code digit"};
        // A reply nobody asked for: everything the load took is doubtful.
        QTest::newRow("a code read before a stray reply") << u"stray"_s << 1 << false << QStringList{};
    }
    void badCodeReplyEndsTheLoad()
    {
        QFETCH(QString, reply);
        QFETCH(int, n);
        QFETCH(bool, sendable);
        ModelRig rig;
        const bool strayRow = reply == QLatin1String("stray");
        bool stray = strayRow;
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig, &stray](const QString &command) {
            if (command == QLatin1String("SR134") && std::exchange(stray, false))
                rig.line->injectReceived("000\r\n");
        });
        if (!strayRow)
            rig.meter.setReg(QStringLiteral("134"), reply);
        rig.detect();
        if (!strayRow) {
            QTEST(errors(rig), "error");
            QVERIFY(rig.commands().contains(QStringLiteral("SR134")));
            QVERIFY(!rig.commands().contains(QStringLiteral("SR135")));
        }
        CodeModel *model = code(rig, n);
        QCOMPARE(model->canSend(), sendable);
        QCOMPARE(model->waitsForRead(), !sendable);
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }).isEmpty(), !sendable);
        // Once a detection run reads it, the code can go out.
        found(rig, {"134=000"});
        QVERIFY(model->canSend());
    }

    void code6TabFollowsSamplingRate_data()
    {
        QTest::addColumn<QString>("code4");
        QTest::addColumn<bool>("shown");
        QTest::newRow("060 single 60Hz") << u"060"_s << false;
        QTest::newRow("110 dual 60Hz") << u"110"_s << true;
        QTest::newRow("200 single 50Hz") << u"200"_s << false;
        QTest::newRow("300 dual 50Hz") << u"300"_s << true;
    }
    void code6TabFollowsSamplingRate()
    {
        QFETCH(QString, code4);
        QFETCH(bool, shown);
        FoundRig rig({"133=" + code4});
        QCOMPARE(tabShown(rig, PageId::Code6), shown);
        // The other kind of sampling turns it round.
        rig.run([&]() { code(rig, 4)->choose(First, shown ? 0 : 1); });
        QCOMPARE(tabShown(rig, PageId::Code6), !shown);
    }

    void code4MeasurementTypeRelabelsTheThirdDigit_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("first");
        QTest::newRow("voltage") << 0 << u"Voltage / Current"_s << u"111"_s << u"0 No Function"_s;
        QTest::newRow("thermocouple") << 1 << u"Thermocouple"_s << u"11111111"_s << u"0 J Type Thermocouple"_s;
        QTest::newRow("rtd 3 wire") << 2 << u"RTD"_s << u"11111"_s << u"0 Resistance"_s;
        QTest::newRow("rtd 2 or 4 wire") << 3 << u"RTD"_s << u"11111"_s << u"0 Resistance"_s;
        QTest::newRow("frequency") << 4 << u"Frequency"_s << u"11111111"_s << u"0 0.040Hz - 32.000Hz"_s;
        QTest::newRow("period") << 5 << u"Period"_s << u"1111"_s << u"0 32.766 S (1 mS)"_s;
        QTest::newRow("counter") << 6 << u"Counter"_s << u"11111111"_s << u"0 Counter with Prescaler"_s;
        QTest::newRow("channel 1 disabled") << 7 << u"Disabled"_s << u""_s << u"0 Counter with Prescaler"_s;
    }
    void code4MeasurementTypeRelabelsTheThirdDigit()
    {
        QFETCH(int, type);
        ModelRig rig;
        // From another type; the captions a type does not give stay.
        found(rig, {QStringLiteral("133=0%1").arg(type == 7 ? 6 : 7) + u'7'});
        CodeModel *model = code(rig, 4);
        rig.run([&]() { model->choose(Second, type); });
        QString shown;
        for (int d = 0; d < CodeModel::Options; ++d)
            shown += model->isShown(Third, d) ? QStringLiteral("1") : QString();
        QTEST(shown, "shown");
        QTEST(model->label(Third), "label");
        QTEST(model->caption(Third, 0), "first");
        QCOMPARE(model->checkedOption(Third), 0);
        QCOMPARE(model->codeWord(), type * 10);
    }

    void code6MeasurementTypeKeepsTheHiddenChoice()
    {
        FoundRig rig;
        CodeModel *model = code(rig, 6);
        pick(rig, model, QStringLiteral("150"));
        rig.run([&]() { model->choose(First, 0); });
        QCOMPARE(model->label(Second), QStringLiteral("Voltage/Current"));
        QVERIFY(!model->isShown(Second, 5));
        QCOMPARE(model->checkedOption(Second), 5);
        QCOMPARE(model->codeWord(), 50);
        rig.run([&]() { model->choose(First, 3); });
        QVERIFY(model->isShown(Second, 5));
    }

    void code2TareAndKFactor()
    {
        FoundRig rig({"131=120", "38=30000", "152=6"});
        CodeModel *model = code(rig, 2);
        KFactorModel *kFactor = model->kFactor();
        // A tare code read from the meter holds the operator on the page and
        // the send back until the first digit is 0 again.
        QVERIFY(!model->canLeave());
        QVERIFY(!model->canSend());
        rig.run([&]() { model->choose(First, 0); });
        QVERIFY(model->canSend());
        QCOMPARE(wire(rig, [&]() { model->choose(Second, 7); }), (QStringList{"SR38", "SR152"}));
        QVERIFY(kFactor->isOpen());
        QVERIFY(!model->canSend());
        // Register 38 shows after the high caption, 152 after the low one.
        QCOMPARE(kFactor->highText(), QStringLiteral("K Factor High Byte  30000"));
        QCOMPARE(kFactor->lowText(), QStringLiteral("K Factor Low Byte  6"));
        QCOMPARE(model->codeWord(), 70);
        // Choosing the checked option again runs nothing.
        QCOMPARE(wire(rig, [&]() { model->choose(Second, 7); }), QStringList{});
        // A tare function keeps the panel; "0 No Function" closes it, and
        // "7 Set K factor" still holds the send back.
        rig.run([&]() { model->choose(First, 1); });
        QVERIFY(kFactor->isOpen());
        rig.run([&]() { model->choose(First, 0); });
        QVERIFY(!kFactor->isOpen());
        QVERIFY(!model->canSend());
        // The panel's send ends the task on option 0; only a calculated pair goes out.
        QCOMPARE(wire(rig, [&]() { kFactor->send(); }), QStringList{});
        rig.run([&]() { kFactor->calculate(); });
        QCOMPARE(wire(rig, [&]() { kFactor->send(); }), (QStringList{"SW152,6", "SW38,30000"}));
        QCOMPARE(checked(model), QStringLiteral("000"));
        QVERIFY(model->canSend());
        rig.run([&]() { model->sendCode(); });
        QVERIFY(model->canLeave());
    }

    void code4PrescalerMode()
    {
        FoundRig rig({"97=32773"});
        CodeModel *model = code(rig, 4);
        PrescalerModel *prescaler = model->prescaler();
        pick(rig, model, QStringLiteral("063"));
        QCOMPARE(wire(rig, [&]() { model->choose(Third, 1); }), QStringList{"SR97"});
        QVERIFY(prescaler->isOpen());
        QVERIFY(!model->canSend());
        QCOMPARE(model->codeWord(), 63); // setting the prescaler is an action
        rig.run([&]() { model->choose(Third, 0); });
        QVERIFY(!prescaler->isOpen());
        QVERIFY(model->canSend());
        QCOMPARE(model->codeWord(), 60);
        // "1" of another measurement type is a setting like any other.
        pick(rig, model, QStringLiteral("041"));
        QVERIFY(!prescaler->isOpen());
        QCOMPARE(model->codeWord(), 41);
        // The panel's own send ends prescaler mode on option 0.
        pick(rig, model, QStringLiteral("061"));
        QCOMPARE(wire(rig, [&]() { prescaler->send(); }), QStringList{"SW97,-32763"});
        QCOMPARE(checked(model), QStringLiteral("060"));
        QVERIFY(model->canSend());
    }

    void code6PrescalerMode()
    {
        FoundRig rig({"98=250"});
        CodeModel *model = code(rig, 6);
        PrescalerModel *prescaler = model->prescaler();
        pick(rig, model, QStringLiteral("340"));
        QCOMPARE(wire(rig, [&]() { model->choose(Second, 7); }), QStringList{"SR98"});
        QCOMPARE(prescaler->text(), QStringLiteral("250"));
        QCOMPARE(model->codeWord(), 340);
        // Other options of the digit leave the panel open.
        rig.run([&]() { model->choose(Second, 2); });
        QVERIFY(prescaler->isOpen());
        QVERIFY(!model->canSend());
        QCOMPARE(wire(rig, [&]() { prescaler->send(); }), QStringList{"SW98,250"});
        QCOMPARE(checked(model), QStringLiteral("300"));
        QVERIFY(model->canSend());
        // Option 7 of another input type is a setting.
        pick(rig, model, QStringLiteral("170"));
        QVERIFY(!prescaler->isOpen());
        QCOMPARE(model->codeWord(), 170);
    }

    void code8LogBuffer_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bargraph model") << u"KM5B"_s << false;
        QTest::newRow("model without B") << u"K5"_s << true;
    }
    void code8LogBuffer()
    {
        QFETCH(QString, model);
        QFETCH(bool, enabled);
        ModelRig rig;
        // Loaded with "3 Reset FIFO buffer": the buffer is not reset.
        found(rig, {"137=312"}, model);
        CodeModel *code8 = code(rig, 8);
        QVERIFY(!rig.commands().join(u' ').contains(QLatin1String("SW72")));
        QCOMPARE(checked(code8), QStringLiteral("212"));
        QCOMPARE(code8->codeWord(), 212);
        // Entering the page: the log buffer is not chosen on "B" models.
        enter(rig, code8);
        for (int d = 0; d < 4; ++d)
            QCOMPARE(code8->isEnabled(First, d), enabled);
        // Chosen: "3 Reset FIFO buffer" resets the buffer and leaves the
        // linear one; choosing it again writes nothing.
        rig.run([&]() { code8->choose(First, 0); });
        QCOMPARE(wire(rig, [&]() { code8->choose(First, 3); }), (QStringList{"SW720,0", "SW721,0"}));
        QCOMPARE(code8->codeWord(), 212);
        QCOMPARE(wire(rig, [&]() { code8->choose(First, 2); }), QStringList{});
    }

    void calibrationCodeIsNeverSent()
    {
        FoundRig rig;
        auto *model = rig.model<CodeModel>(PageId::Calibration);
        QVERIFY(!tabShown(rig, PageId::Calibration));
        rig.run([&]() { model->choose(Second, 4); });
        QCOMPARE(model->codeWord(), 40);
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }), QStringList{});
        QVERIFY(model->settings().isEmpty());
    }

    // The extra displays' options open the display settings and never add
    // their target into the code word.
    void extraDisplaysKeepTheCodeWord_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("written");
        QTest::newRow("loaded with a display option") << u"213"_s << -1 << u"SW139,213"_s;
        QTest::newRow("second display picked") << u"013"_s << 2 << u"SW139,13"_s;
        QTest::newRow("third display picked") << u"147"_s << 3 << u"SW139,147"_s;
    }
    void extraDisplaysKeepTheCodeWord()
    {
        QFETCH(QString, stored);
        QFETCH(int, picked);
        QFETCH(QString, written);
        FoundRig rig({"139=" + stored, "229=40", "230=41"}, QStringLiteral("K3"));
        // A load never opens the display settings.
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        CodeModel *model = code(rig, 10);
        enter(rig, model);
        if (picked >= 0) {
            rig.run([&]() { model->choose(First, picked); });
            QVERIFY(tabShown(rig, PageId::DisplaySettings));
        }
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }), (QStringList{"SW229,40", "SW230,41", written, "SR139"}));
    }

    void bargraphAfterExtraDisplays()
    {
        FoundRig rig({}, QStringLiteral("K3"));
        found(rig, {}, QStringLiteral("KM5B"));
        CodeModel *model = code(rig, 10);
        QVERIFY(!model->displaySources()->isShown());
        QVERIFY(model->bargraph()->isShown());
        QCOMPARE(model->optionValue(First, 2), 200);
        QCOMPARE(model->optionValue(First, 3), 300);
        // A logarithmic scale has a reference value instead of two ends.
        rig.run([&]() { model->choose(Third, 3); });
        QVERIFY(!model->bargraph()->isLinear());
        pick(rig, model, QStringLiteral("123"));
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }), (QStringList{"SW139,123", "SR139"}));
    }

    void drawBar_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("registers"); // low, high, zero, colours
        QTest::addColumn<QStringList>("setpoints");
        QTest::addColumn<QList<int>>("zones");
        QTest::newRow("0..1000 at 50 of 100")
            << u"KM5B"_s << QStringList{"0", "1000", "50", "1"} << QStringList{"200"} << QList<int>{1, 0};
        QTest::newRow("50 segments from the first drawing")
            << u"KM51B"_s << QStringList{"0", "1000", "25", "1"} << QStringList{"200"} << QList<int>{1, 0};
        // Setpoints strictly inside the bar divide it into zones.
        QTest::newRow("zones between setpoints")
            << u"KM5B"_s << QStringList{"0", "1000", "50", "36"}
            << QStringList{"200", "700", "-500", "0", "1000", "1200"} << QList<int>{0, 1, 2};
    }
    void drawBar()
    {
        QFETCH(QStringList, registers);
        QFETCH(QStringList, setpoints);
        QFETCH(QString, model);
        ModelRig rig;
        BargraphModel *bar = enterBar(rig, registers, setpoints, model);
        QCOMPARE(rig.commands(),
                 (QStringList{"SR100", "SR99", "SR220", "SR101", "SR6", "SR7", "SR8", "SR9", "SR10", "SR11"}));
        // The low field shows the smaller end.
        QCOMPARE((QStringList{bar->fieldText(BargraphModel::LowField), bar->fieldText(BargraphModel::HighField),
                              bar->fieldText(BargraphModel::ZeroField)}),
                 (QStringList{"0", "1000", "500"}));
        QCOMPARE((QList<int>{bar->minimum(), bar->maximum(), bar->position()}), (QList<int>{0, 1000, 500}));
        QTEST(bar->zoneColours(), "zones");
    }

    void colourChange_data()
    {
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QString>("atClick");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("colour");
        QTest::newRow("green turns amber on the meter's colours")
            << u"36"_s << u"37"_s << 1 << QStringList{"SR101", "SW101,45"} << 3;
        QTest::newRow("amber turns red, reply read as 16 bits")
            << u"-1"_s << u"-1"_s << 2 << QStringList{"SR101", "SW101,65519"} << 2;
    }
    void colourChange()
    {
        QFETCH(QString, drawn);
        QFETCH(QString, atClick);
        QFETCH(int, zone);
        QFETCH(int, colour);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("101"), drawn);
        BargraphModel *bar = enterBar(rig, {"0", "1000", "50"}, {"200", "700"});
        QList<int> expected = bar->zoneColours();
        expected[zone] = colour;
        rig.meter.setReg(QStringLiteral("101"), atClick);
        QTEST(wire(rig, [&]() { bar->cycleColour(zone); }), "written");
        QCOMPARE(bar->zoneColours(), expected);
    }

    void leaveBarField_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("error");
        const QStringList none;
        const int low = BargraphModel::LowField;
        const int high = BargraphModel::HighField;
        const int zero = BargraphModel::ZeroField;
        QTest::newRow("zero moved") << zero << u"250"_s << QStringList{"SW99,0", "SW100,1000", "SW220,25"} << u"250"_s
                                    << none;
        QTest::newRow("low above high swaps the registers")
            << low << u"2000"_s << QStringList{"SW99,1000", "SW100,2000", "SW220,0"} << u"1000"_s << none;
        QTest::newRow("out of range reverts") << low << u"-25000"_s << none << u"0"_s << none;
        QTest::newRow("equal ends revert") << high << u"0"_s << none << u"1000"_s << none;
        QTest::newRow("no number reverts")
            << zero << u"-"_s << none << u"500"_s << QStringList{"'-' is not a valid integer value"};
    }
    void leaveBarField()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        ModelRig rig;
        BargraphModel *bar = enterBar(rig, {"0", "1000", "50"});
        const auto which = BargraphModel::Field(field);
        const QString entryText = bar->fieldText(which);
        bar->editField(which, typed);
        QTEST(wire(rig, [&]() { bar->leaveField(which, entryText); }).filter(QStringLiteral("SW")), "written");
        QTEST(bar->fieldText(which), "shown");
        QTEST(errors(rig), "error");
        // The slider writes its segment again afterwards.
        QCOMPARE(wire(rig, [&]() { bar->moveZero(bar->minimum() + (bar->maximum() - bar->minimum()) * 3 / 4); }),
                 QStringList{"SW220,75"});
        QCOMPARE(bar->fieldText(BargraphModel::ZeroField), QString::number(bar->position()));
    }

    // When the model reads, keeps and writes them (the clamping is the bargraph's).
    void displaySourceRegisters()
    {
        FoundRig rig({"229=999", "230=-3"}, u"K3B"_s); // the bar, then the source registers
        CodeModel *model = code(rig, 10);
        DisplaySourcesModel *sources = model->displaySources();
        QCOMPARE(wire(rig, [&]() { enter(rig, model); }).mid(9), (QStringList{"SR11", "SR229", "SR230"}));
        QCOMPARE((QStringList{sources->text(0), sources->text(1)}), (QStringList{"255", "1"}));
        // A number inside the range is written as typed.
        sources->editText(1, QStringLiteral("042"));
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }).mid(0, 2), (QStringList{"SW229,255", "SW230,042"}));
        // A field that is no number stops the send before anything is written.
        sources->editText(0, QString());
        QCOMPARE(wire(rig, [&]() { model->sendCode(); }), QStringList{});
        QCOMPARE(errors(rig), QStringList{"'' is not a valid integer value"});
    }

    void openFromCode1AndSend_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QStringList>("opening");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QList<int>>("presses"); // character buttons
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QStringList>("sent");
        const QStringList reads{"SR208", "SR201"};
        const QList<int> none;
        QTest::newRow("123 with A") << u"123"_s << u"65"_s << reads << u"123"_s << none << true
                                    << QStringList{"SW201,123", "SW208,65"};
        QTest::newRow("0 with no character")
            << u"0"_s << u"0"_s << reads << u"000"_s << none << true << QStringList{"SW201,0", "SW208,0"};
        QTest::newRow("alphanumeric reads the character again")
            << u"471"_s << u"77"_s << QStringList{"SR208", "SR201", "SR208"} << u"-71"_s << none << true
            << QStringList{"SW201,471", "SW208,77"};
        QTest::newRow("digits without options kept")
            << u"908"_s << u"95"_s << reads << u"-0-"_s << none << true << QStringList{"SW201,908", "SW208,95"};
        // Each press toggles its button: the pressed one is released.
        const QStringList cleared{"SW201,0", "SW208,0"};
        QTest::newRow("clear") << u"0"_s << u"65"_s << reads << u"000"_s << QList<int>{0} << true << cleared;
        QTest::newRow("another character") << u"0"_s << u"65"_s << reads << u"000"_s << QList<int>{'B', 'Z'} << true
                                           << QStringList{"SW201,0", "SW208,90"};
        QTest::newRow("released") << u"0"_s << u"65"_s << reads << u"000"_s << QList<int>{'A'} << false << cleared;
        QTest::newRow("released after clear")
            << u"0"_s << u"65"_s << reads << u"000"_s << QList<int>{0, 0} << false << cleared;
    }
    void openFromCode1AndSend()
    {
        QFETCH(QString, format);
        QFETCH(QString, character);
        QFETCH(QList<int>, presses);
        QFETCH(QStringList, sent);
        FoundRig rig({"201=" + format, "208=" + character});
        CodeModel *code1 = code(rig, 1);
        DisplaySettingsModel *page = settings(rig);
        QTEST(wire(rig, [&]() { code1->choose(Third, 3); }), "opening");
        QVERIFY(tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(page->heading(), QStringLiteral("Format Channel 2 view mode"));
        QTEST(checked(page), "checked");
        QCOMPARE(page->selectedCharacter(), character.toInt());
        QCOMPARE(code1->codeWord(), 0); // the view is no digit of Code 1's
        for (int press : presses)
            page->pressCharacter(press, !(page->characterPressed() && page->selectedCharacter() == press));
        QTEST(page->characterPressed(), "pressed");
        // Closing puts Code 1's third digit back, which reads register 198.
        QCOMPARE(wire(rig, [&]() { page->send(); }), sent + QStringList{"SR198"});
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(code1->checkedOption(Third), 0);
        QCOMPARE(page->target(), 0);
    }

    void cancelWritesNothing()
    {
        FoundRig rig;
        CodeModel *code1 = code(rig, 1);
        QCOMPARE(wire(rig, [&]() { code1->choose(Third, 7); }), (QStringList{"SR212", "SR205"}));
        rig.run([&]() { settings(rig)->choose(First, 2); });
        QCOMPARE(wire(rig, [&]() { settings(rig)->close(); }), QStringList{"SR198"});
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(code1->checkedOption(Third), 0);
        // A failed read of register 198 still closes the page.
        rig.run([&]() { code1->choose(Third, 7); });
        rig.meter.setReg(QStringLiteral("198"), QStringLiteral("?"));
        rig.run([&]() { settings(rig)->close(); });
        QCOMPARE(errors(rig), QStringList{"'?' is not a valid integer value"});
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
    }

    // What opening from Code 10 reads, writes and shows again.
    void openFromCode10ForAnExtraDisplay()
    {
        FoundRig rig({"225=120", "227=72"}, u"K3"_s);
        CodeModel *code10 = code(rig, 10);
        DisplaySettingsModel *page = settings(rig);
        QCOMPARE(wire(rig, [&]() { code10->choose(First, 2); }), (QStringList{"SR227", "SR225"}));
        QCOMPARE(page->heading(), QStringLiteral("Setup Second Display"));
        QCOMPARE(checked(page), QStringLiteral("120"));
        rig.run([&]() { page->choose(Second, 1); });
        QSignalSpy shown(rig.setup.get(), &MeterSetup::pageShowRequested);
        QCOMPARE(wire(rig, [&]() { page->send(); }), (QStringList{"SW225,110", "SW227,72"}));
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(shown.value(0).value(0).value<PageId>(), PageId::Code10);
        QCOMPARE(code10->checkedOption(First), 0);
    }

    // Target 0 stands for register 198, which is also setpoint 6's control
    // bits: a send for it writes nothing.
    void sendWithoutAViewWritesNothing_data()
    {
        QTest::addColumn<QString>("code1");
        QTest::addColumn<bool>("pickNoFunction");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("0 No Function picked while open") << u"005"_s << true << QStringList{};
        // Entering Code 1 shows the meter's digit without touching the view.
        QTest::newRow("Code 1 entered while open") << u"000"_s << false << QStringList{"SW201,0", "SW208,0"};
    }
    void sendWithoutAViewWritesNothing()
    {
        QFETCH(QString, code1);
        QFETCH(bool, pickNoFunction);
        FoundRig rig({"130=" + code1});
        CodeModel *model = code(rig, 1);
        rig.run([&]() { model->choose(Third, 3); });
        enter(rig, model); // opens a stored view again
        if (pickNoFunction)
            rig.run([&]() { model->choose(Third, 0); });
        QVERIFY(tabShown(rig, PageId::DisplaySettings));
        QTEST(wire(rig, [&]() { settings(rig)->send(); }), "sent");
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
    }

    // An opening that stops part way leaves the page closed, and the option
    // can be chosen again.
    void failedOpeningLeavesThePageClosed_data()
    {
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<QString>("error");
        QTest::newRow("character no number") << u"208"_s << u"x"_s << false << u"'x' is not a valid integer value"_s;
        QTest::newRow("format no number") << u"201"_s << u"1x3"_s << false << u"'1x3' is not a valid integer value"_s;
        QTest::newRow("format too long, page open before")
            << u"201"_s << u"1234"_s << true << u"'1234' is not a three-digit code"_s;
    }
    void failedOpeningLeavesThePageClosed()
    {
        QFETCH(QString, reg);
        QFETCH(QString, reply);
        QFETCH(bool, openBefore);
        QFETCH(QString, error);
        FoundRig rig;
        CodeModel *model = code(rig, 1);
        if (openBefore) {
            rig.run([&]() { model->choose(Third, 6); });
            enter(rig, model);
        }
        rig.meter.setReg(reg, reply);
        rig.run([&]() { model->choose(Third, 3); });
        QCOMPARE(errors(rig), QStringList{error});
        QVERIFY(!tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(model->checkedOption(Third), 0);
        // With the meter answering again, the same choice opens the page.
        rig.meter.setReg(reg, QStringLiteral("5"));
        rig.run([&]() { model->choose(Third, 3); });
        QVERIFY(tabShown(rig, PageId::DisplaySettings));
        QCOMPARE(settings(rig)->target(), 3);
    }

    void kFactorCalculation_data()
    {
        QTest::addColumn<QStringList>("entries"); // rate, time, unit, total
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("error");
        const QString tooLarge = QStringLiteral("Value to large");
        const QString noPair = QStringLiteral("No K Factor pair fits");
        const auto row = [](const char *name, const QStringList &entries, const QString &high, const QString &low,
                            const QString &error = QString()) {
            QTest::newRow(name) << entries << high << low << error;
        };
        // N = time x factor x rate / total; factor 5 per second.
        row("defaults", {"100", "3600", "Seconds", "10"}, "6", "30000");
        row("one day", {"100", "1", "Days", "1"}, tooLarge, "");
        row("hours", {"100", "1", "Hours", "10"}, "6", "30000");
        row("unknown unit counts as seconds", {"100", "3600", "Weeks", "10"}, "6", "30000");
        row("255 x 32767", {"8355585", "1", "Seconds", "5"}, tooLarge, "");
        row("limit has no pair", {"8355584", "1", "Seconds", "5"}, noPair, "");
        row("8355330", {"8355330", "1", "Seconds", "5"}, "255", "32766");
        row("32767", {"32767", "1", "Seconds", "5"}, "1", "32767");
        row("32768", {"32768", "1", "Seconds", "5"}, "2", "16384");
        row("prime above 32767", {"32771", "1", "Seconds", "5"}, noPair, "");
        row("zero rate", {"0", "3600", "Seconds", "10"}, "1", "0");
        row("division truncates", {"7", "1", "Seconds", "2"}, "1", "17");
        // 3600 x 18000 x 100000 is beyond 32 bits; wrapped it would give 3189.
        row("product beyond 32 bits", {"100000", "3600", "Hours", "1000000"}, "200", "32400");
        // 65536 x 300 x 16384 is 75 x 2^32: wrapped to 32 bits it is 0.
        row("product wraps to 0 in 32 bits", {"16384", "65536", "Minutes", "1"}, tooLarge, "");
        row("product beyond 64 bits", {"2147483647", "2147483647", "Days", "2147483647"}, tooLarge, "");
        row("negative rate", {"-100", "3600", "Seconds", "10"}, tooLarge, "");
        row("negative rate and total", {"-100", "3600", "Seconds", "-10"}, "6", "30000");
        // Entries that are no whole number keep the previous result.
        row("rate", {"12x", "3600", "Seconds", "10"}, "6", "30000", "'12x' is not a valid integer value");
        row("time decimal", {"100", "1.5", "Seconds", "10"}, "6", "30000", "'1.5' is not a valid integer value");
        row("total empty", {"100", "3600", "Seconds", ""}, "6", "30000", "'' is not a valid integer value");
        row("total zero", {"100", "3600", "Seconds", "0"}, "6", "30000", "Division by zero");
    }
    void kFactorCalculation()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, high);
        QFETCH(QString, low);
        QFETCH(QString, error);
        FoundRig rig;
        KFactorModel *kFactor = code(rig, 2)->kFactor();
        rig.run([&]() { kFactor->calculate(); });
        kFactor->setRate(entries[0]);
        kFactor->setTime(entries[1]);
        kFactor->setUnit(entries[2]);
        kFactor->setTotal(entries[3]);
        rig.run([&]() { kFactor->calculate(); });
        QCOMPARE((QStringList{kFactor->highText(), kFactor->lowText()}), (QStringList{high, low}));
        const bool found = high.toInt() > 0;
        QCOMPARE(kFactor->canSend(), found);
        QCOMPARE(errors(rig), error.isEmpty() ? QStringList{} : QStringList{error});
        // Only a calculated pair is sent.
        const QStringList pair{"SW152," + high, "SW38," + low};
        QCOMPARE(wire(rig, [&]() { kFactor->send(); }), found ? pair : QStringList{});
    }

    void prescalerNormalised_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // empty: no number
        QTest::newRow("0") << u"0"_s << u"1"_s;
        QTest::newRow("40000") << u"40000"_s << u"32767"_s;
        QTest::newRow("minus") << u"-"_s << u"1"_s;
        QTest::newRow("250") << u"250"_s << u"250"_s;
        QTest::newRow("half rounds up") << u"2.5"_s << u"3"_s;
        QTest::newRow("below half") << u"12.49"_s << u"12"_s;
        QTest::newRow("negative") << u"-5"_s << u"1"_s;
        QTest::newRow("exponent") << u"1.5E3"_s << u"1500"_s;
        QTest::newRow("blanks") << u" 7 "_s << u"7"_s;
        QTest::newRow("just above the top") << u"32767.4"_s << u"32767"_s;
        QTest::newRow("point at the end") << u"12."_s << u"12"_s;
        QTest::newRow("point at the start") << u".6"_s << u"1"_s;
        QTest::newRow("empty") << u""_s << u""_s;
        QTest::newRow("letters") << u"abc"_s << u""_s;
        QTest::newRow("two points") << u"1.2.3"_s << u""_s;
        QTest::newRow("exponent without digits") << u"1E"_s << u""_s;
    }
    void prescalerNormalised()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        if (shown.isEmpty())
            QVERIFY_THROWS_EXCEPTION(UserError, PrescalerModel::normalised(text));
        else
            QCOMPARE(PrescalerModel::normalised(text), shown);
    }

    void prescalerOpen_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("debounce");
        QTest::addColumn<QString>("shown");
        QTest::newRow("32773") << 4 << u"32773"_s << true << u"5"_s;
        QTest::newRow("32778") << 4 << u"32778"_s << true << u"10"_s;
        QTest::newRow("no de-bounce") << 4 << u"10"_s << false << u"10"_s;
        QTest::newRow("signed reply") << 4 << u"-32758"_s << true << u"10"_s;
        QTest::newRow("zero prescaler") << 4 << u"32768"_s << true << u"1"_s;
        QTest::newRow("second input") << 6 << u"250"_s << false << u"250"_s;
        QTest::newRow("not a number keeps the panel's values") << 4 << u"1.5x"_s << true << u"7"_s;
    }
    void prescalerOpen()
    {
        QFETCH(int, n);
        QFETCH(QString, reply);
        QFETCH(bool, debounce);
        FoundRig rig;
        PrescalerModel *prescaler = code(rig, n)->prescaler();
        rig.run([&]() { prescaler->editText(QStringLiteral("7")); });
        prescaler->setDebounce(n == 4 && reply.toInt() != 10);
        rig.meter.setReg(QString::number(prescaler->reg()), reply);
        QCOMPARE(wire(rig, [&]() { prescaler->openFromMeter(); }),
                 QStringList{QStringLiteral("SR%1").arg(prescaler->reg())});
        QVERIFY(prescaler->isOpen());
        QCOMPARE(prescaler->debounce(), debounce);
        QTEST(prescaler->text(), "shown");
        QCOMPARE(errors(rig).size(), reply.contains(u'x') ? 1 : 0);
    }

    void prescalerSend_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("debounce");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("error");
        QTest::addColumn<bool>("closed");
        const QStringList none;
        const QStringList empty{"'' is not a valid integer value"};
        QTest::newRow("10") << 4 << u"10"_s << false << QStringList{"SW97,10"} << none << true;
        QTest::newRow("10 de-bounce") << 4 << u"10"_s << true << QStringList{"SW97,-32758"} << none << true;
        QTest::newRow("1 de-bounce") << 4 << u"1"_s << true << QStringList{"SW97,-32767"} << none << true;
        QTest::newRow("32767") << 4 << u"32767"_s << false << QStringList{"SW97,32767"} << none << true;
        QTest::newRow("32767 de-bounce") << 4 << u"32767"_s << true << QStringList{"SW97,-1"} << none << true;
        // Checked before the page leaves prescaler mode.
        QTest::newRow("counter emptied") << 4 << u""_s << false << none << empty << false;
        QTest::newRow("second input 250") << 6 << u"250"_s << false << QStringList{"SW98,250"} << none << true;
        QTest::newRow("second input emptied") << 6 << u""_s << false << none << empty << true;
        // A text that is no number stays as typed.
        QTest::newRow("second input not a number")
            << 6 << u"2x"_s << false << none << QStringList{"'2x' is not a valid integer value"} << true;
    }
    void prescalerSend()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QFETCH(bool, debounce);
        FoundRig rig;
        PrescalerModel *prescaler = code(rig, n)->prescaler();
        rig.run([&]() { prescaler->openFromMeter(); });
        rig.run([&]() { prescaler->editText(text); });
        QCOMPARE(prescaler->text(), text);
        prescaler->setDebounce(debounce);
        rig.prompts.asked.clear();
        // The page leaves prescaler mode before anything is written.
        bool closed = false;
        connect(prescaler, &PrescalerModel::closing, this, [&]() {
            QVERIFY(!prescaler->isOpen());
            QCOMPARE(rig.commands(), QStringList{});
            closed = true;
        });
        QTEST(wire(rig, [&]() { prescaler->send(); }), "commands");
        QTEST(errors(rig), "error");
        QTEST(closed, "closed");
        QVERIFY(!prescaler->isOpen());
    }

    void settingRegistersByModel()
    {
        ModelRig rig;
        // The registers of the code area's pages that a meter of the model has.
        const auto present = [&rig](const QString &model) {
            MeterIdentity identity;
            identity.modelCode = model;
            QStringList registers;
            for (const SettingRegister &setting : rig.setup->settingRegisters()) {
                const int page = pageIndex(setting.page);
                if (setting.presentOn(identity) && page >= pageIndex(PageId::Calibration)
                    && page <= pageIndex(PageId::Code10))
                    registers << setting.reg
                                     + (setting.reg == QLatin1String("220")
                                            ? QString::number(setting.maximum).prepend(u'/')
                                            : QString());
            }
            return registers.join(u' ');
        };
        const QString views = QStringLiteral("199 206 200 207 201 208 202 209 203 210 204 211 205 212");
        const QString codes = QStringLiteral("130 131 152 38 132 133 97 134 135 98 136 137 138");
        QCOMPARE(present(u"K5"_s), views + " " + codes);
        QCOMPARE(present(u"K3"_s), views + " 225 227 226 228 " + codes + " 139 229 230");
        // The zero's segment goes to 100, or 50 on "51" models.
        QCOMPARE(present(u"KM5B"_s), views + " " + codes + " 139 99 100 220/100 101");
        QCOMPARE(present(u"KM51B"_s), views + " " + codes + " 139 99 100 220/50 101");
        // A counter prescaler with de-bounce, as the meter answers it, goes
        // out as the page writes it.
        for (const SettingRegister &setting : rig.setup->settingRegisters()) {
            if (setting.reg == QLatin1String("97"))
                QCOMPARE(setting.refusal(u"32778"_s).value_or(setting.sent(u"32778"_s)), QStringLiteral("-32758"));
        }
    }
};

QTEST_GUILESS_MAIN(CodeModelsTest)
#include "tst_codemodels.moc"
