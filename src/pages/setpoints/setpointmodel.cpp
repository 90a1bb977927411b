#include "setpointmodel.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

#include <algorithm>

using namespace setpointcodec;

namespace {

const char *const SourceItems[] = {"Display",   "Result",    "Channel 1", "Channel 2",
                                   "Channel 3", "Channel 4", "Total",     "Sub-Total"};
// Rows 5 and 6 have their own item in place of "Channel 4".
constexpr int OwnSourceIndex = 5;
const char *const OwnSourceItem[] = {"Capture Pin", "Digital Input Module"};
const char *const DelayTypeItems[] = {"Normal", "Single Shot", "Pulse", "Repeating"};
// By latch: None, Energise, De-energise.
const char *const LatchItems[] = {"None", "Energise", "De-energise"};
const char *const ResetOnSetpointItems[] = {"No Reset",  "Totaliser", "Sub Totaliser", "Peak & Valley",
                                            "Channel 1", "Channel 2", "Channel 3"};

template<std::size_t N>
QStringList itemList(const char *const (&items)[N])
{
    QStringList list;
    for (const char *item : items)
        list << QString::fromLatin1(item);
    return list;
}

// An index the selector has an item for, else -1 (no item).
int itemIndex(int index, const QStringList &items)
{
    return index >= 0 && index < items.size() ? index : -1;
}

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

QString energiseHint(bool band, bool pressed)
{
    if (!band)
        return pressed ? QStringLiteral("Energised Above Setpoint") : QStringLiteral("Energised Below Setpoint");
    // The released band glyph has red in the middle, as the pressed
    // hysteresis glyph's arrow points to where the relay is energised.
    return pressed ? QStringLiteral("Energised Outside Band") : QStringLiteral("Energised Inside Band");
}

// A delay field's hint, with a delay the field cannot show.
QString delayHint(const char *hint, const std::optional<int> &heldSeconds)
{
    const QString text = QString::fromLatin1(hint);
    if (!heldSeconds)
        return text;
    const int seconds = *heldSeconds;
    const QString held = seconds >= 0 ? delayText(seconds) : QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 (the meter holds %2, which this field cannot show)").arg(text, held);
}

Latch latchOfText(const QString &text)
{
    if (text == QLatin1String(LatchItems[int(Latch::Energise)]))
        return Latch::Energise;
    return text == QLatin1String(LatchItems[int(Latch::DeEnergise)]) ? Latch::DeEnergise : Latch::None;
}

} // namespace

// A read-back or "Set Controls" run: the progress starts from 0 and the
// rows cannot be sent until the run ends, by whatever path.
class SetpointModel::Run
{
public:
    explicit Run(SetpointModel &model) : m_model(model)
    {
        m_model.m_running = true;
        m_model.setProgress(0);
        emit m_model.changed();
    }
    ~Run()
    {
        m_model.m_running = false;
        emit m_model.changed();
    }
    Run(const Run &) = delete;
    Run &operator=(const Run &) = delete;

private:
    SetpointModel &m_model;
};

SetpointModel::SetpointModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::Setpoints, context, parent)
{
    for (Row &r : m_rows) {
        r.state.value = QStringLiteral("0");
        r.state.counts = QStringLiteral("0");
    }
}

QStringList SetpointModel::sourceItems(int row)
{
    QStringList items = itemList(SourceItems);
    if (row > LatchRows)
        items[OwnSourceIndex] = QString::fromLatin1(OwnSourceItem[row - LatchRows - 1]);
    return items;
}

QStringList SetpointModel::delayTypeItems()
{
    return itemList(DelayTypeItems);
}

QStringList SetpointModel::latchItems()
{
    return itemList(LatchItems);
}

QStringList SetpointModel::resetOnSetpointItems()
{
    return itemList(ResetOnSetpointItems);
}

QString SetpointModel::settingName(int row, ReadField field)
{
    // By read field: value, counts, make and break delay, control bits, and
    // the code (read twice).
    const char *const words[] = {"value", "counts", "make delay", "break delay", "control bits", "code", "code"};
    return QStringLiteral("Setpoint %1 %2").arg(row).arg(QLatin1String(words[int(field)]));
}

