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

QString written(quint16 checked, quint16 counted, bool signedWord)
{
    const quint16 mask = checked & counted;
    return QString::number(signedWord ? int(qint16(mask)) : int(mask));
}

} // namespace lockoutmask
