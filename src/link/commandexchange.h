#pragma once

#include "prompts.h"
#include "tickclock.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QEventLoop;
class ReplyFramer;
class SerialLine;

// One reply as an exchange received it: leading blanks removed; `value` has
// its first "." removed (for whole numbers). Empty when the meter sent a
// blank line.
struct Reply
{
    QString text;
    QString value;
};

// The request/reply exchange with the meter. `comms` writes one command and
// waits for its reply while the event loop keeps running, so clicks, timers
// and further exchanges are handled during the wait; nested exchanges queue
// behind the command on the line, and each gets its own reply back.
class CommandExchange : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds ReplyTimeout{5000};

    CommandExchange(SerialLine *line, ReplyFramer *framer, Prompts *prompts, Clock &clock = Clock::system(),
                    std::chrono::milliseconds tick = TickClock::DefaultTick, QObject *parent = nullptr);
    ~CommandExchange() override;

    // Sends command + "*" and returns its own reply. Throws ExchangeAbandoned
    // when the wait ended through a time-out and a new detection run, or
    // because the program is quitting.
    Reply comms(const QString &command);
    // As above, with the command built once the line is free, so that it
    // carries the state a control has when the command goes out.
    Reply comms(const std::function<QString()> &buildCommand);

    // Pauses until the tick clock exceeds now + n, handling events meanwhile.
    void delayTicks(int n);

    // Reply handler: takes in one framed reply.
    void takeReply(const QByteArray &raw);
    // Watchdog handler: the command on the line got no reply in time.
    void replyTimedOut();
    // Shows the time-out dialog; Abort ends the program.
    Prompts::TimeoutChoice askTimeOut();

    const QString &replyText() const { return m_replyText; }
    const QString &replyValue() const { return m_replyValue; }
    bool replyArrived() const { return m_replyArrived; }
    void clearReplyValue() { m_replyValue.clear(); }

    // The next lines without a command, and the bytes the next flush throws
    // away, are expected: probe answers during the scan.
    void expectStrayInput() { m_strayInputExpected = true; }

    // While detection runs, replies do not restart the poll.
    void setDetectionRunning(bool running) { m_detectionRunning = running; }
    bool detectionRunning() const { return m_detectionRunning; }

    // Ends every wait at once; later exchanges are refused.
    void requestQuit();
    bool quitting() const { return m_quitting; }
    // Set by Retry/Ignore in the watchdog's dialog until detection starts again.
    bool restartPending() const { return m_restartPending; }
    void clearRestartPending() { m_restartPending = false; }

    bool commandOnLine() const { return m_onLine != nullptr; }
    // Exchanges begun and not yet returned to their callers, nested ones included.
    int exchangesInProgress() const { return int(m_waiting.size()); }
    const TickClock &clock() const { return m_clock; }
    ClockTimer &commsTimer() { return m_commsTimer; }
    SerialLine *line() const { return m_line; }
    ReplyFramer *framer() const { return m_framer; }

    static QString stripLeadingBlanks(const QString &text);
    static QString removeFirstPoint(const QString &text);

signals:
    // The poll must stop (an exchange began, or the watchdog fired).
    void pollStopRequested();
    // A reply came: the poll starts its full interval again.
    void pollRestartRequested();
    // Every reply, leading blanks removed (detection watches probe replies).
    void replyTaken(const QString &text);
    // Retry or Ignore in the time-out dialog: detection must run again.
    void restartRequested();
    // Abort, or the program was told to end.
    void quitRequested();
    // The replies are out of step with the commands; `detail` says how it showed.
    void outOfStep(const QString &detail);
    // What went over the line, for the monitor and the trace: a command as
    // written; a reply line as framed, with the command it answers (empty
    // when nobody asked) and its answer time; a command that got no reply
    // and the operator's answer; bytes an expected flush threw away.
    void commandWritten(const QByteArray &bytes);
    void replyFramed(const QByteArray &raw, const QByteArray &command, qint64 answerMs);
    void timedOut(const QByteArray &command);
    void timeoutAnswered(Prompts::TimeoutChoice choice);
    void inputDiscarded(qint64 bytes);

private:
    struct Pending
    {
        enum State { WaitingForLine, OnLine, Answered } state = WaitingForLine;
        bool abandoned = false;
        Reply reply;
        QString sharedText;
        QString sharedValue;
        // The incident that put the replies out of step while this exchange
        // was in progress; 0 when none did.
        quint64 outOfStep = 0;
        QByteArray command;
        qint64 sentAtMs = 0;
    };

    void throwIfAbandoned(const Pending &p) const;
    void throwIfOutOfStep(const Pending &p);
    // Flushes the input before a command; bytes thrown away that nobody
    // expected put the replies out of step.
    void flushBeforeCommand();
    void noteOutOfStep(const QString &detail);
    void wakeAllWaits();

    SerialLine *m_line;
    ReplyFramer *m_framer;
    Prompts *m_prompts;
    TickClock m_clock;
    ClockTimer m_commsTimer;

    QString m_replyText;
    QString m_replyValue;
    bool m_replyArrived = false;

    QList<Pending *> m_waiting;
    Pending *m_onLine = nullptr;
    QList<QEventLoop *> m_loops;
    quint64 m_wakeGeneration = 0;
    bool m_detectionRunning = false;
    bool m_dialogOpen = false;
    bool m_quitting = false;
    bool m_restartPending = false;
    // Set by a time-out and by the scan, cleared by the next flush.
    bool m_strayInputExpected = false;
    // The line settings at the last flush: bytes received at other settings
    // are expected leftovers.
    int m_flushedBaud = 0;
    Parity m_flushedParity = Parity::None;
    quint64 m_outOfStepIncidents = 0;
    // An incident no exchange has raised yet: the next one raises it.
    quint64 m_unraisedIncident = 0;
};
