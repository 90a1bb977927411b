#pragma once

#include "link/commandexchange.h"
#include "pages/summarycells.h"

#include <QString>

#include <array>

// The reads of the Summary page's fill, in the order they go to the meter,
// with the cell each one fills and how its reply becomes the cell's text.
namespace summaryreads {

enum class Conversion {
    Value,             // the reply with its first "." removed
    Text,              // a text register's reply as the meter sent it
    Character,         // the character whose code is the reply (low 8 bits)
    TrueWhenNonZero,   // "True" unless the reply is 0
    TrueWhenBit4Clear, // "True" unless bit 4 (16) of the reply is set
};

struct Read
{
    int reg = 0;     // the register number, or 0 for a text register
    char letter = 0; // the text register's letter
    SummaryCell cell;
    Conversion conversion = Conversion::Value;
};

constexpr int ReadCount = 76;

const std::array<Read, ReadCount> &reads();

// "SR" + register or letter.
QString command(const Read &read);

// The cell's text for a reply. Throws UserError "'<reply>' is not a valid
// integer value" where a whole number is needed and the reply is none.
QString cellText(Conversion conversion, const Reply &reply);

} // namespace summaryreads
