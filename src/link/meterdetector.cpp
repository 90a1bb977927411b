#include "meterdetector.h"

#include "commandexchange.h"
#include "errors.h"
#include "prompts.h"
#include "registers.h"
#include "replyframer.h"
#include "serialline.h"

namespace {

QString trimTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

} // namespace

MeterDetector::MeterDetector(SerialLine *line, CommandExchange *exchange, Prompts *prompts, DetectionHost *host,
                             MeterIdentity *identity, QObject *parent)
    : QObject(parent), m_line(line), m_exchange(exchange), m_prompts(prompts), m_host(host), m_identity(identity)
{
    connect(m_exchange, &CommandExchange::replyTaken, this, [this](const QString &text) {
        if (m_running && !text.isEmpty() && isPrintable(text))
            m_probeAnswer = text;
    });
}

bool MeterDetector::versionSupported(const QString &versionText)
{
    const QString v = trimTrailingBlanks(versionText);
    return v >= QLatin1String("1.18") && v <= QLatin1String("1.26") && v != QLatin1String("1.21");
}

int MeterDetector::probePauseTicks(int baud)
{
    int ticks = 1;
    for (int rate = 19200; rate > baud && rate > 300; rate /= 2)
        ++ticks;
    return ticks;
}

bool MeterDetector::isPrintable(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() >= 127)
            return false;
    }
    return true;
}

void MeterDetector::throwIfOvertaken(quint64 generation) const
{
    if (m_exchange->quitting() || m_exchange->restartPending() || generation != m_generation)
        throw ExchangeAbandoned();
}

bool MeterDetector::openPort()
{
    if (m_line->isOpen() && !m_line->deviceGone())
        return true;
    int number = m_portNumber;
    if (number == 0) {
        const auto chosen = m_prompts->choosePort(m_line->availablePorts());
        if (!chosen)
            return false; // Cancel ends the program without a word
        number = *chosen;
    }
    if (m_line->isOpen())
        m_line->close(); // the device went away: open the same port again
    QString error;
    if (!m_line->open(number, &error)) {
        emit openFailed(error);
        m_prompts->message(error);
        return false;
    }
    m_portNumber = number;
    return true;
}

bool MeterDetector::scan(quint64 generation)
{
    for (int pass = 0; pass < 2; ++pass) {
        m_exchange->clearReplyValue();
        m_probeAnswer.clear();
        for (int baud : BaudRates) {
            if (m_scanBaud != 0 && baud != m_scanBaud)
                continue;
            m_line->setBaudRate(baud);
            m_host->setStatusPanel(4, QStringLiteral("Trying Meter @ %1 Baud").arg(m_line->baudRate()));
            for (Parity parity : {Parity::None, Parity::Odd, Parity::Even}) {
                if (m_scanBaud != 0 && parity != m_scanParity)
                    continue;
                m_line->setParity(parity);
                // A fragment received at a wrong setting must not prefix the answer.
                m_exchange->framer()->clearBuffer();
                // Probe answers come with no command in the exchange.
                m_exchange->expectStrayInput();
                if (m_line->freeTransmitSpace() >= 6) {
                    m_line->write(QByteArrayLiteral("SR150$"));
                    emit probeWritten(QByteArrayLiteral("SR150$"));
                }
                m_exchange->delayTicks(probePauseTicks(baud));
                throwIfOvertaken(generation);
                if (!m_probeAnswer.isEmpty())
                    break;
            }
            if (!m_probeAnswer.isEmpty())
                break;
        }
    }
    return !m_probeAnswer.isEmpty();
}

void MeterDetector::findMeter()
{
    const quint64 generation = ++m_generation;
    m_running = true;
    m_exchange->setDetectionRunning(true);
    m_host->setPageControlEnabled(false);
    struct EndRun
    {
        MeterDetector *self;
        quint64 generation;
        ~EndRun()
        {
            if (self->m_generation != generation)
                return;
            self->m_running = false;
            self->m_exchange->setDetectionRunning(false);
            self->m_host->setPageControlEnabled(true);
        }
    } endRun{this, generation};

    // A silent scan asks what to do; Retry and Ignore scan again here rather
    // than in a nested run.
    for (;;) {
        m_host->stopPoll();
        m_host->setBusyCursor(BusyCursor::Starting);
        m_host->closeSplash();
        if (!openPort()) {
            m_host->quitProgram();
            return;
        }
        m_exchange->framer()->enable();
        if (scan(generation))
            break;
        emit scanUnanswered();
        if (m_exchange->askTimeOut() == Prompts::TimeoutChoice::Abort)
            return;
        throwIfOvertaken(generation);
    }

    m_identity->address = CommandExchange::removeFirstPoint(m_probeAnswer);
    m_host->setBusyCursor(BusyCursor::Hourglass);
    const QString baud = QString::number(m_line->baudRate());
    m_host->setStatusPanel(4, QStringLiteral("Meter :") + m_identity->address + QStringLiteral(" @ ") + baud
                                  + QStringLiteral(" Baud"));

    m_identity->baudRate = m_line->baudRate();
    m_identity->modelCode = m_exchange->comms(readCommand(153)).value;
    m_identity->version = m_exchange->comms(readCommand(154)).text;
    m_host->adaptToModel();
    m_host->setStatusPanel(3, m_identity->modelCode + QStringLiteral(" Version ") + m_identity->version);

    if (!versionSupported(m_identity->version)) {
        m_prompts->warning(QStringLiteral("Incompatable version number.  Contact Korvane for upgrade information"));
        m_host->quitProgram();
        return;
    }

    for (const auto &step : m_loadSteps) {
        step();
        throwIfOvertaken(generation);
    }

    m_exchange->setDetectionRunning(false);
    m_host->startPoll();
    m_host->setBusyCursor(BusyCursor::Normal);
}
