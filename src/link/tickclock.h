#pragma once

#include <QElapsedTimer>
#include <chrono>

// The link counts time in ticks of the monotonic millisecond clock divided by
// the tick length (55 ms in the program; tests may shorten it).
class TickClock
{
public:
    static constexpr std::chrono::milliseconds DefaultTick{55};

    explicit TickClock(std::chrono::milliseconds tick = DefaultTick) : m_tick(tick) { m_clock.start(); }

    qint64 ticks() const { return m_clock.elapsed() / m_tick.count(); }
    qint64 elapsedMs() const { return m_clock.elapsed(); }
    std::chrono::milliseconds tick() const { return m_tick; }
    // Milliseconds from now until the start of tick `t`.
    qint64 msUntilTick(qint64 t) const { return t * m_tick.count() - m_clock.elapsed(); }

private:
    std::chrono::milliseconds m_tick;
    QElapsedTimer m_clock;
};
