#include "linemonitorwindow.h"

#include "linemonitormodel.h"

#include "pages/monitor/linelog.h"
#include "pages/tables/tablefiles.h"

#include <QAction>
#include <QCache>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Draws a cell's text as laid out once: the texts of a log repeat (line
// settings, commands, labels), and each refresh repaints every row shown,
// so laying text out again for each would cost the most of a refresh.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
        else if (option.features & QStyleOptionViewItem::Alternate)
            painter->fillRect(option.rect, option.palette.brush(QPalette::AlternateBase));
        const QString text = index.data().toString();
        if (text.isEmpty())
            return;
        const QVariant font = index.data(Qt::FontRole);
        const QString key = QString::number(font.isValid()) + text;
        QStaticText *laidOut = m_texts.object(key);
        if (!laidOut) {
            laidOut = new QStaticText(text);
            laidOut->setTextFormat(Qt::PlainText);
            laidOut->prepare(QTransform(), font.isValid() ? font.value<QFont>() : option.font);
            m_texts.insert(key, laidOut);
        }
        const QRect cell = option.rect.adjusted(Margin, 0, -Margin, 0);
        const QSizeF size = laidOut->size();
        const bool right = index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight;
        const QPointF at(right ? cell.right() + 1 - size.width() : cell.left(),
                         cell.top() + (cell.height() - size.height()) / 2);
        painter->save();
        painter->setClipRect(cell);
        painter->setFont(font.isValid() ? font.value<QFont>() : option.font);
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawStaticText(at, *laidOut);
        painter->restore();
    }

private:
    static constexpr int Margin = 4;
    mutable QCache<QString, QStaticText> m_texts{1000};
};

} // namespace

const Prompts::FileQuestion LineMonitorWindow::SaveQuestion{QStringLiteral("Save Line Monitor Log"),
                                                            QStringLiteral("Text|*.txt"), QStringLiteral("txt")};

LineMonitorWindow::LineMonitorWindow(LineLog &log, const QList<SettingRegister> &registers, Prompts *prompts,
                                     Clock &clock, QWidget *parent)
    : QWidget(parent, Qt::Window), m_log(log), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Line Monitor"));
    setObjectName(QStringLiteral("LineMonitor"));
    m_model = new LineMonitorModel(log, LineText(registers), clock, this);

    auto *hidePoll = new QCheckBox(QStringLiteral("&Hide poll reads"), this);
    hidePoll->setObjectName(QStringLiteral("HidePollReads"));
    hidePoll->setAccessibleName(QStringLiteral("Hide poll reads"));
    connect(hidePoll, &QCheckBox::toggled, m_model, &LineMonitorModel::setPollReadsHidden);

    auto *search = new QLineEdit(this);
    search->setObjectName(QStringLiteral("Search"));
    search->setAccessibleName(QStringLiteral("Search"));
    search->setPlaceholderText(QStringLiteral("Search"));
    search->setClearButtonEnabled(true);
    connect(search, &QLineEdit::textChanged, m_model, &LineMonitorModel::setSearchText);

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        return b;
    };
    QPushButton *pause = button(QStringLiteral("&Pause"), "Pause");
    pause->setCheckable(true);
    connect(pause, &QPushButton::toggled, this, [this](bool paused) {
        m_model->setPaused(paused);
        showCounts();
    });
    QPushButton *clear = button(QStringLiteral("C&lear"), "Clear");
    connect(clear, &QPushButton::clicked, &m_log, &LineLog::clear);
    QPushButton *copy = button(QStringLiteral("&Copy"), "Copy");
    connect(copy, &QPushButton::clicked, this, &LineMonitorWindow::copyRows);
    QPushButton *save = button(QStringLiteral("&Save..."), "Save");
    connect(save, &QPushButton::clicked, this, &LineMonitorWindow::saveLog);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("Lines"));
    m_table->setAccessibleName(QStringLiteral("Line events"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    m_table->setAlternatingRowColors(true);
    m_table->setItemDelegate(new CellDelegate(m_table));
    m_table->verticalHeader()->hide();
    // Rows of one height need no measuring: the view stays quick at any length.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {70, 80, 120, 110, 60, 170};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_table->setColumnWidth(c, widths[c]);
    auto *copyKey = new QAction(m_table);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetShortcut);
    connect(copyKey, &QAction::triggered, this, &LineMonitorWindow::copyRows);
    m_table->addAction(copyKey);

    // Follow the end, unless the operator has scrolled away from it.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this]() {
        const QScrollBar *bar = m_table->verticalScrollBar();
        m_atEnd = bar->value() == bar->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this]() {
        if (m_atEnd)
            m_table->scrollToBottom();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this]() {
        m_table->scrollToBottom();
        showCounts();
    });
    connect(m_model, &LineMonitorModel::refreshed, this, &LineMonitorWindow::showCounts);

    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("Counts"));

    auto *controls = new QHBoxLayout;
    controls->addWidget(hidePoll);
    controls->addWidget(search, 1);
    for (QPushButton *b : {pause, clear, copy, save})
        controls->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_counts);
    resize(960, 420);
}

void LineMonitorWindow::showEvent(QShowEvent *event)
{
    m_model->setLive(true);
    QWidget::showEvent(event);
}

void LineMonitorWindow::hideEvent(QHideEvent *event)
{
    // Closed, the monitor formats nothing.
    m_model->setLive(false);
    QWidget::hideEvent(event);
}

void LineMonitorWindow::showCounts()
{
    QString text = QStringLiteral("%1 rows shown, %2 recorded").arg(m_model->rowCount()).arg(m_log.size());
    if (m_log.droppedCount() > 0)
        text += QStringLiteral(", %1 older dropped").arg(m_log.droppedCount());
    if (m_model->isPaused())
        text += QStringLiteral("; paused, %1 new").arg(m_model->pendingCount());
    m_counts->setText(text);
}

void LineMonitorWindow::copyRows()
{
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows) {
        if (const QString line = m_model->line(row); !line.isEmpty())
            text += line + QLatin1Char('\n');
    }
    QGuiApplication::clipboard()->setText(text);
}

void LineMonitorWindow::saveLog()
{
    const std::optional<QString> name = m_prompts->saveFileName(SaveQuestion);
    if (!name)
        return;
    const LineText &text = m_model->lineText();
    QString lines;
    if (m_log.droppedCount() > 0)
        lines += QStringLiteral("(%1 older entries were dropped)\n").arg(m_log.droppedCount());
    for (qint64 seq = m_log.firstSeq(); seq < m_log.endSeq(); ++seq)
        lines += text.line(m_log.event(seq)) + QLatin1Char('\n');
    if (!tablefiles::writeFile(*name, lines.toUtf8()))
        m_prompts->fileError(tablefiles::writeErrorText());
}
