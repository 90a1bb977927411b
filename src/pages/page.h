#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <functional>

class CommandExchange;
class Prompts;
struct MeterIdentity;

// Values the main window shares with several pages.
struct SharedFields
{
    QString EntryText;
    int PageLockLimit = 13;
    QColor AmberColour{255, 128, 0};
};

// What only the window can do for a page.
class PageShell
{
public:
    virtual ~PageShell() = default;
    virtual void setTabVisible(int index, bool visible) = 0;
    virtual void setTabCaption(int index, const QString &caption) = 0;
    // Makes a page current as the program does: no guard, no entry handling.
    virtual void showPage(int index) = 0;
    virtual void setSummaryCell(int row, int column, const QString &text) = 0;
    // Runs an event handler under the window's guard: a failure is shown in
    // the error box instead of escaping into the event loop.
    virtual void runHandler(const std::function<void()> &handler) = 0;
    // Runs an operation of several exchanges with the page strip disabled,
    // the hourglass shown and the poll held, all restored on every path.
    virtual void runOperation(const std::function<void()> &operation) = 0;
};

// Everything a page may use; pages talk to the meter only through `exchange`.
struct PageContext
{
    CommandExchange *exchange = nullptr;
    MeterIdentity *identity = nullptr;
    SharedFields *shared = nullptr;
    Prompts *prompts = nullptr;
    PageShell *shell = nullptr;
};

// Runs an event handler under the window's guard; without a window (a page
// or panel on its own) the handler runs directly.
inline void runGuarded(const PageContext &context, const std::function<void()> &handler)
{
    if (context.shell)
        context.shell->runHandler(handler);
    else
        handler();
}

// Runs an operation of several exchanges under the guard and the operation
// frame; without a window it runs directly.
inline void runGuardedOperation(const PageContext &context, const std::function<void()> &operation)
{
    runGuarded(context, [&context, &operation]() {
        if (context.shell)
            context.shell->runOperation(operation);
        else
            operation();
    });
}

// The values the page-change frame makes for the page being entered.
struct PageEntry
{
    int index = 0;
    QString SheetCodeDigits;
    QString SheetCodeNumber;
};

// One page of the main window. Its integer tag carries data (on code pages
// the code last read from the meter).
class Page : public QWidget
{
    Q_OBJECT
public:
    Page(const PageContext &context, const QString &objectName, QWidget *parent = nullptr)
        : QWidget(parent), m_context(context)
    {
        setObjectName(objectName);
    }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The page's entry handling, run inside the page-change frame.
    virtual void enter(const PageEntry &) {}

protected:
    const PageContext &context() const { return m_context; }

private:
    PageContext m_context;
    int m_tag = 0;
};

// Puts a bold heading at the top left of a page and returns it.
inline QLabel *addHeading(QWidget *page, const QString &text)
{
    auto *heading = new QLabel(text, page);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    heading->setFont(font);
    heading->move(8, 8);
    heading->adjustSize();
    return heading;
}
