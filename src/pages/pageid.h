#pragma once

// The main window's pages, in tab order. A page keeps its index for life;
// hidden pages keep theirs too.
enum class PageId {
    DisplayValue,
    ScaleOffset,
    Brightness,
    Calibration,
    DisplaySettings,
    Code1,
    Code2,
    Code3,
    Code4,
    Code5,
    Code6,
    Code7,
    Code8,
    Code9,
    Code10,
    Setpoints,
    Math,
    Linearization,
    Macros,
    Advanced,
    Summary,
};

constexpr int PageCount = int(PageId::Summary) + 1;

constexpr int pageIndex(PageId id)
{
    return int(id);
}

// Code 1 to Code 10.
constexpr PageId codePageId(int code)
{
    return PageId(int(PageId::Code1) + code - 1);
}
