#include "linetext.h"

#include "pages/setup/setupfile.h"

namespace {

using Kind = LineEvent::Kind;

bool sent(Kind kind)
{
    return kind == Kind::Command || kind == Kind::Probe;
}

bool received(Kind kind)
{
    return kind == Kind::Reply || kind == Kind::Garbled;
}

} // namespace

LineText::LineText(const QList<SettingRegister> &registers)
{
    for (const SettingRegister &setting : registers) {
        // A register two pages show is named by the first, in the page strip's order.
        if (!m_names.contains(setting.reg))
            m_names.insert(setting.reg, setupfile::settingLabel(setting));
    }
}

QString LineText::title(int column)
{
    static const char *const Titles[ColumnCount] = {"Time (ms)", "Line",  "Command", "Reply",
                                                    "Answer",    "Event", "Register"};
    return QString::fromLatin1(Titles[column]);
}

QString LineText::visible(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = uchar(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '<')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

QString LineText::settings(int baud, Parity parity)
{
    static const char Frames[] = {'N', 'O', 'E'};
    return QStringLiteral("%1 8%2").arg(baud).arg(QLatin1Char(Frames[int(parity)])) + QLatin1Char('1');
}

QString LineText::label(const QByteArray &command) const
{
    if (command.size() < 3 || (!command.startsWith("SR") && !command.startsWith("SW")))
        return {};
    QByteArray body = command;
    if (body.endsWith('*'))
        body.chop(1);
    qsizetype end = body.indexOf(',');
    if (end < 0)
        end = body.size();
    const QString reg = QString::fromLatin1(body.mid(2, end - 2));
    const auto name = m_names.constFind(reg);
    return visible(body) + (name == m_names.constEnd() ? QString() : QStringLiteral(": ") + *name);
}

QString LineText::eventText(const LineEvent &event)
{
    switch (event.kind) {
    case Kind::Opened:
        return QStringLiteral("Port opened: ") + event.text;
    case Kind::Closed:
        return QStringLiteral("Port closed");
    case Kind::OpenFailed:
        return QStringLiteral("Port could not be opened: ") + event.text;
    case Kind::Failed:
        return QStringLiteral("Port failed: ") + event.text;
    case Kind::Probe:
        return QStringLiteral("Probe");
    case Kind::Command:
        return {};
    case Kind::Reply:
        return event.command.isEmpty() ? QStringLiteral("Reply nobody asked for") : QString();
    case Kind::Garbled:
        return QStringLiteral("Garbled bytes");
    case Kind::TimedOut:
        return QStringLiteral("Timed out waiting for reply");
    case Kind::TimeoutAnswer:
        return QStringLiteral("Operator answered ") + event.text;
    case Kind::OutOfStep:
        return QStringLiteral("Replies out of step: ") + event.text;
    case Kind::Discarded:
        return QStringLiteral("Thrown away: ") + event.text;
    case Kind::FramerRearmed:
        return QStringLiteral("Framer re-armed");
    }
    return {};
}

QString LineText::column(const LineEvent &event, int column) const
{
    switch (column) {
    case Time:
        return QString::number(event.ms);
    case Settings:
        return settings(event.baud, event.parity);
    case Command:
        return sent(event.kind) ? visible(event.bytes) : QString();
    case Reply:
        return received(event.kind) ? visible(event.bytes) : QString();
    case Answer:
        return received(event.kind) && event.answerMs >= 0 ? QStringLiteral("%1 ms").arg(event.answerMs) : QString();
    case Event:
        return eventText(event);
    case Register:
        return label(event.kind == Kind::Command ? event.bytes : event.command);
    }
    return {};
}

QStringList LineText::columns(const LineEvent &event) const
{
    QStringList texts;
    for (int c = 0; c < ColumnCount; ++c)
        texts.append(column(event, c));
    return texts;
}

QString LineText::line(const LineEvent &event) const
{
    QStringList parts;
    if (sent(event.kind))
        parts << QStringLiteral("-> ") + column(event, Command);
    else if (received(event.kind))
        parts << QStringLiteral("<- ") + column(event, Reply);
    for (const int c : {Answer, Event, Register}) {
        const QString part = column(event, c);
        if (!part.isEmpty())
            parts << part;
    }
    // "19200 8N1" is the longest setting: the parts after it line up.
    return column(event, Time).rightJustified(8) + QStringLiteral("  ") + column(event, Settings).leftJustified(9)
           + QLatin1Char(' ') + parts.join(QStringLiteral("  "));
}
