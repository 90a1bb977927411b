#include "setpointcodec.h"

#include "link/errors.h"
#include "link/registers.h"

#include <QRegularExpression>

namespace setpointcodec {

namespace {

UserError notAnInteger(const QString &text)
{
    return UserError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

UserError rangeCheck()
{
    return UserError(QStringLiteral("Range check error"));
}

int digitOf(QChar c)
{
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        throw notAnInteger(QString(c));
    return c.unicode() - '0';
}

int selectorDigit(int index, int held)
{
    return index >= 0 ? index : held;
}

} // namespace

QString delayText(int seconds)
{
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

bool fitsDelayField(int seconds)
{
    return seconds >= 0 && seconds <= LargestFieldSeconds;
}

QString fieldDelayText(int seconds)
{
    return delayText(qBound(0, seconds, LargestFieldSeconds));
}

int delaySeconds(const QString &text)
{
    if (text.size() < 7)
        throw rangeCheck();
    return digitOf(text.at(0)) * 3600 + (digitOf(text.at(2)) * 10 + digitOf(text.at(3))) * 60 + digitOf(text.at(5)) * 10
           + digitOf(text.at(6));
}

QString limitedDelayText(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^([0-9]):([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch parts = shape.match(text);
    const QString limit = delayText(MaxDelaySeconds);
    if (!parts.hasMatch())
        return limit;
    const int minutes = parts.captured(2).toInt();
    const int seconds = parts.captured(3).toInt();
    if (minutes >= 60 || seconds >= 60)
        return limit;
    return parts.captured(1).toInt() * 3600 + minutes * 60 + seconds > MaxDelaySeconds ? limit : text;
}

ControlBits decodeBits(int value)
{
    return ControlBits{value & 7, (value & 8) != 0, (value & 16) != 0};
}

int encodeBits(const ControlBits &bits)
{
    return (bits.delayType & 7) + (bits.flash ? 8 : 0) + (bits.band ? 16 : 0);
}

int codeDigit(const QString &reply, int position)
{
    if (reply.size() < position)
        throw rangeCheck();
    return digitOf(reply.at(position - 1));
}

int latchCode(Latch latch)
{
    switch (latch) {
    case Latch::Energise:
        return 1;
    case Latch::DeEnergise:
        return 4;
    case Latch::None:
        break;
    }
    return 0;
}

Latch latchOf(QChar digit)
{
    if (digit == QLatin1Char('1') || digit == QLatin1Char('3'))
        return Latch::Energise;
    return digit == QLatin1Char('4') ? Latch::DeEnergise : Latch::None;
}

bool manualOverrideOf(QChar digit)
{
    return digit == QLatin1Char('2') || digit == QLatin1Char('3');
}

int codeValue(int row, const RowState &state)
{
    const int d1 = (state.resetDelay ? 2 : 0) + (state.energisePressed ? 0 : 1);
    const int d2 = selectorDigit(state.source, state.heldSource);
    int d3 = 0;
    if (row <= LatchRows)
        d3 = latchCode(state.latch) + (state.manualOverride ? 2 : 0);
    else
        d3 = selectorDigit(state.resetOnSetpoint, state.heldResetOnSetpoint);
    return 100 * d1 + 10 * d2 + d3;
}

int bitsValue(const RowState &state)
{
    return encodeBits(ControlBits{selectorDigit(state.delayType, state.heldDelayType), state.flash, state.band});
}

QStringList writeCommands(const std::array<RowState, Rows> &rows)
{
    QStringList commands;
    for (int row = 1; row <= Rows; ++row) {
        const RowState &state = rows[row - 1];
        const int make = state.heldMakeSeconds ? *state.heldMakeSeconds : delaySeconds(state.makeDelay);
        const int brk = state.heldBreakSeconds ? *state.heldBreakSeconds : delaySeconds(state.breakDelay);
        commands << writeCommand(valueRegister(row), state.value) << writeCommand(makeDelayRegister(row), make)
                 << writeCommand(breakDelayRegister(row), brk) << writeCommand(countsRegister(row), state.counts);
    }
    for (int row = 1; row <= Rows; ++row) {
        const RowState &state = rows[row - 1];
        // The latch rows' code ends with a comma, as the meter has always
        // been sent it.
        const QString code = QString::number(codeValue(row, state));
        commands << writeCommand(bitsRegister(row), bitsValue(state))
                 << writeCommand(codeRegister(row), row <= LatchRows ? code + QLatin1Char(',') : code);
    }
    return commands;
}

QList<ReadStep> readSteps()
{
    QList<ReadStep> steps;
    for (int row = 1; row <= Rows; ++row) {
        steps << ReadStep{row, valueRegister(row), ReadField::Value}
              << ReadStep{row, countsRegister(row), ReadField::Counts}
              << ReadStep{row, makeDelayRegister(row), ReadField::MakeDelay}
              << ReadStep{row, breakDelayRegister(row), ReadField::BreakDelay}
              << ReadStep{row, bitsRegister(row), ReadField::Bits}
              << ReadStep{row, codeRegister(row), ReadField::CodeFront};
    }
    for (int row = 1; row <= Rows; ++row)
        steps << ReadStep{row, codeRegister(row), ReadField::CodeLast};
    return steps;
}

} // namespace setpointcodec
