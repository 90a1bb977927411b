#include "pages/tables/tablefiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tablefiles;

using Cells = QList<QStringList>; // {row, input, output} or {row, address, data, comment}

// The table files, the macro files and the register conversions of both
// pages, without a window.
class TableFilesTest : public QObject
{
    Q_OBJECT

private:
    // Every cell holds a marker, so a test sees which cells a file reached.
    static Table markedTable()
    {
        Table table;
        for (int r = 0; r < TablePoints; ++r)
            table[std::size_t(r)] = {QStringLiteral("i%1").arg(r + 1), QStringLiteral("o%1").arg(r + 1)};
        return table;
    }
    static Table tableOf(const QList<int> &inputs)
    {
        Table table;
        for (int r = 0; r < TablePoints; ++r)
            table[std::size_t(r)] = {QString::number(r < inputs.size() ? inputs[r] : 1000 + r),
                                     QStringLiteral("o%1").arg(r + 1)};
        return table;
    }
    static MacroImage markedImage()
    {
        MacroImage image;
        image.header = QStringLiteral("*old");
        for (int r = 1; r <= MacroRows; ++r)
            image.row(r) = {QStringLiteral("a%1").arg(r), QStringLiteral("d%1").arg(r), QStringLiteral("c%1").arg(r)};
        return image;
    }
    static QString errorOf(const std::function<void()> &fn)
    {
        try {
            fn();
        } catch (const UserError &e) {
            return e.message();
        }
        return QString();
    }

private slots:
    // --- Table files

