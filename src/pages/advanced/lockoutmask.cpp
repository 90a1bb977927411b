#include "lockoutmask.h"

#include "link/errors.h"

namespace lockoutmask {

quint16 bits(int first, int last)
{
    quint16 mask = 0;
    for (int bit = qMax(first, 0); bit <= qMin(last, 15); ++bit)
        mask |= quint16(1u << bit);
    return mask;
}

quint16 fromReply(const QString &reply)
{
    return quint16(convert::toInt(reply) & 0xFFFF);
}

quint16 merge(quint16 lastRead, quint16 shown, quint16 checked)
{
    return quint16((lastRead & ~shown) | (checked & shown));
}

QString wire(quint16 mask, bool signedWord)
{
    return QString::number(signedWord ? int(qint16(mask)) : int(mask));
}

} // namespace lockoutmask
