#pragma once

#include "page.h"

#include <array>

// The views of the main window's pages, each made the first time it is
// asked for. The page rows (pagerows.h) say what the tabs show; this says
// which view shows each page.
class PageSet : public QObject
{
    Q_OBJECT
public:
    explicit PageSet(const PageContext &context);
    ~PageSet();

    // The widget the page strip shows for the page: the view once it is
    // made, and until then an empty holder that makes it when first shown.
    QWidget *holder(PageId id) const { return m_holders[std::size_t(pageIndex(id))]; }
    // The page's view, made now if it was not made before.
    Page *view(PageId id);
    // The page's view if it has been made, else nullptr.
    Page *madeView(PageId id) const { return m_views[std::size_t(pageIndex(id))]; }

signals:
    // A view has just been made (the window adapts it to the meter).
    void viewMade(Page *view);

private:
    PageContext m_context;
    std::array<QWidget *, PageCount> m_holders{};
    std::array<Page *, PageCount> m_views{};
};
