#pragma once

#include "pages/page.h"

class QTableWidget;

// The "Summary" page: one read-only grid of four label/value column pairs.
class SummaryPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Rows = 25;
    static constexpr int Columns = 8;

    explicit SummaryPage(const PageContext &context, QWidget *parent = nullptr);

    // Puts the fixed row labels into columns 0, 2, 4 and 6.
    void fillLabels();
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const;

private:
    QTableWidget *m_grid = nullptr;
};
