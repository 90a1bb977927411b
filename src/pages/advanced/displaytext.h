#pragma once

#include <QString>

// The short texts the meter shows and its print string, as the page reads
// and writes them.
namespace displaytext {

// Characters of a display text as it is written.
constexpr int WriteWidth = 6;
// The print string's length at most, as the meter counts it.
constexpr int PrintMaxLength = 30;

// Characters the meter's display shows for a text: 6 on models whose code
// contains "6", else 5.
int width(const QString &modelCode);

// A display text as it is written: exactly six characters, blanks added on
// the right or the rest cut.
QString forWrite(const QString &text);

// A text read from the meter, right-aligned in `width` characters; a reply
// longer than the display is shown whole.
QString rightAligned(const QString &reply, int width);

// The print string's length as the meter counts it: a line break is the two
// characters CR LF.
int printLength(const QString &text);

// The print string as it goes on the line, each line break (a text edit's
// "\n", or the separators of its selection) as CR LF.
QString printForWire(const QString &text);

// "*" ends a command on the line, so no text may carry one.
bool canSend(const QString &text);

} // namespace displaytext
