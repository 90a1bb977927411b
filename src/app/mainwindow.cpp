#include "mainwindow.h"

#include "aboutbox.h"
#include "linemonitorwindow.h"
#include "pagestrip.h"
#include "windowprinter.h"

#include "link/metersession.h"
#include "pages/inputconventions.h"
#include "pages/metersetup.h"
#include "pages/monitor/linelog.h"
#include "pages/pagerows.h"
#include "pages/setup/setupactions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {

struct PanelInfo
{
    int width;
    Qt::Alignment alignment;
    const char *text;
    const char *description;
};

const PanelInfo Panels[MeterSession::StatusPanels] = {
    {150, Qt::AlignRight, "Result", "Result reading"},
    {150, Qt::AlignRight, "Channel 1", "Channel 1 reading"},
    {150, Qt::AlignRight, "Channel 2", "Channel 2 reading"},
    {160, Qt::AlignHCenter, "", "Model and firmware version"},
    {90, Qt::AlignRight, "Address && Baud Rate", "Meter address and baud rate"},
};

QString threeDigits(int tag)
{
    QString digits = QString::number(tag);
    if (tag < 100)
        digits.prepend(QLatin1Char('0'));
    if (tag < 10)
        digits.prepend(QLatin1Char('0'));
    return digits;
}

} // namespace

