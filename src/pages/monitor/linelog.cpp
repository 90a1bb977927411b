#include "linelog.h"

LineLog::LineLog(int capacity, QObject *parent) : QObject(parent), m_capacity(qMax(1, capacity)) {}

void LineLog::record(const LineEvent &event)
{
    if (m_events.size() < std::size_t(m_capacity)) {
        m_events.push_back(event);
    } else {
        m_events[m_head] = event;
        m_head = (m_head + 1) % m_events.size();
        ++m_dropped;
    }
    emit recorded(m_endSeq++);
}

void LineLog::clear()
{
    m_events.clear();
    m_events.shrink_to_fit();
    m_head = 0;
    m_dropped = 0;
    emit cleared();
}

const LineEvent &LineLog::event(qint64 seq) const
{
    Q_ASSERT(seq >= firstSeq() && seq < m_endSeq);
    return m_events[(m_head + std::size_t(seq - firstSeq())) % m_events.size()];
}
