#include "linearizationpage.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/registers.h"

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
    : Page(context, QStringLiteral("TabSheet15"), parent)
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(addHeading(this, QStringLiteral("Linearization tables")));

    auto *tables = new QGridLayout;
    page->addLayout(tables, 1);
    for (int t = 0; t < Tables; ++t) {
        auto *selector = new QToolButton(this);
        selector->setObjectName(QStringLiteral("SpeedButton%1").arg(7 + t));
        selector->setText(QStringLiteral("Table %1").arg(t + 1));
        selector->setAccessibleName(QStringLiteral("Select linearization table %1").arg(t + 1));
        selector->setCheckable(true);
        selector->setAutoExclusive(true);
        selector->setChecked(t == 0);
        selector->setFocusPolicy(Qt::StrongFocus);
        tables->addWidget(selector, 0, t);
        m_selectors.append(selector);
        // Pressed by any input path (a screen reader's Toggle action emits
        // no click); a click on the pressed one still selects its table. The
        // page's own choice is made with signals blocked.
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
        grid->hide();
        tables->addWidget(grid, 1, t);
        m_grids.append(grid);
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
    m_save->setEnabled(false);
    m_download->setEnabled(false);

    m_progressPanel = new QWidget(this);
    m_progressPanel->setObjectName(QStringLiteral("Panel8"));
    auto *panel = new QHBoxLayout(m_progressPanel);
    m_progress = new QProgressBar(m_progressPanel);
    m_progress->setObjectName(QStringLiteral("ProgressBar2"));
    m_progress->setAccessibleName(QStringLiteral("Linearization table upload progress"));
    m_progress->setMaximum(TablePoints * ProgressStep);
    panel->addWidget(m_progress);
    m_buttonArea->addWidget(m_progressPanel);

    connect(m_open, &QPushButton::clicked, this, [this]() { runGuarded(this->context(), [this]() { openTable(); }); });
    connect(m_save, &QPushButton::clicked, this, [this]() { runGuarded(this->context(), [this]() { saveTable(); }); });
    connect(m_upload, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { uploadTable(); }); });
    connect(m_download, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { downloadTable(); }); });

    // A grid's cell editor is a child of the grid: the focus has entered or
    // left a table only when it crosses the grid's own border to another
    // control of the window. A dialog, another program or the window
    // closing take the focus without leaving the grid.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (!now || now->window() != window())
            return;
        for (int t = 0; t < Tables; ++t) {
            const bool was = within(old, m_grids[t]);
            const bool is = within(now, m_grids[t]);
            if (was && !is)
                runGuarded(this->context(), [this, t]() { sortTable(t); });
            else if (is && !was)
                enterTable(t);
        }
    });
}

Table LinearizationPage::table(int t) const
{
    Table values;
    for (int r = 0; r < TablePoints; ++r) {
        values[std::size_t(r)] = {m_grids[t]->item(r, 0)->text(), m_grids[t]->item(r, 1)->text()};
    }
    return values;
}

void LinearizationPage::setTable(int t, const Table &values)
{
    for (int r = 0; r < TablePoints; ++r) {
        m_grids[t]->item(r, 0)->setText(values[std::size_t(r)].input);
        m_grids[t]->item(r, 1)->setText(values[std::size_t(r)].output);
    }
}

void LinearizationPage::adaptTo(const MeterIdentity &identity)
{
    if (!identity.hasOption("E"))
        return;
    m_oneTable = true;
    for (int t = 1; t < Tables; ++t) {
        m_selectors[t]->hide();
        m_grids[t]->hide();
    }
    makeCurrent(0);
}

void LinearizationPage::enter(const PageEntry &)
{
    // Once a table has been read or opened, entering the page reads nothing.
    // (The page-change frame disables the whole page meanwhile.)
    if (m_download->isEnabledTo(this))
        return;
    struct ShowButtons
    {
        QStackedLayout *area;
        QWidget *buttons;
        ~ShowButtons() { area->setCurrentWidget(buttons); }
    } showButtons{m_buttonArea, m_buttonArea->widget(0)};
    m_progress->setMaximum(TablePoints * ProgressStep);
    m_buttonArea->setCurrentWidget(m_progressPanel);
    std::optional<QString> notANumber;
    for (int t = m_oneTable ? 0 : Tables - 1; t >= 0; --t) {
        makeCurrent(t);
        m_progress->setValue(0);
        const std::optional<QString> found = readTable(t);
        if (!notANumber)
            notANumber = found;
        m_grids[t]->show();
    }
    if (notANumber)
        context().prompts->warning(*notANumber);
}

void LinearizationPage::makeCurrent(int t)
{
    const QSignalBlocker blocker(m_selectors[t]);
    m_selectors[t]->setChecked(true);
    setTag(t);
}

void LinearizationPage::selectTable(int t)
{
    makeCurrent(t);
    m_grids[t]->setFocus(Qt::OtherFocusReason);
}

void LinearizationPage::enterTable(int t)
{
    makeCurrent(t);
    for (QPushButton *button : {m_open, m_save, m_upload, m_download})
        button->setEnabled(true);
}

void LinearizationPage::sortTable(int t)
{
    Table values = table(t);
    tablefiles::sortTable(values);
    setTable(t, values);
}

std::optional<QString> LinearizationPage::readTable(int t)
{
    CommandExchange &exchange = *context().exchange;
    // Read into a copy: a read stopped part way, or by replies out of step,
    // leaves the table as it was.
    Table values;
    for (int r = 1; r <= TablePoints; ++r) {
        TablePoint &point = values[std::size_t(r - 1)];
        point.input = cellFromReply(exchange.comms(readCommand(inputRegister(t + 1, r))).value);
        point.output = cellFromReply(exchange.comms(readCommand(outputRegister(t + 1, r))).value);
        m_progress->setValue(std::min(m_progress->value() + ProgressStep, m_progress->maximum()));
    }
    setTable(t, values);
    enableTransfers();
    return firstCellNotANumber(t + 1, values);
}

void LinearizationPage::uploadTable()
{
    if (const std::optional<QString> notANumber = readTable(currentTable()))
        context().prompts->warning(*notANumber);
}

void LinearizationPage::downloadTable()
{
    const int t = currentTable();
    sortTable(t);
    // Every cell is checked before the first write, so a table with an empty
    // or broken cell leaves the meter as it was.
    const auto values = tableValues(table(t));
    CommandExchange &exchange = *context().exchange;
    for (int r = 1; r <= TablePoints; ++r) {
        exchange.comms(writeCommand(inputRegister(t + 1, r), qint64(values[std::size_t(r - 1)][0])));
        exchange.comms(writeCommand(outputRegister(t + 1, r), qint64(values[std::size_t(r - 1)][1])));
    }
}

void LinearizationPage::openTable()
{
    const int t = currentTable();
    if (const std::optional<QString> name = context().prompts->openFileName(openQuestion())) {
        if (const std::optional<QByteArray> bytes = readFile(*name)) {
            Table values = table(t);
            tablefiles::readTable(*bytes, values);
            setTable(t, values);
        } else {
            context().prompts->fileError(readErrorText());
        }
    }
    enableTransfers();
}

void LinearizationPage::saveTable()
{
    const int t = currentTable();
    sortTable(t);
    const std::optional<QString> name = context().prompts->saveFileName(saveQuestion());
    if (!name)
        return;
    if (!writeFile(*name, writeTable(table(t))))
        context().prompts->fileError(writeErrorText());
}

void LinearizationPage::enableTransfers()
{
    m_save->setEnabled(true);
    m_download->setEnabled(true);
}
