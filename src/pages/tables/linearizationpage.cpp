#include "linearizationpage.h"

#include "linearizationmodel.h"

#include "pages/metersetup.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace tablefiles;

namespace {

// Cells take at most six characters: a digit or sign, then digits only;
// every position may stay empty.
class TableCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        auto *editor = qobject_cast<QLineEdit *>(QStyledItemDelegate::createEditor(parent, option, index));
        if (editor) {
            static const QRegularExpression TableMask(QStringLiteral("[-+0-9]?[0-9]{0,5}"));
            editor->setMaxLength(6);
            editor->setValidator(new QRegularExpressionValidator(TableMask, editor));
        }
        return editor;
    }
};

const struct
{
    const char *caption;
    const char *hint;
    const char *accessibleName;
} Buttons[] = {
    {"Open", "Open File", "Open a linearization table file"},
    {"Save", "Save Linearization Table", "Save the linearization table to a file"},
    {"Upload", "Upload Table from Meter", "Upload the linearization table from the meter"},
    {"Download", "Download Table to Meter", "Download the linearization table to the meter"},
};

// Whether `widget` is `ancestor` or lies inside it.
bool within(const QWidget *widget, const QWidget *ancestor)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == ancestor)
            return true;
    }
    return false;
}

} // namespace

LinearizationPage::LinearizationPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet15"), parent),
      m_model(*context.setup->model<LinearizationModel>(PageId::Linearization))
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(addHeading(this, QStringLiteral("Linearization tables")));

    auto *tables = new QGridLayout;
    page->addLayout(tables, 1);
    for (int t = 0; t < LinearizationModel::Tables; ++t) {
        auto *selector = new QToolButton(this);
        selector->setObjectName(QStringLiteral("SpeedButton%1").arg(7 + t));
        selector->setText(QStringLiteral("Table %1").arg(t + 1));
        selector->setAccessibleName(QStringLiteral("Select linearization table %1").arg(t + 1));
        selector->setCheckable(true);
        selector->setAutoExclusive(true);
        selector->setFocusPolicy(Qt::StrongFocus);
        tables->addWidget(selector, 0, t);
        m_selectors.append(selector);
        // Pressed by any input path (a screen reader's Toggle action emits
        // no click); a click on the pressed one still selects its table. The
        // model's choice is shown with signals blocked.
        connect(selector, &QToolButton::toggled, this, [this, t](bool pressed) {
            if (pressed)
                selectTable(t);
        });
        connect(selector, &QToolButton::clicked, this, [this, t]() { selectTable(t); });

        auto *grid = new QTableWidget(TablePoints, 2, this);
        grid->setObjectName(QStringLiteral("StringGrid%1").arg(1 + t));
        grid->setAccessibleName(QStringLiteral("Linearization table %1").arg(t + 1));
        grid->setHorizontalHeaderLabels({QStringLiteral("Input"), QStringLiteral("Output")});
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
        // Arrow keys move between cells; Tab goes on to the next control.
        grid->setTabKeyNavigation(false);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setItemDelegate(new TableCellDelegate(grid));
        for (int r = 0; r < TablePoints; ++r) {
            for (int c = 0; c < 2; ++c)
                grid->setItem(r, c, new QTableWidgetItem);
        }
        tables->addWidget(grid, 1, t);
        m_grids.append(grid);
        // Every edit of a cell, whatever its input path; the model's values
        // are shown with signals blocked.
        connect(grid, &QTableWidget::itemChanged, this,
                [this, t](QTableWidgetItem *item) { m_model.setCell(t, item->row(), item->column(), item->text()); });
    }

    // The progress panel takes the place of the buttons while it is shown.
    m_buttonArea = new QStackedLayout;
    page->addLayout(m_buttonArea);
    auto *buttonRow = new QWidget(this);
    auto *row = new QHBoxLayout(buttonRow);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton **targets[] = {&m_open, &m_save, &m_upload, &m_download};
    for (std::size_t i = 0; i < std::size(Buttons); ++i) {
        auto *button = new QPushButton(QString::fromLatin1(Buttons[i].caption), buttonRow);
        button->setToolTip(QString::fromLatin1(Buttons[i].hint));
        button->setAccessibleName(QString::fromLatin1(Buttons[i].accessibleName));
        row->addWidget(button);
        *targets[i] = button;
    }
    row->addStretch(1);
    m_buttonArea->addWidget(buttonRow);

    m_progressPanel = new QWidget(this);
    m_progressPanel->setObjectName(QStringLiteral("Panel8"));
    auto *panel = new QHBoxLayout(m_progressPanel);
    m_progress = new QProgressBar(m_progressPanel);
    m_progress->setObjectName(QStringLiteral("ProgressBar2"));
    m_progress->setAccessibleName(QStringLiteral("Linearization table upload progress"));
    m_progress->setMaximum(LinearizationModel::ProgressMaximum);
    m_progress->setValue(m_model.progress());
    panel->addWidget(m_progress);
    m_buttonArea->addWidget(m_progressPanel);

    connect(m_open, &QPushButton::clicked, this, [this]() { runGuarded(this->context(), [this]() { openTable(); }); });
    connect(m_save, &QPushButton::clicked, this, [this]() { runGuarded(this->context(), [this]() { saveTable(); }); });
    connect(m_upload, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { m_model.uploadTable(); }); });
    connect(m_download, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { m_model.downloadTable(); }); });

    // A grid's cell editor is a child of the grid: the focus has entered or
    // left a table only when it crosses the grid's own border to another
    // control of the window. A dialog, another program or the window
    // closing take the focus without leaving the grid.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (!now || now->window() != window())
            return;
        for (int t = 0; t < LinearizationModel::Tables; ++t) {
            const bool was = within(old, m_grids[t]);
            const bool is = within(now, m_grids[t]);
            if (was && !is)
                runGuarded(this->context(), [this, t]() { m_model.sortTable(t); });
            else if (is && !was)
                m_model.enterTable(t);
        }
    });

    showModel();
    connect(&m_model, &PageModel::changed, this, &LinearizationPage::showModel);
    connect(&m_model, &LinearizationModel::progressChanged, m_progress, &QProgressBar::setValue);
}

