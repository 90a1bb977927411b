#include "replyframer.h"

ReplyFramer::ReplyFramer(std::function<qint64()> ticks, QObject *parent) : QObject(parent), m_ticks(std::move(ticks)) {}

void ReplyFramer::arm()
{
    m_armed = true;
    m_armedAt = m_ticks();
}

void ReplyFramer::enable()
{
    if (isArmed())
        return;
    const bool again = m_everArmed;
    m_everArmed = true;
    arm();
    if (again)
        emit rearmed();
}

void ReplyFramer::disable()
{
    m_armed = false;
}

void ReplyFramer::expireIfDue() const
{
    if (m_armed && m_ticks() - m_armedAt > TimeoutTicks)
        m_armed = false;
}

bool ReplyFramer::isArmed() const
{
    expireIfDue();
    return m_armed;
}

void ReplyFramer::feed(const QByteArray &bytes)
{
    // Bytes that come while a reply is being handed over are framed by the
    // loop below once the handler returns.
    if (m_delivering) {
        m_buffer.append(bytes);
        return;
    }
    if (!isArmed())
        return; // a disarmed framer drops what it receives
    m_buffer.append(bytes);
    m_delivering = true;
    for (;;) {
        const qsizetype end = m_buffer.indexOf("\r\n");
        if (end < 0 || !isArmed())
            break;
        const QByteArray text = m_buffer.left(end);
        m_buffer.remove(0, end + 2);
        m_armed = false;
        emit reply(text);
        arm(); // re-arm after each reply
    }
    m_delivering = false;
}
