#include "summaryreads.h"

#include "link/errors.h"
#include "link/registers.h"
#include "pages/codes/displayformat.h"
#include "pages/setpoints/setpointcodec.h"

namespace summaryreads {

namespace {

using C = Conversion;

// The view after the setpoints' six, shown in the sub total's row.
constexpr int SubTotalView = 7;

constexpr Read reg(int number, int row, int column, Conversion conversion = C::Value)
{
    return {number, 0, {row, column}, conversion};
}

constexpr Read text(char letter, int row, int column)
{
    return {0, letter, {row, column}, C::Text};
}

std::array<Read, ReadCount> makeReads()
{
    std::array<Read, ReadCount> reads{};
    std::size_t next = 0;
    const auto add = [&reads, &next](const Read &read) { reads.at(next++) = read; };
    // Calibration, the bargraph and the K factor in column 1.
    add(reg(129, 1, 1));
    add(reg(99, 18, 1));
    add(reg(100, 19, 1));
    add(reg(220, 20, 1));
    add(reg(101, 21, 1));
    add(reg(152, 22, 1));
    add(reg(38, 23, 1));
    // Display texts: peak to under in columns 5 and 7, then the setpoints' in column 3.
    add(text('H', 19, 5));
    add(text('I', 19, 7));
    add(text('J', 20, 7));
    add(text('K', 20, 5));
    add(text('T', 21, 5));
    add(text('U', 21, 7));
    add(text('V', 22, 5));
    add(text('W', 22, 7));
    add(text('R', 23, 5));
    add(text('S', 23, 7));
    add(text('L', 0, 3));
    add(text('M', 1, 3));
    add(text('N', 2, 3));
    add(text('O', 3, 3));
    add(text('P', 4, 3));
    add(text('Q', 5, 3));
    // The print string stands in the wide column.
    add(text('X', 24, 2));
    // Setpoint s: value, control code, make delay, break delay, tolerance
    // counts and delay type bits; with them, the display option and
    // character of view s.
    for (int s = 1; s <= setpointcodec::Rows; ++s) {
        const int row = s - 1;
        add(reg(setpointcodec::valueRegister(s), row, 5));
        add(reg(setpointcodec::codeRegister(s), row, 7));
        add(reg(setpointcodec::makeDelayRegister(s), 6 + row, 3));
        add(reg(setpointcodec::breakDelayRegister(s), 6 + row, 5));
        add(reg(setpointcodec::countsRegister(s), 6 + row, 7));
        add(reg(setpointcodec::bitsRegister(s), 12 + row, 3));
        add(reg(displayformat::formatRegister(s), 12 + row, 5));
        add(reg(displayformat::characterRegister(s), 12 + row, 7, C::Character));
    }
    // The sub total's display option and character.
    add(reg(displayformat::formatRegister(SubTotalView), 18, 5));
    add(reg(displayformat::characterRegister(SubTotalView), 18, 7, C::Character));
    // Macro loaded, then macro running.
    add(reg(513, 17, 1, C::TrueWhenNonZero));
    add(reg(160, 16, 1, C::TrueWhenBit4Clear));
    return reads;
}

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

const std::array<Read, ReadCount> &reads()
{
    static const std::array<Read, ReadCount> all = makeReads();
    return all;
}

QString command(const Read &read)
{
    return read.letter ? readCommand(read.letter) : readCommand(read.reg);
}

QString cellText(Conversion conversion, const Reply &reply)
{
    switch (conversion) {
    case C::Value:
        return reply.value;
    case C::Text:
        return reply.text;
    case C::Character:
        return QString(QChar(convert::toInt(reply.value) & 0xFF));
    case C::TrueWhenNonZero:
        return trueFalse(convert::toInt(reply.value) != 0);
    case C::TrueWhenBit4Clear:
        return trueFalse((convert::toInt(reply.value) & 16) == 0);
    }
    return {};
}

} // namespace summaryreads
