#include "metersession.h"

#include "errors.h"
#include "registers.h"
#include "serialline.h"

#include <QMetaMethod>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

MeterSession::MeterSession(std::unique_ptr<SerialLine> line, Prompts *prompts, Clock &clock,
                           std::chrono::milliseconds tick, QObject *parent)
    : QObject(parent), m_line(std::move(line)), m_prompts(prompts),
      m_framer([this]() { return m_exchange.clock().ticks(); }),
      m_exchange(m_line.get(), &m_framer, prompts, clock, tick),
      m_detector(m_line.get(), &m_exchange, prompts, this, &m_identity), m_poll(clock)
{
    m_poll.setInterval(DefaultPollInterval);
    connect(m_line.get(), &SerialLine::bytesReceived, &m_framer, &ReplyFramer::feed);
    connect(&m_exchange, &CommandExchange::pollStopRequested, this, [this]() {
        m_poll.stop();
        // An operation that has put a command on the line holds the poll
        // until it ends.
        if (m_operationDepth > 0)
            m_pollHeld = true;
    });
    connect(&m_exchange, &CommandExchange::pollRestartRequested, this, [this]() {
        if (!m_pollHeld)
            m_poll.start();
    });
    connect(&m_exchange, &CommandExchange::quitRequested, this, [this]() {
        m_poll.stop();
        emit quitRequested();
    });
    connect(&m_exchange, &CommandExchange::restartRequested, this, [this]() {
        // Normally the handler that waited starts detection once it has
        // unwound; when no handler waited, start it from the event loop.
        if (m_handlerDepth == 0)
            QTimer::singleShot(0, this, &MeterSession::runPendingDetection);
    });
    connectLineEvents();
    connect(&m_poll, &ClockTimer::timeout, this, [this]() {
        // A tick during another exchange's wait would nest a poll inside it,
        // and with a meter slower than the sampling time the next tick would
        // nest another one inside that. The reply that ends the wait starts
        // the poll again.
        if (m_exchange.exchangesInProgress() > 0)
            return;
        runHandler([this]() { pollReadings(); });
    });
}

MeterSession::~MeterSession()
{
    m_poll.stop();
    m_exchange.commsTimer().stop();
    m_framer.disable();
    if (m_line->isOpen())
        m_line->close();
}

bool MeterSession::reporting() const
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&MeterSession::lineEvent);
    return isSignalConnected(signal);
}

void MeterSession::report(LineEvent event)
{
    event.ms = clock().now() - m_openedAtMs;
    event.baud = m_line->baudRate();
    event.parity = m_line->parity();
    emit lineEvent(event);
}

void MeterSession::connectLineEvents()
{
    using Kind = LineEvent::Kind;
    // Each handler builds its event only while something listens.
    connect(m_line.get(), &SerialLine::opened, this, [this](const QString &device) {
        m_openedAtMs = clock().now();
        if (reporting())
            report({Kind::Opened, 0, 0, {}, {}, {}, -1, device});
    });
    connect(m_line.get(), &SerialLine::closed, this, [this]() {
        if (reporting())
            report({Kind::Closed});
    });
    connect(m_line.get(), &SerialLine::failed, this, [this](const QString &error) {
        if (reporting())
            report({Kind::Failed, 0, 0, {}, {}, {}, -1, error});
    });
    connect(&m_detector, &MeterDetector::openFailed, this, [this](const QString &reason) {
        if (reporting())
            report({Kind::OpenFailed, 0, 0, {}, {}, {}, -1, reason});
    });
    connect(&m_detector, &MeterDetector::probeWritten, this, [this](const QByteArray &bytes) {
        m_probe = bytes;
        m_probeSentAtMs = clock().now();
        if (reporting())
            report({Kind::Probe, 0, 0, {}, bytes});
    });
    connect(&m_detector, &MeterDetector::scanUnanswered, this, [this]() {
        if (reporting())
            report({Kind::TimedOut, 0, 0, {}, {}, m_probe});
    });
    connect(&m_exchange, &CommandExchange::commandWritten, this, [this](const QByteArray &bytes) {
        m_probe.clear();
        // A handler nested in one of the poll's waits writes its own command.
        m_pollOnLine = m_polling && m_handlerDepth == m_pollDepth;
        if (reporting())
            report({Kind::Command, 0, 0, {}, bytes, {}, -1, {}, m_pollOnLine});
    });
    connect(&m_exchange, &CommandExchange::replyFramed, this,
            [this](const QByteArray &raw, QByteArray command, qint64 answerMs) {
                if (!reporting())
                    return;
                const bool text = std::all_of(raw.begin(), raw.end(), [](char c) { return c >= 32 && c < 127; });
                // The reply answers the command last written, if any.
                const bool fromPoll = !command.isEmpty() && m_pollOnLine;
                // During the scan, the answer to the last probe.
                if (command.isEmpty() && m_detector.running() && !m_probe.isEmpty()) {
                    command = m_probe;
                    answerMs = clock().now() - m_probeSentAtMs;
                }
                report({text ? Kind::Reply : Kind::Garbled, 0, 0, {}, raw, command, answerMs, {}, fromPoll});
            });
    connect(&m_exchange, &CommandExchange::timedOut, this, [this](const QByteArray &command) {
        if (reporting())
            report({Kind::TimedOut, 0, 0, {}, {}, command, -1, {}, m_pollOnLine});
    });
    connect(&m_exchange, &CommandExchange::timeoutAnswered, this, [this](Prompts::TimeoutChoice choice) {
        if (!reporting())
            return;
        static const char *const Answers[] = {"Abort", "Retry", "Ignore"};
        report({Kind::TimeoutAnswer, 0, 0, {}, {}, {}, -1, QString::fromLatin1(Answers[int(choice)])});
    });
    connect(&m_exchange, &CommandExchange::outOfStep, this, [this](const QString &detail) {
        if (reporting())
            report({Kind::OutOfStep, 0, 0, {}, {}, {}, -1, detail});
    });
    connect(&m_exchange, &CommandExchange::inputDiscarded, this, [this](qint64 bytes) {
        if (reporting())
            report({Kind::Discarded, 0, 0, {}, {}, {}, -1, QStringLiteral("%1 bytes").arg(bytes)});
    });
    connect(&m_framer, &ReplyFramer::rearmed, this, [this]() {
        if (reporting())
            report({Kind::FramerRearmed});
    });
}

