#include "setpointpage.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/inputconventions.h"
#include "setpointglyphs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace setpointcodec;

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
// the control is called after "Setpoint n".
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
    {Column::Value, "Value", 1, "Edit13", 0, "value"},
    {Column::Energise, "Energised", 1, "SpeedButton", 0, "energise"},
    {Column::Source, "Source", 1, "ComboBox", 0, "source"},
    {Column::Mode, "Mode", 1, "SpeedButton", 10, "mode"},
    {Column::PlusMinus, nullptr, 1, nullptr, 0, nullptr},
    {Column::Counts, "Counts", 1, "EditH", 0, "counts"},
    {Column::DelayType, "Delay Type", 1, "ComboBox", 6, "delay type"},
    {Column::MakeDelay, "Delay (Hrs:Min:Sec) ", 2, "EditMD", 0, "make delay"},
    {Column::BreakDelay, nullptr, 1, "EditBD", 0, "break delay"},
    {Column::Latch, "Relay Latching on", 1, "CBL", 0, "relay latching"},
    {Column::ManualOverride, "Manual Relay Overide", 1, "CB", 4, "manual relay override"},
    {Column::ResetDelay, "Reset Delay", 1, "CB", 8, "reset delay"},
    {Column::DisplayFlash, "Display Flash", 1, "CBF", 0, "display flash"},
};

const char *const SourceItems[] = {"Display",   "Result",    "Channel 1", "Channel 2",
                                   "Channel 3", "Channel 4", "Total",     "Sub-Total"};
// Rows 5 and 6 have their own item in place of "Channel 4".
constexpr int OwnSourceIndex = 5;
const char *const OwnSourceItem[] = {"Capture Pin", "Digital Input Module"};
const char *const DelayTypeItems[] = {"Normal", "Single Shot", "Pulse", "Repeating"};
const char *const LatchItems[] = {"None", "Energise", "De-energise"};
const char *const ResetOnSetpointItems[] = {"No Reset",  "Totaliser", "Sub Totaliser", "Peak & Valley",
                                            "Channel 1", "Channel 2", "Channel 3"};

struct DelayHints
{
    const char *make;
    const char *brk;
};
// By delay type; "Normal" also stands for no selection.
const DelayHints DelayHintsByType[] = {{"Delay on Make", "Delay on Break"},
                                       {"Delay on Make", "Minimum ON Time"},
                                       {"Delay on Make", "ON Time"},
                                       {"OFF Time", "ON Time"}};

// One optional hour digit, two required minute and second digits.
const char *const DelayMask = "0:99:99;_";
const QChar MaskBlank = QLatin1Char('_');
const char *const MaskRefusal = "Invalid input value.  Use escape key to abandon changes";
const char *const EntryTextProperty = "delayEntryText";

QString energiseHint(bool hysteresis, bool pressed)
{
    if (hysteresis)
        return pressed ? QStringLiteral("Energised Above Setpoint") : QStringLiteral("Energised Below Setpoint");
    // The released band glyph has red in the middle, as the pressed
    // hysteresis glyph's arrow points to where the relay is energised.
    return pressed ? QStringLiteral("Energised Outside Band") : QStringLiteral("Energised Inside Band");
}

// Hover hint, also given to assistive technology.
void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setAccessibleDescription(hint);
}

// A delay field's text with its blank positions as spaces, as the
// conversions take it.
QString delayFieldText(const QLineEdit *edit)
{
    QString text = edit->displayText();
    text.replace(MaskBlank, QLatin1Char(' '));
    return text;
}

void addItems(QComboBox *box, const char *const *items, int count)
{
    for (int i = 0; i < count; ++i)
        box->addItem(QString::fromLatin1(items[i]));
}

void selectItem(QComboBox *box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    if (box->currentIndex() < 0 && box->isEditable())
        box->setEditText(QString());
}

} // namespace

