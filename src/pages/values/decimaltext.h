#pragma once

#include "link/errors.h"

#include <QString>

// Numbers as the operator types them and the meter reads them: plain decimal
// text with "." as the separator, whatever the desktop's locale.
namespace decimaltext {

// Converts a field's text to single precision. Only an optional sign, digits
// with at most one ".", and an optional exponent are a number; anything else
// (empty, "-", "1.2.3", "nan", "inf", hexadecimal) throws UserError with
// "'<text>' is not a valid floating point value". Values beyond the single
// range become an infinity of their sign.
float toSingle(const QString &text);

// The error for a text that is no number: "'<text>' is not a valid floating
// point value".
UserError notANumber(const QString &text);

// Fixed point with exactly `decimals` digits after "." (none and no point
// for 0), rounded half away from zero in the last digit.
QString fixed(float value, int decimals);

} // namespace decimaltext
