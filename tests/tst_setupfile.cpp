#include "modelrig.h"

#include "pages/codes/codemodel.h"
#include "pages/setup/setupactions.h"
#include "pages/setup/setupfile.h"
#include "pages/setup/setuptransfer.h"

#include <QTemporaryDir>
#include <QTest>

// Setup files: the text written, the files refused before anything is sent,
// and the comparison and writing of differences against the in-process meter.
class SetupFileTest : public QObject
{
    Q_OBJECT

private:
    static SettingRegister setting(const char *reg, PageId page, const char *name, SettingRegister::Kind kind,
                                   double minimum = 0, double maximum = 0, int length = 0)
    {
        SettingRegister s;
        s.reg = QString::fromLatin1(reg);
        s.page = page;
        s.name = QString::fromLatin1(name);
        s.kind = kind;
        s.minimum = minimum;
        s.maximum = maximum;
        s.length = length;
        return s;
    }
    // A small description in the page strip's order.
    static QList<SettingRegister> description()
    {
        using K = SettingRegister::Kind;
        QList<SettingRegister> d{setting("24", PageId::ScaleOffset, "Result scale", K::Decimal, -2, 3.2767, 4),
                                 setting("148", PageId::Brightness, "Brightness Selection", K::Integer, 0, 7),
                                 setting("130", PageId::Code1, "Code 1", K::Code),
                                 setting("139", PageId::Code10, "Code 10", K::Code),
                                 setting("142", PageId::Setpoints, "Setpoint 1 code", K::Code),
                                 setting("513", PageId::Macros, "Macro word 1", K::Integer, 0, 65535),
                                 setting("514", PageId::Macros, "Macro word 2", K::Integer, 0, 65535),
                                 setting("X", PageId::Advanced, "Print String", K::Text, 0, 0, 30)};
        d[3].needsAnyOption = QStringList{"B", "3"};
        d[4].trailingComma = true;
        d[5].group = d[6].group = QStringLiteral("macro");
        return d;
    }
    static setupfile::Document document(const QList<setupfile::Entry> &entries)
    {
        return {QStringLiteral("KM5B"), QStringLiteral("1.26"), entries};
    }
    static QByteArray fileText(const QList<setupfile::Entry> &entries)
    {
        const setupfile::Origin origin{QDateTime(QDate(2026, 12, 10), QTime(14, 3, 22)),
                                       QStringLiteral("meter-setup 1"), QStringLiteral("1"), QStringLiteral("COM41")};
        return setupfile::write(document(entries), origin, description());
    }

private slots:
    void roundTrip()
    {
        const QList<setupfile::Entry> entries{
            {"130", "013", 0}, {"24", "1.2500", 0}, {"X", "A \"quoted\"\r\nline", 0}, {"148", "5", 0}};
        const QByteArray text = fileText(entries);
        QVERIFY2(text.contains("130 = \"013\"                 # Code 1: Code 1\n"), text.constData());
        // Pages in the page strip's order, each opened once.
        QVERIFY(text.indexOf("[scale_offset]") < text.indexOf("[brightness]"));
        QVERIFY(text.indexOf("[brightness]") < text.indexOf("[code_1]"));
        const setupfile::Document read = setupfile::read(text, description());
        QCOMPARE(read.model, QStringLiteral("KM5B"));
        QCOMPARE(read.version, QStringLiteral("1.26"));
        QCOMPARE(read.entries.size(), 4);
        QCOMPARE(read.entries.at(0).reg, QStringLiteral("24"));
        QCOMPARE(read.entries.at(3).value, QStringLiteral("A \"quoted\"\r\nline"));
        // Two files of the same values are the same apart from their header.
        QCOMPARE(text.mid(text.indexOf("format")), fileText(entries).mid(text.indexOf("format")));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray head = "format = 1\n[meter]\nmodel = \"KM5B\"\nversion = \"1.26\"\n";
        QTest::newRow("not TOML") << head + "[code_1]\n130 = \n"
                                  << "Not a setup file: line 6, column 7";
        QTest::newRow("format 2") << QByteArray("format = 2\n") << "The file is in format 2";
        QTest::newRow("no format") << QByteArray("[meter]\n") << "gives no format number";
        QTest::newRow("no meter") << QByteArray("format = 1\n") << "no [meter] table";
        QTest::newRow("not a setting") << head + "[code_1]\n153 = \"KM5B\"\n"
                                       << "line 6: register 153 is not a setting";
        QTest::newRow("another page's register") << head + "[brightness]\n130 = \"213\"\n"
                                                 << "line 6: register 130 belongs to Code 1, not Brightness";
        QTest::newRow("given twice") << head + "[code_1]\n130 = \"213\"\n\"130\" = \"214\"\n"
                                     << "line 7, column";
        QTest::newRow("unknown page") << head + "[codes]\n130 = \"213\"\n"
                                      << "line 5: \"codes\" is not a page";
        QTest::newRow("out of range") << head + "[brightness]\n148 = \"9\"\n"
                                      << "line 6: register 148 (Brightness";
        QTest::newRow("not three digits") << head + "[code_1]\n130 = \"21\"\n"
                                          << "'21' is not a three-digit code";
        QTest::newRow("text too long") << head + "[advanced_functions]\nX = \"" + QByteArray(31, 'a') + "\"\n"
                                       << "longer than 30 characters";
        QTest::newRow("a number without quotes") << head + "[scale_offset]\n24 = 1.25\n"
                                                 << "in quotes";
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        try {
            setupfile::read(text, description());
            QFAIL("the file was taken");
        } catch (const setupfile::Refused &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
    }

    void modelAndVersion_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("otherVersion");
        QTest::newRow("same") << "KM5B"
                              << "1.26" << false << false;
        QTest::newRow("another version") << "KM5B"
                                         << "1.24" << false << true;
        QTest::newRow("another model") << "KM5E"
                                       << "1.26" << true << false;
    }
    void modelAndVersion()
    {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(bool, refused);
        QFETCH(bool, otherVersion);
        MeterIdentity meter;
        meter.modelCode = model;
        meter.version = version;
        const setupfile::Document file = document({});
        const std::optional<QString> refusal = setuptransfer::modelRefusal(file, meter);
        QCOMPARE(bool(refusal), refused);
        if (refusal)
            QVERIFY(refusal->contains(QLatin1String("KM5B")) && refusal->contains(model));
        QCOMPARE(setuptransfer::otherVersion(file, meter), otherVersion);
    }