SetpointModel::Presentation SetpointModel::presentation(int n) const
{
    const Row &r = m_rows[n - 1];
    const RowState &s = r.state;
    Presentation look;
    look.modeHint = s.band ? QStringLiteral("Bandpass Mode") : QStringLiteral("Hysteresis Mode");
    look.manualOverrideEnabled = s.latch != Latch::DeEnergise;
    if (!r.presented) {
        look.energiseHint = QStringLiteral("Energised below setpoint");
        return look;
    }
    look.energiseGlyph = s.band ? Glyph::Band : Glyph::Hysteresis;
    look.energiseHint = energiseHint(s.band, s.energisePressed);
    const DelayHints &hints = DelayHintsByType[s.delayType >= 0 ? s.delayType : Normal];
    look.makeDelayHint = delayHint(hints.make, s.heldMakeSeconds);
    look.breakDelayHint = delayHint(hints.brk, s.heldBreakSeconds);
    return look;
}

template<typename Edit>
void SetpointModel::edit(int n, Edit change)
{
    change(m_rows[n - 1]);
    emit rowChanged(n);
}

void SetpointModel::setValue(int n, const QString &text)
{
    edit(n, [&](Row &r) { r.state.value = text; });
}

void SetpointModel::setCounts(int n, const QString &text)
{
    edit(n, [&](Row &r) { r.state.counts = text; });
}

void SetpointModel::setDelayText(int n, Delay delay, const QString &text)
{
    edit(n, [&](Row &r) {
        QString &shown = delay == Delay::Make ? r.state.makeDelay : r.state.breakDelay;
        if (shown == text)
            return;
        shown = text;
        (delay == Delay::Make ? r.state.heldMakeSeconds : r.state.heldBreakSeconds).reset();
    });
}

void SetpointModel::limitDelay(int n, Delay delay)
{
    const RowState &state = row(n);
    setDelayText(n, delay, limitedDelayText(delay == Delay::Make ? state.makeDelay : state.breakDelay));
}

// The editors of mode, energise, delay type and latch shape the row as the
// read-back does.
void SetpointModel::setDelayType(int n, int index)
{
    edit(n, [&](Row &r) {
        r.state.delayType = itemIndex(index, delayTypeItems());
        r.presented = true;
    });
}

void SetpointModel::setDisplayFlash(int n, bool on)
{
    edit(n, [&](Row &r) { r.state.flash = on; });
}

void SetpointModel::setBandMode(int n, bool band)
{
    edit(n, [&](Row &r) {
        r.state.band = band;
        r.presented = true;
    });
}

void SetpointModel::setEnergised(int n, bool pressed)
{
    edit(n, [&](Row &r) {
        r.state.energisePressed = pressed;
        r.presented = true;
    });
}

void SetpointModel::setSource(int n, int index)
{
    edit(n, [&](Row &r) { r.state.source = itemIndex(index, sourceItems(n)); });
}

void SetpointModel::setLatchText(int n, const QString &text)
{
    edit(n, [&](Row &r) {
        r.latchText = text;
        r.state.latch = latchOfText(text);
        if (r.state.latch == Latch::DeEnergise)
            r.state.manualOverride = false;
        r.presented = true;
    });
}

void SetpointModel::setManualOverride(int n, bool on)
{
    edit(n, [&](Row &r) { r.state.manualOverride = on && r.state.latch != Latch::DeEnergise; });
}

void SetpointModel::setResetDelay(int n, bool on)
{
    edit(n, [&](Row &r) { r.state.resetDelay = on; });
}

void SetpointModel::setResetOnSetpoint(int n, int index)
{
    edit(n, [&](Row &r) { r.state.resetOnSetpoint = itemIndex(index, resetOnSetpointItems()); });
}

void SetpointModel::readRows()
{
    if (m_running)
        return;
    const Run run(*this);
    readBack();
}

void SetpointModel::sendRows()
{
    if (!canSendRows())
        return;
    std::array<RowState, Rows> rows;
    for (int n = 1; n <= Rows; ++n)
        rows[n - 1] = row(n);
    // Every write is composed before the first goes out, so a delay that
    // cannot be sent stops the run with nothing written.
    const QStringList writes = writeCommands(rows);

    const Run run(*this);
    // The rows no longer follow the meter until the read-back below has
    // been through every one of them.
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
        // Nothing read from now on can be trusted: the rows cannot be sent
        // until they have been read again.
        throw;
    } catch (const UserError &e) {
        // Stopped part way: say why, then read every row again so that the
        // rows hold what the meter holds.
        Prompts *prompts = context().prompts;
        if (!prompts)
            throw;
        prompts->error(e.message());
        setProgress(0);
        try {
            readBack();
        } catch (const UserError &again) {
            // The same reply stopping the read again has been reported.
            if (again.message() != e.message())
                throw;
        }
    }
}

