#include "setpointpage.h"

#include "delayedit.h"
#include "pages/inputconventions.h"
#include "pages/metersetup.h"
#include "setpointglyphs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

using namespace setpointcodec;
using Delay = SetpointModel::Delay;

namespace {

// The columns of a row, left to right.
enum class Column {
    Value,
    Energise,
    Source,
    Mode,
    PlusMinus,
    Counts,
    DelayType,
    MakeDelay,
    BreakDelay,
    Latch,
    ManualOverride,
    ResetDelay,
    DisplayFlash
};

// One row's description: each column's heading (spanning `span` grid
// columns), the composed object name (prefix + row number + offset) and what
// the control is called after "Setpoint n" (for a register's column, the
// model's name of the register).
struct ColumnInfo
{
    Column column;
    const char *heading;
    int span;
    const char *prefix;
    int offset;
    const char *what;
};

const ColumnInfo Columns[] = {
    {Column::Value, "Value", 1, "Edit13", 0, nullptr},
    {Column::Energise, "Energised", 1, "SpeedButton", 0, "energise"},
    {Column::Source, "Source", 1, "ComboBox", 0, "source"},
    {Column::Mode, "Mode", 1, "SpeedButton", 10, "mode"},
    {Column::PlusMinus, nullptr, 1, nullptr, 0, nullptr},
    {Column::Counts, "Counts", 1, "EditH", 0, nullptr},
    {Column::DelayType, "Delay Type", 1, "ComboBox", 6, "delay type"},
    {Column::MakeDelay, "Delay (Hrs:Min:Sec) ", 2, "EditMD", 0, nullptr},
    {Column::BreakDelay, nullptr, 1, "EditBD", 0, nullptr},
    {Column::Latch, "Relay Latching on", 1, "CBL", 0, "relay latching"},
    {Column::ManualOverride, "Manual Relay Overide", 1, "CB", 4, "manual relay override"},
    {Column::ResetDelay, "Reset Delay", 1, "CB", 8, "reset delay"},
    {Column::DisplayFlash, "Display Flash", 1, "CBF", 0, "display flash"},
};

// The register a column without words of its own shows.
ReadField registerOf(Column column)
{
    return column == Column::Value       ? ReadField::Value
           : column == Column::Counts    ? ReadField::Counts
           : column == Column::MakeDelay ? ReadField::MakeDelay
                                         : ReadField::BreakDelay;
}

// Hover hint, also given to assistive technology.
void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setAccessibleDescription(hint);
}

// A column heading that wraps; it takes the row height the grid gives it
// below, not one worked out from its width.
QLabel *columnHeading(const QString &text, QWidget *parent)
{
    auto *heading = new QLabel(text, parent);
    heading->setWordWrap(true);
    QSizePolicy fixedRows = heading->sizePolicy();
    fixedRows.setHeightForWidth(false);
    heading->setSizePolicy(fixedRows);
    return heading;
}

// The program's own updates: they fire no handler, and a field keeps its
// cursor while its text is what the model holds.
void showText(QLineEdit *edit, const QString &text)
{
    const auto *delay = qobject_cast<const DelayEdit *>(edit);
    if ((delay ? delay->delayText() : edit->text()) == text)
        return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

void showChecked(QAbstractButton *button, bool checked)
{
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

void selectItem(QComboBox *box, int index)
{
    if (box->currentIndex() == index)
        return;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

// An editable selector's text: the item it names, or typed text.
void showSelectorText(QComboBox *box, const QString &text)
{
    if (box->currentText() == text)
        return;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(box->findText(text));
    box->setEditText(text);
}

} // namespace

SetpointPage::SetpointPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet13"), parent),
      m_model(*context.setup->model<SetpointModel>(PageId::Setpoints))
{
    auto *page = new QVBoxLayout(this);
    page->addLayout(buildTop());
    m_rowArea = new QWidget(this);
    auto *grid = new QGridLayout(m_rowArea);
    buildRows(grid);
    page->addWidget(m_rowArea);
    page->addStretch();

    // The glyph holders: never shown, the rows copy their glyphs.
    m_hysteresisGlyphs = new QToolButton(this);
    m_hysteresisGlyphs->setObjectName(QStringLiteral("SpeedButton17"));
    m_hysteresisGlyphs->setIcon(setpointglyphs::hysteresisEnergiseGlyph());
    m_hysteresisGlyphs->hide();
    m_bandGlyphs = new QToolButton(this);
    m_bandGlyphs->setObjectName(QStringLiteral("SpeedButton18"));
    m_bandGlyphs->setIcon(setpointglyphs::bandEnergiseGlyph());
    m_bandGlyphs->hide();

    for (int n = 1; n <= SetpointModel::Rows; ++n)
        showRow(n);
    showRun();
    connect(&m_model, &SetpointModel::rowChanged, this, &SetpointPage::showRow);
    connect(&m_model, &PageModel::changed, this, &SetpointPage::showRun);
    connect(&m_model, &SetpointModel::progressChanged, m_progress, &QProgressBar::setValue);
}

QLayout *SetpointPage::buildTop()
{
    auto *top = new QHBoxLayout;
    QLabel *heading = addHeading(this, QStringLiteral("Setpoint Control"));
    top->addWidget(heading);

    m_progressStrip = new QFrame(this);
    m_progressStrip->setObjectName(QStringLiteral("Panel9"));
    m_progressStrip->setFrameShape(QFrame::StyledPanel);
    auto *strip = new QHBoxLayout(m_progressStrip);
    m_progress = new QProgressBar(m_progressStrip);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, SetpointModel::ProgressEnd);
    m_progress->setAccessibleName(QStringLiteral("Setpoint transfer progress"));
    strip->addWidget(m_progress);
    // Keeps its place in the layout while hidden, so nothing moves.
    QSizePolicy keepPlace = m_progressStrip->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progressStrip->setSizePolicy(keepPlace);
    m_progressStrip->hide();
    top->addWidget(m_progressStrip, 1);

    m_setControls = new QPushButton(QStringLiteral("Set Controls"), this);
    m_setControls->setObjectName(QStringLiteral("Button14"));
    m_setControls->setAccessibleDescription(
        QStringLiteral("Writes all six setpoints to the meter and reads them back"));
    connect(m_setControls, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { m_model.sendRows(); }); });
    top->addWidget(m_setControls);
    return top;
}

