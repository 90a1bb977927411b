#include "codemodel.h"

#include "coderules.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/metersetup.h"

#include <QScopeGuard>

namespace {

using Names = std::array<const char *, CodeModel::Groups>;
constexpr Names Unnamed = {nullptr, nullptr, nullptr};

const CodeModel::Info Codes[] = {
    {0,
     129,
     PageId::Calibration,
     "Calibration Modes for Input and Output",
     "CalibrationSendButton",
     {"CalibrationGroup1", "CalibrationGroup2", "CalibrationGroup3"},
     Unnamed,
     false},
    {1, 130, PageId::Code1, "Display setup", "Button4", {"GroupBox11", "GroupBox12", "GroupBox13"}, Unnamed, true},
    {2, 131, PageId::Code2, "Totalisator", "Button3", {"GroupBox21", "GroupBox22", "GroupBox23"}, Unnamed, true},
    {3,
     132,
     PageId::Code3,
     "Serial Mode & Analogue Output Source",
     "Button5",
     {"GroupBox31", "GroupBox32", "GroupBox33"},
     Unnamed,
     true},
    {4,
     133,
     PageId::Code4,
     "Channel 1 Measurement Type & Sampling Rate",
     "Button6",
     {"GroupBox41", "GroupBox42", "GroupBox43"},
     {nullptr, nullptr, "Label30"},
     true},
    {5,
     134,
     PageId::Code5,
     "Channel 1 Processing",
     "Button7",
     {"GroupBox51", "GroupBox52", "GroupBox53"},
     Unnamed,
     true},
    {6,
     135,
     PageId::Code6,
     "Channel 2 Measurement Type & Sampling Rate",
     "Button8",
     {"GroupBox61", "GroupBox62", "GroupBox63"},
     {nullptr, "Label37", nullptr},
     true},
    {7, 136, PageId::Code7, "Result Processing", "Button9", {"GroupBox71", "GroupBox72", "GroupBox73"}, Unnamed, true},
    {8,
     137,
     PageId::Code8,
     "Data logging & Print Mode options",
     "Button10",
     {"GroupBox81", "GroupBox82", "GroupBox83"},
     Unnamed,
     false},
    {9, 138, PageId::Code9, "Digital Input Pins", "Button20", {"GroupBox4", "GroupBox8", "GroupBox9"}, Unnamed, false},
    {10,
     139,
     PageId::Code10,
     "Secondary Display",
     "Button21",
     {"GroupBox10", "GroupBox14", "GroupBox15"},
     {"Label128", "Label129", "Label130"},
     false},
};

constexpr int Multipliers[CodeModel::Groups] = {100, 10, 1};

} // namespace

const CodeModel::Info &CodeModel::info(int code)
{
    return Codes[code];
}

CodeModel::CodeModel(int code, const ModelContext &context, QObject *parent)
    : PageModel(info(code).page, context, parent), m_info(info(code)), m_rules(CodeRules::forCode(code)),
      // Before the first read, Codes 1 to 8 hold their own number.
      m_storedCode(code >= 1 && code <= 8 ? code : 0)
{
    const codetables::Table &table = codetables::optionTable(code);
    for (int g = 0; g < Groups; ++g) {
        m_labels[std::size_t(g)] = QString::fromLatin1(table[std::size_t(g)].label);
        for (int d = 0; d < Options; ++d) {
            const codetables::Option &entry = table[std::size_t(g)].options[std::size_t(d)];
            option(g, d) = {QString::fromLatin1(entry.caption), entry.mark != codetables::Mark::Hidden,
                            entry.mark != codetables::Mark::Disabled, d * Multipliers[g], entry.handler};
        }
    }
    m_rules->build(*this);
}

CodeModel::~CodeModel() = default;

QString CodeModel::hint(int group, int digit) const
{
    const char *hint = codetables::optionTable(m_info.code)[std::size_t(group)].options[std::size_t(digit)].hint;
    return hint ? QString::fromLatin1(hint) : QString();
}

int CodeModel::codeWord() const
{
    return m_digitValue[0] + m_digitValue[1] + m_digitValue[2];
}

KFactorModel *CodeModel::kFactor() const
{
    return m_rules->kFactor();
}

PrescalerModel *CodeModel::prescaler() const
{
    return m_rules->prescaler();
}

BargraphModel *CodeModel::bargraph() const
{
    return m_rules->bargraph();
}

DisplaySourcesModel *CodeModel::displaySources() const
{
    return m_rules->displaySources();
}

// --- options

void CodeModel::choose(int group, int digit)
{
    if (m_checked[std::size_t(group)] == digit)
        return;
    setChecked(group, digit);
    runOption(group, digit);
}

void CodeModel::setChecked(int group, int digit)
{
    m_checked[std::size_t(group)] = digit;
    emit changed();
}

void CodeModel::runOption(int group, int digit)
{
    const codetables::Handler handler = option(group, digit).handler;
    if (handler == codetables::Handler::SetDigit)
        setDigitFromOption(group, digit);
    else
        m_rules->runHandler(*this, handler, group, digit);
}

void CodeModel::setDigitFromOption(int group, int digit)
{
    m_digitValue[std::size_t(group)] = option(group, digit).value;
}

void CodeModel::setDigit(int group, int digit)
{
    m_digitValue[std::size_t(group)] = digit * Multipliers[group];
}

void CodeModel::takeDigit(int group, int digit)
{
    setDigit(group, digit);
    showDigitValue(group);
}

