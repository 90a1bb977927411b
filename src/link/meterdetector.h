#pragma once

#include "serialline.h"
#include <QList>

#include <QObject>
#include <QString>

#include <functional>

class CommandExchange;
class Prompts;
class SerialLine;

// What detection learns of the meter.
struct MeterIdentity
{
    QString address;
    QString modelCode;
    QString version;
    // The baud rate the meter answered at.
    int baudRate = 0;

    bool hasOption(const char *substring) const { return modelCode.contains(QLatin1String(substring)); }
};

enum class BusyCursor { Normal, Starting, Hourglass };

// What detection needs of the window, without knowing its widgets.
class DetectionHost
{
public:
    virtual ~DetectionHost() = default;
    virtual void closeSplash() = 0;
    virtual void setBusyCursor(BusyCursor cursor) = 0;
    virtual void setStatusPanel(int panel, const QString &text) = 0;
    virtual void setPageControlEnabled(bool enabled) = 0;
    virtual void startPoll() = 0;
    virtual void stopPoll() = 0;
    // The identity is known: the pages adapt to the model.
    virtual void adaptToModel() = 0;
    virtual void quitProgram() = 0;
};

// Finds the meter on the line (every baud rate and parity, two passes),
// reads its identity, refuses unsupported firmware, adapts the window and
// loads the meter's setup.
class MeterDetector : public QObject
{
    Q_OBJECT
public:
    static constexpr int BaudRates[] = {19200, 9600, 4800, 2400, 1200, 600, 300};

    MeterDetector(SerialLine *line, CommandExchange *exchange, Prompts *prompts, DetectionHost *host,
                  MeterIdentity *identity, QObject *parent = nullptr);

    // One detection run. Throws ExchangeAbandoned when the run was overtaken.
    void findMeter();

    bool running() const { return m_running; }

    // The load that follows a successful identification, step by step.
    void setLoadSteps(QList<std::function<void()>> steps) { m_loadSteps = std::move(steps); }

    // Scans only this baud rate and parity (a baud rate of 0: every one).
    void setScanSettings(int baud, Parity parity)
    {
        m_scanBaud = baud;
        m_scanParity = parity;
    }

    static bool versionSupported(const QString &versionText);
    // Pause after a probe at `baud`: 1 tick at 19200 up to 7 at 300.
    static int probePauseTicks(int baud);
    // A probe reply counts only as printable text.
    static bool isPrintable(const QString &text);

signals:
    // The identity probe went out at the line's settings.
    void probeWritten(const QByteArray &bytes);
    // No probe of the scan got an answer; the operator is asked what to do.
    void scanUnanswered();
    // The port could not be opened; `reason` is what the operator is told.
    void openFailed(const QString &reason);

private:
    bool openPort();
    bool scan(quint64 generation);
    void throwIfOvertaken(quint64 generation) const;

    SerialLine *m_line;
    CommandExchange *m_exchange;
    Prompts *m_prompts;
    DetectionHost *m_host;
    MeterIdentity *m_identity;
    int m_portNumber = 0;
    bool m_running = false;
    quint64 m_generation = 0;
    QString m_probeAnswer;
    QList<std::function<void()>> m_loadSteps;
    int m_scanBaud = 0;
    Parity m_scanParity = Parity::None;
};
