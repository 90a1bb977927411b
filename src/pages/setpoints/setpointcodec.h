#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The six setpoints as the meter stores them: their registers, the control
// bits, the three-digit setpoint code and delays as h:mm:ss text. No widgets.
namespace setpointcodec {

constexpr int Rows = 6;
// Rows 1 to 4 have relay latching and manual override; rows 5 and 6 have
// reset on setpoint in their place.
constexpr int LatchRows = 4;

constexpr int valueRegister(int row)
{
    return row + 5;
}
constexpr int countsRegister(int row)
{
    return row + 64;
}
constexpr int makeDelayRegister(int row)
{
    return row + 70;
}
constexpr int breakDelayRegister(int row)
{
    return row + 76;
}
constexpr int codeRegister(int row)
{
    return row + 141;
}
constexpr int bitsRegister(int row)
{
    return row + 192;
}

// The largest delay the editors let through, 9:06:06.
constexpr int MaxDelaySeconds = 32766;
// The largest delay a field with one hour digit can show, 9:59:59.
constexpr int LargestFieldSeconds = 35999;
// What a delay field holds when nothing has been put into it yet.
inline QString blankDelayText()
{
    return QStringLiteral(" :  :  ");
}

// Whole seconds as h:mm:ss: hours without leading zero, minutes and seconds
// with two digits (75 is "0:01:15"). Hours may have more than one digit.
QString delayText(int seconds);
// True when a field with one hour digit can show `seconds`.
bool fitsDelayField(int seconds);
// What a delay field shows for `seconds`: its delay text, or the nearest
// time the field can hold (0:00:00 or 9:59:59) when it cannot show it.
QString fieldDelayText(int seconds);
// Seconds of a field's text "h:mm:ss" (blank positions as spaces): the
// characters at positions 1, 3, 4, 6 and 7 are taken as decimal digits. A
// character that is no digit throws "'<c>' is not a valid integer value"; a
// text shorter than seven characters throws "Range check error".
int delaySeconds(const QString &text);
// The check made when a delay field is left: the text itself when it is a
// time h:mm:ss of one hour digit, minutes and seconds below 60, and at most
// 9:06:06; "9:06:06" otherwise (a blank digit, 75 minutes, 9:06:07 ...).
QString limitedDelayText(const QString &text);

// Delay type selector items, in the order of their index.
enum DelayType { Normal, SingleShot, Pulse, Repeating };

struct ControlBits
{
    int delayType = Normal; // 0..7; 4 to 7 have no item
    bool flash = false;
    bool band = false; // band mode; clear is hysteresis mode
};
// Bits 0-2 the delay type, bit 3 display flash, bit 4 band mode; higher bits
// are ignored.
ControlBits decodeBits(int value);
int encodeBits(const ControlBits &bits);

// The digit at `position` (1 to 3) of a setpoint code reply. A reply too
// short throws "Range check error"; a character that is no digit throws
// the integer conversion message.
int codeDigit(const QString &reply, int position);

// Relay latching of rows 1 to 4: the code's last digit is the latch code
// plus 2 when manual override is on.
enum class Latch { None, Energise, DeEnergise };
int latchCode(Latch latch);
// The latch the last digit's character shows: "1" and "3" Energise, "4"
// De-energise, anything else None.
Latch latchOf(QChar digit);
bool manualOverrideOf(QChar digit);

// Everything "Set Controls" writes for one row, taken from the page. A
// selector without an item writes what the meter held when it was read,
// except the latch: without an item it writes None.
struct RowState
{
    QString value;  // written exactly as it stands
    QString counts; // likewise
    QString makeDelay = blankDelayText();
    QString breakDelay = blankDelayText();
    // Delays the field cannot show, as read; written until the field is edited.
    std::optional<int> heldMakeSeconds;
    std::optional<int> heldBreakSeconds;

    int delayType = -1; // selected item, -1 for none
    int heldDelayType = 0;
    bool flash = false;
    bool band = false;

    bool energisePressed = false;
    bool resetDelay = false;
    int source = -1;
    int heldSource = 0;

    // Rows 1 to 4.
    Latch latch = Latch::None;
    bool manualOverride = false;

    // Rows 5 and 6.
    int resetOnSetpoint = -1;
    int heldResetOnSetpoint = 0;
};

int codeValue(int row, const RowState &state);
int bitsValue(const RowState &state);

// The 36 writes of "Set Controls" in the order they go out: value, make
// delay, break delay and counts of every row; then control bits and code of
// rows 1 to 4, each code followed by a comma; then those of rows 5 and 6.
// Throws for a delay field that is no delay text (see delaySeconds).
QStringList writeCommands(const std::array<RowState, Rows> &rows);

// What a read of the read-back fills in.
enum class ReadField { Value, Counts, MakeDelay, BreakDelay, Bits, CodeFront, CodeLast };
struct ReadStep
{
    int row;
    int reg;
    ReadField field;
};
// The 42 reads in the order they go out: for each row its value, counts,
// both delays, control bits and code (its first two digits); then the codes
// of all rows again for their last digit.
QList<ReadStep> readSteps();

} // namespace setpointcodec
