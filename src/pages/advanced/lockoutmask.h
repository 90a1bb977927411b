#pragma once

#include <QString>
#include <QtGlobal>

// The lockout masks: sixteen bits per register, one per item of the meter's
// operation. The page shows some bits as boxes; the others must reach the
// meter again exactly as it reported them.
namespace lockoutmask {

// Bits first..last, both included.
quint16 bits(int first, int last);

// The bits 0 to 15 of a reply: a negative value reads as its 16-bit two's
// complement (-1 and 65535 both set every bit). Anything that is no whole
// number throws UserError "'<text>' is not a valid integer value".
quint16 fromReply(const QString &reply);

// The mask to write: the bits in `shown` as the boxes have them in
// `checked`, every other bit as last read.
quint16 merge(quint16 lastRead, quint16 shown, quint16 checked);

// A mask as the meter takes it in decimal: as a signed 16-bit number when
// `signedWord` (32768 and above written as the value minus 65536), else as
// it stands.
QString wire(quint16 mask, bool signedWord);

} // namespace lockoutmask
