#pragma once

#include "scriptedprompts.h"

#include "link/metersession.h"
#include "simline.h"
#include "simmeter.h"

#include <array>

// QTRY_VERIFY and QTRY_COMPARE on the rig's virtual clock.
#define VTRY_VERIFY(rig, expr) QVERIFY((rig).clock.runUntil([&]() { return bool(expr); }))
#define VTRY_COMPARE(rig, actual, expected)                                                                            \
    do {                                                                                                               \
        (rig).clock.runUntil([&]() { return (actual) == (expected); });                                                \
        QCOMPARE(actual, expected);                                                                                    \
    } while (false)
#include <memory>

// The meter session against the in-process simulated meter, without a
// window: scripted dialogs, a recorded quit, and what the session asked the
// window to show. Time is virtual: it jumps to the next deadline whenever
// the event loop would wait. Ticks are short unless a test asks for the
// real one.
class SessionRig
{
public:
    enum class Time { Virtual, Real };
    explicit SessionRig(std::chrono::milliseconds tick = std::chrono::milliseconds(5), Time time = Time::Virtual);
    virtual ~SessionRig();

    VirtualClock clock;
    SimMeter meter;
    ScriptedPrompts prompts;
    SimLine *line = nullptr; // owned by the session
    std::unique_ptr<MeterSession> session;
    int quits = 0;
    // The last texts and states the session sent out.
    std::array<QString, MeterSession::StatusPanels> panels;
    bool pageControlEnabled = true;

    CommandExchange &exchange() { return session->exchange(); }
    // Runs detection to its end (or to its stop).
    void detect() { session->startDetection(); }
    // Commands the meter received, probes left out.
    QStringList commands() const;
    // What detection reads of the meter's identity.
    static QStringList identityReads() { return {QStringLiteral("SR153"), QStringLiteral("SR154")}; }
    void setWatchdog(std::chrono::milliseconds ms) { exchange().commsTimer().setInterval(ms); }
};
