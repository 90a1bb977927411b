#include "rig.h"

#include "app/pagestrip.h"

#include <QLabel>
#include <QTableWidget>

Rig::Rig(std::chrono::milliseconds tick)
{
    auto simLine = std::make_unique<SimLine>(&meter);
    line = simLine.get();
    session = std::make_unique<MeterSession>(std::move(simLine), &prompts, tick);
    MainWindow::Options options;
    options.detectOnActivation = false;
    options.quitApplication = [this]() { ++quits; };
    window = std::make_unique<MainWindow>(*session, &prompts, options);
    QObject::connect(window.get(), &MainWindow::pageEntryFinished, window.get(),
                     [this](const PageEntry &entry) { lastEntry = entry; });
    exchange().commsTimer().setInterval(300);
}

Rig::~Rig()
{
    window.reset();
    session.reset();
}

QStringList Rig::commands() const
{
    QStringList out;
    for (const QString &c : meter.log()) {
        if (c != QLatin1String("SR150$"))
            out.append(c);
    }
    return out;
}

QStringList Rig::detectionReads()
{
    QStringList reads{QStringLiteral("SR153"), QStringLiteral("SR154")};
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
    return static_cast<Page *>(pageControl()->page(pageIndex(id)));
}

const PageContext &Rig::context() const
{
    return page(PageId::DisplayValue)->context();
}

QString Rig::statusText(int panel) const
{
    return window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(panel))->text();
}

QString Rig::summaryCell(int row, int column) const
{
    const QTableWidgetItem *item =
        window->findChild<QTableWidget *>(QStringLiteral("StringGrid6"))->item(row, column);
    return item ? item->text() : QString();
}
