#pragma once

#include <QString>

// Commands for the meter's registers, numbered ("SR705") or lettered ("SRH");
// the exchange adds the closing "*".

inline QString readCommand(int reg)
{
    return QStringLiteral("SR%1").arg(reg);
}

inline QString readCommand(char letter)
{
    return QStringLiteral("SR") + QLatin1Char(letter);
}

inline QString writeCommand(int reg, const QString &value)
{
    return QStringLiteral("SW%1,").arg(reg) + value;
}

inline QString writeCommand(int reg, qint64 value)
{
    return writeCommand(reg, QString::number(value));
}

inline QString writeCommand(char letter, const QString &value)
{
    return QStringLiteral("SW") + QLatin1Char(letter) + QLatin1Char(',') + value;
}