// A read-back or "Set Controls" run: the progress strip shows from 0 and the
// page takes no input until the run ends, by whatever path.
class SetpointPage::Run
{
public:
    explicit Run(SetpointPage *page) : m_page(page)
    {
        m_page->m_running = true;
        m_page->m_rowArea->setEnabled(false);
        m_page->m_setControls->setEnabled(false);
        m_page->m_progress->setValue(0);
        m_page->m_progressStrip->show();
    }
    ~Run()
    {
        m_page->m_progressStrip->hide();
        m_page->m_rowArea->setEnabled(true);
        m_page->m_setControls->setEnabled(m_page->m_readComplete);
        m_page->m_running = false;
    }
    Run(const Run &) = delete;
    Run &operator=(const Run &) = delete;

private:
    SetpointPage *m_page;
};

SetpointPage::SetpointPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet13"), parent)
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
    m_progress->setRange(0, ProgressEnd);
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
    // Available once a read-back has filled every row.
    m_setControls->setEnabled(false);
    connect(m_setControls, &QPushButton::clicked, this,
            [this]() { runGuardedOperation(this->context(), [this]() { sendRows(); }); });
    top->addWidget(m_setControls);
    return top;
}

void SetpointPage::buildRows(QGridLayout *grid)
{
    // Grid column 0 holds the row numbers; the columns follow in order.
    int gridColumn = 1;
    for (const ColumnInfo &column : Columns) {
        if (column.heading) {
            auto *heading = new QLabel(QString::fromLatin1(column.heading), m_rowArea);
            heading->setWordWrap(true);
            heading->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            // Wrapped headings take the row height the grid gives them below,
            // not one worked out from their width.
            QSizePolicy fixedRows = heading->sizePolicy();
            fixedRows.setHeightForWidth(false);
            heading->setSizePolicy(fixedRows);
            grid->addWidget(heading, 0, gridColumn, 1, column.span);
        }
        ++gridColumn;
    }
    // Room for headings that wrap onto three lines.
    grid->setRowMinimumHeight(0, 3 * fontMetrics().lineSpacing() + 4);
    for (int n = 1; n <= Rows; ++n) {
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
    auto *resetHeading = new QLabel(QStringLiteral("Reset on Setpoint"), m_rowArea);
    resetHeading->setWordWrap(true);
    QSizePolicy fixedRows = resetHeading->sizePolicy();
    fixedRows.setHeightForWidth(false);
    resetHeading->setSizePolicy(fixedRows);
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
            r.value = new QLineEdit(QStringLiteral("0"), m_rowArea);
            QFont large = r.value->font();
            if (large.pointSizeF() > 0)
                large.setPointSizeF(large.pointSizeF() * 1.5);
            else
                large.setPixelSize(large.pixelSize() * 3 / 2);
            r.value->setFont(large);
            number->setBuddy(r.value);
            widget = r.value;
            break;
        }
        case Column::Energise:
            r.energise = new QToolButton(m_rowArea);
            r.energise->setCheckable(true);
            r.energise->setIconSize(QSize(setpointglyphs::Size, setpointglyphs::Size));
            setHint(r.energise, QStringLiteral("Energised below setpoint"));
            connect(r.energise, &QToolButton::toggled, this, [this, n]() { presentRow(n); });
            widget = r.energise;
            break;
        case Column::Source:
            r.source = new QComboBox(m_rowArea);
            addItems(r.source, SourceItems, std::size(SourceItems));
            if (n > LatchRows)
                r.source->setItemText(OwnSourceIndex, QString::fromLatin1(OwnSourceItem[n - LatchRows - 1]));
            r.source->setCurrentIndex(-1);
            widget = r.source;
            break;
        case Column::Mode:
            r.mode = new QToolButton(m_rowArea);
            r.mode->setCheckable(true);
            r.mode->setChecked(true);
            r.mode->setIcon(setpointglyphs::modeGlyph());
            r.mode->setIconSize(QSize(setpointglyphs::Size, setpointglyphs::Size));
            setHint(r.mode, QStringLiteral("Hysteresis Mode"));
            connect(r.mode, &QToolButton::toggled, this, [this, n]() { presentRow(n); });
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
            r.counts = new QLineEdit(QStringLiteral("0"), m_rowArea);
            widget = r.counts;
            break;
        case Column::DelayType:
            r.delayType = new QComboBox(m_rowArea);
            addItems(r.delayType, DelayTypeItems, std::size(DelayTypeItems));
            r.delayType->setCurrentIndex(-1);
            connect(r.delayType, &QComboBox::currentIndexChanged, this, [this, n]() { presentRow(n); });
            widget = r.delayType;
            break;
        case Column::MakeDelay:
        case Column::BreakDelay: {
            DelayField &field = column.column == Column::MakeDelay ? r.makeDelay : r.breakDelay;
            field.edit = new QLineEdit(m_rowArea);
            field.edit->setInputMask(QString::fromLatin1(DelayMask));
            field.edit->setText(blankDelayText());
            // Wide enough for "9:59:59" whole.
            field.edit->setMinimumWidth(field.edit->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00")) + 14);
            bindDelayField(n, field);
            widget = field.edit;
            break;
        }
        case Column::Latch:
            r.latch = new QComboBox(m_rowArea);
            if (n <= LatchRows) {
                // The latch may also be typed.
                r.latch->setEditable(true);
                r.latch->setInsertPolicy(QComboBox::NoInsert);
                addItems(r.latch, LatchItems, std::size(LatchItems));
                selectItem(r.latch, -1);
                connect(r.latch, &QComboBox::currentTextChanged, this, [this, n]() { presentRow(n); });
            } else {
                addItems(r.latch, ResetOnSetpointItems, std::size(ResetOnSetpointItems));
                r.latch->setCurrentIndex(-1);
            }
            widget = r.latch;
            break;
        case Column::ManualOverride:
            if (n > LatchRows)
                continue;
            r.manualOverride = new QCheckBox(m_rowArea);
            widget = r.manualOverride;
            break;
        case Column::ResetDelay:
            r.resetDelay = new QCheckBox(m_rowArea);
            widget = r.resetDelay;
            break;
        case Column::DisplayFlash:
            r.displayFlash = new QCheckBox(m_rowArea);
            widget = r.displayFlash;
            break;
        }
        const char *what = column.what;
        if (column.column == Column::Latch && n > LatchRows)
            what = "reset on setpoint";
        widget->setObjectName(QString::fromLatin1(column.prefix) + QString::number(n + column.offset));
        widget->setAccessibleName(QStringLiteral("Setpoint %1 %2").arg(n).arg(QString::fromLatin1(what)));
        grid->addWidget(widget, gridRow, place);
    }
}