void CodeModel::showDigitValue(int group)
{
    const int digit = m_digitValue[std::size_t(group)] / Multipliers[group];
    setChecked(group, digit < Options ? digit : -1);
}

void CodeModel::setSendAllowed(bool allowed)
{
    m_sendAllowed = allowed;
    emit changed();
}

void CodeModel::relabel(int group, const codetables::Relabel &relabel)
{
    m_labels[std::size_t(group)] = QString::fromLatin1(relabel.label);
    for (int d = 0; d < Options; ++d) {
        const char *caption = relabel.captions[std::size_t(d)];
        option(group, d).shown = caption != nullptr;
        if (caption)
            option(group, d).caption = QString::fromLatin1(caption);
    }
    emit changed();
}

void CodeModel::setLabel(int group, const QString &label)
{
    m_labels[std::size_t(group)] = label;
    emit changed();
}

void CodeModel::setCaption(int group, int digit, const QString &caption)
{
    option(group, digit).caption = caption;
    emit changed();
}

void CodeModel::setOptionEnabled(int group, int digit, bool enabled)
{
    option(group, digit).enabled = enabled;
    emit changed();
}

// --- the code word

void CodeModel::sendCode()
{
    // The calibration code is only read; its send button has no action.
    if (m_info.code == CalibrationCode || !canSend())
        return;
    CommandExchange &exchange = *context().exchange;
    m_rules->beforeSend(*this);
    // Built once the line is free, from the picks the page has then.
    exchange.comms([this]() { return writeCommand(m_info.reg, codeWord()); });
    const Reply reply = exchange.comms(readCommand(m_info.reg));
    takeCodeRead(reply.value);
}

void CodeModel::takeCodeRead(const QString &replyValue)
{
    const int value = convert::toInt(replyValue);
    context().setup->setSummaryCell(summarycell::code(m_info.code), QString::number(value));
    m_storedCode = value;
    setCodeRead(true);
    context().setup->setTabCaption(m_info.page, QStringLiteral("Code %1 - %2").arg(m_info.code).arg(replyValue));
}

void CodeModel::setCodeRead(bool read)
{
    m_codeRead = read;
    emit changed();
}

void CodeModel::loadAtDetection()
{
    // The digits come from this reply alone: option handlers run below make
    // exchanges of their own, which must not feed the next digit.
    const Reply reply = context().exchange->comms(readCommand(m_info.reg));
    takeCodeRead(reply.value);
    // A code whose digits could not be taken in counts as not read.
    auto unread = qScopeGuard([this]() { setCodeRead(false); });
    if (reply.value.size() < Groups)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply.value));
    for (int g = 0; g < Groups; ++g)
        applyDigit(g, reply.value.at(g), true);
    m_rules->afterLoad(*this, reply.value);
    unread.dismiss();
}

void CodeModel::refresh()
{
    if (m_info.code == CalibrationCode)
        return;
    const Reply reply = context().exchange->comms(readCommand(m_info.reg));
    takeCodeRead(reply.value);
    auto unread = qScopeGuard([this]() { setCodeRead(false); });
    if (reply.value.size() < Groups)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply.value));
    for (int g = 0; g < Groups; ++g) {
        const int d = reply.value.at(g).digitValue();
        if (d < 0)
            throw UserError(QStringLiteral("'%1' is not a valid code digit").arg(reply.value.at(g)));
        if (d >= Options) {
            setDigit(g, d);
            setChecked(g, -1);
        } else {
            takeDigit(g, d);
        }
    }
    unread.dismiss();
    emit changed();
}

void CodeModel::applyDigit(int group, QChar digit, bool fromMeter)
{
    const int d = digit.digitValue();
    if (d < 0)
        throw UserError(QStringLiteral("'%1' is not a valid code digit").arg(digit));
    if (d >= Options) {
        // No option stands for 8 or 9: none is checked, and the digit is
        // kept so that the next send writes it back unchanged.
        setDigit(group, d);
        setChecked(group, -1);
        return;
    }
    if (m_rules->loadDigit(*this, group, d, fromMeter))
        return;
    choose(group, d);
}

// --- entering and leaving

void CodeModel::enter(const QString &codeDigits)
{
    m_rules->enter(*this);
    // A page whose code was never read keeps what it shows.
    if (m_info.restoresOnEntry && m_codeRead)
        restore(codeDigits);
}

void CodeModel::restore(const QString &digits)
{
    for (int g = 0; g < Groups && g < digits.size(); ++g) {
        const int d = digits.at(g).digitValue();
        if (d < 0)
            continue;
        setDigit(g, d);
        applyDigit(g, digits.at(g), false);
        if (d < Options)
            m_rules->restoreDigit(*this, g, d);
    }
}

bool CodeModel::canLeave() const
{
    return m_rules->canLeave(*this);
}

void CodeModel::adaptTo(const MeterIdentity &identity)
{
    // A meter found again may hold other codes: nothing goes out before the
    // code has been read from it.
    setCodeRead(false);
    m_rules->adaptTo(*this, identity);
}

QList<SettingRegister> CodeModel::settings() const
{
    // The calibration code is only read.
    if (m_info.code == CalibrationCode)
        return {};
    SettingRegister code;
    code.reg = QString::number(m_info.reg);
    code.page = m_info.page;
    code.name = QStringLiteral("Code %1").arg(m_info.code);
    code.kind = SettingRegister::Kind::Code;
    if (m_info.code == 10)
        code.needsAnyOption = {QStringLiteral("B"), QStringLiteral("3")};
    return QList<SettingRegister>{code} + m_rules->settings();
}
