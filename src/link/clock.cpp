#include "clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>

Clock &Clock::system()
{
    static SystemClock clock;
    return clock;
}

ClockTimer::ClockTimer(Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ClockTimer::fire);
}

ClockTimer::~ClockTimer()
{
    stop();
}

void ClockTimer::setInterval(int ms)
{
    m_interval = ms;
    if (m_active)
        start();
}

void ClockTimer::start(int ms)
{
    m_interval = ms;
    start();
}

void ClockTimer::start()
{
    stop();
    m_active = true;
    m_due = m_clock.now() + m_interval;
    if (m_clock.firesTimers())
        m_clock.arm(this, m_due);
    else
        m_timer.start(int(m_interval));
}

void ClockTimer::stop()
{
    if (!m_active)
        return;
    m_active = false;
    if (m_clock.firesTimers())
        m_clock.disarm(this);
    else
        m_timer.stop();
}

qint64 ClockTimer::remainingTime() const
{
    return m_active ? std::max<qint64>(0, m_due - m_clock.now()) : -1;
}

void ClockTimer::fire()
{
    if (!m_active)
        return;
    // A repeating timer counts its next interval from now, as QTimer does.
    if (m_singleShot)
        m_active = false;
    else
        start();
    emit timeout();
}

VirtualClock::VirtualClock(QObject *parent) : QObject(parent)
{
    m_fire.setSingleShot(true);
    m_fire.setInterval(0);
    connect(&m_fire, &QTimer::timeout, this, &VirtualClock::fireNext);
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &VirtualClock::idle);
}

VirtualClock::~VirtualClock()
{
    for (auto &[due, timer] : m_armed)
        timer->m_active = false;
}

void VirtualClock::arm(ClockTimer *timer, qint64 due)
{
    m_armed.emplace(due, timer);
}

void VirtualClock::disarm(ClockTimer *timer)
{
    for (auto it = m_armed.begin(); it != m_armed.end(); ++it) {
        if (it->second == timer) {
            m_armed.erase(it);
            return;
        }
    }
}

void VirtualClock::idle()
{
    // Nothing else is left to do: the next deadline comes at once. The
    // timer fires from the event loop, not from inside the dispatcher.
    if (!m_armed.empty() && !m_fire.isActive())
        m_fire.start();
}

void VirtualClock::fireNext()
{
    if (m_armed.empty())
        return;
    const auto next = m_armed.begin();
    ClockTimer *timer = next->second;
    m_now = std::max(m_now, next->first);
    m_armed.erase(next);
    timer->fire();
}

void VirtualClock::advance(qint64 ms)
{
    QEventLoop loop;
    ClockTimer end(*this);
    end.setSingleShot(true);
    connect(&end, &ClockTimer::timeout, &loop, &QEventLoop::quit);
    end.start(int(ms));
    loop.exec();
}

bool VirtualClock::runUntil(const std::function<bool()> &done, qint64 ms)
{
    const qint64 until = m_now + ms;
    // Real timers (a zero-time call, a widget's own timer) still get their
    // turn when no virtual one is armed; a real limit ends a wait for
    // something that never comes.
    QTimer realTick;
    realTick.start(5);
    QDeadlineTimer realLimit(30000);
    while (!done()) {
        if (m_now > until || realLimit.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void VirtualClock::singleShot(qint64 ms, QObject *context, std::function<void()> function)
{
    auto *timer = new ClockTimer(*this, context);
    timer->setSingleShot(true);
    connect(timer, &ClockTimer::timeout, context, [timer, function = std::move(function)]() {
        timer->deleteLater();
        function();
    });
    timer->start(int(ms));
}