void SetpointPage::bindDelayField(int n, DelayField &field)
{
    field.edit->installEventFilter(this);
    // Typing replaces a delay the field could not show.
    connect(field.edit, &QLineEdit::textEdited, this, [this, n, &field]() {
        if (field.heldSeconds) {
            field.heldSeconds.reset();
            presentRow(n);
        }
    });
}

SetpointPage::DelayField *SetpointPage::delayFieldOf(QLineEdit *edit)
{
    for (Row &r : m_rows) {
        if (r.makeDelay.edit == edit)
            return &r.makeDelay;
        if (r.breakDelay.edit == edit)
            return &r.breakDelay;
    }
    return nullptr;
}

bool SetpointPage::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || !delayFieldOf(edit))
        return Page::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Escape goes back to the text the field had when the edit began.
        if (!edit->isModified())
            edit->setProperty(EntryTextProperty, edit->text());
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && edit->isModified()) {
            edit->setText(edit->property(EntryTextProperty).toString());
            return true;
        }
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Only a move to another control leaves the field; a dialog or a
        // menu taking the focus for a while does not.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || !edit->isModified())
            break;
        if (!edit->hasAcceptableInput()) {
            // Refused: the focus comes back until the digits are complete or
            // Escape abandons the edit.
            QTimer::singleShot(0, edit, [edit]() { edit->setFocus(Qt::OtherFocusReason); });
            if (auto *prompts = context().prompts)
                prompts->error(QString::fromLatin1(MaskRefusal));
        } else {
            limitDelay(edit);
        }
        break;
    }
    default:
        break;
    }
    return Page::eventFilter(watched, event);
}

