#include "mainwindow.h"

#include "aboutbox.h"
#include "displayvaluepage.h"
#include "inputconventions.h"
#include "pagestrip.h"

#include "link/errors.h"
#include "link/serialline.h"
#include "pages/advanced/advancedpage.h"
#include "pages/codes/brightnesspage.h"
#include "pages/codes/calibrationpage.h"
#include "pages/codes/codepage.h"
#include "pages/codes/displaysettingspage.h"
#include "pages/setpoints/setpointpage.h"
#include "pages/summary/mathpage.h"
#include "pages/summary/summarypage.h"
#include "pages/tables/linearizationpage.h"
#include "pages/tables/macropage.h"
#include "pages/values/scaleoffsetpage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {

struct PageInfo
{
    const char *caption;
    const char *hint;
};

const PageInfo Pages[MainWindow::PageCount] = {
    {"Display Value", "Display Value"},
    {"Scale & Offset", "Scale and Offset"},
    {"Brightness", "Brightness"},
    {"Calibration", "Calibration"},
    {"Display Settings", "Display Settings"},
    {"Code 1 - 000", "Display Setup"},
    {"Code 2 - 000", "Totalisator"},
    {"Code 3 - 000", "Analog Output"},
    {"Code 4 - 000", "Channel 1 Setup"},
    {"Code 5 - 000", "Channel 1 Processing"},
    {"Code 6 - 000", "Channel 2 Setup"},
    {"Code 7 - 000", "Result Processing"},
    {"Code 8 - 000", "Data Logging & Print Mode"},
    {"Code 9 - 000", "Digital Input Setup"},
    {"Code 10 - 000", "Bargraph Setup"},
    {"Setpoint Control", ""},
    {"Math Functions", "Math Functions"},
    {"Linearization Tables", "Linearization Tables"},
    {"Macros", "Macro"},
    {"Advanced Functions", "Advanced Functions"},
    {"Summary", "Summary"},
};

struct PanelInfo
{
    int width;
    Qt::Alignment alignment;
    const char *text;
    const char *description;
};

const PanelInfo Panels[MainWindow::StatusPanels] = {
    {150, Qt::AlignRight, "Result", "Result reading"},
    {150, Qt::AlignRight, "Channel 1", "Channel 1 reading"},
    {150, Qt::AlignRight, "Channel 2", "Channel 2 reading"},
    {160, Qt::AlignHCenter, "", "Model and firmware version"},
    {90, Qt::AlignRight, "Address && Baud Rate", "Meter address and baud rate"},
};

// Edit fields with the numeric key filter, and those that also highlight
// their text on entry.
const char *const FilteredEdits[] = {"Edit24", "Edit25", "Edit26", "Edit27", "Edit28", "Edit29",
                                     "Edit7",  "Edit8",  "Edit9",  "EditH1", "EditH2", "EditH3",
                                     "EditH4", "EditH5", "EditH6", "Edit131", "Edit132", "Edit133",
                                     "Edit134", "Edit135", "Edit136"};
const char *const HighlightOnlyEdits[] = {"Edit2", "Edit6"};

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