void SetpointModel::refresh()
{
    // Rows never read completely are read when the page is entered.
    if (m_readComplete)
        readRows();
}

void SetpointModel::readBack()
{
    m_readComplete = false;
    for (const ReadStep &step : readSteps()) {
        const Reply reply = context().exchange->comms(readCommand(step.reg));
        takeRead(step, reply.value);
        emit rowChanged(step.row);
    }
    m_readComplete = true;
}

void SetpointModel::takeRead(const ReadStep &step, const QString &reply)
{
    Row &r = m_rows[step.row - 1];
    RowState &s = r.state;
    if (step.field == ReadField::Value || step.field == ReadField::Counts) {
        (step.field == ReadField::Value ? s.value : s.counts) = reply;
        advance();
        return;
    }
    const int number = convert::toInt(reply);
    advance();
    // The read-back shapes the row from its first delay on.
    r.presented = true;
    switch (step.field) {
    case ReadField::MakeDelay:
    case ReadField::BreakDelay: {
        const bool make = step.field == ReadField::MakeDelay;
        // A delay the field cannot show is kept as read until it is edited.
        std::optional<int> &held = make ? s.heldMakeSeconds : s.heldBreakSeconds;
        held = fitsDelayField(number) ? std::nullopt : std::optional<int>(number);
        (make ? s.makeDelay : s.breakDelay) = fieldDelayText(number);
        break;
    }
    case ReadField::Bits: {
        const ControlBits bits = decodeBits(number);
        s.heldDelayType = bits.delayType;
        s.delayType = itemIndex(bits.delayType, delayTypeItems());
        s.flash = bits.flash;
        s.band = bits.band;
        break;
    }
    case ReadField::CodeFront: {
        const int d1 = codeDigit(reply, 1);
        s.energisePressed = d1 % 2 == 0;
        s.resetDelay = d1 > 1;
        // Shown even when the second digit stops the read-back.
        emit rowChanged(step.row);
        const int d2 = codeDigit(reply, 2);
        s.heldSource = d2;
        s.source = itemIndex(d2, sourceItems(step.row));
        break;
    }
    case ReadField::CodeLast: {
        const int d3 = codeDigit(reply, 3);
        if (step.row > LatchRows) {
            s.heldResetOnSetpoint = d3;
            s.resetOnSetpoint = itemIndex(d3, resetOnSetpointItems());
        } else {
            const QChar c = reply.at(2);
            s.latch = latchOf(c);
            r.latchText = QString::fromLatin1(LatchItems[int(s.latch)]);
            s.manualOverride = manualOverrideOf(c);
        }
        break;
    }
    case ReadField::Value:
    case ReadField::Counts:
        break;
    }
}

void SetpointModel::advance()
{
    setProgress(std::min(m_progress + ProgressStep, ProgressEnd));
}

void SetpointModel::setProgress(int value)
{
    if (value == m_progress)
        return;
    m_progress = value;
    emit progressChanged(value);
}

QList<SettingRegister> SetpointModel::settings() const
{
    QList<SettingRegister> settings;
    // The registers in the order the read-back takes them, each once.
    for (const ReadStep &step : readSteps()) {
        if (step.field == ReadField::CodeLast)
            continue;
        SettingRegister setting;
        setting.reg = QString::number(step.reg);
        setting.page = PageId::Setpoints;
        setting.name = settingName(step.row, step.field);
        switch (step.field) {
        case ReadField::Value:
        case ReadField::Counts:
            setting.kind = SettingRegister::Kind::Text;
            setting.length = TextLength;
            break;
        case ReadField::MakeDelay:
        case ReadField::BreakDelay:
            // Whole seconds, as many as a delay field shows.
            setting.maximum = LargestFieldSeconds;
            break;
        case ReadField::Bits:
            setting.maximum = encodeBits(ControlBits{7, true, true});
            break;
        case ReadField::CodeFront:
        case ReadField::CodeLast:
            setting.kind = SettingRegister::Kind::Code;
            setting.trailingComma = step.row <= LatchRows;
            break;
        }
        settings << setting;
    }
    return settings;
}