    void onlyDifferencesAreWrittenInOrder()
    {
        ModelRig rig;
        rig.meter.setModel(QStringLiteral("KM5"));
        rig.detect();
        const QList<setupfile::Entry> file{{"142", "021", 0}, {"24", "1.5", 0}, {"130", "013", 0}, {"139", "005", 0},
                                           {"514", "7", 0},   {"513", "3", 0},  {"148", "05", 0}};
        rig.meter.setReg(QStringLiteral("130"), QStringLiteral("012"));
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.0000"));
        rig.meter.setReg(QStringLiteral("148"), QStringLiteral("5"));
        rig.meter.setReg(QStringLiteral("513"), QStringLiteral("3"));
        rig.meter.clearLog();
        const auto registers = setuptransfer::registersOf(description(), rig.session->identity());
        QCOMPARE(registers.size(), description().size() - 1); // no Code 10 on this model
        const auto meter = setuptransfer::readRegisters(rig.exchange(), registers);
        const auto rows = setuptransfer::compare(description(), file, meter);
        QCOMPARE(rows.first().setting.reg, QStringLiteral("24")); // differences first
        const auto writes = setuptransfer::writesFor(rows, description(), rig.session->identity());
        rig.meter.clearLog();
        const auto report = setuptransfer::writeAll(rig.exchange(), writes);
        // Codes first; the setpoint code with its comma; the macro's first word
        // cleared before and written after the others. Equal values ("5" and
        // "05") and registers the model lacks are not written.
        QCOMPARE(rig.commands(),
                 (QStringList{"SW130,13", "SW24,1.5000", "SW142,21,", "SW513,00", "SW514,7", "SW513,3"}));
        QCOMPARE(report.written, (QStringList{"130", "24", "142", "513", "514"}));
        QVERIFY(report.failure.isEmpty());
    }