MainWindow::MainWindow(MeterSession &session, MeterSetup &setup, Prompts *prompts, Options options)
    : m_session(session), m_setup(setup), m_prompts(prompts), m_options(std::move(options))
{
    if (!m_options.quitApplication)
        m_options.quitApplication = []() { QCoreApplication::quit(); };
    m_context = PageContext{&m_session.exchange(),
                            &m_session.identity(),
                            &m_shared,
                            m_prompts,
                            this,
                            &m_setup.summary(),
                            new InputConventions(&m_shared, this),
                            &m_session,
                            &m_setup};

    m_lineLog = new LineLog(LineLog::DefaultCapacity, this);
    connect(&m_session, &MeterSession::lineEvent, m_lineLog, &LineLog::record);

    setWindowTitle(QStringLiteral("Korvane Meter Setup Utility"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenu();
    buildStatusBar();
    buildPages();
    connectSession();
    setUpInitialState();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow()
{
    m_session.pollTimer().stop();
}

void MainWindow::setUpInitialState()
{
    setFixedSize(800, 600);
    m_shared.amberColour = QColor(255, 128, 0);
}

void MainWindow::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open"))->setEnabled(false);
    file->addAction(QStringLiteral("&Save"))->setEnabled(false);
    file->addSeparator();
    // A whole setup: read into a file, or compared with one and written.
    auto *setupActions = new SetupActions(m_setup, this);
    const auto runSetupAction = [this](void (SetupActions::*action)(), SetupActions *target) {
        m_session.runHandler([&]() { m_session.runOperation([&]() { (target->*action)(); }); });
    };
    QAction *saveSetup = file->addAction(QStringLiteral("Save &Meter Setup..."));
    saveSetup->setObjectName(QStringLiteral("SaveMeterSetup"));
    connect(saveSetup, &QAction::triggered, this,
            [=]() { runSetupAction(&SetupActions::saveMeterSetup, setupActions); });
    QAction *compareSetup = file->addAction(QStringLiteral("&Compare Meter with Setup File..."));
    compareSetup->setObjectName(QStringLiteral("CompareMeterSetup"));
    connect(compareSetup, &QAction::triggered, this,
            [=]() { runSetupAction(&SetupActions::compareWithFile, setupActions); });
    // Only a meter that has been found can be read.
    for (QAction *action : {saveSetup, compareSetup}) {
        action->setEnabled(false);
        connect(&m_session, &MeterSession::detectionFinished, action, [action]() { action->setEnabled(true); });
    }
    file->addSeparator();
    QAction *print = file->addAction(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("Print1"));
    m_printer = new WindowPrinter(this, m_prompts);
    connect(print, &QAction::triggered, m_printer, &WindowPrinter::printWindow);
    file->addSeparator();
    QAction *exitAction = file->addAction(QStringLiteral("&Exit"));
    exitAction->setObjectName(QStringLiteral("Exit1"));
    connect(exitAction, &QAction::triggered, this, [this]() { m_session.exitProgram(); });

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    for (const char *item : {"Cu&t", "&Copy", "&Paste"})
        edit->addAction(QString::fromLatin1(item))->setEnabled(false);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction *monitor = view->addAction(QStringLiteral("&Line Monitor"));
    monitor->setObjectName(QStringLiteral("LineMonitor1"));
    connect(monitor, &QAction::triggered, this, &MainWindow::showLineMonitor);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About1"));
    m_about = new AboutBox(this);
    connect(about, &QAction::triggered, m_about, &AboutBox::showModal);
}

void MainWindow::showLineMonitor()
{
    if (!m_lineMonitor)
        m_lineMonitor =
            new LineMonitorWindow(*m_lineLog, m_setup.settingRegisters(), m_prompts, m_session.clock(), this);
    m_lineMonitor->show();
    m_lineMonitor->raise();
    m_lineMonitor->activateWindow();
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < MeterSession::StatusPanels; ++i) {
        auto *panel =
            new QLabel(QString::fromLatin1(Panels[i].text).replace(QStringLiteral("&&"), QStringLiteral("&")), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // Panels show the meter's own text, never as markup.
        panel->setTextFormat(Qt::PlainText);
        // The last panel runs to the end of the bar, so its text is whole.
        const bool last = i == MeterSession::StatusPanels - 1;
        if (last)
            panel->setMinimumWidth(Panels[i].width);
        else
            panel->setFixedWidth(Panels[i].width);
        panel->setAlignment(Panels[i].alignment | Qt::AlignVCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAccessibleDescription(QString::fromLatin1(Panels[i].description));
        bar->addWidget(panel, last ? 1 : 0);
        m_panels[i] = panel;
    }
}

void MainWindow::buildPages()
{
    m_pages = new PageStrip(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(m_pages);

    m_pageSet = std::make_unique<PageSet>(m_context);
    for (const PageRow &row : pageRows()) {
        QWidget *holder = m_pageSet->holder(row.id);
        m_pages->addPage(holder, m_setup.tabCaption(row.id));
        if (*row.hint)
            holder->setToolTip(QString::fromLatin1(row.hint));
        m_pages->setTabVisible(pageIndex(row.id), m_setup.isTabVisible(row.id));
    }
    m_pages->setLeaveGuard([this](int from, int) {
        const Page *view = m_pageSet->madeView(PageId(from));
        return !view || view->canLeave();
    });
    connect(m_pages, &PageStrip::userChangedPage, this, [this]() { enterCurrentPage(); });
    connect(&m_setup, &MeterSetup::tabVisibilityChanged, m_pages,
            [this](PageId page, bool visible) { m_pages->setTabVisible(pageIndex(page), visible); });
    connect(&m_setup, &MeterSetup::tabCaptionChanged, m_pages,
            [this](PageId page, const QString &caption) { m_pages->setTabText(pageIndex(page), caption); });
    connect(&m_setup, &MeterSetup::pageShowRequested, this, [this](PageId page) { showPage(page); });
    // A view made after detection takes the model the meter has.
    connect(m_pageSet.get(), &PageSet::viewMade, this, [this](Page *view) {
        if (!m_session.identity().modelCode.isEmpty())
            view->adaptTo(m_session.identity());
    });
}

void MainWindow::connectSession()
{
    connect(&m_session, &MeterSession::statusPanelChanged, this,
            [this](int panel, const QString &text) { m_panels[panel]->setText(text); });
    connect(&m_session, &MeterSession::busyCursorChanged, this, &MainWindow::showBusyCursor);
    connect(&m_session, &MeterSession::pageControlEnabledChanged, m_pages, &QWidget::setEnabled);
    connect(&m_session, &MeterSession::splashCloseRequested, this, [this]() {
        if (m_options.splash)
            m_options.splash->close();
    });
    connect(&m_session, &MeterSession::modelIdentified, this, [this](const MeterIdentity &identity) {
        for (const PageRow &row : pageRows()) {
            if (Page *view = m_pageSet->madeView(row.id))
                view->adaptTo(identity);
        }
    });
    connect(&m_session, &MeterSession::quitRequested, this, [this]() { m_options.quitApplication(); });
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce && m_options.detectOnActivation) {
        m_activatedOnce = true;
        // Run after the activation has been handled, from the event loop.
        QTimer::singleShot(0, this, [this]() { m_session.startDetection(); });
    }
    return QMainWindow::event(event);
}

void MainWindow::enterCurrentPage()
{
    const int index = m_pages->currentIndex();
    Page *page = m_pageSet->view(PageId(index));
    // A page with a model keeps its stored code there.
    const PageModel *model = m_setup.model(PageId(index));
    const int storedCode = model ? model->storedCode() : page->tag();
    const PageEntry entry{PageId(index), threeDigits(storedCode), QString::number(index - 4)};
    m_session.runHandler([this, page, &entry]() { m_session.runOperation([page, &entry]() { page->enter(entry); }); });
    emit pageEntryFinished(entry);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_session.exitProgram();
    event->accept();
}

void MainWindow::showBusyCursor(BusyCursor cursor)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (cursor == BusyCursor::Starting)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else if (cursor == BusyCursor::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

// --- PageShell

void MainWindow::showPage(PageId page)
{
    m_pageSet->view(page);
    m_pages->setCurrentIndex(pageIndex(page));
}

Page *MainWindow::page(PageId page) const
{
    return m_pageSet->view(page);
}
