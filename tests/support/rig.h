#pragma once

#include "scriptedprompts.h"

#include "app/mainwindow.h"
#include "link/metersession.h"
#include "simline.h"
#include "simmeter.h"

#include <memory>

class PageStrip;

// The whole program against the in-process simulated meter, with scripted
// dialogs and a recorded quit instead of the real one. Time runs on a short
// tick unless a test asks for the real one.
class Rig
{
public:
    explicit Rig(std::chrono::milliseconds tick = std::chrono::milliseconds(5));
    ~Rig();

    SimMeter meter;
    ScriptedPrompts prompts;
    SimLine *line = nullptr; // owned by the session
    std::unique_ptr<MeterSession> session;
    std::unique_ptr<MainWindow> window;
    int quits = 0;
    // What the last page-change frame made for its page.
    PageEntry lastEntry;

    CommandExchange &exchange() { return session->exchange(); }
    // Runs detection to its end (or to its stop).
    void detect() { session->startDetection(); }
    // Commands the meter received, probes left out.
    QStringList commands() const;
    // What a detection run reads from a meter at its defaults, probes left out.
    static QStringList detectionReads();
    void setWatchdog(std::chrono::milliseconds ms) { exchange().commsTimer().setInterval(ms); }

    PageStrip *pageControl() const;
    Page *page(PageId id) const;
    template<typename T>
    T *page(PageId id) const
    {
        return qobject_cast<T *>(page(id));
    }
    const PageContext &context() const;
    SharedFields &shared() const { return *context().shared; }
    QString statusText(int panel) const;
    // The summary grid's cell as the Summary page shows it.
    QString summaryCell(int row, int column) const;
};
