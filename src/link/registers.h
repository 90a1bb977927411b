#pragma once

#include <QString>

// Register commands as the meter takes them: "SR" + register reads one,
// "SW" + register + "," + value writes one. Registers are numbers or the
// letters of the meter's text registers. The exchange appends the "*".
inline QString readCommand(int reg)
{
    return QStringLiteral("SR") + QString::number(reg);
}

inline QString readCommand(char letter)
{
    return QStringLiteral("SR") + QLatin1Char(letter);
}

inline QString writeCommand(int reg, const QString &value)
{
    return QStringLiteral("SW") + QString::number(reg) + QLatin1Char(',') + value;
}

inline QString writeCommand(int reg, qint64 value)
{
    return writeCommand(reg, QString::number(value));
}

inline QString writeCommand(char letter, const QString &value)
{
    return QStringLiteral("SW") + QLatin1Char(letter) + QLatin1Char(',') + value;
}
