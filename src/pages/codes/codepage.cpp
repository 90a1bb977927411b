#include "codepage.h"

#include "coderules.h"
#include "kfactorpanel.h"
#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "prescalerpanel.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using codetables::Handler;

const CodePage::Info Codes[] = {
    {0,
     129,
     PageId::Calibration,
     "Calibration",
     "Calibration Modes for Input and Output",
     "CalibrationSendButton",
     {"CalibrationGroup1", "CalibrationGroup2", "CalibrationGroup3"},
     false},
    {1,
     130,
     PageId::Code1,
     "Display Setup",
     "Display setup",
     "Button4",
     {"GroupBox11", "GroupBox12", "GroupBox13"},
     true},
    {2, 131, PageId::Code2, "Totalisator", "Totalisator", "Button3", {"GroupBox21", "GroupBox22", "GroupBox23"}, true},
    {3,
     132,
     PageId::Code3,
     "Analog Output",
     "Serial Mode & Analogue Output Source",
     "Button5",
     {"GroupBox31", "GroupBox32", "GroupBox33"},
     true},
    {4,
     133,
     PageId::Code4,
     "Channel 1 Setup",
     "Channel 1 Measurement Type & Sampling Rate",
     "Button6",
     {"GroupBox41", "GroupBox42", "GroupBox43"},
     true},
    {5,
     134,
     PageId::Code5,
     "Channel 1 Processing",
     "Channel 1 Processing",
     "Button7",
     {"GroupBox51", "GroupBox52", "GroupBox53"},
     true},
    {6,
     135,
     PageId::Code6,
     "Channel 2 Setup",
     "Channel 2 Measurement Type & Sampling Rate",
     "Button8",
     {"GroupBox61", "GroupBox62", "GroupBox63"},
     true},
    {7,
     136,
     PageId::Code7,
     "Result Processing",
     "Result Processing",
     "Button9",
     {"GroupBox71", "GroupBox72", "GroupBox73"},
     true},
    {8,
     137,
     PageId::Code8,
     "Data Logging & Print Mode",
     "Data logging & Print Mode options",
     "Button10",
     {"GroupBox81", "GroupBox82", "GroupBox83"},
     false},
    {9,
     138,
     PageId::Code9,
     "Digital Input Setup",
     "Digital Input Pins",
     "Button20",
     {"GroupBox4", "GroupBox8", "GroupBox9"},
     false},
    {10,
     139,
     PageId::Code10,
     "Bargraph Setup",
     "Secondary Display",
     "Button21",
     {"GroupBox10", "GroupBox14", "GroupBox15"},
     false},
};

constexpr int Multipliers[CodePage::Groups] = {100, 10, 1};

constexpr int GroupWidth = 250;
constexpr int GroupGap = 8;

const char *const GroupCaptions[CodePage::Groups] = {"First Digit", "Second Digit", "Third Digit"};

} // namespace

