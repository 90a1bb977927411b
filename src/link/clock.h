#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>

class ClockTimer;

// The time the link runs on: milliseconds of a monotonic clock, and the
// timers the link waits with. The program runs on the system clock; tests
// run on a virtual one that jumps to the next deadline whenever the event
// loop has nothing else to do.
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since the clock started.
    virtual qint64 now() const = 0;

    // The process-wide system clock.
    static Clock &system();

protected:
    friend class ClockTimer;
    // A virtual clock fires the timer itself; the system clock leaves it to
    // the timer's own precise QTimer.
    virtual bool firesTimers() const { return false; }
    virtual void arm(ClockTimer *, qint64 /*due*/) {}
    virtual void disarm(ClockTimer *) {}
};

// A timer on a Clock, with the part of QTimer's interface the link uses.
class ClockTimer : public QObject
{
    Q_OBJECT
public:
    explicit ClockTimer(Clock &clock, QObject *parent = nullptr);
    ~ClockTimer() override;

    // As with QTimer, an active timer starts again with the new interval.
    void setInterval(std::chrono::milliseconds interval) { setInterval(int(interval.count())); }
    void setInterval(int ms);
    int interval() const { return int(m_interval); }
    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }
    // On the system clock: precise unless told otherwise (for comparison).
    void setTimerType(Qt::TimerType type) { m_timer.setTimerType(type); }

    void start();
    void start(int ms);
    void stop();
    bool isActive() const { return m_active; }
    // Milliseconds until it fires; -1 when stopped.
    qint64 remainingTime() const;

    Clock &clock() const { return m_clock; }

signals:
    void timeout();

private:
    friend class VirtualClock;
    void fire();

    Clock &m_clock;
    QTimer m_timer; // only on the system clock
    qint64 m_interval = 0;
    qint64 m_due = 0;
    bool m_singleShot = false;
    bool m_active = false;
};

// The system's monotonic clock.
class SystemClock final : public Clock
{
public:
    SystemClock() { m_elapsed.start(); }
    qint64 now() const override { return m_elapsed.elapsed(); }

private:
    QElapsedTimer m_elapsed;
};

// Time that stands still while the program works and jumps to the next
// timer's deadline as soon as the event loop would wait: a wait of seconds
// costs no more than the events in it, and the order of events is the same
// on every machine.
class VirtualClock final : public QObject, public Clock
{
    Q_OBJECT
public:
    explicit VirtualClock(QObject *parent = nullptr);
    ~VirtualClock() override;

    qint64 now() const override { return m_now; }

    // Runs the event loop until `ms` of virtual time have passed.
    void advance(qint64 ms);
    // Runs the event loop until `done` is true or `ms` of virtual time have
    // passed; returns `done`. (QTest::qWait and QTRY_* never let the event
    // loop wait, so time would stand still in them.)
    bool runUntil(const std::function<bool()> &done, qint64 ms = 60000);
    // Calls `function` once `ms` of virtual time from now, in `context`.
    void singleShot(qint64 ms, QObject *context, std::function<void()> function);

protected:
    bool firesTimers() const override { return true; }
    void arm(ClockTimer *timer, qint64 due) override;
    void disarm(ClockTimer *timer) override;

private:
    void idle();
    void fireNext();

    qint64 m_now = 0;
    // Armed timers by deadline; timers due at the same time fire in the
    // order they were armed.
    std::multimap<qint64, ClockTimer *> m_armed;
    // Fires the next timer from the event loop, nested loops included.
    QTimer m_fire;
};
