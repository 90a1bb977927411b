#pragma once

#include "modelrig.h"

#include "app/mainwindow.h"

#include <memory>

class PageStrip;

// The whole program against the in-process simulated meter: the model rig
// with the main window and its pages over it.
class Rig : public ModelRig
{
public:
    explicit Rig(std::chrono::milliseconds tick = std::chrono::milliseconds(5), Time time = Time::Virtual);
    ~Rig() override;

    std::unique_ptr<MainWindow> window;
    // What the last page-change frame made for its page.
    PageEntry lastEntry;

    // What a detection run reads from a meter at its defaults, probes left out.
    static QStringList detectionReads();

    PageStrip *pageControl() const;
    Page *page(PageId id) const;
    template<typename T>
    T *page(PageId id) const
    {
        return qobject_cast<T *>(page(id));
    }
    const PageContext &context() const;
    SharedFields &shared() const { return *context().shared; }
    // A status panel's text as the window shows it.
    QString statusText(int panel) const;
    // The summary grid's cell as the Summary page shows it.
    QString summaryCell(int row, int column) const;
};