    void readTableFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Cells>("changed");
        QTest::newRow("decimal point and sign") << QByteArray("12.5,-3\r\n") << Cells{{"1", "125", "-3"}};
        QTest::newRow("blanks around values") << QByteArray(" 7 , 9 \r\n") << Cells{{"1", "7", "9"}};
        QTest::newRow("plus and letters skipped") << QByteArray("+5x,a1\r\n") << Cells{{"1", "5", "1"}};
        QTest::newRow("empty row") << QByteArray(",\r\n") << Cells{{"1", "", ""}};
        QTest::newRow("line feed alone ends a line")
            << QByteArray("1,2\n3,4\n") << Cells{{"1", "1", "2"}, {"2", "3", "4"}};
        QTest::newRow("carriage return alone ends a line")
            << QByteArray("1,2\r3,4\r") << Cells{{"1", "1", "2"}, {"2", "3", "4"}};
        QTest::newRow("last line without its line end")
            << QByteArray("1,2\r\n3,4") << Cells{{"1", "1", "2"}, {"2", "3", "4"}};
        QTest::newRow("last line with its input only")
            << QByteArray("1,2\r\n3") << Cells{{"1", "1", "2"}, {"2", "3", "o2"}};
        QTest::newRow("columns beyond the output ignored") << QByteArray("1,2,3,4\r\n") << Cells{{"1", "1", "2"}};
        QTest::newRow("empty file") << QByteArray() << Cells{};
        QByteArray ten;
        Cells tenRows;
        for (int r = 1; r <= 10; ++r) {
            ten += QByteArray::number(r * 10) + ',' + QByteArray::number(-r) + "\r\n";
            tenRows.append({QString::number(r), QString::number(r * 10), QString::number(-r)});
        }
        QTest::newRow("ten lines change rows 1 to 10") << ten << tenRows;
        QByteArray long34;
        Cells all;
        for (int r = 1; r <= 34; ++r) {
            long34 += QByteArray::number(r) + ",7\r\n";
            if (r <= TablePoints)
                all.append({QString::number(r), QString::number(r), "7"});
        }
        QTest::newRow("rows beyond 32 ignored") << long34 << all;
    }
    void readTableFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(Cells, changed);
        Table expected = markedTable();
        for (const QStringList &cell : changed)
            expected[std::size_t(cell[0].toInt() - 1)] = {cell[1], cell[2]};
        Table table = markedTable();
        readTable(file, table);
        for (int r = 0; r < TablePoints; ++r) {
            QCOMPARE(table[std::size_t(r)].input, expected[std::size_t(r)].input);
            QCOMPARE(table[std::size_t(r)].output, expected[std::size_t(r)].output);
        }
    }

    void tableFileRoundTrip()
    {
        Table table = tableOf({-5, 0, 12, 300});
        table[4] = {QString(), QString()};
        table[5] = {QStringLiteral("-"), QStringLiteral("99999")};
        const QByteArray file = writeTable(table);
        QVERIFY(file.startsWith("-5,o1\r\n0,o2\r\n12,o3\r\n300,o4\r\n,\r\n-,99999\r\n"));
        QCOMPARE(file.count("\r\n"), TablePoints);
        QVERIFY(file.endsWith("\r\n"));
        // Saved cells hold only what the reader keeps; markers would not.
        for (TablePoint &point : table)
            point.output.remove(QLatin1Char('o'));
        Table read = markedTable();
        readTable(writeTable(table), read);
        QVERIFY(read == table);
    }

    void sortTable_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("sortedOutputs"); // outputs of rows 1.. after the sort
        QTest::addColumn<QString>("error");
        QTest::newRow("out of order") << QStringList{"30", "-10", "20"} << QStringList{"o2", "o3", "o1"} << "";
        QTest::newRow("equal inputs keep their order")
            << QStringList{"5", "1", "5", "1"} << QStringList{"o2", "o4", "o1", "o3"} << "";
        QTest::newRow("blanks around an input") << QStringList{" 9 ", "8"} << QStringList{"o2", "o1"} << "";
        QTest::newRow("empty input") << QStringList{"3", ""} << QStringList{} << "'' is not a valid integer value";
        QTest::newRow("first bad cell from the top")
            << QStringList{"9", "1", "-", "x"} << QStringList{} << "'-' is not a valid integer value";
        QTest::newRow("beyond 32 bits") << QStringList{"9999999999"} << QStringList{}
                                        << "'9999999999' is not a valid integer value";
    }
    void sortTable()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, sortedOutputs);
        QFETCH(QString, error);
        Table table = tableOf({});
        for (int r = 0; r < inputs.size(); ++r)
            table[std::size_t(r)].input = inputs[r];
        const Table before = table;
        QCOMPARE(errorOf([&table]() { tablefiles::sortTable(table); }), error);
        if (!error.isEmpty()) {
            QVERIFY(table == before);
            return;
        }
        for (int r = 0; r < sortedOutputs.size(); ++r)
            QCOMPARE(table[std::size_t(r)].output, sortedOutputs[r]);
        for (int r = 1; r < TablePoints; ++r)
            QVERIFY(cellValue(table[std::size_t(r - 1)].input) <= cellValue(table[std::size_t(r)].input));
    }

    void downloadValues_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        QTest::newRow("plain") << "-40"
                               << "125"
                               << "";
        QTest::newRow("plus sign") << "+7"
                                   << "7"
                                   << "";
        QTest::newRow("empty output") << "1"
                                      << ""
                                      << "'' is not a valid integer value";
        QTest::newRow("empty input") << ""
                                     << "1"
                                     << "'' is not a valid integer value";
        QTest::newRow("output with a point") << "1"
                                             << "1.5"
                                             << "'1.5' is not a valid integer value";
    }
    void downloadValues()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, error);
        Table table = tableOf({});
        for (TablePoint &point : table)
            point.output = QStringLiteral("0");
        table[31] = {input, output};
        QCOMPARE(errorOf([&table]() { tableValues(table); }), error);
        if (error.isEmpty())
            QCOMPARE(tableValues(table)[31], (std::array<int, 2>{input.toInt(), output.toInt()}));
    }

    void cellFromReply_data()
    {
        QTest::addColumn<QString>("replyValue"); // the exchange removed the reply's first "."
        QTest::addColumn<QString>("cell");
        QTest::newRow("-12.5 arrives as -125") << "-125"
                                               << "-125";
        QTest::newRow("second point removed") << "12.3"
                                              << "123";
        QTest::newRow("third point stays") << "1.2.3"
                                           << "12.3";
    }
    void cellFromReply()
    {
        QFETCH(QString, replyValue);
        QFETCH(QString, cell);
        QCOMPARE(tablefiles::cellFromReply(replyValue), cell);
    }

    // --- Macro words

    void macroWord_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("word");
        QTest::addColumn<QStringList>("rows"); // address, data of rows 2k+1 and 2k+2
        QTest::newRow("6699 is 1A2B") << 0 << 6699 << QStringList{"00", "1A", "02", "2B"};
        QTest::newRow("negative reply") << 1 << -256 << QStringList{"04", "FF", "06", "00"};
        QTest::newRow("address FA") << 62 << 1 << QStringList{"F8", "00", "FA", "01"};
        QTest::newRow("hidden rows 129 and 130") << 64 << 0x0102 << QStringList{"100", "01", "102", "02"};
    }
    void macroWord()
    {
        QFETCH(int, k);
        QFETCH(int, word);
        QFETCH(QStringList, rows);
        MacroImage image = markedImage();
        putMacroWord(image, k, word);
        QCOMPARE(image.row(2 * k + 1), (MacroRow{rows[0], rows[1], QString()}));
        QCOMPARE(image.row(2 * k + 2), (MacroRow{rows[2], rows[3], QString()}));
        QCOMPARE(image.row(2 * k + 3).comment, QStringLiteral("c%1").arg(2 * k + 3));
    }

    void downloadWords_data()
    {
        QTest::addColumn<Cells>("data"); // {row, data}
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("error");
        QTest::newRow("1A 2B") << Cells{{"1", "1A"}, {"2", "2B"}} << 0 << 6699 << "";
        QTest::newRow("FF 00 is negative") << Cells{{"5", "FF"}, {"6", "00"}} << 2 << -256 << "";
        QTest::newRow("empty pair in rows 3 and 4") << Cells{{"3", ""}, {"4", ""}} << 1 << 0 << "";
        QTest::newRow("lower case and one digit") << Cells{{"7", "1f"}, {"8", "a"}} << 3 << 0x1F0A << "";
        QTest::newRow("rows 129 and 130") << Cells{{"129", "7F"}, {"130", "FF"}} << 64 << 0x7FFF << "";
        QTest::newRow("empty row 1") << Cells{{"1", ""}} << 0 << 0 << "'0x' is not a valid integer value";
        QTest::newRow("empty row 2") << Cells{{"2", ""}} << 0 << 0 << "'0x' is not a valid integer value";
        QTest::newRow("not hexadecimal") << Cells{{"40", "G1"}} << 0 << 0 << "'0xG1' is not a valid integer value";
        QTest::newRow("signed") << Cells{{"40", "-1"}} << 0 << 0 << "'0x-1' is not a valid integer value";
        QTest::newRow("three digits") << Cells{{"9", "1f3"}} << 0 << 0 << "Range check error";
        QTest::newRow("leading zeros") << Cells{{"1", "01A"}, {"2", "0000002B"}} << 0 << 6699 << "";
        QTest::newRow("many digits") << Cells{{"9", "123456789ABCDEF01"}} << 0 << 0 << "Range check error";
    }
    void downloadWords()
    {
        QFETCH(Cells, data);
        QFETCH(int, k);
        QFETCH(int, word);
        QFETCH(QString, error);
        MacroImage image;
        for (int r = 1; r <= MacroRows; ++r)
            image.row(r).data = QStringLiteral("00");
        for (const QStringList &cell : data)
            image.row(cell[0].toInt()).data = cell[1];
        // Rows beyond 130 play no part.
        image.row(131).data = QStringLiteral("bad");
        QCOMPARE(errorOf([&image]() { macroWords(image); }), error);
        if (error.isEmpty())
            QCOMPARE(int(macroWords(image)[std::size_t(k)]), word);
    }

    void runValue_data()
    {
        QTest::addColumn<int>("reg160");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("written");
        QTest::newRow("stop from 0") << 0 << true << 16;
        QTest::newRow("stop when stopped") << 16 << true << 16;
        QTest::newRow("run from 16") << 16 << false << 0;
        QTest::newRow("run from 48") << 48 << false << 32;
        QTest::newRow("high bits kept on run") << 0x0310 << false << 0x0300;
        QTest::newRow("negative kept on stop") << -32768 << true << -32752;
    }
    void runValue()
    {
        QFETCH(int, reg160);
        QFETCH(bool, stopped);
        QFETCH(int, written);
        QCOMPARE(macroRunValue(reg160, stopped), written);
    }

    // --- Macro files

    void readMacroFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("header");
        QTest::addColumn<Cells>("changed"); // {row, address, data, comment}
        QTest::newRow("comment verbatim")
            << QByteArray("0A,1f,set point * 2\r\n") << "" << Cells{{"1", "0A", "1f", "set point * 2"}};
        QTest::newRow("comma in a comment")
            << QByteArray("00,01,a, b,c\r\n") << "" << Cells{{"1", "00", "01", "a, b,c"}};
        QTest::newRow("header then rows")
            << QByteArray("*first\r\n* second, line\r\n00,12,\r\n02,34,go\r\n") << "*first\n* second, line"
            << Cells{{"1", "00", "12", ""}, {"2", "02", "34", "go"}};
        QTest::newRow("empty lines skipped") << QByteArray("\r\n*h\r\n\r\n00,12,x\r\n\r\n02,34,y\r\n") << "*h"
                                             << Cells{{"1", "00", "12", "x"}, {"2", "02", "34", "y"}};
        QTest::newRow("empty row line") << QByteArray(",,\r\n02,34,y\r\n") << ""
                                        << Cells{{"1", "", "", ""}, {"2", "02", "34", "y"}};
        QTest::newRow("line feed alone") << QByteArray("*h\n00,12,x\n02,34,y\n") << "*h"
                                         << Cells{{"1", "00", "12", "x"}, {"2", "02", "34", "y"}};
        QTest::newRow("other bytes skipped") << QByteArray("0x0A, $1F ,c\r\n") << "" << Cells{{"1", "00A", "1F", "c"}};
        QTest::newRow("row without comment") << QByteArray("04,05\r\n") << "" << Cells{{"1", "04", "05", "c1"}};
        QTest::newRow("last line without its line end")
            << QByteArray("00,12,x\r\n02,34,y") << "" << Cells{{"1", "00", "12", "x"}, {"2", "02", "34", "y"}};
        QTest::newRow("empty file") << QByteArray() << "" << Cells{};
        QByteArray many;
        Cells all;
        for (int r = 1; r <= 135; ++r) {
            many += "01,02,r" + QByteArray::number(r) + "\r\n";
            if (r <= MacroRows)
                all.append({QString::number(r), "01", "02", QStringLiteral("r%1").arg(r)});
        }
        QTest::newRow("rows beyond 132 ignored") << many << "" << all;
    }
    void readMacroFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, header);
        QFETCH(Cells, changed);
        MacroImage expected = markedImage();
        for (const QStringList &cell : changed)
            expected.row(cell[0].toInt()) = {cell[1], cell[2], cell[3]};
        MacroImage image = markedImage();
        readMacro(file, image);
        QCOMPARE(image.header, header);
        for (int r = 1; r <= MacroRows; ++r)
            QCOMPARE(image.row(r), expected.row(r));
    }

    void macroFileRoundTrip_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("headerBack");
        QTest::newRow("marked header") << "*Tank level\n*v2"
                                       << "*Tank level\n*v2";
        QTest::newRow("unmarked header") << "Tank level\nv2"
                                         << "*Tank level\n*v2";
        QTest::newRow("mixed header") << "*Tank\nlevel"
                                      << "*Tank\n*level";
        QTest::newRow("empty header") << ""
                                      << "";
        QTest::newRow("trailing line break") << "*Tank\n"
                                             << "*Tank";
        QTest::newRow("empty line inside") << "*a\n\n*b"
                                           << "*a\n*\n*b";
    }
    void macroFileRoundTrip()
    {
        QFETCH(QString, header);
        QFETCH(QString, headerBack);
        MacroImage image;
        image.header = header;
        for (int k = 0; k < MacroReadWords; ++k)
            putMacroWord(image, k, 0x0100 * k + 3 * k);
        image.row(1).comment = QStringLiteral("*start here");
        image.row(2).comment = QStringLiteral("set point * 2, then 3");
        image.row(3) = {};
        image.row(127).comment = QStringLiteral("last shown");
        image.row(130).comment = QStringLiteral("last written");
        const QByteArray file = writeMacro(image);
        QCOMPARE(file.count("\r\n"),
                 qsizetype(headerBack.isEmpty() ? 0 : headerBack.count(QLatin1Char('\n')) + 1) + MacroFileRows);
        MacroImage back;
        readMacro(file, back);
        QCOMPARE(back.header, headerBack);
        for (int r = 1; r <= MacroFileRows; ++r)
            QCOMPARE(back.row(r), image.row(r));
        QCOMPARE(back.row(131), MacroRow{});
        // What download sends is the same from the file as from the meter.
        QVERIFY(macroWords(back) == macroWords(image));
    }

    void macroFileLines()
    {
        MacroImage image;
        image.header = QStringLiteral("*one");
        putMacroWord(image, 0, 6699);
        image.row(1).comment = QStringLiteral("go");
        const QList<QByteArray> lines = writeMacro(image).split('\n');
        QCOMPARE(lines.mid(0, 4), (QList<QByteArray>{"*one\r", "00,1A,go\r", "02,2B,\r", ",,\r"}));
    }

    // --- Files on disk

    void readFile_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("empty") << qint64(0) << true;
        QTest::newRow("1 MiB") << MaxFileSize << true;
        QTest::newRow("1 MiB and a byte") << MaxFileSize + 1 << false;
    }
    void readFile()
    {
        QFETCH(qint64, size);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        file.close();
        const std::optional<QByteArray> bytes = tablefiles::readFile(path);
        QCOMPARE(bytes.has_value(), read);
        if (read)
            QCOMPARE(bytes->size(), size);
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        QVERIFY(!tablefiles::readFile(dir.filePath(QStringLiteral("missing.csv"))));
        QVERIFY(!tablefiles::readFile(dir.path()));
    }

