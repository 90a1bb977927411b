#pragma once

#include <QString>
#include <QtGlobal>

// The lockout masks: sixteen bits per register, one per item of the meter's
// operation; the page has a box for each item it knows.
namespace lockoutmask {

// Bits first..last, both included.
quint16 bits(int first, int last);

// The bits 0 to 15 of a reply: a negative value reads as its 16-bit two's
// complement (-1 and 65535 both set every bit). Anything that is no whole
// number throws UserError "'<text>' is not a valid integer value".
quint16 fromReply(const QString &reply);

// What a click writes: the sum of the checked boxes among those `counted`,
// in decimal as the meter takes the register: as a signed 16-bit number when
// `signedWord` (32768 and above written as the value minus 65536), else as
// it stands. A bit without a box is never written, so the value stays inside
// the register's range whatever the meter last reported.
QString written(quint16 checked, quint16 counted, bool signedWord);

} // namespace lockoutmask