    void timeOutPartWay()
    {
        ModelRig rig;
        rig.detect();
        rig.setWatchdog(std::chrono::milliseconds(100));
        rig.prompts.timeoutAnswers = {Prompts::TimeoutChoice::Retry};
        QObject context;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, &context, [&rig](const QString &command) {
            if (command.startsWith(QLatin1String("SW148")))
                rig.meter.dropNextReplies(1);
        });
        const QList<setupfile::Entry> file{{"130", "013", 0}, {"148", "2", 0}, {"X", "Hello", 0}};
        const auto rows = setuptransfer::compare(
            description(), file,
            setuptransfer::readRegisters(rig.exchange(), description().mid(1, 2) + description().mid(7)));
        setuptransfer::WriteReport report;
        rig.run([&]() {
            report = setuptransfer::writeAll(rig.exchange(),
                                             setuptransfer::writesFor(rows, description(), rig.session->identity()));
        });
        QCOMPARE(report.written, QStringList{"130"});
        QCOMPARE(report.notWritten, (QStringList{"148", "X"}));
        QVERIFY(!report.failure.isEmpty());
    }
    // File > "Save Meter Setup..." and "Compare Meter with Setup File..."
    // through the dialog seam, on the pages' own description.
    void saveThenCompareAndWrite()
    {
        QTemporaryDir dir;
        ModelRig rig;
        rig.detect();
        SetupActions actions(*rig.setup);
        const QString name = dir.filePath(QStringLiteral("meter.toml"));
        rig.prompts.fileAnswers = {name};
        rig.run([&]() { actions.saveMeterSetup(); });
        QVERIFY(QFile::exists(name));
        QVERIFY(rig.prompts.offeredGroups.size() > 10);

        // The meter changes two settings; the comparison shows them first,
        // the write puts them back and the pages show what the meter holds.
        rig.meter.setReg(QStringLiteral("130"), QStringLiteral("213"));
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.5000"));
        rig.meter.clearLog();
        rig.prompts.fileAnswers = {name};
        rig.prompts.comparisonAnswers = {true};
        rig.run([&]() { actions.compareWithFile(); });
        QCOMPARE(rig.prompts.comparisons.size(), 2);
        QCOMPARE(rig.prompts.comparisonWritable.first(), 2);
        QCOMPARE(rig.prompts.comparisons.first().at(0).reg, QStringLiteral("24"));
        QCOMPARE(rig.prompts.comparisons.first().at(1).reg, QStringLiteral("130"));
        QCOMPARE(rig.commands().filter(QStringLiteral("SW")), (QStringList{"SW130,0", "SW24,1.0000"}));
        QCOMPARE(rig.prompts.comparisonWritable.last(), 0);
        QVERIFY(rig.prompts.comparisonNotes.last().startsWith(QLatin1String("Wrote 2 registers: 130, 24.")));
        QCOMPARE(rig.model<CodeModel>(PageId::Code1)->storedCode(), 0);
        QCOMPARE(rig.setup->tabCaption(PageId::Code1), QStringLiteral("Code 1 - 000"));
    }

    void compareRefusals_data()
    {
        QTest::addColumn<QByteArray>("meter");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("writable");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("another model") << QByteArray("model = \"KM5E\"\nversion = \"1.26\"") << false << 0
                                       << "The file is from a KM5E meter and this meter is a KM5B" << QStringList{};
        QTest::newRow("another version, not confirmed")
            << QByteArray("model = \"KM5B\"\nversion = \"1.24\"") << false << 1 << "" << QStringList{};
        QTest::newRow("another version, confirmed")
            << QByteArray("model = \"KM5B\"\nversion = \"1.24\"") << true << 1 << "" << QStringList{"SW148,3"};
    }
    void compareRefusals()
    {
        QFETCH(QByteArray, meter);
        QFETCH(bool, confirm);
        QFETCH(int, writable);
        QFETCH(QString, note);
        QFETCH(QStringList, writes);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("other.toml"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("format = 1\n[meter]\n" + meter + "\n[brightness]\n148 = \"3\"\n");
        file.close();
        ModelRig rig;
        rig.detect();
        rig.meter.clearLog();
        SetupActions actions(*rig.setup);
        rig.prompts.fileAnswers = {name};
        rig.prompts.comparisonAnswers = {writable > 0};
        rig.prompts.confirmAnswers = {confirm};
        rig.run([&]() { actions.compareWithFile(); });
        QCOMPARE(rig.prompts.comparisonWritable.first(), writable);
        QVERIFY2(note.isEmpty() || rig.prompts.comparisonNotes.first().startsWith(note),
                 qPrintable(rig.prompts.comparisonNotes.first()));
        QCOMPARE(rig.prompts.count(QStringLiteral("confirm")), writable);
        QCOMPARE(rig.commands().filter(QStringLiteral("SW")), writes);
    }
};

QTEST_GUILESS_MAIN(SetupFileTest)
#include "tst_setupfile.moc"