#ifdef Q_OS_UNIX
    // Refused without opening it: should the read wait for a writer, the
    // alarm ends the test rather than letting it hang.
    void namedPipeIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        alarm(10);
        const bool read = tablefiles::readFile(path).has_value();
        alarm(0);
        QVERIFY(!read);
    }
#endif

    void writeReplacesOnlyOnSuccess()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        QVERIFY(writeFile(path, "old\r\n"));
        QVERIFY(writeFile(path, "new\r\n"));
        QCOMPARE(tablefiles::readFile(path).value(), QByteArray("new\r\n"));
        QVERIFY(!writeFile(dir.filePath(QStringLiteral("no/such/dir.csv")), "x"));
        QVERIFY(!writeFile(dir.path(), "x"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.csv"});
    }

#ifdef Q_OS_UNIX
    // A write that fails half-way (here: the file size limit) leaves the old
    // file whole and no temporary file behind.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.csv"));
        QVERIFY(writeFile(path, "old\r\n"));
        rlimit before{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 64;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool written = writeFile(path, QByteArray(4096, 'x'));
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!written);
        QCOMPARE(tablefiles::readFile(path).value(), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.csv"});
    }
#endif
};

QTEST_GUILESS_MAIN(TableFilesTest)
#include "tst_tablefiles.moc"
