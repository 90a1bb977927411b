#pragma once

#include "pages/page.h"
#include "pages/pageset.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class AboutBox;
class LineLog;
class LineMonitorWindow;
class MeterSession;
class MeterSetup;
class PageStrip;
class WindowPrinter;
class QLabel;
enum class BusyCursor;

// The frame over a meter session and its setup: menu, status bar, the page
// strip with the page set's views, and the page-change frame around each
// page's entry handling. It knows pages only through the page set; views
// other than the live readout are made when first shown.
class MainWindow : public QMainWindow, private PageShell
{
    Q_OBJECT
public:
    struct Options
    {
        // How the program ends; tests record it instead.
        std::function<void()> quitApplication;
        QPointer<QWidget> splash;
        // Tests start detection themselves.
        bool detectOnActivation = true;
    };

    MainWindow(MeterSession &session, MeterSetup &setup, Prompts *prompts, Options options);
    ~MainWindow() override;

    // The page-change frame, as a click on a tab runs it.
    void enterCurrentPage();

signals:
    // After each page-change frame has completed (tests wait on it).
    void pageEntryFinished(const PageEntry &entry);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setUpInitialState();
    void buildMenu();
    void showLineMonitor();
    void buildStatusBar();
    void buildPages();
    void connectSession();
    void showBusyCursor(BusyCursor cursor);

    // Makes a page current as the program does: no guard, no entry handling.
    void showPage(PageId page);

    // PageShell
    Page *page(PageId page) const override;

    MeterSession &m_session;
    MeterSetup &m_setup;
    Prompts *m_prompts;
    Options m_options;
    SharedFields m_shared;
    PageContext m_context;
    std::unique_ptr<PageSet> m_pageSet;
    PageStrip *m_pages = nullptr;
    AboutBox *m_about = nullptr;
    WindowPrinter *m_printer = nullptr;
    // Records the line from the start; the monitor is made when first shown.
    LineLog *m_lineLog = nullptr;
    LineMonitorWindow *m_lineMonitor = nullptr;
    std::array<QLabel *, 5> m_panels{};
    bool m_activatedOnce = false;
};