MainWindow::MainWindow(std::unique_ptr<SerialLine> line, Prompts *prompts, Options options)
    : m_line(std::move(line)), m_prompts(prompts), m_options(std::move(options)),
      m_framer([this]() { return m_exchange.clock().ticks(); }),
      m_exchange(m_line.get(), &m_framer, prompts, m_options.tick),
      m_detector(m_line.get(), &m_exchange, prompts, this, &m_identity)
{
    if (!m_options.quitApplication)
        m_options.quitApplication = []() { QCoreApplication::quit(); };
    m_context = PageContext{&m_exchange, &m_identity, &m_shared, m_prompts, this};
    m_conventions = new InputConventions(&m_shared, this);

    connect(m_line.get(), &SerialLine::bytesReceived, &m_framer, &ReplyFramer::feed);
    connect(&m_exchange, &CommandExchange::pollStopRequested, this, [this]() { m_timer1.stop(); });
    connect(&m_exchange, &CommandExchange::pollRestartRequested, this, [this]() { m_timer1.start(); });
    connect(&m_exchange, &CommandExchange::quitRequested, this, &MainWindow::onQuit);
    connect(&m_exchange, &CommandExchange::restartRequested, this, [this]() {
        // Normally the handler that waited starts detection once it has
        // unwound; when no handler waited, start it from the event loop.
        if (m_handlerDepth == 0)
            QTimer::singleShot(0, this, &MainWindow::runPendingDetection);
    });
    connect(&m_timer1, &QTimer::timeout, this, [this]() { runHandler([this]() { Timer1Timer(); }); });

    setWindowTitle(QStringLiteral("Korvane Meter Setup Utility"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenu();
    buildStatusBar();
    buildPages();
    bindInputConventions();
    FormCreate();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow()
{
    m_timer1.stop();
    m_exchange.commsTimer().stop();
    m_framer.disable();
    if (m_line->isOpen())
        m_line->close();
}

void MainWindow::FormCreate()
{
    setFixedSize(800, 600);
    m_timer1.setInterval(m_displayValue->samplingTime());
    m_summary->fillLabels();
    for (int hidden : {int(CalibrationIndex), int(DisplaySettingsIndex), int(Code10Index)})
        m_pages->setTabVisible(hidden, false);
    m_shared.AmberColour = QColor(255, 128, 0);
    m_shared.PageLockLimit = 13;
}

void MainWindow::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open"))->setEnabled(false);
    file->addAction(QStringLiteral("&Save"))->setEnabled(false);
    file->addSeparator();
    QAction *print = file->addAction(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("Print1"));
    file->addSeparator();
    QAction *exitAction = file->addAction(QStringLiteral("&Exit"));
    exitAction->setObjectName(QStringLiteral("Exit1"));
    connect(exitAction, &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    for (const char *item : {"Cu&t", "&Copy", "&Paste"})
        edit->addAction(QString::fromLatin1(item))->setEnabled(false);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About1"));
    m_about = new AboutBox(this);
    connect(about, &QAction::triggered, m_about, &AboutBox::showModal);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < StatusPanels; ++i) {
        auto *panel = new QLabel(QString::fromLatin1(Panels[i].text).replace(QStringLiteral("&&"), QStringLiteral("&")),
                                 bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(Panels[i].width);
        panel->setAlignment(Panels[i].alignment | Qt::AlignVCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAccessibleDescription(QString::fromLatin1(Panels[i].description));
        bar->addWidget(panel);
        m_panels[i] = panel;
    }
}

void MainWindow::buildPages()
{
    m_pages = new PageStrip(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(m_pages);

    m_displayValue = new DisplayValuePage(m_context);
    m_page[DisplayValueIndex] = m_displayValue;
    m_page[ScaleOffsetIndex] = new ScaleOffsetPage(m_context);
    m_page[BrightnessIndex] = new BrightnessPage(m_context);
    m_page[CalibrationIndex] = new CalibrationPage(m_context);
    m_page[DisplaySettingsIndex] = new DisplaySettingsPage(m_context);
    for (int code = 1; code <= 10; ++code) {
        m_codePages[code - 1] = new CodePage(m_context, code);
        m_page[CodePage::info(code).pageIndex] = m_codePages[code - 1];
    }
    m_page[SetpointIndex] = new SetpointPage(m_context);
    m_page[MathIndex] = new MathPage(m_context);
    m_linearization = new LinearizationPage(m_context);
    m_page[LinearizationIndex] = m_linearization;
    m_page[MacroIndex] = new MacroPage(m_context);
    m_advanced = new AdvancedPage(m_context);
    m_page[AdvancedIndex] = m_advanced;
    m_summary = new SummaryPage(m_context);
    m_page[SummaryIndex] = m_summary;

    for (int i = 0; i < PageCount; ++i) {
        m_pages->addPage(m_page[i], QString::fromLatin1(Pages[i].caption));
        if (*Pages[i].hint)
            m_page[i]->setToolTip(QString::fromLatin1(Pages[i].hint));
    }
    m_pages->setTabVisible(MathIndex, false);
    m_pages->setLeaveGuard([this](int from, int to) { return Check_Sheet(from, to); });
    connect(m_pages, &PageStrip::userChangedPage, this, [this]() { PageControl1Change(); });
    connect(m_displayValue, &DisplayValuePage::samplingTimeStepped, this,
            [this](int ms) { m_timer1.setInterval(ms); });
}

void MainWindow::bindInputConventions()
{
    for (const char *name : FilteredEdits) {
        if (auto *edit = findChild<QLineEdit *>(QString::fromLatin1(name))) {
            m_conventions->bindEnterAsTab(edit);
            m_conventions->bindHighlight(edit);
        }
    }
    for (const char *name : HighlightOnlyEdits) {
        if (auto *edit = findChild<QLineEdit *>(QString::fromLatin1(name)))
            m_conventions->bindHighlight(edit);
    }
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce && m_options.detectOnActivation) {
        m_activatedOnce = true;
        // Run after the activation has been handled, from the event loop.
        QTimer::singleShot(0, this, &MainWindow::startDetection);
    }
    return QMainWindow::event(event);
}

void MainWindow::startDetection()
{
    m_activatedOnce = true;
    runHandler([this]() { m_detector.NewMeter(); });
}

void MainWindow::invokeGuarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const ExchangeAbandoned &) {
        // the exchange lost its reply or the program is ending: nothing to say
    } catch (const UserError &e) {
        m_prompts->error(e.message());
    } catch (const std::exception &e) {
        m_prompts->error(QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::runHandler(const std::function<void()> &handler)
{
    ++m_handlerDepth;
    invokeGuarded(handler);
    --m_handlerDepth;
    if (m_handlerDepth == 0)
        runPendingDetection();
}

void MainWindow::runPendingDetection()
{
    if (m_handlerDepth != 0)
        return;
    // Retry/Ignore after a time-out: detection starts again only once every
    // abandoned wait has unwound, so repeated retries never nest.
    while (m_exchange.restartPending() && !m_exchange.quitting()) {
        m_exchange.clearRestartPending();
        ++m_handlerDepth;
        invokeGuarded([this]() { m_detector.NewMeter(); });
        --m_handlerDepth;
    }
}

void MainWindow::runOperation(const std::function<void()> &operation)
{
    struct Restore
    {
        MainWindow *self;
        ~Restore()
        {
            self->m_pages->setEnabled(true);
            self->setBusyCursor(BusyCursor::Normal);
            if (!self->m_exchange.quitting() && !self->m_exchange.restartPending()
                && !self->m_detector.running())
                self->m_timer1.start();
        }
    } restore{this};
    m_pages->setEnabled(false);
    setBusyCursor(BusyCursor::Hourglass);
    m_timer1.stop();
    operation();
}

bool MainWindow::Check_Sheet(int from, int) const
{
    return !(from == Code2Index && m_codePages[1]->StoredCode() >= 100);
}

void MainWindow::PageControl1Change()
{
    runHandler([this]() {
        Page *page = static_cast<Page *>(m_pages->currentPage());
        const int index = m_pages->currentIndex();
        m_lastEntry = PageEntry{index, threeDigits(page->tag()), QString::number(index - 4)};
        runOperation([this]() { dispatchPageEntry(m_lastEntry); });
    });
    emit pageEntryFinished(m_lastEntry.index);
}

void MainWindow::dispatchPageEntry(const PageEntry &entry)
{
    // Each page's enter() is its entry handling; code pages restore their
    // options from the stored code, pages without entry handling do nothing.
    m_page[entry.index]->enter(entry);
    // The Advanced Functions page's reads end by waking a framer that may
    // have timed out.
    if (entry.index == AdvancedIndex)
        m_framer.enable();
}

void MainWindow::Timer1Timer()
{
    m_exchange.comms(QStringLiteral("SR2"));
    m_displayValue->showReading(m_exchange.ReplyValue(), m_exchange.ReplyText());
    // Result and both channels into status panels 0 to 2. A blank reply
    // leaves ReplyText as it was, so a panel shows its previous value again.
    static const struct
    {
        const char *command;
        const char *prefix;
    } Readings[] = {{"SR3", "Result  "}, {"SR4", "Chnl1  "}, {"SR5", "Chnl2  "}};
    for (int panel = 0; panel < 3; ++panel) {
        m_exchange.comms(QString::fromLatin1(Readings[panel].command));
        setStatusPanel(panel, QString::fromLatin1(Readings[panel].prefix) + m_exchange.ReplyText());
    }
}

void MainWindow::exitProgram()
{
    m_timer1.stop();
    m_exchange.commsTimer().stop();
    m_exchange.requestQuit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    exitProgram();
    event->accept();
}

void MainWindow::onQuit()
{
    m_timer1.stop();
    m_options.quitApplication();
}

QString MainWindow::statusText(int panel) const
{
    return m_panels[panel]->text();
}

QString MainWindow::summaryCell(int row, int column) const
{
    return m_summary->cell(row, column);
}

// --- DetectionHost

void MainWindow::closeSplash()
{
    if (m_options.splash)
        m_options.splash->close();
}

void MainWindow::setBusyCursor(BusyCursor cursor)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (cursor == BusyCursor::Starting)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else if (cursor == BusyCursor::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::setStatusPanel(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
}

void MainWindow::setPageControlEnabled(bool enabled)
{
    m_pages->setEnabled(enabled);
}

void MainWindow::startPoll()
{
    m_timer1.start();
}

void MainWindow::stopPoll()
{
    m_timer1.stop();
}

void MainWindow::hideExtraTables()
{
    m_linearization->hideExtraTables();
}

void MainWindow::adaptCode10(Code10Mode mode)
{
    m_codePages[9]->adaptCode10(mode);
    m_pages->setTabVisible(Code10Index, true);
    m_advanced->showCode10Lockout();
    m_shared.PageLockLimit = 14;
}

void MainWindow::loadCodes()
{
    for (CodePage *page : m_codePages)
        page->loadFromMeter();
}

void MainWindow::readScaleOffset()
{
    static_cast<ScaleOffsetPage *>(m_page[ScaleOffsetIndex])->Setup_Scale_Offset();
}

void MainWindow::loadBrightness()
{
    static_cast<BrightnessPage *>(m_page[BrightnessIndex])->loadBrightness();
}

void MainWindow::quitProgram()
{
    m_exchange.requestQuit();
}

// --- PageShell

void MainWindow::setTabVisible(int index, bool visible)
{
    m_pages->setTabVisible(index, visible);
}

void MainWindow::setTabCaption(int index, const QString &caption)
{
    m_pages->setTabText(index, caption);
}

void MainWindow::showPage(int index)
{
    m_pages->setCurrentIndex(index);
}

void MainWindow::setSummaryCell(int row, int column, const QString &text)
{
    m_summary->setCell(row, column, text);
}
