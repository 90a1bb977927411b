#include "tablefiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tablefiles {

namespace {

const QString Filter = QStringLiteral("Comma Seperated|*.CSV");
const QString Extension = QStringLiteral("CSV");

// Walks a file's bytes and reports each line end once: CR LF, CR alone and
// LF alone all end a line.
template<typename OnByte, typename OnLineEnd>
void scanLines(const QByteArray &bytes, OnByte onByte, OnLineEnd onLineEnd)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r') {
            if (i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
            onLineEnd();
        } else if (c == '\n') {
            onLineEnd();
        } else {
            onByte(c);
        }
    }
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

UserError notAnInteger(const QString &text)
{
    return UserError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

// A data cell as a byte: hexadecimal digits, leading zeros allowed (a file
// may write 1A as "0x1A" or "001A"), worth at most FF.
int byteValue(const QString &cell)
{
    const bool digitsOnly = std::all_of(cell.begin(), cell.end(), [](QChar c) { return isHexDigit(c.toLatin1()); });
    if (cell.isEmpty() || !digitsOnly)
        throw notAnInteger(QStringLiteral("0x") + cell);
    qsizetype first = 0;
    while (first < cell.size() - 1 && cell.at(first) == QLatin1Char('0'))
        ++first;
    const QString digits = cell.mid(first);
    if (digits.size() > 2)
        throw UserError(QStringLiteral("Range check error"));
    return digits.toInt(nullptr, 16);
}

// Opens `path` for reading only when it is a regular file: opening or
// reading a named pipe or a device may wait for ever.
bool openRegularFile(QFile &file, const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_WIN
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#else
    // The name may have been replaced since it was looked at: open without
    // waiting and check what was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace

Prompts::FileQuestion openQuestion()
{
    return {QStringLiteral("Open Linearization Table...."), Filter, Extension};
}

Prompts::FileQuestion saveQuestion()
{
    return {QStringLiteral("Save Linearization Table..."), Filter, Extension};
}

QString readErrorText()
{
    return QStringLiteral("Can't perform one of the following file operations: Open, Seek, Read, Close.");
}

QString writeErrorText()
{
    return QStringLiteral("Can't perform one of the following file operations: Create, Write, Close.");
}

std::optional<QByteArray> readFile(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path) || file.size() > MaxFileSize)
        return std::nullopt;
    // Read one byte more than allowed: a file that grew since is still
    // refused.
    QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize)
        return std::nullopt;
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, so a short write shows here: commit() does not report a
    // failure of the flush it makes itself, and would then put a cut-off
    // file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// --- Linearization tables

QString cellFromReply(const QString &replyValue)
{
    QString cell = replyValue;
    const qsizetype point = cell.indexOf(QLatin1Char('.'));
    if (point >= 0)
        cell.remove(point, 1);
    return cell;
}

int cellValue(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    try {
        return convert::toInt(text.left(end));
    } catch (const UserError &) {
        throw notAnInteger(text);
    }
}

std::optional<QString> firstCellNotANumber(int table, const Table &values)
{
    for (int r = 0; r < TablePoints; ++r) {
        const TablePoint &point = values[std::size_t(r)];
        for (const QString *cell : {&point.input, &point.output}) {
            try {
                cellValue(*cell);
            } catch (const UserError &) {
                return QStringLiteral("Table %1, point %2 %3: the meter sent '%4', which is not a number.")
                    .arg(table)
                    .arg(r + 1)
                    .arg(cell == &point.input ? QStringLiteral("input") : QStringLiteral("output"), *cell);
            }
        }
    }
    return std::nullopt;
}

void sortTable(Table &table)
{
    std::array<int, TablePoints> keys{};
    for (int r = 0; r < TablePoints; ++r)
        keys[std::size_t(r)] = cellValue(table[std::size_t(r)].input);
    std::array<int, TablePoints> order{};
    for (int r = 0; r < TablePoints; ++r)
        order[std::size_t(r)] = r;
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
    const Table before = table;
    for (int r = 0; r < TablePoints; ++r)
        table[std::size_t(r)] = before[std::size_t(order[std::size_t(r)])];
}

