#pragma once

#include "clock.h"

#include <chrono>

// The link counts time in ticks: the clock's milliseconds divided by the
// tick length (55 ms in the program; tests may shorten it).
class TickClock
{
public:
    static constexpr std::chrono::milliseconds DefaultTick{55};

    explicit TickClock(Clock &clock, std::chrono::milliseconds tick = DefaultTick) : m_clock(clock), m_tick(tick) {}

    qint64 ticks() const { return m_clock.now() / m_tick.count(); }
    qint64 elapsedMs() const { return m_clock.now(); }
    std::chrono::milliseconds tick() const { return m_tick; }
    // Milliseconds from now until the start of tick `t`.
    qint64 msUntilTick(qint64 t) const { return t * m_tick.count() - m_clock.now(); }
    Clock &clock() const { return m_clock; }

private:
    Clock &m_clock;
    std::chrono::milliseconds m_tick;
};
