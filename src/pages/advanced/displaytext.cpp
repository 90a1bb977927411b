#include "displaytext.h"

namespace displaytext {

namespace {
constexpr int WriteWidth = 6;
}

int width(const QString &modelCode)
{
    return modelCode.contains(QLatin1Char('6')) ? 6 : 5;
}

QString forWrite(const QString &text)
{
    return (text + QString(WriteWidth, QLatin1Char(' '))).left(WriteWidth);
}

QString rightAligned(const QString &reply, int width)
{
    return reply.rightJustified(width, QLatin1Char(' '));
}

int printLength(const QString &text)
{
    // A text edit's selection marks line breaks as paragraph separators.
    int length = 0;
    for (const QChar c : text)
        length += (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator) ? 2 : 1;
    return length;
}

QString printForWire(const QString &text)
{
    QString wire = text;
    wire.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wire.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return wire;
}

bool canSend(const QString &text)
{
    return !text.contains(QLatin1Char('*'));
}

} // namespace displaytext
