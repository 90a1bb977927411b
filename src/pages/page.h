#pragma once

#include "pageid.h"
#include "summarycells.h"

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <functional>

class CommandExchange;
class InputConventions;
class MeterSession;
class MeterSetup;
class Page;
class Prompts;
struct MeterIdentity;

// Values the main window shares with several pages.
struct SharedFields
{
    QString entryText;
    QColor amberColour{255, 128, 0};
};

// What only the window can do for a page. (The tabs follow the models'
// setup: MeterSetup::setTabVisible, setTabCaption and showPage.)
class PageShell
{
public:
    virtual ~PageShell() = default;
    // Another page's view; it is made if it was not yet.
    virtual Page *page(PageId page) const = 0;
};

// Everything a page may use; pages talk to the meter only through `exchange`.
struct PageContext
{
    CommandExchange *exchange = nullptr;
    MeterIdentity *identity = nullptr;
    SharedFields *shared = nullptr;
    Prompts *prompts = nullptr;
    PageShell *shell = nullptr;
    SummaryGrid *summary = nullptr;
    // Enter-as-Tab and the highlight rule for numeric fields.
    InputConventions *conventions = nullptr;
    // The session: the handler guard, the operation frame and the poll.
    MeterSession *session = nullptr;
    // The page models, the summary cells and the tab state.
    MeterSetup *setup = nullptr;
};

// Runs an event handler under the session's guard: a failure is shown in
// the error box instead of escaping into the event loop. Without a session
// (a page or panel on its own) the handler runs directly.
void runGuarded(const PageContext &context, const std::function<void()> &handler);

// Runs an operation of several exchanges under the guard, with the page
// strip disabled, the hourglass shown and the poll held, all restored on
// every path; without a session it runs directly.
void runGuardedOperation(const PageContext &context, const std::function<void()> &operation);

inline void setSummaryCell(const PageContext &context, SummaryCell cell, const QString &text)
{
    if (context.summary)
        context.summary->setCell(cell, text);
}

// The values the page-change frame makes for the page being entered.
struct PageEntry
{
    PageId page = PageId::DisplayValue;
    QString codeDigits;
    QString codeNumber;
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
    // Whether the operator may leave the page for another one.
    virtual bool canLeave() const { return true; }
    // Adapts the page to the model detection found.
    virtual void adaptTo(const MeterIdentity &) {}

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
