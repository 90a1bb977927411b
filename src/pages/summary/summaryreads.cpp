#include "summaryreads.h"

#include "link/errors.h"
#include "link/registers.h"

namespace summaryreads {

namespace {

using C = Conversion;

constexpr Read reg(int number, int row, int column, Conversion conversion = C::Value)
{
    return {number, 0, {row, column}, conversion};
}

constexpr Read text(char letter, int row, int column)
{
    return {0, letter, {row, column}, C::Text};
}

const std::array<Read, ReadCount> Reads = {{
    // Calibration, the bargraph and the K factor in column 1.
    reg(129, 1, 1),
    reg(99, 18, 1),
    reg(100, 19, 1),
    reg(220, 20, 1),
    reg(101, 21, 1),
    reg(152, 22, 1),
    reg(38, 23, 1),
    // Display texts: peak to under in columns 5 and 7, then the setpoints' in column 3.
    text('H', 19, 5),
    text('I', 19, 7),
    text('J', 20, 7),
    text('K', 20, 5),
    text('T', 21, 5),
    text('U', 21, 7),
    text('V', 22, 5),
    text('W', 22, 7),
    text('R', 23, 5),
    text('S', 23, 7),
    text('L', 0, 3),
    text('M', 1, 3),
    text('N', 2, 3),
    text('O', 3, 3),
    text('P', 4, 3),
    text('Q', 5, 3),
    // The print string stands in the wide column.
    text('X', 24, 2),
    // Setpoint s: value, control, make delay, break delay, tolerance, delay
    // type, display option and display character of the source row s - 1.
    reg(6, 0, 5),
    reg(142, 0, 7),
    reg(71, 6, 3),
    reg(77, 6, 5),
    reg(65, 6, 7),
    reg(193, 12, 3),
    reg(199, 12, 5),
    reg(206, 12, 7, C::Character),
    reg(7, 1, 5),
    reg(143, 1, 7),
    reg(72, 7, 3),
    reg(78, 7, 5),
    reg(66, 7, 7),
    reg(194, 13, 3),
    reg(200, 13, 5),
    reg(207, 13, 7, C::Character),
    reg(8, 2, 5),
    reg(144, 2, 7),
    reg(73, 8, 3),
    reg(79, 8, 5),
    reg(67, 8, 7),
    reg(195, 14, 3),
    reg(201, 14, 5),
    reg(208, 14, 7, C::Character),
    reg(9, 3, 5),
    reg(145, 3, 7),
    reg(74, 9, 3),
    reg(80, 9, 5),
    reg(68, 9, 7),
    reg(196, 15, 3),
    reg(202, 15, 5),
    reg(209, 15, 7, C::Character),
    reg(10, 4, 5),
    reg(146, 4, 7),
    reg(75, 10, 3),
    reg(81, 10, 5),
    reg(69, 10, 7),
    reg(197, 16, 3),
    reg(203, 16, 5),
    reg(210, 16, 7, C::Character),
    reg(11, 5, 5),
    reg(147, 5, 7),
    reg(76, 11, 3),
    reg(82, 11, 5),
    reg(70, 11, 7),
    reg(198, 17, 3),
    reg(204, 17, 5),
    reg(211, 17, 7, C::Character),
    // The sub total's display option and character.
    reg(205, 18, 5),
    reg(212, 18, 7, C::Character),
    // Macro loaded, then macro running.
    reg(513, 17, 1, C::TrueWhenNonZero),
    reg(160, 16, 1, C::TrueWhenBit4Clear),
}};

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

const std::array<Read, ReadCount> &reads()
{
    return Reads;
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