std::array<std::array<int, 2>, TablePoints> tableValues(const Table &table)
{
    std::array<std::array<int, 2>, TablePoints> values{};
    for (std::size_t r = 0; r < values.size(); ++r)
        values[r] = {cellValue(table[r].input), cellValue(table[r].output)};
    return values;
}

QByteArray writeTable(const Table &table)
{
    QByteArray out;
    for (const TablePoint &point : table)
        out += point.input.toLatin1() + ',' + point.output.toLatin1() + "\r\n";
    return out;
}

void readTable(const QByteArray &bytes, Table &table)
{
    int row = 0;
    int column = 0;
    QString pending;
    const auto store = [&]() {
        if (row < TablePoints && column < 2) {
            TablePoint &point = table[std::size_t(row)];
            (column == 0 ? point.input : point.output) = pending;
        }
        pending.clear();
    };
    scanLines(
        bytes,
        [&](char c) {
            if (c == ',') {
                store();
                ++column;
            } else if (c == '-' || (c >= '0' && c <= '9')) {
                pending += QLatin1Char(c);
            }
        },
        [&]() {
            store();
            ++row;
            column = 0;
        });
    // A last line without its line end still counts.
    if (column > 0 || !pending.isEmpty())
        store();
}

// --- Macros

QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

void putMacroWord(MacroImage &image, int k, int word)
{
    image.row(2 * k + 1) = {hexByte(4 * k), hexByte((word & 0xFF00) >> 8), QString()};
    image.row(2 * k + 2) = {hexByte(4 * k + 2), hexByte(word & 0xFF), QString()};
}

std::array<qint16, MacroWrittenWords> macroWords(const MacroImage &image)
{
    std::array<qint16, MacroWrittenWords> words{};
    for (int k = 0; k < MacroWrittenWords; ++k) {
        const QString &high = image.row(2 * k + 1).data;
        const QString &low = image.row(2 * k + 2).data;
        // Rows 1 and 2 make the word that marks a macro as loaded: they must
        // hold a byte. Elsewhere an empty cell is a zero byte.
        const bool mayBeEmpty = k > 0;
        const int h = mayBeEmpty && high.isEmpty() ? 0 : byteValue(high);
        const int l = mayBeEmpty && low.isEmpty() ? 0 : byteValue(low);
        words[std::size_t(k)] = qint16(quint16(h * 256 + l));
    }
    return words;
}

int macroRunValue(int reg160, bool stopped)
{
    return stopped ? (reg160 | MacroStoppedBit) : (reg160 & ~MacroStoppedBit);
}

QByteArray writeMacro(const MacroImage &image)
{
    QByteArray out;
    QStringList lines = image.header.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1Char('*')))
            out += '*';
        out += line.toLatin1() + "\r\n";
    }
    for (int r = 1; r <= MacroFileRows; ++r) {
        const MacroRow &row = image.row(r);
        out += row.address.toLatin1() + ',' + row.data.toLatin1() + ',' + row.comment.toLatin1() + "\r\n";
    }
    return out;
}

void readMacro(const QByteArray &bytes, MacroImage &image)
{
    QStringList header;
    int row = 1;
    int column = 0;
    QString field;
    QString comment;
    bool inComment = false;
    const auto store = [&]() {
        if (row <= MacroRows) {
            MacroRow &target = image.row(row);
            (column == 0 ? target.address : column == 1 ? target.data : target.comment) = field;
        }
        field.clear();
    };
    const auto endLine = [&]() {
        if (inComment) {
            if (column == 0)
                header.append(comment);
            else if (row <= MacroRows)
                image.row(row).comment = comment;
            if (column > 0)
                ++row;
            inComment = false;
            comment.clear();
        } else if (column > 0 || !field.isEmpty()) {
            store();
            ++row;
        }
        column = 0;
    };
    scanLines(
        bytes,
        [&](char c) {
            if (inComment || c == '*') {
                comment += QLatin1Char(c);
                inComment = true;
            } else if (c == ',') {
                store();
                ++column;
                inComment = column == 2;
            } else if (isHexDigit(c)) {
                field += QLatin1Char(c);
            }
        },
        endLine);
    // A last line without its line end still counts.
    endLine();
    image.header = header.join(QLatin1Char('\n'));
}

} // namespace tablefiles
