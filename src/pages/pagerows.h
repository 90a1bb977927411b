#pragma once

#include "pagemodel.h"

#include <array>
#include <functional>

// The main window's pages as one table: what each tab shows, and the model
// that holds the page's meter values. The views are made from a second
// table on the window's side (pageset.h). Adding a page is one model, one
// view and one row in each.
struct PageRow
{
    PageId id;
    const char *caption;
    const char *hint; // empty: no hint
    bool shownAtStart;
    // nullptr for a page without meter values of its own.
    PageModel *(*makeModel)(const ModelContext &context);
};

const std::array<PageRow, PageCount> &pageRows();
const PageRow &pageRow(PageId id);
