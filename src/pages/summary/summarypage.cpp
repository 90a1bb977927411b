#include "summarypage.h"

#include "summaryreads.h"

#include "link/errors.h"
#include "link/meterdetector.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Row labels of the label columns 0, 2, 4 and 6.
const char *const Labels[SummaryPage::Rows][4] = {
    {"Brightness", "Display Text Setpoint 1", "Setpoint 1", "Setpoint Control 1"},
    {"Calibration", "Display Text Setpoint 2", "Setpoint 2", "Setpoint Control 2"},
    {"Code 1", "Display Text Setpoint 3", "Setpoint 3", "Setpoint Control 3"},
    {"Code 2", "Display Text Setpoint 4", "Setpoint 4", "Setpoint Control 4"},
    {"Code 3", "Display Text Setpoint 5", "Setpoint 5", "Setpoint Control 5"},
    {"Code 4", "Display Text Setpoint 6", "Setpoint 6", "Setpoint Control 6"},
    {"Code 5", "Make Delay Setpoint 1", "Break Delay Setpoint 1", "Tolerence Setpoint 1"},
    {"Code 6", "Make Delay Setpoint 2", "Break Delay Setpoint 2", "Tolerence Setpoint 2"},
    {"Code 7", "Make Delay Setpoint 3", "Break Delay Setpoint 3", "Tolerence Setpoint 3"},
    {"Code 8", "Make Delay Setpoint 4", "Break Delay Setpoint 4", "Tolerence Setpoint 4"},
    {"Code 9", "Make Delay Setpoint 5", "Break Delay Setpoint 5", "Tolerence Setpoint 5"},
    {"Code 10", "Make Delay Setpoint 6", "Break Delay Setpoint 6", "Tolerence Setpoint 6"},
    {"Model", "Delay Type Setpoint 1", "Display Options Data source", "Display Character Data Source"},
    {"Version", "Delay Type Setpoint 2", "Display Options Channel 1", "Display Character Channel 1"},
    {"Baud Rate", "Delay Type Setpoint 3", "Display Options Channel 2", "Display Character Channel 2"},
    {"Address", "Delay Type Setpoint 4", "Display Options Channel 3", "Display Character Channel 3"},
    {"Macro Running", "Delay Type Setpoint 5", "Display Options Channel 4", "Display Character Channel 4"},
    {"Macro Loaded", "Delay Type Setpoint 6", "Display Options Total", "Display Character Total"},
    {"Bargraph Low", "Scale Result", "Display Options Sub Total", "Display Character Sub Total"},
    {"Bargraph High", "Scale Channel 1", "Display Text Peak", "Display Text Valley"},
    {"Bargraph Centre Zero", "Scale Channel 2", "Display Text Sub Total", "Display Text Total"},
    {"Bargraph Colour", "Offset Result", "Display Text Channel 1", "Display Text Channel 2"},
    {"K Factor", "Offset Channel 1", "Display Text Channel 3", "Display Text Channel 4"},
    {"K Factor", "Offset Channel 2", "Display Text Over", "Display Text Under"},
    {"Print String", "", "", ""},
};

} // namespace

SummaryPage::SummaryPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet18"), parent)
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
    if (SummaryGrid *summary = context.summary) {
        connect(summary, &SummaryGrid::cellChanged, this, &SummaryPage::showCell);
        fillLabels();
    }
}

void SummaryPage::enter(const PageEntry &)
{
    // The page-change frame runs this as an operation: the page strip takes
    // no input and the poll is held until the last read is in.
    fill();
}

void SummaryPage::fill()
{
    QList<SummaryCell> filled;
    try {
        for (const summaryreads::Read &read : summaryreads::reads()) {
            const Reply reply = context().exchange->comms(summaryreads::command(read));
            setSummaryCell(context(), read.cell, summaryreads::cellText(read.conversion, reply));
            filled.append(read.cell);
        }
    } catch (const RepliesOutOfStep &) {
        // Any of this fill's values may be another register's: none stays.
        for (const SummaryCell &cell : std::as_const(filled))
            setSummaryCell(context(), cell, QString());
        throw;
    }
}

void SummaryPage::loadAtDetection()
{
    const MeterIdentity &identity = *context().identity;
    setSummaryCell(context(), summarycell::Model, identity.modelCode);
    setSummaryCell(context(), summarycell::Version, identity.version);
    setSummaryCell(context(), summarycell::BaudRate, QString::number(identity.baudRate));
    setSummaryCell(context(), summarycell::Address, identity.address);
}

void SummaryPage::fillLabels()
{
    for (int r = 0; r < Rows; ++r) {
        for (int pair = 0; pair < 4; ++pair) {
            if (*Labels[r][pair])
                setSummaryCell(context(), {r, pair * 2}, QString::fromLatin1(Labels[r][pair]));
        }
    }
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
