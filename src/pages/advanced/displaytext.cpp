#include "displaytext.h"

namespace displaytext {

namespace {

// A text edit's selection marks line breaks as paragraph or line separators.
bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

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
    return int(printForWire(text).size());
}

QString printForWire(const QString &text)
{
    QString wire;
    for (const QChar c : text) {
        if (isLineBreak(c))
            wire += QStringLiteral("\r\n");
        else if (c != QLatin1Char('\r')) // the CR of a CR LF already there
            wire += c;
    }
    return wire;
}

bool canSend(const QString &text)
{
    return !text.contains(QLatin1Char('*'));
}

} // namespace displaytext
