#include "commandexchange.h"

#include "errors.h"
#include "replyframer.h"
#include "serialline.h"

#include <QEventLoop>

namespace {

// Removes an element from a list when the scope ends, on every path.
template<typename T>
class ScopedEntry
{
public:
    ScopedEntry(QList<T *> &list, T *item) : m_list(list), m_item(item) { m_list.append(item); }
    ~ScopedEntry() { m_list.removeOne(m_item); }
    ScopedEntry(const ScopedEntry &) = delete;
    ScopedEntry &operator=(const ScopedEntry &) = delete;

private:
    QList<T *> &m_list;
    T *m_item;
};

} // namespace

CommandExchange::CommandExchange(SerialLine *line, ReplyFramer *framer, Prompts *prompts, Clock &clock,
                                 std::chrono::milliseconds tick, QObject *parent)
    : QObject(parent), m_line(line), m_framer(framer), m_prompts(prompts), m_clock(clock, tick), m_commsTimer(clock)
{
    // Clock timers are precise: a coarse timer may fire up to 5 % early, and
    // a meter answering just inside the time-out would be reported as silent.
    m_commsTimer.setSingleShot(true);
    m_commsTimer.setInterval(ReplyTimeout);
    connect(&m_commsTimer, &ClockTimer::timeout, this, &CommandExchange::replyTimedOut);
    connect(m_framer, &ReplyFramer::reply, this, &CommandExchange::takeReply);
}

CommandExchange::~CommandExchange() = default;

QString CommandExchange::stripLeadingBlanks(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= 32)
        ++i;
    return text.mid(i);
}

QString CommandExchange::removeFirstPoint(const QString &text)
{
    QString value = text;
    const qsizetype point = value.indexOf(QLatin1Char('.'));
    if (point >= 0)
        value.remove(point, 1);
    return value;
}

void CommandExchange::delayTicks(int n)
{
    if (m_quitting)
        return;
    const qint64 until = m_clock.ticks() + n + 1;
    const quint64 generation = m_wakeGeneration;
    QEventLoop loop;
    ScopedEntry<QEventLoop> registered(m_loops, &loop);
    ClockTimer boundary(m_clock.clock());
    boundary.setSingleShot(true);
    connect(&boundary, &ClockTimer::timeout, &loop, &QEventLoop::quit);
    for (;;) {
        const qint64 ms = m_clock.msUntilTick(until);
        if (ms <= 0 || m_quitting || generation != m_wakeGeneration)
            break;
        boundary.start(int(ms));
        if (loop.exec() < 0)
            break; // the application is shutting down its loops
    }
}

void CommandExchange::wakeAllWaits()
{
    ++m_wakeGeneration;
    for (QEventLoop *loop : std::as_const(m_loops))
        loop->quit();
}

void CommandExchange::throwIfAbandoned(const Pending &p) const
{
    if (m_quitting || p.abandoned || (m_restartPending && p.state != Pending::Answered))
        throw ExchangeAbandoned();
}

void CommandExchange::throwIfOutOfStep(const Pending &p)
{
    if (p.outOfStep == 0)
        return;
    // The incident is raised by this exchange: later ones start afresh.
    if (m_unraisedIncident == p.outOfStep)
        m_unraisedIncident = 0;
    // The exchange ends as a reply would end it: the poll goes on.
    if (!m_detectionRunning && !m_dialogOpen && !m_quitting)
        emit pollRestartRequested();
    throw RepliesOutOfStep(p.outOfStep);
}

void CommandExchange::noteOutOfStep(const QString &detail)
{
    const quint64 incident = ++m_outOfStepIncidents;
    m_unraisedIncident = incident;
    // Every exchange in progress took its reply from a line that may not
    // have been its own, or is about to.
    for (Pending *p : std::as_const(m_waiting))
        p->outOfStep = incident;
    emit outOfStep(detail);
}

void CommandExchange::flushBeforeCommand()
{
    qint64 discarded = m_line->flushInput() + m_framer->buffer().size();
    // A fragment of an earlier, cut-off reply must not become the start of
    // the next reply.
    m_framer->clearBuffer();
    const bool settingsChanged = m_line->baudRate() != m_flushedBaud || m_line->parity() != m_flushedParity;
    m_flushedBaud = m_line->baudRate();
    m_flushedParity = m_line->parity();
    const bool expected = std::exchange(m_strayInputExpected, false) || settingsChanged;
    if (discarded > 0 && !expected)
        noteOutOfStep(QStringLiteral("%1 bytes thrown away before the command").arg(discarded));
    else if (discarded > 0)
        emit inputDiscarded(discarded);
}

Reply CommandExchange::comms(const QString &command)
{
    return comms([&command]() { return command; });
}

