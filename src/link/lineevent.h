#pragma once

#include "serialline.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

// One thing that happened on the line, as the session reports it: what the
// line monitor lists and what `meter-cli --trace` prints. Events carry bytes
// as they went over the wire; nothing is formatted until someone shows them.
struct LineEvent
{
    enum class Kind {
        Opened,        // text: the device
        Closed,        //
        OpenFailed,    // text: why the port could not be opened
        Failed,        // text: the error of a line that went away
        Probe,         // bytes: the identity probe, at the event's settings
        Command,       // bytes: the command as sent
        Reply,         // bytes: the reply line; command: the one it answers (empty: nobody asked)
        Garbled,       // bytes: a reply line that is not text (a probe at other settings, noise)
        TimedOut,      // command: the command that got no reply
        TimeoutAnswer, // text: the operator's answer ("Abort", "Retry", "Ignore")
        OutOfStep,     // text: how the replies showed they are out of step
        Discarded,     // text: bytes the flush before a command threw away, expected
        FramerRearmed, // the reply framer had stopped listening and listens again
    };

    Kind kind = Kind::Command;
    qint64 ms = 0; // since the port was opened
    int baud = 0;
    Parity parity = Parity::None;
    QByteArray bytes;
    QByteArray command;
    qint64 answerMs = -1; // a reply's time since its command went out
    QString text;
    bool fromPoll = false; // a command or reply of the live readout's poll
};

Q_DECLARE_METATYPE(LineEvent)
