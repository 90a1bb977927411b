#include "macropage.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace tablefiles;

namespace {

const QString Running = QStringLiteral("Running");
const QString Stopped = QStringLiteral("Stopped");
constexpr int RunStateRegister = 160;

const struct
{
    const char *caption;
    int width;
} Columns[] = {{"FRAM Address", 112}, {"FRAM Data", 124}, {"Instruction Comment", 484}};
constexpr int CommentColumn = 2;

const struct
{
    const char *caption;
    const char *hint;
    const char *accessibleName;
    void (MacroPage::*handler)();
    bool operation; // more than one exchange: the page control takes no input meanwhile
} Buttons[] = {
    {"Open", "Open File", "Open a macro file", &MacroPage::openMacro, false},
    {"Save", "Save Linearization Table", "Save the macros to a file", &MacroPage::saveMacro, false},
    {"Upload", "Upload Table from Meter", "Upload the macros from the meter", &MacroPage::uploadMacro, true},
    {"Download", "Download Table to Meter", "Download the macros to the meter", &MacroPage::downloadMacro, true},
    {"Stopped", "Start/Stop Macros", "", &MacroPage::toggleRunState, true},
};

} // namespace

MacroPage::MacroPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet17"), parent)
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

    auto *row = new QHBoxLayout;
    page->addLayout(row);
    for (const auto &b : Buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setAccessibleName(QString::fromLatin1(b.accessibleName));
        row->addWidget(button);
        const auto handler = b.handler;
        if (b.operation) {
            connect(button, &QPushButton::clicked, this, [this, handler]() {
                runGuardedOperation(this->context(), [this, handler]() { (this->*handler)(); });
            });
        } else {
            connect(button, &QPushButton::clicked, this,
                    [this, handler]() { runGuarded(this->context(), [this, handler]() { (this->*handler)(); }); });
        }
        if (b.handler == &MacroPage::saveMacro)
            m_save = button;
        else if (b.handler == &MacroPage::downloadMacro)
            m_download = button;
        else if (b.handler == &MacroPage::toggleRunState)
            m_run = button;
    }
    row->addStretch(1);
    m_run->setObjectName(QStringLiteral("BitBtn9"));
    setRunState(Stopped);
    m_save->setEnabled(false);
    m_download->setEnabled(false);
}

MacroImage MacroPage::image() const
{
    MacroImage image = m_image;
    image.header = m_header->toPlainText();
    for (int r = 1; r <= MacroShownRows; ++r)
        image.row(r).comment = m_grid->item(r - 1, CommentColumn)->text();
    return image;
}

void MacroPage::showImage(const MacroImage &image)
{
    m_image = image;
    m_header->setPlainText(image.header);
    for (int r = 1; r <= MacroShownRows; ++r) {
        const MacroRow &row = image.row(r);
        m_grid->item(r - 1, 0)->setText(row.address);
        m_grid->item(r - 1, 1)->setText(row.data);
        m_grid->item(r - 1, CommentColumn)->setText(row.comment);
    }
}

QString MacroPage::runState() const
{
    return m_run->text();
}

void MacroPage::setRunState(const QString &caption)
{
    m_run->setText(caption);
    m_run->setAccessibleName(QStringLiteral("Start or stop the macros, now %1").arg(caption.toLower()));
}

void MacroPage::enableTransfers()
{
    m_save->setEnabled(true);
    m_download->setEnabled(true);
}

void MacroPage::enter(const PageEntry &)
{
    const int value = convert::toInt(context().exchange->comms(readCommand(RunStateRegister)).value);
    setRunState(value & MacroStoppedBit ? Stopped : Running);
}

void MacroPage::uploadMacro()
{
    // Read into a copy: an upload that fails half-way leaves the page as it was.
    MacroImage uploaded = image();
    uploaded.header.clear();
    for (int k = 0; k < MacroReadWords; ++k) {
        const QString value = context().exchange->comms(readCommand(MacroFirstRegister + k)).value;
        putMacroWord(uploaded, k, convert::toInt(value));
    }
    showImage(uploaded);
    enableTransfers();
}

void MacroPage::downloadMacro()
{
    // The whole image is checked before the first write: register 513 is
    // cleared first and written last, so a failure in between would leave
    // the meter without its macro.
    const auto words = macroWords(image());
    CommandExchange &exchange = *context().exchange;
    exchange.comms(writeCommand(MacroFirstRegister, QStringLiteral("00")));
    for (int k = 1; k < MacroWrittenWords; ++k)
        exchange.comms(writeCommand(MacroFirstRegister + k, qint64(words[std::size_t(k)])));
    exchange.comms(writeCommand(MacroFirstRegister, qint64(words[0])));
}

void MacroPage::toggleRunState()
{
    const int value = convert::toInt(context().exchange->comms(readCommand(RunStateRegister)).value);
    // The caption decides, not the value just read.
    const bool stop = runState() == Running;
    setRunState(stop ? Stopped : Running);
    context().exchange->comms(writeCommand(RunStateRegister, qint64(macroRunValue(value, stop))));
}

void MacroPage::saveMacro()
{
    const std::optional<QString> name = context().prompts->saveFileName(saveQuestion());
    if (name && !writeFile(*name, writeMacro(image())))
        context().prompts->fileError(writeErrorText());
}

void MacroPage::openMacro()
{
    if (const std::optional<QString> name = context().prompts->openFileName(openQuestion())) {
        if (const std::optional<QByteArray> bytes = readFile(*name)) {
            MacroImage opened = image();
            readMacro(*bytes, opened);
            showImage(opened);
        } else {
            context().prompts->fileError(readErrorText());
        }
    }
    enableTransfers();
}