Reply CommandExchange::comms(const std::function<QString()> &buildCommand)
{
    if (m_quitting || m_restartPending)
        throw ExchangeAbandoned();
    emit pollStopRequested();

    Pending me;
    ScopedEntry<Pending> registered(m_waiting, &me);
    struct LeaveLine
    {
        CommandExchange *self;
        Pending *p;
        ~LeaveLine()
        {
            if (self->m_onLine == p)
                self->m_onLine = nullptr;
        }
    } leave{this, &me};

    // Wait while another exchange's command is on the line.
    while (m_onLine) {
        delayTicks(1);
        throwIfAbandoned(me);
        throwIfOutOfStep(me);
    }
    // Out of step before this exchange began: it would take another
    // command's reply, so nothing goes out.
    if (m_unraisedIncident != 0)
        me.outOfStep = m_unraisedIncident;
    throwIfOutOfStep(me);

    const QByteArray bytes = (buildCommand() + QLatin1Char('*')).toLatin1();
    m_replyArrived = false;
    flushBeforeCommand();
    throwIfOutOfStep(me);
    // A framer that timed out earlier must not stay deaf.
    m_framer->enable();
    // On the line before the write, so that even a reply delivered at once
    // finds its exchange.
    me.state = Pending::OnLine;
    me.command = bytes;
    me.sentAtMs = m_clock.elapsedMs();
    m_onLine = &me;
    m_commsTimer.start();
    if (quint16(m_line->freeTransmitSpace()) >= bytes.size()) {
        m_line->write(bytes);
        emit commandWritten(bytes);
    }

    while (me.state == Pending::OnLine) {
        delayTicks(1);
        throwIfAbandoned(me);
    }
    if (!m_onLine)
        m_commsTimer.stop();
    throwIfOutOfStep(me);

    // Nested exchanges handled during the last pause may have replaced the
    // shared fields; the caller reads this exchange's reply.
    m_replyText = me.sharedText;
    m_replyValue = me.sharedValue;
    return me.reply;
}

void CommandExchange::takeReply(const QByteArray &raw)
{
    m_commsTimer.stop();
    const QString text = stripLeadingBlanks(QString::fromLatin1(raw));
    if (!text.isEmpty()) {
        m_replyText = text;
        m_replyValue = removeFirstPoint(text);
    }
    m_replyArrived = true;
    if (m_onLine)
        emit replyFramed(raw, m_onLine->command, m_clock.elapsedMs() - m_onLine->sentAtMs);
    else
        emit replyFramed(raw, QByteArray(), -1);
    if (m_onLine) {
        m_onLine->reply = text.isEmpty() ? Reply{} : Reply{text, removeFirstPoint(text)};
        m_onLine->sharedText = m_replyText;
        m_onLine->sharedValue = m_replyValue;
        m_onLine->state = Pending::Answered;
        m_onLine = nullptr;
    } else if (!m_strayInputExpected && !m_quitting) {
        noteOutOfStep(QStringLiteral("a reply nobody asked for: \"%1\"").arg(text));
    }
    emit replyTaken(text);
    if (!m_detectionRunning && !m_dialogOpen && !m_quitting)
        emit pollRestartRequested();
}

Prompts::TimeoutChoice CommandExchange::askTimeOut()
{
    emit pollStopRequested();
    m_commsTimer.stop();
    m_dialogOpen = true;
    const auto choice =
        m_prompts->timedOut(QStringLiteral("Timed out waiting for reply"), QStringLiteral("Communications Error"));
    m_dialogOpen = false;
    emit timeoutAnswered(choice);
    if (choice == Prompts::TimeoutChoice::Abort)
        requestQuit();
    return choice;
}

void CommandExchange::replyTimedOut()
{
    if (m_quitting)
        return;
    // The command on the line has lost its reply: a late one must not be
    // taken for it.
    if (m_onLine) {
        emit timedOut(m_onLine->command);
        m_onLine->abandoned = true;
        m_onLine = nullptr;
    }
    // Its reply may still come, whole or in part.
    m_strayInputExpected = true;
    if (askTimeOut() == Prompts::TimeoutChoice::Abort)
        return;
    // Retry or Ignore: the exchanges still waiting will never get their
    // reply; they unwind, and detection runs again once they have.
    m_restartPending = true;
    for (Pending *p : std::as_const(m_waiting)) {
        if (p->state != Pending::Answered)
            p->abandoned = true;
    }
    wakeAllWaits();
    emit restartRequested();
}

void CommandExchange::requestQuit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_commsTimer.stop();
    m_framer->disable();
    wakeAllWaits();
    emit pollStopRequested();
    emit quitRequested();
}
