#include "modelrig.h"

#include "pages/tables/linearizationmodel.h"
#include "pages/tables/macromodel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tablefiles;

using Rows = QList<QStringList>;

// The linearization tables and the macro against the in-process meter,
// without a window: what each model reads and writes, the files it keeps,
// and what it then holds.
class TableModelsTest : public QObject
{
    Q_OBJECT

private:
    // The reads of one table: input then output, row by row.
    static QStringList tableReads(int table)
    {
        QStringList out;
        for (int r = 1; r <= TablePoints; ++r)
            out << QStringLiteral("SR%1").arg(inputRegister(table, r))
                << QStringLiteral("SR%1").arg(outputRegister(table, r));
        return out;
    }
    // The rows given, then input 1000 + r and output r.
    static Table tableOf(const Rows &rows)
    {
        Table values;
        for (int r = 0; r < TablePoints; ++r) {
            values[std::size_t(r)] = r < rows.size() ? TablePoint{rows[r][0], rows[r][1]}
                                                     : TablePoint{QString::number(1000 + r), QString::number(r)};
        }
        return values;
    }
    static void writeAll(const QString &path, const QByteArray &bytes) { QVERIFY(tablefiles::writeFile(path, bytes)); }
    // Detection done, the first entry's read done, the wire cleared.
    static LinearizationModel *tables(ModelRig &rig)
    {
        rig.detect();
        auto *model = rig.model<LinearizationModel>(PageId::Linearization);
        rig.run([model]() { model->readTablesOnFirstEntry(); });
        rig.meter.clearLog();
        return model;
    }
    static MacroModel *macro(ModelRig &rig)
    {
        rig.detect();
        auto *model = rig.model<MacroModel>(PageId::Macros);
        rig.run([model]() { model->readRunState(); });
        rig.meter.clearLog();
        return model;
    }

private slots:
    // --- Linearization tables

