#include "summarypage.h"

#include "summarymodel.h"

#include "pages/metersetup.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

SummaryPage::SummaryPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet18"), parent), m_model(*context.setup->model<SummaryModel>(PageId::Summary))
{
    m_grid = new QTableWidget(Rows, Columns, this);
    m_grid->setObjectName(QStringLiteral("StringGrid6"));
    m_grid->setAccessibleName(QStringLiteral("Summary of the meter's settings"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->verticalHeader()->setDefaultSectionSize(18);
    for (int c = 0; c < Columns; ++c)
        m_grid->setColumnWidth(c, c % 2 == 0 ? 152 : 40);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c)
            showCell(r, c);
    }
    connect(context.summary, &SummaryGrid::cellChanged, this, &SummaryPage::showCell);
}

void SummaryPage::enter(const PageEntry &)
{
    // The page-change frame runs this as an operation: the page strip takes
    // no input and the poll is held until the last read is in.
    m_model.fill();
}

void SummaryPage::showCell(int row, int column)
{
    auto *item = m_grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        m_grid->setItem(row, column, item);
    }
    item->setText(context().summary->cell(row, column));
}
