#pragma once

#include "pages/page.h"

class QTableWidget;
class SummaryModel;

// The "Summary" page: one read-only grid of four label/value column pairs
// that shows the setup's summary cells; entering the page has the model
// fill them.
class SummaryPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Rows = SummaryGrid::Rows;
    static constexpr int Columns = SummaryGrid::Columns;

    explicit SummaryPage(const PageContext &context, QWidget *parent = nullptr);

    void enter(const PageEntry &entry) override;

private:
    void showCell(int row, int column);

    SummaryModel &m_model;
    QTableWidget *m_grid = nullptr;
};
