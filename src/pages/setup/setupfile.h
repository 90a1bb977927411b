#pragma once

#include "pages/settingregister.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <stdexcept>

// A meter's whole setup as a text file: UTF-8 TOML that the program writes
// itself (so that every line carries a comment naming its setting) and
// reads with toml++. One table per page in the page strip's order, one line
// per register with the value exactly as the meter sent it:
//
//   format = 1
//   [meter]
//   model = "KM5B"
//   version = "1.26"
//   [code_1]
//   130 = "213"   # Code 1: Code 1
namespace setupfile {

constexpr int Format = 1;

struct Entry
{
    QString reg;
    QString value;
    int line = 0; // in the file read; 0 for one not read from a file
};

struct Document
{
    QString model;
    QString version;
    QList<Entry> entries; // in the file's order
};

// Where and when a setup was saved, for the file's header.
struct Origin
{
    QDateTime savedAt;
    QString program; // "meter-setup 1.0.0.1"
    QString address;
    QString port; // "COM41 (/dev/ttyUSB0)"
};

// A file that cannot be used, with the reason for the operator (naming the
// line and column where there is one). Nothing has been sent when it is thrown.
class Refused : public std::runtime_error
{
public:
    explicit Refused(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The table name of a page in the file: "scale_offset", "code_4".
QString pageKey(PageId page);
// The page's name as its tab shows it, without a code's number.
QString pageName(PageId page);
// A setting in the page's words: "Scale & Offset, Result scale".
QString settingLabel(const SettingRegister &setting);
// A text as a TOML basic string: in quotes, with quotes, backslashes and
// control characters escaped.
QString quoted(const QString &text);

// The file's text for `document`, its registers in the order of
// `description` (the page strip's order, each page's own order).
QByteArray write(const Document &document, const Origin &origin, const QList<SettingRegister> &description);

// Reads and checks a file against `description`; throws Refused for text
// that is not TOML, an unknown format, a register that is no setting (or
// not on the page whose table holds it), a register given twice, or a value
// the page would refuse.
Document read(const QByteArray &bytes, const QList<SettingRegister> &description);

} // namespace setupfile
