#include "operator.h"

#include "app/pagestrip.h"
#include "pages/tables/linearizationpage.h"
#include "pages/tables/macropage.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tablefiles;

using Rows = QList<QStringList>;

// The Linearization Tables and Macros pages as the operator uses them: what
// goes on the wire, what the grids show, and the files they keep.
class TablePagesTest : public QObject
{
    Q_OBJECT

private:
    static constexpr std::chrono::milliseconds FastTick{1};

    static QStringList reads(const QList<int> &registers)
    {
        QStringList out;
        for (int reg : registers)
            out << QStringLiteral("SR%1").arg(reg);
        return out;
    }
    // The reads of one table: input then output, row by row.
    static QStringList tableReads(int table)
    {
        QList<int> registers;
        for (int r = 1; r <= TablePoints; ++r)
            registers << inputRegister(table, r) << outputRegister(table, r);
        return reads(registers);
    }
    static void setTable(LinearizationPage *page, int table, const Rows &rows)
    {
        Table values;
        for (int r = 0; r < TablePoints; ++r) {
            values[std::size_t(r)] = r < rows.size() ? TablePoint{rows[r][0], rows[r][1]}
                                                     : TablePoint{QString::number(1000 + r), QString::number(r)};
        }
        page->setTable(table, values);
    }
    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    static void writeAll(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        [&]() { QVERIFY(file.open(QIODevice::WriteOnly)); }();
        file.write(bytes);
    }
    // Detection done, the Linearization page entered (all tables read) and
    // the wire cleared.
    static LinearizationPage *linearization(Rig &rig, Operator &op)
    {
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Linearization);
        op.clearWire();
        return rig.page<LinearizationPage>(PageId::Linearization);
    }
    static MacroPage *macros(Rig &rig, Operator &op)
    {
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Macros);
        op.clearWire();
        return rig.page<MacroPage>(PageId::Macros);
    }
    static QStringList shownRow(MacroPage *page, int row)
    {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << page->grid()->item(row - 1, c)->text();
        return cells;
    }