void LinearizationPage::showModel()
{
    for (int t = 0; t < LinearizationModel::Tables; ++t) {
        QTableWidget *grid = m_grids[t];
        {
            const QSignalBlocker blocker(grid);
            const Table &values = m_model.table(t);
            for (int r = 0; r < TablePoints; ++r) {
                const TablePoint &point = values[std::size_t(r)];
                for (const int c : {0, 1}) {
                    const QString &text = c == 0 ? point.input : point.output;
                    if (grid->item(r, c)->text() != text)
                        grid->item(r, c)->setText(text);
                }
            }
        }
        m_selectors[t]->setVisible(m_model.hasTable(t));
        grid->setVisible(m_model.hasTable(t) && m_model.isTableShown(t));
    }
    const QSignalBlocker blocker(m_selectors[m_model.currentTable()]);
    m_selectors[m_model.currentTable()]->setChecked(true);
    m_save->setEnabled(m_model.transfersEnabled());
    m_download->setEnabled(m_model.transfersEnabled());
}

void LinearizationPage::enter(const PageEntry &)
{
    // Once a table has been read or opened, entering the page reads nothing.
    // (The page-change frame disables the whole page meanwhile.)
    if (m_model.transfersEnabled())
        return;
    struct ShowButtons
    {
        QStackedLayout *area;
        QWidget *buttons;
        ~ShowButtons() { area->setCurrentWidget(buttons); }
    } showButtons{m_buttonArea, m_buttonArea->widget(0)};
    m_buttonArea->setCurrentWidget(m_progressPanel);
    m_model.readTablesOnFirstEntry();
}

void LinearizationPage::selectTable(int t)
{
    m_model.selectTable(t);
    m_grids[t]->setFocus(Qt::OtherFocusReason);
}

void LinearizationPage::openTable()
{
    m_model.openTable(context().prompts->openFileName(openQuestion()));
}

void LinearizationPage::saveTable()
{
    // A cell that is no number stops the save before the question.
    m_model.sortTable(m_model.currentTable());
    if (const std::optional<QString> name = context().prompts->saveFileName(saveQuestion()))
        m_model.saveTable(*name);
}