QString CodePage::buttonText(const char *caption)
{
    return QString::fromLatin1(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

const CodePage::Info &CodePage::info(int code)
{
    return Codes[code];
}

CodePage::CodePage(const PageContext &context, int code, QWidget *parent)
    : Page(context,
           code == CalibrationCode ? QStringLiteral("TabSheet4")
                                   : QStringLiteral("TabSheet%1").arg(code <= 8 ? code + 4 : code + 11),
           parent),
      m_info(info(code)), m_rules(CodeRules::forCode(code))
{
    setTag(code >= 1 && code <= 8 ? code : 0);
    addHeading(this, QString::fromLatin1(m_info.heading));
    buildGroups();

    m_send = new QPushButton(QStringLiteral("Send Code to Meter"), this);
    m_send->setObjectName(QString::fromLatin1(m_info.sendButton));
    m_send->setGeometry(640, 8, 140, 28);
    setSendEnabled(true);
    // The calibration code is only read; its send button has no action.
    if (code != CalibrationCode) {
        connect(m_send, &QPushButton::clicked, this,
                [this]() { runGuardedOperation(this->context(), [this]() { sendCode(); }); });
    }

    m_rules->build(*this);
}

CodePage::~CodePage() = default;

KFactorPanel *CodePage::kFactorPanel() const
{
    return findChild<KFactorPanel *>();
}

PrescalerPanel *CodePage::prescalerPanel() const
{
    return findChild<PrescalerPanel *>();
}

void CodePage::buildGroups()
{
    const codetables::Table &table = codetables::optionTable(m_info.code);
    for (int g = 0; g < Groups; ++g) {
        auto *box = new QGroupBox(QString::fromLatin1(GroupCaptions[g]), this);
        box->setObjectName(QString::fromLatin1(m_info.groupNames[g]));
        box->setGeometry(8 + g * 258, 40, GroupWidth, 250);
        auto *layout = new QVBoxLayout(box);
        m_labels[g] = new QLabel(QString::fromLatin1(table[g].label), box);
        layout->addWidget(m_labels[g]);
        m_buttons[g] = new QButtonGroup(box);
        for (int d = 0; d < Options; ++d) {
            const codetables::Option &entry = table[g].options[d];
            auto *option = new QRadioButton(buttonText(entry.caption), box);
            option->setObjectName(QStringLiteral("RadioButton%1%2%3").arg(m_info.code).arg(g + 1).arg(d));
            if (m_info.code == CalibrationCode)
                option->setObjectName(QStringLiteral("CalibrationButton%1%2").arg(g + 1).arg(d));
            option->setProperty("digitValue", d * Multipliers[g]);
            option->setChecked(d == 0);
            option->setVisible(entry.mark != codetables::Mark::Hidden);
            option->setEnabled(entry.mark != codetables::Mark::Disabled);
            if (entry.hint)
                option->setToolTip(QString::fromLatin1(entry.hint));
            m_buttons[g]->addButton(option, d);
            layout->addWidget(option);
            m_options[g][d] = option;
            m_handlers[g][d] = entry.handler;
            connect(option, &QRadioButton::toggled, this, [this, g, d](bool checked) {
                if (checked)
                    userChose(g, d);
            });
        }
        layout->addStretch();
        m_labels[g]->setBuddy(m_options[g][0]);
        m_groups[g] = box;
    }
    fitGroups();
}

void CodePage::chooseOption(int group, int digit)
{
    QRadioButton *option = m_options[group - 1][digit];
    if (option->isChecked())
        return;
    {
        // The program's own choice runs the handler here, so that a failure
        // reaches the caller instead of the window's guard.
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    runOption(group - 1, digit);
}

void CodePage::userChose(int group, int digit)
{
    runGuarded(context(), [this, group, digit]() { runOption(group, digit); });
}

void CodePage::runOption(int group, int digit)
{
    const codetables::Handler handler = m_handlers[group][digit];
    if (handler == codetables::Handler::SetDigit)
        setDigitFromOption(group, digit);
    else
        m_rules->runHandler(*this, handler, group, digit);
}

void CodePage::setDigitFromOption(int group, int digit)
{
    m_digitValue[group] = m_options[group][digit]->property("digitValue").toInt();
}

void CodePage::setDigit(int group, int digit)
{
    m_digitValue[group] = digit * Multipliers[group];
}

void CodePage::takeDigit(int group, int digit)
{
    setDigit(group, digit);
    showDigitValue(group);
}

void CodePage::showDigitValue(int group)
{
    const int digit = m_digitValue[group] / Multipliers[group];
    if (digit >= Options) {
        uncheckGroup(group);
        return;
    }
    checkQuietly(group, digit);
}

void CodePage::checkQuietly(int group, int digit)
{
    QRadioButton *option = m_options[group][digit];
    const QSignalBlocker blocker(option);
    option->setChecked(true);
}

void CodePage::uncheckGroup(int group)
{
    m_buttons[group]->setExclusive(false);
    for (QRadioButton *option : m_options[group]) {
        const QSignalBlocker blocker(option);
        option->setChecked(false);
    }
    m_buttons[group]->setExclusive(true);
}

// --- the code word

void CodePage::sendCode()
{
    CommandExchange &exchange = *context().exchange;
    m_rules->beforeSend(*this);
    const int sum = m_digitValue[0] + m_digitValue[1] + m_digitValue[2];
    exchange.comms(writeCommand(m_info.reg, sum));
    const Reply reply = exchange.comms(readCommand(m_info.reg));
    showCodeRead(reply.value);
}

void CodePage::showCodeRead(const QString &replyValue)
{
    const int value = convert::toInt(replyValue);
    setSummaryCell(context(), summarycell::code(m_info.code), QString::number(value));
    setTag(value);
    setCodeRead(true);
    context().shell->setTabCaption(m_info.page, QStringLiteral("Code %1 - %2").arg(m_info.code).arg(replyValue));
}

void CodePage::loadFromMeter()
{
    // The digits come from this reply alone: option handlers run below make
    // exchanges of their own, which must not feed the next digit.
    const Reply reply = context().exchange->comms(readCommand(m_info.reg));
    showCodeRead(reply.value);
    // A code whose digits could not be taken in counts as not read.
    auto unread = qScopeGuard([this]() { setCodeRead(false); });
    if (reply.value.size() < Groups)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply.value));
    for (int g = 0; g < Groups; ++g)
        applyDigit(g, reply.value.at(g), true);
    m_rules->afterLoad(*this, reply.value);
    unread.dismiss();
}

void CodePage::applyDigit(int group, QChar digit, bool fromMeter)
{
    const int d = digit.digitValue();
    if (d < 0)
        throw UserError(QStringLiteral("'%1' is not a valid code digit").arg(digit));
    if (d >= Options) {
        // No option stands for 8 or 9: none is checked, and the digit is
        // kept so that the next send writes it back unchanged.
        uncheckGroup(group);
        m_digitValue[group] = d * Multipliers[group];
        return;
    }
    if (m_rules->loadDigit(*this, group, d, fromMeter))
        return;
    chooseOption(group + 1, d);
}

void CodePage::enter(const PageEntry &entry)
{
    m_rules->enter(*this);
    // A page whose code was never read keeps what it shows.
    if (m_info.restoresOnEntry && m_codeRead)
        restore(entry.codeDigits);
}

bool CodePage::canLeave() const
{
    return m_rules->canLeave(*this);
}

void CodePage::adaptTo(const MeterIdentity &identity)
{
    // A meter found again may hold other codes: nothing goes out before the
    // code has been read from it.
    setCodeRead(false);
    m_rules->adaptTo(*this, identity);
}

void CodePage::setCodeRead(bool read)
{
    m_codeRead = read;
    setSendEnabled(m_sendWanted);
}

void CodePage::setSendEnabled(bool enabled)
{
    m_sendWanted = enabled;
    // The calibration code is only read; its button never sends.
    const bool unread = !m_codeRead && m_info.code != CalibrationCode;
    m_send->setEnabled(enabled && !unread);
    m_send->setToolTip(unread ? QStringLiteral("The code was not read from the meter, so it cannot be sent yet.")
                              : QString());
}

void CodePage::restore(const QString &digits)
{
    for (int g = 0; g < Groups && g < digits.size(); ++g) {
        const int d = digits.at(g).digitValue();
        if (d < 0)
            continue;
        m_digitValue[g] = d * Multipliers[g];
        applyDigit(g, digits.at(g), false);
        if (d < Options)
            m_rules->restoreDigit(*this, g, d);
    }
}

void CodePage::fitGroups()
{
    // Each group is as wide as its longest caption needs, at least the
    // standard width, placed one after the other.
    int x = GroupGap;
    for (QGroupBox *box : m_groups) {
        box->move(x, box->y());
        box->resize(std::max(GroupWidth, box->sizeHint().width()), box->height());
        x += box->width() + GroupGap;
    }
}

void CodePage::relabel(int group, const codetables::Relabel &relabel)
{
    for (QRadioButton *option : m_options[group])
        option->show();
    m_labels[group]->setText(QString::fromLatin1(relabel.label));
    for (int d = 0; d < Options; ++d) {
        if (relabel.captions[d])
            m_options[group][d]->setText(buttonText(relabel.captions[d]));
        else
            m_options[group][d]->hide();
    }
    fitGroups();
}
