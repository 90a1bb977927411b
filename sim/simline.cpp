#include "simline.h"

#include "simmeter.h"

SimLine::SimLine(SimMeter *meter, Clock &clock, QObject *parent)
    : SerialLine(parent), m_meter(meter ? meter : new SimMeter(this)), m_clock(clock), m_timer(clock)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &ClockTimer::timeout, this, &SimLine::deliverNext);
}

QList<PortEntry> SimLine::availablePorts()
{
    PortEntry entry;
    entry.number = m_portNumber;
    entry.device = QStringLiteral("simulated meter");
    entry.description = QStringLiteral("Korvane meter simulator");
    return {entry};
}

bool SimLine::open(int number, QString *error)
{
    if (m_open)
        return true;
    QString reason = m_openError;
    if (reason.isEmpty() && number != m_portNumber)
        reason = QStringLiteral("COM%1 does not exist; the simulated meter is on COM%2.").arg(number).arg(m_portNumber);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    m_open = true;
    m_gone = false;
    emit opened(QStringLiteral("simulated meter"));
    return true;
}

void SimLine::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_gone = false;
    m_pending.clear();
    m_timer.stop();
    emit closed();
}

// Nothing waits between arrival and delivery here (replies still inside the
// answer delay have not arrived yet), so only injected bytes can be dropped.
qint64 SimLine::flushInput()
{
    qint64 discarded = 0;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->injected) {
            discarded += it->bytes.size();
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
    if (m_pending.empty())
        m_timer.stop();
    return discarded;
}

void SimLine::write(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_writes << bytes;
    if (m_gone)
        return;

    const SimMeter::LineCondition condition = m_meter->lineCondition(m_baudRate, m_parity);
    if (condition == SimMeter::LineCondition::Silent)
        return;
    const qint64 due = m_clock.now() + m_meter->answerDelay();
    for (const QByteArray &reply : m_meter->receive(bytes)) {
        const bool garbled = condition == SimMeter::LineCondition::Garbled;
        m_pending.push_back({garbled ? SimMeter::garble(reply) : reply, due, false});
    }
    schedule();
}

void SimLine::injectReceived(const QByteArray &bytes)
{
    if (!m_open || m_gone || bytes.isEmpty())
        return;
    m_pending.push_back({bytes, m_clock.now(), true});
    schedule();
}

void SimLine::unplug()
{
    m_gone = true;
    m_pending.clear();
    m_timer.stop();
    emit failed(QStringLiteral("the device went away"));
}

QByteArray SimLine::written() const
{
    QByteArray all;
    for (const QByteArray &bytes : m_writes)
        all += bytes;
    return all;
}

void SimLine::schedule()
{
    if (m_pending.empty() || m_timer.isActive())
        return;
    m_timer.start(int(qMax<qint64>(0, m_pending.front().due - m_clock.now())));
}

void SimLine::deliverNext()
{
    if (m_pending.empty())
        return;
    Delivery &head = m_pending.front();
    QByteArray piece;
    if (m_chunkSize > 0 && head.bytes.size() > m_chunkSize) {
        piece = head.bytes.left(m_chunkSize);
        head.bytes.remove(0, m_chunkSize);
        head.due = m_clock.now(); // the rest follows in the next event
    } else {
        piece = head.bytes;
        m_pending.pop_front();
    }
    schedule();
    // Last: a receiver may write or close from its slot.
    emit bytesReceived(piece);
}