void MeterSession::startDetection()
{
    runHandler([this]() { m_detector.findMeter(); });
}

void MeterSession::invokeGuarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const ExchangeAbandoned &) {
        // the exchange lost its reply or the program is ending: nothing to say
    } catch (const RepliesOutOfStep &e) {
        // Nested handlers may each be stopped by the same discovery; the
        // operator hears of it once.
        if (e.incident() > m_reportedOutOfStep) {
            m_reportedOutOfStep = e.incident();
            m_prompts->error(e.message());
        }
    } catch (const UserError &e) {
        m_prompts->error(e.message());
    } catch (const std::exception &e) {
        m_prompts->error(QString::fromLocal8Bit(e.what()));
    }
}

void MeterSession::runHandler(const std::function<void()> &handler)
{
    ++m_handlerDepth;
    invokeGuarded(handler);
    --m_handlerDepth;
    if (m_handlerDepth == 0)
        runPendingDetection();
}

void MeterSession::runPendingDetection()
{
    if (m_handlerDepth != 0)
        return;
    // Retry/Ignore after a time-out: detection starts again only once every
    // abandoned wait has unwound, so repeated retries never nest.
    while (m_exchange.restartPending() && !m_exchange.quitting()) {
        m_exchange.clearRestartPending();
        ++m_handlerDepth;
        invokeGuarded([this]() { m_detector.findMeter(); });
        --m_handlerDepth;
    }
}

void MeterSession::runOperation(const std::function<void()> &operation)
{
    // An operation that sends nothing leaves a running poll alone, so that
    // quick page changes do not keep putting the next reading off (a stopped
    // one it starts). One that sends holds the poll from its first command
    // and starts it again, with its full interval, when the outermost
    // operation ends.
    ++m_operationDepth;
    struct Restore
    {
        MeterSession *self;
        ~Restore()
        {
            self->setPageControlEnabled(true);
            self->setBusyCursor(BusyCursor::Normal);
            if (--self->m_operationDepth > 0)
                return;
            const bool held = std::exchange(self->m_pollHeld, false);
            if (!held && self->m_poll.isActive())
                return;
            if (!self->m_exchange.quitting() && !self->m_exchange.restartPending() && !self->m_detector.running())
                self->m_poll.start();
        }
    } restore{this};
    setPageControlEnabled(false);
    setBusyCursor(BusyCursor::Hourglass);
    operation();
}

void MeterSession::pollReadings()
{
    m_polling = true;
    m_pollDepth = m_handlerDepth;
    const auto polled = qScopeGuard([this]() { m_polling = false; });
    try {
        readReadings();
    } catch (const RepliesOutOfStep &) {
        // The readings only show: this cycle is dropped, the next one starts
        // with a clean line.
    }
}

void MeterSession::readReadings()
{
    m_exchange.comms(readCommand(2));
    emit readingTaken(m_exchange.replyValue(), m_exchange.replyText());
    // Result and both channels into status panels 0 to 2. A blank reply
    // leaves the reply text as it was, so a panel shows its previous value again.
    static const char *const Prefixes[] = {"Result  ", "Chnl1  ", "Chnl2  "};
    for (int panel = 0; panel < 3; ++panel) {
        m_exchange.comms(readCommand(3 + panel));
        setStatusPanel(panel, QString::fromLatin1(Prefixes[panel]) + m_exchange.replyText());
    }
}

void MeterSession::exitProgram()
{
    m_poll.stop();
    m_exchange.commsTimer().stop();
    m_exchange.requestQuit();
}

void MeterSession::closeSplash()
{
    emit splashCloseRequested();
}

void MeterSession::setBusyCursor(BusyCursor cursor)
{
    emit busyCursorChanged(cursor);
}

void MeterSession::setStatusPanel(int panel, const QString &text)
{
    emit statusPanelChanged(panel, text);
}

void MeterSession::setPageControlEnabled(bool enabled)
{
    emit pageControlEnabledChanged(enabled);
}

void MeterSession::startPoll()
{
    // Detection's last step.
    m_poll.start();
    emit detectionFinished();
}

void MeterSession::stopPoll()
{
    m_poll.stop();
}

void MeterSession::adaptToModel()
{
    emit modelIdentified(m_identity);
}

void MeterSession::quitProgram()
{
    m_exchange.requestQuit();
}