void SetpointPage::buildRows(QGridLayout *grid)
{
    // Grid column 0 holds the row numbers; the columns follow in order.
    int gridColumn = 1;
    for (const ColumnInfo &column : Columns) {
        if (column.heading) {
            QLabel *heading = columnHeading(QString::fromLatin1(column.heading), m_rowArea);
            heading->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            grid->addWidget(heading, 0, gridColumn, 1, column.span);
        }
        ++gridColumn;
    }
    // Room for headings that wrap onto three lines.
    grid->setRowMinimumHeight(0, 3 * fontMetrics().lineSpacing() + 4);
    for (int n = 1; n <= SetpointModel::Rows; ++n) {
        // Rows 5 and 6 sit below their own heading in the latch column.
        const int gridRow = n <= LatchRows ? n : n + 1;
        buildRow(grid, gridRow, n);
    }
    if (InputConventions *conventions = context().conventions) {
        for (const Row &r : m_rows) {
            for (QLineEdit *edit : {r.value, r.counts}) {
                conventions->bindEnterAsTab(edit);
                conventions->bindHighlight(edit);
            }
        }
    }
    QLabel *resetHeading = columnHeading(QStringLiteral("Reset on Setpoint"), m_rowArea);
    resetHeading->setMinimumHeight(2 * fontMetrics().lineSpacing() + 2);
    grid->addWidget(resetHeading, LatchRows + 1, 1 + int(Column::Latch));
    setHint(row(1).counts, QStringLiteral("Counts above/below setpoint Mode is active"));
}

