#pragma once

#include <QString>

// Register commands as the meter takes them, without the closing "*" that
// `comms` adds: "SR" + register reads it, "SW" + register + "," + value
// writes it. Numbered registers are decimal without leading zeros; lettered
// ones are a single capital letter.
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

inline QString writeCommand(char letter, const QString &text)
{
    return QStringLiteral("SW") + QLatin1Char(letter) + QLatin1Char(',') + text;
}