private slots:
    // --- Linearization Tables

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
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setModel(model);
        rig.meter.setReg(QStringLiteral("257"), QStringLiteral(" -12.5"));
        rig.meter.setReg(QStringLiteral("289"), QStringLiteral("1.2.3"));
        rig.detect();
        op.showWindow();
        op.clearWire();
        op.openTab(PageId::Linearization);
        QStringList expected;
        for (int t : tablesRead)
            expected += tableReads(t);
        QCOMPARE(op.wire(), expected);

        auto *page = rig.page<LinearizationPage>(PageId::Linearization);
        QCOMPARE(page->currentTable(), 0);
        QVERIFY(page->selector(0)->isChecked());
        for (int t = 0; t < LinearizationPage::Tables; ++t) {
            const bool read = tablesRead.contains(t + 1);
            QCOMPARE(page->grid(t)->isVisibleTo(page), read);
            QCOMPARE(page->selector(t)->isVisibleTo(page), read);
        }
        QCOMPARE(page->table(0)[0], (TablePoint{"-125", "123"}));
        QVERIFY(op.button(QStringLiteral("Download"))->isEnabled());
        QVERIFY(op.button(QStringLiteral("Save"))->isEnabled());
        QVERIFY(op.button(QStringLiteral("Download"))->isVisible());
        QCOMPARE(page->findChild<QProgressBar *>(QStringLiteral("ProgressBar2"))->value(), 320);

        // Later entries read nothing.
        op.openTab(PageId::Summary);
        op.clearWire();
        op.openTab(PageId::Linearization);
        QCOMPARE(op.wire(), QStringList{});
    }

    void upload()
    {
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        page->selector(2)->toggle(); // as a screen reader's Toggle action does
        rig.meter.setReg(QString::number(inputRegister(3, 32)), QStringLiteral("77"));
        op.press(QStringLiteral("Upload"));
        QCOMPARE(op.wire(), tableReads(3));
        QCOMPARE(page->table(2)[31].input, QStringLiteral("77"));
    }

    void uploadNamesTheFirstCellThatIsNoNumber()
    {
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        rig.meter.setReg(QString::number(outputRegister(1, 5)), QStringLiteral("E1"));
        rig.meter.setReg(QString::number(inputRegister(1, 9)), QStringLiteral("--"));
        op.press(QStringLiteral("Upload"));
        QCOMPARE(rig.prompts.texts(QStringLiteral("warning")),
                 QStringList{"Table 1, point 5 output: the meter sent 'E1', which is not a number."});
        QCOMPARE(page->table(0)[8].input, QStringLiteral("--"));
    }

    void strayReplyLeavesTheTableAsItWas()
    {
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        const Table before = page->table(0);
        rig.meter.setReg(QString::number(inputRegister(1, 2)), QStringLiteral("55"));
        connect(&rig.meter, &SimMeter::commandReceived, &rig.meter, [&rig](const QString &command) {
            if (command == QStringLiteral("SR%1").arg(outputRegister(1, 2)))
                rig.line->injectReceived("55\r\n");
        });
        op.press(QStringLiteral("Upload"));
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 1);
        QCOMPARE(page->table(0), before);
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
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        setTable(page, table - 1, rows);
        page->selector(table - 1)->click();
        op.press(QStringLiteral("Download"));
        const QStringList wire = op.wire();
        if (!error.isEmpty()) {
            QCOMPARE(wire, QStringList{});
            QCOMPARE(rig.prompts.texts(QStringLiteral("error")).value(0), error);
            return;
        }
        QCOMPARE(wire.size(), 2 * TablePoints);
        QCOMPARE(wire.mid(0, 4), firstWrites);
        QCOMPARE(wire.last(), QStringLiteral("SW%1,31").arg(outputRegister(table, 32)));
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), 0);
    }

    // A transfer is an operation: the page control takes no input while it
    // runs, so "Download" cannot start in the middle of an upload.
    void uploadHoldsThePageControl()
    {
        Rig rig(FastTick);
        Operator op(rig);
        linearization(rig, op);
        rig.meter.setAnswerDelay(5);
        bool heldDuringUpload = false;
        rig.clock.singleShot(30, rig.window.get(), [&]() {
            heldDuringUpload = !rig.pageControl()->isEnabled();
            op.press(QStringLiteral("Download"));
        });
        op.press(QStringLiteral("Upload"));
        QVERIFY(heldDuringUpload);
        QCOMPARE(op.wire(), tableReads(1));
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void cellMask_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::newRow("digits") << "123"
                                << "123";
        QTest::newRow("six characters at most") << "1234567"
                                                << "123456";
        QTest::newRow("sign first") << "-12"
                                    << "-12";
        QTest::newRow("plus first") << "+5"
                                    << "+5";
        QTest::newRow("no sign inside, no point, no letters") << "1-2.3a"
                                                              << "123";
    }
    void cellMask()
    {
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        LinearizationPage page{PageContext{}};
        QTableWidget *grid = page.grid(0);
        const QModelIndex index = grid->model()->index(4, 1);
        std::unique_ptr<QWidget> widget(grid->itemDelegate()->createEditor(grid->viewport(), {}, index));
        auto *editor = qobject_cast<QLineEdit *>(widget.get());
        QVERIFY(editor);
        QTest::keyClicks(editor, typed);
        QCOMPARE(editor->text(), cell);
    }

    // Leaving a grid sorts it; coming into one makes its table current.
    void focus()
    {
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        setTable(page, 2, Rows{{"9", "90"}, {"2", "20"}, {"2", "21"}});
        QTableWidget *grid = page->grid(2);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(0, 0)).center());
        QCOMPARE(page->currentTable(), 2);
        QVERIFY(page->selector(2)->isChecked());
        page->selector(0)->setFocus(Qt::TabFocusReason);
        QCOMPARE(page->table(2)[0], (TablePoint{"2", "20"}));
        QCOMPARE(page->table(2)[1], (TablePoint{"2", "21"}));
        QCOMPARE(page->table(2)[2], (TablePoint{"9", "90"}));
        QCOMPARE(op.wire(), QStringList{});
    }

    void tableFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Rows>("rowsBack"); // {row, input, output} of table 3 after Open
        QByteArray ten;
        for (int r = 1; r <= 10; ++r)
            ten += QByteArray::number(r) + ',' + QByteArray::number(r * 10) + "\r\n";
        QTest::newRow("ten lines change rows 1 to 10")
            << ten << Rows{{"1", "1", "10"}, {"10", "10", "100"}, {"11", "1010", "10"}, {"32", "1031", "31"}};
        QTest::newRow("decimal point and blanks")
            << QByteArray("12.5,-3\r\n 7 , 9 \r\n") << Rows{{"1", "125", "-3"}, {"2", "7", "9"}, {"3", "1002", "2"}};
        QTest::newRow("line feeds alone")
            << QByteArray("1,2\n3,4\n") << Rows{{"1", "1", "2"}, {"2", "3", "4"}, {"3", "1002", "2"}};
        QTest::newRow("no final line break") << QByteArray("1,2\r\n3,4") << Rows{{"1", "1", "2"}, {"2", "3", "4"}};
    }
    void tableFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(Rows, rowsBack);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.CSV"));
        writeAll(path, file);
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        setTable(page, 2, {});
        page->selector(2)->click();
        const Table table1 = page->table(0);
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Open"));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Open Linearization Table...."));
        QCOMPARE(rig.prompts.lastFileQuestion.filter, QStringLiteral("Comma Seperated|*.CSV"));
        QCOMPARE(rig.prompts.lastFileQuestion.defaultExtension, QStringLiteral("CSV"));
        for (const QStringList &row : rowsBack)
            QCOMPARE(page->table(2)[std::size_t(row[0].toInt() - 1)], (TablePoint{row[1], row[2]}));
        QVERIFY(page->table(0) == table1);
        QCOMPARE(op.wire(), QStringList{});
    }

    void saveWritesTheCurrentTableSorted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.CSV"));
        writeAll(path, "an older file\r\n");
        Rig rig(FastTick);
        Operator op(rig);
        LinearizationPage *page = linearization(rig, op);
        setTable(page, 0, Rows{{"50", "1"}, {"-4", "2"}, {"50", "3"}});
        setTable(page, 2, Rows{{"30", "1"}, {"10", "2"}});
        // Clicking into table 3 makes it current, so Save writes it.
        QTableWidget *grid = page->grid(2);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(3, 1)).center());
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Save"));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Save Linearization Table..."));
        QVERIFY(readAll(path).startsWith("10,2\r\n30,1\r\n1002,2\r\n"));

        // Table 1 sorted: equal inputs keep their order; the file reads back.
        page->selector(0)->click();
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Save"));
        QVERIFY(readAll(path).startsWith("-4,2\r\n50,1\r\n50,3\r\n1003,3\r\n"));
        const Table saved = page->table(0);
        setTable(page, 0, {});
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Open"));
        QVERIFY(page->table(0) == saved);
        QCOMPARE(rig.prompts.count(QStringLiteral("fileError")), 0);
    }

    void fileFailures_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file"); // in the test's directory
        QTest::addColumn<QString>("message");
        QTest::newRow("open a missing file") << "Open"
                                             << "missing.CSV"
                                             << "Can't perform one of the following file operations: Open, Seek, Read, "
                                                "Close.";
        QTest::newRow("open a file over 1 MiB") << "Open"
                                                << "huge.CSV"
                                                << "Can't perform one of the following file operations: Open, Seek, "
                                                   "Read, Close.";
        QTest::newRow("save into a missing folder")
            << "Save"
            << "no/such/folder.CSV"
            << "Can't perform one of the following file operations: Create, Write, Close.";
    }
    void fileFailures()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeAll(dir.filePath(QStringLiteral("huge.CSV")), QByteArray(MaxFileSize + 1, '1'));
        for (const bool macro : {false, true}) {
            Rig rig(FastTick);
            Operator op(rig);
            rig.detect();
            op.showWindow();
            op.openTab(macro ? PageId::Macros : PageId::Linearization);
            QWidget *page = rig.page(macro ? PageId::Macros : PageId::Linearization);
            if (macro)
                op.press(QStringLiteral("Upload"));
            const QList<QTableWidget *> grids = page->findChildren<QTableWidget *>();
            QStringList before;
            for (QTableWidget *grid : grids)
                before << grid->item(0, 0)->text() << grid->item(0, 1)->text();
            rig.prompts.fileAnswers = {dir.filePath(file)};
            op.press(button);
            QCOMPARE(rig.prompts.texts(QStringLiteral("fileError")), QStringList{message});
            QStringList after;
            for (QTableWidget *grid : grids)
                after << grid->item(0, 0)->text() << grid->item(0, 1)->text();
            QCOMPARE(after, before);
        }
    }

    void openCancelledEnablesTransfers()
    {
        for (const PageId id : {PageId::Linearization, PageId::Macros}) {
            Rig rig(FastTick);
            Operator op(rig);
            rig.detect();
            op.showWindow();
            op.openTab(id);
            op.press(QStringLiteral("Open"));
            QCOMPARE(rig.prompts.count(QStringLiteral("open")), 1);
            QVERIFY(op.button(QStringLiteral("Save"))->isEnabled());
            QVERIFY(op.button(QStringLiteral("Download"))->isEnabled());
        }
    }

    // --- Macros

    void runStateOnEntry_data()
    {
        QTest::addColumn<QString>("reg160");
        QTest::addColumn<QString>("caption");
        QTest::newRow("48 is stopped") << "48"
                                       << "Stopped";
        QTest::newRow("0 is running") << "0"
                                      << "Running";
        QTest::newRow("32 is running") << "32"
                                       << "Running";
        QTest::newRow("no number") << "x"
                                   << "Stopped";
    }
    void runStateOnEntry()
    {
        QFETCH(QString, reg160);
        QFETCH(QString, caption);
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("160"), reg160);
        rig.detect();
        op.clearWire();
        op.openTab(PageId::Macros);
        QCOMPARE(op.wire(), QStringList{"SR160"});
        QCOMPARE(rig.page<MacroPage>(PageId::Macros)->runState(), caption);
        QCOMPARE(rig.prompts.count(QStringLiteral("error")), reg160 == QLatin1String("x") ? 1 : 0);
    }

    void runButton_data()
    {
        QTest::addColumn<QString>("reg160");
        QTest::addColumn<QStringList>("presses"); // caption after each press
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("stop, then run again")
            << "0" << QStringList{"Stopped", "Running"} << QStringList{"SW160,16", "SW160,0"};
        QTest::newRow("48 runs as 32") << "48" << QStringList{"Running"} << QStringList{"SW160,32"};
        QTest::newRow("bits 8 to 15 kept") << "784" << QStringList{"Running"} << QStringList{"SW160,768"};
    }
    void runButton()
    {
        QFETCH(QString, reg160);
        QFETCH(QStringList, presses);
        QFETCH(QStringList, writes);
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("160"), reg160);
        MacroPage *page = macros(rig, op);
        QStringList wire;
        for (int i = 0; i < presses.size(); ++i) {
            op.press(page->runState());
            QCOMPARE(page->runState(), presses[i]);
            wire << QStringLiteral("SR160") << writes[i];
        }
        QCOMPARE(op.wire(), wire);
    }

    // With "Running" shown and 16 in the register, the caption decides.
    void runButtonFollowsItsCaption()
    {
        Rig rig(FastTick);
        Operator op(rig);
        MacroPage *page = macros(rig, op);
        QCOMPARE(page->runState(), QStringLiteral("Running"));
        rig.meter.setReg(QStringLiteral("160"), QStringLiteral("16"));
        op.press(QStringLiteral("Running"));
        op.press(QStringLiteral("Stopped"));
        QCOMPARE(op.wire(), (QStringList{"SR160", "SW160,16", "SR160", "SW160,0"}));
        QCOMPARE(page->runState(), QStringLiteral("Running"));
        rig.meter.setReg(QStringLiteral("160"), QStringLiteral("?"));
        op.clearWire();
        op.press(QStringLiteral("Running"));
        QCOMPARE(op.wire(), QStringList{"SR160"});
        QCOMPARE(page->runState(), QStringLiteral("Running"));
    }

    void macroUploadAndDownload()
    {
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("513"), QStringLiteral("6699"));
        rig.meter.setReg(QStringLiteral("515"), QStringLiteral("-256"));
        rig.meter.setReg(QStringLiteral("577"), QStringLiteral("4660"));
        rig.meter.setReg(QStringLiteral("578"), QStringLiteral("22136"));
        MacroPage *page = macros(rig, op);
        page->header()->setPlainText(QStringLiteral("*old header"));
        page->grid()->item(0, 2)->setText(QStringLiteral("old comment"));
        op.press(QStringLiteral("Upload"));
        QList<int> registers;
        for (int k = 0; k < MacroReadWords; ++k)
            registers << MacroFirstRegister + k;
        QCOMPARE(op.wire(), reads(registers));
        QCOMPARE(shownRow(page, 1), (QStringList{"00", "1A", ""}));
        QCOMPARE(shownRow(page, 2), (QStringList{"02", "2B", ""}));
        QCOMPARE(shownRow(page, 5), (QStringList{"08", "FF", ""}));
        QCOMPARE(shownRow(page, 6), (QStringList{"0A", "00", ""}));
        QCOMPARE(shownRow(page, 127), (QStringList{"FC", "00", ""}));
        QCOMPARE(page->grid()->rowCount(), MacroShownRows);
        QCOMPARE(page->image().row(129), (MacroRow{"100", "12", ""}));
        QCOMPARE(page->image().row(130), (MacroRow{"102", "34", ""}));
        QCOMPARE(page->image().row(132), (MacroRow{"106", "78", ""}));
        QCOMPARE(page->header()->toPlainText(), QString());

        op.clearWire();
        op.press(QStringLiteral("Download"));
        const QStringList wire = op.wire();
        QCOMPARE(wire.size(), MacroWrittenWords + 1);
        QCOMPARE(wire.first(), QStringLiteral("SW513,00"));
        QCOMPARE(wire.mid(1, 2), (QStringList{"SW514,0", "SW515,-256"}));
        QCOMPARE(wire.at(64), QStringLiteral("SW577,4660"));
        QCOMPARE(wire.last(), QStringLiteral("SW513,6699"));
    }

    void macroUploadStopsOnANonNumber()
    {
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("540"), QStringLiteral("1.5.0"));
        MacroPage *page = macros(rig, op);
        page->header()->setPlainText(QStringLiteral("*kept"));
        op.press(QStringLiteral("Upload"));
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'15.0' is not a valid integer value"});
        QCOMPARE(op.wire().last(), QStringLiteral("SR540"));
        QCOMPARE(page->header()->toPlainText(), QStringLiteral("*kept"));
        QCOMPARE(shownRow(page, 1), (QStringList{"", "", ""}));
        QVERIFY(!op.button(QStringLiteral("Download"))->isEnabled());
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
        Rig rig(FastTick);
        Operator op(rig);
        macros(rig, op);
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Open"));
        op.press(QStringLiteral("Download"));
        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{error});
        QCOMPARE(op.wire(), QStringList{});
    }

    // An empty pair in rows 3 and 4 is sent as 0; FF 00 as -256.
    void macroFileToMeter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        writeAll(path, "*Tank level\r\n00,1A,start\r\n02,2B,\r\n,,\r\n,,\r\n08,FF,x\r\n0A,00,\r\n");
        Rig rig(FastTick);
        Operator op(rig);
        MacroPage *page = macros(rig, op);
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Open"));
        QCOMPARE(page->header()->toPlainText(), QStringLiteral("*Tank level"));
        QCOMPARE(shownRow(page, 1), (QStringList{"00", "1A", "start"}));
        op.press(QStringLiteral("Download"));
        const QStringList wire = op.wire();
        QCOMPARE(wire.mid(0, 3), (QStringList{"SW513,00", "SW514,0", "SW515,-256"}));
        QCOMPARE(wire.last(), QStringLiteral("SW513,6699"));
    }

    void macroFileRoundTrip_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("headerBack");
        QTest::newRow("marked header") << "*Tank level\n*version 2"
                                       << "*Tank level\n*version 2";
        QTest::newRow("unmarked header") << "Tank level"
                                         << "*Tank level";
        QTest::newRow("empty header") << ""
                                      << "";
    }
    void macroFileRoundTrip()
    {
        QFETCH(QString, header);
        QFETCH(QString, headerBack);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        Rig rig(FastTick);
        Operator op(rig);
        for (int k = 0; k < MacroReadWords; ++k)
            rig.meter.setReg(QString::number(MacroFirstRegister + k), QString::number(k * 257 + 1));
        MacroPage *page = macros(rig, op);
        op.press(QStringLiteral("Upload"));
        page->header()->setPlainText(header);
        page->grid()->item(0, 2)->setText(QStringLiteral("*load, then * 2"));
        page->grid()->item(126, 2)->setText(QStringLiteral("last shown"));
        op.clearWire();
        op.press(QStringLiteral("Download"));
        const QStringList fromMeter = op.wire();
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Save"));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Save Linearization Table..."));

        Rig fresh(FastTick);
        Operator freshOp(fresh);
        MacroPage *back = macros(fresh, freshOp);
        fresh.prompts.fileAnswers = {path};
        freshOp.press(QStringLiteral("Open"));
        QCOMPARE(back->header()->toPlainText(), headerBack);
        for (int r = 1; r <= MacroShownRows; ++r)
            QCOMPARE(shownRow(back, r), shownRow(page, r));
        // The hidden rows the download uses come back too.
        freshOp.press(QStringLiteral("Download"));
        QCOMPARE(freshOp.wire(), fromMeter);
    }

    void accessibleControls()
    {
        Rig rig(FastTick);
        for (const PageId id : {PageId::Linearization, PageId::Macros}) {
            for (QWidget *w : rig.page(id)->findChildren<QWidget *>()) {
                if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(rig.page(id)) && !w->inherits("QScrollBar")
                    && w->parentWidget() && !w->parentWidget()->inherits("QAbstractScrollArea")) {
                    QVERIFY2(!w->accessibleName().isEmpty() || !w->property("text").toString().isEmpty(),
                             qPrintable(w->objectName() + QLatin1Char(' ') + w->metaObject()->className()));
                }
            }
        }
    }
};

QTEST_MAIN(TablePagesTest)
#include "tst_tablepages.moc"
