#pragma once

#include "setupfile.h"

#include <functional>

class CommandExchange;
struct MeterIdentity;

// Reading a meter's setting registers, comparing them with a setup file and
// writing the differences, one exchange per register at the link's pace.
namespace setuptransfer {

// Reads and writes report each step before it goes out: how many are done
// of how many, and the page being read or written. Returning false stops
// the run there (the operator's Cancel, an interrupt).
using Step = std::function<bool(int done, int total, const QString &page)>;

// The registers of `description` that the meter has, leaving out the pages
// in `leftOut`.
QList<SettingRegister> registersOf(const QList<SettingRegister> &description, const MeterIdentity &identity,
                                   const QList<PageId> &leftOut = {});

// Milliseconds that `reads` reads take at the link's pace: two ticks each,
// plus the meter's answer time.
qint64 readMilliseconds(int reads, int answerMs = 0);

// Each register's reply text, in order; fewer than asked when `step`
// stopped the run. Throws as the exchange does (replies out of step,
// time-outs).
QList<setupfile::Entry> readRegisters(CommandExchange &exchange, const QList<SettingRegister> &registers,
                                      const Step &step = {});

// One register of a comparison.
struct Row
{
    SettingRegister setting;
    QString meter;
    QString file;
    bool differs = false;
};

// The file's registers with the meter's values, differences first, each
// part in the order of `description`. `meter` holds the values read;
// `description` is the meter's own (registersOf), one entry a register.
QList<Row> compare(const QList<SettingRegister> &description, const QList<setupfile::Entry> &file,
                   const QList<setupfile::Entry> &meter);

// Why the file's values must not be written to this meter, or nothing:
// another model is never written to.
std::optional<QString> modelRefusal(const setupfile::Document &file, const MeterIdentity &identity);
// Whether the file comes from another firmware version (the operator is
// asked before writing).
bool otherVersion(const setupfile::Document &file, const MeterIdentity &identity);

// One write of a setup.
struct Write
{
    SettingRegister setting;
    QString command;
};

// The writes that put the differing rows' file values into the meter, in a
// safe order: the codes first, then each page in the page strip's order and
// its own order; the macro as the Macros page downloads it (its first word
// cleared first and written last). Registers the meter lacks are left out;
// `description` is the meter's own, as for compare().
QList<Write> writesFor(const QList<Row> &rows, const QList<SettingRegister> &description,
                       const MeterIdentity &identity);

struct WriteReport
{
    QStringList written;    // registers whose write was answered
    QStringList notWritten; // registers not written when the run ended
    QString failure;        // why it ended early; empty when it did not
};

// Sends the writes in order. A time-out, an error or `step` stopping it ends
// the run; the report says what was and wasn't written.
WriteReport writeAll(CommandExchange &exchange, const QList<Write> &writes, const Step &step = {});

} // namespace setuptransfer
