#pragma once

#include "commandexchange.h"
#include "lineevent.h"
#include "meterdetector.h"
#include "replyframer.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class SerialLine;

// The meter as the window sees it: the line, the framer, the exchange,
// detection and the poll of the live readout, with the handler guard that
// starts detection again after a time-out. Tells the window what to show
// through signals and knows no widget.
class MeterSession : public QObject, private DetectionHost
{
    Q_OBJECT
public:
    static constexpr int StatusPanels = 5;
    // The live readout's sampling time until it sets its own.
    static constexpr int DefaultPollInterval = 1000;

    MeterSession(std::unique_ptr<SerialLine> line, Prompts *prompts, Clock &clock = Clock::system(),
                 std::chrono::milliseconds tick = TickClock::DefaultTick, QObject *parent = nullptr);
    ~MeterSession() override;

    SerialLine &line() { return *m_line; }
    ReplyFramer &framer() { return m_framer; }
    CommandExchange &exchange() { return m_exchange; }
    MeterDetector &detector() { return m_detector; }
    MeterIdentity &identity() { return m_identity; }
    ClockTimer &pollTimer() { return m_poll; }
    Clock &clock() const { return m_exchange.clock().clock(); }
    Prompts *prompts() const { return m_prompts; }

    void setLoadSteps(QList<std::function<void()>> steps) { m_detector.setLoadSteps(std::move(steps)); }

    // Detection: once at the first activation, again after Retry/Ignore.
    void startDetection();

    // The handler guard: runs one event handler, shows a failure in the
    // error box, and starts detection again once nothing waits any more.
    void runHandler(const std::function<void()> &handler);
    // An operation of several exchanges: page control disabled, hourglass,
    // poll held once it sends a command, all restored on every path.
    void runOperation(const std::function<void()> &operation);

    // The poll's interval, the live readout's sampling time.
    void setPollInterval(int ms) { m_poll.setInterval(ms); }

    // Exit: stops both timers and ends every wait; the program then quits.
    void exitProgram();
    bool quitting() const { return m_exchange.quitting(); }

signals:
    // The display-value read of one poll.
    void readingTaken(const QString &replyValue, const QString &replyText);
    void statusPanelChanged(int panel, const QString &text);
    void busyCursorChanged(BusyCursor cursor);
    void pageControlEnabledChanged(bool enabled);
    void splashCloseRequested();
    // Detection has read the identity: the pages adapt to the model.
    void modelIdentified(const MeterIdentity &identity);
    // The program must end.
    void quitRequested();
    // A detection run found the meter and loaded the pages.
    void detectionFinished();
    // What happened on the line (sent only while something listens).
    void lineEvent(const LineEvent &event);

private:
    void connectLineEvents();
    // Stamps an event with the time since the port opened and the line's
    // settings, and sends it out.
    void report(LineEvent event);
    bool reporting() const;
    void pollReadings();
    void readReadings();
    void runPendingDetection();
    void invokeGuarded(const std::function<void()> &handler);

    // DetectionHost
    void closeSplash() override;
    void setBusyCursor(BusyCursor cursor) override;
    void setStatusPanel(int panel, const QString &text) override;
    void setPageControlEnabled(bool enabled) override;
    void startPoll() override;
    void stopPoll() override;
    void adaptToModel() override;
    void quitProgram() override;

    std::unique_ptr<SerialLine> m_line;
    Prompts *m_prompts;
    ReplyFramer m_framer;
    CommandExchange m_exchange;
    MeterIdentity m_identity;
    MeterDetector m_detector;
    ClockTimer m_poll;
    int m_handlerDepth = 0;
    int m_operationDepth = 0;
    // An operation has sent a command: replies do not restart the poll.
    bool m_pollHeld = false;
    // The last out-of-step discovery the operator was told of.
    quint64 m_reportedOutOfStep = 0;
    qint64 m_openedAtMs = 0;
    bool m_polling = false;
    // The handler depth the poll runs at: handlers nested in its waits are
    // not the poll.
    int m_pollDepth = 0;
    // The command on the line is the poll's.
    bool m_pollOnLine = false;
    // The last probe of the scan and when it went out: the answer to it
    // comes with no command in the exchange.
    QByteArray m_probe;
    qint64 m_probeSentAtMs = 0;
};
