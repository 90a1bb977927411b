#include "displayformat.h"

#include "link/errors.h"

namespace displayformat {

bool isView(int target)
{
    return (target >= 1 && target <= 7) || target == 22 || target == 23;
}

int formatRegister(int target)
{
    return target >= 22 ? 203 + target : 198 + target;
}

int characterRegister(int target)
{
    return 205 + target;
}

QString formatDigits(const QString &reply)
{
    const int value = convert::toInt(reply);
    if (value < 0 || value > 999)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply));
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

} // namespace displayformat
