#pragma once

#include "link/lineevent.h"

#include <QObject>
#include <vector>

// What happened on the line since the port was opened, as the session
// reported it: a ring of the newest events that drops the oldest once full
// and counts what it dropped. It keeps the events as they came; nothing is
// formatted here. Each event has a sequence number that stays its own while
// older ones are dropped.
class LineLog : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultCapacity = 20000;

    explicit LineLog(int capacity = DefaultCapacity, QObject *parent = nullptr);

    void record(const LineEvent &event);
    // Forgets every event kept; the sequence numbers go on.
    void clear();

    int capacity() const { return m_capacity; }
    int size() const { return int(m_events.size()); }
    // The sequence number of the oldest event kept, and one past the newest.
    qint64 firstSeq() const { return m_endSeq - size(); }
    qint64 endSeq() const { return m_endSeq; }
    // `seq` from firstSeq() to endSeq() - 1.
    const LineEvent &event(qint64 seq) const;
    // Events dropped to make room since the start or the last clear().
    qint64 droppedCount() const { return m_dropped; }

signals:
    // An event was kept as number `seq`; the oldest ones before firstSeq()
    // went to make room.
    void recorded(qint64 seq);
    void cleared();

private:
    int m_capacity;
    std::vector<LineEvent> m_events;
    // Where the oldest event sits in m_events once the ring is full.
    std::size_t m_head = 0;
    qint64 m_endSeq = 0;
    qint64 m_dropped = 0;
};