void SetpointPage::presentRow(int n)
{
    Row &r = row(n);
    const bool hysteresis = r.mode->isChecked();
    setHint(r.mode, hysteresis ? QStringLiteral("Hysteresis Mode") : QStringLiteral("Bandpass Mode"));
    r.energise->setIcon((hysteresis ? m_hysteresisGlyphs : m_bandGlyphs)->icon());
    setHint(r.energise, energiseHint(hysteresis, r.energise->isChecked()));

    const int type = r.delayType->currentIndex();
    const DelayHints &hints = DelayHintsByType[type >= 0 && type < int(std::size(DelayHintsByType)) ? type : Normal];
    setHint(r.makeDelay.edit, delayHint(r.makeDelay, hints.make));
    setHint(r.breakDelay.edit, delayHint(r.breakDelay, hints.brk));

    if (r.manualOverride) {
        const bool deEnergise = r.latch->currentText() == QLatin1String(LatchItems[2]);
        if (deEnergise)
            r.manualOverride->setChecked(false);
        r.manualOverride->setEnabled(!deEnergise);
    }
}

QString SetpointPage::delayHint(const DelayField &field, const char *hint) const
{
    const QString text = QString::fromLatin1(hint);
    if (!field.heldSeconds)
        return text;
    const int seconds = *field.heldSeconds;
    const QString held = seconds >= 0 ? delayText(seconds) : QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 (the meter holds %2, which this field cannot show)").arg(text, held);
}

void SetpointPage::limitDelay(QLineEdit *field)
{
    const QString text = delayFieldText(field);
    const QString valid = limitedDelayText(text);
    if (valid != text)
        field->setText(valid);
}

void SetpointPage::enter(const PageEntry &)
{
    readRows();
}

void SetpointPage::readRows()
{
    const Run run(this);
    readBack();
}

void SetpointPage::sendRows()
{
    std::array<RowState, Rows> rows;
    for (int n = 1; n <= Rows; ++n)
        rows[n - 1] = rowState(n);
    // Every write is composed before the first goes out, so a field that
    // cannot be sent stops the run with nothing written.
    const QStringList writes = writeCommands(rows);

    const Run run(this);
    // What the page shows no longer follows the meter until the read-back
    // below has been through every row.
    m_readComplete = false;
    try {
        constexpr int RowWrites = 4 * Rows;
        for (int i = 0; i < writes.size(); ++i) {
            context().exchange->comms(writes.at(i));
            // Each row's four writes, then the codes of rows 1-4, then rows 5-6.
            if (i < RowWrites || i == RowWrites + 2 * LatchRows - 1 || i == writes.size() - 1)
                advance();
        }
        readBack();
    } catch (const RepliesOutOfStep &) {
        // Nothing read from now on can be trusted: "Set Controls" stays
        // unavailable until the page has been read again.
        throw;
    } catch (const UserError &e) {
        // Stopped part way: say why, then read every row again so the page
        // shows what the meter holds.
        Prompts *prompts = context().prompts;
        if (!prompts)
            throw;
        prompts->error(e.message());
        m_progress->setValue(0);
        try {
            readBack();
        } catch (const UserError &again) {
            // The same reply stopping the read again has been reported.
            if (again.message() != e.message())
                throw;
        }
    }
}

