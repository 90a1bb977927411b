#include "macropage.h"

#include "macromodel.h"

#include "pages/metersetup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace tablefiles;

namespace {

const struct
{
    const char *caption;
    int width;
} Columns[] = {{"FRAM Address", 112}, {"FRAM Data", 124}, {"Instruction Comment", 484}};
constexpr int CommentColumn = 2;

enum class Action { Open, Save, Upload, Download, Run };

const struct
{
    const char *caption;
    const char *hint;
    const char *accessibleName;
    Action action;
} Buttons[] = {
    {"Open", "Open File", "Open a macro file", Action::Open},
    {"Save", "Save Linearization Table", "Save the macros to a file", Action::Save},
    {"Upload", "Upload Table from Meter", "Upload the macros from the meter", Action::Upload},
    {"Download", "Download Table to Meter", "Download the macros to the meter", Action::Download},
    {"Stopped", "Start/Stop Macros", "", Action::Run},
};

} // namespace

MacroPage::MacroPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet17"), parent), m_model(*context.setup->model<MacroModel>(PageId::Macros))
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(addHeading(this, QStringLiteral("Macro Functions")));

    m_header = new QPlainTextEdit(this);
    m_header->setObjectName(QStringLiteral("Memo1"));
    m_header->setAccessibleName(QStringLiteral("Macro file header"));
    m_header->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_header->setTabChangesFocus(true);
    m_header->setMaximumHeight(m_header->fontMetrics().lineSpacing() * 5);
    page->addWidget(m_header);
    // Every edit, whatever its input path; the model's text is shown with
    // signals blocked.
    connect(m_header, &QPlainTextEdit::textChanged, this, [this]() { m_model.setHeader(m_header->toPlainText()); });

    m_grid = new QTableWidget(MacroShownRows, int(std::size(Columns)), this);
    m_grid->setObjectName(QStringLiteral("StringGrid5"));
    m_grid->setAccessibleName(QStringLiteral("Macro memory"));
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < int(std::size(Columns)); ++c) {
        m_grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(Columns[c].caption)));
        m_grid->setColumnWidth(c, Columns[c].width);
        for (int r = 0; r < MacroShownRows; ++r) {
            auto *item = new QTableWidgetItem;
            if (c != CommentColumn)
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_grid->setItem(r, c, item);
        }
    }
    page->addWidget(m_grid, 1);
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() == CommentColumn)
            m_model.setComment(item->row() + 1, item->text());
    });

    auto *row = new QHBoxLayout;
    page->addLayout(row);
    for (const auto &b : Buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setAccessibleName(QString::fromLatin1(b.accessibleName));
        row->addWidget(button);
        switch (b.action) {
        case Action::Open:
            connect(button, &QPushButton::clicked, this,
                    [this]() { runGuarded(this->context(), [this]() { openMacro(); }); });
            break;
        case Action::Save:
            m_save = button;
            connect(button, &QPushButton::clicked, this,
                    [this]() { runGuarded(this->context(), [this]() { saveMacro(); }); });
            break;
        // More than one exchange: the page control takes no input meanwhile.
        case Action::Upload:
            connect(button, &QPushButton::clicked, this,
                    [this]() { runGuardedOperation(this->context(), [this]() { m_model.uploadMacro(); }); });
            break;
        case Action::Download:
            m_download = button;
            connect(button, &QPushButton::clicked, this,
                    [this]() { runGuardedOperation(this->context(), [this]() { m_model.downloadMacro(); }); });
            break;
        case Action::Run:
            m_run = button;
            connect(button, &QPushButton::clicked, this,
                    [this]() { runGuardedOperation(this->context(), [this]() { m_model.toggleRunState(); }); });
            break;
        }
    }
    row->addStretch(1);
    m_run->setObjectName(QStringLiteral("BitBtn9"));

    showModel();
    connect(&m_model, &PageModel::changed, this, &MacroPage::showModel);
}

void MacroPage::showModel()
{
    const MacroImage &image = m_model.image();
    {
        const QSignalBlocker blocker(m_header);
        if (m_header->toPlainText() != image.header)
            m_header->setPlainText(image.header);
    }
    {
        const QSignalBlocker blocker(m_grid);
        for (int r = 1; r <= MacroShownRows; ++r) {
            const MacroRow &shown = image.row(r);
            const QString *cells[] = {&shown.address, &shown.data, &shown.comment};
            for (int c = 0; c < int(std::size(cells)); ++c) {
                if (m_grid->item(r - 1, c)->text() != *cells[c])
                    m_grid->item(r - 1, c)->setText(*cells[c]);
            }
        }
    }
    const QString state = m_model.isStopped() ? QStringLiteral("Stopped") : QStringLiteral("Running");
    m_run->setText(state);
    m_run->setAccessibleName(QStringLiteral("Start or stop the macros, now %1").arg(state.toLower()));
    m_save->setEnabled(m_model.transfersEnabled());
    m_download->setEnabled(m_model.transfersEnabled());
}

void MacroPage::enter(const PageEntry &)
{
    m_model.readRunState();
}

void MacroPage::openMacro()
{
    m_model.openMacro(context().prompts->openFileName(openQuestion()));
}

void MacroPage::saveMacro()
{
    if (const std::optional<QString> name = context().prompts->saveFileName(saveQuestion()))
        m_model.saveMacro(*name);
}
