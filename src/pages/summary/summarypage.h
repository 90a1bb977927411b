#pragma once

#include "pages/page.h"

class QTableWidget;

// The "Summary" page: one read-only grid of four label/value column pairs.
class SummaryPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Rows = SummaryGrid::Rows;
    static constexpr int Columns = SummaryGrid::Columns;

    explicit SummaryPage(const PageContext &context, QWidget *parent = nullptr);

    // Entering the page reads the meter's settings into the grid.
    void enter(const PageEntry &entry) override;
    // Detection's last step: the meter's identity rows.
    void loadAtDetection() override;

private:
    // Puts the fixed row labels into columns 0, 2, 4 and 6.
    void fillLabels();
    void showCell(int row, int column);
    // Reads every register the grid shows, each cell written as its reply
    // comes in, so a failed conversion leaves the cells before it filled.
    void fill();

    QTableWidget *m_grid = nullptr;
};