void SetpointPage::readBack()
{
    m_readComplete = false;
    for (const ReadStep &step : readSteps()) {
        const Reply reply = context().exchange->comms(readCommand(step.reg));
        takeRead(step, reply.value);
    }
    m_readComplete = true;
}

void SetpointPage::takeRead(const ReadStep &step, const QString &reply)
{
    Row &r = row(step.row);
    if (step.field == ReadField::Value || step.field == ReadField::Counts) {
        (step.field == ReadField::Value ? r.value : r.counts)->setText(reply);
        advance();
        return;
    }
    const int number = convert::toInt(reply);
    advance();
    switch (step.field) {
    case ReadField::MakeDelay:
        showDelay(r.makeDelay, number);
        presentRow(step.row);
        break;
    case ReadField::BreakDelay:
        showDelay(r.breakDelay, number);
        presentRow(step.row);
        break;
    case ReadField::Bits: {
        const ControlBits bits = decodeBits(number);
        r.heldDelayType = bits.delayType;
        selectItem(r.delayType, bits.delayType);
        r.displayFlash->setChecked(bits.flash);
        const QSignalBlocker blocker(r.mode);
        r.mode->setChecked(!bits.band);
        presentRow(step.row);
        break;
    }
    case ReadField::CodeFront: {
        const int d1 = codeDigit(reply, 1);
        const QSignalBlocker blocker(r.energise);
        r.energise->setChecked(d1 % 2 == 0);
        r.resetDelay->setChecked(d1 > 1);
        presentRow(step.row);
        const int d2 = codeDigit(reply, 2);
        r.heldSource = d2;
        selectItem(r.source, d2);
        break;
    }
    case ReadField::CodeLast: {
        const int d3 = codeDigit(reply, 3);
        if (step.row > LatchRows) {
            r.heldResetOnSetpoint = d3;
            selectItem(r.latch, d3);
        } else {
            const QChar c = reply.at(2);
            selectItem(r.latch, int(latchOf(c)));
            r.manualOverride->setChecked(manualOverrideOf(c));
        }
        presentRow(step.row);
        break;
    }
    case ReadField::Value:
    case ReadField::Counts:
        break;
    }
}

void SetpointPage::showDelay(DelayField &field, int seconds)
{
    if (fitsDelayField(seconds))
        field.heldSeconds.reset();
    else
        field.heldSeconds = seconds;
    field.edit->setText(fieldDelayText(seconds));
}

void SetpointPage::advance()
{
    m_progress->setValue(std::min(m_progress->value() + ProgressStep, ProgressEnd));
}

RowState SetpointPage::rowState(int n) const
{
    const Row &r = row(n);
    RowState state;
    state.value = r.value->text();
    state.counts = r.counts->text();
    state.makeDelay = delayFieldText(r.makeDelay.edit);
    state.breakDelay = delayFieldText(r.breakDelay.edit);
    state.heldMakeSeconds = r.makeDelay.heldSeconds;
    state.heldBreakSeconds = r.breakDelay.heldSeconds;
    state.delayType = r.delayType->currentIndex();
    state.heldDelayType = r.heldDelayType;
    state.flash = r.displayFlash->isChecked();
    state.band = !r.mode->isChecked();
    state.energisePressed = r.energise->isChecked();
    state.resetDelay = r.resetDelay->isChecked();
    state.source = r.source->currentIndex();
    state.heldSource = r.heldSource;
    if (n <= LatchRows) {
        const QString latch = r.latch->currentText();
        state.latch = latch == QLatin1String(LatchItems[1])   ? Latch::Energise
                      : latch == QLatin1String(LatchItems[2]) ? Latch::DeEnergise
                                                              : Latch::None;
        state.manualOverride = r.manualOverride->isChecked();
    } else {
        state.resetOnSetpoint = r.latch->currentIndex();
        state.heldResetOnSetpoint = r.heldResetOnSetpoint;
    }
    return state;
}
