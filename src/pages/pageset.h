#pragma once

#include "page.h"

#include <QList>
#include <array>

// The main window's pages as one table: what each tab shows and how its
// page is made. Adding a page is one class and one row here.
struct PageRow
{
    PageId id;
    const char *caption;
    const char *hint; // empty: no hint
    bool shownAtStart;
    Page *(*make)(const PageContext &context);
};

const std::array<PageRow, PageCount> &pageRows();

// The pages, built from the table, and what the window asks of them all.
class PageSet
{
public:
    explicit PageSet(const PageContext &context);

    Page *page(PageId id) const { return m_pages[pageIndex(id)]; }
    const std::array<Page *, PageCount> &pages() const { return m_pages; }

    // Detection's load, page by page in the meter's order: the codes, scale
    // and offset, brightness, then the identity rows of the summary.
    QList<Page *> detectionLoadOrder() const;

private:
    std::array<Page *, PageCount> m_pages{};
};
