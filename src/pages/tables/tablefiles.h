#pragma once

#include "link/errors.h"
#include "link/prompts.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The linearization table and macro files, and the conversions between the
// meter's registers and what the two pages show. No widgets: the pages copy
// their grids into these values and back.
namespace tablefiles {

// Both files are small; anything bigger is not one of them.
constexpr qint64 MaxFileSize = 1024 * 1024;

// "Open" and "Save" on both pages ask the same questions.
Prompts::FileQuestion openQuestion();
Prompts::FileQuestion saveQuestion();
// The "File Error" box's text when a file cannot be read, and when it cannot
// be written.
QString readErrorText();
QString writeErrorText();

// The whole file, or nothing when it is no regular file (a folder, a named
// pipe, a device), cannot be opened or read, or is larger than MaxFileSize.
std::optional<QByteArray> readFile(const QString &path);
// Writes a temporary file beside `path` and puts it in place of the old one
// only when every byte was written; false leaves any old file as it was.
bool writeFile(const QString &path, const QByteArray &bytes);

// --- Linearization tables

constexpr int TablePoints = 32;

struct TablePoint
{
    QString input;
    QString output;
    bool operator==(const TablePoint &other) const { return input == other.input && output == other.output; }
};
using Table = std::array<TablePoint, TablePoints>;

// The registers of table 1..4, row 1..32.
constexpr int inputRegister(int table, int row)
{
    return 256 + 64 * (table - 1) + row;
}
constexpr int outputRegister(int table, int row)
{
    return 288 + 64 * (table - 1) + row;
}

// A table cell's text from a register's reply value: the reply's second "."
// goes too (the exchange removed the first), so "-12.5" shows as "-125".
QString cellFromReply(const QString &replyValue);

// A cell as a whole number; the conversion error names the cell's text.
// Trailing blanks are ignored, leading ones accepted.
int cellValue(const QString &text);

// Describes the first cell, row by row with input before output, that is no
// whole number ("Table 2, point 5 output: the meter sent 'x', which is not a
// number."), or returns nothing when every cell is one. `table` counts from 1.
std::optional<QString> firstCellNotANumber(int table, const Table &values);

// Puts the rows in ascending order of input value; equal inputs keep their
// order. Throws the conversion error of the first input cell from the top
// that is no number, and then leaves the table as it was.
void sortTable(Table &table);

// Every input and output cell as a whole number, in row order, for a
// download. Throws on the first cell that is none, before anything is sent.
std::array<std::array<int, 2>, TablePoints> tableValues(const Table &table);

// One line per row: input "," output CR LF, the cells' texts as they are.
QByteArray writeTable(const Table &table);
// Reads a table file into `table`: only the cells the file reaches change.
// Lines end in CR LF, CR or LF; "," separates the columns; "-" and digits
// make a value and every other byte is skipped.
void readTable(const QByteArray &bytes, Table &table);

// --- Macros

// Rows of the image, numbered from 1: the grid shows 127, the download and
// the file use 130, the upload fills all 132.
constexpr int MacroRows = 132;
constexpr int MacroShownRows = 127;
constexpr int MacroFileRows = 130;
// Registers 513..578 are read; 513..577 are written.
constexpr int MacroFirstRegister = 513;
constexpr int MacroReadWords = 66;
constexpr int MacroWrittenWords = 65;
// Bit of register 160 that is set while the macros are stopped.
constexpr int MacroStoppedBit = 16;

struct MacroRow
{
    QString address;
    QString data;
    QString comment;
    bool operator==(const MacroRow &other) const
    {
        return address == other.address && data == other.data && comment == other.comment;
    }
};

struct MacroImage
{
    // The header text, lines separated by "\n".
    QString header;
    std::array<MacroRow, MacroRows> rows;
    MacroRow &row(int number) { return rows[std::size_t(number - 1)]; }
    const MacroRow &row(int number) const { return rows[std::size_t(number - 1)]; }
};

// Uppercase hexadecimal, at least two digits: 0 is "00", 250 "FA", 256 "100".
QString hexByte(int value);

// Fills image rows 2k+1 and 2k+2 from the reply to register 513 + k: the
// word's high and low byte, addresses 4k and 4k + 2, comments empty.
void putMacroWord(MacroImage &image, int k, int word);

// The words the download writes, index k for register 513 + k (0..64).
// Checks the whole image first: rows 1 and 2 hold a byte, every other data
// cell up to row 130 holds a byte or is empty (sent as 0). A byte is
// hexadecimal digits worth at most FF, leading zeros allowed. Throws before
// anything is sent.
std::array<qint16, MacroWrittenWords> macroWords(const MacroImage &image);

// Register 160 with the stopped bit set or cleared; no other bit changes.
int macroRunValue(int reg160, bool stopped);

// The header's lines, each starting with "*" (one is put in front where
// missing), then rows 1..130 as address "," data "," comment; CR LF after
// every line. An empty header writes no line.
QByteArray writeMacro(const MacroImage &image);
// Reads a macro file into `image`: the header is replaced by the file's
// header lines; only the rows the file reaches change. A line beginning with
// "*" is a header line; other lines fill the next row, the comment taken
// verbatim up to the line end. Empty lines are skipped.
void readMacro(const QByteArray &bytes, MacroImage &image);

} // namespace tablefiles
