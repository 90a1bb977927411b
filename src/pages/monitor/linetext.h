#pragma once

#include "link/lineevent.h"
#include "pages/settingregister.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// How a line event reads, the same in the line monitor's columns and in a
// plain-text line (copy, save, the command line's trace). Bytes show as
// text where they are printable; every other byte, and "<" itself, shows as
// its hexadecimal value in angle brackets: CR is "<0D>".
class LineText
{
public:
    enum Column { Time, Settings, Command, Reply, Answer, Event, Register, ColumnCount };

    // `registers` names the registers of the commands.
    explicit LineText(const QList<SettingRegister> &registers = {});

    static QString title(int column);
    QString column(const LineEvent &event, int column) const;
    QStringList columns(const LineEvent &event) const;
    // One line without line end: "    1024  9600 8N1  <- OK  12 ms  SW24,1.0000: Scale & Offset, Result scale".
    QString line(const LineEvent &event) const;

    static QString visible(const QByteArray &bytes);
    // "9600 8N1", "300 8E1": the line's baud rate and frame.
    static QString settings(int baud, Parity parity);
    // What a register command is about: the command without its "*", and
    // where the register is described, its page and setting in the page's
    // words ("SW24,1.0000: Scale & Offset, Result scale"). Empty for bytes
    // that are no register command.
    QString label(const QByteArray &command) const;

private:
    static QString eventText(const LineEvent &event);

    // "24" -> "Scale & Offset, Result scale"
    QHash<QString, QString> m_names;
};