    void firstEntry_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<int>>("tablesRead"); // in order
        QTest::newRow("four tables, table 4 first") << "KM5B" << QList<int>{4, 3, 2, 1};
        QTest::newRow("E model reads table 1 only") << "KM5E" << QList<int>{1};
    }
    void firstEntry()
    {
        QFETCH(QString, model);
        QFETCH(QList<int>, tablesRead);
        ModelRig rig;
        rig.meter.setModel(model);
        rig.meter.setReg(QStringLiteral("257"), QStringLiteral(" -12.5"));
        rig.meter.setReg(QStringLiteral("289"), QStringLiteral("1.2.3"));
        rig.detect();
        rig.meter.clearLog();
        auto *tables = rig.model<LinearizationModel>(PageId::Linearization);
        QVERIFY(!tables->transfersEnabled());
        rig.run([tables]() { tables->readTablesOnFirstEntry(); });
        QStringList expected;
        for (int t : tablesRead)
            expected += tableReads(t);
        QCOMPARE(rig.commands(), expected);
        QCOMPARE(tables->currentTable(), 0);
        for (int t = 0; t < LinearizationModel::Tables; ++t) {
            QCOMPARE(tables->hasTable(t), tablesRead.contains(t + 1));
            QCOMPARE(tables->isTableShown(t), tablesRead.contains(t + 1));
        }
        QCOMPARE(tables->table(0)[0], (TablePoint{"-125", "123"}));
        QVERIFY(tables->transfersEnabled());
        QCOMPARE(tables->progress(), LinearizationModel::ProgressMaximum);

        // Later entries read nothing.
        rig.meter.clearLog();
        rig.run([tables]() { tables->readTablesOnFirstEntry(); });
        QCOMPARE(rig.commands(), QStringList{});
    }

    void upload()
    {
        ModelRig rig;
        LinearizationModel *model = tables(rig);
        model->selectTable(2);
        rig.meter.setReg(QString::number(inputRegister(3, 32)), QStringLiteral("77"));
        rig.run([model]() { model->uploadTable(); });
        QCOMPARE(rig.commands(), tableReads(3));
        QCOMPARE(model->table(2)[31].input, QStringLiteral("77"));
    }

    // Cells that are no number are kept, and named once, the first read.
    void readNamesTheFirstCellThatIsNoNumber_data()
    {
        QTest::addColumn<bool>("firstEntry");
        QTest::addColumn<QString>("warning");
        QTest::newRow("upload") << false << "Table 1, point 5 output: the meter sent 'E1', which is not a number.";
        QTest::newRow("first entry, table 4 first")
            << true << "Table 4, point 2 input: the meter sent '?', which is not a number.";
    }
    void readNamesTheFirstCellThatIsNoNumber()
    {
        QFETCH(bool, firstEntry);
        QFETCH(QString, warning);
        ModelRig rig;
        rig.detect();
        auto *model = rig.model<LinearizationModel>(PageId::Linearization);
        rig.meter.setReg(QString::number(outputRegister(1, 5)), QStringLiteral("E1"));
        rig.meter.setReg(QString::number(inputRegister(1, 9)), QStringLiteral("--"));
        rig.meter.setReg(QString::number(inputRegister(4, 2)), QStringLiteral("?"));
        rig.run([&]() { firstEntry ? model->readTablesOnFirstEntry() : model->uploadTable(); });
        QCOMPARE(rig.prompts.texts(QStringLiteral("warning")), QStringList{warning});
        QCOMPARE(model->table(0)[8].input, QStringLiteral("--"));
    }

    void strayReplyLeavesTheTableAsItWas()
    {
        ModelRig rig;
        LinearizationModel *model = tables(rig);
        const Table before = model->table(0);
        rig.meter.setReg(QString::number(inputRegister(1, 2)), QStringLiteral("55"));
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig](const QString &command) {
            if (command == QStringLiteral("SR%1").arg(outputRegister(1, 2)))
                rig.line->injectReceived("55\r\n");
        });
        rig.run([model]() { model->uploadTable(); });
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
        QCOMPARE(model->table(0), before);
    }

    void download_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("firstWrites"); // the first four commands
        QTest::addColumn<QString>("error");
        QTest::newRow("table 1 in row order") << 1 << Rows{{"-5", "50"}, {"3", "-30"}}
                                              << QStringList{"SW257,-5", "SW289,50", "SW258,3", "SW290,-30"} << "";
        QTest::newRow("sorted before sending") << 1 << Rows{{"3", "-30"}, {"-5", "50"}}
                                               << QStringList{"SW257,-5", "SW289,50", "SW258,3", "SW290,-30"} << "";
        QTest::newRow("table 4 with a plus sign")
            << 4 << Rows{{"+7", "1"}, {"8", "2"}} << QStringList{"SW449,7", "SW481,1", "SW450,8", "SW482,2"} << "";
        QTest::newRow("empty input cell") << 1 << Rows{{"", "1"}} << QStringList{} << "'' is not a valid integer value";
        QTest::newRow("empty output cell")
            << 2 << Rows{{"1", "2"}, {"5", ""}} << QStringList{} << "'' is not a valid integer value";
        QTest::newRow("sign alone") << 3 << Rows{{"-", "2"}} << QStringList{} << "'-' is not a valid integer value";
    }
    void download()
    {
        QFETCH(int, table);
        QFETCH(Rows, rows);
        QFETCH(QStringList, firstWrites);
        QFETCH(QString, error);
        ModelRig rig;
        LinearizationModel *model = tables(rig);
        model->setTable(table - 1, tableOf(rows));
        model->selectTable(table - 1);
        rig.run([model]() { model->downloadTable(); });
        const QStringList wire = rig.commands();
        if (!error.isEmpty()) {
            QCOMPARE(wire, QStringList{});
            QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
            return;
        }
        QCOMPARE(wire.size(), 2 * TablePoints);
        QCOMPARE(wire.mid(0, 4), firstWrites);
        QCOMPARE(wire.last(), QStringLiteral("SW%1,31").arg(outputRegister(table, 32)));
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    // A file changes the rows it reaches of the current table only.
    void openTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.CSV"));
        writeAll(path, "1,10\r\n2,20\r\n");
        ModelRig rig;
        LinearizationModel *model = tables(rig);
        model->setTable(2, tableOf({}));
        model->selectTable(2);
        const Table table1 = model->table(0);
        rig.run([&]() { model->openTable(path); });
        QCOMPARE(model->table(2), tableOf({{"1", "10"}, {"2", "20"}}));
        QCOMPARE(model->table(0), table1);
        QCOMPARE(rig.commands(), QStringList{});
    }

    void saveWritesTheCurrentTableSorted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.CSV"));
        writeAll(path, "an older file\r\n");
        ModelRig rig;
        LinearizationModel *model = tables(rig);
        model->setTable(0, tableOf({{"50", "1"}, {"-4", "2"}}));
        model->setTable(2, tableOf({{"30", "1"}, {"10", "2"}}));
        model->selectTable(2);
        rig.run([&]() { model->saveTable(path); });
        QVERIFY(tablefiles::readFile(path).value_or("").startsWith("10,2\r\n30,1\r\n1002,2\r\n"));
        // The file reads back into a table.
        const Table saved = model->table(2);
        model->setTable(2, {});
        rig.run([&]() { model->openTable(path); });
        QCOMPARE(model->table(2), saved);
        QCOMPARE(rig.prompts.count(QStringLiteral("fileError")), 0);
    }

    // Both pages: the box, and the table or image as it was.
    void fileFailures_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("file"); // in the test's directory
        QTest::addColumn<QString>("message");
        const QString readError = "Can't perform one of the following file operations: Open, Seek, Read, Close.";
        QTest::newRow("open a missing file") << false << "missing.CSV" << readError;
        QTest::newRow("open a file over 1 MiB") << false << "huge.CSV" << readError;
        QTest::newRow("save into a missing folder")
            << true << "no/such/folder.CSV"
            << "Can't perform one of the following file operations: Create, Write, Close.";
    }
    void fileFailures()
    {
        QFETCH(bool, save);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeAll(dir.filePath(QStringLiteral("huge.CSV")), QByteArray(MaxFileSize + 1, '1'));
        const QString path = dir.filePath(file);
        ModelRig rig;
        LinearizationModel *tables = TableModelsTest::tables(rig);
        MacroModel *macro = rig.model<MacroModel>(PageId::Macros);
        rig.run([macro]() { macro->uploadMacro(); });
        const Table table = tables->table(0);
        const QByteArray image = writeMacro(macro->image());
        rig.run([&]() { save ? tables->saveTable(path) : tables->openTable(path); });
        rig.run([&]() { save ? macro->saveMacro(path) : macro->openMacro(path); });
        QCOMPARE(rig.prompts.texts(QStringLiteral("fileError")), (QStringList{message, message}));
        QCOMPARE(tables->table(0), table);
        QCOMPARE(writeMacro(macro->image()), image);
    }

    // Every cell and macro word the page writes, in the order it writes them.
    void settings()
    {
        ModelRig rig;
        const QList<SettingRegister> all = rig.setup->settingRegisters();
        QStringList regs;
        for (const SettingRegister &s : all)
            regs << s.reg;
        const auto at = [&](int reg) { return all.value(regs.indexOf(QString::number(reg))); };
        QCOMPARE(regs.indexOf("289"), regs.indexOf("257") + 1);
        QCOMPARE(regs.indexOf("258"), regs.indexOf("257") + 2);
        QCOMPARE(at(257).absentWithOption, QString());
        const SettingRegister point = at(357);
        QCOMPARE(point.name, QStringLiteral("Table 2 point 5 output"));
        QCOMPARE(point.page, PageId::Linearization);
        QCOMPARE(point.group, QStringLiteral("tables"));
        QCOMPARE(point.absentWithOption, QStringLiteral("E"));
        QVERIFY(!point.refusal(QStringLiteral("-99999")));
        QVERIFY(point.refusal(QStringLiteral("1000000")));
        QCOMPARE(at(512).name, QStringLiteral("Table 4 point 32 output"));
        const SettingRegister word = at(514);
        QCOMPARE(word.name, QStringLiteral("FRAM Data at 04 and 06"));
        QCOMPARE(word.group, QStringLiteral("macro"));
        QVERIFY(!word.refusal(QStringLiteral("-256")));
        QVERIFY(word.refusal(QStringLiteral("32768")));
        QCOMPARE(regs.indexOf("577"), regs.indexOf("513") + MacroWrittenWords - 1);
        QCOMPARE(at(577).name, QStringLiteral("FRAM Data at 100 and 102"));
        QVERIFY(!regs.contains("578") && !regs.contains("160"));
    }

    // --- Macros

    void runStateOnEntry_data()
    {
        QTest::addColumn<QString>("reg160");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("48 is stopped") << "48" << true;
        QTest::newRow("0 is running") << "0" << false;
        QTest::newRow("32 is running") << "32" << false;
        QTest::newRow("no number") << "x" << true;
    }
    void runStateOnEntry()
    {
        QFETCH(QString, reg160);
        QFETCH(bool, stopped);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("160"), reg160);
        rig.detect();
        rig.meter.clearLog();
        auto *model = rig.model<MacroModel>(PageId::Macros);
        rig.run([model]() { model->readRunState(); });
        QCOMPARE(rig.commands(), QStringList{"SR160"});
        QCOMPARE(model->isStopped(), stopped);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), reg160 == QLatin1String("x") ? 1 : 0);
    }

    // The state shown decides, not the value read: with "Running" shown and
    // 16 in the register, the first press stops. A reply that is no number
    // writes nothing and keeps the state.
    void runButton_data()
    {
        QTest::addColumn<QString>("onEntry");
        QTest::addColumn<QString>("reg160");      // when pressed
        QTest::addColumn<QList<bool>>("stopped"); // after each press
        QTest::addColumn<QStringList>("wire");
        QTest::newRow("stop, then run again")
            << "0"
            << "0" << QList<bool>{true, false} << QStringList{"SR160", "SW160,16", "SR160", "SW160,0"};
        QTest::newRow("48 runs as 32") << "48"
                                       << "48" << QList<bool>{false} << QStringList{"SR160", "SW160,32"};
        QTest::newRow("bits 8 to 15 kept") << "784"
                                           << "784" << QList<bool>{false} << QStringList{"SR160", "SW160,768"};
        QTest::newRow("running shown, 16 read")
            << "0"
            << "16" << QList<bool>{true, false} << QStringList{"SR160", "SW160,16", "SR160", "SW160,0"};
        QTest::newRow("no number") << "0"
                                   << "?" << QList<bool>{false} << QStringList{"SR160"};
    }
    void runButton()
    {
        QFETCH(QString, onEntry);
        QFETCH(QString, reg160);
        QFETCH(QList<bool>, stopped);
        QFETCH(QStringList, wire);
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("160"), onEntry);
        MacroModel *model = macro(rig);
        rig.meter.setReg(QStringLiteral("160"), reg160);
        for (const bool after : stopped) {
            rig.run([model]() { model->toggleRunState(); });
            QCOMPARE(model->isStopped(), after);
        }
        QCOMPARE(rig.commands(), wire);
    }

    void macroUploadAndDownload()
    {
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("513"), QStringLiteral("6699"));
        rig.meter.setReg(QStringLiteral("515"), QStringLiteral("-256"));
        rig.meter.setReg(QStringLiteral("577"), QStringLiteral("4660"));
        rig.meter.setReg(QStringLiteral("578"), QStringLiteral("22136"));
        MacroModel *model = macro(rig);
        model->setHeader(QStringLiteral("*old header"));
        model->setComment(1, QStringLiteral("old comment"));
        rig.run([model]() { model->uploadMacro(); });
        QStringList reads;
        for (int k = 0; k < MacroReadWords; ++k)
            reads << QStringLiteral("SR%1").arg(MacroFirstRegister + k);
        QCOMPARE(rig.commands(), reads);
        const MacroImage &image = model->image();
        QCOMPARE(image.row(1), (MacroRow{"00", "1A", ""}));
        QCOMPARE(image.row(2), (MacroRow{"02", "2B", ""}));
        QCOMPARE(image.row(5), (MacroRow{"08", "FF", ""}));
        QCOMPARE(image.row(129), (MacroRow{"100", "12", ""}));
        QCOMPARE(image.row(132), (MacroRow{"106", "78", ""}));
        QCOMPARE(image.header, QString());
        QVERIFY(model->transfersEnabled());

        rig.meter.clearLog();
        rig.run([model]() { model->downloadMacro(); });
        const QStringList wire = rig.commands();
        QCOMPARE(wire.size(), MacroWrittenWords + 1);
        QCOMPARE(wire.first(), QStringLiteral("SW513,00"));
        QCOMPARE(wire.mid(1, 2), (QStringList{"SW514,0", "SW515,-256"}));
        QCOMPARE(wire.at(64), QStringLiteral("SW577,4660"));
        QCOMPARE(wire.last(), QStringLiteral("SW513,6699"));
    }

    void macroUploadStopsOnANonNumber()
    {
        ModelRig rig;
        rig.meter.setReg(QStringLiteral("540"), QStringLiteral("1.5.0"));
        MacroModel *model = macro(rig);
        model->setHeader(QStringLiteral("*kept"));
        rig.run([model]() { model->uploadMacro(); });
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'15.0' is not a valid integer value"});
        QCOMPARE(rig.commands().last(), QStringLiteral("SR540"));
        QCOMPARE(model->image().header, QStringLiteral("*kept"));
        QCOMPARE(model->image().row(1), MacroRow{});
        QVERIFY(!model->transfersEnabled());
    }

    void macroDownloadChecksFirst_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty image") << QByteArray() << "'0x' is not a valid integer value";
        QTest::newRow("row 2 empty") << QByteArray("00,1A,\r\n02,,\r\n") << "'0x' is not a valid integer value";
        QTest::newRow("three digits in row 90")
            << QByteArray("00,1A,\r\n02,2B,\r\n" + QByteArray(",,\r\n").repeated(87) + "B2,1AB,\r\n")
            << "Range check error";
    }
    void macroDownloadChecksFirst()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        writeAll(path, file);
        ModelRig rig;
        MacroModel *model = macro(rig);
        rig.run([&]() { model->openMacro(path); });
        rig.run([model]() { model->downloadMacro(); });
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
        QCOMPARE(rig.commands(), QStringList{});
    }

    // An empty pair in rows 3 and 4 is sent as 0; FF 00 as -256.
    void macroFileToMeter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        writeAll(path, "*Tank level\r\n00,1A,start\r\n02,2B,\r\n,,\r\n,,\r\n08,FF,x\r\n0A,00,\r\n");
        ModelRig rig;
        MacroModel *model = macro(rig);
        rig.run([&]() { model->openMacro(path); });
        QCOMPARE(model->image().header, QStringLiteral("*Tank level"));
        QCOMPARE(model->image().row(1), (MacroRow{"00", "1A", "start"}));
        rig.run([model]() { model->downloadMacro(); });
        const QStringList wire = rig.commands();
        QCOMPARE(wire.mid(0, 3), (QStringList{"SW513,00", "SW514,0", "SW515,-256"}));
        QCOMPARE(wire.last(), QStringLiteral("SW513,6699"));
    }

    // What the file keeps of the image: the download from it is the one
    // from the meter. (The header and row cases are the codec's.)
    void macroFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        ModelRig rig;
        for (int k = 0; k < MacroReadWords; ++k)
            rig.meter.setReg(QString::number(MacroFirstRegister + k), QString::number(k * 257 + 1));
        MacroModel *model = macro(rig);
        rig.run([model]() { model->uploadMacro(); });
        model->setHeader(QStringLiteral("*Tank level"));
        model->setComment(1, QStringLiteral("*load, then * 2"));
        model->setComment(127, QStringLiteral("last shown"));
        rig.meter.clearLog();
        rig.run([model]() { model->downloadMacro(); });
        const QStringList fromMeter = rig.commands();
        rig.run([&]() { model->saveMacro(path); });

        ModelRig fresh;
        MacroModel *back = macro(fresh);
        fresh.run([&]() { back->openMacro(path); });
        QCOMPARE(back->image().header, QStringLiteral("*Tank level"));
        for (int r = 1; r <= MacroShownRows; ++r)
            QCOMPARE(back->image().row(r), model->image().row(r));
        // The hidden rows the download uses come back too.
        fresh.run([back]() { back->downloadMacro(); });
        QCOMPARE(fresh.commands(), fromMeter);
    }
};

QTEST_GUILESS_MAIN(TableModelsTest)
#include "tst_tablemodels.moc"
