#pragma once

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/replyframer.h"
#include "pages/page.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class AboutBox;
class AdvancedPage;
class CodePage;
class DisplayValuePage;
class InputConventions;
class LinearizationPage;
class PageStrip;
class QLabel;
class SerialLine;
class SummaryPage;

// The one main window: owns the line, the framer, the exchange, both timers,
// the page strip with its 21 pages, the menu and the status bar. Every page
// change runs the page-change frame around the page's entry handling.
class MainWindow : public QMainWindow, private DetectionHost, private PageShell
{
    Q_OBJECT
public:
    static constexpr int PageCount = 21;
    static constexpr int StatusPanels = 5;
    enum PageIndex {
        DisplayValueIndex = 0,
        ScaleOffsetIndex = 1,
        BrightnessIndex = 2,
        CalibrationIndex = 3,
        DisplaySettingsIndex = 4,
        Code1Index = 5,
        Code2Index = 6,
        Code6Index = 10,
        Code8Index = 12,
        Code10Index = 14,
        SetpointIndex = 15,
        MathIndex = 16,
        LinearizationIndex = 17,
        MacroIndex = 18,
        AdvancedIndex = 19,
        SummaryIndex = 20,
    };

    struct Options
    {
        std::chrono::milliseconds tick = TickClock::DefaultTick;
        // How the program ends; tests record it instead.
        std::function<void()> quitApplication;
        QPointer<QWidget> splash;
        // Tests start detection themselves.
        bool detectOnActivation = true;
    };

    MainWindow(std::unique_ptr<SerialLine> line, Prompts *prompts, Options options);
    ~MainWindow() override;

    // Detection: runs once on the first activation, again on Retry/Ignore.
    void startDetection();

    // The handler guard: runs one event handler, shows a failure in the
    // error box, and starts detection again once nothing waits any more.
    void runHandler(const std::function<void()> &handler) override;

    CommandExchange &exchange() { return m_exchange; }
    ReplyFramer &framer() { return m_framer; }
    SerialLine &line() { return *m_line; }
    MeterDetector &detector() { return m_detector; }
    const MeterIdentity &identity() const { return m_identity; }
    SharedFields &shared() { return m_shared; }
    const PageContext &pageContext() const { return m_context; }
    PageStrip *pageControl() const { return m_pages; }
    QTimer &pollTimer() { return m_timer1; }
    AboutBox *aboutBox() const { return m_about; }
    QString statusText(int panel) const;
    QString summaryCell(int row, int column) const;
    const PageEntry &lastEntry() const { return m_lastEntry; }
    bool quitRequested() const { return m_exchange.quitting(); }

    // A page's own operation of several exchanges, run like a page entry:
    // page control disabled, hourglass, poll held, all restored on every path.
    void runOperation(const std::function<void()> &operation) override;

    // The page-change frame, as a click on a tab runs it.
    void PageControl1Change();
    bool Check_Sheet(int from, int to) const;

signals:
    // After each page-change frame has completed (tests wait on it).
    void pageEntryFinished(int index);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void buildMenu();
    void buildStatusBar();
    void buildPages();
    void bindInputConventions();
    void dispatchPageEntry(const PageEntry &entry);
    void Timer1Timer();
    void exitProgram();
    void onQuit();
    void runPendingDetection();
    void invokeGuarded(const std::function<void()> &handler);

    // DetectionHost
    void closeSplash() override;
    void setBusyCursor(BusyCursor cursor) override;
    void setStatusPanel(int panel, const QString &text) override;
    void setPageControlEnabled(bool enabled) override;
    void startPoll() override;
    void stopPoll() override;
    void hideExtraTables() override;
    void adaptCode10(Code10Mode mode) override;
    void loadCodes() override;
    void readScaleOffset() override;
    void loadBrightness() override;
    void quitProgram() override;

    // PageShell (setSummaryCell serves both)
    void setTabVisible(int index, bool visible) override;
    void setTabCaption(int index, const QString &caption) override;
    void showPage(int index) override;
    void setSummaryCell(int row, int column, const QString &text) override;

    std::unique_ptr<SerialLine> m_line;
    Prompts *m_prompts;
    Options m_options;
    ReplyFramer m_framer;
    CommandExchange m_exchange;
    MeterIdentity m_identity;
    SharedFields m_shared;
    MeterDetector m_detector;
    QTimer m_timer1;
    PageContext m_context;
    InputConventions *m_conventions = nullptr;

    PageStrip *m_pages = nullptr;
    std::array<Page *, PageCount> m_page{};
    std::array<CodePage *, 10> m_codePages{};
    DisplayValuePage *m_displayValue = nullptr;
    LinearizationPage *m_linearization = nullptr;
    AdvancedPage *m_advanced = nullptr;
    SummaryPage *m_summary = nullptr;
    AboutBox *m_about = nullptr;
    std::array<QLabel *, StatusPanels> m_panels{};

    PageEntry m_lastEntry;
    int m_handlerDepth = 0;
    bool m_activatedOnce = false;
};