void SetpointPage::buildRow(QGridLayout *grid, int gridRow, int n)
{
    Row &r = row(n);
    auto *number = new QLabel(QString::number(n), m_rowArea);
    grid->addWidget(number, gridRow, 0);

    int gridColumn = 1;
    for (const ColumnInfo &column : Columns) {
        const int place = gridColumn++;
        QWidget *widget = nullptr;
        switch (column.column) {
        case Column::Value: {
            r.value = new QLineEdit(m_rowArea);
            QFont large = r.value->font();
            if (large.pointSizeF() > 0)
                large.setPointSizeF(large.pointSizeF() * 1.5);
            else
                large.setPixelSize(large.pixelSize() * 3 / 2);
            r.value->setFont(large);
            number->setBuddy(r.value);
            connect(r.value, &QLineEdit::textChanged, this, [this, n](const QString &t) { m_model.setValue(n, t); });
            widget = r.value;
            break;
        }
        case Column::Energise:
            r.energise = new QToolButton(m_rowArea);
            r.energise->setCheckable(true);
            r.energise->setIconSize(QSize(setpointglyphs::Size, setpointglyphs::Size));
            connect(r.energise, &QToolButton::toggled, this, [this, n](bool on) { m_model.setEnergised(n, on); });
            widget = r.energise;
            break;
        case Column::Source:
            r.source = new QComboBox(m_rowArea);
            r.source->addItems(SetpointModel::sourceItems(n));
            connect(r.source, &QComboBox::currentIndexChanged, this, [this, n](int i) { m_model.setSource(n, i); });
            widget = r.source;
            break;
        case Column::Mode:
            r.mode = new QToolButton(m_rowArea);
            r.mode->setCheckable(true);
            r.mode->setIcon(setpointglyphs::modeGlyph());
            r.mode->setIconSize(QSize(setpointglyphs::Size, setpointglyphs::Size));
            // Pressed is hysteresis mode, released band mode.
            connect(r.mode, &QToolButton::toggled, this, [this, n](bool on) { m_model.setBandMode(n, !on); });
            widget = r.mode;
            break;
        case Column::PlusMinus: {
            // A bold underlined "+" that reads as a plus-minus sign.
            auto *sign = new QLabel(QStringLiteral("+"), m_rowArea);
            QFont font = sign->font();
            font.setBold(true);
            font.setUnderline(true);
            sign->setFont(font);
            grid->addWidget(sign, gridRow, place);
            continue;
        }
        case Column::Counts:
            r.counts = new QLineEdit(m_rowArea);
            connect(r.counts, &QLineEdit::textChanged, this, [this, n](const QString &t) { m_model.setCounts(n, t); });
            widget = r.counts;
            break;
        case Column::DelayType:
            r.delayType = new QComboBox(m_rowArea);
            r.delayType->addItems(SetpointModel::delayTypeItems());
            connect(r.delayType, &QComboBox::currentIndexChanged, this,
                    [this, n](int i) { m_model.setDelayType(n, i); });
            widget = r.delayType;
            break;
        case Column::MakeDelay:
        case Column::BreakDelay: {
            const Delay delay = column.column == Column::MakeDelay ? Delay::Make : Delay::Break;
            auto *edit = new DelayEdit(context().prompts, m_rowArea);
            r.delays[std::size_t(delay)] = edit;
            connect(edit, &QLineEdit::textChanged, this,
                    [this, n, delay, edit]() { m_model.setDelayText(n, delay, edit->delayText()); });
            connect(edit, &DelayEdit::left, this, [this, n, delay]() { m_model.limitDelay(n, delay); });
            widget = edit;
            break;
        }
        case Column::Latch:
            r.latch = new QComboBox(m_rowArea);
            if (n <= LatchRows) {
                // The latch may also be typed.
                r.latch->setEditable(true);
                r.latch->setInsertPolicy(QComboBox::NoInsert);
                r.latch->addItems(SetpointModel::latchItems());
                connect(r.latch, &QComboBox::currentTextChanged, this,
                        [this, n](const QString &t) { m_model.setLatchText(n, t); });
            } else {
                r.latch->addItems(SetpointModel::resetOnSetpointItems());
                connect(r.latch, &QComboBox::currentIndexChanged, this,
                        [this, n](int i) { m_model.setResetOnSetpoint(n, i); });
            }
            widget = r.latch;
            break;
        case Column::ManualOverride:
            if (n > LatchRows)
                continue;
            r.manualOverride = new QCheckBox(m_rowArea);
            connect(r.manualOverride, &QCheckBox::toggled, this,
                    [this, n](bool on) { m_model.setManualOverride(n, on); });
            widget = r.manualOverride;
            break;
        case Column::ResetDelay:
            r.resetDelay = new QCheckBox(m_rowArea);
            connect(r.resetDelay, &QCheckBox::toggled, this, [this, n](bool on) { m_model.setResetDelay(n, on); });
            widget = r.resetDelay;
            break;
        case Column::DisplayFlash:
            r.displayFlash = new QCheckBox(m_rowArea);
            connect(r.displayFlash, &QCheckBox::toggled, this, [this, n](bool on) { m_model.setDisplayFlash(n, on); });
            widget = r.displayFlash;
            break;
        }
        const char *what = column.column == Column::Latch && n > LatchRows ? "reset on setpoint" : column.what;
        widget->setObjectName(QString::fromLatin1(column.prefix) + QString::number(n + column.offset));
        widget->setAccessibleName(what ? QStringLiteral("Setpoint %1 %2").arg(n).arg(QLatin1String(what))
                                       : SetpointModel::settingName(n, registerOf(column.column)));
        grid->addWidget(widget, gridRow, place);
    }
}

void SetpointPage::showRow(int n)
{
    Row &r = row(n);
    const RowState &state = m_model.row(n);
    showText(r.value, state.value);
    showText(r.counts, state.counts);
    showText(r.delays[0], state.makeDelay);
    showText(r.delays[1], state.breakDelay);
    showChecked(r.energise, state.energisePressed);
    showChecked(r.mode, !state.band);
    showChecked(r.resetDelay, state.resetDelay);
    showChecked(r.displayFlash, state.flash);
    selectItem(r.delayType, state.delayType);
    selectItem(r.source, state.source);
    const SetpointModel::Presentation look = m_model.presentation(n);
    if (r.manualOverride) {
        showSelectorText(r.latch, m_model.latchText(n));
        showChecked(r.manualOverride, state.manualOverride);
        r.manualOverride->setEnabled(look.manualOverrideEnabled);
    } else {
        selectItem(r.latch, state.resetOnSetpoint);
    }
    setHint(r.mode, look.modeHint);
    const QToolButton *glyphs = look.energiseGlyph == SetpointModel::Glyph::Band ? m_bandGlyphs : m_hysteresisGlyphs;
    r.energise->setIcon(look.energiseGlyph == SetpointModel::Glyph::None ? QIcon() : glyphs->icon());
    setHint(r.energise, look.energiseHint);
    setHint(r.delays[0], look.makeDelayHint);
    setHint(r.delays[1], look.breakDelayHint);
}

void SetpointPage::showRun()
{
    m_rowArea->setEnabled(!m_model.isRunning());
    m_setControls->setEnabled(m_model.canSendRows());
    m_progressStrip->setVisible(m_model.isRunning());
    m_progress->setValue(m_model.progress());
}

void SetpointPage::enter(const PageEntry &)
{
    m_model.readRows();
}
