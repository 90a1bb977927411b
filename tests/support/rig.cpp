#include "rig.h"

#include "app/pagestrip.h"

#include <QLabel>
#include <QTableWidget>

Rig::Rig(std::chrono::milliseconds tick, Time time) : ModelRig(tick, time)
{
    MainWindow::Options options;
    options.detectOnActivation = false;
    // The session rig counts the quits.
    options.quitApplication = []() {};
    window = std::make_unique<MainWindow>(*session, *setup, &prompts, options);
    QObject::connect(window.get(), &MainWindow::pageEntryFinished, window.get(),
                     [this](const PageEntry &entry) { lastEntry = entry; });
}

Rig::~Rig()
{
    window.reset();
}

QStringList Rig::detectionReads()
{
    QStringList reads = identityReads();
    for (int code = 1; code <= 10; ++code)
        reads << QStringLiteral("SR%1").arg(129 + code);
    for (int reg = 24; reg <= 29; ++reg)
        reads << QStringLiteral("SR%1").arg(reg);
    reads << QStringLiteral("SR148");
    return reads;
}

PageStrip *Rig::pageControl() const
{
    return window->findChild<PageStrip *>(QStringLiteral("PageControl1"));
}

Page *Rig::page(PageId id) const
{
    // The view is made now if its tab has not been shown yet.
    return context().shell->page(id);
}

const PageContext &Rig::context() const
{
    // The live readout's view is made with the window.
    return window->findChild<Page *>(QStringLiteral("TabSheet1"))->context();
}

QString Rig::statusText(int panel) const
{
    return window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(panel))->text();
}

QString Rig::summaryCell(int row, int column) const
{
    const QTableWidgetItem *item =
        page(PageId::Summary)->findChild<QTableWidget *>(QStringLiteral("StringGrid6"))->item(row, column);
    return item ? item->text() : QString();
}
