#pragma once

#include "scriptedprompts.h"

#include "app/mainwindow.h"
#include "simline.h"
#include "simmeter.h"

#include <memory>

// The whole program against the in-process simulated meter, with scripted
// dialogs and a recorded quit instead of the real one. Time runs on a short
// tick unless a test asks for the real one.
class Rig
{
public:
    explicit Rig(std::chrono::milliseconds tick = std::chrono::milliseconds(5));

    SimMeter meter;
    ScriptedPrompts prompts;
    SimLine *line = nullptr; // owned by the window
    std::unique_ptr<MainWindow> window;
    int quits = 0;

    CommandExchange &exchange() { return window->exchange(); }
    // Runs detection to its end (or to its stop).
    void detect() { window->startDetection(); }
    // Commands the meter received, probes left out.
    QStringList commands() const;
    // What a detection run reads from a meter at its defaults, probes left out.
    static QStringList detectionReads();
    void setWatchdog(std::chrono::milliseconds ms) { window->exchange().commsTimer().setInterval(ms); }
};
